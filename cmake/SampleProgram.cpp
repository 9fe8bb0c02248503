// A stand-in for the application's client and server executables: it runs until it receives
// SIGTERM (or SIGINT at a terminal) and then exits with status 0. The build gives each copy a
// version note, so the updater reads a version from it as it would from the real executables.
#include <csignal>

int main() {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    // Waiting with the signals blocked is race-free; the defaults undo an "ignore" inherited
    // from the parent.
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    int received = 0;
    sigwait(&stopSignals, &received);
    return 0;
}
