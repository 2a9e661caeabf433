#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include "platform/Clock.h"
#include "ui/BuildDate.h"

namespace {

// Exactly the text's bytes on the heap, with no terminator after them, so a
// read past the end is caught by AddressSanitizer.
std::string LabelOfExactCopy(const std::string& text) {
    std::unique_ptr<char[]> bytes(new char[text.size() ? text.size() : 1]);
    std::copy(text.begin(), text.end(), bytes.get());
    return ui::BuildDateLabel(std::string_view(bytes.get(), text.size()));
}

TEST(BuildDate, Label) {
    struct {
        const char* date;
        const char* label;
    } cases[] = {
        {"Feb  6 2018", "Build. 2018-02-06"},
        {"Jan  1 2024", "Build. 2024-01-01"},
        {"Dec 31 1999", "Build. 1999-12-31"},
        {"Sep 15 2030", "Build. 2030-09-15"},
        {"feb  6 2018", "Build. 2018-00-06"},  // month names match exactly
        {"Foo 12 2020", "Build. 2020-00-12"},
        {"Febr 6 2018", "Build. 2018-02-06"},
        {"Feb 123 2018", "Build. 2018-02-12"},  // the day is two characters, no more  // only the first three characters name the month
        {"", "Build. 0000-00-00"},
        {"Fe", "Build. 0000-00-00"},
        {"Feb", "Build. 0000-02-00"},
        {"Feb 6", "Build. 0000-02-06"},
        {"Feb 12", "Build. 0000-02-12"},
        {"xxxxxxxxxxx", "Build. 0000-00-00"},
    };
    for (const auto& c : cases) EXPECT_EQ(LabelOfExactCopy(c.date), c.label) << '"' << c.date << '"';
}

// The label comes from a source the build rewrites, so after any build it
// shows the day of that build: today, or yesterday when the build ran just
// before midnight.
TEST(BuildDate, StampIsTheDayOfTheBuild) {
    auto label = [](int64_t t) {
        platform::LocalTime lt;
        EXPECT_TRUE(platform::ToLocalTime(t, lt));
        char buf[32];
        std::snprintf(buf, sizeof buf, "Build. %04d-%02d-%02d", lt.year, lt.month, lt.day);
        return std::string(buf);
    };
    const int64_t now = int64_t(std::time(nullptr));
    const std::string shown = ui::BuildDateLabel(ui::BuildStampDate());
    EXPECT_TRUE(shown == label(now) || shown == label(now - 86400)) << shown << " vs today " << label(now);
}

}  // namespace
