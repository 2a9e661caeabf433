#include <gtest/gtest.h>


#include "support/TestEnv.h"
#include "ui/HeadlessControls.h"
#include "ui/ScanPaths.h"

namespace {

using FakeControls = ui::HeadlessControls;

TEST(ScanPaths, DefaultPatternOnlyForFolderTexts) {
    struct {
        const char* in;
        const char* out;
    } cases[] = {{"C:\\src", "C:\\src/*.*"},     {"C:\\src\\", "C:\\src\\/*.*"}, {"C:\\src\\*.dll", "C:\\src\\*.dll"},
                 {"C:\\app.new", "C:\\app.new"}, {"", "/*.*"},                   {"C:\\v1.2\\bin", "C:\\v1.2\\bin/*.*"}};
    for (const auto& c : cases) EXPECT_EQ(ui::WithDefaultPattern(c.in), c.out) << c.in;
}

TEST(ScanPaths, SourceUsesExclusionsAndSubfolderBox) {
    testenv::TempDir t;
    for (const char* rel : {"a.exe", "a.pdb", "bin\\b.dll", "bin\\b.lib"}) testenv::WriteFile(t / rel, rel);
    FakeControls c;
    c.SetText(ui::kIdSourceFolder, t.path());
    c.SetText(ui::kIdExclusions, "lib, ilk, pdb, tlb, exp, sup");
    c.SetCheck(ui::kIdSubFolder, true);
    CqvFileUtil src;
    EXPECT_EQ(ui::ScanSource(src, c), t.path().size() + 1);
    std::set<std::string> rel;
    for (const auto& f : src.files) rel.insert(f.path.substr(src.rootFolder.size()));
    EXPECT_EQ(rel, (std::set<std::string>{"a.exe", "bin\\b.dll"}));

    c.SetCheck(ui::kIdSubFolder, false);
    ui::ScanSource(src, c);
    ASSERT_EQ(src.files.size(), 1u);
}

TEST(ScanPaths, LocalTargetListsEverything) {
    testenv::TempDir t;
    testenv::WriteFile(t / "x.pdb", "p");
    FakeControls c;
    c.SetText(ui::kIdTargetFolder, t.path() + "\\");
    c.SetCheck(ui::kIdSubFolder, true);
    CqvFileUtil tgt;
    size_t len = 0;
    EXPECT_TRUE(ui::ScanTarget(tgt, OperationMode::Local, c, len));
    EXPECT_EQ(len, t.path().size() + 1);
    ASSERT_EQ(tgt.files.size(), 1u);  // the target side has no exclusions
    EXPECT_TRUE(c.messages.empty());
}

TEST(ScanPaths, UnreachableFirstPcKeepsThePreviousScan) {
    testenv::TempDir t;
    testenv::WriteFile(t / "old.exe", "o");
    FakeControls c;
    c.SetText(ui::kIdTargetFolder, t.path());
    CqvFileUtil tgt;
    size_t len = 0;
    ASSERT_TRUE(ui::ScanTarget(tgt, OperationMode::Local, c, len));
    const size_t before = len;

    // Not an address at all: unreachable without sending anything.
    c.SetText(ui::kIdStartAddress, "//pc-name");
    c.SetText(ui::kIdSharePath, "/c/Pexoril");
    EXPECT_FALSE(ui::ScanTarget(tgt, OperationMode::Network, c, len));
    ASSERT_EQ(c.messages.size(), 1u);
    EXPECT_EQ(c.messages[0].text, "pc-name\r\n접속 불가 IP 입니다.");
    EXPECT_EQ(c.GetText(ui::kIdStartAddress), "\\\\pc-name");  // written back with backslashes
    EXPECT_EQ(c.GetText(ui::kIdSharePath), "\\c\\Pexoril");
    EXPECT_EQ(len, before);
    ASSERT_EQ(tgt.files.size(), 1u);
    EXPECT_EQ(tgt.files[0].path, t / "old.exe");
}

TEST(ScanPaths, AnsweringFirstPcIsScannedThroughItsShare) {
    testenv::MappedShare pc("127.0.0.1", "c");
    if (!pc.ok()) GTEST_SKIP() << "shares cannot be mapped on this platform";
    testenv::WriteFile(pc.folder() + "\\Pexoril\\bin\\app.exe", "MZ");
    FakeControls c;
    c.SetText(ui::kIdStartAddress, "\\\\127.0.0.1");
    c.SetText(ui::kIdSharePath, "/c/Pexoril");
    c.SetCheck(ui::kIdSubFolder, true);
    CqvFileUtil tgt;
    size_t len = 0;
    ASSERT_TRUE(ui::ScanTarget(tgt, OperationMode::Network, c, len)) << (c.messages.empty() ? "" : c.messages[0].text);
    EXPECT_EQ(tgt.rootFolder, "\\\\127.0.0.1\\c\\Pexoril\\");
    EXPECT_EQ(len, tgt.rootFolder.size());
    ASSERT_EQ(tgt.files.size(), 1u);
    EXPECT_EQ(tgt.files[0].path, "\\\\127.0.0.1\\c\\Pexoril\\bin\\app.exe");
}

}  // namespace
