#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace app {

// One statement of a manual script: a run of consecutive non-blank lines.
struct ScriptBlock {
    int firstLine = 0; // 1-based line number of its first line in the file
    std::string text;  // its lines as written, each followed by CR LF
};

// A line is blank when nothing is left after removing the blanks and control characters
// (every byte up to the space) at both ends.
bool isBlankLine(std::string_view line);

// The statements of a manual script file (SCRIPT.txt): UTF-8 with an optional byte-order mark,
// lines ended by CR LF, LF or CR, statements separated by one or more blank lines. Nothing in
// a block is trimmed, and no terminator is recognised: a block is sent to the server as it is.
std::vector<ScriptBlock> splitScriptBlocks(std::string_view fileBytes);

} // namespace app
