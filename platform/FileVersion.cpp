#include "platform/FileVersion.h"

#include "platform/ExecutableVersion.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>

namespace platform {
namespace {

using detail::ByteReader;
using detail::ByteSource;

class FileSource final : public ByteSource {
public:
    FileSource(UniqueFd fd, std::uint64_t size) : fd_(std::move(fd)), size_(size) {}

    std::uint64_t size() const override { return size_; }
    bool readAt(std::uint64_t offset, void* out, std::size_t count) const override {
        if (offset > size_ || count > size_ - offset)
            return false;
        auto* bytes = static_cast<char*>(out);
        while (count > 0) {
            const ssize_t got = ::pread(fd_.get(), bytes, count, static_cast<off_t>(offset));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            bytes += got;
            offset += static_cast<std::uint64_t>(got);
            count -= static_cast<std::size_t>(got);
        }
        return true;
    }

private:
    UniqueFd fd_;
    std::uint64_t size_;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}

    std::uint64_t size() const override { return bytes_.size(); }
    bool readAt(std::uint64_t offset, void* out, std::size_t count) const override {
        if (offset > bytes_.size() || count > bytes_.size() - offset)
            return false;
        std::memcpy(out, bytes_.data() + offset, count);
        return true;
    }

private:
    std::string_view bytes_;
};

std::string versionOf(const ByteSource& source) {
    const ByteReader image(source);
    try {
        if (image.size() >= 2 && image.bytes(0, 2) == "MZ")
            return detail::peFileVersion(image);
        if (image.size() >= 4 && image.bytes(0, 4) == "\x7F" "ELF")
            return detail::elfFileVersion(image);
    } catch (const detail::MalformedData&) {
        // A damaged or truncated image has no version we can trust.
    }
    return {};
}

} // namespace

std::string readFileVersion(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!fd || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return {};
    return versionOf(FileSource(std::move(fd), static_cast<std::uint64_t>(status.st_size)));
}

std::string fileVersionFromBytes(std::string_view image) { return versionOf(MemorySource(image)); }

} // namespace platform
