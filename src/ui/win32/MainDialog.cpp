#include "ui/win32/MainDialog.h"

namespace ui::win32 {

bool MainDialog::OnInit() { return true; }

bool MainDialog::OnCommand(WORD id, WORD, HWND) {
    // Enter and Escape must not close the window.
    return id == IDOK || id == IDCANCEL;
}

}  // namespace ui::win32
