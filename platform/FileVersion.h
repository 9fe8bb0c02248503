#pragma once

#include <string>
#include <string_view>

namespace platform {

// The file version held in an executable's version information, as "a.b.c.d", or an empty
// text when the file has none, is missing, or is damaged. Reads Windows PE files (PE32 and
// PE32+) by parsing them, on any system, and native ELF executables through the version
// note that this project's build writes into its own binaries (cmake/VersionNote.cmake).
std::string readFileVersion(const std::string& path);

// The same for an executable image already in memory.
std::string fileVersionFromBytes(std::string_view image);

} // namespace platform
