#include "ZipWriter.h"

#include <stdexcept>
#include <sys/stat.h>
#include <zip.h>

namespace testsupport {

void writeZip(const std::filesystem::path& path, const std::vector<ZipEntry>& entries) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        throw std::runtime_error("cannot create " + path.string() + ": libzip error " +
                                 std::to_string(error));
    const auto fail = [&](const std::string& what) {
        const std::string reason = zip_strerror(archive);
        zip_discard(archive);
        throw std::runtime_error(what + ": " + reason);
    };
    for (const auto& entry : entries) {
        if (entry.kind == ZipEntry::Kind::Folder) {
            if (zip_dir_add(archive, entry.name.c_str(), ZIP_FL_ENC_UTF_8) < 0)
                fail("cannot add folder " + entry.name);
            continue;
        }
        // libzip reads the bytes at zip_close, while entries still holds them. A zero-length
        // buffer must be given as none, or libzip leaks it.
        zip_source_t* source =
            entry.content.empty()
                ? zip_source_buffer(archive, nullptr, 0, 0)
                : zip_source_buffer(archive, entry.content.data(), entry.content.size(), 0);
        const zip_int64_t index =
            zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            fail("cannot add " + entry.name);
        }
        if (entry.kind == ZipEntry::Kind::SymbolicLink)
            zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0,
                                             ZIP_OPSYS_UNIX, (S_IFLNK | 0777u) << 16);
    }
    if (zip_close(archive) != 0)
        fail("cannot write " + path.string());
}

} // namespace testsupport
