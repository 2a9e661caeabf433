// Cost of a refresh's comparison and carry-over at 100 000 files a side, the
// nested search it replaces at 20 000, and fetching list rows for drawing.
// Scans are left out: they measure the disk, not the algorithm.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "compare/Compare.h"
#include "compare/NaiveCompare.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Relative names of a build tree: a few levels of folders, mixed case.
std::vector<std::string> MakeNames(size_t n, std::mt19937& rng) {
    static const char* top[] = {"Bin", "bin\\x64", "Plugins", "Resources", "Data\\Tables", "Lib", "Help\\ko-KR"};
    static const char* mid[] = {"Common", "Line01", "Line02", "Vision", "Motion", "UI", "Report", "Config"};
    static const char* ext[] = {".dll", ".exe", ".DLL", ".xml", ".ini", ".bmp", ".dat", ".txt"};
    std::vector<std::string> names;
    names.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        std::string s = top[rng() % 7];
        s += '\\';
        s += mid[rng() % 8];
        if (rng() % 2) s += "\\Sub" + std::to_string(rng() % 40);
        s += "\\Module_" + std::to_string(i) + ext[rng() % 8];
        names.push_back(std::move(s));
    }
    return names;
}

std::string Recased(std::string s, std::mt19937& rng) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z' && rng() % 5 == 0) c = char(c - 'a' + 'A');
    return s;
}

struct Sides {
    std::vector<FileEntry> source, target, oldSource;
    std::vector<CompareRecord> previous;
};

// Target: 90% of the source names in another order and partly other case,
// plus files of its own; previous list: the same names under a shorter root,
// a third of them in the copy list.
Sides MakeSides(size_t n, std::mt19937& rng, const std::string& srcRoot, const std::string& tgtRoot,
                const std::string& oldRoot) {
    Sides s;
    const auto names = MakeNames(n, rng);
    for (const auto& name : names) {
        FileEntry e;
        e.path = srcRoot + name;
        e.timeWrite = 1700000000 + int64_t(rng() % 1000);
        e.size = int64_t(rng() % 100000);
        s.source.push_back(e);
        e.path = oldRoot + name;
        s.oldSource.push_back(e);
    }
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), rng);
    for (size_t k = 0; k < n; ++k) {
        FileEntry e;
        e.path = k < n * 9 / 10 ? tgtRoot + Recased(names[order[k]], rng) : tgtRoot + "Old\\gone_" + std::to_string(k) + ".dll";
        e.timeWrite = 1700000000 + int64_t(rng() % 1000);
        e.size = int64_t(rng() % 100000);
        s.target.push_back(e);
    }
    s.previous = CompareEntries(s.oldSource, oldRoot.size(), {}, 0, "");
    for (auto& r : s.previous) r.inCopyList = rng() % 3 == 0;
    return s;
}

}  // namespace

int main() {
    std::mt19937 rng(2024);
    const std::string srcRoot = "D:\\Build\\Release\\", tgtRoot = "\\\\127.0.0.1\\c\\Pexoril\\", oldRoot = "D:\\B\\";

    const Sides big = MakeSides(100000, rng, srcRoot, tgtRoot, oldRoot);
    double best = 1e30;
    size_t inCopy = 0;
    for (int i = 0; i < 5; ++i) {
        const auto t0 = Clock::now();
        const auto list = CompareAndCarryOver(big.previous, oldRoot.size(), big.source, srcRoot.size(), big.target,
                                              tgtRoot.size(), tgtRoot);
        best = std::min(best, MsSince(t0));
        inCopy = 0;
        for (const auto& r : list) inCopy += r.inCopyList;
    }
    std::printf("indexed compare + carry-over, 100000 x 100000: %.1f ms (best of 5; %zu carried)\n", best, inCopy);

    const Sides small = MakeSides(20000, rng, srcRoot, tgtRoot, oldRoot);
    auto t0 = Clock::now();
    const auto naiveList = naive::CompareAndCarryOver(small.previous, oldRoot.size(), small.source, srcRoot.size(),
                                                      small.target, tgtRoot.size(), tgtRoot);
    const double naiveMs = MsSince(t0);
    t0 = Clock::now();
    const auto indexedList = CompareAndCarryOver(small.previous, oldRoot.size(), small.source, srcRoot.size(),
                                                 small.target, tgtRoot.size(), tgtRoot);
    const double indexedMs = MsSince(t0);
    bool same = naiveList.size() == indexedList.size();
    for (size_t i = 0; same && i < naiveList.size(); ++i)
        same = naiveList[i].result == indexedList[i].result && naiveList[i].target.path == indexedList[i].target.path &&
               naiveList[i].inCopyList == indexedList[i].inCopyList;
    std::printf("nested search, 20000 x 20000: %.1f ms (indexed: %.1f ms; results %s)\n", naiveMs, indexedMs,
                same ? "equal" : "DIFFER");

    CompareList rows;
    rows.Assign(CompareEntries(big.source, srcRoot.size(), big.target, tgtRoot.size(), tgtRoot));
    const size_t last = rows.Count(ListKind::AllFiles) - 1;
    const int reps = 10000000;
    volatile int64_t sink = 0;
    auto fetch = [&](size_t row) {
        const auto start = Clock::now();
        for (int i = 0; i < reps; ++i) sink = sink + rows.RecordAt(ListKind::AllFiles, row)->source.size;
        return MsSince(start) * 1e6 / reps;
    };
    const double first = fetch(0), lastNs = fetch(last);
    std::printf("RecordAt of a %zu-row list: row 0 %.2f ns, row %zu %.2f ns (ratio %.2f)\n", last + 1, first, last,
                lastNs, lastNs / first);
    return same ? 0 : 1;
}
