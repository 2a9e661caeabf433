#include <gtest/gtest.h>

#include "agent/CommandScript.h"

namespace {

using agent::CommandKind;
using agent::ParseCommandScript;

TEST(CommandScript, LinesAsTheToolWritesThemAndOthers) {
    struct Case {
        const char* line;
        CommandKind kind;
        const char* name;
        const char* entry;
    } cases[] = {
        {"KILL^app.exe", CommandKind::Kill, "app.exe", ""},
        {"RESTART^a.exe^C:\\dir\\a.exe", CommandKind::Restart, "a.exe", "C:\\dir\\a.exe"},
        {"RESTART^b.exe^b.exe", CommandKind::Restart, "b.exe", "b.exe"},
        {"kill^App.EXE", CommandKind::Kill, "App.EXE", ""},  // keywords in any case
        {"Restart^a.exe^a.exe", CommandKind::Restart, "a.exe", "a.exe"},
        {"KILL^app.exe  ", CommandKind::Kill, "app.exe", ""},  // blanks a hand edit left
        // '^' is allowed in file names: the name is what the entry ends with.
        {"KILL^a^b.exe", CommandKind::Kill, "a^b.exe", ""},
        {"RESTART^a^b.exe^C:\\x^y\\a^b.exe", CommandKind::Restart, "a^b.exe", "C:\\x^y\\a^b.exe"},
        {"RESTART^a.exe^C:\\x^y\\a.exe", CommandKind::Restart, "a.exe", "C:\\x^y\\a.exe"},
        // A hand-written line whose name is not the entry's: split at the first '^'.
        {"RESTART^old.exe^new.exe", CommandKind::Restart, "old.exe", "new.exe"},
        // An entry without a '.' has no file name part: the tool writes an empty name.
        {"RESTART^^notepad", CommandKind::Restart, "", "notepad"},
        // Double-byte names: trail bytes pass through untouched.
        {"KILL^한글.exe", CommandKind::Kill, "한글.exe", ""},
        {"RESTART^갵.exe^C:\\갵\\갵.exe", CommandKind::Restart, "갵.exe", "C:\\갵\\갵.exe"},
        {"", CommandKind::Blank, "", ""},
        {"   ", CommandKind::Blank, "", ""},
        {"KILL", CommandKind::Unknown, "", ""},
        {"KILL^", CommandKind::Unknown, "", ""},
        {"RESTART^a.exe", CommandKind::Unknown, "", ""},  // nothing to start: nothing stopped either
        {"RESTART^a.exe^", CommandKind::Unknown, "", ""},
        {"STOP^a.exe", CommandKind::Unknown, "", ""},
        {"KILLS^a.exe", CommandKind::Unknown, "", ""},
        {" KILL^a.exe", CommandKind::Unknown, "", ""},
        {"\xEF\xBB\xBFKILL^a.exe", CommandKind::Unknown, "", ""},  // a byte-order mark is not ours
        {"KILL a.exe", CommandKind::Unknown, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto commands = ParseCommandScript(std::string(c.line) + "\r\n");
        ASSERT_EQ(commands.size(), 1u);
        EXPECT_EQ(commands[0].kind, c.kind);
        EXPECT_EQ(commands[0].name, c.name);
        EXPECT_EQ(commands[0].entry, c.entry);
        EXPECT_EQ(commands[0].text, c.line);
    }
}

TEST(CommandScript, LineEndsAndOrder) {
    EXPECT_TRUE(ParseCommandScript("").empty());
    const auto c =
        ParseCommandScript("KILL^a.exe\r\nKILL^b.exe\nRESTART^c.exe^c.exe\r\n\r\nKILL^e.exe\rKILL^d.exe");
    ASSERT_EQ(c.size(), 6u);
    EXPECT_EQ(c[0].name, "a.exe");
    EXPECT_EQ(c[1].name, "b.exe");  // LF alone ends a line too
    EXPECT_EQ(c[2].kind, CommandKind::Restart);
    EXPECT_EQ(c[3].kind, CommandKind::Blank);  // CR LF is one line end, so this is the only blank
    EXPECT_EQ(c[4].name, "e.exe");  // and CR alone
    EXPECT_EQ(c[5].name, "d.exe");  // the last line needs no end
}

}  // namespace
