#include "EngineFixture.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace dbc;
using namespace enginetest;

namespace {

struct Builder : testing::Test {
    TSQLExec exec;
    Builder() { exec.DatabaseType = dbInterBase; }
    std::string Script() {
        std::vector<std::string> lines;
        exec.GetScript(lines, false);
        return Joined(lines);
    }
};

} // namespace

TEST_F(Builder, AddRefusesEmptyTextsExceptComments) {
    EXPECT_EQ(exec.Add("", stStatement), nullptr);
    EXPECT_EQ(exec.Add("", stProcedure), nullptr);
    EXPECT_EQ(exec.StatementsCount(), 0u);
    EXPECT_EQ(exec.Line(), 0);
    TStatement* comment = exec.Add("", stComment);
    ASSERT_NE(comment, nullptr);
    EXPECT_TRUE(comment->Text.empty());
    EXPECT_EQ(comment->Len, 0);
    EXPECT_EQ(comment->Term, "");
    EXPECT_EQ(exec.Line(), 1);
    EXPECT_FALSE(exec.IsUpdate());
}

TEST_F(Builder, AddFillsTheStatement) {
    TStatement* st = exec.Add("ALTER TABLE T\r\nADD C INTEGER\r\n", stStatement, "C", dboField, odbCreate, "T");
    ASSERT_NE(st, nullptr);
    EXPECT_EQ(st->SQLExec(), &exec);
    EXPECT_EQ(st->Text, (std::vector<std::string>{"ALTER TABLE T", "ADD C INTEGER"}));
    EXPECT_EQ(st->Len, 2);
    EXPECT_EQ(st->Term, ";\r\n");
    EXPECT_EQ(st->OwnName, "T");
    EXPECT_EQ(exec.Line(), 3);
    EXPECT_EQ(exec.Add("x", stSet, "", dboUnknown, odbSet, "", "^\r\n")->Term, "^\r\n");
    EXPECT_EQ(exec.Line(), 5);
    EXPECT_EQ(exec.IndexOf(st), 0);
    EXPECT_EQ(exec.IndexOf(nullptr), -1);
}

TEST_F(Builder, IsUpdateOnlyForKindsThatChangeTheDatabase) {
    for (TStatType typ : {stConnect, stReconnect, stCreateDb, stSet, stSetBlobFile, st_Commit,
                          stComment, stSetNames, stCharSet, stSqlDialect, stSelect, stExecuteBlock, stPackage})
        exec.Add("x", typ);
    EXPECT_FALSE(exec.IsUpdate());
    for (TStatType typ : {stStatement, stProcedure, stTrigger, stDescription, stInsert, stUpdate, stDelete}) {
        exec.Clear();
        exec.Add("x", typ);
        EXPECT_TRUE(exec.IsUpdate()) << int(typ);
    }
}

TEST_F(Builder, RefusalByTheAddEventChangesNothing) {
    exec.Add("CREATE TABLE A (ID INTEGER)", stStatement);
    exec.OnStatementAdd = [](platform::Object&, TStatement& st, bool& accept) {
        accept = st.ObjName != "REFUSED";
    };
    exec.Clear();
    exec.Add("COMMENT", stComment);
    EXPECT_EQ(exec.Add("DROP TABLE B", stStatement, "REFUSED"), nullptr);
    EXPECT_EQ(exec.StatementsCount(), 1u);
    EXPECT_EQ(exec.Line(), 2);
    EXPECT_FALSE(exec.IsUpdate());
}

TEST_F(Builder, CommitCommentAndReconnectStatements) {
    exec.Add_Commit();
    exec.AddComment("/* note */");
    exec.AddReConnect();
    exec.IBServerOptions().IBCompareOptions.UseRECONNECT = false;
    exec.AddReConnect(); // no database name: nothing
    exec.ConnectionOptions().DatabaseName = "live.fdb";
    exec.ConnectionOptions().UserName = "SYSDBA";
    exec.AddReConnect();
    ASSERT_EQ(exec.StatementsCount(), 4u);
    const TStatement& commit = exec.Statements(0);
    EXPECT_EQ(commit.Text, std::vector<std::string>{"COMMIT WORK;"});
    EXPECT_EQ(commit.Typ, st_Commit);
    EXPECT_EQ(commit.ObjName, "COMMIT WORK");
    EXPECT_EQ(commit.Operation, odbCommit);
    const TStatement& comment = exec.Statements(1);
    EXPECT_EQ(comment.Typ, stComment);
    EXPECT_EQ(comment.ObjName, "/*  */");
    EXPECT_EQ(comment.Operation, odbComment);
    EXPECT_EQ(comment.Term, "");
    EXPECT_EQ(exec.Statements(2).Text, std::vector<std::string>{"RECONNECT"});
    EXPECT_EQ(exec.Statements(2).Typ, stReconnect);
    EXPECT_EQ(exec.Statements(3).Text, std::vector<std::string>{"CONNECT 'live.fdb' USER 'SYSDBA'"});
    EXPECT_EQ(exec.Statements(3).Typ, stConnect);

    exec.DatabaseType = dbAbstract;
    exec.AddReConnect();
    EXPECT_EQ(exec.StatementsCount(), 4u);
}

TEST_F(Builder, ClearAndDelete) {
    exec.Add("A", stStatement, "A");
    exec.Add("B", stStatement, "B");
    exec.Add("C", stStatement, "C");
    exec.Delete(1);
    ASSERT_EQ(exec.StatementsCount(), 2u);
    EXPECT_EQ(exec.Statements(1).ObjName, "C");
    EXPECT_THROW(exec.Delete(2), std::out_of_range);
    exec.SelectAll(true);
    EXPECT_TRUE(exec.Statements(0).Select);
    exec.ConnectionOptions().DatabaseName = "x.fdb";
    exec.IBServerOptions().SetDBCharSet("UTF8");
    exec.Clear();
    EXPECT_EQ(exec.StatementsCount(), 0u);
    EXPECT_EQ(exec.Line(), 0);
    EXPECT_FALSE(exec.IsUpdate());
    EXPECT_EQ(exec.ConnectionOptions().DatabaseName, "");
    EXPECT_EQ(exec.IBServerOptions().DBCharSet(), "");
}

TEST_F(Builder, StatementCaptions) {
    struct Case { TDbOperation op; TDbObject kind; const char* caption; };
    for (const Case& c : {Case{odbCreate, dboTable, "T: create"}, Case{odbAlter, dboTable, "T: alter"},
                          Case{odbDrop, dboView, "T: drop"}, Case{odbEmpty, dboProcedure, "T: empty body"},
                          Case{odbRestore, dboProcedure, "T: restore body"},
                          Case{odbEmptyCreate, dboProcedure, "T: create empty"},
                          Case{odbEmptyDrop, dboTrigger, "T: empty before drop"},
                          Case{odbDescription, dboTable, "T: description"},
                          Case{odbInsert, dboTable, "T: insert"}, Case{odbUpdate, dboTable, "T: update"},
                          Case{odbDelete, dboTable, "T: delete"}, Case{odbSet, dboUnknown, "T"},
                          Case{odbDrop, dboField, "OWNER (T): alter"}}) {
        TStatement st(&exec);
        st.ObjName = "T";
        st.OwnName = "OWNER";
        st.Operation = c.op;
        st.ObjType = c.kind;
        EXPECT_EQ(st.GetCaption(), c.caption);
    }
    TStatement anonymous(&exec);
    anonymous.Text = {"SET AUTODDL ON"};
    EXPECT_EQ(anonymous.GetCaption(), "SET AUTODDL ON");
}

// The worked example: a two-line table creation and one procedure, with COMMIT lines.
TEST_F(Builder, ScriptExample) {
    exec.IBServerOptions().IBCompareOptions.GenerateCOMMIT = true;
    exec.Add("CREATE TABLE CUSTOMER (\r\n  ID INTEGER NOT NULL)", stStatement, "CUSTOMER", dboTable, odbCreate);
    exec.Add("CREATE PROCEDURE P_NOP AS\r\nBEGIN\r\n  EXIT;\r\nEND", stProcedure, "P_NOP", dboProcedure, odbCreate);
    EXPECT_EQ(Script(), Golden("script_example.sql"));
}

TEST_F(Builder, ScriptTerminatorBlocks) {
    exec.AddComment("/* Procedures */");
    exec.Add("CREATE PROCEDURE P1 AS\r\nBEGIN EXIT; END", stProcedure, "P1", dboProcedure, odbCreate);
    exec.AddComment("/* between */");
    exec.Add("CREATE PROCEDURE P2 AS\r\nBEGIN EXIT; END", stProcedure, "P2", dboProcedure, odbCreate);
    exec.Add("CREATE TABLE T1 (ID INTEGER)", stStatement, "T1", dboTable, odbCreate);
    exec.Add("ALTER TRIGGER TR_OFF\r\nAS BEGIN END", stTrigger, "TR_OFF", dboTrigger, odbAlter)->Disabled = true;
    exec.Add("CREATE TABLE T2 (ID INTEGER)", stStatement, "T2", dboTable, odbCreate);
    exec.Add("ALTER TRIGGER TR1\r\nAS BEGIN END", stTrigger, "TR1", dboTrigger, odbAlter);
    EXPECT_EQ(Script(), Golden("script_term_blocks.sql"));
}

TEST_F(Builder, ScriptKindsWithCommits) {
    exec.IBServerOptions().IBCompareOptions.GenerateCOMMIT = true;
    exec.Add("SET NAMES UTF8", stSetNames, "UTF8");
    exec.Add("SET SQL DIALECT 3", stSqlDialect, "3");
    exec.Add("CONNECT 'db.fdb'", stConnect);
    exec.Add("SET AUTODDL ON", stSet);
    exec.AddComment("\r\n");
    exec.Add("  CREATE VIEW V1 AS SELECT 1 FROM RDB$DATABASE  ", stStatement, "V1", dboView, odbCreate);
    exec.Add("CREATE VIEW V2 AS\r\nSELECT 2 FROM RDB$DATABASE", stStatement, "V2", dboView, odbCreate);
    exec.Add("COMMENT ON TABLE T IS\r\n'x'", stDescription, "T", dboTable, odbDescription);
    exec.AddReConnect();
    exec.Add("INSERT INTO T VALUES (1)", stInsert, "T", dboTable, odbInsert);
    exec.Add("SELECT * FROM T", stSelect);
    exec.Add_Commit();
    exec.Add("GRANT SELECT ON T TO U", stStatement, "U", dboGrant, odbCreate, "", "!\r\n");
    exec.Add("CREATE PACKAGE PK AS\r\nBEGIN\r\nEND", stStatement, "PK", dboPackage, odbCreate);
    EXPECT_EQ(Script(), Golden("script_kinds.sql"));
}

TEST_F(Builder, NoCommitLinesWithoutGenerateCommit) {
    exec.Add("CREATE TABLE T (ID INTEGER)", stStatement);
    exec.Add("CREATE PROCEDURE P AS BEGIN END", stProcedure);
    EXPECT_EQ(Script(), "CREATE TABLE T (ID INTEGER);\r\n\r\nSET TERM ^ ;\r\n\r\n"
                        "CREATE PROCEDURE P AS BEGIN END\r\n^\r\n\r\nSET TERM ; ^\r\n");
}

TEST_F(Builder, GetScriptAppendsAndRenumbers) {
    exec.Add("CREATE TABLE T (ID INTEGER)", stStatement);
    exec.Add("CREATE PROCEDURE P AS BEGIN END", stProcedure)->Disabled = true;
    exec.Add("CREATE PROCEDURE Q AS BEGIN END", stProcedure);
    std::vector<std::string> lines(10, "-- kept");
    exec.GetScript(lines, true);
    EXPECT_EQ(lines[9], "-- kept");
    EXPECT_EQ(exec.Statements(0).Line, 10);
    EXPECT_EQ(exec.Statements(1).Line, 12); // disabled: numbered, not rendered
    EXPECT_EQ(exec.Statements(2).Line, 14); // after its SET TERM lines
    EXPECT_EQ(lines[14], "CREATE PROCEDURE Q AS BEGIN END");
    EXPECT_EQ(exec.Line(), static_cast<int>(lines.size()));
    exec.GetScript(lines, false);
    EXPECT_EQ(exec.Statements(0).Line, 10);
}

TEST_F(Builder, LoadFromFileReportsAMissingFile) {
    struct Recording : TSQLExec {
        std::vector<std::string> loaded;
        void LoadScript(const std::vector<std::string>& lines) override { loaded = lines; }
    } recording;
    std::vector<std::string> errors;
    recording.OnErrorMessage = [&](platform::Object&, const std::string& text) { errors.push_back(text); };
    recording.LoadFromFile("/nonexistent/dir/script.sql");
    EXPECT_EQ(errors, std::vector<std::string>{"File not found: /nonexistent/dir/script.sql"});
    EXPECT_EQ(recording.Errors, 1);
    EXPECT_EQ(recording.ScriptFileName, "");
    recording.LoadFromFile("/");
    EXPECT_EQ(errors.back(), "File not found: /"); // a folder is no script

    std::istringstream stream("\xEF\xBB\xBF" "CREATE TABLE A;\r\nSET TERM ^ ;\nEND\r");
    recording.LoadFromStream(&stream);
    EXPECT_EQ(recording.loaded, (std::vector<std::string>{"CREATE TABLE A;", "SET TERM ^ ;", "END"}));
    recording.OnLoadScript = [](platform::Object&, const std::string& name, std::vector<std::string>& script, bool&) {
        script = {"-- from " + name};
    };
    recording.LoadFromFile("virtual.sql");
    EXPECT_EQ(recording.loaded, std::vector<std::string>{"-- from virtual.sql"});
    EXPECT_EQ(recording.ScriptFileName, "virtual.sql");
}

TEST_F(Builder, ErrorsAndWarningsAreCountedAndFiled) {
    std::vector<std::string> errors, log;
    exec.OnErrorMessage = [&](platform::Object&, const std::string& text) { errors.push_back(text); };
    exec.OnLogNextLine = [&](platform::Object&, const std::string& text) { log.push_back(text); };
    exec.DoMsgErr("broken", nullptr);
    exec.DoMsgWrn("odd", nullptr);
    EXPECT_EQ(errors, std::vector<std::string>{"broken"});
    EXPECT_EQ(log, std::vector<std::string>{"Warning: odd"});
    EXPECT_EQ(exec.Errors, 1);
    EXPECT_EQ(exec.MsgManager().ErrCount(), 1);
    EXPECT_EQ(exec.MsgManager().WrnCount(), 1);
    EXPECT_TRUE(exec.ExecuteScript());
    EXPECT_EQ(exec.Errors, 0);
}
