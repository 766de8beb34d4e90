#include <gtest/gtest.h>

#include <string>

#include "Utf16.h"

namespace brackwin::win32 {
namespace {

TEST(Utf16Test, JapaneseAndLineBreaksRoundTrip) {
    const std::string utf8 = "ﾊﾞｰｼﾞｮﾝ 1.0.0\r\n「ホームページ」";
    const std::wstring wide = Widen(utf8);
    EXPECT_EQ(wide, L"ﾊﾞｰｼﾞｮﾝ 1.0.0\r\n「ホームページ」");
    EXPECT_EQ(Narrow(wide), utf8);
}

TEST(Utf16Test, EmptyTextStaysEmpty) {
    EXPECT_EQ(Widen(""), L"");
    EXPECT_EQ(Narrow(L""), "");
}

TEST(Utf16Test, CharacterBeyondTheBasicPlaneIsASurrogatePair) {
    const std::string utf8 = "\xF0\xA0\x80\x8B";  // U+2000B
    const std::wstring wide = Widen(utf8);
    ASSERT_EQ(wide.size(), 2u);
    EXPECT_EQ(wide[0], 0xD840);
    EXPECT_EQ(wide[1], 0xDC0B);
    EXPECT_EQ(Narrow(wide), utf8);
}

TEST(Utf16Test, IllFormedSequenceBecomesTheReplacementCharacter) {
    EXPECT_EQ(Widen("a\xFF"
                    "b"),
              L"a\xFFFD"
              L"b");
}

TEST(Utf16Test, NulInsideTheTextIsKept) {
    EXPECT_EQ(Widen(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

}  // namespace
}  // namespace brackwin::win32
