#include <gtest/gtest.h>

#include "agent/Agent.h"
#include "agent/AgentProgram.h"
#include "agent/FakeEffects.h"
#include "platform/FileSystem.h"
#include "support/TestEnv.h"

namespace {

using testagent::FakeEffects;
using testagent::Ran;
using Calls = std::vector<std::string>;

// The log's lines without their time stamps.
std::vector<std::string> LogLines(const std::string& path) {
    std::vector<std::string> lines;
    const auto text = platform::ReadWholeFile(path);
    if (!text) return lines;
    size_t at = 0;
    while (at < text->size()) {
        const size_t end = text->find("\r\n", at);
        const std::string line = text->substr(at, end - at);
        lines.push_back(line.size() > 20 ? line.substr(20) : line);
        if (end == std::string::npos) break;
        at = end + 2;
    }
    return lines;
}

TEST(WhereToStart, EntriesWithAFolderStartThereBareNamesWhereTheProgramRan) {
    const auto none = platform::StopReport{};
    const auto ran = Ran({"D:\\Line\\app.exe", "E:\\Other\\app.exe"});
    struct Case {
        const char* what;
        std::string entry;
        platform::StopReport stopped;
        std::string file, folder;
    } cases[] = {
        {"absolute", "C:\\dir\\a.exe", ran, "C:\\dir\\a.exe", "C:\\dir"},
        {"absolute wins over where it ran", "C:\\dir\\app.exe", ran, "C:\\dir\\app.exe", "C:\\dir"},
        {"drive root", "C:\\a.exe", none, "C:\\a.exe", "C:\\"},
        {"share", "\\\\pc\\s\\a.exe", none, "\\\\pc\\s\\a.exe", "\\\\pc\\s"},
        {"slashes", "C:/dir/a.exe", none, "C:/dir/a.exe", "C:/dir"},
        {"relative folder: below the fallback", "sub\\a.exe", ran, "F:\\Agent\\sub\\a.exe", "F:\\Agent\\sub"},
        {"bare, ran: the first folder it ran from", "app.exe", ran, "D:\\Line\\app.exe", "D:\\Line"},
        {"bare, did not run: the shell looks from the fallback", "app.exe", none, "app.exe", "F:\\Agent"},
        {"double-byte folder", "C:\\갵\\a.exe", none, "C:\\갵\\a.exe", "C:\\갵"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const agent::StartPlace p = agent::WhereToStart(c.entry, c.stopped, "F:\\Agent");
        EXPECT_EQ(p.file, c.file);
        EXPECT_EQ(p.folder, c.folder);
    }
}

TEST(CarryOut, LinesInOrderEachLoggedUnknownOnesPassedOver) {
    testenv::TempDir dir;
    agent::AgentLog log(dir.path());
    FakeEffects fx;
    fx.running["A.EXE"] = Ran({"D:\\Line\\a.exe", "D:\\Line\\a.exe"});
    fx.running["B.EXE"] = Ran({"D:\\Line\\b.exe"});
    fx.running["LOCKED.EXE"] = Ran({"C:\\Sys\\locked.exe", "C:\\Sys\\locked.exe"}, 1, false);
    const auto commands = agent::ParseCommandScript(
        "KILL^a.exe\r\n"
        "FORMAT^c:\r\n"
        "\r\n"
        "RESTART^b.exe^b.exe\r\n"
        "KILL^gone.exe\r\n"
        "KILL^locked.exe\r\n"
        "RESTART^c.exe^C:\\dir\\c.exe\r\n");
    agent::CarryOut(commands, fx, log, "F:\\Agent");
    EXPECT_EQ(fx.calls, (Calls{"stop a.exe", "stop b.exe", "start D:\\Line\\b.exe in D:\\Line", "stop gone.exe",
                               "stop locked.exe", "stop c.exe", "start C:\\dir\\c.exe in C:\\dir"}));
    EXPECT_EQ(LogLines(log.path()),
              (Calls{
                  "KILL a.exe: stopped 2 of 2",
                  "line 2 passed over, not understood: FORMAT^c:",
                  "RESTART b.exe: stopped 1 of 1; started D:\\Line\\b.exe in D:\\Line",
                  "KILL gone.exe: not running",
                  "KILL locked.exe: stopped 1 of 2, 1 could not be stopped, not all ended within 5 s",
                  "RESTART c.exe: not running; started C:\\dir\\c.exe in C:\\dir",
              }));

    fx.calls.clear();
    fx.startWorks = false;
    agent::CarryOut(agent::ParseCommandScript("RESTART^^notepad\r\n"), fx, log, "F:\\Agent");
    EXPECT_EQ(fx.calls, (Calls{"start notepad in F:\\Agent"}));  // an empty name stops nothing
    EXPECT_EQ(LogLines(log.path()).back(), "RESTART : not running; could not start notepad in F:\\Agent");
}

TEST(AgentLog, StampedLinesBoundedByTheLimit) {
    testenv::TempDir dir;
    agent::AgentLog log(dir.path(), 200);
    log.Write("first");
    const auto text = platform::ReadWholeFile(log.path());
    ASSERT_TRUE(text.has_value());
    // yyyy-mm-dd hh:mm:ss, a blank, the text, CR LF.
    ASSERT_EQ(text->size(), 20u + 5 + 2);
    for (size_t i : {4u, 7u}) EXPECT_EQ((*text)[i], '-');
    for (size_t i : {13u, 16u}) EXPECT_EQ((*text)[i], ':');
    EXPECT_EQ(text->substr(19), " first\r\n");
    for (int i = 0; i < 30; ++i) log.Write("line " + std::to_string(i));
    const auto now = platform::ReadWholeFile(log.path());
    const auto old = platform::ReadWholeFile(dir / agent::kOldLogFileName);
    ASSERT_TRUE(now && old);
    EXPECT_LE(now->size(), 200u);
    EXPECT_LE(old->size(), 200u);
    EXPECT_NE(now->find("line 29\r\n"), std::string::npos);  // the newest line is kept

    // A line from a file may hold control bytes, or be endless.
    EXPECT_EQ(agent::Printable("a\x01\tb"), "a??b");
    EXPECT_EQ(agent::Printable(std::string(300, 'x')), std::string(200, 'x') + "...");
    EXPECT_EQ(agent::Printable("ab갵", 3), "ab...");  // never half a character
}

TEST(WatchedFolder, TheArgumentMadeAbsoluteOrJobkeeperBesideTheProgram) {
    struct Case {
        std::vector<std::string> args;
        std::string folder;
    } cases[] = {
        {{}, "C:\\qvAgent\\Jobkeeper"},
        {{"D:\\Jk"}, "D:\\Jk"},
        {{"D:\\Jk\\"}, "D:\\Jk"},
        {{"D:\\Jk\""}, "D:\\Jk"},  // "D:\Jk\" as the runtime splits it
        {{"D:\\"}, "D:\\"},
        {{"\\\\pc\\share\\Jk"}, "\\\\pc\\share\\Jk"},
        {{"Jk"}, "E:\\work\\Jk"},
        {{"sub/Jk/"}, "E:\\work\\sub/Jk"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
        EXPECT_EQ(agent::WatchedFolder(c.args, "C:\\qvAgent\\qvAgent.exe", "E:\\work"), c.folder);
    }
}

}  // namespace
