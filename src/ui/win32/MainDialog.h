#pragma once
#include "ui/win32/Dialog.h"

namespace ui::win32 {

// The main window. Its controls and commands come with the main window's
// logic; for now it opens, shows its title and closes.
class MainDialog : public Dialog {
protected:
    bool OnInit() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
};

}  // namespace ui::win32
