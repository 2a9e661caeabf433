// The real qvDeploy program, started as an operator's scheduled task would
// start it: its output (system code page bytes), its report file and its
// exit code. Network runs use real echoes: on loopback, and on the private
// test network when the test command has built one (QV_TEST_NET).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "agent/AgentProcess.h"
#include "cli/CliSupport.h"
#include "cli/RunReport.h"
#include "control/TargetRange.h"
#include "platform/FileCopy.h"
#include "platform/FileSystem.h"
#include "settings/SettingsKeys.h"
#include "support/TestEnv.h"
#include "ui/HeadlessControls.h"
#include "ui/MainWindowLogic.h"
#include "ui/PackageProgress.h"
#include "ui/ProgressRecorder.h"

namespace {

using clitest::Lines;
using clitest::Outcome;

struct Ran {
    int code = -1;
    Lines out;  // standard output and error together
    double seconds = 0;
    bool Has(const std::string& line) const { return std::find(out.begin(), out.end(), line) != out.end(); }
    std::string Text() const {
        std::string t;
        for (auto& l : out) t += l + "\n";
        return t;
    }
};

class ProcessTest : public ::testing::Test {
protected:
    std::string Ini() const { return dir / "line.ini"; }
    std::string Src() const { return dir / "src"; }

    Ran Deploy(std::vector<std::string> args, bool withSettings = true) {
        if (withSettings) args.insert(args.end(), {"--settings", Ini()});
        const std::string outFile = dir / ("out" + std::to_string(++runs) + ".txt");
        const auto t0 = std::chrono::steady_clock::now();
        helpers::AgentProcess p(testenv::ZDrivePath(QV_DEPLOY), args, dir.path(), outFile);
        Ran r;
        EXPECT_TRUE(p.ok()) << "qvDeploy did not start";
        const auto code = p.WaitForExit(120000);
        EXPECT_TRUE(code.has_value()) << "qvDeploy did not end";
        r.code = code.value_or(-1);
        r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        r.out = clitest::ReadLines(outFile);
        return r;
    }
    std::string Read(const std::string& path) { return platform::ReadWholeFile(path).value_or("<none>"); }

    testenv::TempDir dir;
    clitest::Settings settings;
    int runs = 0;
};

TEST_F(ProcessTest, FatalStartsExitWith16AndSayWhy) {
    struct Case {
        const char* what;
        std::vector<std::string> args;
        bool withSettings;
        std::string says;
    } cases[] = {
        {"no arguments", {}, false, "사용법: qvDeploy <명령> [옵션]"},
        {"unknown option", {"copy", "--force"}, false, "qvDeploy: 알 수 없는 옵션: --force"},
        {"missing value", {"copy", "--report"}, false, "qvDeploy: --report 옵션에 값이 없습니다"},
        {"no settings file", {"copy"}, true, "qvDeploy: 설정 파일을 읽을 수 없습니다: " + Ini()},
        {"no Quorvel.ini beside the program", {"compare"}, false, "Quorvel.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Ran r = Deploy(c.args, c.withSettings);
        EXPECT_EQ(r.code, 16);
        EXPECT_NE(r.Text().find(c.says), std::string::npos) << r.Text();
    }
}

TEST_F(ProcessTest, LocalCopyPrintsTheWindowsLinesAndADryRunForetellsIt) {
    const std::string tgt = dir / "tgt\\";
    testenv::WriteFile(Src() + "\\a.exe", "new a", 3000);
    testenv::WriteFile(Src() + "\\b.dll", "new b", 3000);
    testenv::WriteFile(Src() + "\\새 파일.txt", "new n", 3000);
    testenv::WriteFile(tgt + "a.exe", "old a", 2000);
    testenv::WriteFile(tgt + "b.dll", "old b", 2000);
    settings.values = {{keys::kSourceFolder, Src()}, {keys::kTargetFolder, tgt}, {keys::kAutoBackup, "0"},
                       {keys::kUpdateMode, "0"}};
    settings.lists[keys::kCopyFiles] = {"a.exe", "b.dll", "새 파일.txt"};
    clitest::WriteSettings(Ini(), settings);
    clitest::ReadOnlyFile readOnly(tgt + "b.dll");
    ASSERT_TRUE(readOnly.ok());

    const Ran compare = Deploy({"compare", "--csv"});
    EXPECT_EQ(compare.code, 0);
    ASSERT_FALSE(compare.out.empty());
    EXPECT_EQ(compare.out[0], "파일이름,크기(kb),수정날짜,비교결과,대상 크기(kb),대상 수정날짜,복사목록");

    const Ran dry = Deploy({"copy", "--dry-run", "--report", dir / "dry.csv"});
    EXPECT_EQ(Read(tgt + "a.exe"), "old a");
    const Ran real = Deploy({"copy", "--report", dir / "real.csv"});
    EXPECT_EQ(dry.code, 5) << dry.Text();
    EXPECT_EQ(real.code, 5) << real.Text();
    const auto rows = clitest::ReadCsv(dir / "real.csv");
    EXPECT_EQ(clitest::Outcomes(clitest::ReadCsv(dir / "dry.csv")), clitest::Outcomes(rows));

    // The whole output, in the order the report shows the files.
    Lines expected = {"복사 실행"};
    ASSERT_EQ(rows.size(), 3u);
    for (const auto& row : rows) {
        const std::string S = Src() + "\\" + row[1], T = tgt + row[1];
        if (row[2] == "copied") {
            expected.push_back("  복사완료 " + S + " -> " + T);
        } else {
            EXPECT_EQ(row[1], "b.dll");
            EXPECT_EQ(row[2], "copy-failed");
            expected.push_back("복사실패 " + S + " -> " + T);
            expected.push_back("  => " + platform::ErrorText(5) + " (5)");
        }
    }
    expected.insert(expected.end(), {"", "성공 : 2, 실패 : 1"});
    EXPECT_EQ(real.out, expected);
    EXPECT_EQ(Read(tgt + "새 파일.txt"), "new n");
    EXPECT_EQ(Read(tgt + "b.dll"), "old b");
}

// Every file below a folder, by its path below it, with its bytes.
std::map<std::string, std::string> Tree(const std::string& folder, const std::string& below = "") {
    std::map<std::string, std::string> files;
    platform::FindFiles(folder + "\\*.*", [&](const platform::FindData& f) {
        if (f.name == "." || f.name == "..") return true;
        const std::string path = folder + "\\" + f.name;
        if (f.attrib & platform::kAttrDirectory) {
            for (auto& [k, v] : Tree(path, below + f.name + "\\")) files[k] = v;
        } else {
            files[below + f.name] = platform::ReadWholeFile(path).value_or("<unreadable>");
        }
        return true;
    });
    return files;
}

TEST_F(ProcessTest, PackageBuildsTheSamePackageAsTheWindow) {
    const std::string tgt = dir / "tgt\\";
    testenv::WriteFile(Src() + "\\a.exe", "new a", 3000);
    testenv::WriteFile(Src() + "\\bin\\b.dll", "new b", 3000);
    testenv::WriteFile(Src() + "\\same.txt", "same", 2000);
    testenv::WriteFile(tgt + "a.exe", "old a", 2000);
    testenv::WriteFile(tgt + "same.txt", "same", 2000);
    settings.values = {{keys::kSourceFolder, Src()},       {keys::kTargetFolder, tgt},
                       {keys::kPackageTitle, "Line2"},     {keys::kPackageBasePath, dir / "pkg"},
                       {keys::kAutoBackup, "0"},           {keys::kUpdateMode, "0"}};
    settings.lists[keys::kCopyFiles] = {"a.exe", "bin\\b.dll"};
    clitest::WriteSettings(Ini(), settings);
    testenv::MakeDirs(dir / "pkg");

    // The window's button: a refresh, then the build over the window's inputs.
    ui::HeadlessControls controls;
    ui::MainWindowLogic logic(controls, Ini());
    logic.StartUp();
    logic.Refresh();
    ui::ProgressRecorder window;
    ui::PackageProgress windowReport(window);
    package::RealPackageEffects fx;
    const package::PackageResult built = package::BuildUpdatePackage(logic.PackageInputsNow(), fx, windowReport);
    ASSERT_TRUE(built.ran);
    ASSERT_EQ(built.failures, 0);
    const auto windowTree = Tree(built.packageFolder.substr(0, built.packageFolder.size() - 1));
    ASSERT_EQ(windowTree.count("InstallFiles\\b.dll"), 1u);
    ASSERT_EQ(windowTree.count("qvInstall.bat"), 1u);
    testenv::RemoveTree(built.packageFolder.substr(0, built.packageFolder.size() - 1));

    const Ran r = Deploy({"package"});
    EXPECT_EQ(r.code, cli::kExitCopied) << r.Text();
    Lines lines = window.lines;
    lines.push_back("패키지 폴더: " + built.packageFolder);
    EXPECT_EQ(r.out, lines);
    EXPECT_EQ(r.out.front(), "복사 실행");
    EXPECT_EQ(Tree(built.packageFolder.substr(0, built.packageFolder.size() - 1)), windowTree);
}

struct TestNet {
    std::string answering1, answering2;
};

// QV_TEST_NET="pc1 pc2 ignoring refused unheld", set by the test command
// inside the namespaces it built; nothing else is ever addressed.
bool GetTestNet(TestNet& net) {
    const char* v = std::getenv("QV_TEST_NET");
    if (!v) return false;
    std::istringstream in(v);
    return bool(in >> net.answering1 >> net.answering2);
}

TEST_F(ProcessTest, NetworkRunOnThePrivateNetworkWithAPcDownAndAReadOnlyTarget) {
    TestNet net;
    if (!GetTestNet(net))
        GTEST_SKIP() << "the private test network is not set up (the test command builds it as root with network "
                        "namespaces; QV_TEST_NET is unset)";
    // Three PCs in a row: the two that answer, and the next address of their
    // subnet, which nobody in the test's namespaces holds.
    const TargetRange probe{"\\\\" + net.answering1, "", 0};
    const int first = probe.StartOctet();
    if (net.answering2 != probe.AddressPrefix().substr(2) + std::to_string(first + 1))
        GTEST_SKIP() << "the test network's answering PCs are not neighbours: " << net.answering1 << " "
                     << net.answering2;
    std::map<int, std::unique_ptr<testenv::MappedShare>> pcs;
    auto app = [&](int n) { return pcs[n]->folder() + "\\app"; };
    for (int n : {first, first + 1, first + 2}) {
        pcs[n] = std::make_unique<testenv::MappedShare>(probe.PcRoot(n).substr(2), "c");
        if (!pcs[n]->ok()) GTEST_SKIP() << "shares cannot be mapped on this platform";
        testenv::MakeDirs(app(n));
        testenv::WriteFile(app(n) + "\\a.exe", "old a", 2000);
        testenv::WriteFile(app(n) + "\\b.dll", "old b", 2000);
    }
    clitest::ShareMappingsWithChildren();
    testenv::WriteFile(Src() + "\\a.exe", "new a", 3000);
    testenv::WriteFile(Src() + "\\b.dll", "new b", 3000);
    settings.values = {{keys::kSourceFolder, Src()},
                       {keys::kOperationMode, "1"},
                       {keys::kStartAddress, probe.startAddress},
                       {keys::kEndOctet, std::to_string(first + 2)},
                       {keys::kSharePath, "\\c\\app"},
                       {keys::kAutoBackup, "0"},
                       {keys::kUpdateMode, "0"}};
    settings.lists[keys::kCopyFiles] = {"a.exe", "b.dll"};
    clitest::WriteSettings(Ini(), settings);
    clitest::ReadOnlyFile readOnly(app(first + 1) + "\\b.dll");
    ASSERT_TRUE(readOnly.ok());

    const Ran dry = Deploy({"copy", "--dry-run", "--report", dir / "dry.csv"});
    const Ran real = Deploy({"copy", "--report", dir / "real.csv"});
    const int flags = cli::kExitCopied | cli::kExitPcNotAnswering | cli::kExitFileFailed;
    EXPECT_EQ(dry.code, flags) << dry.Text();
    EXPECT_EQ(real.code, flags) << real.Text();
    auto sorted = [](std::vector<Outcome> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    const std::string o1 = std::to_string(first), o2 = std::to_string(first + 1), o3 = std::to_string(first + 2);
    const auto realRows = clitest::Outcomes(clitest::ReadCsv(dir / "real.csv"));
    EXPECT_EQ(sorted(realRows), sorted({{o1, "a.exe", "copied"},
                                        {o1, "b.dll", "copied"},
                                        {o2, "a.exe", "copied"},
                                        {o2, "b.dll", "copy-failed"},
                                        {o3, "a.exe", "pc-not-answering"},
                                        {o3, "b.dll", "pc-not-answering"}}));
    EXPECT_EQ(clitest::Outcomes(clitest::ReadCsv(dir / "dry.csv")), realRows);
    EXPECT_TRUE(real.Has("  핑테스트 오류로 파일 복사 수행 스킵 - " + probe.PcRoot(first + 2))) << real.Text();
    EXPECT_TRUE(real.Has(probe.PcRoot(first + 1)));
    EXPECT_EQ(real.out.back(), "성공 : 3, 실패 : 3");
    EXPECT_EQ(Read(app(first) + "\\b.dll"), "new b");
    EXPECT_EQ(Read(app(first + 1) + "\\b.dll"), "old b");
    EXPECT_EQ(Read(app(first + 2) + "\\a.exe"), "old a");
}

TEST_F(ProcessTest, UpdateModeGoesOnWithoutAMissingAgentAfterTheWait) {
    qvPingICMP ping;
    if (ping.IsUnreachable("127.0.0.2") || ping.IsUnreachable("127.0.0.3"))
        GTEST_SKIP() << "no ICMP echo on loopback for this user";
    std::map<int, std::unique_ptr<testenv::MappedShare>> pcs, jobkeeper;
    for (int n : {2, 3}) {
        const std::string host = "127.0.0." + std::to_string(n);
        pcs[n] = std::make_unique<testenv::MappedShare>(host, "c");
        jobkeeper[n] = std::make_unique<testenv::MappedShare>(host, "Jobkeeper");
        if (!pcs[n]->ok()) GTEST_SKIP() << "shares cannot be mapped on this platform";
        testenv::WriteFile(pcs[n]->folder() + "\\app\\a.exe", "old a", 2000);
    }
    clitest::ShareMappingsWithChildren();
    testenv::WriteFile(Src() + "\\a.exe", "new a", 3000);
    settings.values = {{keys::kSourceFolder, Src()},     {keys::kOperationMode, "1"},
                       {keys::kStartAddress, "\\\\127.0.0.2"}, {keys::kEndOctet, "3"},
                       {keys::kSharePath, "\\c\\app"},     {keys::kAutoBackup, "0"},
                       {keys::kUpdateMode, "1"}};
    settings.lists[keys::kCopyFiles] = {"a.exe"};
    // A program nobody runs: the agent has nothing to stop.
    settings.lists[keys::kNetOff] = {"qvcli_absent_" + std::to_string(runs) + ".exe"};
    clitest::WriteSettings(Ini(), settings);
    // The agent of .2 runs; .3 has none.
    const std::string log = jobkeeper[2]->folder() + "\\qvAgent.log";
    helpers::AgentProcess agent(testenv::ZDrivePath(QV_AGENT), {jobkeeper[2]->folder()}, dir.path(), dir / "agent.txt");
    ASSERT_TRUE(agent.ok());
    for (int i = 0; i < 200 && !platform::PathExists(log); ++i) agent.WaitForExit(50);
    ASSERT_TRUE(platform::PathExists(log)) << "the agent did not start";

    const Ran r = Deploy({"copy", "--wait", "2", "--report", dir / "r.csv"});
    EXPECT_EQ(r.code, cli::kExitCopied | cli::kExitWaitOrCommand) << r.Text();
    EXPECT_GE(r.seconds, 2.0);
    EXPECT_LT(r.seconds, 30.0);
    EXPECT_TRUE(r.Has("  대기 시간 2초가 지나 명령 대기를 멈추고 복사 진행을 수행 합니다 (명령수행대기 무시)"))
        << r.Text();
    EXPECT_TRUE(r.Has("  프로그램 종료 명령어 수행완료 대기 0.0sec  명령 대기 네트워크 IP => 003 ") ||
                r.Has("  프로그램 종료 명령어 수행완료 대기 0.0sec  명령 대기 네트워크 IP => 002 003 "))
        << r.Text();
    std::vector<Outcome> pcRows;
    for (const auto& o : clitest::Outcomes(clitest::ReadCsv(dir / "r.csv")))
        if (o[1].empty()) pcRows.push_back(o);
    EXPECT_EQ(pcRows, (std::vector<Outcome>{{"2", "", "stop-command-written"},
                                            {"3", "", "stop-command-written"},
                                            {"2", "", "agent-answered"},
                                            {"3", "", "wait-cut-short"}}));
    for (int n : {2, 3}) EXPECT_EQ(Read(pcs[n]->folder() + "\\app\\a.exe"), "new a");
    agent.Kill();
}

}  // namespace
