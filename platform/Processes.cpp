#include "platform/Processes.h"

#include "platform/AsciiText.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include <spawn.h>
#include <unistd.h>

extern char** environ;

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto pollInterval = std::chrono::milliseconds(20);
constexpr auto killLimit = std::chrono::seconds(5); // SIGKILL can take a moment to land

// A process as /proc shows it; its start time tells it apart from a later process that gets
// the same id.
struct ProcessIdentity {
    pid_t pid;
    unsigned long long startTime;
};

struct ProcessState {
    char state;
    unsigned long long startTime;
};

// From /proc/PID/stat: "pid (name) state ..." with the start time as the 22nd field. The name
// may hold blanks and parentheses, so the fields are counted from the last ')'.
std::optional<ProcessState> readState(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line))
        return std::nullopt;
    const auto close = line.rfind(')');
    if (close == std::string::npos)
        return std::nullopt;
    std::istringstream fields(line.substr(close + 1));
    ProcessState result{};
    fields >> result.state;
    std::string skipped;
    for (int field = 4; field < 22 && fields >> skipped; ++field) {
    }
    if (!(fields >> result.startTime))
        return std::nullopt;
    return result;
}

// Still running: not gone, and not a zombie waiting for its parent (a zombie holds no files).
bool running(const ProcessIdentity& process) {
    const auto state = readState(process.pid);
    return state && state->startTime == process.startTime && state->state != 'Z' &&
           state->state != 'X';
}

// The executable's file name, "" when it cannot be seen (another user's process, a kernel
// thread, a zombie). A replaced or deleted executable shows as "name (deleted)".
std::string executableName(pid_t pid) {
    std::error_code error;
    auto target = std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", error).string();
    if (error)
        return {};
    constexpr std::string_view deleted = " (deleted)";
    if (target.ends_with(deleted))
        target.resize(target.size() - deleted.size());
    return std::filesystem::path(target).filename().string();
}

std::vector<ProcessIdentity> findByName(const std::string& exeFileName) {
    std::vector<ProcessIdentity> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const auto name = entry.path().filename().string();
        pid_t pid = 0;
        const auto [end, parseError] = std::from_chars(name.data(), name.data() + name.size(), pid);
        if (parseError != std::errc() || end != name.data() + name.size())
            continue; // not a process folder
        if (pid == ::getpid())
            continue;
        const auto executable = executableName(pid);
        if (executable.empty() || !equalsIgnoringAsciiCase(executable, exeFileName))
            continue;
        if (const auto state = readState(pid))
            found.push_back({pid, state->startTime});
    }
    return found;
}

// Waits until none of the processes runs or the deadline passes; returns those still running.
std::vector<ProcessIdentity> waitUntilEnded(std::vector<ProcessIdentity> processes,
                                            Clock::time_point deadline) {
    for (;;) {
        std::erase_if(processes, [](const auto& process) { return !running(process); });
        if (processes.empty() || Clock::now() >= deadline)
            return processes;
        std::this_thread::sleep_for(pollInterval);
    }
}

// Sends the signal to those still running and keeps only the ones it reached.
void signalAll(std::vector<ProcessIdentity>& processes, int signal) {
    std::erase_if(processes, [signal](const auto& process) {
        return !running(process) || ::kill(process.pid, signal) != 0;
    });
}

} // namespace

int terminateProcessesByName(const std::string& exeFileName, std::chrono::milliseconds grace) {
    auto processes = findByName(exeFileName);
    signalAll(processes, SIGTERM);
    const auto asked = processes.size();
    auto stubborn = waitUntilEnded(processes, Clock::now() + grace);
    signalAll(stubborn, SIGKILL);
    const auto left = waitUntilEnded(stubborn, Clock::now() + killLimit);
    return static_cast<int>(asked - left.size());
}

int startProcess(const std::string& path) {
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // The started program owes the updater nothing: its own session, no blocked or ignored
    // signals inherited.
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

    std::string program = path;
    char* argv[] = {program.data(), nullptr};
    pid_t pid = -1;
    const int error = posix_spawn(&pid, path.c_str(), &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0)
        throw ProcessError("Cannot start " + path + ": " + std::strerror(error));
    return pid;
}

void sleepMilliseconds(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace platform
