#include "SystemAppearance.h"

namespace brackwin::win32 {

namespace {

std::optional<bool> highContrastOverride;

Rgb SystemColour(int index) {
    return ToRgb(GetSysColor(index));
}

bool HighContrastOn() {
    if (highContrastOverride) {
        return *highContrastOverride;
    }
    HIGHCONTRASTW highContrast{};
    highContrast.cbSize = sizeof highContrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0) &&
           (highContrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

Rgb ToRgb(COLORREF colour) {
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

COLORREF ToColorRef(Rgb colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

// Systems before flat menus have no menu-bar colour: the menu's stands in.
Appearance CurrentAppearance() {
    const int menuBar = GetSysColorBrush(COLOR_MENUBAR) != nullptr ? COLOR_MENUBAR : COLOR_MENU;
    SystemColours system{};
    system.window = {SystemColour(COLOR_WINDOWTEXT), SystemColour(COLOR_WINDOW)};
    system.selection = {SystemColour(COLOR_HIGHLIGHTTEXT), SystemColour(COLOR_HIGHLIGHT)};
    system.dialog = {SystemColour(COLOR_BTNTEXT), SystemColour(COLOR_BTNFACE)};
    system.menuBar = {SystemColour(COLOR_MENUTEXT), SystemColour(menuBar)};
    system.link = SystemColour(COLOR_HOTLIGHT);
    return {system, HighContrastOn()};
}

WindowColours CurrentColours() {
    return ChooseColours(CurrentAppearance());
}

void OverrideHighContrast(std::optional<bool> on) {
    highContrastOverride = on;
}

}  // namespace brackwin::win32
