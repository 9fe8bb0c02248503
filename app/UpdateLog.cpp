#include "app/UpdateLog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace app {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::runtime_error fileError(const char* what, const std::string& path) {
    return std::runtime_error(std::string(what) + " \"" + path + "\". " + std::strerror(errno));
}

} // namespace

std::string formatLogLine(std::string_view text, const std::tm& when) {
    if (text.empty())
        return {};
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%d/%m/%y %H:%M:%S", &when);
    return std::string(stamp) + " : " + std::string(text);
}

void appendLogLine(const std::string& path, std::string_view text) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);

    std::string bytes = formatLogLine(text, local) + "\r\n";

    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "ab"));
    if (!file)
        throw fileError("Cannot open file", path);
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        throw fileError("Cannot write file", path);
    if (std::ftell(file.get()) == 0)
        bytes.insert(0, "\xEF\xBB\xBF");
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fclose(file.release()) != 0)
        throw fileError("Cannot write file", path);
}

} // namespace app
