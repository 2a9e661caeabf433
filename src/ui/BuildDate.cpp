#include "ui/BuildDate.h"

#include <cstdio>

namespace ui {

namespace {

std::string_view Slice(std::string_view s, size_t pos, size_t len) {
    if (pos >= s.size()) return {};
    return s.substr(pos, len);
}

// atoi over a view (which need not be NUL-terminated); the views here hold at
// most four characters, so no overflow.
int ToInt(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    int value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) value = value * 10 + (s[i] - '0');
    return negative ? -value : value;
}

}  // namespace

BuildDate ParseBuildDate(std::string_view text) {
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    BuildDate d;
    const std::string_view name = Slice(text, 0, 3);
    for (int i = 0; i < 12; ++i)
        if (name == kMonths[i]) d.month = i + 1;
    d.day = ToInt(Slice(text, 4, 2));
    d.year = ToInt(text.size() >= 4 ? text.substr(text.size() - 4) : text);
    return d;
}

std::string BuildDateLabel(std::string_view compilerDate) {
    const BuildDate d = ParseBuildDate(compilerDate);
    // Three ints of at most 11 characters each plus the fixed text: under 64.
    char buf[64];
    std::snprintf(buf, sizeof buf, "Build. %04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

}  // namespace ui
