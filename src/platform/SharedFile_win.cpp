#include <windows.h>

#include <cstdio>

#include "platform/FileSystem.h"
#include "platform/SharedFile.h"

namespace platform {
namespace {

SharedFileResult OpenResult(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return SharedFileResult::Missing;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return SharedFileResult::Busy;
    default:
        return SharedFileResult::Failed;
    }
}

// Refusing to share writing makes the open fail while any handle with write
// access exists: the writer's, whatever sharing it granted.
HANDLE OpenShutOutWriters(const std::string& path, DWORD access) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool StampOf(HANDLE h, FileStamp& stamp) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info)) return false;
    stamp.volume = info.dwVolumeSerialNumber;
    stamp.index = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = int64_t((uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    stamp.writeTime = int64_t((uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) |
                              info.ftLastWriteTime.dwLowDateTime);
    return true;
}

bool ReadAll(HANDLE h, std::string& bytes) {
    bytes.clear();
    char buf[65536];
    DWORD got = 0;
    bool ok;
    while ((ok = ReadFile(h, buf, sizeof buf, &got, nullptr) != 0) && got > 0) bytes.append(buf, got);
    return ok;
}

}  // namespace

SharedFileResult ReadClosedFile(const std::string& path, std::string& bytes, FileStamp& stamp) {
    HANDLE h = OpenShutOutWriters(path, GENERIC_READ);
    if (h == INVALID_HANDLE_VALUE) return OpenResult(GetLastError());
    const bool ok = StampOf(h, stamp) && ReadAll(h, bytes);
    CloseHandle(h);
    if (!ok) return SharedFileResult::Failed;
    stamp.contentHash = ContentHash(bytes);
    return SharedFileResult::Done;
}

SharedFileResult DeleteIfUnchanged(const std::string& path, const FileStamp& stamp) {
    HANDLE h = OpenShutOutWriters(path, GENERIC_READ | DELETE);
    if (h == INVALID_HANDLE_VALUE) return OpenResult(GetLastError());
    FileStamp now;
    std::string bytes;
    if (!StampOf(h, now) || !ReadAll(h, bytes)) {
        CloseHandle(h);
        return SharedFileResult::Failed;
    }
    now.contentHash = ContentHash(bytes);
    if (now != stamp) {
        CloseHandle(h);
        return SharedFileResult::Changed;
    }
    // Deleted through the handle that checked it: no other version can slip in between.
    FILE_DISPOSITION_INFO disposition{TRUE};
    const bool marked = SetFileInformationByHandle(h, FileDispositionInfo, &disposition, sizeof disposition) != 0;
    CloseHandle(h);
    if (marked) return SharedFileResult::Done;
    // A read-only file refuses that; RemoveFile clears the attribute first.
    return RemoveFile(path) ? SharedFileResult::Done : SharedFileResult::Failed;
}

bool AppendToFile(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = bytes.empty() || WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    const BOOL closed = CloseHandle(h);
    return ok && closed && written == bytes.size();
}

FolderLock::FolderLock(const std::string& folder) {
    // A named mutex per folder identity (volume and file index), so that two
    // spellings of one folder meet; Global so that other sessions see it too.
    const auto id = GetDirectoryId(folder);
    if (!id) return;
    char name[96];
    std::snprintf(name, sizeof name, "Global\\QvFolderLock.%llx.%llx", (unsigned long long)id->volume,
                  (unsigned long long)id->index);
    HANDLE m = CreateMutexA(nullptr, FALSE, name);
    // Access denied: another user's holder exists.
    if (!m) return;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(m);
        return;
    }
    handle_ = m;
    held_ = true;
}

FolderLock::~FolderLock() {
    if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
}

}  // namespace platform
