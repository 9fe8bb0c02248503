#include "engine/dbcDBOptions.h"

#include <gtest/gtest.h>

using namespace dbc;

TEST(ConnectionOptions, ClearLeavesTheLocalProtocol) {
    TConnectionOptions options;
    EXPECT_EQ(options.Protocol, ptTCP);
    options.DatabaseName = "x.fdb";
    options.Port = 3050;
    options.UseWindowsAuthentication = true;
    options.Clear();
    EXPECT_EQ(options.DatabaseName, "");
    EXPECT_EQ(options.Port, 0);
    EXPECT_FALSE(options.UseWindowsAuthentication);
    EXPECT_EQ(options.Protocol, ptLocal);
}

TEST(CompareOptions, ClearKeepsTheThreeCarriedOptions) {
    TIBCompareOptions options;
    options.DbCharsetCompare = options.FldCharsetCompare = true;
    options.UpdateDescriptionMode = udComment;
    options.UseRECONNECT = options.UpdateFieldPosition = false;
    options.ExtractOnlyComparedObjects = options.IgnoreIBEObjects = false;
    options.ModifySystemTables = options.GenerateCOMMIT = options.AllowDataTypeConversion = true;
    options.Clear();
    EXPECT_FALSE(options.DbCharsetCompare);
    EXPECT_FALSE(options.FldCharsetCompare);
    EXPECT_EQ(options.UpdateDescriptionMode, udSysTables);
    EXPECT_TRUE(options.UseRECONNECT);
    EXPECT_TRUE(options.UpdateFieldPosition);
    EXPECT_TRUE(options.ExtractOnlyComparedObjects);
    EXPECT_TRUE(options.IgnoreIBEObjects);
    EXPECT_TRUE(options.ModifySystemTables);
    EXPECT_TRUE(options.GenerateCOMMIT);
    EXPECT_TRUE(options.AllowDataTypeConversion);
}

TEST(CompareOptions, AssignCopiesAllButUseReconnect) {
    TIBCompareOptions source;
    source.GenerateCOMMIT = source.AllowDataTypeConversion = source.FldCharsetCompare = true;
    source.UpdateDescriptionMode = udDescribe;
    source.UseRECONNECT = false;
    TIBCompareOptions destination;
    destination.Assign(source);
    EXPECT_TRUE(destination.GenerateCOMMIT);
    EXPECT_TRUE(destination.AllowDataTypeConversion);
    EXPECT_TRUE(destination.FldCharsetCompare);
    EXPECT_EQ(destination.UpdateDescriptionMode, udDescribe);
    EXPECT_TRUE(destination.UseRECONNECT);
}

TEST(ServerOptions, DefaultsAndClear) {
    TIBServerOptions options;
    EXPECT_EQ(options.SQLServerVersion, st_FireBird_15);
    EXPECT_EQ(options.SQLDialect, 3);
    options.SQLServerVersion = st_Firebird_25;
    options.SQLDialect = 1;
    options.SetDBCharSet("win1252");
    options.IBDatabaseOptions.ODSMajorVersion = 11;
    options.IBCompareOptions.GenerateCOMMIT = true;
    options.IBCompareOptions.DbCharsetCompare = true;
    options.Clear();
    EXPECT_EQ(options.SQLServerVersion, st_Firebird_25);
    EXPECT_EQ(options.SQLDialect, 3);
    EXPECT_EQ(options.DBCharSet(), "");
    EXPECT_EQ(options.IBDatabaseOptions.ODSMajorVersion, 0);
    EXPECT_TRUE(options.IBCompareOptions.GenerateCOMMIT);
    EXPECT_FALSE(options.IBCompareOptions.DbCharsetCompare);
}

TEST(ServerOptions, AssignCopiesIntoOwnObjects) {
    TIBServerOptions source;
    source.SQLServerVersion = st_Firebird_30;
    source.SQLDialect = 1;
    source.SetDBCharSet("UTF8");
    source.IBCompareOptions.GenerateCOMMIT = true;
    source.IBCompareOptions.UseRECONNECT = false;
    source.IBDatabaseOptions.PageSize = 8192;
    TIBServerOptions destination;
    destination.Assign(source);
    source.IBCompareOptions.GenerateCOMMIT = false;
    source.IBDatabaseOptions.PageSize = 4096;
    EXPECT_EQ(destination.SQLServerVersion, st_Firebird_30);
    EXPECT_EQ(destination.SQLDialect, 1);
    EXPECT_EQ(destination.DBCharSet(), "UTF8");
    EXPECT_TRUE(destination.IBCompareOptions.GenerateCOMMIT);
    EXPECT_TRUE(destination.IBCompareOptions.UseRECONNECT);
    EXPECT_EQ(destination.IBDatabaseOptions.PageSize, 8192);
}

TEST(ServerOptions, HeaderTexts) {
    TIBServerOptions options;
    options.SetDBCharSet("win1252");
    EXPECT_EQ(options.DBCharSet(), "WIN1252");
    EXPECT_EQ(options.DBCharSetDef(), "SET NAMES WIN1252");
    options.SetDBCharSet("none");
    EXPECT_EQ(options.DBCharSetDef(), "");
    options.SetDBCharSet("");
    EXPECT_EQ(options.DBCharSetDef(), "");
    EXPECT_EQ(options.SQLDialectDef(), "SET SQL DIALECT 3");
    for (TIBSQLDialectType dialect : {1, 2}) {
        options.SQLDialect = dialect;
        EXPECT_EQ(options.SQLDialectDef(), "");
    }
}

TEST(ServerOptions, ConnectStatement) {
    TIBServerOptions options;
    TConnectionOptions connection;
    EXPECT_EQ(options.ConnectDatabaseDef(connection), "");
    connection.DatabaseName = "C:\\Data\\O'Neil.fdb";
    EXPECT_EQ(options.ConnectDatabaseDef(connection), "CONNECT 'C:\\Data\\O''Neil.fdb'");
    connection.UserName = "SYSDBA";
    connection.Password = "pelicanos";
    EXPECT_EQ(options.ConnectDatabaseDef(connection),
              "CONNECT 'C:\\Data\\O''Neil.fdb' USER 'SYSDBA' PASSWORD 'pelicanos'");
    connection.RoleName = "ADMIN";
    EXPECT_EQ(options.ConnectDatabaseDef(connection),
              "CONNECT 'C:\\Data\\O''Neil.fdb' USER 'SYSDBA' PASSWORD 'pelicanos' ROLE 'ADMIN'");
}

TEST(ServerOptions, DatabaseInformationComment) {
    TIBDatabaseOptions info;
    EXPECT_EQ(info.Def(), "");
    info.ServerVersion = "WI-V2.5.9.27139 Firebird 2.5";
    EXPECT_EQ(info.Def(), "/* Server version: WI-V2.5.9.27139 Firebird 2.5 \r\n*/");
    info.ODSMajorVersion = 11;
    info.ODSMinorVersion = 2;
    info.DBSQLDialect = 3;
    info.ForcedWrites = 1;
    info.SweepInterval = 20000;
    info.PageSize = 8192;
    info.NumBuffers = 2048;
    EXPECT_EQ(info.Def(),
              "/* Server version: WI-V2.5.9.27139 Firebird 2.5 \r\n"
              "   SQLDialect: 3. ODS: 11.2. Forced writes: On. Sweep inteval: 20000.\r\n"
              "   Page size: 8192. Cache pages: 2048 (16384 Kb). Read-only: False. */");
    info.ServerVersion.clear();
    info.ForcedWrites = 0;
    info.ReadOnly = 1;
    EXPECT_EQ(info.Def(),
              "/* SQLDialect: 3. ODS: 11.2. Forced writes: Off. Sweep inteval: 20000.\r\n"
              "   Page size: 8192. Cache pages: 2048 (16384 Kb). Read-only: True. */");
}

TEST(ServerOptions, ConnectHeader) {
    TIBServerOptions options;
    options.SetDBCharSet("UTF8");
    options.IBDatabaseOptions.ServerVersion = "V";
    TConnectionOptions connection;
    connection.DatabaseName = "db.fdb";
    EXPECT_EQ(options.ConnectHeaderDef(connection),
              "/* Server version: V \r\n*/\r\nSET NAMES UTF8;\r\nSET SQL DIALECT 3;\r\nCONNECT 'db.fdb';");
}

TEST(ServerOptions, OnDiskStructureTenOrLater) {
    struct Case { int ods; TIBSQLServerVersionType version; bool expected; };
    for (const Case& c : {Case{11, st_InterBase_4x, true}, Case{0, st_FireBird_15, true},
                          Case{0, st_InterBase_6x, true}, Case{0, st_InterBase_5x, false},
                          Case{9, st_InterBase_4x, false}, Case{9, st_Firebird_25, true},
                          Case{10, st_InterBase_5x, true}}) {
        TIBServerOptions options;
        options.IBDatabaseOptions.ODSMajorVersion = c.ods;
        options.SQLServerVersion = c.version;
        EXPECT_EQ(options.ODS_GE10(), c.expected) << c.ods << " " << int(c.version);
    }
}
