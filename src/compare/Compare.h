#pragma once
// Matching the source scan against the target scan, and the two shown lists
// (all files, files to copy) over the result.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "compare/FileUtil.h"

enum class CompareResult : int32_t {
    TargetMissing = 0,
    Same = 1,
    SourceNewer = 2,
    TargetNewer = 3,  // also: equal times, different sizes
};

struct CompareRecord {
    CompareResult result = CompareResult::TargetMissing;
    FileEntry source;
    // For TargetMissing only target.path is meaningful: where the file would go.
    FileEntry target;
    uint8_t inCopyList = 0;
};

enum class ListKind { AllFiles, Copy };

// path without its first rootLength characters (empty if it is shorter).
std::string_view RelativeName(const std::string& path, size_t rootLength);
// Byte-wise equality with only A-Z / a-z folded, as file names are matched.
bool SameRelativeName(std::string_view a, std::string_view b);

// One record per source entry, in source order. A source entry is matched with
// the first target entry of the same relative name; an unmatched one gets
// destinationPrefix + its relative name as target path.
std::vector<CompareRecord> CompareEntries(const std::vector<FileEntry>& source, size_t srcRootLength,
                                          const std::vector<FileEntry>& target, size_t tgtRootLength,
                                          const std::string& destinationPrefix);

// Puts into the copy list the first record of `fresh` that has the relative
// name of each copy-list record of `previous` (names taken with each list's
// own root length, so a changed source folder keeps the selection).
void CarryOver(const std::vector<CompareRecord>& previous, size_t previousRootLength,
               std::vector<CompareRecord>& fresh, size_t rootLength);

// Puts into the copy list every record whose relative name is one of `saved`.
void ApplySavedSelection(std::vector<CompareRecord>& records, size_t rootLength,
                         const std::vector<std::string>& saved);

// What a refresh computes once the scans are done: CompareEntries + CarryOver.
std::vector<CompareRecord> CompareAndCarryOver(const std::vector<CompareRecord>& previous,
                                               size_t previousRootLength,
                                               const std::vector<FileEntry>& source, size_t srcRootLength,
                                               const std::vector<FileEntry>& target, size_t tgtRootLength,
                                               const std::string& destinationPrefix);

// compareList: the records, each shown in exactly one of the two lists in
// record order. Row positions of both lists are kept so that fetching a row
// for drawing costs nothing; every change of membership goes through this
// class, which rebuilds them.
class CompareList {
public:
    void Assign(std::vector<CompareRecord> records);
    const std::vector<CompareRecord>& Records() const { return records_; }
    size_t Count(ListKind list) const { return Rows(list).size(); }
    // Row n of a list, nullptr when out of range.
    const CompareRecord* RecordAt(ListKind list, size_t n) const;
    // Moves the given rows of `from` to the other list; rows out of range and
    // repeats are ignored. Returns the number of records moved.
    size_t MoveRows(ListKind from, std::vector<size_t> rows);
    void MoveAllSourceNewer();
    void MoveAllBack();
    // After a successful copy: the record's target takes the given entry and
    // the record shows Same; it stays in its list.
    void SetCopied(size_t index, const FileEntry& target);

private:
    const std::vector<size_t>& Rows(ListKind l) const { return l == ListKind::Copy ? copyRows_ : allRows_; }
    void Reindex();

    std::vector<CompareRecord> records_;
    std::vector<size_t> allRows_;   // record indices with inCopyList 0
    std::vector<size_t> copyRows_;  // record indices with inCopyList 1
};
