// The Firebird script parser: its lexical forms, the statement dispatcher and the statements
// that build no schema object (settings, descriptions, data statements, drops, INPUT).

#include "engine/dbcIBParser.h"

#include "engine/dbcComp_Dmn.h"
#include "engine/dbcComp_Exc.h"
#include "engine/dbcComp_Fnc.h"
#include "engine/dbcComp_Gnr.h"
#include "engine/dbcComp_Idx.h"
#include "engine/dbcComp_Pkg.h"
#include "engine/dbcComp_Prc.h"
#include "engine/dbcComp_Rol.h"
#include "engine/dbcComp_Tbl.h"
#include "engine/dbcComp_Trg.h"
#include "engine/dbcComp_Viw.h"
#include "engine/dbcParser_Buffer.h"

#include <filesystem>

namespace dbc {

namespace {

constexpr int kMaxInputDepth = 16;

bool IsHexDigit(char32_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction and lexical forms

TIbParser::TIbParser(TCustomExtract* extractor) : TCustomSQLParser(extractor) {
    SetDatabaseType(dbInterBase);
    RebuildResWords();
    ibServerOptions_.SQLDialect = 1;
}

TIbParser::~TIbParser() = default;

void TIbParser::BuildResWords() {
    TCustomSQLParser::BuildResWords();
    for (const TIbResWord& entry : IbResWords())
        AddResWord(std::string(entry.Word), entry.Symbol);
}

std::uint8_t TIbParser::FindResWord(const std::string& upperWord) const {
    const std::uint8_t code = TCustomSQLParser::FindResWord(upperWord);
    if (code > syLastFixedSymbol &&
        !IbKeywordSet(ibServerOptions_.SQLServerVersion).Contains(static_cast<TIbSymbol>(code)))
        return sy_Ident;
    return code;
}

void TIbParser::DoGetSy() {
    quoted_ = false;
    if (CheckTermStr())
        return;
    const char32_t c = Ch();
    const TIBSQLServerVersionType version = ibServerOptions_.SQLServerVersion;
    const bool hexLiterals = version == st_Firebird_25 || version == st_Firebird_30;

    if (c == '_') {
        // A character-set introducer such as _UTF8 before a string.
        GetChar();
        GetIdent();
        SetIdent("_" + UpperText(Ident()));
        SetSy(syCharsetIntroducer);
        return;
    }
    if (hexLiterals && c == '0' && (CurCh() == 'x' || CurCh() == 'X') && IsHexDigit(NextCh())) {
        GetChar();
        GetChar();
        std::string digits;
        std::uint64_t value = 0;
        for (; IsHexDigit(Ch()); GetChar()) {
            digits += static_cast<char>(Ch());
            value = value * 16 + static_cast<std::uint64_t>(HexValue(static_cast<char>(Ch())));
        }
        SetStrVal(digits);
        SetIntVal(static_cast<std::int64_t>(value));
        SetSy(sy_Integer);
        return;
    }
    if (hexLiterals && (c == 'x' || c == 'X') && CurCh() == '\'') {
        GetChar();
        const std::string digits = GetStr();
        std::string bytes;
        bool valid = digits.size() % 2 == 0;
        for (std::size_t i = 0; valid && i < digits.size(); i += 2) {
            const int high = HexValue(digits[i]), low = HexValue(digits[i + 1]);
            valid = high >= 0 && low >= 0;
            bytes += static_cast<char>(high * 16 + low);
        }
        if (!valid)
            ErrMsg("Invalid hexadecimal string: X'" + digits + "'");
        SetStrVal(valid ? bytes : std::string());
        SetStrQuoteCh('\'');
        SetSy(sy_String);
        return;
    }
    TCustomSQLParser::DoGetSy();
    // In dialect 3 double quotes delimit an identifier, whose case is kept.
    if (ibServerOptions_.SQLDialect == 3 && Sy() == sy_String && StrQuoteCh() == '"' &&
        !StrVal().empty()) {
        SetSy(sy_Ident);
        SetIdent(StrVal());
        quoted_ = true;
    }
}

bool TIbParser::Is(TIbSymbol word) const {
    if (Sy() == word)
        return true;
    return Sy() == sy_Ident && !quoted_ && IbFindResWord(Ident()) == word;
}

void TIbParser::TestWord(TIbSymbol word) {
    if (!Is(word))
        TestSy(word);
}

void TIbParser::TestAndGetWord(TIbSymbol word) {
    TestWord(word);
    GetSy();
}

void TIbParser::TestAndGetIdent(std::string_view word) {
    TestIdent(word);
    GetSy();
}

bool TIbParser::IsWord(std::string_view word) const { return !quoted_ && IsIdent(word); }

std::string TIbParser::GetName() {
    if (Sy() == sy_Ident) {
        std::string name = Ident();
        GetSy();
        return name;
    }
    TestSy(sy_Ident);
    // A reserved word in a name's place is taken as the name, so that reading goes on.
    std::string name = UpperText(Ident());
    if (!name.empty())
        GetSy();
    return name;
}

std::string TIbParser::QuoteIdent(std::string_view name) const {
    if (ibServerOptions_.SQLDialect != 3)
        return std::string(name);
    return dbc::QuoteIdent(name, ibServerOptions_.SQLServerVersion, 3);
}

std::string TIbParser::GetScriptInfo() const {
    std::string info = TCustomSQLParser::GetScriptInfo();
    if (!TableName.empty() && !FieldName.empty())
        info += " Table:" + TableName + " Field:" + FieldName + " ";
    return info;
}

TGntData* TIbParser::AddGrant(std::unique_ptr<TGntData> grant) {
    return Objs() ? Objs()->AddGrant(std::move(grant)) : nullptr;
}

// ---------------------------------------------------------------------------------------------
// The dispatcher

void TIbParser::ParseScript(const std::vector<std::string>& lines, TCustomObjs* objs) {
    autoDDL_ = true;
    ibServerOptions_.SQLDialect = 1;
    TCustomSQLParser::ParseScript(lines, objs);
    if (Objs())
        Objs()->IBServerOptions().Assign(ibServerOptions_);
}

void TIbParser::ParseText() {
    GetSy();
    while (Sy() != sy_EOF && !TerminateRunning) {
        SetStBegPos(SyBegPos());
        TableName.clear();
        FieldName.clear();
        const std::size_t start = SyBegPos();
        HoldTerminator = true;
        ParseStatement();
        HoldTerminator = false;
        if (SyBegPos() == start && Sy() != sy_EOF)
            GetSy(); // a statement reader that consumed nothing must not stall the script
    }
}

void TIbParser::SkipToTerm() { SkipStatement({sy_Term}); }

void TIbParser::PassTerminator() {
    HoldTerminator = false;
    GetSy();
    HoldTerminator = true;
}

void TIbParser::RejectStatement(const std::string& message) {
    ErrMsg(message);
    SkipToTerm();
    CloseStatement();
}

void TIbParser::ReachTerminator() {
    if (Sy() == sy_Term)
        return;
    TestSy(sy_Term);
    SkipToTerm();
}

void TIbParser::CloseStatement() {
    ReachTerminator();
    PassTerminator();
}

void TIbParser::CloseStatement(TStatType typ, std::string_view objName, TDbObject objType,
                               TDbOperation operation, std::string_view ownName) {
    ReachTerminator();
    DoAddStatement(typ, objName, objType, operation, ownName);
    PassTerminator();
}

void TIbParser::ParseStatement() {
    if (Sy() == sy_Term) { // an empty statement
        PassTerminator();
    } else if (Is(syCREATE)) {
        ParseCreate(Verb::Create);
    } else if (Is(syRECREATE)) {
        ParseCreate(Verb::Recreate);
    } else if (Is(syALTER)) {
        GetSy();
        ParseObjectStatement(Verb::Alter);
    } else if (Is(syDROP)) {
        ParseDrop();
    } else if (Is(syDECLARE)) {
        GetSy();
        if (!Is(syEXTERNAL))
            return RejectStatement("Missing/unknown: DDL-statement: " + SyResWord());
        GetSy();
        TestAndGetWord(syFUNCTION);
        ParseExternalFunction();
    } else if (Is(syGRANT)) {
        ParseGrant();
    } else if (Is(syREVOKE)) {
        SkipToTerm();
        CloseStatement(stStatement, "", dboGrant, odbDrop);
    } else if (IsWord("COMMENT")) {
        ParseComment();
    } else if (Is(syDESCRIBE)) {
        ParseDescribe();
    } else if (Is(sySET)) {
        ParseSet();
    } else if (Is(syCOMMIT) || IsWord("ROLLBACK")) {
        // The executor commits each statement on its own.
        GetSy();
        if (Is(syWORK))
            GetSy();
        CloseStatement();
    } else if (Is(syEXECUTE)) {
        ParseExecute();
    } else if (Is(syINSERT) || Is(syUPDATE) || Is(syDELETE) || Is(sySELECT) || Is(syWITH)) {
        ParseDataStatement();
    } else if (IsWord("CONNECT")) {
        GetSy();
        if (Is(syDATABASE))
            GetSy();
        ParseDatabaseClause(stConnect);
    } else if (IsWord("RECONNECT")) {
        GetSy();
        CloseStatement(stReconnect, "", dboUnknown, odbUnknown);
    } else if (IsWord("REINSERT")) {
        SkipToTerm();
        CloseStatement();
    } else if (IsWord("INPUT")) {
        ParseInput();
    } else if (Sy() == sy_Ident) {
        RejectStatement("Unknown statement: " + SyResWord());
    } else {
        RejectStatement("Missing/unknown: DDL-statement: " + SyResWord());
    }
}

void TIbParser::ParseCreate(Verb verb) {
    GetSy();
    if (verb == Verb::Create && Is(syOR)) {
        GetSy();
        if (!Is(syALTER)) {
            return RejectStatement("Unknown CREATE-statement");
        }
        GetSy();
        verb = Verb::CreateOrAlter;
    }
    ParseObjectStatement(verb);
}

void TIbParser::ParseObjectStatement(Verb verb) {
    const bool create = verb == Verb::Create;
    const bool alter = verb == Verb::Alter;
    const bool firebird3 = ibServerOptions_.SQLServerVersion == st_Firebird_30;
    auto unknown = [&] {
        RejectStatement(alter                           ? "Unknown ALTER statement."
                        : verb == Verb::CreateOrAlter ? "Unknown ALTER-statement"
                                                      : "Unknown CREATE-statement");
    };
    // Statements whose rest the script model takes as it is.
    auto skipped = [&](const std::string& name, TDbObject kind, TDbOperation operation) {
        SkipToTerm();
        CloseStatement(stStatement, name, kind, operation);
    };

    if (Is(syTABLE)) {
        if (alter)
            return ParseAlterTable();
        if (verb == Verb::CreateOrAlter)
            return unknown();
        return ParseCreateTable(verb, false);
    }
    if (Is(syGLOBAL)) {
        if (alter || verb == Verb::CreateOrAlter)
            return unknown();
        GetSy();
        if (!Is(syTEMPORARY)) {
            return RejectStatement("TEMPORARY expected, but " + UpperText(Ident().empty() ? SyResWord() : Ident()) + " found.");
        }
        GetSy();
        TestWord(syTABLE);
        return ParseCreateTable(verb, true);
    }
    if (Is(syINDEX) && alter)
        return ParseAlterIndex();
    if (create && (Is(syUNIQUE) || Is(syASCENDING) || Is(syDESCENDING) || Is(syINDEX)))
        return ParseCreateIndex();
    if (Is(syPROCEDURE))
        return ParseProcedure(false);
    if (Is(syFUNCTION) && firebird3)
        return ParseProcedure(true);
    if (Is(syTRIGGER))
        return ParseTrigger(verb);
    if (Is(syVIEW))
        return ParseView(verb);
    if (IsWord("PACKAGE") && (verb != Verb::CreateOrAlter || firebird3))
        return ParsePackage();
    if (Is(syEXCEPTION))
        return ParseException(verb);
    if (Is(syGENERATOR) || IsWord("SEQUENCE")) {
        if (!alter)
            return ParseGenerator(verb);
        GetSy();
        return skipped(GetName(), dboGenerator, odbAlter);
    }
    if (Is(syDOMAIN)) {
        if (create)
            return ParseDomain();
        if (!alter)
            return unknown();
        GetSy();
        return skipped(GetName(), dboDomain, odbAlter);
    }
    if (Is(syROLE) && create)
        return ParseRole();
    if (Is(syDATABASE) || IsWord("SCHEMA")) {
        if (alter)
            return skipped("", dboDatabase, odbAlter);
        if (!create)
            return unknown();
        GetSy();
        return ParseDatabaseClause(stCreateDb);
    }
    if (IsWord("COLLATION") && create) {
        GetSy();
        return skipped(GetName(), dboCollation, odbCreate);
    }
    if (Is(syEXTERNAL) && alter) {
        GetSy();
        TestAndGetWord(syFUNCTION);
        return skipped(GetName(), dboFunction, odbAlter);
    }
    if (Is(syCHARACTER) && alter) // ALTER CHARACTER SET cs SET DEFAULT COLLATION c
        return skipped("", dboUnknown, odbAlter);
    unknown();
}

TDbObject TIbParser::KindWord() const {
    if (Is(syTABLE)) return dboTable;
    if (Is(syVIEW)) return dboView;
    if (Is(syPROCEDURE)) return dboProcedure;
    if (Is(syTRIGGER)) return dboTrigger;
    if (Is(syDOMAIN)) return dboDomain;
    if (Is(syEXCEPTION)) return dboException;
    if (Is(syGENERATOR) || IsWord("SEQUENCE")) return dboGenerator;
    if (Is(syINDEX)) return dboIndex;
    if (Is(syROLE)) return dboRole;
    if (Is(syFUNCTION)) return dboFunction;
    if (IsWord("PACKAGE")) return dboPackage;
    if (IsWord("COLLATION")) return dboCollation;
    if (Is(syFILTER)) return dboBlobFilter;
    if (Is(syUSER)) return dboUser;
    if (Is(syCOLUMN) || IsWord("FIELD")) return dboField;
    if (Is(syPARAMETER)) return dboParam;
    return dboUnknown;
}

TDbObj* TIbParser::DescribedObject(TDbObject kind, const std::string& owner, const std::string& name) const {
    TCustomObjs* objs = Objs();
    if (!objs)
        return nullptr;
    switch (kind) {
    case dboField:
        if (TFldData* column = objs->GetTableField(owner, name))
            return column;
        return objs->GetViewField(owner, name);
    case dboParam: return objs->GetProcParam(owner, name);
    case dboRole: return objs->GetRole(name);
    case dboPackage: return objs->GetPackage(name);
    // A stored function, else an external one.
    case dboFunction: return FindObj(name, TDbObjectSet{dboProcedure, dboFunction});
    default: return FindObj(name, TDbObjectSet{kind});
    }
}

void TIbParser::ParseDrop() {
    GetSy();
    static const TDbObjectSet kDroppable{dboDomain, dboException, dboIndex, dboProcedure, dboRole,
                                         dboTable, dboTrigger, dboView, dboGenerator, dboFunction,
                                         dboPackage, dboCollation};
    TDbObject kind = KindWord();
    if (Is(syEXTERNAL)) {
        GetSy();
        TestWord(syFUNCTION);
        kind = dboFunction;
    }
    if (!kDroppable.Contains(kind)) {
        ErrMsg("Unknown DROP statement");
        SkipToTerm();
        return CloseStatement(stStatement, "", dboUnknown, odbDrop);
    }
    GetSy();
    if (kind == dboPackage && IsWord("BODY")) {
        kind = dboPackageBody;
        GetSy();
    }
    const std::string name = GetName();
    // DROP FUNCTION names a stored function unless an external one of that name is known.
    if (kind == dboFunction && Objs() && !Objs()->GetFunction(name) && Objs()->GetProcedure(name))
        kind = dboProcedure;
    CloseStatement(stStatement, name, kind, odbDrop);
}

// ---------------------------------------------------------------------------------------------
// Settings

void TIbParser::ParseSet() {
    GetSy();
    if (IsWord("TERM"))
        return ParseSetTerm();
    if (IsWord("AUTODDL")) {
        GetSy();
        if (Is(syON) || IsWord("OFF")) {
            autoDDL_ = Is(syON);
            GetSy();
        } else {
            ErrMsg("Missing: ON/OFF in \"SET AUTODDL...\"");
        }
        return CloseStatement(stSet, "", dboUnknown, odbSet);
    }
    if (IsWord("SQL")) {
        GetSy();
        TestAndGetIdent("DIALECT");
        if (Sy() == sy_Equal)
            GetSy();
        TestSy(sy_Integer);
        const std::string dialect = StrVal();
        if (Sy() == sy_Integer && IntVal() >= 1 && IntVal() <= 3)
            ibServerOptions_.SQLDialect = static_cast<TIBSQLDialectType>(IntVal());
        else
            ErrMsg("Invalid SQL dialect: " + dialect);
        GetSy();
        return CloseStatement(stSqlDialect, dialect, dboUnknown, odbSet);
    }
    if (IsWord("BLOBFILE")) {
        GetAndTestSy(sy_String);
        const std::string file = StrVal();
        GetSy();
        return CloseStatement(stSetBlobFile, file, dboUnknown, odbSet);
    }
    if (Is(syNAMES)) {
        GetSy();
        const std::string charset = UpperText(GetName());
        ibServerOptions_.SetDBCharSet(charset);
        return CloseStatement(stSetNames, charset, dboUnknown, odbSet);
    }
    if (Is(syGENERATOR)) {
        GetSy();
        const std::string name = GetName();
        TestAndGetWord(syTO);
        std::string value;
        if (Sy() == sy_Minus || Sy() == sy_Plus) {
            if (Sy() == sy_Minus)
                value = "-";
            GetSy();
        }
        TestSy(sy_Integer);
        value += StrVal();
        GetSy();
        if (TGnrData* generator = Objs() ? Objs()->GetGenerator(name) : nullptr)
            generator->Value = value;
        return CloseStatement(stStatement, name, dboGenerator, odbAlter);
    }
    if (Is(sySTATISTICS)) {
        GetSy();
        TestAndGetWord(syINDEX);
        const std::string name = GetName();
        return CloseStatement(stStatement, name, dboIndex, odbSet);
    }
    SkipToTerm();
    CloseStatement(stSet, "", dboUnknown, odbSet);
}

// SET TERM x, where x is read character by character: the run after the blanks up to the next
// blank, the first character of the current terminator, or the end of the text.
void TIbParser::ParseSetTerm() {
    auto blank = [](char32_t c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; };
    while (blank(Ch()))
        GetChar();
    const std::size_t start = ChIx();
    const char32_t first = TermStr().empty() ? 0 : static_cast<unsigned char>(TermStr()[0]);
    while (!AtEndOfText() && !blank(Ch()) && Ch() != first)
        GetChar();
    const std::string term = CopyTxt(start, ChIx() - start);
    GetSy();
    if (term.empty()) {
        ErrMsg("Missing: new terminator in \"SET TERM\"");
        return CloseStatement();
    }
    TestSy(sy_Term);
    if (Sy() != sy_Term)
        SkipToTerm();
    SetTermStr(term); // read from the next symbol on
    PassTerminator();
}

// The database name and options after CONNECT or CREATE DATABASE.
void TIbParser::ParseDatabaseClause(TStatType typ) {
    TConnectionOptions& connection = ConnectionOptions();
    std::string database;
    if (Sy() == sy_String) {
        database = StrVal();
        connection.DatabaseName = database;
        DoLogNextLine("Database connect: " + database);
        GetSy();
    } else {
        TestSy(sy_String);
    }
    auto stringValue = [this](std::string& target) {
        GetSy();
        TestSy(sy_String);
        if (Sy() != sy_String)
            return;
        target = StrVal();
        GetSy();
    };
    while (Sy() != sy_Term && Sy() != sy_EOF) {
        if (Is(syPAGE_SIZE)) {
            GetSy();
            if (Sy() == sy_Equal)
                GetSy();
            TestSy(sy_Integer);
            ibServerOptions_.IBDatabaseOptions.PageSize = static_cast<int>(IntVal());
            GetSy();
        } else if (Is(syDEFAULT)) {
            GetSy();
            TestAndGetWord(syCHARACTER);
            TestAndGetWord(sySET);
            ibServerOptions_.SetDBCharSet(GetName());
        } else if (IsWord("COLLATION")) {
            GetSy();
            GetName();
        } else if (Is(syUSER)) {
            stringValue(connection.UserName);
        } else if (Is(syPASSWORD)) {
            stringValue(connection.Password);
        } else if (Is(syROLE)) {
            stringValue(connection.RoleName);
        } else {
            ErrMsg("Unknown token in DB-declaration.");
            GetSy();
        }
    }
    CloseStatement(typ, database, dboUnknown, odbSet);
}

// ---------------------------------------------------------------------------------------------
// Descriptions

void TIbParser::ParseComment() {
    GetSy();
    if (!Is(syON))
        return RejectStatement("Unknown Comment-statement");
    GetSy();
    TDbObject kind = Is(syDATABASE) ? dboDatabase : KindWord();
    // A character set is no object of the collections; its description is only passed on.
    const bool characterSet = Is(syCHARACTER);
    if (Is(syEXTERNAL)) {
        GetSy();
        TestWord(syFUNCTION);
        kind = dboFunction;
    } else if (characterSet) {
        GetSy();
        TestWord(sySET);
    }
    if (kind == dboUnknown && !characterSet)
        return RejectStatement("Unknown Comment-statement");
    GetSy();
    std::vector<std::string> names;
    if (kind != dboDatabase) {
        names.push_back(GetName());
        while (Sy() == sy_Dot) {
            GetSy();
            names.push_back(GetName());
        }
    }
    if (!Is(syIS))
        return RejectStatement("Unknown Comment-statement");
    GetSy();
    std::string text;
    if (Sy() == sy_String)
        text = StrVal();
    else if (!Is(syNULL))
        ErrMsg("Invalid comment text");
    if (Sy() != sy_Term)
        GetSy();

    // Columns and parameters are named owner.name. Package members are not filed, so a longer
    // name (or a qualified one of another kind) describes nothing in the collections.
    const bool owned = kind == dboField || kind == dboParam;
    const std::string name = names.empty() ? std::string() : names.back();
    const std::string owner = owned && names.size() == 2 ? names[0] : std::string();
    if (kind == dboDatabase && Objs())
        Objs()->DBDescription = text;
    else if (names.size() == (owned ? 2u : 1u))
        if (TDbObj* target = DescribedObject(kind, owner, name))
            target->Description = text;
    CloseStatement(stStatement, name, kind, odbDescription, owner);
}

// DESCRIBE kind name 'text', DESCRIBE FIELD f TABLE|VIEW t 'text' and DESCRIBE PARAMETER p
// PROCEDURE x 'text': the description statements of the script model's udDescribe mode.
void TIbParser::ParseDescribe() {
    GetSy();
    static const TDbObjectSet kDescribable{dboDomain, dboTable, dboProcedure, dboTrigger, dboException,
                                           dboIndex, dboFunction, dboView, dboGenerator, dboRole,
                                           dboField, dboParam};
    const TDbObject kind = KindWord();
    if (!kDescribable.Contains(kind))
        return RejectStatement("Unknown DESCRIBE statement.");
    GetSy();
    const std::string name = GetName();
    std::string owner;
    if (kind == dboField || kind == dboParam) {
        const bool ownerFits = kind == dboParam ? Is(syPROCEDURE) : Is(syTABLE) || Is(syVIEW);
        if (!ownerFits)
            return RejectStatement("Unknown DESCRIBE statement.");
        GetSy();
        owner = GetName();
    }
    TestSy(sy_String);
    const std::string text = Sy() == sy_String ? StrVal() : std::string();
    if (Sy() == sy_String)
        GetSy();
    if (TDbObj* target = DescribedObject(kind, owner, name))
        target->Description = text;
    ReachTerminator();
    if (TStatement* statement = DoAddStatement(stDescription, name, kind, odbDescription, owner))
        statement->Description = text;
    PassTerminator();
}

// ---------------------------------------------------------------------------------------------
// Data statements, EXECUTE, INPUT

void TIbParser::ParseDataStatement() {
    if (Is(sySELECT) || Is(syWITH)) {
        SkipToTerm();
        return CloseStatement(stSelect, "", dboUnknown, odbUnknown);
    }
    TStatType typ = stInsert;
    TDbOperation operation = odbInsert;
    if (Is(syINSERT)) {
        GetSy();
        TestAndGetWord(syINTO);
    } else if (Is(syDELETE)) {
        typ = stDelete;
        operation = odbDelete;
        GetSy();
        TestAndGetWord(syFROM);
    } else {
        typ = stUpdate;
        operation = odbUpdate;
        GetSy();
        if (Is(syOR)) { // UPDATE OR INSERT INTO t
            GetSy();
            TestAndGetWord(syINSERT);
            TestAndGetWord(syINTO);
        }
    }
    const std::string table = GetName();
    SkipToTerm();
    CloseStatement(typ, table, dboTable, operation);
}

void TIbParser::ParseExecute() {
    GetSy();
    if (IsWord("BLOCK"))
        return ParseExecuteBlock();
    if (Is(syPROCEDURE)) {
        GetSy();
        const std::string name = GetName();
        SkipToTerm();
        return CloseStatement(stStatement, name, dboProcedure, odbUnknown);
    }
    if (!IsWord("STATEMENT"))
        ErrMsg("Must be: PROCEDURE / STATEMENT.");
    SkipToTerm();
    CloseStatement();
}

std::unique_ptr<TIbParser> TIbParser::CreateChildParser() {
    return std::make_unique<TIbParser>(Extractor());
}

// INPUT 'file': the file is read into the same collections by a child parser that reports its
// statements to the same handler.
void TIbParser::ParseInput() {
    GetAndTestSy(sy_String);
    std::filesystem::path file = Sy() == sy_String ? StrVal() : std::string();
    if (Sy() == sy_String)
        GetSy();
    ReachTerminator();
    if (!file.empty()) {
        if (file.is_relative() && !ScriptFileName.empty())
            file = std::filesystem::path(ScriptFileName).parent_path() / file;
        if (inputDepth_ >= kMaxInputDepth) {
            ErrMsg("INPUT nested too deeply: " + file.string());
        } else {
            std::unique_ptr<TIbParser> child = CreateChildParser();
            child->inputDepth_ = inputDepth_ + 1;
            child->IBServerOptions().Assign(ibServerOptions_);
            child->ScriptFileName = file.string();
            child->ParseBuffer = ParseBuffer;
            child->UpdateProgress = UpdateProgress;
            child->DebugLogOptions = DebugLogOptions;
            child->OnErrorMessage = OnErrorMessage;
            child->OnLogNextLine = OnLogNextLine;
            child->OnDebugMessage = OnDebugMessage;
            child->OnProgressUpdate = OnProgressUpdate;
            child->OnAddStatement = OnAddStatement;
            child->ParseFile(file.string(), Objs());
            MsgManager().CopyFrom(&child->MsgManager());
        }
    }
    PassTerminator();
}

} // namespace dbc
