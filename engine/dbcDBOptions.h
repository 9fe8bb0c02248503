#pragma once

// Option objects that travel between the engine's components: how to reach a database, what the
// Firebird server and database are, how to compare, and what a metadata script header holds,
// with the text forms they render into a generated script.

#include "engine/dbcTypes.h"

#include <cstdint>
#include <string>

namespace dbc {

// Compared by ordinal, so the order is significant.
enum TIBSQLServerVersionType : std::uint8_t {
    st_InterBase_4x, st_InterBase_5x, st_InterBase_6x, st_FireBird_1x, st_Yaffil_1x,
    st_FireBird_15, st_InterBase_7x, st_InterBase_75, st_Firebird_20, st_Firebird_21,
    st_Firebird_25, st_Firebird_30
};
inline constexpr int IBSQLServerVersionCount = st_Firebird_30 + 1;

// SQL dialect, 1 to 3.
using TIBSQLDialectType = std::uint8_t;

// How to reach a database. A plain value: copying copies all thirteen values.
struct TConnectionOptions {
    std::string DatabaseName;
    std::string UserName;
    std::string Password;
    std::string RoleName;
    std::string DBUserName;
    std::string DBPassword;
    std::string DBRoleName;
    int Port = 0;
    std::string HostName;
    TDBCProtocol Protocol = ptTCP;
    bool UseWindowsAuthentication = false;
    std::string ConnectionString;
    std::string ClientLibrary;

    // Empties everything; note that the protocol becomes ptLocal, not the constructed ptTCP.
    void Clear();
};

// Facts about the open database, as the connection reports them. A plain value.
struct TIBDatabaseOptions {
    std::string ServerVersion;
    std::string ServerImplementation;
    int ODSMajorVersion = 0;
    int ODSMinorVersion = 0;
    int PageSize = 0;
    int ForcedWrites = 0;
    int SweepInterval = 0;
    int ReadOnly = 0;
    int NumBuffers = 0;
    int DBImplementationNo = 0;
    int DBImplementationClass = 0;
    int DBSQLDialect = 0;

    void Clear() { *this = TIBDatabaseOptions(); }
    // The database-information comment of a script header; empty when nothing is known.
    std::string Def() const;
};

// How Firebird structures are compared and scripted. Copied only by Assign, which leaves
// UseRECONNECT alone: every holder keeps its own.
class TIBCompareOptions {
public:
    TIBCompareOptions() = default;
    TIBCompareOptions(const TIBCompareOptions&) = delete;
    TIBCompareOptions& operator=(const TIBCompareOptions&) = delete;

    void Assign(const TIBCompareOptions& source);
    // Back to the defaults, except ModifySystemTables, GenerateCOMMIT and
    // AllowDataTypeConversion, which stay as they are.
    void Clear();

    bool DbCharsetCompare = false;
    bool FldCharsetCompare = false;
    TUpdateDescriptionType UpdateDescriptionMode = udSysTables;
    bool ModifySystemTables = false;
    bool GenerateCOMMIT = false;
    bool UseRECONNECT = true;
    bool AllowDataTypeConversion = false;
    bool UpdateFieldPosition = true;
    bool ExtractOnlyComparedObjects = true;
    bool IgnoreIBEObjects = true;
};

// The Firebird server description with its compare and database options, owned by value and
// copied member by member by Assign (never shared).
class TIBServerOptions {
public:
    TIBServerOptions() = default;
    TIBServerOptions(const TIBServerOptions&) = delete;
    TIBServerOptions& operator=(const TIBServerOptions&) = delete;

    void Assign(const TIBServerOptions& source);
    // Keeps the server version; dialect back to 3, no character set, both option objects cleared.
    void Clear();

    TIBSQLServerVersionType SQLServerVersion = st_FireBird_15;
    TIBSQLDialectType SQLDialect = 3;
    TIBCompareOptions IBCompareOptions;
    TIBDatabaseOptions IBDatabaseOptions;

    const std::string& DBCharSet() const { return dbCharSet_; }
    // Stored upper-cased.
    void SetDBCharSet(std::string_view value);

    // True for an on-disk structure of version 10 or later, or, while the database has not
    // reported one, for any server from InterBase 6 on.
    bool ODS_GE10() const;

    // "SET NAMES " and the character set; empty without one or for NONE.
    std::string DBCharSetDef() const;
    // "SET SQL DIALECT 3" in dialect 3; empty in dialects 1 and 2.
    std::string SQLDialectDef() const;
    // The CONNECT statement (no terminator) for the given options; empty without a database name.
    std::string ConnectDatabaseDef(const TConnectionOptions& connection) const;
    std::string DBInfoDef() const { return IBDatabaseOptions.Def(); }
    // DBInfoDef, then each non-empty one of DBCharSetDef, SQLDialectDef and ConnectDatabaseDef on
    // a line of its own followed by ";".
    std::string ConnectHeaderDef(const TConnectionOptions& connection) const;

private:
    std::string dbCharSet_;
};

// What the metadata script header of a collection contains. A plain value.
struct TScriptOptions {
    bool GenerateScript = true;
    bool Connect = true;
    bool SQLDialect = true;
    bool DBCharSet = true;
    bool LocalSQL = false;
    std::string FloatFormat;
    std::string DateFormat;
    std::string TimeFormat;
    std::string DateTimeFormat;
};

} // namespace dbc
