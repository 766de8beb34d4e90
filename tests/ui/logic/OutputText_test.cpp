#include "OutputText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string>

#include "FailingAllocator.h"
#include "ShownText.h"

namespace brackwin {
namespace {

using namespace std::string_literals;

// Hands added, which begins with CR LF, to the output as an addition does: its size, then its
// lines.
std::string Add(OutputText& output, const std::string& added) {
    return output.Append([&](AdditionSink& sink) {
        sink.Reserve(added.size());
        for (std::size_t at = 2;;) {
            const std::size_t next = added.find("\r\n", at);
            sink.AppendLine(std::string_view(added).substr(at, next - at));
            if (next == std::string::npos) {
                return;
            }
            at = next + 2;
        }
    });
}

std::string Lines(std::size_t count) {
    std::string lines = "\r\n";
    for (std::size_t i = 0; i < count; ++i) {
        lines += "\r\nL" + std::to_string(i);
    }
    return lines;
}

TEST(OutputTextTest, ShortLinesShowAsTheyAreAndNulAsItsMark) {
    OutputText output;
    EXPECT_EQ(Add(output, "\r\n\r\nA\0B"s), "\r\n\r\nA" + std::string(kNulMark) + "B");
    EXPECT_EQ(Add(output, "\r\n\r\nC"), "\r\n\r\nC");
    EXPECT_EQ(output.Text(), "\r\n\r\nA\0B\r\n\r\nC"s);
    EXPECT_EQ(output.Shown(), "\r\n\r\nA" + std::string(kNulMark) + "B\r\n\r\nC");
    // The mark is one unit, as the NUL is one byte.
    EXPECT_EQ(output.RealText({2, 1}, {2, 3}), "\0B"s);
    EXPECT_EQ(output.RealText({0, 0}, {9, 0}), output.Text());
    EXPECT_EQ(output.RealText({4, 1}, {2, 2}), "B\r\n\r\nC");
}

// Columns count UTF-16 units: a character beyond the basic plane takes two, and a selection
// that ends inside one takes it in.
TEST(OutputTextTest, ColumnsCountUtf16Units) {
    OutputText output;
    Add(output, "\r\n\r\n\u3042\U0001F600x");
    EXPECT_EQ(output.RealText({2, 1}, {2, 3}), "\U0001F600");
    EXPECT_EQ(output.RealText({2, 0}, {2, 2}), "\u3042\U0001F600");
    EXPECT_EQ(output.RealText({2, 3}, {2, 4}), "x");
    EXPECT_EQ(output.RealText({2, 1}, {2, 1}), "");
}

TEST(OutputTextTest, SelectingIntoACutMarkTakesTheWholeLine) {
    const std::string line = "Public Const BIG = " + std::string(100000, 'A');
    OutputText output;
    EXPECT_EQ(Add(output, "\r\n\r\n" + line + "\r\n\r\nZ"),
              "\r\n\r\n" + ShownLine(line) + "\r\n\r\nZ");
    const std::size_t shown = ShownLength(line);
    EXPECT_EQ(output.RealText({2, 0}, {2, shown}), line.substr(0, shown));
    EXPECT_EQ(output.RealText({2, 0}, {2, shown + 1}), line);
    EXPECT_EQ(output.RealText({2, shown}, {3, 0}), line.substr(shown) + "\r\n");
    EXPECT_EQ(output.RealText({2, 7}, {4, 1}), line.substr(7) + "\r\n\r\nZ");
}

TEST(OutputTextTest, LinesBeyondTheLimitShowAsOneMarkThatSelectsThemAll) {
    OutputText output;
    // With the empty line it begins with, the addition has kShownLinesPerAddition + 1500 lines.
    const std::string added = Lines(kShownLinesPerAddition + 1499);
    const std::string shown = Add(output, added);
    const std::string mark = OmittedLinesMark(1500);
    EXPECT_EQ(mark, "\u2026\uFF08\u307B\u304B 1,500 \u884C\uFF09");
    const std::string lastShown = "L" + std::to_string(kShownLinesPerAddition - 2);
    EXPECT_TRUE(shown.ends_with("\r\n" + lastShown + "\r\n" + mark));
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'),
              static_cast<std::ptrdiff_t>(kShownLinesPerAddition + 1));

    const std::size_t markLine = kShownLinesPerAddition + 1;
    const std::string hidden =
        added.substr(added.find("L" + std::to_string(kShownLinesPerAddition - 1) + "\r"));
    EXPECT_EQ(output.RealText({markLine, 0}, {markLine, 1}), hidden);
    EXPECT_EQ(output.RealText({markLine, 3}, {markLine + 1, 0}), hidden);
    EXPECT_EQ(output.RealText({markLine - 1, 0}, {markLine, 0}), lastShown + "\r\n");

    // The next addition shows in full after the mark, and its lines map past the hidden ones.
    EXPECT_EQ(Add(output, "\r\n\r\nNEXT"), "\r\n\r\nNEXT");
    EXPECT_EQ(output.RealText({markLine + 2, 1}, {markLine + 2, 4}), "EXT");
    EXPECT_EQ(output.Shown(), shown + "\r\n\r\nNEXT");
}

TEST(OutputTextTest, FailedOrTakenBackAdditionsLeaveTheTextAsItWas) {
    OutputText output;
    Add(output, "\r\n\r\nKEEP");
    EXPECT_THROW(output.Append([](AdditionSink& sink) {
        sink.AppendLine("");
        sink.AppendLine("HALF");
        throw std::bad_alloc();
    }),
                 std::bad_alloc);
    EXPECT_EQ(output.Text(), "\r\n\r\nKEEP");
    EXPECT_EQ(output.Shown(), "\r\n\r\nKEEP");
    {
        // The room for the text is taken, then the shown lines' record runs out of memory
        // part way through.
        const test::FailingLargeAllocations outOfMemory(16 * 1024);
        EXPECT_THROW(Add(output, Lines(1500)), std::bad_alloc);
    }
    EXPECT_EQ(output.Text(), "\r\n\r\nKEEP");
    EXPECT_EQ(output.Shown(), "\r\n\r\nKEEP");
    EXPECT_EQ(output.RealText({2, 0}, {99, 0}), "KEEP");

    Add(output, "\r\n\r\nGONE");
    output.RemoveLastAddition();
    EXPECT_EQ(output.Text(), "\r\n\r\nKEEP");
    EXPECT_EQ(output.Shown(), "\r\n\r\nKEEP");
    EXPECT_EQ(output.RealText({0, 0}, {99, 0}), "\r\n\r\nKEEP");

    output.Clear();
    EXPECT_EQ(output.Text(), "");
    EXPECT_EQ(output.Shown(), "");
    EXPECT_EQ(Add(output, "\r\n\r\nNEW"), "\r\n\r\nNEW");
    EXPECT_EQ(output.RealText({2, 0}, {2, 3}), "NEW");
}

}  // namespace
}  // namespace brackwin
