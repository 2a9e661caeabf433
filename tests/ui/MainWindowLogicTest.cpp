#include <gtest/gtest.h>

#include <memory>

#include "platform/FileSystem.h"
#include "settings/SettingsKeys.h"
#include "support/TestEnv.h"
#include "ui/ControlIds.h"
#include "ui/HeadlessControls.h"
#include "ui/MainWindowLogic.h"

namespace {

using namespace ui;
using Names = std::vector<std::string>;

class LogicTest : public ::testing::Test {
protected:
    std::string Ini() const { return dir / "Quorvel.ini"; }
    std::string Src() const { return dir / "src"; }
    std::string Tgt() const { return dir / "tgt"; }

    // A window as it is a second after start: start-up done, then boxes
    // pointed at the test's folders.
    std::unique_ptr<MainWindowLogic> Start() {
        auto logic = std::make_unique<MainWindowLogic>(ui, Ini());
        logic->StartUp();
        return logic;
    }
    void PointAtFolders() {
        ui.SetText(kIdSourceFolder, Src());
        ui.SetText(kIdTargetFolder, Tgt() + "\\");
        ui.SetCheck(kIdSubFolder, true);
    }
    Names Shown(const MainWindowLogic& logic, ListKind k) const {
        Names out;
        for (size_t n = 0; const CompareRecord* r = logic.RecordAt(k, n); ++n)
            out.emplace_back(logic.RelativeNameOf(*r));
        return out;
    }
    std::string IniText() const { return platform::ReadWholeFile(Ini()).value_or("<none>"); }
    int Count(int list) { return ui.GetItemCount(list); }

    testenv::TempDir dir;
    HeadlessControls ui;
};

TEST(SettingsFileName, ReplacesTheExtensionOfTheExecutablesName) {
    EXPECT_EQ(SettingsFileNameFor("C:\\Tools\\line2.exe"), "C:\\Tools\\line2.ini");
    EXPECT_EQ(SettingsFileNameFor("C:\\Tools\\Quorvel.v2.EXE"), "C:\\Tools\\Quorvel.v2.ini");
    EXPECT_EQ(SettingsFileNameFor("C:\\v1.2\\quorvel"), "C:\\v1.2\\quorvel.ini");
    HeadlessControls c;
    MainWindowLogic logic(c);
    EXPECT_EQ(logic.SettingsFile(), SettingsFileNameFor(platform::ExecutablePath()));
    EXPECT_NE(logic.SettingsFile().find("ui_tests.ini"), std::string::npos) << logic.SettingsFile();
}

TEST_F(LogicTest, NoSettingsFileShowsTheDefaults) {
    auto logic = Start();
    EXPECT_EQ(ui.GetText(kIdSourceFolder), "");
    EXPECT_EQ(ui.GetText(kIdTargetFolder), "c:\\PEXORHOST");
    EXPECT_EQ(ui.GetText(kIdStartAddress), "\\\\127.0.0.1");
    EXPECT_EQ(ui.GetText(kIdEndOctet), "122");
    EXPECT_EQ(ui.GetText(kIdSharePath), "\\c\\Pexoril");
    EXPECT_EQ(ui.GetText(kIdExclusions), "lib, ilk, pdb, tlb, exp, sup");
    for (int id : {kIdAutoBackup, kIdUpdateMode, kIdSubFolder, kIdModeNetwork}) EXPECT_FALSE(ui.GetCheck(id)) << id;
    EXPECT_TRUE(ui.GetCheck(kIdModeLocal));
    EXPECT_EQ(logic->Mode(), OperationMode::Local);
    EXPECT_TRUE(ui.IsEnabled(kIdTargetFolder));
    EXPECT_FALSE(ui.IsEnabled(kIdStartAddress));
    EXPECT_EQ(logic->PackageBasePath(), "");
    EXPECT_EQ(logic->UserBackupPath(), "");
    EXPECT_EQ(logic->UserBackupPathUse(), 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LogicTest, AFileWithOnlyTheModeFillsTheMissingKeys) {
    testenv::WriteFile(Ini(), "OPERATION_MODE=`1`\r\n");
    auto logic = Start();
    for (int id : {kIdSourceFolder, kIdTargetFolder, kIdStartAddress, kIdEndOctet, kIdSharePath})
        EXPECT_EQ(ui.GetText(id), "") << id;
    EXPECT_EQ(ui.GetText(kIdExclusions), "lib, ilk, pdb, tlb, exp, sup");
    for (int id : {kIdAutoBackup, kIdUpdateMode, kIdSubFolder, kIdModeNetwork}) EXPECT_TRUE(ui.GetCheck(id)) << id;
    EXPECT_FALSE(ui.GetCheck(kIdModeLocal));
    EXPECT_EQ(logic->Mode(), OperationMode::Network);
    EXPECT_FALSE(ui.IsEnabled(kIdTargetFolder));
    for (int id : {kIdStartAddress, kIdEndOctet, kIdSharePath}) EXPECT_TRUE(ui.IsEnabled(id)) << id;
    EXPECT_EQ(logic->PackageBasePath(), ".\\qvInstallFiles");
    EXPECT_EQ(logic->UserBackupPath(), "\\\\127.0.0.1\\c\\");

    // Switching back by the radio buttons reverses the enabling.
    ui.SetCheck(kIdModeNetwork, false);
    ui.SetCheck(kIdModeLocal, true);
    logic->SwitchMode();
    EXPECT_EQ(logic->Mode(), OperationMode::Local);
    EXPECT_TRUE(ui.IsEnabled(kIdTargetFolder));
    EXPECT_FALSE(ui.IsEnabled(kIdSharePath));
}

TEST_F(LogicTest, IntegersOutsideTheirRange) {
    struct Case {
        const char* value;
        OperationMode mode;
        bool checked;
    } cases[] = {
        {"0", OperationMode::Local, false},  {"1", OperationMode::Network, true},
        {"2", OperationMode::Local, true},   {"-1", OperationMode::Local, true},
        {"abc", OperationMode::Local, false}, {" 1x", OperationMode::Network, true},
        {"", OperationMode::Local, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        HeadlessControls fresh;
        ui = fresh;
        const std::string v = c.value;
        testenv::WriteFile(Ini(), "OPERATION_MODE=`" + v + "`\r\nm_chkSubFolder=`" + v + "`\r\nIDC_CHK_AUTOBACKUP=`" + v +
                                      "`\r\nIDC_CHECK_UPDATEMODE=`" + v + "`\r\n");
        auto logic = Start();
        EXPECT_EQ(logic->Mode(), c.mode);
        EXPECT_EQ(ui.GetCheck(kIdModeNetwork), c.mode == OperationMode::Network);
        EXPECT_EQ(ui.GetCheck(kIdModeLocal), c.mode == OperationMode::Local);
        EXPECT_EQ(ui.IsEnabled(kIdTargetFolder), c.mode == OperationMode::Local);
        for (int id : {kIdSubFolder, kIdAutoBackup, kIdUpdateMode}) EXPECT_EQ(ui.GetCheck(id), c.checked) << id;
    }
}

TEST_F(LogicTest, ProgramListsStopAtTheFirstGap) {
    testenv::WriteFile(Ini(),
                       "EXECUTE_CONTROL_NET_ON_#1=`second.exe`\r\nEXECUTE_CONTROL_NET_ON_#0=`C:\\Line\\first.exe`\r\n"
                       "EXECUTE_CONTROL_LOCAL_OFF_#1=`orphan.exe`\r\n");
    auto logic = Start();
    EXPECT_EQ(logic->Programs().netOn, (Names{"C:\\Line\\first.exe", "second.exe"}));
    EXPECT_TRUE(logic->Programs().localOff.empty());
    EXPECT_TRUE(logic->Programs().localOn.empty());
}

TEST_F(LogicTest, SaveWritesTheKeysInTheirOwnOrderWhateverWasLoaded) {
    testenv::WriteFile(Ini(),
                       "EXECUTE_CONTROL_LOCAL_ON_#0=`app.exe`\nUNKNOWN=`dropped`\nUserBackupPath=`\\\\10.0.0.9\\d\\`\n"
                       "MakeInstall_Title=`Line 2`\nm_nAutoNetInit=`7`\nOPERATION_MODE=`0`\nUserBackupPathUse=`1`\n"
                       "COPYFILES_#0=`a.exe`\nIDC_ACS_FILENAME_SRC=`" + Src() + "`\nIDC_ACS_FILENAME_TARGET=`" + Tgt() +
                       "`\nm_chkSubFolder=`1`\nEXECUTE_CONTROL_NET_OFF_#0=`k.exe`\n");
    testenv::WriteFile(Src() + "\\a.exe", "1", 1000);
    testenv::WriteFile(Src() + "\\bin\\b.dll", "1", 1000);
    auto logic = Start();
    ui.SetCheck(kIdUpdateMode, false);
    logic->Refresh();
    ui.Select(kIdAllFilesList, {0});  // bin\b.dll (a.exe went to the copy list)
    logic->MoveSelectedToCopy();
    ASSERT_TRUE(logic->SaveSettings());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(IniText(), "IDC_ACS_FILENAME_SRC=`" + Src() + "`\r\nIDC_ACS_FILENAME_TARGET=`" + Tgt() +
                             "`\r\n"
                             "IDC_ACS_FILENAME_NET_STARTIP=``\r\n"
                             "IDC_ACS_FILENAME_NET_ENDIP=``\r\n"
                             "IDC_ACS_FILENAME_NET_PATH=``\r\n"
                             "IDC_EXCEPTION_EXT=`lib, ilk, pdb, tlb, exp, sup`\r\n"
                             "MakeInstall_Title=`Line 2`\r\n"
                             "MakeInstall_BasicPath=`.\\qvInstallFiles`\r\n"
                             "OPERATION_MODE=`0`\r\n"
                             "m_nAutoNetInit=`7`\r\n"
                             "m_chkSubFolder=`1`\r\n"
                             "COPYFILES_#0=`a.exe`\r\n"
                             "COPYFILES_#1=`bin\\b.dll`\r\n"
                             "IDC_CHK_AUTOBACKUP=`1`\r\n"
                             "IDC_CHECK_UPDATEMODE=`0`\r\n"
                             "UserBackupPathUse=`1`\r\n"
                             "UserBackupPath=`\\\\10.0.0.9\\d\\`\r\n"
                             "EXECUTE_CONTROL_LOCAL_ON_#0=`app.exe`\r\n"
                             "EXECUTE_CONTROL_NET_OFF_#0=`k.exe`\r\n");

    // After MoveAllBack no COPYFILES line survives from the earlier save.
    logic->MoveAllBack();
    ASSERT_TRUE(logic->SaveSettings());
    EXPECT_EQ(IniText().find("COPYFILES"), std::string::npos);
}

TEST_F(LogicTest, SaveRestartRestoresTheWindow) {
    testenv::WriteFile(Src() + "\\a.exe", "1", 1000);
    testenv::WriteFile(Src() + "\\bin\\b.dll", "1", 1000);
    {
        auto logic = Start();
        PointAtFolders();
        ui.SetText(kIdExclusions, "pdb");
        ui.SetText(kIdStartAddress, "\\\\127.0.0.1");
        ui.SetCheck(kIdAutoBackup, true);
        logic->Refresh();
        ui.Select(kIdAllFilesList, {1});
        logic->MoveSelectedToCopy();
        ui.SetCheck(kIdModeLocal, false);
        ui.SetCheck(kIdModeNetwork, true);
        logic->SwitchMode();
        ASSERT_TRUE(logic->SaveSettings());
    }
    HeadlessControls saved = ui;
    ui = HeadlessControls();
    auto logic = Start();
    for (int id : {kIdSourceFolder, kIdTargetFolder, kIdStartAddress, kIdEndOctet, kIdSharePath, kIdExclusions})
        EXPECT_EQ(ui.GetText(id), saved.GetText(id)) << id;
    for (int id : {kIdAutoBackup, kIdUpdateMode, kIdSubFolder, kIdModeLocal, kIdModeNetwork})
        EXPECT_EQ(ui.GetCheck(id), saved.GetCheck(id)) << id;
    EXPECT_EQ(logic->Mode(), OperationMode::Network);
    EXPECT_TRUE(logic->Records().empty());
    ui.SetCheck(kIdModeNetwork, false);  // compare against the local folder again
    ui.SetCheck(kIdModeLocal, true);
    logic->SwitchMode();
    logic->Refresh();
    EXPECT_EQ(Shown(*logic, ListKind::Copy), Names{"bin\\b.dll"});
}

TEST_F(LogicTest, FailedSaveTellsTheOperator) {
    testenv::MakeDirs(Ini());  // a folder stands where the file would go
    auto logic = Start();
    EXPECT_FALSE(logic->SaveSettings());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "설정 파일을 저장하지 못했습니다.\r\n" + Ini());
    EXPECT_EQ(ui.messages[0].type, kMbOk | kMbIconWarning);
}

// F6 before the first refresh (or after refreshes that found no source
// files or could not reach the target) keeps the saved copy list: it has
// not been applied to the lists yet.
TEST_F(LogicTest, SavingBeforeTheSavedSelectionIsAppliedKeepsIt) {
    testenv::WriteFile(Src() + "\\a.exe", "1", 1000);
    testenv::WriteFile(Src() + "\\bin\\b.dll", "1", 1000);
    const std::string copyLines = "COPYFILES_#0=`bin\\b.dll`\r\nCOPYFILES_#1=`gone.txt`\r\n";
    testenv::WriteFile(Ini(), "IDC_ACS_FILENAME_SRC=`" + Src() + "\\missing`\r\nIDC_ACS_FILENAME_TARGET=`" + Tgt() +
                                  "`\r\n" + copyLines);
    auto logic = Start();
    ASSERT_TRUE(logic->SaveSettings());  // before any refresh
    EXPECT_NE(IniText().find(copyLines), std::string::npos) << IniText();
    logic->Refresh();  // the source folder is missing: nothing to apply it to
    ASSERT_TRUE(logic->SaveSettings());
    EXPECT_NE(IniText().find(copyLines), std::string::npos) << IniText();

    ui.SetText(kIdSourceFolder, Src());
    logic->Refresh();
    EXPECT_EQ(Shown(*logic, ListKind::Copy), Names{"bin\\b.dll"});
    ASSERT_TRUE(logic->SaveSettings());  // from now on the lists are what counts
    EXPECT_NE(IniText().find("COPYFILES_#0=`bin\\b.dll`\r\nIDC_CHK_AUTOBACKUP"), std::string::npos) << IniText();
    logic->MoveAllBack();
    ASSERT_TRUE(logic->SaveSettings());
    EXPECT_EQ(IniText().find("COPYFILES"), std::string::npos) << IniText();
}

TEST_F(LogicTest, RefreshComparesAndCapturesTheRange) {
    testenv::WriteFile(Src() + "\\Same.dll", "12345", 2000);
    testenv::WriteFile(Src() + "\\bin\\new.exe", "1", 3000);
    testenv::WriteFile(Src() + "\\only.txt", "1", 3000);
    testenv::WriteFile(Tgt() + "\\SAME.DLL", "12345", 2000);
    testenv::WriteFile(Tgt() + "\\BIN\\New.exe", "1", 2999);
    auto logic = Start();
    PointAtFolders();
    ui.SetText(kIdStartAddress, "//10.1.2.3");  // Local mode: no echo is sent
    ui.SetText(kIdSharePath, "/d/App");
    ui.SetText(kIdEndOctet, "130x");
    ASSERT_TRUE(logic->Refresh());
    EXPECT_EQ(logic->Range().startAddress, "\\\\10.1.2.3");
    EXPECT_EQ(logic->Range().sharePath, "\\d\\App");
    EXPECT_EQ(logic->Range().endOctet, 130);
    std::map<std::string, CompareResult> results;
    std::map<std::string, std::string> targets;
    for (const auto& r : logic->Records()) {
        results[std::string(logic->RelativeNameOf(r))] = r.result;
        targets[std::string(logic->RelativeNameOf(r))] = r.target.path;
    }
    EXPECT_EQ(results, (std::map<std::string, CompareResult>{{"Same.dll", CompareResult::Same},
                                                             {"bin\\new.exe", CompareResult::SourceNewer},
                                                             {"only.txt", CompareResult::TargetMissing}}));
    EXPECT_EQ(targets["only.txt"], Tgt() + "\\only.txt");
    EXPECT_EQ(Count(kIdAllFilesList), 3);
    EXPECT_EQ(Count(kIdCopyList), 0);
    EXPECT_GE(ui.lists[kIdCopyList].redraws, 1);

    logic->MoveAllSourceNewer();
    EXPECT_EQ(Shown(*logic, ListKind::Copy), Names{"bin\\new.exe"});
    EXPECT_EQ(Count(kIdAllFilesList), 2);
    EXPECT_EQ(Count(kIdCopyList), 1);

    ui.SetText(kIdEndOctet, "");
    logic->Refresh();
    EXPECT_EQ(logic->Range().endOctet, 0);
}

TEST_F(LogicTest, NetworkDestinationOfAMissingFile) {
    testenv::WriteFile(Src() + "\\bin\\new.dll", "1", 3000);
    testenv::MappedShare pc("127.0.0.1", "c");
    auto logic = Start();
    PointAtFolders();
    ui.SetCheck(kIdModeLocal, false);
    ui.SetCheck(kIdModeNetwork, true);
    logic->SwitchMode();

    // A first PC that cannot answer: the operator is told, the comparison
    // still runs and names where the file would go.
    ui.SetText(kIdStartAddress, "\\\\pc-name");
    ui.SetText(kIdSharePath, "/c/Pexoril");
    logic->Refresh();
    ASSERT_EQ(ui.messages.size(), 1u);
    ASSERT_EQ(logic->Records().size(), 1u);
    EXPECT_EQ(logic->Records()[0].result, CompareResult::TargetMissing);
    EXPECT_EQ(logic->Records()[0].target.path, "\\\\pc-name\\c\\Pexoril\\bin\\new.dll");

    if (!pc.ok()) GTEST_SKIP() << "shares cannot be mapped on this platform";
    testenv::WriteFile(pc.folder() + "\\Pexoril\\other.dll", "1", 1);
    ui.SetText(kIdStartAddress, "\\\\127.0.0.1");
    logic->Refresh();
    ASSERT_EQ(ui.messages.size(), 1u) << ui.messages.back().text;
    EXPECT_EQ(logic->TargetScanner().files.size(), 1u);
    EXPECT_EQ(logic->Records()[0].target.path, "\\\\127.0.0.1\\c\\Pexoril\\bin\\new.dll");
}

TEST_F(LogicTest, SelectedRowsMoveAndTheSelectionIsCleared) {
    for (int i = 0; i < 10; ++i) testenv::WriteFile(Src() + "\\f" + std::to_string(i) + ".dll", "1", 1000);
    auto logic = Start();
    PointAtFolders();
    logic->Refresh();
    const Names all = Shown(*logic, ListKind::AllFiles);
    ASSERT_EQ(all.size(), 10u);

    ui.Select(kIdAllFilesList, {2, 5, 7});
    ui.Select(kIdCopyList, {});
    ASSERT_TRUE(logic->MoveSelectedToCopy());
    EXPECT_EQ(Shown(*logic, ListKind::Copy), (Names{all[2], all[5], all[7]}));
    EXPECT_TRUE(ui.GetSelectedRows(kIdAllFilesList).empty());
    EXPECT_EQ(Count(kIdAllFilesList), 7);
    EXPECT_EQ(Count(kIdCopyList), 3);

    ui.Select(kIdCopyList, {0, 2});
    ASSERT_TRUE(logic->MoveSelectedBack());
    EXPECT_EQ(Shown(*logic, ListKind::Copy), Names{all[5]});
    EXPECT_EQ(Shown(*logic, ListKind::AllFiles),
              (Names{all[0], all[1], all[2], all[3], all[4], all[6], all[7], all[8], all[9]}));
    EXPECT_TRUE(ui.GetSelectedRows(kIdCopyList).empty());
    EXPECT_EQ(Count(kIdAllFilesList), 9);
    EXPECT_EQ(Count(kIdCopyList), 1);

    const int redraws = ui.lists[kIdAllFilesList].redraws;
    ASSERT_TRUE(logic->MoveSelectedToCopy());  // nothing selected: only a redraw
    EXPECT_EQ(Count(kIdCopyList), 1);
    EXPECT_EQ(ui.lists[kIdAllFilesList].redraws, redraws + 1);
}

TEST_F(LogicTest, CopyListSurvivesAChangeOfSourceFolderAndLosesDeletedFiles) {
    testenv::WriteFile(Src() + "\\bin\\x.dll", "1", 1000);
    testenv::WriteFile(Src() + "\\y.dll", "1", 1000);
    testenv::WriteFile(dir / "other\\BIN\\X.DLL", "2", 1000);
    testenv::WriteFile(dir / "other\\z.dll", "2", 1000);
    auto logic = Start();
    PointAtFolders();
    logic->Refresh();
    ui.Select(kIdAllFilesList, {0, 1});
    logic->MoveSelectedToCopy();
    ASSERT_EQ(Shown(*logic, ListKind::Copy).size(), 2u);

    ui.SetText(kIdSourceFolder, dir / "other\\");  // a root of another length
    logic->Refresh();
    EXPECT_EQ(Shown(*logic, ListKind::Copy), Names{"BIN\\X.DLL"});
    EXPECT_EQ(Shown(*logic, ListKind::AllFiles), Names{"z.dll"});

    platform::RemoveFile(dir / "other\\BIN\\X.DLL");
    logic->Refresh();
    EXPECT_TRUE(Shown(*logic, ListKind::Copy).empty());
    testenv::WriteFile(dir / "other\\BIN\\X.DLL", "2", 1000);
    logic->Refresh();
    EXPECT_TRUE(Shown(*logic, ListKind::Copy).empty());
    EXPECT_EQ(Count(kIdAllFilesList), 2);
}

TEST_F(LogicTest, SavedSelectionIsAppliedOnceAtTheFirstRefresh) {
    testenv::WriteFile(Src() + "\\a.exe", "1", 1000);
    testenv::WriteFile(Src() + "\\bin\\a.dll", "1", 1000);
    testenv::WriteFile(Src() + "\\c.exe", "1", 1000);
    testenv::WriteFile(Ini(), "IDC_ACS_FILENAME_SRC=`" + Src() + "`\r\nIDC_ACS_FILENAME_TARGET=`" + Tgt() +
                                  "`\r\nCOPYFILES_#0=`BIN\\A.DLL`\r\nCOPYFILES_#1=`missing.exe`\r\n"
                                  "COPYFILES_#3=`c.exe`\r\n");
    auto logic = Start();
    EXPECT_FALSE(logic->CopyFilesApplied());
    logic->Refresh();
    EXPECT_TRUE(logic->CopyFilesApplied());
    EXPECT_EQ(Shown(*logic, ListKind::Copy), Names{"bin\\a.dll"});  // c.exe is after the gap
    EXPECT_EQ(Count(kIdCopyList), 1);

    logic->MoveAllBack();
    logic->ApplySettings();  // loading again does not re-arm it
    logic->Refresh();
    EXPECT_TRUE(Shown(*logic, ListKind::Copy).empty());
}

TEST_F(LogicTest, CommandsAreRefusedWhileARunLasts) {
    testenv::WriteFile(Src() + "\\a.exe", "1", 1000);
    testenv::WriteFile(Ini(), "IDC_ACS_FILENAME_SRC=`elsewhere`\r\n");
    auto logic = Start();
    PointAtFolders();
    logic->Refresh();
    ui.Select(kIdAllFilesList, {0});
    logic->SetRunActive(true);
    EXPECT_FALSE(logic->MoveSelectedToCopy());
    EXPECT_FALSE(logic->MoveAllSourceNewer());
    testenv::WriteFile(Src() + "\\b.exe", "1", 1000);
    EXPECT_FALSE(logic->Refresh());
    logic->ApplySettings();
    EXPECT_EQ(ui.GetText(kIdSourceFolder), Src());
    EXPECT_EQ(logic->Records().size(), 1u);
    EXPECT_EQ(ui.GetSelectedRows(kIdAllFilesList), std::vector<int>{0});
    logic->SetRunActive(false);
    EXPECT_TRUE(logic->MoveSelectedToCopy());
    EXPECT_EQ(Count(kIdCopyList), 1);
}

}  // namespace
