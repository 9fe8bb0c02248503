#include "platform/ZipArchive.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include <sys/stat.h>
#include <zip.h>

namespace platform {
namespace {

namespace fs = std::filesystem;

struct ZipDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ZipDiscard>;

struct ZipFileClose {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

struct Entry {
    zip_uint64_t index;
    fs::path relative;
    bool folder;
};

std::string libzipReason(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string reason = zip_error_strerror(&error);
    zip_error_fini(&error);
    return reason;
}

// A segment of only dots and blanks other than "." climbs out, or does on Windows, which
// drops trailing dots and blanks ("...", ".. ").
bool climbs(const std::string& segment) {
    return segment != "." &&
           std::all_of(segment.begin(), segment.end(), [](char c) { return c == '.' || c == ' '; });
}

// The entry's path relative to the destination, or nullopt when it would land elsewhere.
std::optional<fs::path> safeRelativePath(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.empty() || name.front() == '/' || name.find(':') != std::string::npos)
        return std::nullopt;
    fs::path relative;
    std::size_t start = 0;
    while (start <= name.size()) {
        const auto slash = std::min(name.find('/', start), name.size());
        const auto segment = name.substr(start, slash - start);
        start = slash + 1;
        if (segment.empty() || segment == ".")
            continue;
        if (climbs(segment))
            return std::nullopt;
        relative /= segment;
    }
    if (relative.empty())
        return std::nullopt;
    return relative;
}

bool isSymbolicLink(zip_t* archive, zip_uint64_t index) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    return zip_file_get_external_attributes(archive, index, 0, &system, &attributes) == 0 &&
           system == ZIP_OPSYS_UNIX && S_ISLNK(attributes >> 16);
}

class Extraction {
public:
    Extraction(std::string zipPath, fs::path destination)
        : zipPath_(std::move(zipPath)), destination_(std::move(destination)) {}

    ~Extraction() {
        if (!staging_.empty()) {
            std::error_code ignored;
            fs::remove_all(staging_, ignored);
        }
    }

    void run() {
        open();
        const auto entries = plannedEntries();
        checkDestination(entries);
        makeStagingFolder();
        for (const auto& entry : entries)
            stage(entry);
        for (const auto& entry : entries)
            moveIntoPlace(entry);
    }

private:
    [[noreturn]] void fail(const std::string& reason) const {
        throw ZipError("Cannot extract " + zipPath_ + ": " + reason);
    }

    void open() {
        int code = 0;
        archive_.reset(zip_open(zipPath_.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
        if (!archive_)
            fail(libzipReason(code));
    }

    // Every entry checked before anything is written; a name given twice keeps its last entry.
    std::vector<Entry> plannedEntries() const {
        const zip_int64_t count = zip_get_num_entries(archive_.get(), 0);
        std::vector<Entry> entries;
        std::map<fs::path, std::size_t> positions;
        for (zip_int64_t i = 0; i < count; ++i) {
            const auto index = static_cast<zip_uint64_t>(i);
            const char* name = zip_get_name(archive_.get(), index, ZIP_FL_ENC_GUESS);
            if (!name)
                fail(zip_strerror(archive_.get()));
            const auto relative = safeRelativePath(name);
            if (!relative)
                fail("unsafe entry name in archive: '" + std::string(name) + "'");
            if (isSymbolicLink(archive_.get(), index))
                fail("symbolic link in archive: '" + std::string(name) + "'");
            const bool folder = std::string_view(name).ends_with('/') ||
                                std::string_view(name).ends_with('\\');
            const auto [position, added] = positions.emplace(*relative, entries.size());
            if (added)
                entries.push_back({index, *relative, folder});
            else
                entries[position->second] = {index, *relative, folder};
        }
        return entries;
    }

    // Refuses, before anything is written, an entry whose place is taken by something that
    // cannot be overwritten: a folder where a file goes, a file where a folder goes, or a
    // symbolic link on the way (which could lead outside the destination).
    void checkDestination(const std::vector<Entry>& entries) const {
        for (const auto& entry : entries) {
            fs::path place = destination_;
            for (auto segment = entry.relative.begin(); segment != entry.relative.end(); ++segment) {
                place /= *segment;
                const bool last = std::next(segment) == entry.relative.end();
                std::error_code error;
                const auto status = fs::symlink_status(place, error);
                if (!fs::exists(status))
                    break;
                const bool mustBeFolder = !last || entry.folder;
                if (fs::is_symlink(status) || fs::is_directory(status) != mustBeFolder)
                    fail("'" + place.string() + "' is in the way of entry '" +
                         entry.relative.generic_string() + "'");
            }
        }
    }

    void makeStagingFolder() {
        std::error_code error;
        fs::create_directories(destination_, error);
        std::string pattern = (destination_ / ".unzip-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            fail("cannot create a staging folder in " + destination_.string() + ": " +
                 std::strerror(errno));
        staging_ = pattern;
    }

    void stage(const Entry& entry) const {
        const fs::path target = staging_ / entry.relative;
        std::error_code error;
        fs::create_directories(entry.folder ? target : target.parent_path(), error);
        if (error)
            fail("cannot create " + target.string() + ": " + error.message());
        if (entry.folder)
            return;

        std::unique_ptr<zip_file_t, ZipFileClose> file(zip_fopen_index(archive_.get(), entry.index, 0));
        if (!file)
            fail("entry '" + entry.relative.generic_string() + "': " + zip_strerror(archive_.get()));
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        char buffer[1 << 16];
        zip_int64_t got = 0;
        while ((got = zip_fread(file.get(), buffer, sizeof buffer)) > 0)
            out.write(buffer, got);
        if (got < 0)
            fail("entry '" + entry.relative.generic_string() + "': " + zip_file_strerror(file.get()));
        out.close();
        if (!out)
            fail("cannot write " + target.string());
    }

    void moveIntoPlace(const Entry& entry) const {
        const fs::path target = destination_ / entry.relative;
        std::error_code error;
        fs::create_directories(entry.folder ? target : target.parent_path(), error);
        if (!error && !entry.folder)
            fs::rename(staging_ / entry.relative, target, error);
        if (error)
            fail("cannot put " + target.string() + " in place: " + error.message());
    }

    std::string zipPath_;
    fs::path destination_;
    Archive archive_;
    fs::path staging_;
};

} // namespace

void extractAll(const std::string& zipPath, const std::string& destDir) {
    Extraction(zipPath, destDir).run();
}

} // namespace platform
