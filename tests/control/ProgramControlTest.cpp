// The operations without a window: what reaches the PCs for each start
// address, and that no question is asked when the caller passes none.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "control/ProgramControl.h"
#include "platform/FileSystem.h"
#include "support/TestEnv.h"

namespace {

using control::CommandOutcome;

TEST(ProgramControl, TheRangeDecidesWhichPcsGetACommandFile) {
    std::map<int, std::unique_ptr<testenv::MappedShare>> pcs;
    for (int n : {0, 1, 2, 254, 255}) {
        pcs[n] = std::make_unique<testenv::MappedShare>("10.213.6." + std::to_string(n), "Jobkeeper");
        if (!pcs[n]->ok()) GTEST_SKIP() << "shares cannot be mapped on this platform";
    }
    control::ProgramLists lists;
    lists.netOff = {"a.exe"};
    struct Case {
        const char* start;
        int end;
        CommandOutcome outcome;
        std::vector<int> written;
    } cases[] = {
        {"\\\\10.213.6.1", 2, CommandOutcome::Done, {1, 2}},
        {"\\\\10.213.6.254", 900, CommandOutcome::Done, {254, 255}},  // stops at 255
        {"\\\\10.213.6.2", -7, CommandOutcome::Done, {2}},            // the start PC alone
        {"\\\\10.213.6.-3", 1, CommandOutcome::NoStartAddress, {}},
        {"\\\\10.213.6.-2000000000", 2, CommandOutcome::NoStartAddress, {}},
        {"\\\\10.213.6.300", 255, CommandOutcome::NoStartAddress, {}},
        {"10.213.6.1", 2, CommandOutcome::NoStartAddress, {}},  // no backslashes
        {"", 2, CommandOutcome::NoStartAddress, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        for (auto& [n, share] : pcs) platform::RemoveFile(share->folder() + "\\CopyScript.TSF");
        TargetRange range{c.start, "\\c\\app", c.end};
        int asked = 0;
        const auto outcome = control::TerminateAll(OperationMode::Network, {}, lists, range, [&](const std::string&) {
            ++asked;
            return true;
        });
        EXPECT_EQ(outcome, c.outcome);
        EXPECT_EQ(asked, c.outcome == CommandOutcome::Done ? 1 : 0);
        std::vector<int> written;
        for (auto& [n, share] : pcs)
            if (platform::PathExists(share->folder() + "\\CopyScript.TSF")) written.push_back(n);
        EXPECT_EQ(written, c.written);
    }
}

TEST(ProgramControl, WithoutAConfirmationNothingIsAskedAndANoWritesNothing) {
    testenv::MappedShare pc("10.213.6.9", "Jobkeeper");
    if (!pc.ok()) GTEST_SKIP() << "shares cannot be mapped on this platform";
    control::ProgramLists lists;
    lists.netOn = {"C:\\Line\\app.exe"};
    const TargetRange range{"\\\\10.213.6.9", "\\c", 0};
    const std::string file = pc.folder() + "\\CopyScript.TSF";

    EXPECT_EQ(control::RestartPrograms(OperationMode::Network, "", lists, range, [](const std::string&) { return false; }),
              CommandOutcome::Declined);
    EXPECT_FALSE(platform::PathExists(file));
    EXPECT_EQ(control::RestartPrograms(OperationMode::Network, "", lists, range, nullptr), CommandOutcome::Done);
    EXPECT_EQ(platform::ReadWholeFile(file).value_or(""), "RESTART^app.exe^C:\\Line\\app.exe\r\n");
    EXPECT_EQ(control::TerminateAll(static_cast<OperationMode>(2), {}, lists, range, nullptr), CommandOutcome::NoMode);
}

}  // namespace
