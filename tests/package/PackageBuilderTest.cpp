// The update package builder against real folders, with the progress
// window's exact lines. The date and the current directory are the test's.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "package/BatchScripts.h"
#include "package/Fixture.h"
#include "package/PackageBuilder.h"
#include "package/TargetPaths.h"
#include "platform/FileSystem.h"
#include "support/TestEnv.h"
#include "ui/PackageProgress.h"
#include "ui/ProgressRecorder.h"

namespace {

using Lines = std::vector<std::string>;

std::string Read(const std::string& path) { return platform::ReadWholeFile(path).value_or("<missing>"); }

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    platform::FindFiles(folder + "\\*.*", [&](const platform::FindData& d) {
        if (d.name != "." && d.name != "..") names.insert(d.name);
        return true;
    });
    return names;
}

class TestEffects : public package::RealPackageEffects {
public:
    std::string currentDir = "C:\\tools";
    int day = 5;
    bool dayMoves = false;  // each look at the clock is a day later
    std::set<std::string> refused;  // scripts that cannot be created
    std::vector<std::string> removed, made;

    std::string CurrentDir() override { return currentDir; }
    bool Today(int& y, int& m, int& d) override {
        y = 2024, m = 3, d = dayMoves ? day++ : day;
        return true;
    }
    void MakeDir(const std::string& path) override {
        made.push_back(path);
        RealPackageEffects::MakeDir(path);
    }
    void RemoveEarlierPackage(const std::string& folder) override {
        removed.push_back(folder);
        RealPackageEffects::RemoveEarlierPackage(folder);
    }
    std::unique_ptr<package::IScriptOutput> CreateScript(const std::string& path) override {
        if (refused.count(path)) return nullptr;
        return RealPackageEffects::CreateScript(path);
    }
};

class PackageBuilderTest : public ::testing::Test {
protected:
    std::string Src() const { return dir / "src"; }
    std::string Base() const { return dir / "pkgs"; }

    // A copy-list record of the source file rel (below Src()), whose target
    // copy lies at targetPath.
    CompareRecord Record(const std::string& rel, const std::string& targetPath, bool inCopyList = true) {
        CompareRecord r;
        r.source.path = Src() + "\\" + rel;
        r.target.path = targetPath;
        r.inCopyList = inCopyList;
        return r;
    }

    package::PackageInputs LocalInputs() {
        package::PackageInputs in;
        in.mode = OperationMode::Local;
        in.targetBox = "C:\\배포\\Line";
        in.title = "Deploy";
        in.basePath = Base();
        in.sourceRoot = Src() + "\\";
        in.records = {Record("a.dll", "C:\\배포\\Line\\a.dll"), Record("skip.txt", "C:\\배포\\Line\\skip.txt", false),
                      Record("bin\\b.exe", "C:\\배포\\Line\\bin\\b.exe")};
        return in;
    }

    package::PackageInputs NetworkInputs(const char* start = "\\\\192.168.0.9") {
        package::PackageInputs in = LocalInputs();
        in.mode = OperationMode::Network;
        in.range = TargetRange{start, "\\c\\Pexoril", 12};
        in.targetBox = "ignored";
        in.shareBox = "/c/Pexoril";
        const std::string pc = std::string(start) + "\\c\\Pexoril\\";
        in.records = {Record("a.dll", pc + "a.dll"), Record("bin\\b.exe", pc + "bin\\b.exe")};
        return in;
    }

    void SetUp() override {
        testenv::WriteFile(Src() + "\\a.dll", "new a");
        testenv::WriteFile(Src() + "\\skip.txt", "not in the copy list");
        testenv::WriteFile(Src() + "\\bin\\b.exe", "new b");
        testenv::MakeDirs(Base());
    }

    package::PackageResult Build(const package::PackageInputs& in) {
        ui::PackageProgress report(view);
        return package::BuildUpdatePackage(in, fx, report);
    }

    testenv::TempDir dir;
    TestEffects fx;
    ui::ProgressRecorder view;
};

TEST_F(PackageBuilderTest, LocalPackageHoldsTheScriptsAndTheFilesFlat) {
    const package::PackageResult r = Build(LocalInputs());
    const std::string pkg = Base() + "\\Deploy_20240305__Ci@배포@Line\\";
    ASSERT_EQ(r.packageFolder, pkg);
    EXPECT_EQ(Read(pkg + "qvInstall.bat"), Fixture("install_local.bat"));
    EXPECT_EQ(Read(pkg + "qvBackup.bat"), Fixture("backup_local.bat"));
    EXPECT_EQ(Read(pkg + "InstallFiles\\qvRecovery.bat_"), Fixture("recovery_local.bat"));
    // The file of the sub-folder lies flat; the file outside the copy list is not there.
    EXPECT_EQ(Names(pkg), (std::set<std::string>{"InstallFiles", "qvBackup.bat", "qvInstall.bat"}));
    EXPECT_EQ(Names(pkg + "InstallFiles"), (std::set<std::string>{"a.dll", "b.exe", "qvRecovery.bat_"}));
    EXPECT_EQ(Read(pkg + "InstallFiles\\b.exe"), "new b");
    EXPECT_EQ(view.lines, (Lines{"복사 실행", "복사완료 " + Src() + "\\a.dll -> " + pkg + "InstallFiles\\a.dll",
                                 "복사완료 " + Src() + "\\bin\\b.exe -> " + pkg + "InstallFiles\\b.exe",
                                 "인스톨용 파일 복사 완료(성공:2, 실패:0)"}));
    EXPECT_EQ(view.calls.front(), "ShowForRun");
    EXPECT_EQ(view.calls.back(), "StartAutoHide");
    EXPECT_TRUE(view.openFolderShown);
    EXPECT_EQ(view.openFolder, pkg);
    EXPECT_EQ(r.successes, 2);
    EXPECT_EQ(r.failures, 0);
    EXPECT_TRUE(r.scriptsWritten);
}

TEST_F(PackageBuilderTest, NetworkPackageCopiesEachFileOnceForTheWholeRange) {
    const package::PackageResult r = Build(NetworkInputs());
    const std::string pkg = Base() + "\\Deploy_20240305__net@c@Pexoril\\";
    ASSERT_EQ(r.packageFolder, pkg);
    EXPECT_EQ(Read(pkg + "qvInstall.bat"), Fixture("install_network.bat"));
    EXPECT_EQ(Read(pkg + "qvBackup.bat"), Fixture("backup_network.bat"));
    EXPECT_EQ(Read(pkg + "InstallFiles\\qvRecovery.bat_"), Fixture("recovery_network.bat"));
    EXPECT_EQ(Names(pkg + "InstallFiles"), (std::set<std::string>{"a.dll", "b.exe", "qvRecovery.bat_"}));
    EXPECT_EQ(view.lines.back(), "인스톨용 파일 복사 완료(성공:2, 실패:0)");
    EXPECT_EQ(view.calls.back(), "StartAutoHide");
}

TEST_F(PackageBuilderTest, RangeWithoutPcsCopiesNothingAndWritesNoCopyBlock) {
    const package::PackageResult r = Build(NetworkInputs("\\\\192.168.0.300"));
    const std::string pkg = r.packageFolder;
    EXPECT_EQ(view.lines, (Lines{"복사 실행", "인스톨용 파일 복사 완료(성공:0, 실패:0)"}));
    EXPECT_EQ(view.calls.back(), "StartAutoHide");
    EXPECT_EQ(Names(pkg + "InstallFiles"), (std::set<std::string>{"qvRecovery.bat_"}));
    const std::string install = Read(pkg + "qvInstall.bat"), backup = Read(pkg + "qvBackup.bat");
    EXPECT_EQ(install.find("for /L"), std::string::npos) << install;
    EXPECT_NE(install.find("set NetStartIP=300\r\n"), std::string::npos) << install;
    EXPECT_EQ(backup.find("echo Backup"), std::string::npos) << backup;
    EXPECT_NE(backup.find("copy \"InstallFiles\\qvRecovery.bat_\""), std::string::npos) << backup;
    EXPECT_TRUE(r.scriptsWritten);
}

TEST_F(PackageBuilderTest, EveryFailedCopyIsReportedAsAFailure) {
    // Two files of one name in different sub-folders, and a file whose
    // source went away since the refresh.
    testenv::WriteFile(Src() + "\\old\\a.dll", "other a");
    package::PackageInputs in = LocalInputs();
    in.records = {Record("a.dll", "C:\\배포\\Line\\a.dll"), Record("old\\a.dll", "C:\\배포\\Line\\old\\a.dll"),
                  Record("gone.dll", "C:\\배포\\Line\\gone.dll")};
    const package::PackageResult r = Build(in);
    const std::string files = r.packageFolder + "InstallFiles\\";
    EXPECT_EQ(view.lines, (Lines{"복사 실행", "복사완료 " + Src() + "\\a.dll -> " + files + "a.dll",
                                 "복사실패 " + Src() + "\\old\\a.dll -> " + files + "a.dll",
                                 "복사실패 " + Src() + "\\gone.dll -> " + files + "gone.dll",
                                 "인스톨용 파일 복사 완료(성공:1, 실패:2)"}));
    EXPECT_EQ(Read(files + "a.dll"), "new a");  // the first one's, whole
    EXPECT_EQ(Names(files), (std::set<std::string>{"a.dll", "qvRecovery.bat_"}));
    EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), "StartAutoHide"), 0);  // the window stays open
    // The backup lines are written whatever the copy's result.
    const std::string backup = Read(r.packageFolder + "qvBackup.bat");
    for (const char* rel : {"\\a.dll", "\\old\\a.dll", "\\gone.dll"})
        EXPECT_NE(backup.find(std::string("echo Backup \"C:\\배포\\Line") + rel + "\"\r\n"), std::string::npos) << rel;
}

TEST_F(PackageBuilderTest, ASecondBuildReplacesOnlyThePackageAtItsOwnPlace) {
    package::PackageInputs in = LocalInputs();
    const std::string first = Build(in).packageFolder;
    testenv::WriteFile(first + "InstallFiles\\stale.dll", "from the first build");
    testenv::WriteFile(first + "notes\\deep\\x.txt", "x");
    // A folder of the same name elsewhere below the base folder is not this
    // package; a directory link inside the earlier package leads out of it.
    const std::string elsewhere = Base() + "\\archive\\Deploy_20240305__Ci@배포@Line";
    testenv::WriteFile(elsewhere + "\\keep.txt", "kept");
    testenv::WriteFile(dir / "outside\\keep.txt", "kept");
    const bool linked = testenv::MakeDirLink(dir / "outside", first + "link");

    view = ui::ProgressRecorder();
    const std::string second = Build(in).packageFolder;
    EXPECT_EQ(second, first);
    std::set<std::string> names = Names(second);
    // Wine's RemoveDirectory refuses a link to a folder: it may stay, unfollowed.
    if (linked) names.erase("link");
    EXPECT_EQ(names, (std::set<std::string>{"InstallFiles", "qvBackup.bat", "qvInstall.bat"}));
    EXPECT_EQ(Names(second + "InstallFiles"), (std::set<std::string>{"a.dll", "b.exe", "qvRecovery.bat_"}));
    EXPECT_EQ(view.lines.back(), "인스톨용 파일 복사 완료(성공:2, 실패:0)");
    EXPECT_EQ(Read(elsewhere + "\\keep.txt"), "kept");
    if (linked) {
        EXPECT_EQ(Read(dir / "outside\\keep.txt"), "kept");
    }
}

TEST_F(PackageBuilderTest, APackagePlaceThatIsALinkIsNotFollowed) {
    const std::string place = Base() + "\\Deploy_20240305__Ci@배포@Line";
    testenv::WriteFile(dir / "elsewhere\\InstallFiles\\keep.dll", "kept");
    if (!testenv::MakeDirLink(dir / "elsewhere", place)) GTEST_SKIP() << "no directory links here";
    Build(LocalInputs());
    EXPECT_EQ(Read(dir / "elsewhere\\InstallFiles\\keep.dll"), "kept");
}

TEST_F(PackageBuilderTest, TheDateIsTakenOnce) {
    fx.dayMoves = true;
    const package::PackageResult r = Build(LocalInputs());
    const std::string folder = Base() + "\\Deploy_20240305__Ci@배포@Line";
    EXPECT_EQ(fx.removed, (Lines{folder}));
    EXPECT_EQ(fx.made, (Lines{Base(), folder, folder + "\\InstallFiles"}));
    EXPECT_EQ(r.packageFolder, folder + "\\");
}

TEST_F(PackageBuilderTest, ScriptsThatCannotBeCreatedLeaveThePackageEmptyAndTheWindowOpen) {
    struct {
        const char* name;
        std::string base;
        std::set<std::string> refused;  // below the package folder
    } cases[] = {
        {"base folder whose parent is missing", dir / "missing\\pkgs", {}},
        {"install script refused", Base(), {"qvInstall.bat"}},
        {"backup script refused", Base(), {"qvBackup.bat"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        package::PackageInputs in = LocalInputs();
        in.basePath = c.base;
        const std::string pkg = package::PackageFolder(c.base, "Deploy", 2024, 3, 5, "Ci@배포@Line") + "\\";
        fx.refused.clear();
        for (const auto& n : c.refused) fx.refused.insert(pkg + n);
        view = ui::ProgressRecorder();
        const package::PackageResult r = Build(in);
        EXPECT_FALSE(r.scriptsWritten);
        EXPECT_EQ(r.successes + r.failures, 0);
        ASSERT_GE(view.lines.size(), 2u);
        EXPECT_EQ(view.lines[0], "복사 실행");
        for (size_t i = 1; i < view.lines.size(); ++i)
            EXPECT_EQ(view.lines[i].rfind("배치파일 생성 실패 : " + pkg, 0), 0u) << view.lines[i];
        EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), "StartAutoHide"), 0);
        EXPECT_FALSE(platform::PathExists(pkg + "InstallFiles\\a.dll"));
        EXPECT_FALSE(platform::PathExists(pkg + "InstallFiles\\qvRecovery.bat_"));
        // The script that could be created holds its tail alone.
        if (c.refused.count("qvBackup.bat")) {
            EXPECT_EQ(Read(pkg + "qvInstall.bat"), InstallTail());
        }
        if (c.refused.count("qvInstall.bat")) {
            EXPECT_EQ(Read(pkg + "qvBackup.bat"), BackupTail());
        }
    }
    EXPECT_FALSE(platform::PathExists(dir / "missing"));
}

TEST_F(PackageBuilderTest, AnEmptyCopyListMakesAndShowsNothing) {
    package::PackageInputs in = LocalInputs();
    for (auto& r : in.records) r.inCopyList = false;
    in.basePath = dir / "new";
    EXPECT_FALSE(Build(in).ran);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_FALSE(platform::PathExists(in.basePath));
}

TEST(PackageBuilder, AnEmptyBaseFolderPutsThePackageAtTheRootOfTheCurrentDrive) {
    testenv::EnsureDriveC();
    const std::string unique = "qvpkg" + std::to_string(reinterpret_cast<uintptr_t>(&unique) % 100000);
    const std::string work = "C:\\" + unique + "_cwd";
    testenv::MakeDirs(work);
    testenv::WriteFile(work + "\\src\\a.dll", "new a");
    const std::string before = platform::GetCurrentDir();
    ASSERT_TRUE(platform::SetCurrentDir(work));
    TestEffects fx;
    fx.currentDir = work;
    package::PackageInputs in;
    in.mode = OperationMode::Local;
    in.targetBox = "C:\\App";
    in.title = unique;
    in.sourceRoot = work + "\\src\\";
    CompareRecord rec;
    rec.source.path = work + "\\src\\a.dll";
    rec.target.path = "C:\\App\\a.dll";
    rec.inCopyList = true;
    in.records = {rec};
    ui::ProgressRecorder view;
    ui::PackageProgress report(view);
    const package::PackageResult r = package::BuildUpdatePackage(in, fx, report);
    platform::SetCurrentDir(before);
    EXPECT_EQ(r.packageFolder, "\\" + unique + "_20240305__Ci@App\\");
    const std::string atRoot = "C:\\" + unique + "_20240305__Ci@App";
    EXPECT_EQ(Read(atRoot + "\\InstallFiles\\a.dll"), "new a");
    EXPECT_EQ(view.lines.back(), "인스톨용 파일 복사 완료(성공:1, 실패:0)");
    testenv::RemoveTree(atRoot);
    testenv::RemoveTree(work);
}

TEST(PackageBuilder, TitleIsAlwaysAFolderName) {
    const struct {
        const char* setting;
        const char* cwd;
        const char* base;
        const char* title;
    } cases[] = {
        {"Deploy", "C:\\work\\line", ".\\qvInstallFiles", "Deploy"},
        {"", "C:\\work\\line", ".\\qvInstallFiles", "line"},  // the default: the current directory's name
        {"", "C:\\work\\line", "out\\pkgs", "out"},
        {"", "C:\\work\\line", "..\\pkgs", "work"},
        {"", "C:\\work\\line", ".\\qvInstallFiles\\", "line"},
        {"", "C:\\work\\line", "", "line"},  // the package lies at the drive's top
        {"", "C:\\work\\line", "D:\\Builds\\Pkg", "Builds"},  // absolute: the folder that holds it
        {"", "C:\\work\\line", "D:\\Pkg", "line"},            // at a drive's top: the current directory's
        {"", "C:\\work\\line", "D:", "line"},
        {"", "C:\\work\\line", "\\Pkg", "line"},
        {"", "C:\\work\\line", "\\\\host\\share\\pkgs", "share"},
        {"", "C:\\work\\line", "/work/배포/pkgs", "배포"},
        {"", "C:\\", "qvInstallFiles", ""},  // nothing names a folder here
        {"", "C:\\", "D:\\Pkg", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.cwd) + " + " + c.base);
        const std::string title = package::PackageTitleFrom(c.setting, c.cwd, c.base);
        EXPECT_EQ(title, c.title);
        EXPECT_EQ(title.find_first_of(":\\/"), std::string::npos);
    }
}

}  // namespace
