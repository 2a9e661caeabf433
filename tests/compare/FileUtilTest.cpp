#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "compare/FileUtil.h"
#include "platform/FileSystem.h"
#include "support/TestEnv.h"

namespace {

std::vector<std::string> Relative(const CqvFileUtil& s) {
    std::vector<std::string> out;
    for (const auto& f : s.files) out.push_back(f.path.substr(s.rootFolder.size()));
    return out;
}

std::set<std::string> RelativeSet(const CqvFileUtil& s) {
    auto v = Relative(s);
    return {v.begin(), v.end()};
}

TEST(Exclusions, TokensAndLimits) {
    CqvFileUtil s;
    s.SetExclusions("lib, ilk, pdb, tlb, exp, sup");
    EXPECT_EQ(s.exclusions, (std::vector<std::string>{"lib", "ilk", "pdb", "tlb", "exp", "sup"}));
    s.SetExclusions(" ;,a;;b ,c, ");
    EXPECT_EQ(s.exclusions, (std::vector<std::string>{"a", "b", "c"}));
    s.SetExclusions("");
    EXPECT_TRUE(s.exclusions.empty());

    const std::string longToken(40, 'q');
    std::string many = longToken;
    for (int i = 0; i < 120; ++i) many += "," + std::to_string(i);
    s.SetExclusions(many);
    ASSERT_EQ(s.exclusions.size(), CqvFileUtil::kMaxExclusions);
    EXPECT_EQ(s.exclusions[0], longToken);  // a long token keeps its whole text
    EXPECT_EQ(s.exclusions[99], "98");

    s.SetExclusions("lib, .dll, " + longToken);
    struct {
        std::string path;
        bool excluded;
    } cases[] = {{"C:\\x.lib", true},  {"C:\\x.LIB", false},   {"C:\\x.lib2", false}, {"C:\\y.lib\\z.txt", false},
                 {"C:\\a.dll", false}, {"C:\\noext", false},   {"C:\\x.", false},     {"C:\\.lib", true},
                 {"C:\\f." + longToken, true}};
    for (const auto& c : cases) EXPECT_EQ(s.IsExcluded(c.path), c.excluded) << c.path;
}

class ScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* rel : {"top.exe", "top.lib", "bin\\a.dll", "bin\\A.LIB", "bin\\deep\\d.txt",
                                ".gitignore", ".svn\\entries", "y.lib\\inner.txt", "bin2\\b.dll", "noext"})
            testenv::WriteFile(t / rel, rel);
    }
    testenv::TempDir t;
};

TEST_F(ScanTest, SubfoldersExclusionsAndDotFolders) {
    CqvFileUtil s;
    s.SetExclusions("lib, ilk");
    s.ScanFolder(t.path() + "/*.*", true);
    EXPECT_EQ(s.rootFolder, t.path() + "\\");
    EXPECT_EQ(RelativeSet(s), (std::set<std::string>{"top.exe", "bin\\a.dll", "bin\\A.LIB", "bin\\deep\\d.txt",
                                                     ".gitignore", "y.lib\\inner.txt", "bin2\\b.dll", "noext"}));
    for (const auto& f : s.files) EXPECT_EQ(f.attrib & 0x10, 0u) << f.path;

    s.ScanFolder(t.path() + "\\*.*", false);
    EXPECT_EQ(RelativeSet(s), (std::set<std::string>{"top.exe", ".gitignore", "noext"}));
}

TEST_F(ScanTest, OrderIsDepthFirstWithFilesBeforeSubfolders) {
    CqvFileUtil s;
    s.ScanFolder(t.path() + "\\*.*", true);
    const auto rel = Relative(s);
    auto pos = [&](const std::string& r) { return std::find(rel.begin(), rel.end(), r) - rel.begin(); };
    const auto top = pos("top.exe"), a = pos("bin\\a.dll"), deep = pos("bin\\deep\\d.txt"), b = pos("bin2\\b.dll");
    ASSERT_LT(size_t(b), rel.size());
    EXPECT_LT(top, a);
    EXPECT_LT(pos("noext"), a);   // every file of the root before any subfolder
    EXPECT_LT(a, deep);          // a folder's files before its subfolders
    // Each subtree is contiguous.
    EXPECT_TRUE((deep < b) == (a < b));
}

TEST_F(ScanTest, PatternAppliesInEveryFolder) {
    CqvFileUtil s;
    s.ScanFolder(t.path() + "\\*.dll", true);
    EXPECT_EQ(RelativeSet(s), (std::set<std::string>{"bin\\a.dll", "bin2\\b.dll"}));
    s.ScanFolder(t.path() + "\\bin\\a.dll", false);
    EXPECT_EQ(RelativeSet(s), (std::set<std::string>{"a.dll"}));
    EXPECT_EQ(s.rootFolder, t.path() + "\\bin\\");
}

TEST_F(ScanTest, TrailingSeparatorScansTheSameFolder) {
    CqvFileUtil a, b;
    a.ScanFolder(t.path() + "\\bin\\/*.*", true);
    b.ScanFolder(t.path() + "\\bin/*.*", true);
    EXPECT_EQ(a.rootFolder, t.path() + "\\bin\\");
    EXPECT_EQ(a.rootFolder, b.rootFolder);
    EXPECT_EQ(Relative(a), Relative(b));
    EXPECT_EQ(RelativeSet(a), (std::set<std::string>{"a.dll", "A.LIB", "deep\\d.txt"}));
}

TEST_F(ScanTest, EntriesCarryTheFilesSizeAndTime) {
    testenv::WriteFile(t / "bin\\sized.bin", std::string(4097, 'z'), 1600000001);
    CqvFileUtil s;
    s.ScanFolder(t.path() + "\\bin\\*.bin", false);
    ASSERT_EQ(s.files.size(), 1u);
    EXPECT_EQ(s.files[0].size, 4097);
    EXPECT_EQ(s.files[0].timeWrite, 1600000001);
    EXPECT_EQ(s.files[0].path, t.path() + "\\bin\\sized.bin");
}

TEST_F(ScanTest, MissingFolderGivesNothingAndReplacesTheLastResult) {
    CqvFileUtil s;
    s.ScanFolder(t.path() + "\\*.*", true);
    ASSERT_FALSE(s.files.empty());
    s.ScanFolder(t.path() + "\\missing\\*.*", true);
    EXPECT_TRUE(s.files.empty());
    EXPECT_EQ(s.rootFolder, t.path() + "\\missing\\");
}

TEST(Scan, RootWithOnlySubfoldersGivesRelativeNamesBelowIt) {
    testenv::TempDir t;
    testenv::WriteFile(t / "src\\bin\\a.dll", "a");
    CqvFileUtil s;
    s.ScanFolder(t.path() + "\\src/*.*", true);
    EXPECT_EQ(Relative(s), std::vector<std::string>{"bin\\a.dll"});
}

TEST(Scan, ShareOfAPcIsScannedAsAUncPath) {
    testenv::MappedShare pc("10.77.0.5", "c");
    if (!pc.ok()) GTEST_SKIP() << "shares cannot be mapped on this platform";
    testenv::WriteFile(pc.folder() + "\\Pexoril\\bin\\app.exe", "MZ");
    CqvFileUtil s;
    s.ScanFolder("\\\\10.77.0.5\\c\\Pexoril/*.*", true);
    EXPECT_EQ(s.rootFolder, "\\\\10.77.0.5\\c\\Pexoril\\");
    EXPECT_EQ(Relative(s), std::vector<std::string>{"bin\\app.exe"});
}

TEST(Scan, LinkBackToAnAncestorIsNotEnteredAgain) {
    testenv::TempDir t;
    testenv::WriteFile(t / "root\\a\\f.txt", "f");
    testenv::WriteFile(t / "other\\o.txt", "o");
    if (!testenv::MakeDirLink(t / "root", t / "root\\a\\loop")) GTEST_SKIP() << "no directory links here";
    ASSERT_TRUE(testenv::MakeDirLink(t / "other", t / "root\\a\\side"));
    CqvFileUtil s;
    s.ScanFolder(t.path() + "\\root\\*.*", true);
    // The side link is an ordinary detour and is followed; the loop is not.
    EXPECT_EQ(RelativeSet(s), (std::set<std::string>{"a\\f.txt", "a\\side\\o.txt"}));

    s.CollectSubfolders(t.path() + "\\root\\*.*");
    std::set<std::string> dirs;
    for (const auto& f : s.files) dirs.insert(f.path.substr(t.path().size() + 1));
    // The loop is listed (it is a folder) but not descended into.
    EXPECT_EQ(dirs, (std::set<std::string>{"root\\a", "root\\a\\loop", "root\\a\\side"}));
}

TEST(Scan, DeepTreesDoNotExhaustTheStack) {
    testenv::TempDir t;
    // Deep enough to matter for a recursive walk, short enough for MAX_PATH.
    std::string rel;
    for (int i = 0; i < 100; ++i) rel += "d\\";
    testenv::WriteFile(t / (rel + "leaf.txt"), "x");
    CqvFileUtil s;
    s.ScanFolder(t.path() + "\\*.*", true);
    EXPECT_EQ(Relative(s), std::vector<std::string>{rel + "leaf.txt"});
}

class SubfolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* rel : {"keep.txt", "pkg\\p.txt", "pkg\\inner\\i.txt", "x\\pkg\\q.txt", "x\\stay.txt",
                                "x\\y\\pkg\\pkg\\r.txt", ".hid\\pkg\\s.txt"})
            testenv::WriteFile(t / ("base\\" + std::string(rel)), rel);
    }
    testenv::TempDir t;
};

TEST_F(SubfolderTest, CollectListsMatchingFoldersParentsFirst) {
    CqvFileUtil s;
    s.rootFolder = "unchanged";
    s.CollectSubfolders(t / "base\\pkg");
    std::vector<std::string> rel;
    for (const auto& f : s.files) {
        rel.push_back(f.path.substr(t.path().size() + 1));
        EXPECT_NE(f.attrib & 0x10, 0u);
    }
    EXPECT_EQ(std::set<std::string>(rel.begin(), rel.end()),
              (std::set<std::string>{"base\\pkg", "base\\x\\pkg", "base\\x\\y\\pkg", "base\\x\\y\\pkg\\pkg"}));
    auto pos = [&](const char* r) { return std::find(rel.begin(), rel.end(), r) - rel.begin(); };
    EXPECT_LT(pos("base\\x\\y\\pkg"), pos("base\\x\\y\\pkg\\pkg"));
    EXPECT_EQ(s.rootFolder, "unchanged");
}

TEST_F(SubfolderTest, DeleteRemovesListedTreesAndKeepsTheRest) {
    CqvFileUtil s;
    s.DeleteSubfolderTrees(t / "base\\pkg");
    EXPECT_FALSE(platform::PathExists(t / "base\\pkg"));
    EXPECT_FALSE(platform::PathExists(t / "base\\x\\pkg"));
    EXPECT_FALSE(platform::PathExists(t / "base\\x\\y\\pkg"));
    EXPECT_TRUE(platform::PathExists(t / "base\\keep.txt"));
    EXPECT_TRUE(platform::PathExists(t / "base\\x\\stay.txt"));
    EXPECT_TRUE(platform::PathExists(t / "base\\x\\y"));
    EXPECT_TRUE(platform::PathExists(t / "base\\.hid\\pkg\\s.txt"));  // dot folders are not entered

    std::set<std::string> removed;
    for (const auto& f : s.removed) removed.insert(f.path.substr(t.path().size() + 1));
    EXPECT_EQ(removed, (std::set<std::string>{"base\\pkg", "base\\pkg\\p.txt", "base\\pkg\\inner", "base\\pkg\\inner\\i.txt",
                                              "base\\x\\pkg", "base\\x\\pkg\\q.txt", "base\\x\\y\\pkg",
                                              "base\\x\\y\\pkg\\pkg", "base\\x\\y\\pkg\\pkg\\r.txt"}));
}

TEST(DeleteSubfolderTrees, LinksInsideATreeAreRemovedNotFollowed) {
    testenv::TempDir t;
    testenv::WriteFile(t / "precious\\data.txt", "keep me");
    testenv::WriteFile(t / "precious\\pkg\\data.txt", "keep me too");
    testenv::WriteFile(t / "base\\pkg\\f.txt", "f");
    if (!testenv::MakeDirLink(t / "precious", t / "base\\pkg\\link")) GTEST_SKIP() << "no directory links here";
    ASSERT_TRUE(testenv::MakeDirLink(t / "precious", t / "base\\x"));
    ASSERT_TRUE(testenv::MakeDirLink(t / "precious", t / "base\\pkg2"));
    CqvFileUtil s;
    s.DeleteSubfolderTrees(t / "base\\pkg");  // pkg inside, a link inside pkg, pkg behind a link
    EXPECT_FALSE(platform::PathExists(t / "base\\pkg\\f.txt"));
    EXPECT_EQ(platform::ReadWholeFile(t / "precious\\data.txt").value_or(""), "keep me");
    EXPECT_EQ(platform::ReadWholeFile(t / "precious\\pkg\\data.txt").value_or(""), "keep me too");
    s.DeleteSubfolderTrees(t / "base\\pkg2");  // the listed folder is itself a link
    EXPECT_EQ(platform::ReadWholeFile(t / "precious\\data.txt").value_or(""), "keep me");
}

}  // namespace
