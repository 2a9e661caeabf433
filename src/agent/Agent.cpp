#include "agent/Agent.h"

#include "compare/PathUtil.h"
#include "platform/DirWatch.h"

namespace agent {
namespace {

size_t LastSeparator(std::string_view path) {
    const size_t back = FindLastChar(path, '\\');
    const size_t slash = FindLastChar(path, '/');
    if (back == std::string_view::npos) return slash;
    if (slash == std::string_view::npos) return back;
    return back > slash ? back : slash;
}

bool IsAbsolute(std::string_view p) {
    return (p.size() >= 2 && p[1] == ':') || (!p.empty() && (p[0] == '\\' || p[0] == '/'));
}

// The folder of a file path; a drive's root keeps its backslash.
std::string FolderOf(std::string_view path) {
    const size_t sep = LastSeparator(path);
    if (sep == std::string_view::npos) return path.size() >= 2 && path[1] == ':' ? std::string(path.substr(0, 2)) : "";
    if (sep == 2 && path[1] == ':') return std::string(path.substr(0, 3));
    return std::string(path.substr(0, sep));
}

std::string Joined(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const char last = folder.back();
    return last == '\\' || last == '/' ? folder + name : folder + "\\" + name;
}

std::string Describe(const platform::StopReport& r) {
    if (r.found == 0) return "not running";
    std::string s = "stopped " + std::to_string(r.stopped) + " of " + std::to_string(r.found);
    if (r.failed > 0) s += ", " + std::to_string(r.failed) + " could not be stopped";
    if (!r.allEnded) s += ", not all ended within " + std::to_string(kStopWaitMs / 1000) + " s";
    return s;
}

}  // namespace

platform::StopReport SystemEffects::StopAll(const std::string& name) {
    return platform::TerminateAllProcessesByName(name, kStopWaitMs);
}

bool SystemEffects::Start(const std::string& file, const std::string& folder) {
    // Shown as a start from the desktop would show it: the program is the
    // user's, and a hidden start would leave a window-based one invisible.
    return platform::OpenProgram(file, folder, false);
}

StartPlace WhereToStart(const std::string& entry, const platform::StopReport& stopped,
                        const std::string& fallbackFolder) {
    if (IsAbsolute(entry)) return {entry, FolderOf(entry)};
    if (LastSeparator(entry) != std::string_view::npos) {
        const std::string file = Joined(fallbackFolder, entry);
        return {file, FolderOf(file)};
    }
    for (const std::string& path : stopped.paths) {
        const std::string folder = FolderOf(path);
        if (!folder.empty()) return {Joined(folder, entry), folder};
    }
    return {entry, fallbackFolder};
}

void CarryOut(const std::vector<Command>& commands, Effects& effects, AgentLog& log,
              const std::string& fallbackFolder) {
    int number = 0;
    for (const Command& c : commands) {
        ++number;
        switch (c.kind) {
        case CommandKind::Blank:
            break;
        case CommandKind::Unknown:
            log.Write("line " + std::to_string(number) + " passed over, not understood: " + Printable(c.text));
            break;
        case CommandKind::Kill:
            log.Write("KILL " + Printable(c.name) + ": " + Describe(effects.StopAll(c.name)));
            break;
        case CommandKind::Restart: {
            const platform::StopReport stopped = c.name.empty() ? platform::StopReport{} : effects.StopAll(c.name);
            const StartPlace place = WhereToStart(c.entry, stopped, fallbackFolder);
            const bool started = effects.Start(place.file, place.folder);
            log.Write("RESTART " + Printable(c.name) + ": " + Describe(stopped) + "; " +
                      (started ? "started " : "could not start ") + Printable(place.file) + " in " +
                      Printable(place.folder));
            break;
        }
        }
    }
}

Watcher::Watcher(std::string folder, Effects& effects, AgentLog& log, std::string fallbackFolder)
    : folder_(std::move(folder)),
      file_(folder_ + "\\" + kCommandFileName),
      effects_(effects),
      log_(log),
      fallbackFolder_(std::move(fallbackFolder)),
      watch_(std::make_unique<platform::DirWatch>(folder_)) {}

Watcher::~Watcher() = default;

bool Watcher::Notifies() const { return watch_->Notifies(); }

Watcher::Look Watcher::LookOnce() {
    std::string bytes;
    platform::FileStamp stamp;
    switch (platform::ReadClosedFile(file_, bytes, stamp)) {
    case platform::SharedFileResult::Done:
        break;
    case platform::SharedFileResult::Missing:
        carriedOut_.reset();
        failureLogged_ = false;
        return Look::Idle;
    case platform::SharedFileResult::Busy:
        return Look::Busy;
    default:
        if (!failureLogged_) log_.Write(std::string(kCommandFileName) + " cannot be read; trying again");
        failureLogged_ = true;
        return Look::Idle;
    }
    if (carriedOut_ != stamp) {
        const std::vector<Command> commands = ParseCommandScript(bytes);
        log_.Write(std::string(kCommandFileName) + ": " +
                   (commands.empty() ? std::string("empty") : std::to_string(commands.size()) + " line(s)"));
        CarryOut(commands, effects_, log_, fallbackFolder_);
        carriedOut_ = stamp;
        failureLogged_ = false;
    }
    // Deleted only now, after every line: the tool takes the deletion as
    // the sign that the programs are stopped.
    switch (platform::DeleteIfUnchanged(file_, stamp)) {
    case platform::SharedFileResult::Done:
        log_.Write(std::string(kCommandFileName) + " deleted");
        carriedOut_.reset();
        return Look::Idle;
    case platform::SharedFileResult::Missing:
        log_.Write(std::string(kCommandFileName) + " was removed by someone else");
        carriedOut_.reset();
        return Look::Idle;
    case platform::SharedFileResult::Changed:
        // A newer command came while these lines were carried out: it is carried out too.
        log_.Write(std::string(kCommandFileName) + " was replaced meanwhile; reading it again");
        return Look::Again;
    case platform::SharedFileResult::Busy:
        return Look::Busy;
    default:
        if (!failureLogged_) log_.Write(std::string(kCommandFileName) + " could not be deleted; trying again");
        failureLogged_ = true;
        return Look::Idle;
    }
}

void Watcher::Run(const std::atomic<bool>& stop) {
    while (!stop.load()) {
        const Look look = LookOnce();
        if (stop.load()) break;
        if (look == Look::Again) continue;
        watch_->Wait(look == Look::Busy ? kBusyRetryMs : kPeriodicLookMs);
    }
}

void Watcher::Wake() { watch_->Wake(); }

}  // namespace agent
