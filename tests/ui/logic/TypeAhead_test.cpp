#include "TypeAhead.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace brackwin {
namespace {

using Index = std::optional<std::size_t>;

// The list sorted as the window shows it: each line below is its index.
//  0 Apple  1 apricot  2 Banana  3 blue  4 BOX  5 éclair  6 École  7 Élan  8 かな  9 カナ
class TypeAheadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* entry : {"BOX", "カナ", "blue", "École", "Apple", "éclair", "かな",
                                  "Banana", "Élan", "apricot"}) {
            list_.AddItem(entry);
        }
        list_.Commit();
    }

    Index Next(Index selected, const std::string& character) const {
        return NextEntryBeginningWith(list_, selected, character);
    }

    SortedResultList list_;
};

TEST_F(TypeAheadTest, MovesToTheNextEntryBeginningWithTheCharacterAndWrapsAround) {
    ASSERT_EQ(list_.Item(2), "Banana");
    EXPECT_EQ(Next(std::nullopt, "b"), Index(2));
    EXPECT_EQ(Next(2, "b"), Index(3));
    EXPECT_EQ(Next(3, "b"), Index(4));
    EXPECT_EQ(Next(4, "b"), Index(2));
    // From an entry before or after the range, the first entry of the range.
    EXPECT_EQ(Next(0, "b"), Index(2));
    EXPECT_EQ(Next(9, "b"), Index(2));
    EXPECT_EQ(Next(1, "a"), Index(0));
}

TEST_F(TypeAheadTest, IgnoresLetterCaseAlsoBeyondAscii) {
    EXPECT_EQ(Next(std::nullopt, "B"), Index(2));
    EXPECT_EQ(Next(0, "A"), Index(1));
    ASSERT_EQ(list_.Item(5), "éclair");
    EXPECT_EQ(Next(std::nullopt, "É"), Index(5));
    EXPECT_EQ(Next(5, "é"), Index(6));
    EXPECT_EQ(Next(7, "É"), Index(5));
    // Hiragana and katakana are different characters without case.
    ASSERT_EQ(list_.Item(8), "かな");
    EXPECT_EQ(Next(2, "か"), Index(8));
    EXPECT_EQ(Next(8, "か"), Index(8));
    EXPECT_EQ(Next(8, "カ"), Index(9));
}

TEST_F(TypeAheadTest, FindsNothingWhereNoEntryBeginsWithTheCharacter) {
    EXPECT_EQ(Next(3, "z"), std::nullopt);
    EXPECT_EQ(Next(std::nullopt, "e"), std::nullopt);
    EXPECT_EQ(Next(std::nullopt, "ク"), std::nullopt);
    EXPECT_EQ(Next(0, ""), std::nullopt);
    SortedResultList empty;
    EXPECT_EQ(NextEntryBeginningWith(empty, std::nullopt, "a"), std::nullopt);
}

}  // namespace
}  // namespace brackwin
