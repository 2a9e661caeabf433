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

namespace {

// Every key of the settings file in the order SaveSettings writes it, with
// what it feeds. Loading and saving both walk this one table, so a box
// cannot be saved without being loaded, or the other way round.
enum class Feeds {
    Box,         // the text of a box; a missing key empties it
    Check,       // a check box; a missing key checks it
    StartCheck,  // a check box set only by the start-up sequence
    Mode,        // OperationMode and the radio group
    Text,        // a stored text
    Number,      // a stored integer
    CopyList,    // the saved copy list, applied by the first refresh
    Programs,    // a program list
};

struct KeyRow {
    const char* key;
    Feeds feeds;
    int control = 0;
    std::string StoredSettings::*text = nullptr;
    int StoredSettings::*number = nullptr;
    std::vector<std::string> ProgramLists::*list = nullptr;
    const char* missing = "";  // a stored text's value when the key is missing
};

const KeyRow kKeyTable[] = {
    {keys::kSourceFolder, Feeds::Box, kIdSourceFolder},
    {keys::kTargetFolder, Feeds::Box, kIdTargetFolder},
    {keys::kStartAddress, Feeds::Box, kIdStartAddress},
    {keys::kEndOctet, Feeds::Box, kIdEndOctet},
    {keys::kSharePath, Feeds::Box, kIdSharePath},
    {keys::kExclusions, Feeds::Box, kIdExclusions},
    {keys::kPackageTitle, Feeds::Text, 0, &StoredSettings::packageTitle},
    {keys::kPackageBasePath, Feeds::Text, 0, &StoredSettings::packageBasePath, nullptr, nullptr,
     defaults::kPackageBasePath},
    {keys::kOperationMode, Feeds::Mode},
    {keys::kAutoNetInit, Feeds::Number, 0, nullptr, &StoredSettings::autoNetInit},
    {keys::kSubFolder, Feeds::Check, kIdSubFolder},
    {keys::kCopyFiles, Feeds::CopyList},
    {keys::kAutoBackup, Feeds::StartCheck, kIdAutoBackup},
    {keys::kUpdateMode, Feeds::StartCheck, kIdUpdateMode},
    {keys::kUserBackupPathUse, Feeds::Number, 0, nullptr, &StoredSettings::userBackupPathUse},
    {keys::kUserBackupPath, Feeds::Text, 0, &StoredSettings::userBackupPath, nullptr, nullptr,
     defaults::kUserBackupPath},
    {keys::kLocalOff, Feeds::Programs, 0, nullptr, nullptr, &ProgramLists::localOff},
    {keys::kLocalOn, Feeds::Programs, 0, nullptr, nullptr, &ProgramLists::localOn},
    {keys::kNetOff, Feeds::Programs, 0, nullptr, nullptr, &ProgramLists::netOff},
    {keys::kNetOn, Feeds::Programs, 0, nullptr, nullptr, &ProgramLists::netOn},
};

}  // namespace

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
        for (const KeyRow& row : kKeyTable)
            if (row.feeds == Feeds::StartCheck) controls_.SetCheck(row.control, CheckOr(settings_, row.key, true));
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
    for (const KeyRow& row : kKeyTable) {
        switch (row.feeds) {
        case Feeds::Box:
            controls_.SetText(row.control, TextOr(s, row.key, ""));
            break;
        case Feeds::Check:
            controls_.SetCheck(row.control, CheckOr(s, row.key, true));
            break;
        case Feeds::Mode:
            // Only 1 means Network; anything else is taken as Local, so the
            // radio group and the enabled boxes always agree with the mode.
            mode_ = IntOr(s, row.key, 0) == 1 ? OperationMode::Network : OperationMode::Local;
            EnableModeControls(mode_);
            break;
        case Feeds::Text:
            stored_.*row.text = TextOr(s, row.key, row.missing);
            break;
        case Feeds::Number:
            stored_.*row.number = IntOr(s, row.key, 0);
            break;
        case Feeds::Programs:
            stored_.programs.*row.list = s.ReadList(row.key);
            break;
        case Feeds::StartCheck:  // the start-up sequence's
        case Feeds::CopyList:    // the first refresh's
            break;
        }
    }
    ShowMode();
}

bool MainWindowLogic::SaveSettings() {
    SettingsStore& s = settings_;
    // Until the first refresh has applied the saved copy list, compareList_
    // does not hold it yet: the file keeps the loaded one.
    const std::vector<std::string> unapplied =
        copyFilesApplied_ ? std::vector<std::string>() : s.ReadList(keys::kCopyFiles);
    s.Clear();  // the file holds exactly these keys, no leftovers of longer lists
    for (const KeyRow& row : kKeyTable) {
        switch (row.feeds) {
        case Feeds::Box:
            s.Set(row.key, controls_.GetText(row.control));
            break;
        case Feeds::Check:
        case Feeds::StartCheck:
            s.SetInt(row.key, controls_.GetCheck(row.control) ? 1 : 0);
            break;
        case Feeds::Mode:
            s.SetInt(row.key, int(mode_));
            break;
        case Feeds::Text:
            s.Set(row.key, stored_.*row.text);
            break;
        case Feeds::Number:
            s.SetInt(row.key, stored_.*row.number);
            break;
        case Feeds::Programs:
            SetList(s, row.key, stored_.programs.*row.list);
            break;
        case Feeds::CopyList:
            if (copyFilesApplied_) {
                int n = 0;
                for (const CompareRecord& r : compareList_.Records())
                    if (r.inCopyList) s.SetListItem(n++, row.key, RelativeNameOf(r));
            } else {
                SetList(s, row.key, unapplied);
            }
            break;
        }
    }
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
    Report(control::TerminateAll(mode_, CopyListTargetPaths(), stored_.programs, RangeNow(),
                                 [this](const std::string& text) { return Confirm(text); }));
    return true;
}

bool MainWindowLogic::RestartPrograms() {
    if (!MayRun(Command::Restart)) return false;
    Report(control::RestartPrograms(mode_, controls_.GetText(kIdTargetFolder), stored_.programs, RangeNow(),
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
    in.programs = stored_.programs;
    in.userBackupPathUse = stored_.userBackupPathUse;
    in.userBackupPath = stored_.userBackupPath;
    in.records = compareList_.Records();
    return in;
}

package::PackageInputs MainWindowLogic::PackageInputsNow() {
    package::PackageInputs in;
    in.mode = mode_;
    in.range = RangeNow();
    in.targetBox = controls_.GetText(kIdTargetFolder);
    in.shareBox = controls_.GetText(kIdSharePath);
    in.title = stored_.packageTitle;
    in.basePath = stored_.packageBasePath;
    in.sourceRoot = source_.rootFolder;
    in.records = compareList_.Records();
    return in;
}

void MainWindowLogic::ApplyCopied(size_t record, const FileEntry& target) { compareList_.SetCopied(record, target); }

}  // namespace ui

