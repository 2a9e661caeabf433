#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One file (or, for the folder operations, one folder) found by a scan.
struct FileEntry {
    uint32_t attrib = 0;     // 0 for a plain file (normal attribute alone); 0x10 directory
    int64_t timeCreate = -1; // whole seconds since 1970 UTC, -1 when unknown
    int64_t timeAccess = -1;
    int64_t timeWrite = -1;  // the time comparisons use
    int64_t size = 0;
    std::string path;        // scanned folder + reported name
};

// Folder scanner: a flat list of the files below a folder.
class CqvFileUtil {
public:
    static constexpr size_t kMaxExclusions = 100;

    virtual ~CqvFileUtil() = default;

    // Tokens split at runs of ',', ' ' and ';'; the first 100 are kept.
    void SetExclusions(std::string_view text);
    // Every non-excluded file matching the path's pattern, depth first,
    // files of a folder before its subfolders.
    void ScanFolder(std::string_view path, bool includeSubfolders);
    // Every directory whose name matches the pattern, at any depth; a listed
    // directory comes before those listed inside it.
    void CollectSubfolders(std::string_view path);
    // Deletes what CollectSubfolders lists, with all contents; lists every
    // deleted item in `removed`.
    void DeleteSubfolderTrees(std::string_view path);

    bool IsExcluded(std::string_view path) const;

    std::vector<FileEntry> files;
    std::vector<FileEntry> removed;
    std::string rootFolder;
    std::vector<std::string> exclusions;  // at most kMaxExclusions, none empty

private:
    void Collect(std::string_view path, bool followLinks);
    void EmptyFolder(const std::string& folder);
};
