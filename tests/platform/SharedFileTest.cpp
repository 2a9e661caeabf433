#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/FileSystem.h"
#include "platform/HeldWriter.h"
#include "platform/SharedFile.h"
#include "support/TestEnv.h"

namespace {

using platform::SharedFileResult;
using R = SharedFileResult;

void Pause() { std::this_thread::sleep_for(std::chrono::milliseconds(30)); }

TEST(SharedFile, ReadsOnlyWhatNoWriterHoldsOpen) {
    testenv::TempDir dir;
    const std::string f = dir / "CopyScript.TSF";
    std::string bytes = "left over";
    platform::FileStamp stamp, again;
    EXPECT_EQ(platform::ReadClosedFile(f, bytes, stamp), R::Missing);
    EXPECT_EQ(platform::ReadClosedFile(dir / "no folder\\x", bytes, stamp), R::Missing);
    testenv::MakeDirs(dir / "folder");
    EXPECT_EQ(platform::ReadClosedFile(dir / "folder", bytes, stamp), R::Failed);

    {
        helpers::HeldWriter writer(f);
        ASSERT_TRUE(writer.ok());
        EXPECT_EQ(platform::ReadClosedFile(f, bytes, stamp), R::Busy);  // empty, just created
        ASSERT_TRUE(writer.Write("KILL^a.exe\r\n"));
        EXPECT_EQ(platform::ReadClosedFile(f, bytes, stamp), R::Busy);
        // A reader beside the writer is refused as well, never half served.
        writer.Write("KILL^b.exe\r\n");
        EXPECT_EQ(platform::ReadClosedFile(f, bytes, stamp), R::Busy);
    }
    ASSERT_EQ(platform::ReadClosedFile(f, bytes, stamp), R::Done);
    EXPECT_EQ(bytes, "KILL^a.exe\r\nKILL^b.exe\r\n");
    // A reader that lets others read does not hold the next one off.
    {
        auto other = platform::ReadWholeFile(f);
        ASSERT_TRUE(other.has_value());
    }
    ASSERT_EQ(platform::ReadClosedFile(f, bytes, again), R::Done);
    EXPECT_EQ(stamp, again);
    testenv::WriteFile(f, "");
    ASSERT_EQ(platform::ReadClosedFile(f, bytes, again), R::Done);
    EXPECT_EQ(bytes, "");
    EXPECT_NE(stamp, again);
}

TEST(SharedFile, DeletesOnlyTheVersionThatWasRead) {
    testenv::TempDir dir;
    const std::string f = dir / "CopyScript.TSF";
    std::string bytes;
    platform::FileStamp stamp;
    struct Case {
        const char* what;
        void (*change)(const std::string& file, const std::string& folder);
        SharedFileResult expected;
        bool kept;
    } cases[] = {
        {"unchanged", [](const std::string&, const std::string&) {}, R::Done, false},
        {"rewritten in place, same size",
         [](const std::string& file, const std::string&) {
             Pause();
             testenv::WriteFile(file, "KILL^b.exe\r\n");
         },
         R::Changed, true},
        {"replaced by a rename",
         [](const std::string& file, const std::string& folder) {
             testenv::WriteFile(folder + "\\~CopyScript.tmp", "KILL^a.exe\r\n");
             ASSERT_TRUE(platform::MoveFileReplacing(folder + "\\~CopyScript.tmp", file));
         },
         R::Changed, true},
        {"deleted by another", [](const std::string& file, const std::string&) { platform::RemoveFile(file); },
         R::Missing, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testenv::WriteFile(f, "KILL^a.exe\r\n");
        ASSERT_EQ(platform::ReadClosedFile(f, bytes, stamp), R::Done);
        c.change(f, dir.path());
        EXPECT_EQ(platform::DeleteIfUnchanged(f, stamp), c.expected);
        EXPECT_EQ(platform::PathExists(f), c.kept);
    }

    testenv::WriteFile(f, "KILL^a.exe\r\n");
    ASSERT_EQ(platform::ReadClosedFile(f, bytes, stamp), R::Done);
    {
        helpers::HeldWriter writer(f);  // a writer at work on it now
        EXPECT_EQ(platform::DeleteIfUnchanged(f, stamp), R::Busy);
        EXPECT_TRUE(platform::PathExists(f));
    }
}

TEST(SharedFile, AppendCreatesThenAdds) {
    testenv::TempDir dir;
    const std::string f = dir / "qvAgent.log";
    EXPECT_TRUE(platform::AppendToFile(f, "one\r\n"));
    EXPECT_TRUE(platform::AppendToFile(f, "two\r\n"));
    EXPECT_EQ(platform::ReadWholeFile(f), std::optional<std::string>("one\r\ntwo\r\n"));
    EXPECT_FALSE(platform::AppendToFile(dir / "no folder\\x.log", "x"));
}

TEST(SharedFile, OneFolderLockPerFolder) {
    testenv::TempDir dir;
    testenv::MakeDirs(dir / "a");
    testenv::MakeDirs(dir / "b");
    {
        platform::FolderLock a(dir / "a");
        ASSERT_TRUE(a.held());
        EXPECT_FALSE(platform::FolderLock(dir / "a").held());
        EXPECT_FALSE(platform::FolderLock(dir / "a\\").held());   // another spelling
        EXPECT_FALSE(platform::FolderLock(dir / "b\\..\\a").held());
        EXPECT_TRUE(platform::FolderLock(dir / "b").held());
    }
    EXPECT_TRUE(platform::FolderLock(dir / "a").held());  // released with its holder
    EXPECT_FALSE(platform::FolderLock(dir / "missing").held());
}

}  // namespace
