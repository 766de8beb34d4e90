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
        items.emplace_back(list.Item(i));
    }
    return items;
}

struct OrderCase {
    std::string a;
    std::string b;
    bool less;
};

void ExpectOrder(const std::vector<OrderCase>& cases) {
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.a + " < " + c.b);
        EXPECT_EQ(ResultOrderLess(c.a, c.b), c.less);
    }
}

TEST(ResultOrderLessTest, IgnoresCaseThenBreaksTiesByExactText) {
    ExpectOrder({
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
    });
}

// Folded letters compare by their code points, as their UTF-8 bytes do.
TEST(ResultOrderLessTest, FoldsGreekCyrillicAndAccentedLetters) {
    ExpectOrder({
        {"α", "Β", true},
        {"Β", "α", false},
        {"Α", "α", true},
        {"α", "Α", false},
        {"ΩA", "ωb", true},
        {"ωB", "Ωa", false},
        {"д", "Е", true},
        {"Ё", "ё", true},
        {"Я", "а", false},
        {"É", "é", true},
        {"ÉA", "éb", true},
        {"z", "É", true},
        {"É", "F", false},
        {"ÿ", "Ÿ", true},
        {"Public Const ÀB", "public const àa", false},
        {"Public Const àb", "PUBLIC CONST ÀB", false},
    });
}

#ifndef _WIN32
// The C library folds these into ASCII, which shortens them in UTF-8; CharLowerBuffW under Wine
// leaves them as they are.
TEST(ResultOrderLessTest, CharactersFoldingIntoAsciiSortAsAscii) {
    ExpectOrder({
        {"İx", "iy", true},
        {"iy", "İx", false},
        {"i", "İ", true},
        {"İ", "i", false},
        {"\u212A", "l", true},
        {"Type \u212AB", "type kA", false},
        {"Type \u212AA", "type kb", true},
    });
}
#endif

TEST(SortedResultListTest, CommitPlacesPendingEntriesInOrder) {
    SortedResultList list;
    for (const char* entry : {"Type b", "type A", "Type a", "TYPE C"}) {
        list.AddItem(entry);
    }
    EXPECT_EQ(list.Count(), 0U);
    EXPECT_EQ(list.PendingCount(), 4U);
    EXPECT_EQ(list.Commit(), (std::vector<std::size_t>{0, 0, 0, 0}));
    EXPECT_EQ(list.PendingCount(), 0U);
    EXPECT_EQ(Items(list), (Strings{"Type a", "type A", "Type b", "TYPE C"}));
}

TEST(SortedResultListTest, AsciiAndFoldedEntriesShareOneOrder) {
    SortedResultList list;
    for (const char* entry : {"Type Б", "type а", "Type A", "TYPE É", "type e", "Type Z", "Type ａ",
                              "type é", "TYPE カZ"}) {
        list.AddItem(entry);
    }
    list.Commit();
    list.AddItem("TYPE Е");
    list.AddItem("type б");
    list.AddItem("Type EA");
    list.AddItem("type カa");
    list.Commit();
    EXPECT_EQ(Items(list),
              (Strings{"Type A", "type e", "Type EA", "Type Z", "TYPE É", "type é", "type а",
                       "Type Б", "type б", "TYPE Е", "type カa", "TYPE カZ", "Type ａ"}));
}

TEST(SortedResultListTest, CommitMergesAndMapsOldIndices) {
    SortedResultList list;
    list.AddItem("b");
    list.AddItem("d");
    list.Commit();
    list.AddItem("c");
    list.AddItem("a");
    list.AddItem("d");
    list.AddItem("e");
    // a before b; c before d; the new d after the old one; e at the end.
    const std::vector<std::size_t> insertedBefore = list.Commit();
    EXPECT_EQ(insertedBefore, (std::vector<std::size_t>{0, 1, 2, 2}));
    EXPECT_EQ(Items(list), (Strings{"a", "b", "c", "d", "d", "e"}));
    EXPECT_EQ(SortedResultList::IndexAfterCommit(insertedBefore, 0), 1U);
    EXPECT_EQ(SortedResultList::IndexAfterCommit(insertedBefore, 1), 3U);
    EXPECT_TRUE(list.Commit().empty());
}

TEST(SortedResultListTest, IndexAfterCommitCountsTheEntriesPlacedAtOrBefore) {
    struct Case {
        std::vector<std::size_t> insertedBefore;
        std::size_t oldIndex;
        std::size_t newIndex;
    };
    const std::vector<Case> cases = {
        {{}, 0, 0},        {{}, 7, 7},         {{0}, 0, 1},       {{1}, 0, 0},
        {{1}, 1, 2},       {{3, 3, 3}, 2, 2},  {{3, 3, 3}, 3, 6}, {{0, 2, 5}, 4, 6},
        {{0, 2, 5}, 5, 8}, {{0, 2, 5}, 9, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.insertedBefore) + " " + std::to_string(c.oldIndex));
        EXPECT_EQ(SortedResultList::IndexAfterCommit(c.insertedBefore, c.oldIndex), c.newIndex);
    }
}

bool OrderLess(const std::string& a, const std::string& b) {
    return ResultOrderLess(a, b);
}

// Entries that share long beginnings, differ in the case of ASCII, full-width, Greek, Cyrillic
// or accented letters, hold characters that may fold into ASCII, or hold NUL bytes, committed
// in many batches of random sizes, end where a stable sort by ResultOrderLess puts them; each
// new entry is placed after the equal ones already there, and every entry committed before is
// found at the index IndexAfterCommit gives it.
TEST(SortedResultListTest, BatchesOfLongSimilarEntriesMergeLikeAStableSort) {
    const std::vector<std::string> pieces = {"Public Const ",
                                             "PUBLIC CONST ",
                                             "public const ",
                                             "WM_WINDOW",
                                             "wm_window",
                                             "\xEF\xBC\xA1",
                                             "\xEF\xBD\x81",
                                             "\xEF\xBD\xA1",
                                             "\xEF\xBC\xBA",
                                             "Ω",
                                             "ω",
                                             "Д",
                                             "д",
                                             "É",
                                             "é",
                                             "\u0130",
                                             "\u212A",
                                             "k",
                                             std::string("\0", 1),
                                             "@[`{",
                                             "Z",
                                             "z",
                                             ""};
    std::mt19937 random(20261207);
    for (int round = 0; round < 100; ++round) {
        SortedResultList list;
        Strings expected;
        for (int batch = 0; batch < 12; ++batch) {
            const Strings before = expected;
            Strings added;
            for (unsigned n = random() % (batch % 3 == 0 ? 200 : 20); n > 0; --n) {
                std::string entry;
                for (unsigned piece = random() % 7; piece > 0; --piece) {
                    entry += pieces[random() % pieces.size()];
                }
                list.AddItem(entry);
                added.push_back(entry);
            }
            ASSERT_EQ(list.PendingCount(), added.size());
            const std::vector<std::size_t> insertedBefore = list.Commit();
            expected.insert(expected.end(), added.begin(), added.end());
            std::stable_sort(expected.begin(), expected.end(), OrderLess);
            ASSERT_EQ(Items(list), expected);

            std::stable_sort(added.begin(), added.end(), OrderLess);
            ASSERT_EQ(insertedBefore.size(), added.size());
            for (std::size_t k = 0; k < added.size(); ++k) {
                const auto place = static_cast<std::size_t>(
                    std::upper_bound(before.begin(), before.end(), added[k], OrderLess) -
                    before.begin());
                ASSERT_EQ(insertedBefore[k], place) << k;
            }
            for (std::size_t old = 0; old < before.size(); ++old) {
                ASSERT_EQ(list.Item(SortedResultList::IndexAfterCommit(insertedBefore, old)),
                          before[old]);
            }
        }
    }
}

TEST(SortedResultListTest, EntriesStayPutWhileTheListGrows) {
    SortedResultList list;
    const std::string huge(3 << 20, 'h');
    list.AddItem("m");
    list.AddItem(huge);
    list.Commit();
    const std::string_view h = list.Item(0);
    const std::string_view m = list.Item(1);
    for (int i = 0; i < 10000; ++i) {
        list.AddItem("entry " + std::to_string(i) + std::string(200, 'x'));
        if (i % 1000 == 0) {
            list.Commit();
        }
    }
    list.Commit();
    EXPECT_EQ(list.Count(), 10002U);
    EXPECT_EQ(list.Item(list.Count() - 1).data(), m.data());
    EXPECT_EQ(list.Item(list.Count() - 2).data(), h.data());
    EXPECT_EQ(m, "m");
    EXPECT_TRUE(h == huge);
}

TEST(SortedResultListTest, ClearBetweenCommitsStartsAfresh) {
    SortedResultList list;
    list.AddItem("b");
    list.AddItem("a");
    list.Commit();
    list.AddItem("c");
    list.Clear();
    list.AddItem("B");
    list.AddItem("a");
    EXPECT_EQ(list.Count(), 0U);
    EXPECT_EQ(list.PendingCount(), 2U);
    EXPECT_EQ(list.Commit(), (std::vector<std::size_t>{0, 0}));
    EXPECT_EQ(Items(list), (Strings{"a", "B"}));
    list.AddItem("a");
    EXPECT_EQ(list.Commit(), (std::vector<std::size_t>{1}));
    EXPECT_EQ(Items(list), (Strings{"a", "a", "B"}));
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
    list.AddItem("c");
    EXPECT_THROW(list.Item(0), std::out_of_range);
}

}  // namespace
}  // namespace brackwin::test
