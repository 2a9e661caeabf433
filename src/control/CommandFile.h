#pragma once
// The command file a network PC's agent carries out: Jobkeeper\CopyScript.TSF
// below the PC's root. The agent deletes it once done, which is how the tool
// learns that the PC's programs have been stopped.
#include <string>
#include <string_view>
#include <vector>

enum class RemoteCommand : int {
    Restart = 1,  // one RESTART line per entry of the restart list
    Kill = 2,     // one KILL line per entry of the kill list
};

// pcRoot + "\Jobkeeper\CopyScript.TSF".
std::string CommandFileName(std::string_view pcRoot);

// The file's whole content for the list the command takes: restartList for
// Restart ("RESTART^<file name>^<entry>"), killList for Kill ("KILL^<file
// name>"), each line ended by CR LF; empty for an empty list. CR and LF
// inside an entry are dropped, so one entry is always one line.
std::string CommandFileText(RemoteCommand command, const std::vector<std::string>& restartList,
                            const std::vector<std::string>& killList);

// pcRoot + "\Jobkeeper\~CopyScript.tmp": where the file is written before it
// is renamed into place, so the agent never sees it half-written.
std::string CommandFileTempName(std::string_view pcRoot);

// Creates or replaces the PC's command file: written under the temporary
// name and renamed into place, or written in place where the share refuses
// the temporary file or the rename. False when it could not be written (PC
// off, share missing, no write access); no temporary file is left behind.
bool WriteCommandFile(std::string_view pcRoot, RemoteCommand command, const std::vector<std::string>& restartList,
                      const std::vector<std::string>& killList);

// True while the PC's command file exists, false once the agent has deleted
// it or it cannot be seen.
bool CommandFilePending(std::string_view pcRoot);
