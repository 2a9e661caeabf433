#include <fcntl.h>
#include <cerrno>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "agent/AgentProcess.h"
#include "platform/PosixMapping.h"

namespace helpers {

AgentProcess::AgentProcess(const std::string& exe, const std::vector<std::string>& args,
                           const std::string& workFolder, const std::string& errorFile) {
    auto path = platform::posix::ToUnixPath(exe);
    auto dir = platform::posix::ToUnixPath(workFolder);
    const std::string winErr = errorFile;
    const size_t sep = winErr.find_last_of('\\');
    auto errDir = platform::posix::ToUnixPath(winErr.substr(0, sep));
    if (!path || !dir || !errDir) return;
    const std::string err = *errDir + "/" + winErr.substr(sep + 1);
    std::vector<std::string> argStore(args);
    std::vector<char*> argv{path->data()};
    for (auto& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        error_ = (unsigned long)errno;
        return;
    }
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (null < 0 || e < 0 || chdir(dir->c_str()) != 0) _exit(127);
        dup2(null, 0);
        dup2(e, 1);
        dup2(e, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    id_ = pid;
    started_ = true;
}

AgentProcess::~AgentProcess() { Kill(); }

std::optional<int> AgentProcess::WaitForExit(int timeoutMs) {
    if (exit_ || !started_) return exit_;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        if (waitpid(pid_t(id_), &status, WNOHANG) == pid_t(id_)) {
            exit_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return exit_;
        }
        if (std::chrono::steady_clock::now() >= end) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void AgentProcess::Kill() {
    if (!started_ || exit_) return;
    kill(pid_t(id_), SIGKILL);
    WaitForExit(5000);
}

}  // namespace helpers
