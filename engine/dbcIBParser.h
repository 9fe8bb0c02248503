#pragma once

// The Firebird reserved-word table, which words each server version reserves, and the quoting
// rule for identifiers in SQL dialect 3. The script parser builds its symbol table from these.

#include "engine/dbcDBOptions.h"
#include "engine/dbcSet.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

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

} // namespace dbc
