#pragma once

#include "engine/dbcCompColumn.h"

namespace dbc {

// A view: its column names with their column objects and its SELECT body.
class TViwData : public TDbObj {
public:
    explicit TViwData(TCustomObjs* objs);
    std::string_view ClassName() const override { return "TViwData"; }

    ObjList<TFldData> Flds;

    TFldData& AddFld(std::string name);
    TFldData* FindFld(std::string_view name) const;

    // The column list: each quoted name on a line of its own, in parentheses; empty without.
    std::string GetFlds() const;
    std::string Def() const override;
    std::string DropDef() const override;

    // Drop and create the view even when its definition is unchanged; setting it also sets the
    // counterpart's mark.
    bool ReCreate() const { return fReCreate_; }
    void SetReCreate(bool value);

private:
    bool fReCreate_ = false;
};

} // namespace dbc
