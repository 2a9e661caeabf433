#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "platform/DirWatch.h"
#include "platform/FileSystem.h"
#include "support/TestEnv.h"

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// Waits until the watch has been quiet for a moment, so that the next change
// is the only thing that can end a wait.
void Drain(platform::DirWatch& w) {
    for (int i = 0; i < 50 && w.Wait(100); ++i) {
    }
}

TEST(DirWatch, EveryKindOfChangeEndsAWaitAndQuietTimesOut) {
    testenv::TempDir dir;
    testenv::MakeDirs(dir / "elsewhere");
    testenv::WriteFile(dir / "old.txt", "old");
    platform::DirWatch w(dir.path());
    ASSERT_TRUE(w.Notifies());
    Drain(w);
    const auto t = Clock::now();
    EXPECT_FALSE(w.Wait(300));
    EXPECT_GE(MsSince(t), 250);

    struct Case {
        const char* what;
        std::function<void()> change;
    } cases[] = {
        {"created in place", [&] { testenv::WriteFile(dir / "a.TSF", "x"); }},
        {"written again", [&] { testenv::WriteFile(dir / "a.TSF", "longer"); }},
        {"renamed in from another folder",
         [&] {
             testenv::WriteFile(dir / "elsewhere\\b.tmp", "y");
             Drain(w);
             ASSERT_TRUE(platform::MoveFileReplacing(dir / "elsewhere\\b.tmp", dir / "b.TSF"));
         }},
        {"renamed within the folder",
         [&] { ASSERT_TRUE(platform::MoveFileReplacing(dir / "b.TSF", dir / "c.TSF")); }},
        {"deleted", [&] { ASSERT_TRUE(platform::RemoveFile(dir / "old.txt")); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Drain(w);
        c.change();
        // A change made before the wait counts: the caller looks afterwards.
        const auto start = Clock::now();
        EXPECT_TRUE(w.Wait(5000));
        EXPECT_LT(MsSince(start), 4000);
    }
    // A change in a sub-folder of a sub-folder is not the folder's.
    testenv::MakeDirs(dir / "elsewhere\\deep");
    Drain(w);
    testenv::WriteFile(dir / "elsewhere\\deep\\x.txt", "z");
    EXPECT_FALSE(w.Wait(300));
}

TEST(DirWatch, WakeEndsAWaitFromAnotherThreadOrBeforeIt) {
    testenv::TempDir dir;
    platform::DirWatch w(dir.path());
    Drain(w);
    w.Wake();
    EXPECT_TRUE(w.Wait(5000));
    EXPECT_FALSE(w.Wait(100));  // one wake, one wait

    const auto start = Clock::now();
    std::thread waker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        w.Wake();
    });
    EXPECT_TRUE(w.Wait(10000));
    EXPECT_LT(MsSince(start), 5000);
    waker.join();
}

TEST(DirWatch, AMissingFolderOnlyWaits) {
    testenv::TempDir dir;
    platform::DirWatch w(dir / "missing");
    EXPECT_FALSE(w.Notifies());
    const auto start = Clock::now();
    EXPECT_FALSE(w.Wait(200));
    EXPECT_GE(MsSince(start), 150);
    w.Wake();
    EXPECT_TRUE(w.Wait(5000));
}

}  // namespace
