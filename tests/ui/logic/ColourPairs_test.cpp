#include "ColourPairs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brackwin {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kGrey{192, 192, 192};
constexpr Rgb kLinkBlue{0, 0, 255};

TEST(ContrastRatioTest, FollowsWcag) {
    EXPECT_DOUBLE_EQ(ContrastRatio(kBlack, kWhite), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(kWhite, kBlack), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(kGrey, kGrey), 1.0);
    EXPECT_NEAR(ContrastRatio(kLinkBlue, kGrey), 4.72, 0.01);
    // The hot-tracking colour of Wine's default appearance on the links' grey.
    EXPECT_NEAR(ContrastRatio({224, 224, 224}, kGrey), 1.4, 0.05);
}

struct AppearanceCase {
    std::string name;
    Appearance appearance;
    WindowColours expected;
};

// Windows' classic scheme, Wine's default appearance (its registry's colours), two of Windows'
// high-contrast schemes and Qt's Fusion style with a dark palette.
std::vector<AppearanceCase> Cases() {
    const SystemColours classic{
        {kBlack, kWhite}, {kWhite, {0, 0, 128}}, {kBlack, kGrey}, {kBlack, kGrey}, {0, 0, 128}};
    const SystemColours wine{{kBlack, kWhite},
                             {kWhite, {48, 150, 250}},
                             {kBlack, {245, 245, 245}},
                             {kBlack, kWhite},
                             {224, 224, 224}};
    const SystemColours highContrastBlack{{kWhite, kBlack},
                                          {kBlack, {26, 235, 255}},
                                          {kWhite, kBlack},
                                          {kWhite, kBlack},
                                          {255, 255, 0}};
    // A scheme whose link colour is unreadable on its own window colour.
    const SystemColours highContrastWhite{{kBlack, kWhite},
                                          {kWhite, {55, 0, 110}},
                                          {kBlack, kWhite},
                                          {kBlack, kWhite},
                                          {224, 224, 224}};
    const Rgb darkBase{42, 42, 42};
    const Rgb darkWindow{53, 53, 53};
    const Rgb darkHighlight{42, 130, 218};
    const SystemColours fusionDark{{kWhite, darkBase},
                                   {kWhite, darkHighlight},
                                   {kWhite, darkWindow},
                                   {kWhite, darkWindow},
                                   darkHighlight};
    return {
        {"classic",
         {classic, false},
         {{kLinkBlue, kGrey}, {kBlack, kGrey}, {kBlack, kGrey}, classic.window, classic.selection}},
        // White on Wine's selection blue has a contrast of 3.1: black stands out more.
        {"Wine",
         {wine, false},
         {{kLinkBlue, kGrey},
          {kBlack, {245, 245, 245}},
          {kBlack, kWhite},
          wine.window,
          {kBlack, {48, 150, 250}}}},
        {"high contrast black",
         {highContrastBlack, true},
         {{{255, 255, 0}, kBlack},
          {kWhite, kBlack},
          {kWhite, kBlack},
          highContrastBlack.window,
          highContrastBlack.selection}},
        {"high contrast white",
         {highContrastWhite, true},
         {{kBlack, kWhite},
          {kBlack, kWhite},
          {kBlack, kWhite},
          highContrastWhite.window,
          highContrastWhite.selection}},
        {"dark palette",
         {fusionDark, IsDark(fusionDark.window)},
         {{kWhite, darkBase},
          {kWhite, darkWindow},
          {kWhite, darkWindow},
          fusionDark.window,
          {kBlack, darkHighlight}}},
    };
}

void ExpectPair(const char* element, const ColourPair& actual, const ColourPair& expected) {
    SCOPED_TRACE(element);
    EXPECT_EQ(actual, expected);
    EXPECT_GE(ContrastRatio(actual.text, actual.background), kLeastTextContrast);
}

TEST(ChooseColoursTest, EveryColouredTextIsReadableInEveryAppearance) {
    for (const AppearanceCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        const WindowColours colours = ChooseColours(c.appearance);
        ExpectPair("link", colours.link, c.expected.link);
        ExpectPair("title", colours.title, c.expected.title);
        ExpectPair("preview", colours.preview, c.expected.preview);
        ExpectPair("row", colours.row, c.expected.row);
        ExpectPair("selected row", colours.selectedRow, c.expected.selectedRow);
    }
}

TEST(ChooseColoursTest, ADarkPaletteIsTold) {
    EXPECT_TRUE(IsDark({kWhite, {42, 42, 42}}));
    EXPECT_FALSE(IsDark({kBlack, {239, 239, 239}}));
}

}  // namespace
}  // namespace brackwin
