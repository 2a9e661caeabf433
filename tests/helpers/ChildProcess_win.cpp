#include <windows.h>

#include "helpers/ChildProcess.h"

namespace helpers {

std::string UniqueTag() { return std::to_string(GetCurrentProcessId()); }

bool CopyProgram(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

Child::Child(const std::string& exe, const std::string& folder) {
    std::string cmd = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    // Detached: no console, so it holds none of the test's output handles.
    if (!CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                        folder.c_str(), &si, &pi))
        return;
    CloseHandle(pi.hThread);
    handle_ = pi.hProcess;
    id_ = pi.dwProcessId;
    started_ = true;
}

Child::~Child() {
    Kill();
    if (handle_) CloseHandle(handle_);
}

bool Child::Running() { return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT; }

void Child::Kill() {
    if (!Running()) return;
    TerminateProcess(handle_, 1);
    WaitForSingleObject(handle_, 5000);
}

}  // namespace helpers
