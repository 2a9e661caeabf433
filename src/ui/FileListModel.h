#pragma once
// What the two file lists show, without a window: the columns, the text and
// colours of each cell and row, and the right-click menu. The Win32 list view
// only copies these into its notifications.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "compare/Compare.h"

namespace ui {

enum class ColumnAlign { Left, Centre };

struct FileListColumn {
    const char* heading;
    ColumnAlign align;
    int width;  // pixels
};

// Both lists have these columns, in this order.
inline constexpr std::array<FileListColumn, 6> kFileListColumns{{
    {"파일이름", ColumnAlign::Left, 250},
    {"크기(kb)", ColumnAlign::Centre, 80},
    {"수정날짜", ColumnAlign::Centre, 120},
    {"비교결과", ColumnAlign::Centre, 80},
    {"대상 크기(kb)", ColumnAlign::Centre, 80},
    {"대상 수정날짜", ColumnAlign::Centre, 120},
}};

// Size in whole kilobytes as shown: bytes / 1024 + 1, so 0 bytes shows 1.
std::string SizeText(int64_t bytes);
// Local time "YYYY-MM-DD hh:mm"; empty when the time has no local form.
std::string TimeText(int64_t secondsSince1970);
// The words of a result; any value but the three named ones reads "target missing".
const char* ResultText(CompareResult result);

// Text of one cell; empty for a column outside the table. Column 0 is the
// source path without its first srcRootLength characters.
std::string CellText(const CompareRecord& r, int column, size_t srcRootLength);

struct Rgb {
    uint8_t red, green, blue;
};

struct RowColors {
    bool set = false;  // false: leave the list's own colours
    Rgb text{0, 0, 0};
    Rgb background{0, 0, 0};
};

RowColors RowColorsFor(CompareResult result);

// Right-click menu commands.
enum : int {
    kCmdExecute = 111,
    kCmdTerminate = 112,
    kCmdMove = 113,
};

struct MenuEntry {
    int command;       // 0 for a separator
    std::string text;  // empty for a separator
};

// The menu for a right click; empty means no menu. firstSelected is the
// record of the first selected item, nullptr when it has none.
std::vector<MenuEntry> ContextMenuFor(ListKind list, size_t selectedCount, const CompareRecord* firstSelected);

enum class MenuActionKind {
    None,         // nothing to do (menu dismissed, record gone, unknown command)
    Start,        // start `program` in `workingFolder`
    Terminate,    // terminate the processes whose executable is `program`
    MoveToCopy,   // move the selection into the copy list
    MoveBack,     // move the selection back to the all-files list
};

struct MenuAction {
    MenuActionKind kind = MenuActionKind::None;
    std::string program;
    std::string workingFolder;
};

// What a chosen command does; firstSelected is the first selected item's
// record looked up again after the menu closed.
MenuAction ActionFor(ListKind list, int command, const CompareRecord* firstSelected);

}  // namespace ui
