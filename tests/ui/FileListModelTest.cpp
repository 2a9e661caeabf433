#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>

#include "compare/PathUtil.h"
#include "ui/FileListModel.h"

namespace {

using ui::CellText;

// The result words as code page 949 bytes, independent of how the literals in
// the code under test were compiled.
const std::string kSame = "\xB5\xBF\xC0\xCF";
const std::string kSourceNewer = "\xBF\xF8\xBA\xBB\xC3\xD6\xBD\xC5";
const std::string kTargetNewer = "\xB4\xEB\xBB\xF3\xC3\xD6\xBD\xC5";
const std::string kTargetMissing = "\xB4\xEB\xBB\xF3\xBE\xF8\xC0\xBD";

// TZ in the form both C runtimes read ("KST-9" is nine hours east of UTC in
// POSIX and in the Windows runtime alike); the old value comes back after.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz) {
        if (const char* old = std::getenv("TZ")) old_ = old, hadOld_ = true;
        Set(tz);
    }
    ~ScopedTimeZone() { Set(hadOld_ ? old_.c_str() : nullptr); }

private:
    static void Set(const char* tz) {
#ifdef _WIN32
        _putenv((std::string("TZ=") + (tz ? tz : "")).c_str());
        _tzset();
#else
        if (tz)
            setenv("TZ", tz, 1);
        else
            unsetenv("TZ");
        tzset();
#endif
    }
    std::string old_;
    bool hadOld_ = false;
};

constexpr int64_t k2018 = 1517924730;        // 2018-02-06 13:45:30 UTC
constexpr int64_t kNewYear = 1704053220;     // 2023-12-31 20:07:00 UTC
constexpr int64_t kLatest = 32535215999LL;   // 3000-12-31 23:59:59 UTC

CompareRecord Record(CompareResult result) {
    CompareRecord r;
    r.result = result;
    r.source.path = "C:\\src\\sub\\a.dll";
    r.source.size = 1024;
    r.source.timeWrite = k2018;
    r.target.path = "D:\\dst\\sub\\a.dll";
    r.target.size = 5 * 1024;
    r.target.timeWrite = kNewYear;
    return r;
}

TEST(FileListModel, SizeIsKilobytesPlusOne) {
    struct {
        int64_t bytes;
        const char* text;
    } cases[] = {
        {0, "1"},
        {1023, "1"},
        {1024, "2"},
        {2047, "2"},
        {2048, "3"},
        {int64_t{1} << 41, "2147483649"},  // 2 TiB: past what an int holds
        {std::numeric_limits<int64_t>::max(), "9007199254740992"},
    };
    for (const auto& c : cases) {
        CompareRecord r = Record(CompareResult::Same);
        r.source.size = c.bytes;
        r.target.size = c.bytes;
        EXPECT_EQ(CellText(r, 1, 0), c.text) << c.bytes;
        EXPECT_EQ(CellText(r, 4, 0), c.text) << c.bytes;
    }
}

TEST(FileListModel, TimeInLocalTime) {
    struct {
        const char* tz;
        int64_t time;
        const char* text;
    } cases[] = {
        {"UTC0", 0, "1970-01-01 00:00"},
        {"UTC0", k2018, "2018-02-06 13:45"},
        {"UTC0", kNewYear, "2023-12-31 20:07"},
        {"UTC0", kLatest, "3000-12-31 23:59"},
        {"KST-9", k2018, "2018-02-06 22:45"},
        {"KST-9", kNewYear, "2024-01-01 05:07"},  // crosses the day, month and year
        {"KST-9", 15 * 3600, "1970-01-02 00:00"},
        // Times without a local form show nothing: unknown (-1), before 1970,
        // past the Windows runtime's last year.
        {"UTC0", -1, ""},
        {"KST-9", -1, ""},
        {"UTC0", -86400, ""},
        {"UTC0", kLatest + 1, ""},
        {"UTC0", std::numeric_limits<int64_t>::max(), ""},
        {"UTC0", std::numeric_limits<int64_t>::min(), ""},
    };
    for (const auto& c : cases) {
        ScopedTimeZone tz(c.tz);
        CompareRecord r = Record(CompareResult::SourceNewer);
        r.source.timeWrite = c.time;
        r.target.timeWrite = c.time;
        EXPECT_EQ(CellText(r, 2, 0), c.text) << c.tz << " " << c.time;
        EXPECT_EQ(CellText(r, 5, 0), c.text) << c.tz << " " << c.time;
    }
}

TEST(FileListModel, RowCellsByResult) {
    ScopedTimeZone tz("UTC0");
    const auto other = static_cast<CompareResult>(7);
    struct {
        CompareResult result;
        const std::string& words;
        const char* targetSize;
        const char* targetTime;
    } cases[] = {
        {CompareResult::Same, kSame, "6", "2023-12-31 20:07"},
        {CompareResult::SourceNewer, kSourceNewer, "6", "2023-12-31 20:07"},
        {CompareResult::TargetNewer, kTargetNewer, "6", "2023-12-31 20:07"},
        {CompareResult::TargetMissing, kTargetMissing, "", ""},
        // An unknown value reads as "target missing" but is not one: its
        // target columns are shown.
        {other, kTargetMissing, "6", "2023-12-31 20:07"},
    };
    for (const auto& c : cases) {
        const CompareRecord r = Record(c.result);
        const int value = static_cast<int>(c.result);
        EXPECT_EQ(CellText(r, 0, 7), "sub\\a.dll") << value;
        EXPECT_EQ(CellText(r, 1, 7), "2") << value;
        EXPECT_EQ(CellText(r, 2, 7), "2018-02-06 13:45") << value;
        EXPECT_EQ(CellText(r, 3, 7), c.words) << value;
        EXPECT_EQ(CellText(r, 4, 7), c.targetSize) << value;
        EXPECT_EQ(CellText(r, 5, 7), c.targetTime) << value;
        EXPECT_EQ(CellText(r, -1, 7), "") << value;
        EXPECT_EQ(CellText(r, 6, 7), "") << value;
    }
}

TEST(FileListModel, NameColumnDropsTheSourceRoot) {
    struct {
        const char* path;
        size_t rootLength;
        const char* text;
    } cases[] = {
        {"C:\\src\\sub\\a.dll", 7, "sub\\a.dll"},
        {"C:\\src\\a.dll", 7, "a.dll"},
        {"C:\\src\\a.dll", 0, "C:\\src\\a.dll"},
        {"C:\\src\\a.dll", 12, ""},
        {"C:\\src\\a.dll", 400, ""},  // root longer than the path
        {"C:\\src\\\xB0\xA1\\\xB3\xAA.exe", 7, "\xB0\xA1\\\xB3\xAA.exe"},
    };
    for (const auto& c : cases) {
        CompareRecord r = Record(CompareResult::Same);
        r.source.path = c.path;
        EXPECT_EQ(CellText(r, 0, c.rootLength), c.text) << c.path << " " << c.rootLength;
    }
}

TEST(FileListModel, RowColors) {
    struct {
        CompareResult result;
        bool set;
        ui::Rgb background;
    } cases[] = {
        {CompareResult::Same, true, {255, 255, 0}},
        {CompareResult::SourceNewer, true, {0, 255, 0}},
        {CompareResult::TargetNewer, true, {255, 0, 0}},
        {CompareResult::TargetMissing, true, {200, 200, 200}},
        {static_cast<CompareResult>(4), false, {}},
        {static_cast<CompareResult>(-1), false, {}},
    };
    for (const auto& c : cases) {
        const ui::RowColors colors = ui::RowColorsFor(c.result);
        const int value = static_cast<int>(c.result);
        EXPECT_EQ(colors.set, c.set) << value;
        if (!c.set) continue;
        EXPECT_EQ(colors.text.red, 0) << value;
        EXPECT_EQ(colors.text.green, 0) << value;
        EXPECT_EQ(colors.text.blue, 0) << value;
        EXPECT_EQ(colors.background.red, c.background.red) << value;
        EXPECT_EQ(colors.background.green, c.background.green) << value;
        EXPECT_EQ(colors.background.blue, c.background.blue) << value;
    }
}

// The menu as one line: "111:Execute(&E) app.exe|112:...|-|113:Move Down".
std::string Describe(const std::vector<ui::MenuEntry>& menu) {
    std::string out;
    for (const auto& e : menu) {
        if (!out.empty()) out += '|';
        out += e.command == 0 ? "-" : std::to_string(e.command) + ":" + e.text;
    }
    return out;
}

TEST(FileListModel, ContextMenu) {
    const std::string localDown = "111:Execute(&E) app.exe|112:Forced Termination(&T)|-|113:Move Down";
    const std::string localUp = "111:Execute(&E) app.exe|112:Forced Termination(&T)|-|113:Move Up";
    struct {
        ListKind list;
        size_t selected;
        const char* targetPath;  // nullptr: the first selected item has no record
        std::string menu;
    } cases[] = {
        {ListKind::AllFiles, 0, "C:\\dst\\app.exe", ""},
        {ListKind::Copy, 0, "C:\\dst\\app.exe", ""},
        {ListKind::AllFiles, 1, "C:\\dst\\bin\\app.exe", localDown},
        {ListKind::Copy, 1, "C:\\dst\\bin\\app.exe", localUp},
        {ListKind::Copy, 1, "c:/dst/app.exe", localUp},
        // The all-files list offers them for any target, network ones too.
        {ListKind::AllFiles, 1, "\\\\10.0.0.1\\c\\Pexoril\\app.exe", localDown},
        {ListKind::AllFiles, 1, "", "111:Execute(&E) |112:Forced Termination(&T)|-|113:Move Down"},
        // The copy list not for a network target, nor for none.
        {ListKind::Copy, 1, "\\\\10.0.0.1\\c\\Pexoril\\app.exe", "113:Move Up"},
        {ListKind::Copy, 1, "\\c\\Pexoril\\app.exe", "113:Move Up"},
        {ListKind::Copy, 1, "", "113:Move Up"},
        {ListKind::AllFiles, 3, "C:\\dst\\app.exe", "113:Move Down"},
        {ListKind::Copy, 2, "C:\\dst\\app.exe", "113:Move Up"},
        {ListKind::AllFiles, 1, nullptr, "113:Move Down"},
        {ListKind::Copy, 1, nullptr, "113:Move Up"},
    };
    for (const auto& c : cases) {
        CompareRecord r = Record(CompareResult::Same);
        if (c.targetPath) r.target.path = c.targetPath;
        const auto menu = ui::ContextMenuFor(c.list, c.selected, c.targetPath ? &r : nullptr);
        EXPECT_EQ(Describe(menu), c.menu) << (c.list == ListKind::Copy ? "copy " : "all ") << c.selected << " "
                                          << (c.targetPath ? c.targetPath : "(none)");
    }
}

TEST(FileListModel, MenuActions) {
    using K = ui::MenuActionKind;
    struct {
        ListKind list;
        int command;
        const char* targetPath;  // nullptr: the record is gone
        K kind;
        const char* program;
        const char* folder;
    } cases[] = {
        {ListKind::AllFiles, ui::kCmdExecute, "C:\\dst\\bin\\app.exe", K::Start, "app.exe", "C:\\dst\\bin\\"},
        {ListKind::Copy, ui::kCmdExecute, "C:/dst/app.exe", K::Start, "app.exe", "C:/dst/"},
        {ListKind::AllFiles, ui::kCmdTerminate, "C:\\dst\\bin\\app.exe", K::Terminate, "app.exe", ""},
        {ListKind::AllFiles, ui::kCmdExecute, nullptr, K::None, "", ""},
        {ListKind::Copy, ui::kCmdTerminate, nullptr, K::None, "", ""},
        {ListKind::AllFiles, ui::kCmdMove, "C:\\dst\\app.exe", K::MoveToCopy, "", ""},
        {ListKind::Copy, ui::kCmdMove, nullptr, K::MoveBack, "", ""},
        {ListKind::AllFiles, 0, "C:\\dst\\app.exe", K::None, "", ""},  // menu dismissed
        {ListKind::Copy, 114, "C:\\dst\\app.exe", K::None, "", ""},
    };
    for (const auto& c : cases) {
        CompareRecord r = Record(CompareResult::Same);
        if (c.targetPath) r.target.path = c.targetPath;
        const ui::MenuAction a = ui::ActionFor(c.list, c.command, c.targetPath ? &r : nullptr);
        EXPECT_EQ(static_cast<int>(a.kind), static_cast<int>(c.kind)) << c.command;
        EXPECT_EQ(a.program, c.program) << c.command;
        EXPECT_EQ(a.workingFolder, c.folder) << c.command;
    }
}


}  // namespace
