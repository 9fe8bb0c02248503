#include "app/UpdateLog.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <regex>

namespace app {
namespace {

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

const std::string kBom = "\xEF\xBB\xBF";

TEST(UpdateLogTest, FormatsTimeStampWithTwoDigitFields) {
    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 10;
    when.tm_hour = 1;
    when.tm_min = 14;
    when.tm_sec = 31;
    EXPECT_EQ(formatLogLine("Configuração lida", when), "10/12/26 01:14:31 : Configuração lida");
    EXPECT_EQ(formatLogLine("", when), "");
}

TEST(UpdateLogTest, NewFileGetsOneMarkAndEveryLineCrLf) {
    TempDir dir;
    const std::string log = (dir / "LOG_UPDATE.txt").string();
    appendLogLine(log, "");
    appendLogLine(log, "Início da atualização");
    appendLogLine(log, "Configuração lida");

    const std::string bytes = readFile(log);
    const std::regex shape(kBom +
                           "\r\n"
                           "\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d : Início da atualização\r\n"
                           "\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d : Configuração lida\r\n");
    EXPECT_TRUE(std::regex_match(bytes, shape)) << bytes;
}

TEST(UpdateLogTest, EmptyFileGetsTheMarkAndExistingFileDoesNot) {
    TempDir dir;
    writeFile(dir / "empty.txt", "");
    appendLogLine((dir / "empty.txt").string(), "");
    EXPECT_EQ(readFile(dir / "empty.txt"), kBom + "\r\n");

    writeFile(dir / "old.txt", kBom + "\r\n");
    appendLogLine((dir / "old.txt").string(), "");
    EXPECT_EQ(readFile(dir / "old.txt"), kBom + "\r\n\r\n");
}

TEST(UpdateLogTest, LogThatCannotBeOpenedRaises) {
    TempDir dir;
    const std::string log = (dir / "missing-folder" / "LOG_UPDATE.txt").string();
    try {
        appendLogLine(log, "x");
        FAIL() << "no failure";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open file \"" + log + "\". No such file or directory");
    }
}

} // namespace
} // namespace app
