#pragma once

// One run of the script parser over arbitrary bytes, as the fuzzer and the replay of its finds
// drive it: parsed into a collection and a script builder, linked, and rendered again.

#include <string_view>

namespace enginefuzz {

// The low bits of the first byte choose the server version and the dialect, so that every
// reading of the lexer is reached; the whole input is the script.
void ParseScriptBytes(std::string_view bytes);

} // namespace enginefuzz
