#include "platform/FbScalar.h"

#include "platform/FbDateTime.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace platform::fbapi {

namespace {

using Kind = Scalar::Kind;

template <typename T> T load(const char* bytes) {
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

const char* kindName(Kind kind) {
    switch (kind) {
    case Kind::Null: return "NULL";
    case Kind::Text: return "text";
    case Kind::Exact: return "exact number";
    case Kind::Approximate: return "floating-point number";
    case Kind::Date: return "DATE";
    case Kind::Time: return "TIME";
    case Kind::Timestamp: return "TIMESTAMP";
    case Kind::Boolean: return "BOOLEAN";
    case Kind::Blob: return "BLOB";
    case Kind::Array: return "array";
    }
    return "value";
}

[[noreturn]] void cannotRead(const Scalar& value, std::string_view column, const char* as) {
    std::string what = kindName(value.kind);
    if (value.kind == Kind::Text)
        what += " '" + std::string(value.text) + "'";
    throw FbError("column " + std::string(column) + ": the " + what + " cannot be read as " + as);
}

std::string formatExact(std::int64_t value, int scale) {
    const bool negative = value < 0;
    // Through unsigned, so the smallest BIGINT keeps its magnitude.
    const std::uint64_t magnitude =
        negative ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    if (scale > 0 && magnitude != 0)
        digits.append(static_cast<size_t>(scale), '0');
    if (scale < 0) {
        const size_t decimals = static_cast<size_t>(-scale);
        if (digits.size() <= decimals)
            digits.insert(0, decimals + 1 - digits.size(), '0');
        digits.insert(digits.size() - decimals, 1, '.');
    }
    return negative ? "-" + digits : digits;
}

std::string formatApproximate(double value, bool single) {
    char text[64];
    const auto result = single ? std::to_chars(text, text + sizeof text, static_cast<float>(value))
                               : std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// CHAR values of the UTF-8 character sets arrive padded to their width in bytes (4 bytes a
// character in UTF8, 3 in UNICODE_FSS); the value itself is padded to its declared length in
// characters, so the blanks beyond it are cut.
std::string_view declaredWidth(std::string_view text, const XSQLVAR& var) {
    constexpr int kUnicodeFss = 3;
    constexpr int kUtf8 = 4;
    const int charset = var.sqlsubtype & 0xFF;
    const int bytesPerCharacter = charset == kUtf8 ? 4 : charset == kUnicodeFss ? 3 : 1;
    if (bytesPerCharacter == 1)
        return text;
    size_t characters = 0;
    for (const char c : text)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    const size_t width = static_cast<unsigned short>(var.sqllen) / bytesPerCharacter;
    while (characters > width && text.ends_with(' ')) {
        text.remove_suffix(1);
        --characters;
    }
    return text;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

template <typename T> bool parseWhole(std::string_view text, T& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// Rounds half away from zero; false when the result does not fit.
bool roundToInt64(double value, std::int64_t& result) {
    const double rounded = std::round(value);
    // 2^63 is exactly representable; every double below it converts without overflow.
    if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0))
        return false;
    result = static_cast<std::int64_t>(rounded);
    return true;
}

bool exactToInt64(std::int64_t value, int scale, std::int64_t& result) {
    if (scale == 0) {
        result = value;
        return true;
    }
    if (scale > 0) {
        result = value;
        for (int i = 0; i < scale; ++i) {
            if (result > INT64_MAX / 10 || result < INT64_MIN / 10)
                return false;
            result *= 10;
        }
        return true;
    }
    if (scale < -18) // beyond BIGINT's 18 digits: no such column exists
        return false;
    std::int64_t divisor = 1;
    for (int i = 0; i < -scale; ++i)
        divisor *= 10;
    result = value / divisor;
    const std::int64_t remainder = value % divisor;
    // Compare |remainder| with half the divisor without overflowing.
    if (remainder >= divisor - remainder)
        ++result;
    else if (-remainder >= divisor + remainder)
        --result;
    return true;
}

} // namespace

Scalar read(const XSQLVAR& var) {
    Scalar value;
    if ((var.sqltype & 1) && *var.sqlind == -1)
        return value;
    const char* data = var.sqldata;
    switch (var.sqltype & ~1) {
    case SQL_TEXT:
        value.kind = Kind::Text;
        value.text = declaredWidth({data, static_cast<unsigned short>(var.sqllen)}, var);
        break;
    case SQL_VARYING:
        value.kind = Kind::Text;
        value.text = {data + sizeof(short), static_cast<unsigned short>(load<short>(data))};
        break;
    case SQL_SHORT:
        value.kind = Kind::Exact;
        value.exact = load<ISC_SHORT>(data);
        value.scale = var.sqlscale;
        break;
    case SQL_LONG:
        value.kind = Kind::Exact;
        value.exact = load<ISC_LONG>(data);
        value.scale = var.sqlscale;
        break;
    case SQL_INT64:
        value.kind = Kind::Exact;
        value.exact = load<ISC_INT64>(data);
        value.scale = var.sqlscale;
        break;
    case SQL_FLOAT:
        value.kind = Kind::Approximate;
        value.approximate = load<float>(data);
        value.single = true;
        break;
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        value.kind = Kind::Approximate;
        value.approximate = load<double>(data);
        break;
    case SQL_TYPE_DATE:
        value.kind = Kind::Date;
        value.date = load<ISC_DATE>(data);
        break;
    case SQL_TYPE_TIME:
        value.kind = Kind::Time;
        value.time = load<ISC_TIME>(data);
        break;
    case SQL_TIMESTAMP: {
        const auto stamp = load<ISC_TIMESTAMP>(data);
        value.kind = Kind::Timestamp;
        value.date = stamp.timestamp_date;
        value.time = stamp.timestamp_time;
        break;
    }
    case SQL_BOOLEAN:
        value.kind = Kind::Boolean;
        value.boolean = load<FB_BOOLEAN>(data) != FB_FALSE;
        break;
    case SQL_BLOB:
    case SQL_QUAD:
        value.kind = Kind::Blob;
        value.blob = load<ISC_QUAD>(data);
        break;
    case SQL_ARRAY: value.kind = Kind::Array; break;
    case SQL_NULL: break;
    }
    return value;
}

std::string toText(const Scalar& value, std::string_view column) {
    switch (value.kind) {
    case Kind::Null: return {};
    case Kind::Text: return std::string(value.text);
    case Kind::Exact: return formatExact(value.exact, value.scale);
    case Kind::Approximate: return formatApproximate(value.approximate, value.single);
    case Kind::Date: return formatDate(decodeDate(value.date));
    case Kind::Time: return formatTime(decodeTime(value.time));
    case Kind::Timestamp:
        return formatDate(decodeDate(value.date)) + " " + formatTime(decodeTime(value.time));
    case Kind::Boolean: return value.boolean ? "TRUE" : "FALSE";
    case Kind::Blob:
    case Kind::Array: break;
    }
    cannotRead(value, column, "text");
}

std::int64_t toInt64(const Scalar& value, std::string_view column) {
    std::int64_t result = 0;
    double real = 0;
    switch (value.kind) {
    case Kind::Null: return 0;
    case Kind::Boolean: return value.boolean ? 1 : 0;
    case Kind::Exact:
        if (exactToInt64(value.exact, value.scale, result))
            return result;
        break;
    case Kind::Approximate:
        if (roundToInt64(value.approximate, result))
            return result;
        break;
    case Kind::Text:
        if (parseWhole(trimmed(value.text), result))
            return result;
        if (parseWhole(trimmed(value.text), real) && roundToInt64(real, result))
            return result;
        break;
    default: break;
    }
    cannotRead(value, column, "an integer");
}

double toDouble(const Scalar& value, std::string_view column) {
    double result = 0;
    switch (value.kind) {
    case Kind::Null: return 0;
    case Kind::Boolean: return value.boolean ? 1 : 0;
    case Kind::Approximate: return value.approximate;
    case Kind::Exact:
        // Through the decimal text, so NUMERIC values round once, correctly.
        parseWhole(formatExact(value.exact, value.scale), result);
        return result;
    case Kind::Text:
        if (parseWhole(trimmed(value.text), result))
            return result;
        break;
    default: break;
    }
    cannotRead(value, column, "a number");
}

bool toBool(const Scalar& value, std::string_view column) {
    switch (value.kind) {
    case Kind::Null: return false;
    case Kind::Boolean: return value.boolean;
    case Kind::Exact: return value.exact != 0;
    case Kind::Approximate: return value.approximate != 0;
    default: break;
    }
    cannotRead(value, column, "a boolean");
}

FbDate toDate(const Scalar& value, std::string_view column) {
    switch (value.kind) {
    case Kind::Null: return {};
    case Kind::Date:
    case Kind::Timestamp: return decodeDate(value.date);
    default: break;
    }
    cannotRead(value, column, "a date");
}

FbTime toTime(const Scalar& value, std::string_view column) {
    switch (value.kind) {
    case Kind::Null: return {};
    case Kind::Time:
    case Kind::Timestamp: return decodeTime(value.time);
    default: break;
    }
    cannotRead(value, column, "a time");
}

FbTimestamp toTimestamp(const Scalar& value, std::string_view column) {
    switch (value.kind) {
    case Kind::Null: return {};
    case Kind::Date: return {decodeDate(value.date), {}};
    case Kind::Timestamp: return {decodeDate(value.date), decodeTime(value.time)};
    default: break;
    }
    cannotRead(value, column, "a timestamp");
}

} // namespace platform::fbapi
