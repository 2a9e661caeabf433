// qvDeploy's command line and report file format, in-process.
#include <gtest/gtest.h>

#include "cli/Args.h"
#include "cli/RunReport.h"

namespace {

using cli::Command;
using Args = std::vector<std::string>;

TEST(Args, AcceptedCommandLines) {
    struct Case {
        Args args;
        Command command;
        std::string settings;
        bool csv, newer, dryRun;
        int wait;
        std::string report;
    } cases[] = {
        {{"compare"}, Command::Compare, "", false, false, false, cli::kDefaultWaitSeconds, ""},
        {{"compare", "--csv", "--settings", "D:\\line 2\\a.ini"}, Command::Compare, "D:\\line 2\\a.ini", true, false,
         false, cli::kDefaultWaitSeconds, ""},
        {{"--settings=x.ini", "copy"}, Command::Copy, "x.ini", false, false, false, cli::kDefaultWaitSeconds, ""},
        {{"copy", "--newer", "--dry-run", "--wait", "2", "--report", "r.csv"}, Command::Copy, "", false, true, true, 2,
         "r.csv"},
        {{"copy", "--wait=0"}, Command::Copy, "", false, false, false, 0, ""},
        {{"copy", "--report=--r.csv"}, Command::Copy, "", false, false, false, cli::kDefaultWaitSeconds, "--r.csv"},
        {{"copy", "--wait", "86400"}, Command::Copy, "", false, false, false, 86400, ""},
        {{"package", "--settings", "p.ini"}, Command::Package, "p.ini", false, false, false, cli::kDefaultWaitSeconds,
         ""},
        {{"copy", "--help"}, Command::Help, "", false, false, false, cli::kDefaultWaitSeconds, ""},
        {{"/?"}, Command::Help, "", false, false, false, cli::kDefaultWaitSeconds, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const cli::ParsedArgs p = cli::ParseArgs(c.args);
        ASSERT_TRUE(p.ok) << p.error;
        EXPECT_EQ(p.options.command, c.command);
        EXPECT_EQ(p.options.settingsFile, c.settings);
        EXPECT_EQ(p.options.csv, c.csv);
        EXPECT_EQ(p.options.newer, c.newer);
        EXPECT_EQ(p.options.dryRun, c.dryRun);
        EXPECT_EQ(p.options.waitSeconds, c.wait);
        EXPECT_EQ(p.options.reportFile, c.report);
    }
}

TEST(Args, RefusedCommandLinesSayWhy) {
    struct Case {
        Args args;
        const char* inError;
    } cases[] = {
        {{}, "명령이 없습니다"},
        {{"--settings", "x.ini"}, "명령이 없습니다"},
        {{"deploy"}, "deploy"},
        {{"copy", "compare"}, "compare"},
        {{"copy", "--force"}, "--force"},
        {{"copy", "-n"}, "-n"},
        {{"copy", "--report"}, "--report"},
        {{"copy", "--wait", "--settings", "x.ini"}, "--wait 옵션에 값이 없습니다"},
        {{"copy", "--settings="}, "--settings"},
        {{"copy", "--wait", "-1"}, "-1"},
        {{"copy", "--wait", "5s"}, "5s"},
        {{"copy", "--wait", "86401"}, "86401"},
        {{"copy", "--wait", "99999999999"}, "99999999999"},
        {{"copy", "--newer=1"}, "--newer"},
        {{"compare", "--dry-run"}, "--dry-run"},
        {{"compare", "--report", "r.csv"}, "--report"},
        {{"copy", "--csv"}, "--csv"},
        {{"package", "--wait", "3"}, "--wait"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const cli::ParsedArgs p = cli::ParseArgs(c.args);
        EXPECT_FALSE(p.ok);
        EXPECT_NE(p.error.find(c.inError), std::string::npos) << p.error;
    }
}

TEST(ReportCsv, FieldsAreQuotedWhereASpreadsheetWouldMisreadThem) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"bin\\a.dll", "bin\\a.dll"},
        {"", ""},
        {"a,b.dll", "\"a,b.dll\""},
        {"say \"hi\".txt", "\"say \"\"hi\"\".txt\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"=cmd|' /c calc'!A0", "\"'=cmd|' /c calc'!A0\""},
        {"+1.dll", "\"'+1.dll\""},
        {"-x", "\"'-x\""},
        {"@x", "\"'@x\""},
        {"파일,이름", "\"파일,이름\""},
    };
    for (const auto& c : cases) EXPECT_EQ(cli::CsvField(c.in), c.out) << c.in;

    EXPECT_EQ(cli::ReportCsv({{"101", "a.exe", "copied", "\\\\10.0.0.101\\c\\a.exe"}, {"102", "", "stop-command-failed", "x"}},
                             true),
              "target,file,outcome,detail,run\r\n101,a.exe,copied,\\\\10.0.0.101\\c\\a.exe,dry-run\r\n"
              "102,,stop-command-failed,x,dry-run\r\n");
}

}  // namespace
