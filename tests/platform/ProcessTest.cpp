#include <gtest/gtest.h>

#include <cctype>
#include <memory>

#include "helpers/ChildProcess.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "support/TestEnv.h"

namespace {

using helpers::Child;

std::string Upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}
// Program names of this test process alone, such as QvSleepA1234.exe.
std::string Named(const std::string& stem) { return stem + helpers::UniqueTag() + ".exe"; }

class ProcessTest : public ::testing::Test {
protected:
    // The sleeper copied under a name of the test's own, so that a
    // termination by name can only hit the test's processes.
    std::string Program(const std::string& name) {
        const std::string path = dir / ("bin\\" + name);
        if (!platform::PathExists(path)) {
            testenv::MakeDirs(dir / "bin");
            EXPECT_TRUE(helpers::CopyProgram(helpers::SleeperPath(), path)) << helpers::SleeperPath();
            names.push_back(name);
        }
        return path;
    }
    std::string Folder(const std::string& name) {
        testenv::MakeDirs(dir / name);
        return dir / name;
    }
    // Starts the program in a folder of its own and waits until it runs.
    Child& Run(const std::string& name) {
        const std::string folder = Folder("w" + std::to_string(children.size()));
        children.push_back(std::make_unique<Child>(Program(name), folder));
        EXPECT_TRUE(children.back()->ok()) << name;
        EXPECT_EQ(helpers::WaitForStarted(folder, 1).size(), 1u) << name << " did not start";
        return *children.back();
    }
    void TearDown() override {
        children.clear();
        // Whatever the shell started is not ours to wait for; stop it by name.
        for (const auto& n : names)
            for (int i = 0; i < 20 && platform::TerminateProcessByName(n); ++i) {
            }
    }

    testenv::TempDir dir;  // goes last: a running program's file cannot be deleted
    std::vector<std::string> names;
    std::vector<std::unique_ptr<Child>> children;
};

TEST(UpperCaseName, FoldsSingleByteLettersOnly) {
    EXPECT_EQ(platform::UpperCaseName("app.exe"), "APP.EXE");
    EXPECT_EQ(platform::UpperCaseName("Zz09_-.aZ"), "ZZ09_-.AZ");
    // The trail bytes 0x61 and 0x7A look like 'a' and 'z'.
    EXPECT_EQ(platform::UpperCaseName("\x81\x61x.exe"), "\x81\x61X.EXE");
    EXPECT_EQ(platform::UpperCaseName("a\xB0\x7A"), "A\xB0\x7A");
    EXPECT_EQ(platform::UpperCaseName(""), "");
    EXPECT_EQ(platform::UpperCaseName("\x81"), "\x81");  // a lone lead byte at the end
}

TEST_F(ProcessTest, OneCallStopsOneOfTwoSameNamedProcesses) {
    const std::string name = Named("QvSleepA");
    Child& a = Run(name);
    Child& b = Run(name);
    ASSERT_TRUE(a.Running() && b.Running());

    EXPECT_TRUE(platform::TerminateProcessByName(Lower(name)));
    // The call waited for the end, so the process is gone when it returns.
    EXPECT_EQ(int(a.Running()) + int(b.Running()), 1);

    EXPECT_TRUE(platform::TerminateProcessByName(name));
    EXPECT_FALSE(a.Running());
    EXPECT_FALSE(b.Running());
    EXPECT_FALSE(platform::TerminateProcessByName(name));
}

TEST_F(ProcessTest, NamesMatchTheWholeFileNameWithoutRegardToCase) {
    const std::string name = Named("QvSleepB");
    const std::string stem = name.substr(0, name.size() - 4);
    const std::string program = Program(name);
    struct Case {
        std::string name;
        bool matches;
    } cases[] = {
        {name, true},
        {Upper(name), true},
        {Lower(name), true},
        {"", false},
        {program, false},  // entries carry file names only
        {"bin\\" + name, false},
        {stem, false},
        {stem.substr(0, stem.size() - 1) + ".exe", false},
        {name.substr(1), false},
        {name + " ", false},
        {name + ".exe", false},
    };
    Child* running = nullptr;
    for (const auto& c : cases) {
        SCOPED_TRACE("name \"" + c.name + "\"");
        if (!running || !running->Running()) running = &Run(name);
        EXPECT_EQ(platform::TerminateProcessByName(c.name), c.matches);
        EXPECT_EQ(running->Running(), !c.matches);
    }
}

TEST_F(ProcessTest, DoubleByteNamesKeepTheirTrailBytes) {
    // 갵 is 0x81 0x61 and 갂 0x81 0x41: folding the trail byte as a letter
    // would make the two names equal.
    const std::string tag = helpers::UniqueTag();
    Child& child = Run("갵x" + tag + ".exe");
    EXPECT_FALSE(platform::TerminateProcessByName("갂x" + tag + ".exe"));
    EXPECT_FALSE(platform::TerminateProcessByName("갂X" + tag + ".EXE"));
    EXPECT_TRUE(child.Running());
    EXPECT_TRUE(platform::TerminateProcessByName("갵X" + tag + ".EXE"));
    EXPECT_FALSE(child.Running());
}

TEST_F(ProcessTest, StartProgramRunsTheFileInTheWorkingFolder) {
    const std::string work = Folder("work");
    const std::string name = Named("QvSleepC");
    ASSERT_TRUE(helpers::CopyProgram(helpers::SleeperPath(), work + "\\" + name));
    names.push_back(name);
    const std::string other = Folder("other");
    struct RestoreDir {
        std::string was = platform::GetCurrentDir();
        ~RestoreDir() { platform::SetCurrentDir(was); }
    } restore;
    ASSERT_TRUE(platform::SetCurrentDir(other));  // the folder given wins over ours

    platform::StartProgram(name, work);
    const auto started = helpers::WaitForStarted(work, 1);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].rfind("started-" + name + "-", 0), 0u) << started[0];
    const auto cwd = platform::ReadWholeFile(work + "\\" + started[0]);
    ASSERT_TRUE(cwd.has_value());
    const auto ran = platform::GetDirectoryId(*cwd);
    ASSERT_TRUE(ran.has_value()) << *cwd;
    EXPECT_EQ(*ran, *platform::GetDirectoryId(work)) << *cwd;
    EXPECT_TRUE(helpers::StartedFiles(other).empty());

    // A file that is not there starts nothing and reports nothing.
    platform::StartProgram("QvMissing.exe", work);
    platform::StartProgram(name, dir / "no such folder");
    helpers::SleepMs(500);
    EXPECT_EQ(helpers::StartedFiles(work).size(), 1u);

    EXPECT_TRUE(platform::TerminateProcessByName(name));
    EXPECT_FALSE(platform::TerminateProcessByName(name));
}

TEST_F(ProcessTest, TerminateAllStopsEveryProcessOfTheNameAndWaitsForTheirEnd) {
    const std::string name = Named("QvSleepD");
    const std::string other = Named("QvSleepE");
    Child& a = Run(name);
    Child& b = Run(name);
    Child& c = Run(name);
    Child& keep = Run(other);

    const platform::StopReport r = platform::TerminateAllProcessesByName(Lower(name), 5000);
    EXPECT_EQ(r.found, 3);
    EXPECT_EQ(r.stopped, 3);
    EXPECT_EQ(r.failed, 0);
    EXPECT_TRUE(r.allEnded);
    // Ended when the call returns, not merely told to end.
    EXPECT_FALSE(a.Running());
    EXPECT_FALSE(b.Running());
    EXPECT_FALSE(c.Running());
    EXPECT_TRUE(keep.Running());
    // Each process's executable, where it lives.
    ASSERT_EQ(r.paths.size(), 3u);
    for (const auto& p : r.paths) EXPECT_TRUE(platform::NamesEqualNoCase(p, Program(name))) << p;

    const platform::StopReport none = platform::TerminateAllProcessesByName(name, 5000);
    EXPECT_EQ(none.found, 0);
    EXPECT_EQ(none.stopped, 0);
    EXPECT_TRUE(none.allEnded);
    EXPECT_TRUE(none.paths.empty());
    EXPECT_EQ(platform::TerminateAllProcessesByName("", 5000).found, 0);
    EXPECT_EQ(platform::TerminateAllProcessesByName(Program(other), 5000).found, 0);  // a folder matches nothing
    EXPECT_TRUE(keep.Running());
}

TEST_F(ProcessTest, OpenProgramSaysWhetherItStarted) {
    const std::string work = Folder("open");
    const std::string name = Named("QvSleepF");
    ASSERT_TRUE(helpers::CopyProgram(helpers::SleeperPath(), work + "\\" + name));
    names.push_back(name);
    EXPECT_FALSE(platform::OpenProgram("QvMissing.exe", work, false));
    EXPECT_FALSE(platform::OpenProgram(name, dir / "no such folder", false));
    EXPECT_TRUE(platform::OpenProgram(work + "\\" + name, work, false));
    EXPECT_EQ(helpers::WaitForStarted(work, 1).size(), 1u);
    EXPECT_EQ(platform::TerminateAllProcessesByName(name, 5000).stopped, 1);
}

}  // namespace
