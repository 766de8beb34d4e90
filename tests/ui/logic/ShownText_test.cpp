#include "ShownText.h"

#include <gtest/gtest.h>

#include <string>

namespace brackwin {
namespace {

TEST(ShownTextTest, ShortTextsStayAsTheyAre) {
    EXPECT_EQ(ShownText(""), "");
    EXPECT_EQ(ShownText("\r\n\r\nA\r\nB"), "\r\n\r\nA\r\nB");
    EXPECT_EQ(ShownLine(std::string(kShownLineBytes, 'x')), std::string(kShownLineBytes, 'x'));
}

TEST(ShownTextTest, LongLinesAreCutAtACharacterBoundary) {
    const std::string wide = "\u3042";  // three bytes
    std::string line = "x";
    while (line.size() < kShownLineBytes + 10) {
        line += wide;
    }
    const std::string shown = ShownLine(line);
    const std::string kept = shown.substr(0, shown.size() - kCutMark.size());
    EXPECT_TRUE(shown.ends_with(kCutMark));
    EXPECT_LE(kept.size(), kShownLineBytes);
    EXPECT_EQ(kept.size() % wide.size(), 1U);
    EXPECT_TRUE(line.starts_with(kept));
    EXPECT_EQ(ShownText("a\r\n" + line + "\r\nb"), "a\r\n" + shown + "\r\nb");
}

// A NUL would end the text in a control that takes C strings, and shows as nothing in others.
TEST(ShownTextTest, NulShowsAsItsMarkAndKeepsWhatFollows) {
    const std::string line = std::string("A\0B", 3);
    const std::string shown = "A" + std::string(kNulMark) + "B";
    EXPECT_EQ(ShownLine(line), shown);
    EXPECT_EQ(ShownText(line + "\r\n" + line), shown + "\r\n" + shown);
}

TEST(ShownTextTest, LinesBeyondTheLimitAreLeftOut) {
    EXPECT_EQ(ShownText("1\r\n2\r\n3", 2), "1\r\n2");
    EXPECT_EQ(ShownText("1\r\n2\r\n", 2), "1\r\n2");
    EXPECT_EQ(ShownText("1\r\n2", 2), "1\r\n2");
}

}  // namespace
}  // namespace brackwin
