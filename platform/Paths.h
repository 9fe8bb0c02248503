#pragma once

#include <string>

namespace platform {

// Full path of the running executable; raises std::runtime_error when the system cannot tell.
std::string executablePath();
// Folder part of a path including its trailing separator ("/opt/app/" for "/opt/app/x"),
// or an empty text when the path has no folder.
std::string extractFilePath(const std::string& path);

} // namespace platform
