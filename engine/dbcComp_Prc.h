#pragma once

#include "engine/dbcCompColumn.h"

namespace dbc {

// A stored procedure (or a Firebird 3 stored function). It can be created or altered with a
// fixed empty body, so that what calls it can change, and get its real body back later.
class TPrcData : public TDbObj {
public:
    explicit TPrcData(TCustomObjs* objs);
    std::string_view ClassName() const override { return "TPrcData"; }
    std::string GetCaption() const override { return GetObjKeyDef(); }

    // Input and output parameters in declaration order, owned; a function's single return
    // value is its only output.
    ObjList<TFldData> Params;
    ObjList<TFldData> Returns;
    bool IsFunction = false;
    // A stored function declared DETERMINISTIC.
    bool Deterministic = false;
    // The clause of a routine of an external engine ("EXTERNAL NAME '...' ENGINE ..."), which
    // then has no body.
    std::string External;

    // Adds a parameter (ioIn goes to Params, ioOut to Returns) owned by this procedure.
    TFldData& AddParam(std::string name, TParamInOutType inOut);
    void ClearParams();

    // Parameter lists: "(inputs)" and " RETURNS(outputs)", each on its own line; a function's
    // " RETURNS type" carries its DETERMINISTIC.
    std::string ParamDef() const;
    std::string Def() const override;
    std::string AlterDef() const override;
    std::string DropDef() const override;
    // " BEGIN RETURN NULL; END", " BEGIN EXIT; END" or, with outputs, " BEGIN SUSPEND; END".
    std::string EmptyBody() const;
    std::string EmptyDef() const;
    std::string AlterEmptyDef() const;

    // The real body still has to be restored; setting it also sets the counterpart's flag.
    bool RestoreBody() const { return fRestoreBody_; }
    void SetRestoreBody(bool value);
    // Replaces the body of a created procedure by the empty body, makes its dependencies
    // inactive, marks the master procedure for restore and, with genSQL, scripts the ALTER.
    void AssignEmptyBody(bool genSQL);

private:
    std::string Header(std::string_view verb, std::string_view name, std::string_view body) const;
    bool fRestoreBody_ = false;
};

} // namespace dbc
