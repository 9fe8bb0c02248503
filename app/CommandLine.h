#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace app {

enum class RunMode {
    Window,  // no option: the window
    Check,   // --check: the update check without a window
    Install, // --install: the check, then the installation when an update is due
    Help,    // --help
};

struct CommandLine {
    RunMode mode = RunMode::Window;
    bool assumeYes = false;        // --yes: answer the installation's confirmation with Yes
    bool openAfterInstall = false; // --open: start the system after a successful installation
    std::string configDir; // --config-dir DIR: CONFIG.ini from DIR; empty: beside the executable
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The program's arguments, without the program name. Raises UsageError for an unknown option,
// a missing value, or options that do not go together.
CommandLine parseCommandLine(const std::vector<std::string>& args);

std::string usageText(std::string_view program);

} // namespace app
