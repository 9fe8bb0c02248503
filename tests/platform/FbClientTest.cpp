#include "FbTestDatabase.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <fstream>

using platform::FbClient;
using platform::FbError;
using testsupport::TempDir;

namespace {

// The file the loader finds for the system's client library, as the kernel maps it: the
// loader's own name for it may be a link of an earlier test that is gone by now.
std::string systemLibrary() {
    if (!dlopen("libfbclient.so.2", RTLD_NOW))
        throw std::runtime_error("the system has no Firebird client library");
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        const size_t path = line.find('/');
        if (path != std::string::npos && line.find("/libfbclient.so", path) != std::string::npos)
            return line.substr(path);
    }
    throw std::runtime_error("the Firebird client library is not mapped");
}

struct SearchCase {
    const char* name;
    bool inDllFolder;
    bool inInstallFolder;
    const char* expected; // relative to the install folder; null: the system's library
};

void PrintTo(const SearchCase& c, std::ostream* out) { *out << c.name; }

class ClientLibrarySearch : public ::testing::TestWithParam<SearchCase> {};

TEST_P(ClientLibrarySearch, PrefersTheDllFolderThenTheInstallFolderThenTheSystem) {
    const SearchCase& c = GetParam();
    TempDir install("kv-fbclient");
    if (c.inDllFolder)
        testsupport::writeFile(install / "DLL" / "libfbclient.so", "");
    if (c.inInstallFolder)
        testsupport::writeFile(install / "libfbclient.so", "");
    const std::string expected = c.expected ? install.dir() + c.expected : "libfbclient.so.2";
    EXPECT_EQ(platform::findClientLibrary(install.dir()), expected);
    // The folder may come without its trailing separator.
    EXPECT_EQ(platform::findClientLibrary(install.path().string()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClientLibrarySearch,
    ::testing::Values(SearchCase{"Both", true, true, "DLL/libfbclient.so"},
                      SearchCase{"DllFolderOnly", true, false, "DLL/libfbclient.so"},
                      SearchCase{"InstallFolderOnly", false, true, "libfbclient.so"},
                      SearchCase{"Neither", false, false, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FbClient, LoadsTheLibraryOfTheInstallFolderAndWorksThroughIt) {
    for (const std::string where : {"DLL/libfbclient.so", "libfbclient.so"}) {
        TempDir install("kv-fbclient");
        std::filesystem::create_directories((install / where).parent_path());
        std::filesystem::create_symlink(systemLibrary(), install / where);

        const auto client = FbClient::loadForInstallFolder(install.dir());
        EXPECT_EQ(client->path(), install.dir() + where);
        auto db =
            platform::FbDatabase::create(client, (install / "x.fdb").string(), fbtest::sysdba());
        EXPECT_EQ(db.info().odsVersion, 12);
        db.drop();
    }
}

TEST(FbClient, FallsBackToTheSystemLibraryOnLinux) {
    TempDir install("kv-fbclient");
    EXPECT_EQ(FbClient::loadForInstallFolder(install.dir())->path(), "libfbclient.so.2");
}

TEST(FbClient, ReportsALibraryThatDoesNotLoadWithTheNotFoundMessageAndTheReason) {
    for (const std::string where : {"DLL/libfbclient.so", "libfbclient.so"}) {
        TempDir install("kv-fbclient");
        testsupport::writeFile(install / where, "not a shared library");
        try {
            FbClient::loadForInstallFolder(install.dir());
            FAIL() << "a bogus library loaded";
        } catch (const FbError& error) {
            const std::string message = error.what();
            const std::string expected =
                "libfbclient.so não encontrada no diretório " + install.dir() + "/DLL\n";
            EXPECT_EQ(message.substr(0, expected.size()), expected);
            EXPECT_NE(message.find((install / where).string()), std::string::npos) << message;
            EXPECT_EQ(error.gdsCode(), 0);
        }
    }
}

TEST(FbClient, LoadRaisesWithTheLoadersReason) {
    try {
        FbClient::load("/nonexistent/libfbclient.so");
        FAIL() << "a missing library loaded";
    } catch (const FbError& error) {
        EXPECT_STREQ(error.what(), "cannot load the Firebird client library "
                                   "/nonexistent/libfbclient.so: /nonexistent/libfbclient.so: "
                                   "cannot open shared object file: No such file or directory");
    }
}

TEST(FbClient, AttachmentsShareTheLibraryAndKeepItAlive) {
    TempDir dir("kv-fbclient");
    auto client = FbClient::load("libfbclient.so.2");
    auto first = platform::FbDatabase::create(client, (dir / "a.fdb").string(), fbtest::sysdba());
    auto second = platform::FbDatabase::create(client, (dir / "b.fdb").string(), fbtest::sysdba());
    EXPECT_EQ(first.client(), second.client());
    client.reset();
    EXPECT_EQ(second.info().odsVersion, 12);
    first.drop();
    EXPECT_EQ(second.info().odsVersion, 12);
    second.drop();
}

} // namespace
