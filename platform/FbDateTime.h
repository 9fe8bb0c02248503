#pragma once

// Internal to the Firebird access layer: Firebird's date and time encodings. A DATE counts days
// from 1858-11-17 (the Modified Julian Day), a TIME counts 1/10000 seconds from midnight.

#include "platform/FbApi.h"
#include "platform/FbStatement.h"

#include <string>

namespace platform::fbapi {

// Both raise FbError for a value that is no real date or time of day.
ISC_DATE encodeDate(const FbDate& date);
ISC_TIME encodeTime(const FbTime& time);

FbDate decodeDate(ISC_DATE days);
FbTime decodeTime(ISC_TIME ticks);

// "2024-01-31" and "13:45:00.0000", as Firebird's tools show them.
std::string formatDate(const FbDate& date);
std::string formatTime(const FbTime& time);

} // namespace platform::fbapi
