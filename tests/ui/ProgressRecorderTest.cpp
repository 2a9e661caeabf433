// The headless progress window must behave as the real one does, since the
// runs' native tests read their results from it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/ProgressRecorder.h"

namespace {

using Lines = std::vector<std::string>;

TEST(ProgressRecorder, ARunWithAWaitingLineAndTheAutoHide) {
    ui::ProgressRecorder p;
    EXPECT_FALSE(p.visible);
    p.ShowForRun();
    p.ShowIgnoreWaitButton();
    p.AddLine("복사 실행", 0);  // replacing on an empty log appends
    p.AddLine("a.exe", 1);
    for (int i = 1; i <= 3; ++i) p.AddLine("대기 " + std::to_string(i), i == 1 ? 1 : 0);
    p.AddLine("성공 : 1, 실패 : 0", 1);
    EXPECT_EQ(p.lines, (Lines{"복사 실행", "a.exe", "대기 3", "성공 : 1, 실패 : 0"}));
    EXPECT_EQ(p.selectedLine, 3);
    EXPECT_TRUE(p.visible);
    EXPECT_TRUE(p.ignoreWaitShown);
    EXPECT_FALSE(p.openFolderShown);
    EXPECT_EQ(p.widestLine, int(std::string("성공 : 1, 실패 : 0").size()));
    EXPECT_EQ(p.horizontalExtent, p.widestLine);

    p.StartAutoHide();
    p.TimerTick();
    p.StartAutoHide();  // restarts at three, no second timer
    EXPECT_EQ(p.timerStarts, 1);
    p.TimerTick();
    p.TimerTick();
    EXPECT_TRUE(p.visible);
    p.TimerTick();
    EXPECT_FALSE(p.visible);
    EXPECT_FALSE(p.timerRunning);
    EXPECT_EQ(p.lines.size(), 4u);  // the log stays until the next run

    EXPECT_EQ(p.calls, (Lines{"ShowForRun", "ShowIgnoreWaitButton", "AddLine", "AddLine", "AddLine", "AddLine",
                              "AddLine", "AddLine", "StartAutoHide", "StartAutoHide"}));
}

TEST(ProgressRecorder, NextRunStartsClean) {
    ui::ProgressRecorder p;
    p.ShowForRun();
    p.ShowIgnoreWaitButton();
    p.SetOpenFolder("C:\\pkg");
    p.AddLine(std::string(40, 'x'), 1);
    p.StartAutoHide();
    p.Close();  // OK during the run
    EXPECT_FALSE(p.visible);
    p.AddLine("later", 1);  // the run goes on
    EXPECT_EQ(p.lines.back(), "later");

    p.ShowForRun();
    EXPECT_TRUE(p.visible);
    EXPECT_TRUE(p.lines.empty());
    EXPECT_EQ(p.selectedLine, -1);
    EXPECT_FALSE(p.ignoreWaitShown);
    EXPECT_FALSE(p.openFolderShown);
    EXPECT_EQ(p.openFolder, "");
    EXPECT_FALSE(p.countdown.Running());
    EXPECT_FALSE(p.timerRunning);
    EXPECT_EQ(p.widestLine, 0);
    EXPECT_EQ(p.horizontalExtent, 40);  // the list keeps it until a new line sets one
    p.AddLine("short", 1);
    EXPECT_EQ(p.horizontalExtent, 5);
    p.TimerTick();  // a stale tick of the old countdown
    EXPECT_TRUE(p.visible);
}

TEST(ProgressRecorder, OpenFolderAndTakingHold) {
    ui::ProgressRecorder p;
    p.ShowForRun();
    p.SetOpenFolder(std::nullopt);
    EXPECT_FALSE(p.openFolderShown);
    p.SetOpenFolder("C:\\pkg\\1");
    EXPECT_TRUE(p.openFolderShown);
    EXPECT_EQ(p.openFolder, "C:\\pkg\\1");
    p.SetOpenFolder(std::nullopt);
    EXPECT_EQ(p.openFolder, "C:\\pkg\\1");
    p.SetOpenFolder("");  // clears the folder, leaves the button
    EXPECT_EQ(p.openFolder, "");
    EXPECT_TRUE(p.openFolderShown);

    p.StartAutoHide();
    p.TimerTick();
    p.TakeHold();
    for (int i = 0; i < 5; ++i) p.TimerTick();
    EXPECT_TRUE(p.visible);
    p.StartAutoHide();  // a new countdown of three
    EXPECT_EQ(p.timerStarts, 2);
    p.TimerTick();
    p.TimerTick();
    EXPECT_TRUE(p.visible);
    p.TimerTick();
    EXPECT_FALSE(p.visible);
}

}  // namespace
