#include "UpdaterTestSupport.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <regex>

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

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
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

} // namespace apptest
