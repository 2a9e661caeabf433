#include <gtest/gtest.h>

#include "control/CommandFile.h"
#include "platform/FileSystem.h"
#include "support/TestEnv.h"

namespace {

using Names = std::vector<std::string>;

TEST(CommandFile, LinesForEachCommand) {
    const Names restart = {"C:\\dir\\a.exe", "b.exe", "D:\\라인\\프로그램.exe", "noext"};
    const Names kill = {"x.exe", "C:\\Line\\App.EXE", "\\\\pc\\share\\y.exe"};
    struct Case {
        RemoteCommand command;
        Names restart, kill;
        std::string text;
    } cases[] = {
        {RemoteCommand::Restart, restart, kill,
         "RESTART^a.exe^C:\\dir\\a.exe\r\n"
         "RESTART^b.exe^b.exe\r\n"
         "RESTART^프로그램.exe^D:\\라인\\프로그램.exe\r\n"
         "RESTART^^noext\r\n"},  // no separator, no '.': the file name part is empty
        {RemoteCommand::Kill, restart, kill, "KILL^x.exe\r\nKILL^App.EXE\r\nKILL^y.exe\r\n"},
        {RemoteCommand::Restart, {}, kill, ""},
        // A line break inside an entry never makes a second command.
        {RemoteCommand::Kill, {}, {"a.exe\rKILL^b.exe", "c.exe\r\n"}, "KILL^a.exeKILL^b.exe\r\nKILL^c.exe\r\n"},
        {RemoteCommand::Restart, {"C:\\x\r\nKILL^y.exe\\a.exe"}, {}, "RESTART^a.exe^C:\\xKILL^y.exe\\a.exe\r\n"},
        {RemoteCommand::Kill, restart, {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.command));
        EXPECT_EQ(CommandFileText(c.command, c.restart, c.kill), c.text);
    }
    EXPECT_EQ(CommandFileName("\\\\10.1.2.3"), "\\\\10.1.2.3\\Jobkeeper\\CopyScript.TSF");
}

TEST(CommandFile, WrittenReplacedAndWatchedInALocalFolder) {
    testenv::TempDir root;
    const std::string file = root / "Jobkeeper\\CopyScript.TSF";
    // No Jobkeeper folder: nothing is written, and the folder is not made.
    EXPECT_FALSE(WriteCommandFile(root.path(), RemoteCommand::Kill, {}, {"a.exe"}));
    EXPECT_FALSE(platform::PathExists(root / "Jobkeeper"));
    EXPECT_FALSE(CommandFilePending(root.path()));

    testenv::MakeDirs(root / "Jobkeeper");
    ASSERT_TRUE(WriteCommandFile(root.path(), RemoteCommand::Restart, {"C:\\dir\\long-name.exe", "b.exe"}, {"k.exe"}));
    EXPECT_EQ(platform::ReadWholeFile(file), "RESTART^long-name.exe^C:\\dir\\long-name.exe\r\nRESTART^b.exe^b.exe\r\n");
    EXPECT_TRUE(CommandFilePending(root.path()));

    // A second command before the agent's pickup replaces the first, even
    // when it is shorter.
    ASSERT_TRUE(WriteCommandFile(root.path(), RemoteCommand::Kill, {"C:\\dir\\long-name.exe"}, {"k.exe"}));
    EXPECT_EQ(platform::ReadWholeFile(file), "KILL^k.exe\r\n");
    ASSERT_TRUE(WriteCommandFile(root.path(), RemoteCommand::Kill, {"x.exe"}, {}));
    EXPECT_EQ(platform::ReadWholeFile(file), "");
    EXPECT_FALSE(platform::PathExists(CommandFileTempName(root.path())));  // renamed into place
    EXPECT_TRUE(CommandFilePending(root.path()));  // an empty file waits like any other

    ASSERT_TRUE(platform::RemoveFile(file));  // what the agent does when done
    EXPECT_FALSE(CommandFilePending(root.path()));
}

// A share that refuses the temporary file or the rename still gets the
// command, written in place, and keeps no temporary file.
TEST(CommandFile, WrittenInPlaceWhereTheShareRefusesTheRename) {
    testenv::TempDir root;
    const std::string file = root / "Jobkeeper\\CopyScript.TSF";
    const std::string temp = CommandFileTempName(root.path());
    testenv::MakeDirs(root / "Jobkeeper");
    auto fresh = [&] { testenv::WriteFile(file, "KILL^old.exe\r\n"); };
    auto sent = [&] { return platform::ReadWholeFile(file).value_or("<none>"); };

    fresh();
    testenv::MakeDirs(temp);  // the temporary name cannot be created
    EXPECT_TRUE(WriteCommandFile(root.path(), RemoteCommand::Kill, {}, {"a.exe"}));
    EXPECT_EQ(sent(), "KILL^a.exe\r\n");
    ASSERT_TRUE(platform::RemoveDir(temp));

    fresh();
    {
        testenv::Immutable folder(root / "Jobkeeper");  // no file may be created or renamed there
        if (folder.ok()) {
            EXPECT_TRUE(WriteCommandFile(root.path(), RemoteCommand::Kill, {}, {"b.exe"}));
            EXPECT_EQ(sent(), "KILL^b.exe\r\n");
        }
    }
    fresh();
    bool held = false;
    {
        testenv::HeldOpen agent(file, false);  // shares writing, not deletion: no rename onto it
        if ((held = agent.ok())) {
            EXPECT_TRUE(WriteCommandFile(root.path(), RemoteCommand::Kill, {}, {"c.exe"}));
        }
    }
    if (held) {
        EXPECT_EQ(sent(), "KILL^c.exe\r\n");
    }
    EXPECT_FALSE(platform::PathExists(temp));
}

TEST(CommandFile, OnPcSharesOnlyMappedPcsReceiveIt) {
    // \\10.213.7.3 has no share: like a PC that is switched off.
    testenv::MappedShare pc2("10.213.7.2", "Jobkeeper");
    testenv::MappedShare pc4("10.213.7.4", "Jobkeeper");
    if (!pc2.ok() || !pc4.ok()) GTEST_SKIP() << "shares cannot be mapped on this platform";
    const Names restart = {"C:\\Pexoril\\app.exe"};
    const Names kill = {"app.exe", "helper.exe"};
    EXPECT_TRUE(WriteCommandFile("\\\\10.213.7.2", RemoteCommand::Kill, restart, kill));
    EXPECT_FALSE(WriteCommandFile("\\\\10.213.7.3", RemoteCommand::Kill, restart, kill));
    EXPECT_TRUE(WriteCommandFile("\\\\10.213.7.4", RemoteCommand::Restart, restart, kill));
    EXPECT_EQ(platform::ReadWholeFile(pc2.folder() + "\\CopyScript.TSF"), "KILL^app.exe\r\nKILL^helper.exe\r\n");
    EXPECT_EQ(platform::ReadWholeFile(pc4.folder() + "\\CopyScript.TSF"),
              "RESTART^app.exe^C:\\Pexoril\\app.exe\r\n");
    EXPECT_TRUE(CommandFilePending("\\\\10.213.7.2"));
    EXPECT_FALSE(CommandFilePending("\\\\10.213.7.3"));
    ASSERT_TRUE(platform::RemoveFile("\\\\10.213.7.4\\Jobkeeper\\CopyScript.TSF"));
    EXPECT_FALSE(CommandFilePending("\\\\10.213.7.4"));
    EXPECT_TRUE(CommandFilePending("\\\\10.213.7.2"));
}

}  // namespace
