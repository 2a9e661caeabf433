#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "ui/win32/MainDialog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    // The folder browser's new style needs OLE on this thread.
    const HRESULT ole = OleInitialize(nullptr);

    int rc = 1;
    {
        ui::win32::MainDialog dialog;
        if (dialog.Create(instance)) {
            ui::win32::RunMessageLoop(dialog);
            rc = 0;
        }
    }
    if (SUCCEEDED(ole)) OleUninitialize();
    return rc;
}
