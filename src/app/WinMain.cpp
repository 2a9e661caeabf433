#include <windows.h>
#include <commctrl.h>

#include "ui/win32/MainDialog.h"
#include "ui/win32/resource.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    ui::win32::MainDialog dlg;
    if (!dlg.Create(instance, IDD_QUORVEL_DIALOG, nullptr)) return 1;
    // Our own loop around the modeless dialog, so that a keyboard filter can
    // see every message first; it ends when the window is destroyed.
    MSG msg;
    while (IsWindow(dlg.Handle()) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(dlg.Handle(), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return 0;
}
