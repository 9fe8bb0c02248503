// The update check end to end: a real FTP server on 127.0.0.1, real executables with version
// resources, real files; the check seen through the console view, the log and the state.

#include "app/ConsoleView.h"
#include "app/uAtualizadorAutomatico.h"
#include "platform/Network.h"
#include "UpdaterTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace app {
namespace {

using apptest::globMatch;
using apptest::logTexts;
using apptest::SampleSite;
using Lines = std::vector<std::string>;

const std::string kNotes = "Versão 1.0.0.10\r\n"
                           "- Emissão de nota fiscal mais rápida\r\n"
                           "- Correção no cálculo do ICMS\r\n";
const std::string kNotesWindows1252 = "Vers\xE3o 1.0.0.10\r\n"
                                      "- Emiss\xE3o de nota fiscal mais r\xE1pida\r\n"
                                      "- Corre\xE7\xE3o no c\xE1lculo do ICMS\r\n";
const std::string kNotesShown = "Histórico de versões\n"
                                "\n"
                                "Versão 1.0.0.10\n"
                                "- Emissão de nota fiscal mais rápida\n"
                                "- Correção no cálculo do ICMS\n";
const std::string kUpToDate = "O sistema já está atualizado com a versão mais recente.\n";
const std::string kCaptionStart = "Verificar se há atualizações";
const std::string kCaptionConnect = "Localizando servidor...";
const std::string kCaptionVersions = "Verificando versão disponível...";

// What every check that got online logs first.
const Lines kOpening = {"", "Início da atualização", "Configuração lida", "Conexão verificada"};
const Lines kThroughVersions = {"Servidor WEB Localizado", "Versão local verificada",
                                "Arquivos baixados"};

Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// One check with its own form and console view over a sample site.
struct CheckRun {
    std::ostringstream out;
    std::istringstream in;
    ConsoleView view{out, in, false};
    TfrmAtualizadorAutomatico form;

    explicit CheckRun(const SampleSite& site,
                      std::function<bool()> connected = platform::isNetworkConnected)
        : form(view, UpdaterSettings{site.configFile().string(), "", {}, std::move(connected)}) {}
};

class CheckTestBase : public testing::Test {
protected:
    void SetUp() override {
        if (!platform::isNetworkConnected())
            GTEST_SKIP() << "this machine has no network interface up, so every check stops "
                            "offline before reaching the FTP server";
    }
    SampleSite site;
};

void expectLog(const SampleSite& site, const Lines& expected) {
    const Lines actual = logTexts(site.log());
    ASSERT_EQ(actual.size(), expected.size()) << testing::PrintToString(actual);
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(globMatch(expected[i], actual[i]))
            << "line " << i << ": '" << actual[i] << "' is not '" << expected[i] << "'";
}

struct CheckCase {
    const char* name;
    std::function<void(const SampleSite&)> arrange;
    CheckOutcome outcome;
    std::string out; // "*" stands for a failure text of the FTP client
    Lines log;       // after kOpening
    Page page;
    std::string caption;
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class CheckTest : public CheckTestBase, public testing::WithParamInterface<CheckCase> {};

TEST_P(CheckTest, EndsAsExpected) {
    const CheckCase& c = GetParam();
    c.arrange(site);
    CheckRun run(site);

    EXPECT_EQ(run.form.btnBuscaAtualizacaoClick(), c.outcome);
    EXPECT_TRUE(globMatch(c.out, run.out.str())) << run.out.str();
    expectLog(site, kOpening + c.log);
    EXPECT_EQ(run.view.page(), c.page);
    EXPECT_EQ(run.view.text(Text::CheckButton), c.caption);
}

void publishUpdate(const SampleSite& site, const std::string& notes = kNotes) {
    site.publishVersions("1.0.0.10", "1.0.0.12", "A");
    site.publish("novidades.txt", notes);
}

const std::string kCurrentAndNew = "ATUAL: Servidor 1.0.0.12 - Cliente 1.0.0.9\n"
                                   "NOVA:  Servidor 1.0.0.12 - Cliente 1.0.0.10\n";
const Lines kUpdateDueLog = kThroughVersions + Lines{"Versões comparadas", "Novidades baixadas"};

INSTANTIATE_TEST_SUITE_P(
    Outcomes, CheckTest,
    testing::Values(
        CheckCase{"update_due", [](const SampleSite& s) { publishUpdate(s); },
                  CheckOutcome::UpdateDue, kCurrentAndNew + kNotesShown, kUpdateDueLog, Page::Notes,
                  kCaptionVersions},
        // 1.0.0.12 reads 10012 and 1.0.1.0 reads 1010: the numbers are concatenated.
        CheckCase{
            "up_to_date", [](const SampleSite& s) { s.publishVersions("1.0.0.9", "1.0.1.0"); },
            CheckOutcome::UpToDate, kUpToDate,
            kThroughVersions + Lines{"Sisitema já está atualizado"}, Page::Check, kCaptionStart},
        CheckCase{"client_only_update_due",
                  [](const SampleSite& s) {
                      s.writeConfig("APENAS_CLIENTE=S\r\n");
                      s.publishVersions("1.0.0.10", "0");
                      s.publish("novidades.txt", kNotes);
                  },
                  CheckOutcome::UpdateDue, "ATUAL: 1.0.0.9\nNOVA: 1.0.0.10\n" + kNotesShown,
                  kUpdateDueLog, Page::Notes, kCaptionVersions},
        // The server's version is never read in this mode, so it cannot ask for an update.
        CheckCase{"client_only_ignores_the_server",
                  [](const SampleSite& s) {
                      s.writeConfig("APENAS_CLIENTE=S\r\n");
                      s.publishVersions("1.0.0.9", "9.9.9.9");
                  },
                  CheckOutcome::UpToDate, kUpToDate,
                  kThroughVersions + Lines{"Sisitema já está atualizado"}, Page::Check,
                  kCaptionStart},
        CheckCase{
            "installed_client_missing",
            [](const SampleSite& s) {
                std::filesystem::remove(s.installDir() / "cliente.exe");
                s.publishVersions("1.0.0.9", "1.0.0.12");
                s.publish("novidades.txt", kNotes);
            },
            CheckOutcome::UpdateDue,
            "ATUAL: Servidor 1.0.0.12 - Cliente \nNOVA:  Servidor 1.0.0.12 - Cliente 1.0.0.9\n" +
                kNotesShown,
            kUpdateDueLog, Page::Notes, kCaptionVersions},
        // Both published versions then read "0".
        CheckCase{"versions_file_missing",
                  [](const SampleSite& s) { s.publish("novidades.txt", kNotes); },
                  CheckOutcome::UpToDate, "Erro ao baixar arquivos\n" + kUpToDate,
                  Lines{"Servidor WEB Localizado", "Versão local verificada", "ERRO: *",
                        "Sisitema já está atualizado"},
                  Page::Check, kCaptionStart},
        CheckCase{"published_version_too_big",
                  [](const SampleSite& s) { s.publishVersions("9.9.9.9999999", "1.0.0.12"); },
                  CheckOutcome::Failed, "'9999999999' is not a valid integer value\n",
                  kThroughVersions, Page::Check, kCaptionVersions},
        CheckCase{"published_version_with_letter",
                  [](const SampleSite& s) { s.publishVersions("1.0.0.10", "1.0.0.1b"); },
                  CheckOutcome::Failed, "'1001b' is not a valid integer value\n", kThroughVersions,
                  Page::Check, kCaptionVersions},
        CheckCase{"server_down",
                  [](const SampleSite& s) { s.writeConfig("", testsupport::freeLoopbackPort()); },
                  CheckOutcome::Failed, "Erro ao acessar o servidor de atualização: *\n",
                  Lines{"ERRO: *"}, Page::Check, kCaptionConnect},
        // 530: the FTP server's answer to a rejected login.
        CheckCase{"wrong_password", [](const SampleSite& s) { s.writeConfig("", 0, "errada"); },
                  CheckOutcome::Failed, "Erro ao acessar o servidor de atualização: *530*\n",
                  Lines{"ERRO: *530*"}, Page::Check, kCaptionConnect},
        CheckCase{"release_notes_missing",
                  [](const SampleSite& s) { s.publishVersions("1.0.0.10", "1.0.0.12"); },
                  CheckOutcome::Failed, "Erro ao baixar arquivo de novidades.\n",
                  kThroughVersions + Lines{"Versões comparadas", "ERRO: *"}, Page::Check,
                  kCaptionVersions},
        CheckCase{"release_notes_with_byte_order_mark",
                  [](const SampleSite& s) { publishUpdate(s, "\xEF\xBB\xBF" + kNotes); },
                  CheckOutcome::UpdateDue, kCurrentAndNew + kNotesShown, kUpdateDueLog, Page::Notes,
                  kCaptionVersions},
        CheckCase{"release_notes_in_windows_1252",
                  [](const SampleSite& s) { publishUpdate(s, kNotesWindows1252); },
                  CheckOutcome::UpdateDue, kCurrentAndNew + kNotesShown, kUpdateDueLog, Page::Notes,
                  kCaptionVersions}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CheckOfflineTest, OfflineMachineEndsTheCheckSilently) {
    SampleSite site;
    publishUpdate(site);
    CheckRun run(site, [] { return false; }); // no real way to take this machine offline
    EXPECT_EQ(run.form.btnBuscaAtualizacaoClick(), CheckOutcome::Failed);
    EXPECT_EQ(run.out.str(), "");
    expectLog(site, {"", "Início da atualização", "Configuração lida", "ERRO: Sem conexão"});
    EXPECT_EQ(run.view.text(Text::CheckButton), kCaptionStart);
}

using CheckStateTest = CheckTestBase;

TEST_F(CheckStateTest, UpdateDueLeavesWhatTheInstallationNeeds) {
    publishUpdate(site);
    CheckRun run(site);
    ASSERT_EQ(run.form.btnBuscaAtualizacaoClick(), CheckOutcome::UpdateDue);
    const UpdaterState& s = run.form.state();
    EXPECT_EQ(s.strVersaoLocalCliente, "1009");
    EXPECT_EQ(s.strVersaoLocalServidor, "10012");
    EXPECT_EQ(s.strVersaoFTPCliente, "10010");
    EXPECT_EQ(s.strVersaoFTPServidor, "10012");
    EXPECT_EQ(s.strScriptOrdem, "A");
    EXPECT_EQ(testsupport::readFile(site.updateDir() / "novidades.txt"), kNotes);
    EXPECT_TRUE(std::filesystem::exists(site.updateDir() / "versaoFTP.ini"));
    EXPECT_EQ(run.view.releaseNotes(),
              (Lines{"Histórico de versões", "", "Versão 1.0.0.10",
                     "- Emissão de nota fiscal mais rápida", "- Correção no cálculo do ICMS"}));
    EXPECT_EQ(run.view.text(Text::Progress), "");
}

TEST_F(CheckStateTest, ClientOnlyDoesNotReadTheScriptOrder) {
    site.writeConfig("APENAS_CLIENTE=S\r\n");
    publishUpdate(site);
    CheckRun run(site);
    ASSERT_EQ(run.form.btnBuscaAtualizacaoClick(), CheckOutcome::UpdateDue);
    EXPECT_EQ(run.form.state().strScriptOrdem, "");
    EXPECT_EQ(run.form.state().strVersaoLocalServidor, "0");
}

// A second check re-reads the configuration, reconnects and replaces what it reads again.
TEST_F(CheckStateTest, RepeatedCheckStartsAfresh) {
    site.publishVersions("1.0.0.9", "1.0.0.12");
    CheckRun run(site);
    EXPECT_EQ(run.form.btnBuscaAtualizacaoClick(), CheckOutcome::UpToDate);

    publishUpdate(site);
    EXPECT_EQ(run.form.btnBuscaAtualizacaoClick(), CheckOutcome::UpdateDue);
    const Lines upToDate = kOpening + kThroughVersions + Lines{"Sisitema já está atualizado"};
    expectLog(site, upToDate + kOpening + kUpdateDueLog);
    EXPECT_EQ(run.view.page(), Page::Notes);
    EXPECT_EQ(run.out.str(), kUpToDate + kCurrentAndNew + kNotesShown);
}

// The transfers of the check drive the progress label and bar too.
TEST_F(CheckStateTest, DownloadsReportTheirProgress) {
    const std::string notes = kNotes + std::string(20 * 1024, '-') + "\r\n";
    publishUpdate(site, notes);
    CheckRun run(site);
    run.form.state().FnTamanhoTotal = static_cast<std::int32_t>(notes.size());
    ASSERT_EQ(run.form.btnBuscaAtualizacaoClick(), CheckOutcome::UpdateDue);
    EXPECT_EQ(run.view.text(Text::Progress), "Baixando arquivos 100%");
    EXPECT_EQ(run.view.progressMax(), 20);
    EXPECT_EQ(run.view.progressPosition(), 20);
}

struct ProgressCase {
    std::int32_t size;
    std::int64_t bytes;
    std::string label; // empty: the label keeps its text
    int max;
    int position;
};

class ProgressTest : public testing::TestWithParam<ProgressCase> {};

TEST_P(ProgressTest, LabelAndBarFollowTheBytes) {
    const ProgressCase& c = GetParam();
    std::ostringstream out;
    std::istringstream in;
    ConsoleView view(out, in, false);
    TfrmAtualizadorAutomatico form(view, UpdaterSettings{});
    form.state().FnTamanhoTotal = c.size;
    form.IdFTPWorkBegin();
    form.IdFTPWork(c.bytes);
    form.IdFTPWorkEnd();
    EXPECT_EQ(view.text(Text::Progress), c.label.empty() ? "Progresso.." : c.label);
    EXPECT_EQ(view.progressMax(), c.max);
    EXPECT_EQ(view.progressPosition(), c.position);
    EXPECT_EQ(out.str(), c.label.empty() ? "" : c.label + "\n"); // without a window, the label
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ProgressTest,
    testing::Values(
        ProgressCase{100 * 1024, 45 * 1024, "Baixando arquivos 45%", 100, 45},
        ProgressCase{3 * 1024, 2 * 1024, "Baixando arquivos 67%", 3, 2}, // 66.7 rounds up
        ProgressCase{200 * 1024, 1023, "Baixando arquivos 0%", 200, 0},
        ProgressCase{800, 400, "Baixando arquivos 50%", 0, 0}, // under 1 KiB: counted in bytes
        ProgressCase{0, 5000, "", 0, 0},                       // size unknown: nothing shown
        ProgressCase{-5, 5000, "", 0, 0}));                    // size past 2 GiB: nothing shown

} // namespace
} // namespace app
