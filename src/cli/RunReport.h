#pragma once
// The copy run as the console sees it: the progress window's lines printed
// as they happen (through the same adapter the window uses), one report row
// per PC and file, and the exit code's flags.
#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "deploy/CopyRun.h"
#include "deploy/DryRunEffects.h"
#include "ui/ProgressView.h"
#include "ui/RunProgress.h"

namespace cli {

// Exit code bits.
enum : int {
    kExitNothingToCopy = 0,
    kExitCopied = 1,
    kExitPcNotAnswering = 2,
    kExitFileFailed = 4,      // a copy, a backup, or a copy cancelled by its backup
    kExitWaitOrCommand = 8,   // the agents' wait cut short, or a stop command not written
    kExitFatal = 16,          // settings, source folder, arguments, the report file
};

// One line of the console, without its line break.
using LineSink = std::function<void(const std::string&)>;

// The progress window on a console: every line printed as it comes (a line
// that would replace the last one is printed as a new line). Text that
// starts with line feeds keeps them, the prefix goes after them.
class ConsoleView : public ui::IProgressView {
public:
    ConsoleView(LineSink out, std::string prefix) : out_(std::move(out)), prefix_(std::move(prefix)) {}
    void ShowForRun() override {}
    void ResetLog() override {}
    void ShowIgnoreWaitButton() override {}
    void AddLine(std::string_view text, int newLine) override;
    void SetOpenFolder(std::optional<std::string_view>) override {}
    void StartAutoHide() override {}
    // A line of the front end's own.
    void Print(const std::string& text) { AddLine(text, 1); }

private:
    LineSink out_;
    std::string prefix_;
};

struct ReportRow {
    std::string target;   // the PC's last octet, or the local target folder
    std::string file;     // relative name; empty for a PC's own rows
    std::string outcome;  // copied, copy-failed, copy-cancelled, backed-up, backup-failed,
                          // pc-not-answering, stop-command-written, stop-command-failed,
                          // agent-answered, wait-cut-short
    std::string detail;   // the path concerned, with the system's reason for a failure
};

// One CSV field: quoted when it holds a comma, a quote, a line break, or
// starts with a character a spreadsheet would take for a formula.
std::string CsvField(std::string_view text);
// The header and one line per row, CR LF ended; dryRun marks every row.
std::string ReportCsv(const std::vector<ReportRow>& rows, bool dryRun);

class CliRunReport : public deploy::IRunReport {
public:
    // srcRootLength: of the refresh that made the inputs' records. dry: the
    // dry run's effects, or nullptr for a real run.
    CliRunReport(const deploy::CopyRunInputs& in, size_t srcRootLength, int waitSeconds, ConsoleView& view,
                 const deploy::DryRunEffects* dry);

    void Shown() override { progress_.Shown(); }
    void BackupPreparing() override { progress_.BackupPreparing(); }
    void BackupPrepared(const std::string& folder) override { progress_.BackupPrepared(folder); }
    void RunBegun() override { progress_.RunBegun(); }
    void ProgramsStopping(OperationMode mode, const std::vector<std::string>& stopList) override {
        progress_.ProgramsStopping(mode, stopList);
    }
    void WaitCanBeStopped() override { progress_.WaitCanBeStopped(); }
    void PcChecked(int octet, const std::string& pcRoot, bool answered) override;
    void StopCommandSkipped(const std::string& pcRoot) override { progress_.StopCommandSkipped(pcRoot); }
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
    void AutoHide() override { progress_.AutoHide(); }
    void Restarting(OperationMode mode, const std::vector<std::string>& startList) override {
        progress_.Restarting(mode, startList);
    }
    void RestartCancelled() override { progress_.RestartCancelled(); }
    void Finished() override { progress_.Finished(); }
    bool StopWaitRequested() override;

    const std::vector<ReportRow>& Rows() const { return rows_; }
    int ExitFlags() const { return flags_; }

private:
    std::string Relative(size_t record) const;
    std::string FileOfSource(const std::string& source) const;
    std::string FileOfTarget(const std::string& target) const;
    void Row(std::string file, std::string outcome, std::string detail);
    void EndOfWait();

    const deploy::CopyRunInputs& in_;
    size_t srcRootLength_;
    int waitSeconds_;
    ConsoleView& view_;
    const deploy::DryRunEffects* dry_;
    std::atomic<int> noOperator_{0};  // nobody presses the ignore-wait button here
    ui::RunProgress progress_;

    std::map<std::string, size_t> bySource_;
    std::map<std::string, size_t> byTarget_;  // for the PC being copied to
    std::map<std::string, int> octetOf_;
    std::string current_;                     // target column of the rows being made
    std::vector<std::pair<int, bool>> commands_;  // octet, written
    bool waitOpen_ = false;
    bool waitSeen_ = false;
    double lastSeconds_ = 0;
    double printedSeconds_ = -1;
    std::vector<int> waiting_, printedWaiting_;
    bool cut_ = false;
    std::vector<ReportRow> rows_;
    int flags_ = 0;
};

}  // namespace cli
