// A program that ignores SIGTERM, as a hung application would: only SIGKILL ends it.
#include <csignal>

#include <unistd.h>

int main() {
    std::signal(SIGTERM, SIG_IGN);
    for (;;)
        pause();
}
