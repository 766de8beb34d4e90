#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace brackwin::win32 {

// The program keeps its text in UTF-8; the W calls take UTF-16. These convert at that boundary.
// An ill-formed sequence becomes U+FFFD; a NUL is kept. Throws std::bad_alloc when memory runs
// out.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// A window's or control's text, in UTF-8 or as the system keeps it.
std::string GetText(HWND window);
std::wstring GetWideText(HWND window);
void SetText(HWND window, std::string_view utf8);

}  // namespace brackwin::win32
