#include "platform/FileOps.h"

#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void fail(const std::string& src, const std::string& dst, const std::string& reason) {
    throw FileError("Cannot copy " + src + " to " + dst + ": " + reason);
}

// A temporary file beside its final place, removed unless it was renamed into that place.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& finalPath) {
        const fs::path target(finalPath);
        const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
        path_ = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
        fd_ = UniqueFd(::mkostemp(path_.data(), O_CLOEXEC));
        if (!fd_)
            path_.clear();
    }
    ~TemporaryFile() {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    explicit operator bool() const { return bool(fd_); }
    int fd() const { return fd_.get(); }
    bool close() { return fd_.close(); }
    bool renameTo(const std::string& finalPath) {
        if (::rename(path_.c_str(), finalPath.c_str()) != 0)
            return false;
        path_.clear();
        return true;
    }

private:
    std::string path_;
    UniqueFd fd_;
};

bool copyBytes(int from, int to) {
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        for (ssize_t written = 0; written < got;) {
            const ssize_t n = ::write(to, buffer + written, static_cast<size_t>(got - written));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            written += n;
        }
    }
}

// Copies src through a temporary file that is renamed over dst; the new dst gets the
// permission bits that permissionsFor returns for src's bits.
template <typename PermissionsFor>
void copyThroughTemporary(const std::string& src, const std::string& dst,
                          PermissionsFor permissionsFor) {
    const UniqueFd source(::open(src.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!source || ::fstat(source.get(), &status) != 0)
        fail(src, dst, std::strerror(errno));
    if (!S_ISREG(status.st_mode))
        fail(src, dst, "it is not a file");

    TemporaryFile copy(dst);
    if (!copy)
        fail(src, dst, std::strerror(errno));
    const mode_t permissions = permissionsFor(status.st_mode & 0777);
    if (!copyBytes(source.get(), copy.fd()) || ::fchmod(copy.fd(), permissions) != 0 ||
        ::fsync(copy.fd()) != 0 || !copy.close() || !copy.renameTo(dst))
        fail(src, dst, std::strerror(errno));
}

} // namespace

bool fileExists(const std::string& path) {
    std::error_code error;
    const auto status = fs::status(path, error);
    return fs::exists(status) && !fs::is_directory(status);
}

bool deleteFile(const std::string& path) {
    std::error_code error;
    const auto status = fs::symlink_status(path, error);
    if (!fs::exists(status))
        return true;
    if (fs::is_directory(status))
        return false;
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool forceDirectories(const std::string& path) {
    std::error_code error;
    fs::create_directories(path, error);
    return fs::is_directory(path, error);
}

void copyFile(const std::string& src, const std::string& dst) {
    copyThroughTemporary(src, dst, [](mode_t permissions) { return permissions; });
}

void replaceFile(const std::string& src, const std::string& dst) {
    struct stat old {};
    const bool replacing = ::stat(dst.c_str(), &old) == 0;
    copyThroughTemporary(src, dst, [&](mode_t permissions) {
        const mode_t base = replacing ? (old.st_mode & 0777) : permissions;
        return static_cast<mode_t>(base | ((base & 0444) >> 2)); // r gives x
    });
}

} // namespace platform
