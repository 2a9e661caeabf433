#include <gtest/gtest.h>

#include <cstdio>
#include <random>
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

TEST(SettingsStore, LineBreaksNeverReachTheFileAndUnreadableKeysAreLeftOut) {
    testenv::TempDir t;
    SettingsStore s;
    s.Set("A", "x\r\nEVIL=`1`");
    s.Set("B\n", "y");   // would read back as another key: left out
    s.Set("C=D", "z");   // reads back as "C"
    s.Set("", "e");
    s.Set("=F", "f");    // a leading '=' is part of the key
    ASSERT_TRUE(s.Save(t / "q.ini"));
    EXPECT_EQ(platform::ReadWholeFile(t / "q.ini").value_or(""), "A=`xEVIL=`1``\r\n=F=`f`\r\n");
    EXPECT_EQ(LoadText(*platform::ReadWholeFile(t / "q.ini")), (Pairs{{"A", "xEVIL=`1`"}, {"=F", "f"}}));
    EXPECT_EQ(*s.Get("A"), "x\r\nEVIL=`1`");  // the store itself is not changed

    // A hand-edited file: a CR inside a value is dropped on reading, a key
    // holding one is dropped with its pair.
    EXPECT_EQ(LoadText("K=`a\rb`\r\nX\rY=`1`\r\nL=`c`\r\n"), (Pairs{{"K", "ab"}, {"L", "c"}}));
}

// Whatever a file holds, what was read is written so that it reads back the
// same: the reader and the writer agree on every key and value.
TEST(SettingsStore, AnyFileReadsBackAsItWasReadAfterASave) {
    std::mt19937 rng(20261211);
    const char alphabet[] = {'a', 'K', '=', '=', '`', '`', '\'', '\r', '\n', ' ', '_', '#', '\0', '\xB0', '\xA1', '\x81'};
    auto shown = [](const std::string& text) {
        std::string out;
        for (unsigned char c : text) {
            char buf[8];
            std::snprintf(buf, sizeof buf, c >= 0x20 && c < 0x7F ? "%c" : "\\x%02X", c);
            out += buf;
        }
        return out;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string text(rng() % 60, ' ');
        for (char& c : text) c = alphabet[rng() % sizeof alphabet];
        SettingsStore first;
        first.ReadText(text);
        SettingsStore second;
        second.ReadText(first.Serialize());
        ASSERT_EQ(PairsOf(second), PairsOf(first)) << shown(text);
        ASSERT_EQ(second.Serialize(), first.Serialize()) << shown(text);
    }
}

TEST(SettingsStore, SaveWritesInPlaceOnlyWhereTheFolderRefusesTheTemporaryFile) {
    testenv::TempDir t;
    const std::string ini = t / "q.ini";
    SettingsStore s;
    s.Set("NEW", "2");
    auto reset = [&] { testenv::WriteFile(ini, "OLD=`1`\r\n"); };
    auto text = [&] { return platform::ReadWholeFile(ini).value_or("<none>"); };

    // The temporary name is taken by a folder, as good as a folder without
    // create rights: the file is written in place.
    reset();
    testenv::MakeDirs(ini + ".new");
    EXPECT_TRUE(s.Save(ini));
    EXPECT_EQ(text(), "NEW=`2`\r\n");
    ASSERT_TRUE(platform::RemoveDir(ini + ".new"));

    reset();
    {
        testenv::Immutable folder(t.path());  // files may be written, none created
        if (folder.ok()) {
            EXPECT_TRUE(s.Save(ini));
            EXPECT_EQ(text(), "NEW=`2`\r\n");
            EXPECT_FALSE(platform::PathExists(ini + ".new"));
        }
    }
    reset();
    bool held = false;
    {
        testenv::HeldOpen reader(ini, false);  // the rename is refused, writing is not
        if ((held = reader.ok())) {
            EXPECT_TRUE(s.Save(ini));
            EXPECT_FALSE(platform::PathExists(ini + ".new"));
        }
    }
    if (held) {
        EXPECT_EQ(text(), "NEW=`2`\r\n");
    }

    // Nothing can be written: the old file stays whole, no temporary file.
    reset();
    {
        testenv::HeldOpen locked(ini, true);
        if (locked.ok()) {
            EXPECT_FALSE(s.Save(ini));
        }
    }
    {
        testenv::Immutable frozen(ini);
        if (frozen.ok()) {
            EXPECT_FALSE(s.Save(ini));
        }
    }
    EXPECT_FALSE(platform::PathExists(ini + ".new"));
    EXPECT_EQ(text(), "OLD=`1`\r\n");

    testenv::MakeDirs(t / "dir.ini");  // a folder stands where the file would go
    EXPECT_FALSE(s.Save(t / "dir.ini"));
    EXPECT_FALSE(platform::PathExists(t / "dir.ini.new"));
    EXPECT_FALSE(s.Save(t / "no\\such\\folder\\q.ini"));
    EXPECT_FALSE(s.Save(""));
}

}  // namespace
