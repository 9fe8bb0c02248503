#include "FtpServer.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace testsupport {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto startLimit = std::chrono::seconds(15);
constexpr auto pollInterval = std::chrono::milliseconds(20);

std::string formatSeconds(double seconds) {
    std::ostringstream out;
    out << seconds;
    return out.str();
}

} // namespace

FtpServer::FtpServer(FtpServerOptions options) : root_(dir_.path() / "root") {
    std::filesystem::create_directories(root_);
    std::vector<std::string> args = {"/usr/bin/python3", KV_FTP_SERVER_SCRIPT,
                                     root_.string(), (dir_ / "port").string(), user_, password_};
    if (options.idleTimeoutSeconds > 0)
        args.insert(args.end(), {"--idle-timeout", formatSeconds(options.idleTimeoutSeconds)});
    if (options.refuseEpsv)
        args.push_back("--no-epsv");
    if (options.throttleBytesPerSecond > 0)
        args.insert(args.end(), {"--throttle", std::to_string(options.throttleBytesPerSecond)});
    if (options.maxConnections > 0)
        args.insert(args.end(), {"--max-connections", std::to_string(options.maxConnections)});
    if (!options.closeOn.empty())
        args.insert(args.end(), {"--close-on", options.closeOn});

    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string logPath = (dir_ / "server.log").string();
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    const int error = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error(std::string("cannot start the FTP server: ") + std::strerror(error));
    try {
        waitForPort();
    } catch (...) {
        kill();
        throw;
    }
}

FtpServer::~FtpServer() { stop(); }

void FtpServer::waitForPort() {
    const auto portFile = dir_ / "port";
    const auto deadline = Clock::now() + startLimit;
    while (!std::filesystem::exists(portFile)) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("the FTP server ended at start:\n" + log());
        }
        if (Clock::now() > deadline)
            throw std::runtime_error("the FTP server did not start in time:\n" + log());
        std::this_thread::sleep_for(pollInterval);
    }
    std::ifstream(portFile) >> port_;
    if (port_ <= 0)
        throw std::runtime_error("the FTP server wrote no port");
}

std::string FtpServer::log() const {
    std::ifstream in(dir_ / "server.log", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void FtpServer::stop() { end(SIGTERM, 3.0); }

void FtpServer::kill() { end(SIGKILL, 0.0); }

void FtpServer::freeze() {
    if (pid_ > 0)
        ::kill(pid_, SIGSTOP);
}

void FtpServer::end(int signal, double graceSeconds) {
    if (pid_ <= 0)
        return;
    ::kill(pid_, signal);
    ::kill(pid_, SIGCONT); // a frozen server handles the signal only when it runs again
    const auto deadline = Clock::now() + std::chrono::duration<double>(graceSeconds);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(pollInterval);
    }
    pid_ = -1;
}

} // namespace testsupport
