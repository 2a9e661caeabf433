// Scanner speed against a bare enumeration walk of the same tree, same build.
// Prints the figures; it is not a test. Usage: scan_bench [existing-tree-folder]
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "compare/FileUtil.h"
#include "platform/FileSystem.h"
#include "support/TestEnv.h"

namespace {

constexpr int kTopFolders = 10;
constexpr int kSubFolders = 99;       // per top folder: 10 + 990 = 1000 folders
constexpr int kFilesPerFolder = 100;  // 100 000 files

void BuildTree(const std::string& root) {
    auto fill = [](const std::string& folder) {
        testenv::MakeDirs(folder);
        for (int f = 0; f < kFilesPerFolder; ++f)
            platform::WriteWholeFile(folder + "\\File_" + std::to_string(f) + (f % 3 ? ".dll" : ".exe"), "x");
    };
    for (int t = 0; t < kTopFolders; ++t) {
        const std::string top = root + "\\Top" + std::to_string(t);
        fill(top);
        for (int s = 0; s < kSubFolders; ++s) fill(top + "\\Sub" + std::to_string(s));
    }
}

// The least a walk can do: enumerate every folder once and count the files.
size_t BareWalk(const std::string& folder) {
    size_t files = 0;
    std::vector<std::string> subs;
    platform::FindFiles(folder + "*.*", [&](const platform::FindData& d) {
        if (!(d.attrib & platform::kAttrDirectory))
            ++files;
        else if (d.name[0] != '.')
            subs.push_back(folder + d.name + "\\");
        return true;
    });
    for (const auto& s : subs) files += BareWalk(s);
    return files;
}

template <typename F>
double BestMs(int runs, F f) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        if (ms < best) best = ms;
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    testenv::TempDir temp;
    std::string root = argc > 1 ? argv[1] : temp.path() + "\\tree";
    if (!platform::PathExists(root + "\\Top0")) {
        std::printf("building %d files in %d folders under %s ...\n", kTopFolders * (kSubFolders + 1) * kFilesPerFolder,
                    kTopFolders * (kSubFolders + 1), root.c_str());
        BuildTree(root);
    }
    const std::string folder = root + "\\";
    size_t bareCount = BareWalk(folder);  // warms the caches for both
    size_t scanCount = 0;
    CqvFileUtil scanner;
    scanner.SetExclusions("lib, ilk, pdb, tlb, exp, sup");
    double bare = 0, scan = 0;
    // Alternate the two so that neither profits from running second.
    for (int round = 0; round < 5; ++round) {
        const double b = BestMs(1, [&] { bareCount = BareWalk(folder); });
        const double s = BestMs(1, [&] {
            scanner.ScanFolder(root + "/*.*", true);
            scanCount = scanner.files.size();
        });
        bare = round == 0 || b < bare ? b : bare;
        scan = round == 0 || s < scan ? s : scan;
    }
    std::printf("files: bare walk %zu, scanner %zu\n", bareCount, scanCount);
    std::printf("bare enumeration walk: %8.1f ms\n", bare);
    std::printf("ScanFolder (*.*, subfolders): %8.1f ms\n", scan);
    std::printf("ratio scanner / bare walk: %.2f (target <= 1.30)\n", scan / bare);
    return bareCount == scanCount ? 0 : 1;
}
