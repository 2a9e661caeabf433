#include "cli/RunReport.h"

#include <algorithm>

#include "compare/PathUtil.h"
#include "control/CommandFile.h"
#include "platform/FileCopy.h"

namespace cli {

void ConsoleView::AddLine(std::string_view text, int) {
    size_t feeds = 0;
    while (feeds < text.size() && text[feeds] == '\n') ++feeds;
    for (size_t i = 0; i < feeds; ++i) out_(std::string());
    const std::string_view rest = text.substr(feeds);
    out_(rest.empty() ? std::string() : prefix_ + std::string(rest));
}

std::string CsvField(std::string_view text) {
    const bool formula = !text.empty() && std::string_view("=+-@").find(text[0]) != std::string_view::npos;
    if (!formula && text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    // A leading apostrophe keeps a spreadsheet from running the cell.
    if (formula) out += '\'';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string ReportCsv(const std::vector<ReportRow>& rows, bool dryRun) {
    std::string out = "target,file,outcome,detail,run\r\n";
    const char* run = dryRun ? "dry-run" : "copy";
    for (const ReportRow& r : rows)
        out += CsvField(r.target) + "," + CsvField(r.file) + "," + CsvField(r.outcome) + "," + CsvField(r.detail) +
               "," + run + "\r\n";
    return out;
}

CliRunReport::CliRunReport(const deploy::CopyRunInputs& in, size_t srcRootLength, int waitSeconds,
                           ConsoleView& view, const deploy::DryRunEffects* dry)
    : in_(in),
      srcRootLength_(srcRootLength),
      waitSeconds_(waitSeconds),
      view_(view),
      dry_(dry),
      progress_(view, noOperator_) {
    for (size_t i = 0; i < in.records.size(); ++i) {
        if (!in.records[i].inCopyList) continue;
        bySource_.emplace(in.records[i].source.path, i);
        byTarget_.emplace(in.records[i].target.path, i);
    }
    current_ = in.targetBox;
}

std::string CliRunReport::Relative(size_t record) const {
    return std::string(RelativeName(in_.records[record].source.path, srcRootLength_));
}

std::string CliRunReport::FileOfSource(const std::string& source) const {
    auto it = bySource_.find(source);
    return it == bySource_.end() ? source : Relative(it->second);
}

std::string CliRunReport::FileOfTarget(const std::string& target) const {
    auto it = byTarget_.find(target);
    return it == byTarget_.end() ? target : Relative(it->second);
}

void CliRunReport::Row(std::string file, std::string outcome, std::string detail) {
    rows_.push_back({current_, std::move(file), std::move(outcome), std::move(detail)});
}

namespace {

std::string Reason(uint32_t error) {
    return platform::ErrorText(error) + " (" + std::to_string(error) + ")";
}

}  // namespace

void CliRunReport::PcChecked(int octet, const std::string& pcRoot, bool answered) {
    octetOf_[pcRoot] = octet;
    if (!answered) flags_ |= kExitPcNotAnswering;
    progress_.PcChecked(octet, pcRoot, answered);
}

void CliRunReport::StopCommandSent(const std::string& pcRoot, bool written) {
    progress_.StopCommandSent(pcRoot, written);
    const int octet = octetOf_[pcRoot];
    current_ = std::to_string(octet);
    Row("", written ? "stop-command-written" : "stop-command-failed", CommandFileName(pcRoot));
    if (!written) flags_ |= kExitWaitOrCommand;
    commands_.emplace_back(octet, written);
    waitOpen_ = true;
}

void CliRunReport::AgentsAwaited(double seconds, const std::vector<int>& octets, bool first) {
    waitSeen_ = true;
    lastSeconds_ = seconds;
    waiting_ = octets;
    // A console cannot rewrite a line: print the count-up when the PCs
    // waited for change, and otherwise every five seconds.
    if (first || octets != printedWaiting_ || seconds - printedSeconds_ >= 5.0) {
        progress_.AgentsAwaited(seconds, octets, first);
        printedSeconds_ = seconds;
        printedWaiting_ = octets;
    }
}

bool CliRunReport::StopWaitRequested() {
    // Polled once per half-second pass of the wait, before that pass's line:
    // the pass after the last line would end at lastSeconds_ + 0.5. The wait
    // is cut only after its first line, so even --wait 0 looks at every PC
    // once and the report can tell which agents had answered.
    if (waitSeen_ && lastSeconds_ + 0.5 >= waitSeconds_) cut_ = true;
    return cut_;
}

void CliRunReport::WaitStoppedByOperator() {
    // No operator here: say what ended the wait instead of the window's line.
    view_.Print("  대기 시간 " + std::to_string(waitSeconds_) +
                "초가 지나 명령 대기를 멈추고 복사 진행을 수행 합니다 (명령수행대기 무시)");
}

void CliRunReport::EndOfWait() {
    if (!waitOpen_) return;
    waitOpen_ = false;
    if (dry_) {
        view_.Print("  에이전트의 명령 수행완료 대기는 모의 실행에서 하지 않습니다 (최대 " +
                    std::to_string(waitSeconds_) + "초)");
        return;
    }
    // A PC whose file could not be written is not waited for by name.
    for (const auto& [octet, written] : commands_) {
        if (!written) continue;
        current_ = std::to_string(octet);
        const bool stillWaiting = cut_ && std::find(waiting_.begin(), waiting_.end(), octet) != waiting_.end();
        if (stillWaiting) flags_ |= kExitWaitOrCommand;
        Row("", stillWaiting ? "wait-cut-short" : "agent-answered",
            stillWaiting ? "명령 파일이 " + std::to_string(waitSeconds_) + "초 안에 수행되지 않음" : std::string());
    }
}

void CliRunReport::PcSkipped(const std::string& pcRoot, int files) {
    EndOfWait();
    progress_.PcSkipped(pcRoot, files);
    current_ = std::to_string(octetOf_[pcRoot]);
    flags_ |= kExitPcNotAnswering;
    for (size_t i = 0; i < in_.records.size(); ++i)
        if (in_.records[i].inCopyList) Row(Relative(i), "pc-not-answering", pcRoot);
}

void CliRunReport::PcBegun(const std::string& pcRoot) {
    EndOfWait();
    progress_.PcBegun(pcRoot);
    const int octet = octetOf_[pcRoot];
    current_ = std::to_string(octet);
    byTarget_.clear();
    for (size_t i = 0; i < in_.records.size(); ++i)
        if (in_.records[i].inCopyList) byTarget_.emplace(in_.range.PcPath(octet, in_.records[i].target.path), i);
}

void CliRunReport::BackedUp(const std::string& target, const std::string& backup) {
    progress_.BackedUp(target, backup);
    std::string detail = backup;
    if (dry_ && dry_->BackupExisted(backup)) detail += " (이미 있는 백업을 그대로 둠)";
    Row(FileOfTarget(target), "backed-up", detail);
}

void CliRunReport::BackupFailed(const std::string& target, const std::string& backup, uint32_t error) {
    progress_.BackupFailed(target, backup, error);
    view_.Print(error == 0 ? "  => 같은 이름의 다른 파일이 이미 백업됨" : "  => " + Reason(error));
    flags_ |= kExitFileFailed;
    Row(FileOfTarget(target), "backup-failed",
        error == 0 ? "같은 이름의 다른 파일이 이미 백업됨: " + backup : Reason(error) + ": " + backup);
}

void CliRunReport::CopyCancelled(const std::string& source, const std::string& target) {
    progress_.CopyCancelled(source, target);
    flags_ |= kExitFileFailed;
    Row(FileOfSource(source), "copy-cancelled", target);
}

void CliRunReport::Copied(size_t record, const std::string& source, const std::string& target,
                          const FileEntry& newTarget) {
    progress_.Copied(record, source, target, newTarget);
    flags_ |= kExitCopied;
    Row(Relative(record), "copied", target);
}

void CliRunReport::CopyFailed(const std::string& source, const std::string& target, uint32_t error) {
    progress_.CopyFailed(source, target, error);
    view_.Print("  => " + Reason(error));
    flags_ |= kExitFileFailed;
    Row(FileOfSource(source), "copy-failed", Reason(error) + ": " + target);
}

void CliRunReport::Summary(int successes, int failures) {
    EndOfWait();
    progress_.Summary(successes, failures);
}

}  // namespace cli
