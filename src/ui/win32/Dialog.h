#pragma once
// A thin dialog over a template, modeless or modal: the static procedure
// stores `this` on WM_INITDIALOG and dispatches to virtual handlers; no
// exception crosses the callback.
#include <windows.h>

namespace ui::win32 {

class Dialog {
public:
    virtual ~Dialog();

    // Modeless: creates the window from the template and returns at once.
    // The window shows only if its template says so.
    bool Create(HINSTANCE instance, int templateId, HWND owner);
    // Modal: runs the dialog's own loop until End() and returns End's value,
    // or -1 when the dialog could not be created.
    INT_PTR RunModal(HINSTANCE instance, int templateId, HWND owner);
    // Ends a modal dialog with a result; a modeless one is hidden.
    void End(INT_PTR result);
    // Destroys a modeless window (nothing when there is none).
    void Destroy();

    HWND Handle() const { return hwnd_; }
    bool IsModal() const { return modal_; }

protected:
    // WM_INITDIALOG; true lets the dialog put the focus on its first control.
    virtual bool OnInit() { return true; }
    // Each hook returns true when it handled the event; unhandled events get
    // the dialog's default handling.
    virtual bool OnCommand(WORD /*id*/, WORD /*code*/, HWND /*control*/) { return false; }
    // WM_NOTIFY; result is what the sender gets back.
    virtual bool OnNotify(NMHDR& /*hdr*/, LRESULT& /*result*/) { return false; }
    virtual bool OnTimer(UINT_PTR /*id*/) { return false; }
    // The close box, Alt+F4: by default the dialog turns it into Cancel.
    virtual bool OnClose() { return false; }
    // OK and Cancel (buttons 1 and 2, Enter, Escape) when OnCommand left them:
    // End() with the button's id.
    virtual void OnOk() { End(IDOK); }
    virtual void OnCancel() { End(IDCANCEL); }
    // Any other message. For the messages whose result the dialog procedure
    // returns itself (WM_CTLCOLOR*, WM_QUERYDRAGICON, ...) return it here as
    // for every other: the class puts each result where Windows reads it.
    virtual INT_PTR OnMessage(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/, bool& handled) {
        handled = false;
        return 0;
    }

    HWND hwnd_ = nullptr;

private:
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    bool modal_ = false;
};

// True for the messages whose result a dialog procedure returns directly
// instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT msg);

}  // namespace ui::win32
