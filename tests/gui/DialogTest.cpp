// The dialog class: what a sender gets back from each kind of message, and
// the modal entry point with its hooks. The about box's template serves as
// a plain dialog.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "ui/win32/Dialog.h"
#include "ui/win32/resource.h"

namespace {

using ui::win32::Dialog;

// Answers every message of the table with its value.
class AnsweringDialog : public Dialog {
public:
    struct Answer {
        UINT msg;
        INT_PTR value;
    };
    explicit AnsweringDialog(std::vector<Answer> answers) : answers_(std::move(answers)) {}

protected:
    bool OnNotify(NMHDR&, LRESULT& result) override {
        result = 0x20;
        return true;
    }
    INT_PTR OnMessage(UINT msg, WPARAM, LPARAM, bool& handled) override {
        for (const Answer& a : answers_) {
            if (a.msg == msg) {
                handled = true;
                return a.value;
            }
        }
        handled = false;
        return 0;
    }

private:
    std::vector<Answer> answers_;
};

TEST(Dialog, EachMessageGivesItsSenderTheHandlersResult) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display (the test command runs Xvfb)";
    HBRUSH brush = GetSysColorBrush(COLOR_WINDOW);
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    const UINT privateMessage = WM_APP + 7;
    struct {
        UINT msg;
        INT_PTR value;
        const char* what;
    } cases[] = {
        {WM_CTLCOLORDLG, reinterpret_cast<INT_PTR>(brush), "WM_CTLCOLORDLG"},
        {WM_CTLCOLORSTATIC, reinterpret_cast<INT_PTR>(brush), "WM_CTLCOLORSTATIC"},
        {WM_CTLCOLOREDIT, reinterpret_cast<INT_PTR>(brush), "WM_CTLCOLOREDIT"},
        {WM_QUERYDRAGICON, reinterpret_cast<INT_PTR>(icon), "WM_QUERYDRAGICON"},
        {WM_VKEYTOITEM, -2, "WM_VKEYTOITEM"},
        {WM_CHARTOITEM, 5, "WM_CHARTOITEM"},
        {WM_COMPAREITEM, -1, "WM_COMPAREITEM"},
        {WM_COPYDATA, 77, "WM_COPYDATA (through DWLP_MSGRESULT)"},
        {privateMessage, 123456, "a private message (through DWLP_MSGRESULT)"},
    };
    std::vector<AnsweringDialog::Answer> answers;
    for (const auto& c : cases) answers.push_back({c.msg, c.value});
    AnsweringDialog dialog(answers);
    ASSERT_TRUE(dialog.Create(GetModuleHandleA(nullptr), IDD_ABOUTBOX, nullptr));
    HWND h = dialog.Handle();
    for (const auto& c : cases) {
        COPYDATASTRUCT data{1, 0, nullptr};
        const LPARAM lp = c.msg == WM_COPYDATA ? reinterpret_cast<LPARAM>(&data) : 0;
        EXPECT_EQ(SendMessageA(h, c.msg, 0, lp), c.value) << c.what;
    }
    NMHDR hdr{h, 1, NM_CUSTOMDRAW};
    EXPECT_EQ(SendMessageA(h, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&hdr)), 0x20);
    // A message nobody handles gets the dialog's default.
    EXPECT_EQ(SendMessageA(h, WM_APP + 8, 0, 0), 0);

    // Modeless: OK hides the window and keeps it.
    ShowWindow(h, SW_SHOW);
    SendMessageA(h, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_TRUE(IsWindow(h));
    dialog.Destroy();
    EXPECT_EQ(dialog.Handle(), nullptr);
}

// Modal: ends itself from its timer hook, or by the default Cancel.
class TimedDialog : public Dialog {
public:
    bool cancel = false;
    int ticks = 0;

protected:
    bool OnInit() override {
        if (cancel)
            PostMessageA(hwnd_, WM_COMMAND, IDCANCEL, 0);
        else
            SetTimer(hwnd_, 7, 10, nullptr);
        return true;
    }
    bool OnTimer(UINT_PTR id) override {
        if (id != 7) return false;
        if (++ticks == 2) {
            KillTimer(hwnd_, 7);
            End(42);
        }
        return true;
    }
};

TEST(Dialog, ModalRunsUntilItEnds) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display (the test command runs Xvfb)";
    TimedDialog timed;
    EXPECT_EQ(timed.RunModal(GetModuleHandleA(nullptr), IDD_ABOUTBOX, nullptr), 42);
    EXPECT_EQ(timed.ticks, 2);
    EXPECT_EQ(timed.Handle(), nullptr);
    EXPECT_FALSE(timed.IsModal());

    TimedDialog cancelled;
    cancelled.cancel = true;
    EXPECT_EQ(cancelled.RunModal(GetModuleHandleA(nullptr), IDD_ABOUTBOX, nullptr), IDCANCEL);

    TimedDialog missing;
    EXPECT_EQ(missing.RunModal(GetModuleHandleA(nullptr), 9999, nullptr), -1);
}

}  // namespace
