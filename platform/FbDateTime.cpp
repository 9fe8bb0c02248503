#include "platform/FbDateTime.h"

#include <cstdio>

namespace platform::fbapi {

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar, and back
// (Howard Hinnant's civil-date algorithms).
long long daysFromCivil(long long year, unsigned month, unsigned day) {
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

FbDate civilFromDays(long long days) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const unsigned month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const long long year = static_cast<long long>(yearOfEra) + era * 400 + (month <= 2);
    return {static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
}

const long long kEpochOffset = daysFromCivil(1858, 11, 17);

constexpr ISC_TIME kTicksPerSecond = ISC_TIME_SECONDS_PRECISION;

} // namespace

ISC_DATE encodeDate(const FbDate& date) {
    // Firebird's range of dates.
    const bool plausible = date.year >= 1 && date.year <= 9999 && date.month >= 1 &&
                           date.month <= 12 && date.day >= 1 && date.day <= 31;
    const long long days = plausible ? daysFromCivil(date.year, static_cast<unsigned>(date.month),
                                                     static_cast<unsigned>(date.day))
                                     : 0;
    if (!plausible || civilFromDays(days) != date)
        throw FbError("invalid date " + formatDate(date));
    return static_cast<ISC_DATE>(days - kEpochOffset);
}

ISC_TIME encodeTime(const FbTime& time) {
    if (time.hour < 0 || time.hour > 23 || time.minute < 0 || time.minute > 59 || time.second < 0 ||
        time.second > 59 || time.fraction < 0 || time.fraction >= static_cast<int>(kTicksPerSecond))
        throw FbError("invalid time " + formatTime(time));
    return ((static_cast<ISC_TIME>(time.hour) * 60 + static_cast<ISC_TIME>(time.minute)) * 60 +
            static_cast<ISC_TIME>(time.second)) *
               kTicksPerSecond +
           static_cast<ISC_TIME>(time.fraction);
}

FbDate decodeDate(ISC_DATE days) { return civilFromDays(days + kEpochOffset); }

FbTime decodeTime(ISC_TIME ticks) {
    const ISC_TIME seconds = ticks / kTicksPerSecond;
    return {static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
            static_cast<int>(seconds % 60), static_cast<int>(ticks % kTicksPerSecond)};
}

std::string formatDate(const FbDate& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

std::string formatTime(const FbTime& time) {
    char text[48];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%04d", time.hour, time.minute, time.second,
                  time.fraction);
    return text;
}

} // namespace platform::fbapi
