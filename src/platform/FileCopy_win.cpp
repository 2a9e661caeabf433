#include <windows.h>

#include "platform/FileCopy.h"

namespace platform {

CopyOutcome CopyFileTo(const std::string& from, const std::string& to, bool failIfExists) {
    if (CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE)) return {true, 0};
    return {false, GetLastError()};
}

namespace {

void RemoveTemp(const std::string& path) {
    // A copy of a read-only source is read-only itself.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

}  // namespace

CopyOutcome CheckReplaceable(const std::string& to) {
    const DWORD attrs = GetFileAttributesA(to.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES) {
        if (attrs & FILE_ATTRIBUTE_READONLY) return {false, ERROR_ACCESS_DENIED};
        HANDLE h = CreateFileA(to.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return {false, GetLastError()};
        CloseHandle(h);
    }
    return {true, 0};
}

CopyOutcome ReplaceFileWithCopy(const std::string& from, const std::string& to, const std::string& tempPath) {
    // The rename below would replace a file that a plain copy could not
    // write: test that first, without changing anything.
    const CopyOutcome writable = CheckReplaceable(to);
    if (!writable.ok) return writable;
    if (!CopyFileA(from.c_str(), tempPath.c_str(), FALSE)) {
        const DWORD e = GetLastError();
        RemoveTemp(tempPath);
        return {false, e};
    }
    if (!MoveFileExA(tempPath.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD e = GetLastError();
        RemoveTemp(tempPath);
        return {false, e};
    }
    return {true, 0};
}

CopyOutcome CopyFileAsNew(const std::string& from, const std::string& to, const std::string& tempPath) {
    if (GetFileAttributesA(to.c_str()) != INVALID_FILE_ATTRIBUTES) return {false, ERROR_FILE_EXISTS};
    if (!CopyFileA(from.c_str(), tempPath.c_str(), FALSE)) {
        const DWORD e = GetLastError();
        RemoveTemp(tempPath);
        return {false, e};
    }
    // Without MOVEFILE_REPLACE_EXISTING the rename refuses an existing file.
    if (!MoveFileExA(tempPath.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD e = GetLastError();
        RemoveTemp(tempPath);
        return {false, e == ERROR_ALREADY_EXISTS ? DWORD(ERROR_FILE_EXISTS) : e};
    }
    return {true, 0};
}

std::string ErrorText(uint32_t error) {
    char* buffer = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = n && buffer ? std::string(buffer, n) : "error " + std::to_string(error);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

}  // namespace platform
