#include <gtest/gtest.h>

#include <string>

#include "package/BatchScripts.h"
#include "package/Fixture.h"
#include "package/TargetPaths.h"
#include "platform/FileSystem.h"
#include "support/TestEnv.h"

namespace {

ScriptValues LocalValues() {
    ScriptValues v;
    v.mode = OperationMode::Local;
    v.targetFolder = TargetFolderFrom("C:\\tools", "C:\\배포\\Line");
    v.targetLabel = TargetLabel(TargetLabelSource(v.mode, v.targetFolder, ""));
    CompareRecord a, b;
    a.source.path = "D:\\src\\a.dll";
    a.target.path = "C:\\배포\\Line\\a.dll";
    b.source.path = "D:\\src\\bin\\b.exe";
    b.target.path = "C:\\배포\\Line\\bin\\b.exe";
    for (const CompareRecord* r : {&a, &b}) v.files.push_back({RelativePath(*r, "D:\\src\\"), TargetFilePath(*r)});
    return v;
}

ScriptValues NetworkValues(const char* start = "\\\\192.168.0.9", int end = 12) {
    ScriptValues v;
    v.mode = OperationMode::Network;
    v.SetRange(TargetRange{start, "\\c\\Pexoril", end});
    v.targetLabel = TargetLabel(TargetLabelSource(v.mode, "", "/c/Pexoril"));
    v.files = {{"\\a.dll", v.startAddress + "\\c\\Pexoril\\a.dll"},
               {"\\bin\\b.exe", v.startAddress + "\\c\\Pexoril\\bin\\b.exe"}};
    return v;
}

// Lines of a script part without their CR LF.
std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        out.push_back(bytes.substr(start, end - start));
    EXPECT_EQ(start, bytes.size()) << "text after the last line end";
    return out;
}

bool Has(const std::string& bytes, const std::string& line) {
    for (const auto& l : Lines(bytes))
        if (l == line) return true;
    return false;
}

TEST(BatchScripts, MatchTheExpectedFilesByteForByte) {
    const ScriptValues local = LocalValues();
    const ScriptValues net = NetworkValues();
    EXPECT_EQ(RecoveryScript(local), Fixture("recovery_local.bat"));
    EXPECT_EQ(RecoveryScript(net), Fixture("recovery_network.bat"));
    EXPECT_EQ(InstallScript(local), Fixture("install_local.bat"));
    EXPECT_EQ(InstallScript(net), Fixture("install_network.bat"));
    EXPECT_EQ(BackupScript(local), Fixture("backup_local.bat"));
    EXPECT_EQ(BackupScript(net), Fixture("backup_network.bat"));
}

TEST(BatchScripts, BlocksJoinIntoTheWholeScript) {
    // The package builder interleaves the blocks with its own work.
    for (const ScriptValues& v : {LocalValues(), NetworkValues()}) {
        EXPECT_EQ(InstallHead(v) + InstallTarget(v) + InstallStart() + InstallCopy(v) + InstallTail(), InstallScript(v));
        EXPECT_EQ(BackupHead(v) + BackupTarget(v) + BackupStart(v) + BackupFilesBegin(v) +
                      BackupFileLines(v, v.files[0]) + BackupFileLines(v, v.files[1]) + BackupRecovery(v) + BackupTail(),
                  BackupScript(v));
    }
}

TEST(BatchScripts, RangeLimits) {
    struct {
        const char* start;
        int end;
        const char* startLine;
        const char* endLine;
        bool pcs;
    } cases[] = {
        {"\\\\10.0.0.20", 5, "set NetStartIP=20", "set NetEndIP=20", true},     // end below start: one PC
        {"\\\\10.0.0.20", 300, "set NetStartIP=20", "set NetEndIP=255", true},   // end above 255
        {"\\\\10.0.0.300", 400, "set NetStartIP=300", "set NetEndIP=255", false}, // start above 255
        // A negative start octet: the loops begin at 0, never below.
        {"\\\\10.0.0.-3", 2, "set NetStartIP=0", "set NetEndIP=2", true},
        {"\\\\10.0.0.-3", -2, "set NetStartIP=0", "set NetEndIP=-2", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " to " + std::to_string(c.end));
        const ScriptValues v = NetworkValues(c.start, c.end);
        const std::string recovery = RecoveryScript(v), install = InstallScript(v), backup = BackupScript(v);
        for (const std::string* s : {&recovery, &install}) {
            EXPECT_TRUE(Has(*s, c.startLine));
            EXPECT_TRUE(Has(*s, c.endLine));
        }
        // The recovery loop is always there; it runs zero times without PCs.
        EXPECT_TRUE(Has(recovery, "for /L %%i in (%NetStartIP%,1,%NetEndIP%) do ("));
        EXPECT_EQ(Has(install, "for /L %%i in (%NetStartIP%,1,%NetEndIP%) do ("), c.pcs);
        EXPECT_EQ(InstallCopy(v).empty(), !c.pcs);
        EXPECT_EQ(BackupFilesBegin(v).empty(), !c.pcs);
        EXPECT_EQ(BackupFileLines(v, v.files[0]).empty(), !c.pcs);
        EXPECT_EQ(backup.find("echo Backup") != std::string::npos, c.pcs);
        // The recovery script is put into the backup folder either way.
        EXPECT_NE(backup.find(BackupRecovery(v)), std::string::npos);
    }
    // The backup lines name the first PC the loops visit.
    EXPECT_TRUE(Has(BackupFileLines(NetworkValues("\\\\10.0.0.20", 30), {"\\a.dll", "T"}),
                    "echo Backup \"\\\\10.0.0.20\\c\\Pexoril\\a.dll\""));
}

TEST(BatchScripts, AnotherModeWritesNeitherForm) {
    ScriptValues v = LocalValues();
    v.mode = static_cast<OperationMode>(2);
    const std::string recovery = RecoveryScript(v);
    EXPECT_EQ(recovery.find("대상폴더"), std::string::npos);
    EXPECT_EQ(recovery.find("copy"), std::string::npos);
    EXPECT_EQ(recovery.find("NetStartIP"), std::string::npos);
    EXPECT_TRUE(InstallTarget(v).empty());
    EXPECT_TRUE(InstallCopy(v).empty());
    EXPECT_TRUE(BackupTarget(v).empty());
    EXPECT_TRUE(BackupFilesBegin(v).empty());
    EXPECT_TRUE(BackupFileLines(v, v.files[0]).empty());
}

// What a value turns into outside double quotes (an echo line) and inside them.
TEST(BatchScripts, ValuesCannotChangeWhatTheScriptDoes) {
    struct {
        const char* value;
        const char* echoed;
        const char* quoted;
    } cases[] = {
        {"C:\\a b", "C:\\a b", "C:\\a b"},
        {"C:\\100%", "C:\\100%%", "C:\\100%%"},
        {"C:\\%PATH%", "C:\\%%PATH%%", "C:\\%%PATH%%"},
        {"C:\\R&D|x<y>z^w", "C:\\R^&D^|x^<y^>z^^w", "C:\\R&D|x<y>z^w"},
        // A quote would end the quoting; a line feed would start a command.
        {"C:\\a\" & del *.* & \"b", "C:\\a ^& del *.* ^& b", "C:\\a & del *.* & b"},
        {"C:\\a\r\ndel *.*", "C:\\adel *.*", "C:\\adel *.*"},
        {"C:\\배포\\앱", "C:\\배포\\앱", "C:\\배포\\앱"},
        // A lead byte with no second byte of its own could swallow the next one.
        {"C:\\a\x81|b", "C:\\a^|b", "C:\\a|b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        ScriptValues v;
        v.mode = OperationMode::Local;
        v.targetFolder = c.value;
        const std::string recovery = RecoveryScript(v);
        EXPECT_TRUE(Has(recovery, std::string("echo 대상폴더 : ") + c.echoed));
        EXPECT_TRUE(Has(recovery, std::string("copy *.* \"") + c.quoted + "\" /y"));
        EXPECT_TRUE(Has(BackupTarget(v), std::string("echo 대상폴더 : ") + c.echoed));
        v.targetLabel = c.value;
        EXPECT_TRUE(Has(BackupRecovery(v), std::string("echo 복원 배치파일 생성 : C:\\Quorvel\\") + c.echoed +
                                               "_%datez%\\qvRecovery.bat"));
        EXPECT_TRUE(Has(BackupStart(v), std::string("mkdir \"C:\\Quorvel\\") + c.quoted + "_%datez%\""));
    }
}

TEST(BatchScripts, ValuesInTheLoopCannotReachTheLoopVariable) {
    ScriptValues v = NetworkValues();
    v.sharePath = "\\c\\%i %~dpi %~$PATH:i %I 100%";
    v.addressPrefix = "\\\\10.0.%i.";
    const std::string pc = "\\\\10.0.%%I.%%i\\c\\%%I %%~dpI %%~$PATH:I %%I 100%%";
    EXPECT_TRUE(Has(RecoveryScript(v), "copy *.* \"" + pc + "\" /y"));
    EXPECT_TRUE(Has(InstallCopy(v), "del \"" + pc + "\\qv*.bat*\" "));
    // Outside the loop the same value keeps its case.
    EXPECT_TRUE(Has(RecoveryScript(v), "echo 대상폴더 : \\\\10.0.%%i.%NetStartIP%~%NetEndIP%\\\\c\\%%i %%~dpi "
                                       "%%~$PATH:i %%I 100%%"));
}

TEST(BatchScripts, FolderOfTheScriptQuotedOnlyForALabelThatNeedsIt) {
    ScriptValues v = LocalValues();
    for (const std::string& s : {RecoveryScript(v), InstallHead(v), BackupHead(v)})
        EXPECT_TRUE(Has(s, "pushd %~dp0"));
    v.targetLabel = "Ci@R&D";
    for (const std::string& s : {RecoveryScript(v), InstallHead(v), BackupHead(v)})
        EXPECT_TRUE(Has(s, "pushd \"%~dp0\""));
}

TEST(WriteRecoveryScript, CreatesOrReplacesAndReportsNothing) {
    testenv::TempDir t;
    // The callers form the path as "<folder ending in \>/qvRecovery.bat".
    const std::string path = t.path() + "\\/qvRecovery.bat";
    ScriptValues v = NetworkValues();
    WriteRecoveryScript(path, v);
    EXPECT_EQ(platform::ReadWholeFile(t / "qvRecovery.bat"), RecoveryScript(v));
    v = LocalValues();  // a shorter script replaces the longer one completely
    WriteRecoveryScript(path, v);
    EXPECT_EQ(platform::ReadWholeFile(t / "qvRecovery.bat"), RecoveryScript(v));
    WriteRecoveryScript(t / "missing\\qvRecovery.bat", v);
    EXPECT_FALSE(platform::PathExists(t / "missing"));
}

}  // namespace
