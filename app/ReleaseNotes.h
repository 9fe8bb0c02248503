#pragma once

#include <string>
#include <string_view>

namespace app {

// The text of a release-notes file as UTF-8. The files are meant to be UTF-8; a leading
// byte-order mark is dropped, and a file that is not valid UTF-8 is read as Windows-1252,
// the code page such files are saved in by Portuguese Windows editors.
std::string decodeReleaseNotes(std::string_view bytes);

} // namespace app
