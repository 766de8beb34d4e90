#include "FormWindow.h"

#include <commctrl.h>

#include <cwchar>
#include <iterator>
#include <utility>

#include "Fonts.h"

namespace brackwin::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"BrackwinForm";

// The manifest's common controls of version 6 take the place of the standard control classes.
void RegisterControlClasses() {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
}

}  // namespace

int FormWindow::openForms_ = 0;
bool FormWindow::quitWhenLastFormCloses_ = false;

// A form destroyed with its object closes without a message: it counts as closed all the same.
FormWindow::~FormWindow() {
    NoLongerOpen();
}

void FormWindow::CreateForm(DWORD exStyle, DWORD style, int clientWidth, int clientHeight) {
    RegisterControlClasses();
    RegisterWindowClass(kFormClass, LoadCursorW(nullptr, IDC_ARROW),
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    Create(kFormClass, exStyle, style, nullptr, 0);
    open_ = true;
    ++openForms_;
    dpi_ = WindowDpi(Handle());
    defaultFont_ = CreateDefaultFont(dpi_);
    clientWidth_ = clientWidth;
    clientHeight_ = clientHeight;
    SizeClientArea();
}

HWND FormWindow::AddControl(HWND parent, const wchar_t* className, int id, DWORD style,
                            DWORD exStyle) {
    HWND control = CreateWindowExW(exStyle, className, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0,
                                   0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (control == nullptr) {
        ThrowLastError("creating a control");
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont_.get()), FALSE);
    return control;
}

void FormWindow::SetMenuBar(UniqueMenu menu) {
    if (!SetMenu(Handle(), menu.get())) {
        ThrowLastError("setting the menu bar");
    }
    static_cast<void>(menu.release());
    SizeClientArea();
}

void FormWindow::Place(HWND control, const TwipsRect& twips) {
    placements_.push_back({control, twips});
    MoveToPlace(placements_.back());
}

void FormWindow::SetTabOrder(std::initializer_list<HWND> controls) {
    for (auto it = controls.begin(); it + 1 < controls.end(); ++it) {
        SetWindowPos(*(it + 1), *it, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

UniqueFont FormWindow::CreateDefaultFont(int dpi) const {
    return MessageFont(dpi);
}

void FormWindow::MoveToPlace(const Placement& placement) const {
    MoveWindow(placement.control, Pixels(placement.twips.left), Pixels(placement.twips.top),
               Pixels(placement.twips.width), Pixels(placement.twips.height), TRUE);
}

// The frame's size depends on the style and the dpi, so it is measured rather than computed.
void FormWindow::SizeClientArea() {
    RECT frame{};
    RECT client{};
    GetWindowRect(Handle(), &frame);
    GetClientRect(Handle(), &client);
    SetWindowPos(Handle(), nullptr, 0, 0,
                 Pixels(clientWidth_) + (frame.right - frame.left) - client.right,
                 Pixels(clientHeight_) + (frame.bottom - frame.top) - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT FormWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        // Activation puts the focus on the window itself, which hands it on to the control that
        // had it when the window was left.
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                RememberFocus();
            }
            break;
        case WM_SETFOCUS:
            if (IsWindow(focus_)) {
                SetFocus(focus_);
                return 0;
            }
            break;
        case WM_DPICHANGED:
            OnDpiChangedMessage(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_NCDESTROY:
            NoLongerOpen();
            if (openForms_ == 0 && quitWhenLastFormCloses_) {
                PostQuitMessage(0);
            }
            break;
        default:
            break;
    }
    return Window::OnMessage(message, wParam, lParam);
}

void FormWindow::RememberFocus() {
    HWND focused = GetFocus();
    if (focused != nullptr && IsChild(Handle(), focused)) {
        focus_ = focused;
    }
}

void FormWindow::OnDpiChangedMessage(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    const UniqueFont oldFont = std::move(defaultFont_);
    defaultFont_ = CreateDefaultFont(dpi_);
    for (const Placement& placement : placements_) {
        if (reinterpret_cast<HFONT>(SendMessageW(placement.control, WM_GETFONT, 0, 0)) ==
            oldFont.get()) {
            SendMessageW(placement.control, WM_SETFONT,
                         reinterpret_cast<WPARAM>(defaultFont_.get()), FALSE);
        }
        MoveToPlace(placement);
    }
    OnDpiChanged();
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SizeClientArea();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void FormWindow::NoLongerOpen() noexcept {
    if (open_) {
        open_ = false;
        --openForms_;
    }
}

bool IsForm(HWND window) {
    wchar_t className[std::size(kFormClass) + 1] = {};
    return GetClassNameW(window, className, static_cast<int>(std::size(className))) != 0 &&
           std::wcscmp(className, kFormClass) == 0;
}

}  // namespace brackwin::win32
