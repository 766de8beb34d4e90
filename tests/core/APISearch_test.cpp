#include "APISearch.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "CaseFold.h"
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

void PrintTo(const SearchCase& c, std::ostream* out) {
    *out << c.name;
}

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

void PrintTo(const LineCase& c, std::ostream* out) {
    *out << c.name;
}

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

TEST(APISearchTest, WidthsAreNotFolded) {
    const LineList lines = ListOf("h\nPublic Const ｶﾅ = 1\nPublic Const カナ = 2\nt");
    EXPECT_EQ(Search(lines, "カナ", 1), Strings{"Public Const カナ = 2"});
}

struct FoldingCase {
    const char* name;
    std::string line;
    std::string key;
    bool listed;  // in category 1
};

void PrintTo(const FoldingCase& c, std::ostream* out) {
    *out << c.name;
}

class FoldingSearchTest : public testing::TestWithParam<FoldingCase> {};

TEST_P(FoldingSearchTest, FoldsLineAndKeyAlike) {
    const FoldingCase& c = GetParam();
    const LineList lines = ListOf("h\n" + c.line + "\nt");
    EXPECT_EQ(Search(lines, c.key, 1), c.listed ? Strings{c.line} : Strings{});
}

// Letters whose lower case the C library's C.UTF-8 locale and CharLowerBuffW (as Wine has it)
// give alike.
INSTANTIATE_TEST_SUITE_P(
    Letters, FoldingSearchTest,
    testing::Values(
        FoldingCase{"GreekCapitalLine", "Public Const ΑΛΦΑ_ΩΜΕΓΑ = 1", "αλφα_ωμεγα", true},
        FoldingCase{"GreekCapitalKey", "Public Const αλφα = 1", "ΑΛΦΑ", true},
        FoldingCase{"FinalSigmaIsNoSigma", "Public Const ΛΟΓΟς = 1", "ΛΟΓΟΣ", false},
        FoldingCase{"CyrillicCapitalLine", "Public Const ДЛИНА_ЁЖ = 1", "длина_ёж", true},
        FoldingCase{"CyrillicCapitalKey", "Public Const длина = 1", "ДлИнА", true},
        FoldingCase{"LatinAccentedCapitalLine", "Public Const CAFÉ_ÀÇÏ = 1", "café_àçï", true},
        FoldingCase{"LatinAccentedCapitalKey", "Public Const ÿ_café = 1", "Ÿ_CAFÉ", true},
        FoldingCase{"AccentsStay", "Public Const CAFE = 1", "café", false},
        FoldingCase{"FullWidthCapitalLine", "Public Const ＷＩＮ = 1", "ｗｉｎ", true},
        FoldingCase{"AsciiKeyInAnAccentedLine", "Public Const ДЛИНА_Max = 1", "_MAX", true},
        FoldingCase{"AccentedKeyInAnAsciiList", "Public Const CAFE = 1", "É", false},
        FoldingCase{"OtherCategoryWithAFoldedKey", "Declare Function ΑΒ Lib \"k\" ()", "αβ",
                    false}),
    [](const testing::TestParamInfo<FoldingCase>& info) { return std::string(info.param.name); });

#ifndef _WIN32
// The C library folds these into ASCII, which shortens them in UTF-8; CharLowerBuffW under Wine
// leaves them as they are.
INSTANTIATE_TEST_SUITE_P(
    IntoAscii, FoldingSearchTest,
    testing::Values(FoldingCase{"DottedCapitalIInTheCategory", "PUBLİC CONST A = 1", "", true},
                    FoldingCase{"KelvinSignInTheLine", "Public Const \u212AERNEL_ΩΜΕΓΑ = 1",
                                "kernel", true},
                    FoldingCase{"KelvinSignKey", "Public Const Kernel = 1", "\u212A", true},
                    FoldingCase{"TextAfterAShortenedCharacter", "Public Const İΣ = 1", "iσ", true},
                    FoldingCase{"SimpleNotFullMapping", "Public Const İ = 1", "i\u0307", false}),
    [](const testing::TestParamInfo<FoldingCase>& info) { return std::string(info.param.name); });
#endif

TEST(APISearchTest, GreekAndCyrillicFoldInShiftJisFiles) {
#ifdef _WIN32
    if (GetACP() != 932) {
        GTEST_SKIP() << "the system's ANSI code page is not 932";
    }
#endif
    // ΑΒΓ and ДЛИНА in code page 932.
    const LineList lines = ListOf(
        "h\r\nPublic Const \x83\x9F\x83\xA0\x83\xA1 = 1\r\n"
        "Public Const \x84\x44\x84\x4C\x84\x49\x84\x4E\x84\x40 = 2\r\nt");
    EXPECT_EQ(Search(lines, "αβγ", 1), Strings{"Public Const ΑΒΓ = 1"});
    EXPECT_EQ(Search(lines, "длина", 1), Strings{"Public Const ДЛИНА = 2"});
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

// Patterns at every place relative to the sixteen bytes tested at once, among bytes that differ
// from letters only in the case bit ('@' and '`', '[' and '{').
TEST(FindFoldedAsciiTest, FindsWhatAByteByByteSearchFinds) {
    std::mt19937 random(12);
    const std::string alphabet = "aAbB@`[{ ";
    const auto naive = [](std::string_view text, std::string_view pattern) {
        for (std::size_t pos = 0; pos + pattern.size() <= text.size(); ++pos) {
            std::size_t j = 0;
            while (j < pattern.size() && FoldedAsciiByte(static_cast<unsigned char>(
                                             text[pos + j])) == pattern[j]) {
                ++j;
            }
            if (j == pattern.size()) {
                return pos;
            }
        }
        return std::string_view::npos;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 70, ' ');
        for (char& c : text) {
            c = alphabet[random() % alphabet.size()];
        }
        std::string pattern(1 + random() % 4, ' ');
        for (char& c : pattern) {
            c = static_cast<char>(FoldedAsciiByte(alphabet[random() % alphabet.size()]));
        }
        EXPECT_EQ(FindFoldedAscii(text, pattern), naive(text, pattern))
            << "text \"" << text << "\", pattern \"" << pattern << '"';
    }
}

// Lines much longer than the pieces of text searched at once, with the key before, across and
// after the pieces' ends, between short lines that hold it or not.
TEST(APISearchTest, LongLinesGiveWhatALineByLineSearchGives) {
    std::mt19937 random(13);
    const Strings breaks = {"\r\n", "\n", "\r"};
    const Strings shorts = {"Public Const WINDOW_A = 1", "' Public Const WINDOW_B = 2",
                            "Declare Function Window Lib x ()", "Global Const OTHER = 3", ""};
    std::string file = "header";
    Strings lines;
    for (int i = 0; i < 400; ++i) {
        std::string line = shorts[random() % shorts.size()];
        if (random() % 8 == 0) {
            line = "Public Const LONG = \"" + std::string(70000 + random() % 70000, 'x');
            const std::size_t places[] = {30, 65530 + random() % 12, line.size() - 3};
            if (const std::size_t at = random() % 4; at < 3) {
                line.insert(places[at], "WinDow");
            }
        }
        lines.push_back(line);
        file += breaks[random() % breaks.size()] + line;
    }
    Strings expected;
    for (const std::string& line : lines) {
        if (line.starts_with("Public Const") || line.starts_with("Global Const")) {
            if (FoldCase(line).find("window") != std::string::npos) {
                expected.push_back(line);
            }
        }
    }
    EXPECT_EQ(Search(ListOf(file), "WINDOW", 1), expected);
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
