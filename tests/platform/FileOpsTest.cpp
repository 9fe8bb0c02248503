#include "platform/FileOps.h"

#include "platform/Processes.h"

#include "TempDir.h"
#include "TestCases.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::writeFile;

fs::perms permissionsOf(const fs::path& path) {
    return fs::status(path).permissions() & fs::perms::mask;
}

class FileOpsTest : public testing::Test {
protected:
    std::string at(const std::string& name) const { return (dir / name).string(); }
    testsupport::TempDir dir;
};

TEST_F(FileOpsTest, FileExistsOnlyForFiles) {
    writeFile(at("arquivo.txt"), "x");
    fs::create_directory(at("pasta"));
    EXPECT_TRUE(platform::fileExists(at("arquivo.txt")));
    EXPECT_FALSE(platform::fileExists(at("pasta")));
    EXPECT_FALSE(platform::fileExists(at("nada.txt")));
}

TEST_F(FileOpsTest, DeleteFileRemovesFilesOnly) {
    writeFile(at("arquivo.txt"), "x");
    fs::create_directory(at("pasta"));
    EXPECT_TRUE(platform::deleteFile(at("arquivo.txt")));
    EXPECT_FALSE(fs::exists(at("arquivo.txt")));
    EXPECT_TRUE(platform::deleteFile(at("nada.txt")));
    EXPECT_FALSE(platform::deleteFile(at("pasta")));
    EXPECT_TRUE(fs::is_directory(at("pasta")));
}

TEST_F(FileOpsTest, ForceDirectoriesCreatesParentsUnlessAFileIsInTheWay) {
    EXPECT_TRUE(platform::forceDirectories(at("a/b/c")));
    EXPECT_TRUE(fs::is_directory(at("a/b/c")));
    EXPECT_TRUE(platform::forceDirectories(at("a/b/c")));
    writeFile(at("arquivo"), "x");
    EXPECT_FALSE(platform::forceDirectories(at("arquivo/sub")));
}

TEST_F(FileOpsTest, CopyFileOverwritesWithTheSourcesBytesAndPermissions) {
    writeFile(at("DADOS.FDB"), std::string("base\0de\r\ndados", 15));
    fs::permissions(at("DADOS.FDB"), fs::perms(0640));
    writeFile(at("BKP_0903_DADOS.FDB"), "backup antigo, mais longo que o novo");

    platform::copyFile(at("DADOS.FDB"), at("BKP_0903_DADOS.FDB"));
    EXPECT_EQ(readFile(at("BKP_0903_DADOS.FDB")), readFile(at("DADOS.FDB")));
    EXPECT_EQ(permissionsOf(at("BKP_0903_DADOS.FDB")), fs::perms(0640));
    EXPECT_EQ(platformtest::folderTree(dir.path()), (std::vector<std::string>{"BKP_0903_DADOS.FDB", "DADOS.FDB"}));
}

struct CopyFailure {
    const char* name;
    const char* src;
    const char* dst;
    const char* reason;
};

void PrintTo(const CopyFailure& c, std::ostream* out) { *out << c.name; }

class CopyFailures : public FileOpsTest, public testing::WithParamInterface<CopyFailure> {};

TEST_P(CopyFailures, NameTheFilesAndTheReasonAndLeaveTheTargetAlone) {
    writeFile(at("origem.txt"), "novo");
    writeFile(at("destino.txt"), "antigo");
    fs::create_directory(at("pasta"));
    const auto& c = GetParam();
    for (const auto& copy : {platform::copyFile, platform::replaceFile}) {
        const auto message = platformtest::messageOf<platform::FileError>([&] { copy(at(c.src), at(c.dst)); });
        EXPECT_NE(message.find(at(c.src)), std::string::npos) << message;
        EXPECT_NE(message.find(at(c.dst)), std::string::npos) << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
    EXPECT_EQ(readFile(at("destino.txt")), "antigo");
    EXPECT_EQ(platformtest::folderTree(dir.path()), (std::vector<std::string>{"destino.txt", "origem.txt", "pasta/"}));
}

INSTANTIATE_TEST_SUITE_P(Cases, CopyFailures,
                         testing::Values(CopyFailure{"missing_source", "nada.txt", "destino.txt", "No such file"},
                                         CopyFailure{"source_is_a_folder", "pasta", "destino.txt", "not a file"},
                                         CopyFailure{"missing_target_folder", "origem.txt", "falta/destino.txt", "No such file"},
                                         CopyFailure{"target_is_a_folder", "origem.txt", "pasta", "directory"}),
                         platformtest::caseName);

TEST_F(FileOpsTest, ReplaceFileInstallsAnExecutableOverARunningOne) {
    const auto installed = at("KvCliente" + std::to_string(::getpid()));
    fs::copy_file(KV_SAMPLE_PROGRAM, installed);
    const int pid = platform::startProcess(installed);
    const auto update = at("novo");
    writeFile(update, readFile(KV_SAMPLE_PROGRAM) + "nova versao"); // as unpacked: not executable
    fs::permissions(update, fs::perms(0644));

    platform::replaceFile(update, installed);
    EXPECT_EQ(readFile(installed), readFile(update));
    EXPECT_EQ(permissionsOf(installed), permissionsOf(KV_SAMPLE_PROGRAM));
    EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), 0) << "the running program was disturbed";
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    EXPECT_EQ(platformtest::folderTree(dir.path()).size(), 2u);
}

TEST_F(FileOpsTest, ReplaceFileMakesANewTargetExecutableWhereReadable) {
    writeFile(at("novo"), "programa");
    fs::permissions(at("novo"), fs::perms(0640));
    platform::replaceFile(at("novo"), at("instalado"));
    EXPECT_EQ(permissionsOf(at("instalado")), fs::perms(0750));
}

} // namespace
