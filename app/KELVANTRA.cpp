// The updater program: the window by default, or the update check and the installation
// without a window for scheduled runs (see usageText).

#include "app/CommandLine.h"
#include "app/ConsoleView.h"
#include "app/FtpConfig.h"
#include "app/MainWindow.h"
#include "app/uAtualizadorAutomatico.h"
#include "platform/Paths.h"

#include <QApplication>

#include <clocale>
#include <iostream>

namespace {

constexpr const char* kProgram = "KELVANTRA";

enum ExitStatus { kFlowCompleted = 0, kFlowFailed = 1, kUpToDate = 2 };

app::UpdaterSettings settingsFor(const app::CommandLine& line) {
    const std::string executable = platform::executablePath();
    std::string configDir =
        line.configDir.empty() ? platform::extractFilePath(executable) : line.configDir;
    if (!configDir.empty() && configDir.back() != '/')
        configDir += '/';

    app::UpdaterSettings settings;
    settings.configFile = configDir + "CONFIG.ini";
    settings.ownExecutable = executable;
    settings.ftpDefaults = app::builtInFtpSettings();
    return settings;
}

int runWindow(int argc, char** argv, app::UpdaterSettings settings) {
    QApplication application(argc, argv);
    app::MainWindow window(std::move(settings));
    window.show();
    return QApplication::exec();
}

int checkStatus(app::CheckOutcome outcome) {
    switch (outcome) {
    case app::CheckOutcome::UpdateDue: return kFlowCompleted;
    case app::CheckOutcome::UpToDate: return kUpToDate;
    case app::CheckOutcome::Failed: return kFlowFailed;
    }
    return kFlowFailed;
}

// The buttons the operator would press, one after the other: the check, then (with --install)
// "Instalar nova versão" when an update is due, then (with --open) "Abrir o Sistema".
int runWithoutWindow(const app::CommandLine& line, app::UpdaterSettings settings) {
    // The locale of the environment, as the window's toolkit takes it: the database client
    // converts file names through its character set.
    std::setlocale(LC_ALL, "");
    app::ConsoleView view(std::cout, std::cin, line.assumeYes);
    app::TfrmAtualizadorAutomatico form(view, std::move(settings));
    form.FormShow();
    const app::CheckOutcome outcome = form.btnBuscaAtualizacaoClick();
    if (line.mode == app::RunMode::Check || outcome != app::CheckOutcome::UpdateDue)
        return checkStatus(outcome);
    if (!form.btnAtualizacaoClick())
        return kFlowFailed;
    if (line.openAfterInstall && !form.BitBtn1Click())
        return kFlowFailed;
    return kFlowCompleted;
}

} // namespace

int main(int argc, char** argv) {
    app::CommandLine line;
    try {
        line = app::parseCommandLine({argv + 1, argv + argc});
    } catch (const app::UsageError& e) {
        std::cerr << kProgram << ": " << e.what() << "\n\n" << app::usageText(kProgram);
        return kFlowFailed;
    }

    try {
        switch (line.mode) {
        case app::RunMode::Help: std::cout << app::usageText(kProgram); return kFlowCompleted;
        case app::RunMode::Window: return runWindow(argc, argv, settingsFor(line));
        case app::RunMode::Check:
        case app::RunMode::Install: return runWithoutWindow(line, settingsFor(line));
        }
    } catch (const std::exception& e) { // before any flow runs: e.g. no path of our own
        std::cerr << kProgram << ": " << e.what() << '\n';
    }
    return kFlowFailed;
}
