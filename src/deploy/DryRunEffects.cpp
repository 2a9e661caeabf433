#include "deploy/DryRunEffects.h"

#include "compare/PathUtil.h"
#include "platform/FileSystem.h"
#include "platform/Wildcard.h"

namespace deploy {
namespace {

// One spelling per path: backslashes, no repeated or trailing separators
// (the backup's script name holds a "\/" pair), case folded as Windows does.
std::string Key(const std::string& path) {
    std::string out;
    for (size_t i = 0; i < path.size(); ++i) {
        const char c = path[i] == '/' ? '\\' : path[i];
        if (c == '\\' && i > 1 && !out.empty() && out.back() == '\\') continue;
        out += c;
    }
    while (out.size() > 3 && out.back() == '\\') out.pop_back();
    return platform::UpperCaseName(out);
}

// The folder a path lies in ("C:\" for "C:\x"); empty when it has none.
std::string Parent(const std::string& path) {
    std::string p = path;
    while (!p.empty() && (p.back() == '\\' || p.back() == '/')) p.pop_back();
    const size_t sep = FindLastChar(WithBackslashes(p), '\\');
    if (sep == std::string::npos) return {};
    std::string parent = p.substr(0, sep);
    if (parent.size() == 2 && parent[1] == ':') parent += '\\';
    return parent;
}

DryRunAction Action(DryRunAction::Kind kind, std::string path) {
    DryRunAction a;
    a.kind = kind;
    a.path = std::move(path);
    return a;
}

}  // namespace

DryRunEffects::DryRunEffects(IRunEffects& echo, std::function<void(const DryRunAction&)> onAction)
    : echo_(echo), onAction_(std::move(onAction)) {}

bool DryRunEffects::Exists(const std::string& path) const {
    if (path.empty()) return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (made_.count(Key(path))) return true;
    }
    std::string p = path;
    // A drive root is spelled with its backslash; any other folder without.
    while (p.size() > 3 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
    return platform::PathExists(p);
}

void DryRunEffects::Tell(const DryRunAction& action) {
    if (onAction_) onAction_(action);
}

bool DryRunEffects::IsUnreachable(const std::string& address) { return echo_.IsUnreachable(address); }

bool DryRunEffects::WriteCommandFile(const std::string& pcRoot, RemoteCommand, const control::ProgramLists&) {
    DryRunAction a = Action(DryRunAction::Kind::CommandFile, CommandFileName(pcRoot));
    a.wouldSucceed = Exists(pcRoot + "\\Jobkeeper");
    Tell(a);
    return a.wouldSucceed;
}

bool DryRunEffects::CommandFilePending(const std::string&) { return false; }

void DryRunEffects::TerminateLocalPrograms(const std::vector<std::string>&, const control::ProgramLists& programs) {
    DryRunAction a = Action(DryRunAction::Kind::TerminateLocal, {});
    a.programs = programs.localOff;
    Tell(a);
}

void DryRunEffects::RestartPrograms(OperationMode mode, const std::string& targetFolder,
                                    const control::ProgramLists& programs, const TargetRange&) {
    DryRunAction a = Action(DryRunAction::Kind::Restart, mode == OperationMode::Local ? targetFolder : std::string());
    a.programs = mode == OperationMode::Local ? programs.localOn : programs.netOn;
    Tell(a);
}

void DryRunEffects::MakeDir(const std::string& path) {
    if (Exists(path)) return;  // the real one-level make would change nothing
    DryRunAction a = Action(DryRunAction::Kind::MakeDir, path);
    a.wouldSucceed = Exists(Parent(path));
    if (a.wouldSucceed) {
        std::lock_guard<std::mutex> lock(mutex_);
        made_.insert(Key(path));
    }
    Tell(a);
}

void DryRunEffects::WriteRecoveryScript(const std::string& path, const ScriptValues&) {
    DryRunAction a = Action(DryRunAction::Kind::RecoveryScript, path);
    a.wouldSucceed = Exists(Parent(path));
    Tell(a);
}

platform::CopyOutcome DryRunEffects::CopyAsNew(const std::string& from, const std::string& to) {
    // In the order the real copy meets them.
    if (Exists(to)) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!made_.count(Key(to))) existingBackups_.insert(Key(to));
        return {false, platform::kErrFileExists};
    }
    if (!Exists(from)) return {false, platform::kErrFileNotFound};
    if (!Exists(Parent(to))) return {false, platform::kErrPathNotFound};
    std::lock_guard<std::mutex> lock(mutex_);
    made_.insert(Key(to));
    return {true, 0};
}

platform::CopyOutcome DryRunEffects::CopyReplacing(const std::string& from, const std::string& to) {
    const platform::CopyOutcome writable = platform::CheckReplaceable(to);
    if (!writable.ok) return writable;
    if (!Exists(from)) return {false, platform::kErrFileNotFound};
    if (!Exists(Parent(to))) return {false, platform::kErrPathNotFound};
    return {true, 0};
}

bool DryRunEffects::FileExists(const std::string& path) { return Exists(path); }

std::string DryRunEffects::CurrentDir() { return echo_.CurrentDir(); }

bool DryRunEffects::Today(int& year, int& month, int& day) { return echo_.Today(year, month, day); }

uint32_t DryRunEffects::TickCount() { return echo_.TickCount(); }

void DryRunEffects::Sleep(int) {}

bool DryRunEffects::BackupExisted(const std::string& backup) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return existingBackups_.count(Key(backup)) != 0;
}

}  // namespace deploy
