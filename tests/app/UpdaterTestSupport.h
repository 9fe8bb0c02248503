#pragma once

#include "FtpServer.h"
#include "Ports.h"
#include "TempDir.h"
#include "ZipWriter.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace apptest {

// The texts of the update log's lines, without their time stamps; an empty line stays empty.
// Fails the running test when the file does not start with exactly one byte-order mark, a
// line does not end in CR LF, or a time stamp is not "dd/mm/yy hh:mm:ss : ".
std::vector<std::string> logTexts(const std::filesystem::path& log);

// Whether text matches pattern, where each "*" stands for any run of characters on one line.
bool globMatch(std::string_view pattern, std::string_view text);

std::string replaceAll(std::string text, std::string_view from, std::string_view to);

// Makes a folder the process's current folder for the object's lifetime.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::filesystem::path& dir);
    ~CurrentDirectory();
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

// An installation of the system with a real FTP server publishing its update folder:
//   <root>/app/              cliente.exe 1.0.0.9 and servidor.exe 1.0.0.12 (real PE files)
//   <root>/app/atualizacao/  the update folder the updater fills
//   <root>/config/CONFIG.ini
// and on the server, on 127.0.0.1, the folder /atualizacao/loja01/.
class SampleSite {
public:
    explicit SampleSite(testsupport::FtpServerOptions serverOptions = {});

    std::filesystem::path installDir() const { return dir_ / "app"; }
    std::filesystem::path updateDir() const { return dir_ / "app" / "atualizacao"; }
    std::filesystem::path configDir() const { return dir_ / "config"; }
    std::filesystem::path configFile() const { return configDir() / "CONFIG.ini"; }
    std::filesystem::path log() const { return updateDir() / "LOG_UPDATE.txt"; }
    std::filesystem::path publishedDir() const {
        return server_.root() / "atualizacao" / "loja01";
    }
    const testsupport::FtpServer& server() const { return server_; }
    // NOME_CLIENTE and NOME_SERVIDOR.
    const std::string& clientName() const { return clientName_; }
    const std::string& serverName() const { return serverName_; }

    // Writes CONFIG.ini: section UPDATE for this installation plus extraUpdateLines, section
    // FTP for the test server, or for the given port and password where they are set.
    void writeConfig(std::string_view extraUpdateLines = "", int port = 0,
                     std::string_view password = "") const;
    // Places a file in the published update folder.
    void publish(const std::string& name, const std::string& bytes) const;
    // versaoFTP.ini with the given versions and script order.
    void publishVersions(std::string_view client, std::string_view server,
                         std::string_view firstScript = "") const;

protected:
    // Makes the executables' names those given; the next writeConfig writes them.
    void renameExecutables(std::string client, std::string server);

private:
    testsupport::TempDir dir_{"kv-site"};
    testsupport::FtpServer server_;
    std::string clientName_ = "cliente.exe";
    std::string serverName_ = "servidor.exe";
};

using testsupport::ZipEntry;
using testsupport::writeZip;

// The native sample programs the build makes with version notes (kv_add_sample_executable):
// they run until SIGTERM and exit 0 then.
std::filesystem::path sampleClient(std::string_view version);
std::filesystem::path sampleServer(std::string_view version);

// A SampleSite that can really be updated. Installed: client 1.0.0.9 and server 1.0.0.12 as
// runnable native programs under names no other test uses (the installation ends processes by
// name, so they must never reach another test's), and the live database dados/DADOS.FDB with
// table CLIENTES (ID, NOME) holding one row. Published: client 1.0.0.10, server 1.0.0.13, the
// release notes and, with publishArchive, atualizacao.zip.
class InstallSite : public SampleSite {
public:
    explicit InstallSite(testsupport::FtpServerOptions serverOptions = {});

    std::filesystem::path database() const { return installDir() / "dados" / "DADOS.FDB"; }
    std::filesystem::path installed(const std::string& name) const { return installDir() / name; }
    // The new executables, and atualizacao.zip holding them followed by extra entries.
    static std::string newClient() { return testsupport::readFile(sampleClient("1.0.0.10")); }
    static std::string newServer() { return testsupport::readFile(sampleServer("1.0.0.13")); }
    void publishArchive(const std::vector<ZipEntry>& extra = {}) const;
    // The first column of the first row of a query on the live database, as text.
    std::string query(std::string_view sql) const;
};

// A program run by the test, ended and reaped at the latest when the object goes away.
class ChildProcess {
public:
    explicit ChildProcess(const std::filesystem::path& program);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Its exit status once it has ended within the time limit; nothing while it still runs
    // (or when it did not end normally).
    std::optional<int> waitForExit(std::chrono::milliseconds limit = std::chrono::seconds(5));

private:
    pid_t pid_ = -1;
};

struct ProcessResult {
    int status = -1; // exit status, or -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// Runs a program to its end with the given arguments, standard input empty.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args);

} // namespace apptest
