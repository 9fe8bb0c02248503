#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace app {

// One line of the update log without its line break: "dd/mm/yy hh:mm:ss : text", or
// nothing at all for an empty text.
std::string formatLogLine(std::string_view text, const std::tm& when);

// Appends formatLogLine(text, now) and CR LF to the UTF-8 log file at path, creating it
// when absent; a new or empty file starts with the byte-order mark. The file is opened and
// closed around the line, so other programs can read the log while the updater runs. A file
// that cannot be opened or written raises std::runtime_error.
void appendLogLine(const std::string& path, std::string_view text);

} // namespace app
