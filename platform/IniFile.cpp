#include "platform/IniFile.h"

#include "platform/AsciiText.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>

namespace platform {
namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// A value wholly enclosed in a matching pair of single or double quotes loses the quotes,
// as the Windows reader does.
std::string_view withoutEnclosingQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The next line of text, ended by CR LF, LF or CR; text is advanced past its end.
std::string_view takeLine(std::string_view& text) {
    const auto end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) {
        const auto line = text;
        text = {};
        return line;
    }
    const auto line = text.substr(0, end);
    const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    text.remove_prefix(end + (crlf ? 2 : 1));
    return line;
}

} // namespace

IniFile IniFile::parse(std::string_view text) {
    IniFile ini;
    if (text.starts_with(byteOrderMark))
        text.remove_prefix(byteOrderMark.size());

    std::optional<std::string> section; // none until the first header: such keys are ignored
    while (!text.empty()) {
        const auto line = trimBlanks(takeLine(text));
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const auto close = line.rfind(']');
            if (close != std::string_view::npos)
                section = std::string(trimBlanks(line.substr(1, close - 1)));
            continue;
        }
        const auto equals = line.find('=');
        if (!section || equals == std::string_view::npos)
            continue;
        const auto key = trimBlanks(line.substr(0, equals));
        if (key.empty())
            continue;
        const auto value = withoutEnclosingQuotes(trimBlanks(line.substr(equals + 1)));
        ini.entries_.push_back({*section, std::string(key), std::string(value)});
    }
    return ini;
}

IniFile IniFile::load(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error)
        return {};
    const auto size = std::filesystem::file_size(path, error); // fails for a folder too
    std::ifstream in(path, std::ios::binary);
    std::string text(error ? 0 : size, '\0');
    if (error || !in.read(text.data(), static_cast<std::streamsize>(text.size())))
        throw std::runtime_error("Cannot read the INI file " + path +
                                 (error ? ": " + error.message() : std::string()));
    return parse(text);
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    for (const auto& entry : entries_) {
        if (equalsIgnoringAsciiCase(entry.section, section) &&
            equalsIgnoringAsciiCase(entry.key, key))
            return entry.value;
    }
    return std::string(defaultValue);
}

} // namespace platform
