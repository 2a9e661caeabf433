// Win32 process control: the Tool Help snapshot and the shell's "open" verb.
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

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

void StartProgram(std::string_view file, std::string_view folder) {
    const std::string f(file);
    const std::string dir(folder);
    ShellExecuteA(nullptr, "open", f.c_str(), nullptr, dir.empty() ? nullptr : dir.c_str(), SW_HIDE);
}

}  // namespace platform
