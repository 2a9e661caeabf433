#pragma once
// Terminate-all and restart as operations over their inputs: no window, no
// guard against a running copy run (the copy run itself calls them). The
// main window's commands add the guard and the operator's confirmation.
#include <functional>
#include <string>
#include <vector>

#include "control/OperationMode.h"
#include "control/TargetRange.h"

namespace control {

struct ProgramLists {
    std::vector<std::string> localOff;  // stopped on the local target
    std::vector<std::string> localOn;   // started on the local target
    std::vector<std::string> netOff;    // KILL lines for the network PCs
    std::vector<std::string> netOn;     // RESTART lines for the network PCs
};

// Shown the confirmation text of a network command; true to go on.
using Confirm = std::function<bool(const std::string& text)>;

enum class CommandOutcome {
    Done,            // every item was dealt with (failures are passed over)
    Declined,        // the operator answered no: nothing was written
    NoStartAddress,  // Network mode without a usable start address: nothing was written
    NoMode,          // a mode that is neither Local nor Network: nothing done
};

// The question before a network command: heading, " <start>~<last>", one
// "  <n>, <entry>" line per program, and the closing question.
std::string NetworkConfirmationText(const char* heading, const TargetRange& range,
                                    const std::vector<std::string>& programs);

extern const char* const kTerminateHeading;
extern const char* const kRestartHeading;

// Local: stops the process of each file name in copyTargetPaths that lies on
// this PC (paths beginning with '\' belong to a share's PC and are skipped),
// then each program of the local stop list. Network: after confirm (when
// given) a kill command file to every PC of the range, without an echo check.
CommandOutcome TerminateAll(OperationMode mode, const std::vector<std::string>& copyTargetPaths,
                            const ProgramLists& programs, const TargetRange& range, const Confirm& confirm);

// Local: stops every program of the local start list, then starts each in
// targetFolder; no question. Network: after confirm (when given) a restart
// command file to every PC of the range.
CommandOutcome RestartPrograms(OperationMode mode, const std::string& targetFolder, const ProgramLists& programs,
                               const TargetRange& range, const Confirm& confirm);

}  // namespace control
