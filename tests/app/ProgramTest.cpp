// The built KELVANTRA program run as a real process: options, output and exit statuses of the
// check and of the installation.

#include "platform/FileVersion.h"
#include "platform/Network.h"
#include "platform/Processes.h"
#include "UpdaterTestSupport.h"

#include <gtest/gtest.h>

namespace {

using apptest::runProcess;
using apptest::SampleSite;

apptest::ProcessResult check(const SampleSite& site) {
    return runProcess(KELVANTRA_EXE, {"--check", "--config-dir", site.configDir().string()});
}

class ProgramCheckTest : public testing::Test {
protected:
    void SetUp() override {
        if (!platform::isNetworkConnected())
            GTEST_SKIP() << "this machine has no network interface up";
    }
    SampleSite site;
};

TEST_F(ProgramCheckTest, UpdateDueExitsZeroWithVersionsAndNotes) {
    site.publishVersions("1.0.0.10", "1.0.0.13");
    site.publish("novidades.txt", "Versão 1.0.0.10\r\n- Relatório de vendas\r\n");
    const auto result = check(site);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "ATUAL: Servidor 1.0.0.12 - Cliente 1.0.0.9\n"
                          "NOVA:  Servidor 1.0.0.13 - Cliente 1.0.0.10\n"
                          "Histórico de versões\n"
                          "\n"
                          "Versão 1.0.0.10\n"
                          "- Relatório de vendas\n");
    EXPECT_EQ(result.err, "");
}

TEST_F(ProgramCheckTest, UpToDateExitsTwo) {
    site.publishVersions("1.0.0.9", "1.0.0.12");
    const auto result = check(site);
    EXPECT_EQ(result.status, 2) << result.err;
    EXPECT_EQ(result.out, "O sistema já está atualizado com a versão mais recente.\n");
}

TEST_F(ProgramCheckTest, FailureExitsOne) {
    site.writeConfig("", testsupport::freeLoopbackPort());
    const auto result = check(site);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.out.starts_with("Erro ao acessar o servidor de atualização: "))
        << result.out;
}

TEST_F(ProgramCheckTest, ConfigurationBesideTheExecutableByDefault) {
    // Without --config-dir the program reads CONFIG.ini from its own folder; a copy of the
    // program beside this site's CONFIG.ini shows that.
    const auto program = site.configDir() / "KELVANTRA";
    std::filesystem::copy_file(KELVANTRA_EXE, program);
    site.publishVersions("1.0.0.9", "1.0.0.12");
    const auto result = runProcess(program.string(), {"--check"});
    EXPECT_EQ(result.status, 2) << result.out << result.err;
}

TEST(ProgramTest, MissingConfigurationExitsOne) {
    testsupport::TempDir dir("kv-noconfig");
    apptest::CurrentDirectory inside(dir.path()); // the log then goes to ./atualizacao/
    const auto result = runProcess(KELVANTRA_EXE, {"--check", "--config-dir", dir.path().string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "Diretório WEB não especificado no arquivo de configuração.\n");
}

class ProgramInstallTest : public testing::Test {
protected:
    void SetUp() override {
        if (!platform::isNetworkConnected())
            GTEST_SKIP() << "this machine has no network interface up";
    }
    apptest::InstallSite site;
};

// The whole job without a window: the check, the installation confirmed by --yes against the
// real FTP server and the embedded database, and --open starting the new builds.
TEST_F(ProgramInstallTest, InstallYesOpenUpdatesAndStartsTheSystem) {
    site.publishArchive({{"SCRIPT.txt", "CREATE TABLE PRODUTOS (ID INTEGER)\r\n"}});
    apptest::ChildProcess client(site.installed(site.clientName()));
    apptest::ChildProcess server(site.installed(site.serverName()));

    const auto result = runProcess(KELVANTRA_EXE, {"--install", "--yes", "--open", "--config-dir",
                                                   site.configDir().string()});
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_TRUE(result.out.starts_with("ATUAL: Servidor 1.0.0.12 - Cliente 1.0.0.9\n"
                                       "NOVA:  Servidor 1.0.0.13 - Cliente 1.0.0.10\n"))
        << result.out;
    EXPECT_NE(result.out.find("Deseja continuar?\n[s/n] s\nBaixando arquivos "), std::string::npos)
        << result.out;
    EXPECT_TRUE(result.out.ends_with("Descompactando arquivos...\n"
                                     "Atualizando banco de dados (SCRIPT manual)...\n"
                                     "Atualização concluida!\n"
                                     "Atualização realizada com sucesso!\n"))
        << result.out;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(client.waitForExit(), 0);
    EXPECT_EQ(server.waitForExit(), 0);
    EXPECT_EQ(site.query("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'PRODUTOS'"),
              "1");
    EXPECT_EQ(platform::readFileVersion(site.installed(site.clientName()).string()), "1.0.0.10");
    // Started by --open, and still running after the updater ended.
    EXPECT_EQ(platform::terminateProcessesByName(site.serverName()), 1);
    EXPECT_EQ(platform::terminateProcessesByName(site.clientName()), 1);
}

TEST_F(ProgramInstallTest, ConfirmationNotGivenExitsOne) {
    site.publishArchive();
    const auto result =
        runProcess(KELVANTRA_EXE, {"--install", "--config-dir", site.configDir().string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.out.ends_with("Deseja continuar?\n[s/n] \n")) << result.out;
    EXPECT_EQ(platform::readFileVersion(site.installed(site.clientName()).string()), "1.0.0.9");
}

TEST_F(ProgramInstallTest, UpToDateInstallsNothingAndExitsTwo) {
    site.publishVersions("1.0.0.9", "1.0.0.12");
    site.publishArchive();
    const auto result = runProcess(KELVANTRA_EXE, {"--install", "--yes", "--config-dir",
                                                   site.configDir().string()});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "O sistema já está atualizado com a versão mais recente.\n");
}

TEST(ProgramTest, HelpAndBadOptions) {
    const auto help = runProcess(KELVANTRA_EXE, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: KELVANTRA")) << help.out;

    const auto bad = runProcess(KELVANTRA_EXE, {"--chek"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_TRUE(bad.err.starts_with("KELVANTRA: unknown option: --chek\n")) << bad.err;
}

} // namespace
