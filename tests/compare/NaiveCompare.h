#pragma once
// The comparison as the operator reasons about it: for every source file walk
// the target list from its start, for every carried record walk the new list
// from its start. Quadratic; the reference the indexed version must equal.
#include <vector>

#include "compare/Compare.h"

namespace naive {

inline std::vector<CompareRecord> CompareAndCarryOver(const std::vector<CompareRecord>& previous,
                                                      size_t previousRootLength,
                                                      const std::vector<FileEntry>& source, size_t srcRoot,
                                                      const std::vector<FileEntry>& target, size_t tgtRoot,
                                                      const std::string& destinationPrefix) {
    std::vector<CompareRecord> out;
    for (const FileEntry& s : source) {
        CompareRecord r;
        r.source = s;
        const auto rel = RelativeName(s.path, srcRoot);
        bool found = false;
        for (const FileEntry& t : target) {
            if (!SameRelativeName(RelativeName(t.path, tgtRoot), rel)) continue;
            r.target = t;
            if (t.timeWrite == s.timeWrite && t.size == s.size)
                r.result = CompareResult::Same;
            else if (s.timeWrite <= t.timeWrite)
                r.result = CompareResult::TargetNewer;
            else
                r.result = CompareResult::SourceNewer;
            found = true;
            break;
        }
        if (!found) r.target.path = destinationPrefix + std::string(rel);
        out.push_back(r);
    }
    for (const CompareRecord& old : previous) {
        if (!old.inCopyList) continue;
        const auto rel = RelativeName(old.source.path, previousRootLength);
        for (CompareRecord& r : out) {
            if (SameRelativeName(RelativeName(r.source.path, srcRoot), rel)) {
                r.inCopyList = 1;
                break;
            }
        }
    }
    return out;
}

}  // namespace naive
