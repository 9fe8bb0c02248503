#pragma once

#include <stdexcept>
#include <string>

namespace platform {

class ZipError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Extracts every entry of the zip archive into destDir, keeping the entries' relative paths
// ("\" counts as a folder separator too), creating subfolders and overwriting files. It is all
// or nothing: the entries are extracted into a staging folder inside destDir and moved into
// place only when every one came out whole. Raises ZipError with the reason, writing nothing,
// for a missing, truncated or corrupt archive (libzip's reason) and for an archive holding an
// entry that would land outside destDir (an absolute name, a drive letter or any ':', a ".."
// step) or a symbolic link.
void extractAll(const std::string& zipPath, const std::string& destDir);

} // namespace platform
