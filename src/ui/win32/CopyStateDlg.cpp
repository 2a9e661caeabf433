#include "ui/win32/CopyStateDlg.h"

#include <shellapi.h>

#include "ui/win32/CopyStateIds.h"
#include "ui/win32/resource.h"

namespace ui::win32 {
namespace {

// lParam: the work to run on the window's thread.
constexpr UINT kRunOnWindowThread = WM_APP + 1;

}  // namespace

CCopyStateDlg::~CCopyStateDlg() { window_.store(nullptr); }

bool CCopyStateDlg::Create(HINSTANCE instance, HWND owner) {
    owner_ = owner;
    return Dialog::Create(instance, IDD_COPYSTATE, owner);
}

bool CCopyStateDlg::OnInit() {
    logList_ = GetDlgItem(hwnd_, IDC_COPYSTATE_LOG);
    window_.store(hwnd_);
    return true;
}

void CCopyStateDlg::OnWindowThread(const std::function<void()>& work) {
    HWND window = window_.load();
    if (!window) return;
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId())
        work();
    else
        SendMessageA(window, kRunOnWindowThread, 0, reinterpret_cast<LPARAM>(&work));
}

void CCopyStateDlg::ShowForRun() {
    OnWindowThread([this] { DoShowForRun(); });
}

void CCopyStateDlg::ResetLog() {
    OnWindowThread([this] { DoResetLog(); });
}

void CCopyStateDlg::ShowIgnoreWaitButton() {
    OnWindowThread([this] { ShowControl(IDC_COPYSTATE_IGNORE_WAIT, true); });
}

void CCopyStateDlg::AddLine(std::string_view text, int newLine) {
    const std::string line(text);
    OnWindowThread([&] { DoAddLine(line, newLine); });
}

void CCopyStateDlg::SetOpenFolder(std::optional<std::string_view> folder) {
    OnWindowThread([&] { DoSetOpenFolder(folder); });
}

void CCopyStateDlg::StartAutoHide() {
    OnWindowThread([this] { DoStartAutoHide(); });
}

void CCopyStateDlg::DoShowForRun() {
    DoResetLog();
    ShowWindow(hwnd_, SW_SHOW);
    // Beside the owner: 15 px right of it, the bottom of the client area
    // 50 px above the owner's bottom edge.
    RECT owner{}, client{};
    GetWindowRect(owner_, &owner);
    GetClientRect(hwnd_, &client);
    SetWindowPos(hwnd_, HWND_TOP, owner.right + 15, owner.bottom - (client.bottom - client.top) - 50, 0, 0,
                 SWP_NOSIZE);
}

void CCopyStateDlg::DoResetLog() {
    StopCountdown();
    SendMessageA(logList_, LB_RESETCONTENT, 0, 0);
    // The list's extent stays until the next line sets a new one.
    widestLine_ = 0;
    openFolder_.clear();
    ShowControl(IDC_COPYSTATE_OPEN_FOLDER, false);
    ShowControl(IDC_COPYSTATE_IGNORE_WAIT, false);
}

void CCopyStateDlg::DoAddLine(const std::string& text, int newLine) {
    // Measured with the font the list draws in, so the scroll extent fits.
    HDC dc = GetDC(logList_);
    HGDIOBJ old = nullptr;
    if (auto font = reinterpret_cast<HFONT>(SendMessageA(logList_, WM_GETFONT, 0, 0))) old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
    if (old) SelectObject(dc, old);
    ReleaseDC(logList_, dc);
    if (size.cx > widestLine_) {
        widestLine_ = size.cx;
        SendMessageA(logList_, LB_SETHORIZONTALEXTENT, WPARAM(widestLine_), 0);
    }
    if (newLine == 0) {
        const LRESULT count = SendMessageA(logList_, LB_GETCOUNT, 0, 0);
        if (count > 0) SendMessageA(logList_, LB_DELETESTRING, WPARAM(count - 1), 0);
    }
    HoldRepaint();
    // Inserted at the end, never sorted.
    const LRESULT index = SendMessageA(logList_, LB_INSERTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
    if (index >= 0) SendMessageA(logList_, LB_SETCURSEL, WPARAM(index), 0);
}

namespace {
constexpr UINT_PTR kRepaintTimer = 124;
constexpr UINT kRepaintDelayMs = 40;
}  // namespace

// Painting the list after every line made the window's thread the pace of a
// run (tens of milliseconds a line under some display servers); the lines
// of one burst are drawn once, a moment after the first.
void CCopyStateDlg::HoldRepaint() {
    if (repaintHeld_) return;
    repaintHeld_ = true;
    SendMessageA(logList_, WM_SETREDRAW, FALSE, 0);
    SetTimer(hwnd_, kRepaintTimer, kRepaintDelayMs, nullptr);
}

void CCopyStateDlg::ReleaseRepaint() {
    if (!repaintHeld_) return;
    repaintHeld_ = false;
    KillTimer(hwnd_, kRepaintTimer);
    SendMessageA(logList_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(logList_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
}

void CCopyStateDlg::DoSetOpenFolder(std::optional<std::string_view> folder) {
    if (!folder) return;
    openFolder_.assign(*folder);
    if (!openFolder_.empty()) ShowControl(IDC_COPYSTATE_OPEN_FOLDER, true);
}

void CCopyStateDlg::DoStartAutoHide() {
    if (hideCountdown_.Start())
        SetTimer(hwnd_, AutoHideCountdown::kTimerId, AutoHideCountdown::kTimerPeriodMs, nullptr);
}

void CCopyStateDlg::StopCountdown() {
    hideCountdown_.Cancel();
    KillTimer(hwnd_, AutoHideCountdown::kTimerId);
}

void CCopyStateDlg::ShowControl(int id, bool shown) { ShowWindow(GetDlgItem(hwnd_, id), shown ? SW_SHOW : SW_HIDE); }

void CCopyStateDlg::OpenFolder() {
    if (openFolder_.empty()) return;
    const DWORD attributes = GetFileAttributesA(openFolder_.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    if (openFolderHook) {
        openFolderHook(openFolder_);
        return;
    }
    // Quoted, so that a blank or a comma in the path stays part of the one parameter.
    const std::string parameter = "\"" + openFolder_ + "\"";
    ShellExecuteA(hwnd_, "open", "explorer", parameter.c_str(), nullptr, SW_SHOWNORMAL);
}

bool CCopyStateDlg::OnCommand(WORD id, WORD code, HWND) {
    switch (id) {
    case IDC_COPYSTATE_OPEN_FOLDER:
        if (code == BN_CLICKED) OpenFolder();
        return true;
    case IDC_COPYSTATE_IGNORE_WAIT:
        if (code == BN_CLICKED) PostMessageA(owner_, WM_RUN_CONTROL, kRunControlIgnoreWait, 0);
        return true;
    case IDC_COPYSTATE_STOP_COPY:
        if (code == BN_CLICKED) PostMessageA(owner_, WM_RUN_CONTROL, kRunControlStopCopy, 0);
        return true;
    case IDC_COPYSTATE_LOG:
        // The operator put the focus into the log: the window stays.
        if (code == LBN_SETFOCUS) StopCountdown();
        return true;
    default:
        return false;  // OK and Cancel: the dialog's default, which hides it
    }
}

bool CCopyStateDlg::OnTimer(UINT_PTR id) {
    if (id == kRepaintTimer) {
        ReleaseRepaint();
        return true;
    }
    if (id != AutoHideCountdown::kTimerId) return false;
    if (hideCountdown_.Tick()) ShowWindow(hwnd_, SW_HIDE);
    if (!hideCountdown_.Running()) KillTimer(hwnd_, AutoHideCountdown::kTimerId);
    return false;  // the tick goes on to the default handling
}

INT_PTR CCopyStateDlg::OnMessage(UINT msg, WPARAM, LPARAM lp, bool& handled) {
    handled = false;
    switch (msg) {
    case kRunOnWindowThread:
        (*reinterpret_cast<const std::function<void()>*>(lp))();
        handled = true;
        return 0;
    case WM_LBUTTONDOWN:
        // A press on the window's own background: the operator holds it.
        StopCountdown();
        return 0;  // and the press goes on to the default handling
    case WM_DESTROY:
        window_.store(nullptr);
        return 0;
    default:
        return 0;
    }
}

}  // namespace ui::win32
