#pragma once
// The command file's lines as the agent understands them: "KILL^<name>" and
// "RESTART^<name>^<entry>", fields separated by '^', lines ended by CR LF (or
// LF or CR alone). Texts are code page bytes, taken as they are.
#include <string>
#include <string_view>
#include <vector>

namespace agent {

enum class CommandKind {
    Kill,     // stop every process of name
    Restart,  // stop every process of name, then start entry
    Blank,    // an empty line: nothing to do, nothing to say
    Unknown,  // not understood: passed over
};

struct Command {
    CommandKind kind = CommandKind::Unknown;
    std::string name;   // executable file name to stop
    std::string entry;  // Restart: the program to start, with or without a folder
    std::string text;   // the line as read, without its line end
};

std::vector<Command> ParseCommandScript(std::string_view text);

}  // namespace agent
