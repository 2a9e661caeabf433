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

bool WriteCommandFile(std::string_view pcRoot, RemoteCommand command, const std::vector<std::string>& restartList,
                      const std::vector<std::string>& killList) {
    // Built whole and written in one write: the agent may read it the moment it appears.
    return platform::WriteWholeFile(CommandFileName(pcRoot), CommandFileText(command, restartList, killList));
}

bool CommandFilePending(std::string_view pcRoot) { return platform::PathExists(CommandFileName(pcRoot)); }
