#pragma once

// The vocabulary every part of the comparison engine speaks: database and object kinds, script
// statement kinds and operations, comparison roles, event signatures and the small text helpers
// of generated scripts. Enumerations are one byte wide and keep their ordinals, because they are
// stored in sets and compared by ordinal.

#include "engine/dbcSet.h"
#include "platform/Component.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dbc {

class TStatement;

// Only dbInterBase (InterBase and Firebird) is served by this engine; the others keep their
// ordinals.
enum TDatabaseType : std::uint8_t {
    dbAbstract, dbInterBase, dbSybaseASA, dbMySQL, dbOracle, dbMSSQL, dbPostgreSQL, dbDB2,
    dbSybaseASE, dbPervasiveSQL, dbMSAccess, dbParadox, dbDBASE, dbCustomOLEDB
};
using TDatabaseSetType = EnumSet<TDatabaseType, 14>;

// Kind of access-component adapter behind a connection; the Firebird adapter is cnFIB.
enum TconnectionType : std::uint8_t {
    cnAbstract, cnIBX, cnFIB, cnIBO, cnADO, cnZEOS, cnBDE, cnDBX, cnAnyDAC, cnUIB, cnODAC,
    cnSAVCL, cnMyDAC, cnPostgresDAC, cnIBDAC, cnFireDAC
};
using TConnectionSetType = EnumSet<TconnectionType, 16>;

enum TDBCProtocol : std::uint8_t { ptTCP, ptSPX, ptNamedPipe, ptLocal };

// Kinds of objects a comparison covers. coDescription names no kind: it switches the comparison
// and scripting of descriptions on.
enum TCmpObjType : std::uint8_t {
    coDomain, coFunction, coGenerator, coException, coTable, coView, coProcedure, coTrigger,
    coIndex, coRole, coGrant, coRoleGrant, coUserGrant, coObjGrant, coPrimaryKey, coForeignKey,
    coUnique, coCheck, coRule, coDefault, coCtrDefault, coPackage, coDescription
};
using TCmpObjSetType = EnumSet<TCmpObjType, 23>;
// Every compare-objects default: all 23 kinds, mask 0x7FFFFF.
inline constexpr TCmpObjSetType DefCmpObjSet = TCmpObjSetType::Full();

enum TCompareRoleType : std::uint8_t { crUnknownRole, crMasterRole, crTargetRole };
enum TExtractFromType : std::uint8_t { efUnknown, efDatabase, efScript };
enum TUpdateDescriptionType : std::uint8_t { udSysTables, udDescribe, udComment };
// Quoting style of generic OLE DB targets; never consulted on the Firebird path.
enum TIdentQuoteType : std::uint8_t {
    iqAutoQuote, iqNoneQuote, iqSingleQuote, iqDoubleQuote, iqBrackQuote
};
enum TdbcEncode : std::uint8_t { encDefault, encANSI, encUnicode, encUTF8, encUTF7 };

// Kind of a statement of a generated or loaded script. Procedure and trigger texts carry the
// terminator inside their bodies; stComment is the only kind that may carry an empty text.
enum TStatType : std::uint8_t {
    stConnect, stReconnect, stCreateDb, stSet, stSetBlobFile, st_Commit, stStatement, stComment,
    stProcedure, stTrigger, stSetNames, stCharSet, stSqlDialect, stDescription, stSelect,
    stInsert, stUpdate, stDelete, stExecuteBlock, stPackage
};

// What a statement does to its object. odbEmpty replaces a procedure or trigger body by an empty
// one before a dependency changes, odbRestore puts the real body back, odbEmptyCreate creates a
// procedure with an empty body so that others can refer to it before its body exists.
enum TDbOperation : std::uint8_t {
    odbUnknown, odbCreate, odbAlter, odbDrop, odbEmpty, odbRestore, odbEmptyCreate, odbEmptyDrop,
    odbSet, odbCommit, odbComment, odbDescription, odbInsert, odbUpdate, odbDelete
};

enum TParamInOutType : std::uint8_t { ioUnknown, ioIn, ioOut, ioInout, ioVariadic };
enum TTblOnCommit : std::uint8_t { tocUnknown, tocDelete, tocPreserve };
// Sort direction recorded for a column of an index.
enum TIndexSortType : std::uint8_t { idxNoSpec, idxAsc, idxDesc };

// Object kinds (dboTable .. dboCount), the dependency record kind (dboDepend), the computed
// column marker (dboComputed) and list kinds (from dboPrkList on, spelled as stored).
enum TDbObject : std::uint8_t {
    dboUnknown, dboTable, dboProcedure, dboTrigger, dboFunction, dboException, dboIndex,
    dboDomain, dboView, dboGenerator, dboEvent, dboField, dboParam, dboDatabase, dboBlobFilter,
    dboCollation, dboConstraint, dboPKey, dboFKey, dboUnique, dboCheck, dboReferences,
    dboCtrDefault, dboRole, dboGrant, dboRule, dboDefault, dboPackage, dboPackageBody,
    dboPublication, dboSchema, dboOperator, dboOperatorClass, dboConversion, dboUser,
    dboUserGroup, dboValidation, dboExprIndex, dboCount, dboComputed, dboDepend, dboPrkList,
    dboFrkList, dboUnqList, dboChkList, dboDefList, dboRefList, dboIdxList, dboExcList,
    dboRolList, dboGntList, dboCdfList, dboPrcList, dboTrgList, dboFncList, dboRulList,
    dboGnrList, dboPkgList, dboDmnList, dboViwList, dboFldList, dboTblLIst, dboPblList,
    dboOprList, dboOpcList, dboCnvList, dboEvtList, dboUseInList, dboUseOfList
};
using TDbObjectSet = EnumSet<TDbObject, dboUseOfList + 1>;

// The first seven are the object privileges Firebird knows; the rest are system privileges of
// other database kinds.
enum TGrantPrivilege : std::uint8_t {
    gntAll, gntInsert, gntUpdate, gntDelete, gntSelect, gntExecute, gntReferences, gntConnect,
    gntAlter, gntCreateDatabaseLink, gntCreateSequence, gntCreateSession, gntCreateTrigger,
    gntCreateProcedure, gntCreateType, gntCreateSynonym, gntCreatePublicSynonym, gntDropSynonym,
    gntDropPublicSynonym, gntCreateTable, gntCreateView, gntCreateIndexType, gntCreateRule,
    gntCreateDefault, gntCreateFunction, gntCreateDatabase, gntBackupDatabase, gntBackupLog,
    gntDumpDatabase, gntDumpTransaction, gntViewAnyDatabase, gntTruncateTable,
    gntUpdateStatistics, gntDeleteStatistics, gntUnlimitedTableSpace, gntDropTable, gntDropView,
    gntDropTrigger, gntDropProcedure, gntDropSequence, gntDropType, gntDropIndexType,
    gntForceAnyTransaction
};
using TGrantPrivilegeSet = EnumSet<TGrantPrivilege, 43>;

// Events: the sender comes first; an empty function means nobody listens.
using TProgressUpdateEvent = std::function<void(platform::Object& sender, int value, int maxValue)>;
using TProgressUpdateExEvent = std::function<void(platform::Object& sender, bool detailed,
                                                  const std::string& text, int value, int maxValue)>;
using TLogNextLineEvent = std::function<void(platform::Object& sender, const std::string& logText)>;
using TErrorMessageEvent = std::function<void(platform::Object& sender, const std::string& errText)>;
using TLoadScriptEvent = std::function<void(platform::Object& sender, const std::string& fileName,
                                            std::vector<std::string>& script, bool& loaded)>;
// The handler creates the statement (or refuses it) and hands it back through statement.
using TAddStatementEvent = std::function<void(
    platform::Object& sender, const std::string& text, TStatType typ, const std::string& objName,
    TDbObject objType, TDbOperation operation, const std::string& ownName, TStatement*& statement)>;
// A plain log procedure, bound to no object.
using TLogProcedure = std::function<void(const std::string& line)>;

// Process-wide switches, both off: DebugLog logs every object before its CREATE text is made;
// TerminateRunning asks readers and the script parser to stop.
extern bool DebugLog;
extern bool TerminateRunning;

inline constexpr std::string_view CrLf = "\r\n";

// The statement terminator of a generated script: ";" and CR LF for Firebird.
std::string GenScriptTerm(TDatabaseType databaseType);
// A Firebird string literal: the text in single quotes with inner single quotes doubled; nothing
// else is escaped, so line breaks stay as they are.
std::string ScriptQuotedStr(std::string_view text);
// Schema, a full stop and the name; the name alone without schema. No quoting.
std::string SchObjName(std::string_view schema, std::string_view name);
// A whole decimal 32-bit integer, optionally signed; false when the text is anything else.
bool TryStrToInt(std::string_view text, int& value);

} // namespace dbc
