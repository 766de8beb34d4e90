#pragma once

#include <windows.h>

namespace brackwin::win32 {

// A bitmap of 32-bit pixels that dc can draw into, top row first, so a test reads its pixels at
// bits as rows of width values.
inline HBITMAP CreatePixelBitmap(HDC dc, int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

}  // namespace brackwin::win32
