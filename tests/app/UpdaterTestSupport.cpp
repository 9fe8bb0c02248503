#include "UpdaterTestSupport.h"

#include "FbTestDatabase.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>

extern char** environ;

namespace apptest {

std::vector<std::string> logTexts(const std::filesystem::path& log) {
    const std::string bom = "\xEF\xBB\xBF";
    std::string bytes = testsupport::readFile(log);
    EXPECT_TRUE(bytes.starts_with(bom)) << "no byte-order mark at the start of " << log;
    if (bytes.starts_with(bom))
        bytes.erase(0, bom.size());
    EXPECT_EQ(bytes.find(bom), std::string::npos) << "a second byte-order mark in " << log;

    static const std::regex stamped(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d : (.+))");
    std::vector<std::string> texts;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "line without CR LF at the end of " << log;
            break;
        }
        const std::string line = bytes.substr(start, end - start);
        std::smatch match;
        if (line.empty())
            texts.emplace_back();
        else if (std::regex_match(line, match, stamped))
            texts.push_back(match[1]);
        else
            ADD_FAILURE() << "line without a time stamp: '" << line << "'";
        start = end + 2;
    }
    return texts;
}

bool globMatch(std::string_view pattern, std::string_view text) {
    const auto star = pattern.find('*');
    if (star == std::string_view::npos)
        return pattern == text;
    if (!text.starts_with(pattern.substr(0, star)))
        return false;
    pattern.remove_prefix(star + 1);
    text.remove_prefix(star);
    for (std::size_t skip = 0; skip <= text.size(); ++skip) {
        if (globMatch(pattern, text.substr(skip)))
            return true;
        if (skip < text.size() && text[skip] == '\n')
            return false;
    }
    return false;
}

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

CurrentDirectory::CurrentDirectory(const std::filesystem::path& dir)
    : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
}

CurrentDirectory::~CurrentDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
}

SampleSite::SampleSite(testsupport::FtpServerOptions serverOptions)
    : server_(std::move(serverOptions)) {
    std::filesystem::create_directories(installDir());
    std::filesystem::create_directories(configDir());
    const std::filesystem::path fixtures = KV_PE_FIXTURES;
    std::filesystem::copy_file(fixtures / "cliente-1.0.0.9.exe", installDir() / clientName_);
    std::filesystem::copy_file(fixtures / "servidor-1.0.0.12.exe", installDir() / serverName_);
    writeConfig();
}

void SampleSite::renameExecutables(std::string client, std::string server) {
    clientName_ = std::move(client);
    serverName_ = std::move(server);
}

void SampleSite::writeConfig(std::string_view extraUpdateLines, int port,
                             std::string_view password) const {
    const std::string app = installDir().string() + "/";
    testsupport::writeFile(
        configFile(), "[UPDATE]\r\n"
                      "NOME_CLIENTE=" + clientName_ + "\r\n"
                      "NOME_SERVIDOR=" + serverName_ + "\r\n"
                      "NOME_BD=DADOS.FDB\r\n"
                      "DIRETORIO_INSTALACAO=" + app + "\r\n"
                      "DIRETORIO_BD=" + app + "dados/\r\n"
                      "DIRETORIO_WEB=Loja01\r\n" +
                      std::string(extraUpdateLines) +
                      "\r\n[FTP]\r\n"
                      "HOST=127.0.0.1\r\n"
                      "PORTA=" + std::to_string(port ? port : server_.port()) + "\r\n"
                      "USUARIO=" + server_.user() + "\r\n"
                      "SENHA=" + std::string(password.empty() ? server_.password() : password) +
                      "\r\n");
}

void SampleSite::publish(const std::string& name, const std::string& bytes) const {
    testsupport::writeFile(publishedDir() / name, bytes);
}

void SampleSite::publishVersions(std::string_view client, std::string_view server,
                                 std::string_view firstScript) const {
    publish("versaoFTP.ini",
            "[Versao]\r\nCliente=" + std::string(client) + "\r\nServidor=" + std::string(server) +
                "\r\n\r\n[SCRIPT]\r\nPrimeiro=" + std::string(firstScript) + "\r\n");
}

std::filesystem::path sampleClient(std::string_view version) {
    return std::filesystem::path(KV_SAMPLE_DIR) / ("sample-cliente-" + std::string(version));
}

std::filesystem::path sampleServer(std::string_view version) {
    return std::filesystem::path(KV_SAMPLE_DIR) / ("sample-servidor-" + std::string(version));
}

namespace {

// Unique on this machine while the test runs: the process id, and a count within it.
std::string uniqueName(const std::string& base) {
    static std::atomic<int> count = 0;
    return base + "_" + std::to_string(::getpid()) + "_" + std::to_string(++count);
}

} // namespace

InstallSite::InstallSite(testsupport::FtpServerOptions serverOptions)
    : SampleSite(std::move(serverOptions)) {
    std::filesystem::remove(installed(clientName()));
    std::filesystem::remove(installed(serverName()));
    renameExecutables(uniqueName("cliente"), uniqueName("servidor"));
    std::filesystem::copy_file(sampleClient("1.0.0.9"), installed(clientName()));
    std::filesystem::copy_file(sampleServer("1.0.0.12"), installed(serverName()));
    writeConfig();

    std::filesystem::create_directories(database().parent_path());
    auto db = platform::FbDatabase::create(fbtest::systemClient(), database().string(),
                                           fbtest::sysdba(), {8192, "UTF8"});
    for (std::string_view sql : {"CREATE TABLE CLIENTES (ID INTEGER NOT NULL PRIMARY KEY, "
                                 "NOME VARCHAR(60))",
                                 "INSERT INTO CLIENTES VALUES (1, 'Ana')"}) {
        platform::FbTransaction transaction = db.startTransaction();
        transaction.executeImmediate(sql);
        transaction.commit();
    }

    publishVersions("1.0.0.10", "1.0.0.13");
    publish("novidades.txt", "Versão 1.0.0.10\r\n- Cadastro de produtos\r\n");
}

void InstallSite::publishArchive(const std::vector<ZipEntry>& extra) const {
    std::vector<ZipEntry> entries = {{clientName(), newClient()}, {serverName(), newServer()}};
    entries.insert(entries.end(), extra.begin(), extra.end());
    writeZip(publishedDir() / "atualizacao.zip", entries);
}

std::string InstallSite::query(std::string_view sql) const {
    auto db = platform::FbDatabase::attach(fbtest::systemClient(), database().string(),
                                           fbtest::sysdba());
    return fbtest::queryScalar(db, sql);
}

ChildProcess::ChildProcess(const std::filesystem::path& program) {
    const std::string path = program.string();
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    if (posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, environ) != 0) {
        pid_ = -1;
        ADD_FAILURE() << "cannot start " << path;
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (pid_ > 0) {
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            if (WIFEXITED(status))
                return WEXITSTATUS(status);
            return std::nullopt;
        }
        if (std::chrono::steady_clock::now() > deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
}

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args) {
    testsupport::TempDir dir("kv-process");
    const std::string out = (dir / "out").string();
    const std::string err = (dir / "err").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ProcessResult result;
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << program;
        return result;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = testsupport::readFile(out);
    result.err = testsupport::readFile(err);
    return result;
}

} // namespace apptest
