// The file version of a Windows PE image, found the way the system finds it: the resource
// directory's RT_VERSION entry, its first name and first language, that data entry, and in it
// the VS_VERSIONINFO block with its VS_FIXEDFILEINFO.
#include "platform/ExecutableVersion.h"

#include <optional>
#include <vector>

namespace platform::detail {
namespace {

constexpr std::uint16_t mzSignature = 0x5A4D;       // "MZ"
constexpr std::uint32_t peSignature = 0x00004550;   // "PE\0\0"
constexpr std::uint16_t pe32Magic = 0x10B;
constexpr std::uint16_t pe32PlusMagic = 0x20B;
constexpr std::uint32_t resourceDirectoryIndex = 2; // in the optional header's data directories
constexpr std::uint32_t rtVersion = 16;
constexpr std::uint32_t subdirectoryBit = 0x80000000;
constexpr std::uint32_t fixedFileInfoSignature = 0xFEEF04BD;
constexpr std::uint64_t fixedFileInfoSize = 52;

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

class PeImage {
public:
    explicit PeImage(const ByteReader& image) : image_(image) {}

    std::string fileVersion() {
        if (image_.u16(0) != mzSignature)
            return {};
        const std::uint64_t pe = image_.u32(0x3C);
        if (image_.u32(pe) != peSignature)
            return {};
        const std::uint64_t coffHeader = pe + 4;
        const std::uint64_t optionalHeader = coffHeader + 20;
        const std::uint16_t optionalHeaderSize = image_.u16(coffHeader + 16);
        readSectionTable(optionalHeader + optionalHeaderSize, image_.u16(coffHeader + 2));

        const auto resources = resourceDirectory(optionalHeader, optionalHeaderSize);
        if (!resources)
            return {};
        const auto type = subdirectory(*resources, entryWithId(*resources, rtVersion));
        if (!type)
            return {};
        const auto name = subdirectory(*resources, firstEntry(*type));
        if (!name)
            return {};
        const auto language = firstEntry(*name);
        if (!language || (*language & subdirectoryBit))
            return {};
        const std::uint64_t dataEntry = fileOffset(std::uint64_t{*resources} + *language, 16);
        return fixedFileVersion(image_.u32(dataEntry), image_.u32(dataEntry + 4));
    }

private:
    void readSectionTable(std::uint64_t table, std::uint16_t count) {
        for (std::uint16_t i = 0; i < count; ++i) {
            const std::uint64_t header = table + 40ull * i;
            sections_.push_back(
                {image_.u32(header + 12), image_.u32(header + 16), image_.u32(header + 20)});
        }
    }

    // RVA of the resource directory; nullopt when the image has none.
    std::optional<std::uint32_t> resourceDirectory(std::uint64_t optionalHeader,
                                                   std::uint16_t optionalHeaderSize) const {
        std::uint64_t countField = 0; // NumberOfRvaAndSizes; the directories follow it
        switch (image_.u16(optionalHeader)) {
        case pe32Magic:
            countField = 92;
            break;
        case pe32PlusMagic:
            countField = 108;
            break;
        default:
            return std::nullopt;
        }
        const std::uint64_t directoryEntry = countField + 4 + 8 * resourceDirectoryIndex;
        ByteReader::require(directoryEntry + 8 <= optionalHeaderSize);
        if (image_.u32(optionalHeader + countField) <= resourceDirectoryIndex)
            return std::nullopt;
        const std::uint32_t rva = image_.u32(optionalHeader + directoryEntry);
        if (rva == 0)
            return std::nullopt;
        return rva;
    }

    // File offset of size bytes at rva, which must lie in one section's data in the file.
    std::uint64_t fileOffset(std::uint64_t rva, std::uint64_t size) const {
        for (const auto& section : sections_) {
            if (rva < section.virtualAddress)
                continue;
            const std::uint64_t delta = rva - section.virtualAddress;
            if (delta <= section.rawSize && size <= section.rawSize - delta)
                return section.rawOffset + delta;
        }
        throw MalformedData("address outside every section");
    }

    // A resource directory: a 16-byte header whose last two words count the named entries
    // and the entries with ids (which follow the named ones), then 8-byte entries of a name
    // or id and an OffsetToData. These return that OffsetToData.
    std::optional<std::uint32_t> entryWithId(std::uint64_t directory, std::uint32_t id) const {
        const std::uint64_t header = fileOffset(directory, 16);
        const std::uint32_t named = image_.u16(header + 12);
        const std::uint32_t withId = image_.u16(header + 14);
        for (std::uint32_t i = named; i < named + withId; ++i) {
            const std::uint64_t item = fileOffset(directory + 16 + 8ull * i, 8);
            if (image_.u32(item) == id)
                return image_.u32(item + 4);
        }
        return std::nullopt;
    }

    std::optional<std::uint32_t> firstEntry(std::uint64_t directory) const {
        const std::uint64_t header = fileOffset(directory, 16);
        if (image_.u16(header + 12) + image_.u16(header + 14) == 0)
            return std::nullopt;
        return image_.u32(fileOffset(directory + 16, 8) + 4);
    }

    // RVA of the subdirectory an entry points to; nullopt for a missing or leaf entry.
    static std::optional<std::uint64_t> subdirectory(std::uint32_t resources,
                                                     std::optional<std::uint32_t> offset) {
        if (!offset || !(*offset & subdirectoryBit))
            return std::nullopt;
        return std::uint64_t{resources} + (*offset & ~subdirectoryBit);
    }

    // VS_VERSIONINFO: wLength, wValueLength, wType, the key L"VS_VERSION_INFO", then, aligned
    // to 4 bytes, the VS_FIXEDFILEINFO with dwSignature, dwStrucVersion, dwFileVersionMS and
    // dwFileVersionLS (the product version that follows is not what callers ask for).
    std::string fixedFileVersion(std::uint32_t rva, std::uint32_t size) const {
        static const std::string key("V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0\0\0", 32);
        constexpr std::uint64_t valueOffset = 40; // 6 + 32, rounded up to a multiple of 4
        const std::uint64_t block = fileOffset(rva, size);
        const std::uint16_t length = image_.u16(block);
        const std::uint16_t valueLength = image_.u16(block + 2);
        if (length > size || length < valueOffset + fixedFileInfoSize ||
            valueLength < fixedFileInfoSize || image_.bytes(block + 6, key.size()) != key)
            return {};
        const std::uint64_t info = block + valueOffset;
        if (image_.u32(info) != fixedFileInfoSignature)
            return {};
        const std::uint32_t mostSignificant = image_.u32(info + 8);
        const std::uint32_t leastSignificant = image_.u32(info + 12);
        return formatVersion(mostSignificant >> 16, mostSignificant & 0xFFFF,
                             leastSignificant >> 16, leastSignificant & 0xFFFF);
    }

    const ByteReader& image_;
    std::vector<Section> sections_;
};

} // namespace

std::string peFileVersion(const ByteReader& image) { return PeImage(image).fileVersion(); }

} // namespace platform::detail
