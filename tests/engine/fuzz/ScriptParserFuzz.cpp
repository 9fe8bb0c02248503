// libFuzzer entry point for the Firebird script parser; built by scripts/fuzz.sh.

#include "ScriptParserHarness.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    enginefuzz::ParseScriptBytes({reinterpret_cast<const char*>(data), size});
    return 0;
}
