#include "Dpi.h"

#include <cmath>

#include "Handles.h"

namespace brackwin::win32 {

namespace {

using GetDpiForWindowCall = UINT(WINAPI*)(HWND);

// Looked up rather than linked, so the program still starts on systems without it.
GetDpiForWindowCall FindGetDpiForWindow() {
    static const auto call = reinterpret_cast<GetDpiForWindowCall>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return call;
}

}  // namespace

int WindowDpi(HWND window) {
    if (const GetDpiForWindowCall getDpiForWindow = FindGetDpiForWindow()) {
        if (const UINT dpi = getDpiForWindow(window); dpi != 0) {
            return static_cast<int>(dpi);
        }
    }
    return GetDeviceCaps(WindowDc(window).Get(), LOGPIXELSX);
}

int SystemDpi() {
    return GetDeviceCaps(WindowDc(nullptr).Get(), LOGPIXELSY);
}

LONG FontHeight(double points, int dpi) {
    return -std::lround(points * dpi / 72.0);
}

}  // namespace brackwin::win32
