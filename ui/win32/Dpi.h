#pragma once

#include <windows.h>

namespace brackwin::win32 {

// A control's place in twips of its parent's client area, as the layouts give it.
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

// The dots per inch a window is drawn at: its monitor's, from GetDpiForWindow where the system
// has it (Windows 10 version 1607 on), otherwise its device context's.
int WindowDpi(HWND window);

// The dots per inch the system metrics and fonts are given in.
int SystemDpi();

// The height of a font of the given points at dpi, as a LOGFONT's lfHeight (negative: the
// character height, without the leading).
LONG FontHeight(double points, int dpi);

}  // namespace brackwin::win32
