#include "control/CommandFile.h"

#include "compare/PathUtil.h"
#include "platform/FileSystem.h"

std::string CommandFileName(std::string_view pcRoot) {
    return std::string(pcRoot) + "\\Jobkeeper\\CopyScript.TSF";
}

namespace {

// A line break inside an entry (only a hand-edited settings file can hold
// one) would give the agent a further command of the file's choosing.
void AppendField(std::string& text, std::string_view field) {
    for (char c : field)
        if (c != '\r' && c != '\n') text += c;
}

}  // namespace

std::string CommandFileText(RemoteCommand command, const std::vector<std::string>& restartList,
                            const std::vector<std::string>& killList) {
    std::string text;
    // The agent reads text-mode files: every line ends in CR LF.
    if (command == RemoteCommand::Restart) {
        for (const std::string& entry : restartList) {
            text += "RESTART^";
            AppendField(text, FileNamePart(entry));
            text += '^';
            AppendField(text, entry);
            text += "\r\n";
        }
    } else if (command == RemoteCommand::Kill) {
        for (const std::string& entry : killList) {
            text += "KILL^";
            AppendField(text, FileNamePart(entry));
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
    // The agent acts on the file the moment it can open it. Written whole
    // under another name and renamed, it is never seen half-written; where
    // the share refuses that, the in-place write holds the file exclusively
    // until it is whole.
    return platform::ReplaceFileContents(CommandFileName(pcRoot), CommandFileTempName(pcRoot),
                                         CommandFileText(command, restartList, killList));
}

bool CommandFilePending(std::string_view pcRoot) { return platform::PathExists(CommandFileName(pcRoot)); }
