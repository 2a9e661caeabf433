#include "compare/Compare.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace {

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Eight bytes at a time with A-Z turned into a-z and every other byte kept:
// hashing and comparing names is most of a refresh's work.
uint64_t FoldWord(uint64_t x) {
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    const uint64_t low7 = x & ~kHigh;
    const uint64_t geA = low7 + kOnes * (0x80 - 'A');      // high bit: byte >= 'A'
    const uint64_t gtZ = low7 + kOnes * (0x80 - 'Z' - 1);  // high bit: byte > 'Z'
    const uint64_t upper = (geA & ~gtZ) & ~x & kHigh;      // and the byte is ASCII
    return x | (upper >> 2);                               // 0x80 >> 2 = 0x20
}

uint64_t LoadWord(const char* p, size_t n) {  // n <= 8 bytes, zero-padded
    uint64_t w = 0;
    std::memcpy(&w, p, n);
    return w;
}

uint64_t FoldedHash(std::string_view s) {
    uint64_t h = s.size() * 0x9E3779B97F4A7C15ull;
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        h = (h ^ FoldWord(LoadWord(s.data() + i, 8))) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 29;
    }
    if (i < s.size()) {
        h = (h ^ FoldWord(LoadWord(s.data() + i, s.size() - i))) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 29;
    }
    return h ^ (h >> 32);
}

// Position of the first name equal to a given one under the folding rule:
// what a search from the start of the list finds, built once instead of
// searched per item. Open addressing over the caller's texts (nameAt(i)
// gives name i), so building it allocates one array and no strings.
template <class NameAt>
class NameIndex {
public:
    static constexpr uint32_t kNone = uint32_t(-1);

    NameIndex(size_t n, NameAt nameAt) : nameAt_(nameAt) {
        size_t cap = 16;
        while (cap < n * 2) cap *= 2;
        slots_.assign(cap, Slot{});
        mask_ = cap - 1;
        for (size_t i = 0; i < n; ++i) Insert(uint32_t(i));
    }

    uint32_t Find(std::string_view name, uint64_t hash) const {
        const uint32_t tag = uint32_t(hash >> 32);
        for (size_t p = size_t(hash) & mask_;; p = (p + 1) & mask_) {
            const Slot& sl = slots_[p];
            if (sl.index == kNone) return kNone;
            if (sl.tag == tag && SameRelativeName(nameAt_(sl.index), name)) return sl.index;
        }
    }

private:
    struct Slot {
        uint32_t tag = 0;  // high half of the hash: most probes end here
        uint32_t index = kNone;
    };

    void Insert(uint32_t i) {
        const std::string_view name = nameAt_(i);
        const uint64_t hash = FoldedHash(name);
        const uint32_t tag = uint32_t(hash >> 32);
        for (size_t p = size_t(hash) & mask_;; p = (p + 1) & mask_) {
            Slot& sl = slots_[p];
            if (sl.index == kNone) {
                sl = Slot{tag, i};
                return;
            }
            if (sl.tag == tag && SameRelativeName(nameAt_(sl.index), name)) return;  // keep the first
        }
    }

    NameAt nameAt_;
    std::vector<Slot> slots_;
    size_t mask_ = 0;
};

template <class NameAt>
NameIndex<NameAt> MakeIndex(size_t n, NameAt nameAt) {
    return NameIndex<NameAt>(n, nameAt);
}

std::string Folded(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = Fold(c);
    return out;
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
    size_t i = 0;
    for (; i + 8 <= a.size(); i += 8)
        if (FoldWord(LoadWord(a.data() + i, 8)) != FoldWord(LoadWord(b.data() + i, 8))) return false;
    const size_t rest = a.size() - i;
    return rest == 0 || FoldWord(LoadWord(a.data() + i, rest)) == FoldWord(LoadWord(b.data() + i, rest));
}

namespace {

// The comparison, leaving the hash of every source name in `hashes` for the
// carry-over that follows it.
std::vector<CompareRecord> Compare(const std::vector<FileEntry>& source, size_t srcRootLength,
                                   const std::vector<FileEntry>& target, size_t tgtRootLength,
                                   const std::string& destinationPrefix, std::vector<uint64_t>& hashes) {
    const auto index =
        MakeIndex(target.size(), [&](uint32_t i) { return RelativeName(target[i].path, tgtRootLength); });
    std::vector<CompareRecord> out(source.size());
    hashes.resize(source.size());
    for (size_t i = 0; i < source.size(); ++i) {
        const FileEntry& s = source[i];
        CompareRecord& r = out[i];
        r.source = s;
        const std::string_view rel = RelativeName(s.path, srcRootLength);
        hashes[i] = FoldedHash(rel);
        const uint32_t hit = index.Find(rel, hashes[i]);
        if (hit != index.kNone) {
            r.target = target[hit];
            r.result = Classify(s, r.target);
        } else {
            r.target.path.reserve(destinationPrefix.size() + rel.size());
            r.target.path = destinationPrefix;
            r.target.path.append(rel.data(), rel.size());
        }
    }
    return out;
}

// Each carried name goes to the first new record of that name: walk the new
// list once in order and let a name be taken only once. The index holds the
// carried names, usually a handful, rather than the whole new list.
void Carry(const std::vector<CompareRecord>& previous, size_t previousRootLength, std::vector<CompareRecord>& fresh,
           size_t rootLength, const std::vector<uint64_t>& freshHashes) {
    std::vector<std::string_view> carried;
    for (const CompareRecord& old : previous)
        if (old.inCopyList) carried.push_back(RelativeName(old.source.path, previousRootLength));
    if (carried.empty()) return;
    const auto index = MakeIndex(carried.size(), [&](uint32_t i) { return carried[i]; });
    std::vector<uint8_t> taken(carried.size(), 0);
    for (size_t i = 0; i < fresh.size(); ++i) {
        const uint32_t hit = index.Find(RelativeName(fresh[i].source.path, rootLength), freshHashes[i]);
        if (hit == index.kNone || taken[hit]) continue;
        taken[hit] = 1;
        fresh[i].inCopyList = 1;
    }
}

}  // namespace

std::vector<CompareRecord> CompareEntries(const std::vector<FileEntry>& source, size_t srcRootLength,
                                          const std::vector<FileEntry>& target, size_t tgtRootLength,
                                          const std::string& destinationPrefix) {
    std::vector<uint64_t> hashes;
    return Compare(source, srcRootLength, target, tgtRootLength, destinationPrefix, hashes);
}

void CarryOver(const std::vector<CompareRecord>& previous, size_t previousRootLength,
               std::vector<CompareRecord>& fresh, size_t rootLength) {
    std::vector<uint64_t> hashes(fresh.size());
    for (size_t i = 0; i < fresh.size(); ++i) hashes[i] = FoldedHash(RelativeName(fresh[i].source.path, rootLength));
    Carry(previous, previousRootLength, fresh, rootLength, hashes);
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
    std::vector<uint64_t> hashes;
    auto fresh = Compare(source, srcRootLength, target, tgtRootLength, destinationPrefix, hashes);
    Carry(previous, previousRootLength, fresh, srcRootLength, hashes);
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

void CompareList::SetCopied(size_t index, const FileEntry& target) {
    if (index >= records_.size()) return;
    records_[index].target = target;
    records_[index].result = CompareResult::Same;
}
