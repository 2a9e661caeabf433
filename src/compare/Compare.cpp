#include "compare/Compare.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

std::string Folded(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = Fold(c);
    return out;
}

// First record index for each folded relative name: what a search from the
// start of the list would find, built once instead of searched per item.
std::unordered_map<std::string, size_t> FirstIndexByName(const std::vector<FileEntry>& entries,
                                                         size_t rootLength) {
    std::unordered_map<std::string, size_t> index;
    index.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        index.emplace(Folded(RelativeName(entries[i].path, rootLength)), i);  // keeps the first
    return index;
}

CompareResult Classify(const FileEntry& s, const FileEntry& t) {
    // Whole seconds, compared exactly: no tolerance for file systems with
    // coarser times.
    if (s.timeWrite == t.timeWrite && s.size == t.size) return CompareResult::Same;
    if (s.timeWrite <= t.timeWrite) return CompareResult::TargetNewer;
    return CompareResult::SourceNewer;
}

}  // namespace

std::string_view RelativeName(const std::string& path, size_t rootLength) {
    if (rootLength >= path.size()) return {};
    return std::string_view(path).substr(rootLength);
}

bool SameRelativeName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

std::vector<CompareRecord> CompareEntries(const std::vector<FileEntry>& source, size_t srcRootLength,
                                          const std::vector<FileEntry>& target, size_t tgtRootLength,
                                          const std::string& destinationPrefix) {
    const auto index = FirstIndexByName(target, tgtRootLength);
    std::vector<CompareRecord> out;
    out.reserve(source.size());
    std::string key;
    for (const FileEntry& s : source) {
        CompareRecord r;
        r.source = s;
        const std::string_view rel = RelativeName(s.path, srcRootLength);
        key.assign(rel.data(), rel.size());
        for (char& c : key) c = Fold(c);
        auto hit = index.find(key);
        if (hit != index.end()) {
            r.target = target[hit->second];
            r.result = Classify(s, r.target);
        } else {
            r.target.path = destinationPrefix;
            r.target.path.append(rel.data(), rel.size());
        }
        out.push_back(std::move(r));
    }
    return out;
}

void CarryOver(const std::vector<CompareRecord>& previous, size_t previousRootLength,
               std::vector<CompareRecord>& fresh, size_t rootLength) {
    std::unordered_map<std::string, size_t> index;
    bool built = false;
    for (const CompareRecord& old : previous) {
        if (!old.inCopyList) continue;
        if (!built) {  // most refreshes carry nothing: build only when needed
            index.reserve(fresh.size());
            for (size_t i = 0; i < fresh.size(); ++i)
                index.emplace(Folded(RelativeName(fresh[i].source.path, rootLength)), i);
            built = true;
        }
        auto hit = index.find(Folded(RelativeName(old.source.path, previousRootLength)));
        if (hit != index.end()) fresh[hit->second].inCopyList = 1;
    }
}

void ApplySavedSelection(std::vector<CompareRecord>& records, size_t rootLength,
                         const std::vector<std::string>& saved) {
    if (saved.empty()) return;
    std::unordered_set<std::string> names;
    for (const auto& item : saved) names.insert(Folded(item));
    for (CompareRecord& r : records)
        if (!r.inCopyList && names.count(Folded(RelativeName(r.source.path, rootLength))))
            r.inCopyList = 1;
}

std::vector<CompareRecord> CompareAndCarryOver(const std::vector<CompareRecord>& previous,
                                               size_t previousRootLength,
                                               const std::vector<FileEntry>& source, size_t srcRootLength,
                                               const std::vector<FileEntry>& target, size_t tgtRootLength,
                                               const std::string& destinationPrefix) {
    auto fresh = CompareEntries(source, srcRootLength, target, tgtRootLength, destinationPrefix);
    CarryOver(previous, previousRootLength, fresh, srcRootLength);
    return fresh;
}

void CompareList::Assign(std::vector<CompareRecord> records) {
    records_ = std::move(records);
    Reindex();
}

const CompareRecord* CompareList::RecordAt(ListKind list, size_t n) const {
    const auto& rows = Rows(list);
    return n < rows.size() ? &records_[rows[n]] : nullptr;
}

size_t CompareList::MoveRows(ListKind from, std::vector<size_t> rows) {
    const auto& current = Rows(from);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const uint8_t to = from == ListKind::AllFiles ? 1 : 0;
    size_t moved = 0;
    // Flags only; the row positions are rebuilt once afterwards.
    for (size_t row : rows) {
        if (row >= current.size()) break;
        records_[current[row]].inCopyList = to;
        ++moved;
    }
    if (moved) Reindex();
    return moved;
}

void CompareList::MoveAllSourceNewer() {
    for (auto& r : records_)
        if (r.result == CompareResult::SourceNewer) r.inCopyList = 1;
    Reindex();
}

void CompareList::MoveAllBack() {
    for (auto& r : records_) r.inCopyList = 0;
    Reindex();
}

void CompareList::Reindex() {
    allRows_.clear();
    copyRows_.clear();
    for (size_t i = 0; i < records_.size(); ++i) (records_[i].inCopyList ? copyRows_ : allRows_).push_back(i);
}
