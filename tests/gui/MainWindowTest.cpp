// The real main window, created in this process and driven with window
// messages, under Wine (and Xvfb in the test command).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <cstdlib>
#include <thread>

#include "platform/FileSystem.h"
#include "settings/SettingsStore.h"
#include "support/TestEnv.h"
#include "ui/BuildDate.h"
#include "ui/ControlIds.h"
#include "ui/win32/MainDialog.h"

namespace {

using namespace ui;
using ui::win32::MainDialog;
using Clock = std::chrono::steady_clock;

// Pumps messages through the window's filter until cond() holds or the time is up.
template <typename Cond>
bool PumpUntil(MainDialog& d, int ms, Cond cond) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        ui::win32::PumpPending(d);
        if (cond()) return true;
        if (Clock::now() > end) return false;
        Sleep(10);
    }
}

void Pump(MainDialog& d, int ms = 50) {
    PumpUntil(d, ms, [] { return false; });
}

// Keys go to a control inside the window, as when the operator types there.
void Key(MainDialog& d, int controlId, WPARAM vk) {
    HWND target = GetDlgItem(d.Handle(), controlId);
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
    Pump(d);
}

void Click(MainDialog& d, int id) {
    SendMessageA(GetDlgItem(d.Handle(), id), BM_CLICK, 0, 0);
    Pump(d);
}

std::string ItemText(MainDialog& d, int listId, int row, int column) {
    char buf[512] = "";
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    SendDlgItemMessageA(d.Handle(), listId, LVM_GETITEMTEXTA, WPARAM(row), reinterpret_cast<LPARAM>(&item));
    return buf;
}

void Select(MainDialog& d, int listId, std::initializer_list<int> rows) {
    d.ClearSelection(listId);
    for (int r : rows) {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        SendDlgItemMessageA(d.Handle(), listId, LVM_SETITEMSTATE, WPARAM(r), reinterpret_cast<LPARAM>(&item));
    }
}

LRESULT Notify(MainDialog& d, int listId, UINT code, NMHDR* hdr) {
    hdr->hwndFrom = GetDlgItem(d.Handle(), listId);
    hdr->idFrom = UINT_PTR(listId);
    hdr->code = code;
    SendMessageA(d.Handle(), WM_NOTIFY, WPARAM(listId), reinterpret_cast<LPARAM>(hdr));
    return GetWindowLongPtrA(d.Handle(), DWLP_MSGRESULT);
}

COLORREF RowBackground(MainDialog& d, int listId, int row) {
    NMLVCUSTOMDRAW cd{};
    cd.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    cd.nmcd.dwItemSpec = DWORD_PTR(row);
    cd.clrTextBk = CLR_DEFAULT;
    Notify(d, listId, NM_CUSTOMDRAW, &cd.nmcd.hdr);
    return cd.clrTextBk;
}

std::vector<std::string> MenuTexts(HMENU menu) {
    std::vector<std::string> out;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[256] = "";
        GetMenuStringA(menu, UINT(i), text, sizeof text, MF_BYPOSITION);
        out.push_back(GetMenuItemID(menu, i) == 0 ? "-" : text);
    }
    return out;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display (the test command runs Xvfb)";
        settingsFile_ = dir_ / "Quorvel.ini";
        // Source: a.exe newer, c.txt the same, bin\b.dll missing on the target.
        testenv::WriteFile(dir_ / "src\\a.exe", std::string(1024, 'a'), 1700000000);
        testenv::WriteFile(dir_ / "src\\c.txt", "c", 1600000000);
        testenv::WriteFile(dir_ / "src\\bin\\b.dll", "b", 1600000000);
        testenv::WriteFile(dir_ / "tgt\\a.exe", "old", 1500000000);
        testenv::WriteFile(dir_ / "tgt\\c.txt", "c", 1600000000);
    }
    void TearDown() override { window_.reset(); }

    void WriteSettings(const std::string& body) { testenv::WriteFile(settingsFile_, body); }

    MainDialog& Open() {
        window_ = std::make_unique<MainDialog>(settingsFile_);
        window_->messageBoxHook = [this](std::string_view text, unsigned type) {
            messages_.emplace_back(text);
            return (type & 0xF) == MB_YESNO ? yesNoAnswer_ : IDOK;
        };
        EXPECT_TRUE(window_->Create(GetModuleHandleA(nullptr)));
        return *window_;
    }

    // A window on the workspace, refreshed by its timer.
    MainDialog& OpenWorkspace() {
        WriteSettings("IDC_ACS_FILENAME_SRC=`" + dir_.path() + "\\src`\r\nIDC_ACS_FILENAME_TARGET=`" + dir_.path() +
                      "\\tgt`\r\nm_chkSubFolder=`1`\r\n");
        MainDialog& d = Open();
        EXPECT_TRUE(PumpUntil(d, 5000, [&] { return d.GetItemCount(kIdAllFilesList) == 3; }));
        return d;
    }

    testenv::TempDir dir_;
    std::string settingsFile_;
    std::unique_ptr<MainDialog> window_;
    std::vector<std::string> messages_;
    int yesNoAnswer_ = IDNO;
};

TEST_F(MainWindowTest, DefaultsWithoutASettingsFile) {
    MainDialog& d = Open();
    struct {
        int id;
        std::string text;
    } texts[] = {{kIdSourceFolder, ""},          {kIdTargetFolder, "c:\\PEXORHOST"}, {kIdStartAddress, "\\\\127.0.0.1"},
                 {kIdEndOctet, "122"},           {kIdSharePath, "\\c\\Pexoril"},
                 {kIdExclusions, "lib, ilk, pdb, tlb, exp, sup"},
                 {kIdBuildDate, BuildDateLabel(__DATE__)}};
    for (const auto& t : texts) EXPECT_EQ(d.GetText(t.id), t.text) << t.id;
    EXPECT_FALSE(d.GetCheck(kIdAutoBackup));
    EXPECT_FALSE(d.GetCheck(kIdUpdateMode));
    EXPECT_TRUE(d.GetCheck(kIdModeLocal));
    EXPECT_FALSE(d.GetCheck(kIdModeNetwork));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d.Handle(), kIdTargetFolder)));
    for (int id : {kIdStartAddress, kIdEndOctet, kIdSharePath})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d.Handle(), id))) << id;

    char title[1024] = "";
    GetWindowTextA(d.Handle(), title, sizeof title);
    EXPECT_EQ(std::string(title), "Quorvel 3.1 - " + platform::GetCurrentDir());
    EXPECT_EQ(d.GetText(kIdBuildDate).rfind("Build. 20", 0), 0u);

    // Six columns with their headings.
    HWND header = reinterpret_cast<HWND>(SendDlgItemMessageA(d.Handle(), kIdCopyList, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 6);
    char heading[64] = "";
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    col.pszText = heading;
    col.cchTextMax = sizeof heading;
    SendDlgItemMessageA(d.Handle(), kIdAllFilesList, LVM_GETCOLUMNA, 3, reinterpret_cast<LPARAM>(&col));
    EXPECT_STREQ(heading, "비교결과");
    const DWORD ex = DWORD(SendDlgItemMessageA(d.Handle(), kIdAllFilesList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(ex & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES), DWORD(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES));
}

TEST_F(MainWindowTest, SettingsFileWithoutTheCheckKeysChecksBoth) {
    WriteSettings("OPERATION_MODE=`1`\r\n");
    MainDialog& d = Open();
    EXPECT_TRUE(d.GetCheck(kIdAutoBackup));
    EXPECT_TRUE(d.GetCheck(kIdUpdateMode));
    EXPECT_TRUE(d.GetCheck(kIdSubFolder));
    EXPECT_TRUE(d.GetCheck(kIdModeNetwork));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d.Handle(), kIdTargetFolder)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d.Handle(), kIdStartAddress)));
    EXPECT_EQ(d.GetText(kIdTargetFolder), "");
    EXPECT_EQ(d.GetText(kIdExclusions), "lib, ilk, pdb, tlb, exp, sup");
}

TEST_F(MainWindowTest, ListsFillOneSecondAfterStartWithTextAndColours) {
    WriteSettings("IDC_ACS_FILENAME_SRC=`" + dir_.path() + "\\src`\r\nIDC_ACS_FILENAME_TARGET=`" + dir_.path() +
                  "\\tgt`\r\nm_chkSubFolder=`1`\r\n");
    const auto t0 = Clock::now();
    MainDialog& d = Open();
    EXPECT_EQ(d.GetItemCount(kIdAllFilesList), 0);
    ASSERT_TRUE(PumpUntil(d, 5000, [&] { return d.GetItemCount(kIdAllFilesList) == 3; }));
    EXPECT_GE(Clock::now() - t0, std::chrono::milliseconds(900));

    // Rows in scan order: the root's files, then bin's.
    std::map<std::string, int> rowOf;
    for (int r = 0; r < 3; ++r) rowOf[ItemText(d, kIdAllFilesList, r, 0)] = r;
    ASSERT_EQ(rowOf.size(), 3u);
    ASSERT_EQ(rowOf.count("bin\\b.dll"), 1u);
    const int a = rowOf["a.exe"], c = rowOf["c.txt"], b = rowOf["bin\\b.dll"];
    struct {
        int row, column;
        const char* text;
    } cells[] = {{a, 1, "2"},        {a, 3, "원본최신"}, {a, 4, "1"}, {c, 3, "동일"},
                 {b, 3, "대상없음"}, {b, 4, ""},        {b, 5, ""},  {b, 1, "1"}};
    for (const auto& cell : cells)
        EXPECT_EQ(ItemText(d, kIdAllFilesList, cell.row, cell.column), cell.text) << cell.row << "," << cell.column;
    EXPECT_EQ(ItemText(d, kIdAllFilesList, a, 2).size(), 16u);  // "YYYY-MM-DD hh:mm"

    EXPECT_EQ(RowBackground(d, kIdAllFilesList, a), RGB(0, 255, 0));
    EXPECT_EQ(RowBackground(d, kIdAllFilesList, c), RGB(255, 255, 0));
    EXPECT_EQ(RowBackground(d, kIdAllFilesList, b), RGB(200, 200, 200));
    EXPECT_EQ(RowBackground(d, kIdAllFilesList, 7), COLORREF(CLR_DEFAULT));  // no record: untouched

    // A small buffer is filled without overrun and without a split character.
    char small[5];
    std::memset(small, 'X', sizeof small);
    LVITEMA item{};
    item.iSubItem = 3;
    item.pszText = small;
    item.cchTextMax = 4;
    SendDlgItemMessageA(d.Handle(), kIdAllFilesList, LVM_GETITEMTEXTA, WPARAM(a), reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::string(small), "원");
    EXPECT_EQ(small[4], 'X');
}

TEST_F(MainWindowTest, MoveButtonsDoubleClicksAndRefreshKey) {
    MainDialog& d = OpenWorkspace();
    Select(d, kIdAllFilesList, {0, 2});
    Click(d, kIdMoveSelectedToCopy);
    EXPECT_EQ(d.GetItemCount(kIdAllFilesList), 1);
    EXPECT_EQ(d.GetItemCount(kIdCopyList), 2);
    EXPECT_TRUE(d.GetSelectedRows(kIdAllFilesList).empty());

    Select(d, kIdCopyList, {1});
    NMITEMACTIVATE act{};
    Notify(d, kIdCopyList, NM_DBLCLK, &act.hdr);
    EXPECT_EQ(d.GetItemCount(kIdCopyList), 1);

    Click(d, kIdMoveAllBack);
    EXPECT_EQ(d.GetItemCount(kIdCopyList), 0);
    Click(d, kIdMoveAllSourceNewer);
    ASSERT_EQ(d.GetItemCount(kIdCopyList), 1);
    EXPECT_EQ(ItemText(d, kIdCopyList, 0, 0), "a.exe");

    // F5 rescans: a new source file appears, the copy list is kept.
    testenv::WriteFile(dir_ / "src\\new.ini", "n");
    Key(d, kIdSourceFolder, VK_F5);
    EXPECT_EQ(d.GetItemCount(kIdAllFilesList), 3);
    EXPECT_EQ(d.GetItemCount(kIdCopyList), 1);
}

TEST_F(MainWindowTest, ModeSwitchEnablesTheModesBoxes) {
    MainDialog& d = Open();
    Click(d, kIdModeNetwork);
    EXPECT_EQ(d.Logic().Mode(), OperationMode::Network);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d.Handle(), kIdTargetFolder)));
    for (int id : {kIdStartAddress, kIdEndOctet, kIdSharePath}) EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d.Handle(), id)));
    Click(d, kIdModeLocal);
    EXPECT_EQ(d.Logic().Mode(), OperationMode::Local);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d.Handle(), kIdTargetFolder)));
    for (int id : {kIdStartAddress, kIdEndOctet, kIdSharePath}) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d.Handle(), id)));
}

TEST_F(MainWindowTest, F6SavesWhatTheNextStartReads) {
    {
        MainDialog& d = OpenWorkspace();
        Click(d, kIdModeNetwork);
        d.SetText(kIdEndOctet, "130");
        d.SetCheck(kIdUpdateMode, true);
        d.SetCheck(kIdAutoBackup, false);  // both start checked: the file names neither
        Click(d, kIdMoveAllSourceNewer);
        Key(d, kIdEndOctet, VK_F6);
        EXPECT_TRUE(messages_.empty());
        window_.reset();
    }
    const auto saved = platform::ReadWholeFile(settingsFile_);
    ASSERT_TRUE(saved.has_value());
    EXPECT_NE(saved->find("IDC_ACS_FILENAME_NET_ENDIP=`130`\r\n"), std::string::npos);
    EXPECT_NE(saved->find("COPYFILES_#0=`a.exe`\r\n"), std::string::npos);

    MainDialog& d = Open();
    EXPECT_EQ(d.GetText(kIdEndOctet), "130");
    EXPECT_TRUE(d.GetCheck(kIdModeNetwork));
    EXPECT_TRUE(d.GetCheck(kIdUpdateMode));
    EXPECT_FALSE(d.GetCheck(kIdAutoBackup));
}

TEST_F(MainWindowTest, EnterAndEscapeKeepTheWindowAndF4ClosesIt) {
    MainDialog& d = Open();
    Key(d, kIdSourceFolder, VK_RETURN);
    Key(d, kIdSourceFolder, VK_ESCAPE);
    SendMessageA(d.Handle(), WM_COMMAND, IDCANCEL, 0);
    Pump(d);
    ASSERT_NE(d.Handle(), nullptr);
    EXPECT_TRUE(IsWindow(d.Handle()));
    Key(d, kIdExclusions, VK_F4);
    EXPECT_TRUE(PumpUntil(d, 2000, [&] { return d.Handle() == nullptr; }));
}

TEST_F(MainWindowTest, ContextMenuPerListAndSelection) {
    MainDialog& d = OpenWorkspace();
    std::vector<std::string> shown;
    int choose = 0;
    d.trackMenuHook = [&](HMENU m) {
        shown = MenuTexts(m);
        return choose;
    };
    NMITEMACTIVATE act{};

    Select(d, kIdAllFilesList, {});
    shown = {"untouched"};
    Notify(d, kIdAllFilesList, NM_RCLICK, &act.hdr);
    EXPECT_EQ(shown, std::vector<std::string>{"untouched"});  // nothing selected: no menu

    Select(d, kIdAllFilesList, {0});
    Notify(d, kIdAllFilesList, NM_RCLICK, &act.hdr);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].rfind("Execute(&E) ", 0), 0u);
    EXPECT_EQ(shown[1], "Forced Termination(&T)");
    EXPECT_EQ(shown[2], "-");
    EXPECT_EQ(shown[3], "Move Down");

    Select(d, kIdAllFilesList, {0, 1});
    choose = 113;
    Notify(d, kIdAllFilesList, NM_RCLICK, &act.hdr);
    EXPECT_EQ(shown, std::vector<std::string>{"Move Down"});
    EXPECT_EQ(d.GetItemCount(kIdCopyList), 2);  // 113 moved the selection down

    Select(d, kIdCopyList, {0});
    choose = 0;
    Notify(d, kIdCopyList, NM_RCLICK, &act.hdr);
    ASSERT_EQ(shown.size(), 4u);  // a local target: programs can be run
    EXPECT_EQ(shown[3], "Move Up");
}

TEST_F(MainWindowTest, NetworkTargetRowsOfferOnlyTheMoveInTheCopyList) {
    testenv::MappedShare pc("127.0.0.1", "c");
    if (!pc.ok()) GTEST_SKIP() << "shares cannot be mapped on this platform";
    testenv::WriteFile(pc.folder() + "\\Pexoril\\a.exe", "old", 1500000000);
    WriteSettings("OPERATION_MODE=`1`\r\nIDC_ACS_FILENAME_SRC=`" + dir_.path() +
                  "\\src`\r\nIDC_ACS_FILENAME_NET_STARTIP=`\\\\127.0.0.1`\r\nIDC_ACS_FILENAME_NET_ENDIP=`3`\r\n"
                  "IDC_ACS_FILENAME_NET_PATH=`/c/Pexoril`\r\nm_chkSubFolder=`1`\r\nCOPYFILES_#0=`a.exe`\r\n");
    MainDialog& d = Open();
    ASSERT_TRUE(PumpUntil(d, 5000, [&] { return d.GetItemCount(kIdCopyList) == 1; }));
    EXPECT_TRUE(messages_.empty()) << messages_[0];
    EXPECT_EQ(d.GetText(kIdSharePath), "\\c\\Pexoril");  // written back with backslashes
    EXPECT_EQ(ItemText(d, kIdCopyList, 0, 3), "원본최신");

    std::vector<std::string> shown;
    d.trackMenuHook = [&](HMENU m) {
        shown = MenuTexts(m);
        return 0;
    };
    NMITEMACTIVATE act{};
    Select(d, kIdCopyList, {0});
    Notify(d, kIdCopyList, NM_RCLICK, &act.hdr);
    EXPECT_EQ(shown, std::vector<std::string>{"Move Up"});
    Select(d, kIdAllFilesList, {0});
    Notify(d, kIdAllFilesList, NM_RCLICK, &act.hdr);
    EXPECT_EQ(shown.size(), 4u);  // the all-files list offers them for any target
}

TEST_F(MainWindowTest, F2AndRestartButtonSendCommandFilesAfterAYes) {
    // Three PCs in the range; the third has no Jobkeeper share.
    testenv::MappedShare scan("127.0.0.1", "c");
    testenv::MappedShare pc1("127.0.0.1", "Jobkeeper"), pc2("127.0.0.2", "Jobkeeper");
    if (!scan.ok()) GTEST_SKIP() << "shares cannot be mapped on this platform";
    WriteSettings("OPERATION_MODE=`1`\r\nIDC_ACS_FILENAME_SRC=`" + dir_.path() +
                  "\\src`\r\nIDC_ACS_FILENAME_NET_STARTIP=`\\\\127.0.0.1`\r\nIDC_ACS_FILENAME_NET_ENDIP=`9`\r\n"
                  "IDC_ACS_FILENAME_NET_PATH=`\\c\\Pexoril`\r\n"
                  "EXECUTE_CONTROL_NET_OFF_#0=`Line.exe`\r\nEXECUTE_CONTROL_NET_OFF_#1=`C:\\Vision\\Cam.exe`\r\n"
                  "EXECUTE_CONTROL_NET_ON_#0=`C:\\Line\\Line.exe`\r\n");
    MainDialog& d = Open();
    ASSERT_TRUE(PumpUntil(d, 5000, [&] { return d.GetItemCount(kIdAllFilesList) == 3; }));
    d.SetText(kIdEndOctet, "3");  // read again when the command runs
    const std::string file1 = pc1.folder() + "\\CopyScript.TSF", file2 = pc2.folder() + "\\CopyScript.TSF";

    Key(d, kIdSourceFolder, VK_F2);  // answered No
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], "네트워크로 프로그램 종료 명령어를 전달 합니다.\n \\\\127.0.0.1~3\n  1, Line.exe\n"
                            "  2, C:\\Vision\\Cam.exe\n계속 진행 하시겠습니까?");
    EXPECT_FALSE(platform::PathExists(file1));

    yesNoAnswer_ = IDYES;
    Key(d, kIdSourceFolder, VK_F2);
    EXPECT_EQ(platform::ReadWholeFile(file1).value_or("none"), "KILL^Line.exe\r\nKILL^Cam.exe\r\n");
    EXPECT_EQ(platform::ReadWholeFile(file2).value_or("none"), "KILL^Line.exe\r\nKILL^Cam.exe\r\n");

    Click(d, kIdRestart);
    EXPECT_EQ(messages_.size(), 3u);
    EXPECT_EQ(messages_[2].rfind("네트워크로 프로그램 재시작 명령어를 전달 합니다.\n", 0), 0u);
    const std::string restart = platform::ReadWholeFile(file2).value_or("none");
    EXPECT_EQ(restart.rfind("RESTART^Line.exe^", 0), 0u) << restart;
    EXPECT_EQ(platform::ReadWholeFile(file1), restart);
}

// The shell's folder browser is modal: a second thread answers it.
HWND FindOwnedDialog(HWND owner) {
    struct Search {
        HWND owner, found;
    } search{owner, nullptr};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (GetWindow(h, GW_OWNER) == s->owner && IsWindowVisible(h)) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(MainWindowTest, FolderBrowserStartsAtTheBoxsFolder) {
    MainDialog& d = Open();
    OleInitialize(nullptr);
    const std::string folder = dir_ / "tgt";
    d.SetText(kIdTargetFolder, folder);
    // The browser is modal: a second thread reads its status line, which our
    // callback fills with the selected folder, and then cancels it.
    std::vector<std::string> statics;
    std::thread answer([&] {
        for (int i = 0; i < 500; ++i) {
            if (HWND browser = FindOwnedDialog(d.Handle())) {
                // Wait until it has selected the starting folder.
                for (int j = 0; j < 300; ++j) {
                    statics.clear();
                    EnumChildWindows(
                        browser,
                        [](HWND c, LPARAM lp) -> BOOL {
                            char cls[64] = "", text[1024] = "";
                            GetClassNameA(c, cls, sizeof cls);
                            GetWindowTextA(c, text, sizeof text);
                            if (std::string(cls) == "Static") reinterpret_cast<std::vector<std::string>*>(lp)->push_back(text);
                            return TRUE;
                        },
                        reinterpret_cast<LPARAM>(&statics));
                    if (std::find(statics.begin(), statics.end(), folder) != statics.end()) break;
                    Sleep(10);
                }
                PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            Sleep(10);
        }
    });
    Click(d, kIdBrowseTarget);
    answer.join();
    // The title, and a status line on the way to the folder: Wine's browser
    // at times stops its expansion at the drive.
    EXPECT_NE(std::find(statics.begin(), statics.end(), "폴더를 선택해 주세요."), statics.end());
    const bool onTheWay = std::any_of(statics.begin(), statics.end(), [&](const std::string& t) {
        return t.size() >= 3 && folder.rfind(t, 0) == 0 && (t == folder || t.back() == '\\');
    });
    EXPECT_TRUE(onTheWay) << "seen: " << ::testing::PrintToString(statics);
    EXPECT_EQ(d.GetText(kIdTargetFolder), folder);  // cancelled: nothing changes
    OleUninitialize();
}

TEST_F(MainWindowTest, RunControlNoticeAndAboutBox) {
    MainDialog& d = Open();
    EXPECT_EQ(SendMessageA(d.Handle(), ui::win32::WM_RUN_CONTROL, 2, 0), 1);
    EXPECT_EQ(d.RunControl(), 2);

    // The minimised window's drag image is its icon, handed back as such.
    const LRESULT icon = SendMessageA(d.Handle(), WM_GETICON, ICON_BIG, 0);
    EXPECT_NE(icon, 0);
    EXPECT_EQ(SendMessageA(d.Handle(), WM_QUERYDRAGICON, 0, 0), icon);
    // A notification's result reaches its sender.
    NMLVCUSTOMDRAW cd{};
    cd.nmcd.hdr = {GetDlgItem(d.Handle(), kIdAllFilesList), UINT_PTR(kIdAllFilesList), UINT(NM_CUSTOMDRAW)};
    cd.nmcd.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(SendMessageA(d.Handle(), WM_NOTIFY, kIdAllFilesList, reinterpret_cast<LPARAM>(&cd)), CDRF_NOTIFYITEMDRAW);

    SendMessageA(d.Handle(), WM_COMMAND, MAKEWPARAM(kIdNotice, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(d.Handle(), kIdNotice)));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_FALSE(messages_[0].empty());

    // The system menu carries the about item; the box is modal, so another
    // thread closes it once it shows.
    HMENU sys = GetSystemMenu(d.Handle(), FALSE);
    char text[128] = "";
    GetMenuStringA(sys, 0x0010, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Quorvel 정보(&A)...");
    bool seen = false;
    std::thread closer([&] {
        for (int i = 0; i < 300; ++i) {
            if (HWND about = FindWindowA(nullptr, "Quorvel 정보")) {
                seen = true;
                PostMessageA(about, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(10);
        }
    });
    SendMessageA(d.Handle(), WM_SYSCOMMAND, 0x0010, 0);
    closer.join();
    EXPECT_TRUE(seen);
}

}  // namespace
