// The scripts run for real by the Windows command interpreter (Wine's cmd.exe
// here), against temporary folders and UNC-mapped PCs; and the shell's path
// canonicalisation compared with the portable rules of TargetFolder.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compare/PathUtil.h"
#include "package/BatchScripts.h"
#include "package/PackageBuilder.h"
#include "package/TargetPaths.h"
#include "platform/FileSystem.h"
#include "support/TestEnv.h"
#include "ui/PackageProgress.h"
#include "ui/ProgressRecorder.h"

namespace {

std::string Read(const std::string& path) { return platform::ReadWholeFile(path).value_or("<missing>"); }

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    platform::FindFiles(folder + "\\*.*", [&](const platform::FindData& d) {
        if (d.name != "." && d.name != "..") names.push_back(d.name);
        return true;
    });
    return names;
}

std::string Today() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char buf[16];
    wsprintfA(buf, "%04u%02u%02u", t.wYear, t.wMonth, t.wDay);
    return buf;
}

// The short date format that %date% follows: the Korean Windows form
// yyyy-MM-dd, or Wine's own "yyyy. M. d.".
class ShortDate {
public:
    explicit ShortDate(const char* format) {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\International", 0, KEY_READ | KEY_SET_VALUE, &key_))
            return;
        char buf[80];
        DWORD size = sizeof buf, type = 0;
        if (!RegQueryValueExA(key_, "sShortDate", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) &&
            type == REG_SZ) {
            had_ = true;
            before_.assign(buf, strnlen(buf, size));
        }
        Set(format);
    }
    ~ShortDate() {
        if (!key_) return;
        if (had_)
            Set(before_.c_str());
        else
            RegDeleteValueA(key_, "sShortDate");
        RegCloseKey(key_);
    }

private:
    void Set(const char* f) {
        RegSetValueExA(key_, "sShortDate", 0, REG_SZ, reinterpret_cast<const BYTE*>(f), DWORD(strlen(f) + 1));
    }
    HKEY key_ = nullptr;
    bool had_ = false;
    std::string before_;
};

struct RunResult {
    bool finished = false;
    std::string output;
};

// cmd /c script, started in another folder than the script's own, with
// `input` waiting on standard input and then its end: Wine's "set /p" takes
// everything already in the pipe, and a pause at the end of input goes on.
RunResult RunScript(const std::string& script, const std::string& input, const std::string& startFolder,
                    const std::string& outputFile) {
    RunResult r;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE inRead = nullptr, inWrite = nullptr;
    if (!CreatePipe(&inRead, &inWrite, &sa, 0)) return r;
    SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
    HANDLE out = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = inRead;
    si.hStdOutput = out;
    si.hStdError = out;
    PROCESS_INFORMATION pi{};
    std::string cmd = "cmd.exe /c \"\"" + script + "\"\"";
    const BOOL started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        startFolder.c_str(), &si, &pi);
    CloseHandle(inRead);
    CloseHandle(out);
    if (started) {
        DWORD written = 0;
        WriteFile(inWrite, input.data(), DWORD(input.size()), &written, nullptr);
        CloseHandle(inWrite);
        r.finished = WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
        if (!r.finished) TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    } else {
        CloseHandle(inWrite);
    }
    r.output = Read(outputFile);
    return r;
}

// A backup folder the scripts made under C:\Quorvel, removed afterwards.
class QuorvelFolders {
public:
    ~QuorvelFolders() {
        for (const auto& f : made_) testenv::RemoveTree(f);
        platform::RemoveDir("C:\\Quorvel");  // only when nothing else is in it
    }
    // The folders below C:\Quorvel whose name starts with label + "_".
    std::vector<std::string> Find(const std::string& label) {
        std::vector<std::string> found;
        for (const auto& n : Names("C:\\Quorvel"))
            if (n.compare(0, label.size() + 1, label + "_") == 0) found.push_back("C:\\Quorvel\\" + n);
        made_.insert(made_.end(), found.begin(), found.end());
        return found;
    }

private:
    std::vector<std::string> made_;
};

std::string Unique() { return std::to_string(GetCurrentProcessId()); }

TEST(ScriptRun, RecoveryRestoresTheLocalTargetAndValuesStayInert) {
    testenv::TempDir t;
    // '%' and '&' in the target folder; a '&' in the name of the folder the
    // script runs from, as in a backup folder named after this target. (Wine's
    // cmd expands a '%' again inside the text of %~dp0, which Windows does
    // not, so the script's own folder holds no '%' here.)
    const std::string target = t / "R&D 100% & co";
    ScriptValues v;
    v.mode = OperationMode::Local;
    v.targetFolder = TargetFolderFrom(t.path(), "R&D 100% & co");
    ASSERT_EQ(v.targetFolder, target);
    v.targetLabel = TargetLabel(v.targetFolder);
    const std::string backup = t / "bak R&D";
    testenv::WriteFile(backup + "\\a.txt", "saved a");
    testenv::WriteFile(backup + "\\b.dll", "saved b");
    testenv::WriteFile(target + "\\a.txt", "new a");
    testenv::WriteFile(target + "\\c.txt", "untouched");
    WriteRecoveryScript(backup + "\\/qvRecovery.bat", v);
    testenv::MakeDirs(t / "elsewhere");

    const RunResult r = RunScript(backup + "\\qvRecovery.bat", "", t / "elsewhere", t / "out.txt");
    ASSERT_TRUE(r.finished) << r.output;
    EXPECT_EQ(Read(target + "\\a.txt"), "saved a") << r.output;
    EXPECT_EQ(Read(target + "\\b.dll"), "saved b");
    EXPECT_EQ(Read(target + "\\c.txt"), "untouched");
    EXPECT_FALSE(platform::PathExists(target + "\\qvRecovery.bat"));  // its copy deleted again
    EXPECT_TRUE(platform::PathExists(backup + "\\qvRecovery.bat"));
    EXPECT_EQ(Names(target).size(), 3u);
    EXPECT_TRUE(Names(t / "elsewhere").empty());  // nothing copied from the starting folder
    EXPECT_NE(r.output.find("대상폴더 : " + target + "\r\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("복원 완료"), std::string::npos) << r.output;
}

TEST(ScriptRun, RecoveryRestoresEveryPcOfTheRange) {
    // \\127.0.91.N\c exist only as folders of Wine's UNC map: no traffic.
    testenv::MappedShare pc5("127.0.91.5", "c"), pc6("127.0.91.6", "c"), pc7("127.0.91.7", "c"), pc8("127.0.91.8", "c");
    if (!pc5.ok()) GTEST_SKIP() << "no UNC map here";
    // A share path with "%i", which the loop must not take for its variable.
    const std::string app = "app%i";
    for (auto* pc : {&pc5, &pc6, &pc7, &pc8}) testenv::WriteFile(pc->folder() + "\\" + app + "\\a.txt", "new a");
    testenv::TempDir t;
    ScriptValues v;
    v.mode = OperationMode::Network;
    v.SetRange(TargetRange{"\\\\127.0.91.5", "\\c\\" + app, 7});
    v.targetLabel = TargetLabel("net\\c\\" + app);
    testenv::WriteFile(t / "bak\\a.txt", "saved a");
    WriteRecoveryScript(t / "bak\\/qvRecovery.bat", v);

    const RunResult r = RunScript(t / "bak\\qvRecovery.bat", "", t.path(), t / "out.txt");
    ASSERT_TRUE(r.finished) << r.output;
    for (auto* pc : {&pc5, &pc6, &pc7}) {
        SCOPED_TRACE(pc->unc());
        EXPECT_EQ(Read(pc->folder() + "\\" + app + "\\a.txt"), "saved a") << r.output;
        EXPECT_FALSE(platform::PathExists(pc->folder() + "\\" + app + "\\qvRecovery.bat"));
    }
    EXPECT_EQ(Read(pc8.folder() + "\\" + app + "\\a.txt"), "new a");  // outside the range
    // The loop's copy names the same folder with 'I': Windows names ignore case.
    EXPECT_NE(r.output.find("CopyTo \"\\\\127.0.91.7\\c\\app%I\""), std::string::npos) << r.output;
}

// An update package as the package builder lays it out.
struct Package {
    std::string folder;
    void Write(const ScriptValues& v, const std::string& root) {
        folder = root;
        testenv::WriteFile(folder + "\\qvInstall.bat", InstallScript(v));
        testenv::WriteFile(folder + "\\qvBackup.bat", BackupScript(v));
        testenv::WriteFile(folder + "\\InstallFiles\\a.txt", "new a");
        testenv::WriteFile(folder + "\\InstallFiles\\b.dll", "new b");
        WriteRecoveryScript(folder + "\\InstallFiles\\qvRecovery.bat_", v);
    }
};

TEST(ScriptRun, InstallAsksFirstAndBacksUpUnlessTheAnswerIsN) {
    ShortDate korean("yyyy-MM-dd");
    QuorvelFolders backups;
    struct {
        const char* answer;
        bool backs;
    } cases[] = {{"n", false}, {"N", false}, {"y", true}, {"", true}, {"yes", true}};
    testenv::TempDir t;
    int k = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("answer '") + c.answer + "'");
        const std::string target = t / ("target" + Unique() + "_" + std::to_string(k++));
        testenv::WriteFile(target + "\\a.txt", "old a");
        testenv::WriteFile(target + "\\c.txt", "untouched");
        ScriptValues v;
        v.mode = OperationMode::Local;
        v.targetFolder = target;
        v.targetLabel = TargetLabel(target);
        v.files = {{"\\a.txt", target + "\\a.txt"}, {"\\b.dll", target + "\\b.dll"}};
        Package p;
        p.Write(v, t / ("pkg" + std::to_string(k)));

        const std::string before = Today();
        const RunResult r = RunScript(p.folder + "\\qvInstall.bat", std::string(c.answer) + "\r\n", t.path(),
                                      t / "out.txt");
        ASSERT_TRUE(r.finished) << r.output;
        EXPECT_EQ(Read(target + "\\a.txt"), "new a") << r.output;
        EXPECT_EQ(Read(target + "\\b.dll"), "new b");
        EXPECT_EQ(Read(target + "\\c.txt"), "untouched");
        EXPECT_EQ(Names(target).size(), 3u) << "the recovery script's copy is deleted";

        const auto found = backups.Find(v.targetLabel);
        if (!c.backs) {
            EXPECT_TRUE(found.empty());
            continue;
        }
        ASSERT_EQ(found.size(), 1u) << r.output;
        // yyyy-MM-dd minus every '-': the copy run's name for the same day.
        const std::string after = Today();
        EXPECT_TRUE(found[0] == "C:\\Quorvel\\" + v.targetLabel + "_" + before ||
                    found[0] == "C:\\Quorvel\\" + v.targetLabel + "_" + after)
            << found[0];
        EXPECT_EQ(Read(found[0] + "\\a.txt"), "old a");  // the target's copy before the install
        EXPECT_FALSE(platform::PathExists(found[0] + "\\b.dll"));  // the target had none
        EXPECT_EQ(Read(found[0] + "\\qvRecovery.bat"), RecoveryScript(v));
    }
}

TEST(ScriptRun, NetworkInstallBacksUpTheFirstPcWithBlanksInTheDate) {
    // Wine's own Korean short date, "yyyy. M. d.", puts blanks into %datez%:
    // the backup copy's destination must be quoted to survive them.
    ShortDate wine("yyyy. M. d.");
    QuorvelFolders backups;
    testenv::MappedShare pc5("127.0.92.5", "c"), pc6("127.0.92.6", "c"), pc7("127.0.92.7", "c");
    if (!pc5.ok()) GTEST_SKIP() << "no UNC map here";
    const std::string app = "qv" + Unique();
    testenv::WriteFile(pc5.folder() + "\\" + app + "\\a.txt", "old a on 5");
    testenv::WriteFile(pc6.folder() + "\\" + app + "\\a.txt", "old a on 6");
    testenv::MakeDirs(pc7.folder() + "\\" + app);
    ScriptValues v;
    v.mode = OperationMode::Network;
    v.SetRange(TargetRange{"\\\\127.0.92.5", "\\c\\" + app, 7});
    v.targetLabel = TargetLabel("net\\c\\" + app);
    v.files = {{"\\a.txt", v.startAddress + "\\c\\" + app + "\\a.txt"}};
    testenv::TempDir t;
    Package p;
    p.Write(v, t / "pkg");

    const RunResult r = RunScript(p.folder + "\\qvInstall.bat", "y\r\n", t.path(), t / "out.txt");
    ASSERT_TRUE(r.finished) << r.output;
    for (auto* pc : {&pc5, &pc6, &pc7}) {
        SCOPED_TRACE(pc->unc());
        EXPECT_EQ(Read(pc->folder() + "\\" + app + "\\a.txt"), "new a") << r.output;
        EXPECT_EQ(Read(pc->folder() + "\\" + app + "\\b.dll"), "new b");
        EXPECT_FALSE(platform::PathExists(pc->folder() + "\\" + app + "\\qvRecovery.bat_"));
    }
    const auto found = backups.Find(v.targetLabel);
    ASSERT_EQ(found.size(), 1u) << r.output;
    EXPECT_NE(found[0].find(' '), std::string::npos) << found[0];
    EXPECT_EQ(Read(found[0] + "\\a.txt"), "old a on 5") << r.output;
    EXPECT_EQ(Read(found[0] + "\\qvRecovery.bat"), RecoveryScript(v));
}

// TargetFolder resolves "." and ".." with portable rules; the shell's own
// canonicalisation gives the same folders.
TEST(ShellCanonicalization, AgreesWithTargetFolder) {
    HMODULE shlwapi = LoadLibraryA("shlwapi.dll");
    ASSERT_NE(shlwapi, nullptr);
    using Fn = BOOL(WINAPI*)(LPSTR, LPCSTR);
    auto canonicalize = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(shlwapi, "PathCanonicalizeA")));
    ASSERT_NE(canonicalize, nullptr);
    auto shell = [&](const std::string& path) {
        char out[MAX_PATH] = {};
        EXPECT_TRUE(canonicalize(out, path.c_str())) << path;
        return std::string(out);
    };
    const struct {
        const char* cwd;
        const char* field;
    } cases[] = {
        {"C:\\tools\\bin", "app"},
        {"C:\\tools\\bin", "..\\out"},
        {"C:\\tools\\bin", ".\\a\\.\\b\\..\\c"},
        {"C:\\tools\\bin", "..\\..\\..\\.."},
        {"C:\\", ".."},
        {"C:\\tools", "sub\\"},
        {"C:\\tools\\bin", "배포\\..\\앱"},
        {"\\\\host\\share\\dir", "..\\x"},
        {"\\\\host\\share\\dir", "..\\..\\x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.cwd) + " + " + c.field);
        std::string joined = c.cwd;
        if (joined.back() != '\\') joined += '\\';
        EXPECT_EQ(TargetFolderFrom(c.cwd, c.field), shell(joined + c.field));
    }
    // What NormalizePath leaves to the shell: a bare drive gets its root.
    // (Wine's shell keeps "C:\." as it stands; NormalizePath never leaves one.)
    for (const char* normalized : {"C:", "C:\\a", "C:\\a\\", "\\a\\b"})
        EXPECT_EQ(CanonicalForm(normalized), shell(normalized)) << normalized;
}

// A package built by the package builder from a source folder with a file in
// a sub-folder, used as an operator would: install with a backup (answer y)
// or without (n), then the recovery script from the backup folder.
struct BuiltPackage {
    std::string folder;
    std::vector<std::string> lines;
};

BuiltPackage BuildFrom(package::PackageInputs in, const std::string& src) {
    testenv::WriteFile(src + "\\a.txt", "new a");
    testenv::WriteFile(src + "\\sub\\b.dll", "new b");
    in.sourceRoot = src + "\\";
    package::RealPackageEffects fx;
    ui::ProgressRecorder view;
    ui::PackageProgress report(view);
    const package::PackageResult r = package::BuildUpdatePackage(in, fx, report);
    return {r.packageFolder, view.lines};
}

CompareRecord CopyListRecord(const std::string& source, const std::string& target) {
    CompareRecord r;
    r.source.path = source;
    r.target.path = target;
    r.inCopyList = true;
    return r;
}

TEST(PackageRun, LocalPackageInstallsBacksUpAndRecovers) {
    ShortDate korean("yyyy-MM-dd");
    QuorvelFolders backups;
    testenv::TempDir t;
    for (const char* answer : {"y", "n"}) {
        SCOPED_TRACE(std::string("answer ") + answer);
        const std::string target = t / ("target" + Unique() + answer);
        testenv::WriteFile(target + "\\a.txt", "old a");
        testenv::WriteFile(target + "\\c.txt", "untouched");
        package::PackageInputs in;
        in.mode = OperationMode::Local;
        in.targetBox = target;
        in.basePath = t / "pkgs";
        const std::string src = t / ("src_" + std::string(answer));
        in.records = {CopyListRecord(src + "\\a.txt", target + "\\a.txt"),
                      CopyListRecord(src + "\\sub\\b.dll", target + "\\sub\\b.dll")};
        const BuiltPackage p = BuildFrom(in, src);
        ASSERT_EQ(p.lines.back(), "인스톨용 파일 복사 완료(성공:2, 실패:0)");

        const std::string before = Today();
        RunResult r = RunScript(p.folder + "qvInstall.bat", std::string(answer) + "\r\n", t.path(), t / "out.txt");
        ASSERT_TRUE(r.finished) << r.output;
        EXPECT_EQ(Read(target + "\\a.txt"), "new a") << r.output;
        EXPECT_EQ(Read(target + "\\b.dll"), "new b");  // flat, at the top of the target
        EXPECT_EQ(Read(target + "\\c.txt"), "untouched");
        EXPECT_EQ(Names(target).size(), 3u) << "the recovery script's copy is deleted";

        const std::string label = TargetLabel(target);
        const auto found = backups.Find(label);
        if (std::string(answer) == "n") {
            EXPECT_TRUE(found.empty());
            continue;
        }
        ASSERT_EQ(found.size(), 1u) << r.output;
        EXPECT_TRUE(found[0] == "C:\\Quorvel\\" + label + "_" + before ||
                    found[0] == "C:\\Quorvel\\" + label + "_" + Today())
            << found[0];
        EXPECT_EQ(Read(found[0] + "\\a.txt"), "old a");
        EXPECT_EQ(Read(found[0] + "\\qvRecovery.bat"), Read(p.folder + "InstallFiles\\qvRecovery.bat_"));

        r = RunScript(found[0] + "\\qvRecovery.bat", "", t.path(), t / "out.txt");
        ASSERT_TRUE(r.finished) << r.output;
        EXPECT_EQ(Read(target + "\\a.txt"), "old a") << r.output;
        EXPECT_FALSE(platform::PathExists(target + "\\qvRecovery.bat"));
    }
}

TEST(PackageRun, NetworkPackageInstallsOnEveryPcAndRecoversFromTheFirst) {
    ShortDate korean("yyyy-MM-dd");
    QuorvelFolders backups;
    testenv::MappedShare pc5("127.0.93.5", "c"), pc6("127.0.93.6", "c"), pc7("127.0.93.7", "c");
    if (!pc5.ok()) GTEST_SKIP() << "no UNC map here";
    const std::string app = "pk" + Unique();
    testenv::WriteFile(pc5.folder() + "\\" + app + "\\a.txt", "old a on 5");
    testenv::WriteFile(pc6.folder() + "\\" + app + "\\a.txt", "old a on 6");
    testenv::MakeDirs(pc7.folder() + "\\" + app);
    testenv::TempDir t;
    package::PackageInputs in;
    in.mode = OperationMode::Network;
    in.range = TargetRange{"\\\\127.0.93.5", "\\c\\" + app, 6};
    in.shareBox = "\\c\\" + app;
    in.title = "Net";
    in.basePath = t / "pkgs";
    const std::string pc = "\\\\127.0.93.5\\c\\" + app;
    in.records = {CopyListRecord(t / "src\\a.txt", pc + "\\a.txt"),
                  CopyListRecord(t / "src\\sub\\b.dll", pc + "\\sub\\b.dll")};
    const BuiltPackage p = BuildFrom(in, t / "src");
    ASSERT_EQ(p.lines.back(), "인스톨용 파일 복사 완료(성공:2, 실패:0)");

    RunResult r = RunScript(p.folder + "qvInstall.bat", "y\r\n", t.path(), t / "out.txt");
    ASSERT_TRUE(r.finished) << r.output;
    for (auto* m : {&pc5, &pc6}) {
        SCOPED_TRACE(m->unc());
        EXPECT_EQ(Read(m->folder() + "\\" + app + "\\a.txt"), "new a") << r.output;
        EXPECT_EQ(Read(m->folder() + "\\" + app + "\\b.dll"), "new b");
        EXPECT_EQ(Names(m->folder() + "\\" + app).size(), 2u);
    }
    EXPECT_TRUE(Names(pc7.folder() + "\\" + app).empty());  // outside the range
    const auto found = backups.Find(TargetLabel("net\\c\\" + app));
    ASSERT_EQ(found.size(), 1u) << r.output;
    EXPECT_EQ(Read(found[0] + "\\a.txt"), "old a on 5");

    r = RunScript(found[0] + "\\qvRecovery.bat", "", t.path(), t / "out.txt");
    ASSERT_TRUE(r.finished) << r.output;
    for (auto* m : {&pc5, &pc6}) {
        SCOPED_TRACE(m->unc());
        EXPECT_EQ(Read(m->folder() + "\\" + app + "\\a.txt"), "old a on 5") << r.output;
        EXPECT_FALSE(platform::PathExists(m->folder() + "\\" + app + "\\qvRecovery.bat"));
    }
    EXPECT_TRUE(Names(pc7.folder() + "\\" + app).empty());
}

}  // namespace
