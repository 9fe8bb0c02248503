// Inputs the fuzzer found a fault with (data/fuzz-regressions, kept by scripts/fuzz.sh --keep),
// replayed through the fuzzer's own harness: each must now parse to its end.

#include "fuzz/ScriptParserHarness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

TEST(FuzzRegressions, KeptInputsParse) {
    const std::filesystem::path folder = ENGINE_FUZZ_REGRESSIONS_DIR;
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().filename() == "README.md")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        SCOPED_TRACE(entry.path().filename().string());
        enginefuzz::ParseScriptBytes(bytes.str());
        ++replayed;
    }
    if (replayed == 0)
        GTEST_SKIP() << "no fuzzer finds kept in " << folder;
}
