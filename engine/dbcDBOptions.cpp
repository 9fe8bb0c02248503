#include "engine/dbcDBOptions.h"

#include <cctype>

namespace dbc {

void TConnectionOptions::Clear() {
    *this = TConnectionOptions();
    Protocol = ptLocal;
}

std::string TIBDatabaseOptions::Def() const {
    std::string text;
    if (!ServerVersion.empty())
        text += "   Server version: " + ServerVersion + " \r\n";
    if (ODSMajorVersion > 0) {
        auto n = [](long long value) { return std::to_string(value); };
        text += "   SQLDialect: " + n(DBSQLDialect) + ". ODS: " + n(ODSMajorVersion) + "." +
                n(ODSMinorVersion) + ". Forced writes: " + (ForcedWrites != 0 ? "On" : "Off") +
                ". Sweep inteval: " + n(SweepInterval) + ".\r\n" + "   Page size: " + n(PageSize) +
                ". Cache pages: " + n(NumBuffers) + " (" + n(static_cast<long long>(NumBuffers) * PageSize / 1024) +
                " Kb). Read-only: " + (ReadOnly != 0 ? "True" : "False") + ". ";
    }
    if (text.empty())
        return text;
    return "/*" + text.substr(2) + "*/";
}

void TIBCompareOptions::Assign(const TIBCompareOptions& source) {
    bool ownReconnect = UseRECONNECT;
    DbCharsetCompare = source.DbCharsetCompare;
    FldCharsetCompare = source.FldCharsetCompare;
    UpdateDescriptionMode = source.UpdateDescriptionMode;
    ModifySystemTables = source.ModifySystemTables;
    GenerateCOMMIT = source.GenerateCOMMIT;
    AllowDataTypeConversion = source.AllowDataTypeConversion;
    UpdateFieldPosition = source.UpdateFieldPosition;
    ExtractOnlyComparedObjects = source.ExtractOnlyComparedObjects;
    IgnoreIBEObjects = source.IgnoreIBEObjects;
    UseRECONNECT = ownReconnect;
}

void TIBCompareOptions::Clear() {
    DbCharsetCompare = false;
    FldCharsetCompare = false;
    UpdateDescriptionMode = udSysTables;
    UseRECONNECT = true;
    UpdateFieldPosition = true;
    ExtractOnlyComparedObjects = true;
    IgnoreIBEObjects = true;
}

void TIBServerOptions::Assign(const TIBServerOptions& source) {
    SQLServerVersion = source.SQLServerVersion;
    SQLDialect = source.SQLDialect;
    dbCharSet_ = source.dbCharSet_;
    IBCompareOptions.Assign(source.IBCompareOptions);
    IBDatabaseOptions = source.IBDatabaseOptions;
}

void TIBServerOptions::Clear() {
    SQLDialect = 3;
    dbCharSet_.clear();
    IBCompareOptions.Clear();
    IBDatabaseOptions.Clear();
}

void TIBServerOptions::SetDBCharSet(std::string_view value) {
    dbCharSet_.assign(value);
    for (char& c : dbCharSet_)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool TIBServerOptions::ODS_GE10() const {
    if (IBDatabaseOptions.ODSMajorVersion != 0 && IBDatabaseOptions.ODSMajorVersion >= 10)
        return true;
    return SQLServerVersion >= st_InterBase_6x;
}

std::string TIBServerOptions::DBCharSetDef() const {
    if (dbCharSet_.empty() || dbCharSet_ == "NONE")
        return {};
    return "SET NAMES " + dbCharSet_;
}

std::string TIBServerOptions::SQLDialectDef() const {
    return SQLDialect == 3 ? "SET SQL DIALECT 3" : "";
}

std::string TIBServerOptions::ConnectDatabaseDef(const TConnectionOptions& connection) const {
    if (connection.DatabaseName.empty())
        return {};
    std::string text = "CONNECT " + ScriptQuotedStr(connection.DatabaseName);
    if (!connection.UserName.empty())
        text += " USER " + ScriptQuotedStr(connection.UserName);
    if (!connection.Password.empty())
        text += " PASSWORD " + ScriptQuotedStr(connection.Password);
    if (!connection.RoleName.empty())
        text += " ROLE " + ScriptQuotedStr(connection.RoleName);
    return text;
}

std::string TIBServerOptions::ConnectHeaderDef(const TConnectionOptions& connection) const {
    std::string text = DBInfoDef();
    for (const std::string& part : {DBCharSetDef(), SQLDialectDef(), ConnectDatabaseDef(connection)})
        if (!part.empty())
            text += "\r\n" + part + ";";
    return text;
}

} // namespace dbc
