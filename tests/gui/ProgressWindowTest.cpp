// The real progress window inside a real main window, driven from a worker
// thread as a copy run drives it, while this thread pumps the messages as the
// user-interface thread does.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/TestEnv.h"
#include "ui/win32/CopyStateIds.h"
#include "ui/win32/MainDialog.h"

namespace {

using ui::win32::CCopyStateDlg;
using ui::win32::MainDialog;
using Clock = std::chrono::steady_clock;
using Lines = std::vector<std::string>;

double SecondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

class ProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display (the test command runs Xvfb)";
        main_ = std::make_unique<MainDialog>(dir_ / "none.ini");
        main_->messageBoxHook = [](std::string_view, unsigned) { return IDOK; };
        ASSERT_TRUE(main_->Create(GetModuleHandleA(nullptr)));
        window_ = main_->ProgressWindow().Handle();
        ASSERT_NE(window_, nullptr);
        list_ = GetDlgItem(window_, IDC_COPYSTATE_LOG);
    }

    CCopyStateDlg& Progress() { return main_->ProgressWindow(); }

    template <typename Cond>
    bool PumpUntil(int ms, Cond cond) {
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            ui::win32::PumpPending(*main_);
            if (cond()) return true;
            if (Clock::now() > end) return false;
            Sleep(5);
        }
    }
    void Pump(int ms) {
        PumpUntil(ms, [] { return false; });
    }

    // Runs work on a worker thread while this thread keeps pumping.
    template <typename Work>
    void OnWorker(Work work) {
        std::atomic<bool> done{false};
        std::thread worker([&] {
            work();
            done = true;
        });
        EXPECT_TRUE(PumpUntil(20000, [&] { return done.load(); }));
        worker.join();
    }

    bool Visible() { return IsWindowVisible(window_) != FALSE; }
    // The control's own visibility, whether or not the window shows.
    bool Shown(int id) { return (GetWindowLongA(GetDlgItem(window_, id), GWL_STYLE) & WS_VISIBLE) != 0; }
    int Count() { return int(SendMessageA(list_, LB_GETCOUNT, 0, 0)); }
    Lines Log() {
        Lines lines;
        for (int i = 0; i < Count(); ++i) {
            std::string s(size_t(SendMessageA(list_, LB_GETTEXTLEN, WPARAM(i), 0)) + 1, '\0');
            s.resize(size_t(SendMessageA(list_, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(s.data()))));
            lines.push_back(s);
        }
        return lines;
    }
    // The width of a line in the list box's font.
    int Width(const std::string& text) {
        HDC dc = GetDC(list_);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list_, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(list_, dc);
        return int(size.cx);
    }
    int Extent() { return int(SendMessageA(list_, LB_GETHORIZONTALEXTENT, 0, 0)); }
    void Click(int id) {
        SendMessageA(GetDlgItem(window_, id), BM_CLICK, 0, 0);
        Pump(30);
    }
    // A key pressed in the log, through the message loop as the operator's would.
    void Key(WPARAM vk) {
        PostMessageA(list_, WM_KEYDOWN, vk, 1);
        PostMessageA(list_, WM_KEYUP, vk, 0xC0000001);
        Pump(50);
    }

    testenv::TempDir dir_;
    std::unique_ptr<MainDialog> main_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(ProgressWindowTest, CreatedHiddenWithTheMainWindowAndDestroyedWithIt) {
    EXPECT_FALSE(Visible());
    EXPECT_EQ(GetWindow(window_, GW_OWNER), main_->Handle());
    char caption[64] = "";
    GetWindowTextA(window_, caption, sizeof caption);
    EXPECT_STREQ(caption, "복사 수행");
    const LONG style = GetWindowLongA(list_, GWL_STYLE);
    EXPECT_EQ(style & (LBS_SORT | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY), LBS_NOINTEGRALHEIGHT | LBS_NOTIFY);
    EXPECT_TRUE(Shown(IDOK));
    for (int id : {IDCANCEL, IDC_COPYSTATE_OPEN_FOLDER, IDC_COPYSTATE_IGNORE_WAIT, IDC_COPYSTATE_STOP_COPY})
        EXPECT_FALSE(Shown(id)) << id;

    // The hidden stop button reaches the main window as the value 2.
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDC_COPYSTATE_STOP_COPY, BN_CLICKED), 0);
    ASSERT_TRUE(PumpUntil(1000, [&] { return main_->RunControl() == 2; }));

    PostMessageA(main_->Handle(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil(2000, [&] { return main_->Handle() == nullptr; }));
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_EQ(Progress().Handle(), nullptr);
    // A late call from a worker finds no window and does nothing.
    std::thread late([&] { Progress().AddLine("late", 1); });
    late.join();
}

TEST_F(ProgressWindowTest, ARunFromAWorker) {
    // Lines arrive in order, and each is in the log when AddLine returns:
    // checked between the worker's calls while this thread pumps.
    std::atomic<int> returned{0};
    std::atomic<bool> behind{false};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        Progress().ShowForRun();
        Progress().ShowIgnoreWaitButton();
        for (int i = 0; i < 200; ++i) {
            Progress().AddLine("line " + std::to_string(i), 1);
            returned = i + 1;
        }
        done = true;
    });
    ASSERT_TRUE(PumpUntil(20000, [&] {
        const int r = returned.load();
        if (Count() < r) behind = true;
        return done.load();
    }));
    worker.join();
    EXPECT_FALSE(behind.load());
    const Lines log = Log();
    ASSERT_EQ(log.size(), 200u);
    for (int i = 0; i < 200; ++i) ASSERT_EQ(log[size_t(i)], "line " + std::to_string(i));
    EXPECT_EQ(SendMessageA(list_, LB_GETCURSEL, 0, 0), 199);

    // Beside the main window, at the top, active.
    EXPECT_TRUE(Visible());
    RECT owner{}, rc{}, client{};
    GetWindowRect(main_->Handle(), &owner);
    GetWindowRect(window_, &rc);
    GetClientRect(window_, &client);
    EXPECT_EQ(rc.left, owner.right + 15);
    EXPECT_EQ(rc.top, owner.bottom - client.bottom - 50);
    EXPECT_EQ(GetActiveWindow(), window_);
    EXPECT_TRUE(Shown(IDC_COPYSTATE_IGNORE_WAIT));
    EXPECT_FALSE(Shown(IDC_COPYSTATE_OPEN_FOLDER));

    // "명령수행대기 무시" reaches the main window's runControl.
    main_->RunControlFlag() = 0;
    Click(IDC_COPYSTATE_IGNORE_WAIT);
    EXPECT_TRUE(PumpUntil(1000, [&] { return main_->RunControl() == 1; }));

    // A new run: a waiting line replaced in place, and the scroll extent
    // following the widest line, not the last one.
    const std::string wide = "대상 PC 응답 대기 " + std::string(150, 'W');
    OnWorker([&] {
        Progress().ShowForRun();
        Progress().AddLine("복사 실행", 0);  // replacing on an empty log appends
        Progress().AddLine(wide, 1);
        Progress().AddLine("  대기 1", 1);
        Progress().AddLine("  대기 2", 0);
        Progress().AddLine("  대기 3", 0);
        Progress().AddLine("성공 : 1, 실패 : 0", 1);
    });
    EXPECT_EQ(Log(), (Lines{"복사 실행", wide, "  대기 3", "성공 : 1, 실패 : 0"}));
    EXPECT_EQ(SendMessageA(list_, LB_GETCURSEL, 0, 0), 3);
    EXPECT_FALSE(Shown(IDC_COPYSTATE_IGNORE_WAIT));  // the new run hid it
    EXPECT_GT(Width(wide), Width("성공 : 1, 실패 : 0"));
    EXPECT_EQ(Extent(), Width(wide));
    RECT listRect{};
    GetClientRect(list_, &listRect);
    EXPECT_GT(Extent(), listRect.right);
    EXPECT_NE(GetWindowLongA(list_, GWL_STYLE) & WS_HSCROLL, 0);  // the scroll bar shows

    // OK during a run hides the window; the run goes on.
    Click(IDOK);
    EXPECT_FALSE(Visible());
    OnWorker([&] { Progress().AddLine("hidden", 1); });
    EXPECT_EQ(Log().back(), "hidden");
    EXPECT_FALSE(Visible());

    // The next run shows it again and sets the extent afresh.
    OnWorker([&] {
        Progress().ShowForRun();
        Progress().AddLine("short", 1);
    });
    EXPECT_TRUE(Visible());
    EXPECT_EQ(Log(), Lines{"short"});
    EXPECT_EQ(Extent(), Width("short"));
}

TEST_F(ProgressWindowTest, KeysCloseBoxAndOpenFolderOnTheWindowsThread) {
    std::vector<std::string> opened;
    Progress().openFolderHook = [&](const std::string& folder) { opened.push_back(folder); };
    const std::string folder = dir_.path();

    // Called on the window's own thread, as the package builder does.
    Progress().ShowForRun();
    Progress().SetOpenFolder(std::nullopt);
    EXPECT_FALSE(Shown(IDC_COPYSTATE_OPEN_FOLDER));
    Progress().SetOpenFolder(folder);
    EXPECT_TRUE(Shown(IDC_COPYSTATE_OPEN_FOLDER));
    Click(IDC_COPYSTATE_OPEN_FOLDER);
    EXPECT_EQ(opened, Lines{folder});
    Progress().SetOpenFolder(dir_ / "gone");  // no such folder: nothing opens
    Click(IDC_COPYSTATE_OPEN_FOLDER);
    Progress().SetOpenFolder("");  // no folder: the button stays, nothing opens
    EXPECT_TRUE(Shown(IDC_COPYSTATE_OPEN_FOLDER));
    Click(IDC_COPYSTATE_OPEN_FOLDER);
    EXPECT_EQ(opened.size(), 1u);

    // Escape, Enter and the close box hide it, and it stays alive.
    struct {
        const char* what;
        std::function<void()> act;
    } hiders[] = {
        {"Escape", [&] { Key(VK_ESCAPE); }},
        {"Enter", [&] { Key(VK_RETURN); }},
        {"close box", [&] { PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& h : hiders) {
        Progress().ShowForRun();
        ASSERT_TRUE(Visible()) << h.what;
        EXPECT_FALSE(Shown(IDC_COPYSTATE_OPEN_FOLDER)) << h.what;
        h.act();
        EXPECT_TRUE(PumpUntil(1000, [&] { return !Visible(); })) << h.what;
        EXPECT_TRUE(IsWindow(window_)) << h.what;
    }
}

TEST_F(ProgressWindowTest, AutoHideAndTheOperatorTakingHold) {
    // A click on the background within the three seconds keeps the window.
    Clock::time_point started;
    OnWorker([&] {
        Progress().ShowForRun();
        Progress().AddLine("성공 : 1, 실패 : 0", 1);
        Progress().StartAutoHide();
        started = Clock::now();
    });
    Pump(1200);
    PostMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageA(window_, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_FALSE(PumpUntil(int(4200 - SecondsSince(started) * 1000), [&] { return !Visible(); }));

    // A later StartAutoHide counts three seconds afresh, and hides it.
    OnWorker([&] {
        Progress().StartAutoHide();
        started = Clock::now();
    });
    ASSERT_TRUE(PumpUntil(6000, [&] { return !Visible(); }));
    const double hidAfter = SecondsSince(started);
    EXPECT_GT(hidAfter, 2.5);
    EXPECT_LT(hidAfter, 4.0);
    EXPECT_EQ(Log(), Lines{"성공 : 1, 실패 : 0"});  // the log stays

    // The focus put into the log keeps it too.
    OnWorker([&] { Progress().ShowForRun(); });
    SetFocus(GetDlgItem(window_, IDOK));
    OnWorker([&] { Progress().StartAutoHide(); });
    started = Clock::now();
    Pump(300);
    SetFocus(list_);
    EXPECT_FALSE(PumpUntil(3700, [&] { return !Visible(); }));
}

}  // namespace
