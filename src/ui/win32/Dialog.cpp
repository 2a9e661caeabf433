#include "ui/win32/Dialog.h"

namespace ui::win32 {

bool ReturnsResultDirectly(UINT msg) {
    // The exceptions listed for dialog procedures: the dialog manager hands
    // the procedure's own return value to the sender, so TRUE there would be
    // read as a brush, an icon or an item index of 1.
    switch (msg) {
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}

Dialog::~Dialog() {
    if (hwnd_) {
        // Detached first: the window's last messages must not reach a half-destroyed object.
        SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
}

bool Dialog::Create(HINSTANCE instance, int templateId, HWND owner) {
    modal_ = false;
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), owner, &Dialog::Proc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR Dialog::RunModal(HINSTANCE instance, int templateId, HWND owner) {
    modal_ = true;
    const INT_PTR r =
        DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, &Dialog::Proc, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return r;
}

void Dialog::End(INT_PTR result) {
    if (!hwnd_) return;
    if (modal_)
        EndDialog(hwnd_, result);
    else
        ShowWindow(hwnd_, SW_HIDE);  // a modeless dialog stays alive for its next use
}

void Dialog::Destroy() {
    if (hwnd_ && !modal_) DestroyWindow(hwnd_);
}

INT_PTR CALLBACK Dialog::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Dialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lp);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    try {
        return self->Dispatch(msg, wp, lp);
    } catch (...) {
        return FALSE;  // an exception must not unwind through user32
    }
}

INT_PTR Dialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    bool handled = false;
    INT_PTR result = 0;
    switch (msg) {
    case WM_INITDIALOG:
        return OnInit() ? TRUE : FALSE;
    case WM_COMMAND: {
        const WORD id = LOWORD(wp);
        handled = OnCommand(id, HIWORD(wp), reinterpret_cast<HWND>(lp));
        if (!handled && (id == IDOK || id == IDCANCEL)) {
            if (id == IDOK)
                OnOk();
            else
                OnCancel();
            handled = true;
        }
        break;
    }
    case WM_NOTIFY: {
        LRESULT r = 0;
        handled = OnNotify(*reinterpret_cast<NMHDR*>(lp), r);
        result = r;
        break;
    }
    case WM_TIMER:
        handled = OnTimer(wp);
        break;
    case WM_CLOSE:
        handled = OnClose();
        break;
    case WM_NCDESTROY:
        hwnd_ = nullptr;
        return FALSE;
    default:
        result = OnMessage(msg, wp, lp, handled);
        break;
    }
    if (!handled) return FALSE;
    if (ReturnsResultDirectly(msg)) return result;
    // The handler may have destroyed the window.
    if (hwnd_) SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace ui::win32
