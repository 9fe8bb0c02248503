#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Helpers shared by the platform tests.
namespace platformtest {

// Names each case of a parameterised test after the case's `name`.
inline constexpr auto caseName = [](const auto& info) { return std::string(info.param.name); };

// The message of the Error that action raises; a test failure when it raises none.
template <typename Error>
std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    ADD_FAILURE() << "nothing raised";
    return {};
}

// Every entry under folder, relative to it, folders with a trailing "/", sorted.
inline std::vector<std::string> folderTree(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        names.push_back(std::filesystem::relative(entry.path(), folder).generic_string() +
                        (entry.is_directory() ? "/" : ""));
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace platformtest
