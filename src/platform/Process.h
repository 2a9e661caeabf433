#pragma once
// Local process control: stop a running program by its executable file name,
// start a program through the shell. Names are code page texts.
#include <string>
#include <string_view>

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

}  // namespace platform
