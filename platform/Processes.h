#pragma once

#include <chrono>
#include <stdexcept>
#include <string>

namespace platform {

class ProcessError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Ends every process whose executable's file name (without folder) equals exeFileName,
// ignoring the case of ASCII letters, except the calling process; processes this user may not
// signal are skipped. They are asked to end (SIGTERM); those still running after the grace
// period are ended by force (SIGKILL) and waited for, so their executable files can then be
// replaced. A process that has ended but not yet been reaped by its parent counts as ended.
// Returns how many ended.
int terminateProcessesByName(const std::string& exeFileName,
                             std::chrono::milliseconds grace = std::chrono::seconds(3));

// Starts the executable at path: the path itself is the program and its only argument (no
// shell, no word splitting), in a session of its own, with the caller's environment and
// current folder and no other open files. Returns the process id; raises ProcessError with
// the reason when it cannot be started.
int startProcess(const std::string& path);

void sleepMilliseconds(int milliseconds);

} // namespace platform
