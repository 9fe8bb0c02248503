#include "platform/Utf8.h"

#include <array>

namespace platform {
namespace {

// Code points of the bytes 0x80 to 0x9F in Windows-1252.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

} // namespace

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

int utf8SequenceLength(std::string_view bytes) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        if (static_cast<std::size_t>(i) >= bytes.size())
            return -1;
        const auto byte = static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
        if (i == 1 ? (byte < low || byte > high) : !isContinuation(byte))
            return 0;
    }
    return length;
}

char32_t decodeUtf8Sequence(std::string_view bytes, int length) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (length == 1)
        return lead;
    char32_t c = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i)
        c = (c << 6) | (static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]) & 0x3F);
    return c;
}

bool isValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const int length = utf8SequenceLength(bytes);
        if (length <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(length));
    }
    return true;
}

char32_t windows1252CodePoint(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80] : char32_t{byte};
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes)
        appendUtf8(out, windows1252CodePoint(static_cast<unsigned char>(c)));
    return out;
}

} // namespace platform
