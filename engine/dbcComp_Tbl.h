#pragma once

#include "engine/dbcCompColumn.h"

namespace dbc {

// A table with its columns in the order the catalogue delivered them.
class TTblData : public TDbObj {
public:
    explicit TTblData(TCustomObjs* objs);
    std::string_view ClassName() const override { return "TTblData"; }

    // Columns by name, case-sensitive, owned.
    ObjList<TFldData> Flds;
    bool Exists = false;
    bool Compare = false;
    std::string ExternalFile;
    bool GlobalTemporary = false;
    TTblOnCommit TblOnCommit = tocUnknown;

    // Appends a column owned by this table (and named after it) and returns it.
    TFldData& AddFld(std::string name);
    TFldData* FindFld(std::string_view name) const;

    std::string DropDef() const override { return "DROP TABLE " + ObjFullName(); }

    // While set, the table's definition and create logic leave computed columns out.
    bool SkipComputedDef() const { return skipComputedDef_; }
    void SetSkipComputedDef(bool value) { skipComputedDef_ = value; }
    // The columns must get explicit positions. Setting it (to any value) also sets it on the
    // counterpart, so clearing the master's flag leaves the target's set.
    bool UpdFldPos() const { return updFldPos_; }
    void SetUpdFldPos(bool value);

private:
    bool skipComputedDef_ = false;
    bool updFldPos_ = false;
};

} // namespace dbc
