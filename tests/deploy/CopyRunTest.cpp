// The copy run against real folders and mapped PC shares, with the progress
// window's exact lines. The network's answers, the clock and the agents are
// the test's: which PCs answer an echo, and after how many looks an agent
// takes its command file.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <set>

#include "compare/Compare.h"
#include "compare/FileUtil.h"
#include "deploy/CopyRun.h"
#include "platform/FileSystem.h"
#include "support/TestEnv.h"
#include "ui/ProgressRecorder.h"
#include "ui/RunProgress.h"

namespace {

using Lines = std::vector<std::string>;

class TestEffects : public deploy::RealEffects {
public:
    std::set<std::string> answering;  // echo addresses that answer
    // PC root -> looks at its command file before the agent takes it; a PC
    // not listed has no agent.
    std::map<std::string, int> agentLooks;
    std::atomic<int>* stopWait = nullptr;
    int stopAfterSleeps = -1;
    uint32_t now = 5000;
    int sleeps = 0;
    std::vector<std::string> commandsWritten;
    int restarts = 0;

    bool IsUnreachable(const std::string& address) override { return !answering.count(address); }
    bool WriteCommandFile(const std::string& pcRoot, RemoteCommand c, const control::ProgramLists& p) override {
        commandsWritten.push_back(pcRoot);
        return RealEffects::WriteCommandFile(pcRoot, c, p);
    }
    bool CommandFilePending(const std::string& pcRoot) override {
        auto it = agentLooks.find(pcRoot);
        if (it != agentLooks.end() && it->second-- <= 0) platform::RemoveFile(pcRoot + "\\Jobkeeper\\CopyScript.TSF");
        return RealEffects::CommandFilePending(pcRoot);
    }
    void TerminateLocalPrograms(const std::vector<std::string>&, const control::ProgramLists&) override {}
    void RestartPrograms(OperationMode mode, const std::string& folder, const control::ProgramLists& p,
                         const TargetRange& r) override {
        ++restarts;
        if (mode == OperationMode::Network) RealEffects::RestartPrograms(mode, folder, p, r);
    }
    bool Today(int& y, int& m, int& d) override {
        y = 2024, m = 3, d = 5;
        return true;
    }
    uint32_t TickCount() override { return now; }
    void Sleep(int ms) override {
        now += uint32_t(ms);
        if (++sleeps == stopAfterSleeps && stopWait) *stopWait = 1;
    }
};

class CopyRunTest : public ::testing::Test {
protected:
    std::string Src() const { return dir / "src"; }

    // The records of a refresh: source scanned, compared with the target
    // folder (ending with a backslash), the named files in the copy list.
    std::vector<CompareRecord> Compare(const std::string& target, const std::set<std::string>& copy) {
        CqvFileUtil s, t;
        s.ScanFolder(Src() + "\\*.*", true);
        t.ScanFolder(target + "*.*", true);
        auto records = CompareEntries(s.files, s.rootFolder.size(), t.files, t.rootFolder.size(), target);
        for (auto& r : records)
            if (copy.count(std::string(RelativeName(r.source.path, s.rootFolder.size())))) r.inCopyList = 1;
        return records;
    }

    deploy::CopyRunResult Run(deploy::CopyRunInputs& in) {
        view = ui::ProgressRecorder();
        updated.clear();
        ui::RunProgress report(view, stopWait, [this](size_t r, const FileEntry& e) { updated[r] = e; });
        return deploy::CopyRun(in, fx, report);
    }
    std::string Read(const std::string& path) { return platform::ReadWholeFile(path).value_or("<none>"); }

    testenv::TempDir dir;
    TestEffects fx;
    std::atomic<int> stopWait{0};
    ui::ProgressRecorder view;
    std::map<size_t, FileEntry> updated;
};

TEST_F(CopyRunTest, LocalCopiesReportsAndUpdatesTheRecords) {
    const std::string tgt = dir / "tgt\\";
    testenv::WriteFile(Src() + "\\a.exe", "new a", 3000);
    testenv::WriteFile(Src() + "\\bin\\b.dll", "new b", 3000);
    testenv::WriteFile(Src() + "\\sub\\c.dat", "new c", 3000);
    testenv::WriteFile(tgt + "a.exe", "old a", 2000);
    testenv::WriteFile(tgt + "bin\\b.dll", "old b", 2000);
    deploy::CopyRunInputs in;
    in.records = Compare(tgt, {"a.exe", "bin\\b.dll"});

    auto r = Run(in);
    EXPECT_TRUE(r.ran);
    Lines expected = {"복사 실행"};
    for (const auto& rec : in.records)
        if (rec.inCopyList) expected.push_back("  복사완료 " + rec.source.path + " -> " + rec.target.path);
    expected.insert(expected.end(), {"", "성공 : 2, 실패 : 0"});
    EXPECT_EQ(view.lines, expected);
    EXPECT_TRUE(view.visible);
    EXPECT_TRUE(view.timerRunning);  // hides itself three seconds later
    EXPECT_EQ(Read(tgt + "a.exe"), "new a");
    EXPECT_EQ(Read(tgt + "bin\\b.dll"), "new b");
    EXPECT_FALSE(platform::PathExists(tgt + "sub\\c.dat"));  // not in the copy list
    ASSERT_EQ(updated.size(), 2u);
    for (auto& [i, e] : updated) {
        EXPECT_EQ(e.path, in.records[i].target.path);
        EXPECT_EQ(e.timeWrite, 3000);
        EXPECT_EQ(e.size, 5);
    }

    // Nothing in the copy list: no window, no line.
    for (auto& rec : in.records) rec.inCopyList = 0;
    EXPECT_FALSE(Run(in).ran);
    EXPECT_TRUE(view.calls.empty());
}

TEST_F(CopyRunTest, AFailedCopyLeavesTheTargetWholeAndCancelsTheRestart) {
    const std::string tgt = dir / "tgt\\";
    testenv::WriteFile(Src() + "\\a.exe", "new a", 3000);
    testenv::WriteFile(Src() + "\\lib\\x.dll", "new x", 3000);  // the target has no lib folder
    testenv::WriteFile(Src() + "\\locked.dll", "new l", 3000);
    testenv::WriteFile(tgt + "a.exe", "old a", 2000);
    testenv::WriteFile(tgt + "locked.dll", "old l", 2000);
    deploy::CopyRunInputs in;
    in.updateMode = true;
    in.programs.localOff = {"C:\\Line\\app.exe"};
    in.records = Compare(tgt, {"a.exe", "lib\\x.dll", "locked.dll"});
    // The target held by a program (Windows build) or read-only (native).
    bool lockable = false;
    {
        testenv::HeldOpen held(tgt + "locked.dll", true);
        std::unique_ptr<testenv::Immutable> frozen;
        if (!held.ok()) frozen = std::make_unique<testenv::Immutable>(tgt + "locked.dll");
        lockable = held.ok() || (frozen && frozen->ok());
        Run(in);
    }
    Lines expected = {"복사 실행", "", "\n업데이트를 위해 로컬 프로그램을 제어 합니다.", " 로컬 프로그램 제어 리스트",
                      "  0, C:\\Line\\app.exe"};
    for (const auto& rec : in.records) {
        if (!rec.inCopyList) continue;
        const bool fails = rec.source.path.find("x.dll") != std::string::npos ||
                           (lockable && rec.source.path.find("locked") != std::string::npos);
        expected.push_back((fails ? "복사실패 " : "  복사완료 ") + rec.source.path + " -> " + rec.target.path);
    }
    expected.insert(expected.end(), {"", lockable ? "성공 : 1, 실패 : 2" : "성공 : 2, 실패 : 1",
                                     "\n정상적으로 설치가 되지 않아 프로그램 재 실행이 취소 됩니다."});
    EXPECT_EQ(view.lines, expected);
    EXPECT_FALSE(view.timerRunning);
    EXPECT_EQ(fx.restarts, 0);
    EXPECT_FALSE(platform::PathExists(tgt + "lib"));  // no folder is made
    if (lockable) {
        EXPECT_EQ(Read(tgt + "locked.dll"), "old l");
        EXPECT_FALSE(platform::PathExists(deploy::TemporaryPathFor(tgt + "locked.dll")));
    }
}

TEST_F(CopyRunTest, BackupKeepsTheFirstCopyOfTheDayAndRefusesASecondFileOfTheSameName) {
    testenv::EnsureDriveC();
    const std::string tgt = dir / "tgt\\";
    testenv::WriteFile(Src() + "\\a.exe", "new a", 3000);
    testenv::WriteFile(Src() + "\\new.txt", "new n", 3000);  // the target lacks it
    testenv::WriteFile(Src() + "\\p\\x.dll", "new px", 3000);
    testenv::WriteFile(Src() + "\\q\\x.dll", "new qx", 3000);
    testenv::WriteFile(tgt + "a.exe", "old a", 2000);
    testenv::WriteFile(tgt + "p\\x.dll", "old px", 2000);
    testenv::WriteFile(tgt + "q\\x.dll", "old qx", 2000);
    deploy::CopyRunInputs in;
    in.backupOn = true;
    in.targetBox = tgt;
    in.records = Compare(tgt, {"a.exe", "new.txt", "p\\x.dll", "q\\x.dll"});

    auto r = Run(in);
    const std::string bak = r.backupFolder;
    ASSERT_EQ(bak.rfind("C:\\Quorvel\\", 0), 0u) << bak;
    EXPECT_NE(bak.find("_20240305\\"), std::string::npos) << bak;
    // In list order: the first x.dll is backed up and copied, the second
    // finds the name taken and is not copied.
    Lines expected = {"백업 전처리 수행", "복사 실행"};
    std::string firstX, secondX;
    for (const auto& rec : in.records) {
        const std::string& S = rec.source.path;
        const std::string& T = rec.target.path;
        const std::string name = T.substr(T.rfind('\\') + 1);
        if (name == "x.dll" && !firstX.empty()) {
            secondX = T;
            expected.push_back("백업실패 " + T + " -> " + bak + name);
            expected.push_back("=>백업실패로 복사수행 취소 " + S + " -> " + T);
            continue;
        }
        if (name == "x.dll") firstX = T;
        if (rec.result != CompareResult::TargetMissing) expected.push_back("  백업완료 " + T + " -> " + bak + name);
        expected.push_back("  복사완료 " + S + " -> " + T);
    }
    expected.insert(expected.end(), {"", "성공 : 3, 실패 : 1"});
    EXPECT_EQ(view.lines, expected);
    const std::string t = tgt;
    EXPECT_EQ(Read(bak + "a.exe"), "old a");
    EXPECT_EQ(Read(bak + "x.dll"), Read(firstX) == "new px" ? "old px" : "old qx");
    EXPECT_NE(Read(secondX).substr(0, 3), "new");  // nothing kept of it, so not overwritten
    EXPECT_NE(Read(bak + "qvRecovery.bat").find("pushd"), std::string::npos);
    EXPECT_FALSE(platform::PathExists(bak + "a.exe.qvtmp"));

    // The second run of the day keeps the first backups.
    testenv::WriteFile(Src() + "\\a.exe", "newer a", 4000);
    in.records = Compare(tgt, {"a.exe"});
    Run(in);
    EXPECT_EQ(view.lines[2], "  백업완료 " + t + "a.exe -> " + bak + "a.exe");
    EXPECT_EQ(Read(bak + "a.exe"), "old a");
    EXPECT_EQ(Read(t + "a.exe"), "newer a");
    testenv::RemoveTree(bak);
}

// Shares of PCs 10.213.5.101 to .103 mapped; .102 is switched off (no echo).
class NetworkRunTest : public CopyRunTest {
protected:
    void SetUp() override {
        for (int n : {101, 102, 103}) {
            const std::string host = "10.213.5." + std::to_string(n);
            pcs[n] = std::make_unique<testenv::MappedShare>(host, "c");
            jobkeeper[n] = std::make_unique<testenv::MappedShare>(host, "Jobkeeper");
            if (!pcs[n]->ok()) GTEST_SKIP() << "shares cannot be mapped on this platform";
            testenv::MakeDirs(pcs[n]->folder() + "\\app");
        }
        fx.answering = {"10.213.5.101", "10.213.5.103"};
        fx.stopWait = &stopWait;
        testenv::WriteFile(Src() + "\\a.exe", "new a", 3000);
        testenv::WriteFile(Src() + "\\b.dll", "new b", 3000);
        testenv::WriteFile(Src() + "\\c.dat", "new c", 3000);
        for (int n : {101, 103}) testenv::WriteFile(pcs[n]->folder() + "\\app\\a.exe", "old a " + std::to_string(n), 2000);
        in.mode = OperationMode::Network;
        in.range = {"\\\\10.213.5.101", "\\c\\app", 103};
        in.shareBox = "\\c\\app";
        in.records = Compare("\\\\10.213.5.101\\c\\app\\", {"a.exe", "b.dll", "c.dat"});
    }
    Lines PcLines(int n) const {
        const std::string root = "\\\\10.213.5." + std::to_string(n);
        Lines l = {"", root};
        for (const auto& rec : in.records) {
            const std::string f = rec.source.path.substr(rec.source.path.rfind('\\') + 1);
            l.push_back("  복사완료 " + rec.source.path + " -> " + root + "\\c\\app\\" + f);
        }
        return l;
    }
    std::map<int, std::unique_ptr<testenv::MappedShare>> pcs, jobkeeper;
    deploy::CopyRunInputs in;
};

TEST_F(NetworkRunTest, APcThatDoesNotAnswerCountsEveryFileAsAFailure) {
    Run(in);
    Lines expected = {"복사 실행"};
    for (auto& l : PcLines(101)) expected.push_back(l);
    expected.push_back("  핑테스트 오류로 파일 복사 수행 스킵 - \\\\10.213.5.102");
    for (auto& l : PcLines(103)) expected.push_back(l);
    expected.insert(expected.end(), {"", "성공 : 6, 실패 : 3"});
    EXPECT_EQ(view.lines, expected);
    EXPECT_TRUE(view.ignoreWaitShown);
    EXPECT_FALSE(view.timerRunning);
    for (int n : {101, 103}) EXPECT_EQ(Read(pcs[n]->folder() + "\\app\\c.dat"), "new c");
    // Every update keeps the start PC's path in the record.
    for (auto& [i, e] : updated) EXPECT_EQ(e.path.rfind("\\\\10.213.5.101\\c\\app\\", 0), 0u) << e.path;

    struct Case {
        const char* what;
        std::string start;
        int end;
        Lines tail;
    } cases[] = {
        {"end below the start: the start PC alone", "\\\\10.213.5.103", 7, PcLines(103)},
        {"start octet above 255: no PC", "\\\\10.213.5.300", 400, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        in.range = {c.start, "\\c\\app", c.end};
        in.updateMode = true;
        fx.agentLooks = {{c.start, 0}};  // takes its command at the first look
        for (auto& r : in.records) r.target.path.replace(0, 14, c.start);  // 14: the length of the start PC root
        Run(in);
        Lines want = {"복사 실행", "", "\n업데이트를 위해 네트워크 프로그램을 제어 합니다.", " 네트워크 프로그램 제어 리스트"};
        if (!c.tail.empty()) want.push_back(" 프로그램 종료 명령어 전송 성공 - " + c.start);
        for (auto& l : c.tail) want.push_back(l);
        const int ok = int(c.tail.empty() ? 0 : 3);
        want.insert(want.end(), {"", "성공 : " + std::to_string(ok) + ", 실패 : 0"});
        if (ok)
            want.insert(want.end(), {"", "\n업데이트 모드로 인해 프로그램이 재 실행 됩니다."});
        else
            want.push_back("\n정상적으로 설치가 되지 않아 프로그램 재 실행이 취소 됩니다.");
        EXPECT_EQ(view.lines, want);
        for (auto& r : in.records) r.target.path.replace(0, c.start.size(), "\\\\10.213.5.101");
    }
}

TEST_F(NetworkRunTest, TheWaitCountsUpUntilTheAgentsOrTheOperatorEndIt) {
    in.updateMode = true;
    in.programs.netOff = {"app.exe"};
    in.records = Compare("\\\\10.213.5.101\\c\\app\\", {"a.exe"});
    const Lines head = {"복사 실행", "", "\n업데이트를 위해 네트워크 프로그램을 제어 합니다.", " 네트워크 프로그램 제어 리스트",
                        "  0, app.exe", " 프로그램 종료 명령어 전송 성공 - \\\\10.213.5.101",
                        "  핑테스트 오류로 (프로그램 종료 명령어)명령 전달 스킵 - \\\\10.213.5.102",
                        " 프로그램 종료 명령어 전송 성공 - \\\\10.213.5.103"};
    // The agent of .101 takes its file at the third look, that of .103 at
    // the fifth look at it (looks at a PC begin once those before it are
    // done); .102 never answered and stays listed.
    fx.agentLooks = {{"\\\\10.213.5.101", 2}, {"\\\\10.213.5.103", 4}};
    Run(in);
    ASSERT_GE(view.lines.size(), head.size() + 1);
    EXPECT_EQ(Lines(view.lines.begin(), view.lines.begin() + long(head.size())), head);
    // One line counted up in place: the last pass's text.
    EXPECT_EQ(view.lines[head.size()], "  프로그램 종료 명령어 수행완료 대기 2.5sec  명령 대기 네트워크 IP => 102 103 ");
    EXPECT_EQ(view.lines[head.size() + 1], "");
    EXPECT_EQ(fx.sleeps, 6);
    EXPECT_EQ(view.lines.back(), "\n정상적으로 설치가 되지 않아 프로그램 재 실행이 취소 됩니다.");  // .102 failed

    // No agent on .103: the operator ends the wait.
    fx.agentLooks = {{"\\\\10.213.5.101", 0}};
    fx.sleeps = 0;
    fx.stopAfterSleeps = 3;
    Run(in);
    EXPECT_EQ(view.lines[head.size()], "  프로그램 종료 명령어 수행완료 대기 1.0sec  명령 대기 네트워크 IP => 102 103 ");
    EXPECT_EQ(view.lines[head.size() + 1], "  사용자에 의해 명령 대기를 멈추고 복사 진행을 수행 합니다");
    EXPECT_EQ(Read(pcs[103]->folder() + "\\app\\a.exe"), "new a");  // copied all the same
}

TEST_F(NetworkRunTest, TheBackupComesFromTheFirstAnsweringPcAndItsFailureCancelsEveryCopy) {
    in.backupOn = true;
    in.userBackupPathUse = 1;
    in.userBackupPath = dir / "bak\\";
    testenv::MakeDirs(dir / "bak");
    // The start PC is off: the backup is taken from .103.
    fx.answering = {"10.213.5.103"};
    in.records = Compare("\\\\10.213.5.101\\c\\app\\", {"a.exe"});
    in.records[0].result = CompareResult::SourceNewer;  // as the start PC showed it before it went off
    in.records[0].target.path = "\\\\10.213.5.101\\c\\app\\a.exe";
    auto r = Run(in);
    EXPECT_EQ(r.backupFolder, dir / "bak\\Quorvel\\net@c@app_20240305\\");
    EXPECT_EQ(Read(r.backupFolder + "a.exe"), "old a 103");
    EXPECT_EQ(r.successes, 1);

    // A backup that cannot be made on the first answering PC: no PC gets the file.
    fx.answering = {"10.213.5.101", "10.213.5.103"};
    in.userBackupPath = dir / "no\\such\\";
    r = Run(in);
    const std::string t101 = "\\\\10.213.5.101\\c\\app\\a.exe", t103 = "\\\\10.213.5.103\\c\\app\\a.exe";
    const std::string bak = dir / "no\\such\\Quorvel\\net@c@app_20240305\\a.exe";
    EXPECT_EQ(view.lines, (Lines{"백업 전처리 수행", "복사 실행", "", "\\\\10.213.5.101", "백업실패 " + t101 + " -> " + bak,
                                 "=>백업실패로 복사수행 취소 " + Src() + "\\a.exe -> " + t101,
                                 "  핑테스트 오류로 파일 복사 수행 스킵 - \\\\10.213.5.102", "", "\\\\10.213.5.103",
                                 "=>백업실패로 복사수행 취소 " + Src() + "\\a.exe -> " + t103, "", "성공 : 0, 실패 : 3"}));
    EXPECT_EQ(Read(pcs[101]->folder() + "\\app\\a.exe"), "old a 101");
}

}  // namespace
