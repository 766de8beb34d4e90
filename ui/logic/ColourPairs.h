#pragma once

#include <cstdint>

namespace brackwin {

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A text colour with the background it is drawn on.
struct ColourPair {
    Rgb text;
    Rgb background;

    friend bool operator==(const ColourPair&, const ColourPair&) = default;
};

// The contrast ratio of two colours as WCAG 2 defines it, from 1 (alike) to 21 (black on
// white), the same whichever is given first.
double ContrastRatio(Rgb a, Rgb b);

// The least contrast a coloured text may have against its background (WCAG 2, level AA).
inline constexpr double kLeastTextContrast = 4.5;

// Whether a palette is dark: its background darker than its text. Qt has no high-contrast
// switch; a dark palette is where fixed colours meant for light ones fail.
bool IsDark(const ColourPair& window);

// The colours the toolkit reports, each text colour with the background it belongs on. Windows
// gives them from GetSysColor, Qt from the palettes.
struct SystemColours {
    // COLOR_WINDOWTEXT on COLOR_WINDOW; Qt: Text on Base.
    ColourPair window;
    // COLOR_HIGHLIGHTTEXT on COLOR_HIGHLIGHT; Qt: HighlightedText on Highlight.
    ColourPair selection;
    // COLOR_BTNTEXT on COLOR_BTNFACE; Qt: WindowText on Window.
    ColourPair dialog;
    // COLOR_MENUTEXT on COLOR_MENUBAR; Qt: WindowText on Window of the menu bar's palette.
    ColourPair menuBar;
    // COLOR_HOTLIGHT, which belongs on COLOR_WINDOW; Qt: Link, which belongs on Base.
    Rgb link;
};

struct Appearance {
    SystemColours system;
    // Windows' high contrast (SPI_GETHIGHCONTRAST), or a dark palette in Qt: only the system's
    // own pairs are used then.
    bool highContrast = false;
};

// The colours of every text the windows colour themselves.
struct WindowColours {
    ColourPair link;         // the About window's two links
    ColourPair title;        // the About window's lblTitle
    ColourPair preview;      // the main window's Label1
    ColourPair row;          // List1's entries
    ColourPair selectedRow;  // List1's selected entry
};

// The fixed colours where they are readable and high contrast is off, the system's pairs
// otherwise; every pair returned has at least kLeastTextContrast, as a text that a system pair
// still leaves unreadable becomes black or white, whichever stands out more.
WindowColours ChooseColours(const Appearance& appearance);

}  // namespace brackwin
