// The installation of an update, from the confirmation on page 1 to "Abrir o Sistema", and
// the two database upgrades it runs.

#include "app/ManualScript.h"
#include "app/TextUtil.h"
#include "app/uAtualizadorAutomatico.h"
#include "platform/FbStatement.h"
#include "platform/FileOps.h"
#include "platform/Processes.h"
#include "platform/ZipArchive.h"

#include <cstdint>
#include <ctime>
#include <stdexcept>

namespace app {
namespace {

// Today's day and month, as the backups' names carry them.
std::string dayAndMonth() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[8];
    std::strftime(text, sizeof text, "%d%m", &local);
    return text;
}

std::string backupName(const std::string& name) { return "BKP_" + dayAndMonth() + "_" + name; }

// The manual script runs in one transaction, which a statement of its own must not end or
// replace: what came before it would stay committed while the rest could fail. The server
// tells those statements apart when it prepares them.
bool controlsTheTransaction(platform::FbStatementType type) {
    using Type = platform::FbStatementType;
    return type == Type::Commit || type == Type::Rollback || type == Type::StartTransaction;
}

void executeBlock(platform::FbStatement& statement, platform::FbTransaction& transaction,
                  const ScriptBlock& block) {
    statement.prepare(transaction, block.text);
    const std::string where = "O bloco da linha " + std::to_string(block.firstLine);
    if (controlsTheTransaction(statement.type()))
        throw std::runtime_error(where + " encerra ou inicia uma transação (COMMIT, ROLLBACK ou "
                                         "SET TRANSACTION). O script manual é executado em uma "
                                         "única transação e não pode controlá-la.");
    if (statement.paramCount() > 0)
        throw std::runtime_error(where + " tem marcadores de parâmetro (?), que o script "
                                         "manual não preenche.");
    statement.execute(transaction);
}

} // namespace

bool TfrmAtualizadorAutomatico::btnAtualizacaoClick() {
    const FlowEnd end = runFlow([this] {
        if (!view_.askYesNo("Confirmação",
                            "Antes de iniciar o processo de atualização o sistema será fechado "
                            "automaticamente.\r\rDeseja continuar?"))
            throw ESilentCancel();
        prcFinalizarTarefa(state_.strNomeCliente);
        prcFinalizarTarefa(state_.strNomeServidor);
        prcBaixarAtualizacao();
        prcRealizarBackupEXE();
        prcRealizarBackupBD();
        prcDescompactarAtualizacao();
        prcAtualizarBD();
        prcTrocarExe();
    });
    return end == FlowEnd::Completed;
}

void TfrmAtualizadorAutomatico::endInstallation(const std::string& message) {
    view_.showMessage(message);
    view_.showProgressControls(false);
    throw ESilentCancel();
}

// The platform waits until every such process is gone, so that the download and the copies
// that follow never meet a file still in use.
void TfrmAtualizadorAutomatico::prcFinalizarTarefa(const std::string& executableName) {
    platform::terminateProcessesByName(executableName);
}

void TfrmAtualizadorAutomatico::prcBaixarAtualizacao() {
    auto& s = state_;
    view_.showProgressControls(true);
    view_.processMessages();
    try {
        platform::deleteFile(s.strDiretorioAtualizacao + "atualizacao.zip"); // or overwritten
        IdFTP.changeDir(s.strDiretorioFTP);
        for (const platform::FtpListItem& item : IdFTP.list()) {
            if (item.kind != platform::FtpListItem::Kind::File || item.name == "versaoFTP.ini")
                continue;
            // The progress bar takes the size in 32 bits, as the server's answer was kept.
            s.FnTamanhoTotal = static_cast<std::int32_t>(IdFTP.size(item.name));
            IdFTP.get(item.name, s.strDiretorioAtualizacao + item.name, /*overwrite=*/true,
                      /*resume=*/false);
        }
    } catch (const platform::FtpConnectionClosedGracefully&) {
        // The server ended the session in an orderly way: what is not downloaded yet stays
        // out, and the installation goes on with what it has.
    } catch (const std::exception& e) {
        endInstallation("Erro ao baixar arquivos da atualização\r\r" + std::string(e.what()));
    }
}

void TfrmAtualizadorAutomatico::backUp(const std::string& folder, const std::string& name,
                                       const std::string& doneLine) {
    const std::string backup = state_.strDiretorioAtualizacao + backupName(name);
    try {
        platform::deleteFile(backup); // one that stays is overwritten by the copy
        if (!platform::fileExists(folder + name)) {
            prcRegistrarLOG("Backup " + name + " não realizado. Arquivo não encontrado.");
            return;
        }
        platform::copyFile(folder + name, backup);
        prcRegistrarLOG(doneLine);
    } catch (const std::exception& e) {
        // Without a backup the installation still goes on, but the log tells the truth.
        prcRegistrarLOG("ERRO: Backup " + name + " não realizado. " + e.what());
    }
}

void TfrmAtualizadorAutomatico::prcRealizarBackupEXE() {
    const auto& s = state_;
    backUp(s.strDiretorioEXE, s.strNomeCliente, "Backup " + s.strNomeCliente + " realizado");
    backUp(s.strDiretorioEXE, s.strNomeServidor, "Backup " + s.strNomeServidor + " realizado");
}

void TfrmAtualizadorAutomatico::prcRealizarBackupBD() {
    const auto& s = state_;
    backUp(s.strDiretorioBD, s.strNomeBD, "Backup " + s.strNomeBD + " realizado.");
}

void TfrmAtualizadorAutomatico::prcDescompactarAtualizacao() {
    auto& s = state_;
    try {
        view_.setText(Text::Progress, "Descompactando arquivos...");
        view_.processMessages();
        // Copies left by an earlier installation, or downloaded loose from the remote folder:
        // only the archive's own ones may be installed.
        for (const std::string& name : {std::string("SCRIPT.FDB"), std::string("SCRIPT.txt"),
                                        s.strNomeCliente, s.strNomeServidor})
            if (!platform::deleteFile(s.strDiretorioAtualizacao + name))
                throw std::runtime_error("Não foi possível apagar " + s.strDiretorioAtualizacao +
                                         name + " de uma atualização anterior.");
        platform::extractAll(s.strDiretorioAtualizacao + "atualizacao.zip",
                             s.strDiretorioAtualizacao);
        s.boolTemScriptAutomatico = false;
        s.boolTemScriptManual = false;
        if (!s.boolApenasCliente) {
            s.boolTemScriptAutomatico =
                platform::fileExists(s.strDiretorioAtualizacao + "SCRIPT.FDB");
            s.boolTemScriptManual = platform::fileExists(s.strDiretorioAtualizacao + "SCRIPT.txt");
        }
    } catch (const std::exception& e) {
        endInstallation("Erro descompactar arquivos.\r\r" + std::string(e.what()));
    }
}

void TfrmAtualizadorAutomatico::prcAtualizarBD() {
    if (state_.strScriptOrdem == "A") {
        prcExecutarScritpAutomatico();
        prcExecutarScritpManual("SCRIPT.txt");
    } else {
        prcExecutarScritpManual("SCRIPT.txt");
        prcExecutarScritpAutomatico();
    }
}

void TfrmAtualizadorAutomatico::prcExecutarScritpManual(const std::string& fileName) {
    const auto& s = state_;
    if (!s.boolTemScriptManual)
        return;
    SqlConnection& connection = DMAtualizacao.FDConexao;
    std::string failure;
    try {
        view_.setText(Text::Progress, "Atualizando banco de dados (SCRIPT manual)...");
        view_.processMessages();
        DMAtualizacao.FDPhysFBDriverLink1.client =
            platform::FbClient::loadForInstallFolder(s.strDiretorioEXE);
        connection.Params = {s.strDiretorioBD + s.strNomeBD, "SYSDBA", "pelicanos"};
        // Every block runs in this one transaction; leaving the block on a failure rolls it
        // back, so the script's changes arrive all together or not at all.
        platform::FbTransaction transaction = connection.StartTransaction();
        const auto blocks = splitScriptBlocks(readWholeFile(s.strDiretorioAtualizacao + fileName));
        platform::FbStatement statement(connection.Database());
        for (const ScriptBlock& block : blocks)
            executeBlock(statement, transaction, block);
        transaction.commit();
    } catch (const std::exception& e) {
        failure = e.what();
    }
    // The embedded engine opens a database file for one process only: an attachment kept
    // open would lock the system's own server out of it once it starts again.
    connection.Close();
    if (!failure.empty())
        endInstallation("Erro ao executar script manual\r\r" + failure);
}

void TfrmAtualizadorAutomatico::prcExecutarScritpAutomatico() {
    if (!state_.boolTemScriptAutomatico)
        return;
    view_.setText(Text::Progress, "Atualizando banco de dados (SCRIPT auto)...");
    view_.processMessages();
    // The schema comparison engine cannot run yet: say so rather than pass for an upgrade.
    prcRegistrarLOG(std::string(kScriptAutomaticoIndisponivel));
    view_.showMessage(std::string(kScriptAutomaticoIndisponivel));
}

void TfrmAtualizadorAutomatico::installExecutable(const std::string& name) {
    const auto& s = state_;
    const std::string update = s.strDiretorioAtualizacao + name;
    if (!platform::fileExists(update))
        return;
    try {
        platform::replaceFile(update, s.strDiretorioEXE + name);
    } catch (const std::exception& e) {
        prcRegistrarLOG("ERRO: " + name + " não foi substituído. " + e.what());
    }
}

void TfrmAtualizadorAutomatico::prcTrocarExe() {
    const auto& s = state_;
    if (!s.boolApenasCliente)
        installExecutable(s.strNomeServidor);
    installExecutable(s.strNomeCliente);
    view_.setText(Text::Progress, "Atualização concluida!");
    view_.setProgressMax(100);
    view_.setProgressPosition(100);
    view_.showPage(Page::Success);
}

bool TfrmAtualizadorAutomatico::BitBtn1Click() {
    const FlowEnd end = runFlow([this] {
        const auto& s = state_;
        prcAbrirSistema(s.strDiretorioEXE + s.strNomeServidor, s.strNomeServidor);
        prcAbrirSistema(s.strDiretorioEXE + s.strNomeCliente, s.strNomeCliente);
    });
    return end == FlowEnd::Completed;
}

void TfrmAtualizadorAutomatico::prcAbrirSistema(const std::string& path, const std::string& name) {
    try {
        platform::startProcess(path);
    } catch (const std::exception&) {
        view_.showMessage("Não foi possível abrir " + name + "\r\r" +
                          "Tente abrí-lo manualmente em " + path);
        throw ESilentCancel();
    }
    platform::sleepMilliseconds(settings_.startPauseMilliseconds);
}

} // namespace app
