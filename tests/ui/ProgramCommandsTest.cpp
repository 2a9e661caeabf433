#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "helpers/ChildProcess.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "support/TestEnv.h"
#include "control/ProgramControl.h"
#include "ui/ControlIds.h"
#include "ui/HeadlessControls.h"
#include "ui/MainWindowLogic.h"

namespace {

using namespace ui;
using helpers::Child;
using Names = std::vector<std::string>;

std::string ListLines(const char* key, const Names& items) {
    std::string s;
    for (size_t i = 0; i < items.size(); ++i)
        s += std::string(key) + "_#" + std::to_string(i) + "=`" + items[i] + "`\r\n";
    return s;
}

class ProgramCommandsTest : public ::testing::Test {
protected:
    std::string Ini() const { return dir / "Quorvel.ini"; }
    std::string Src() const { return dir / "src"; }
    std::string Tgt() const { return dir / "tgt"; }

    // A window a second after start, refreshed once in Local mode (a refresh
    // in Network mode would send an echo to the first PC) and then switched
    // to the mode under test.
    std::unique_ptr<MainWindowLogic> Start(const std::string& settings, OperationMode mode) {
        testenv::MakeDirs(Src());
        testenv::MakeDirs(Tgt());
        testenv::WriteFile(Ini(), "IDC_ACS_FILENAME_SRC=`" + Src() + "`\r\nIDC_ACS_FILENAME_TARGET=`" + Tgt() +
                                      "`\r\nm_chkSubFolder=`1`\r\n" + settings);
        auto logic = std::make_unique<MainWindowLogic>(ui, Ini());
        logic->StartUp();
        EXPECT_TRUE(logic->Refresh());
        ui.SetCheck(kIdModeLocal, mode == OperationMode::Local);
        ui.SetCheck(kIdModeNetwork, mode == OperationMode::Network);
        logic->SwitchMode();
        return logic;
    }

    testenv::TempDir dir;
    HeadlessControls ui;
};

// Network mode: command files to the PCs \\10.213.7.2 to .5, of which .3 has
// no share (switched off). Shares are mapped, no packet is sent.
class NetworkCommandsTest : public ProgramCommandsTest {
protected:
    void SetUp() override {
        for (int n : {2, 4, 5}) pcs[n] = std::make_unique<testenv::MappedShare>("10.213.7." + std::to_string(n), "Jobkeeper");
        for (auto& [n, share] : pcs)
            if (!share->ok()) GTEST_SKIP() << "shares cannot be mapped on this platform";
    }
    // Command file content per PC that has one.
    std::map<int, std::string> Received() const {
        std::map<int, std::string> out;
        for (auto& [n, share] : pcs)
            if (auto text = platform::ReadWholeFile(share->folder() + "\\CopyScript.TSF")) out[n] = *text;
        return out;
    }
    std::map<int, std::unique_ptr<testenv::MappedShare>> pcs;
};

const char* const kNetLists =
    "EXECUTE_CONTROL_NET_OFF_#0=`x.exe`\r\nEXECUTE_CONTROL_NET_OFF_#1=`C:\\Line\\app.exe`\r\n"
    "EXECUTE_CONTROL_NET_ON_#0=`C:\\Line\\app.exe`\r\n"
    "IDC_ACS_FILENAME_NET_STARTIP=`//10.213.7.2`\r\nIDC_ACS_FILENAME_NET_PATH=`\\c\\Pexoril`\r\n"
    "IDC_ACS_FILENAME_NET_ENDIP=`3`\r\n";

TEST_F(NetworkCommandsTest, ConfirmedCommandsReachEveryPcOfTheRange) {
    const std::string kill = "KILL^x.exe\r\nKILL^app.exe\r\n";
    const std::string restart = "RESTART^app.exe^C:\\Line\\app.exe\r\n";
    const std::string terminateAsk =
        "네트워크로 프로그램 종료 명령어를 전달 합니다.\n \\\\10.213.7.2~4\n  1, x.exe\n  2, C:\\Line\\app.exe\n"
        "계속 진행 하시겠습니까?";
    const std::string restartAsk =
        "네트워크로 프로그램 재시작 명령어를 전달 합니다.\n \\\\10.213.7.2~4\n  1, C:\\Line\\app.exe\n"
        "계속 진행 하시겠습니까?";
    enum Command { Terminate, Restart, RestartNoAsk };
    struct Case {
        const char* what;
        Command command;
        std::optional<int> answer;  // nullopt: no question expected
        std::string question;
        std::map<int, std::string> received;
    } cases[] = {
        {"terminate, yes", Terminate, kIdYes, terminateAsk, {{2, kill}, {4, kill}}},
        {"terminate, no", Terminate, kIdNo, terminateAsk, {}},
        {"restart, yes", Restart, kIdYes, restartAsk, {{2, restart}, {4, restart}}},
        {"restart, no", Restart, kIdNo, restartAsk, {}},
        {"restart after a copy run", RestartNoAsk, std::nullopt, "", {{2, restart}, {4, restart}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ui = HeadlessControls();
        for (auto& [n, share] : pcs) platform::RemoveFile(share->folder() + "\\CopyScript.TSF");
        auto logic = Start(kNetLists, OperationMode::Network);
        ASSERT_EQ(logic->Range().startAddress, "\\\\10.213.7.2");
        // Typed after the refresh: the end value counts, the start address
        // waits for the next refresh.
        ui.SetText(kIdEndOctet, "4");
        ui.SetText(kIdStartAddress, "\\\\10.213.7.5");
        if (c.answer) ui.answers.push_back(*c.answer);

        // The copy run calls the operation itself, with no question.
        const bool ran = c.command == Terminate  ? logic->TerminateAll()
                         : c.command == Restart ? logic->RestartPrograms()
                                                : control::RestartPrograms(logic->Mode(), "", logic->Programs(),
                                                                           logic->RangeNow(), nullptr) ==
                                                      control::CommandOutcome::Done;
        EXPECT_TRUE(ran);
        if (c.answer) {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].text, c.question);
            EXPECT_EQ(ui.messages[0].type, kMbYesNo);
        } else {
            EXPECT_TRUE(ui.messages.empty());
        }
        EXPECT_EQ(Received(), c.received);
    }
}

TEST_F(NetworkCommandsTest, EndBelowTheStartAndEmptyLists) {
    struct Case {
        const char* what;
        std::string endBox;
        std::string lists;
        std::string question;
        std::map<int, std::string> received;
    } cases[] = {
        {"end below the start: the start PC alone", "1", ListLines("EXECUTE_CONTROL_NET_OFF", {"x.exe"}),
         "네트워크로 프로그램 종료 명령어를 전달 합니다.\n \\\\10.213.7.2~2\n  1, x.exe\n계속 진행 하시겠습니까?",
         {{2, "KILL^x.exe\r\n"}}},
        {"empty end box", "", ListLines("EXECUTE_CONTROL_NET_OFF", {"x.exe"}),
         "네트워크로 프로그램 종료 명령어를 전달 합니다.\n \\\\10.213.7.2~2\n  1, x.exe\n계속 진행 하시겠습니까?",
         {{2, "KILL^x.exe\r\n"}}},
        {"empty list: empty files", "5", ListLines("EXECUTE_CONTROL_NET_ON", {"a.exe"}),
         "네트워크로 프로그램 종료 명령어를 전달 합니다.\n \\\\10.213.7.2~5\n계속 진행 하시겠습니까?",
         {{2, ""}, {4, ""}, {5, ""}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ui = HeadlessControls();
        for (auto& [n, share] : pcs) platform::RemoveFile(share->folder() + "\\CopyScript.TSF");
        auto logic = Start(c.lists + "IDC_ACS_FILENAME_NET_STARTIP=`\\\\10.213.7.2`\r\n", OperationMode::Network);
        ui.SetText(kIdEndOctet, c.endBox);
        ui.answers.push_back(kIdYes);
        EXPECT_TRUE(logic->TerminateAll());
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, c.question);
        EXPECT_EQ(Received(), c.received);
    }
}

// F2 and F3 change nothing a copy run reads: the operator may use them
// while one lasts (the run itself restarts programs the same way).
TEST_F(NetworkCommandsTest, UsableWhileARunLasts) {
    auto logic = Start(kNetLists, OperationMode::Network);
    logic->SetRunActive(true);
    EXPECT_FALSE(logic->MayRun(Command::Refresh));
    ui.answers.assign({kIdYes});
    EXPECT_TRUE(logic->TerminateAll());
    EXPECT_EQ(Received(), (std::map<int, std::string>{{2, "KILL^x.exe\r\nKILL^app.exe\r\n"}}));  // end 3: .3 has no share
    EXPECT_EQ(control::RestartPrograms(logic->Mode(), "", logic->Programs(), logic->RangeNow(), nullptr),
              control::CommandOutcome::Done);
    EXPECT_EQ(Received(), (std::map<int, std::string>{{2, "RESTART^app.exe^C:\\Line\\app.exe\r\n"}}));
}

// Before the first refresh no start address has been captured: the PC roots
// would be bare numbers, folders below the current directory. A start
// address whose last part is negative or huge is no address either.
TEST_F(NetworkCommandsTest, NoUsableStartAddressWritesNothingAndSaysSo) {
    const std::string cwd = platform::GetCurrentDir();
    for (int n : {0, 5}) testenv::MakeDirs(dir / (std::to_string(n) + "\\Jobkeeper"));
    ASSERT_TRUE(platform::SetCurrentDir(dir.path()));
    struct Case {
        const char* what;
        const char* startBox;  // nullptr: no refresh at all
    } cases[] = {
        {"before the first refresh", nullptr},
        {"negative last part", "\\\\10.213.7.-2000000000"},
        {"huge last part", "\\\\10.213.7.4000000000"},
        {"a name, not an address", "\\\\pc-two"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ui = HeadlessControls();
        testenv::MakeDirs(Src());
        testenv::WriteFile(Ini(), "IDC_ACS_FILENAME_SRC=`" + Src() + "`\r\nm_chkSubFolder=`0`\r\n" +
                                      kNetLists + "OPERATION_MODE=`1`\r\n");
        auto logic = std::make_unique<MainWindowLogic>(ui, Ini());
        logic->StartUp();
        if (c.startBox) {
            ui.SetText(kIdStartAddress, c.startBox);
            logic->Refresh();
            ui.messages.clear();  // the refresh's own word about the first PC
        }
        ui.SetText(kIdEndOctet, "5");
        ui.answers.assign({kIdYes, kIdYes});
        EXPECT_TRUE(logic->TerminateAll());
        EXPECT_TRUE(logic->RestartPrograms());
        ASSERT_EQ(ui.messages.size(), 2u);
        for (const auto& m : ui.messages) EXPECT_EQ(m.text, kNoStartAddressText);
        EXPECT_TRUE(Received().empty());
        for (int n : {0, 5})
            EXPECT_FALSE(platform::PathExists(dir / (std::to_string(n) + "\\Jobkeeper\\CopyScript.TSF")));
    }
    platform::SetCurrentDir(cwd);
}

// Local mode against real processes: copies of the sleeper under names of
// this test process's own.
class LocalCommandsTest : public ProgramCommandsTest {
protected:
    std::string Name(const char* stem) const { return std::string(stem) + helpers::UniqueTag() + ".exe"; }
    std::string Program(const std::string& name) {
        const std::string path = dir / ("bin\\" + name);
        if (!platform::PathExists(path)) {
            testenv::MakeDirs(dir / "bin");
            EXPECT_TRUE(helpers::CopyProgram(helpers::SleeperPath(), path));
            names.push_back(name);
        }
        return path;
    }
    Child& Run(const std::string& name) {
        const std::string folder = dir / ("run" + std::to_string(runs++));
        testenv::MakeDirs(folder);
        children.push_back(std::make_unique<Child>(Program(name), folder));
        EXPECT_EQ(helpers::WaitForStarted(folder, 1).size(), 1u) << name << " did not start";
        return *children.back();
    }
    // How many processes of the name run, found by stopping them all.
    int StopAll(const std::string& name) {
        int n = 0;
        while (n < 20 && platform::TerminateProcessByName(name)) ++n;
        return n;
    }
    void TearDown() override {
        children.clear();
        for (const auto& n : names) StopAll(n);
    }

    std::vector<std::string> names;
    std::vector<std::unique_ptr<Child>> children;
    int runs = 0;
};

TEST_F(LocalCommandsTest, TerminateAllStopsCopyListFilesOnLocalPathsAndTheStopList) {
    const std::string a = Name("QvCmdA"), b = Name("QvCmdB"), c = Name("QvCmdC");
    testenv::MappedShare share("10.213.7.6", "c");
    struct Case {
        const char* what;
        bool uncTarget;
        bool copyList;  // a.exe and data.dll in the copy list
        Names localOff;
        bool aStops, bStops;
    } cases[] = {
        {"local target", false, true, {"C:\\Line\\" + b}, true, true},
        {"target on a share: its files are another PC's", true, true, {b}, false, true},
        {"nothing listed", false, false, {}, false, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        if (k.uncTarget && !share.ok()) continue;
        const std::string target = k.uncTarget ? share.unc() + "\\app" : Tgt();
        testenv::WriteFile(Src() + "\\" + a, "new", 3000);
        testenv::WriteFile(Src() + "\\lib\\data.dll", "new", 3000);
        testenv::WriteFile((k.uncTarget ? share.folder() + "\\app" : Tgt()) + "\\" + a, "old", 2000);
        ui = HeadlessControls();
        auto logic = Start("IDC_ACS_FILENAME_TARGET=`" + target + "`\r\n" +
                               ListLines("EXECUTE_CONTROL_LOCAL_OFF", k.localOff) +
                               ListLines("EXECUTE_CONTROL_LOCAL_ON", {c}),  // not for terminate-all
                           OperationMode::Local);
        if (k.copyList) {
            ui.Select(kIdAllFilesList, {0, 1});
            logic->MoveSelectedToCopy();
            ASSERT_EQ(ui.GetItemCount(kIdCopyList), 2);
            ASSERT_EQ(logic->RecordAt(ListKind::Copy, 0)->target.path.rfind(target, 0), 0u);
        }
        Child& runA = Run(a);
        Child& runB = Run(b);
        Child& runC = Run(c);

        EXPECT_TRUE(logic->TerminateAll());
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(!runA.Running(), k.aStops);
        EXPECT_EQ(!runB.Running(), k.bStops);
        EXPECT_TRUE(runC.Running());
        children.clear();
    }
}

TEST_F(LocalCommandsTest, RestartStopsEveryListedProgramThenStartsThemInTheTargetFolder) {
    const std::string a = Name("QvCmdA"), b = Name("QvCmdB");
    // a twice: both starts come after both stops, so two copies of a run.
    auto logic = Start(ListLines("EXECUTE_CONTROL_LOCAL_ON", {"C:\\Line\\" + a, b, a}), OperationMode::Local);
    for (const auto& n : {a, b}) ASSERT_TRUE(helpers::CopyProgram(helpers::SleeperPath(), Tgt() + "\\" + n));
    Child& oldA = Run(a);
    Child& oldB = Run(b);
    names.push_back(a);
    names.push_back(b);

    EXPECT_TRUE(logic->RestartPrograms());
    EXPECT_TRUE(ui.messages.empty());  // Local asks nothing, even from F3
    EXPECT_FALSE(oldA.Running());
    EXPECT_FALSE(oldB.Running());
    const auto started = helpers::WaitForStarted(Tgt(), 3);
    ASSERT_EQ(started.size(), 3u);
    int startedA = 0;
    for (const auto& f : started) {
        SCOPED_TRACE(f);
        startedA += f.rfind("started-" + a + "-", 0) == 0;
        const auto cwd = platform::ReadWholeFile(Tgt() + "\\" + f);
        ASSERT_TRUE(cwd.has_value());
        EXPECT_EQ(platform::GetDirectoryId(*cwd), platform::GetDirectoryId(Tgt())) << *cwd;
    }
    EXPECT_EQ(startedA, 2);
    EXPECT_EQ(StopAll(a), 2);
    EXPECT_EQ(StopAll(b), 1);
}

}  // namespace
