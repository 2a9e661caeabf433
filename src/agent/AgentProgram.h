#pragma once
// qvAgent as a program: which folder it watches, one agent per folder, the
// log's first lines, and the loop.
#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace agent {

inline constexpr const char* kDefaultFolderName = "Jobkeeper";

enum ExitCode {
    kExitStopped = 0,         // the loop was asked to stop
    kExitUsage = 1,           // more than one argument
    kExitNoFolder = 2,        // the folder is missing and cannot be made
    kExitAlreadyWatched = 3,  // another agent watches the folder
};

// The watched folder: the one argument made absolute against cwd (trailing
// separators dropped), or "Jobkeeper" in the executable's folder.
std::string WatchedFolder(const std::vector<std::string>& args, const std::string& exePath, const std::string& cwd);

// Tells whoever started the program (a console, if any); the log gets the
// same text where there is a folder to log in.
using Tell = std::function<void(const std::string&)>;

// args without the program name. Returns when stop is set (after a Wake or
// within a second), or at once when the agent cannot run.
int RunAgent(const std::vector<std::string>& args, const Tell& tell, const std::atomic<bool>& stop);

}  // namespace agent
