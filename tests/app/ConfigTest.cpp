// Reading CONFIG.ini: the values, the derived folders, the validation order and the log lines.

#include "app/ConsoleView.h"
#include "app/FtpConfig.h"
#include "app/uAtualizadorAutomatico.h"
#include "platform/IniFile.h"
#include "TempDir.h"
#include "UpdaterTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace app {
namespace {

using apptest::logTexts;
using apptest::replaceAll;
using testsupport::TempDir;
using testsupport::writeFile;

using Lines = std::vector<std::string>;

const std::string kComplete = "[UPDATE]\n"
                              "NOME_CLIENTE=cliente\n"
                              "NOME_SERVIDOR=servidor\n"
                              "NOME_BD=DADOS.FDB\n"
                              "DIRETORIO_INSTALACAO=@DIR@/app/\n"
                              "DIRETORIO_BD=@DIR@/dados/\n"
                              "DIRETORIO_WEB=Loja01\n";

// The complete configuration with one key's line replaced by line (dropped when it is empty).
std::string withLine(std::string_view key, std::string_view line, std::string text = kComplete) {
    const std::size_t at = text.find(std::string(key) + "=");
    text.replace(at, text.find('\n', at) + 1 - at, line.empty() ? "" : std::string(line) + "\n");
    return text;
}

std::string without(std::initializer_list<std::string_view> keys) {
    std::string text = kComplete;
    for (const auto key : keys)
        text = withLine(key, "", text);
    return text;
}

struct ConfigCase {
    const char* name;
    std::string config;  // "@DIR@" stands for the test's folder
    std::string message; // what the operator is shown; empty when nothing
    std::function<void(const UpdaterState&, const std::string& dir)> check;
};

void PrintTo(const ConfigCase& c, std::ostream* os) { *os << c.name; }

struct ConfigRun {
    TempDir dir{"kv-config"};
    std::ostringstream out;
    std::istringstream in;
    ConsoleView view{out, in, false};
    std::unique_ptr<TfrmAtualizadorAutomatico> form;
    bool cancelled = false;

    explicit ConfigRun(const std::string& config) {
        const std::string root = dir.path().string();
        if (!config.empty())
            writeFile(dir / "CONFIG.ini", replaceAll(config, "@DIR@", root));
        form = std::make_unique<TfrmAtualizadorAutomatico>(
            view, UpdaterSettings{(dir / "CONFIG.ini").string(), "", {}, [] { return true; }});
        try {
            form->prcLerConfig();
        } catch (const ESilentCancel&) {
            cancelled = true;
        }
    }
};

class ConfigTest : public testing::TestWithParam<ConfigCase> {};

TEST_P(ConfigTest, ReadsValidatesAndLogs) {
    const ConfigCase& c = GetParam();
    ConfigRun run(c.config);
    const std::string root = run.dir.path().string();
    const UpdaterState& s = run.form->state();

    EXPECT_EQ(run.out.str(), c.message.empty() ? "" : c.message + "\n");
    EXPECT_EQ(run.cancelled, !c.message.empty());
    const Lines expectedLog = c.message.empty()
                                  ? Lines{"", "Início da atualização", "Configuração lida"}
                                  : Lines{"", "Início da atualização", "ERRO: " + c.message};
    EXPECT_EQ(logTexts(s.strDiretorioAtualizacao + "LOG_UPDATE.txt"), expectedLog);
    c.check(s, root);
}

const std::string kNamesMissing =
    "Nome dos executáveis do sistema não especificados no arquivo de configuração.";
const std::string kDbFolderMissing =
    "Diretório do banco de dados não especificado no arquivo de configuração.";

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfigTest,
    testing::Values(
        ConfigCase{"complete", kComplete, "",
                   [](const UpdaterState& s, const std::string& dir) {
                       EXPECT_EQ(s.strNomeCliente, "cliente");
                       EXPECT_EQ(s.strNomeServidor, "servidor");
                       EXPECT_EQ(s.strNomeBD, "DADOS.FDB");
                       EXPECT_EQ(s.strDiretorioEXE, dir + "/app/");
                       EXPECT_EQ(s.strDiretorioBD, dir + "/dados/");
                       EXPECT_EQ(s.strDiretorioWEB, "loja01");
                       EXPECT_EQ(s.strDiretorioFTP, "/atualizacao/loja01");
                       EXPECT_EQ(s.strDiretorioAtualizacao, dir + "/app/atualizacao/");
                       EXPECT_TRUE(std::filesystem::is_directory(s.strDiretorioAtualizacao));
                       EXPECT_FALSE(s.boolApenasCliente);
                   }},
        ConfigCase{
            "client_only_S", kComplete + "APENAS_CLIENTE=S\n", "",
            [](const UpdaterState& s, const std::string&) { EXPECT_TRUE(s.boolApenasCliente); }},
        ConfigCase{
            "client_only_lower_s", kComplete + "APENAS_CLIENTE=s\n", "",
            [](const UpdaterState& s, const std::string&) { EXPECT_FALSE(s.boolApenasCliente); }},
        ConfigCase{
            "client_only_Sim", kComplete + "APENAS_CLIENTE=Sim\n", "",
            [](const UpdaterState& s, const std::string&) { EXPECT_FALSE(s.boolApenasCliente); }},
        ConfigCase{"web_folder_non_ascii_kept", withLine("DIRETORIO_WEB", "DIRETORIO_WEB=LOJA-SÃO"),
                   "",
                   [](const UpdaterState& s, const std::string&) {
                       EXPECT_EQ(s.strDiretorioFTP, "/atualizacao/loja-sÃo");
                   }},
        ConfigCase{"install_folder_without_separator",
                   withLine("DIRETORIO_INSTALACAO", "DIRETORIO_INSTALACAO=@DIR@/App"), "",
                   [](const UpdaterState& s, const std::string& dir) {
                       EXPECT_EQ(s.strDiretorioAtualizacao, dir + "/Appatualizacao/");
                       EXPECT_TRUE(std::filesystem::is_directory(dir + "/Appatualizacao"));
                   }},
        ConfigCase{"server_name_missing", without({"NOME_SERVIDOR"}), kNamesMissing,
                   [](const UpdaterState&, const std::string&) {}},
        ConfigCase{"several_missing_last_wins",
                   without({"NOME_CLIENTE", "NOME_BD", "DIRETORIO_BD"}), kDbFolderMissing,
                   [](const UpdaterState&, const std::string&) {}},
        ConfigCase{"only_install_folder_given", "[UPDATE]\nDIRETORIO_INSTALACAO=@DIR@/\n",
                   "Diretório WEB não especificado no arquivo de configuração.",
                   [](const UpdaterState& s, const std::string& dir) {
                       EXPECT_EQ(s.strDiretorioAtualizacao, dir + "/atualizacao/");
                   }},
        ConfigCase{
            "keys_in_other_case_and_blanks",
            replaceAll(replaceAll(kComplete, "[UPDATE]", "[update]"), "NOME_BD=", " nome_bd = "),
            "",
            [](const UpdaterState& s, const std::string&) {
                EXPECT_EQ(s.strNomeBD, "DADOS.FDB");
            }}),
    [](const auto& info) { return std::string(info.param.name); });

// With no install folder the update folder is "atualizacao/" under the current folder, and the
// log goes there.
TEST(ConfigTest, MissingConfigFileLogsBesideTheCurrentFolder) {
    TempDir cwd("kv-cwd");
    apptest::CurrentDirectory inside(cwd.path());
    ConfigRun run(""); // no CONFIG.ini
    EXPECT_TRUE(run.cancelled);
    EXPECT_EQ(run.out.str(), "Diretório WEB não especificado no arquivo de configuração.\n");
    EXPECT_EQ(run.form->state().strDiretorioAtualizacao, "atualizacao/");
    EXPECT_EQ(logTexts(cwd / "atualizacao" / "LOG_UPDATE.txt"),
              (Lines{"", "Início da atualização",
                     "ERRO: Diretório WEB não especificado no arquivo de configuração."}));
}

TEST(ConfigTest, EmptyInstallFolderNamesThatFolder) {
    TempDir cwd("kv-cwd");
    apptest::CurrentDirectory inside(cwd.path());
    ConfigRun run(without({"DIRETORIO_INSTALACAO"}));
    EXPECT_EQ(run.out.str(),
              "Diretório de instalação do sistema não especificado no arquivo de configuração.\n");
    EXPECT_TRUE(std::filesystem::is_directory(cwd / "atualizacao"));
}

TEST(ConfigTest, BadFtpPortIsReportedAndTheCheckGoesOn) {
    ConfigRun run(kComplete + "[FTP]\nPORTA=porta\n");
    EXPECT_FALSE(run.cancelled);
    EXPECT_EQ(run.out.str(), "Falha ao ler configurações\n");
    EXPECT_EQ(logTexts(run.form->state().strDiretorioAtualizacao + "LOG_UPDATE.txt"),
              Lines{"ERRO: Porta do servidor FTP inválida no arquivo de configuração: 'porta'"});
}

TEST(FtpConfigTest, SectionFtpOverridesTheBuiltInServer) {
    const platform::FtpSettings defaults{"ftp.example", 21, "conta@example", "segredo"};
    const auto all = readFtpSettings(
        platform::IniFile::parse("[FTP]\nHOST=127.0.0.1\nPORTA=2121\nUSUARIO=loja\nSENHA=s3cr3t\n"),
        defaults);
    EXPECT_EQ(all.host, "127.0.0.1");
    EXPECT_EQ(all.port, 2121);
    EXPECT_EQ(all.user, "loja");
    EXPECT_EQ(all.password, "s3cr3t");

    const auto none = readFtpSettings(platform::IniFile::parse("[UPDATE]\nHOST=x\n"), defaults);
    EXPECT_EQ(none.host, "ftp.example");
    EXPECT_EQ(none.port, 21);
    EXPECT_EQ(none.user, "conta@example");
    EXPECT_EQ(none.password, "segredo");

    for (const char* port : {"0", "65536", "-1", "21a"})
        EXPECT_THROW(readFtpSettings(platform::IniFile::parse(std::string("[FTP]\nPORTA=") + port),
                                     defaults),
                     std::runtime_error)
            << port;
}

} // namespace
} // namespace app
