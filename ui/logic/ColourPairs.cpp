#include "ColourPairs.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace brackwin {

namespace {

// The links' and the title's colours in a normal appearance. The grey is the links' fixed
// background; the blue on it has a contrast of 4.7.
constexpr Rgb kLinkGrey{192, 192, 192};
constexpr Rgb kLinkBlue{0, 0, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

double Linear(std::uint8_t channel) {
    const double value = channel / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double Luminance(Rgb colour) {
    return 0.2126 * Linear(colour.red) + 0.7152 * Linear(colour.green) +
           0.0722 * Linear(colour.blue);
}

bool Readable(const ColourPair& pair) {
    return ContrastRatio(pair.text, pair.background) >= kLeastTextContrast;
}

// The first readable pair of the candidates; failing all, the last one's background with black
// or white text: one of the two has a contrast of at least 4.58 on any background.
ColourPair FirstReadable(std::initializer_list<ColourPair> candidates) {
    for (const ColourPair& pair : candidates) {
        if (Readable(pair)) {
            return pair;
        }
    }
    const Rgb background = (candidates.end() - 1)->background;
    const bool black = ContrastRatio(kBlack, background) >= ContrastRatio(kWhite, background);
    return {black ? kBlack : kWhite, background};
}

}  // namespace

double ContrastRatio(Rgb a, Rgb b) {
    const double lighter = std::max(Luminance(a), Luminance(b));
    const double darker = std::min(Luminance(a), Luminance(b));
    return (lighter + 0.05) / (darker + 0.05);
}

bool IsDark(const ColourPair& window) {
    return Luminance(window.background) < Luminance(window.text);
}

WindowColours ChooseColours(const Appearance& appearance) {
    const SystemColours& system = appearance.system;
    const ColourPair systemLink{system.link, system.window.background};
    const ColourPair systemWindowText{system.window.text, system.menuBar.background};
    WindowColours colours{};
    if (appearance.highContrast) {
        colours.link = FirstReadable({systemLink, system.window});
        colours.title = FirstReadable({system.dialog});
        colours.preview = FirstReadable({system.menuBar});
    } else {
        colours.link = FirstReadable({{kLinkBlue, kLinkGrey}});
        colours.title = FirstReadable({{kBlack, system.dialog.background}, system.dialog});
        colours.preview = FirstReadable({systemWindowText, system.menuBar});
    }
    colours.row = FirstReadable({system.window});
    colours.selectedRow = FirstReadable({system.selection});
    return colours;
}

}  // namespace brackwin
