#include <gtest/gtest.h>

#include <string>

#include "package/TargetPaths.h"
#include "platform/FileSystem.h"
#include "support/TestEnv.h"

namespace {

TEST(TargetFolder, MadeAbsoluteBelowTheCurrentDirectory) {
    struct {
        const char* cwd;
        const char* field;
        const char* folder;
    } cases[] = {
        {"C:\\tools\\bin", "app", "C:\\tools\\bin\\app"},
        {"C:\\tools\\bin", "..\\out", "C:\\tools\\out"},
        {"C:\\tools\\bin", "./a/./b/../c", "C:\\tools\\bin\\a\\c"},
        {"C:\\tools\\bin", "a", "C:\\tools\\bin\\a"},  // one character: no colon to look at
        {"C:\\tools\\bin", "sub\\", "C:\\tools\\bin\\sub\\"},
        {"C:\\tools\\bin", "", "C:\\tools\\bin\\"},
        {"C:\\tools\\bin", "배포\\앱", "C:\\tools\\bin\\배포\\앱"},
        // Up past the root stays at the root, which keeps its backslash: a
        // bare "C:" would name the current folder of drive C.
        {"C:\\tools\\bin", "..\\..\\..\\..", "C:\\"},
        {"C:\\", ".", "C:\\"},
        // A colon as second character: used as it stands, not canonicalised.
        {"C:\\tools\\bin", "D:\\App", "D:\\App"},
        {"C:\\tools\\bin", "D:\\a\\..\\b/c", "D:\\a\\..\\b/c"},
        {"C:\\tools\\bin", "D:", "D:"},
        // A current directory on a share keeps its two leading backslashes and
        // never loses the server name.
        {"\\\\host\\share\\dir", "..\\x", "\\\\host\\share\\x"},
        {"\\\\host\\share\\dir", "..\\..\\..\\x", "\\\\host\\x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.cwd) + " + " + c.field);
        EXPECT_EQ(TargetFolderFrom(c.cwd, c.field), c.folder);
    }
}

TEST(TargetFolder, ALongTextIsUsedWhole) {
    std::string field;
    for (int i = 0; i < 60; ++i) field += "folder" + std::to_string(i) + "\\";
    field += "..\\last";  // > 512 bytes with the current directory
    const std::string folder = TargetFolderFrom("C:\\base", field);
    ASSERT_GT(folder.size(), 512u);
    EXPECT_EQ(folder.substr(0, 17), "C:\\base\\folder0\\f");
    const std::string end = "\\folder58\\last";
    EXPECT_EQ(folder.substr(folder.size() - end.size()), end);
}

TEST(TargetFolder, UsesTheProcessCurrentDirectory) {
    testenv::TempDir t;
    testenv::MakeDirs(t / "here");
    const std::string before = platform::GetCurrentDir();
    ASSERT_TRUE(platform::SetCurrentDir(t / "here"));
    const std::string cwd = platform::GetCurrentDir();
    const std::string folder = TargetFolder("..\\out");
    platform::SetCurrentDir(before);
    EXPECT_EQ(folder, cwd.substr(0, cwd.size() - 5) + "\\out");
}

TEST(TargetLabel, SeparatorsAndColonsBecomeFolderNameCharacters) {
    struct {
        const char* source;
        const char* label;
    } cases[] = {
        {"C:\\Apps\\Line", "Ci@Apps@Line"},
        {"net\\c\\app", "net@c@app"},
        {"net/c/app", "net@c@app"},
        {"c:\\PEXORHOST", "ci@PEXORHOST"},
        {"C:\\배포\\앱:2", "Ci@배포@앱i2"},
        // The byte after a lead byte belongs to its character and stays.
        {"a\x81\\b\\c", "a\x81\\b@c"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(TargetLabel(c.source), c.label) << c.source;
}

TEST(TargetLabel, SourceTextFollowsTheMode) {
    EXPECT_EQ(TargetLabelSource(OperationMode::Local, "C:\\a", "\\c\\x"), "C:\\a");
    EXPECT_EQ(TargetLabelSource(OperationMode::Network, "C:\\a", "\\c\\x"), "net\\c\\x");
    EXPECT_EQ(TargetLabelSource(static_cast<OperationMode>(2), "C:\\a", "\\c\\x"), "");
    EXPECT_EQ(TargetLabel(TargetLabelSource(OperationMode::Network, "", "/c/Pexoril")), "net@c@Pexoril");
}

TEST(RelativePath, KeepsTheBackslashBeforeTheRelativeName) {
    CompareRecord r;
    r.source.path = "C:\\src\\bin\\a.dll";
    r.target.path = "D:\\out\\bin\\a.dll";
    EXPECT_EQ(RelativePath(r, "C:\\src\\"), "\\bin\\a.dll");
    EXPECT_EQ(TargetFilePath(r), "D:\\out\\bin\\a.dll");
    EXPECT_EQ(RelativePath(r, ""), "C:\\src\\bin\\a.dll");  // no root: nothing to cut
    EXPECT_EQ(RelativePath(r, "C:\\src\\bin\\a.dll\\x\\"), "");
}

}  // namespace
