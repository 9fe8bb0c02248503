#pragma once

#include "engine/dbcCompColumn.h"

namespace dbc {

enum TConstraintType : std::uint8_t {
    ctPKey, ctUnique, ctFKey, ctCheck, ctKey, ctDefault, ctNotNull, ctReferences
};
enum TUDAction : std::uint8_t { udaNoAction, udaRestrict, udaCascade, udaDefault, udaNull };

// A table constraint: primary key, unique, foreign key or check (whose condition is the Body).
// A constraint whose name the server generated keeps it in SysName and has no name.
class TCtrData : public TDbObj {
public:
    explicit TCtrData(TCustomObjs* objs);
    std::string_view ClassName() const override { return "TCtrData"; }

    TConstraintType CtType() const { return ctType_; }
    // Also sets the object kind (dboPKey, dboUnique, dboFKey, dboCheck, ...).
    void SetCtType(TConstraintType type);

    std::string TblName;
    std::string RefTblName;
    ObjList<TFldData> Flds;
    ObjList<TFldData> RefFlds;
    TUDAction OnUpdate = udaNoAction;
    TUDAction OnDelete = udaNoAction;
    bool UsingDescIndex = false;
    std::string UsingIndex;

    // The name, else the system name, else the definition.
    std::string GetCaption() const override;
    // The name; for an unnamed constraint its definition without any identifier quoting, so
    // two unnamed constraints match when they define the same thing.
    std::string GetObjKeyDef() const override;
    std::string GetFields() const { return ColumnList(Flds, true); }
    std::string GetRefFlds() const { return ColumnList(RefFlds, true); }
    std::string UsingIndexDef() const { return UsingIndexText(true); }
    std::string ConstraintDef() const { return ConstraintText(true); }
    std::string Def() const override { return DefText(true); }

private:
    std::string Name(std::string_view name, bool quote) const;
    std::string ColumnList(const ObjList<TFldData>& list, bool quote) const;
    std::string UsingIndexText(bool quote) const;
    std::string ConstraintText(bool quote) const;
    std::string DefText(bool quote) const;

    TConstraintType ctType_ = ctFKey;
};

} // namespace dbc
