// The manual script: how SCRIPT.txt falls into statements, and the runner on a real database
// opened by the embedded engine, all in one transaction.

#include "app/ConsoleView.h"
#include "app/ManualScript.h"
#include "app/uAtualizadorAutomatico.h"
#include "FbTestDatabase.h"
#include "UpdaterTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace app {

void PrintTo(const ScriptBlock& block, std::ostream* os) {
    *os << "{" << block.firstLine << ", " << testing::PrintToString(block.text) << "}";
}

bool operator==(const ScriptBlock& a, const ScriptBlock& b) {
    return a.firstLine == b.firstLine && a.text == b.text;
}

namespace {

using Blocks = std::vector<ScriptBlock>;

struct SplitCase {
    const char* name;
    std::string file;
    Blocks blocks;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class SplitTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, BlocksAreRunsOfNonBlankLines) {
    EXPECT_EQ(splitScriptBlocks(GetParam().file), GetParam().blocks);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SplitTest,
    testing::Values(
        SplitCase{"empty", "", {}},
        SplitCase{"blank_lines_only", "\r\n  \r\n\t\r\n\r\n", {}},
        SplitCase{"one_statement_per_block",
                  "CREATE TABLE A (ID INTEGER)\r\n\r\nCREATE TABLE B (ID INTEGER)\r\n",
                  {{1, "CREATE TABLE A (ID INTEGER)\r\n"}, {3, "CREATE TABLE B (ID INTEGER)\r\n"}}},
        SplitCase{"last_block_without_blank_line_or_break", "SELECT 1\r\n\r\nSELECT 2",
                  {{1, "SELECT 1\r\n"}, {3, "SELECT 2\r\n"}}},
        // Nothing splits a block but a blank line: consecutive statements go as one text.
        SplitCase{"consecutive_lines_are_one_block", "INSERT A\r\nINSERT B\r\n",
                  {{1, "INSERT A\r\nINSERT B\r\n"}}},
        SplitCase{"blank_and_tab_lines_separate", "A\r\n \t \r\n\t\r\nB\r\n",
                  {{1, "A\r\n"}, {4, "B\r\n"}}},
        SplitCase{"control_characters_are_blank", "A\r\n\x1A\r\nB\r\n",
                  {{1, "A\r\n"}, {3, "B\r\n"}}},
        SplitCase{"no_break_space_is_not_blank", "A\r\n\xC2\xA0\r\nB\r\n",
                  {{1, "A\r\n\xC2\xA0\r\nB\r\n"}}},
        SplitCase{"leading_and_trailing_spaces_are_kept", "  SELECT 1  \r\n\t  FROM X \t\r\n",
                  {{1, "  SELECT 1  \r\n\t  FROM X \t\r\n"}}},
        SplitCase{"no_terminator_is_removed", "SET TERM ^ ;\r\nSELECT 1;\r\n",
                  {{1, "SET TERM ^ ;\r\nSELECT 1;\r\n"}}},
        SplitCase{"byte_order_mark_at_the_start_is_dropped", "\xEF\xBB\xBFSELECT 1\r\n",
                  {{1, "SELECT 1\r\n"}}},
        SplitCase{"byte_order_mark_later_stays", "SELECT 1\r\n\xEF\xBB\xBFX\r\n",
                  {{1, "SELECT 1\r\n\xEF\xBB\xBFX\r\n"}}},
        SplitCase{"lf_line_ends", "A\nB\n\nC\n", {{1, "A\r\nB\r\n"}, {4, "C\r\n"}}},
        SplitCase{"cr_line_ends", "A\rB\r\rC\r", {{1, "A\r\nB\r\n"}, {4, "C\r\n"}}},
        SplitCase{"mixed_line_ends", "A\r\nB\n\rC\r\n\nD",
                  {{1, "A\r\nB\r\n"}, {4, "C\r\n"}, {6, "D\r\n"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The runner on its own, with the state an installation would have given it: an install
// folder without a client library of its own (the system's is taken), SCRIPT.txt in the update
// folder and the live database, table T (N, S) empty.
class ManualRunnerTest : public testing::Test {
protected:
    ManualRunnerTest() {
        std::filesystem::create_directories(dir / "app" / "atualizacao");
        database.execute({"CREATE TABLE T (N INTEGER, S VARCHAR(200))"});
        auto& s = form.state();
        s.strDiretorioEXE = dir.dir() + "app/";
        s.strDiretorioAtualizacao = s.strDiretorioEXE + "atualizacao/";
        const std::filesystem::path db = database.path();
        s.strDiretorioBD = db.parent_path().string() + "/";
        s.strNomeBD = db.filename().string();
        s.boolTemScriptManual = true;
        view.showProgressControls(true);
    }

    // Runs SCRIPT.txt with these bytes; false when the runner ended the installation.
    bool run(const std::string& script) {
        testsupport::writeFile(dir / "app" / "atualizacao" / "SCRIPT.txt", script);
        try {
            form.prcExecutarScritpManual("SCRIPT.txt");
            return true;
        } catch (const ESilentCancel&) {
            return false;
        }
    }

    // Whether the operator was told that the script failed, with part in the reason.
    testing::AssertionResult toldFailure(std::string_view part) const {
        const std::string told = out.str();
        if (told.starts_with("Atualizando banco de dados (SCRIPT manual)...\n"
                             "Erro ao executar script manual\n\n") &&
            told.find(part) != std::string::npos)
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "told: " << told;
    }

    std::string rows() {
        return database.scalar("SELECT COALESCE(LIST(S, '|'), '<none>') FROM "
                               "(SELECT S FROM T ORDER BY N)");
    }

    testsupport::TempDir dir{"kv-script"};
    fbtest::ScratchDatabase database;
    std::ostringstream out;
    std::istringstream in;
    ConsoleView view{out, in, true};
    TfrmAtualizadorAutomatico form{view, UpdaterSettings{}};
};

struct RunnerCase {
    const char* name;
    std::string script;
    std::string failure; // a part of what the operator is told after the fixed first line;
                         // "": success
    std::string rows;    // the texts in T afterwards, in order, joined with "|"
};

void PrintTo(const RunnerCase& c, std::ostream* os) { *os << c.name; }

class ManualRunnerCaseTest : public ManualRunnerTest,
                             public testing::WithParamInterface<RunnerCase> {};

TEST_P(ManualRunnerCaseTest, RunsEveryBlockOrNone) {
    const RunnerCase& c = GetParam();
    const bool succeeded = run(c.script);
    EXPECT_EQ(succeeded, c.failure.empty());
    EXPECT_EQ(rows(), c.rows);
    if (succeeded) {
        EXPECT_EQ(out.str(), "Atualizando banco de dados (SCRIPT manual)...\n");
        EXPECT_TRUE(view.progressControlsVisible());
    } else {
        EXPECT_TRUE(toldFailure(c.failure));
        EXPECT_FALSE(view.progressControlsVisible()) << "page 1 is put back";
    }
    EXPECT_FALSE(form.dataModule().FDConexao.Connected()) << "the database is left free";
}

const std::string kFirst = "INSERT INTO T VALUES (1, 'um')\r\n";
const std::string kSecond = "INSERT INTO T VALUES (2, 'dois')\r\n";

INSTANTIATE_TEST_SUITE_P(
    Scripts, ManualRunnerCaseTest,
    testing::Values(
        RunnerCase{"blank_lines_only", "\r\n \r\n\t\r\n", "", "<none>"},
        RunnerCase{"last_block_without_blank_line",
                   kFirst + "\r\n" + "INSERT INTO T VALUES (2, 'dois')", "", "um|dois"},
        RunnerCase{"tab_only_separator_line", kFirst + "\t\t\r\n" + kSecond, "", "um|dois"},
        // The literal spans two lines: the trailing blanks of the first, its CR LF and the
        // leading blanks of the second reach the server as written.
        RunnerCase{"blanks_and_line_ends_reach_the_server",
                   "INSERT INTO T VALUES (1, 'a   \r\n   b')\r\n", "", "a   \r\n   b"},
        RunnerCase{"byte_order_mark_and_utf8", "\xEF\xBB\xBFINSERT INTO T VALUES (1, 'Ação')\r\n",
                   "", "Ação"},
        RunnerCase{"lf_line_ends",
                   "INSERT INTO T\nVALUES (1, 'um')\n\nINSERT INTO T VALUES (2, 'dois')\n", "",
                   "um|dois"},
        RunnerCase{"cr_line_ends",
                   "INSERT INTO T\rVALUES (1, 'um')\r\rINSERT INTO T VALUES (2, 'dois')\r", "",
                   "um|dois"},
        // The server rejects the two statements sent as one text, and the block before them
        // goes with them.
        RunnerCase{"two_statements_in_one_block_roll_everything_back",
                   kFirst + "\r\n" + kSecond + "INSERT INTO T VALUES (3, 'tres')\r\n",
                   "Token unknown", "<none>"},
        RunnerCase{"failing_last_block_rolls_everything_back",
                   kFirst + "\r\n" + kSecond + "\r\nINSERT INTO NADA VALUES (3)\r\n",
                   "Table unknown\n-NADA", "<none>"},
        // A COMMIT would make the blocks before it stay whatever happens after it.
        RunnerCase{"commit_is_refused", kFirst + "\r\nCOMMIT\r\n\r\n" + kSecond,
                   "O bloco da linha 3 encerra ou inicia uma transação (COMMIT, ROLLBACK ou "
                   "SET TRANSACTION). O script manual é executado em uma única transação e não "
                   "pode controlá-la.",
                   "<none>"},
        RunnerCase{"rollback_is_refused", kFirst + "\r\n  rollback work\r\n",
                   "O bloco da linha 3 encerra", "<none>"},
        RunnerCase{"set_transaction_is_refused", "SET TRANSACTION READ COMMITTED\r\n\r\n" + kFirst,
                   "O bloco da linha 1 encerra", "<none>"},
        RunnerCase{"savepoints_stay_inside_the_transaction",
                   kFirst + "\r\nSAVEPOINT S1\r\n\r\n" + kSecond +
                       "\r\nROLLBACK TO SAVEPOINT S1\r\n",
                   "", "um"},
        RunnerCase{"parameter_markers_are_refused", kFirst + "\r\nINSERT INTO T VALUES (2, ?)\r\n",
                   "O bloco da linha 3 tem marcadores de parâmetro (?), que o script manual não "
                   "preenche.",
                   "<none>"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ManualRunnerTest, SchemaChangesCommitTogetherOrNotAtAll) {
    const std::string table = "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'NOVA'";
    const std::string column = "SELECT COUNT(*) FROM RDB$RELATION_FIELDS "
                               "WHERE RDB$RELATION_NAME = 'T' AND RDB$FIELD_NAME = 'X'";
    const std::string ddl = "CREATE TABLE NOVA (\r\n  ID INTEGER NOT NULL\r\n)\r\n\r\n"
                            "ALTER TABLE T ADD X INTEGER\r\n";
    EXPECT_FALSE(run(ddl + "\r\nCREATE TABLE ERRADA (\r\n"));
    EXPECT_EQ(database.scalar(table), "0");
    EXPECT_EQ(database.scalar(column), "0");

    EXPECT_TRUE(run(ddl));
    EXPECT_EQ(database.scalar(table), "1");
    EXPECT_EQ(database.scalar(column), "1");
}

TEST_F(ManualRunnerTest, NothingHappensWithoutTheScript) {
    form.state().boolTemScriptManual = false;
    EXPECT_TRUE(run(kFirst));
    EXPECT_EQ(rows(), "<none>");
    EXPECT_EQ(out.str(), "");
}

TEST_F(ManualRunnerTest, MissingFileEndsTheInstallation) {
    EXPECT_FALSE([&] {
        try {
            form.prcExecutarScritpManual("OUTRO.txt");
            return true;
        } catch (const ESilentCancel&) {
            return false;
        }
    }());
    EXPECT_TRUE(toldFailure("Cannot open file \"" + dir.dir() + "app/atualizacao/OUTRO.txt\""));
}

// The install folder's own client library comes first; one that does not load is not
// replaced by the system's.
TEST_F(ManualRunnerTest, UnloadableClientLibraryOfTheInstallation) {
    testsupport::writeFile(dir / "app" / "DLL" / "libfbclient.so", "not a library");
    EXPECT_FALSE(run(kFirst));
    EXPECT_TRUE(toldFailure("\n\nlibfbclient.so não encontrada no diretório " + dir.dir() +
                            "app//DLL\n"));
    EXPECT_EQ(rows(), "<none>");
}

TEST_F(ManualRunnerTest, UnknownDatabaseEndsTheInstallationWithTheServersMessage) {
    form.state().strNomeBD = "NADA.FDB";
    EXPECT_FALSE(run(kFirst));
    EXPECT_TRUE(toldFailure("NADA.FDB"));
}

} // namespace
} // namespace app
