// The Firebird script parser: generators, exceptions, roles, external functions and grants.

#include "engine/dbcIBParser.h"

#include "engine/dbcComp_Exc.h"
#include "engine/dbcComp_Fnc.h"
#include "engine/dbcComp_Gnr.h"
#include "engine/dbcComp_Rol.h"

#include <utility>

namespace dbc {

void TIbParser::ParseGenerator(Verb verb) {
    GetSy();
    const std::string name = GetName();
    TGnrData* generator = verb != Verb::Create && Objs() ? Objs()->GetGenerator(name) : nullptr;
    const TDbOperation operation = generator ? odbAlter : odbCreate;
    std::unique_ptr<TGnrData> created;
    if (!generator) {
        created = std::make_unique<TGnrData>(Objs());
        created->SetObjName(name);
        generator = created.get();
    }
    // Only Firebird 3 keeps a start value and an increment of its own.
    const bool firebird3 = ibServerOptions_.SQLServerVersion == st_Firebird_30;
    for (;;) {
        if (IsWord("START")) {
            GetSy();
            TestAndGetWord(syWITH);
            const std::int64_t start = ParseSignedInteger();
            if (firebird3 && start != 0)
                generator->StartWith = std::to_string(start);
        } else if (IsWord("RESTART")) {
            GetSy();
            if (Is(syWITH)) {
                GetSy();
                const std::int64_t start = ParseSignedInteger();
                if (firebird3 && start != 0)
                    generator->StartWith = std::to_string(start);
            }
        } else if (IsWord("INCREMENT")) {
            GetSy();
            if (Is(syBY))
                GetSy();
            const std::int64_t increment = ParseSignedInteger();
            if (firebird3 && increment != 1)
                generator->IncrementBy = std::to_string(increment);
        } else {
            break;
        }
    }
    if (created)
        AddObj(std::move(created));
    CloseStatement(stStatement, name, dboGenerator, operation);
}

void TIbParser::ParseException(Verb verb) {
    GetSy();
    const std::string name = GetName();
    TExcData* exception = verb != Verb::Create && Objs() ? Objs()->GetException(name) : nullptr;
    std::unique_ptr<TExcData> created;
    if (!exception) {
        created = std::make_unique<TExcData>(Objs());
        created->SetObjName(name);
        exception = created.get();
    }
    TestSy(sy_String);
    if (Sy() == sy_String) {
        exception->Msg = StrVal();
        GetSy();
    }
    if (created)
        AddObj(std::move(created));
    CloseStatement(stStatement, name, dboException, odbCreate);
}

void TIbParser::ParseRole() {
    GetSy();
    const std::string name = GetName();
    auto role = std::make_unique<TRolData>(Objs());
    role->SetObjName(name);
    AddObj(std::move(role));
    CloseStatement(stStatement, name, dboRole, odbCreate);
}

// DECLARE EXTERNAL FUNCTION name [argument, ...] RETURNS {type [BY VALUE | BY DESCRIPTOR] |
// PARAMETER n} [FREE_IT] ENTRY_POINT 'entry' MODULE_NAME 'module'; the current symbol is the name.
void TIbParser::ParseExternalFunction() {
    const std::string name = GetName();
    auto function = std::make_unique<TUdfData>(Objs());
    function->SetObjName(name);
    while (!Is(syRETURNS) && Sy() != sy_Term && Sy() != sy_EOF) {
        ParseFieldType(function->AddPrm(), TFieldContext::FunctionArgument);
        if (Sy() != sy_Comma)
            break;
        GetSy();
    }
    TestAndGetWord(syRETURNS);
    if (Is(syPARAMETER)) {
        GetSy();
        function->RtnFld().FncParameter = ParseSignedInt32();
    } else {
        ParseFieldType(function->RtnFld(), TFieldContext::FunctionArgument);
    }
    for (;;) {
        if (Is(syFREE_IT)) {
            function->FreeIt = true;
            GetSy();
        } else if (Is(syENTRY_POINT) || Is(syMODULE_NAME)) {
            std::string& target = Is(syENTRY_POINT) ? function->EntryPoint : function->ModuleName;
            GetAndTestSy(sy_String);
            target = StrVal();
            GetSy();
        } else {
            break;
        }
    }
    AddObj(std::move(function));
    CloseStatement(stStatement, name, dboFunction, odbCreate);
}

// ---------------------------------------------------------------------------------------------
// Grants

// Three forms: privileges ON an object, role names alone, and privileges Firebird 3 grants
// without an object (CREATE TABLE, ALTER ANY VIEW, ...) or on a sequence or exception (USAGE),
// which are kept as the text they are written in.
void TIbParser::ParseGrant() {
    GetSy();
    TCustomObjs* objs = Objs();
    TGrantPrivilegeSet privileges;
    std::vector<std::pair<TGrantPrivilege, std::vector<std::string>>> columnPrivileges;
    std::vector<std::string> roles;
    std::string text;
    std::string objName;
    TDbObject objType = dboUnknown;

    auto privilegeWord = [&](TGrantPrivilege& privilege) {
        if (Is(sySELECT)) privilege = gntSelect;
        else if (Is(syINSERT)) privilege = gntInsert;
        else if (Is(syUPDATE)) privilege = gntUpdate;
        else if (Is(syDELETE)) privilege = gntDelete;
        else if (Is(syREFERENCES)) privilege = gntReferences;
        else if (Is(syEXECUTE)) privilege = gntExecute;
        else return false;
        return true;
    };
    TGrantPrivilege privilege{};
    const bool textForm = Is(syCREATE) || Is(syALTER) || Is(syDROP) || IsWord("USAGE");
    const bool privilegeForm = !textForm && (Is(syALL) || privilegeWord(privilege));
    if (textForm) {
        while (!Is(syTO) && Sy() != sy_Term && Sy() != sy_EOF) {
            if (Sy() == sy_Comma) {
                text += ',';
            } else if (!Ident().empty()) {
                if (!text.empty())
                    text += ' ';
                text += Sy() != sy_Ident ? UpperText(Ident()) : quoted_ ? "\"" + Ident() + "\"" : Ident();
            }
            GetSy();
        }
    } else if (privilegeForm) {
        for (;;) {
            if (Is(syALL)) {
                GetSy();
                if (Is(syPRIVILEGES))
                    GetSy();
                privileges |= TGrantPrivilegeSet{gntSelect, gntInsert, gntUpdate, gntDelete, gntReferences};
            } else if (privilegeWord(privilege)) {
                GetSy();
                if (Sy() == sy_LParen) { // UPDATE (a, b)
                    std::vector<std::string> columns;
                    GetSy();
                    while (Sy() == sy_Ident) {
                        columns.push_back(GetName());
                        if (Sy() != sy_Comma)
                            break;
                        GetSy();
                    }
                    TestAndGetSy(sy_RParen);
                    columnPrivileges.emplace_back(privilege, std::move(columns));
                } else {
                    privileges.Include(privilege);
                }
            } else {
                TestWord(sySELECT);
                break;
            }
            if (Sy() != sy_Comma)
                break;
            GetSy();
        }
        TestAndGetWord(syON);
        if (Is(syTABLE)) objType = dboTable;
        else if (Is(syVIEW)) objType = dboView;
        else if (Is(syPROCEDURE) || Is(syFUNCTION)) objType = dboProcedure;
        else if (Is(syTRIGGER)) objType = dboTrigger;
        else if (IsWord("PACKAGE")) objType = dboPackage;
        if (objType != dboUnknown)
            GetSy();
        objName = GetName();
        if (objType == dboUnknown && objs) {
            if (objs->GetTable(objName))
                objType = dboTable;
            else if (objs->GetView(objName))
                objType = dboView;
        }
        if (objType == dboUnknown && objName.starts_with("RDB$") && privileges.Contains(gntSelect))
            objType = dboTable;
    } else {
        for (;;) {
            roles.push_back(GetName());
            if (Sy() != sy_Comma)
                break;
            GetSy();
        }
    }

    TestAndGetWord(syTO);
    std::vector<std::pair<std::string, TDbObject>> grantees;
    for (;;) {
        TDbObject kind = dboUnknown;
        if (Is(syUSER)) kind = dboUser;
        else if (Is(syROLE)) kind = dboRole;
        else if (Is(syPROCEDURE) || Is(syFUNCTION)) kind = dboProcedure;
        else if (Is(syTRIGGER)) kind = dboTrigger;
        else if (Is(syVIEW)) kind = dboView;
        else if (IsWord("PACKAGE")) kind = dboPackage;
        if (kind != dboUnknown)
            GetSy();
        std::string grantee = GetName();
        if (kind == dboUnknown)
            kind = objs && objs->GetRole(grantee) ? dboRole : dboUser;
        grantees.emplace_back(std::move(grantee), kind);
        if (Sy() != sy_Comma)
            break;
        GetSy();
    }
    int option = 0;
    if (Is(syWITH)) {
        GetSy();
        if (Is(syGRANT) || Is(syADMIN)) {
            GetSy();
            TestAndGetWord(syOPTION);
            option = 1;
        } else {
            ErrMsg("Must be: with GRANT/ADMIN option");
        }
    }
    if (IsWord("GRANTED")) { // GRANTED BY user, AS user: who granted it does not matter here
        GetSy();
        TestAndGetWord(syBY);
        GetName();
    } else if (Is(syAS)) {
        GetSy();
        GetName();
    }

    const bool ignoreIBE = objs && objs->IBServerOptions().IBCompareOptions.IgnoreIBEObjects;
    auto file = [&](std::unique_ptr<TGntData> grant) {
        DoLogNextLine("Grant: " + grant->Def());
        if (ignoreIBE && grant->GntObjName.starts_with("IBE$"))
            return;
        AddGrant(std::move(grant));
    };
    for (const auto& [grantee, kind] : grantees) {
        auto make = [&, &grantee = grantee, kind = kind] {
            auto grant = std::make_unique<TGntData>(objs);
            grant->User = grantee;
            grant->GntUserType = kind;
            grant->Option = option;
            return grant;
        };
        if (textForm) {
            auto grant = make();
            grant->Body = "GRANT " + text + " TO " + grantee + (option ? " WITH GRANT OPTION" : "");
            file(std::move(grant));
        }
        for (const std::string& role : roles) {
            auto grant = make();
            grant->GntObjType = dboRole;
            grant->GntObjName = role;
            file(std::move(grant));
        }
        auto onObject = [&](TGrantPrivilegeSet set, std::vector<std::string> columns) {
            auto grant = make();
            grant->Privilege = set;
            grant->GntObjName = objName;
            grant->GntObjType = objType;
            grant->Flds = std::move(columns);
            file(std::move(grant));
        };
        if (privilegeForm && !privileges.Empty())
            onObject(privileges, {});
        for (const auto& [columnPrivilege, columns] : columnPrivileges)
            onObject(TGrantPrivilegeSet{columnPrivilege}, columns);
    }
    CloseStatement(stStatement, roles.empty() ? objName : roles.front(), dboGrant, odbCreate);
}

} // namespace dbc
