#pragma once
// qvDeploy's command line: a subcommand and its options, checked before
// anything is read or touched.
#include <string>
#include <vector>

namespace cli {

enum class Command { None, Help, Compare, Copy, Package };

// How long the copy run waits for the agents to take their stop commands
// before it goes on without them. An agent on a LAN takes its file within a
// second or two of its arrival and stops its programs with a bounded wait
// each; half a minute leaves room for several slow programs without holding
// a scheduled run for long when an agent is missing.
constexpr int kDefaultWaitSeconds = 30;
constexpr int kMaxWaitSeconds = 86400;

struct Options {
    Command command = Command::None;
    std::string settingsFile;  // empty: Quorvel.ini beside the program
    bool csv = false;          // compare
    bool newer = false;        // copy: every source-newer file, not the saved list
    bool dryRun = false;       // copy
    int waitSeconds = kDefaultWaitSeconds;  // copy
    std::string reportFile;    // copy: empty for none
};

struct ParsedArgs {
    bool ok = false;
    std::string error;  // what was wrong, when not ok
    Options options;
};

// args without the program name. Options may follow or precede the command;
// a value is the next argument or follows '=' (--wait=5).
ParsedArgs ParseArgs(const std::vector<std::string>& args);

// The usage message, lines ended by '\n'.
std::string UsageText();

}  // namespace cli
