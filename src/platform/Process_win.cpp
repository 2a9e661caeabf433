// Win32 process control: the Tool Help snapshot and the shell's "open" verb.
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <chrono>
#include <set>

#include "platform/Process.h"

namespace platform {

bool TerminateProcessByName(std::string_view name) {
    const std::string wanted = UpperCaseName(name);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    bool terminated = false;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        // szExeFile is the file name alone, so a name with a folder never matches.
        if (UpperCaseName(entry.szExeFile) != wanted) continue;
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (!process) process = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
        if (process) {
            TerminateProcess(process, 1);
            // Without SYNCHRONIZE the wait fails at once; the process is still gone soon.
            WaitForSingleObject(process, 2000);
            CloseHandle(process);
            terminated = true;
        }
        break;  // only the first match, whether or not it could be opened
    }
    CloseHandle(snapshot);
    return terminated;
}

void StartProgram(std::string_view file, std::string_view folder) { OpenProgram(file, folder, true); }

bool OpenProgram(std::string_view file, std::string_view folder, bool hidden) {
    const std::string f(file);
    const std::string dir(folder);
    const HINSTANCE r = ShellExecuteA(nullptr, "open", f.c_str(), nullptr, dir.empty() ? nullptr : dir.c_str(),
                                      hidden ? SW_HIDE : SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(r) > 32;  // the shell's documented success test
}

namespace {

std::string ImagePath(HANDLE process) {
    char buf[MAX_PATH * 4];
    DWORD n = sizeof buf;
    return QueryFullProcessImageNameA(process, 0, buf, &n) ? std::string(buf, n) : std::string();
}

// Ids of the processes of the name, in the snapshot's order; the caller's own left out.
std::vector<DWORD> ProcessesNamed(const std::string& wanted) {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID != GetCurrentProcessId() && UpperCaseName(entry.szExeFile) == wanted)
            ids.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return ids;
}

}  // namespace

StopReport TerminateAllProcessesByName(std::string_view name, int waitMs) {
    StopReport report;
    const std::string wanted = UpperCaseName(name);
    if (wanted.empty()) return report;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    std::set<DWORD> seen;
    // A program may be started again by another while we stop it (a
    // launcher, a second logon script): a few passes catch those, and a
    // pass that finds nothing new ends.
    for (int pass = 0; pass < 3; ++pass) {
        std::vector<HANDLE> ending;
        for (DWORD id : ProcessesNamed(wanted)) {
            if (!seen.insert(id).second) continue;
            ++report.found;
            HANDLE process =
                OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
            if (!process) process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
            if (!process) {
                // Its path still tells a restart where the program lives.
                if (HANDLE query = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id)) {
                    const std::string path = ImagePath(query);
                    if (!path.empty()) report.paths.push_back(path);
                    CloseHandle(query);
                }
                ++report.failed;
                continue;
            }
            const std::string path = ImagePath(process);
            if (!path.empty()) report.paths.push_back(path);
            // TerminateProcess refuses a process that is already ending; that one counts as stopped.
            if (TerminateProcess(process, 1) || WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
                ++report.stopped;
                ending.push_back(process);
            } else {
                ++report.failed;
                CloseHandle(process);
            }
        }
        if (ending.empty()) break;
        for (HANDLE process : ending) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            const DWORD wait = left.count() > 0 ? DWORD(left.count()) : 0;
            if (WaitForSingleObject(process, wait) != WAIT_OBJECT_0) report.allEnded = false;
            CloseHandle(process);
        }
    }
    return report;
}

}  // namespace platform
