#include "platform/Paths.h"

#include <filesystem>
#include <stdexcept>

namespace platform {

std::string executablePath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        throw std::runtime_error("Cannot find the running executable: " + error.message());
    return path.string();
}

std::string extractFilePath(const std::string& path) {
    const auto separator = path.rfind('/');
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

} // namespace platform
