#pragma once
// The main window without its window: all state the commands share, and the
// commands themselves, reading and writing controls by id through IControls.
#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "compare/Compare.h"
#include "compare/FileUtil.h"
#include "control/OperationMode.h"
#include "control/ProgramControl.h"
#include "control/TargetRange.h"
#include "deploy/CopyRun.h"
#include "package/PackageBuilder.h"
#include "settings/SettingsStore.h"
#include "ui/Controls.h"
#include "ui/ScanPaths.h"

namespace ui {

// The executable's path with the text after the last '.' of its file name
// replaced by "ini" (".ini" appended when the name has no '.').
std::string SettingsFileNameFor(std::string_view exePath);

using control::ProgramLists;

// The settings that no control shows: they change only through the settings
// file, are written back unchanged, and are handed to the runs as one value.
struct StoredSettings {
    int autoNetInit = 0;  // carried from the file back into the file, used by nothing
    std::string packageTitle;
    std::string packageBasePath;
    int userBackupPathUse = 0;
    std::string userBackupPath;
    ProgramLists programs;
};

// Told to the operator when a network command has no usable start address.
extern const char* const kNoStartAddressText;

// The window's commands, for the one rule of what a run allows.
enum class Command {
    Refresh,        // F5, button 1008, the start-up timer
    Move,           // the move buttons, double clicks, the menu's moves
    LoadSettings,   // the hidden button 1002
    BuildPackage,   // button 1025
    CopyRun,        // F7, button 1011
    SaveSettings,   // F6, button 1001
    TerminateAll,   // F2, button 1026
    Restart,        // F3, button 1027
};

// Whether a command is refused while a copy run or a package build lasts:
// those that would change what the run reads (the records, the lists, the
// settings it took) or start a second run.
bool RefusedDuringRun(Command command);

class MainWindowLogic {
public:
    // settingsFile defaults to the one named after the running executable.
    explicit MainWindowLogic(IControls& controls, std::string settingsFile = {});

    // Start-up: mode Local shown and enabled, the default box texts, then the
    // settings file if there is one (with the two check boxes only it sets)
    // and the default exclusions when the file named none.
    void StartUp();

    // Reads the settings file and applies it; nothing changes when it cannot
    // be read.
    void ApplySettings();
    // Writes the window's settings; tells the operator when that failed.
    bool SaveSettings();

    // A radio button of the mode group was clicked: the mode follows them.
    void SwitchMode();

    // Rescans both sides and rebuilds the lists. The commands below return
    // false, doing nothing, while a copy run reads the records.
    bool Refresh();
    bool MoveSelectedToCopy();
    bool MoveSelectedBack();
    bool MoveAllSourceNewer();
    bool MoveAllBack();

    // F2 and button 1026: control::TerminateAll over the copy list, the
    // program lists and the range of the last refresh with the end value the
    // box shows now, after the operator's yes in Network mode. A network
    // range without a usable start address writes nothing and tells the
    // operator. Usable during a run: it changes nothing the run reads.
    bool TerminateAll();
    // F3 and button 1027: control::RestartPrograms likewise (Local asks
    // nothing).
    bool RestartPrograms();
    // The range of the last refresh with the end value the box shows now.
    TargetRange RangeNow();
    // Target paths of the copy list, in the order of list 1007.
    std::vector<std::string> CopyListTargetPaths();

    // The copy run's inputs as the window holds them now: taken on the
    // user-interface thread when the command starts, so the worker never
    // reads a control or the records.
    deploy::CopyRunInputs CopyRunInputsNow();
    // The package builder's inputs as the window holds them now (after the
    // refresh that starts the build).
    package::PackageInputs PackageInputsNow();
    // A record copied by the run (user-interface thread): its new target
    // entry, result Same.
    void ApplyCopied(size_t record, const FileEntry& target);

    // Row n of a shown list, nullptr when out of range.
    const CompareRecord* RecordAt(ListKind list, size_t n) const { return compareList_.RecordAt(list, n); }
    const std::vector<CompareRecord>& Records() const { return compareList_.Records(); }
    // Relative name of a record of the current list.
    std::string_view RelativeNameOf(const CompareRecord& r) const {
        return RelativeName(r.source.path, srcRootLength_);
    }

    // False while a run lasts for the commands RefusedDuringRun names.
    bool MayRun(Command command) const { return !(RunActive() && RefusedDuringRun(command)); }
    // Set by the command that starts a run, cleared when the run has ended.
    void SetRunActive(bool active) { runActive_.store(active); }
    bool RunActive() const { return runActive_.load(); }

    const std::string& SettingsFile() const { return settingsFile_; }
    const SettingsStore& Settings() const { return settings_; }
    OperationMode Mode() const { return mode_; }
    const TargetRange& Range() const { return range_; }
    const ProgramLists& Programs() const { return stored_.programs; }
    const StoredSettings& Stored() const { return stored_; }
    const CqvFileUtil& SourceScanner() const { return source_; }
    const CqvFileUtil& TargetScanner() const { return target_; }
    size_t SrcRootLength() const { return srcRootLength_; }
    size_t TgtRootLength() const { return tgtRootLength_; }
    bool CopyFilesApplied() const { return copyFilesApplied_; }
    int AutoNetInit() const { return stored_.autoNetInit; }
    const std::string& PackageTitle() const { return stored_.packageTitle; }
    const std::string& PackageBasePath() const { return stored_.packageBasePath; }
    int UserBackupPathUse() const { return stored_.userBackupPathUse; }
    const std::string& UserBackupPath() const { return stored_.userBackupPath; }

private:
    void ApplyStore();
    void EnableModeControls(OperationMode mode);
    void ShowMode();
    void ShowCounts();
    bool Move(ListKind from);
    bool Confirm(const std::string& text);
    void Report(control::CommandOutcome outcome);

    IControls& controls_;
    std::string settingsFile_;
    SettingsStore settings_;
    CqvFileUtil source_;
    CqvFileUtil target_;
    CompareList compareList_;
    size_t srcRootLength_ = 0;
    size_t tgtRootLength_ = 0;
    bool copyFilesApplied_ = false;
    TargetRange range_;
    OperationMode mode_ = OperationMode::Local;
    StoredSettings stored_;
    std::atomic<bool> runActive_{false};
};

}  // namespace ui
