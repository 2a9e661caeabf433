// qvAgent's entry. On Windows a GUI-subsystem program without a window, so
// that a logon task starts it silently in the user's session; what it has to
// say goes to a console if it was started from one.
#include <atomic>
#include <string>
#include <vector>

#include "agent/AgentProgram.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdlib>

namespace {

void TellConsole(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    out += "\r\n";
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    bool attached = false;
    // A GUI program started from a console has no handles of its own: borrow
    // the parent's console, if there is one.
    if ((!err || err == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        attached = true;
        err = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                          nullptr);
    }
    if (err && err != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(err, out.data(), DWORD(out.size()), &written, nullptr);
    }
    if (attached) {
        if (err && err != INVALID_HANDLE_VALUE) CloseHandle(err);
        FreeConsole();
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Windows shows the busy cursor after a start until the program asks for
    // a message; this one never shows a window, so it asks once.
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    const std::vector<std::string> args(__argv + (__argc > 0 ? 1 : 0), __argv + __argc);
    static std::atomic<bool> stop{false};  // runs until logoff ends the process
    return agent::RunAgent(args, TellConsole, stop);
}

#else
#include <cstdio>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    static std::atomic<bool> stop{false};
    return agent::RunAgent(
        args, [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); }, stop);
}
#endif
