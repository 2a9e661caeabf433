#include "platform/Clock.h"

#include <time.h>

namespace platform {

// The C runtime rather than FileTimeToLocalFileTime: the latter applies the
// bias in force today, so a summer file viewed in winter shows an hour off,
// while _localtime64_s applies the rules in force at the file's date. It is
// also what the POSIX build does, so both builds show the same text.
bool ToLocalTime(int64_t secondsSince1970, LocalTime& out) {
    if (secondsSince1970 < 0 || secondsSince1970 > kLatestLocalTime) return false;
    const __time64_t t = secondsSince1970;
    struct tm tm {};
    if (_localtime64_s(&tm, &t) != 0) return false;
    out = FromTm(tm);
    return true;
}

}  // namespace platform
