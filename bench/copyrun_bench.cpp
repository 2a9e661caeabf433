// The copy run's speed. Prints the figures; it is not a test.
//
//   copyrun_bench [echo|copy] [rounds]     (both parts by default, 5 rounds)
//
// echo: the echo stage of a 254-PC range of which 100 are silent, checked as
//       the run does, 64 at a time and one after another, with real ICMP. Needs the private
//       network of tools/bench-net.sh (QV_BENCH_NET); skipped without it.
// copy: the copy run of 1 000 files to 5 PCs (mapped shares, no network; the
//       echo is answered by the effects) against a plain loop of the same
//       copies, best of alternating rounds, with the backup off and on.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "compare/Compare.h"
#include "compare/FileUtil.h"
#include "deploy/CopyRun.h"
#include "platform/FileCopy.h"
#include "platform/FileSystem.h"
#include "support/TestEnv.h"
#include "ui/ProgressRecorder.h"
#include "ui/RunProgress.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

// ---- echo stage ------------------------------------------------------------

int EchoBench() {
    const char* net = std::getenv("QV_BENCH_NET");
    if (!net) {
        std::printf("echo stage: skipped (run under tools/bench-net.sh, which builds the private network)\n");
        return 0;
    }
    std::istringstream in(net);
    std::string prefix;
    in >> prefix;
    std::vector<char> silent(256, 0);
    int silentCount = 0;
    for (int n; in >> n;)
        if (n > 0 && n < 256 && !silent[size_t(n)]) silent[size_t(n)] = 1, ++silentCount;

    // The addresses as the run makes them from its range.
    const TargetRange range{"\\\\" + prefix + "1", "\\c\\app", 254};
    std::vector<int> octets = deploy::RunOctets(range);
    std::vector<std::string> addresses;
    for (int n : octets) addresses.push_back(EchoAddress(range.PcRoot(n)));

    deploy::RealEffects fx;
    auto check = [&](int parallel, double& ms) {
        const auto t0 = Clock::now();
        const std::vector<bool> answered = deploy::CheckAnswering(fx, addresses, parallel);
        ms = MsSince(t0);
        int wrong = 0, yes = 0;
        for (size_t i = 0; i < octets.size(); ++i) {
            yes += answered[i] ? 1 : 0;
            if (answered[i] == bool(silent[size_t(octets[i])])) ++wrong;
        }
        std::printf("  parallel %3d: %8.0f ms, %d answered, %d not as the network holds them\n", parallel, ms, yes,
                    wrong);
        std::fflush(stdout);
        return wrong;
    };
    std::printf("echo stage: %zu PCs (%s1-%d), %d silent, time-out 1000 ms\n", addresses.size(), prefix.c_str(),
                octets.empty() ? 0 : octets.back(), silentCount);
    std::fflush(stdout);
    double concurrent = 0, serial = 0, wide = 0;
    int wrong = check(deploy::kEchoParallel, concurrent);
    // 64 at a time, for comparison: with 100 silent PCs it waits two time-outs.
    wrong += check(64, wide);
    wrong += check(1, serial);
    std::printf("echo stage: the run's %d at a time %.2f s, one after another %.2f s, %.1fx faster (64 at a time %.2f s)\n",
                deploy::kEchoParallel, concurrent / 1000, serial / 1000, serial / concurrent, wide / 1000);
    return wrong == 0 ? 0 : 1;
}

// ---- copy run --------------------------------------------------------------

constexpr int kFiles = 1000;
constexpr int kPcs = 5;
const char* const kFolders[] = {"", "bin\\", "data\\", "lang\\ko\\", "plugins\\"};

// Real files and folders; the echo answered at once and a fixed day, so the
// run's figure is its copies and its own work.
class BenchEffects : public deploy::RealEffects {
public:
    bool IsUnreachable(const std::string&) override { return false; }
    bool Today(int& y, int& m, int& d) override {
        y = 2024, m = 3, d = 5;
        return true;
    }
};

std::string Bytes(int i, size_t size, char tag) {
    std::string s(size, '\0');
    uint32_t x = uint32_t(i) * 2654435761u + uint32_t(tag);
    for (char& c : s) c = char((x = x * 1664525u + 1013904223u) >> 24);
    return s;
}

int CopyBench(int rounds) {
    testenv::EnsureDriveC();  // the backup folder lives on C:
    testenv::TempDir temp;
    const std::string src = temp / "src";
    std::vector<std::unique_ptr<testenv::MappedShare>> shares;
    const std::string host = "10.213.30.";  // share names only: nothing is sent
    for (int n = 1; n <= kPcs; ++n) {
        shares.push_back(std::make_unique<testenv::MappedShare>(host + std::to_string(n), "c"));
        if (!shares.back()->ok()) {
            std::printf("copy run: skipped (shares cannot be mapped here)\n");
            return 0;
        }
    }
    // 1 000 files of 2 to 6 KB in five folders, names unique across folders
    // (the backup is flat); every PC holds an older copy of each.
    for (int i = 0; i < kFiles; ++i) {
        const std::string rel = std::string(kFolders[i % 5]) + "File_" + std::to_string(i) + (i % 4 ? ".dll" : ".exe");
        const size_t size = 2048 + size_t(i * 37 % 4096);
        testenv::WriteFile(src + "\\" + rel, Bytes(i, size, 'n'), 1700000000);
        for (auto& s : shares) testenv::WriteFile(s->folder() + "\\app\\" + rel, Bytes(i, size - 100, 'o'), 1600000000);
    }
    const std::string startRoot = "\\\\" + host + "1\\c\\app\\";
    CqvFileUtil s, t;
    s.ScanFolder(src + "\\*.*", true);
    t.ScanFolder(startRoot + "*.*", true);
    deploy::CopyRunInputs in;
    in.mode = OperationMode::Network;
    in.range = {"\\\\" + host + "1", "\\c\\app", kPcs};
    in.shareBox = "\\c\\app";
    in.targetBox = temp / "unused";
    in.records = CompareEntries(s.files, s.rootFolder.size(), t.files, t.rootFolder.size(), startRoot);
    for (auto& r : in.records) r.inCopyList = 1;
    std::printf("copy run: %zu files (%zu in the copy list) to %d PCs, %d copies a round\n", s.files.size(),
                in.records.size(), kPcs, int(in.records.size()) * kPcs);
    if (in.records.size() != size_t(kFiles)) return 1;

    BenchEffects fx;
    int problems = 0;
    // The run as the window starts it, its report making the progress
    // window's lines (into a recorder here).
    auto run = [&](bool backup) {
        in.backupOn = backup;
        ui::ProgressRecorder view;
        std::atomic<int> stop{0};
        size_t updates = 0;
        ui::RunProgress report(view, stop, [&](size_t, const FileEntry&) { ++updates; });
        const auto t0 = Clock::now();
        const deploy::CopyRunResult r = deploy::CopyRun(in, fx, report);
        const double ms = MsSince(t0);
        if (r.successes != kFiles * kPcs || r.failures != 0 || updates != size_t(kFiles * kPcs)) {
            std::printf("  run (backup %s): %d copied, %d failed\n", backup ? "on" : "off", r.successes, r.failures);
            ++problems;
        }
        if (!r.backupFolder.empty()) testenv::RemoveTree(r.backupFolder.substr(0, r.backupFolder.size() - 1));
        return ms;
    };
    // The same copies, PC by PC in the run's order, with nothing around them.
    auto loop = [&](bool replacing) {
        int failed = 0;
        const auto t0 = Clock::now();
        for (int n = 1; n <= kPcs; ++n)
            for (const CompareRecord& r : in.records) {
                const std::string to = in.range.PcPath(n, r.target.path);
                const platform::CopyOutcome c = replacing
                                                    ? platform::ReplaceFileWithCopy(r.source.path, to,
                                                                                    deploy::TemporaryPathFor(to))
                                                    : platform::CopyFileTo(r.source.path, to, false);
                failed += c.ok ? 0 : 1;
            }
        const double ms = MsSince(t0);
        if (failed) {
            std::printf("  loop: %d copies failed\n", failed);
            ++problems;
        }
        return ms;
    };

    run(false);  // warm-up: caches, and every target written once
    double bestLoop = 1e300, bestRun = 1e300, bestPlain = 1e300, bestBackup = 1e300;
    for (int round = 0; round < rounds; ++round) {
        // Alternate the order so that neither profits from going second.
        double l, r;
        if (round % 2 == 0) {
            l = loop(true);
            r = run(false);
        } else {
            r = run(false);
            l = loop(true);
        }
        const double p = loop(false);
        const double b = run(true);
        std::printf("  round %d: loop %7.1f ms, run %7.1f ms, plain copies %7.1f ms, run with backup %7.1f ms\n",
                    round + 1, l, r, p, b);
        std::fflush(stdout);
        bestLoop = std::min(bestLoop, l);
        bestRun = std::min(bestRun, r);
        bestPlain = std::min(bestPlain, p);
        bestBackup = std::min(bestBackup, b);
    }
    std::printf("best of %d rounds:\n", rounds);
    std::printf("  loop of ReplaceFileWithCopy (the run's copy): %8.1f ms\n", bestLoop);
    std::printf("  copy run, backup off:                         %8.1f ms  ratio %.3f (target <= 1.15)\n", bestRun,
                bestRun / bestLoop);
    std::printf("  copy run, backup on:                          %8.1f ms  ratio %.3f\n", bestBackup,
                bestBackup / bestLoop);
    std::printf("  loop of CopyFileTo (in place, not safe):      %8.1f ms  run / this %.3f\n", bestPlain,
                bestRun / bestPlain);
    return problems == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string part = argc > 1 ? argv[1] : "all";
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    int status = 0;
    if (part == "all" || part == "copy") status |= CopyBench(rounds);
    if (part == "all" || part == "echo") status |= EchoBench();
    return status;
}
