#pragma once

#include "platform/ByteReader.h"

#include <cstdint>
#include <string>

// The readers behind readFileVersion, one per executable format.
namespace platform::detail {

// The file version of a PE image (PE32 or PE32+) from its version resource, or of an ELF
// image from its version note; "" when it has none. Raise MalformedData when the image is
// damaged or truncated.
std::string peFileVersion(const ByteReader& image);
std::string elfFileVersion(const ByteReader& image);

inline std::string formatVersion(std::uint16_t a, std::uint16_t b, std::uint16_t c,
                                 std::uint16_t d) {
    return std::to_string(a) + '.' + std::to_string(b) + '.' + std::to_string(c) + '.' +
           std::to_string(d);
}

} // namespace platform::detail
