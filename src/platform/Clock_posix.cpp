#include "platform/Clock.h"

#include <time.h>

namespace platform {

bool ToLocalTime(int64_t secondsSince1970, LocalTime& out) {
    if (secondsSince1970 < 0 || secondsSince1970 > kLatestLocalTime) return false;
    const time_t t = static_cast<time_t>(secondsSince1970);
    struct tm tm {};
    if (localtime_r(&t, &tm) == nullptr) return false;
    out.year = tm.tm_year + 1900;
    out.month = tm.tm_mon + 1;
    out.day = tm.tm_mday;
    out.hour = tm.tm_hour;
    out.minute = tm.tm_min;
    out.second = tm.tm_sec;
    return true;
}

}  // namespace platform
