// The FTP client over libcurl. One easy handle and its connection cache live for the whole
// session: curl_easy_reset before each operation clears the options but keeps the live control
// connection, so the check and the installation that follows it share one login.
#include "platform/FtpClient.h"

#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <functional>
#include <string_view>

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {
namespace {

// One easy handle and the multi handle that drives it. Requests go through the multi
// interface, whose connection cache keeps the control connection between requests, rather
// than curl_easy_perform: with that, libcurl 7.88 often starts the passive data connection of
// a request in the same folder as the previous one only after its one-second poll timeout.
class CurlSession {
public:
    CurlSession() {
        static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
        multi_ = initialised ? curl_multi_init() : nullptr;
        easy_ = multi_ ? curl_easy_init() : nullptr;
        if (!easy_) {
            release();
            throw FtpError("Cannot start the FTP client (libcurl did not initialise)");
        }
    }
    ~CurlSession() { release(); } // closes the connection with QUIT
    CurlSession(const CurlSession&) = delete;
    CurlSession& operator=(const CurlSession&) = delete;

    CURL* easy() const { return easy_; }

    CURLcode perform() {
        check(curl_multi_add_handle(multi_, easy_));
        try {
            for (int running = 1; running;) {
                check(curl_multi_perform(multi_, &running));
                if (running)
                    check(curl_multi_poll(multi_, nullptr, 0, pollMilliseconds, nullptr));
            }
        } catch (...) {
            curl_multi_remove_handle(multi_, easy_);
            throw;
        }
        CURLcode result = CURLE_OK;
        int queued = 0;
        while (const CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy_)
                result = message->data.result;
        }
        check(curl_multi_remove_handle(multi_, easy_));
        return result;
    }

private:
    static constexpr int pollMilliseconds = 50;

    static void check(CURLMcode code) {
        if (code != CURLM_OK)
            throw FtpError(std::string("FTP client failure: ") + curl_multi_strerror(code));
    }

    void release() {
        if (multi_)
            curl_multi_cleanup(multi_);
        if (easy_)
            curl_easy_cleanup(easy_);
        multi_ = nullptr;
        easy_ = nullptr;
    }

    CURLM* multi_ = nullptr;
    CURL* easy_ = nullptr;
};

template <typename Value>
void setOption(CURL* handle, CURLoption option, Value value) {
    const CURLcode code = curl_easy_setopt(handle, option, value);
    if (code != CURLE_OK)
        throw FtpError(std::string("Cannot set up the FTP request: ") + curl_easy_strerror(code));
}

std::vector<std::string> pathSegments(std::string_view path) {
    std::vector<std::string> segments;
    while (!path.empty()) {
        const auto slash = path.find('/');
        const auto segment = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        if (segment.empty() || segment == ".")
            continue;
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
            continue;
        }
        segments.emplace_back(segment);
    }
    return segments;
}

// The absolute remote path of name: absolute names stand alone, others are taken in folder.
std::string absoluteRemotePath(const std::string& folder, const std::string& name) {
    auto segments = pathSegments(name.starts_with('/') ? name : folder + "/" + name);
    std::string path;
    for (const auto& segment : segments)
        path += "/" + segment;
    return path.empty() ? "/" : path;
}

FtpListItem::Kind itemKind(curlfiletype type) {
    switch (type) {
    case CURLFILETYPE_FILE:
        return FtpListItem::Kind::File;
    case CURLFILETYPE_DIRECTORY:
        return FtpListItem::Kind::Directory;
    case CURLFILETYPE_SYMLINK:
        return FtpListItem::Kind::Link;
    default:
        return FtpListItem::Kind::Other;
    }
}

size_t discardBody(char*, size_t size, size_t count, void*) { return size * count; }

// What one request came to.
struct Outcome {
    CURLcode code = CURLE_OK;
    long responseCode = 0;
    long osErrno = 0;
    std::string message;

    bool ok() const { return code == CURLE_OK; }

    // The server ended the control connection in an orderly way, found by experiment with
    // pyftpdlib and libcurl 7.88: when it announced the close with "421" (its idle time-out,
    // or "421 Too many connections"), curl takes that 421 as the reply to its next command and
    // reports CURLE_OPERATION_TIMEDOUT at once; when it closed without a word, curl reports
    // CURLE_RECV_ERROR ("response reading failed") with no socket error. A connection reset
    // is a receive error too, but with ECONNRESET: not orderly. A transfer cut short on the
    // data connection is CURLE_PARTIAL_FILE, reported as it is.
    bool closedByServer() const {
        return (code == CURLE_OPERATION_TIMEDOUT && responseCode == 421) ||
               (code == CURLE_RECV_ERROR && osErrno == 0);
    }
};

// The local file a download writes, with what the progress events need.
struct Download {
    UniqueFd file;
    std::string path;
    std::int64_t offset = 0;   // bytes already there when resuming
    std::int64_t received = 0; // bytes written by this request
    std::int64_t reported = -1;
    int writeErrno = 0;
    std::function<void(std::int64_t)>* onWork = nullptr;
    std::exception_ptr callbackError;

    // During the transfer only news is reported; at its end the final size always is.
    void report(bool final) {
        const std::int64_t soFar = offset + received;
        if (soFar == reported || (!final && received == 0) || !*onWork)
            return;
        reported = soFar;
        (*onWork)(soFar);
    }
};

size_t writeToDownload(char* data, size_t size, size_t count, void* context) {
    auto& download = *static_cast<Download*>(context);
    const size_t total = size * count;
    for (size_t written = 0; written < total;) {
        const ssize_t n = ::write(download.file.get(), data + written, total - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            download.writeErrno = n < 0 ? errno : EIO;
            return 0; // curl ends the transfer with CURLE_WRITE_ERROR
        }
        written += static_cast<size_t>(n);
    }
    download.received += static_cast<std::int64_t>(total);
    return total;
}

int reportDownloadProgress(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto& download = *static_cast<Download*>(context);
    try {
        download.report(false);
        return 0;
    } catch (...) {
        download.callbackError = std::current_exception();
        return 1; // aborts the transfer; the error is raised once curl returns
    }
}

long keepListItem(const void* info, void* context, int) {
    const auto& file = *static_cast<const curl_fileinfo*>(info);
    auto& items = *static_cast<std::vector<FtpListItem>*>(context);
    const bool sizeKnown = (file.flags & CURLFINFOFLAG_KNOWN_SIZE) != 0;
    items.push_back({itemKind(file.filetype), file.filename ? file.filename : "",
                     sizeKnown ? static_cast<std::int64_t>(file.size) : -1});
    return CURL_CHUNK_BGN_FUNC_SKIP; // the listing is all we want, not the files' contents
}

// Keeps the last line the server sent, for messages.
int keepLastReply(CURL*, curl_infotype type, char* data, size_t size, void* context) {
    if (type != CURLINFO_HEADER_IN)
        return 0;
    std::string_view line(data, size);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    if (!line.empty())
        *static_cast<std::string*>(context) = line;
    return 0;
}

} // namespace

struct FtpClient::Impl {
    Impl(FtpClient& client, FtpSettings configured)
        : owner(client), settings(std::move(configured)) {}

    FtpClient& owner;
    FtpSettings settings; // as configured; the session copies them at connect
    FtpSettings session;
    std::unique_ptr<CurlSession> curl;
    std::string workingDir = "/";
    char errorBuffer[CURL_ERROR_SIZE] = {};
    std::string lastReply;

    void requireConnected() const {
        if (!curl)
            throw FtpError("Not connected to the FTP server");
    }

    // ftp://host:port/%2F<segments>: "%2F" makes the path absolute on the server, not relative
    // to the account's home folder; each segment is escaped, so names with blanks or '#' work.
    std::string url(const std::string& absolutePath, bool folder) const {
        std::string text = "ftp://" + session.host + ":" + std::to_string(session.port) + "/%2F";
        const auto segments = pathSegments(absolutePath);
        for (size_t i = 0; i < segments.size(); ++i) {
            char* escaped = curl_easy_escape(curl->easy(), segments[i].data(),
                                             static_cast<int>(segments[i].size()));
            if (!escaped)
                throw FtpError("Cannot build the address of " + absolutePath);
            text += (i == 0 ? "" : "/") + std::string(escaped);
            curl_free(escaped);
        }
        return folder ? text + "/" : text;
    }

    // Clears the previous request and sets what every request has.
    void prepare(const std::string& requestUrl) {
        CURL* h = curl->easy();
        curl_easy_reset(h);
        errorBuffer[0] = '\0';
        lastReply.clear();
        setOption(h, CURLOPT_URL, requestUrl.c_str());
        setOption(h, CURLOPT_USERNAME, session.user.c_str());
        setOption(h, CURLOPT_PASSWORD, session.password.c_str());
        setOption(h, CURLOPT_ERRORBUFFER, errorBuffer);
        setOption(h, CURLOPT_NOSIGNAL, 1L);
        setOption(h, CURLOPT_IPRESOLVE, static_cast<long>(CURL_IPRESOLVE_V4));
        setOption(h, CURLOPT_PROXY, "");             // never a proxy from the environment
        setOption(h, CURLOPT_FTP_USE_EPSV, 1L);      // passive: EPSV first, then PASV
        setOption(h, CURLOPT_TRANSFERTEXT, 0L);      // TYPE I
        setOption(h, CURLOPT_CONNECTTIMEOUT, static_cast<long>(session.connectTimeoutSeconds));
        setOption(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(session.stallTimeoutSeconds));
        setOption(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
        setOption(h, CURLOPT_LOW_SPEED_TIME, static_cast<long>(session.stallTimeoutSeconds));
        setOption(h, CURLOPT_WRITEFUNCTION, discardBody);
        setOption(h, CURLOPT_VERBOSE, 1L); // feeds keepLastReply; nothing is printed
        setOption(h, CURLOPT_DEBUGFUNCTION, keepLastReply);
        setOption(h, CURLOPT_DEBUGDATA, &lastReply);
    }

    Outcome performOnce(const std::function<void()>& setUp) {
        setUp();
        Outcome outcome;
        outcome.code = curl->perform();
        curl_easy_getinfo(curl->easy(), CURLINFO_RESPONSE_CODE, &outcome.responseCode);
        curl_easy_getinfo(curl->easy(), CURLINFO_OS_ERRNO, &outcome.osErrno);
        outcome.message = describe(outcome);
        return outcome;
    }

    // Performs the request that setUp prepares. When the server had closed the connection in
    // an orderly way (typically an idle control connection dropped while the operator read
    // the release notes), curl has dropped it too, and one more try logs in afresh.
    Outcome perform(const std::function<void()>& setUp) {
        Outcome outcome = performOnce(setUp);
        if (outcome.closedByServer())
            outcome = performOnce(setUp);
        return outcome;
    }

    std::string describe(const Outcome& outcome) const {
        std::string text = outcome.closedByServer() ? "The server closed the connection"
                           : errorBuffer[0]         ? errorBuffer
                                                    : curl_easy_strerror(outcome.code);
        const bool failureReply = !lastReply.empty() && (lastReply[0] == '4' || lastReply[0] == '5');
        if (failureReply && text.find(lastReply) == std::string::npos)
            text += " (" + lastReply + ")";
        return text;
    }

    [[noreturn]] static void raise(const std::string& what, const Outcome& outcome) {
        const std::string message = what + ": " + outcome.message;
        if (outcome.closedByServer())
            throw FtpConnectionClosedGracefully(message);
        throw FtpError(message);
    }

    // Fires onWorkBegin, runs work, and fires onWorkEnd also when work fails.
    void withWorkEvents(const std::function<void()>& work) {
        if (owner.onWorkBegin)
            owner.onWorkBegin();
        try {
            work();
        } catch (...) {
            if (owner.onWorkEnd)
                owner.onWorkEnd();
            throw;
        }
        if (owner.onWorkEnd)
            owner.onWorkEnd();
    }

    // Performs the download of remotePath into download.file, from download.offset on.
    Outcome transfer(const std::string& remotePath, Download& download,
                     const std::function<UniqueFd()>& openFile) {
        download.onWork = &owner.onWork;
        return perform([&] {
            download.file = openFile();
            struct stat status {};
            if (::fstat(download.file.get(), &status) != 0)
                throw FtpError("Cannot read " + download.path + ": " + std::strerror(errno));
            download.offset = status.st_size;
            download.received = 0;
            download.writeErrno = 0;
            prepare(url(remotePath, false));
            CURL* h = curl->easy();
            setOption(h, CURLOPT_WRITEFUNCTION, writeToDownload);
            setOption(h, CURLOPT_WRITEDATA, &download);
            setOption(h, CURLOPT_NOPROGRESS, 0L);
            setOption(h, CURLOPT_XFERINFOFUNCTION, reportDownloadProgress);
            setOption(h, CURLOPT_XFERINFODATA, &download);
            setOption(h, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(download.offset));
        });
    }

    void finishDownload(const std::string& remotePath, Download& download, const Outcome& outcome) {
        if (download.callbackError)
            std::rethrow_exception(download.callbackError);
        if (outcome.code == CURLE_WRITE_ERROR && download.writeErrno != 0)
            throw FtpError("Cannot download " + remotePath + ": cannot write " + download.path +
                           ": " + std::strerror(download.writeErrno));
        if (!outcome.ok())
            raise("Cannot download " + remotePath, outcome);
        download.report(true); // a tiny file may be done before curl reports any progress
    }

    // Continues the local file from its size; false when it cannot be continued because it
    // is longer than the remote file (then it is not a part of it and is downloaded anew).
    bool resumeDownload(const std::string& remotePath, const std::string& localPath) {
        Download download;
        download.path = localPath;
        const Outcome outcome = transfer(remotePath, download, [&] {
            UniqueFd fd(::open(localPath.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
            if (!fd)
                throw FtpError("Cannot open " + localPath + ": " + std::strerror(errno));
            return fd;
        });
        if (outcome.code == CURLE_BAD_DOWNLOAD_RESUME && !download.callbackError)
            return false;
        finishDownload(remotePath, download, outcome);
        return true;
    }

    // Downloads into localPath + ".part" and renames it over localPath only when complete,
    // so a failed download leaves an earlier local file as it was.
    void downloadWhole(const std::string& remotePath, const std::string& localPath) {
        Download download;
        download.path = localPath + ".part";
        try {
            const Outcome outcome = transfer(remotePath, download, [&] {
                UniqueFd fd(::open(download.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
                if (!fd)
                    throw FtpError("Cannot create " + download.path + ": " + std::strerror(errno));
                return fd;
            });
            finishDownload(remotePath, download, outcome);
            if (::fsync(download.file.get()) != 0 || !download.file.close())
                throw FtpError("Cannot download " + remotePath + ": cannot write " +
                               download.path + ": " + std::strerror(errno));
            std::filesystem::rename(download.path, localPath);
        } catch (const std::filesystem::filesystem_error& error) {
            download.file.reset();
            ::unlink(download.path.c_str());
            throw FtpError("Cannot download " + remotePath + ": " + error.what());
        } catch (...) {
            download.file.reset();
            ::unlink(download.path.c_str());
            throw;
        }
    }
};

FtpClient::FtpClient(FtpSettings settings)
    : impl_(std::make_unique<Impl>(*this, std::move(settings))) {}

FtpClient::~FtpClient() = default;

const FtpSettings& FtpClient::settings() const { return impl_->settings; }

void FtpClient::setSettings(FtpSettings settings) { impl_->settings = std::move(settings); }

bool FtpClient::connected() const { return impl_->curl != nullptr; }

void FtpClient::connect() {
    disconnect();
    impl_->session = impl_->settings;
    impl_->curl = std::make_unique<CurlSession>();
    impl_->workingDir = "/";
    Outcome outcome;
    try {
        outcome = impl_->perform([this] {
            impl_->prepare(impl_->url("/", true));
            setOption(impl_->curl->easy(), CURLOPT_NOBODY, 1L); // log in, nothing more
        });
    } catch (...) {
        impl_->curl.reset();
        throw;
    }
    if (!outcome.ok()) {
        impl_->curl.reset();
        Impl::raise("Cannot connect to " + impl_->session.host + ":" +
                        std::to_string(impl_->session.port),
                    outcome);
    }
}

void FtpClient::disconnect() { impl_->curl.reset(); } // sends QUIT on a live connection

void FtpClient::changeDir(const std::string& remoteDir) {
    impl_->requireConnected();
    const auto target = absoluteRemotePath(impl_->workingDir, remoteDir);
    const Outcome outcome = impl_->perform([&] {
        impl_->prepare(impl_->url(target, true));
        setOption(impl_->curl->easy(), CURLOPT_NOBODY, 1L); // only the CWD commands
    });
    if (!outcome.ok())
        Impl::raise("Cannot change to the folder " + target, outcome);
    impl_->workingDir = target;
}

std::vector<FtpListItem> FtpClient::list() {
    impl_->requireConnected();
    std::vector<FtpListItem> items;
    const Outcome outcome = impl_->perform([&] {
        items.clear();
        impl_->prepare(impl_->url(impl_->workingDir, true) + "*");
        CURL* h = impl_->curl->easy();
        setOption(h, CURLOPT_WILDCARDMATCH, 1L);
        setOption(h, CURLOPT_CHUNK_BGN_FUNCTION, keepListItem);
        setOption(h, CURLOPT_CHUNK_DATA, &items);
    });
    // With wildcard matching an empty folder reads as "nothing matched".
    if (outcome.code == CURLE_REMOTE_FILE_NOT_FOUND && items.empty())
        return {};
    if (!outcome.ok())
        Impl::raise("Cannot list the folder " + impl_->workingDir, outcome);
    return items;
}

std::int64_t FtpClient::size(const std::string& remoteName) {
    impl_->requireConnected();
    const auto path = absoluteRemotePath(impl_->workingDir, remoteName);
    const Outcome outcome = impl_->perform([&] {
        impl_->prepare(impl_->url(path, false));
        setOption(impl_->curl->easy(), CURLOPT_NOBODY, 1L); // SIZE without RETR
    });
    if (!outcome.ok())
        Impl::raise("Cannot get the size of " + path, outcome);
    curl_off_t size = -1;
    curl_easy_getinfo(impl_->curl->easy(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
    if (size < 0)
        throw FtpError("Cannot get the size of " + path + ": the server did not tell it");
    return size;
}

void FtpClient::get(const std::string& remoteName, const std::string& localPath, bool overwrite,
                    bool resume) {
    impl_->requireConnected();
    const auto path = absoluteRemotePath(impl_->workingDir, remoteName);
    std::error_code error;
    const bool localExists = std::filesystem::exists(localPath, error);
    if (localExists && !overwrite && !resume)
        throw FtpError("Cannot download " + path + ": " + localPath + " already exists");
    const auto localSize = localExists ? std::filesystem::file_size(localPath, error) : 0;
    const bool continues = resume && !error && localSize > 0;
    impl_->withWorkEvents([&] {
        if (!continues || !impl_->resumeDownload(path, localPath))
            impl_->downloadWhole(path, localPath);
    });
}

} // namespace platform
