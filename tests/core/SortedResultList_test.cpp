#include "SortedResultList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "CaseFold.h"
#include "FailingAllocator.h"

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
    list.Commit();
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

// An entry keeps its id while entries are placed before it, and IndexOf finds it by that id.
TEST(SortedResultListTest, EntriesAreFoundByTheirIdsAfterEveryCommit) {
    SortedResultList list;
    list.AddItem("b");
    list.AddItem("d");
    list.Commit();
    const SortedResultList::Id b = list.IdAt(0);
    const SortedResultList::Id d = list.IdAt(1);
    list.AddItem("c");
    list.AddItem("a");
    list.AddItem("d");
    list.AddItem("e");
    list.Commit();
    // The new d goes after the old one.
    EXPECT_EQ(Items(list), (Strings{"a", "b", "c", "d", "d", "e"}));
    EXPECT_EQ(list.IndexOf(b), 1U);
    EXPECT_EQ(list.IndexOf(d), 3U);
    EXPECT_EQ(list.IdAt(3), d);
    while (list.MergeSome(1)) {
    }
    EXPECT_EQ(list.IndexOf(d), 3U);
    EXPECT_EQ(Items(list), (Strings{"a", "b", "c", "d", "d", "e"}));
}

// Entries in the order the list defines: by their folded texts, then by their texts. Each entry
// is folded once, which keeps a reference sort of thousands of entries quick.
class ReferenceOrder {
  public:
    void Add(const std::vector<std::string>& texts) {
        for (const std::string& text : texts) {
            entries_.emplace_back(FoldCase(text), text);
        }
        std::stable_sort(entries_.begin(), entries_.end());
    }
    Strings Texts() const {
        Strings texts;
        for (const auto& entry : entries_) {
            texts.push_back(entry.second);
        }
        return texts;
    }
    // How many entries sort before text.
    std::size_t Before(const std::string& text) const {
        return static_cast<std::size_t>(
            std::lower_bound(entries_.begin(), entries_.end(), std::pair(FoldCase(text), text)) -
            entries_.begin());
    }

  private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

// Entries that share long beginnings, differ in the case of ASCII, full-width, Greek, Cyrillic
// or accented letters, hold characters that may fold into ASCII, or hold NUL bytes, committed
// in many batches of random sizes with merges of random lengths between them, end in the
// list's order, which ResultOrderLess tells too; every entry committed before is found by its
// id, moved up by the new entries that sort before it (a new entry goes after the equal ones
// already there); and the entries beginning with a folded text are the range FoldedRange gives.
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
    for (int round = 0; round < 20; ++round) {
        std::deque<std::string> kept;  // the list keeps views of its entries
        SortedResultList list;
        ReferenceOrder expected;
        // More batches than the list leaves unmerged.
        for (int batch = 0; batch < 40; ++batch) {
            const Strings before = expected.Texts();
            Strings added;
            for (unsigned n = random() % (batch % 3 == 0 ? 200 : 20); n > 0; --n) {
                std::string entry;
                for (unsigned piece = random() % 7; piece > 0; --piece) {
                    entry += pieces[random() % pieces.size()];
                }
                list.AddItem(kept.emplace_back(entry));
                added.push_back(entry);
            }
            ASSERT_EQ(list.PendingCount(), added.size());
            std::vector<SortedResultList::Id> ids;
            for (std::size_t old = 0; old < before.size(); ++old) {
                ids.push_back(list.IdAt(old));
            }
            list.Commit();
            list.MergeSome(random() % 300);
            ReferenceOrder addedOrder;
            addedOrder.Add(added);
            expected.Add(added);
            const Strings texts = expected.Texts();
            ASSERT_EQ(Items(list), texts);
            for (std::size_t i = 1; i < texts.size(); ++i) {
                ASSERT_TRUE(texts[i - 1] == texts[i] || ResultOrderLess(texts[i - 1], texts[i]))
                    << i;
            }
            // Entries are read however the reads jump, and backwards.
            for (int jump = 0; jump < 20 && !texts.empty(); ++jump) {
                const std::size_t index = random() % texts.size();
                ASSERT_EQ(list.Item(index), texts[index]) << index;
            }
            for (std::size_t index = texts.size(); index-- > 0;) {
                ASSERT_EQ(list.Item(index), texts[index]) << index;
            }
            for (std::size_t old = 0; old < before.size(); ++old) {
                ASSERT_EQ(list.IndexOf(ids[old]), old + addedOrder.Before(before[old])) << old;
            }
            const std::string beginning = FoldCase(pieces[random() % pieces.size()]);
            std::size_t first = texts.size();
            std::size_t beginningCount = 0;
            for (std::size_t index = 0; index < texts.size(); ++index) {
                if (FoldCase(texts[index]).starts_with(beginning)) {
                    first = std::min(first, index);
                    ++beginningCount;
                }
            }
            const auto [rangeFirst, rangeLast] = list.FoldedRange(beginning);
            ASSERT_EQ(rangeLast - rangeFirst, beginningCount) << beginning;
            if (beginningCount != 0) {
                ASSERT_EQ(rangeFirst, first) << beginning;
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
    // Enough entries to fill several blocks of entries and of text, committed as more runs
    // than the list leaves unmerged.
    Strings expected;
    for (int i = 0; i < 30000; ++i) {
        expected.push_back("entry " + std::to_string(i) + std::string(200, 'x'));
        list.AddItem(expected.back());
        if (i % 500 == 0) {
            list.Commit();
        }
    }
    list.Commit();
    while (list.MergeSome(1000)) {
    }
    std::sort(expected.begin(), expected.end(), ResultOrderLess);
    expected.push_back(huge);
    expected.push_back("m");
    EXPECT_EQ(Items(list), expected);
    EXPECT_EQ(list.Item(list.Count() - 1).data(), m.data());
    EXPECT_EQ(list.Item(list.Count() - 2).data(), h.data());
    EXPECT_EQ(m, "m");
    EXPECT_TRUE(h == huge);
}

// Nothing of a cleared entry stays with its id, such as the folded copy of "Б".
TEST(SortedResultListTest, ClearBetweenCommitsStartsAfresh) {
    SortedResultList list;
    list.AddItem("Б");
    list.AddItem("a");
    list.Commit();
    list.AddItem("c");
    list.Clear();
    list.AddItem("B");
    list.AddItem("a");
    EXPECT_EQ(list.Count(), 0U);
    EXPECT_EQ(list.PendingCount(), 2U);
    list.Commit();
    EXPECT_EQ(Items(list), (Strings{"a", "B"}));
    EXPECT_EQ(list.IndexOf(list.IdAt(1)), 1U);
    const SortedResultList::Id a = list.IdAt(0);
    list.AddItem("a");
    list.Commit();
    EXPECT_EQ(Items(list), (Strings{"a", "a", "B"}));
    EXPECT_EQ(list.IdAt(0), a);
}

// Running out of memory while adding an entry with a folded copy leaves the list as it was
// before that entry, and the list goes on.
TEST(SortedResultListTest, AnEntryThatCannotBeAddedLeavesTheListWhole) {
    SortedResultList list;
    list.ReservePending(4096);
    std::deque<std::string> texts;
    const auto addNext = [&] {
        texts.push_back("Public Const Ω" + std::to_string(texts.size()));
        list.AddItem(texts.back());
    };
    // The first entry takes the room for the pending entries and for the folded texts.
    addNext();
    {
        const FailingLargeAllocations outOfMemory(16 * 1024);
        EXPECT_THROW(
            for (;;) { addNext(); }, std::bad_alloc);
    }
    const std::size_t added = texts.size() - 1;
    EXPECT_EQ(list.PendingCount(), added);
    addNext();
    list.Commit();
    Strings expected(texts.begin(), texts.end());
    expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(added));
    std::sort(expected.begin(), expected.end(), ResultOrderLess);
    EXPECT_EQ(Items(list), expected);
    for (std::size_t index = 0; index < list.Count(); ++index) {
        EXPECT_EQ(list.IndexOf(list.IdAt(index)), index);
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
    list.AddItem("c");
    EXPECT_THROW(list.Item(0), std::out_of_range);
}

}  // namespace
}  // namespace brackwin::test
