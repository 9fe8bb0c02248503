#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

struct ZipEntry {
    enum class Kind { File, Folder, SymbolicLink };
    std::string name;
    std::string content; // a link's target for a symbolic link
    Kind kind = Kind::File;
};

// Writes a real archive with libzip, in the order given; files are deflated. Raises
// std::runtime_error with libzip's reason when the archive cannot be written.
void writeZip(const std::filesystem::path& path, const std::vector<ZipEntry>& entries);

} // namespace testsupport
