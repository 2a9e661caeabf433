#include "ui/win32/Dialog.h"

namespace ui::win32 {

Dialog::~Dialog() {
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
}

bool Dialog::Create(HINSTANCE instance, int templateId, HWND parent) {
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), parent, &Dialog::Proc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

bool Dialog::OnClose() {
    DestroyWindow(hwnd_);
    return true;
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
    switch (msg) {
    case WM_INITDIALOG:
        return OnInit() ? TRUE : FALSE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)) ? TRUE : FALSE;
    case WM_CLOSE:
        return OnClose() ? TRUE : FALSE;
    case WM_NCDESTROY:
        hwnd_ = nullptr;
        return FALSE;
    default: {
        bool handled = false;
        const INT_PTR r = OnMessage(msg, wp, lp, handled);
        if (handled) SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, r);
        return handled ? TRUE : FALSE;
    }
    }
}

}  // namespace ui::win32
