#include "ui/MainWindowLogic.h"

#include <cstdio>

#include "compare/PathUtil.h"
#include "platform/FileSystem.h"
#include "settings/SettingsKeys.h"
#include "ui/ControlIds.h"

namespace ui {

const char* const kNoStartAddressText =
    "네트워크 시작 주소가 없습니다. 시작 주소(\\\\a.b.c.d)를 입력하고 새로고침(F5)한 뒤 다시 실행해 주세요.";

bool RefusedDuringRun(Command command) {
    switch (command) {
    case Command::Refresh:
    case Command::Move:
    case Command::LoadSettings:
    case Command::BuildPackage:
    case Command::CopyRun:
        return true;
    case Command::SaveSettings:  // reads only
    case Command::TerminateAll:  // the operator may stop programs by hand
    case Command::Restart:
        return false;
    }
    return true;
}

namespace {

std::string TextOr(const SettingsStore& s, const char* key, const char* fallback) {
    const std::string* v = s.Get(key);
    return v ? *v : std::string(fallback);
}

int IntOr(const SettingsStore& s, const char* key, int fallback) {
    const std::string* v = s.Get(key);
    return v ? ParseInt(*v) : fallback;
}

// Check states are written as 0 and 1; any other number read back counts as
// checked, as a BOOL would.
bool CheckOr(const SettingsStore& s, const char* key, bool fallback) {
    const std::string* v = s.Get(key);
    return v ? ParseInt(*v) != 0 : fallback;
}

void SetList(SettingsStore& s, const char* name, const std::vector<std::string>& items) {
    for (size_t i = 0; i < items.size(); ++i) s.SetListItem(int(i), name, items[i]);
}

}  // namespace

std::string SettingsFileNameFor(std::string_view exePath) {
    const size_t sep = exePath.find_last_of("\\/");
    const size_t nameStart = sep == std::string_view::npos ? 0 : sep + 1;
    const size_t dot = exePath.rfind('.');
    std::string out(exePath);
    // A '.' in a folder name is not the extension's.
    if (dot == std::string_view::npos || dot < nameStart) return out + ".ini";
    out.resize(dot + 1);
    return out + "ini";
}

MainWindowLogic::MainWindowLogic(IControls& controls, std::string settingsFile)
    : controls_(controls),
      settingsFile_(settingsFile.empty() ? SettingsFileNameFor(platform::ExecutablePath())
                                         : std::move(settingsFile)) {}

void MainWindowLogic::StartUp() {
    mode_ = OperationMode::Local;
    ShowMode();
    EnableModeControls(mode_);
    controls_.SetText(kIdStartAddress, defaults::kStartAddress);
    controls_.SetText(kIdEndOctet, defaults::kEndOctet);
    controls_.SetText(kIdSharePath, defaults::kSharePath);
    controls_.SetText(kIdSourceFolder, "");
    controls_.SetText(kIdTargetFolder, defaults::kTargetFolder);
    if (settings_.Load(settingsFile_)) {
        ApplyStore();
        controls_.SetCheck(kIdAutoBackup, CheckOr(settings_, keys::kAutoBackup, true));
        controls_.SetCheck(kIdUpdateMode, CheckOr(settings_, keys::kUpdateMode, true));
    }
    if (!settings_.Get(keys::kExclusions)) controls_.SetText(kIdExclusions, defaults::kExclusions);
}

void MainWindowLogic::ApplySettings() {
    if (!MayRun(Command::LoadSettings)) return;  // the run reads the program lists and backup settings
    if (!settings_.Load(settingsFile_)) return;
    ApplyStore();
}

void MainWindowLogic::ApplyStore() {
    const SettingsStore& s = settings_;
    controls_.SetText(kIdSourceFolder, TextOr(s, keys::kSourceFolder, ""));
    controls_.SetText(kIdTargetFolder, TextOr(s, keys::kTargetFolder, ""));
    controls_.SetText(kIdStartAddress, TextOr(s, keys::kStartAddress, ""));
    controls_.SetText(kIdEndOctet, TextOr(s, keys::kEndOctet, ""));
    controls_.SetText(kIdSharePath, TextOr(s, keys::kSharePath, ""));
    controls_.SetText(kIdExclusions, TextOr(s, keys::kExclusions, ""));
    autoNetInit_ = IntOr(s, keys::kAutoNetInit, 0);
    controls_.SetCheck(kIdSubFolder, CheckOr(s, keys::kSubFolder, true));
    packageTitle_ = TextOr(s, keys::kPackageTitle, "");
    packageBasePath_ = TextOr(s, keys::kPackageBasePath, defaults::kPackageBasePath);
    userBackupPathUse_ = IntOr(s, keys::kUserBackupPathUse, 0);
    userBackupPath_ = TextOr(s, keys::kUserBackupPath, defaults::kUserBackupPath);
    // Only 1 means Network; anything else is taken as Local, so the radio
    // group and the enabled boxes always agree with the mode.
    mode_ = IntOr(s, keys::kOperationMode, 0) == 1 ? OperationMode::Network : OperationMode::Local;
    EnableModeControls(mode_);
    programs_.localOff = s.ReadList(keys::kLocalOff);
    programs_.localOn = s.ReadList(keys::kLocalOn);
    programs_.netOff = s.ReadList(keys::kNetOff);
    programs_.netOn = s.ReadList(keys::kNetOn);
    ShowMode();
}

bool MainWindowLogic::SaveSettings() {
    SettingsStore& s = settings_;
    // Until the first refresh has applied the saved copy list, compareList_
    // does not hold it yet: the file keeps the loaded one.
    const std::vector<std::string> unapplied =
        copyFilesApplied_ ? std::vector<std::string>() : s.ReadList(keys::kCopyFiles);
    s.Clear();  // the file holds exactly these keys, no leftovers of longer lists
    s.Set(keys::kSourceFolder, controls_.GetText(kIdSourceFolder));
    s.Set(keys::kTargetFolder, controls_.GetText(kIdTargetFolder));
    s.Set(keys::kStartAddress, controls_.GetText(kIdStartAddress));
    s.Set(keys::kEndOctet, controls_.GetText(kIdEndOctet));
    s.Set(keys::kSharePath, controls_.GetText(kIdSharePath));
    s.Set(keys::kExclusions, controls_.GetText(kIdExclusions));
    s.Set(keys::kPackageTitle, packageTitle_);
    s.Set(keys::kPackageBasePath, packageBasePath_);
    s.SetInt(keys::kOperationMode, int(mode_));
    s.SetInt(keys::kAutoNetInit, autoNetInit_);
    s.SetInt(keys::kSubFolder, controls_.GetCheck(kIdSubFolder) ? 1 : 0);
    if (copyFilesApplied_) {
        int n = 0;
        for (const CompareRecord& r : compareList_.Records())
            if (r.inCopyList) s.SetListItem(n++, keys::kCopyFiles, RelativeNameOf(r));
    } else {
        SetList(s, keys::kCopyFiles, unapplied);
    }
    s.SetInt(keys::kAutoBackup, controls_.GetCheck(kIdAutoBackup) ? 1 : 0);
    s.SetInt(keys::kUpdateMode, controls_.GetCheck(kIdUpdateMode) ? 1 : 0);
    s.SetInt(keys::kUserBackupPathUse, userBackupPathUse_);
    s.Set(keys::kUserBackupPath, userBackupPath_);
    SetList(s, keys::kLocalOff, programs_.localOff);
    SetList(s, keys::kLocalOn, programs_.localOn);
    SetList(s, keys::kNetOff, programs_.netOff);
    SetList(s, keys::kNetOn, programs_.netOn);
    if (s.Save(settingsFile_)) return true;
    // Saving is the operator's explicit request; a silent failure would let
    // them believe the settings are safe.
    controls_.MessageBox("설정 파일을 저장하지 못했습니다.\r\n" + settingsFile_, kMbOk | kMbIconWarning);
    return false;
}

void MainWindowLogic::SwitchMode() {
    mode_ = controls_.GetCheck(kIdModeNetwork) ? OperationMode::Network : OperationMode::Local;
    EnableModeControls(mode_);
}

void MainWindowLogic::EnableModeControls(OperationMode mode) {
    const bool network = mode == OperationMode::Network;
    controls_.Enable(kIdTargetFolder, !network);
    controls_.Enable(kIdStartAddress, network);
    controls_.Enable(kIdEndOctet, network);
    controls_.Enable(kIdSharePath, network);
}

void MainWindowLogic::ShowMode() {
    controls_.SetCheck(kIdModeLocal, mode_ == OperationMode::Local);
    controls_.SetCheck(kIdModeNetwork, mode_ == OperationMode::Network);
}

void MainWindowLogic::ShowCounts() {
    controls_.SetItemCount(kIdAllFilesList, int(compareList_.Count(ListKind::AllFiles)));
    controls_.SetItemCount(kIdCopyList, int(compareList_.Count(ListKind::Copy)));
    controls_.Redraw(kIdAllFilesList);
    controls_.Redraw(kIdCopyList);
}

bool MainWindowLogic::Refresh() {
    if (!MayRun(Command::Refresh)) return false;
    const size_t previousRootLength = srcRootLength_;
    srcRootLength_ = ScanSource(source_, controls_);
    // An unreachable first PC leaves the previous target scan in place, and
    // the comparison runs against it.
    const bool targetReached = ScanTarget(target_, mode_, controls_, tgtRootLength_);
    range_.startAddress = WithBackslashes(controls_.GetText(kIdStartAddress));
    range_.sharePath = WithBackslashes(controls_.GetText(kIdSharePath));
    range_.endOctet = ParseInt(controls_.GetText(kIdEndOctet));
    const std::string destination = mode_ == OperationMode::Local
                                        ? target_.rootFolder
                                        : range_.startAddress + range_.sharePath + "\\";
    auto fresh = CompareAndCarryOver(compareList_.Records(), previousRootLength, source_.files,
                                     srcRootLength_, target_.files, tgtRootLength_, destination);
    // The saved copy list is restored once, by the first refresh that saw
    // the source's files and reached the target; until then F6 keeps it.
    if (!copyFilesApplied_ && targetReached && !source_.files.empty()) {
        copyFilesApplied_ = true;
        ApplySavedSelection(fresh, srcRootLength_, settings_.ReadList(keys::kCopyFiles));
    }
    compareList_.Assign(std::move(fresh));
    ShowCounts();  // selections are left as they are
    return true;
}

bool MainWindowLogic::Move(ListKind from) {
    if (!MayRun(Command::Move)) return false;
    const int viewId = from == ListKind::AllFiles ? kIdAllFilesList : kIdCopyList;
    std::vector<size_t> rows;
    for (int r : controls_.GetSelectedRows(viewId))
        if (r >= 0) rows.push_back(size_t(r));
    compareList_.MoveRows(from, std::move(rows));
    controls_.ClearSelection(viewId);
    ShowCounts();
    return true;
}

bool MainWindowLogic::MoveSelectedToCopy() { return Move(ListKind::AllFiles); }
bool MainWindowLogic::MoveSelectedBack() { return Move(ListKind::Copy); }

bool MainWindowLogic::MoveAllSourceNewer() {
    if (!MayRun(Command::Move)) return false;
    compareList_.MoveAllSourceNewer();
    controls_.ClearSelection(kIdAllFilesList);
    ShowCounts();
    return true;
}

bool MainWindowLogic::MoveAllBack() {
    if (!MayRun(Command::Move)) return false;
    compareList_.MoveAllBack();
    controls_.ClearSelection(kIdAllFilesList);
    ShowCounts();
    return true;
}

TargetRange MainWindowLogic::RangeNow() {
    TargetRange range = range_;
    range.endOctet = ParseInt(controls_.GetText(kIdEndOctet));
    return range;
}

std::vector<std::string> MainWindowLogic::CopyListTargetPaths() {
    std::vector<std::string> paths;
    const int count = controls_.GetItemCount(kIdCopyList);
    for (int i = 0; i < count; ++i)
        if (const CompareRecord* r = compareList_.RecordAt(ListKind::Copy, size_t(i))) paths.push_back(r->target.path);
    return paths;
}

bool MainWindowLogic::Confirm(const std::string& text) { return controls_.MessageBox(text, kMbYesNo) == kIdYes; }

void MainWindowLogic::Report(control::CommandOutcome outcome) {
    if (outcome == control::CommandOutcome::NoStartAddress)
        controls_.MessageBox(kNoStartAddressText, kMbOk | kMbIconWarning);
}

bool MainWindowLogic::TerminateAll() {
    if (!MayRun(Command::TerminateAll)) return false;
    Report(control::TerminateAll(mode_, CopyListTargetPaths(), programs_, RangeNow(),
                                 [this](const std::string& text) { return Confirm(text); }));
    return true;
}

bool MainWindowLogic::RestartPrograms() {
    if (!MayRun(Command::Restart)) return false;
    Report(control::RestartPrograms(mode_, controls_.GetText(kIdTargetFolder), programs_, RangeNow(),
                                    [this](const std::string& text) { return Confirm(text); }));
    return true;
}

deploy::CopyRunInputs MainWindowLogic::CopyRunInputsNow() {
    deploy::CopyRunInputs in;
    in.mode = mode_;
    in.updateMode = controls_.GetCheck(kIdUpdateMode);
    in.backupOn = controls_.GetCheck(kIdAutoBackup);
    in.range = RangeNow();
    in.targetBox = controls_.GetText(kIdTargetFolder);
    in.shareBox = controls_.GetText(kIdSharePath);
    in.programs = programs_;
    in.userBackupPathUse = userBackupPathUse_;
    in.userBackupPath = userBackupPath_;
    in.records = compareList_.Records();
    return in;
}

void MainWindowLogic::ApplyCopied(size_t record, const FileEntry& target) { compareList_.SetCopied(record, target); }

}  // namespace ui

