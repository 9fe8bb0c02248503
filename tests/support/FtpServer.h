#pragma once

#include "TempDir.h"

#include <filesystem>
#include <string>

#include <sys/types.h>

namespace testsupport {

struct FtpServerOptions {
    double idleTimeoutSeconds = 0; // drop idle control connections after this long; 0: 300 s
    bool refuseEpsv = false;       // answer EPSV with 500, so clients fall back to PASV
    int throttleBytesPerSecond = 0; // 0: full speed
    int maxConnections = 0;        // more are turned away with "421"; 0: no limit
    // When a client asks for the size or the contents of a file of this name, the server
    // closes its connection and greets every later client with "421": a server going away in
    // an orderly way. Empty: never.
    std::string closeOn{};
};

// A real FTP server (tests/support/ftpserver.py, pyftpdlib) on 127.0.0.1 at a free port,
// serving its own temporary root folder read-only to one account. It runs from construction
// until stop() or destruction; the test writes the files it serves into root() at any time.
class FtpServer {
public:
    explicit FtpServer(FtpServerOptions options = {});
    ~FtpServer();
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    int port() const { return port_; }
    const std::filesystem::path& root() const { return root_; }
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }
    // What the server logged so far: one line per session opened and per command, with its
    // reply code ("... USER atualizador@kelvantra.example 331").
    std::string log() const;

    // SIGTERM, then SIGKILL when it has not ended after a grace period; waits for it.
    void stop();
    // SIGKILL at once, as in a crash; waits for it.
    void kill();
    // SIGSTOP: a hung server, whose connections stay open but answer nothing.
    void freeze();

private:
    void waitForPort();
    void end(int signal, double graceSeconds);

    TempDir dir_{"kv-ftp"};
    std::filesystem::path root_;
    std::string user_ = "atualizador@kelvantra.example";
    std::string password_ = "Kv#2026senha";
    pid_t pid_ = -1;
    int port_ = 0;
};

} // namespace testsupport
