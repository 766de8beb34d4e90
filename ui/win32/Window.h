#pragma once

#include <windows.h>

namespace brackwin::win32 {

// A window whose messages go to a C++ object. The window procedure finds the object through the
// pointer that comes with WM_NCCREATE, kept in the window's GWLP_USERDATA, and hands it every
// message up to WM_NCDESTROY. No exception leaves the procedure: one that escapes a handler is
// reported and ends the program.
class Window {
  public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // Destroys the window if it still exists, without its messages reaching this object again.
    virtual ~Window();

    HWND Handle() const noexcept { return window_; }

  protected:
    Window() = default;

    // Registers a window class whose windows belong to Window objects; again is harmless.
    static void RegisterWindowClass(const wchar_t* className, HCURSOR cursor, HBRUSH background);
    // Creates this object's window of such a class: a top-level window when parent is null,
    // otherwise a child with the control ID id, placed later. Throws std::system_error.
    void Create(const wchar_t* className, DWORD exStyle, DWORD style, HWND parent, int id);

    // Every message of the window; the default is DefWindowProcW.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The window is gone (after WM_NCDESTROY), and no message comes any more: an object that
    // owns itself may delete itself here.
    virtual void OnWindowGone() {}

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept;

    HWND window_ = nullptr;
};

// Throws the system's last error as a std::system_error that says what failed, or as
// std::bad_alloc when memory ran out, which the handlers that can go on catch.
[[noreturn]] void ThrowLastError(const char* what);

}  // namespace brackwin::win32
