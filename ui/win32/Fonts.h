#pragma once

#include <windows.h>

#include "Handles.h"

namespace brackwin::win32 {

// "ＭＳ Ｐゴシック", the face the windows were designed in, at the given size for dpi, in the
// Shift-JIS character set. Where that face is not installed, the system's user-interface font
// stands in, which on a Japanese system is a Japanese one. Throws std::runtime_error when the
// system cannot create the font.
UniqueFont MsPGothicFont(double points, int dpi, LONG weight, bool underline);

// The system's message font scaled to dpi: the windows' default font.
UniqueFont MessageFont(int dpi);

}  // namespace brackwin::win32
