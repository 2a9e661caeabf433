// One contract for both implementations of the file system seam; where they
// could differ, Windows as Wine runs it is the reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "support/TestEnv.h"

namespace {

using platform::FindData;

std::map<std::string, FindData> List(const std::string& pattern, bool* opened = nullptr) {
    std::map<std::string, FindData> out;
    const bool ok = platform::FindFiles(pattern, [&](const FindData& d) {
        out[d.name] = d;
        return true;
    });
    if (opened) *opened = ok;
    return out;
}

std::set<std::string> Names(const std::map<std::string, FindData>& m) {
    std::set<std::string> s;
    for (const auto& [k, v] : m)
        if (k != "." && k != "..") s.insert(k);
    return s;
}

TEST(CodePage, IsKorean) {
    EXPECT_EQ(platform::AnsiCodePage(), 949u);
    EXPECT_TRUE(platform::IsLeadByte(0xB0));   // first byte of "가"
    EXPECT_TRUE(platform::IsLeadByte(0x81));
    EXPECT_FALSE(platform::IsLeadByte('A'));
    EXPECT_FALSE(platform::IsLeadByte('\\'));
    EXPECT_FALSE(platform::IsLeadByte(0x80));
    EXPECT_EQ(std::string("가"), "\xB0\xA1");  // the literal is compiled to CP949
}

TEST(FindFiles, PatternsFollowWindowsRules) {
    testenv::TempDir t;
    for (const char* n : {"a.dll", "B.DLL", "noext", "x.txt", "ab.c", "abc.txt"})
        testenv::WriteFile(t / n, "1");
    testenv::MakeDirs(t / "sub.dir");

    struct Case {
        const char* pattern;
        std::set<std::string> names;
    } cases[] = {
        {"*.*", {"a.dll", "B.DLL", "noext", "x.txt", "ab.c", "abc.txt", "sub.dir"}},
        {"*", {"a.dll", "B.DLL", "noext", "x.txt", "ab.c", "abc.txt", "sub.dir"}},
        {"*.dll", {"a.dll", "B.DLL"}},
        {"*.DlL", {"a.dll", "B.DLL"}},
        {"noext.*", {"noext"}},
        {"a?c.txt", {"abc.txt"}},
        {"NOEXT", {"noext"}},
        {"*.c", {"ab.c"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(Names(List(t / c.pattern)), c.names);
    }
    bool opened = true;
    EXPECT_TRUE(List(t / "*.none", &opened).empty());
    EXPECT_FALSE(opened);
    List(t / "missing\\*.*", &opened);
    EXPECT_FALSE(opened);
}

TEST(FindFiles, ReportsSizeTimeAndAttributesExactly) {
    testenv::TempDir t;
    const std::string body(70001, 'x');
    testenv::WriteFile(t / "f.bin", body, 1700000123);
    testenv::WriteFile(t / "old.bin", "", 86400);
    testenv::MakeDirs(t / "d");
    const auto m = List(t / "*.*");
    ASSERT_EQ(m.count("f.bin"), 1u);
    const FindData& f = m.at("f.bin");
    EXPECT_EQ(f.size, 70001);
    EXPECT_EQ(f.timeWrite, 1700000123);
    EXPECT_EQ(f.attrib & platform::kAttrDirectory, 0u);
    EXPECT_GT(f.timeCreate, 0);
    EXPECT_EQ(m.at("old.bin").timeWrite, 86400);
    EXPECT_EQ(m.at("old.bin").size, 0);
    EXPECT_NE(m.at("d").attrib & platform::kAttrDirectory, 0u);
    EXPECT_EQ(m.count("."), 1u);  // Windows lists "." and ".." below a root
    EXPECT_EQ(m.count(".."), 1u);
}

TEST(FindFiles, StopsWhenTheCallbackSaysSo) {
    testenv::TempDir t;
    for (const char* n : {"1", "2", "3", "4"}) testenv::WriteFile(t / n, "");
    int seen = 0;
    EXPECT_TRUE(platform::FindFiles(t / "*", [&](const FindData&) { return ++seen < 2; }));
    EXPECT_EQ(seen, 2);
}

TEST(Paths, KoreanNamesRoundTripAsCp949) {
    testenv::TempDir t;
    const std::string name = "배포 파일.txt";
    testenv::WriteFile(t / ("폴더\\" + name), "data");
    const auto names = Names(List(t / "폴더\\*.*"));
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(*names.begin(), name);
    EXPECT_EQ(platform::ReadWholeFile(t / ("폴더\\" + name)).value_or(""), "data");
}

TEST(Paths, NamesAreCaseInsensitiveAndBothSeparatorsWork) {
    testenv::TempDir t;
    testenv::WriteFile(t / "Dir\\Mixed.TXT", "x");
    EXPECT_TRUE(platform::PathExists(t / "dir\\mixed.txt"));
    EXPECT_TRUE(platform::PathExists(t.path() + "/DIR/MIXED.txt"));
    EXPECT_TRUE(platform::PathExists(t / "Dir\\.\\sub\\..\\Mixed.TXT"));
    EXPECT_FALSE(platform::PathExists(t / "Dir\\Mixed.TXT2"));
}

TEST(Paths, CurrentDirectoryAnchorsRelativePaths) {
    testenv::TempDir t;
    testenv::WriteFile(t / "here\\f.txt", "x");
    const std::string before = platform::GetCurrentDir();
    ASSERT_TRUE(platform::SetCurrentDir(t / "here"));
    EXPECT_EQ(platform::GetCurrentDir(), t / "here");
    EXPECT_TRUE(platform::PathExists("f.txt"));
    EXPECT_EQ(Names(List("*.txt")), std::set<std::string>{"f.txt"});
    EXPECT_FALSE(platform::SetCurrentDir(t / "nowhere"));
    EXPECT_EQ(platform::GetCurrentDir(), t / "here");
    ASSERT_TRUE(platform::SetCurrentDir(before));
}

TEST(Paths, ExecutablePathNamesThisProgram) {
    const std::string exe = platform::ExecutablePath();
    ASSERT_FALSE(exe.empty());
    EXPECT_TRUE(exe[1] == ':' || exe.rfind("\\\\", 0) == 0) << exe;
    EXPECT_NE(exe.find("platform_tests"), std::string::npos) << exe;
    EXPECT_TRUE(platform::PathExists(exe));
}

TEST(Paths, CreateAndRemove) {
    testenv::TempDir t;
    EXPECT_TRUE(platform::MakeDir(t / "a"));
    EXPECT_FALSE(platform::MakeDir(t / "a"));             // exists
    EXPECT_FALSE(platform::MakeDir(t / "x\\y"));          // one level only
    testenv::WriteFile(t / "a\\f", "1");
    EXPECT_FALSE(platform::RemoveDir(t / "a"));           // not empty
    EXPECT_FALSE(platform::RemoveFile(t / "a"));          // a folder is not a file
    EXPECT_TRUE(platform::RemoveFile(t / "a\\f"));
    EXPECT_FALSE(platform::RemoveFile(t / "a\\f"));
    EXPECT_TRUE(platform::RemoveDir(t / "a"));
    EXPECT_FALSE(platform::PathExists(t / "a"));
}

TEST(Paths, MoveFileReplacingSwapsContentsInOneStep) {
    testenv::TempDir t;
    testenv::WriteFile(t / "app.ini", "old");
    testenv::WriteFile(t / "app.ini.new", "new");
    ASSERT_TRUE(platform::MoveFileReplacing(t / "app.ini.new", t / "app.ini"));
    EXPECT_EQ(platform::ReadWholeFile(t / "app.ini").value_or(""), "new");
    EXPECT_FALSE(platform::PathExists(t / "app.ini.new"));

    testenv::WriteFile(t / "fresh.new", "x");  // no file to replace yet
    ASSERT_TRUE(platform::MoveFileReplacing(t / "fresh.new", t / "fresh.ini"));
    EXPECT_EQ(platform::ReadWholeFile(t / "fresh.ini").value_or(""), "x");

    // Failures leave the destination whole.
    EXPECT_FALSE(platform::MoveFileReplacing(t / "missing.new", t / "app.ini"));
    testenv::MakeDirs(t / "dir");
    testenv::WriteFile(t / "f.new", "y");
    EXPECT_FALSE(platform::MoveFileReplacing(t / "f.new", t / "dir"));
    EXPECT_TRUE(platform::PathExists(t / "f.new"));
    EXPECT_EQ(platform::ReadWholeFile(t / "app.ini").value_or(""), "new");
}

TEST(Paths, SharesResolveThroughTheMapping) {
    testenv::MappedShare pc("10.20.30.41", "c");
    if (!pc.ok()) GTEST_SKIP() << "shares cannot be mapped on this platform";
    testenv::WriteFile(pc.folder() + "\\Pexoril\\app.exe", "MZ");
    EXPECT_EQ(platform::ReadWholeFile(pc.unc() + "\\Pexoril\\app.exe").value_or(""), "MZ");
    EXPECT_EQ(platform::ReadWholeFile("\\\\10.20.30.41\\C\\pexoril\\APP.EXE").value_or(""), "MZ");
    EXPECT_EQ(Names(List(pc.unc() + "\\Pexoril\\*.*")), std::set<std::string>{"app.exe"});
    EXPECT_FALSE(platform::PathExists("\\\\10.20.30.42\\c\\Pexoril\\app.exe"));
}

TEST(Paths, DirectoryLinksAreReparsePointsWithTheTargetsIdentity) {
    testenv::TempDir t;
    testenv::MakeDirs(t / "real");
    if (!testenv::MakeDirLink(t / "real", t / "link")) GTEST_SKIP() << "no directory links here";
    const auto m = List(t / "*.*");
    ASSERT_EQ(m.count("link"), 1u);
    EXPECT_EQ(m.at("link").attrib & (platform::kAttrDirectory | platform::kAttrReparsePoint),
              platform::kAttrDirectory | platform::kAttrReparsePoint);
    EXPECT_EQ(m.at("real").attrib & platform::kAttrReparsePoint, 0u);
    const auto a = platform::GetDirectoryId(t / "real");
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a, platform::GetDirectoryId(t / "link"));
    EXPECT_NE(a, platform::GetDirectoryId(t.path()));
    // Removing the link never touches what it points to. (Windows removes a
    // junction this way; Wine refuses to remove a Unix symlink.)
    testenv::WriteFile(t / "real\\keep.txt", "k");
    platform::RemoveDir(t / "link");
    EXPECT_TRUE(platform::PathExists(t / "real\\keep.txt"));
}

}  // namespace
