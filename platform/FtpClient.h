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
};

// Any failure of the FTP client; the message is fit to show to the operator.
class FtpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The server closed the connection in an orderly way in the middle of the work.
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
// binary transfers, IPv4, EPSV with fallback to PASV. Every transfer reports its progress.
class FtpClient {
public:
    explicit FtpClient(FtpSettings settings);
    ~FtpClient();
    FtpClient(const FtpClient&) = delete;
    FtpClient& operator=(const FtpClient&) = delete;

    const FtpSettings& settings() const;
    void setSettings(FtpSettings settings); // takes effect at the next connect

    bool connected() const;
    void connect();    // logs in; raises FtpError on any failure
    void disconnect(); // never raises

    // Working directory for the relative names given to list, size and get.
    void changeDir(const std::string& remoteDir);
    std::vector<FtpListItem> list();
    std::int64_t size(const std::string& remoteName);
    // Downloads to localPath. With overwrite false an existing local file raises; with
    // resume true an existing local file is continued. The local file is complete or, on a
    // failure, as it was before.
    void get(const std::string& remoteName, const std::string& localPath, bool overwrite,
             bool resume);

    // Progress of every transfer: begin, bytes received so far, end.
    std::function<void()> onWorkBegin;
    std::function<void(std::int64_t bytesSoFar)> onWork;
    std::function<void()> onWorkEnd;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
