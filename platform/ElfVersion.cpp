// The version note that kv_add_version_note (cmake/VersionNote.cmake) writes into our native
// executables: owner "KELVANTRA", type 1, four 16-bit numbers. Looked for in the PT_NOTE
// segments, which every loadable image keeps, then in the SHT_NOTE sections.
#include "platform/ExecutableVersion.h"

#include <optional>

namespace platform::detail {
namespace {

constexpr std::uint32_t versionNoteType = 1;
const std::string versionNoteOwner("KELVANTRA\0", 10);

// Where one header table (program or section headers) and its entries' fields live.
struct TableLayout {
    std::uint64_t tableOffsetField; // e_phoff, e_shoff
    std::uint64_t entrySizeField;   // e_phentsize, e_shentsize; the entry count follows it
    std::uint32_t noteType;         // PT_NOTE, SHT_NOTE
    std::uint64_t typeField, offsetField, sizeField, alignmentField; // within an entry
};

struct ElfLayout {
    bool is64;
    TableLayout segments;
    TableLayout sections;
};

constexpr ElfLayout elf32{false, {0x1C, 0x2A, 4, 0, 4, 16, 28}, {0x20, 0x2E, 7, 4, 16, 20, 32}};
constexpr ElfLayout elf64{true, {0x20, 0x36, 4, 0, 8, 32, 48}, {0x28, 0x3A, 7, 4, 24, 32, 48}};

class ElfImage {
public:
    ElfImage(const ByteReader& image, const ElfLayout& layout) : image_(image), layout_(layout) {}

    std::string fileVersion() const {
        if (auto version = searchTable(layout_.segments))
            return *version;
        return searchTable(layout_.sections).value_or(std::string());
    }

private:
    // An address-sized field: 4 bytes in ELF32, 8 in ELF64.
    std::uint64_t word(std::uint64_t offset) const {
        return layout_.is64 ? image_.u64(offset) : image_.u32(offset);
    }

    std::optional<std::string> searchTable(const TableLayout& table) const {
        const std::uint64_t start = word(table.tableOffsetField);
        const std::uint16_t entrySize = image_.u16(table.entrySizeField);
        const std::uint16_t count = image_.u16(table.entrySizeField + 2);
        if (start == 0)
            return std::nullopt;
        for (std::uint16_t i = 0; i < count; ++i) {
            const std::uint64_t entry = ByteReader::add(start, std::uint64_t{entrySize} * i);
            if (image_.u32(ByteReader::add(entry, table.typeField)) != table.noteType)
                continue;
            const std::uint64_t alignment = word(entry + table.alignmentField) == 8 ? 8 : 4;
            if (auto version = searchNotes(word(entry + table.offsetField),
                                           word(entry + table.sizeField), alignment))
                return version;
        }
        return std::nullopt;
    }

    // A run of notes, each: namesz, descsz and type, then the name and the description, each
    // starting at the run's alignment (4, or 8 for some GNU notes) from the run's start.
    std::optional<std::string> searchNotes(std::uint64_t start, std::uint64_t size,
                                           std::uint64_t alignment) const {
        const std::uint64_t end = ByteReader::add(start, size);
        ByteReader::require(end <= image_.size());
        const auto aligned = [start, alignment](std::uint64_t offset) {
            const std::uint64_t past = (offset - start) % alignment;
            return past == 0 ? offset : ByteReader::add(offset, alignment - past);
        };
        for (std::uint64_t offset = start; end - offset >= 12;) {
            const std::uint32_t nameSize = image_.u32(offset);
            const std::uint32_t descriptionSize = image_.u32(offset + 4);
            const std::uint32_t type = image_.u32(offset + 8);
            const std::uint64_t name = offset + 12;
            const std::uint64_t description = aligned(name + nameSize);
            const std::uint64_t next = aligned(description + descriptionSize);
            ByteReader::require(next <= end);
            if (type == versionNoteType && descriptionSize == 8 &&
                nameSize == versionNoteOwner.size() &&
                image_.bytes(name, nameSize) == versionNoteOwner)
                return formatVersion(image_.u16(description), image_.u16(description + 2),
                                     image_.u16(description + 4), image_.u16(description + 6));
            offset = next;
        }
        return std::nullopt;
    }

    const ByteReader& image_;
    const ElfLayout& layout_;
};

} // namespace

std::string elfFileVersion(const ByteReader& image) {
    if (image.bytes(0, 4) != "\x7F"
                             "ELF")
        return {};
    const std::uint8_t elfClass = image.u8(4);    // 1: 32-bit, 2: 64-bit
    const std::uint8_t byteOrder = image.u8(5);   // 1: little-endian, 2: big-endian
    if ((elfClass != 1 && elfClass != 2) || (byteOrder != 1 && byteOrder != 2))
        return {};
    const ByteReader ordered =
        image.withOrder(byteOrder == 1 ? ByteOrder::LittleEndian : ByteOrder::BigEndian);
    return ElfImage(ordered, elfClass == 2 ? elf64 : elf32).fileVersion();
}

} // namespace platform::detail
