#include "app/ReleaseNotes.h"

#include "platform/Utf8.h"

namespace app {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

} // namespace

std::string decodeReleaseNotes(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom))
        bytes.remove_prefix(kUtf8Bom.size());
    if (platform::isValidUtf8(bytes))
        return std::string(bytes);
    return platform::windows1252ToUtf8(bytes);
}

} // namespace app
