// The Firebird dependency passes, run once all objects and bodies of a structure are known.

#include "engine/dbcIBParser.h"

#include "engine/dbcComp_Ctr.h"
#include "engine/dbcComp_Dmn.h"
#include "engine/dbcComp_Idx.h"
#include "engine/dbcComp_Pkg.h"
#include "engine/dbcComp_Prc.h"
#include "engine/dbcComp_Rol.h"
#include "engine/dbcComp_Tbl.h"
#include "engine/dbcComp_Trg.h"

namespace dbc {

namespace {

bool SameColumns(const ObjList<TFldData>& a, const ObjList<TFldData>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].text != b[i].text)
            return false;
    return true;
}

} // namespace

void TIbParser::Link_Depend() {
    if (!Objs())
        return;
    GrantsIdentity();
    DeleteCtrIdx();
    TCustomSQLParser::Link_Depend();
    LinkDomains();
    LinkRoutineCalls();
}

// A plain grant becomes a role, object or user grant by what its grantee is.
void TIbParser::GrantsIdentity() {
    TCustomObjs& objs = *Objs();
    for (auto& entry : objs.Gnt) {
        TGntData& grant = *entry.object;
        if (grant.CmpGrantType != coGrant)
            continue;
        const std::string& grantee = grant.User;
        if (objs.GetRole(grantee))
            grant.CmpGrantType = coRoleGrant;
        else if (objs.GetTable(grantee) || objs.GetView(grantee) || objs.GetProcedure(grantee) ||
                 objs.GetTrigger(grantee))
            grant.CmpGrantType = coObjGrant;
        else
            grant.CmpGrantType = coUserGrant;
    }
}

// An index with the name, table and columns of a key constraint is that constraint's own index,
// which the constraint creates and drops; it is not an object of its own.
void TIbParser::DeleteCtrIdx() {
    TCustomObjs& objs = *Objs();
    for (std::size_t i = objs.Idx.size(); i-- > 0;) {
        TIdxData* index = objs.Idx[i].object.get();
        for (const auto& entry : objs.Ctr) {
            const TCtrData& constraint = *entry.object;
            const TConstraintType type = constraint.CtType();
            if (type != ctPKey && type != ctUnique && type != ctFKey)
                continue;
            const bool sameName = constraint.ObjName() == index->ObjName() ||
                                  constraint.UsingIndex == index->ObjName();
            if (!sameName || constraint.TblName != index->TblName ||
                !SameColumns(constraint.Flds, index->Flds))
                continue;
            DoLogNextLine("Remove index: " + index->Def() + "\r\nfor constraint: " + constraint.Def());
            objs.RemoveDepend(index);
            objs.Idx.erase(i);
            break;
        }
    }
}

// Table columns depend on their domains. So do procedures on the domains of their parameters,
// and on the columns their parameters take their type from: Firebird refuses to drop either
// while the procedure uses it.
void TIbParser::LinkDomains() {
    TCustomObjs& objs = *Objs();
    for (auto& entry : objs.Tbl) {
        TTblData* table = entry.object.get();
        for (const auto& column : table->Flds)
            if (column.object->FieldType == iftDomain)
                if (TDmnData* domain = objs.GetDomain(column.object->DomainName))
                    objs.LinkDepend(table, domain, -1, -1, column.text);
    }
    for (auto& entry : objs.Prc) {
        TPrcData* procedure = entry.object.get();
        for (const auto* list : {&procedure->Params, &procedure->Returns}) {
            for (const auto& param : *list) {
                const TFldData& fld = *param.object;
                if (!fld.TypeOfTbl.empty()) {
                    if (TTblData* table = objs.GetTable(fld.TypeOfTbl))
                        objs.LinkDepend(procedure, table, -1, -1, fld.TypeOfFld);
                } else if (fld.FieldType == iftDomain) {
                    if (TDmnData* domain = objs.GetDomain(fld.DomainName))
                        objs.LinkDepend(procedure, domain);
                }
            }
        }
    }
}

// A procedure, trigger or package that calls a procedure with EXECUTE PROCEDURE depends on it:
// Firebird refuses to drop a procedure that is still called. The call of a package's procedure
// (pkg.name) makes the caller depend on the package.
void TIbParser::LinkRoutineCalls() {
    TCustomObjs& objs = *Objs();
    TIbParser scanner(nullptr);
    scanner.IBServerOptions().Assign(ibServerOptions_);
    scanner.SetTermStr({}); // the body's own semicolons are plain symbols
    scanner.OnErrorMessage = [](platform::Object&, const std::string&) {};

    auto scan = [&](TDbObj& caller) {
        if (caller.Body.empty())
            return;
        scanner.AssignTxt(caller.Body);
        scanner.GetSy();
        while (scanner.Sy() != sy_EOF) {
            if (!scanner.Is(syEXECUTE)) {
                scanner.GetSy();
                continue;
            }
            scanner.GetSy();
            if (!scanner.Is(syPROCEDURE))
                continue;
            const int posY = scanner.GetPosY(), posX = scanner.GetPosX();
            scanner.GetSy();
            if (scanner.Sy() != sy_Ident)
                continue;
            const std::string name = scanner.Ident();
            scanner.GetSy();
            TDbObj* callee = nullptr;
            if (scanner.Sy() == sy_Dot)
                callee = objs.GetPackage(name);
            else if (!name.starts_with("RDB$"))
                callee = objs.GetProcedure(name);
            if (callee && callee != &caller)
                objs.LinkDepend(&caller, callee, posY, posX);
        }
    };
    for (auto& entry : objs.Prc)
        scan(*entry.object);
    for (auto& entry : objs.Trg)
        scan(*entry.object);
    for (auto& entry : objs.Pkg)
        scan(*entry.object);
}

} // namespace dbc
