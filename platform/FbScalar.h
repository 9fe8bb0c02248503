#pragma once

// Internal to the Firebird access layer: one value as the server wrote it into an output
// variable, and its conversions. Column names only serve the error messages.

#include "platform/FbApi.h"
#include "platform/FbStatement.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace platform::fbapi {

struct Scalar {
    enum class Kind { Null, Text, Exact, Approximate, Date, Time, Timestamp, Boolean, Blob, Array };
    Kind kind = Kind::Null;
    std::string_view text;  // Text: the bytes, CHAR padding included
    std::int64_t exact = 0; // Exact: the value is exact × 10^scale
    int scale = 0;
    double approximate = 0; // Approximate
    bool single = false;    // Approximate: came from a FLOAT, so it prints as one
    ISC_DATE date = 0;      // Date, Timestamp
    ISC_TIME time = 0;      // Time, Timestamp
    bool boolean = false;   // Boolean
    ISC_QUAD blob{};        // Blob
};

Scalar read(const XSQLVAR& var);

// Texts of every kind but Blob and Array (which raise); Null gives "".
std::string toText(const Scalar& value, std::string_view column);
std::int64_t toInt64(const Scalar& value, std::string_view column);
double toDouble(const Scalar& value, std::string_view column);
bool toBool(const Scalar& value, std::string_view column);
FbDate toDate(const Scalar& value, std::string_view column);
FbTime toTime(const Scalar& value, std::string_view column);
FbTimestamp toTimestamp(const Scalar& value, std::string_view column);

} // namespace platform::fbapi
