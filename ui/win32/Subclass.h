#pragma once

#include <windows.h>

namespace brackwin::win32 {

// Puts procedure in front of a control's own window procedure; procedure hands on what it does
// not take itself through CallPrevious. The previous procedure is kept in the control's
// GWLP_USERDATA. (comctl32's SetWindowSubclass finds its chain in a window property at every
// message, which under Wine cost about 0.1 ms a message, and the result list gets several in
// every round of a search.)
void Subclass(HWND control, WNDPROC procedure);
LRESULT CallPrevious(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace brackwin::win32
