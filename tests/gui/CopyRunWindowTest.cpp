// The copy command through the real window: F7 and button 1011, the worker,
// the progress window's lines, the records turning Same, the button, the
// commands refused meanwhile, and a close asked for during a run. The
// network case runs on the private test network with real echoes and a real
// qvAgent on one PC.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "agent/AgentProcess.h"
#include "platform/FileSystem.h"
#include "support/TestEnv.h"
#include "ui/ControlIds.h"
#include "ui/FileListModel.h"
#include "ui/win32/CopyStateIds.h"
#include "ui/win32/MainDialog.h"

namespace {

using namespace ui;
using ui::win32::MainDialog;
using Clock = std::chrono::steady_clock;
using Lines = std::vector<std::string>;

class CopyRunWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display (the test command runs Xvfb)";
    }
    void TearDown() override { window_.reset(); }

    MainDialog& Open(const std::string& settings) {
        testenv::WriteFile(dir_ / "Quorvel.ini", settings);
        window_ = std::make_unique<MainDialog>(dir_ / "Quorvel.ini");
        window_->messageBoxHook = [this](std::string_view text, unsigned type) {
            messages_.emplace_back(text);
            return (type & 0xF) == MB_YESNO ? answer_ : IDOK;
        };
        EXPECT_TRUE(window_->Create(GetModuleHandleA(nullptr)));
        return *window_;
    }
    template <typename Cond>
    bool PumpUntil(int ms, Cond cond) {
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            if (window_->Handle()) ui::win32::PumpPending(*window_);
            if (cond()) return true;
            if (Clock::now() > end) return false;
            Sleep(10);
        }
    }
    void Key(WPARAM vk) {
        HWND target = GetDlgItem(window_->Handle(), kIdCopyList);
        PostMessageA(target, WM_KEYDOWN, vk, 1);
        PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
        PumpUntil(50, [] { return false; });
    }
    Lines Log() {
        HWND list = GetDlgItem(window_->ProgressWindow().Handle(), IDC_COPYSTATE_LOG);
        Lines lines;
        const int n = int(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            std::string s(size_t(SendMessageA(list, LB_GETTEXTLEN, WPARAM(i), 0)) + 1, '\0');
            s.resize(size_t(SendMessageA(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(s.data()))));
            lines.push_back(s);
        }
        return lines;
    }
    bool Contains(const std::string& text) {
        for (const auto& l : Log())
            if (l.find(text) != std::string::npos) return true;
        return false;
    }
    bool ProgressVisible() { return IsWindowVisible(window_->ProgressWindow().Handle()) != FALSE; }
    bool CopyEnabled() { return IsWindowEnabled(GetDlgItem(window_->Handle(), kIdCopy)) != FALSE; }
    std::string Read(const std::string& path) { return platform::ReadWholeFile(path).value_or("<none>"); }

    testenv::TempDir dir_;
    std::unique_ptr<MainDialog> window_;
    std::vector<std::string> messages_;
    int answer_ = IDNO;
};

TEST_F(CopyRunWindowTest, LocalRunFromF7AndTheButton) {
    testenv::WriteFile(dir_ / "src\\a.exe", "new a", 1700000000);
    testenv::WriteFile(dir_ / "src\\bin\\b.dll", "new b", 1700000000);
    testenv::WriteFile(dir_ / "tgt\\a.exe", "old a", 1500000000);
    testenv::MakeDirs(dir_ / "tgt\\bin");
    MainDialog& d = Open("IDC_ACS_FILENAME_SRC=`" + dir_.path() + "\\src`\r\nIDC_ACS_FILENAME_TARGET=`" +
                         dir_.path() + "\\tgt`\r\nm_chkSubFolder=`1`\r\nIDC_CHK_AUTOBACKUP=`0`\r\n"
                         "IDC_CHECK_UPDATEMODE=`0`\r\nMakeInstall_Title=`Line2`\r\nMakeInstall_BasicPath=`" +
                         dir_.path() + "\\pkg`\r\n");
    ASSERT_TRUE(PumpUntil(5000, [&] { return d.GetItemCount(kIdAllFilesList) == 2; }));

    // Nothing in the copy list: no window, no line.
    SendMessageA(GetDlgItem(d.Handle(), kIdCopy), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil(3000, [&] { return !d.Logic().RunActive() && CopyEnabled(); }));
    EXPECT_FALSE(ProgressVisible());
    EXPECT_TRUE(Log().empty());

    LVITEMA all{};
    all.stateMask = LVIS_SELECTED;
    all.state = LVIS_SELECTED;
    SendDlgItemMessageA(d.Handle(), kIdAllFilesList, LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&all));
    d.Logic().MoveSelectedToCopy();
    ASSERT_EQ(d.GetItemCount(kIdCopyList), 2);
    // F7 answered No: nothing happens.
    answer_ = IDNO;
    Key(VK_F7);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], "현재 설정으로 복사를 진행 하시겠습니까?");
    EXPECT_FALSE(d.Logic().RunActive());
    EXPECT_EQ(Read(dir_ / "tgt\\a.exe"), "old a");

    answer_ = IDYES;
    Key(VK_F7);
    ASSERT_TRUE(PumpUntil(10000, [&] { return !d.Logic().RunActive(); }));
    EXPECT_FALSE(CopyEnabled());  // enabled again 100 ms after the run
    EXPECT_TRUE(PumpUntil(2000, [&] { return CopyEnabled(); }));
    Lines want = {"복사 실행"};
    for (size_t n = 0; const CompareRecord* r = d.Logic().RecordAt(ListKind::Copy, n); ++n) {
        want.push_back("  복사완료 " + r->source.path + " -> " + r->target.path);
        EXPECT_EQ(r->result, CompareResult::Same) << r->source.path;
        EXPECT_EQ(r->target.timeWrite, 1700000000);
    }
    want.insert(want.end(), {"", "성공 : 2, 실패 : 0"});
    EXPECT_EQ(Log(), want);
    EXPECT_TRUE(ProgressVisible());
    EXPECT_EQ(Read(dir_ / "tgt\\a.exe"), "new a");
    EXPECT_EQ(Read(dir_ / "tgt\\bin\\b.dll"), "new b");
    EXPECT_TRUE(PumpUntil(5000, [&] { return !ProgressVisible(); }));  // hides itself after a clean run

    // Button 1025: a refresh, then the package on the worker, into the same
    // window; the copy list is what the refresh carried over.
    SendMessageA(GetDlgItem(d.Handle(), kIdMakePackage), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil(10000, [&] { return !d.Logic().RunActive() && Contains("인스톨용 파일 복사 완료"); }));
    EXPECT_EQ(Log().front(), "복사 실행");
    EXPECT_TRUE(Contains("인스톨용 파일 복사 완료(성공:2, 실패:0)"));
    bool found = false;
    platform::FindFiles(dir_ / "pkg\\Line2_*", [&](const platform::FindData& f) {
        const std::string folder = dir_ / ("pkg\\" + f.name);
        found = true;
        EXPECT_EQ(Read(folder + "\\InstallFiles\\b.dll"), "new b");  // flat
        EXPECT_TRUE(platform::PathExists(folder + "\\qvInstall.bat"));
        return true;
    });
    EXPECT_TRUE(found);
}

// A network run whose wait holds (no agent on the second PC): the window
// answers, refuses what would change the run, closes only when the run has
// ended, and 1025 in the progress window ends the wait. Echoes are real, on
// the test command's private network.
TEST_F(CopyRunWindowTest, NetworkRunWaitsForTheAgentsAndTheOperator) {
    const char* net = std::getenv("QV_TEST_NET");
    if (!net) GTEST_SKIP() << "needs the private test network (QV_TEST_NET), which the test command builds as root";
    std::istringstream in(net);
    std::string pc1, pc2;
    in >> pc1 >> pc2;  // two PCs that answer: a.b.c.2 and a.b.c.3; a.b.c.4 is held by nobody
    const std::string prefix = pc1.substr(0, pc1.rfind('.') + 1);
    ASSERT_EQ(pc2, prefix + "3");
    std::vector<std::unique_ptr<testenv::MappedShare>> shares;
    for (int n : {2, 3, 4}) {
        shares.push_back(std::make_unique<testenv::MappedShare>(prefix + std::to_string(n), "c"));
        shares.push_back(std::make_unique<testenv::MappedShare>(prefix + std::to_string(n), "Jobkeeper"));
        testenv::WriteFile(shares[shares.size() - 2]->folder() + "\\app\\a.exe", "old", 1500000000);
    }
    const std::string jobkeeper2 = shares[1]->folder();
    helpers::AgentProcess agent(helpers::AgentPath(), {jobkeeper2}, dir_.path(), dir_ / "agent.err");
    ASSERT_TRUE(agent.ok());
    testenv::WriteFile(dir_ / "src\\a.exe", "new", 1700000000);

    MainDialog& d = Open("IDC_ACS_FILENAME_SRC=`" + dir_.path() + "\\src`\r\nOPERATION_MODE=`1`\r\n"
                         "IDC_ACS_FILENAME_NET_STARTIP=`\\\\" + pc1 + "`\r\nIDC_ACS_FILENAME_NET_ENDIP=`4`\r\n"
                         "IDC_ACS_FILENAME_NET_PATH=`\\c\\app`\r\nm_chkSubFolder=`1`\r\nIDC_CHK_AUTOBACKUP=`0`\r\n"
                         "IDC_CHECK_UPDATEMODE=`1`\r\nEXECUTE_CONTROL_NET_OFF_#0=`app.exe`\r\n"
                         "EXECUTE_CONTROL_NET_ON_#0=`app.exe`\r\n");
    ASSERT_TRUE(PumpUntil(8000, [&] { return d.GetItemCount(kIdAllFilesList) == 1; }));
    d.Logic().MoveAllSourceNewer();
    SendMessageA(GetDlgItem(d.Handle(), kIdCopy), BM_CLICK, 0, 0);

    const std::string waitTail = "  명령 대기 네트워크 IP => 003 004 ";
    ASSERT_TRUE(PumpUntil(10000, [&] {
        const Lines l = Log();
        return !l.empty() && l.back().size() > waitTail.size() &&
               l.back().compare(l.back().size() - waitTail.size(), waitTail.size(), waitTail) == 0;
    })) << (Log().empty() ? "" : Log().back());
    EXPECT_TRUE(Contains(" 프로그램 종료 명령어 전송 성공 - \\\\" + pc1));
    EXPECT_TRUE(Contains("  핑테스트 오류로 (프로그램 종료 명령어)명령 전달 스킵 - \\\\" + prefix + "4"));
    EXPECT_FALSE(platform::PathExists(jobkeeper2 + "\\CopyScript.TSF"));  // the agent took it
    EXPECT_TRUE(platform::PathExists(shares[3]->folder() + "\\CopyScript.TSF"));

    // While the run waits: the window answers, F5 and moves are refused, a
    // second run is refused, and a close waits for the run's end.
    const auto t0 = Clock::now();
    EXPECT_NE(SendMessageA(d.Handle(), WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count(), 500);
    EXPECT_FALSE(d.Logic().Refresh());
    EXPECT_FALSE(d.Logic().MoveAllBack());
    EXPECT_FALSE(CopyEnabled());
    const size_t lines = Log().size();
    SendMessageA(GetDlgItem(d.Handle(), kIdMakePackage), BM_CLICK, 0, 0);  // the package build too
    PumpUntil(100, [] { return false; });
    EXPECT_EQ(Log().size(), lines);  // its ShowForRun would have emptied the log
    const std::string waitLine = Log().back();
    PostMessageA(d.Handle(), WM_CLOSE, 0, 0);
    PumpUntil(1100, [] { return false; });
    ASSERT_NE(d.Handle(), nullptr);
    EXPECT_NE(Log().back(), waitLine);  // the one line counts up in place

    // The operator stops the wait: copies go on, then the window closes.
    SendMessageA(GetDlgItem(d.ProgressWindow().Handle(), IDC_COPYSTATE_IGNORE_WAIT), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil(10000, [&] { return d.Handle() == nullptr; }));
    EXPECT_EQ(Read(shares[0]->folder() + "\\app\\a.exe"), "new");
    EXPECT_EQ(Read(shares[2]->folder() + "\\app\\a.exe"), "new");
    EXPECT_EQ(Read(shares[4]->folder() + "\\app\\a.exe"), "old");  // .4 did not answer
}

}  // namespace
