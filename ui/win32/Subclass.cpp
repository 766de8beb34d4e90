#include "Subclass.h"

namespace brackwin::win32 {

void Subclass(HWND control, WNDPROC procedure) {
    // The previous procedure is in place before the first message can need it.
    SetWindowLongPtrW(control, GWLP_USERDATA, GetWindowLongPtrW(control, GWLP_WNDPROC));
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
}

LRESULT CallPrevious(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_USERDATA)),
                           control, message, wParam, lParam);
}

}  // namespace brackwin::win32
