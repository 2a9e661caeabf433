#include <windows.h>

#include "agent/AgentProcess.h"

namespace helpers {

AgentProcess::AgentProcess(const std::string& exe, const std::vector<std::string>& args,
                           const std::string& workFolder, const std::string& errorFile) {
    std::string cmd = "\"" + exe + "\"";
    for (const auto& a : args) cmd += " \"" + a + "\"";
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE err = CreateFileA(errorFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (err == INVALID_HANDLE_VALUE) {
        error_ = GetLastError();
        return;
    }
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nullptr;
    si.hStdOutput = err;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    const BOOL ok = CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                   workFolder.c_str(), &si, &pi);
    if (!ok) error_ = GetLastError();
    CloseHandle(err);
    if (!ok) return;
    CloseHandle(pi.hThread);
    handle_ = pi.hProcess;
    id_ = pi.dwProcessId;
    started_ = true;
}

AgentProcess::~AgentProcess() {
    Kill();
    if (handle_) CloseHandle(handle_);
}

std::optional<int> AgentProcess::WaitForExit(int timeoutMs) {
    if (exit_ || !handle_) return exit_;
    if (WaitForSingleObject(handle_, DWORD(timeoutMs)) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(handle_, &code);
    exit_ = int(code);
    return exit_;
}

void AgentProcess::Kill() {
    if (!handle_ || exit_) return;
    TerminateProcess(handle_, 99);
    WaitForExit(5000);
}

}  // namespace helpers
