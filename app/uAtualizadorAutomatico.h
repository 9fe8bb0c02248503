#pragma once

#include "app/EngineMessageHooks.h"
#include "app/UpdaterView.h"
#include "app/uDMAtualizacao.h"
#include "platform/FtpClient.h"
#include "platform/Network.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace app {

// Ends the running button flow without any further message. Deliberately not a
// std::exception, so that the steps' handlers for failures never swallow it.
class ESilentCancel {};

// The values every step of the update flows reads and writes. They live as long as the form:
// a second check overwrites what it reads again and keeps the rest.
struct UpdaterState {
    // CONFIG.ini, section UPDATE
    std::string strNomeCliente;
    std::string strNomeServidor;
    std::string strNomeBD;
    std::string strDiretorioEXE; // with its trailing separator
    std::string strDiretorioBD;  // with its trailing separator
    std::string strDiretorioWEB; // lower-cased
    bool boolApenasCliente = false;
    // Derived folders
    std::string strDiretorioAtualizacao; // strDiretorioEXE + "atualizacao/"
    std::string strDiretorioFTP;         // "/atualizacao/" + strDiretorioWEB
    // Versions: installed ones first as "a.b.c.d", then as decimal integer text; published
    // ones without their dots.
    std::string strVersaoLocalCliente;
    std::string strVersaoLocalServidor;
    std::string strVersaoFTPCliente;
    std::string strVersaoFTPServidor;
    std::string strScriptOrdem; // "A": the automatic upgrade runs before the manual script
    bool boolTemScriptAutomatico = false;
    bool boolTemScriptManual = false;
    std::int32_t FnTamanhoTotal = 0; // size of the file being downloaded, for the progress bar
};

struct UpdaterSettings {
    std::string configFile;    // full path of CONFIG.ini
    std::string ownExecutable; // the updater's executable, whose version the first page shows
    platform::FtpSettings ftpDefaults; // section "FTP" of CONFIG.ini overrides them
    std::function<bool()> isNetworkConnected = platform::isNetworkConnected;
    // How long "Abrir o Sistema" waits after starting each executable, so that the server is
    // up before the client looks for it.
    int startPauseMilliseconds = 3000;
};

enum class CheckOutcome { UpdateDue, UpToDate, Failed };

// What the operator is told when an update brings a reference database for the automatic
// schema upgrade, which this build cannot run yet.
inline constexpr std::string_view kScriptAutomaticoIndisponivel =
    "SCRIPT.FDB ignorado: a atualização automática do banco de dados não está disponível nesta "
    "versão do atualizador.";

// The updater's main form without its widgets: the state, the FTP connection and every step
// of the update flows, talking to the operator through an UpdaterView.
class TfrmAtualizadorAutomatico {
public:
    TfrmAtualizadorAutomatico(UpdaterView& view, UpdaterSettings settings);
    TfrmAtualizadorAutomatico(const TfrmAtualizadorAutomatico&) = delete;
    TfrmAtualizadorAutomatico& operator=(const TfrmAtualizadorAutomatico&) = delete;

    // First page shown, the updater's own version in its corner.
    void FormShow();
    // "Verificar se há atualizações": the whole update check. A click that arrives while a
    // flow runs (the steps pump window messages) is ignored and reports Failed.
    CheckOutcome btnBuscaAtualizacaoClick();
    // "Instalar nova versão": confirmation, then the whole installation; true when it reached
    // the success page.
    bool btnAtualizacaoClick();
    // "Abrir o Sistema": starts the server, then the client; true when both started.
    bool BitBtn1Click();

    // The steps of the update check, in the order the check runs them. Each may end the check
    // by raising ESilentCancel.
    void prcLerConfig();
    void prcVerificarExisteConexaoComInternet();
    void prcConectarAoServidorFTP();
    void prcObterVersaoLocal();
    void prcObterDadosVersaoFTP();
    void prcCompararVersoes();
    void prcObterNovidades();

    // The steps of the installation, in the order it runs them. A step that ends the
    // installation puts page 1 back as it was before and raises ESilentCancel.
    void prcFinalizarTarefa(const std::string& executableName);
    void prcBaixarAtualizacao();
    void prcRealizarBackupEXE();
    void prcRealizarBackupBD();
    void prcDescompactarAtualizacao();
    void prcAtualizarBD(); // both database upgrades, in the published order
    void prcTrocarExe();
    // The database upgrades; each does nothing when the update does not bring its file.
    void prcExecutarScritpManual(const std::string& fileName);
    void prcExecutarScritpAutomatico();
    // Starts one executable; when it cannot, tells the operator and raises ESilentCancel.
    void prcAbrirSistema(const std::string& path, const std::string& name);

    // The file version of an executable as "a.b.c.d", or an empty text when it has none.
    std::string fncObterNumeroVersaoLocal(const std::string& path) const;
    // Appends one line to the update log; a log that cannot be written raises.
    void prcRegistrarLOG(std::string_view text);

    // Progress of every FTP transfer: bar maximum, percentage label and bar position.
    void IdFTPWorkBegin();
    void IdFTPWork(std::int64_t bytesSoFar);
    void IdFTPWorkEnd();

    UpdaterState& state() { return state_; }
    const UpdaterState& state() const { return state_; }
    TDMAtualizacao& dataModule() { return DMAtualizacao; }

private:
    enum class FlowEnd { Completed, Cancelled, Failed };
    // Runs a button's flow on the rules of the window's message loop: a silent cancel ends it
    // quietly, any other failure is shown with its message.
    FlowEnd runFlow(const std::function<void()>& flow);
    std::string configurationError() const;
    // Deletes localPath, then downloads remotePath there.
    void download(const std::string& remotePath, const std::string& localPath);
    // Shows message, puts page 1 back (install button visible, progress hidden) and ends
    // the installation.
    [[noreturn]] void endInstallation(const std::string& message);
    // Copies an installed file into the update folder as "BKP_" + ddmm + "_" + name and logs
    // how it went.
    void backUp(const std::string& folder, const std::string& name, const std::string& doneLine);
    // Puts a new executable of the update folder in place of the installed one, logging a
    // failure instead of ending the installation.
    void installExecutable(const std::string& name);

    UpdaterView& view_;
    UpdaterSettings settings_;
    UpdaterState state_;
    platform::FtpClient IdFTP;
    TDMAtualizacao DMAtualizacao; // after the form's own parts, as the program creates it
    EngineMessageHooks engineHooks_{view_};
    bool flowRunning_ = false;
    bool upToDate_ = false; // set by the comparison when the check ends for that reason
};

} // namespace app
