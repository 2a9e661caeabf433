// Cost of asking the real list view for a row's text, first row against the
// last of 100 000, through LVM_GETITEMTEXT. Prints the figures; not a test.
// Usage (under Wine with a display): list_bench [existing-tree-folder]
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/FileSystem.h"
#include "support/TestEnv.h"
#include "ui/ControlIds.h"
#include "ui/win32/MainDialog.h"

namespace {

void BuildTree(const std::string& root) {
    for (int t = 0; t < 10; ++t)
        for (int s = 0; s < 100; ++s) {
            const std::string folder = root + "\\Top" + std::to_string(t) + "\\Sub" + std::to_string(s);
            testenv::MakeDirs(folder);
            for (int f = 0; f < 100; ++f) platform::WriteWholeFile(folder + "\\File_" + std::to_string(f) + ".dll", "x");
        }
}

double NsPerCall(HWND list, int row, int column, int calls) {
    char buf[300];
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) SendMessageA(list, LVM_GETITEMTEXTA, WPARAM(row), reinterpret_cast<LPARAM>(&item));
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count() / calls;
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    testenv::TempDir temp;
    const std::string root = argc > 1 ? argv[1] : temp.path() + "\\tree";
    if (!platform::PathExists(root + "\\Top0")) {
        std::printf("building 100000 files under %s ...\n", root.c_str());
        BuildTree(root);
    }
    testenv::MakeDirs(temp / "empty");
    testenv::WriteFile(temp / "bench.ini", "IDC_ACS_FILENAME_SRC=`" + root + "`\r\nIDC_ACS_FILENAME_TARGET=`" +
                                               (temp / "empty") + "`\r\nm_chkSubFolder=`1`\r\n");
    ui::win32::MainDialog dialog(temp / "bench.ini");
    if (!dialog.Create(GetModuleHandleA(nullptr))) return 1;
    dialog.Logic().Refresh();
    const int count = dialog.GetItemCount(ui::kIdAllFilesList);
    std::printf("rows in the all-files list: %d\n", count);
    if (count < 2) return 1;
    HWND list = GetDlgItem(dialog.Handle(), ui::kIdAllFilesList);
    const int calls = 20000;
    NsPerCall(list, count - 1, 0, 1000);  // warm-up
    for (int column : {0, 2}) {
        const double first = NsPerCall(list, 0, column, calls);
        const double last = NsPerCall(list, count - 1, column, calls);
        std::printf("column %d: LVM_GETITEMTEXT row 0 %.0f ns, row %d %.0f ns, ratio %.2f (target <= 10)\n", column,
                    first, count - 1, last, last / first);
    }
    return 0;
}
