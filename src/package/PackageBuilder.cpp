#include "package/PackageBuilder.h"

#include <cstdio>

#include "compare/FileUtil.h"
#include "compare/PathUtil.h"
#include "package/TargetPaths.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace package {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// "." and ".." resolved, separators made backslashes; a share keeps the two
// backslashes that open it.
std::string Resolved(const std::string& path) {
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        std::string tail = path.substr(2);
        NormalizePath(tail);
        return "\\\\" + tail;
    }
    std::string out = path;
    NormalizePath(out);
    return out;
}

// The last name of a path, trailing separators passed over; empty where the
// path ends in a drive ("D:") or holds no name at all.
std::string LastName(const std::string& path) {
    size_t end = path.size();
    while (end > 0 && IsSeparator(path[end - 1])) --end;
    size_t begin = end;
    while (begin > 0 && !IsSeparator(path[begin - 1])) --begin;
    std::string name = path.substr(begin, end - begin);
    if (name.find(':') != std::string::npos) return {};
    return name;
}

bool IsAbsolute(std::string_view path) {
    return (path.size() >= 2 && path[1] == ':') || (!path.empty() && IsSeparator(path[0]));
}

// Characters a find pattern would take for wildcards; no folder name holds one.
bool HasWildcard(std::string_view name) { return name.find_first_of("*?<>\"") != std::string_view::npos; }

class Build {
public:
    Build(const PackageInputs& in, IPackageEffects& fx, IPackageReport& report) : in_(in), fx_(fx), report_(report) {
        for (size_t i = 0; i < in.records.size(); ++i)
            if (in.records[i].inCopyList) copyList_.push_back(i);
    }

    PackageResult Go() {
        PackageResult result;
        if (copyList_.empty()) return result;
        result.ran = true;
        fx_.MakeDir(in_.basePath);
        report_.Shown();
        report_.BuildBegun();

        const std::string current = fx_.CurrentDir();
        v_.mode = in_.mode;
        if (in_.mode == OperationMode::Local) v_.targetFolder = TargetFolderFrom(current, in_.targetBox);
        if (in_.mode == OperationMode::Network) v_.SetRange(in_.range);
        v_.targetLabel = TargetLabel(TargetLabelSource(in_.mode, v_.targetFolder, in_.shareBox));
        const std::string title = PackageTitleFrom(in_.title, current, in_.basePath);
        // The date is taken once: the folder deleted, the folder made and the
        // folder reported are one and the same, even across midnight.
        int y = 0, m = 0, d = 0;
        if (!fx_.Today(y, m, d)) y = m = d = 0;
        const std::string folder = PackageFolder(in_.basePath, title, y, m, d, v_.targetLabel);
        fx_.RemoveEarlierPackage(folder);
        packageFolder_ = folder + "\\";
        installFiles_ = packageFolder_ + "InstallFiles\\";
        fx_.MakeDir(folder);
        fx_.MakeDir(packageFolder_ + "InstallFiles");
        report_.FolderReady(packageFolder_);

        const std::string installPath = packageFolder_ + "qvInstall.bat";
        const std::string backupPath = packageFolder_ + "qvBackup.bat";
        std::unique_ptr<IScriptOutput> install = fx_.CreateScript(installPath);
        if (!install) ScriptFailed(installPath);
        std::unique_ptr<IScriptOutput> backup = fx_.CreateScript(backupPath);
        if (!backup) ScriptFailed(backupPath);
        if (install && backup) Body(*install, *backup);
        if (install) {
            install->Append(InstallTail());
            if (!install->Close()) ScriptFailed(installPath);
        }
        if (backup) {
            backup->Append(BackupTail());
            if (!backup->Close()) ScriptFailed(backupPath);
        }
        // A package with a script missing or cut short is no package, even
        // with every file copied: the window stays open with the reason.
        if (failures_ == 0 && scriptsWhole_) report_.AutoHide();

        result.packageFolder = packageFolder_;
        result.successes = successes_;
        result.failures = failures_;
        result.scriptsWritten = scriptsWhole_;
        return result;
    }

private:
    void Body(IScriptOutput& install, IScriptOutput& backup) {
        install.Append(InstallHead(v_));
        backup.Append(BackupHead(v_));
        install.Append(InstallTarget(v_));
        backup.Append(BackupTarget(v_));
        install.Append(InstallStart());
        backup.Append(BackupStart(v_));
        if (in_.mode == OperationMode::Local) {
            Files(backup);
            backup.Append(BackupRecovery(v_));
            install.Append(InstallCopy(v_));
        } else if (in_.mode == OperationMode::Network) {
            // Each file once, whatever the size of the range; none for a
            // range without PCs, whose install script has no copy block.
            if (v_.RangeHasPcs()) {
                Files(backup);
                install.Append(InstallCopy(v_));
            }
            backup.Append(BackupRecovery(v_));
        }
        const std::string recovery = installFiles_ + "qvRecovery.bat_";
        if (!fx_.WriteRecoveryScript(recovery, v_)) ScriptFailed(recovery);
        report_.Summary(successes_, failures_);
    }

    void Files(IScriptOutput& backup) {
        backup.Append(BackupFilesBegin(v_));
        for (size_t r : copyList_) {
            const CompareRecord& rec = in_.records[r];
            CopyOne(rec.source.path);
            backup.Append(BackupFileLines(v_, ScriptFile{RelativePath(rec, in_.sourceRoot), TargetFilePath(rec)}));
        }
    }

    // Flat: a second file of the same name finds the first one's copy and
    // fails, and is reported so.
    void CopyOne(const std::string& source) {
        const std::string destination = installFiles_ + std::string(FileNamePart(source));
        const platform::CopyOutcome c = fx_.CopyAsNew(source, destination);
        if (c.ok) {
            ++successes_;
            report_.Copied(source, destination);
        } else {
            ++failures_;
            report_.CopyFailed(source, destination, c.error);
        }
    }

    void ScriptFailed(const std::string& path) {
        scriptsWhole_ = false;
        report_.ScriptFailed(path);
    }

    const PackageInputs& in_;
    IPackageEffects& fx_;
    IPackageReport& report_;
    std::vector<size_t> copyList_;
    ScriptValues v_;
    std::string packageFolder_;
    std::string installFiles_;
    int successes_ = 0;
    int failures_ = 0;
    bool scriptsWhole_ = true;
};

// Collects the bytes and writes the file whole when closed.
class ScriptFileOutput : public IScriptOutput {
public:
    explicit ScriptFileOutput(std::string path) : path_(std::move(path)) {}
    void Append(const std::string& bytes) override { bytes_ += bytes; }
    bool Close() override { return platform::WriteFileBytes(path_, bytes_) == platform::WriteOutcome::Written; }

private:
    std::string path_;
    std::string bytes_;
};

}  // namespace

std::string PackageTitleFrom(std::string_view titleSetting, std::string_view currentDir,
                             std::string_view baseFolder) {
    if (!titleSetting.empty()) return std::string(titleSetting);
    // The folder that holds the base folder; a relative base folder lies
    // below the current directory. An empty one puts the package at the top
    // of the current drive, which no folder holds.
    std::string title;
    if (!baseFolder.empty()) {
        const std::string base = IsAbsolute(baseFolder) ? std::string(baseFolder)
                                                        : std::string(currentDir) + "\\" + std::string(baseFolder);
        title = LastName(Resolved(base + "\\.."));
    }
    // A base folder at the top of a drive or share has no such folder.
    if (title.empty()) title = LastName(Resolved(std::string(currentDir)));
    return title;
}

std::string PackageFolder(std::string_view baseFolder, std::string_view title, int year, int month, int day,
                          std::string_view targetLabel) {
    char date[40];
    std::snprintf(date, sizeof date, "_%04d%02d%02d__", year, month, day);
    return std::string(baseFolder) + "\\" + std::string(title) + date + std::string(targetLabel);
}

PackageResult BuildUpdatePackage(const PackageInputs& inputs, IPackageEffects& effects, IPackageReport& report) {
    return Build(inputs, effects, report).Go();
}

std::string RealPackageEffects::CurrentDir() { return platform::GetCurrentDir(); }

bool RealPackageEffects::Today(int& year, int& month, int& day) { return platform::LocalDateNow(year, month, day); }

void RealPackageEffects::MakeDir(const std::string& path) { platform::MakeDir(path); }

void RealPackageEffects::RemoveEarlierPackage(const std::string& folder) {
    const std::string name(FileNamePart(folder));
    // A name with a wildcard would find other folders; no folder carries one.
    if (name.empty() || HasWildcard(name)) return;
    uint32_t attrib = 0;
    bool found = false;
    platform::FindFiles(folder, [&](const platform::FindData& d) {
        found = true;
        attrib = d.attrib;
        return false;
    });
    if (!found || !(attrib & platform::kAttrDirectory)) return;
    // A link in the package's place goes as a link: what it leads to is no
    // earlier package of this build.
    if (!(attrib & platform::kAttrReparsePoint)) {
        CqvFileUtil tree;
        tree.DeleteSubfolderTrees(folder + "\\*");
        platform::FindFiles(folder + "\\*", [&](const platform::FindData& d) {
            if (!(d.attrib & platform::kAttrDirectory)) platform::RemoveFile(folder + "\\" + d.name);
            return true;
        });
    }
    platform::RemoveDir(folder);
}

std::unique_ptr<IScriptOutput> RealPackageEffects::CreateScript(const std::string& path) {
    if (platform::WriteFileBytes(path, std::string()) != platform::WriteOutcome::Written) return nullptr;
    return std::make_unique<ScriptFileOutput>(path);
}

platform::CopyOutcome RealPackageEffects::CopyAsNew(const std::string& from, const std::string& to) {
    // The package folder is new and no program reads it while it is built, so
    // the system's copy does: it refuses an existing file and takes back a
    // copy that fails half-way.
    return platform::CopyFileTo(from, to, true);
}

bool RealPackageEffects::WriteRecoveryScript(const std::string& path, const ScriptValues& values) {
    return platform::WriteFileBytes(path, RecoveryScript(values)) == platform::WriteOutcome::Written;
}

}  // namespace package
