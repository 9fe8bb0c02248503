#pragma once

#include <string>
#include <string_view>

namespace platform {

// Appends the code point c to out as UTF-8.
void appendUtf8(std::string& out, char32_t c);

// Length of the well-formed UTF-8 sequence that bytes start with (1 for ASCII), 0 when they
// start none (overlong forms, surrogates and code points above U+10FFFF are not well-formed),
// and -1 when they end inside one that could still be well-formed.
int utf8SequenceLength(std::string_view bytes);

// The code point of the well-formed sequence of that length at the start of bytes.
char32_t decodeUtf8Sequence(std::string_view bytes, int length);

bool isValidUtf8(std::string_view bytes);

// The code point of a Windows-1252 byte; the five bytes the code page leaves unassigned keep
// their value, as Windows reads them.
char32_t windows1252CodePoint(unsigned char byte);
std::string windows1252ToUtf8(std::string_view bytes);

} // namespace platform
