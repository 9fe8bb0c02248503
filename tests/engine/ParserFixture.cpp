#include "ParserFixture.h"

namespace enginetest {

using namespace dbc;

std::string_view StatTypeName(TStatType typ) {
    static constexpr std::string_view kNames[] = {
        "stConnect", "stReconnect", "stCreateDb", "stSet", "stSetBlobFile", "st_Commit",
        "stStatement", "stComment", "stProcedure", "stTrigger", "stSetNames", "stCharSet",
        "stSqlDialect", "stDescription", "stSelect", "stInsert", "stUpdate", "stDelete",
        "stExecuteBlock", "stPackage"};
    return kNames[typ];
}

std::string_view OperationName(TDbOperation operation) {
    static constexpr std::string_view kNames[] = {
        "odbUnknown", "odbCreate", "odbAlter", "odbDrop", "odbEmpty", "odbRestore",
        "odbEmptyCreate", "odbEmptyDrop", "odbSet", "odbCommit", "odbComment", "odbDescription",
        "odbInsert", "odbUpdate", "odbDelete"};
    return kNames[operation];
}

std::string_view ObjectKindName(TDbObject kind) {
    switch (kind) {
    case dboUnknown: return "dboUnknown";
    case dboTable: return "dboTable";
    case dboProcedure: return "dboProcedure";
    case dboTrigger: return "dboTrigger";
    case dboFunction: return "dboFunction";
    case dboException: return "dboException";
    case dboIndex: return "dboIndex";
    case dboDomain: return "dboDomain";
    case dboView: return "dboView";
    case dboGenerator: return "dboGenerator";
    case dboField: return "dboField";
    case dboParam: return "dboParam";
    case dboDatabase: return "dboDatabase";
    case dboBlobFilter: return "dboBlobFilter";
    case dboCollation: return "dboCollation";
    case dboConstraint: return "dboConstraint";
    case dboPKey: return "dboPKey";
    case dboFKey: return "dboFKey";
    case dboUnique: return "dboUnique";
    case dboCheck: return "dboCheck";
    case dboRole: return "dboRole";
    case dboGrant: return "dboGrant";
    case dboPackage: return "dboPackage";
    case dboPackageBody: return "dboPackageBody";
    case dboUser: return "dboUser";
    default: return "dbo?";
    }
}

ScriptParse::ScriptParse(TIBSQLServerVersionType version) {
    parser.IBServerOptions().SQLServerVersion = version;
    parser.ScriptFileName = "test.sql";
    parser.OnErrorMessage = [this](platform::Object&, const std::string& text) { shownErrors.push_back(text); };
    parser.OnAddStatement = [this](platform::Object&, const std::string& text, TStatType typ,
                                   const std::string& name, TDbObject kind, TDbOperation operation,
                                   const std::string& owner, TStatement*&) {
        std::string key = std::string(StatTypeName(typ)) + " " + std::string(OperationName(operation)) +
                          " " + std::string(ObjectKindName(kind)) + " " + name;
        if (!owner.empty())
            key += " [" + owner + "]";
        statements.push_back({key, text});
    };
}

ScriptParse& ScriptParse::Parse(std::string_view script) {
    parser.ParseScript(SplitLines(script), &objs);
    return *this;
}

ScriptParse& ScriptParse::ParseAndLink(std::string_view script) {
    Parse(script);
    parser.Link_Depend();
    return *this;
}

std::vector<std::string> ScriptParse::Keys() const {
    std::vector<std::string> keys;
    for (const ReportedStatement& statement : statements)
        keys.push_back(statement.Key);
    return keys;
}

std::vector<std::string> ScriptParse::Messages() const {
    std::vector<std::string> messages;
    for (const auto& m : parser.MsgManager().Messages())
        messages.push_back(std::string(m->MsgType == mt_Wrn ? "warning " : "") +
                           std::to_string(m->PosY) + ":" + std::to_string(m->PosX) + " " + m->Msg);
    return messages;
}

} // namespace enginetest
