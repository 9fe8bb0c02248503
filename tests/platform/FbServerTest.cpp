#include "FbTestDatabase.h"
#include "FirebirdServer.h"

#include <gtest/gtest.h>

using platform::FbDatabase;
using platform::FbError;

namespace {

// The one path the embedded engine cannot show: a server on the network, with real
// authentication.
TEST(FbServer, AttachesWithTheSysdbaPasswordAndRefusesAWrongOne) {
    testsupport::FirebirdServer server("k3lv4ntra");
    platform::FbConnectOptions options = fbtest::sysdba();
    options.password = server.sysdbaPassword();
    const std::string name = server.databaseName("remote.fdb");

    {
        auto db = FbDatabase::create(fbtest::systemClient(), name, options);
        EXPECT_EQ(fbtest::queryScalar(db, "select rdb$get_context('SYSTEM', 'NETWORK_PROTOCOL') "
                                          "from rdb$database"),
                  "TCPv4");
        // The engine, then one text per network layer.
        const platform::FbDatabaseInfo info = db.info();
        ASSERT_GE(info.firebirdVersions.size(), 2u);
        EXPECT_TRUE(info.firebirdVersions[0].starts_with("LI-V3.0")) << info.firebirdVersions[0];
        EXPECT_EQ(info.odsVersion, 12);
    }

    options.password = "wrong";
    try {
        FbDatabase::attach(fbtest::systemClient(), name, options);
        FAIL() << "a wrong password was accepted";
    } catch (const FbError& error) {
        EXPECT_STREQ(error.what(), "Your user name and password are not defined. Ask your "
                                   "database administrator to set up a Firebird login.");
        EXPECT_EQ(error.gdsCode(), 335544472);
        EXPECT_EQ(error.sqlState(), "28000");
    }

    options.password = server.sysdbaPassword();
    FbDatabase::attach(fbtest::systemClient(), name, options).drop();
}

} // namespace
