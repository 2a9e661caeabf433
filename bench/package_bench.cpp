// Package builder speed: a package of 1 000 files against a plain loop of the
// same copies into a fresh folder, same build. Prints the figures; it is not
// a test. Usage: package_bench [file-size-bytes]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "package/PackageBuilder.h"
#include "platform/FileCopy.h"
#include "platform/FileSystem.h"
#include "support/TestEnv.h"

namespace {

constexpr int kFiles = 1000;

// The report a build without a window needs: nothing.
class NoReport : public package::IPackageReport {
public:
    void Shown() override {}
    void BuildBegun() override {}
    void FolderReady(const std::string&) override {}
    void Copied(const std::string&, const std::string&) override { ++copied; }
    void CopyFailed(const std::string&, const std::string&, uint32_t) override { ++failed; }
    void ScriptFailed(const std::string&) override { ++failed; }
    void Summary(int, int) override {}
    void AutoHide() override {}
    int copied = 0;
    int failed = 0;
};

template <typename F>
double Ms(F f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
    const size_t size = argc > 1 ? size_t(std::atol(argv[1])) : 16384;
    testenv::TempDir temp;
    const std::string src = temp / "src";
    package::PackageInputs in;
    in.mode = OperationMode::Local;
    in.targetBox = "C:\\Apps\\Line";
    in.title = "Bench";
    in.basePath = temp / "pkgs";
    in.sourceRoot = src + "\\";
    const std::string bytes(size, 'x');
    for (int i = 0; i < kFiles; ++i) {
        // Ten sub-folders, as a program's build has them; names stay unique.
        const std::string rel = "sub" + std::to_string(i % 10) + "\\File_" + std::to_string(i) + ".dll";
        testenv::WriteFile(src + "\\" + rel, bytes);
        CompareRecord r;
        r.source.path = src + "\\" + rel;
        r.target.path = in.targetBox + "\\" + rel;
        r.inCopyList = true;
        in.records.push_back(r);
    }
    platform::MakeDir(in.basePath);

    double build = 0, plain = 0;
    int copied = 0, plainCopied = 0;
    package::RealPackageEffects fx;
    // Alternate the two so that neither profits from running second; the
    // best of five rounds each.
    for (int round = 0; round < 5; ++round) {
        const std::string loopFolder = temp / ("loop" + std::to_string(round));
        const double p = Ms([&] {
            platform::MakeDir(loopFolder);
            platform::MakeDir(loopFolder + "\\InstallFiles");
            plainCopied = 0;
            for (const CompareRecord& r : in.records) {
                const std::string& from = r.source.path;
                const std::string name = from.substr(from.find_last_of('\\') + 1);
                if (platform::CopyFileTo(from, loopFolder + "\\InstallFiles\\" + name, true).ok) ++plainCopied;
            }
        });
        NoReport report;
        // A fresh package each round, as the loop writes into a fresh folder.
        testenv::RemoveTree(in.basePath);
        platform::MakeDir(in.basePath);
        const double b = Ms([&] { package::BuildUpdatePackage(in, fx, report); });
        copied = report.copied;
        if (report.failed) std::printf("round %d: %d failures\n", round, report.failed);
        build = round == 0 || b < build ? b : build;
        plain = round == 0 || p < plain ? p : plain;
    }
    std::printf("files: %d of %zu bytes; package copied %d, plain loop copied %d\n", kFiles, size, copied, plainCopied);
    std::printf("plain copy loop:        %8.1f ms\n", plain);
    std::printf("BuildUpdatePackage:     %8.1f ms\n", build);
    std::printf("ratio package / plain:  %.2f (target <= 1.20)\n", build / plain);
    return copied == kFiles && plainCopied == kFiles ? 0 : 1;
}
