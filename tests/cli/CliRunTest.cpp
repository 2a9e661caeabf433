// qvDeploy in-process over real folders and mapped PC shares: which PCs answer
// an echo, the clock and the agents are the test's own (as in the copy run's
// tests); the first PC's echo at the refresh is a real one on loopback.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "cli/CliSupport.h"
#include "cli/Deploy.h"
#include "control/TargetRange.h"
#include "deploy/CopyRun.h"
#include "package/TargetPaths.h"
#include "platform/FileSystem.h"
#include "settings/SettingsKeys.h"
#include "support/TestEnv.h"
#include "ui/FileListModel.h"

namespace {

using clitest::Lines;
using clitest::Outcome;
using Args = std::vector<std::string>;

class TestEffects : public deploy::RealEffects {
public:
    std::set<std::string> answering;
    // PC root -> looks at its command file before the agent takes it; a PC
    // not listed has no agent.
    std::map<std::string, int> agentLooks;
    uint32_t now = 5000;
    int sleeps = 0;
    int restarts = 0;

    bool IsUnreachable(const std::string& address) override { return !answering.count(address); }
    bool CommandFilePending(const std::string& pcRoot) override {
        auto it = agentLooks.find(pcRoot);
        if (it != agentLooks.end() && it->second-- <= 0) platform::RemoveFile(pcRoot + "\\Jobkeeper\\CopyScript.TSF");
        return RealEffects::CommandFilePending(pcRoot);
    }
    void TerminateLocalPrograms(const std::vector<std::string>&, const control::ProgramLists&) override {}
    void RestartPrograms(OperationMode, const std::string&, const control::ProgramLists&, const TargetRange&) override {
        ++restarts;
    }
    bool Today(int& y, int& m, int& d) override {
        y = 2024, m = 3, d = 5;
        return true;
    }
    uint32_t TickCount() override { return now; }
    void Sleep(int ms) override {
        now += uint32_t(ms);
        ++sleeps;
    }
};

struct Result {
    int code = -1;
    Lines out, err;
    bool OutHas(const std::string& line) const { return std::find(out.begin(), out.end(), line) != out.end(); }
    std::string ErrText() const {
        std::string t;
        for (auto& l : err) t += l + "\n";
        return t;
    }
};

class CliTest : public ::testing::Test {
protected:
    std::string Ini() const { return dir / "Quorvel.ini"; }
    std::string Src() const { return dir / "src"; }

    Result Cli(Args args, bool withSettings = true) {
        if (withSettings) args.insert(args.end(), {"--settings", Ini()});
        Result r;
        const cli::Console console{[&](const std::string& l) { r.out.push_back(l); },
                                   [&](const std::string& l) { r.err.push_back(l); }};
        r.code = cli::Main(args, console, dir / "qvDeploy.exe", fx);
        return r;
    }
    std::string Read(const std::string& path) { return platform::ReadWholeFile(path).value_or("<none>"); }

    testenv::TempDir dir;
    TestEffects fx;
    clitest::Settings settings;
};

TEST_F(CliTest, FatalStartsSayWhyAndTouchNothing) {
    testenv::WriteFile(Src() + "\\a.exe", "new a", 3000);
    testenv::WriteFile(dir / "tgt\\a.exe", "old a", 2000);
    struct Case {
        const char* what;
        Args args;
        clitest::Settings settings;
        bool writeSettings;
        const char* inError;
    } cases[] = {
        {"no settings file", {"copy", "--newer"}, {}, false, "설정 파일을 읽을 수 없습니다: "},
        {"no such source folder",
         {"copy", "--newer"},
         {{{keys::kSourceFolder, dir / "nosuch"}, {keys::kTargetFolder, dir / "tgt\\"}}, {}},
         true,
         "원본 폴더가 없습니다: "},
        {"no source folder set", {"compare"}, {{{keys::kTargetFolder, dir / "tgt\\"}}, {}}, true, "원본 폴더가 없습니다"},
        {"network without a start address",
         {"copy", "--newer"},
         {{{keys::kSourceFolder, Src()}, {keys::kOperationMode, "1"}, {keys::kStartAddress, "pc1"}}, {}},
         true,
         "네트워크 시작 주소"},
        {"unknown option", {"copy", "--all"}, {}, true, "알 수 없는 옵션: --all"},
        {"missing value", {"copy", "--wait"}, {}, true, "--wait 옵션에 값이 없습니다"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        platform::RemoveFile(Ini());
        if (c.writeSettings) clitest::WriteSettings(Ini(), c.settings);
        const Result r = Cli(c.args);
        EXPECT_EQ(r.code, cli::kExitFatal);
        EXPECT_NE(r.ErrText().find(c.inError), std::string::npos) << r.ErrText();
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(Read(dir / "tgt\\a.exe"), "old a");
    }
    // Usage with the refusal of arguments; the missing file named in full.
    platform::RemoveFile(Ini());
    EXPECT_NE(Cli({"copy", "-x"}).ErrText().find("사용법: qvDeploy <명령> [옵션]"), std::string::npos);
    EXPECT_NE(Cli({"compare"}).ErrText().find(Ini()), std::string::npos);
    // Without --settings: Quorvel.ini beside the program.
    EXPECT_NE(Cli({"compare"}, false).ErrText().find(dir / "Quorvel.ini"), std::string::npos);
}

// PCs 127.0.0.101 to .103 on mapped shares; .102 is switched off as far as
// the run's echo checks go.
class NetworkCliTest : public CliTest {
protected:
    void SetUp() override {
        qvPingICMP ping;
        if (ping.IsUnreachable("127.0.0.101"))
            GTEST_SKIP() << "no ICMP echo on loopback for this user (the refresh checks the first PC for real)";
        for (int n : {101, 102, 103}) {
            const std::string host = "127.0.0." + std::to_string(n);
            pcs[n] = std::make_unique<testenv::MappedShare>(host, "c");
            jobkeeper[n] = std::make_unique<testenv::MappedShare>(host, "Jobkeeper");
            if (!pcs[n]->ok()) GTEST_SKIP() << "shares cannot be mapped on this platform";
            testenv::MakeDirs(pcs[n]->folder() + "\\app");
        }
        fx.answering = {"127.0.0.101", "127.0.0.103"};
        testenv::WriteFile(Src() + "\\a.exe", "new a", 3000);
        testenv::WriteFile(Src() + "\\b.dll", "new b", 3000);
        testenv::WriteFile(Src() + "\\c.dat", "new c", 3000);
        for (int n : {101, 103}) {
            testenv::WriteFile(App(n) + "\\a.exe", "old a", 2000);
            testenv::WriteFile(App(n) + "\\b.dll", "old b", 2000);
        }
        settings.values = {{keys::kSourceFolder, Src()},       {keys::kOperationMode, "1"},
                           {keys::kStartAddress, "\\\\127.0.0.101"}, {keys::kEndOctet, "103"},
                           {keys::kSharePath, "\\c\\app"},       {keys::kAutoBackup, "0"},
                           {keys::kUpdateMode, "0"}};
        settings.lists[keys::kCopyFiles] = {"a.exe", "b.dll", "c.dat"};
        clitest::WriteSettings(Ini(), settings);
    }
    std::string App(int n) { return pcs[n]->folder() + "\\app"; }
    std::string Target(int n, const char* file) { return "\\\\127.0.0." + std::to_string(n) + "\\c\\app\\" + file; }

    std::map<int, std::unique_ptr<testenv::MappedShare>> pcs, jobkeeper;
};

TEST_F(NetworkCliTest, ADryRunForetellsTheRunPerPcAndFile) {
    clitest::ReadOnlyFile readOnly(App(103) + "\\b.dll");
    ASSERT_TRUE(readOnly.ok()) << "cannot make a read-only target here";

    const Result dry = Cli({"copy", "--dry-run", "--report", dir / "dry.csv"});
    // Nothing done: no file copied anywhere.
    EXPECT_EQ(Read(App(101) + "\\a.exe"), "old a");
    EXPECT_FALSE(platform::PathExists(App(101) + "\\c.dat"));
    for (const auto& l : dry.out) EXPECT_TRUE(l.empty() || l.rfind("(모의) ", 0) == 0) << l;

    const Result real = Cli({"copy", "--report", dir / "real.csv"});
    const int expected = cli::kExitCopied | cli::kExitPcNotAnswering | cli::kExitFileFailed;
    EXPECT_EQ(dry.code, expected) << dry.ErrText();
    EXPECT_EQ(real.code, expected) << real.ErrText();

    const std::vector<Outcome> want = {
        {"101", "a.exe", "copied"},           {"101", "b.dll", "copied"},           {"101", "c.dat", "copied"},
        {"102", "a.exe", "pc-not-answering"}, {"102", "b.dll", "pc-not-answering"}, {"102", "c.dat", "pc-not-answering"},
        {"103", "a.exe", "copied"},           {"103", "b.dll", "copy-failed"},      {"103", "c.dat", "copied"},
    };
    auto sorted = [](std::vector<Outcome> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    const auto realRows = clitest::ReadCsv(dir / "real.csv");
    EXPECT_EQ(sorted(clitest::Outcomes(realRows)), want);
    EXPECT_EQ(clitest::Outcomes(clitest::ReadCsv(dir / "dry.csv")), clitest::Outcomes(realRows));
    for (const auto& row : realRows) {
        ASSERT_EQ(row.size(), 5u);
        EXPECT_EQ(row[4], "copy");
        if (row[2] == "copy-failed") {
            EXPECT_EQ(row[3], platform::ErrorText(5) + " (5): " + Target(103, "b.dll"));
        }
        if (row[2] == "copied") {
            EXPECT_EQ(row[3], Target(std::stoi(row[0]), row[1].c_str()));
        }
    }

    // The window's lines, as they happened.
    EXPECT_EQ(real.out.front(), "복사 실행");
    EXPECT_TRUE(real.OutHas("  핑테스트 오류로 파일 복사 수행 스킵 - \\\\127.0.0.102"));
    EXPECT_TRUE(real.OutHas("복사실패 " + Src() + "\\b.dll -> " + Target(103, "b.dll")));
    EXPECT_TRUE(real.OutHas("  복사완료 " + Src() + "\\c.dat -> " + Target(103, "c.dat")));
    EXPECT_EQ(real.out.back(), "성공 : 5, 실패 : 4");
    EXPECT_TRUE(dry.OutHas("(모의) 복사실패 " + Src() + "\\b.dll -> " + Target(103, "b.dll")));
    EXPECT_TRUE(dry.OutHas("(모의) 성공 : 5, 실패 : 4"));
    EXPECT_EQ(Read(App(103) + "\\c.dat"), "new c");
    EXPECT_EQ(Read(App(103) + "\\b.dll"), "old b");
}

TEST_F(NetworkCliTest, TheAgentsWaitEndsAfterTheGivenSeconds) {
    settings.values[keys::kUpdateMode] = "1";
    settings.lists[keys::kNetOff] = {"app.exe"};
    settings.lists[keys::kCopyFiles] = {"a.exe"};
    clitest::WriteSettings(Ini(), settings);
    const std::string cutLine = "  대기 시간 2초가 지나 명령 대기를 멈추고 복사 진행을 수행 합니다 (명령수행대기 무시)";
    struct Case {
        const char* what;
        std::map<std::string, int> agents;
        bool jobkeeper103;
        const char* wait;
        int sleeps;
        std::vector<Outcome> pcRows;
        bool cutShort;
    } cases[] = {
        {"both agents take their files",
         {{"\\\\127.0.0.101", 0}, {"\\\\127.0.0.103", 1}},
         true, "2", 1,
         {{"101", "", "stop-command-written"}, {"103", "", "stop-command-written"}, {"101", "", "agent-answered"},
          {"103", "", "agent-answered"}},
         false},
        {"the agent of .103 is missing",
         {{"\\\\127.0.0.101", 0}},
         true, "2", 4,
         {{"101", "", "stop-command-written"}, {"103", "", "stop-command-written"}, {"101", "", "agent-answered"},
          {"103", "", "wait-cut-short"}},
         true},
        {"no wait: one look at each PC",
         {{"\\\\127.0.0.101", 0}},
         true, "0", 1,
         {{"101", "", "stop-command-written"}, {"103", "", "stop-command-written"}, {"101", "", "agent-answered"},
          {"103", "", "wait-cut-short"}},
         true},
        {"no Jobkeeper share on .103",
         {{"\\\\127.0.0.101", 0}},
         false, "2", 0,
         {{"101", "", "stop-command-written"}, {"103", "", "stop-command-failed"}, {"101", "", "agent-answered"}},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fx.agentLooks = c.agents;
        fx.sleeps = 0;
        if (!c.jobkeeper103) jobkeeper[103].reset();
        const Result r = Cli({"copy", "--wait", c.wait, "--report", dir / "r.csv"});
        EXPECT_EQ(fx.sleeps, c.sleeps);
        std::vector<Outcome> pcRows;
        for (const auto& o : clitest::Outcomes(clitest::ReadCsv(dir / "r.csv")))
            if (o[1].empty()) pcRows.push_back(o);
        EXPECT_EQ(pcRows, c.pcRows);
        const bool flag8 = c.cutShort || !c.jobkeeper103;
        EXPECT_EQ(r.code, cli::kExitCopied | cli::kExitPcNotAnswering | (flag8 ? cli::kExitWaitOrCommand : 0));
        EXPECT_EQ(r.OutHas(cutLine), c.cutShort && std::string(c.wait) == "2");
        // The count-up is printed once while the PCs waited for stay the same.
        const auto waits = std::count_if(r.out.begin(), r.out.end(), [](const std::string& l) {
            return l.find("프로그램 종료 명령어 수행완료 대기") != std::string::npos;
        });
        EXPECT_EQ(waits, c.sleeps ? 1 : 0);
        EXPECT_TRUE(r.OutHas(" 프로그램 종료 명령어 전송 " + std::string(c.jobkeeper103 ? "성공" : "실패") +
                             " - \\\\127.0.0.103"));
        EXPECT_EQ(Read(App(103) + "\\a.exe"), "new a");  // copied all the same
        testenv::WriteFile(App(103) + "\\a.exe", "old a", 2000);
        testenv::WriteFile(App(101) + "\\a.exe", "old a", 2000);
    }
}

// Local target with the backup switched on: what a dry run can know in
// advance, file by file, equals what the run then does.
TEST_F(CliTest, DryRunNamesWhatCanBeKnownInAdvance) {
    testenv::EnsureDriveC();
    const std::string tgt = dir / "tgt\\";
    for (const char* f : {"a.exe", "p\\x.dll", "q\\x.dll", "ro.dll", "lib\\n.dll", "new.txt"})
        testenv::WriteFile(Src() + "\\" + f, std::string("new ") + f, 3000);
    for (const char* f : {"a.exe", "p\\x.dll", "q\\x.dll", "ro.dll"})
        testenv::WriteFile(tgt + f, std::string("old ") + f, 2000);
    // The target has no lib folder; ro.dll is read-only; a.exe was backed up
    // by an earlier run of the day.
    const std::string label = TargetLabel(TargetLabelSource(OperationMode::Local, tgt, ""));
    const std::string bak = "C:\\Quorvel\\" + label + "_20240305\\";
    testenv::RemoveTree(bak);
    testenv::WriteFile(bak + "a.exe", "first a", 1000);
    settings.values = {{keys::kSourceFolder, Src()}, {keys::kTargetFolder, tgt}, {keys::kOperationMode, "0"},
                       {keys::kAutoBackup, "1"},     {keys::kUpdateMode, "0"}};
    settings.lists[keys::kCopyFiles] = {"a.exe", "p\\x.dll", "q\\x.dll", "ro.dll", "lib\\n.dll", "new.txt"};
    clitest::WriteSettings(Ini(), settings);
    clitest::ReadOnlyFile readOnly(tgt + "ro.dll");
    ASSERT_TRUE(readOnly.ok());

    const Result dry = Cli({"copy", "--dry-run", "--report", dir / "dry.csv"});
    EXPECT_FALSE(platform::PathExists(bak + "ro.dll"));
    EXPECT_FALSE(platform::PathExists(bak + "qvRecovery.bat"));
    EXPECT_EQ(Read(tgt + "new.txt"), "<none>");
    const Result real = Cli({"copy", "--report", dir / "real.csv"});
    EXPECT_EQ(dry.code, cli::kExitCopied | cli::kExitFileFailed);
    EXPECT_EQ(real.code, dry.code);

    const auto dryRows = clitest::ReadCsv(dir / "dry.csv");
    const auto realRows = clitest::ReadCsv(dir / "real.csv");
    EXPECT_EQ(clitest::Outcomes(dryRows), clitest::Outcomes(realRows));
    // Per file: what happened, in the run's order.
    std::map<std::string, std::vector<std::string>> byFile;
    for (const auto& o : clitest::Outcomes(realRows)) byFile[o[1]].push_back(o[2]);
    const bool pFirst = std::find_if(realRows.begin(), realRows.end(), [](auto& r) { return r[1] == "p\\x.dll"; }) <
                        std::find_if(realRows.begin(), realRows.end(), [](auto& r) { return r[1] == "q\\x.dll"; });
    const std::string first = pFirst ? "p\\x.dll" : "q\\x.dll", second = pFirst ? "q\\x.dll" : "p\\x.dll";
    using V = std::vector<std::string>;
    EXPECT_EQ(byFile["a.exe"], (V{"backed-up", "copied"}));
    EXPECT_EQ(byFile[first], (V{"backed-up", "copied"}));
    EXPECT_EQ(byFile[second], (V{"backup-failed", "copy-cancelled"}));  // same name, other folder
    EXPECT_EQ(byFile["ro.dll"], (V{"backed-up", "copy-failed"}));
    EXPECT_EQ(byFile["lib\\n.dll"], (V{"copy-failed"}));  // no target folder
    EXPECT_EQ(byFile["new.txt"], (V{"copied"}));
    // The reasons the dry run gives are the system's, as the run's are.
    for (size_t i = 0; i < realRows.size(); ++i) {
        if (realRows[i][2] == "copy-failed") {
            EXPECT_EQ(dryRows[i][3], realRows[i][3]);
        }
        if (realRows[i][1] == "a.exe" && realRows[i][2] == "backed-up") {
            EXPECT_EQ(dryRows[i][3], bak + "a.exe (이미 있는 백업을 그대로 둠)");
        }
    }
    EXPECT_TRUE(dry.OutHas("(모의)   복구 스크립트 작성: " + bak + "/qvRecovery.bat"));
    EXPECT_EQ(Read(bak + "a.exe"), "first a");
    EXPECT_EQ(Read(tgt + "new.txt"), "new new.txt");
    EXPECT_TRUE(platform::PathExists(bak + "qvRecovery.bat"));
    testenv::RemoveTree(bak);
}

TEST_F(CliTest, CompareShowsTheListsColumnsAndNewerTakesEverySourceNewerFile) {
    const std::string tgt = dir / "tgt\\";
    testenv::WriteFile(Src() + "\\a.exe", "new a", 3000);
    testenv::WriteFile(Src() + "\\b,1.dll", "same", 2000);
    testenv::WriteFile(Src() + "\\old.txt", "older", 1000);
    testenv::WriteFile(tgt + "a.exe", "old a", 2000);
    testenv::WriteFile(tgt + "b,1.dll", "same", 2000);
    testenv::WriteFile(tgt + "old.txt", "newer", 4000);
    settings.values = {{keys::kSourceFolder, Src()}, {keys::kTargetFolder, tgt}, {keys::kAutoBackup, "0"},
                       {keys::kUpdateMode, "0"}};
    settings.lists[keys::kCopyFiles] = {"old.txt"};
    clitest::WriteSettings(Ini(), settings);

    const Result csv = Cli({"compare", "--csv"});
    EXPECT_EQ(csv.code, 0);
    ASSERT_EQ(csv.out.size(), 4u);
    EXPECT_EQ(csv.out[0], "파일이름,크기(kb),수정날짜,비교결과,대상 크기(kb),대상 수정날짜,복사목록");
    std::set<std::string> rows(csv.out.begin() + 1, csv.out.end());
    auto t = [](int64_t s) { return ui::TimeText(s); };
    EXPECT_EQ(rows, (std::set<std::string>{"a.exe,1," + t(3000) + ",원본최신,1," + t(2000) + ",0",
                                           "\"b,1.dll\",1," + t(2000) + ",동일,1," + t(2000) + ",0",
                                           "old.txt,1," + t(1000) + ",대상최신,1," + t(4000) + ",1"}));
    const Result text = Cli({"compare"});
    ASSERT_EQ(text.out.size(), 4u);
    EXPECT_EQ(text.out[0].rfind("파일이름  ", 0), 0u) << text.out[0];
    for (size_t i = 1; i < 4; ++i) EXPECT_TRUE(text.out[i].find("  " + t(3000) + "  원본최신") != std::string::npos ||
                                               text.out[i].find("동일") != std::string::npos ||
                                               text.out[i].find("대상최신  1  ") != std::string::npos) << text.out[i];

    // The saved list holds only the target-newer file; --newer takes a.exe instead.
    const Result copy = Cli({"copy", "--newer", "--report", dir / "r.csv"});
    EXPECT_EQ(copy.code, cli::kExitCopied);
    EXPECT_EQ(clitest::Outcomes(clitest::ReadCsv(dir / "r.csv")), (std::vector<Outcome>{{tgt, "a.exe", "copied"}}));
    EXPECT_EQ(Read(tgt + "old.txt"), "newer");
    // Nothing source-newer is left: nothing to copy, exit 0, and the report says so by having no rows.
    const Result none = Cli({"copy", "--newer", "--report", dir / "r.csv"});
    EXPECT_EQ(none.code, cli::kExitNothingToCopy);
    EXPECT_EQ(none.out, (Lines{"복사 목록에 파일이 없습니다."}));
    EXPECT_TRUE(clitest::ReadCsv(dir / "r.csv").empty());
    // A report that cannot be written is fatal, after the run (of the saved list).
    const Result noReport = Cli({"copy", "--report", dir / "no\\such\\r.csv"});
    EXPECT_EQ(noReport.code, cli::kExitFatal | cli::kExitCopied);
    EXPECT_EQ(Read(tgt + "old.txt"), "older");
}

}  // namespace
