// The copies the deployment makes, on both builds: a replacing copy never
// leaves a half-written or lost target, a backup copy never overwrites.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/FileCopy.h"
#include "platform/FileSystem.h"
#include "support/TestEnv.h"

#ifndef _WIN32
#include <sys/mount.h>
#include <unistd.h>

#include "platform/PosixMapping.h"
#endif

namespace {

std::string Read(const std::string& path) { return platform::ReadWholeFile(path).value_or("<none>"); }

TEST(FileCopy, ReplacingCopyIsAllOrNothing) {
    testenv::TempDir dir;
    const std::string src = dir / "new.dll", tgt = dir / "t\\app.dll", tmp = dir / "t\\app.dll.qvtmp";
    testenv::WriteFile(src, "new contents", 1700000000);
    testenv::WriteFile(tgt, "old", 1500000000);

    auto c = platform::ReplaceFileWithCopy(src, tgt, tmp);
    EXPECT_TRUE(c.ok);
    EXPECT_EQ(Read(tgt), "new contents");
    EXPECT_FALSE(platform::PathExists(tmp));
    bool found = false;
    platform::FindFiles(tgt, [&](const platform::FindData& d) {
        found = true;
        EXPECT_EQ(d.timeWrite, 1700000000);  // the source's time, as the system's copy keeps it
        return true;
    });
    EXPECT_TRUE(found);

    struct Case {
        const char* what;
        std::string from, to;
        uint32_t error;
    } cases[] = {
        {"missing folder", src, dir / "none\\app.dll", platform::kErrPathNotFound},
        {"missing source", dir / "gone.dll", tgt, platform::kErrFileNotFound},
    };
    for (const auto& k : cases) {
        auto r = platform::ReplaceFileWithCopy(k.from, k.to, k.to + ".qvtmp");
        EXPECT_FALSE(r.ok) << k.what;
        EXPECT_EQ(r.error, k.error) << k.what;
        EXPECT_FALSE(platform::PathExists(k.to + ".qvtmp")) << k.what;
    }
    EXPECT_FALSE(platform::PathExists(dir / "none"));  // no folder is made
    EXPECT_EQ(Read(tgt), "new contents");

    // A target that may not be written: held by a program (Windows build) or
    // read-only to everyone (native).
    testenv::WriteFile(tgt, "old", 1500000000);
    {
        testenv::HeldOpen held(tgt, true);
        testenv::Immutable frozen(held.ok() ? dir / "t\\other" : tgt);
        if (held.ok() || frozen.ok()) {
            EXPECT_FALSE(platform::ReplaceFileWithCopy(src, tgt, tmp).ok);
            EXPECT_FALSE(platform::PathExists(tmp));
        }
    }
    EXPECT_EQ(Read(tgt), "old");
}

TEST(FileCopy, CopyAsNewNeverOverwrites) {
    testenv::TempDir dir;
    testenv::WriteFile(dir / "a", "first");
    testenv::WriteFile(dir / "b", "second");
    EXPECT_TRUE(platform::CopyFileAsNew(dir / "a", dir / "bak", dir / "bak.qvtmp").ok);
    auto again = platform::CopyFileAsNew(dir / "b", dir / "bak", dir / "bak.qvtmp");
    EXPECT_FALSE(again.ok);
    EXPECT_EQ(again.error, platform::kErrFileExists);
    EXPECT_EQ(Read(dir / "bak"), "first");
    EXPECT_FALSE(platform::PathExists(dir / "bak.qvtmp"));
    EXPECT_FALSE(platform::CopyFileTo(dir / "b", dir / "bak", true).ok);
    EXPECT_TRUE(platform::CopyFileTo(dir / "b", dir / "bak", false).ok);
    EXPECT_EQ(Read(dir / "bak"), "second");
}

#ifndef _WIN32
// A target on a file system too small for the new file: the copy fails for
// lack of space and the old target is whole. Needs the right to mount.
TEST(FileCopy, AFullDiskLeavesTheOldTarget) {
    testenv::TempDir dir;
    testenv::MakeDirs(dir / "small");
    const std::string unix = platform::posix::ToUnixPath(dir / "small").value();
    if (mount("qvsmall", unix.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "cannot mount a small file system here";
    struct Unmount {
        std::string path;
        ~Unmount() { umount(path.c_str()); }
    } unmount{unix};
    const std::string tgt = dir / "small\\app.dll";
    testenv::WriteFile(tgt, std::string(16 * 1024, 'o'));
    testenv::WriteFile(dir / "big.dll", std::string(200 * 1024, 'n'));
    auto r = platform::ReplaceFileWithCopy(dir / "big.dll", tgt, tgt + ".qvtmp");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, platform::kErrDiskFull);
    EXPECT_EQ(Read(tgt), std::string(16 * 1024, 'o'));
    EXPECT_FALSE(platform::PathExists(tgt + ".qvtmp"));
}
#endif

}  // namespace
