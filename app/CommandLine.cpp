#include "app/CommandLine.h"

namespace app {
namespace {

void setMode(CommandLine& line, RunMode mode) {
    if (line.mode != RunMode::Window && line.mode != mode)
        throw UsageError("--check, --install and --help cannot be combined");
    line.mode = mode;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    constexpr std::string_view kConfigDir = "--config-dir";
    CommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--check") {
            setMode(line, RunMode::Check);
        } else if (arg == "--install") {
            setMode(line, RunMode::Install);
        } else if (arg == "--help" || arg == "-h") {
            setMode(line, RunMode::Help);
        } else if (arg == "--yes") {
            line.assumeYes = true;
        } else if (arg == "--open") {
            line.openAfterInstall = true;
        } else if (arg == kConfigDir) {
            if (i + 1 == args.size() || args[i + 1].empty())
                throw UsageError("--config-dir needs a folder");
            line.configDir = args[++i];
        } else if (arg.starts_with(std::string(kConfigDir) + "=")) {
            line.configDir = arg.substr(kConfigDir.size() + 1);
            if (line.configDir.empty())
                throw UsageError("--config-dir needs a folder");
        } else {
            throw UsageError("unknown option: " + arg);
        }
    }
    if ((line.assumeYes || line.openAfterInstall) && line.mode != RunMode::Install)
        throw UsageError("--yes and --open go with --install");
    return line;
}

std::string usageText(std::string_view program) {
    return "Usage: " + std::string(program) +
           " [--check | --install [--yes] [--open]] [--config-dir DIR]\n"
           "\n"
           "  (no option)       open the updater window\n"
           "  --check           run the update check without a window\n"
           "  --install         run the check, then install the update when one is due\n"
           "  --yes             with --install: do not ask for confirmation\n"
           "  --open            with --install: start the system after installing\n"
           "  --config-dir DIR  read CONFIG.ini from DIR instead of the executable's folder\n"
           "  --help            show this text\n"
           "\n"
           "Exit status: 0 when the flow reached its end (--check: an update is due;\n"
           "--install: the update was installed), 2 when the system is already up to date,\n"
           "1 otherwise.\n";
}

} // namespace app
