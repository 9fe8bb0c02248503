#include "engine/dbcIBParser.h"

#include <algorithm>
#include <array>
#include <vector>

namespace dbc {

namespace {

#define DBC_IB_TABLE_ENTRY(code, word) TIbResWord{word, code},
constexpr TIbResWord kResWords[] = {
    DBC_IB_RESERVED_WORDS(DBC_IB_TABLE_ENTRY, DBC_IB_TABLE_ENTRY)
    TIbResWord{"_<charset>", syCharsetIntroducer},
};
#undef DBC_IB_TABLE_ENTRY

// Table words each version does not reserve.
constexpr TIbSymbol kFreeIB4x[] = {
    syACTION, syADMIN, syBIGINT, syBOOLEAN, syCASCADE, syCASE, syCLOSE, syCOLUMN, syCROSS,
    syCURRENT_DATE, syCURRENT_TIME, syCURRENT_TIMESTAMP, syDESCRIBE, syDESCRIPTOR, syEXTRACT,
    syFETCH, syFREE_IT, syGLOBAL, syOPEN, syPERCENT, syPRESERVE, syRECREATE, syRELEASE, syROLE,
    syROWS, sySAVEPOINT, syTEMPORARY, syTIES, syTIME, syTIMESTAMP, syTYPE, syUSING, syYEAR,
    syYEARDAY};
// InterBase 5 reserves these, which InterBase 4 leaves free.
constexpr TIbSymbol kReservedSinceIB5x[] = {syACTION, syADMIN, syCASCADE, syFREE_IT, syROLE};
constexpr TIbSymbol kFreeIB6x[] = {
    syBIGINT, syBOOLEAN, syCASE, syCLOSE, syCROSS, syDESCRIBE, syDESCRIPTOR, syFETCH, syGLOBAL,
    syOPEN, syPERCENT, syPRESERVE, syRECREATE, syRELEASE, sySAVEPOINT, syTEMPORARY, syTIES,
    syUSING};
constexpr TIbSymbol kFreeIB7x[] = {syBIGINT,   syCLOSE, syCROSS,    syDESCRIBE, syDESCRIPTOR,
                                   syFETCH,    syOPEN,  syRECREATE, syUSING};
constexpr TIbSymbol kFreeFB1x[] = {
    syBIGINT, syBOOLEAN, syCASE, syCLOSE, syCROSS, syDESCRIBE, syDESCRIPTOR, syFETCH, syGLOBAL,
    syOPEN, syPERCENT, syPRESERVE, syRELEASE, syROWS, sySAVEPOINT, syTEMPORARY, syTIES, syUSING};
constexpr TIbSymbol kFreeFB15[] = {syBOOLEAN,   syCLOSE,   syCROSS,    syDESCRIBE, syDESCRIPTOR,
                                   syFETCH,     syGLOBAL,  syOPEN,     syPERCENT,  syPRESERVE,
                                   syROWS,      syTEMPORARY, syTIES,   syUSING};
constexpr TIbSymbol kFreeFB20[] = {syACTION,    syBOOLEAN,  syCACHE,     syCASCADE,
                                   syCHECK_POINT_LENGTH,    syDESCRIBE,  syDESCRIPTOR,
                                   syFREE_IT,   syGLOBAL,   syPERCENT,   syROLE,
                                   syTEMPORARY, syTIES};
constexpr TIbSymbol kFreeFB30[] = {
    syACTION, syACTIVE, syAFTER, syASCENDING, syAUTO, syBEFORE, syBOOLEAN, syCASCADE,
    syCOMPUTED, syCONDITIONAL, syCONTAINING, syCSTRING, syDATABASE, syDESCENDING, syDESCRIBE,
    syDESCRIPTOR, syDO, syDOMAIN, syENTRY_POINT, syEXCEPTION, syEXIT, syFILE, syFREE_IT,
    syGENERATOR, syGEN_ID, syIF, syINACTIVE, syKEY, syMODULE_NAME, syNAMES, syOPTION,
    syPAGE_SIZE, syPASSWORD, syPERCENT, syPRESERVE, syPRIVILEGES, syRELEASE, syROLE, sySEGMENT,
    sySINGULAR, sySIZE, sySORT, sySTARTING, sySTARTS, sySTATISTICS, sySUB_TYPE, sySUSPEND,
    syTEMPORARY, syTIES, syTYPE, syUSING, syWORK, syYEARDAY};
constexpr TIbSymbol kFreeYaffil[] = {
    syBIGINT, syBOOLEAN, syCLOSE, syCOLUMN, syCROSS, syCURRENT_DATE, syCURRENT_TIME,
    syCURRENT_TIMESTAMP, syDESCRIBE, syDESCRIPTOR, syEXTRACT, syFETCH, syGLOBAL, syOPEN,
    syPERCENT, syPRESERVE, syRECREATE, syRELEASE, syROWS, sySAVEPOINT, syTEMPORARY, syTIES,
    syTYPE, syUSING};

constexpr TIbSymbol kTypeSymbols[] = {
    syBLOB, syCHARACTER, syCSTRING, syDATE, syDECIMAL, syDOUBLE, syFLOAT, syINTEGER, syNUMERIC,
    syREAL, sySMALLINT, syTIME, syTIMESTAMP, syVARCHAR, syNCHAR, syBIGINT, syBOOLEAN};

// Words outside the table (or table words a version leaves free) that still force quoting. Later
// lists extend earlier ones, as the server versions did.
constexpr std::string_view kAddIB4x[] = {
    "BASE_NAME", "DEBUG", "INPUT_TYPE", "ISOLATION", "LENGTH", "LEVEL", "LOG_BUFFER_SIZE",
    "LOGFILE", "LONG", "MANUAL", "MAXIMUM_SEGMENT", "MESSAGE", "NUM_LOG_BUFFERS", "ONLY",
    "OUTPUT_TYPE", "OVERFLOW", "PAGE", "PAGES", "PROTECTED", "RAW_PARTITIONS", "READ",
    "RECORD_VERSION", "RESERV", "RESERVING", "RETAIN", "ROLLBACK", "SCHEMA", "SHADOW", "SHARED",
    "SNAPSHOT", "STABILITY", "STARTS", "TRANSACTION", "WAIT", "WRITE"};
constexpr std::string_view kAddIB5x[] = {"RESTRICT"};
constexpr std::string_view kAddIB6x[] = {"DAY",    "HOUR",    "MINUTE", "MONTH",
                                         "SECOND", "WEEKDAY", "YEAR",   "YEARDAY"};
constexpr std::string_view kAddIB7x[] = {"COALESCE", "FALSE", "NULLIF", "TRUE", "UNKNOWN"};
constexpr std::string_view kAddFB1x[] = {"BREAK", "CURRENT_ROLE", "CURRENT_USER", "DESCRIPTOR",
                                         "FIRST", "RECREATE",     "SKIP",         "SUBSTRING"};
constexpr std::string_view kAddFB15[] = {
    "BIGINT",       "CASE",     "CURRENT_CONNECTION", "CURRENT_ROLE", "CURRENT_TRANSACTION",
    "CURRENT_USER", "RECREATE", "RELEASE",            "ROW_COUNT",    "SAVEPOINT"};
constexpr std::string_view kAddFB20[] = {
    "BIGINT", "BIT_LENGTH", "BOTH", "CASE", "CHAR_LENGTH", "CHARACTER_LENGTH", "CLOSE", "CROSS",
    "CURRENT_CONNECTION", "CURRENT_ROLE", "CURRENT_TRANSACTION", "CURRENT_USER", "DAY", "DEBUG",
    "FETCH", "HOUR", "INPUT_TYPE", "ISOLATION", "LEADING", "LENGTH", "LEVEL", "LONG", "LOWER",
    "MANUAL", "MESSAGE", "MINUTE", "MONTH", "OCTET_LENGTH", "ONLY", "OPEN", "OUTPUT_TYPE",
    "OVERFLOW", "PAGE", "PAGES", "PROTECTED", "READ", "RECORD_VERSION", "RECREATE", "RELEASE",
    "RESERV", "RESERVING", "RETAIN", "ROLLBACK", "SCHEMA", "SECOND", "SHADOW", "SHARED",
    "SNAPSHOT", "STABILITY", "STARTS", "TRANSACTION", "WAIT", "WRITE", "YEAR", "ROW_COUNT",
    "ROWS", "SAVEPOINT", "TRAILING", "TRIM", "USING"};
constexpr std::string_view kAddFB25[] = {"OVER"};
constexpr std::string_view kAddFB30[] = {
    "BOOLEAN", "REGR_AVGX", "SCROLL", "CORR", "REGR_AVGY", "SQLSTATE", "COVAR_POP", "REGR_COUNT",
    "STDDEV_POP", "COVAR_SAMP", "REGR_INTERCEPT", "STDDEV_SAMP", "DELETING", "REGR_R2", "TRUE",
    "DETERMINISTIC", "REGR_SLOPE", "UNKNOWN", "FALSE", "REGR_SXX", "UPDATING", "INSERTING",
    "REGR_SXY", "VAR_POP", "OFFSET", "REGR_SYY", "VAR_SAMP", "OVER", "RETURN",
    "RDB$RECORD_VERSION", "ROW"};

using Words = std::span<const std::string_view>;

std::vector<Words> AdditionalParts(TIBSQLServerVersionType version) {
    switch (version) {
    case st_InterBase_4x: return {kAddIB4x};
    case st_InterBase_5x: return {kAddIB4x, kAddIB5x};
    case st_InterBase_6x: return {kAddIB4x, kAddIB5x, kAddIB6x};
    case st_InterBase_7x: return {kAddIB4x, kAddIB5x, kAddIB6x, kAddIB7x};
    case st_FireBird_1x: return {kAddIB4x, kAddIB5x, kAddIB6x, kAddFB1x};
    case st_FireBird_15: return {kAddIB4x, kAddIB5x, kAddIB6x, kAddFB15};
    case st_Firebird_20:
    case st_Firebird_21: return {kAddFB20};
    case st_Firebird_25: return {kAddFB20, kAddFB25};
    case st_Firebird_30: return {kAddFB20, kAddFB30};
    case st_InterBase_75:
    case st_Yaffil_1x: return {};
    }
    return {};
}

TIbSymbolSet SetOf(std::span<const TIbSymbol> symbols) {
    TIbSymbolSet set;
    for (TIbSymbol s : symbols)
        set.Include(s);
    return set;
}

TIbSymbolSet KeywordSet(TIBSQLServerVersionType version) {
    TIbSymbolSet all;
    for (const TIbResWord& entry : kResWords)
        all.Include(entry.Symbol);
    switch (version) {
    case st_InterBase_4x: return all - SetOf(kFreeIB4x);
    case st_InterBase_5x: return (all - SetOf(kFreeIB4x)) | SetOf(kReservedSinceIB5x);
    case st_InterBase_6x: return all - SetOf(kFreeIB6x);
    case st_InterBase_7x:
    case st_InterBase_75: return all - SetOf(kFreeIB7x);
    case st_FireBird_1x: return all - SetOf(kFreeFB1x);
    case st_FireBird_15: return all - SetOf(kFreeFB15);
    case st_Firebird_20:
    case st_Firebird_21:
    case st_Firebird_25: return all - SetOf(kFreeFB20);
    case st_Firebird_30: return all - SetOf(kFreeFB30);
    case st_Yaffil_1x: return all - SetOf(kFreeYaffil);
    }
    return all;
}

bool InAdditionalList(std::string_view word, TIBSQLServerVersionType version) {
    static const auto lists = [] {
        std::array<std::vector<std::string_view>, IBSQLServerVersionCount> result;
        for (int v = 0; v < IBSQLServerVersionCount; ++v) {
            for (Words part : AdditionalParts(static_cast<TIBSQLServerVersionType>(v)))
                result[v].insert(result[v].end(), part.begin(), part.end());
            std::sort(result[v].begin(), result[v].end());
        }
        return result;
    }();
    const auto& list = lists.at(version);
    return std::binary_search(list.begin(), list.end(), word);
}

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::span<const TIbResWord> IbResWords() { return kResWords; }

std::uint8_t IbFindResWord(std::string_view upperWord) {
    auto it = std::lower_bound(std::begin(kResWords), std::end(kResWords), upperWord,
                               [](const TIbResWord& e, std::string_view w) { return e.Word < w; });
    return it != std::end(kResWords) && it->Word == upperWord ? it->Symbol : 0;
}

const TIbSymbolSet& IbKeywordSet(TIBSQLServerVersionType version) {
    static const auto sets = [] {
        std::array<TIbSymbolSet, IBSQLServerVersionCount> result;
        for (int v = 0; v < IBSQLServerVersionCount; ++v)
            result[v] = KeywordSet(static_cast<TIBSQLServerVersionType>(v));
        return result;
    }();
    return sets.at(version);
}

const TIbSymbolSet& IbTypeSymbols() {
    static const TIbSymbolSet set = SetOf(kTypeSymbols);
    return set;
}

bool IdentDialect3(std::string_view name, TIBSQLServerVersionType version) {
    if (name.empty())
        return false;
    if (!IsUpper(name.front()))
        return true;
    for (char c : name.substr(1))
        if (!IsUpper(c) && !IsDigit(c) && c != '_' && c != '$')
            return true;
    if (std::uint8_t symbol = IbFindResWord(name)) {
        // InterBase 7.5 quotes every table word, although its lexer reads some as identifiers.
        if (version == st_InterBase_75 || IbKeywordSet(version).Contains(static_cast<TIbSymbol>(symbol)))
            return true;
    }
    return InAdditionalList(name, version);
}

std::string QuoteIdent(std::string_view name, TIBSQLServerVersionType version, int sqlDialect) {
    if (sqlDialect != 3 || !IdentDialect3(name, version))
        return std::string(name);
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    quoted += '"';
    return quoted;
}

} // namespace dbc
