// Native build of process control over the Linux process table.
//
// A process's name is what Windows would list: the file name of its
// executable, taken from the link /proc/<pid>/exe (not comm, which the kernel
// cuts to 15 bytes, so "LongProgramName.exe" would never match). Processes
// whose link cannot be read (kernel threads, zombies, other users' processes
// without privilege) are not listed, as a snapshot never lists what has no
// image. The listing order is /proc's, which is ascending process id.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <utility>
#include <vector>
#include <thread>

#include "platform/PosixMapping.h"
#include "platform/Process.h"

namespace platform {
namespace {

constexpr int kWaitMs = 2000;

// Unix path of a process's executable; a running program whose file was
// deleted or replaced keeps its path.
std::optional<std::string> ExeLink(const char* pid) {
    const std::string link = std::string("/proc/") + pid + "/exe";
    std::string target(256, '\0');
    for (;;) {
        const ssize_t n = readlink(link.c_str(), target.data(), target.size());
        if (n < 0) return std::nullopt;
        if (size_t(n) < target.size()) {
            target.resize(size_t(n));
            break;
        }
        target.resize(target.size() * 2);
    }
    const std::string deleted = " (deleted)";
    if (target.size() > deleted.size() &&
        target.compare(target.size() - deleted.size(), deleted.size(), deleted) == 0)
        target.resize(target.size() - deleted.size());
    return target;
}

std::optional<std::string> ExeFileName(const char* pid) {
    const auto target = ExeLink(pid);
    if (!target) return std::nullopt;
    const size_t slash = target->rfind('/');
    return posix::Utf8ToCp949(slash == std::string::npos ? *target : target->substr(slash + 1));
}

bool IsPid(const char* s) {
    if (!*s) return false;
    for (; *s; ++s)
        if (*s < '0' || *s > '9') return false;
    return true;
}

// Gone, or a zombie: either way it runs no more.
bool Ended(pid_t pid) {
    const std::string stat = "/proc/" + std::to_string(pid) + "/stat";
    const int fd = open(stat.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return true;
    char buf[512];
    const ssize_t n = read(fd, buf, sizeof buf - 1);
    close(fd);
    if (n <= 0) return true;
    buf[n] = '\0';
    const char* paren = strrchr(buf, ')');  // comm may hold blanks and parentheses
    return !paren || paren[1] == '\0' || paren[2] == 'Z' || paren[2] == 'X';
}

// Kills pid and waits for its end. False when the process may not be
// signalled (the counterpart of a process that cannot be opened).
bool Kill(pid_t pid) {
    // A pidfd pins the process, so a recycled id cannot be hit, and can be
    // polled for the end of a process that is not our child.
    const int pidfd = int(syscall(SYS_pidfd_open, pid, 0));
    if (pidfd >= 0) {
        if (syscall(SYS_pidfd_send_signal, pidfd, SIGKILL, nullptr, 0) != 0) {
            close(pidfd);
            return false;
        }
        pollfd p{pidfd, POLLIN, 0};
        while (poll(&p, 1, kWaitMs) < 0 && errno == EINTR) {
        }
        close(pidfd);
        return true;
    }
    if (errno == ESRCH) return false;  // ended since the listing
    if (kill(pid, SIGKILL) != 0) return false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!Ended(pid) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return true;
}

bool IsAbsolute(std::string_view p) {
    return (p.size() >= 2 && p[1] == ':') || (!p.empty() && (p[0] == '\\' || p[0] == '/'));
}

}  // namespace

bool TerminateProcessByName(std::string_view name) {
    const std::string wanted = UpperCaseName(name);
    DIR* proc = opendir("/proc");
    if (!proc) return false;
    std::optional<pid_t> match;
    while (dirent* e = readdir(proc)) {
        if (!IsPid(e->d_name)) continue;
        const auto exe = ExeFileName(e->d_name);
        if (exe && UpperCaseName(*exe) == wanted) {
            match = pid_t(std::atol(e->d_name));
            break;
        }
    }
    closedir(proc);
    return match && Kill(*match);
}

void StartProgram(std::string_view file, std::string_view folder) { OpenProgram(file, folder, true); }

// There is no window to show or hide here; hidden only matters on Windows.
bool OpenProgram(std::string_view file, std::string_view folder, bool /*hidden*/) {
    const std::string f(file);
    const std::string dir(folder);
    if (f.empty()) return false;
    // As the shell does: a relative file is looked for in the working folder
    // first, then taken as it stands.
    std::optional<std::string> exe;
    if (!IsAbsolute(f) && !dir.empty()) {
        exe = posix::ToUnixPath(dir + "\\" + f);
        if (exe && access(exe->c_str(), X_OK) != 0) exe.reset();
    }
    if (!exe) exe = posix::ToUnixPath(f);
    if (!exe || access(exe->c_str(), X_OK) != 0) return false;  // no association for documents here
    std::optional<std::string> cwd;
    if (!dir.empty()) {
        cwd = posix::ToUnixPath(dir);
        struct stat st;
        // The shell refuses a working folder that does not exist.
        if (!cwd || stat(cwd->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    }
    // Everything the child needs is made before fork: after it only
    // async-signal-safe calls are allowed.
    char* const argv[] = {exe->data(), nullptr};
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        // The grandchild runs the program and is handed to init, so no
        // zombie waits here for a wait() that nobody makes.
        const pid_t grandchild = fork();
        if (grandchild != 0) _exit(0);
        if (cwd && chdir(cwd->c_str()) != 0) _exit(127);
        // A hidden program has no console: it must not hold our output open.
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
            if (null > 2) close(null);
        }
        execv(argv[0], argv);
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

StopReport TerminateAllProcessesByName(std::string_view name, int waitMs) {
    StopReport report;
    const std::string wanted = UpperCaseName(name);
    if (wanted.empty()) return report;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    const pid_t self = getpid();
    std::set<pid_t> seen;
    // A program may be started again by another while we stop it: a few
    // passes catch those, and a pass that finds nothing new ends.
    for (int pass = 0; pass < 3; ++pass) {
        std::vector<std::pair<pid_t, std::string>> matches;  // id, full path
        if (DIR* proc = opendir("/proc")) {
            while (dirent* e = readdir(proc)) {
                if (!IsPid(e->d_name)) continue;
                const pid_t pid = pid_t(std::atol(e->d_name));
                if (pid == self || seen.count(pid)) continue;
                const auto exe = ExeLink(e->d_name);
                if (!exe) continue;
                const size_t slash = exe->rfind('/');
                if (UpperCaseName(posix::Utf8ToCp949(exe->substr(slash + 1))) == wanted)
                    matches.emplace_back(pid, *exe);
            }
            closedir(proc);
        }
        std::vector<int> pidfds;
        std::vector<pid_t> plain;  // killed without a pidfd (old kernels)
        for (const auto& [pid, path] : matches) {
            seen.insert(pid);
            // Like a snapshot entry whose process ended before it was opened:
            // listed, but nothing to stop.
            const int pidfd = int(syscall(SYS_pidfd_open, pid, 0));
            if (pidfd < 0 && errno == ESRCH) continue;
            ++report.found;
            report.paths.push_back(posix::ToWindowsPath(path));
            if (pidfd >= 0) {
                if (syscall(SYS_pidfd_send_signal, pidfd, SIGKILL, nullptr, 0) == 0) {
                    ++report.stopped;
                    pidfds.push_back(pidfd);
                } else {
                    ++report.failed;
                    close(pidfd);
                }
            } else if (kill(pid, SIGKILL) == 0) {
                ++report.stopped;
                plain.push_back(pid);
            } else {
                ++report.failed;
            }
        }
        if (pidfds.empty() && plain.empty()) break;
        for (int pidfd : pidfds) {
            pollfd p{pidfd, POLLIN, 0};
            for (;;) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now()).count();
                const int r = poll(&p, 1, left > 0 ? int(left) : 0);
                if (r < 0 && errno == EINTR) continue;
                if (r <= 0) report.allEnded = false;
                break;
            }
            close(pidfd);
        }
        for (pid_t pid : plain) {
            while (!Ended(pid) && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (!Ended(pid)) report.allEnded = false;
        }
    }
    return report;
}

}  // namespace platform
