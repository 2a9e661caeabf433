#include "control/ProgramControl.h"

#include "compare/PathUtil.h"
#include "control/CommandFile.h"
#include "platform/Process.h"

namespace control {

const char* const kTerminateHeading = "네트워크로 프로그램 종료 명령어를 전달 합니다.\n";
const char* const kRestartHeading = "네트워크로 프로그램 재시작 명령어를 전달 합니다.\n";

std::string NetworkConfirmationText(const char* heading, const TargetRange& range,
                                    const std::vector<std::string>& programs) {
    std::string text = heading;
    text += ' ';
    text += range.startAddress;
    text += '~';
    text += std::to_string(range.LastOctet());
    text += '\n';
    for (size_t i = 0; i < programs.size(); ++i) {
        text += "  ";
        text += std::to_string(i + 1);
        text += ", ";
        text += programs[i];
        text += '\n';
    }
    text += "계속 진행 하시겠습니까?";
    return text;
}

namespace {

CommandOutcome SendToRange(RemoteCommand command, const char* heading, const std::vector<std::string>& shown,
                           const ProgramLists& programs, const TargetRange& range, const Confirm& confirm) {
    // Without a captured address the PC roots would be bare numbers, i.e.
    // folders below the current directory.
    if (!range.HasValidStart()) return CommandOutcome::NoStartAddress;
    if (confirm && !confirm(NetworkConfirmationText(heading, range, shown))) return CommandOutcome::Declined;
    for (int n = range.FirstOctet(); n <= range.LastOctet(); ++n)
        WriteCommandFile(range.PcRoot(n), command, programs.netOn, programs.netOff);
    return CommandOutcome::Done;
}

}  // namespace

CommandOutcome TerminateAll(OperationMode mode, const std::vector<std::string>& copyTargetPaths,
                            const ProgramLists& programs, const TargetRange& range, const Confirm& confirm) {
    if (mode == OperationMode::Local) {
        for (const std::string& path : copyTargetPaths) {
            // Files on a share belong to another PC's processes, not ours.
            if (path.empty() || path[0] == '\\') continue;
            platform::TerminateProcessByName(FileNamePart(path));
        }
        for (const std::string& entry : programs.localOff) platform::TerminateProcessByName(FileNamePart(entry));
        return CommandOutcome::Done;
    }
    if (mode == OperationMode::Network)
        return SendToRange(RemoteCommand::Kill, kTerminateHeading, programs.netOff, programs, range, confirm);
    return CommandOutcome::NoMode;
}

CommandOutcome RestartPrograms(OperationMode mode, const std::string& targetFolder, const ProgramLists& programs,
                               const TargetRange& range, const Confirm& confirm) {
    if (mode == OperationMode::Local) {
        // All stopped before the first start, so no program comes up beside
        // an old instance of another one of the list.
        for (const std::string& entry : programs.localOn) platform::TerminateProcessByName(FileNamePart(entry));
        for (const std::string& entry : programs.localOn) platform::StartProgram(FileNamePart(entry), targetFolder);
        return CommandOutcome::Done;
    }
    if (mode == OperationMode::Network)
        return SendToRange(RemoteCommand::Restart, kRestartHeading, programs.netOn, programs, range, confirm);
    return CommandOutcome::NoMode;
}

}  // namespace control
