#pragma once
// The copy run: the copy list copied to the local target folder or to every
// PC of the range, with backup, program control and echo checks around it.
// A plain function of its inputs (a snapshot taken when the command starts),
// the effects it has on the world, and a report of every step; no thread,
// no window. The window, the console front end and a dry run differ only in
// the report and the effects they pass.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compare/Compare.h"
#include "control/CommandFile.h"
#include "control/OperationMode.h"
#include "control/ProgramControl.h"
#include "control/TargetRange.h"
#include "package/BatchScripts.h"
#include "platform/FileCopy.h"

namespace deploy {

struct CopyRunInputs {
    OperationMode mode = OperationMode::Local;
    bool updateMode = false;
    bool backupOn = false;
    // Start address and share path of the last refresh, with the end value
    // the box showed when the run started.
    TargetRange range;
    std::string targetBox;  // the target folder box, for the backup's label
    std::string shareBox;   // the share path box, for the backup's label
    control::ProgramLists programs;
    int userBackupPathUse = 0;
    std::string userBackupPath;
    // compareList in its order; the copy list is the records with inCopyList.
    std::vector<CompareRecord> records;
};

// What the run does to the world. The real implementation works on files,
// processes and the network; a dry run's only records.
class IRunEffects {
public:
    virtual ~IRunEffects() = default;
    // Called from several threads at once.
    virtual bool IsUnreachable(const std::string& address) = 0;
    virtual bool WriteCommandFile(const std::string& pcRoot, RemoteCommand command,
                                  const control::ProgramLists& programs) = 0;
    virtual bool CommandFilePending(const std::string& pcRoot) = 0;
    virtual void TerminateLocalPrograms(const std::vector<std::string>& copyTargetPaths,
                                        const control::ProgramLists& programs) = 0;
    virtual void RestartPrograms(OperationMode mode, const std::string& targetFolder,
                                 const control::ProgramLists& programs, const TargetRange& range) = 0;
    virtual void MakeDir(const std::string& path) = 0;
    virtual void WriteRecoveryScript(const std::string& path, const ScriptValues& values) = 0;
    // The backup copy: never over an existing file, never half-written.
    virtual platform::CopyOutcome CopyAsNew(const std::string& from, const std::string& to) = 0;
    // The deployment copy: replaces the target in one step or not at all.
    virtual platform::CopyOutcome CopyReplacing(const std::string& from, const std::string& to) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    virtual std::string CurrentDir() = 0;
    // The local date now; false when the clock cannot be converted.
    virtual bool Today(int& year, int& month, int& day) = 0;
    virtual uint32_t TickCount() = 0;
    virtual void Sleep(int milliseconds) = 0;
};

// One event per step of the run, in the order they happen, and the poll for
// the operator's stop of the wait.
class IRunReport {
public:
    virtual ~IRunReport() = default;
    virtual void Shown() = 0;
    virtual void BackupPreparing() = 0;
    virtual void BackupPrepared(const std::string& backupFolder) = 0;
    virtual void RunBegun() = 0;
    // Update mode: the stop list of the mode, before the programs are stopped.
    virtual void ProgramsStopping(OperationMode mode, const std::vector<std::string>& stopList) = 0;
    virtual void WaitCanBeStopped() = 0;
    virtual void PcChecked(int octet, const std::string& pcRoot, bool answered) = 0;
    virtual void StopCommandSkipped(const std::string& pcRoot) = 0;
    virtual void StopCommandSent(const std::string& pcRoot, bool written) = 0;
    // first: the first line of the wait; later ones replace it.
    virtual void AgentsAwaited(double seconds, const std::vector<int>& octets, bool first) = 0;
    virtual void WaitStoppedByOperator() = 0;
    virtual void PcSkipped(const std::string& pcRoot, int files) = 0;
    virtual void PcBegun(const std::string& pcRoot) = 0;
    virtual void BackedUp(const std::string& target, const std::string& backup) = 0;
    // error 0: a file of that name was already backed up in this run.
    virtual void BackupFailed(const std::string& target, const std::string& backup, uint32_t error) = 0;
    virtual void CopyCancelled(const std::string& source, const std::string& target) = 0;
    // record: index in the inputs' records; newTarget: its target entry now.
    virtual void Copied(size_t record, const std::string& source, const std::string& target,
                        const FileEntry& newTarget) = 0;
    virtual void CopyFailed(const std::string& source, const std::string& target, uint32_t error) = 0;
    virtual void Summary(int successes, int failures) = 0;
    virtual void AutoHide() = 0;
    virtual void Restarting(OperationMode mode, const std::vector<std::string>& startList) = 0;
    virtual void RestartCancelled() = 0;
    // The last step: the copy list shows the records' new results.
    virtual void Finished() = 0;
    virtual bool StopWaitRequested() = 0;
};

struct CopyRunResult {
    bool ran = false;  // false: nothing in the copy list, nothing shown
    int successes = 0;
    int failures = 0;
    std::string backupFolder;  // empty without backup
};

// "C:\Quorvel\<label>_YYYYMMDD\", or below the user backup path in Network
// mode when it is in use and set.
std::string BackupFolderFor(OperationMode mode, int userBackupPathUse, const std::string& userBackupPath,
                            const std::string& label, int year, int month, int day);

// The octets the run visits: none without a usable start address.
std::vector<int> RunOctets(const TargetRange& range);

// How many echo checks are in flight at once: a range never holds more than
// 256 PCs, so every PC of a range is checked at the same time and the stage
// lasts about one time-out however many PCs are off.
constexpr int kEchoParallel = 256;

// Echo checks of many PCs at once (at most `parallel` in flight), results in
// the order of `addresses`, as if checked one after another.
std::vector<bool> CheckAnswering(IRunEffects& effects, const std::vector<std::string>& addresses,
                                 int parallel = kEchoParallel);

CopyRunResult CopyRun(const CopyRunInputs& inputs, IRunEffects& effects, IRunReport& report);

// The effects on the real world, through the platform seam.
class RealEffects : public IRunEffects {
public:
    bool IsUnreachable(const std::string& address) override;
    bool WriteCommandFile(const std::string& pcRoot, RemoteCommand command,
                          const control::ProgramLists& programs) override;
    bool CommandFilePending(const std::string& pcRoot) override;
    void TerminateLocalPrograms(const std::vector<std::string>& copyTargetPaths,
                                const control::ProgramLists& programs) override;
    void RestartPrograms(OperationMode mode, const std::string& targetFolder, const control::ProgramLists& programs,
                         const TargetRange& range) override;
    void MakeDir(const std::string& path) override;
    void WriteRecoveryScript(const std::string& path, const ScriptValues& values) override;
    platform::CopyOutcome CopyAsNew(const std::string& from, const std::string& to) override;
    platform::CopyOutcome CopyReplacing(const std::string& from, const std::string& to) override;
    bool FileExists(const std::string& path) override;
    std::string CurrentDir() override;
    bool Today(int& year, int& month, int& day) override;
    uint32_t TickCount() override;
    void Sleep(int milliseconds) override;
};

// Where a copy is made before it is renamed onto its target.
std::string TemporaryPathFor(const std::string& target);

}  // namespace deploy
