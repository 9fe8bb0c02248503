#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace app {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLineTest, ReadsEveryOption) {
    EXPECT_EQ(parseCommandLine({}).mode, RunMode::Window);
    EXPECT_EQ(parseCommandLine({"--check"}).mode, RunMode::Check);
    EXPECT_EQ(parseCommandLine({"--help"}).mode, RunMode::Help);

    const CommandLine install =
        parseCommandLine({"--install", "--yes", "--open", "--config-dir", "/c"});
    EXPECT_EQ(install.mode, RunMode::Install);
    EXPECT_TRUE(install.assumeYes);
    EXPECT_TRUE(install.openAfterInstall);
    EXPECT_EQ(install.configDir, "/c");

    EXPECT_EQ(parseCommandLine({"--config-dir=/d", "--check"}).configDir, "/d");
    EXPECT_EQ(parseCommandLine({"--config-dir", "/w"}).mode, RunMode::Window);
    EXPECT_FALSE(parseCommandLine({"--install"}).assumeYes);
}

TEST(CommandLineTest, RejectsWhatDoesNotMakeSense) {
    for (const Args& args : {Args{"--chek"}, Args{"check"}, Args{"--config-dir"},
                             Args{"--config-dir="}, Args{"--check", "--install"}, Args{"--yes"},
                             Args{"--check", "--open"}, Args{"--help", "--check"}})
        EXPECT_THROW(parseCommandLine(args), UsageError) << testing::PrintToString(args);
}

TEST(CommandLineTest, UsageNamesEveryOption) {
    const std::string usage = usageText("KELVANTRA");
    for (const char* option : {"--check", "--install", "--yes", "--open", "--config-dir", "--help"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

} // namespace
} // namespace app
