#pragma once
// The update package builder: the copy list as an offline package, a folder
// with the files under their bare names in "InstallFiles" and the install,
// backup and recovery scripts, for an operator without the tool. A plain
// function of its inputs (a snapshot taken when the command starts), the
// effects it has on the world and a report of every step; no thread, no
// window.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "compare/Compare.h"
#include "control/OperationMode.h"
#include "control/TargetRange.h"
#include "package/BatchScripts.h"
#include "platform/FileCopy.h"

namespace package {

struct PackageInputs {
    OperationMode mode = OperationMode::Local;
    // Start address and share path of the last refresh, with the end value
    // the box showed when the build started.
    TargetRange range;
    std::string targetBox;  // the target folder box (1004), as typed
    std::string shareBox;   // the share path box (1014), as typed
    std::string title;      // the package title setting; empty: derived
    std::string basePath;   // the package base folder setting
    // The source scanner's root folder (ends with a backslash): the files'
    // relative paths in the backup script are taken below it.
    std::string sourceRoot;
    // compareList in its order; the copy list is the records with inCopyList.
    std::vector<CompareRecord> records;
};

// One script being written, block by block.
class IScriptOutput {
public:
    virtual ~IScriptOutput() = default;
    virtual void Append(const std::string& bytes) = 0;
    // False when the script could not be written whole (disk full).
    virtual bool Close() = 0;
};

// What the build does to the world.
class IPackageEffects {
public:
    virtual ~IPackageEffects() = default;
    virtual std::string CurrentDir() = 0;
    // The local date now; false when the clock cannot be converted.
    virtual bool Today(int& year, int& month, int& day) = 0;
    virtual void MakeDir(const std::string& path) = 0;  // one level
    // Deletes the folder at exactly `folder` with everything in it, an
    // earlier package of the same name. Directory links are removed as links,
    // never followed; what cannot be deleted stays.
    virtual void RemoveEarlierPackage(const std::string& folder) = 0;
    // Creates (or empties) the file; null when it cannot be created.
    virtual std::unique_ptr<IScriptOutput> CreateScript(const std::string& path) = 0;
    // Never over an existing file; a failed copy leaves no `to` behind.
    virtual platform::CopyOutcome CopyAsNew(const std::string& from, const std::string& to) = 0;
    // False when the file could not be written whole.
    virtual bool WriteRecoveryScript(const std::string& path, const ScriptValues& values) = 0;
};

// One event per step, in the order they happen.
class IPackageReport {
public:
    virtual ~IPackageReport() = default;
    virtual void Shown() = 0;
    virtual void BuildBegun() = 0;
    // The package folder (ends with a backslash), made or not.
    virtual void FolderReady(const std::string& packageFolder) = 0;
    virtual void Copied(const std::string& source, const std::string& destination) = 0;
    virtual void CopyFailed(const std::string& source, const std::string& destination, uint32_t error) = 0;
    // A script of the package could not be created or written whole.
    virtual void ScriptFailed(const std::string& path) = 0;
    virtual void Summary(int successes, int failures) = 0;
    virtual void AutoHide() = 0;
};

struct PackageResult {
    bool ran = false;           // false: nothing in the copy list, nothing made or shown
    std::string packageFolder;  // ends with a backslash
    int successes = 0;
    int failures = 0;
    bool scriptsWritten = false;  // the three scripts are whole
};

// The title of a package: the title setting when it is not empty; otherwise
// the name of the folder that holds the base folder (with the default base
// folder, the current directory's name). Never a text that a folder name
// cannot carry: where that folder is a drive or share root, the current
// directory's name, and where that is none either, the empty text.
std::string PackageTitleFrom(std::string_view titleSetting, std::string_view currentDir,
                             std::string_view baseFolder);

// base\title_yyyymmdd__label, without a trailing backslash.
std::string PackageFolder(std::string_view baseFolder, std::string_view title, int year, int month, int day,
                          std::string_view targetLabel);

PackageResult BuildUpdatePackage(const PackageInputs& inputs, IPackageEffects& effects, IPackageReport& report);

// The effects on the real world, through the platform seam.
class RealPackageEffects : public IPackageEffects {
public:
    std::string CurrentDir() override;
    bool Today(int& year, int& month, int& day) override;
    void MakeDir(const std::string& path) override;
    void RemoveEarlierPackage(const std::string& folder) override;
    std::unique_ptr<IScriptOutput> CreateScript(const std::string& path) override;
    platform::CopyOutcome CopyAsNew(const std::string& from, const std::string& to) override;
    bool WriteRecoveryScript(const std::string& path, const ScriptValues& values) override;
};

}  // namespace package
