#pragma once

#include <windows.h>

#include "ComApartment.h"
#include "FormWindow.h"
#include "Handles.h"
#include "TaviLink.h"

namespace brackwin::win32 {

// The About window: title, version, the home-page and mail links and the disclaimer. It is
// modeless and has no owner, at most one exists at a time, and it deletes itself when its
// window is destroyed.
class frmAbout final : public FormWindow {
  public:
    // The control IDs, which name the controls. OK is IDOK, the button Enter presses.
    struct ID {
        enum : int {
            cmdOK = IDOK,
            picIcon = 101,
            lblTitle,
            lblVersion,
            Frame1,
            TAVI_HP_LINK,
            Frame2,
            TAVI_LINK_MAIL,
            Label1,
        };
    };

    // Builds, loads and shows the About window with the main window's icon, which stays the
    // caller's and must outlive the window; when one is already open, only brings it to the front.
    static void ShowAbout(HICON icon);
    // The open About window, or null when none is open.
    static frmAbout* Current();

  private:
    explicit frmAbout(HICON icon);

    void Form_Load();
    void cmdOK_Click();

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCommand(int id);
    LRESULT OnCtlColorStatic(HDC dc, HWND control);
    void OnPaint(HDC dc);
    UniqueFont CreateDefaultFont(int dpi) const override;
    void OnDpiChanged() override;
    void OnWindowGone() override;

    static frmAbout* open_;

    // Before the controls and after their accessible objects.
    ComApartment apartment_;
    HICON icon_;
    UniqueFont titleFont_;
    HWND picIcon;
    HWND lblTitle;
    HWND lblVersion;
    HWND Frame1;
    TaviLink TAVI_HP_LINK;
    HWND Frame2;
    TaviLink TAVI_LINK_MAIL;
    HWND Label1;
    HWND cmdOK;
};

}  // namespace brackwin::win32
