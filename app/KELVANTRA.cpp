// The updater program: the window by default, or the update check without a window for
// scheduled runs (see usageText).

#include "app/CommandLine.h"
#include "app/ConsoleView.h"
#include "app/FtpConfig.h"
#include "app/MainWindow.h"
#include "app/uAtualizadorAutomatico.h"
#include "platform/Paths.h"

#include <QApplication>

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

int runCheck(app::UpdaterSettings settings) {
    app::ConsoleView view(std::cout, std::cin, /*answerYes=*/false);
    app::TfrmAtualizadorAutomatico form(view, std::move(settings));
    form.FormShow();
    switch (form.btnBuscaAtualizacaoClick()) {
    case app::CheckOutcome::UpdateDue: return kFlowCompleted;
    case app::CheckOutcome::UpToDate: return kUpToDate;
    case app::CheckOutcome::Failed: return kFlowFailed;
    }
    return kFlowFailed;
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
        case app::RunMode::Check: return runCheck(settingsFor(line));
        case app::RunMode::Install:
            std::cerr << kProgram << ": --install: " << app::kInstalacaoIndisponivel << '\n';
            return kFlowFailed;
        }
    } catch (const std::exception& e) { // before any flow runs: e.g. no path of our own
        std::cerr << kProgram << ": " << e.what() << '\n';
    }
    return kFlowFailed;
}
