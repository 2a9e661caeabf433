#pragma once
// The copy run's events as the progress window's lines: the one place where
// the run's Korean texts are made. Record updates go to a callback, which the
// window carries out on its own thread.
#include <atomic>
#include <functional>
#include <string>

#include "deploy/CopyRun.h"
#include "ui/ProgressView.h"

namespace ui {

class RunProgress : public deploy::IRunReport {
public:
    // stopWait: the main window's runControl (1 once the operator pressed
    // the ignore-wait button). onCopied: a record's new target entry.
    RunProgress(IProgressView& view, const std::atomic<int>& stopWait,
                std::function<void(size_t record, const FileEntry& target)> onCopied = nullptr,
                std::function<void()> onFinished = nullptr);

    void Shown() override;
    void BackupPreparing() override;
    void BackupPrepared(const std::string& backupFolder) override;
    void RunBegun() override;
    void ProgramsStopping(OperationMode mode, const std::vector<std::string>& stopList) override;
    void WaitCanBeStopped() override;
    void PcChecked(int octet, const std::string& pcRoot, bool answered) override;
    void StopCommandSkipped(const std::string& pcRoot) override;
    void StopCommandSent(const std::string& pcRoot, bool written) override;
    void AgentsAwaited(double seconds, const std::vector<int>& octets, bool first) override;
    void WaitStoppedByOperator() override;
    void PcSkipped(const std::string& pcRoot, int files) override;
    void PcBegun(const std::string& pcRoot) override;
    void BackedUp(const std::string& target, const std::string& backup) override;
    void BackupFailed(const std::string& target, const std::string& backup, uint32_t error) override;
    void CopyCancelled(const std::string& source, const std::string& target) override;
    void Copied(size_t record, const std::string& source, const std::string& target,
                const FileEntry& newTarget) override;
    void CopyFailed(const std::string& source, const std::string& target, uint32_t error) override;
    void Summary(int successes, int failures) override;
    void AutoHide() override;
    void Restarting(OperationMode mode, const std::vector<std::string>& startList) override;
    void RestartCancelled() override;
    void Finished() override;
    bool StopWaitRequested() override;

private:
    void Line(const std::string& text) { view_.AddLine(text, 1); }
    void List(const std::vector<std::string>& programs);

    IProgressView& view_;
    const std::atomic<int>& stopWait_;
    std::function<void(size_t, const FileEntry&)> onCopied_;
    std::function<void()> onFinished_;
};

}  // namespace ui
