// The installation end to end: a real FTP server on 127.0.0.1 publishing a real
// atualizacao.zip, an install folder whose client and server run as real processes, and the
// live database opened by the embedded engine; seen through the console view, the files, the
// database and the log.

#include "app/ConsoleView.h"
#include "app/TextUtil.h"
#include "app/uAtualizadorAutomatico.h"
#include "platform/FileVersion.h"
#include "platform/FtpClient.h"
#include "platform/Processes.h"
#include "UpdaterTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <sstream>

namespace app {
namespace {

namespace fs = std::filesystem;
using apptest::ChildProcess;
using apptest::globMatch;
using apptest::InstallSite;
using apptest::logTexts;
using testsupport::readFile;
using Lines = std::vector<std::string>;

const std::string kScript = "CREATE TABLE PRODUTOS (\r\n"
                            "  ID INTEGER NOT NULL PRIMARY KEY,\r\n"
                            "  DESCRICAO VARCHAR(80)\r\n"
                            ")\r\n"
                            "\r\n"
                            "ALTER TABLE CLIENTES ADD EMAIL VARCHAR(120)\r\n"
                            "\r\n"
                            "UPDATE CLIENTES SET NOME = 'Ana Souza' WHERE ID = 1\r\n";
const std::string kConfirmation = "Confirmação: Antes de iniciar o processo de atualização o "
                                  "sistema será fechado automaticamente.\n\nDeseja continuar?\n"
                                  "[s/n] s\n";

std::string today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[8];
    std::strftime(text, sizeof text, "%d%m", &local);
    return text;
}

std::string backupOf(const std::string& name) { return "BKP_" + today() + "_" + name; }

std::string tableCount(const std::string& table) {
    return "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = '" + table + "'";
}

bool isExecutable(const fs::path& file) {
    return (fs::status(file).permissions() & fs::perms::owner_exec) != fs::perms::none;
}

// A form and its console view over a site, the way the unattended mode drives them.
struct InstallRun {
    explicit InstallRun(const apptest::SampleSite& site, bool answerYes = true,
                        const std::string& input = "")
        : in(input), view(out, in, answerYes), form(view, settingsFor(site)) {}

    static UpdaterSettings settingsFor(const apptest::SampleSite& site) {
        return {site.configFile().string(), "", {}, [] { return true; }, 10};
    }

    // The check, then "Instalar nova versão".
    bool install() {
        EXPECT_EQ(form.btnBuscaAtualizacaoClick(), CheckOutcome::UpdateDue) << out.str();
        return form.btnAtualizacaoClick();
    }
    // What was shown after the check's release notes.
    std::string installOutput() const {
        const std::string all = out.str();
        const auto start = all.find("Confirmação: ");
        return start == std::string::npos ? all : all.substr(start);
    }

    std::ostringstream out;
    std::istringstream in;
    ConsoleView view;
    TfrmAtualizadorAutomatico form;
};

class InstallTest : public testing::Test {
protected:
    fs::path update(const std::string& name) const { return site.updateDir() / name; }
    void expectPageOneBack(const InstallRun& run) const {
        EXPECT_EQ(run.view.page(), Page::Notes);
        EXPECT_FALSE(run.view.progressControlsVisible()) << "the install button is back";
    }
    void expectOldExecutables() const {
        EXPECT_EQ(readFile(site.installed(site.clientName())),
                  readFile(apptest::sampleClient("1.0.0.9")));
        EXPECT_EQ(readFile(site.installed(site.serverName())),
                  readFile(apptest::sampleServer("1.0.0.12")));
    }

    InstallSite site;
};

TEST_F(InstallTest, FullInstallation) {
    site.publishArchive({{"SCRIPT.txt", kScript}});
    const std::string databaseBefore = readFile(site.database());
    ChildProcess client(site.installed(site.clientName()));
    ChildProcess server(site.installed(site.serverName()));
    InstallRun run(site);

    ASSERT_TRUE(run.install()) << run.out.str();

    // The running system was asked to end, and did.
    EXPECT_EQ(client.waitForExit(), 0);
    EXPECT_EQ(server.waitForExit(), 0);
    // Downloaded, backed up, unpacked and installed.
    EXPECT_EQ(readFile(update("atualizacao.zip")),
              readFile(site.publishedDir() / "atualizacao.zip"));
    EXPECT_EQ(readFile(update(backupOf(site.clientName()))),
              readFile(apptest::sampleClient("1.0.0.9")));
    EXPECT_EQ(readFile(update(backupOf(site.serverName()))),
              readFile(apptest::sampleServer("1.0.0.12")));
    EXPECT_EQ(readFile(update(backupOf("DADOS.FDB"))), databaseBefore);
    for (const auto& [name, version] :
         {std::pair{site.clientName(), "1.0.0.10"}, std::pair{site.serverName(), "1.0.0.13"}}) {
        EXPECT_TRUE(isExecutable(site.installed(name))) << name;
        EXPECT_EQ(platform::readFileVersion(site.installed(name).string()), version) << name;
    }
    EXPECT_EQ(readFile(site.installed(site.clientName())), InstallSite::newClient());
    // The manual script's changes.
    EXPECT_EQ(site.query(tableCount("PRODUTOS")), "1");
    EXPECT_EQ(site.query("SELECT NOME || ' ' || COALESCE(EMAIL, '-') FROM CLIENTES"),
              "Ana Souza -");
    // The success page, and what the operator read on the way.
    EXPECT_EQ(run.view.page(), Page::Success);
    EXPECT_EQ(run.view.text(Text::Progress), "Atualização concluida!");
    EXPECT_EQ(run.view.progressMax(), 100);
    EXPECT_EQ(run.view.progressPosition(), 100);
    const std::string shown = run.installOutput();
    EXPECT_TRUE(shown.starts_with(kConfirmation + "Baixando arquivos ")) << shown;
    EXPECT_TRUE(shown.ends_with("Baixando arquivos 100%\n"
                                "Descompactando arquivos...\n"
                                "Atualizando banco de dados (SCRIPT manual)...\n"
                                "Atualização concluida!\n"
                                "Atualização realizada com sucesso!\n"))
        << shown;
    const Lines lines = splitLines(shown);
    EXPECT_EQ(std::adjacent_find(lines.begin(), lines.end()), lines.end())
        << "a progress text is shown once while it stays: " << shown;
    const Lines log = logTexts(site.log());
    EXPECT_EQ(Lines(log.end() - 3, log.end()),
              (Lines{"Backup " + site.clientName() + " realizado",
                     "Backup " + site.serverName() + " realizado", "Backup DADOS.FDB realizado."}));
}

TEST_F(InstallTest, AnsweringNoChangesNothing) {
    site.publishArchive({{"SCRIPT.txt", kScript}});
    ChildProcess client(site.installed(site.clientName()));
    InstallRun run(site, /*answerYes=*/false, "n\n");
    EXPECT_FALSE(run.install());
    EXPECT_EQ(client.waitForExit(std::chrono::milliseconds(0)), std::nullopt) << "still running";
    EXPECT_FALSE(fs::exists(update("atualizacao.zip")));
    EXPECT_EQ(site.query(tableCount("PRODUTOS")), "0");
    EXPECT_EQ(run.view.page(), Page::Notes);
    EXPECT_FALSE(run.view.progressControlsVisible());
}

TEST_F(InstallTest, FailingScriptLeavesDatabaseAndExecutablesAsTheyWere) {
    site.publishArchive({{"SCRIPT.txt", kScript + "\r\nALTER TABLE NADA ADD X INTEGER\r\n"}});
    InstallRun run(site);
    EXPECT_FALSE(run.install());

    EXPECT_TRUE(run.installOutput().find("Atualizando banco de dados (SCRIPT manual)...\n"
                                         "Erro ao executar script manual\n\n") != std::string::npos)
        << run.out.str();
    EXPECT_EQ(site.query(tableCount("PRODUTOS")), "0");
    EXPECT_EQ(site.query("SELECT NOME FROM CLIENTES"), "Ana");
    expectOldExecutables();
    EXPECT_TRUE(fs::exists(update(backupOf(site.clientName()))));
    expectPageOneBack(run);

    // Page 1 is as it was, so the operator can try again once the update is mended.
    site.publishArchive({{"SCRIPT.txt", kScript}});
    EXPECT_TRUE(run.form.btnAtualizacaoClick()) << run.out.str();
    EXPECT_EQ(site.query(tableCount("PRODUTOS")), "1");
}

struct ArchiveCase {
    const char* name;
    std::function<void(const InstallSite&)> publish;
    std::string reason; // a part of libzip's or the unpacker's reason
};

void PrintTo(const ArchiveCase& c, std::ostream* os) { *os << c.name; }

class RefusedArchiveTest : public InstallTest, public testing::WithParamInterface<ArchiveCase> {};

TEST_P(RefusedArchiveTest, NothingIsWrittenAndPageOneIsBack) {
    GetParam().publish(site);
    InstallRun run(site);
    EXPECT_FALSE(run.install());

    const std::string shown = run.installOutput();
    EXPECT_TRUE(shown.find("Descompactando arquivos...\nErro descompactar arquivos.\n\n") !=
                std::string::npos)
        << shown;
    EXPECT_NE(shown.find(GetParam().reason), std::string::npos) << shown;
    EXPECT_FALSE(fs::exists(site.installDir() / "fora.txt"));
    EXPECT_FALSE(fs::exists(update(site.clientName())));
    EXPECT_FALSE(fs::exists(update("SCRIPT.txt")));
    EXPECT_EQ(site.query(tableCount("PRODUTOS")), "0");
    expectOldExecutables();
    expectPageOneBack(run);
}

// A good archive with the bytes of its first entry's data damaged.
void publishDamaged(const InstallSite& site) {
    site.publishArchive();
    const fs::path zip = site.publishedDir() / "atualizacao.zip";
    std::string bytes = readFile(zip);
    const std::size_t data = 30 + site.clientName().size(); // after the first local header
    for (std::size_t i = data + 16; i < data + 48; ++i)
        bytes[i] = static_cast<char>(~bytes[i]);
    testsupport::writeFile(zip, bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Archives, RefusedArchiveTest,
    testing::Values(ArchiveCase{"climbing_out",
                                [](const InstallSite& s) {
                                    s.publishArchive({{"../fora.txt", "x"}});
                                },
                                "unsafe entry name in archive: '../fora.txt'"},
                    ArchiveCase{"climbing_out_with_backslashes",
                                [](const InstallSite& s) {
                                    s.publishArchive({{"..\\fora.txt", "x"}});
                                },
                                "unsafe entry name"},
                    ArchiveCase{
                        "absolute_name",
                        [](const InstallSite& s) {
                            s.publishArchive({{(s.installDir() / "fora.txt").string(), "x"}});
                        },
                        "unsafe entry name"},
                    ArchiveCase{"damaged_data", publishDamaged, "entry '"},
                    ArchiveCase{"truncated",
                                [](const InstallSite& s) {
                                    s.publishArchive({{"SCRIPT.txt", kScript}});
                                    const fs::path zip = s.publishedDir() / "atualizacao.zip";
                                    const std::string bytes = readFile(zip);
                                    testsupport::writeFile(zip, bytes.substr(0, bytes.size() / 2));
                                },
                                "Not a zip archive"},
                    ArchiveCase{"missing", [](const InstallSite&) {}, "No such file"}),
    [](const auto& info) { return std::string(info.param.name); });

// The server goes away in an orderly way when asked for the archive: the download step ends
// quietly with the files it has, and the installation goes on (here to the unpacking, which
// then misses the archive).
TEST(InstallGracefulCloseTest, DownloadEndsQuietlyAndTheInstallationGoesOn) {
    InstallSite site({.closeOn = "atualizacao.zip"});
    site.publishArchive();
    const std::vector<std::string> extras = {"a-leiame.txt", "m-manual.txt", "z-extra.txt"};
    for (const std::string& name : extras)
        site.publish(name, name);
    // The server's order, which the download follows (the server goes away only when asked
    // for the archive).
    platform::FtpClient lister(
        {"127.0.0.1", site.server().port(), site.server().user(), site.server().password()});
    lister.connect();
    lister.changeDir("/atualizacao/loja01");
    const std::vector<platform::FtpListItem> listing = lister.list();
    lister.disconnect();

    InstallRun run(site);
    EXPECT_FALSE(run.install());

    const std::string shown = run.installOutput();
    EXPECT_EQ(shown.find("Erro ao baixar arquivos da atualização"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Erro descompactar arquivos.\n\n"), std::string::npos) << shown;
    EXPECT_EQ(logTexts(site.log()).back(), "Backup DADOS.FDB realizado.");
    bool beforeArchive = true;
    for (const auto& item : listing) {
        if (item.name == "atualizacao.zip") {
            beforeArchive = false;
        } else if (std::find(extras.begin(), extras.end(), item.name) != extras.end()) {
            EXPECT_EQ(fs::exists(site.updateDir() / item.name), beforeArchive) << item.name;
        }
    }
    EXPECT_FALSE(fs::exists(site.updateDir() / "atualizacao.zip"));
}

TEST_F(InstallTest, DownloadFailureEndsTheInstallation) {
    site.publishArchive();
    site.publish("leiame.txt", "leia");
    fs::create_directories(update("leiame.txt")); // the download cannot put its file there
    InstallRun run(site);
    EXPECT_FALSE(run.install());
    EXPECT_NE(run.installOutput().find("Erro ao baixar arquivos da atualização\n\n"
                                       "Cannot download /atualizacao/loja01/leiame.txt: "),
              std::string::npos)
        << run.out.str();
    expectPageOneBack(run);
    expectOldExecutables();
}

TEST_F(InstallTest, WhatTheRemoteFolderHoldsIsDownloadedAndOnlyTheArchivesExecutablesInstalled) {
    site.publishArchive();
    site.publish(site.clientName(), "a loose copy that must not be installed");
    site.publish("VersaoFTP.ini", "another file whose name differs in case");
    site.publish("extras/leiame.txt", "in a subfolder");
    InstallRun run(site);
    ASSERT_TRUE(run.install()) << run.out.str();

    EXPECT_EQ(readFile(update("VersaoFTP.ini")), "another file whose name differs in case");
    EXPECT_FALSE(fs::exists(update("extras")));
    EXPECT_EQ(readFile(site.installed(site.clientName())), InstallSite::newClient());
    EXPECT_EQ(readFile(update(site.clientName())), InstallSite::newClient());
    // versaoFTP.ini came down with the check and is not fetched again.
    const std::string serverLog = site.server().log();
    std::size_t fetched = 0;
    for (const std::string& line : splitLines(serverLog))
        fetched += line.find(" RETR ") != std::string::npos &&
                   line.find("/versaoFTP.ini completed=1") != std::string::npos;
    EXPECT_EQ(fetched, 1u) << serverLog;
}

struct OrderCase {
    const char* name;
    const char* primeiro;
    Lines sequence; // the database upgrades' texts, in the order shown
};

void PrintTo(const OrderCase& c, std::ostream* os) { *os << c.name; }

class UpgradeOrderTest : public InstallTest, public testing::WithParamInterface<OrderCase> {};

const std::string kManual = "Atualizando banco de dados (SCRIPT manual)...";
const std::string kAutomatic = "Atualizando banco de dados (SCRIPT auto)...";
const std::string kUnavailable(kScriptAutomaticoIndisponivel);

TEST_P(UpgradeOrderTest, UpgradesRunInThePublishedOrder) {
    site.publishVersions("1.0.0.10", "1.0.0.13", GetParam().primeiro);
    site.publishArchive({{"SCRIPT.txt", kScript}, {"SCRIPT.FDB", "a reference database"}});
    InstallRun run(site);
    ASSERT_TRUE(run.install()) << run.out.str();

    Lines upgrades;
    for (const std::string& line : splitLines(run.installOutput()))
        if (line == kManual || line == kAutomatic || line == kUnavailable)
            upgrades.push_back(line);
    EXPECT_EQ(upgrades, GetParam().sequence);
    EXPECT_EQ(site.query(tableCount("PRODUTOS")), "1");
    // Told, and logged: the automatic upgrade did not run.
    EXPECT_EQ(logTexts(site.log()).back(), kUnavailable);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, UpgradeOrderTest,
    testing::Values(OrderCase{"automatic_first", "A", {kAutomatic, kUnavailable, kManual}},
                    OrderCase{
                        "lower_case_a_is_manual_first", "a", {kManual, kAutomatic, kUnavailable}},
                    OrderCase{"empty_is_manual_first", "", {kManual, kAutomatic, kUnavailable}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(InstallTest, ClientOnlyInstallsTheClientAndLeavesTheDatabase) {
    site.writeConfig("APENAS_CLIENTE=S\r\n");
    site.publishArchive({{"SCRIPT.txt", kScript}});
    InstallRun run(site);
    ASSERT_TRUE(run.install()) << run.out.str();
    EXPECT_EQ(readFile(site.installed(site.clientName())), InstallSite::newClient());
    EXPECT_EQ(readFile(site.installed(site.serverName())),
              readFile(apptest::sampleServer("1.0.0.12")));
    EXPECT_EQ(site.query(tableCount("PRODUTOS")), "0");
    EXPECT_EQ(run.installOutput().find(kManual), std::string::npos);
}

// Copy failures do not stop the installation, but the log tells them instead of pretending.
TEST_F(InstallTest, CopyFailuresAreLoggedAndTheInstallationGoesOn) {
    site.publishArchive();
    fs::create_directories(update(backupOf(site.clientName()))); // no copy can go there
    fs::remove(site.installed(site.serverName()));
    fs::create_directories(site.installed(site.serverName())); // nor can the new server
    InstallRun run(site);
    ASSERT_TRUE(run.install()) << run.out.str();

    const Lines log = logTexts(site.log());
    ASSERT_GE(log.size(), 4u);
    EXPECT_TRUE(globMatch("ERRO: Backup " + site.clientName() + " não realizado. Cannot copy *",
                          log[log.size() - 4]))
        << log[log.size() - 4];
    EXPECT_EQ(log[log.size() - 3],
              "Backup " + site.serverName() + " não realizado. Arquivo não encontrado.");
    EXPECT_EQ(log[log.size() - 2], "Backup DADOS.FDB realizado.");
    EXPECT_TRUE(globMatch("ERRO: " + site.serverName() + " não foi substituído. *", log.back()))
        << log.back();
    EXPECT_EQ(readFile(site.installed(site.clientName())), InstallSite::newClient());
    EXPECT_EQ(run.view.page(), Page::Success);
}

TEST_F(InstallTest, OpeningTheSystemStartsTheServerThenTheClient) {
    site.publishArchive();
    InstallRun run(site);
    ASSERT_TRUE(run.install()) << run.out.str();
    EXPECT_TRUE(run.form.BitBtn1Click());
    EXPECT_EQ(platform::terminateProcessesByName(site.serverName()), 1);
    EXPECT_EQ(platform::terminateProcessesByName(site.clientName()), 1);
}

TEST_F(InstallTest, OpeningWithoutTheServerNamesItAndStartsNothing) {
    InstallRun run(site);
    ASSERT_EQ(run.form.btnBuscaAtualizacaoClick(), CheckOutcome::UpdateDue);
    fs::remove(site.installed(site.serverName()));
    EXPECT_FALSE(run.form.BitBtn1Click());
    const std::string path = site.installed(site.serverName()).string();
    EXPECT_TRUE(run.out.str().ends_with("Não foi possível abrir " + site.serverName() + "\n\n" +
                                        "Tente abrí-lo manualmente em " + path + "\n"))
        << run.out.str();
    EXPECT_EQ(platform::terminateProcessesByName(site.clientName()), 0);
}

} // namespace
} // namespace app
