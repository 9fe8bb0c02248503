#include "FirebirdServer.h"

#include "Ports.h"
#include "platform/FbDatabase.h"

#include <csignal>
#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace testsupport {

namespace {

using Clock = std::chrono::steady_clock;

const char* const kServerUser = "firebird";

// The packaged engine's root: the folder holding firebird.conf, plugins/ and intl/.
fs::path systemRoot() {
    std::error_code ignored;
    for (const fs::directory_entry& entry : fs::directory_iterator("/usr/lib", ignored)) {
        const fs::path root = entry.path() / "firebird" / "3.0";
        if (fs::exists(root / "plugins" / "libEngine12.so", ignored))
            return root;
    }
    throw std::runtime_error("no Firebird 3 engine under /usr/lib/*/firebird/3.0");
}

const passwd* serverAccount() { return getuid() == 0 ? getpwnam(kServerUser) : nullptr; }

// Starts a program found on the PATH with extra environment variables, its output appended to
// a log file. Returns the child's pid.
pid_t spawn(const std::vector<std::string>& arguments,
            const std::vector<std::pair<std::string, std::string>>& variables,
            const fs::path& log) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        bool replaced = false;
        for (const auto& [name, value] : variables)
            replaced = replaced || text.starts_with(name + "=");
        if (!replaced)
            environment.push_back(text);
    }
    for (const auto& [name, value] : variables)
        environment.push_back(name + "=" + value);

    const auto pointers = [](std::vector<std::string>& texts) {
        std::vector<char*> result;
        for (std::string& text : texts)
            result.push_back(text.data());
        result.push_back(nullptr);
        return result;
    };
    std::vector<std::string> argumentTexts = arguments;
    std::vector<char*> argv = pointers(argumentTexts);
    std::vector<char*> envp = pointers(environment);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error("cannot start " + arguments[0] + ": " + std::strerror(error));
    return pid;
}

bool exited(pid_t pid, bool wait) {
    int status = 0;
    return waitpid(pid, &status, wait ? 0 : WNOHANG) == pid;
}

} // namespace

FirebirdServer::FirebirdServer(std::string sysdbaPassword)
    : state_("kv-fbserver"), password_(std::move(sysdbaPassword)), port_(freeLoopbackPort()) {
    prepareRoot();
    buildSecurityDatabase();
    start();
    try {
        waitUntilReady();
    } catch (...) {
        stop();
        throw;
    }
}

FirebirdServer::~FirebirdServer() { stop(); }

std::string FirebirdServer::databaseName(const std::string& fileName) const {
    return "127.0.0.1/" + std::to_string(port_) + ":" + (state_ / "data" / fileName).string();
}

void FirebirdServer::prepareRoot() const {
    // Everything of the packaged root is linked, but intl/libfbintl.so must be a real copy:
    // reached through a link, the engine loads no character set beyond the built-in ones.
    const fs::path system = systemRoot();
    const fs::path root = state_ / "root";
    fs::create_directories(root / "intl");
    fs::create_directories(state_ / "lock");
    fs::create_directories(state_ / "data");
    for (const fs::directory_entry& entry : fs::directory_iterator(system)) {
        const std::string name = entry.path().filename().string();
        if (name != "firebird.conf" && name != "intl")
            fs::create_symlink(entry.path(), root / name);
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(system / "intl")) {
        const fs::path target = root / "intl" / entry.path().filename();
        if (entry.path().extension() == ".so")
            fs::copy_file(entry.path(), target);
        else
            fs::create_symlink(entry.path(), target);
    }
    writeFile(root / "firebird.conf", "RemoteBindAddress = 127.0.0.1\n"
                                      "RemoteServicePort = " +
                                          std::to_string(port_) +
                                          "\n"
                                          "UdfAccess = None\n"
                                          "SecurityDatabase = " +
                                          (state_ / "security3.fdb").string() + "\n");
}

void FirebirdServer::buildSecurityDatabase() const {
    // Built and given its SYSDBA password by the embedded engine, before the server holds it.
    const fs::path script = state_ / "security.sql";
    writeFile(script, "create database '" + (state_ / "security3.fdb").string() +
                          "';\n"
                          "input '/usr/share/firebird/3.0/security.sql';\n"
                          "create or alter user SYSDBA password '" +
                          password_ +
                          "' using plugin Srp;\n"
                          "commit;\n");
    const pid_t pid = spawn(
        {"isql-fb", "-q", "-user", "SYSDBA", "-i", script.string()},
        {{"FIREBIRD", (state_ / "root").string()}, {"FIREBIRD_LOCK", (state_ / "lock").string()}},
        state_ / "isql.log");
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("building the security database failed:\n" +
                                 readFile(state_ / "isql.log"));
}

void FirebirdServer::start() {
    std::vector<std::string> command = {"setpriv"};
    if (const passwd* account = serverAccount()) {
        // The server writes its files as `firebird`; so it must own all of its folder.
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(state_.path()))
            lchown(entry.path().c_str(), account->pw_uid, account->pw_gid);
        lchown(state_.path().c_str(), account->pw_uid, account->pw_gid);
        // A log file that an embedded process running as root created first would block the
        // server's logging.
        chown("/var/log/firebird/firebird3.0.log", account->pw_uid, account->pw_gid);
        command.insert(command.end(), {"--reuid=firebird", "--regid=firebird", "--init-groups"});
    }
    // -d keeps the server in the foreground and bound as configured; the parent-death signal
    // ends it with the test process, whatever way that ends.
    command.insert(command.end(), {"--pdeathsig", "KILL", "/usr/sbin/firebird", "-d"});
    pid_ = spawn(
        command,
        {{"FIREBIRD", (state_ / "root").string()}, {"FIREBIRD_LOCK", (state_ / "lock").string()}},
        state_ / "server.log");
}

void FirebirdServer::waitUntilReady() {
    const auto client = platform::FbClient::load("libfbclient.so.2");
    platform::FbConnectOptions options;
    options.user = "SYSDBA";
    options.password = password_;
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    std::string lastError;
    while (Clock::now() < deadline) {
        if (exited(pid_, false)) {
            pid_ = -1;
            throw std::runtime_error("the Firebird server ended at start-up:\n" + serverLog());
        }
        try {
            platform::FbDatabase::create(client, databaseName("ready.fdb"), options).drop();
            return;
        } catch (const platform::FbError& error) {
            lastError = error.what();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    throw std::runtime_error("the Firebird server did not answer: " + lastError + "\n" +
                             serverLog());
}

void FirebirdServer::stop() noexcept {
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    while (Clock::now() < deadline) {
        if (exited(pid_, false)) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid_, SIGKILL);
    exited(pid_, true);
    pid_ = -1;
}

std::string FirebirdServer::serverLog() const {
    try {
        return readFile(state_ / "server.log");
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace testsupport
