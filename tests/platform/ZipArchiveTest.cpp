#include "platform/ZipArchive.h"

#include "TempDir.h"
#include "TestCases.h"
#include "ZipWriter.h"

#include <gtest/gtest.h>

#include <filesystem>


namespace {

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::writeFile;

using testsupport::writeZip;
using ZipEntry = testsupport::ZipEntry;

// An update folder holding what an earlier installation left, and the archive beside it.
class ZipArchiveTest : public testing::Test {
protected:
    ZipArchiveTest() {
        writeFile(update / "CLIENTE.exe", "cliente antigo");
        writeFile(update / "LOG_UPDATE.txt", "log");
    }

    void extract() { platform::extractAll(archive.string(), update.string()); }

    testsupport::TempDir dir;
    const fs::path update = dir / "atualizacao";
    const fs::path archive = dir / "atualizacao.zip";
    const std::vector<std::string> before = {"CLIENTE.exe", "LOG_UPDATE.txt"};
};

TEST_F(ZipArchiveTest, ExtractsTheTreeOverwritingFilesAndKeepingOthers) {
    const std::string script(64 * 1024, 'S'); // deflates well
    writeZip(archive, {{"CLIENTE.exe", "cliente novo"},
                       {"SCRIPT.txt", script},
                       {"sub/dados.txt", "dados"},
                       {"sub\\mais\\fundo.txt", "fundo"},
                       {"vazia/", "", ZipEntry::Kind::Folder},
                       {"vazio.txt", ""}});
    extract();
    EXPECT_EQ(platformtest::folderTree(update), (std::vector<std::string>{"CLIENTE.exe", "LOG_UPDATE.txt", "SCRIPT.txt",
                                                      "sub/", "sub/dados.txt", "sub/mais/",
                                                      "sub/mais/fundo.txt", "vazia/", "vazio.txt"}));
    EXPECT_EQ(readFile(update / "CLIENTE.exe"), "cliente novo");
    EXPECT_EQ(readFile(update / "SCRIPT.txt"), script);
    EXPECT_EQ(readFile(update / "sub" / "mais" / "fundo.txt"), "fundo");
    EXPECT_EQ(readFile(update / "LOG_UPDATE.txt"), "log");
}

struct UnsafeCase {
    const char* name;
    std::string entryName;
    ZipEntry::Kind kind = ZipEntry::Kind::File;
};

void PrintTo(const UnsafeCase& c, std::ostream* out) { *out << c.name; }

class UnsafeArchive : public ZipArchiveTest, public testing::WithParamInterface<UnsafeCase> {};

TEST_P(UnsafeArchive, IsRefusedWithNothingWritten) {
    const auto& c = GetParam();
    writeZip(archive, {{"CLIENTE.exe", "cliente novo"}, {c.entryName, "/etc/passwd", c.kind}});
    const auto message = platformtest::messageOf<platform::ZipError>([&] { extract(); });
    EXPECT_NE(message.find("'" + c.entryName + "'"), std::string::npos) << message;
    EXPECT_EQ(readFile(update / "CLIENTE.exe"), "cliente antigo");
    EXPECT_EQ(platformtest::folderTree(dir.path()), (std::vector<std::string>{"atualizacao.zip", "atualizacao/",
                                                           "atualizacao/CLIENTE.exe",
                                                           "atualizacao/LOG_UPDATE.txt"}));
}

INSTANTIATE_TEST_SUITE_P(
    Names, UnsafeArchive,
    testing::Values(UnsafeCase{"parent", "../x"}, UnsafeCase{"parent_inside", "sub/../../x"},
                    UnsafeCase{"parent_backslash", "..\\x"}, UnsafeCase{"absolute", "/x"},
                    UnsafeCase{"absolute_backslash", "\\x"}, UnsafeCase{"unc", "\\\\servidor\\x"},
                    UnsafeCase{"drive", "C:\\x"}, UnsafeCase{"drive_relative", "C:x"},
                    UnsafeCase{"stream", "x:fluxo"}, UnsafeCase{"dots", "sub/.../x"},
                    UnsafeCase{"dots_and_blank", ".. /x"},
                    UnsafeCase{"symbolic_link", "link", ZipEntry::Kind::SymbolicLink}),
    platformtest::caseName);

// The first entry is whole, the second's deflated data is damaged: nothing may come out.
TEST_F(ZipArchiveTest, DamagedEntryDataLeavesEverythingAsItWas) {
    std::string text;
    for (int line = 0; line < 2000; ++line)
        text += "linha " + std::to_string(line) + " do script\r\n";
    writeZip(archive, {{"CLIENTE.exe", "cliente novo"}, {"SCRIPT.txt", text}});
    auto bytes = readFile(archive);
    const auto header = bytes.find("SCRIPT.txt"); // the local header's name; its data follows
    ASSERT_NE(header, std::string::npos);
    for (std::size_t i = header + 10 + 40; i < header + 10 + 48; ++i)
        bytes[i] = static_cast<char>(~bytes[i]);
    writeFile(archive, bytes);

    const auto message = platformtest::messageOf<platform::ZipError>([&] { extract(); });
    EXPECT_TRUE(message.find("Zlib error") != std::string::npos ||
                message.find("CRC error") != std::string::npos) << message;
    EXPECT_EQ(platformtest::folderTree(update), before);
    EXPECT_EQ(readFile(update / "CLIENTE.exe"), "cliente antigo");
}

TEST_F(ZipArchiveTest, FolderInTheWayOfAFileIsRefusedBeforeAnythingIsWritten) {
    fs::create_directories(update / "SCRIPT.txt");
    writeZip(archive, {{"CLIENTE.exe", "cliente novo"}, {"SCRIPT.txt", "script"}});
    const auto message = platformtest::messageOf<platform::ZipError>([&] { extract(); });
    EXPECT_NE(message.find("SCRIPT.txt"), std::string::npos) << message;
    EXPECT_EQ(readFile(update / "CLIENTE.exe"), "cliente antigo");
}

struct BrokenCase {
    const char* name;
    std::function<void(const fs::path&)> make;
    const char* reason;
};

void PrintTo(const BrokenCase& c, std::ostream* out) { *out << c.name; }

class BrokenArchive : public ZipArchiveTest, public testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenArchive, RaisesWithLibzipsReason) {
    GetParam().make(archive);
    const auto message = platformtest::messageOf<platform::ZipError>([&] { extract(); });
    EXPECT_NE(message.find(archive.string()), std::string::npos) << message;
    EXPECT_NE(message.find(GetParam().reason), std::string::npos) << message;
    EXPECT_EQ(platformtest::folderTree(update), before);
}

void halfArchive(const fs::path& path) {
    writeZip(path, {{"CLIENTE.exe", std::string(4096, 'c')}, {"SCRIPT.txt", "script"}});
    const auto bytes = readFile(path);
    writeFile(path, bytes.substr(0, bytes.size() / 2));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenArchive,
    testing::Values(BrokenCase{"missing", [](const fs::path&) {}, "No such file"},
                    BrokenCase{"truncated", halfArchive, "Not a zip archive"},
                    BrokenCase{"empty", [](const fs::path& p) { writeFile(p, ""); }, "Not a zip archive"},
                    BrokenCase{"web_page", [](const fs::path& p) { writeFile(p, "<html>404</html>"); },
                               "Not a zip archive"}),
    platformtest::caseName);

} // namespace
