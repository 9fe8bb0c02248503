// Whole scripts read into the statements the parser reports, with their kind, operation, object,
// owner and text; SET TERM; the settings a script declares; errors and how parsing goes on.

#include "ParserFixture.h"

#include "engine/dbcComp_Prc.h"
#include "engine/dbcComp_Rol.h"
#include "engine/dbcComp_Tbl.h"
#include "engine/dbcSQL_Exec.h"

#include <gtest/gtest.h>

using namespace dbc;
using namespace enginetest;

namespace {

struct StatementCase {
    const char* name;
    std::string script;
    std::vector<std::pair<std::string, std::string>> statements; // key, text
};

// Test names show the case by its name.
void PrintTo(const StatementCase& c, std::ostream* os) { *os << c.name; }

class ScriptStatements : public testing::TestWithParam<StatementCase> {};

const StatementCase kStatementCases[] = {
    {"OnlyCommit", "COMMIT;\ncommit work;", {}},
    {"Delete", "DELETE FROM T WHERE ID = 1;",
     {{"stDelete odbDelete dboTable T", "DELETE FROM T WHERE ID = 1"}}},
    {"DataStatements",
     "INSERT INTO T (A) VALUES (1);\nupdate t set a = 2;\nUPDATE OR INSERT INTO U (A) VALUES (3);\n"
     "SELECT * FROM T;\nWITH X AS (SELECT 1 A FROM RDB$DATABASE) SELECT A FROM X;",
     {{"stInsert odbInsert dboTable T", "INSERT INTO T (A) VALUES (1)"},
      {"stUpdate odbUpdate dboTable T", "update t set a = 2"},
      {"stUpdate odbUpdate dboTable U", "UPDATE OR INSERT INTO U (A) VALUES (3)"},
      {"stSelect odbUnknown dboUnknown ", "SELECT * FROM T"},
      {"stSelect odbUnknown dboUnknown ", "WITH X AS (SELECT 1 A FROM RDB$DATABASE) SELECT A FROM X"}}},
    {"TableWithInlineConstraintsIsOneStatement",
     "create table t (id int not null primary key, code varchar(10) unique, check (id > 0));",
     {{"stStatement odbCreate dboTable T",
       "create table t (id int not null primary key, code varchar(10) unique, check (id > 0))"}}},
    {"AlterTable",
     "alter table t add c int;\nalter table t add constraint pk_t primary key (id);\n"
     "alter table t add check (c > 0);\nalter table t alter column c type bigint;\n"
     "alter table t alter c position 1, add d int;\nalter table t drop c;\n"
     "alter table t drop constraint pk_t;",
     {{"stStatement odbCreate dboField C [T]", "alter table t add c int"},
      {"stStatement odbCreate dboPKey PK_T", "alter table t add constraint pk_t primary key (id)"},
      {"stStatement odbCreate dboCheck ", "alter table t add check (c > 0)"},
      {"stStatement odbAlter dboField C [T]", "alter table t alter column c type bigint"},
      {"stStatement odbAlter dboField C [T]", "alter table t alter c position 1, add d int"},
      {"stStatement odbDrop dboField C [T]", "alter table t drop c"},
      {"stStatement odbDrop dboConstraint PK_T [T]", "alter table t drop constraint pk_t"}}},
    {"IndicesDomainsAndSmallObjects",
     "create unique desc index ix on t (a, b);\nalter index ix inactive;\ncreate domain d as int;\n"
     "alter domain d set default 0;\ncreate generator g;\ncreate sequence s;\nalter sequence s restart with 5;\n"
     "set generator g to 10;\ncreate exception e 'boom';\nalter exception e 'bang';\ncreate role r;\n"
     "declare external function f integer returns integer by value entry_point 'f' module_name 'm';",
     {{"stStatement odbCreate dboIndex IX", "create unique desc index ix on t (a, b)"},
      {"stStatement odbAlter dboIndex IX", "alter index ix inactive"},
      {"stStatement odbCreate dboDomain D", "create domain d as int"},
      {"stStatement odbAlter dboDomain D", "alter domain d set default 0"},
      {"stStatement odbCreate dboGenerator G", "create generator g"},
      {"stStatement odbCreate dboGenerator S", "create sequence s"},
      {"stStatement odbAlter dboGenerator S", "alter sequence s restart with 5"},
      {"stStatement odbAlter dboGenerator G", "set generator g to 10"},
      {"stStatement odbCreate dboException E", "create exception e 'boom'"},
      {"stStatement odbCreate dboException E", "alter exception e 'bang'"},
      {"stStatement odbCreate dboRole R", "create role r"},
      {"stStatement odbCreate dboFunction F",
       "declare external function f integer returns integer by value entry_point 'f' module_name 'm'"}}},
    {"ProcedureInTermBlock",
     "SET TERM ^ ;\nCREATE PROCEDURE P AS BEGIN EXIT; END^\nSET TERM ; ^\nCREATE ROLE R;",
     {{"stStatement odbCreate dboProcedure P", "CREATE PROCEDURE P AS BEGIN EXIT; END"},
      {"stStatement odbCreate dboRole R", "CREATE ROLE R"}}},
    {"KnownProcedureIsAltered",
     "set term ^;\ncreate procedure p as begin end^\ncreate or alter procedure p as begin exit; end^\n"
     "alter procedure p as begin end^\nrecreate procedure q as begin end^",
     {{"stStatement odbCreate dboProcedure P", "create procedure p as begin end"},
      {"stStatement odbAlter dboProcedure P", "create or alter procedure p as begin exit; end"},
      {"stStatement odbAlter dboProcedure P", "alter procedure p as begin end"},
      {"stStatement odbCreate dboProcedure Q", "recreate procedure q as begin end"}}},
    {"TriggersViewsPackagesFunctions",
     "create view v (a) as select a from t;\ncreate or alter view w as select 1 x from rdb$database;\n"
     "alter view v as select 2 a from rdb$database;\nset term ^;\n"
     "create trigger tr for t before insert as begin end^\nalter trigger tr inactive^\n"
     "create package k as begin procedure p; end^\ncreate package body k as begin procedure p as begin end end^\n"
     "create function f returns int as begin return 1; end^\nexecute block as begin end^\nset term ;^",
     {{"stStatement odbCreate dboView V", "create view v (a) as select a from t"},
      {"stStatement odbCreate dboView W", "create or alter view w as select 1 x from rdb$database"},
      {"stStatement odbAlter dboView V", "alter view v as select 2 a from rdb$database"},
      {"stStatement odbCreate dboTrigger TR", "create trigger tr for t before insert as begin end"},
      {"stStatement odbAlter dboTrigger TR", "alter trigger tr inactive"},
      {"stStatement odbCreate dboPackage K", "create package k as begin procedure p; end"},
      {"stStatement odbAlter dboPackage K", "create package body k as begin procedure p as begin end end"},
      {"stStatement odbCreate dboProcedure F", "create function f returns int as begin return 1; end"},
      {"stExecuteBlock odbUnknown dboUnknown ", "execute block as begin end"}}},
    {"Drops",
     "drop table t; drop view v; drop procedure p; drop trigger tr; drop domain d; drop exception e;\n"
     "drop index i; drop role r; drop generator g; drop sequence s; drop external function f;\n"
     "drop package k; drop package body k; drop collation c;",
     {{"stStatement odbDrop dboTable T", "drop table t"},
      {"stStatement odbDrop dboView V", "drop view v"},
      {"stStatement odbDrop dboProcedure P", "drop procedure p"},
      {"stStatement odbDrop dboTrigger TR", "drop trigger tr"},
      {"stStatement odbDrop dboDomain D", "drop domain d"},
      {"stStatement odbDrop dboException E", "drop exception e"},
      {"stStatement odbDrop dboIndex I", "drop index i"},
      {"stStatement odbDrop dboRole R", "drop role r"},
      {"stStatement odbDrop dboGenerator G", "drop generator g"},
      {"stStatement odbDrop dboGenerator S", "drop sequence s"},
      {"stStatement odbDrop dboFunction F", "drop external function f"},
      {"stStatement odbDrop dboPackage K", "drop package k"},
      {"stStatement odbDrop dboPackageBody K", "drop package body k"},
      {"stStatement odbDrop dboCollation C", "drop collation c"}}},
    {"SecurityAndDescriptions",
     "grant select on t to u;\ngrant r to u with admin option;\nrevoke select on t from u;\n"
     "comment on table t is 'people';\ncomment on column t.a is null;\n"
     "describe table t 'people';\ndescribe field a table t 'id';",
     {{"stStatement odbCreate dboGrant T", "grant select on t to u"},
      {"stStatement odbCreate dboGrant R", "grant r to u with admin option"},
      {"stStatement odbDrop dboGrant ", "revoke select on t from u"},
      {"stStatement odbDescription dboTable T", "comment on table t is 'people'"},
      {"stStatement odbDescription dboField A [T]", "comment on column t.a is null"},
      {"stDescription odbDescription dboTable T", "describe table t 'people'"},
      {"stDescription odbDescription dboField A [T]", "describe field a table t 'id'"}}},
    {"Settings",
     "set names win1252;\nset sql dialect 3;\nset autoddl off;\nset blobfile 'b.lob';\n"
     "set statistics index ix;\nset list on;",
     {{"stSetNames odbSet dboUnknown WIN1252", "set names win1252"},
      {"stSqlDialect odbSet dboUnknown 3", "set sql dialect 3"},
      {"stSet odbSet dboUnknown ", "set autoddl off"},
      {"stSetBlobFile odbSet dboUnknown b.lob", "set blobfile 'b.lob'"},
      {"stStatement odbSet dboIndex IX", "set statistics index ix"},
      {"stSet odbSet dboUnknown ", "set list on"}}},
    {"ConnectionsAndDatabase",
     "create database 'x.fdb' page_size 16384 default character set utf8;\n"
     "connect 'x.fdb' user 'SYSDBA' password 'pw';\nreconnect;\nalter database set linger to 10;\n"
     "execute procedure p(1);\ncreate collation c for utf8;",
     {{"stCreateDb odbSet dboUnknown x.fdb", "create database 'x.fdb' page_size 16384 default character set utf8"},
      {"stConnect odbSet dboUnknown x.fdb", "connect 'x.fdb' user 'SYSDBA' password 'pw'"},
      {"stReconnect odbUnknown dboUnknown ", "reconnect"},
      {"stStatement odbAlter dboDatabase ", "alter database set linger to 10"},
      {"stStatement odbUnknown dboProcedure P", "execute procedure p(1)"},
      {"stStatement odbCreate dboCollation C", "create collation c for utf8"}}},
};

INSTANTIATE_TEST_SUITE_P(Parser, ScriptStatements, testing::ValuesIn(kStatementCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

TEST_P(ScriptStatements, ReportedInScriptOrder) {
    const StatementCase& c = GetParam();
    ScriptParse parse;
    parse.Parse(c.script);
    EXPECT_EQ(parse.Messages(), std::vector<std::string>{});
    ASSERT_EQ(parse.statements.size(), c.statements.size()) << testing::PrintToString(parse.Keys());
    for (std::size_t i = 0; i < c.statements.size(); ++i) {
        EXPECT_EQ(parse.statements[i].Key, c.statements[i].first) << i;
        EXPECT_EQ(parse.statements[i].Text, c.statements[i].second) << i;
    }
}

TEST(SetTerm, Variants) {
    struct Case { const char* script; std::vector<std::string> texts; const char* finalTerm; };
    const Case cases[] = {
        {"SET TERM ^ ;\nCREATE ROLE A^\nSET TERM ; ^\nCREATE ROLE B;", {"CREATE ROLE A", "CREATE ROLE B"}, ";"},
        {"set term ^;\ncreate role a^\nset term ;^", {"create role a"}, ";"},
        {"SET TERM !! ;\nCREATE ROLE A!!\nCREATE ROLE B !!", {"CREATE ROLE A", "CREATE ROLE B"}, "!!"},
        {"SET TERM ^ ; -- blocks follow\nCREATE ROLE A^ /* done */", {"CREATE ROLE A"}, "^"},
        {"SET\n  TERM\n  ~ ;\nCREATE ROLE A~", {"CREATE ROLE A"}, "~"},
    };
    for (const Case& c : cases) {
        ScriptParse parse;
        parse.Parse(c.script);
        EXPECT_EQ(parse.Messages(), std::vector<std::string>{}) << c.script;
        std::vector<std::string> texts;
        for (const auto& statement : parse.statements)
            texts.push_back(statement.Text);
        EXPECT_EQ(texts, c.texts) << c.script;
        EXPECT_EQ(parse.parser.TermStr(), c.finalTerm) << c.script;
    }
}

TEST(SetTerm, SemicolonsInsideABodyDoNotEndIt) {
    ScriptParse parse;
    parse.Parse("SET TERM ^ ;\nCREATE PROCEDURE P RETURNS (X INT) AS\nBEGIN\n  X = 1; -- ^ in a comment\n"
                "  X = ';^'; SUSPEND;\nEND^\nSET TERM ; ^");
    ASSERT_EQ(parse.statements.size(), 1u);
    EXPECT_EQ(parse.objs.GetProcedure("P")->Body,
              "BEGIN\r\n  X = 1; -- ^ in a comment\r\n  X = ';^'; SUSPEND;\r\nEND");
}

TEST(ScriptSettings, RecordedInTheOptions) {
    ScriptParse parse;
    parse.Parse("create database 'db.fdb' user 'SYSDBA' password 'masterkey' page_size = 16384 "
                "default character set utf8 collation unicode;\n"
                "connect 'other.fdb' user 'APP' password 'secret' role 'CLERK';\n"
                "set names win1252;\nset sql dialect 3;\nset autoddl off;");
    EXPECT_EQ(parse.Messages(), std::vector<std::string>{});
    const TConnectionOptions& connection = parse.parser.ConnectionOptions();
    EXPECT_EQ(connection.DatabaseName, "other.fdb");
    EXPECT_EQ(connection.UserName, "APP");
    EXPECT_EQ(connection.Password, "secret");
    EXPECT_EQ(connection.RoleName, "CLERK");
    const TIBServerOptions& server = parse.parser.IBServerOptions();
    EXPECT_EQ(server.IBDatabaseOptions.PageSize, 16384);
    EXPECT_EQ(server.DBCharSet(), "WIN1252");
    EXPECT_EQ(server.SQLDialect, 3);
    EXPECT_FALSE(parse.parser.AutoDDL());
    // The collections take the settings over.
    EXPECT_EQ(parse.objs.ConnectionOptions().RoleName, "CLERK");
    EXPECT_EQ(parse.objs.IBServerOptions().SQLDialect, 3);
    EXPECT_EQ(parse.objs.IBServerOptions().DBCharSet(), "WIN1252");

    // Every script starts in dialect 1 with AUTODDL on.
    parse.Parse("create role r;");
    EXPECT_EQ(parse.parser.IBServerOptions().SQLDialect, 1);
    EXPECT_TRUE(parse.parser.AutoDDL());
}

TEST(ScriptSettings, DialectThreeQuotesIdentifiersFromTheNextSymbolOn) {
    ScriptParse parse;
    parse.Parse("create table \"t1\" (a int);\nset sql dialect 3;\ncreate table \"Mixed\" (\"a b\" int);");
    EXPECT_NE(parse.Messages(), std::vector<std::string>{}); // a string is no table name in dialect 1
    ASSERT_NE(parse.objs.GetTable("Mixed"), nullptr);
    EXPECT_NE(parse.objs.GetTable("Mixed")->FindFld("a b"), nullptr);
    EXPECT_EQ(parse.parser.QuoteIdent("Mixed"), "\"Mixed\"");
    EXPECT_EQ(parse.parser.QuoteIdent("PLAIN"), "PLAIN");
}

TEST(ScriptSettings, ReservedWordsFollowTheServerVersion) {
    // Firebird 2.5 reads ROLE and GLOBAL as identifiers, yet knows the statements.
    ScriptParse parse(st_Firebird_25);
    parse.Parse("create role r;\ncreate global temporary table g (a int) on commit delete rows;");
    EXPECT_EQ(parse.Messages(), std::vector<std::string>{});
    EXPECT_NE(parse.objs.GetRole("R"), nullptr);
    EXPECT_TRUE(parse.objs.GetTable("G")->GlobalTemporary);
    // Stored functions are Firebird 3 only.
    parse.Parse("set term ^;\ncreate function f returns int as begin return 1; end^");
    EXPECT_EQ(parse.Messages(), std::vector<std::string>{"2:16 Unknown CREATE-statement"});
}

namespace {

struct ErrorCase {
    const char* name;
    std::string script;
    std::vector<std::string> messages;
};

// Test names show the case by its name.
void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

class ScriptErrors : public testing::TestWithParam<ErrorCase> {};

// Each script ends with "create role ok;", which must be read whatever went before.
const ErrorCase kErrorCases[] = {
    {"UnknownStatement", "frobnicate the table;\ncreate role ok;", {"1:11 Unknown statement: <Ident>"}},
    {"NoStatementAtAll", "( 1 );\ncreate role ok;", {"1:2 Missing/unknown: DDL-statement: <(>"}},
    {"MissingParenthesis", "create table t (a int;\ncreate role ok;", {"1:23 Missing: <)> (<Terminator>)"}},
    {"MissingTerminator", "create role a\ncreate role b;\ncreate role ok;", {"2:7 Missing: <TERM> (CREATE)"}},
    {"UnknownCreate", "create shoe s;\ncreate role ok;", {"1:12 Unknown CREATE-statement"}},
    {"UnknownCreateOrAlter", "create or alter table t (a int);\ncreate role ok;", {"1:22 Unknown ALTER-statement"}},
    {"UnknownAlter", "alter shoe s;\ncreate role ok;", {"1:11 Unknown ALTER statement."}},
    {"GlobalWithoutTemporary", "create global table t (a int);\ncreate role ok;",
     {"1:20 TEMPORARY expected, but TABLE found."}},
    {"UnknownDrop", "drop shoe s;\ncreate role ok;", {"1:10 Unknown DROP statement"}},
    {"AutoddlWithoutOnOff", "set autoddl maybe;\ncreate role ok;", {"1:18 Missing: ON/OFF in \"SET AUTODDL...\""}},
    {"UnknownBlobSubType", "create table t (b blob sub_type fancy);\ncreate role ok;", {"1:38 Unknown blob-subtype."}},
    {"BadDefault", "create table t (a int default (1));\ncreate role ok;", {"1:32 DEFAUT <value> error..."}},
    {"BadIndex", "create index ix on t;\ncreate role ok;", {"1:22 Bad INDEX definition"}},
    {"TriggerWithoutTime", "set term ^;\ncreate trigger tr for t active sometimes insert as begin end^\ncreate role ok^",
     {"2:41 Must be: BEFORE / AFTER"}},
    {"UnknownDatabaseEvent", "set term ^;\ncreate trigger tr on lunch as begin end^\ncreate role ok^",
     {"2:27 Unknown event for database trigger"}},
    {"UnknownDmlEvent", "set term ^;\ncreate trigger tr for t before select as begin end^\ncreate role ok^",
     {"2:38 Missing: INSERT / UPDATE / DELETE"}},
    {"BadReferentialAction", "create table t (a int references u on delete nothing);\ncreate role ok;",
     {"1:53 Unknown action into UPDATE/DELETE rule."}},
    {"TemporaryTableRows", "create global temporary table t (a int) on commit keep rows;\ncreate role ok;",
     {"1:55 Must be: DELETE ROWS / PRESERVE ROWS."}},
    {"CommentOnNothing", "comment on shoe s is 'x';\ncreate role ok;", {"1:16 Unknown Comment-statement"}},
    {"CommentWithoutText", "comment on table t is 5;\ncreate role ok;", {"1:24 Invalid comment text"}},
    {"DescribeNothing", "describe shoe s 'x';\ncreate role ok;", {"1:14 Unknown DESCRIBE statement."}},
    {"GrantOption", "grant select on t to u with nothing;\ncreate role ok;", {"1:36 Must be: with GRANT/ADMIN option"}},
    {"DatabaseOption", "create database 'x.fdb' shoe_size 42;\ncreate role ok;", {"1:34 Unknown token in DB-declaration."}},
    {"UnterminatedAtTheEnd", "create role ok;\ncreate role b", {"2:13 Missing: <TERM> (<EOF>)"}},
};

INSTANTIATE_TEST_SUITE_P(Parser, ScriptErrors, testing::ValuesIn(kErrorCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

TEST_P(ScriptErrors, ReportedWithPositionAndParsingGoesOn) {
    const ErrorCase& c = GetParam();
    ScriptParse parse;
    parse.Parse(c.script);
    ASSERT_FALSE(parse.Messages().empty());
    EXPECT_EQ(parse.Messages().front(), c.messages.front());
    EXPECT_NE(parse.objs.GetRole("OK"), nullptr) << testing::PrintToString(parse.Messages());
    ASSERT_EQ(parse.shownErrors.size(), 1u);
    EXPECT_TRUE(parse.shownErrors[0].starts_with(c.messages.front().substr(c.messages.front().find(' ') + 1)));
}

TEST(ScriptErrors, WarningsForDuplicateKeys) {
    ScriptParse parse;
    parse.Parse("create table t (a int primary key, b int);\nalter table t add primary key (b);\n"
                "create table u (a int references t (a));\nalter table u add foreign key (a) references t (a);");
    EXPECT_EQ(parse.Messages(),
              (std::vector<std::string>{
                  "warning 2:35 Duplicate Primary Key, Table: T (convert to Unique)\r\n"
                  "ALTER TABLE T ADD PRIMARY KEY (A)\r\nALTER TABLE T ADD UNIQUE (B)",
                  "warning 4:51 Duplicate Foreign Key:ALTER TABLE U ADD FOREIGN KEY (A) REFERENCES T (A)"}));
    EXPECT_EQ(parse.objs.Ctr.size(), 2u);
}

TEST(ScriptLoading, StatementsAppendToAScriptBuilder) {
    // How the executor loads a script: the statement event appends to its statement list.
    TSQLExec exec;
    exec.DatabaseType = dbInterBase;
    TObjs scratch;
    TIbParser parser(nullptr);
    parser.IBServerOptions().SQLServerVersion = st_Firebird_25;
    parser.IBServerOptions().SQLDialect = 1;
    parser.OnAddStatement = [&](platform::Object&, const std::string& text, TStatType typ, const std::string& name,
                                TDbObject kind, TDbOperation operation, const std::string& owner,
                                TStatement*& statement) {
        statement = exec.Add(text, typ, name, kind, operation, owner);
    };
    parser.ParseScript(SplitLines("connect 'live.fdb' user 'SYSDBA' password 'pw';\n"
                                  "create table t (a int);\ncommit;\ndescribe table t 'people';\n"
                                  "insert into t values (1);"),
                       &scratch);
    exec.SetConnectionOptions(parser.ConnectionOptions());
    exec.SetIBServerOptions(parser.IBServerOptions());
    exec.MsgManager().CopyFrom(&parser.MsgManager());

    ASSERT_EQ(exec.StatementsCount(), 4u);
    EXPECT_EQ(exec.Statements(1).Text, std::vector<std::string>{"create table t (a int)"});
    EXPECT_EQ(exec.Statements(2).Typ, stDescription);
    EXPECT_EQ(exec.Statements(2).Description, "people"); // set through the returned statement
    EXPECT_EQ(exec.ConnectionOptions().DatabaseName, "live.fdb");
    EXPECT_FALSE(exec.MsgManager().IsMsg());
    std::vector<std::string> lines;
    exec.GetScript(lines, false);
    EXPECT_EQ(lines[2], "create table t (a int);");
}

TEST(ScriptErrors, MessagesNameTheTableAndColumnBeingRead) {
    ScriptParse parse;
    parse.Parse("create table t (a int, b blob sub_type fancy);");
    ASSERT_EQ(parse.shownErrors.size(), 1u);
    EXPECT_EQ(parse.shownErrors[0], "Unknown blob-subtype.\r\nScript: test.sql Line:1 Pos:46\r\n Table:T Field:B ");
}
