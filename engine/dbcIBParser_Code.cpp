// The Firebird script parser: procedures and stored functions, triggers, views, packages and
// EXECUTE BLOCK, whose bodies are captured as text.

#include "engine/dbcIBParser.h"

#include "engine/dbcComp_Pkg.h"
#include "engine/dbcComp_Prc.h"
#include "engine/dbcComp_Tbl.h"
#include "engine/dbcComp_Trg.h"
#include "engine/dbcComp_Viw.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace dbc {

namespace {

// The events of a database trigger, in the order of their type numbers.
constexpr std::string_view kDatabaseEvents[] = {"CONNECT", "DISCONNECT", "TRANSACTION START",
                                                "TRANSACTION COMMIT", "TRANSACTION ROLLBACK"};

} // namespace

void TIbParser::ParseBody(TDbObj* obj, std::size_t start) {
    const std::size_t from = start ? start : ChIx();
    const std::string& term = TermStr();
    while (!AtEndOfText() && !(!term.empty() && TextAt(ChIx(), term))) {
        const char32_t c = Ch();
        if ((c == '/' && CurCh() == '*') || (c == '-' && CurCh() == '-'))
            SkipComment();
        else if (c == '\'' || c == '"')
            SkipLiteral();
        else
            GetChar();
    }
    std::string body(TrimText(CopyTxt(from, ChIx() - from)));
    if (auto* package = dynamic_cast<TPkgData*>(obj))
        (package->ParseBody ? package->Body : package->HeaderBody) = std::move(body);
    else if (obj)
        obj->Body = std::move(body);
    GetSy(); // the terminator
}

// ---------------------------------------------------------------------------------------------
// Procedures and stored functions

void TIbParser::ParseParams(TPrcData& procedure, TParamInOutType inOut) {
    TestAndGetSy(sy_LParen);
    while (Sy() != sy_RParen && Sy() != sy_Term && Sy() != sy_EOF) {
        const std::string name = GetName();
        FieldName = name;
        ParseFieldType(procedure.AddParam(name, inOut), TFieldContext::Parameter);
        if (Sy() != sy_Comma)
            break;
        GetSy();
    }
    FieldName.clear();
    TestAndGetSy(sy_RParen);
}

void TIbParser::ParseProcedure(bool function) {
    GetSy();
    const std::string name = GetName();
    TPrcData* procedure = Objs() ? Objs()->GetProcedure(name) : nullptr;
    const TDbOperation operation = procedure ? odbAlter : odbCreate;
    std::unique_ptr<TPrcData> created;
    if (procedure) {
        ForgetColumns(procedure->Params);
        ForgetColumns(procedure->Returns);
        procedure->Body.clear();
        procedure->External.clear();
        procedure->Deterministic = false;
    } else {
        created = std::make_unique<TPrcData>(Objs());
        created->SetObjName(name);
        procedure = created.get();
    }
    procedure->IsFunction = function;

    if (Sy() == sy_LParen)
        ParseParams(*procedure, ioIn);
    if (Is(syRETURNS)) {
        GetSy();
        if (function)
            ParseFieldType(procedure->AddParam("", ioOut), TFieldContext::FunctionResult);
        else
            ParseParams(*procedure, ioOut);
    }
    if (IsWord("DETERMINISTIC")) {
        procedure->Deterministic = true;
        GetSy();
    } else if (Is(syNOT)) {
        GetSy();
        TestAndGetIdent("DETERMINISTIC");
    }
    ParseRoutineBody(*procedure);
    if (created)
        AddObj(std::move(created));
    CloseStatement(stStatement, name, dboProcedure, operation);
}

// AS and the body; EXTERNAL NAME '...' ENGINE e for a routine of an external engine; or
// nothing, as for a declaration without a body.
void TIbParser::ParseRoutineBody(TPrcData& procedure) {
    if (Is(syAS)) {
        ParseBody(&procedure, 0);
        return;
    }
    if (Is(syEXTERNAL)) {
        const std::size_t start = SyBegPos();
        SkipToTerm();
        procedure.External = CopyTxtFrom(start);
    }
}

// ---------------------------------------------------------------------------------------------
// Triggers

void TIbParser::ParseTrigger(Verb verb) {
    GetSy();
    const std::string name = GetName();
    TTrgData* trigger = Objs() ? Objs()->GetTrigger(name) : nullptr;
    const TDbOperation operation = trigger ? odbAlter : odbCreate;
    std::unique_ptr<TTrgData> created;
    if (!trigger) {
        created = std::make_unique<TTrgData>(Objs());
        created->SetObjName(name);
        trigger = created.get();
    } else if (verb != Verb::Alter) {
        // A new definition of a known trigger starts from scratch; ALTER changes only what it names.
        trigger->Active = true;
        trigger->Position = 0;
        trigger->Typ = 0;
        trigger->BefAft = baUnknown;
        trigger->InsUpdDel = {};
        trigger->EventType.clear();
    }

    std::string owner;
    bool events = false;
    while (!Is(syAS) && Sy() != sy_Term && Sy() != sy_EOF) {
        if (Is(syFOR)) {
            GetSy();
            owner = GetName();
        } else if (Is(syACTIVE) || Is(syINACTIVE)) {
            trigger->Active = Is(syACTIVE);
            GetSy();
        } else if (Is(syBEFORE) || Is(syAFTER)) {
            const bool after = Is(syAFTER);
            GetSy();
            ParseTriggerEvents(*trigger, after);
            events = true;
        } else if (Is(syON) && events) { // BEFORE INSERT ON table
            GetSy();
            owner = GetName();
        } else if (Is(syON)) {
            GetSy();
            std::string event;
            if (IsWord("CONNECT") || IsWord("DISCONNECT")) {
                event = UpperText(Ident());
            } else if (IsWord("TRANSACTION")) {
                GetSy();
                if (IsWord("START") || Is(syCOMMIT) || IsWord("ROLLBACK"))
                    event = "TRANSACTION " + UpperText(Ident());
            }
            const auto* known = std::find(std::begin(kDatabaseEvents), std::end(kDatabaseEvents), event);
            if (event.empty() || known == std::end(kDatabaseEvents)) {
                ErrMsg("Unknown event for database trigger");
            } else {
                trigger->EventType = event;
                trigger->Typ = TrgTypeDatabase + (known - std::begin(kDatabaseEvents));
                events = true;
            }
            GetSy();
        } else if (Is(syPOSITION)) {
            GetSy();
            trigger->Position = ParseSignedInt32();
        } else {
            ErrMsg("Must be: BEFORE / AFTER");
            while (!Is(syAS) && Sy() != sy_Term && Sy() != sy_EOF)
                GetSy();
        }
    }
    // Without FOR the trigger belongs to the database; ALTER keeps the owner it had.
    if (!owner.empty())
        trigger->SetOwnName(owner);
    else if (created || verb != Verb::Alter)
        trigger->SetOwnName("DATABASE");
    if (Is(syAS))
        ParseBody(trigger, SyBegPos()); // a trigger's body keeps its AS

    // Linked only once filed: a refused trigger is freed, and no record may point to it.
    TTrgData* filed = created ? AddObj(std::move(created)) : trigger;
    if (filed && !filed->IsDatabaseTrigger())
        LinkDepend(filed, filed->OwnName(), TDbObjectSet{dboTable, dboView});
    CloseStatement(stStatement, name, dboTrigger, operation);
}

// The events after BEFORE or AFTER: up to three of INSERT, UPDATE and DELETE, or the DDL events
// of a Firebird 3 trigger, joined by OR.
void TIbParser::ParseTriggerEvents(TTrgData& trigger, bool after) {
    trigger.BefAft = after ? baAfter : baBefore;
    if (Is(syINSERT) || Is(syUPDATE) || Is(syDELETE)) {
        // The catalogue's type number: the action codes 1 to 3 in bits 1-2, 3-4 and 5-6 over
        // the BEFORE (0) or AFTER (1) bit, less one.
        std::int64_t typ = after ? 1 : 0;
        trigger.InsUpdDel = {};
        for (int shift = 1; shift <= 5; shift += 2) {
            const int code = Is(syINSERT) ? 1 : Is(syUPDATE) ? 2 : Is(syDELETE) ? 3 : 0;
            if (code == 0) {
                ErrMsg("Missing: INSERT / UPDATE / DELETE");
                break;
            }
            typ += std::int64_t{code} << shift;
            trigger.InsUpdDel.Include(code == 1 ? iudInsert : code == 2 ? iudUpdate : iudDelete);
            GetSy();
            if (!Is(syOR) || shift == 5)
                break;
            GetSy();
        }
        trigger.Typ = typ - 1;
        return;
    }

    std::int64_t typ = TrgTypeDdl | (after ? 1 : 0);
    if (Is(syANY)) { // ANY DDL STATEMENT
        GetSy();
        TestAndGetIdent("DDL");
        TestAndGetIdent("STATEMENT");
        trigger.Typ = TrgTypeDdlAny | (after ? 1 : 0);
        return;
    }
    for (;;) {
        if (!Is(syCREATE) && !Is(syALTER) && !Is(syDROP)) {
            ErrMsg("Missing: INSERT / UPDATE / DELETE");
            return;
        }
        std::string event = UpperText(Ident());
        GetSy();
        event += " " + UpperText(Ident());
        const bool character = Is(syCHARACTER);
        const bool package = IsWord("PACKAGE");
        GetSy();
        if (character || (package && IsWord("BODY"))) {
            event += " " + UpperText(Ident());
            GetSy();
        }
        const int bit = DdlTriggerEventBit(event);
        if (bit < 0)
            ErrMsg("Missing: INSERT / UPDATE / DELETE");
        else
            typ |= std::int64_t{1} << bit;
        if (!Is(syOR))
            break;
        GetSy();
    }
    trigger.Typ = typ;
}

// ---------------------------------------------------------------------------------------------
// Views, packages, blocks

void TIbParser::ParseView(Verb verb) {
    GetSy();
    const std::string name = GetName();
    TViwData* view = verb != Verb::Create && Objs() ? Objs()->GetView(name) : nullptr;
    std::unique_ptr<TViwData> created;
    if (view) {
        ForgetColumns(view->Flds);
    } else {
        created = std::make_unique<TViwData>(Objs());
        created->SetObjName(name);
        view = created.get();
    }
    if (Sy() == sy_LParen) {
        GetSy();
        while (Sy() != sy_RParen && Sy() != sy_Term && Sy() != sy_EOF) {
            view->AddFld(GetName());
            if (Sy() != sy_Comma)
                break;
            GetSy();
        }
        TestAndGetSy(sy_RParen);
    }
    TestWord(syAS);
    if (Is(syAS))
        ParseBody(view, 0);
    if (created)
        AddObj(std::move(created));
    CloseStatement(stStatement, name, dboView, verb == Verb::Alter ? odbAlter : odbCreate);
}

void TIbParser::ParsePackage() {
    GetSy();
    const bool body = IsWord("BODY");
    if (body)
        GetSy();
    const std::string name = GetName();
    TPkgData* package = Objs() ? Objs()->GetPackage(name) : nullptr;
    const TDbOperation operation = package ? odbAlter : odbCreate;
    std::unique_ptr<TPkgData> created;
    if (!package) {
        created = std::make_unique<TPkgData>(Objs());
        created->SetObjName(name);
        package = created.get();
    }
    package->ParseBody = body;
    TestWord(syAS);
    if (Is(syAS))
        ParseBody(package, 0);
    if (created)
        AddObj(std::move(created));
    CloseStatement(stStatement, name, dboPackage, operation);
}

void TIbParser::ParseExecuteBlock() {
    GetSy();
    TPrcData block(Objs());
    if (Sy() == sy_LParen)
        ParseParams(block, ioIn);
    if (Is(syRETURNS)) {
        GetSy();
        ParseParams(block, ioOut);
    }
    TestWord(syAS);
    if (Is(syAS))
        ParseBody(&block, 0);
    CloseStatement(stExecuteBlock, "", dboUnknown, odbUnknown);
}

} // namespace dbc
