#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "DelegatingAccessible.h"
#include "Handles.h"
#include "Window.h"

namespace brackwin::win32 {

// A hyperlink: shows its caption underlined in the link colours (blue on light grey, or the
// system's pair in high contrast), a CR LF breaking the line, and hands its url to the desktop
// through the user-interface services when clicked, or when Space is pressed while it has the
// focus. A tab stop, with a focus rectangle while it has the focus, and the hand pointer over it.
// The caption is the control's window text.
class TaviLink final : public Window {
  public:
    TaviLink() = default;

    // Creates the control, a child of parent named by its control ID, in the font for dpi.
    void Create(HWND parent, int id, int dpi);
    // Takes the font size for new dots per inch.
    void SetDpi(int dpi);

    const std::string& Url() const noexcept { return url_; }
    void SetUrl(std::string_view url);
    std::string Caption() const;
    void SetCaption(std::string_view caption);
    // Hands the url to the desktop, as a click does.
    void Open();

  private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint(HDC dc);
    void OnLeftButtonDown();
    void OnLeftButtonUp(POINT point);
    void OnKeyDown(WPARAM key, LPARAM flags);

    std::string url_;
    UniqueFont font_;
    bool pressed_ = false;
    // Made when a screen reader first asks; disconnected with the control.
    AccessiblePtr accessible_;
};

}  // namespace brackwin::win32
