#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/FileSystem.h"
#include "support/TestEnv.h"

namespace testenv {
namespace {

std::atomic<unsigned> gCounter{0};

// Wine hands the Unix environment to Windows programs; WINEPREFIX tells where
// its dosdevices live, reachable through drive Z:.
std::string WineDosDevices() {
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix || !*prefix) return {};
    std::string s = "Z:";
    for (const char* p = prefix; *p; ++p) s += (*p == '/') ? '\\' : *p;
    return s + "\\dosdevices";
}

std::string UnixForm(const std::string& winPath) {
    // Z:\a\b -> /a/b; only Z: paths are handed to Unix tools here.
    std::string s = winPath.substr(2);
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

}  // namespace

TempDir::TempDir() {
    // Under Wine the Unix /tmp (drive Z:), so that Unix tools can reach it.
    char base[MAX_PATH + 1] = "Z:\\tmp\\";
    if (WineDosDevices().empty()) {
        const DWORD n = GetTempPathA(sizeof base, base);
        if (n == 0 || n > MAX_PATH) throw std::runtime_error("GetTempPath failed");
    }
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string p = std::string(base) + "qvtest_" + std::to_string(GetCurrentProcessId()) + "_" +
                        std::to_string(gCounter++);
        if (CreateDirectoryA(p.c_str(), nullptr)) {
            path_ = p;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

MappedShare::MappedShare(const std::string& host, const std::string& share) {
    const std::string dd = WineDosDevices();
    if (dd.empty()) return;
    folder_ = dd + "\\unc\\" + host + "\\" + share;
    MakeDirs(folder_);
    unc_ = "\\\\" + host + "\\" + share;
}

bool MakeDirLink(const std::string& target, const std::string& link) {
    // Wine runs Unix programs started through CreateProcess; a Unix symlink is
    // what a directory link is on the Wine side.
    if (target.size() < 2 || link.size() < 2 || toupper(target[0]) != 'Z' || toupper(link[0]) != 'Z')
        return false;
    std::string cmd = "/bin/ln -s \"" + UnixForm(target) + "\" \"" + UnixForm(link) + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA("Z:\\bin\\ln", cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    // Wine may signal a Unix child before it has run; wait for its effect.
    for (int i = 0; i < 100 && !platform::PathExists(link); ++i) Sleep(50);
    return platform::PathExists(link);
}

void EnsureDriveC() {}

HeldOpen::HeldOpen(const std::string& path, bool exclusive) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ,
                           exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) handle_ = h;
}

HeldOpen::~HeldOpen() {
    if (handle_) CloseHandle(handle_);
}

// The flag belongs to the Unix side; the Windows build's tests use HeldOpen.
Immutable::Immutable(const std::string&) {}
Immutable::~Immutable() = default;

}  // namespace testenv
