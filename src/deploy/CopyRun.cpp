#include "deploy/CopyRun.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <set>
#include <system_error>
#include <thread>

#include "compare/PathUtil.h"
#include "package/TargetPaths.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Wildcard.h"

namespace deploy {

std::string BackupFolderFor(OperationMode mode, int userBackupPathUse, const std::string& userBackupPath,
                            const std::string& label, int year, int month, int day) {
    // The user backup path is expected to end with a backslash; none is added.
    const std::string root = mode == OperationMode::Network && userBackupPathUse != 0 && !userBackupPath.empty()
                                 ? userBackupPath + "Quorvel\\"
                                 : std::string("C:\\Quorvel\\");
    char date[32];
    std::snprintf(date, sizeof date, "_%04d%02d%02d\\", year, month, day);
    return root + label + date;
}

std::vector<int> RunOctets(const TargetRange& range) {
    std::vector<int> octets;
    // Without a dotted start address the PC roots would be bare numbers.
    if (!range.HasValidStart()) return octets;
    for (int n = range.FirstOctet(); n <= range.LastOctet(); ++n) octets.push_back(n);
    return octets;
}

std::vector<bool> CheckAnswering(IRunEffects& effects, const std::vector<std::string>& addresses, int parallel) {
    std::vector<char> answered(addresses.size(), 0);
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t i; (i = next.fetch_add(1)) < addresses.size();)
            answered[i] = effects.IsUnreachable(addresses[i]) ? 0 : 1;
    };
    const size_t threads = std::min(addresses.size(), size_t(std::max(parallel, 1)));
    std::vector<std::thread> pool;
    try {
        for (size_t t = 1; t < threads; ++t) pool.emplace_back(worker);
    } catch (const std::system_error&) {
        // Fewer threads than asked for: the ones there are share the work.
    }
    worker();
    for (auto& t : pool) t.join();
    return std::vector<bool>(answered.begin(), answered.end());
}

namespace {

class Run {
public:
    Run(const CopyRunInputs& in, IRunEffects& fx, IRunReport& report)
        : in_(in), fx_(fx), report_(report), records_(in.records), mayCopy_(in.records.size(), 1) {
        for (size_t i = 0; i < records_.size(); ++i)
            if (records_[i].inCopyList) copyList_.push_back(i);
    }

    CopyRunResult Go() {
        CopyRunResult result;
        if (copyList_.empty()) return result;
        result.ran = true;
        report_.Shown();
        if (in_.backupOn) PrepareBackup();
        report_.RunBegun();
        if (in_.mode == OperationMode::Local)
            LocalStages();
        else if (in_.mode == OperationMode::Network)
            NetworkStages();
        report_.Summary(successes_, failures_);
        const std::string targetFolder = in_.targetBox;
        if (successes_ > 0 && failures_ == 0) {
            report_.AutoHide();
            if (in_.updateMode) {
                report_.Restarting(in_.mode, in_.mode == OperationMode::Local ? in_.programs.localOn
                                                                              : in_.programs.netOn);
                fx_.RestartPrograms(in_.mode, targetFolder, in_.programs, in_.range);
            }
        } else if (in_.updateMode) {
            report_.RestartCancelled();
        }
        report_.Finished();
        result.successes = successes_;
        result.failures = failures_;
        result.backupFolder = backupFolder_;
        return result;
    }

private:
    void PrepareBackup() {
        report_.BackupPreparing();
        const std::string current = fx_.CurrentDir();
        const std::string targetFolder = TargetFolderFrom(current, in_.targetBox);
        const std::string label = TargetLabel(TargetLabelSource(in_.mode, targetFolder, in_.shareBox));
        int y = 0, m = 0, d = 0;
        if (!fx_.Today(y, m, d)) y = m = d = 0;
        backupFolder_ = BackupFolderFor(in_.mode, in_.userBackupPathUse, in_.userBackupPath, label, y, m, d);
        // One level each, results not examined: a folder that cannot be made
        // shows as failed backups, file by file.
        const std::string folder = backupFolder_.substr(0, backupFolder_.size() - 1);
        fx_.MakeDir(folder.substr(0, folder.find_last_of("\\/")));
        fx_.MakeDir(folder);
        ScriptValues v;
        v.mode = in_.mode;
        v.targetFolder = targetFolder;
        v.targetLabel = label;
        if (in_.mode == OperationMode::Network) v.SetRange(in_.range);
        fx_.WriteRecoveryScript(backupFolder_ + "/qvRecovery.bat", v);
        report_.BackupPrepared(backupFolder_);
    }

    void BackupFile(size_t r, const std::string& target) {
        const std::string name(FileNamePart(target));
        const std::string backup = backupFolder_ + name;
        const bool missing = records_[r].result == CompareResult::TargetMissing;
        // The backup is flat: a second file of the same name in this run
        // would find the first one's copy and have none of its own, and its
        // target would then be overwritten with nothing kept.
        const std::string folded = platform::UpperCaseName(name);
        if (backedUpNames_.count(folded)) {
            if (!missing) Fail(r, target, backup, 0);
            return;
        }
        const platform::CopyOutcome c = fx_.CopyAsNew(target, backup);
        // A backup kept from an earlier run of the same day is the file's
        // state before that day's first deployment: it stands.
        if (c.ok || fx_.FileExists(backup)) {
            backedUpNames_.insert(folded);
            report_.BackedUp(target, backup);
            return;
        }
        if (!missing) Fail(r, target, backup, c.error);
    }

    void Fail(size_t r, const std::string& target, const std::string& backup, uint32_t error) {
        report_.BackupFailed(target, backup, error);
        mayCopy_[r] = 0;
    }

    void CopyOne(size_t r, const std::string& target) {
        const std::string& source = records_[r].source.path;
        if (!mayCopy_[r]) {
            report_.CopyCancelled(source, target);
            ++failures_;
            return;
        }
        const platform::CopyOutcome c = fx_.CopyReplacing(source, target);
        if (!c.ok) {
            report_.CopyFailed(source, target, c.error);
            ++failures_;
            return;
        }
        CompareRecord& rec = records_[r];
        const std::string path = rec.target.path;
        rec.target = rec.source;
        rec.target.path = path;  // the start PC's path, whichever PC was copied to
        rec.result = CompareResult::Same;
        ++successes_;
        report_.Copied(r, source, target, rec.target);
    }

    std::vector<std::string> CopyTargetPaths() const {
        std::vector<std::string> paths;
        for (size_t r : copyList_) paths.push_back(records_[r].target.path);
        return paths;
    }

    void LocalStages() {
        if (in_.updateMode) {
            report_.ProgramsStopping(OperationMode::Local, in_.programs.localOff);
            fx_.TerminateLocalPrograms(CopyTargetPaths(), in_.programs);
        }
        std::fill(mayCopy_.begin(), mayCopy_.end(), 1);
        for (size_t r : copyList_) {
            if (in_.backupOn) BackupFile(r, records_[r].target.path);
            CopyOne(r, records_[r].target.path);
        }
    }

    void NetworkStages() {
        report_.WaitCanBeStopped();
        const TargetRange& range = in_.range;
        const std::vector<int> octets = RunOctets(range);
        std::vector<std::string> roots, addresses;
        for (int n : octets) {
            roots.push_back(range.PcRoot(n));
            addresses.push_back(EchoAddress(roots.back()));
        }
        const std::vector<bool> answered = CheckAnswering(fx_, addresses);
        for (size_t i = 0; i < octets.size(); ++i) report_.PcChecked(octets[i], roots[i], answered[i]);

        if (in_.updateMode) {
            report_.ProgramsStopping(OperationMode::Network, in_.programs.netOff);
            for (size_t i = 0; i < octets.size(); ++i) {
                if (!answered[i])
                    report_.StopCommandSkipped(roots[i]);
                else
                    report_.StopCommandSent(roots[i], fx_.WriteCommandFile(roots[i], RemoteCommand::Kill, in_.programs));
            }
            Wait(octets, roots, answered);
        }

        std::fill(mayCopy_.begin(), mayCopy_.end(), 1);
        // The backup comes from the first PC that answered: normally the
        // start PC, and a run never copies without one when it is switched
        // on, even if the start PC is off.
        std::optional<size_t> backupPc;
        for (size_t i = 0; i < octets.size() && !backupPc; ++i)
            if (answered[i]) backupPc = i;
        for (size_t i = 0; i < octets.size(); ++i) {
            if (!answered[i]) {
                report_.PcSkipped(roots[i], int(copyList_.size()));
                failures_ += int(copyList_.size());
                continue;
            }
            report_.PcBegun(roots[i]);
            for (size_t r : copyList_) {
                if (in_.backupOn && backupPc == i) BackupFile(r, range.PcPath(octets[i], records_[r].target.path));
                CopyOne(r, range.PcPath(octets[i], records_[r].target.path));
            }
        }
    }

    void Wait(const std::vector<int>& octets, const std::vector<std::string>& roots, const std::vector<bool>& answered) {
        const uint32_t start = fx_.TickCount();
        std::vector<char> taken(octets.size(), 0);
        bool first = true;
        for (;;) {
            size_t i = 0;
            while (i < octets.size() && (!answered[i] || taken[i])) ++i;
            if (i == octets.size()) return;
            if (!fx_.CommandFilePending(roots[i])) {
                taken[i] = 1;
                continue;
            }
            if (report_.StopWaitRequested()) {
                report_.WaitStoppedByOperator();
                return;
            }
            std::vector<int> waiting;
            for (size_t k = 0; k < octets.size(); ++k)
                if (!taken[k]) waiting.push_back(octets[k]);
            report_.AgentsAwaited(uint32_t(fx_.TickCount() - start) / 1000.0, waiting, first);
            first = false;
            fx_.Sleep(500);
        }
    }

    const CopyRunInputs& in_;
    IRunEffects& fx_;
    IRunReport& report_;
    std::vector<CompareRecord> records_;
    std::vector<size_t> copyList_;
    std::vector<char> mayCopy_;
    std::set<std::string> backedUpNames_;
    std::string backupFolder_;
    int successes_ = 0;
    int failures_ = 0;
};

}  // namespace

CopyRunResult CopyRun(const CopyRunInputs& inputs, IRunEffects& effects, IRunReport& report) {
    return Run(inputs, effects, report).Go();
}

std::string TemporaryPathFor(const std::string& target) { return target + ".qvtmp"; }

bool RealEffects::IsUnreachable(const std::string& address) {
    qvPingICMP ping;
    return ping.IsUnreachable(address);
}

bool RealEffects::WriteCommandFile(const std::string& pcRoot, RemoteCommand command,
                                   const control::ProgramLists& programs) {
    return ::WriteCommandFile(pcRoot, command, programs.netOn, programs.netOff);
}

bool RealEffects::CommandFilePending(const std::string& pcRoot) { return ::CommandFilePending(pcRoot); }

void RealEffects::TerminateLocalPrograms(const std::vector<std::string>& copyTargetPaths,
                                         const control::ProgramLists& programs) {
    control::TerminateAll(OperationMode::Local, copyTargetPaths, programs, TargetRange{}, nullptr);
}

void RealEffects::RestartPrograms(OperationMode mode, const std::string& targetFolder,
                                  const control::ProgramLists& programs, const TargetRange& range) {
    control::RestartPrograms(mode, targetFolder, programs, range, nullptr);
}

void RealEffects::MakeDir(const std::string& path) { platform::MakeDir(path); }

void RealEffects::WriteRecoveryScript(const std::string& path, const ScriptValues& values) {
    ::WriteRecoveryScript(path, values);
}

platform::CopyOutcome RealEffects::CopyAsNew(const std::string& from, const std::string& to) {
    return platform::CopyFileAsNew(from, to, TemporaryPathFor(to));
}

platform::CopyOutcome RealEffects::CopyReplacing(const std::string& from, const std::string& to) {
    return platform::ReplaceFileWithCopy(from, to, TemporaryPathFor(to));
}

bool RealEffects::FileExists(const std::string& path) { return platform::PathExists(path); }

std::string RealEffects::CurrentDir() { return platform::GetCurrentDir(); }

bool RealEffects::Today(int& year, int& month, int& day) { return platform::LocalDateNow(year, month, day); }

uint32_t RealEffects::TickCount() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void RealEffects::Sleep(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

}  // namespace deploy
