#include "app/uAtualizadorAutomatico.h"

#include "app/FtpConfig.h"
#include "app/ReleaseNotes.h"
#include "app/StrToInt.h"
#include "app/TextUtil.h"
#include "app/UpdateLog.h"
#include "platform/FileOps.h"
#include "platform/FileVersion.h"
#include "platform/IniFile.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace app {
namespace {

constexpr std::string_view kCaptionVerificar = "Verificar se há atualizações";

// An installed version in the form the comparison takes: the dots removed, and anything that
// is not a 32-bit integer (an empty text included) read as 0.
std::string installedComparisonForm(const std::string& version) {
    return std::to_string(strToIntDef(removeAll(version, '.'), 0));
}

} // namespace

TfrmAtualizadorAutomatico::TfrmAtualizadorAutomatico(UpdaterView& view, UpdaterSettings settings)
    : view_(view), settings_(std::move(settings)), IdFTP(settings_.ftpDefaults) {
    IdFTP.onWorkBegin = [this] { IdFTPWorkBegin(); };
    IdFTP.onWork = [this](std::int64_t bytesSoFar) { IdFTPWork(bytesSoFar); };
    IdFTP.onWorkEnd = [this] { IdFTPWorkEnd(); };
}

void TfrmAtualizadorAutomatico::FormShow() {
    view_.showPage(Page::Check);
    view_.setText(Text::InstallerVersion,
                  "v. " + fncObterNumeroVersaoLocal(settings_.ownExecutable));
}

CheckOutcome TfrmAtualizadorAutomatico::btnBuscaAtualizacaoClick() {
    const FlowEnd end = runFlow([this] {
        upToDate_ = false;
        prcLerConfig();
        prcVerificarExisteConexaoComInternet();
        prcConectarAoServidorFTP();
        prcObterVersaoLocal();
        prcObterDadosVersaoFTP();
        prcCompararVersoes();
        prcObterNovidades();
    });
    if (end == FlowEnd::Completed)
        return CheckOutcome::UpdateDue;
    return upToDate_ ? CheckOutcome::UpToDate : CheckOutcome::Failed;
}

TfrmAtualizadorAutomatico::FlowEnd
TfrmAtualizadorAutomatico::runFlow(const std::function<void()>& flow) {
    // The steps pump window messages; a second click then must not start a flow inside the
    // running one, which would reuse the FTP connection in the middle of a transfer.
    if (flowRunning_)
        return FlowEnd::Failed;
    flowRunning_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{flowRunning_};

    try {
        flow();
        return FlowEnd::Completed;
    } catch (const ESilentCancel&) {
        return FlowEnd::Cancelled;
    } catch (const std::exception& e) {
        view_.showError(e.what());
        return FlowEnd::Failed;
    }
}

void TfrmAtualizadorAutomatico::prcLerConfig() {
    try {
        constexpr std::string_view kSection = "UPDATE";
        const auto config = platform::IniFile::load(settings_.configFile);
        auto& s = state_;
        s.strNomeCliente = config.readString(kSection, "NOME_CLIENTE");
        s.strNomeServidor = config.readString(kSection, "NOME_SERVIDOR");
        s.strNomeBD = config.readString(kSection, "NOME_BD");
        s.strDiretorioEXE = config.readString(kSection, "DIRETORIO_INSTALACAO");
        s.strDiretorioBD = config.readString(kSection, "DIRETORIO_BD");
        s.strDiretorioWEB = lowerCaseAscii(config.readString(kSection, "DIRETORIO_WEB"));
        s.boolApenasCliente = config.readString(kSection, "APENAS_CLIENTE") == "S";

        // Paths are concatenated as configured: the folders carry their own separator.
        s.strDiretorioAtualizacao = s.strDiretorioEXE + "atualizacao/";
        std::error_code reportedByTheLog; // a folder that cannot be made fails the next log line
        std::filesystem::create_directories(s.strDiretorioAtualizacao, reportedByTheLog);
        s.strDiretorioFTP = "/atualizacao/" + s.strDiretorioWEB;
        IdFTP.setSettings(readFtpSettings(config, settings_.ftpDefaults));

        const std::string error = configurationError();
        prcRegistrarLOG("");
        prcRegistrarLOG("Início da atualização");
        if (!error.empty()) {
            view_.showMessage(error);
            prcRegistrarLOG("ERRO: " + error);
            throw ESilentCancel();
        }
        prcRegistrarLOG("Configuração lida");
    } catch (const std::exception& e) {
        prcRegistrarLOG("ERRO: " + std::string(e.what()));
        view_.showMessage("Falha ao ler configurações");
    }
}

// Every check runs, so when several values are missing the last message is the one shown.
std::string TfrmAtualizadorAutomatico::configurationError() const {
    const auto& s = state_;
    std::string error;
    if (s.strNomeCliente.empty() || s.strNomeServidor.empty())
        error = "Nome dos executáveis do sistema não especificados no arquivo de configuração.";
    if (s.strNomeBD.empty())
        error = "Nome do banco de dados não especificado no arquivo de configuração.";
    if (s.strDiretorioBD.empty())
        error = "Diretório do banco de dados não especificado no arquivo de configuração.";
    if (s.strDiretorioEXE.empty())
        error = "Diretório de instalação do sistema não especificado no arquivo de configuração.";
    if (s.strDiretorioWEB.empty())
        error = "Diretório WEB não especificado no arquivo de configuração.";
    return error;
}

void TfrmAtualizadorAutomatico::prcVerificarExisteConexaoComInternet() {
    view_.processMessages();
    if (!settings_.isNetworkConnected()) {
        prcRegistrarLOG("ERRO: Sem conexão");
        throw ESilentCancel();
    }
    prcRegistrarLOG("Conexão verificada");
}

void TfrmAtualizadorAutomatico::prcConectarAoServidorFTP() {
    view_.setText(Text::CheckButton, "Localizando servidor...");
    view_.processMessages();
    try {
        if (IdFTP.connected())
            IdFTP.disconnect();
        IdFTP.connect();
        prcRegistrarLOG("Servidor WEB Localizado");
    } catch (const std::exception& e) {
        prcRegistrarLOG("ERRO: " + std::string(e.what()));
        view_.showMessage("Erro ao acessar o servidor de atualização: " + std::string(e.what()));
        throw ESilentCancel();
    }
}

std::string TfrmAtualizadorAutomatico::fncObterNumeroVersaoLocal(const std::string& path) const {
    return platform::readFileVersion(path);
}

void TfrmAtualizadorAutomatico::prcObterVersaoLocal() {
    auto& s = state_;
    try {
        s.strVersaoLocalCliente = fncObterNumeroVersaoLocal(s.strDiretorioEXE + s.strNomeCliente);
        view_.setText(Text::CurrentVersion, "ATUAL: " + s.strVersaoLocalCliente);
        if (!s.boolApenasCliente) {
            s.strVersaoLocalServidor =
                fncObterNumeroVersaoLocal(s.strDiretorioEXE + s.strNomeServidor);
            view_.setText(Text::CurrentVersion, "ATUAL: Servidor " + s.strVersaoLocalServidor +
                                                    " - Cliente " + s.strVersaoLocalCliente);
        }
        s.strVersaoLocalServidor = installedComparisonForm(s.strVersaoLocalServidor);
        s.strVersaoLocalCliente = installedComparisonForm(s.strVersaoLocalCliente);
        prcRegistrarLOG("Versão local verificada");
    } catch (const std::exception& e) {
        view_.showMessage("Erro ao verificar versão local");
        prcRegistrarLOG("ERRO: " + std::string(e.what()));
    }
}

void TfrmAtualizadorAutomatico::download(const std::string& remotePath,
                                         const std::string& localPath) {
    platform::deleteFile(localPath);
    IdFTP.get(remotePath, localPath, /*overwrite=*/true, /*resume=*/true);
}

void TfrmAtualizadorAutomatico::prcObterDadosVersaoFTP() {
    auto& s = state_;
    view_.setText(Text::CheckButton, "Verificando versão disponível...");
    view_.processMessages();

    const std::string localFile = s.strDiretorioAtualizacao + "versaoFTP.ini";
    try {
        download(s.strDiretorioFTP + "/versaoFTP.ini", localFile);
        prcRegistrarLOG("Arquivos baixados");
    } catch (const std::exception& e) {
        // The file is then absent and both published versions read "0".
        view_.showMessage("Erro ao baixar arquivos");
        prcRegistrarLOG("ERRO: " + std::string(e.what()));
    }

    const auto published = platform::IniFile::load(localFile);
    s.strVersaoFTPCliente = published.readString("Versao", "Cliente", "0");
    s.strVersaoFTPServidor = published.readString("Versao", "Servidor", "0");
    view_.setText(Text::NewVersion, "NOVA: " + s.strVersaoFTPCliente);
    if (!s.boolApenasCliente) {
        view_.setText(Text::NewVersion, "NOVA:  Servidor " + s.strVersaoFTPServidor +
                                            " - Cliente " + s.strVersaoFTPCliente);
        s.strScriptOrdem = published.readString("SCRIPT", "Primeiro");
    }
    s.strVersaoFTPCliente = removeAll(s.strVersaoFTPCliente, '.');
    s.strVersaoFTPServidor = removeAll(s.strVersaoFTPServidor, '.');
}

void TfrmAtualizadorAutomatico::prcCompararVersoes() {
    const auto& s = state_;
    bool updateDue = strToInt(s.strVersaoLocalCliente) < strToInt(s.strVersaoFTPCliente);
    // A client-only installation never reads its server's version, so the server pair would
    // report an update on every check.
    if (!s.boolApenasCliente)
        updateDue |= strToInt(s.strVersaoLocalServidor) < strToInt(s.strVersaoFTPServidor);
    if (updateDue) {
        prcRegistrarLOG("Versões comparadas");
        return;
    }
    upToDate_ = true;
    view_.showMessage("O sistema já está atualizado com a versão mais recente.");
    view_.setText(Text::CheckButton, std::string(kCaptionVerificar));
    prcRegistrarLOG("Sisitema já está atualizado");
    throw ESilentCancel();
}

void TfrmAtualizadorAutomatico::prcObterNovidades() {
    const auto& s = state_;
    try {
        view_.setText(Text::Progress, "");
        const std::string localFile = s.strDiretorioAtualizacao + "novidades.txt";
        download(s.strDiretorioFTP + "/novidades.txt", localFile);

        std::vector<std::string> memo = {"Histórico de versões", ""};
        for (auto& line : splitLines(decodeReleaseNotes(readWholeFile(localFile))))
            memo.push_back(std::move(line));
        view_.setReleaseNotes(memo);
        view_.showPage(Page::Notes);
        prcRegistrarLOG("Novidades baixadas");
    } catch (const std::exception& e) {
        prcRegistrarLOG("ERRO: " + std::string(e.what()));
        view_.showMessage("Erro ao baixar arquivo de novidades.");
        throw ESilentCancel();
    }
}

void TfrmAtualizadorAutomatico::prcRegistrarLOG(std::string_view text) {
    appendLogLine(state_.strDiretorioAtualizacao + "LOG_UPDATE.txt", text);
}

void TfrmAtualizadorAutomatico::IdFTPWorkBegin() {
    // A size that overflowed the 32 bits reads negative: the bar then stays empty.
    view_.setProgressMax(std::max(0, state_.FnTamanhoTotal / 1024));
    view_.processMessages();
}

void TfrmAtualizadorAutomatico::IdFTPWork(std::int64_t bytesSoFar) {
    const std::int64_t size = state_.FnTamanhoTotal;
    if (size == 0)
        return;
    if (size > 0) {
        const std::int64_t done = bytesSoFar / 1024;
        const std::int64_t total = size / 1024;
        // Files under 1 KiB have no whole KiB to count: their percentage is taken in bytes.
        const double percent = total > 0 ? done * 100.0 / total : bytesSoFar * 100.0 / size;
        view_.setText(Text::Progress,
                      "Baixando arquivos " + std::to_string(std::lround(percent)) + "%");
        view_.setProgressPosition(static_cast<int>(done));
    }
    view_.processMessages();
}

void TfrmAtualizadorAutomatico::IdFTPWorkEnd() { view_.processMessages(); }

} // namespace app
