#pragma once
// File system seam. Paths are Windows paths in the system code page on both builds:
// the POSIX build maps them onto a Unix tree the way Wine's dosdevices does.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace platform {

constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;
constexpr uint32_t kAttrNormal = 0x80;
constexpr uint32_t kAttrReparsePoint = 0x400;

// One hit of a find enumeration, as the OS reports it. Times are whole seconds
// since 1970 UTC (fractions dropped), -1 where the file system has none.
struct FindData {
    uint32_t attrib = 0;
    int64_t timeCreate = -1;
    int64_t timeAccess = -1;
    int64_t timeWrite = -1;
    int64_t size = 0;
    std::string name;
};

// Returning false from the callback stops the enumeration.
using FindCallback = std::function<bool(const FindData&)>;

// Enumerates folder + wildcard name with Windows matching rules ("*.*" also
// matches names without a dot), "." and ".." included where the OS lists them.
// False when the search could not be opened: missing or unreadable folder, or
// no match at all.
bool FindFiles(const std::string& pattern, const FindCallback& onEntry);

// Identity of a directory (volume and file index); two paths that reach the
// same directory through links give the same identity.
struct DirectoryId {
    uint64_t volume = 0;
    uint64_t index = 0;
    bool operator==(const DirectoryId& o) const { return volume == o.volume && index == o.index; }
    bool operator!=(const DirectoryId& o) const { return !(*this == o); }
};
std::optional<DirectoryId> GetDirectoryId(const std::string& path);

std::string GetCurrentDir();
bool SetCurrentDir(const std::string& path);
// Full path of the running executable.
std::string ExecutablePath();

bool MakeDir(const std::string& path);     // one level
bool RemoveDir(const std::string& path);   // empty folder only
bool RemoveFile(const std::string& path);
bool PathExists(const std::string& path);
// Moves `from` onto `to`, replacing an existing file in one step, so a reader
// sees either the old file or the new one, never a half-written one. Both
// paths should be in the same folder (same volume). False leaves `to` as it was.
bool MoveFileReplacing(const std::string& from, const std::string& to);

// Creates or truncates path and writes bytes through one handle that shares
// reading only, so an exclusive open (the agents' way to wait for a whole
// file) fails until the file is complete.
enum class WriteOutcome {
    Written,
    NotOpened,   // the file could not be created or opened: nothing changed
    NotWritten,  // opened, but writing failed (disk full): the file is damaged
};
// forReplace: the file is a temporary one that will be renamed or deleted;
// a folder that grants no delete right then refuses to open it (Windows asks
// for that right at the open), so the caller knows before anything is made.
WriteOutcome WriteFileBytes(const std::string& path, const std::string& bytes, bool forReplace = false);
bool WriteWholeFile(const std::string& path, const std::string& bytes);

// Writes a file that another program reads (the settings file, an agent's
// command file): whole under tempPath in the same folder, then renamed onto
// path, so a reader sees the old content or the new, never half of one. A
// folder that refuses the temporary file (no create right) or the rename (no
// delete right, or the file held open by a reader) gets the file written in
// place instead, and no temporary file is left behind. A failed write of the
// temporary file (disk full) leaves path as it was.
bool ReplaceFileContents(const std::string& path, const std::string& tempPath, const std::string& bytes);
std::optional<std::string> ReadWholeFile(const std::string& path);
bool SetFileWriteTime(const std::string& path, int64_t unixSeconds);

}  // namespace platform
