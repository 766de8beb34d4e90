#include "APISearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestFiles.h"

namespace brackwin::test {
namespace {

using Strings = std::vector<std::string>;

// Keeps entries in the order the search appends them.
class RecordingList final : public ResultList {
  public:
    void Clear() override {
        entries.clear();
        ++clears;
    }
    void AddItem(std::string_view entry) override { entries.emplace_back(entry); }
    Strings entries;
    int clears = 0;
};

Strings Search(const LineList& lines, std::string_view key, std::int32_t category) {
    RecordingList results;
    results.AddItem("left over");
    NoYield yield;
    APISearch(lines, key, category, results, yield);
    EXPECT_EQ(results.clears, 1);
    return results.entries;
}

const std::string kMaxPath = "Public Const MAX_PATH = 260";
const std::string kGmem = "Global Const GMEM_FIXED = &H0";
const std::string kTick = "Declare Function GetTickCount Lib kernel32 () As Long";
const std::string kRect = "Type RECT";
const std::string kRectl = "Type RECTL";
const std::string kLastOne = "Public Const LAST_ONE = 1";

struct SearchCase {
    const char* name;
    std::int32_t category;
    std::string key;
    Strings expected;
};

class ExampleSearchTest : public testing::TestWithParam<SearchCase> {};

TEST_P(ExampleSearchTest, ListsTheMatchingLinesInFileOrder) {
    const SearchCase& c = GetParam();
    EXPECT_EQ(Search(ExampleLines(), c.key, c.category), c.expected);
}

// The last stored line (LAST_ONE) is examined like every other line.
INSTANTIATE_TEST_SUITE_P(
    Example, ExampleSearchTest,
    testing::Values(SearchCase{"ConstantsAll", 1, "", {kMaxPath, kGmem, kLastOne}},
                    SearchCase{"ConstantsMax", 1, "max", {kMaxPath}},
                    SearchCase{"ConstantsMixedCaseKey", 1, "MAX_path", {kMaxPath}},
                    SearchCase{"ConstantsLastLine", 1, "last_one", {kLastOne}},
                    SearchCase{"FunctionsWithoutDeclareSub", 2, "", {kTick}},
                    SearchCase{"FunctionsPunctuationInKey", 2, "() as", {kTick}},
                    SearchCase{"TypesAll", 3, "", {kRect, kRectl}},
                    SearchCase{"TypesRect", 3, "rect", {kRect, kRectl}},
                    SearchCase{"TypesRectl", 3, "RECTL", {kRectl}},
                    SearchCase{"OneBlankKeyIsLikeNoKey", 1, " ", {kMaxPath, kGmem, kLastOne}},
                    SearchCase{"TwoBlanksFindNothing", 1, "  ", {}},
                    SearchCase{"KeyIsNotTrimmed", 3, "rect ", {}},
                    SearchCase{"MemberLinesNeverListed", 3, "left", {}},
                    SearchCase{"NoMatch", 2, "sleep", {}}, SearchCase{"CategoryZero", 0, "", {}},
                    SearchCase{"CategoryFour", 4, "", {}},
                    SearchCase{"NegativeCategory", -1, "", {}}),
    [](const testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

struct LineCase {
    const char* name;
    std::string line;
    std::int32_t category;  // the one category that lists it, or 0 for none
};

class LineKindTest : public testing::TestWithParam<LineCase> {};

TEST_P(LineKindTest, BelongsToExactlyItsCategory) {
    const LineCase& c = GetParam();
    // The line stands between a header and a trailer so it is neither dropped nor last.
    const LineList lines = ListOf("' header\r\n" + c.line + "\r\n' trailer\r\n");
    for (std::int32_t category = 1; category <= 3; ++category) {
        SCOPED_TRACE(category);
        EXPECT_EQ(Search(lines, "", category),
                  category == c.category ? Strings{c.line} : Strings{});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, LineKindTest,
    testing::Values(
        LineCase{"PublicConst", "Public Const A = 1", 1},
        LineCase{"GlobalConst", "Global Const A = 1", 1},
        LineCase{"ConstAfterBlanks", "   Public Const A = 1", 1},
        LineCase{"ConstInTrailingComment", "Dim x ' Global Const", 1},
        LineCase{"ConstInCapitals", "PUBLIC CONST A = 1", 1},
        LineCase{"ConstAlone", "Const A = 1", 0},
        LineCase{"PrivateConst", "Private Const A = 1", 0}, LineCase{"Dim", "Dim A As Long", 0},
        LineCase{"DeclareFunction", "Declare Function F Lib \"k\" () As Long", 2},
        LineCase{"PrivateDeclareFunction", "Private Declare Function F Lib \"k\" () As Long", 2},
        LineCase{"PublicDeclareFunction", "Public Declare Function F Lib \"k\" () As Long", 2},
        LineCase{"DeclareSub", "Declare Sub S Lib \"k\" ()", 0},
        LineCase{"TypeHeader", "Type POINT", 3}, LineCase{"TypeInCapitals", "TYPE POINT", 3},
        LineCase{"PublicType", "Public Type POINT", 0},
        LineCase{"PrivateType", "Private Type POINT", 0},
        LineCase{"IndentedType", " Type POINT", 0}, LineCase{"TypeAndTab", "Type\tPOINT", 0},
        LineCase{"TypeWithoutName", "Type ", 3}, LineCase{"EndType", "End Type", 0},
        LineCase{"Member", "    x As Long", 0}, LineCase{"Comment", "' Public Const A = 1", 0},
        LineCase{"CommentAfterBlanks", "  ' Public Const A = 1", 1},
        LineCase{"RemIsNoComment", "Rem Public Const A = 1", 1}),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST(APISearchTest, LineInTwoCategoriesIsListedByEach) {
    const std::string line = "Declare Function F Lib \"k\" () As Long ' not a Public Const";
    const LineList lines = ListOf("h\r\n" + line + "\r\nt");
    EXPECT_EQ(Search(lines, "", 1), Strings{line});
    EXPECT_EQ(Search(lines, "", 2), Strings{line});
}

TEST(APISearchTest, DuplicateLinesGiveAnEntryEach) {
    const LineList lines = ListOf("h\r\nType A\r\nType A\r\nt");
    EXPECT_EQ(Search(lines, "a", 3), (Strings{"Type A", "Type A"}));
}

TEST(APISearchTest, FullWidthLettersFoldLikeAscii) {
    const LineList lines = ListOf(
        "h\nPublic Const ABC = 1\nPublic Const ＡＢＣ = 2\n"
        "Public Const ａｂｃ = 3\nPublic Const abc = 4\nt");
    EXPECT_EQ(Search(lines, "ａｂｃ", 1),
              (Strings{"Public Const ＡＢＣ = 2", "Public Const ａｂｃ = 3"}));
    EXPECT_EQ(Search(lines, "ＡbＣ", 1), Strings{});
    EXPECT_EQ(Search(lines, "ABC", 1), (Strings{"Public Const ABC = 1", "Public Const abc = 4"}));
}

TEST(APISearchTest, WidthAndOtherScriptsAreNotFolded) {
    const LineList lines =
        ListOf("h\nPublic Const ｶﾅ = 1\nPublic Const カナ = 2\nPublic Const É = 3\nt");
    EXPECT_EQ(Search(lines, "カナ", 1), Strings{"Public Const カナ = 2"});
    EXPECT_EQ(Search(lines, "é", 1), Strings{});
}

TEST(APISearchTest, SearchesBothEndsOfTheStoredLines) {
    const LineList lines = ListOf(
        "Public Const FIRST = 1\nPublic Const SECOND = 2\n"
        "Public Const LAST = 3");
    EXPECT_EQ(Search(lines, "", 1), (Strings{"Public Const SECOND = 2", "Public Const LAST = 3"}));
}

TEST(APISearchTest, EmptyAndOneElementLists) {
    EXPECT_EQ(Search(LineList{}, "", 1), Strings{});
    EXPECT_EQ(Search(ListOf("h\r\nPublic Const A = 1"), "", 1), Strings{"Public Const A = 1"});
}

TEST(APISearchTest, YieldsOncePerExaminedLine) {
    for (std::int32_t category : {0, 1, 2, 3}) {
        CountingYield yield;
        RecordingList results;
        APISearch(ExampleLines(), "zzz", category, results, yield);
        EXPECT_EQ(yield.calls, 11);
    }
}

TEST(APISearchTest, ExceptionFromTheYieldPassesThrough) {
    struct Stop {};
    struct Stopper final : Yield {
        void DoEvents() override { throw Stop{}; }
    };
    Stopper yield;
    RecordingList results;
    EXPECT_THROW(APISearch(ExampleLines(), "", 1, results, yield), Stop);
}

}  // namespace
}  // namespace brackwin::test
