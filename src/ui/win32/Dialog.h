#pragma once
// A thin modeless dialog over a template: the static procedure stores `this`
// on WM_INITDIALOG and dispatches to virtual handlers; no exception crosses
// the callback.
#include <windows.h>

namespace ui::win32 {

class Dialog {
public:
    virtual ~Dialog();
    bool Create(HINSTANCE instance, int templateId, HWND parent);
    HWND Handle() const { return hwnd_; }

protected:
    virtual bool OnInit() { return true; }
    virtual bool OnCommand(WORD /*id*/, WORD /*code*/, HWND /*control*/) { return false; }
    virtual bool OnClose();
    virtual INT_PTR OnMessage(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/, bool& handled) {
        handled = false;
        return 0;
    }
    HWND hwnd_ = nullptr;

private:
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);
};

}  // namespace ui::win32
