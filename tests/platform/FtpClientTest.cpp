#include "platform/FtpClient.h"

#include "FtpServer.h"
#include "TempDir.h"
#include "TestCases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using platform::FtpClient;
using platform::FtpConnectionClosedGracefully;
using platform::FtpError;
using platform::FtpListItem;
using testsupport::FtpServer;
using testsupport::FtpServerOptions;
using testsupport::TempDir;
using testsupport::readFile;
using testsupport::writeFile;

const std::string updateFolder = "/atualizacao/loja01";
const std::string versionText = "[Versao]\r\nCliente=1.0.0.10\r\nServidor=1.0.0.13\r\n";
const std::string notesText = "Versão 1.0.0.10\r\n- Correções no caixa\r\n";

// Bytes that differ at every position, so a shifted or spliced download shows.
std::string patternBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7919 + i / 251) & 0xFF);
    return bytes;
}

// The server side of an installation's update folder, with the kinds a listing shows.
void writeUpdateFolder(const FtpServer& server, std::size_t archiveSize = 300 * 1024) {
    const auto folder = server.root() / "atualizacao" / "loja01";
    writeFile(folder / "versaoFTP.ini", versionText);
    writeFile(folder / "novidades.txt", notesText);
    writeFile(folder / "atualizacao.zip", patternBytes(archiveSize));
    writeFile(folder / "nome com espaco.txt", "abc");
    std::filesystem::create_directories(folder / "extras");
    std::filesystem::create_symlink("novidades.txt", folder / "link_novidades.txt");
}

platform::FtpSettings settingsFor(const FtpServer& server) {
    platform::FtpSettings settings;
    settings.host = "127.0.0.1";
    settings.port = server.port();
    settings.user = server.user();
    settings.password = server.password();
    return settings;
}

std::size_t occurrences(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// A port on 127.0.0.1 where nothing listens.
int closedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// Records the progress events of a client as text: "begin", bytes so far, "end".
struct ProgressLog {
    explicit ProgressLog(FtpClient& client) {
        client.onWorkBegin = [this] { events.push_back("begin"); };
        client.onWork = [this](std::int64_t bytes) {
            events.push_back(std::to_string(bytes));
            counts.push_back(bytes);
        };
        client.onWorkEnd = [this] { events.push_back("end"); };
    }
    std::vector<std::string> events;
    std::vector<std::int64_t> counts;
};

class FtpClientTest : public testing::Test {
protected:
    void start(FtpServerOptions options = {}) {
        server = std::make_unique<FtpServer>(options);
        writeUpdateFolder(*server);
        client = std::make_unique<FtpClient>(settingsFor(*server));
    }
    std::string local(const std::string& name) const { return (dir / name).string(); }

    TempDir dir;
    std::unique_ptr<FtpServer> server;
    std::unique_ptr<FtpClient> client;
};

TEST_F(FtpClientTest, ListsEveryKindInTheServersOrder) {
    start();
    client->connect();
    client->changeDir(updateFolder);
    const auto items = client->list();

    std::vector<std::pair<std::string, FtpListItem::Kind>> kinds;
    for (const auto& item : items)
        kinds.emplace_back(item.name, item.kind);
    using Kind = FtpListItem::Kind;
    const std::vector<std::pair<std::string, Kind>> expected = {
        {"atualizacao.zip", Kind::File},   {"extras", Kind::Directory},
        {"link_novidades.txt", Kind::Link}, {"nome com espaco.txt", Kind::File},
        {"novidades.txt", Kind::File},     {"versaoFTP.ini", Kind::File}};
    EXPECT_EQ(kinds, expected);
    const auto archive = std::find_if(items.begin(), items.end(),
                                      [](const auto& item) { return item.name == "atualizacao.zip"; });
    EXPECT_EQ(archive->size, 300 * 1024);
}

TEST_F(FtpClientTest, EmptyFolderListsNothing) {
    start();
    std::filesystem::create_directories(server->root() / "vazio");
    client->connect();
    client->changeDir("/vazio");
    EXPECT_TRUE(client->list().empty());
}

TEST_F(FtpClientTest, SizesByRelativeAndAbsoluteNames) {
    start();
    client->connect();
    client->changeDir(updateFolder);
    EXPECT_EQ(client->size("nome com espaco.txt"), 3);
    EXPECT_EQ(client->size("versaoFTP.ini"), static_cast<std::int64_t>(versionText.size()));
    client->changeDir("/");
    EXPECT_EQ(client->size(updateFolder + "/novidades.txt"), static_cast<std::int64_t>(notesText.size()));
}

TEST_F(FtpClientTest, DownloadsExactBytesWithProgressEvents) {
    start();
    client->connect();
    client->changeDir(updateFolder);
    ProgressLog progress(*client);

    client->get("novidades.txt", local("novidades.txt"), true, true);
    EXPECT_EQ(readFile(local("novidades.txt")), notesText); // CR LF kept: binary transfer
    EXPECT_EQ(progress.events, (std::vector<std::string>{"begin", std::to_string(notesText.size()), "end"}));

    progress.events.clear();
    progress.counts.clear();
    client->get("atualizacao.zip", local("atualizacao.zip"), true, false);
    EXPECT_EQ(readFile(local("atualizacao.zip")), patternBytes(300 * 1024));
    EXPECT_EQ(progress.events.front(), "begin");
    EXPECT_EQ(progress.events.back(), "end");
    EXPECT_TRUE(std::is_sorted(progress.counts.begin(), progress.counts.end()));
    EXPECT_EQ(progress.counts.back(), 300 * 1024);
    EXPECT_FALSE(std::filesystem::exists(local("atualizacao.zip.part")));
}

TEST_F(FtpClientTest, OneControlConnectionServesTheWholeSession) {
    start();
    client->connect();
    client->changeDir(updateFolder);
    client->list();
    client->size("atualizacao.zip");
    client->get("versaoFTP.ini", local("versaoFTP.ini"), true, true);
    client->get("novidades.txt", local("novidades.txt"), true, true);
    client->get("atualizacao.zip", local("atualizacao.zip"), true, false);

    const auto log = server->log();
    EXPECT_EQ(occurrences(log, "FTP session opened"), 1u) << log;
    EXPECT_EQ(occurrences(log, "USER " + server->user() + " 331"), 1u) << log;
    EXPECT_EQ(occurrences(log, "PORT"), 0u) << log; // passive only
}

TEST_F(FtpClientTest, WrongPasswordIsRefusedInTheServersWords) {
    start();
    auto settings = settingsFor(*server);
    settings.password = "errada";
    client->setSettings(settings);
    const auto message = platformtest::messageOf<FtpError>([&] { client->connect(); });
    EXPECT_NE(message.find("530"), std::string::npos) << message;
    EXPECT_FALSE(client->connected());
}

TEST_F(FtpClientTest, RefusedPortNamesTheServer) {
    platform::FtpSettings settings;
    settings.host = "127.0.0.1";
    settings.port = closedPort();
    FtpClient refused(settings);
    const auto message = platformtest::messageOf<FtpError>([&] { refused.connect(); });
    EXPECT_NE(message.find("127.0.0.1:" + std::to_string(settings.port)), std::string::npos) << message;
    EXPECT_NE(message.find("onnect"), std::string::npos) << message;
    EXPECT_FALSE(refused.connected());
}

TEST_F(FtpClientTest, MissingFileRaisesAndWritesNothing) {
    start();
    client->connect();
    client->changeDir(updateFolder);
    const auto message = platformtest::messageOf<FtpError>([&] { client->get("nao-existe.txt", local("nao-existe.txt"), true, true); });
    EXPECT_NE(message.find(updateFolder + "/nao-existe.txt"), std::string::npos) << message;
    EXPECT_NE(message.find("550"), std::string::npos) << message;
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_NE(platformtest::messageOf<FtpError>([&] { client->size("nao-existe.txt"); }).find("550"), std::string::npos);
}

TEST_F(FtpClientTest, MissingFolderRaisesAndKeepsTheWorkingFolder) {
    start();
    client->connect();
    client->changeDir(updateFolder);
    const auto message = platformtest::messageOf<FtpError>([&] { client->changeDir("/atualizacao/nao-existe"); });
    EXPECT_NE(message.find("/atualizacao/nao-existe"), std::string::npos) << message;
    EXPECT_EQ(client->size("versaoFTP.ini"), static_cast<std::int64_t>(versionText.size()));
}

TEST_F(FtpClientTest, OperationsBeforeConnectRaise) {
    start();
    EXPECT_FALSE(client->connected());
    EXPECT_THROW(client->list(), FtpError);
    EXPECT_THROW(client->get("x", local("x"), true, true), FtpError);
}

TEST_F(FtpClientTest, IdleDropIsHealedByLoggingInAgain) {
    start({.idleTimeoutSeconds = 1});
    client->connect();
    client->changeDir(updateFolder);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500)); // the operator reads the notes

    client->get("atualizacao.zip", local("atualizacao.zip"), true, false);
    EXPECT_EQ(readFile(local("atualizacao.zip")), patternBytes(300 * 1024));
    const auto log = server->log();
    EXPECT_NE(log.find("Control connection timed out"), std::string::npos) << log;
    EXPECT_EQ(occurrences(log, "FTP session opened"), 2u) << log;
}

// The server closes the connection in an orderly way, and so again when the client logs in
// afresh: here the idle connection is dropped and its place taken by another client.
TEST_F(FtpClientTest, OrderlyCloseThatARetryCannotHealIsReportedAsSuch) {
    start({.idleTimeoutSeconds = 1, .maxConnections = 1});
    client->connect();
    client->changeDir(updateFolder);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    FtpClient other(settingsFor(*server));
    other.connect();

    try {
        client->list();
        FAIL() << "the listing worked";
    } catch (const FtpConnectionClosedGracefully& error) {
        EXPECT_NE(std::string(error.what()).find("421"), std::string::npos) << error.what();
    }
}

TEST_F(FtpClientTest, RefusedEpsvFallsBackToPasv) {
    start({.refuseEpsv = true});
    client->connect();
    client->changeDir(updateFolder);
    EXPECT_EQ(client->list().size(), 6u);
    client->get("novidades.txt", local("novidades.txt"), true, true);
    EXPECT_EQ(readFile(local("novidades.txt")), notesText);
    const auto log = server->log();
    EXPECT_NE(log.find("EPSV 500"), std::string::npos) << log;
    EXPECT_NE(log.find("PASV 227"), std::string::npos) << log;
}

struct DeathCase {
    const char* name;
    void (FtpServer::*end)();
};

void PrintTo(const DeathCase& c, std::ostream* out) { *out << c.name; }

class ServerDiesMidTransfer : public FtpClientTest, public testing::WithParamInterface<DeathCase> {};

TEST_P(ServerDiesMidTransfer, OldLocalFileStaysAsItWas) {
    start({.throttleBytesPerSecond = 512 * 1024});
    writeFile(server->root() / "atualizacao" / "loja01" / "atualizacao.zip", patternBytes(4 << 20));
    writeFile(local("atualizacao.zip"), "the archive of the last update");
    client->connect();
    client->changeDir(updateFolder);
    client->onWork = [this](std::int64_t bytes) {
        if (bytes > 0)
            ((*server).*GetParam().end)();
    };

    const auto message = platformtest::messageOf<FtpError>([&] { client->get("atualizacao.zip", local("atualizacao.zip"), true, false); });
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(readFile(local("atualizacao.zip")), "the archive of the last update");
    EXPECT_FALSE(std::filesystem::exists(local("atualizacao.zip.part")));
}

INSTANTIATE_TEST_SUITE_P(Ends, ServerDiesMidTransfer,
                         testing::Values(DeathCase{"killed", &FtpServer::kill},
                                         DeathCase{"stopped", &FtpServer::stop}),
                         platformtest::caseName);

struct HangCase {
    const char* name;
    bool duringTransfer; // otherwise before it, while the client waits for a reply
};

void PrintTo(const HangCase& c, std::ostream* out) { *out << c.name; }

class HungServer : public FtpClientTest, public testing::WithParamInterface<HangCase> {};

TEST_P(HungServer, IsGivenUpAfterTheStallLimit) {
    start({.throttleBytesPerSecond = 64 * 1024});
    writeFile(server->root() / "atualizacao" / "loja01" / "atualizacao.zip", patternBytes(1 << 20));
    writeFile(local("atualizacao.zip"), "old");
    auto settings = settingsFor(*server);
    settings.stallTimeoutSeconds = 2;
    client->setSettings(settings);
    client->connect();
    client->changeDir(updateFolder);
    if (GetParam().duringTransfer)
        client->onWork = [this](std::int64_t) { server->freeze(); };
    else
        server->freeze();

    const auto started = std::chrono::steady_clock::now();
    const auto message = platformtest::messageOf<FtpError>([&] { client->get("atualizacao.zip", local("atualizacao.zip"), true, false); });
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(readFile(local("atualizacao.zip")), "old");
}

INSTANTIATE_TEST_SUITE_P(Moments, HungServer,
                         testing::Values(HangCase{"before_the_transfer", false},
                                         HangCase{"during_the_transfer", true}),
                         platformtest::caseName);

TEST_F(FtpClientTest, FailingProgressHandlerAbortsAndItsErrorComesThrough) {
    start();
    writeFile(local("atualizacao.zip"), "old");
    client->connect();
    client->changeDir(updateFolder);
    client->onWork = [](std::int64_t) { throw std::logic_error("cancelled by the operator"); };
    EXPECT_THROW(client->get("atualizacao.zip", local("atualizacao.zip"), true, false), std::logic_error);
    EXPECT_EQ(readFile(local("atualizacao.zip")), "old");
    EXPECT_FALSE(std::filesystem::exists(local("atualizacao.zip.part")));
}

TEST_F(FtpClientTest, ExistingLocalFileWithoutOverwriteRaises) {
    start();
    writeFile(local("novidades.txt"), "mine");
    client->connect();
    client->changeDir(updateFolder);
    EXPECT_THROW(client->get("novidades.txt", local("novidades.txt"), false, false), FtpError);
    EXPECT_EQ(readFile(local("novidades.txt")), "mine");
}

struct ResumeCase {
    const char* name;
    std::size_t localSize;   // a prefix of the remote file, or longer
    bool localIsPrefix;
};

void PrintTo(const ResumeCase& c, std::ostream* out) { *out << c.name; }

class ResumedDownload : public FtpClientTest, public testing::WithParamInterface<ResumeCase> {};

TEST_P(ResumedDownload, EndsWithTheRemoteFile) {
    start();
    const auto remote = patternBytes(300 * 1024);
    const auto& c = GetParam();
    writeFile(local("atualizacao.zip"),
              c.localIsPrefix ? remote.substr(0, c.localSize) : std::string(c.localSize, 'L'));
    client->connect();
    client->changeDir(updateFolder);
    ProgressLog progress(*client);

    client->get("atualizacao.zip", local("atualizacao.zip"), true, true);
    EXPECT_EQ(readFile(local("atualizacao.zip")), remote);
    EXPECT_EQ(progress.counts.back(), static_cast<std::int64_t>(remote.size()));
    EXPECT_EQ(progress.events.back(), "end");
}

INSTANTIATE_TEST_SUITE_P(Cases, ResumedDownload,
                         testing::Values(ResumeCase{"from_half", 150 * 1024, true},
                                         ResumeCase{"already_complete", 300 * 1024, true},
                                         ResumeCase{"local_longer", 400 * 1024, false}),
                         platformtest::caseName);

} // namespace
