#pragma once

#include "FtpServer.h"
#include "TempDir.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

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

// A port on 127.0.0.1 where nothing listens.
int unusedPort();

// An installation of the system with a real FTP server publishing its update folder:
//   <root>/app/              cliente.exe 1.0.0.9 and servidor.exe 1.0.0.12 (real PE files)
//   <root>/app/atualizacao/  the update folder the updater fills
//   <root>/config/CONFIG.ini
// and on the server, on 127.0.0.1, the folder /atualizacao/loja01/.
class SampleSite {
public:
    SampleSite();

    std::filesystem::path installDir() const { return dir_ / "app"; }
    std::filesystem::path updateDir() const { return dir_ / "app" / "atualizacao"; }
    std::filesystem::path configDir() const { return dir_ / "config"; }
    std::filesystem::path configFile() const { return configDir() / "CONFIG.ini"; }
    std::filesystem::path log() const { return updateDir() / "LOG_UPDATE.txt"; }
    const testsupport::FtpServer& server() const { return server_; }

    // Writes CONFIG.ini: section UPDATE for this installation plus extraUpdateLines, section
    // FTP for the test server, or for the given port and password where they are set.
    void writeConfig(std::string_view extraUpdateLines = "", int port = 0,
                     std::string_view password = "") const;
    // Places a file in the published update folder.
    void publish(const std::string& name, const std::string& bytes) const;
    // versaoFTP.ini with the given versions and script order.
    void publishVersions(std::string_view client, std::string_view server,
                         std::string_view firstScript = "") const;

private:
    testsupport::TempDir dir_{"kv-site"};
    testsupport::FtpServer server_;
};

struct ProcessResult {
    int status = -1; // exit status, or -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// Runs a program to its end with the given arguments, standard input empty.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args);

} // namespace apptest
