#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "agent/Agent.h"
#include "agent/FakeEffects.h"
#include "platform/FileSystem.h"
#include "platform/HeldWriter.h"
#include "support/TestEnv.h"

namespace {

using testagent::FakeEffects;
using testagent::Ran;
using Calls = std::vector<std::string>;
using Look = agent::Watcher::Look;

class WatcherTest : public ::testing::Test {
protected:
    std::string File() const { return dir / agent::kCommandFileName; }
    // As the tool writes it: whole, under another name, then renamed into place.
    void Deliver(const std::string& text) {
        testenv::WriteFile(dir / "~CopyScript.tmp", text);
        ASSERT_TRUE(platform::MoveFileReplacing(dir / "~CopyScript.tmp", File()));
    }
    std::string Log() const { return platform::ReadWholeFile(log.path()).value_or(""); }

    testenv::TempDir dir;
    agent::AgentLog log{dir.path()};
    FakeEffects fx;
    agent::Watcher watcher{dir.path(), fx, log, "F:\\Agent"};
};

TEST_F(WatcherTest, CarriesOutThenDeletesEmptyFilesToo) {
    EXPECT_EQ(watcher.LookOnce(), Look::Idle);
    EXPECT_TRUE(fx.calls.empty());
    Deliver("KILL^a.exe\r\nKILL^b.exe\r\n");
    EXPECT_EQ(watcher.LookOnce(), Look::Idle);
    EXPECT_EQ(fx.calls, (Calls{"stop a.exe", "stop b.exe"}));
    EXPECT_FALSE(platform::PathExists(File()));

    Deliver("");
    EXPECT_EQ(watcher.LookOnce(), Look::Idle);
    EXPECT_FALSE(platform::PathExists(File()));
    EXPECT_EQ(fx.calls.size(), 2u);
    const std::string text = Log();
    EXPECT_NE(text.find("CopyScript.TSF: 2 line(s)\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("CopyScript.TSF: empty\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("CopyScript.TSF deleted\r\n"), std::string::npos) << text;
}

TEST_F(WatcherTest, AFileStillBeingWrittenWaitsForItsWriter) {
    helpers::HeldWriter writer(File());
    ASSERT_TRUE(writer.ok());
    EXPECT_EQ(watcher.LookOnce(), Look::Busy);  // created, nothing in it yet
    writer.Write("KILL^a.exe\r\n");
    EXPECT_EQ(watcher.LookOnce(), Look::Busy);
    writer.Write("KILL^b.exe\r\n");
    EXPECT_TRUE(fx.calls.empty());
    EXPECT_TRUE(platform::PathExists(File()));
    writer.Close();
    EXPECT_EQ(watcher.LookOnce(), Look::Idle);
    EXPECT_EQ(fx.calls, (Calls{"stop a.exe", "stop b.exe"}));
    EXPECT_FALSE(platform::PathExists(File()));
}

// A second command while the first is carried out (F2, then F3 at once):
// deleting the file would lose it, so it is carried out too.
TEST_F(WatcherTest, AFileReplacedMeanwhileIsCarriedOutNotLost) {
    Deliver("KILL^a.exe\r\n");
    fx.onStop = [&] {
        fx.onStop = nullptr;
        Deliver("RESTART^a.exe^C:\\Line\\a.exe\r\n");
    };
    EXPECT_EQ(watcher.LookOnce(), Look::Again);
    EXPECT_TRUE(platform::PathExists(File()));
    EXPECT_EQ(watcher.LookOnce(), Look::Idle);
    EXPECT_EQ(fx.calls, (Calls{"stop a.exe", "stop a.exe", "start C:\\Line\\a.exe in C:\\Line"}));
    EXPECT_FALSE(platform::PathExists(File()));
    EXPECT_NE(Log().find("replaced meanwhile"), std::string::npos);
}

// A writer that opens the file for a rewrite while the lines run: the
// deletion waits for it, and what it wrote is carried out, once.
TEST_F(WatcherTest, ADeletionRefusedByAWriterWaitsAndDoesNotRepeat) {
    Deliver("KILL^a.exe\r\n");
    std::unique_ptr<helpers::HeldWriter> writer;
    fx.onStop = [&] {
        fx.onStop = nullptr;
        writer = std::make_unique<helpers::HeldWriter>(File());
        writer->Write("KILL^b.exe\r\n");
    };
    EXPECT_EQ(watcher.LookOnce(), Look::Busy);
    EXPECT_EQ(watcher.LookOnce(), Look::Busy);
    EXPECT_EQ(fx.calls, (Calls{"stop a.exe"}));
    writer->Close();
    EXPECT_EQ(watcher.LookOnce(), Look::Idle);
    EXPECT_EQ(fx.calls, (Calls{"stop a.exe", "stop b.exe"}));
    EXPECT_FALSE(platform::PathExists(File()));
}

TEST_F(WatcherTest, RunNoticesAFileRenamedIntoPlaceAndStopsWhenWoken) {
    std::atomic<bool> stop{false};
    std::thread loop([&] { watcher.Run(stop); });
    for (const char* name : {"a.exe", "b.exe"}) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        Deliver(std::string("KILL^") + name + "\r\n");
        const auto start = std::chrono::steady_clock::now();
        while (platform::PathExists(File()) && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_FALSE(platform::PathExists(File())) << name;
    }
    stop = true;
    watcher.Wake();
    loop.join();
    EXPECT_EQ(fx.calls, (Calls{"stop a.exe", "stop b.exe"}));
}

}  // namespace
