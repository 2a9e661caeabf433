#include <gtest/gtest.h>

#include <random>

#include "compare/Compare.h"
#include "compare/NaiveCompare.h"

namespace {

FileEntry Entry(const std::string& path, int64_t time, int64_t size) {
    FileEntry e;
    e.path = path;
    e.timeWrite = time;
    e.size = size;
    return e;
}

const std::string kSrc = "D:\\Build\\";
const std::string kTgt = "C:\\PEXORHOST\\";

TEST(Compare, Classification) {
    const int64_t t = 1700000000;
    struct Case {
        const char* name;
        std::string srcName, tgtName;
        int64_t srcTime, srcSize, tgtTime, tgtSize;
        CompareResult expected;
    } cases[] = {
        {"same, names differ in case", "a.dll", "A.DLL", t, 100, t, 100, CompareResult::Same},
        {"equal times, sizes differ", "a.dll", "a.dll", t, 100, t, 120, CompareResult::TargetNewer},
        {"equal times, target smaller", "a.dll", "a.dll", t, 120, t, 100, CompareResult::TargetNewer},
        {"source a second newer", "a.dll", "a.dll", t + 1, 100, t, 999, CompareResult::SourceNewer},
        {"target a second newer", "a.dll", "a.dll", t, 100, t + 1, 100, CompareResult::TargetNewer},
        {"no tolerance", "a.dll", "a.dll", t + 2, 100, t, 100, CompareResult::SourceNewer},
        {"folder case folded", "Bin\\X.exe", "bIN\\x.EXE", t, 5, t, 5, CompareResult::Same},
        {"other name", "a.dll", "b.dll", t, 1, t, 1, CompareResult::TargetMissing},
        {"no folding beyond ASCII", "\xC7\xD1.txt", "\xC7\xF1.txt", t, 1, t, 1, CompareResult::TargetMissing},
    };
    for (const auto& c : cases) {
        const auto out = CompareEntries({Entry(kSrc + c.srcName, c.srcTime, c.srcSize)}, kSrc.size(),
                                        {Entry(kTgt + c.tgtName, c.tgtTime, c.tgtSize)}, kTgt.size(), kTgt);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].result, c.expected) << c.name;
        EXPECT_EQ(out[0].inCopyList, 0) << c.name;
        if (c.expected != CompareResult::TargetMissing)
            EXPECT_EQ(out[0].target.path, kTgt + c.tgtName) << c.name;
        else
            EXPECT_EQ(out[0].target.path, kTgt + c.srcName) << c.name;
    }
}

// Names are compared eight bytes at a time; every byte pair, inside a word
// and in the tail, must give what folding A-Z alone gives.
TEST(Compare, SameRelativeNameFoldsOnlyAsciiLetters) {
    auto fold = [](int c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    for (size_t pos : {0u, 7u, 8u, 10u}) {
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; ++b) {
                std::string x = "Bin\\a\xB0\x41x.Dll", y = "bIN\\A\xB0\x61X.dLL";
                x[pos] = char(a);
                y[pos] = char(b);
                ASSERT_EQ(SameRelativeName(x, y), fold(a) == fold(b)) << pos << " " << a << " " << b;
            }
        }
    }
    EXPECT_FALSE(SameRelativeName("a.dll", "a.dl"));
    EXPECT_TRUE(SameRelativeName("", ""));
}

TEST(Compare, FirstTargetOfTheNameWinsAndSourceOrderIsKept) {
    const auto out = CompareEntries(
        {Entry(kSrc + "z.exe", 5, 1), Entry(kSrc + "bin\\a.dll", 5, 1), Entry(kSrc + "new.txt", 5, 1)}, kSrc.size(),
        {Entry(kTgt + "BIN\\A.dll", 9, 1), Entry(kTgt + "bin\\a.dll", 5, 1), Entry(kTgt + "z.exe", 5, 1)}, kTgt.size(),
        "\\\\127.0.0.1\\c\\Pexoril\\");
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].source.path, kSrc + "z.exe");
    EXPECT_EQ(out[0].result, CompareResult::Same);
    EXPECT_EQ(out[1].target.path, kTgt + "BIN\\A.dll");
    EXPECT_EQ(out[1].result, CompareResult::TargetNewer);
    EXPECT_EQ(out[2].result, CompareResult::TargetMissing);
    EXPECT_EQ(out[2].target.path, "\\\\127.0.0.1\\c\\Pexoril\\new.txt");
}

TEST(Compare, CarryOverUsesEachListsOwnRootAndTheFirstNewRecord) {
    std::vector<CompareRecord> previous(3);
    previous[0].source.path = "D:\\Old\\Bin\\a.dll";
    previous[0].inCopyList = 1;
    previous[1].source.path = "D:\\Old\\gone.exe";
    previous[1].inCopyList = 1;
    previous[2].source.path = "D:\\Old\\b.exe";  // not in the copy list
    auto fresh = CompareEntries({Entry("E:\\NewRoot\\x.txt", 1, 1), Entry("E:\\NewRoot\\bin\\A.DLL", 1, 1),
                                 Entry("E:\\NewRoot\\BIN\\a.dll", 1, 1), Entry("E:\\NewRoot\\b.exe", 1, 1)},
                                11, {}, 0, kTgt);
    CarryOver(previous, 7, fresh, 11);
    std::vector<int> flags;
    for (const auto& r : fresh) flags.push_back(r.inCopyList);
    EXPECT_EQ(flags, (std::vector<int>{0, 1, 0, 0}));
}

TEST(Compare, SavedSelectionMatchesFoldedNamesAndIgnoresTheRest) {
    auto records = CompareEntries({Entry(kSrc + "a.exe", 1, 1), Entry(kSrc + "bin\\a.dll", 1, 1),
                                   Entry(kSrc + "c.exe", 1, 1)},
                                  kSrc.size(), {}, 0, kTgt);
    ApplySavedSelection(records, kSrc.size(), {"BIN\\A.DLL", "nothing.here", "c.exe"});
    std::vector<int> flags;
    for (const auto& r : records) flags.push_back(r.inCopyList);
    EXPECT_EQ(flags, (std::vector<int>{0, 1, 1}));
}

// The indexed version against the nested search on lists full of repeated
// names differing only in case, two-byte names whose trail bytes are letters,
// and a source root of different length than the previous one.
TEST(Compare, IndexedEqualsNestedSearch) {
    std::mt19937 rng(12345);
    const std::vector<std::string> parts = {"Bin", "bin", "BIN", "\xB0\x41", "\xB0\x61", "a.DLL", "A.dll",
                                            "x",   "X",   "data", "Data",    "\xC7\xD1", "e.exe"};
    auto name = [&] {
        std::string n;
        const int depth = 1 + int(rng() % 3);
        for (int i = 0; i < depth; ++i) n += (i ? "\\" : "") + parts[rng() % parts.size()];
        return n;
    };
    const std::string srcRoot = "D:\\S\\", tgtRoot = "\\\\127.0.0.1\\c\\T\\", oldRoot = "D:\\Longer\\";
    size_t matched = 0, carried = 0;
    for (int round = 0; round < 20; ++round) {
        std::vector<FileEntry> src, tgt, oldSrc;
        for (int i = 0; i < 150; ++i) src.push_back(Entry(srcRoot + name(), rng() % 4, rng() % 3));
        for (int i = 0; i < 150; ++i) tgt.push_back(Entry(tgtRoot + name(), rng() % 4, rng() % 3));
        for (int i = 0; i < 150; ++i) oldSrc.push_back(Entry(oldRoot + name(), 0, 0));
        auto previous = naive::CompareAndCarryOver({}, 0, oldSrc, oldRoot.size(), {}, 0, "");
        for (auto& r : previous) r.inCopyList = uint8_t(rng() % 2);

        const auto expected = naive::CompareAndCarryOver(previous, oldRoot.size(), src, srcRoot.size(), tgt,
                                                         tgtRoot.size(), "P\\");
        const auto got =
            CompareAndCarryOver(previous, oldRoot.size(), src, srcRoot.size(), tgt, tgtRoot.size(), "P\\");
        ASSERT_EQ(got.size(), expected.size());
        for (const auto& r : expected) {
            matched += r.result != CompareResult::TargetMissing;
            carried += r.inCopyList;
        }
        for (size_t i = 0; i < got.size(); ++i) {
            SCOPED_TRACE(got[i].source.path);
            EXPECT_EQ(got[i].result, expected[i].result);
            EXPECT_EQ(got[i].target.path, expected[i].target.path);
            EXPECT_EQ(got[i].target.timeWrite, expected[i].target.timeWrite);
            EXPECT_EQ(got[i].inCopyList, expected[i].inCopyList);
        }
    }
    // The data must exercise both searches, or the equality proves nothing.
    EXPECT_GT(matched, 1000u);
    EXPECT_GT(carried, 200u);
}

class CompareListTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<CompareRecord> records(10);
        for (int i = 0; i < 10; ++i) {
            records[i].source.path = "f" + std::to_string(i);
            records[i].result = CompareResult(i % 4);
        }
        list.Assign(records);
    }
    std::vector<std::string> Names(ListKind k) const {
        std::vector<std::string> out;
        for (size_t n = 0; const CompareRecord* r = list.RecordAt(k, n); ++n) out.push_back(r->source.path);
        return out;
    }
    CompareList list;
};

TEST_F(CompareListTest, MovesKeepRecordOrderInBothLists) {
    EXPECT_EQ(list.MoveRows(ListKind::AllFiles, {7, 2, 5, 5, 99}), 3u);
    EXPECT_EQ(Names(ListKind::Copy), (std::vector<std::string>{"f2", "f5", "f7"}));
    EXPECT_EQ(Names(ListKind::AllFiles), (std::vector<std::string>{"f0", "f1", "f3", "f4", "f6", "f8", "f9"}));
    EXPECT_EQ(list.RecordAt(ListKind::AllFiles, 7), nullptr);

    // Rows of the all-files list are positions in it, not in the records.
    EXPECT_EQ(list.MoveRows(ListKind::AllFiles, {2}), 1u);
    EXPECT_EQ(Names(ListKind::Copy), (std::vector<std::string>{"f2", "f3", "f5", "f7"}));

    EXPECT_EQ(list.MoveRows(ListKind::Copy, {0, 3}), 2u);
    EXPECT_EQ(Names(ListKind::Copy), (std::vector<std::string>{"f3", "f5"}));
    EXPECT_EQ(list.Count(ListKind::AllFiles), 8u);
}

TEST_F(CompareListTest, MoveAllSourceNewerAndMoveAllBack) {
    list.MoveRows(ListKind::AllFiles, {0});  // a TargetMissing record moved by hand stays
    list.MoveAllSourceNewer();
    EXPECT_EQ(Names(ListKind::Copy), (std::vector<std::string>{"f0", "f2", "f6"}));
    list.MoveAllBack();
    EXPECT_EQ(list.Count(ListKind::Copy), 0u);
    EXPECT_EQ(list.Count(ListKind::AllFiles), 10u);
}

}  // namespace
