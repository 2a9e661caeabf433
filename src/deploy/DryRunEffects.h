#pragma once
// A dry run: the copy run's own steps over effects that change nothing. The
// echo checks go to the real network (through another set of effects); every
// other step is recorded, and its outcome predicted from what can be seen
// now: a missing source or target folder, a target that cannot be written
// (read-only, held by a program), a backup file that already exists. Folders
// and backup files the run would have made count as made for the steps after
// them, so a later step sees what the real run would see.
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "deploy/CopyRun.h"

namespace deploy {

struct DryRunAction {
    enum class Kind {
        MakeDir,          // path: the folder
        RecoveryScript,   // path: the script
        CommandFile,      // path: the PC's command file
        TerminateLocal,   // programs: the local stop list
        Restart,          // programs: the start list of the mode
    };
    Kind kind = Kind::MakeDir;
    std::string path;
    bool wouldSucceed = true;
    std::vector<std::string> programs;
};

class DryRunEffects : public IRunEffects {
public:
    // echo: the effects whose echo checks, clock and date the run uses (the
    // real ones, or a test's); nothing is written through them.
    explicit DryRunEffects(IRunEffects& echo, std::function<void(const DryRunAction&)> onAction = nullptr);

    bool IsUnreachable(const std::string& address) override;
    // Predicted written when the PC's Jobkeeper folder can be seen.
    bool WriteCommandFile(const std::string& pcRoot, RemoteCommand command,
                          const control::ProgramLists& programs) override;
    // No command file was written, so nothing is waited for.
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

    // True when the backup file was already there before the run (kept from
    // an earlier run of the day), so the run would keep it and copy nothing.
    bool BackupExisted(const std::string& backup) const;

private:
    bool Exists(const std::string& path) const;
    void Tell(const DryRunAction& action);

    IRunEffects& echo_;
    std::function<void(const DryRunAction&)> onAction_;
    std::set<std::string> made_;            // folders and files the run would have made
    std::set<std::string> existingBackups_;
    mutable std::mutex mutex_;              // the echo checks run on several threads; the rest on one
};

}  // namespace deploy
