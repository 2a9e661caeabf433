#include <gtest/gtest.h>

#include <string>

#include "ui/AutoHideCountdown.h"

namespace {

// Plays events on a countdown: 'S' start, 'T' timer tick, 'C' cancel. Each
// event writes one character: for S 't' when the caller must start the
// timer, '-' when one runs already; for T 'h' when the window hides now,
// '.' otherwise; for C '-'.
std::string Play(const std::string& events) {
    ui::AutoHideCountdown c;
    std::string out;
    for (char e : events) {
        switch (e) {
        case 'S':
            out += c.Start() ? 't' : '-';
            break;
        case 'T':
            out += c.Tick() ? 'h' : '.';
            break;
        case 'C':
            c.Cancel();
            out += '-';
            break;
        }
    }
    return out;
}

TEST(AutoHideCountdown, EventSequences) {
    struct {
        const char* events;
        const char* out;
        const char* what;
    } cases[] = {
        {"STTT", "t..h", "hides at the third tick"},
        {"STTTT", "t..h.", "a tick after the end does nothing"},
        {"SS", "t-", "a second start runs no second timer"},
        {"STTSTTT", "t..-..h", "a second start restarts at three"},
        {"STCT", "t.-.", "a cancelled countdown ignores a tick already queued"},
        {"STCSTTT", "t.-t..h", "a start after a cancel starts the timer again"},
        {"STTTSTTT", "t..ht..h", "a start after the end starts the timer again"},
        {"TT", "..", "ticks without a countdown do nothing"},
        {"C", "-", "cancel without a countdown"},
    };
    for (const auto& c : cases) EXPECT_EQ(Play(c.events), c.out) << c.events << ": " << c.what;
}

TEST(AutoHideCountdown, RemainingSeconds) {
    ui::AutoHideCountdown c;
    EXPECT_FALSE(c.Running());
    EXPECT_EQ(c.Remaining(), 0);
    c.Start();
    EXPECT_EQ(c.Remaining(), 3);
    c.Tick();
    EXPECT_EQ(c.Remaining(), 2);
    EXPECT_TRUE(c.Running());
    c.Start();
    EXPECT_EQ(c.Remaining(), 3);
    c.Tick();
    c.Tick();
    c.Tick();
    EXPECT_EQ(c.Remaining(), 0);
    EXPECT_FALSE(c.Running());
    c.Tick();
    EXPECT_EQ(c.Remaining(), 0);  // never below 0
}

}  // namespace
