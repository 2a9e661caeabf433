#include "platform/Clock.h"

#include <time.h>

namespace platform {

bool ToLocalTime(int64_t secondsSince1970, LocalTime& out) {
    if (secondsSince1970 < 0 || secondsSince1970 > kLatestLocalTime) return false;
    const time_t t = static_cast<time_t>(secondsSince1970);
    struct tm tm {};
    if (localtime_r(&t, &tm) == nullptr) return false;
    out = FromTm(tm);
    return true;
}

}  // namespace platform
