#pragma once
// Files and folders shared with other processes: a file read only once its
// writer has closed it, a delete that spares a file replaced since it was
// read, a log appended to, and a folder held by one process at a time.
#include <cstdint>
#include <string>

namespace platform {

// One version of a file: a file renamed into place or rewritten has another.
// The content counts too, since a rewrite within one tick of the file
// system's clock keeps the time.
struct FileStamp {
    uint64_t volume = 0;
    uint64_t index = 0;
    int64_t size = 0;
    int64_t writeTime = 0;  // in the system's finest unit; only compared
    uint64_t contentHash = 0;
    bool operator==(const FileStamp& o) const {
        return volume == o.volume && index == o.index && size == o.size && writeTime == o.writeTime &&
               contentHash == o.contentHash;
    }
    bool operator!=(const FileStamp& o) const { return !(*this == o); }
};

enum class SharedFileResult {
    Done,     // read, or deleted
    Missing,  // no such file (or folder)
    Busy,     // another process has it open for writing (or, on Windows, open without sharing): try again shortly
    Changed,  // DeleteIfUnchanged: the file is another version than the stamp: kept
    Failed,   // anything else (no access, a folder of that name)
};

// Reads the whole file unless another process has it open for writing, so a
// file still being written is never read half-way. On Windows an open that
// shares reading only; on Linux a read lease, which the kernel grants only
// while nobody has the file open for writing.
SharedFileResult ReadClosedFile(const std::string& path, std::string& bytes, FileStamp& stamp);

// FNV-1a over the bytes, the content part of a stamp.
inline uint64_t ContentHash(const std::string& bytes) {
    uint64_t h = 14695981039346656037ULL;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ULL;
    return h;
}

// Deletes the file if it is still the version of stamp and nobody writes it;
// a file replaced or rewritten since then is kept (Changed).
SharedFileResult DeleteIfUnchanged(const std::string& path, const FileStamp& stamp);

// Appends bytes, creating the file when missing; readers may have it open.
bool AppendToFile(const std::string& path, const std::string& bytes);

// Held while the object lives: at most one holder per folder among all
// processes of the machine (two paths to the same folder count as one where
// the system can tell). Tried once, at construction.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool held() const { return held_; }

private:
    bool held_ = false;
    void* handle_ = nullptr;  // the mutex on Windows
    int fd_ = -1;             // the locked folder on Linux
};

}  // namespace platform
