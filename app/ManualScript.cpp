#include "app/ManualScript.h"

#include "app/TextUtil.h"

#include <algorithm>

namespace app {

bool isBlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

std::vector<ScriptBlock> splitScriptBlocks(std::string_view fileBytes) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (fileBytes.starts_with(kByteOrderMark))
        fileBytes.remove_prefix(kByteOrderMark.size());

    std::vector<ScriptBlock> blocks;
    bool inBlock = false;
    int lineNumber = 0;
    for (const std::string& line : splitLines(fileBytes)) {
        ++lineNumber;
        if (isBlankLine(line)) {
            inBlock = false;
            continue;
        }
        if (!inBlock)
            blocks.push_back({lineNumber, {}});
        inBlock = true;
        blocks.back().text += line + "\r\n";
    }
    return blocks;
}

} // namespace app
