#pragma once

#include <windows.h>

#include <optional>

#include "ColourPairs.h"

namespace brackwin::win32 {

Rgb ToRgb(COLORREF colour);
COLORREF ToColorRef(Rgb colour);

// The system's colours as they are now, and whether high contrast is on.
Appearance CurrentAppearance();
// The colours the windows draw their own texts in, chosen for the current appearance. Read at
// each paint, so a change of colours or of high contrast shows at the next one.
WindowColours CurrentColours();

// Wine cannot switch high contrast on, so tests stand in for the switch; nullopt asks the system
// again.
void OverrideHighContrast(std::optional<bool> on);

}  // namespace brackwin::win32
