#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(Paths, ExecutablePathIsThisTestProgram) {
    const auto path = platform::executablePath();
    EXPECT_TRUE(std::filesystem::path(path).is_absolute()) << path;
    EXPECT_TRUE(std::filesystem::equivalent(path, "/proc/self/exe")) << path;
}

TEST(Paths, ExtractFilePathKeepsTheTrailingSeparator) {
    EXPECT_EQ(platform::extractFilePath("/opt/app/KELVANTRA"), "/opt/app/");
    EXPECT_EQ(platform::extractFilePath("/KELVANTRA"), "/");
    EXPECT_EQ(platform::extractFilePath("/opt/app/"), "/opt/app/");
    EXPECT_EQ(platform::extractFilePath("KELVANTRA"), "");
    EXPECT_EQ(platform::extractFilePath(""), "");
}

} // namespace
