#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "ColourPairs.h"
#include "SystemAppearance.h"

namespace brackwin::win32 {

// A system appearance and the colours the windows must draw their own texts in under it.
struct AppearanceCase {
    const char* name;
    std::vector<std::pair<int, Rgb>> colours;
    bool highContrast;
    WindowColours expected;

    friend void PrintTo(const AppearanceCase& appearance, std::ostream* out) {
        *out << appearance.name;
    }
};

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kLinkBlue{0, 0, 255};
constexpr Rgb kLinkGrey{192, 192, 192};

// Windows' classic scheme, Wine's default (whose link colour is a light grey), and Windows'
// "High Contrast Black".
inline const std::vector<AppearanceCase> kAppearances = {
    {"Classic",
     {{COLOR_WINDOW, kWhite},
      {COLOR_WINDOWTEXT, kBlack},
      {COLOR_HIGHLIGHT, {10, 36, 106}},
      {COLOR_HIGHLIGHTTEXT, kWhite},
      {COLOR_BTNFACE, {212, 208, 200}},
      {COLOR_BTNTEXT, kBlack},
      {COLOR_MENU, {212, 208, 200}},
      {COLOR_MENUBAR, {212, 208, 200}},
      {COLOR_MENUTEXT, kBlack},
      {COLOR_HOTLIGHT, {0, 0, 128}}},
     false,
     {{kLinkBlue, kLinkGrey},
      {kBlack, {212, 208, 200}},
      {kBlack, {212, 208, 200}},
      {kBlack, kWhite},
      {kWhite, {10, 36, 106}}}},
    {"WineDefault",
     {{COLOR_WINDOW, kWhite},
      {COLOR_WINDOWTEXT, kBlack},
      {COLOR_HIGHLIGHT, {48, 150, 250}},
      {COLOR_HIGHLIGHTTEXT, kWhite},
      {COLOR_BTNFACE, {245, 245, 245}},
      {COLOR_BTNTEXT, kBlack},
      {COLOR_MENU, kWhite},
      {COLOR_MENUBAR, kWhite},
      {COLOR_MENUTEXT, kBlack},
      {COLOR_HOTLIGHT, {224, 224, 224}}},
     false,
     {{kLinkBlue, kLinkGrey},
      {kBlack, {245, 245, 245}},
      {kBlack, kWhite},
      {kBlack, kWhite},
      {kBlack, {48, 150, 250}}}},
    {"HighContrastBlack",
     {{COLOR_WINDOW, kBlack},
      {COLOR_WINDOWTEXT, kWhite},
      {COLOR_HIGHLIGHT, {26, 235, 255}},
      {COLOR_HIGHLIGHTTEXT, kBlack},
      {COLOR_BTNFACE, kBlack},
      {COLOR_BTNTEXT, kWhite},
      {COLOR_MENU, kBlack},
      {COLOR_MENUBAR, kBlack},
      {COLOR_MENUTEXT, kWhite},
      {COLOR_HOTLIGHT, {255, 255, 0}}},
     true,
     {{{255, 255, 0}, kBlack},
      {kWhite, kBlack},
      {kWhite, kBlack},
      {kWhite, kBlack},
      {kBlack, {26, 235, 255}}}},
};

inline std::string AppearanceName(const testing::TestParamInfo<AppearanceCase>& info) {
    return info.param.name;
}

// Sets the system colours of an appearance for the test process, and its high-contrast switch,
// and puts both back when it ends.
class StandInAppearance {
  public:
    explicit StandInAppearance(const AppearanceCase& appearance) {
        std::vector<COLORREF> colours;
        for (const auto& [index, colour] : appearance.colours) {
            indexes_.push_back(index);
            saved_.push_back(GetSysColor(index));
            colours.push_back(ToColorRef(colour));
        }
        SetSysColors(static_cast<int>(indexes_.size()), indexes_.data(), colours.data());
        OverrideHighContrast(appearance.highContrast);
    }
    ~StandInAppearance() {
        SetSysColors(static_cast<int>(indexes_.size()), indexes_.data(), saved_.data());
        OverrideHighContrast(std::nullopt);
    }
    StandInAppearance(const StandInAppearance&) = delete;
    StandInAppearance& operator=(const StandInAppearance&) = delete;

  private:
    std::vector<int> indexes_;
    std::vector<COLORREF> saved_;
};

}  // namespace brackwin::win32
