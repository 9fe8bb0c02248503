#include "platform/Processes.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Whether the process has the signal's bit set in the given line of /proc/PID/status
// ("SigBlk", "SigIgn"): how a test knows a program is ready for the signal it will get.
bool hasSignalBit(int pid, const std::string& field, int signal) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(field + ":"))
            return (std::stoull(line.substr(field.size() + 1), nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

void waitForSignalBit(int pid, const std::string& field, int signal) {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!hasSignalBit(pid, field, signal) && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

bool runsUnreaped(int pid) { return ::waitpid(pid, nullptr, WNOHANG) == 0; }

// Copies of the test programs under names of this test process's own, so ending them by
// name never touches another test's processes.
class ProcessesTest : public testing::Test {
protected:
    ~ProcessesTest() override {
        for (int pid : started_) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }

    std::string name(const std::string& base) const { return base + std::to_string(::getpid()); }

    std::string install(const std::string& program, const std::string& relativePath) {
        const auto path = dir / relativePath;
        fs::create_directories(path.parent_path());
        fs::copy_file(program, path, fs::copy_options::overwrite_existing);
        return path.string();
    }

    // A sample program started and ready: SIGTERM ends it with status 0.
    int startSample(const std::string& path) {
        const int pid = platform::startProcess(path);
        started_.push_back(pid);
        waitForSignalBit(pid, "SigBlk", SIGTERM);
        return pid;
    }

    int reap(int pid) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        std::erase(started_, pid);
        return status;
    }

    testsupport::TempDir dir;

private:
    std::vector<int> started_;
};

TEST_F(ProcessesTest, EndsEveryProcessOfTheNameIgnoringCaseAndNoOther) {
    const int first = startSample(install(KV_SAMPLE_PROGRAM, "a/" + name("KvCliente") + ".exe"));
    const int second = startSample(install(KV_SAMPLE_PROGRAM, "b/" + name("kvcliente") + ".EXE"));
    const int other = startSample(install(KV_SAMPLE_PROGRAM, "a/" + name("KvServidor") + ".exe"));

    const auto started = Clock::now();
    EXPECT_EQ(platform::terminateProcessesByName(name("KVCLIENTE") + ".exe"), 2);
    // Ended children wait as zombies for this test to reap them; that counts as ended, so
    // the call does not sit out its grace period.
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(2));
    for (int pid : {first, second}) {
        const int status = reap(pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }
    EXPECT_TRUE(runsUnreaped(other));
    EXPECT_EQ(platform::terminateProcessesByName(name("KvServidor") + ".exe"), 1);
}

TEST_F(ProcessesTest, ForcesOneThatIgnoresTheRequest) {
    const auto path = install(KV_STUBBORN_PROGRAM, name("Teimoso"));
    const int pid = platform::startProcess(path);
    waitForSignalBit(pid, "SigIgn", SIGTERM);

    EXPECT_EQ(platform::terminateProcessesByName(name("teimoso"), std::chrono::milliseconds(300)), 1);
    const int status = reap(pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
}

TEST_F(ProcessesTest, NoProcessOfTheNameEndsNone) {
    EXPECT_EQ(platform::terminateProcessesByName(name("Ninguem") + ".exe"), 0);
}

TEST_F(ProcessesTest, StartsThePathAsItIsWithTheCallersEnvironmentAndFolder) {
    const auto path = install(KV_SAMPLE_PROGRAM, "pasta com espaço/" + name("Cliente Novo") + ".exe");
    ::setenv("KV_START_MARK", "marca 123", 1);
    const int leaked = ::open("/dev/null", O_RDONLY); // without O_CLOEXEC
    const int pid = startSample(path);
    ::close(leaked);

    const auto proc = fs::path("/proc") / std::to_string(pid);
    EXPECT_EQ(testsupport::readFile(proc / "cmdline"), path + '\0');
    EXPECT_EQ(fs::read_symlink(proc / "exe"), path);
    EXPECT_EQ(fs::read_symlink(proc / "cwd"), fs::current_path());
    EXPECT_NE(testsupport::readFile(proc / "environ").find(std::string("KV_START_MARK=marca 123") + '\0'),
              std::string::npos);
    std::vector<std::string> descriptors;
    for (const auto& entry : fs::directory_iterator(proc / "fd"))
        descriptors.push_back(entry.path().filename().string());
    std::sort(descriptors.begin(), descriptors.end());
    EXPECT_EQ(descriptors, (std::vector<std::string>{"0", "1", "2"}));
}

TEST_F(ProcessesTest, StartFailureGivesTheReason) {
    const auto missing = (dir / "nao-existe.exe").string();
    const auto notExecutable = (dir / "dados.txt").string();
    testsupport::writeFile(notExecutable, "texto");
    for (const auto& [path, reason] : {std::pair{missing, "No such file or directory"},
                                       std::pair{notExecutable, "Permission denied"}}) {
        try {
            platform::startProcess(path);
            ADD_FAILURE() << path << " started";
        } catch (const platform::ProcessError& error) {
            EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
            EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
        }
    }
}

TEST(Sleep, WaitsAboutTheTimeAsked) {
    const auto started = Clock::now();
    platform::sleepMilliseconds(120);
    const auto elapsed = Clock::now() - started;
    EXPECT_GE(elapsed, std::chrono::milliseconds(120));
    EXPECT_LT(elapsed, std::chrono::seconds(2));
}

} // namespace
