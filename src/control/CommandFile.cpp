#include "control/CommandFile.h"

#include "compare/PathUtil.h"
#include "platform/FileSystem.h"

std::string CommandFileName(std::string_view pcRoot) {
    return std::string(pcRoot) + "\\Jobkeeper\\CopyScript.TSF";
}

std::string CommandFileText(RemoteCommand command, const std::vector<std::string>& restartList,
                            const std::vector<std::string>& killList) {
    std::string text;
    // The agent reads text-mode files: every line ends in CR LF.
    if (command == RemoteCommand::Restart) {
        for (const std::string& entry : restartList) {
            text += "RESTART^";
            text += FileNamePart(entry);
            text += '^';
            text += entry;
            text += "\r\n";
        }
    } else if (command == RemoteCommand::Kill) {
        for (const std::string& entry : killList) {
            text += "KILL^";
            text += FileNamePart(entry);
            text += "\r\n";
        }
    }
    return text;
}

std::string CommandFileTempName(std::string_view pcRoot) {
    return std::string(pcRoot) + "\\Jobkeeper\\~CopyScript.tmp";
}

bool WriteCommandFile(std::string_view pcRoot, RemoteCommand command, const std::vector<std::string>& restartList,
                      const std::vector<std::string>& killList) {
    // The agent acts on the file the moment it sees it. Created in place, it
    // would be empty for a moment, and an agent reading it then would carry
    // out nothing and delete it: the programs would keep running while files
    // are copied over them. So it is written whole under another name and
    // renamed, which the share does in one step.
    const std::string temp = CommandFileTempName(pcRoot);
    if (!platform::WriteWholeFile(temp, CommandFileText(command, restartList, killList))) {
        platform::RemoveFile(temp);
        return false;
    }
    if (!platform::MoveFileReplacing(temp, CommandFileName(pcRoot))) {
        platform::RemoveFile(temp);
        return false;
    }
    return true;
}

bool CommandFilePending(std::string_view pcRoot) { return platform::PathExists(CommandFileName(pcRoot)); }
