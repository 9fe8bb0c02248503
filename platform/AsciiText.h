#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace platform {

// Case rules of names that Windows compares without regard to case (INI sections and keys,
// executable file names): only the ASCII letters A to Z and a to z pair up; every other byte,
// UTF-8 sequences included, stays as it is.

constexpr char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string asciiLowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), asciiLower);
    return lower;
}

constexpr bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

} // namespace platform
