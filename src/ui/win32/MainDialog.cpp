#include "ui/win32/MainDialog.h"

#include <commctrl.h>
#include <shlobj.h>
#include <windowsx.h>

#include <cstring>
#include <vector>

#include "compare/PathUtil.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "ui/BuildDate.h"
#include "ui/ControlIds.h"
#include "ui/PackageProgress.h"
#include "ui/RunProgress.h"
#include "ui/FileListModel.h"
#include "ui/win32/resource.h"

namespace ui::win32 {
namespace {

std::wstring Widen(std::string_view s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring w(size_t(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), w.data(), n);
    return w;
}

// Copies at most bufferSize - 1 bytes and never splits a double-byte character.
void CopyToBuffer(const std::string& text, char* buffer, int bufferSize) {
    if (!buffer || bufferSize <= 0) return;
    size_t n = 0;
    while (n < text.size()) {
        const size_t step = (IsDBCSLeadByte(static_cast<BYTE>(text[n])) && n + 1 < text.size()) ? 2 : 1;
        if (n + step > size_t(bufferSize - 1)) break;
        n += step;
    }
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

void CopyToBuffer(const std::string& text, wchar_t* buffer, int bufferSize) {
    if (!buffer || bufferSize <= 0) return;
    const std::wstring w = Widen(text);
    const size_t n = std::min(w.size(), size_t(bufferSize - 1));
    std::memcpy(buffer, w.data(), n * sizeof(wchar_t));
    buffer[n] = L'\0';
}

ListKind KindOf(int listId) { return listId == kIdCopyList ? ListKind::Copy : ListKind::AllFiles; }

// Callback of the folder browser: start at the box's folder, show the
// selected path, and refuse a typed path that does not exist.
int CALLBACK BrowseCallback(HWND hwnd, UINT msg, LPARAM lp, LPARAM data) {
    switch (msg) {
    case BFFM_INITIALIZED:
        SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, data);
        break;
    case BFFM_SELCHANGED: {
        char path[MAX_PATH] = "";
        if (SHGetPathFromIDListA(reinterpret_cast<LPITEMIDLIST>(lp), path))
            SendMessageA(hwnd, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
        break;
    }
    case BFFM_VALIDATEFAILEDA:
        MessageBoxA(hwnd, "해당 폴더를 찾을 수 없습니다.", "오류", MB_OK | MB_ICONERROR);
        return 0;  // dismiss the browser
    default:
        break;
    }
    return 0;
}

// The about box (dialog 100): the template and the dialog's default OK and
// Cancel are all it needs.
class CAboutDlg : public Dialog {};

}  // namespace

std::string AppTitle() {
    std::string name(FileNamePart(platform::ExecutablePath()));
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    return name;
}

MainDialog::MainDialog(std::string settingsFile) : logic_(*this, std::move(settingsFile)) {}

MainDialog::~MainDialog() {
    // A run still going sends to a window that is gone, which returns at
    // once; it ends on its own.
    if (worker_.joinable()) worker_.join();
    if (hwnd_) KillTimer(hwnd_, kRefreshTimer);
}

bool MainDialog::Create(HINSTANCE instance) {
    instance_ = instance;
    icon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    if (!Dialog::Create(instance, IDD_QUORVEL_DIALOG, nullptr)) return false;
    ShowWindow(hwnd_, SW_SHOW);
    return true;
}

bool MainDialog::OnInit() {
    InitSystemMenu();
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    SetText(kIdBuildDate, BuildDateLabel(BuildStampDate()));

    char caption[256] = "";
    GetWindowTextA(hwnd_, caption, sizeof caption);
    const std::string title = std::string(caption) + " - " + platform::GetCurrentDir();
    SetWindowTextA(hwnd_, title.c_str());

    InitLists();
    // Mode controls, defaults, the settings file and the default exclusions.
    logic_.StartUp();
    progress_.Create(instance_, hwnd_);
    SetTimer(hwnd_, kRefreshTimer, 1000, nullptr);
    return true;
}

void MainDialog::InitSystemMenu() {
    HMENU sys = GetSystemMenu(hwnd_, FALSE);
    if (!sys) return;
    char text[256] = "";
    if (LoadStringA(instance_, IDS_ABOUTBOX, text, sizeof text) > 0 && text[0]) {
        AppendMenuA(sys, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(sys, MF_STRING, IDM_ABOUTBOX, text);
    }
}

void MainDialog::InitLists() {
    for (int id : {kIdAllFilesList, kIdCopyList}) {
        HWND list = GetDlgItem(hwnd_, id);
        SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                     LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
        for (size_t c = 0; c < kFileListColumns.size(); ++c) {
            const FileListColumn& col = kFileListColumns[c];
            LVCOLUMNA lvc{};
            lvc.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM;
            lvc.fmt = col.align == ColumnAlign::Left ? LVCFMT_LEFT : LVCFMT_CENTER;
            lvc.cx = col.width;
            lvc.pszText = const_cast<char*>(col.heading);
            lvc.iSubItem = int(c);
            SendMessageA(list, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&lvc));
        }
    }
}

bool MainDialog::PreTranslate(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    switch (msg.wParam) {
    case VK_RETURN:
    case VK_ESCAPE:
        return true;  // neither closes the window
    case VK_F2:
        logic_.TerminateAll();
        return false;
    case VK_F3:
        logic_.RestartPrograms();
        return false;
    case VK_F4:
        PostMessageA(hwnd_, WM_CLOSE, 0, 0);
        return true;
    case VK_F5:
        logic_.Refresh();
        return false;
    case VK_F6:
        logic_.SaveSettings();
        return false;
    case VK_F7:
        StartCopyRun(true);
        return true;
    default:
        return false;
    }
}

bool MainDialog::OnCommand(WORD id, WORD code, HWND) {
    switch (id) {
    case IDOK:
    case IDCANCEL:
        return true;  // Enter and Escape never close the window
    case kIdRefresh:
        logic_.Refresh();
        return true;
    case kIdCopy:
        StartCopyRun(false);
        return true;
    case kIdMakePackage:
        StartPackageBuild();
        return true;
    case kIdSaveSettings:
        logic_.SaveSettings();
        return true;
    case kIdTerminateAll:
        logic_.TerminateAll();
        return true;
    case kIdRestart:
        logic_.RestartPrograms();
        return true;
    case kIdOpenSettings:
        logic_.ApplySettings();
        return true;
    case kIdMoveSelectedToCopy:
        logic_.MoveSelectedToCopy();
        return true;
    case kIdMoveSelectedBack:
        logic_.MoveSelectedBack();
        return true;
    case kIdMoveAllSourceNewer:
        logic_.MoveAllSourceNewer();
        return true;
    case kIdMoveAllBack:
        logic_.MoveAllBack();
        return true;
    case kIdModeLocal:
    case kIdModeNetwork:
        if (code == BN_CLICKED) logic_.SwitchMode();
        return true;
    case kIdBrowseSource:
        BrowseFolder(kIdSourceFolder);
        return true;
    case kIdBrowseTarget:
        BrowseFolder(kIdTargetFolder);
        return true;
    case kIdNotice:
        if (code == STN_CLICKED) ShowNotice();
        return true;
    default:
        return false;
    }
}

bool MainDialog::OnTimer(UINT_PTR id) {
    if (id == kCopyButtonTimer) {
        KillTimer(hwnd_, kCopyButtonTimer);
        Enable(kIdCopy, true);
        return true;
    }
    if (id != kRefreshTimer) return false;
    KillTimer(hwnd_, kRefreshTimer);  // one refresh, a second after start
    logic_.Refresh();
    return true;
}

bool MainDialog::OnClose() {
    // The run uses the records and the progress window to its last step:
    // the window closes when it has ended.
    if (worker_.joinable()) {
        closeAfterRun_ = true;
        return true;
    }
    // The message loop ends when the window is gone.
    DestroyWindow(hwnd_);
    return true;
}

void MainDialog::StartCopyRun(bool ask) {
    if (!logic_.MayRun(Command::CopyRun) || worker_.joinable()) return;
    if (ask && MessageBox("현재 설정으로 복사를 진행 하시겠습니까?", kMbYesNo | kMbIconQuestion) != kIdYes) return;
    deploy::CopyRunInputs inputs = logic_.CopyRunInputsNow();
    runControl_.store(0);
    Enable(kIdCopy, false);
    if (!runEffects) runEffects = std::make_unique<deploy::RealEffects>();
    const HWND window = hwnd_;
    StartWorker([this, window, in = std::move(inputs)] {
        // Every call into the windows is a sent message: the window's thread
        // carries it out, so the worker touches no window and no record.
        RunProgress report(
            progress_, runControl_,
            [window](size_t record, const FileEntry& target) {
                SendMessageA(window, WM_QV_RECORD_COPIED, WPARAM(record), reinterpret_cast<LPARAM>(&target));
            },
            [window] { SendMessageA(window, WM_QV_RUN_FINISHED, 0, 0); });
        deploy::CopyRun(in, *runEffects, report);
    });
}

void MainDialog::StartPackageBuild() {
    if (!logic_.MayRun(Command::BuildPackage) || worker_.joinable()) return;
    // On this thread: the refresh may ask the operator something.
    logic_.Refresh();
    StartWorker([this, in = logic_.PackageInputsNow()] {
        package::RealPackageEffects fx;
        PackageProgress report(progress_);
        package::BuildUpdatePackage(in, fx, report);
    });
}

void MainDialog::StartWorker(std::function<void()> work) {
    logic_.SetRunActive(true);
    const HWND window = hwnd_;
    worker_ = std::thread([window, work = std::move(work)] {
        try {
            work();
        } catch (...) {
            // Nothing may end the thread by an exception; the summary line
            // was not reached, which the log shows.
        }
        PostMessageA(window, WM_QV_RUN_ENDED, 0, 0);
    });
}

INT_PTR MainDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
    handled = true;
    switch (msg) {
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) != IDM_ABOUTBOX) break;
        ShowAbout();
        return 0;
    case WM_RUN_CONTROL:
        runControl_.store(int(wp));
        return 1;
    case WM_QV_RECORD_COPIED:
        logic_.ApplyCopied(size_t(wp), *reinterpret_cast<const FileEntry*>(lp));
        return 0;
    case WM_QV_RUN_FINISHED:
        Redraw(kIdCopyList);
        return 0;
    case WM_QV_RUN_ENDED:
        // Posted as the worker's last act: the join does not wait on a
        // thread that could be sending to this one.
        if (worker_.joinable()) worker_.join();
        logic_.SetRunActive(false);
        SetTimer(hwnd_, kCopyButtonTimer, 100, nullptr);
        if (closeAfterRun_) DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        progress_.Destroy();
        break;
    case WM_LBUTTONDOWN: {
        // Dragging anywhere on the background moves the window.
        SetFocus(hwnd_);
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(hwnd_, &pt);
        PostMessageA(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
        return 0;
    }
    case WM_PAINT: {
        if (!IsIconic(hwnd_)) break;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        RECT rc;
        GetClientRect(hwnd_, &rc);
        const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
        DrawIcon(dc, (rc.right - rc.left - cx + 1) / 2, (rc.bottom - rc.top - cy + 1) / 2, icon_);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(icon_);
    default:
        break;
    }
    handled = false;
    return 0;
}

void MainDialog::BrowseFolder(int editId) {
    const std::string current = GetText(editId);
    BROWSEINFOA bi{};
    bi.hwndOwner = hwnd_;
    bi.pidlRoot = nullptr;  // the desktop
    bi.lpszTitle = "폴더를 선택해 주세요.";
    bi.ulFlags = BIF_NEWDIALOGSTYLE | BIF_EDITBOX | BIF_VALIDATE | BIF_STATUSTEXT | BIF_RETURNONLYFSDIRS;
    bi.lpfn = BrowseCallback;
    bi.lParam = reinterpret_cast<LPARAM>(current.c_str());
    LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
    if (!pidl) return;
    // SHGetPathFromIDListA writes up to MAX_PATH characters.
    char path[MAX_PATH + 1] = "";
    if (SHGetPathFromIDListA(pidl, path)) SetText(editId, path);
    CoTaskMemFree(pidl);
}

void MainDialog::ShowNotice() {
    MessageBox(
        "원본 폴더와 대상(폴더 또는 네트워크 PC 범위)을 비교하여, 선택한 파일을 배포합니다.\r\n"
        "F2 전체 종료, F3 재시작, F5 새로고침, F6 설정저장, F4 닫기",
        kMbOk);
}

void MainDialog::ShowAbout() {
    CAboutDlg about;
    about.RunModal(instance_, IDD_ABOUTBOX, hwnd_);
}

bool MainDialog::OnNotify(NMHDR& hdr, LRESULT& result) {
    const int id = int(hdr.idFrom);
    if (id != kIdAllFilesList && id != kIdCopyList) return false;
    result = 0;
    switch (hdr.code) {
    case LVN_GETDISPINFOA:
    case LVN_GETDISPINFOW:
        result = OnGetDispInfo(id, &hdr);
        return true;
    case NM_CUSTOMDRAW:
        result = OnCustomDraw(id, &hdr);
        return true;
    case NM_DBLCLK:
        if (id == kIdAllFilesList)
            logic_.MoveSelectedToCopy();
        else
            logic_.MoveSelectedBack();
        return true;
    case NM_RCLICK:
        OnRightClick(id);
        return true;
    default:
        return false;
    }
}

INT_PTR MainDialog::OnGetDispInfo(int listId, NMHDR* hdr) {
    // The list asks in the form its parent speaks; answer both.
    const bool wide = hdr->code == LVN_GETDISPINFOW;
    LVITEMA& a = reinterpret_cast<NMLVDISPINFOA*>(hdr)->item;
    LVITEMW& w = reinterpret_cast<NMLVDISPINFOW*>(hdr)->item;
    const UINT mask = wide ? w.mask : a.mask;
    if (!(mask & LVIF_TEXT)) return 0;
    const int item = wide ? w.iItem : a.iItem;
    const int column = wide ? w.iSubItem : a.iSubItem;
    const CompareRecord* r = item < 0 ? nullptr : logic_.RecordAt(KindOf(listId), size_t(item));
    const std::string text = r ? CellText(*r, column, logic_.SrcRootLength()) : std::string();
    if (wide)
        CopyToBuffer(text, w.pszText, w.cchTextMax);
    else
        CopyToBuffer(text, a.pszText, a.cchTextMax);
    return 0;
}

INT_PTR MainDialog::OnCustomDraw(int listId, NMHDR* hdr) {
    auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(hdr);
    if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (cd->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    const CompareRecord* r = logic_.RecordAt(KindOf(listId), size_t(cd->nmcd.dwItemSpec));
    if (r) {
        const RowColors c = RowColorsFor(r->result);
        if (c.set) {
            cd->clrText = RGB(c.text.red, c.text.green, c.text.blue);
            cd->clrTextBk = RGB(c.background.red, c.background.green, c.background.blue);
            cd->clrFace = cd->clrTextBk;
        }
    }
    return CDRF_DODEFAULT;
}

void MainDialog::OnRightClick(int listId) {
    const ListKind kind = KindOf(listId);
    const std::vector<int> rows = GetSelectedRows(listId);
    const CompareRecord* first = rows.empty() ? nullptr : logic_.RecordAt(kind, size_t(rows[0]));
    const std::vector<MenuEntry> entries = ContextMenuFor(kind, rows.size(), first);
    if (entries.empty()) return;
    HMENU menu = CreatePopupMenu();
    for (const MenuEntry& e : entries) {
        if (e.command == 0)
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu, MF_STRING, UINT_PTR(e.command), e.text.c_str());
    }
    int command = 0;
    if (trackMenuHook) {
        command = trackMenuHook(menu);
    } else {
        POINT pt;
        GetCursorPos(&pt);
        command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd_, nullptr);
    }
    DestroyMenu(menu);
    // Looked up again: the menu was modal and the lists may have changed.
    const std::vector<int> now = GetSelectedRows(listId);
    const CompareRecord* again = now.empty() ? nullptr : logic_.RecordAt(kind, size_t(now[0]));
    const MenuAction action = ActionFor(kind, command, again);
    switch (action.kind) {
    case MenuActionKind::Start:
        platform::StartProgram(action.program, action.workingFolder);
        break;
    case MenuActionKind::Terminate:
        platform::TerminateProcessByName(action.program);
        break;
    case MenuActionKind::MoveToCopy:
        logic_.MoveSelectedToCopy();
        break;
    case MenuActionKind::MoveBack:
        logic_.MoveSelectedBack();
        break;
    case MenuActionKind::None:
        break;
    }
}

std::string MainDialog::GetText(int id) {
    HWND h = GetDlgItem(hwnd_, id);
    const int n = GetWindowTextLengthA(h);
    if (n <= 0) return {};
    std::string s(size_t(n) + 1, '\0');
    const int got = GetWindowTextA(h, s.data(), n + 1);
    s.resize(size_t(got > 0 ? got : 0));
    return s;
}

void MainDialog::SetText(int id, std::string_view text) { SetDlgItemTextA(hwnd_, id, std::string(text).c_str()); }

bool MainDialog::GetCheck(int id) { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }

void MainDialog::SetCheck(int id, bool checked) { CheckDlgButton(hwnd_, id, checked ? BST_CHECKED : BST_UNCHECKED); }

void MainDialog::Enable(int id, bool enabled) { EnableWindow(GetDlgItem(hwnd_, id), enabled); }

int MainDialog::MessageBox(std::string_view text, unsigned type) {
    if (messageBoxHook) return messageBoxHook(text, type);
    return ::MessageBoxA(hwnd_, std::string(text).c_str(), AppTitle().c_str(), type);
}

void MainDialog::SetItemCount(int listId, int count) {
    SendDlgItemMessageA(hwnd_, listId, LVM_SETITEMCOUNT, WPARAM(count), 0);
}

int MainDialog::GetItemCount(int listId) { return int(SendDlgItemMessageA(hwnd_, listId, LVM_GETITEMCOUNT, 0, 0)); }

std::vector<int> MainDialog::GetSelectedRows(int listId) {
    std::vector<int> rows;
    HWND list = GetDlgItem(hwnd_, listId);
    int i = -1;
    while ((i = int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(i), LVNI_SELECTED))) >= 0) rows.push_back(i);
    return rows;
}

void MainDialog::ClearSelection(int listId) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = 0;
    SendDlgItemMessageA(hwnd_, listId, LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&item));
}

void MainDialog::Redraw(int listId) { InvalidateRect(GetDlgItem(hwnd_, listId), nullptr, TRUE); }

namespace {
bool Dispatch(MainDialog& dialog, MSG& msg) {
    if (dialog.PreTranslate(msg)) return true;
    if (dialog.Handle() && IsDialogMessageA(dialog.Handle(), &msg)) return true;
    if (HWND progress = dialog.ProgressWindow().Handle(); progress && IsDialogMessageA(progress, &msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}
}  // namespace

void RunMessageLoop(MainDialog& dialog) {
    MSG msg;
    while (dialog.Handle() && GetMessageA(&msg, nullptr, 0, 0) > 0) Dispatch(dialog, msg);
}

void PumpPending(MainDialog& dialog) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            return;
        }
        Dispatch(dialog, msg);
    }
}

}  // namespace ui::win32
