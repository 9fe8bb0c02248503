#pragma once

// The Firebird reserved-word table, which words each server version reserves, the quoting rule
// for identifiers in SQL dialect 3, and the Firebird script parser built on them: it reads a
// script statement by statement, reports each statement to a script model, builds the objects
// the statements define into a collection and records the settings the script declares.

#include "engine/dbcDBOptions.h"
#include "engine/dbcParser.h"
#include "engine/dbcSet.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dbc {

// Every word of the table: SYMBOL(code name, word) gives a word its own symbol code, SYNONYM(code
// name, word) maps a further word to the code of another (INT to INTEGER and so on).
#define DBC_IB_RESERVED_WORDS(SYMBOL, SYNONYM) \
    SYMBOL(syACTION, "ACTION") \
    SYMBOL(syACTIVE, "ACTIVE") \
    SYMBOL(syADD, "ADD") \
    SYMBOL(syADMIN, "ADMIN") \
    SYMBOL(syAFTER, "AFTER") \
    SYMBOL(syALL, "ALL") \
    SYMBOL(syALTER, "ALTER") \
    SYMBOL(syAND, "AND") \
    SYMBOL(syANY, "ANY") \
    SYMBOL(syAS, "AS") \
    SYNONYM(syASCENDING, "ASC") \
    SYMBOL(syASCENDING, "ASCENDING") \
    SYMBOL(syAT, "AT") \
    SYMBOL(syAUTO, "AUTO") \
    SYMBOL(syAVG, "AVG") \
    SYMBOL(syBEFORE, "BEFORE") \
    SYMBOL(syBEGIN, "BEGIN") \
    SYMBOL(syBETWEEN, "BETWEEN") \
    SYMBOL(syBIGINT, "BIGINT") \
    SYMBOL(syBLOB, "BLOB") \
    SYMBOL(syBOOLEAN, "BOOLEAN") \
    SYMBOL(syBY, "BY") \
    SYMBOL(syCACHE, "CACHE") \
    SYMBOL(syCASCADE, "CASCADE") \
    SYMBOL(syCASE, "CASE") \
    SYMBOL(syCAST, "CAST") \
    SYNONYM(syCHARACTER, "CHAR") \
    SYMBOL(syCHARACTER, "CHARACTER") \
    SYMBOL(syCHECK, "CHECK") \
    SYMBOL(syCHECK_POINT_LENGTH, "CHECK_POINT_LENGTH") \
    SYMBOL(syCLOSE, "CLOSE") \
    SYMBOL(syCOLLATE, "COLLATE") \
    SYMBOL(syCOLUMN, "COLUMN") \
    SYMBOL(syCOMMIT, "COMMIT") \
    SYMBOL(syCOMPUTED, "COMPUTED") \
    SYMBOL(syCONDITIONAL, "CONDITIONAL") \
    SYMBOL(syCONSTRAINT, "CONSTRAINT") \
    SYMBOL(syCONTAINING, "CONTAINING") \
    SYMBOL(syCOUNT, "COUNT") \
    SYMBOL(syCREATE, "CREATE") \
    SYMBOL(syCROSS, "CROSS") \
    SYMBOL(syCSTRING, "CSTRING") \
    SYMBOL(syCURRENT, "CURRENT") \
    SYMBOL(syCURRENT_DATE, "CURRENT_DATE") \
    SYMBOL(syCURRENT_TIME, "CURRENT_TIME") \
    SYMBOL(syCURRENT_TIMESTAMP, "CURRENT_TIMESTAMP") \
    SYMBOL(syCURSOR, "CURSOR") \
    SYMBOL(syDATABASE, "DATABASE") \
    SYMBOL(syDATE, "DATE") \
    SYNONYM(syDECIMAL, "DEC") \
    SYMBOL(syDECIMAL, "DECIMAL") \
    SYMBOL(syDECLARE, "DECLARE") \
    SYMBOL(syDEFAULT, "DEFAULT") \
    SYMBOL(syDELETE, "DELETE") \
    SYNONYM(syDESCENDING, "DESC") \
    SYMBOL(syDESCENDING, "DESCENDING") \
    SYMBOL(syDESCRIBE, "DESCRIBE") \
    SYMBOL(syDESCRIPTOR, "DESCRIPTOR") \
    SYMBOL(syDISTINCT, "DISTINCT") \
    SYMBOL(syDO, "DO") \
    SYMBOL(syDOMAIN, "DOMAIN") \
    SYMBOL(syDOUBLE, "DOUBLE") \
    SYMBOL(syDROP, "DROP") \
    SYMBOL(syELSE, "ELSE") \
    SYMBOL(syEND, "END") \
    SYMBOL(syENTRY_POINT, "ENTRY_POINT") \
    SYMBOL(syESCAPE, "ESCAPE") \
    SYMBOL(syEXCEPTION, "EXCEPTION") \
    SYMBOL(syEXECUTE, "EXECUTE") \
    SYMBOL(syEXISTS, "EXISTS") \
    SYMBOL(syEXIT, "EXIT") \
    SYMBOL(syEXTERNAL, "EXTERNAL") \
    SYMBOL(syEXTRACT, "EXTRACT") \
    SYMBOL(syFETCH, "FETCH") \
    SYMBOL(syFILE, "FILE") \
    SYMBOL(syFILTER, "FILTER") \
    SYMBOL(syFLOAT, "FLOAT") \
    SYMBOL(syFOR, "FOR") \
    SYMBOL(syFOREIGN, "FOREIGN") \
    SYMBOL(syFREE_IT, "FREE_IT") \
    SYMBOL(syFROM, "FROM") \
    SYMBOL(syFULL, "FULL") \
    SYMBOL(syFUNCTION, "FUNCTION") \
    SYMBOL(syGDSCODE, "GDSCODE") \
    SYMBOL(syGENERATOR, "GENERATOR") \
    SYMBOL(syGEN_ID, "GEN_ID") \
    SYMBOL(syGLOBAL, "GLOBAL") \
    SYMBOL(syGRANT, "GRANT") \
    SYMBOL(syGROUP, "GROUP") \
    SYMBOL(syHAVING, "HAVING") \
    SYMBOL(syIF, "IF") \
    SYMBOL(syIN, "IN") \
    SYMBOL(syINACTIVE, "INACTIVE") \
    SYMBOL(syINDEX, "INDEX") \
    SYMBOL(syINNER, "INNER") \
    SYMBOL(syINSERT, "INSERT") \
    SYNONYM(syINTEGER, "INT") \
    SYMBOL(syINTEGER, "INTEGER") \
    SYMBOL(syINTO, "INTO") \
    SYMBOL(syIS, "IS") \
    SYMBOL(syJOIN, "JOIN") \
    SYMBOL(syKEY, "KEY") \
    SYMBOL(syLEFT, "LEFT") \
    SYMBOL(syLIKE, "LIKE") \
    SYMBOL(syMAX, "MAX") \
    SYMBOL(syMERGE, "MERGE") \
    SYMBOL(syMIN, "MIN") \
    SYMBOL(syMODULE_NAME, "MODULE_NAME") \
    SYMBOL(syNAMES, "NAMES") \
    SYMBOL(syNATIONAL, "NATIONAL") \
    SYMBOL(syNATURAL, "NATURAL") \
    SYMBOL(syNCHAR, "NCHAR") \
    SYMBOL(syNO, "NO") \
    SYMBOL(syNOT, "NOT") \
    SYMBOL(syNULL, "NULL") \
    SYMBOL(syNUMERIC, "NUMERIC") \
    SYMBOL(syOF, "OF") \
    SYMBOL(syON, "ON") \
    SYMBOL(syOPEN, "OPEN") \
    SYMBOL(syOPTION, "OPTION") \
    SYMBOL(syOR, "OR") \
    SYMBOL(syORDER, "ORDER") \
    SYMBOL(syOUTER, "OUTER") \
    SYMBOL(syPAGE_SIZE, "PAGE_SIZE") \
    SYMBOL(syPARAMETER, "PARAMETER") \
    SYMBOL(syPASSWORD, "PASSWORD") \
    SYMBOL(syPERCENT, "PERCENT") \
    SYMBOL(syPLAN, "PLAN") \
    SYMBOL(syPOSITION, "POSITION") \
    SYMBOL(syPOST_EVENT, "POST_EVENT") \
    SYMBOL(syPRECISION, "PRECISION") \
    SYMBOL(syPRESERVE, "PRESERVE") \
    SYMBOL(syPRIMARY, "PRIMARY") \
    SYMBOL(syPRIVILEGES, "PRIVILEGES") \
    SYMBOL(syPROCEDURE, "PROCEDURE") \
    SYMBOL(syRDB_DB_KEY, "RDB$DB_KEY") \
    SYMBOL(syREAL, "REAL") \
    SYMBOL(syRECREATE, "RECREATE") \
    SYMBOL(syREFERENCES, "REFERENCES") \
    SYMBOL(syRELEASE, "RELEASE") \
    SYMBOL(syRETURNING_VALUES, "RETURNING_VALUES") \
    SYMBOL(syRETURNS, "RETURNS") \
    SYMBOL(syREVOKE, "REVOKE") \
    SYMBOL(syRIGHT, "RIGHT") \
    SYMBOL(syROLE, "ROLE") \
    SYMBOL(syROWS, "ROWS") \
    SYMBOL(sySAVEPOINT, "SAVEPOINT") \
    SYMBOL(sySEGMENT, "SEGMENT") \
    SYMBOL(sySELECT, "SELECT") \
    SYMBOL(sySET, "SET") \
    SYMBOL(sySIMILAR, "SIMILAR") \
    SYMBOL(sySINGULAR, "SINGULAR") \
    SYMBOL(sySIZE, "SIZE") \
    SYMBOL(sySMALLINT, "SMALLINT") \
    SYMBOL(sySOME, "SOME") \
    SYMBOL(sySORT, "SORT") \
    SYMBOL(sySQLCODE, "SQLCODE") \
    SYMBOL(sySTARTING, "STARTING") \
    SYMBOL(sySTARTS, "STARTS") \
    SYMBOL(sySTATISTICS, "STATISTICS") \
    SYMBOL(sySUB_TYPE, "SUB_TYPE") \
    SYMBOL(sySUM, "SUM") \
    SYMBOL(sySUSPEND, "SUSPEND") \
    SYMBOL(syTABLE, "TABLE") \
    SYMBOL(syTEMPORARY, "TEMPORARY") \
    SYMBOL(syTHEN, "THEN") \
    SYMBOL(syTIES, "TIES") \
    SYMBOL(syTIME, "TIME") \
    SYMBOL(syTIMESTAMP, "TIMESTAMP") \
    SYMBOL(syTO, "TO") \
    SYMBOL(syTRIGGER, "TRIGGER") \
    SYMBOL(syTYPE, "TYPE") \
    SYMBOL(syUNION, "UNION") \
    SYMBOL(syUNIQUE, "UNIQUE") \
    SYMBOL(syUPDATE, "UPDATE") \
    SYMBOL(syUPPER, "UPPER") \
    SYMBOL(syUSER, "USER") \
    SYMBOL(syUSING, "USING") \
    SYMBOL(syVALUE, "VALUE") \
    SYMBOL(syVALUES, "VALUES") \
    SYMBOL(syVARCHAR, "VARCHAR") \
    SYMBOL(syVARIABLE, "VARIABLE") \
    SYMBOL(syVARYING, "VARYING") \
    SYMBOL(syVIEW, "VIEW") \
    SYMBOL(syWHEN, "WHEN") \
    SYMBOL(syWHERE, "WHERE") \
    SYMBOL(syWHILE, "WHILE") \
    SYMBOL(syWITH, "WITH") \
    SYMBOL(syWORK, "WORK") \
    SYMBOL(syYEAR, "YEAR") \
    SYMBOL(syYEARDAY, "YEARDAY")

// Symbol codes of the table words. The parser framework fixes codes 0 to 29 (end of text,
// identifier, literals, punctuation); the Firebird words follow, and the last code is the
// character-set introducer (the table entry "_<charset>").
enum TIbSymbol : std::uint8_t {
    syLastFixedSymbol = 29,
#define DBC_IB_SYMBOL_CODE(code, word) code,
#define DBC_IB_NO_CODE(code, word)
    DBC_IB_RESERVED_WORDS(DBC_IB_SYMBOL_CODE, DBC_IB_NO_CODE)
#undef DBC_IB_SYMBOL_CODE
#undef DBC_IB_NO_CODE
    syCharsetIntroducer
};
using TIbSymbolSet = EnumSet<TIbSymbol, 256>;

struct TIbResWord {
    std::string_view Word;
    TIbSymbol Symbol;
};

// The 191 words and the "_<charset>" entry, in byte-wise order of the words.
std::span<const TIbResWord> IbResWords();
// The symbol of a table word given in upper case; 0 when the word is not in the table.
std::uint8_t IbFindResWord(std::string_view upperWord);
// The symbols the server version reserves; the table words outside it read as identifiers.
const TIbSymbolSet& IbKeywordSet(TIBSQLServerVersionType version);
// The data-type words (BLOB, CHAR, ..., BOOLEAN).
const TIbSymbolSet& IbTypeSymbols();

// True when the name must be written in double quotes in SQL dialect 3: a first character
// outside A-Z, a later one outside A-Z, 0-9, "_" and "$", a table word the version reserves, or a
// word on the version's additional list. An empty name needs no quotes.
bool IdentDialect3(std::string_view name, TIBSQLServerVersionType version);
// The name as DDL must spell it: in dialect 3, when IdentDialect3 asks for it, in double quotes
// with any double quote inside doubled; otherwise unchanged.
std::string QuoteIdent(std::string_view name, TIBSQLServerVersionType version, int sqlDialect);

class TCtrData;
class TFldData;
class TGntData;
class TPrcData;
class TTblData;
class TTrgData;

// Where a data type is read, which decides the clauses that may follow it.
enum class TFieldContext : std::uint8_t {
    Column,           // a table column: constraints, DEFAULT, NOT NULL, COLLATE, identity
    Domain,           // DEFAULT, NOT NULL, CHECK (the domain's own check), COLLATE
    Parameter,        // a procedure parameter: DEFAULT or "= value", NOT NULL, COLLATE
    FunctionArgument, // an external function argument: BY DESCRIPTOR, BY VALUE, NULL
    FunctionResult,   // the return value of a stored function: NOT NULL, COLLATE
    Variable          // a local variable
};

// The Firebird and InterBase script parser. Its server options choose the reserved words (by
// server version) and the reading of double quotes (by SQL dialect).
class TIbParser : public TCustomSQLParser {
public:
    explicit TIbParser(TCustomExtract* extractor);
    ~TIbParser() override;

    std::string_view ClassName() const override { return "TIbParser"; }

    // Server version and dialect (1 after construction and at the start of every script); a
    // script's SET NAMES, CREATE DATABASE character set and page size land here.
    TIBServerOptions& IBServerOptions() { return ibServerOptions_; }
    const TIBServerOptions& IBServerOptions() const { return ibServerOptions_; }
    bool AutoDDL() const { return autoDDL_; }

    // Resets AutoDDL and the dialect, parses, and copies the connection and server options into
    // the collections'.
    void ParseScript(const std::vector<std::string>& lines, TCustomObjs* objs) override;
    // The statement dispatcher.
    void ParseText() override;
    // The Firebird dependency passes around the generic ones.
    void Link_Depend() override;

    std::string QuoteIdent(std::string_view name) const override;
    std::string GetScriptInfo() const override;

    // Files a grant (merged into an equal one when possible); null when nothing new was filed.
    TGntData* AddGrant(std::unique_ptr<TGntData> grant);

protected:
    void BuildResWords() override;
    std::uint8_t FindResWord(const std::string& upperWord) const override;
    void DoGetSy() override;

    // Captures the body of a procedure, trigger, view, package or block: the text from start (a
    // 1-based buffer position; 0 for the current character) up to the terminator, outside
    // comments and literals. The structural body reader replaces this.
    virtual void ParseBody(TDbObj* obj, std::size_t start);
    // The raw text of a DEFAULT value starting at the current symbol; reads the next symbol.
    virtual void GetDefaultValue(TDbObj* obj, std::string& text);
    // The parser that reads a file named by INPUT.
    virtual std::unique_ptr<TIbParser> CreateChildParser();

    // Reads a data type and the clauses after it into fld; the current symbol is its first
    // word. Inline constraints of a column belong to tableName.
    void ParseFieldType(TFldData& fld, TFieldContext context, const std::string& tableName = {});

    // The current symbol is the word (reserved or, where the version leaves it free, an
    // identifier with its text).
    bool Is(TIbSymbol word) const;
    // Reports the word as missing unless Is(word).
    void TestWord(TIbSymbol word);
    // TestWord or TestIdent, then the next symbol.
    void TestAndGetWord(TIbSymbol word);
    void TestAndGetIdent(std::string_view word);
    // The current symbol is an unquoted identifier with that text (a word outside the table).
    bool IsWord(std::string_view word) const;
    // Reads a name: an identifier, or in dialect 3 a double-quoted one; reads the next symbol.
    std::string GetName();

    // The table and column being read; messages name them.
    std::string TableName;
    std::string FieldName;

private:
    enum class Verb : std::uint8_t { Create, Recreate, Alter, CreateOrAlter };

    // Statements.
    void ParseStatement();
    // Ends the statement at the terminator, reported (with the text up to it) or not.
    void CloseStatement();
    // Reports the message, then ends the statement at its terminator without reporting it.
    void RejectStatement(const std::string& message);
    // Skips to the terminator, reporting it as missing where the statement should end.
    void ReachTerminator();
    // Reads the symbol after the current terminator.
    void PassTerminator();
    void CloseStatement(TStatType typ, std::string_view objName, TDbObject objType,
                        TDbOperation operation, std::string_view ownName = {});
    void SkipToTerm();
    void ParseCreate(Verb verb);
    // The kind of object after CREATE, RECREATE, ALTER or CREATE OR ALTER, and its statement.
    void ParseObjectStatement(Verb verb);
    void ParseAlter();
    // The object kind the current word names in DROP, COMMENT ON and DESCRIBE.
    TDbObject KindWord() const;
    // The object a description is for: by name, or a column or parameter of its owner.
    TDbObj* DescribedObject(TDbObject kind, const std::string& owner, const std::string& name) const;
    void ParseDrop();
    void ParseSet();
    void ParseSetTerm();
    void ParseDatabaseClause(TStatType typ);
    void ParseComment();
    void ParseDescribe();
    void ParseExecute();
    void ParseDataStatement();
    void ParseInput();

    // Tables, columns, constraints, indices, domains.
    struct TActionReport {
        std::string Name;
        TDbObject Kind = dboUnknown;
        TDbOperation Operation = odbUnknown;
        std::string Owner;
    };
    struct TParsedConstraint {
        TCtrData* Filed = nullptr;
        std::string Name;
        TDbObject Kind = dboConstraint;
    };
    void ParseCreateTable(Verb verb, bool globalTemporary);
    void ParseAlterTable();
    TActionReport ParseAlterTableAction(TTblData& table);
    void SkipAlterTableAction();
    void ParseColumn(TTblData& table);
    void ParseDataType(TFldData& fld);
    void ParseCharLength(TFldData& fld);
    void ParseBlobType(TFldData& fld);
    void ParseFieldClauses(TFldData& fld, TFieldContext context, const std::string& tableName);
    bool StartsConstraint() const;
    // A table constraint, or with a column the constraint clause of that column.
    TParsedConstraint ParseConstraint(const std::string& tableName, TFldData* column);
    void ParseReferences(TCtrData& constraint);
    void ParseColumnList(ObjList<TFldData>& columns);
    TCtrData* FileConstraint(std::unique_ptr<TCtrData> constraint);
    void ParseCreateIndex();
    void ParseAlterIndex();
    void ParseDomain();
    // Frees the columns of an object whose definition is read again, with every dependency
    // record that refers to them.
    void ForgetColumns(ObjList<TFldData>& columns);
    // The parenthesised expression after the current symbol, or after the optional word that
    // follows it; reads the next symbol.
    std::string ParseExpressionAfter(TIbSymbol optionalWord);
    // An integer with an optional sign; reads the next symbol.
    std::int64_t ParseSignedInteger();
    std::int32_t ParseSignedInt32();

    // Procedures, functions, triggers, views, packages, blocks.
    void ParseProcedure(bool function);
    void ParseParams(TPrcData& procedure, TParamInOutType inOut);
    void ParseRoutineBody(TPrcData& procedure);
    void ParseTrigger(Verb verb);
    void ParseTriggerEvents(TTrgData& trigger, bool after);
    void ParseView(Verb verb);
    void ParsePackage();
    void ParseExecuteBlock();

    // Generators, exceptions, roles, external functions, grants.
    void ParseGenerator(Verb verb);
    void ParseException(Verb verb);
    void ParseRole();
    void ParseExternalFunction();
    void ParseGrant();

    // Dependency passes.
    void GrantsIdentity();
    void DeleteCtrIdx();
    void LinkDomains();
    void LinkRoutineCalls();

    TIBServerOptions ibServerOptions_;
    bool autoDDL_ = true;
    // The current identifier was written in double quotes, so it is never a keyword.
    bool quoted_ = false;
    // How many INPUT files deep this parser reads.
    int inputDepth_ = 0;
};

} // namespace dbc
