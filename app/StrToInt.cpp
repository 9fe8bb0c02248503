#include "app/StrToInt.h"

#include <charconv>
#include <string>

namespace app {

std::optional<std::int32_t> tryStrToInt(std::string_view text) {
    // from_chars takes a leading '-' but not '+'.
    std::string_view digits = text;
    if (digits.starts_with('+')) {
        digits.remove_prefix(1);
        if (digits.starts_with('-'))
            return std::nullopt;
    }

    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

std::int32_t strToInt(std::string_view text) {
    if (const auto value = tryStrToInt(text))
        return *value;
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

std::int32_t strToIntDef(std::string_view text, std::int32_t defaultValue) {
    return tryStrToInt(text).value_or(defaultValue);
}

} // namespace app
