#include "app/TextUtil.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace app {

std::string lowerCaseAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

std::string removeAll(std::string_view text, char unwanted) {
    std::string result;
    std::copy_if(text.begin(), text.end(), std::back_inserter(result),
                 [unwanted](char c) { return c != unwanted; });
    return result;
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const auto end = text.find_first_of("\r\n");
        lines.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
    return lines;
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("Cannot open file \"" + path + "\"");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string crToLineBreaks(std::string_view text) {
    std::string result(text);
    std::replace(result.begin(), result.end(), '\r', '\n');
    return result;
}

} // namespace app
