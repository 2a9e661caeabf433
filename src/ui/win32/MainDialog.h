#pragma once
// The main window on real HWNDs: dialog 102, its keyboard filter, timer,
// folder browsing, lists and about box. The commands themselves live in
// MainWindowLogic, which reaches the controls through IControls.
#include <windows.h>
// IControls has a MessageBox of its own; the ANSI call is named in full below.
#undef MessageBox

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "ui/Controls.h"
#include "ui/MainWindowLogic.h"
#include "ui/win32/CopyStateDlg.h"
#include "ui/win32/Dialog.h"

namespace ui::win32 {

constexpr UINT_PTR kRefreshTimer = 1122;
// Enables the copy button again a little after a run has returned.
constexpr UINT_PTR kCopyButtonTimer = 1124;
// From the run's worker: a record was copied (wParam its index, lParam the
// new target entry); the run has ended.
constexpr UINT WM_QV_RECORD_COPIED = WM_APP + 1;
constexpr UINT WM_QV_RUN_FINISHED = WM_APP + 2;
constexpr UINT WM_QV_RUN_ENDED = WM_APP + 3;

class MainDialog : public Dialog, public IControls {
public:
    // settingsFile: empty for the one named after the executable.
    explicit MainDialog(std::string settingsFile = {});
    ~MainDialog() override;

    // Creates the window from its template and shows it.
    bool Create(HINSTANCE instance);

    // The keyboard filter, applied to every message before dispatch; true
    // when the message was consumed.
    bool PreTranslate(const MSG& msg);

    MainWindowLogic& Logic() { return logic_; }

    // F7 (ask: the question first) and button 1011: the copy run on a worker
    // thread, from a snapshot taken now. Refused while a run lasts.
    void StartCopyRun(bool ask);
    // Button 1025: refreshes, then builds the update package on a worker
    // thread into the progress window. Refused while a run lasts, as a copy
    // run is refused while it lasts.
    void StartPackageBuild();
    // The run's effects; tests put their own in before a run starts.
    std::unique_ptr<deploy::IRunEffects> runEffects;
    // The last WM_RUN_CONTROL value; a copy run clears it when it starts and
    // polls it from its worker.
    int RunControl() const { return runControl_.load(); }
    std::atomic<int>& RunControlFlag() { return runControl_; }
    // The progress window, created hidden with the main window and destroyed
    // with it; the object itself lives as long as this one.
    CCopyStateDlg& ProgressWindow() { return progress_; }

    // Tests answer message boxes and pick menu commands instead of a user;
    // left empty, the real modal UI is shown.
    std::function<int(std::string_view text, unsigned type)> messageBoxHook;
    std::function<int(HMENU menu)> trackMenuHook;

    // IControls on the dialog's controls.
    std::string GetText(int id) override;
    void SetText(int id, std::string_view text) override;
    bool GetCheck(int id) override;
    void SetCheck(int id, bool checked) override;
    void Enable(int id, bool enabled) override;
    int MessageBox(std::string_view text, unsigned type) override;
    void SetItemCount(int listId, int count) override;
    int GetItemCount(int listId) override;
    std::vector<int> GetSelectedRows(int listId) override;
    void ClearSelection(int listId) override;
    void Redraw(int listId) override;

protected:
    bool OnInit() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnNotify(NMHDR& hdr, LRESULT& result) override;
    bool OnTimer(UINT_PTR id) override;
    bool OnClose() override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) override;

private:
    void InitSystemMenu();
    void InitLists();
    void BrowseFolder(int editId);
    void ShowNotice();
    void ShowAbout();
    INT_PTR OnGetDispInfo(int listId, NMHDR* hdr);
    INT_PTR OnCustomDraw(int listId, NMHDR* hdr);
    void OnRightClick(int listId);
    // Marks the run active and starts work on the worker thread; its end
    // comes back as WM_QV_RUN_ENDED.
    void StartWorker(std::function<void()> work);

    HINSTANCE instance_ = nullptr;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    MainWindowLogic logic_;
    CCopyStateDlg progress_;
    std::atomic<int> runControl_{0};
    std::thread worker_;
    bool closeAfterRun_ = false;  // closing was asked for while a run lasted
};

// The application's title: the executable's file name without its extension.
std::string AppTitle();

// The message loop of the main window: every message passes the keyboard
// filter first, and the progress window gets its dialog keys (Enter,
// Escape, Tab). Returns when the main window has been destroyed.
void RunMessageLoop(MainDialog& dialog);
// Dispatches what is queued now, through the same filter (tests).
void PumpPending(MainDialog& dialog);

}  // namespace ui::win32
