// The real qvAgent against real programs (copies of the sleeper under names
// of this test process's own), and with the tool's F2 over a mapped PC share.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iostream>
#include <memory>
#include <thread>

#include "agent/Agent.h"
#include "agent/AgentProcess.h"
#include "agent/AgentProgram.h"
#include "control/CommandFile.h"
#include "helpers/ChildProcess.h"
#include "platform/FileSystem.h"
#include "platform/HeldWriter.h"
#include "platform/Process.h"
#include "support/TestEnv.h"
#include "ui/ControlIds.h"
#include "ui/HeadlessControls.h"
#include "ui/MainWindowLogic.h"

namespace {

using helpers::Child;

bool WaitFor(const std::function<bool()>& done, int timeoutMs = 10000) {
    for (int waited = 0; !done(); waited += 20) {
        if (waited >= timeoutMs) return false;
        helpers::SleepMs(20);
    }
    return true;
}

class AgentProcessTest : public ::testing::Test {
protected:
    // Jobkeeper is the agent's folder, below a "PC" root; the agent runs
    // from bin, which is also where a bare name that did not run is looked for.
    std::string Root() const { return dir / "pc"; }
    std::string Jobkeeper() const { return Root() + "\\Jobkeeper"; }
    std::string File() const { return Jobkeeper() + "\\" + agent::kCommandFileName; }
    std::string Log() const { return platform::ReadWholeFile(Jobkeeper() + "\\" + agent::kLogFileName).value_or(""); }
    std::string Name(const char* stem) const { return std::string(stem) + helpers::UniqueTag() + ".exe"; }

    void SetUp() override { testenv::MakeDirs(Jobkeeper()); }

    // Starts an agent on folder and waits for its first log line.
    std::unique_ptr<helpers::AgentProcess> StartAgent(const std::string& folder, const std::string& exe,
                                                      const std::vector<std::string>& args) {
        const std::string log = folder + "\\" + agent::kLogFileName;
        const size_t before = platform::ReadWholeFile(log).value_or("").size();
        auto a = std::make_unique<helpers::AgentProcess>(exe, args, dir.path(), dir / ("err" + std::to_string(++agents)));
        EXPECT_TRUE(a->ok()) << exe << " did not start, error " << a->error();
        EXPECT_TRUE(WaitFor([&] { return platform::ReadWholeFile(log).value_or("").size() > before; }))
            << "the agent wrote no log line";
        return a;
    }
    void StartAgent() { agentProcess = StartAgent(Jobkeeper(), helpers::AgentPath(), {Jobkeeper()}); }

    // A program of the given name, copied into folder (created) and run from there.
    Child& Run(const std::string& name, const std::string& folder) {
        testenv::MakeDirs(folder);
        const std::string exe = folder + "\\" + name;
        if (!platform::PathExists(exe)) {
            EXPECT_TRUE(helpers::CopyProgram(helpers::SleeperPath(), exe));
        }
        names.push_back(name);
        const size_t before = helpers::StartedFiles(folder).size();
        children.push_back(std::make_unique<Child>(exe, folder));
        EXPECT_EQ(helpers::WaitForStarted(folder, before + 1).size(), before + 1) << name << " did not start";
        return *children.back();
    }
    // The tool's own writer: whole, then renamed into place.
    void Deliver(const std::string& text) {
        testenv::WriteFile(Jobkeeper() + "\\~CopyScript.tmp", text);
        ASSERT_TRUE(platform::MoveFileReplacing(Jobkeeper() + "\\~CopyScript.tmp", File()));
    }
    bool Done(int timeoutMs = 15000) {
        return WaitFor([&] { return !platform::PathExists(File()); }, timeoutMs);
    }
    void TearDown() override {
        agentProcess.reset();
        children.clear();
        for (const auto& n : names) platform::TerminateAllProcessesByName(n, 5000);
    }

    testenv::TempDir dir;  // goes last
    std::vector<std::string> names;
    std::vector<std::unique_ptr<Child>> children;
    std::unique_ptr<helpers::AgentProcess> agentProcess;
    int agents = 0;
};

TEST_F(AgentProcessTest, KillStopsEveryInstanceThenDeletesTheFile) {
    const std::string a = Name("QvAgKillA"), b = Name("QvAgKillB");
    Child& a1 = Run(a, dir / "app1");
    Child& a2 = Run(a, dir / "app2");
    Child& b1 = Run(b, dir / "app1");
    StartAgent();
    // Unknown and blank lines are passed over; a program that is not running is no failure.
    Deliver("KILL^" + a + "\r\nFORMAT^C:\r\n\r\nKILL^QvNotRunning.exe\r\n");
    ASSERT_TRUE(Done());
    // Deleted only once the processes have ended.
    EXPECT_FALSE(a1.Running());
    EXPECT_FALSE(a2.Running());
    EXPECT_TRUE(b1.Running());
    const std::string log = Log();
    EXPECT_NE(log.find("KILL " + a + ": stopped 2 of 2\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("line 2 passed over, not understood: FORMAT^C:\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("KILL QvNotRunning.exe: not running\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("CopyScript.TSF deleted\r\n"), std::string::npos) << log;

    // An empty file, as the tool writes for an empty list, is simply deleted.
    Deliver("");
    ASSERT_TRUE(Done());
    EXPECT_TRUE(b1.Running());
    EXPECT_NE(Log().find("CopyScript.TSF: empty\r\n"), std::string::npos);
}

TEST_F(AgentProcessTest, RestartStartsTheProgramAgainInItsFolder) {
    const std::string a = Name("QvAgRestA"), b = Name("QvAgRestB");
    Child& old = Run(a, dir / "line");
    // b does not run; its entry names its folder.
    testenv::MakeDirs(dir / "other");
    ASSERT_TRUE(helpers::CopyProgram(helpers::SleeperPath(), dir / ("other\\" + b)));
    names.push_back(b);
    StartAgent();
    Deliver("RESTART^" + a + "^" + a + "\r\nRESTART^" + b + "^" + dir / ("other\\" + b) + "\r\n");
    ASSERT_TRUE(Done());
    EXPECT_FALSE(old.Running());
    // a bare entry: back where it ran from; b: in the entry's folder.
    for (const auto& [folder, name] : {std::pair{dir / "line", a}, std::pair{dir / "other", b}}) {
        SCOPED_TRACE(name);
        std::vector<std::string> started;
        ASSERT_TRUE(WaitFor([&] {
            started.clear();
            for (const auto& f : helpers::StartedFiles(folder))
                if (f.rfind("started-" + name + "-", 0) == 0) started.push_back(f);
            return started.size() == (name == a ? 2u : 1u);  // the old a left its file too
        })) << started.size();
        for (const auto& f : started) {
            const auto cwd = platform::ReadWholeFile(folder + "\\" + f);
            ASSERT_TRUE(cwd.has_value());
            EXPECT_EQ(platform::GetDirectoryId(*cwd), platform::GetDirectoryId(folder)) << *cwd;
        }
        EXPECT_EQ(platform::TerminateAllProcessesByName(name, 5000).stopped, 1);
    }
    const std::string log = Log();
    EXPECT_NE(log.find("RESTART " + a + ": stopped 1 of 1; started "), std::string::npos) << log;
    EXPECT_NE(log.find("RESTART " + b + ": not running; started "), std::string::npos) << log;
}

TEST_F(AgentProcessTest, AFileWrittenSlowlyInPlaceIsActedOnOnlyOnceClosed) {
    const std::string a = Name("QvAgSlowA"), b = Name("QvAgSlowB");
    Child& runA = Run(a, dir / "app");
    Child& runB = Run(b, dir / "app");
    StartAgent();
    {
        helpers::HeldWriter writer(File());
        ASSERT_TRUE(writer.ok());
        ASSERT_TRUE(writer.Write("KILL^" + a + "\r\n"));
        helpers::SleepMs(1500);  // several of the agent's looks
        EXPECT_TRUE(runA.Running());
        EXPECT_TRUE(platform::PathExists(File()));
        ASSERT_TRUE(writer.Write("KILL^" + b + "\r\n"));
    }
    ASSERT_TRUE(Done());
    EXPECT_FALSE(runA.Running());
    EXPECT_FALSE(runB.Running());
}

TEST_F(AgentProcessTest, OneAgentPerFolderAndItsDefaultFolderIsJobkeeperBesideIt) {
    // A copy of the agent in the PC root: with no argument it watches
    // pc\Jobkeeper, creating it when missing.
    const std::string built = helpers::AgentPath();
    const std::string exe = Root() + built.substr(built.find_last_of('\\'));
    ASSERT_TRUE(helpers::CopyProgram(helpers::AgentPath(), exe));
    testenv::RemoveTree(Jobkeeper());
    agentProcess = StartAgent(Jobkeeper(), exe, {});
    EXPECT_TRUE(platform::PathExists(Jobkeeper()));
    EXPECT_EQ(agentProcess->WaitForExit(0), std::nullopt);

    // The same folder, spelled with a trailing backslash: the second ends at once.
    helpers::AgentProcess second(helpers::AgentPath(), {Jobkeeper() + "\\"}, dir.path(), dir / "second.txt");
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(second.WaitForExit(10000), std::optional<int>(agent::kExitAlreadyWatched));
    const std::string message = "another qvAgent already watches " + Jobkeeper() + "; this one ends";
    EXPECT_NE(platform::ReadWholeFile(dir / "second.txt").value_or("").find(message), std::string::npos);
    EXPECT_NE(Log().find(message + "\r\n"), std::string::npos) << Log();
    EXPECT_EQ(agentProcess->WaitForExit(0), std::nullopt);  // the first one watches on

    helpers::AgentProcess missing(helpers::AgentPath(), {dir / "no such folder"}, dir.path(), dir / "missing.txt");
    EXPECT_EQ(missing.WaitForExit(10000), std::optional<int>(agent::kExitNoFolder));
    EXPECT_FALSE(platform::PathExists(dir / "no such folder"));

    // The agent still works from its default folder.
    const std::string a = Name("QvAgDefA");
    Child& run = Run(a, dir / "app");
    Deliver("KILL^" + a + "\r\n");
    ASSERT_TRUE(Done());
    EXPECT_FALSE(run.Running());
}

// The tool and the agent together: F2 in Network mode writes the kill file
// to \\10.213.9.7\Jobkeeper, a share mapped onto the agent's folder, and the
// agent stops the program there and deletes the file.
TEST_F(AgentProcessTest, F2InNetworkModeStopsAProgramOnThePc) {
    testenv::MappedShare share("10.213.9.7", "Jobkeeper");
    if (!share.ok()) GTEST_SKIP() << "shares cannot be mapped on this platform";
    const std::string a = Name("QvAgNetA"), keep = Name("QvAgNetB");
    Child& run = Run(a, dir / "app");
    Child& other = Run(keep, dir / "app");
    agentProcess = StartAgent(share.folder(), helpers::AgentPath(), {share.folder()});

    using namespace ui;
    HeadlessControls controls;
    testenv::MakeDirs(dir / "src");
    testenv::MakeDirs(dir / "tgt");
    const std::string ini = dir / "Quorvel.ini";
    testenv::WriteFile(ini, "IDC_ACS_FILENAME_SRC=`" + dir / "src" + "`\r\nIDC_ACS_FILENAME_TARGET=`" + dir / "tgt" +
                                "`\r\nEXECUTE_CONTROL_NET_OFF_#0=`C:\\Line\\" + a + "`\r\n" +
                                "IDC_ACS_FILENAME_NET_STARTIP=`\\\\10.213.9.7`\r\nIDC_ACS_FILENAME_NET_PATH=`\\c\\Line`\r\n"
                                "IDC_ACS_FILENAME_NET_ENDIP=`7`\r\n");
    MainWindowLogic logic(controls, ini);
    logic.StartUp();
    // Refreshed in Local mode (in Network mode it would send an echo), then switched.
    ASSERT_TRUE(logic.Refresh());
    controls.SetCheck(kIdModeLocal, false);
    controls.SetCheck(kIdModeNetwork, true);
    logic.SwitchMode();
    ASSERT_EQ(logic.Mode(), OperationMode::Network);
    controls.answers.push_back(kIdYes);

    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(logic.TerminateAll());
    ASSERT_EQ(controls.messages.size(), 1u);  // the question, answered yes
    ASSERT_TRUE(WaitFor([&] { return !CommandFilePending("\\\\10.213.9.7"); }, 15000));
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_FALSE(run.Running());
    EXPECT_TRUE(other.Running());
    const std::string log = platform::ReadWholeFile(share.folder() + "\\" + agent::kLogFileName).value_or("");
    EXPECT_NE(log.find("KILL " + a + ": stopped 1 of 1\r\n"), std::string::npos) << log;
    std::cout << "F2 to file gone: " << ms << " ms\n";
}

}  // namespace
