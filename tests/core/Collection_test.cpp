#include "Collection.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "AppIdentity.h"
#include "TestFiles.h"

namespace brackwin::test {
namespace {

using Views = std::vector<std::string_view>;

constexpr std::string_view kTick = "Declare Function GetTickCount Lib kernel32 () As Long";
constexpr std::string_view kRect = "Type RECT";
constexpr std::string_view kRectl = "Type RECTL";

Preview PreviewOf(const Views& selected, bool typesOption, const LineList& lines = ExampleLines()) {
    return PreviewSelection(selected, typesOption, lines);
}

std::string Add(std::string output, const Views& selected, bool typesOption,
                const LineList& lines = ExampleLines()) {
    return AddSelection(std::move(output), selected, typesOption, lines);
}

struct PreviewCase {
    const char* name;
    Views selected;
    bool typesOption;
    std::string text;
};

void PrintTo(const PreviewCase& c, std::ostream* out) {
    *out << c.name;
}

class PreviewCaseTest : public testing::TestWithParam<PreviewCase> {};

TEST_P(PreviewCaseTest, ShowsTheEntryOrItsBlocks) {
    const PreviewCase& c = GetParam();
    const Preview preview = PreviewOf(c.selected, c.typesOption);
    EXPECT_EQ(preview.text, c.text);
    EXPECT_EQ(preview.enableAdd, !c.selected.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Example, PreviewCaseTest,
    testing::Values(
        PreviewCase{"RectBringsRectlAlong",
                    {kRect},
                    true,
                    "Type RECT\r\n    Left As Long\r\nEnd Type\r\nType RECTL\r\nEnd Type"},
        PreviewCase{"Rectl", {kRectl}, true, "Type RECTL\r\nEnd Type"},
        PreviewCase{"Function", {kTick}, false, std::string(kTick)},
        PreviewCase{"FunctionWithTypesOptionRunsToEndType",
                    {kTick},
                    true,
                    std::string(kTick) +
                        "\r\nDeclare Sub Sleep Lib kernel32 (ByVal ms As Long)\r\nType RECT\r\n"
                        "    Left As Long\r\nEnd Type"},
        PreviewCase{"LastLineIsScanned", {"LAST_ONE"}, true, "Public Const LAST_ONE = 1"},
        PreviewCase{"EntryFoundNowhere", {"Type NONE"}, true, ""},
        PreviewCase{"NothingSelected", {}, false, ""},
        PreviewCase{"NothingSelectedTypes", {}, true, ""},
        PreviewCase{"LastSelectedEntryWins", {kRect, kTick}, false, std::string(kTick)}),
    [](const testing::TestParamInfo<PreviewCase>& info) { return std::string(info.param.name); });

TEST(PreviewTest, BlockOpensAtACommentQuotingTheHeaderAndCoversEveryDefinition) {
    const LineList lines = ListOf(
        "h\r\n' see Type POINT below\r\nType POINT\r\n  x As Long\r\nEnd Type\r\n"
        "Public Const A = 1\r\nType POINT\r\n  y As Long\r\nend type\r\nEnd Type\r\nt");
    EXPECT_EQ(PreviewOf({"Type POINT"}, true, lines).text,
              "' see Type POINT below\r\nType POINT\r\n  x As Long\r\nEnd Type\r\n"
              "Type POINT\r\n  y As Long\r\nend type\r\nEnd Type");
}

TEST(PreviewTest, BlockWithoutEndTypeRunsToTheEnd) {
    const LineList lines = ListOf("h\r\nType OPEN\r\n  a As Long\r\n  b As Long");
    EXPECT_EQ(PreviewOf({"Type OPEN"}, true, lines).text,
              "Type OPEN\r\n  a As Long\r\n  b As Long");
}

// The blocks are found over the list's whole text; they must be those a scan line by line finds:
// every line holding the entry opens or continues a block, which ends at a line holding
// "End Type", also where both stand in one line, at either end of the list or after a CR alone.
TEST(PreviewTest, BlocksAreThoseOfALineByLineScan) {
    const std::vector<std::string> pieces = {"Type A",          "Type AB",      "x", "End Type", "",
                                             "Type A End Type", "  End Type 'A"};
    const std::vector<std::string> breaks = {"\r\n", "\r", "\n"};
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::string file = "h";
        for (int i = static_cast<int>(random() % 8); i > 0; --i) {
            file += breaks[random() % breaks.size()] + pieces[random() % pieces.size()];
        }
        const LineList list = ListOf(file);
        const std::vector<std::string> stored = Lines(list);
        for (const std::string_view entry : {"Type A", "A", "End Type", "Type AB"}) {
            std::string expected;
            bool inside = false;
            for (const std::string& line : stored) {
                inside = inside || line.find(entry) != std::string::npos;
                if (inside) {
                    expected += (expected.size() >= 2 ? "\r\n" : "") + line;
                }
                inside = inside && line.find("End Type") == std::string::npos;
            }
            SCOPED_TRACE(testing::PrintToString(file) + " / " + std::string(entry));
            EXPECT_EQ(PreviewOf({entry}, true, list).text, expected);
        }
    }
}

TEST(PreviewTest, TakesNoMoreBlockLinesOrLineBytesThanAskedFor) {
    const LineList lines = ListOf("h\r\nType A\r\n  a As Long\r\nEnd Type\r\nType AB\r\nEnd Type");
    const std::string_view entry = "Type A";
    EXPECT_EQ(PreviewSelection({&entry, 1}, true, lines, 4).text,
              "Type A\r\n  a As Long\r\nEnd Type\r\nType AB");
    EXPECT_EQ(PreviewSelection({&entry, 1}, true, lines, 0).text, "");
    EXPECT_EQ(PreviewSelection({&entry, 1}, true, lines, 4, 3).text, "Typ\r\n  a\r\nEnd\r\nTyp");
    EXPECT_EQ(PreviewSelection({&entry, 1}, false, lines, 4, 3).text, "Typ");
}

TEST(PreviewTest, ShortTextSoFarIsReplacedNotExtended) {
    // The first block line of one character is replaced by the next; two characters are kept.
    const LineList one = ListOf("h\r\nX\r\nYZ End Type\r\nt");
    EXPECT_EQ(PreviewOf({"X"}, true, one).text, "YZ End Type");
    const LineList two = ListOf("h\r\nXé\r\nEnd Type\r\nt");
    EXPECT_EQ(PreviewOf({"X"}, true, two).text, "Xé\r\nEnd Type");
}

TEST(PreviewTest, EmptyLineListPreviewsNothingButEnablesAdd) {
    const Preview preview = PreviewOf({kRect}, true, LineList{});
    EXPECT_EQ(preview.text, "");
    EXPECT_TRUE(preview.enableAdd);
}

TEST(AddTest, EntriesFollowTwoLineBreaks) {
    std::string output = Add("", {kTick}, false);
    EXPECT_EQ(output, "\r\n\r\n" + std::string(kTick));
    output = Add(output, {kTick}, false);
    EXPECT_EQ(output, "\r\n\r\n" + std::string(kTick) + "\r\n\r\n" + std::string(kTick));
}

TEST(AddTest, TypeBlockFollowsOneLineBreakAndEachLineItsOwn) {
    EXPECT_EQ(Add("", {kRectl}, true), "\r\n\r\nType RECTL\r\nEnd Type");
    EXPECT_EQ(Add("before", {kRectl}, true), "before\r\n\r\nType RECTL\r\nEnd Type");
}

TEST(AddTest, EmptyBlockStillAddsOneLineBreak) {
    EXPECT_EQ(Add("x", {kRect}, true, LineList{}), "x\r\n");
    EXPECT_EQ(Add("x", {"Type NONE", "Type NONE"}, true), "x\r\n\r\n");
}

TEST(AddTest, NothingSelectedAddsNothing) {
    EXPECT_EQ(Add("kept", {}, false), "kept");
    EXPECT_EQ(Add("kept", {}, true), "kept");
}

TEST(AddTest, EverySelectedEntryInOrder) {
    EXPECT_EQ(Add("", {"A", "B"}, false), "\r\n\r\nA\r\n\r\nB");
}

// Records an addition as a writer sees it.
class RecordingSink final : public AdditionSink {
  public:
    void Reserve(std::size_t bytes) override {
        reserved.push_back(bytes);
        reservedAtSize.push_back(text.size());
    }
    void AppendLine(std::string_view line) override {
        linesWithBreaks += line.find_first_of("\r\n") != std::string_view::npos;
        text.append("\r\n").append(line);
    }
    std::string text;
    std::vector<std::size_t> reserved;
    std::vector<std::size_t> reservedAtSize;
    int linesWithBreaks = 0;
};

// The addition's size is told once, before its first line, and is exactly what its lines make,
// for several entries at once, blocks that follow one another, blocks without "End Type" and
// entries found nowhere; its text is that of a scan line by line.
TEST(AddTest, TellsItsExactSizeOnceBeforeItsLines) {
    const std::vector<std::string> pieces = {"Type A",   "Type AB", "x",
                                             "End Type", "",        "Type A End Type"};
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        std::string file = "h";
        for (int i = static_cast<int>(random() % 10); i > 0; --i) {
            file += "\r\n" + pieces[random() % pieces.size()];
        }
        const LineList list = ListOf(file);
        const std::vector<std::string> stored = Lines(list);
        const Views selected = {"Type A", "Type NONE", "", "End Type", "Type AB"};
        for (const bool typesOption : {false, true}) {
            std::string expected;
            for (const std::string_view entry : selected) {
                if (!typesOption) {
                    expected += "\r\n\r\n" + std::string(entry);
                    continue;
                }
                expected += "\r\n";
                bool inside = false;
                for (const std::string& line : stored) {
                    inside = inside || line.find(entry) != std::string::npos;
                    if (inside) {
                        expected += "\r\n" + line;
                    }
                    inside = inside && line.find("End Type") == std::string::npos;
                }
            }
            SCOPED_TRACE(testing::PrintToString(file) + (typesOption ? " / types" : ""));
            RecordingSink sink;
            AppendSelection(sink, selected, typesOption, list);
            EXPECT_EQ(sink.text, expected);
            EXPECT_EQ(sink.reserved, std::vector<std::size_t>{expected.size()});
            EXPECT_EQ(sink.reservedAtSize, std::vector<std::size_t>{0});
            EXPECT_EQ(sink.linesWithBreaks, 0);
        }
    }
}

// A large addition takes no more room than it needs (growing by doubling took up to twice),
// while many small ones to a large text copy it only now and then.
TEST(AddTest, TakesRoomOnceForALargeAdditionAndNowAndThenForSmallOnes) {
    const std::string big(1 << 20, 'B');
    const std::string large = Add("", {big}, false);
    EXPECT_LE(large.capacity(), large.size() + large.size() / 16);

    std::string output = large;
    int copies = 0;
    for (int i = 0; i < 1000; ++i) {
        const char* const before = output.data();
        output = Add(std::move(output), {"Public Const A = 1"}, false);
        copies += output.data() != before;
    }
    EXPECT_LE(copies, 2);
    EXPECT_EQ(output.size(), large.size() + 1000 * (4 + 18));
}

class FakeClipboard final : public Clipboard {
  public:
    explicit FakeClipboard(bool accepts) : accepts_(accepts) {}
    void Clear() override { calls.push_back("Clear"); }
    bool SetText(std::string_view text) override {
        calls.push_back("SetText:" + std::string(text));
        return accepts_;
    }
    std::vector<std::string> calls;

  private:
    bool accepts_;
};

class FakeMessageDialog final : public MessageDialog {
  public:
    void Show(std::string_view text, std::string_view caption) override {
        shown.push_back(std::string(caption) + "|" + std::string(text));
    }
    std::vector<std::string> shown;
};

TEST(CopyTest, ClearsPutsTheTextAndConfirms) {
    for (const std::string output : {"", "\r\n\r\nType RECTL\r\nEnd Type"}) {
        FakeClipboard clipboard(true);
        FakeMessageDialog messageBox;
        CopyToClipboard(output, clipboard, messageBox);
        EXPECT_EQ(clipboard.calls, (std::vector<std::string>{"Clear", "SetText:" + output}));
        EXPECT_EQ(messageBox.shown,
                  std::vector<std::string>{"Brackwin|クリップボードに出力しました"});
    }
}

TEST(CopyTest, RefusedClipboardIsNotReportedAsCopied) {
    FakeClipboard clipboard(false);
    FakeMessageDialog messageBox;
    CopyToClipboard("text", clipboard, messageBox);
    EXPECT_EQ(messageBox.shown, std::vector<std::string>{std::string(kAppTitle) + "|" +
                                                         std::string(kCopyFailedMessage)});
}

}  // namespace
}  // namespace brackwin::test
