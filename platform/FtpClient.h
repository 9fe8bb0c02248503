#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

struct FtpSettings {
    std::string host;
    int port = 21;
    std::string user;
    std::string password;
    // Time limits of our own, as the protocol has none: connecting, and a server that stays
    // silent, or sends less than 1 byte per second, for stallTimeoutSeconds (a hung server).
    int connectTimeoutSeconds = 30;
    int stallTimeoutSeconds = 60;
};

// Any failure of the FTP client; the message is fit to show to the operator.
class FtpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The server closed the connection in an orderly way in the middle of the work, and logging
// in again and repeating the operation once met the same.
class FtpConnectionClosedGracefully : public FtpError {
public:
    using FtpError::FtpError;
};

struct FtpListItem {
    enum class Kind { File, Directory, Link, Other };
    Kind kind = Kind::Other;
    std::string name;
    std::int64_t size = -1; // -1 when the listing does not give it
};

// A blocking FTP client keeping one control connection for the whole session: passive mode,
// binary transfers, IPv4, EPSV with fallback to PASV, no proxy. Remote paths are absolute on
// the server. When the server has dropped an idle connection, an operation logs in again and
// is repeated once, unnoticed by the caller. Every download reports its progress.
class FtpClient {
public:
    explicit FtpClient(FtpSettings settings);
    ~FtpClient();
    FtpClient(const FtpClient&) = delete;
    FtpClient& operator=(const FtpClient&) = delete;

    const FtpSettings& settings() const;
    void setSettings(FtpSettings settings); // takes effect at the next connect

    bool connected() const; // between a successful connect and disconnect
    void connect();    // logs in, ending any earlier session; raises FtpError on any failure
    void disconnect(); // never raises

    // Working directory for the relative names given to list, size and get; raises when the
    // folder does not exist.
    void changeDir(const std::string& remoteDir);
    // The working directory's entries in the server's order (an empty folder gives none).
    std::vector<FtpListItem> list();
    std::int64_t size(const std::string& remoteName);
    // Downloads to localPath. With overwrite false an existing local file raises; with
    // resume true an existing local file is continued from its size (one as long as the
    // remote file is left as it is, a longer one is downloaded anew). Otherwise the file is
    // complete or, on a failure, as it was before.
    void get(const std::string& remoteName, const std::string& localPath, bool overwrite,
             bool resume);

    // Progress of every download, also of tiny ones: begin, bytes of the local file so far
    // (at least once, with the final size, when it succeeds), end (also when it fails).
    std::function<void()> onWorkBegin;
    std::function<void(std::int64_t bytesSoFar)> onWork;
    std::function<void()> onWorkEnd;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
