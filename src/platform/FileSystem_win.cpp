#include "platform/FileSystem.h"

#include <windows.h>

#include <vector>

namespace platform {
namespace {

// FILETIME counts 100 ns since 1601; the CRT's find data counts whole seconds
// since 1970 and drops the fraction.
int64_t ToUnixSeconds(const FILETIME& ft) {
    const uint64_t v = (uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    if (v == 0) return -1;
    const int64_t ticks = int64_t(v) - 116444736000000000LL;
    int64_t secs = ticks / 10000000;
    if (ticks < 0 && ticks % 10000000 != 0) --secs;
    return secs;
}

struct FindCloser {
    HANDLE h;
    ~FindCloser() { FindClose(h); }
};

}  // namespace

bool FindFiles(const std::string& pattern, const FindCallback& onEntry) {
    WIN32_FIND_DATAA fd;
    // Basic info skips the 8.3 name lookup; large fetch cuts the round trips.
    HANDLE h = FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch,
                                nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE) return false;
    FindCloser closer{h};
    FindData d;
    do {
        d.attrib = fd.dwFileAttributes;
        d.timeCreate = ToUnixSeconds(fd.ftCreationTime);
        d.timeAccess = ToUnixSeconds(fd.ftLastAccessTime);
        d.timeWrite = ToUnixSeconds(fd.ftLastWriteTime);
        d.size = int64_t((uint64_t(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow);
        d.name = fd.cFileName;
        if (!onEntry(d)) break;
    } while (FindNextFileA(h, &fd));
    return true;
}

std::optional<DirectoryId> GetDirectoryId(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    const BOOL ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!ok) return std::nullopt;
    return DirectoryId{info.dwVolumeSerialNumber,
                       (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::string GetCurrentDir() {
    DWORD n = GetCurrentDirectoryA(0, nullptr);
    if (n == 0) return {};
    std::string s(n, '\0');
    n = GetCurrentDirectoryA(n, s.data());
    s.resize(n);
    return s;
}

bool SetCurrentDir(const std::string& path) { return SetCurrentDirectoryA(path.c_str()) != 0; }

std::string ExecutablePath() {
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, buf.data(), DWORD(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) return std::string(buf.data(), n);
        buf.resize(buf.size() * 2);  // truncated: ask again with room
    }
}

bool MakeDir(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }
bool RemoveDir(const std::string& path) { return RemoveDirectoryA(path.c_str()) != 0; }

bool RemoveFile(const std::string& path) {
    if (DeleteFileA(path.c_str())) return true;
    // A read-only file refuses deletion; clear the attribute and try once more.
    const DWORD attr = GetFileAttributesA(path.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY) &&
        SetFileAttributesA(path.c_str(), attr & ~FILE_ATTRIBUTE_READONLY))
        return DeleteFileA(path.c_str()) != 0;
    return false;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

WriteOutcome WriteFileBytes(const std::string& path, const std::string& bytes, bool forReplace) {
    // Readers that hold the file open already keep reading; nobody can open
    // it exclusively (as an agent does before acting on it) until it is whole.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE | (forReplace ? DELETE : 0), FILE_SHARE_READ, nullptr,
                           CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return WriteOutcome::NotOpened;
    DWORD written = 0;
    const BOOL ok = bytes.empty() ||
                    WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    const BOOL closed = CloseHandle(h);
    return ok && closed && written == bytes.size() ? WriteOutcome::Written : WriteOutcome::NotWritten;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string out;
    char buf[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(h, buf, sizeof buf, &got, nullptr) != 0) && got > 0)
        out.append(buf, got);
    CloseHandle(h);
    if (!ok) return std::nullopt;
    return out;
}

bool SetFileWriteTime(const std::string& path, int64_t unixSeconds) {
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const uint64_t v = uint64_t(unixSeconds * 10000000 + 116444736000000000LL);
    FILETIME ft{DWORD(v), DWORD(v >> 32)};
    const BOOL ok = SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
    return ok != 0;
}

}  // namespace platform
