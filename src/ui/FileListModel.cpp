#include "ui/FileListModel.h"

#include <cstdio>

#include "compare/PathUtil.h"
#include "platform/Clock.h"

namespace ui {

std::string SizeText(int64_t bytes) {
    // 64-bit all the way: a size of 2 TiB or more would not fit an int.
    return std::to_string(static_cast<long long>(bytes / 1024 + 1));
}

std::string TimeText(int64_t secondsSince1970) {
    platform::LocalTime lt;
    if (!platform::ToLocalTime(secondsSince1970, lt)) return {};
    // Five ints and four separators need at most 59 characters.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d", lt.year, lt.month, lt.day, lt.hour, lt.minute);
    return buf;
}

const char* ResultText(CompareResult result) {
    switch (result) {
    case CompareResult::Same: return "동일";
    case CompareResult::SourceNewer: return "원본최신";
    case CompareResult::TargetNewer: return "대상최신";
    default: return "대상없음";
    }
}

std::string CellText(const CompareRecord& r, int column, size_t srcRootLength) {
    const bool hasTarget = r.result != CompareResult::TargetMissing;
    switch (column) {
    case 0: return std::string(RelativeName(r.source.path, srcRootLength));
    case 1: return SizeText(r.source.size);
    case 2: return TimeText(r.source.timeWrite);
    case 3: return ResultText(r.result);
    case 4: return hasTarget ? SizeText(r.target.size) : std::string();
    case 5: return hasTarget ? TimeText(r.target.timeWrite) : std::string();
    default: return {};
    }
}

RowColors RowColorsFor(CompareResult result) {
    const Rgb black{0, 0, 0};
    switch (result) {
    case CompareResult::Same: return {true, black, {255, 255, 0}};
    case CompareResult::SourceNewer: return {true, black, {0, 255, 0}};
    case CompareResult::TargetNewer: return {true, black, {255, 0, 0}};
    case CompareResult::TargetMissing: return {true, black, {200, 200, 200}};
    default: return {};
    }
}

std::vector<MenuEntry> ContextMenuFor(ListKind list, size_t selectedCount, const CompareRecord* firstSelected) {
    std::vector<MenuEntry> menu;
    if (selectedCount == 0) return menu;
    if (selectedCount == 1 && firstSelected != nullptr) {
        const std::string& target = firstSelected->target.path;
        // Programs on a network PC cannot be started or stopped from here.
        const bool local = list == ListKind::AllFiles || (!target.empty() && target[0] != '\\');
        if (local) {
            menu.push_back({kCmdExecute, "Execute(&E) " + std::string(FileNamePart(target))});
            menu.push_back({kCmdTerminate, "Forced Termination(&T)"});
            menu.push_back({0, {}});
        }
    }
    menu.push_back({kCmdMove, list == ListKind::AllFiles ? "Move Down" : "Move Up"});
    return menu;
}

MenuAction ActionFor(ListKind list, int command, const CompareRecord* firstSelected) {
    MenuAction action;
    switch (command) {
    case kCmdExecute:
    case kCmdTerminate:
        if (firstSelected == nullptr) break;
        action.kind = command == kCmdExecute ? MenuActionKind::Start : MenuActionKind::Terminate;
        action.program = std::string(FileNamePart(firstSelected->target.path));
        if (command == kCmdExecute) action.workingFolder = std::string(FolderPart(firstSelected->target.path));
        break;
    case kCmdMove:
        action.kind = list == ListKind::AllFiles ? MenuActionKind::MoveToCopy : MenuActionKind::MoveBack;
        break;
    default: break;
    }
    return action;
}

}  // namespace ui
