#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace apptest {

// The texts of the update log's lines, without their time stamps; an empty line stays empty.
// Fails the running test when the file does not start with exactly one byte-order mark, a
// line does not end in CR LF, or a time stamp is not "dd/mm/yy hh:mm:ss : ".
std::vector<std::string> logTexts(const std::filesystem::path& log);

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

} // namespace apptest
