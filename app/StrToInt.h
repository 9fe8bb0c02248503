#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace app {

// A text that is not a 32-bit decimal integer.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The whole text as a 32-bit decimal integer with an optional sign, or nothing: no blanks,
// no other bases, no value outside the 32-bit range.
std::optional<std::int32_t> tryStrToInt(std::string_view text);

// As tryStrToInt, raising EConvertError "'<text>' is not a valid integer value" on failure.
std::int32_t strToInt(std::string_view text);

// As tryStrToInt, with defaultValue on failure.
std::int32_t strToIntDef(std::string_view text, std::int32_t defaultValue);

} // namespace app
