#include "FbTestDatabase.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using fbtest::ScratchDatabase;
using fbtest::sysdba;
using fbtest::systemClient;
using platform::FbColumn;
using platform::FbDatabase;
using platform::FbDate;
using platform::FbError;
using platform::FbStatement;
using platform::FbStatementType;
using platform::FbTime;
using platform::FbTimestamp;
using platform::FbTransaction;
using platform::FbType;

namespace {

template <typename Call> std::string errorText(Call call) {
    try {
        call();
    } catch (const FbError& error) {
        return error.what();
    }
    ADD_FAILURE() << "no FbError was raised";
    return {};
}

// A byte string holding every byte value, repeated past several blob segments.
std::string binaryBytes(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return bytes;
}

// One column of the round-trip table: its type, how a value goes in, how it reads back.
struct TypeCase {
    const char* column;
    const char* ddl;
    std::function<void(FbStatement&, size_t)> set;
    std::string text; // asString of the value read back
    FbType type;
    int scale = 0;
    int length = 0;
    int charset = 0;
};

std::vector<TypeCase> typeCases() {
    const FbDate date{2024, 2, 29};
    const FbTime time{23, 59, 58, 1234};
    return {
        {"SMALL", "smallint", [](FbStatement& s, size_t i) { s.setInt64(i, -32768); }, "-32768",
         FbType::SmallInt, 0, 2},
        {"INT32", "integer", [](FbStatement& s, size_t i) { s.setInt64(i, 2147483647); },
         "2147483647", FbType::Integer, 0, 4},
        {"BIG", "bigint",
         [](FbStatement& s, size_t i) { s.setInt64(i, std::numeric_limits<std::int64_t>::min()); },
         "-9223372036854775808", FbType::BigInt, 0, 8},
        {"MONEY", "numeric(9,2)", [](FbStatement& s, size_t i) { s.setText(i, "-0.5"); }, "-0.50",
         FbType::Integer, -2, 4},
        {"AMOUNT", "numeric(18,4)", [](FbStatement& s, size_t i) { s.setInt64(i, 12); }, "12.0000",
         FbType::BigInt, -4, 8},
        {"RATE", "numeric(4,1)", [](FbStatement& s, size_t i) { s.setDouble(i, 99.94); }, "99.9",
         FbType::SmallInt, -1, 2},
        {"REAL32", "float", [](FbStatement& s, size_t i) { s.setDouble(i, 0.1); }, "0.1",
         FbType::Float, 0, 4},
        {"REAL64", "double precision", [](FbStatement& s, size_t i) { s.setDouble(i, -1.25e-300); },
         "-1.25e-300", FbType::Double, 0, 8},
        {"BIRTHDAY", "date", [=](FbStatement& s, size_t i) { s.setDate(i, date); }, "2024-02-29",
         FbType::Date, 0, 4},
        {"CLOCK", "time", [=](FbStatement& s, size_t i) { s.setTime(i, time); }, "23:59:58.1234",
         FbType::Time, 0, 4},
        {"STAMP", "timestamp",
         [=](FbStatement& s, size_t i) {
             s.setTimestamp(i, {date, time});
         },
         "2024-02-29 23:59:58.1234", FbType::Timestamp, 0, 8},
        {"STAMP_TEXT", "timestamp",
         [](FbStatement& s, size_t i) { s.setText(i, "1858-11-17 00:00:00"); },
         "1858-11-17 00:00:00.0000", FbType::Timestamp, 0, 8},
        {"FLAG", "boolean", [](FbStatement& s, size_t i) { s.setBool(i, true); }, "TRUE",
         FbType::Boolean, 0, 1},
        {"CODE", "char(4)", [](FbStatement& s, size_t i) { s.setText(i, "ação"); }, "ação",
         FbType::Char, 0, 16, 4},
        {"PADDED", "char(3)", [](FbStatement& s, size_t i) { s.setText(i, "a"); }, "a  ",
         FbType::Char, 0, 12, 4},
        {"NAME", "varchar(20)", [](FbStatement& s, size_t i) { s.setText(i, "  café  "); },
         "  café  ", FbType::Varchar, 0, 80, 4},
        {"RAW", "varchar(4) character set none",
         [](FbStatement& s, size_t i) { s.setText(i, std::string("\x01\xFE", 2)); },
         std::string("\x01\xFE", 2), FbType::Varchar, 0, 4, 0},
        {"MEMO", "blob sub_type text", [](FbStatement& s, size_t i) { s.setText(i, "texto é"); },
         "texto é", FbType::Blob, 0, 8, 4},
        {"IMAGE", "blob sub_type binary",
         [](FbStatement& s, size_t i) { s.setBlob(i, binaryBytes(1000)); }, binaryBytes(1000),
         FbType::Blob, 0, 8, 0},
    };
}

class FbStatementTypes : public ::testing::Test {
protected:
    void SetUp() override {
        std::string ddl = "create table t (";
        for (const TypeCase& c : cases)
            ddl += std::string(&c == &cases.front() ? "" : ", ") + c.column + " " + c.ddl;
        scratch.execute({ddl + ")"});
        std::string insert = "insert into t values (?";
        for (size_t i = 1; i < cases.size(); ++i)
            insert += ", ?";
        insert += ")";

        FbTransaction transaction = scratch.db().startTransaction();
        FbStatement statement(scratch.db());
        statement.prepare(transaction, insert);
        ASSERT_EQ(statement.paramCount(), cases.size());
        for (size_t i = 0; i < cases.size(); ++i)
            cases[i].set(statement, i);
        statement.execute(transaction);
        // The parameters stay until changed: NULL all of them for a second row.
        for (size_t i = 0; i < cases.size(); ++i)
            statement.setNull(i);
        statement.execute(transaction);
        transaction.commit();
    }

    ScratchDatabase scratch;
    std::vector<TypeCase> cases = typeCases();
};

TEST_F(FbStatementTypes, RoundTripEveryTypeThroughParametersAndRows) {
    FbTransaction transaction = scratch.db().startTransaction();
    FbStatement select(scratch.db());
    select.prepare(transaction, "select * from t order by small nulls last");
    EXPECT_EQ(select.type(), FbStatementType::Select);
    ASSERT_EQ(select.columnCount(), cases.size());
    select.execute(transaction);

    ASSERT_TRUE(select.fetch());
    for (size_t i = 0; i < cases.size(); ++i) {
        const TypeCase& c = cases[i];
        SCOPED_TRACE(c.column);
        const FbColumn& column = select.column(i);
        EXPECT_EQ(column.name, c.column);
        EXPECT_EQ(column.alias, c.column);
        EXPECT_EQ(column.relation, "T");
        EXPECT_EQ(column.type, c.type);
        EXPECT_EQ(column.scale, c.scale);
        EXPECT_EQ(column.length, c.length);
        EXPECT_EQ(column.charset, c.charset);
        EXPECT_TRUE(column.nullable);
        EXPECT_FALSE(select.value(i).isNull());
        EXPECT_EQ(select.value(i).asString(), c.text);
    }

    ASSERT_TRUE(select.fetch());
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].column);
        EXPECT_TRUE(select.value(i).isNull());
        EXPECT_EQ(select.value(i).asString(), "");
        EXPECT_EQ(select.value(i).asInt64(), 0);
        EXPECT_EQ(select.value(i).asDouble(), 0);
        EXPECT_FALSE(select.value(i).asBool());
        EXPECT_EQ(select.value(i).asTimestamp(), FbTimestamp{});
    }
    EXPECT_FALSE(select.fetch());
    EXPECT_FALSE(select.fetch());
}

TEST_F(FbStatementTypes, ConvertsValuesOnRead) {
    FbTransaction transaction = scratch.db().startTransaction();
    FbStatement select(scratch.db());
    select.prepare(
        transaction,
        "select money, amount, rate, real64, flag, stamp, birthday, clock, "
        "cast(' 42 ' as varchar(8)) as spaced, cast('-2.5' as varchar(8)) as decimal_text, "
        "cast(9223372036854775807 as bigint) as top, cast(1e300 as double precision) as huge "
        "from t where small is not null");
    select.execute(transaction);
    ASSERT_TRUE(select.fetch());
    EXPECT_EQ(select.value("money").asInt64(), -1); // -0.50 rounds half away from zero
    EXPECT_DOUBLE_EQ(select.value("MONEY").asDouble(), -0.5);
    EXPECT_EQ(select.value("amount").asInt64(), 12);
    EXPECT_EQ(select.value("rate").asInt64(), 100);
    EXPECT_DOUBLE_EQ(select.value("rate").asDouble(), 99.9);
    EXPECT_EQ(select.value("real64").asInt64(), 0);
    EXPECT_TRUE(select.value("flag").asBool());
    EXPECT_EQ(select.value("flag").asInt64(), 1);
    EXPECT_TRUE(select.value("amount").asBool());
    EXPECT_EQ(select.value("stamp").asTimestamp(),
              (FbTimestamp{{2024, 2, 29}, {23, 59, 58, 1234}}));
    EXPECT_EQ(select.value("stamp").asDate(), (FbDate{2024, 2, 29}));
    EXPECT_EQ(select.value("clock").asTime(), (FbTime{23, 59, 58, 1234}));
    EXPECT_EQ(select.value("birthday").asTimestamp(), (FbTimestamp{{2024, 2, 29}, {}}));
    EXPECT_EQ(select.value("spaced").asInt64(), 42);
    EXPECT_EQ(select.value("decimal_text").asInt64(), -3);
    EXPECT_EQ(select.value("top").asString(), "9223372036854775807");

    EXPECT_EQ(errorText([&] { select.value("huge").asInt64(); }),
              "column HUGE: the floating-point number cannot be read as an integer");
    EXPECT_EQ(errorText([&] { select.value("birthday").asBool(); }),
              "column BIRTHDAY: the DATE cannot be read as a boolean");
    EXPECT_EQ(errorText([&] { select.value("clock").asDate(); }),
              "column CLOCK: the TIME cannot be read as a date");
    EXPECT_EQ(errorText([&] { select.value("nothere"); }), "the result has no column nothere");
    EXPECT_EQ(errorText([&] { select.value(99); }), "column index 99 is out of range (12 columns)");
}

TEST(FbStatement, RejectsValuesTheServerCannotConvert) {
    ScratchDatabase scratch;
    scratch.execute({"create table t (n integer, d date, v varchar(3), b blob)"});
    FbTransaction transaction = scratch.db().startTransaction();
    FbStatement insert(scratch.db());
    insert.prepare(transaction, "insert into t values (?, ?, ?, ?)");
    insert.setText(0, "abc");
    EXPECT_NE(errorText([&] {
                  insert.execute(transaction);
              }).find("conversion error from string \"abc\""),
              std::string::npos);
    insert.setNull(0);
    insert.setText(2, "abcd");
    EXPECT_NE(errorText([&] { insert.execute(transaction); }).find("string right truncation"),
              std::string::npos);
    insert.setNull(2);
    EXPECT_EQ(errorText([&] {
                  insert.setDate(1, {2023, 2, 29});
                  insert.execute(transaction);
              }),
              "invalid date 2023-02-29");
    EXPECT_EQ(errorText([&] {
                  insert.setBlob(0, "x");
                  insert.execute(transaction);
              }),
              "parameter 0 is not a BLOB");
    EXPECT_EQ(errorText([&] { insert.setInt64(4, 1); }),
              "parameter index 4 is out of range (4 parameters)");
}

TEST(FbStatement, MovesTextAndBinaryBlobsLargerThanASegment) {
    ScratchDatabase scratch;
    scratch.execute(
        {"create table t (id int, memo blob sub_type text, image blob sub_type binary)"});
    std::string text;
    while (text.size() < 200000)
        text += "linha " + std::to_string(text.size()) + " ação\r\n";
    const std::string bytes = binaryBytes(300000);

    FbTransaction transaction = scratch.db().startTransaction();
    FbStatement insert(scratch.db());
    insert.prepare(transaction, "insert into t values (?, ?, ?)");
    insert.setInt64(0, 1);
    insert.setText(1, text);
    insert.setBlob(2, bytes);
    insert.execute(transaction);
    insert.setInt64(0, 2);
    insert.setText(1, "");
    insert.setBlob(2, "");
    insert.execute(transaction);
    transaction.commit();

    FbTransaction reading = scratch.db().startTransaction();
    FbStatement select(scratch.db());
    select.prepare(reading, "select memo, image, octet_length(memo) from t order by id");
    select.execute(reading);
    ASSERT_TRUE(select.fetch());
    EXPECT_EQ(select.value(size_t{0}).asString(), text);
    EXPECT_EQ(select.value(1).asString(), bytes);
    EXPECT_EQ(select.value(2).asInt64(), static_cast<std::int64_t>(text.size()));
    ASSERT_TRUE(select.fetch());
    EXPECT_FALSE(select.value(size_t{0}).isNull());
    EXPECT_EQ(select.value(size_t{0}).asString(), "");
    EXPECT_EQ(select.value(1).asString(), "");

    // Blobs are read through the transaction of the result: once it ends they are out of reach.
    select.execute(reading);
    ASSERT_TRUE(select.fetch());
    reading.commit();
    EXPECT_EQ(errorText([&] { select.value(size_t{0}).asString(); }),
              "the transaction of this result has ended: its blobs cannot be read");
}

TEST(FbStatement, TransliteratesTextToTheConnectionCharacterSet) {
    ScratchDatabase scratch;
    scratch.execute({"create table t (v varchar(10) character set win1252, "
                     "b blob sub_type text character set win1252)"});
    {
        FbTransaction transaction = scratch.db().startTransaction();
        FbStatement insert(scratch.db());
        insert.prepare(transaction, "insert into t values (?, ?)");
        insert.setText(0, "café");
        insert.setText(1, "café");
        insert.execute(transaction);
        transaction.commit();
    }
    auto latin = FbDatabase::attach(systemClient(), scratch.path(), sysdba("WIN1252"));
    FbTransaction transaction = latin.startTransaction();
    FbStatement select(latin);
    select.prepare(transaction, "select v, b from t");
    select.execute(transaction);
    ASSERT_TRUE(select.fetch());
    EXPECT_EQ(select.value(size_t{0}).asString(), "caf\xE9");
    EXPECT_EQ(select.value(1).asString(), "caf\xE9");
    EXPECT_EQ(fbtest::queryScalar(scratch.db(), "select b from t"), "café");
}

struct TypeOfStatement {
    const char* name;
    const char* sql;
    FbStatementType type;
    bool returnsRows;
};

void PrintTo(const TypeOfStatement& c, std::ostream* out) { *out << c.sql; }

class FbStatementKinds : public ::testing::TestWithParam<TypeOfStatement> {};

TEST_P(FbStatementKinds, ReportTheirTypeAndWhetherTheyReturnRows) {
    ScratchDatabase scratch;
    scratch.execute({"create table t (id int generated by default as identity, v int)",
                     "create procedure p returns (x int) as begin x = 1; end"});
    FbTransaction transaction = scratch.db().startTransaction();
    FbStatement statement(scratch.db());
    statement.prepare(transaction, GetParam().sql);
    EXPECT_EQ(statement.type(), GetParam().type);
    EXPECT_EQ(statement.returnsRows(), GetParam().returnsRows);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FbStatementKinds,
    ::testing::Values(
        TypeOfStatement{"Select", "select 1 from rdb$database", FbStatementType::Select, true},
        TypeOfStatement{"SelectForUpdate", "select v from t for update",
                        FbStatementType::SelectForUpdate, true},
        TypeOfStatement{"Insert", "insert into t (v) values (1)", FbStatementType::Insert, false},
        TypeOfStatement{"InsertReturning", "insert into t (v) values (1) returning id",
                        FbStatementType::ExecProcedure, true},
        TypeOfStatement{"Update", "update t set v = 2", FbStatementType::Update, false},
        TypeOfStatement{"Delete", "delete from t", FbStatementType::Delete, false},
        TypeOfStatement{"Ddl", "create table u (a int)", FbStatementType::Ddl, false},
        TypeOfStatement{"ExecuteProcedure", "execute procedure p", FbStatementType::ExecProcedure,
                        true},
        TypeOfStatement{"Commit", "commit", FbStatementType::Commit, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FbStatement, ReturnsTheOutputRowOfAProcedureCall) {
    ScratchDatabase scratch;
    scratch.execute({"create procedure twice (a int) returns (b int, c varchar(5)) "
                     "as begin b = a * 2; c = 'ok'; end",
                     "create procedure numbers (n int) returns (i int) "
                     "as begin i = 0; while (i < n) do begin i = i + 1; suspend; end end"});
    FbTransaction transaction = scratch.db().startTransaction();
    FbStatement call(scratch.db());
    call.prepare(transaction, "execute procedure twice(?)");
    call.setInt64(0, 21);
    call.execute(transaction);
    ASSERT_TRUE(call.fetch());
    EXPECT_EQ(call.value("B").asInt64(), 42);
    EXPECT_EQ(call.value("c").asString(), "ok");
    EXPECT_FALSE(call.fetch());

    FbStatement select(scratch.db());
    select.prepare(transaction, "select i from numbers(?)");
    std::string seen;
    for (int n : {3, 2}) {
        select.setInt64(0, n);
        select.execute(transaction);
        while (select.fetch())
            seen += select.value("I").asString();
        seen += ";";
    }
    EXPECT_EQ(seen, "123;12;");
    // Executing again while rows are still pending starts the result over.
    select.execute(transaction);
    ASSERT_TRUE(select.fetch());
    select.execute(transaction);
    ASSERT_TRUE(select.fetch());
    EXPECT_EQ(select.value("I").asInt64(), 1);
    select.close();
    EXPECT_FALSE(select.fetch());
}

TEST(FbStatement, DescribesExpressionsAliasesAndTheCatalogue) {
    ScratchDatabase scratch;
    scratch.execute({"create table customer (id int not null primary key, name varchar(30))",
                     "create trigger customer_bi for customer before insert as begin end",
                     "create trigger any_ddl before any ddl statement as begin end"});
    FbTransaction transaction = scratch.db().startTransaction();
    FbStatement select(scratch.db());
    select.prepare(transaction, "select c.id, c.name as label, count(*) as \"Total\" "
                                "from customer c group by 1, 2");
    const FbColumn& id = select.column(0);
    EXPECT_EQ(id.name, "ID");
    EXPECT_EQ(id.relation, "CUSTOMER");
    EXPECT_FALSE(id.nullable);
    EXPECT_EQ(select.column(1).name, "NAME");
    EXPECT_EQ(select.column(1).alias, "LABEL");
    EXPECT_EQ(select.column(2).alias, "Total");
    EXPECT_EQ(select.column(2).relation, "");
    EXPECT_EQ(select.findColumn("label"), 1u);
    EXPECT_EQ(select.findColumn("TOTAL"), 2u);
    EXPECT_EQ(select.findColumn("missing"), std::nullopt);
    EXPECT_EQ(errorText([&] { select.value(size_t{0}); }), "there is no current row");

    // RDB$TRIGGER_TYPE is a BIGINT on Firebird 3; DDL triggers use values beyond 32 bits.
    select.prepare(transaction, "select rdb$trigger_type from rdb$triggers "
                                "where rdb$trigger_name in ('CUSTOMER_BI', 'ANY_DDL') "
                                "order by rdb$trigger_name");
    EXPECT_EQ(select.column(0).type, FbType::BigInt);
    EXPECT_EQ(select.column(0).charset, 0);
    select.execute(transaction);
    ASSERT_TRUE(select.fetch());
    EXPECT_EQ(select.value(size_t{0}).asInt64(), 9223372036854767614);
    ASSERT_TRUE(select.fetch());
    EXPECT_EQ(select.value(size_t{0}).asInt64(), 1);

    // Catalogue names are CHAR(31) of UNICODE_FSS: 4 bytes a character through UTF8, but
    // padded to 31 characters only.
    select.prepare(transaction, "select rdb$relation_name from rdb$relations "
                                "where rdb$relation_name = ?");
    EXPECT_EQ(select.column(0).type, FbType::Char);
    EXPECT_EQ(select.column(0).length, 124);
    EXPECT_EQ(select.param(0).type, FbType::Char);
    select.setText(0, "CUSTOMER");
    select.execute(transaction);
    ASSERT_TRUE(select.fetch());
    EXPECT_EQ(select.value(size_t{0}).asString(), std::string("CUSTOMER").append(23, ' '));
}

TEST(FbStatement, ReportsServerErrorsAndMisuse) {
    ScratchDatabase scratch;
    scratch.execute({"create table t (id int primary key)", "insert into t values (1)"});
    FbTransaction transaction = scratch.db().startTransaction();
    FbStatement statement(scratch.db());
    EXPECT_EQ(errorText([&] { statement.type(); }), "the statement is not prepared");
    EXPECT_EQ(errorText([&] { statement.prepare(transaction, "select nothing from t"); }),
              "Dynamic SQL Error\n-SQL error code = -206\n-Column unknown\n-NOTHING\n"
              "-At line 1, column 8");
    EXPECT_EQ(errorText([&] { statement.execute(transaction); }), "the statement is not prepared");

    statement.prepare(transaction, "insert into t values (?)");
    statement.setInt64(0, 1);
    try {
        statement.execute(transaction);
        FAIL() << "a duplicate key was accepted";
    } catch (const FbError& error) {
        EXPECT_EQ(error.sqlCode(), -803);
        EXPECT_EQ(error.gdsCode(), 335544665);
        EXPECT_EQ(error.sqlState(), "23000");
        EXPECT_TRUE(
            std::string(error.what()).starts_with("violation of PRIMARY or UNIQUE KEY constraint"))
            << error.what();
    }

    ScratchDatabase other;
    FbTransaction foreign = other.db().startTransaction();
    EXPECT_EQ(errorText([&] { statement.execute(foreign); }),
              "the transaction belongs to another database");
}

TEST(FbStatement, AResultEndsWithItsTransaction) {
    ScratchDatabase scratch;
    scratch.execute(
        {"create table t (id int)", "insert into t values (1)", "insert into t values (2)"});
    FbStatement select(scratch.db());
    {
        FbTransaction first = scratch.db().startTransaction();
        select.prepare(first, "select id from t order by id");
        select.execute(first);
        ASSERT_TRUE(select.fetch());
        first.commit();
        EXPECT_FALSE(errorText([&] { select.fetch(); }).empty());
    }
    // The statement stays prepared for the next transaction.
    FbTransaction second = scratch.db().startTransaction();
    select.execute(second);
    ASSERT_TRUE(select.fetch());
    EXPECT_EQ(select.value(size_t{0}).asInt64(), 1);
}

struct NamedCase {
    const char* name;
    const char* sql;
    const char* parsed;
    std::vector<std::string> names;
};

void PrintTo(const NamedCase& c, std::ostream* out) { *out << c.sql; }

class FbNamedParameters : public ::testing::TestWithParam<NamedCase> {};

TEST_P(FbNamedParameters, BecomeQuestionMarksOutsideQuotesAndComments) {
    const platform::FbParsedSql parsed = platform::parseNamedParameters(GetParam().sql);
    EXPECT_EQ(parsed.sql, GetParam().parsed);
    EXPECT_EQ(parsed.names, GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FbNamedParameters,
    ::testing::Values(NamedCase{"RepeatedName",
                                "where R.Rdb$Relation_Name = :NAME and x = :name",
                                "where R.Rdb$Relation_Name = ? and x = ?",
                                {"NAME", "name"}},
                      NamedCase{"NameCharacters",
                                "select :a1, :_b$c from t",
                                "select ?, ? from t",
                                {"a1", "_b$c"}},
                      NamedCase{"Quotes",
                                "select ':no', 'it''s :no', \":no\" from t where a = :yes",
                                "select ':no', 'it''s :no', \":no\" from t where a = ?",
                                {"yes"}},
                      NamedCase{"Comments",
                                "select 1 -- :no\n, :yes /* :no */ from t",
                                "select 1 -- :no\n, ? /* :no */ from t",
                                {"yes"}},
                      NamedCase{"AlternativeQuotes",
                                "select q'{a :no}', Q'!b :no!', :yes from t",
                                "select q'{a :no}', Q'!b :no!', ? from t",
                                {"yes"}},
                      NamedCase{"NoName",
                                "select a::b, :1, : c from t 'open :no",
                                "select a:?, :1, : c from t 'open :no",
                                {"b"}},
                      NamedCase{"Empty", "", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
