#include "FbTestDatabase.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>

using fbtest::ScratchDatabase;
using fbtest::sysdba;
using fbtest::systemClient;
using platform::FbDatabase;
using platform::FbError;
using platform::FbStatement;
using platform::FbTransaction;
using platform::FbTransactionOptions;
using testsupport::TempDir;

namespace {

// Runs the call and returns the FbError it raised; fails the test when it raised none.
template <typename Call> FbError errorOf(Call call) {
    try {
        call();
    } catch (const FbError& error) {
        return error;
    }
    ADD_FAILURE() << "no FbError was raised";
    return FbError("none");
}

TEST(FbDatabase, ReportsTheFactsOfANewDatabase) {
    ScratchDatabase scratch({16384, "WIN1252"});
    const platform::FbDatabaseInfo info = scratch.db().info();
    EXPECT_EQ(info.odsVersion, 12);
    EXPECT_EQ(info.odsMinorVersion, 0);
    EXPECT_EQ(info.sqlDialect, 3);
    EXPECT_EQ(info.pageSize, 16384);
    EXPECT_FALSE(info.forcedWrites);
    EXPECT_FALSE(info.readOnly);
    EXPECT_EQ(info.sweepInterval, 20000);
    EXPECT_GT(info.numBuffers, 0);
    EXPECT_GT(info.implementationNo, 0);
    EXPECT_GT(info.implementationClass, 0);
    ASSERT_EQ(info.firebirdVersions.size(), 1u);
    EXPECT_TRUE(info.firebirdVersions[0].starts_with("LI-V3.0")) << info.firebirdVersions[0];
    EXPECT_TRUE(info.firebirdVersions[0].ends_with("Firebird 3.0")) << info.firebirdVersions[0];
    ASSERT_EQ(info.versions.size(), 1u);
    EXPECT_EQ(scratch.scalar("select rdb$character_set_name from rdb$database"),
              std::string("WIN1252").append(24, ' '));
}

TEST(FbDatabase, CreatesDatabasesOfEitherDialectAndSwitchesForcedWrites) {
    TempDir dir("kv-fb");
    for (int dialect : {1, 3}) {
        const std::string path = (dir / ("d" + std::to_string(dialect) + ".fdb")).string();
        platform::FbConnectOptions options = sysdba();
        options.dialect = dialect;
        FbDatabase::create(systemClient(), path, options).detach();

        options.forcedWrites = true;
        auto db = FbDatabase::attach(systemClient(), path, options);
        EXPECT_EQ(db.info().sqlDialect, dialect);
        EXPECT_TRUE(db.info().forcedWrites);
        db.drop();
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

TEST(FbDatabase, AttachesWithUserRoleAndCharacterSet) {
    ScratchDatabase scratch;
    scratch.execute({"create role r_sales", "grant r_sales to bob"});
    platform::FbConnectOptions options = sysdba("WIN1252");
    options.user = "BOB";
    options.role = "R_SALES";
    options.forcedWrites.reset(); // only the owner may switch it
    auto db = FbDatabase::attach(systemClient(), scratch.path(), options);
    EXPECT_EQ(fbtest::queryScalar(db, "select current_user || '/' || current_role "
                                      "from rdb$database"),
              "BOB/R_SALES");
    EXPECT_EQ(fbtest::queryScalar(db, "select trim(c.rdb$character_set_name) "
                                      "from mon$attachments a join rdb$character_sets c "
                                      "on c.rdb$character_set_id = a.mon$character_set_id "
                                      "where a.mon$attachment_id = current_connection"),
              "WIN1252");
    // A user without rights reads the catalogue but may not change it.
    FbTransaction transaction = db.startTransaction();
    const FbError error = errorOf([&] { transaction.executeImmediate("create table t (a int)"); });
    EXPECT_NE(std::string(error.what()).find("There is no privilege for this operation"),
              std::string::npos)
        << error.what();
}

TEST(FbDatabase, CommitKeepsAndRollbackUndoes) {
    ScratchDatabase scratch;
    scratch.execute({"create table t (id int)"});
    FbDatabase& db = scratch.db();

    FbTransaction kept = db.startTransaction();
    kept.executeImmediate("insert into t values (1)");
    kept.commit();
    EXPECT_FALSE(kept.active());

    FbTransaction undone = db.startTransaction();
    undone.executeImmediate("insert into t values (2)");
    undone.rollback();
    EXPECT_FALSE(undone.active());
    {
        FbTransaction dropped = db.startTransaction();
        dropped.executeImmediate("insert into t values (3)");
    } // destroyed while active: rolled back

    EXPECT_EQ(scratch.scalar("select list(id) from t"), "1");
    EXPECT_EQ(errorOf([&] { kept.commit(); }).what(), std::string("the transaction is not active"));
}

TEST(FbDatabase, IsolationAndWaitModesBehaveAsAsked) {
    ScratchDatabase scratch;
    scratch.execute({"create table t (id int primary key, v int)", "insert into t values (1, 0)"});
    FbDatabase& db = scratch.db();

    FbTransactionOptions readCommitted;
    readCommitted.isolation = FbTransactionOptions::Isolation::ReadCommitted;
    FbTransaction snapshot = db.startTransaction();
    FbTransaction committed = db.startTransaction(readCommitted);
    const auto valueSeenBy = [&](FbTransaction& transaction) {
        FbStatement select(db);
        select.prepare(transaction, "select v from t");
        select.execute(transaction);
        select.fetch();
        return select.value(size_t{0}).asInt64();
    };
    EXPECT_EQ(valueSeenBy(snapshot), 0);

    FbTransaction writer = db.startTransaction();
    writer.executeImmediate("update t set v = 1");
    FbTransactionOptions noWait;
    noWait.wait = false;
    FbTransaction other = db.startTransaction(noWait);
    const FbError conflict = errorOf([&] { other.executeImmediate("update t set v = 2"); });
    EXPECT_EQ(conflict.gdsCode(), 335544336); // deadlock
    EXPECT_TRUE(std::string(conflict.what())
                    .starts_with("deadlock\n-update conflicts with concurrent update\n"))
        << conflict.what();
    // With a lock time-out the same conflict comes only after waiting (the lock manager's
    // clock is coarse, so the wait may fall somewhat short of the two seconds).
    FbTransactionOptions shortWait;
    shortWait.lockTimeoutSeconds = 2;
    FbTransaction patient = db.startTransaction(shortWait);
    const auto start = std::chrono::steady_clock::now();
    const FbError timeout = errorOf([&] { patient.executeImmediate("update t set v = 3"); });
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(timeout.gdsCode(), 335544336);
    writer.commit();

    EXPECT_EQ(valueSeenBy(snapshot), 0);
    EXPECT_EQ(valueSeenBy(committed), 1);
}

TEST(FbDatabase, ErrorsCarryTheServersMessageAndCodes) {
    ScratchDatabase scratch;
    FbTransaction transaction = scratch.db().startTransaction();
    const FbError syntax =
        errorOf([&] { transaction.executeImmediate("selec 1 from rdb$database"); });
    EXPECT_STREQ(syntax.what(), "Dynamic SQL Error\n"
                                "-SQL error code = -104\n"
                                "-Token unknown - line 1, column 1\n"
                                "-selec");
    EXPECT_EQ(syntax.sqlCode(), -104);
    EXPECT_EQ(syntax.gdsCode(), 335544569);
    EXPECT_EQ(syntax.sqlState(), "42000");

    const FbError nul =
        errorOf([&] { transaction.executeImmediate(std::string("select 1\0", 9)); });
    EXPECT_STREQ(nul.what(), "the SQL text holds a NUL character");
}

TEST(FbDatabase, AMissingOrExistingFileIsAnIoError) {
    TempDir dir("kv-fb");
    const std::string missing = (dir / "missing.fdb").string();
    const FbError notThere =
        errorOf([&] { FbDatabase::attach(systemClient(), missing, sysdba()); });
    EXPECT_EQ(notThere.gdsCode(), 335544344);
    EXPECT_EQ(notThere.sqlCode(), -902);
    const std::string message = notThere.what();
    EXPECT_TRUE(message.starts_with("I/O error during \"open\" operation for file \"" + missing +
                                    "\"\n-Error while trying to open file\n-"))
        << message;

    const std::string existing = (dir / "existing.fdb").string();
    FbDatabase::create(systemClient(), existing, sysdba()).detach();
    const FbError exists = errorOf([&] { FbDatabase::create(systemClient(), existing, sysdba()); });
    EXPECT_EQ(exists.gdsCode(), 335544344);
    EXPECT_NE(std::string(exists.what()).find("File exists"), std::string::npos) << exists.what();
}

TEST(FbDatabase, AFailedDropKeepsTheAttachment) {
    ScratchDatabase scratch;
    auto second = FbDatabase::attach(systemClient(), scratch.path(), sysdba());
    const FbError inUse = errorOf([&] { second.drop(); });
    EXPECT_NE(std::string(inUse.what()).find("is in use"), std::string::npos) << inUse.what();
    EXPECT_TRUE(second.attached());
    EXPECT_EQ(second.info().odsVersion, 12);
    scratch.db().detach();
    second.drop();
    EXPECT_FALSE(std::filesystem::exists(scratch.path()));
}

TEST(FbDatabase, OpensPathsWithNonAsciiNames) {
    TempDir dir("kv-fb");
    const std::string path = (dir / "ação" / "banco.fdb").string();
    std::filesystem::create_directories(dir / "ação");
    FbDatabase::create(systemClient(), path, sysdba()).detach();
    EXPECT_TRUE(std::filesystem::exists(path));
    FbDatabase::attach(systemClient(), path, sysdba()).drop();
    EXPECT_FALSE(std::filesystem::exists(path));
}

// Detaching first frees the statements and rolls back the transactions still open, whatever
// the order the caller's objects go away in; afterwards they refuse work and destroy safely.
TEST(FbDatabase, DetachingReleasesStatementsAndTransactionsFirst) {
    ScratchDatabase scratch;
    scratch.execute({"create table t (id int)", "insert into t values (1)"});
    auto db = FbDatabase::attach(systemClient(), scratch.path(), sysdba());
    FbTransaction transaction = db.startTransaction();
    transaction.executeImmediate("insert into t values (2)");
    FbStatement select(db);
    select.prepare(transaction, "select id from t");
    select.execute(transaction);
    ASSERT_TRUE(select.fetch());

    db.detach();
    EXPECT_FALSE(db.attached());
    EXPECT_FALSE(transaction.active());
    EXPECT_STREQ(errorOf([&] { select.fetch(); }).what(),
                 "the statement was freed: its database is no longer attached");
    EXPECT_STREQ(errorOf([&] { db.startTransaction(); }).what(), "the database is not attached");
    EXPECT_NO_THROW(db.detach());

    // The insert was rolled back, and no attachment is left behind: dropping needs the file
    // to be free of other attachments.
    EXPECT_EQ(scratch.scalar("select count(*) from t"), "1");
    scratch.db().detach();
    EXPECT_NO_THROW(FbDatabase::attach(systemClient(), scratch.path(), sysdba()).drop());
}

TEST(FbDatabase, ObjectsMayOutliveTheirDatabaseInAnyOrder) {
    ScratchDatabase scratch;
    scratch.execute({"create table t (id int)"});
    scratch.db().detach();
    {
        std::optional<FbTransaction> transaction;
        std::optional<FbStatement> statement;
        {
            auto db = FbDatabase::attach(systemClient(), scratch.path(), sysdba());
            transaction.emplace(db.startTransaction());
            statement.emplace(db);
            statement->prepare(*transaction, "insert into t values (1)");
        } // the database goes first
        EXPECT_FALSE(transaction->active());
    }
    auto moved = FbDatabase::attach(systemClient(), scratch.path(), sysdba());
    FbDatabase target = std::move(moved);
    EXPECT_FALSE(moved.attached());
    EXPECT_TRUE(target.attached());
    target.drop();
}

} // namespace
