#pragma once
// Local process control: stop a running program by its executable file name,
// start a program through the shell. Names are code page texts.
#include <string>
#include <string_view>
#include <vector>

#include "platform/Wildcard.h"  // UpperCaseName

namespace platform {

// Terminates the first process, in the system's listing order, whose
// executable file name equals name without regard to case, and waits up to
// 2000 ms for it to end. True when such a process was found and could be
// terminated, whether or not it ended within the wait. A name with a folder
// matches nothing, since processes are listed by file name only.
bool TerminateProcessByName(std::string_view name);

// Opens file as the shell's "open" verb would (no parameters, hidden), with
// folder as the working folder. A bare file name is looked up in that folder
// first. Nothing is reported: a file that cannot be started is passed over.
void StartProgram(std::string_view file, std::string_view folder);

// What stopping every process of a name did.
struct StopReport {
    int found = 0;          // processes of the name that were running
    int stopped = 0;        // of them, terminated (or already ending)
    int failed = 0;         // of them, not stoppable: could not be opened or terminated
    bool allEnded = true;   // every stopped one ended within the wait
    // Full executable paths of the processes found, in listing order, where
    // the system tells them (empty entries left out).
    std::vector<std::string> paths;
};

// Terminates every process whose executable file name equals name (matched
// as TerminateProcessByName does), then waits until they have ended, at most
// waitMs in all. Processes that started meanwhile under the name are stopped
// too (a few passes at most). The calling process is never stopped: it would
// not live to see the result.
StopReport TerminateAllProcessesByName(std::string_view name, int waitMs);

// StartProgram with a result and a choice of show state: false when the
// program could not be started (no such file, no such working folder, the
// shell refused). hidden false shows the program's window as a normal start
// from the desktop would.
bool OpenProgram(std::string_view file, std::string_view folder, bool hidden);

}  // namespace platform
