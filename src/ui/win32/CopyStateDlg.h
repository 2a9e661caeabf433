#pragma once
// The progress window (dialog 103): a modeless log beside the main window,
// shown by each run, hidden by OK, Escape, the close box or three seconds
// after a run without failure. Owned by the main window for its whole life.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "ui/AutoHideCountdown.h"
#include "ui/ProgressView.h"
#include "ui/win32/Dialog.h"

namespace ui::win32 {

// Posted to the main window by the progress window's buttons; the main
// window keeps wParam in its runControl, which a running copy polls.
constexpr UINT WM_RUN_CONTROL = 0x3501;
constexpr WPARAM kRunControlIgnoreWait = 1;  // "명령수행대기 무시"
constexpr WPARAM kRunControlStopCopy = 2;    // "복사 멈춤", never shown

class CCopyStateDlg : public Dialog, public IProgressView {
public:
    ~CCopyStateDlg() override;

    // Creates the window hidden, centred on the screen, owned by owner.
    bool Create(HINSTANCE instance, HWND owner);

    // IProgressView. From any thread: a call from another thread is carried
    // out by the window's thread before it returns (a sent message), so the
    // window's thread must not be waiting for the caller. Without a window
    // (not yet created, or destroyed) a call does nothing.
    void ShowForRun() override;
    void ResetLog() override;
    void ShowIgnoreWaitButton() override;
    void AddLine(std::string_view text, int newLine) override;
    void SetOpenFolder(std::optional<std::string_view> folder) override;
    void StartAutoHide() override;

    // Tests receive the folder instead of the shell opening it; left empty,
    // the file explorer opens it.
    std::function<void(const std::string& folder)> openFolderHook;

protected:
    bool OnInit() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnTimer(UINT_PTR id) override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) override;

private:
    void OnWindowThread(const std::function<void()>& work);
    void DoShowForRun();
    void DoResetLog();
    void DoAddLine(const std::string& text, int newLine);
    void DoSetOpenFolder(std::optional<std::string_view> folder);
    void DoStartAutoHide();
    void StopCountdown();
    void OpenFolder();
    void ShowControl(int id, bool shown);

    HWND owner_ = nullptr;
    HWND logList_ = nullptr;
    // The window for callers on other threads; cleared when it goes away.
    std::atomic<HWND> window_{nullptr};
    // Touched on the window's thread only.
    AutoHideCountdown hideCountdown_;
    int widestLine_ = 0;  // pixels, since the last ResetLog
    // Lines that come in a burst are painted together (kRepaintTimer): each
    // is in the list at once, only the drawing waits.
    bool repaintHeld_ = false;
    void HoldRepaint();
    void ReleaseRepaint();
    std::string openFolder_;
};

}  // namespace ui::win32
