#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

#include "Dpi.h"
#include "Handles.h"
#include "TwipsToPixels.h"
#include "Window.h"

namespace brackwin::win32 {

// A top-level window laid out in twips, as the program's forms are: a fixed client area, its
// controls placed in twips and shown in the default font, the dialog keys (Tab, Enter, Esc)
// taken through the message loop, the keyboard focus kept while another window is active, and
// the layout made again when the window moves to a monitor of other dots per inch.
class FormWindow : public Window {
  public:
    ~FormWindow() override;

    int Dpi() const noexcept { return dpi_; }

    // From now on the message loop ends (WM_QUIT) when the last of the program's forms has been
    // destroyed: the program ends when its last window has closed.
    static void QuitWhenLastFormCloses() noexcept { quitWhenLastFormCloses_ = true; }

  protected:
    FormWindow() = default;

    // Creates the hidden window with a client area of the given size in twips.
    void CreateForm(DWORD exStyle, DWORD style, int clientWidth, int clientHeight);
    // Gives the window its menu bar, which the window then owns; the client area keeps its size.
    void SetMenuBar(UniqueMenu menu);
    // Creates a visible control, a child of parent (the window or a frame), named by its control
    // ID and in the default font; Place puts it in its place.
    HWND AddControl(HWND parent, const wchar_t* className, int id, DWORD style, DWORD exStyle = 0);
    // Places a control in twips of its parent's client area, now and after every change of dpi.
    void Place(HWND control, const TwipsRect& twips);
    // Chains the keyboard focus through the window's own controls in the order given.
    static void SetTabOrder(std::initializer_list<HWND> controls);
    // The control that takes the focus when the window is activated, until the user moves it.
    void FocusOnActivation(HWND control) noexcept { focus_ = control; }

    int Pixels(int twips) const { return TwipsToPixels(twips, dpi_); }
    // The font of the controls that set none, which AddControl gives them.
    HFONT DefaultFont() const noexcept { return defaultFont_.get(); }

    // The font of the controls that set none, at dpi: the system's message font unless the form
    // was designed with another.
    virtual UniqueFont CreateDefaultFont(int dpi) const;
    // The layout has followed a change of dpi: a form remakes the fonts of its own choosing.
    virtual void OnDpiChanged() {}

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    struct Placement {
        HWND control;
        TwipsRect twips;
    };

    void SizeClientArea();
    void MoveToPlace(const Placement& placement) const;
    void RememberFocus();
    void OnDpiChangedMessage(int dpi, const RECT& suggested);
    void NoLongerOpen() noexcept;

    static int openForms_;
    static bool quitWhenLastFormCloses_;

    int dpi_ = 96;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    UniqueFont defaultFont_;
    std::vector<Placement> placements_;
    HWND focus_ = nullptr;
    bool open_ = false;
};

// Whether a top-level window is one of the program's forms, which take the dialog keys.
bool IsForm(HWND window);

}  // namespace brackwin::win32
