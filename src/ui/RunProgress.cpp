#include "ui/RunProgress.h"

#include <cstdio>

namespace ui {
namespace {

std::string Format2(const char* format, const std::string& a, const std::string& b) {
    std::string out = format;
    // Two %s in order; the values may hold any byte, so no printf.
    const size_t p1 = out.find("%s");
    out.replace(p1, 2, a);
    const size_t p2 = out.find("%s", p1 + a.size());
    out.replace(p2, 2, b);
    return out;
}

}  // namespace

RunProgress::RunProgress(IProgressView& view, const std::atomic<int>& stopWait,
                         std::function<void(size_t, const FileEntry&)> onCopied, std::function<void()> onFinished)
    : view_(view), stopWait_(stopWait), onCopied_(std::move(onCopied)), onFinished_(std::move(onFinished)) {}

void RunProgress::Shown() { view_.ShowForRun(); }

void RunProgress::BackupPreparing() { Line("백업 전처리 수행"); }

void RunProgress::BackupPrepared(const std::string&) {}

void RunProgress::RunBegun() { Line("복사 실행"); }

void RunProgress::List(const std::vector<std::string>& programs) {
    for (size_t i = 0; i < programs.size(); ++i) Line("  " + std::to_string(i) + ", " + programs[i]);
}

void RunProgress::ProgramsStopping(OperationMode mode, const std::vector<std::string>& stopList) {
    Line("");
    if (mode == OperationMode::Local) {
        Line("\n업데이트를 위해 로컬 프로그램을 제어 합니다.");
        Line(" 로컬 프로그램 제어 리스트");
    } else {
        Line("\n업데이트를 위해 네트워크 프로그램을 제어 합니다.");
        Line(" 네트워크 프로그램 제어 리스트");
    }
    List(stopList);
}

void RunProgress::WaitCanBeStopped() { view_.ShowIgnoreWaitButton(); }

void RunProgress::PcChecked(int, const std::string&, bool) {}

void RunProgress::StopCommandSkipped(const std::string& pcRoot) {
    Line("  핑테스트 오류로 (프로그램 종료 명령어)명령 전달 스킵 - " + pcRoot);
}

void RunProgress::StopCommandSent(const std::string& pcRoot, bool written) {
    Line(Format2(" 프로그램 종료 명령어 전송 %s - %s", written ? "성공" : "실패", pcRoot));
}

void RunProgress::AgentsAwaited(double seconds, const std::vector<int>& octets, bool first) {
    char head[96];
    std::snprintf(head, sizeof head, "  프로그램 종료 명령어 수행완료 대기 %.1lfsec", seconds);
    std::string text = head;
    text += "  명령 대기 네트워크 IP => ";
    for (int n : octets) {
        char octet[16];
        std::snprintf(octet, sizeof octet, "%03d ", n);
        text += octet;
    }
    view_.AddLine(text, first ? 1 : 0);
}

void RunProgress::WaitStoppedByOperator() { Line("  사용자에 의해 명령 대기를 멈추고 복사 진행을 수행 합니다"); }

void RunProgress::PcSkipped(const std::string& pcRoot, int) { Line("  핑테스트 오류로 파일 복사 수행 스킵 - " + pcRoot); }

void RunProgress::PcBegun(const std::string& pcRoot) {
    Line("");
    Line(pcRoot);
}

void RunProgress::BackedUp(const std::string& target, const std::string& backup) {
    Line(Format2("  백업완료 %s -> %s", target, backup));
}

void RunProgress::BackupFailed(const std::string& target, const std::string& backup, uint32_t) {
    Line(Format2("백업실패 %s -> %s", target, backup));
}

void RunProgress::CopyCancelled(const std::string& source, const std::string& target) {
    Line(Format2("=>백업실패로 복사수행 취소 %s -> %s", source, target));
}

void RunProgress::Copied(size_t record, const std::string& source, const std::string& target,
                         const FileEntry& newTarget) {
    Line(Format2("  복사완료 %s -> %s", source, target));
    if (onCopied_) onCopied_(record, newTarget);
}

void RunProgress::CopyFailed(const std::string& source, const std::string& target, uint32_t) {
    Line(Format2("복사실패 %s -> %s", source, target));
}

void RunProgress::Summary(int successes, int failures) {
    Line("");
    Line("성공 : " + std::to_string(successes) + ", 실패 : " + std::to_string(failures));
}

void RunProgress::AutoHide() { view_.StartAutoHide(); }

void RunProgress::Restarting(OperationMode, const std::vector<std::string>& startList) {
    Line("");
    Line("\n업데이트 모드로 인해 프로그램이 재 실행 됩니다.");
    List(startList);
}

void RunProgress::RestartCancelled() { Line("\n정상적으로 설치가 되지 않아 프로그램 재 실행이 취소 됩니다."); }

void RunProgress::Finished() {
    if (onFinished_) onFinished_();
}

bool RunProgress::StopWaitRequested() { return stopWait_.load() == 1; }

}  // namespace ui
