#include "Window.h"

#include <exception>
#include <new>
#include <system_error>

#include "EscapedError.h"

namespace brackwin::win32 {

Window::~Window() {
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void Window::RegisterWindowClass(const wchar_t* className, HCURSOR cursor, HBRUSH background) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        ThrowLastError("registering a window class");
    }
}

void Window::Create(const wchar_t* className, DWORD exStyle, DWORD style, HWND parent, int id) {
    const bool child = parent != nullptr;
    const int position = child ? 0 : CW_USEDEFAULT;
    HMENU menuOrId = child ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
    if (CreateWindowExW(exStyle, className, L"", style, position, position, position, position,
                        parent, menuOrId, GetModuleHandleW(nullptr), this) == nullptr) {
        ThrowLastError("creating a window");
    }
}

LRESULT Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    // Messages before WM_NCCREATE (WM_GETMINMAXINFO) and after a destructor let go of the window.
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        // A handler may destroy the window and with it the object: only WM_NCDESTROY, the last
        // message, touches the object after its handler.
        const LRESULT result = self->OnMessage(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            self->window_ = nullptr;
            self->OnWindowGone();
        }
        return result;
    } catch (const std::exception& error) {
        ReportEscapedError(error.what());
    } catch (...) {
        ReportEscapedError("unknown error");
    }
}

void ThrowLastError(const char* what) {
    const DWORD error = GetLastError();
    if (error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY) {
        throw std::bad_alloc();
    }
    throw std::system_error(static_cast<int>(error), std::system_category(), what);
}

}  // namespace brackwin::win32
