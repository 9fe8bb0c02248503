#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace app {

// Only the ASCII letters A to Z change; every other byte, UTF-8 included, stays.
std::string lowerCaseAscii(std::string_view text);

std::string removeAll(std::string_view text, char unwanted);

// Lines ended by CR LF, LF or CR; a break at the very end does not start another line.
std::vector<std::string> splitLines(std::string_view text);

// The bytes of a whole file; raises std::runtime_error when it cannot be opened.
std::string readWholeFile(const std::string& path);

// Message texts break their lines with "\r"; every view shows each one as a line break.
std::string crToLineBreaks(std::string_view text);

} // namespace app
