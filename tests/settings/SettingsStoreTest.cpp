#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "settings/SettingsStore.h"
#include "support/TestEnv.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs PairsOf(const SettingsStore& s) {
    Pairs out;
    for (const auto& k : s.Keys()) out.emplace_back(k, *s.Get(k));
    return out;
}

Pairs LoadText(const std::string& text) {
    testenv::TempDir t;
    testenv::WriteFile(t / "q.ini", text);
    SettingsStore s;
    EXPECT_TRUE(s.Load(t / "q.ini"));
    return PairsOf(s);
}

TEST(SettingsStore, ReadingRules) {
    const std::string longValue(5000, 'v');
    struct Case {
        const char* name;
        std::string file;
        Pairs pairs;
    } cases[] = {
        {"CR LF", "IDC_EXCEPTION_EXT=`lib, ilk`\r\n", {{"IDC_EXCEPTION_EXT", "lib, ilk"}}},
        {"no line end at the end", "IDC_EXCEPTION_EXT=`lib, ilk`", {{"IDC_EXCEPTION_EXT", "lib, ilk"}}},
        {"LF only", "A=`1`\nB=`2`\n", {{"A", "1"}, {"B", "2"}}},
        {"empty value", "K=``\r\n", {{"K", ""}}},
        {"= inside", "K=`a=b`\r\n", {{"K", "a=b"}}},
        {"apostrophe inside", "K=`it's`\r\n", {{"K", "it's"}}},
        {"backquote inside", "K=`a`b`\r\n", {{"K", "a`b"}}},
        {"apostrophes as quotes", "K='v'\r\n", {{"K", "v"}}},
        {"any opening quote", "K=\"v`\r\n", {{"K", "v"}}},
        {"ignored lines", "\r\nabc\r\n=abc\r\n\n", {}},
        {"'=' at the start is skipped", "=a=`b`\r\n", {{"=a", "b"}}},
        {"spaces kept", " K =` v `\r\n", {{" K ", " v "}}},
        {"cut off: rest of line", "K=`cut off\r\nL=`x`\r\n", {{"K", "cut off"}, {"L", "x"}}},
        {"cut off at end of file", "K=`cut", {{"K", "cut"}}},
        {"key and = only", "K=\r\nL=", {{"K", ""}, {"L", ""}}},
        {"opening quote only", "K=`\r\n", {{"K", ""}}},
        {"long line whole", "K=`" + longValue + "`\r\nL=`x`\r\n", {{"K", longValue}, {"L", "x"}}},
        {"Korean", "경로=`원본\\폴더`\r\n", {{"경로", "원본\\폴더"}}},
        {"case matters", "OPERATION_MODE=`1`\r\noperation_mode=`0`\r\n",
         {{"OPERATION_MODE", "1"}, {"operation_mode", "0"}}},
        {"repeat keeps first place", "A=`1`\r\nB=`2`\r\nA=`3`\r\n", {{"A", "3"}, {"B", "2"}}},
    };
    for (const auto& c : cases) EXPECT_EQ(LoadText(c.file), c.pairs) << c.name;
}

TEST(SettingsStore, SaveAfterLoadReproducesEveryPairInFirstOrderWithCrLf) {
    testenv::TempDir t;
    testenv::WriteFile(t / "in.ini", "Z=`1`\nA=`a=b`\r\nM=``\nZ=`2`\nX=`it's`\n");
    SettingsStore s;
    ASSERT_TRUE(s.Load(t / "in.ini"));
    ASSERT_TRUE(s.Save(t / "out.ini"));
    EXPECT_EQ(platform::ReadWholeFile(t / "out.ini").value_or(""), "Z=`2`\r\nA=`a=b`\r\nM=``\r\nX=`it's`\r\n");
    EXPECT_EQ(s.FileName(), t / "in.ini");  // Save does not change the remembered name

    ASSERT_TRUE(s.Save());  // to the loaded file, replacing it
    EXPECT_EQ(platform::ReadWholeFile(t / "in.ini").value_or(""), "Z=`2`\r\nA=`a=b`\r\nM=``\r\nX=`it's`\r\n");
    EXPECT_FALSE(platform::PathExists(t / "in.ini.new"));
}

TEST(SettingsStore, MissingIsNotEmptyAndLoadMerges) {
    SettingsStore s;
    s.Set("E", "");
    ASSERT_NE(s.Get("E"), nullptr);
    EXPECT_EQ(*s.Get("E"), "");
    EXPECT_EQ(s.Get("e"), nullptr);
    s.SetInt("N", -42);
    EXPECT_EQ(*s.Get("N"), "-42");

    testenv::TempDir t;
    EXPECT_FALSE(s.Load(t / "missing.ini"));
    EXPECT_EQ(s.FileName(), "");
    EXPECT_EQ(PairsOf(s), (Pairs{{"E", ""}, {"N", "-42"}}));

    testenv::WriteFile(t / "a.ini", "N=`7`\r\nF=`f`\r\n");
    ASSERT_TRUE(s.Load(t / "a.ini"));
    EXPECT_EQ(PairsOf(s), (Pairs{{"E", ""}, {"N", "7"}, {"F", "f"}}));

    s.Clear();
    EXPECT_TRUE(s.Keys().empty());
    EXPECT_EQ(s.Get("F"), nullptr);
    EXPECT_FALSE(s.Save());  // Clear forgot the file name
}

TEST(SettingsStore, Lists) {
    SettingsStore s;
    s.Set("COPYFILES_#0", "a.exe");
    s.Set("COPYFILES_#2", "c.exe");
    s.Set("COPYFILES_#x", "x");
    s.Set("COPYFILESX_#0", "other list");
    s.Set("COPYFILES", "no suffix");
    EXPECT_EQ(s.ListCount("COPYFILES"), 3);
    EXPECT_EQ(s.ReadList("COPYFILES"), std::vector<std::string>{"a.exe"});  // stops at the gap
    EXPECT_EQ(s.GetListItem(1, "COPYFILES"), nullptr);
    EXPECT_EQ(s.ListCount("copyfiles"), 0);

    s.SetListItem(1, "COPYFILES", "b.exe");
    EXPECT_EQ(s.ReadList("COPYFILES"), (std::vector<std::string>{"a.exe", "b.exe", "c.exe"}));
    EXPECT_EQ(s.Keys().back(), "COPYFILES_#1");

    s.Set("EXECUTE_CONTROL_NET_ON_#1", "b.exe");
    EXPECT_EQ(s.ListCount("EXECUTE_CONTROL_NET_ON"), 1);
    EXPECT_TRUE(s.ReadList("EXECUTE_CONTROL_NET_ON").empty());
}

TEST(SettingsStore, LineBreaksAreStrippedSoNoKeyCanBeInjected) {
    testenv::TempDir t;
    SettingsStore s;
    s.Set("A", "x\r\nEVIL=`1`");
    s.Set("B\n", "y\rz");
    ASSERT_TRUE(s.Save(t / "q.ini"));
    EXPECT_EQ(platform::ReadWholeFile(t / "q.ini").value_or(""), "A=`xEVIL=`1``\r\nB=`yz`\r\n");
    EXPECT_EQ(LoadText(*platform::ReadWholeFile(t / "q.ini")), (Pairs{{"A", "xEVIL=`1`"}, {"B", "yz"}}));
    EXPECT_EQ(*s.Get("A"), "x\r\nEVIL=`1`");  // the store itself is not changed
}

TEST(SettingsStore, FailedSaveLeavesTheOldFileWhole) {
    testenv::TempDir t;
    testenv::WriteFile(t / "q.ini", "OLD=`1`\r\n");
    SettingsStore s;
    s.Set("NEW", "2");
    // The temporary file cannot be created: a folder has its name.
    testenv::MakeDirs(t / "q.ini.new");
    EXPECT_FALSE(s.Save(t / "q.ini"));
    EXPECT_EQ(platform::ReadWholeFile(t / "q.ini").value_or(""), "OLD=`1`\r\n");
    // The file cannot be replaced: a folder stands where it would go.
    testenv::MakeDirs(t / "dir.ini");
    EXPECT_FALSE(s.Save(t / "dir.ini"));
    EXPECT_FALSE(platform::PathExists(t / "dir.ini.new"));
    EXPECT_FALSE(s.Save(t / "no\\such\\folder\\q.ini"));
    EXPECT_FALSE(s.Save(""));
}

}  // namespace
