#include <gtest/gtest.h>

#include "compare/PathUtil.h"
#include "platform/FileSystem.h"
#include "support/TestEnv.h"

namespace {

TEST(PathUtil, FileNamePart) {
    struct {
        const char* in;
        const char* out;
    } cases[] = {{"bin\\a.dll", "a.dll"}, {"a.dll", "a.dll"}, {"abc", ""},       {"C:/x/y.z", "y.z"},
                 {"C:\\dir\\", ""},       {"dir/abc", "abc"}, {"", ""},          {"\xB0\xA1\\\xB3\xAA.exe", "\xB3\xAA.exe"}};
    for (const auto& c : cases) EXPECT_EQ(FileNamePart(c.in), c.out) << c.in;
}

TEST(PathUtil, ExtensionPart) {
    struct {
        const char* in;
        const char* out;
    } cases[] = {{"C:\\src\\a.dll", "dll"}, {"C:\\src", ""},          {"src", "src"}, {"", ""},
                 {"C:\\a.b\\c", ""},        {"x.tar.gz", "gz"},        {"C:/a.b/c", ""}, {"dir\\.hidden", "hidden"},
                 {"name.", ""},             {"\\\\10.1.2.3", "3"}};
    for (const auto& c : cases) EXPECT_EQ(ExtensionPart(c.in), c.out) << c.in;
}

TEST(PathUtil, NormalizePath) {
    struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"C:/a/./b/../c/", "C:\\a\\c\\"},
        {"C:\\a\\\\b", "C:\\a\\b"},
        {"", ""},
        {"\\x\\y", "\\x\\y"},
        {"\\\\a.b.c.d\\share", "\\a.b.c.d\\share"},  // the rule keeps one leading backslash
        {"C:\\..\\..", "C:"},
        {"a\\..\\..\\b", "a\\b"},  // nothing before the first component to remove
        {"C:\\a\\b\\..\\..\\", "C:\\"},
        {".\\", ""},
        {"\\", "\\"},
        {"C:\\\xB0\xA1\\..\\\xB3\xAA\\", "C:\\\xB3\xAA\\"},
    };
    for (const auto& c : cases) {
        std::string s = c.in;
        NormalizePath(s);
        EXPECT_EQ(s, c.out) << c.in;
    }
}

class SplitSearchPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        before_ = platform::GetCurrentDir();
        ASSERT_TRUE(platform::SetCurrentDir(cwd_.path()));
    }
    void TearDown() override { platform::SetCurrentDir(before_); }
    std::string Cwd() const { return cwd_.path(); }

private:
    testenv::TempDir cwd_;
    std::string before_;
};

TEST_F(SplitSearchPathTest, DrivesSharesAndRelativePaths) {
    const std::string cwd = Cwd();
    struct {
        const char* in;
        bool network;
        std::string folder;
        const char* pattern;
    } cases[] = {
        {"C:\\src/*.*", true, "C:\\src\\", "*.*"},
        {"C:\\src\\/*.*", true, "C:\\src\\", "*.*"},
        {"C:/a/./b/../c/*.dll", false, "C:\\a\\c\\", "*.dll"},
        {"C:\\app.new", true, "C:\\", "app.new"},
        {"C:*.*", true, "C:\\", "*.*"},  // drive alone: its root, never "C\"
        {"\\\\10.1.2.3\\c\\Pexoril/*.*", true, "\\\\10.1.2.3\\c\\Pexoril\\", "*.*"},
        {"\\\\10.1.2.3\\c\\..\\d\\x/*.*", true, "\\\\10.1.2.3\\d\\x\\", "*.*"},
        // Only hosts beginning with 1..8 are shares; the rest is relative.
        {"\\\\9.1.2.3\\c/*.*", true, cwd + "\\9.1.2.3\\c\\", "*.*"},
        {"\\\\0.1.2.3\\c/*.*", true, cwd + "\\0.1.2.3\\c\\", "*.*"},
        {"\\\\server\\c/*.*", true, cwd + "\\server\\c\\", "*.*"},
        {"\\\\10.1.2.3\\c/*.*", false, cwd + "\\10.1.2.3\\c\\", "*.*"},
        {"/*.*", true, cwd + "\\", "*.*"},
        {"sub\\*.txt", true, cwd + "\\sub\\", "*.txt"},
        {"pkg", false, cwd + "\\", "pkg"},
    };
    for (const auto& c : cases) {
        const SearchSpec sp = SplitSearchPath(c.in, c.network);
        EXPECT_EQ(sp.folder, c.folder) << c.in;
        EXPECT_EQ(sp.pattern, c.pattern) << c.in;
    }
}

TEST_F(SplitSearchPathTest, LongPathsAreNotCut) {
    const std::string deep = "C:\\" + std::string(300, 'd') + "\\" + std::string(300, 'e') + "\\" +
                             std::string(280, 'n') + "." + std::string(270, 'x');
    const SearchSpec sp = SplitSearchPath(deep, true);
    EXPECT_EQ(sp.folder, "C:\\" + std::string(300, 'd') + "\\" + std::string(300, 'e') + "\\");
    EXPECT_EQ(sp.pattern, std::string(280, 'n') + "." + std::string(270, 'x'));
}

TEST(PathUtil, FolderPart) {
    const std::string longFolder = "C:\\" + std::string(600, 'd') + "\\";
    struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"c:\\a\\b.exe", "c:\\a\\"},
        {"c:\\a\\bin", "c:\\a\\bin"},
        {"b.exe", ""},
        {"bin", "bin"},
        {"", ""},
        {"c:/a/b.exe", "c:/a/"},
        {"c:\\a.d\\bin", "c:\\a.d\\bin"},  // a '.' in an earlier component does not count
        {"c:\\a\\", "c:\\a\\"},
        {"\\\\10.0.0.1\\c\\x.exe", "\\\\10.0.0.1\\c\\"},
        {"c:\\\xB0\xA1\\\xB3\xAA.exe", "c:\\\xB0\xA1\\"},
        {longFolder + "app.exe", longFolder},  // never shortened
    };
    for (const auto& c : cases) EXPECT_EQ(FolderPart(c.in), c.out) << c.in;
}

}  // namespace
