#include "frmAbout.h"

#include <commctrl.h>

#include <memory>
#include <utility>

#include "AboutContents.h"
#include "Fonts.h"
#include "SystemAppearance.h"
#include "Utf16.h"

namespace brackwin::win32 {

frmAbout* frmAbout::open_ = nullptr;

void frmAbout::ShowAbout(HICON icon) {
    if (open_ != nullptr) {
        SetForegroundWindow(open_->Handle());
        return;
    }
    auto window = std::unique_ptr<frmAbout>(new frmAbout(icon));
    window->Form_Load();
    open_ = window.release();
    ShowWindow(open_->Handle(), SW_SHOW);
}

frmAbout* frmAbout::Current() {
    return open_;
}

frmAbout::frmAbout(HICON icon) : icon_(icon) {
    CreateForm(WS_EX_DLGMODALFRAME, WS_CAPTION | WS_SYSMENU, 5940, 4200);

    picIcon =
        AddControl(Handle(), WC_STATICW, ID::picIcon, SS_ICON | SS_CENTERIMAGE, WS_EX_CLIENTEDGE);
    Place(picIcon, {240, 240, 540, 540});

    lblTitle = AddControl(Handle(), WC_STATICW, ID::lblTitle, SS_LEFT | SS_NOPREFIX);
    titleFont_ = MsPGothicFont(11.25, Dpi(), FW_BOLD, false);
    SendMessageW(lblTitle, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);
    Place(lblTitle, {1050, 240, 3885, 480});

    lblVersion = AddControl(Handle(), WC_STATICW, ID::lblVersion, SS_LEFT | SS_NOPREFIX);
    Place(lblVersion, {1080, 720, 3885, 225});

    // The frames are control parents, so Tab reaches the links inside them.
    Frame1 = AddControl(Handle(), WC_BUTTONW, ID::Frame1, BS_GROUPBOX, WS_EX_CONTROLPARENT);
    SetText(Frame1, "最新版・サポート情報");
    Place(Frame1, {1080, 1080, 3615, 855});
    TAVI_HP_LINK.Create(Frame1, ID::TAVI_HP_LINK, Dpi());
    Place(TAVI_HP_LINK.Handle(), {120, 240, 3495, 495});

    Frame2 = AddControl(Handle(), WC_BUTTONW, ID::Frame2, BS_GROUPBOX, WS_EX_CONTROLPARENT);
    SetText(Frame2, "作者連絡先");
    Place(Frame2, {1080, 2040, 3615, 615});
    TAVI_LINK_MAIL.Create(Frame2, ID::TAVI_LINK_MAIL, Dpi());
    Place(TAVI_LINK_MAIL.Handle(), {120, 240, 3495, 255});

    Label1 = AddControl(Handle(), WC_STATICW, ID::Label1, SS_LEFT | SS_NOPREFIX);
    Place(Label1, {120, 3000, 3975, 735});

    cmdOK = AddControl(Handle(), WC_BUTTONW, ID::cmdOK, BS_DEFPUSHBUTTON | WS_TABSTOP);
    SetText(cmdOK, "OK");
    Place(cmdOK, {4440, 3480, 1310, 345});

    SetTabOrder({cmdOK, picIcon, lblTitle, lblVersion, Frame1, Frame2, Label1});
    FocusOnActivation(cmdOK);
}

void frmAbout::Form_Load() {
    const AboutContents contents = MakeAboutContents();
    SendMessageW(picIcon, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SetText(Handle(), contents.caption);
    SetText(lblVersion, contents.version);
    SetText(lblTitle, contents.title);
    TAVI_HP_LINK.SetUrl(contents.homePage.url);
    TAVI_HP_LINK.SetCaption(contents.homePage.caption);
    TAVI_LINK_MAIL.SetUrl(contents.mail.url);
    TAVI_LINK_MAIL.SetCaption(contents.mail.caption);
    SetText(Label1, contents.disclaimer);
}

// Destroying the window deletes this object: nothing may follow.
void frmAbout::cmdOK_Click() {
    DestroyWindow(Handle());
}

LRESULT frmAbout::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return 0;
        case WM_CLOSE:
            cmdOK_Click();
            return 0;
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            OnPaint(BeginPaint(Handle(), &paint));
            EndPaint(Handle(), &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            OnPaint(reinterpret_cast<HDC>(wParam));
            return 0;
        default:
            return FormWindow::OnMessage(message, wParam, lParam);
    }
}

// Enter comes as IDOK and Esc as IDCANCEL: both are OK.
void frmAbout::OnCommand(int id) {
    if (id == ID::cmdOK || id == IDCANCEL) {
        cmdOK_Click();
    }
}

LRESULT frmAbout::OnCtlColorStatic(HDC dc, HWND control) {
    const LRESULT brush = FormWindow::OnMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                reinterpret_cast<LPARAM>(control));
    if (control == lblTitle) {
        SetTextColor(dc, ToColorRef(CurrentColours().title.text));
    }
    return brush;
}

// Line1: the grey line lies over the white one's upper row, which leaves the etched look.
void frmAbout::OnPaint(HDC dc) {
    const int y = Pixels(2880);
    const int right = Pixels(5534);
    const RECT white{Pixels(-15), y, right, y + 2};
    const RECT grey{Pixels(-30), y, right, y + 1};
    SetDCBrushColor(dc, RGB(255, 255, 255));
    FillRect(dc, &white, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(dc, RGB(128, 128, 128));
    FillRect(dc, &grey, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// The design's default font: in it the disclaimer fills its box in four lines.
UniqueFont frmAbout::CreateDefaultFont(int dpi) const {
    return MsPGothicFont(9, dpi, FW_NORMAL, false);
}

void frmAbout::OnDpiChanged() {
    UniqueFont titleFont = MsPGothicFont(11.25, Dpi(), FW_BOLD, false);
    SendMessageW(lblTitle, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont.get()), FALSE);
    titleFont_ = std::move(titleFont);
    TAVI_HP_LINK.SetDpi(Dpi());
    TAVI_LINK_MAIL.SetDpi(Dpi());
}

void frmAbout::OnWindowGone() {
    if (open_ == this) {
        open_ = nullptr;
    }
    delete this;
}

}  // namespace brackwin::win32
