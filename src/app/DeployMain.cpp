// qvDeploy's entry: a console program beside Quorvel.exe. Everything it does
// is in the cli layer; here only the console and the real effects.
#include <string>
#include <vector>

#include "cli/Deploy.h"
#include "deploy/CopyRun.h"
#include "platform/FileSystem.h"

#ifdef _WIN32
#include <windows.h>

namespace {

// Texts are in the system code page. A console gets them as UTF-16, so they
// show right whatever code page the console was left in; a file or a pipe
// gets the bytes themselves, with CR LF.
cli::LineSink Writer(DWORD which) {
    return [which](const std::string& line) {
        HANDLE h = GetStdHandle(which);
        if (!h || h == INVALID_HANDLE_VALUE) return;
        DWORD mode = 0, written = 0;
        if (GetConsoleMode(h, &mode)) {
            const std::string text = line + "\r\n";
            const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
            std::wstring wide(size_t(n > 0 ? n : 0), L'\0');
            if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), n);
            WriteConsoleW(h, wide.data(), DWORD(wide.size()), &written, nullptr);
            return;
        }
        const std::string bytes = line + "\r\n";
        WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    };
}

}  // namespace

int main(int argc, char** argv) {
    // argv is in the system code page, as the texts of the settings file are.
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const cli::Console console{Writer(STD_OUTPUT_HANDLE), Writer(STD_ERROR_HANDLE)};
    deploy::RealEffects effects;
    return cli::Main(args, console, platform::ExecutablePath(), effects);
}

#else
#include <cstdio>
#include <cstdlib>

#include "platform/PosixMapping.h"

int main(int argc, char** argv) {
    // The native build reaches drives and PC shares the way Wine does, through
    // a dosdevices folder; tests name theirs here.
    if (const char* dd = std::getenv("QV_DOSDEVICES"); dd && *dd) platform::posix::SetDosDevices(dd);
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    auto writer = [](std::FILE* f) {
        return [f](const std::string& line) {
            std::fwrite(line.data(), 1, line.size(), f);
            std::fputc('\n', f);
            std::fflush(f);
        };
    };
    const cli::Console console{writer(stdout), writer(stderr)};
    deploy::RealEffects effects;
    return cli::Main(args, console, platform::ExecutablePath(), effects);
}
#endif
