#pragma once

#include <stdexcept>
#include <string>

namespace platform {

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Whether path names a file (a folder is not one).
bool fileExists(const std::string& path);
// Removes the file at path if there is one; false when one is there and stays (a folder is
// never removed).
bool deleteFile(const std::string& path);
// Creates the folder with any missing parents; whether the folder exists afterwards.
bool forceDirectories(const std::string& path);

// Copies src over dst, keeping src's permission bits. The copy is written to a temporary file
// beside dst and renamed over it once complete, so dst is never half-written. Raises
// FileError with the reason.
void copyFile(const std::string& src, const std::string& dst);
// The same for an executable: the new dst keeps the permission bits of the old one (src's
// when there was none) and may be executed wherever it may be read. Replacing the file of a
// running program is fine: the program keeps running its old copy.
void replaceFile(const std::string& src, const std::string& dst);

} // namespace platform
