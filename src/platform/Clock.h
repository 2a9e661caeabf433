#pragma once
// Wall-clock conversions that differ between the C runtimes.
#include <cstdint>
#include <ctime>

namespace platform {

struct LocalTime {
    int year = 0;    // e.g. 2018
    int month = 0;   // 1 to 12
    int day = 0;     // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The range converted: 1970-01-01 00:00:00 to 3000-12-31 23:59:59 UTC, the
// documented range of the Windows C runtime. Its implementations differ a few
// hours at the top end, so both builds check the range themselves and agree.
// Negative times include "unknown" (-1).
inline constexpr int64_t kLatestLocalTime = 32535215999LL;

inline LocalTime FromTm(const std::tm& tm) {
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

// Seconds since 1970 (UTC) as the local time of the process's time zone;
// false outside the range above or when the runtime refuses the time.
bool ToLocalTime(int64_t secondsSince1970, LocalTime& out);

// Today's local date as year, month and day; false, with all three 0, when
// the clock cannot be converted.
inline bool LocalDateNow(int& year, int& month, int& day) {
    LocalTime t;
    const bool ok = ToLocalTime(int64_t(std::time(nullptr)), t);
    year = ok ? t.year : 0;
    month = ok ? t.month : 0;
    day = ok ? t.day : 0;
    return ok;
}

}  // namespace platform
