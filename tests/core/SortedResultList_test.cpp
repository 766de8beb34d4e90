#include "SortedResultList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace brackwin::test {
namespace {

using Strings = std::vector<std::string>;

Strings Items(const SortedResultList& list) {
    Strings items;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        items.push_back(list.Item(i));
    }
    return items;
}

TEST(ResultOrderLessTest, IgnoresCaseThenBreaksTiesByExactText) {
    struct Case {
        std::string a;
        std::string b;
        bool less;
    };
    const std::vector<Case> cases = {
        {"apple", "Banana", true},
        {"Banana", "apple", false},
        {"ABC", "abc", true},
        {"abc", "ABC", false},
        {"abc", "abc", false},
        {"ab", "ABC", true},
        {"Type_A", "type_a", true},
        {"ａ", "Ｂ", true},
        {"Ａ", "ａ", true},
        {"ａ", "Ａ", false},
        {"Z", "ａ", true},
        {"[", "a", true},
        {"", "a", true},
        {"a", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.a + " < " + c.b);
        EXPECT_EQ(ResultOrderLess(c.a, c.b), c.less);
    }
}

TEST(SortedResultListTest, CommitPlacesPendingEntriesInOrder) {
    SortedResultList list;
    for (const char* entry : {"Type b", "type A", "Type a", "TYPE C"}) {
        list.AddItem(entry);
    }
    EXPECT_EQ(list.Count(), 0U);
    EXPECT_EQ(list.PendingCount(), 4U);
    EXPECT_TRUE(list.Commit().empty());
    EXPECT_EQ(list.PendingCount(), 0U);
    EXPECT_EQ(Items(list), (Strings{"Type a", "type A", "Type b", "TYPE C"}));
}

TEST(SortedResultListTest, CommitMergesAndMapsOldIndices) {
    SortedResultList list;
    list.AddItem("b");
    list.AddItem("d");
    list.Commit();
    list.AddItem("c");
    list.AddItem("a");
    list.AddItem("d");
    EXPECT_EQ(list.Commit(), (std::vector<std::size_t>{1, 3}));
    EXPECT_EQ(Items(list), (Strings{"a", "b", "c", "d", "d"}));
    EXPECT_EQ(list.Commit(), (std::vector<std::size_t>{0, 1, 2, 3, 4}));
}

// Entries that share long beginnings, differ in case or in full-width letters, or hold NUL
// bytes, committed in batches, end where a stable sort by ResultOrderLess puts them, and every
// entry committed before keeps its text at its reported new index.
TEST(SortedResultListTest, BatchesOfLongSimilarEntriesMergeLikeAStableSort) {
    const std::vector<std::string> pieces = {"Public Const ",
                                             "PUBLIC CONST ",
                                             "public const ",
                                             "WM_WINDOW",
                                             "wm_window",
                                             "\xEF\xBC\xA1",
                                             "\xEF\xBD\x81",
                                             "\xEF\xBD\xA1",
                                             std::string("\0", 1),
                                             "@[`{",
                                             "Z",
                                             "z",
                                             ""};
    std::mt19937 random(20261207);
    for (int round = 0; round < 200; ++round) {
        SortedResultList list;
        Strings expected;
        for (int batch = 0; batch < 4; ++batch) {
            const Strings before = expected;
            Strings added;
            for (unsigned n = random() % 30; n > 0; --n) {
                std::string entry;
                for (int piece = 0; piece < 5; ++piece) {
                    entry += pieces[random() % pieces.size()];
                }
                list.AddItem(entry);
                added.push_back(entry);
            }
            const std::vector<std::size_t> newIndexOfOld = list.Commit();
            expected.insert(expected.end(), added.begin(), added.end());
            std::stable_sort(
                expected.begin(), expected.end(),
                [](const std::string& a, const std::string& b) { return ResultOrderLess(a, b); });
            ASSERT_EQ(Items(list), expected);
            ASSERT_EQ(newIndexOfOld.size(), before.size());
            for (std::size_t old = 0; old < before.size(); ++old) {
                ASSERT_EQ(list.Item(newIndexOfOld[old]), before[old]);
            }
        }
    }
}

TEST(SortedResultListTest, ClearDropsCommittedAndPending) {
    SortedResultList list;
    list.AddItem("a");
    list.Commit();
    list.AddItem("b");
    list.Clear();
    EXPECT_EQ(list.Count(), 0U);
    EXPECT_EQ(list.PendingCount(), 0U);
    EXPECT_THROW(list.Item(0), std::out_of_range);
}

}  // namespace
}  // namespace brackwin::test
