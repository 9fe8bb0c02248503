#include "platform/FileVersion.h"

#include "TempDir.h"
#include "TestCases.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using platform::fileVersionFromBytes;
using platform::readFileVersion;

const std::string peData = KV_TEST_DATA_DIR "/pe/";

struct FixtureCase {
    const char* name;
    std::string path;
    std::string version;
};

void PrintTo(const FixtureCase& c, std::ostream* out) { *out << c.name; }

// The PE files carry product version 9.9.9.9: that must never be what comes back.
const FixtureCase fixtureCases[] = {
    {"pe32plus_client", peData + "cliente-1.0.0.9.exe", "1.0.0.9"},
    {"pe32_server", peData + "servidor-1.0.0.12.exe", "1.0.0.12"},
    {"pe_without_resources", peData + "sem-versao.exe", ""},
    {"elf_with_version_note", KV_SAMPLE_PROGRAM, "1.2.3.4"},
    {"elf_without_version_note", "/proc/self/exe", ""},
    {"text_file", peData + "README.md", ""},
    {"missing_file", peData + "nao-existe.exe", ""},
    {"folder", peData, ""},
};

class FileVersionOf : public testing::TestWithParam<FixtureCase> {};

TEST_P(FileVersionOf, ReadsTheFileVersion) {
    EXPECT_EQ(readFileVersion(GetParam().path), GetParam().version);
}

INSTANTIATE_TEST_SUITE_P(Files, FileVersionOf, testing::ValuesIn(fixtureCases),
                         platformtest::caseName);

// Images whose damage the readers must survive: every truncation, and every byte flipped in
// turn, gives either the right version or none, and never a crash. Flipping the version
// numbers themselves changes the data, not its form, so those bytes are left alone.
struct DamageCase {
    const char* name;
    std::string path;
    std::string version;
    std::string versionMarker; // the bytes right before the numbers
    std::size_t numbersOffset; // from the start of the marker
};

void PrintTo(const DamageCase& c, std::ostream* out) { *out << c.name; }

const DamageCase damageCases[] = {
    // VS_FIXEDFILEINFO: dwSignature, dwStrucVersion, then dwFileVersionMS and LS.
    {"pe32plus", peData + "cliente-1.0.0.9.exe", "1.0.0.9", "\xBD\x04\xEF\xFE", 8},
    {"pe32", peData + "servidor-1.0.0.12.exe", "1.0.0.12", "\xBD\x04\xEF\xFE", 8},
    {"pe_without_resources", peData + "sem-versao.exe", "", "", 0},
    // The note: owner "KELVANTRA" padded to 12 bytes, then the four numbers.
    {"elf64", KV_SAMPLE_PROGRAM, "1.2.3.4", std::string("KELVANTRA\0\0\0", 12), 12},
};

class DamagedImage : public testing::TestWithParam<DamageCase> {
protected:
    void SetUp() override {
        image = testsupport::readFile(GetParam().path);
        ASSERT_EQ(fileVersionFromBytes(image), GetParam().version);
        if (!GetParam().versionMarker.empty()) {
            const auto marker = image.find(GetParam().versionMarker);
            ASSERT_NE(marker, std::string::npos);
            numbers = marker + GetParam().numbersOffset;
        }
    }

    bool isVersionNumber(std::size_t offset) const {
        return numbers != std::string::npos && offset >= numbers && offset < numbers + 8;
    }

    std::string image;
    std::size_t numbers = std::string::npos;
};

TEST_P(DamagedImage, TruncatedAtAnyLengthGivesTheVersionOrNothing) {
    for (std::size_t length = 0; length < image.size(); ++length) {
        const auto version = fileVersionFromBytes(std::string_view(image).substr(0, length));
        ASSERT_TRUE(version.empty() || version == GetParam().version)
            << version << " when truncated to " << length;
    }
}

TEST_P(DamagedImage, AnyByteFlippedGivesTheVersionOrNothing) {
    std::string damaged = image;
    for (std::size_t offset = 0; offset < image.size(); ++offset) {
        if (isVersionNumber(offset))
            continue;
        damaged[offset] = static_cast<char>(~image[offset]);
        const auto version = fileVersionFromBytes(damaged);
        damaged[offset] = image[offset];
        ASSERT_TRUE(version.empty() || version == GetParam().version)
            << version << " with byte " << offset << " flipped";
    }
}

INSTANTIATE_TEST_SUITE_P(Images, DamagedImage, testing::ValuesIn(damageCases),
                         platformtest::caseName);

TEST(FileVersion, TruncatedFileOnDiskGivesNothing) {
    testsupport::TempDir dir;
    const auto image = testsupport::readFile(peData + "cliente-1.0.0.9.exe");
    testsupport::writeFile(dir / "cliente.exe", image.substr(0, image.size() / 2));
    EXPECT_EQ(readFileVersion((dir / "cliente.exe").string()), "");
}

// No 32-bit or big-endian toolchain is installed here, so these images are built by hand:
// an ELF header, one program header (PT_NOTE) or one section header (SHT_NOTE), and notes.
class ElfBuilder {
public:
    ElfBuilder(bool is64, bool bigEndian) : is64_(is64), bigEndian_(bigEndian) {}

    std::string image(bool asSection, std::uint16_t a, std::uint16_t b, std::uint16_t c,
                      std::uint16_t d) const {
        const std::size_t headerSize = is64_ ? 64 : 52;
        const std::size_t tableEntrySize = asSection ? (is64_ ? 64 : 40) : (is64_ ? 56 : 32);
        std::string notes = note("GNU", 3, std::string(16, 'g')); // another owner's note first
        std::string versionDesc;
        for (std::uint16_t n : {a, b, c, d})
            versionDesc += number(n, 2);
        notes += note("KELVANTRA", 1, versionDesc);
        const std::size_t notesAt = headerSize + tableEntrySize;

        std::string out = std::string("\x7F" "ELF", 4) + char(is64_ ? 2 : 1) + char(bigEndian_ ? 2 : 1) +
                          char(1) + std::string(9, '\0');
        out += number(2, 2) + number(is64_ ? 62 : 3, 2) + number(1, 4); // type, machine, version
        out += word(0);                                                  // entry
        out += word(asSection ? 0 : headerSize) + word(asSection ? headerSize : 0);
        out += number(0, 4) + number(headerSize, 2);                     // flags, header size
        out += number(asSection ? 0 : tableEntrySize, 2) + number(asSection ? 0 : 1, 2);
        out += number(asSection ? tableEntrySize : 0, 2) + number(asSection ? 1 : 0, 2);
        out += number(0, 2);                                             // section names
        if (asSection) {
            out += number(0, 4) + number(7, 4) + word(2) + word(0);      // name, SHT_NOTE, flags, addr
            out += word(notesAt) + word(notes.size()) + number(0, 4) + number(0, 4);
            out += word(4) + word(0);                                    // alignment, entry size
        } else if (is64_) {
            out += number(4, 4) + number(4, 4) + word(notesAt) + word(0) + word(0);
            out += word(notes.size()) + word(notes.size()) + word(4);
        } else {
            out += number(4, 4) + word(notesAt) + word(0) + word(0);
            out += word(notes.size()) + word(notes.size()) + number(4, 4) + word(4);
        }
        return out + notes;
    }

private:
    std::string number(std::uint64_t value, std::size_t size) const {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            bytes[bigEndian_ ? size - 1 - i : i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        return bytes;
    }
    std::string word(std::uint64_t value) const { return number(value, is64_ ? 8 : 4); }
    static std::string padded(std::string bytes) {
        bytes.resize((bytes.size() + 3) / 4 * 4, '\0');
        return bytes;
    }
    std::string note(const std::string& owner, std::uint32_t type, const std::string& desc) const {
        return number(owner.size() + 1, 4) + number(desc.size(), 4) + number(type, 4) +
               padded(owner + '\0') + padded(desc);
    }

    bool is64_;
    bool bigEndian_;
};

struct ElfCase {
    const char* name;
    bool is64;
    bool bigEndian;
    bool asSection;
};

void PrintTo(const ElfCase& c, std::ostream* out) { *out << c.name; }

const ElfCase elfCases[] = {
    {"elf32_little_endian_segment", false, false, false},
    {"elf32_big_endian_segment", false, true, false},
    {"elf32_section", false, false, true},
    {"elf64_big_endian_segment", true, true, false},
    {"elf64_section", true, false, true},
};

class ElfLayouts : public testing::TestWithParam<ElfCase> {};

TEST_P(ElfLayouts, FindTheVersionNote) {
    const auto& c = GetParam();
    const auto image = ElfBuilder(c.is64, c.bigEndian).image(c.asSection, 2, 0, 65535, 17);
    EXPECT_EQ(fileVersionFromBytes(image), "2.0.65535.17");
    for (std::size_t length = 0; length < image.size(); ++length) {
        const auto version = fileVersionFromBytes(std::string_view(image).substr(0, length));
        ASSERT_EQ(version, "") << "truncated to " << length; // the note is the last thing
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, ElfLayouts, testing::ValuesIn(elfCases),
                         platformtest::caseName);

} // namespace
