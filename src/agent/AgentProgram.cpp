#include "agent/AgentProgram.h"

#include <algorithm>

#include "agent/Agent.h"
#include "agent/AgentLog.h"
#include "compare/PathUtil.h"
#include "platform/FileSystem.h"
#include "platform/SharedFile.h"

namespace agent {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string ParentOf(const std::string& path) {
    const size_t back = FindLastChar(path, '\\');
    const size_t slash = FindLastChar(path, '/');
    size_t sep = back == std::string::npos ? slash : slash == std::string::npos ? back : std::max(back, slash);
    return sep == std::string::npos ? std::string() : path.substr(0, sep);
}

}  // namespace

std::string WatchedFolder(const std::vector<std::string>& args, const std::string& exePath, const std::string& cwd) {
    if (args.empty()) {
        const std::string dir = ParentOf(exePath);
        return dir.empty() ? std::string(kDefaultFolderName) : dir + "\\" + kDefaultFolderName;
    }
    std::string folder = args[0];
    // "C:\Jobkeeper\" on a command line reaches us as C:\Jobkeeper" (the
    // runtime reads \" as a quote); no Windows path holds a '"'.
    while (!folder.empty() && folder.back() == '"') folder.pop_back();
    const bool absolute = (folder.size() >= 2 && folder[1] == ':') || (!folder.empty() && IsSeparator(folder[0]));
    if (!absolute) folder = cwd.empty() ? folder : (IsSeparator(cwd.back()) ? cwd : cwd + "\\") + folder;
    // C:\Jobkeeper\ and C:\Jobkeeper are one folder; a drive's root keeps its separator.
    while (folder.size() > 1 && IsSeparator(folder.back()) && !(folder.size() == 3 && folder[1] == ':'))
        folder.pop_back();
    return folder;
}

int RunAgent(const std::vector<std::string>& args, const Tell& tell, const std::atomic<bool>& stop) {
    if (args.size() > 1) {
        tell("usage: qvAgent.exe [folder]\nWatches the folder (by default Jobkeeper beside qvAgent.exe) for " +
             std::string(kCommandFileName) + ", carries out its lines and deletes it.");
        return kExitUsage;
    }
    const std::string folder = WatchedFolder(args, platform::ExecutablePath(), platform::GetCurrentDir());
    // The default folder is ours to make; a folder named on the command line must exist.
    if (!platform::PathExists(folder) && (!args.empty() || !platform::MakeDir(folder))) {
        tell("qvAgent: the folder " + folder + (args.empty() ? " cannot be created" : " does not exist"));
        return kExitNoFolder;
    }
    AgentLog log(folder);
    platform::FolderLock lock(folder);
    if (!lock.held()) {
        const std::string text = "qvAgent: another qvAgent already watches " + folder + "; this one ends";
        log.Write(text);
        tell(text);
        return kExitAlreadyWatched;
    }
    SystemEffects effects;
    // A bare program name that did not run is looked for beside the agent.
    Watcher watcher(folder, effects, log, ParentOf(platform::ExecutablePath()));
    log.Write("qvAgent started, watching " + folder +
              (watcher.Notifies() ? std::string()
                                  : " (no change notification here: looking every " +
                                        std::to_string(kPeriodicLookMs) + " ms)"));
    watcher.Run(stop);
    log.Write("qvAgent stopped");
    return kExitStopped;
}

}  // namespace agent
