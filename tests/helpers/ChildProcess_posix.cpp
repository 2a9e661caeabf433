#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "helpers/ChildProcess.h"
#include "platform/FileSystem.h"
#include "platform/PosixMapping.h"

namespace helpers {

std::string UniqueTag() { return std::to_string(getpid()); }

bool CopyProgram(const std::string& from, const std::string& to) {
    auto bytes = platform::ReadWholeFile(from);
    if (!bytes || !platform::WriteWholeFile(to, *bytes)) return false;
    auto unix = platform::posix::ToUnixPath(to);
    return unix && chmod(unix->c_str(), 0755) == 0;
}

Child::Child(const std::string& exe, const std::string& folder) {
    auto path = platform::posix::ToUnixPath(exe);
    auto dir = platform::posix::ToUnixPath(folder);
    if (!path || !dir) return;
    char* const argv[] = {path->data(), nullptr};
    const pid_t pid = fork();
    if (pid < 0) return;
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        if (null < 0 || chdir(dir->c_str()) != 0) _exit(127);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        execv(argv[0], argv);
        _exit(127);
    }
    id_ = pid;
    started_ = true;
}

Child::~Child() { Kill(); }

// Reaps the child once it has ended (so a killed one is not left a zombie).
bool Child::Running() {
    if (!started_ || id_ == 0) return false;
    int status = 0;
    const pid_t r = waitpid(pid_t(id_), &status, WNOHANG);
    if (r == 0) return true;
    id_ = 0;
    return false;
}

void Child::Kill() {
    if (!Running()) return;
    kill(pid_t(id_), SIGKILL);
    int status = 0;
    waitpid(pid_t(id_), &status, 0);
    id_ = 0;
}

}  // namespace helpers
