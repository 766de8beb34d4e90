#include "TaviLink.h"

#include <windowsx.h>

#include "Fonts.h"
#include "LinkAccessible.h"
#include "SystemAppearance.h"
#include "UserInterfaceServices.h"
#include "Utf16.h"

namespace brackwin::win32 {

namespace {

constexpr wchar_t kTaviLinkClass[] = L"BrackwinTaviLink";

}  // namespace

void TaviLink::Create(HWND parent, int id, int dpi) {
    RegisterWindowClass(kTaviLinkClass, LoadCursorW(nullptr, IDC_HAND), nullptr);
    font_ = MsPGothicFont(9.75, dpi, FW_NORMAL, true);
    Window::Create(kTaviLinkClass, 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, parent, id);
}

void TaviLink::SetDpi(int dpi) {
    font_ = MsPGothicFont(9.75, dpi, FW_NORMAL, true);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TaviLink::SetUrl(std::string_view url) {
    url_ = url;
}

std::string TaviLink::Caption() const {
    return GetText(Handle());
}

void TaviLink::SetCaption(std::string_view caption) {
    SetText(Handle(), caption);
    InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT TaviLink::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            OnPaint(BeginPaint(Handle(), &paint));
            EndPaint(Handle(), &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            OnPaint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_.get());
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(Handle(), nullptr, TRUE);
            return 0;
        case WM_UPDATEUISTATE: {
            const LRESULT result = Window::OnMessage(message, wParam, lParam);
            InvalidateRect(Handle(), nullptr, TRUE);
            return result;
        }
        case WM_LBUTTONDOWN:
            OnLeftButtonDown();
            return 0;
        case WM_LBUTTONUP:
            OnLeftButtonUp({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_CAPTURECHANGED:
            pressed_ = false;
            return 0;
        case WM_KEYDOWN:
            OnKeyDown(wParam, lParam);
            return 0;
        case WM_GETOBJECT:
            if (AsksForClientArea(lParam)) {
                if (!accessible_) {
                    accessible_ = LinkAccessible::Create(*this);
                }
                if (accessible_) {
                    return HandOver(*accessible_, wParam);
                }
            }
            return Window::OnMessage(message, wParam, lParam);
        default:
            return Window::OnMessage(message, wParam, lParam);
    }
}

void TaviLink::OnPaint(HDC dc) {
    RECT area{};
    GetClientRect(Handle(), &area);
    const ColourPair colours = CurrentColours().link;
    SetDCBrushColor(dc, ToColorRef(colours.background));
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    const SelectedObject font(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(colours.text));
    const std::wstring caption = Widen(Caption());
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &area,
              DT_LEFT | DT_TOP | DT_NOPREFIX);
    // As with the system's controls, the focus rectangle waits until the keyboard is used.
    if (GetFocus() == Handle() &&
        (SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0) {
        DrawFocusRect(dc, &area);
    }
}

void TaviLink::OnLeftButtonDown() {
    SetFocus(Handle());
    SetCapture(Handle());
    pressed_ = true;
}

// Like a button, the link opens on release, and only when the pointer is still over it.
void TaviLink::OnLeftButtonUp(POINT point) {
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (GetCapture() == Handle()) {
        ReleaseCapture();
    }
    RECT area{};
    GetClientRect(Handle(), &area);
    if (wasPressed && PtInRect(&area, point)) {
        Open();
    }
}

// Space opens the focused link once however long it is held; Enter is left to the window, whose
// default button it presses.
void TaviLink::OnKeyDown(WPARAM key, LPARAM flags) {
    constexpr LPARAM kRepeated = 1 << 30;
    if (key == VK_SPACE && (flags & kRepeated) == 0) {
        Open();
    }
}

void TaviLink::Open() {
    UserInterfaceServices::Current().OpenUrl(url_);
}

}  // namespace brackwin::win32
