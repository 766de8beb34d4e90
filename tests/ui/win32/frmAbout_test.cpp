#include <oleacc.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "AccessibleObjects.h"
#include "Bitmaps.h"
#include "FormWindow.h"
#include "Handles.h"
#include "MessageLoop.h"
#include "StandInAppearance.h"
#include "StandInServices.h"
#include "TwipsToPixels.h"
#include "Utf16.h"
#include "frmAbout.h"

namespace brackwin::win32 {
namespace {

using ID = frmAbout::ID;

constexpr char kDisclaimer[] =
    "このソフトウェアの使用に関して、直接的または間接的に生じる一切の損害について、作者は如何なる"
    "責任も負いません。このことは、このソフトウェアの使用をもって同意されたものと見なします。";

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchId(HWND child, LPARAM search) {
    auto* wanted = reinterpret_cast<ControlSearch*>(search);
    if (GetDlgCtrlID(child) == wanted->id) {
        wanted->found = child;
        return FALSE;
    }
    return TRUE;
}

// The window's control with the given ID, wherever it lies (the links lie in the frames).
HWND FindControl(HWND window, int id) {
    ControlSearch search{id, nullptr};
    EnumChildWindows(window, MatchId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK CountForm(HWND window, LPARAM count) {
    if (IsForm(window)) {
        ++*reinterpret_cast<int*>(count);
    }
    return TRUE;
}

int AboutWindowCount() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountForm, reinterpret_cast<LPARAM>(&count));
    return count;
}

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font;
}

LONG PointsHigh(double points, int dpi) {
    return -std::lround(points * dpi / 72.0);
}

RECT PlaceInParent(HWND control) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

RECT PixelsOf(const TwipsRect& twips, int dpi) {
    const int left = TwipsToPixels(twips.left, dpi);
    const int top = TwipsToPixels(twips.top, dpi);
    return {left, top, left + TwipsToPixels(twips.width, dpi),
            top + TwipsToPixels(twips.height, dpi)};
}

::testing::AssertionResult SameRect(const RECT& actual, const RECT& expected) {
    if (EqualRect(&actual, &expected)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "(" << actual.left << ", " << actual.top << ")-(" << actual.right << ", "
           << actual.bottom << ") instead of (" << expected.left << ", " << expected.top << ")-("
           << expected.right << ", " << expected.bottom << ")";
}

// A key pressed on the control that has the focus, through the program's message loop.
void PressKey(WPARAM key, LPARAM flags = 1) {
    PostMessageW(GetFocus(), WM_KEYDOWN, key, flags);
    ProcessPendingMessages();
}

// Another top-level window of the program, active in the About window's place.
UniqueWindow ActivateAnotherWindow() {
    UniqueWindow other(CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                       nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    SetForegroundWindow(other.get());
    SetActiveWindow(other.get());
    ProcessPendingMessages();
    return other;
}

class frmAboutTest : public testing::Test {
  protected:
    void SetUp() override {
        UserInterfaceServices::Install(&services_);
        icon_.reset(static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0)));
        ASSERT_TRUE(icon_);
    }

    void TearDown() override {
        if (frmAbout* open = frmAbout::Current()) {
            SendMessageW(open->Handle(), WM_CLOSE, 0, 0);
        }
        ProcessPendingMessages();
        EXPECT_EQ(AboutWindowCount(), 0);
        UserInterfaceServices::Install(nullptr);
    }

    // Shows the About window and returns it, or null when none opened.
    HWND Open() {
        frmAbout::ShowAbout(icon_.get());
        ProcessPendingMessages();
        return frmAbout::Current() != nullptr ? frmAbout::Current()->Handle() : nullptr;
    }

    StandInServices services_;
    UniqueIcon icon_;
};

TEST_F(frmAboutTest, ShowsEveryTextExactly) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    HWND cmdOK = FindControl(about, ID::cmdOK);
    ASSERT_NE(cmdOK, nullptr);

    EXPECT_EQ(GetText(about), "Brackwinのﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_EQ(GetText(FindControl(about, ID::lblTitle)), "Brackwin");
    EXPECT_EQ(GetText(FindControl(about, ID::lblVersion)), "ﾊﾞｰｼﾞｮﾝ 1.0.0");
    EXPECT_EQ(GetText(FindControl(about, ID::Frame1)), "最新版・サポート情報");
    EXPECT_EQ(GetText(FindControl(about, ID::Frame2)), "作者連絡先");
    EXPECT_EQ(GetText(FindControl(about, ID::TAVI_HP_LINK)),
              "「Brackwin ホームページ」\r\nhttps://brackwin.example.org/");
    EXPECT_EQ(GetText(FindControl(about, ID::TAVI_LINK_MAIL)), "brackwin@example.org");
    EXPECT_EQ(GetText(FindControl(about, ID::Label1)), kDisclaimer);
    EXPECT_EQ(GetText(cmdOK), "OK");
    EXPECT_EQ(GetWindowLongW(cmdOK, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

TEST_F(frmAboutTest, ControlsKeepTheirFonts) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    const int dpi = frmAbout::Current()->Dpi();

    const LOGFONTW title = FontOf(FindControl(about, ID::lblTitle));
    EXPECT_EQ(title.lfHeight, PointsHigh(11.25, dpi));
    EXPECT_EQ(title.lfWeight, FW_BOLD);
    EXPECT_EQ(title.lfCharSet, SHIFTJIS_CHARSET);
    // The design's face, or where it is missing the system's user-interface font.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    const std::wstring face = title.lfFaceName;
    EXPECT_TRUE(face == L"ＭＳ Ｐゴシック" || face == metrics.lfMessageFont.lfFaceName)
        << Narrow(face);

    for (int link : {ID::TAVI_HP_LINK, ID::TAVI_LINK_MAIL}) {
        const LOGFONTW font = FontOf(FindControl(about, link));
        EXPECT_EQ(font.lfFaceName, face);
        EXPECT_EQ(font.lfHeight, PointsHigh(9.75, dpi));
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
        EXPECT_TRUE(font.lfUnderline);
        EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
    }
    for (int other : {ID::lblVersion, ID::Frame1, ID::Frame2, ID::Label1, ID::cmdOK}) {
        const LOGFONTW font = FontOf(FindControl(about, other));
        EXPECT_EQ(font.lfFaceName, face);
        EXPECT_EQ(font.lfHeight, PointsHigh(9, dpi));
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
        EXPECT_FALSE(font.lfUnderline);
    }
}

// What each text needs in its control's font, wrapped at the control's width where it wraps.
// The disclaimer is left out: its box holds it in four lines of the design's face only, and
// where that face is missing the stand-in may need a fifth.
TEST_F(frmAboutTest, TextsFitTheirBoxes) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);

    const struct {
        int id;
        UINT format;
    } texts[] = {
        {ID::lblTitle, DT_WORDBREAK},
        {ID::lblVersion, DT_WORDBREAK},
        {ID::TAVI_HP_LINK, 0},
        {ID::TAVI_LINK_MAIL, 0},
    };
    for (const auto& text : texts) {
        HWND control = FindControl(about, text.id);
        ASSERT_NE(control, nullptr);
        RECT box{};
        GetClientRect(control, &box);
        RECT needed = box;
        const std::wstring shown = Widen(GetText(control));
        const WindowDc dc(control);
        const SelectedObject font(
            dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
        DrawTextW(dc.Get(), shown.c_str(), static_cast<int>(shown.size()), &needed,
                  DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | text.format);
        EXPECT_LE(needed.bottom, box.bottom) << "control " << text.id;
        EXPECT_LE(needed.right, box.right) << "control " << text.id;
    }
}

TEST_F(frmAboutTest, HasAFixedDialogFrameAndNoOwner) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    const int dpi = frmAbout::Current()->Dpi();

    const LONG style = GetWindowLongW(about, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(GetWindow(about, GW_OWNER), nullptr);
    EXPECT_EQ(GetParent(about), nullptr);
    RECT client{};
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, TwipsToPixels(5940, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(4200, dpi));
}

struct Placement {
    const char* name;
    int id;
    int inside;  // the frame, or 0 for the window
    TwipsRect twips;
};

constexpr Placement kPlacements[] = {
    {"picIcon", ID::picIcon, 0, {240, 240, 540, 540}},
    {"lblTitle", ID::lblTitle, 0, {1050, 240, 3885, 480}},
    {"lblVersion", ID::lblVersion, 0, {1080, 720, 3885, 225}},
    {"Frame1", ID::Frame1, 0, {1080, 1080, 3615, 855}},
    {"TAVI_HP_LINK", ID::TAVI_HP_LINK, ID::Frame1, {120, 240, 3495, 495}},
    {"Frame2", ID::Frame2, 0, {1080, 2040, 3615, 615}},
    {"TAVI_LINK_MAIL", ID::TAVI_LINK_MAIL, ID::Frame2, {120, 240, 3495, 255}},
    {"Label1", ID::Label1, 0, {120, 3000, 3975, 735}},
    {"cmdOK", ID::cmdOK, 0, {4440, 3480, 1310, 345}},
};

TEST_F(frmAboutTest, PlacesControlsInTwips) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    const int dpi = frmAbout::Current()->Dpi();

    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(placement.name);
        HWND control = FindControl(about, placement.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetParent(control),
                  placement.inside != 0 ? FindControl(about, placement.inside) : about);
        EXPECT_TRUE(SameRect(PlaceInParent(control), PixelsOf(placement.twips, dpi)));
    }
}

TEST_F(frmAboutTest, FollowsAChangeOfDpi) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    const int dpi = frmAbout::Current()->Dpi() * 3 / 2;
    RECT suggested{};
    GetWindowRect(about, &suggested);

    SendMessageW(about, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));

    RECT client{};
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, TwipsToPixels(5940, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(4200, dpi));
    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(placement.name);
        EXPECT_TRUE(SameRect(PlaceInParent(FindControl(about, placement.id)),
                             PixelsOf(placement.twips, dpi)));
    }
    EXPECT_EQ(FontOf(FindControl(about, ID::lblTitle)).lfHeight, PointsHigh(11.25, dpi));
    EXPECT_EQ(FontOf(FindControl(about, ID::TAVI_HP_LINK)).lfHeight, PointsHigh(9.75, dpi));
    EXPECT_EQ(FontOf(FindControl(about, ID::Label1)).lfHeight, PointsHigh(9, dpi));
}

// The client area printed into a bitmap of a colour the window never paints.
class ClientImage {
  public:
    explicit ClientImage(HWND window) : dc_(CreateCompatibleDC(nullptr)) {
        GetClientRect(window, &area_);
        void* bits = nullptr;
        bitmap_.reset(CreatePixelBitmap(dc_, area_.right, area_.bottom, &bits));
        pixels_ = static_cast<const std::uint32_t*>(bits);
        const SelectedObject selected(dc_, bitmap_.get());
        SetDCBrushColor(dc_, kUnpainted);
        FillRect(dc_, &area_, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
        GdiFlush();
    }
    ~ClientImage() { DeleteDC(dc_); }
    ClientImage(const ClientImage&) = delete;
    ClientImage& operator=(const ClientImage&) = delete;

    COLORREF Pixel(int x, int y) const {
        const std::uint32_t bgr = pixels_[y * area_.right + x];
        return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
    }

    static constexpr COLORREF kUnpainted = RGB(1, 2, 3);

  private:
    HDC dc_;
    RECT area_{};
    std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter> bitmap_;
    const std::uint32_t* pixels_ = nullptr;
};

TEST_F(frmAboutTest, DrawsTheEtchedSeparator) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    const int dpi = frmAbout::Current()->Dpi();
    const int y = TwipsToPixels(2880, dpi);
    const int right = TwipsToPixels(5534, dpi);
    constexpr COLORREF grey = RGB(128, 128, 128);
    constexpr COLORREF white = RGB(255, 255, 255);

    const ClientImage image(about);

    EXPECT_EQ(image.Pixel(0, y), grey);
    EXPECT_EQ(image.Pixel(0, y + 1), white);
    EXPECT_EQ(image.Pixel(right - 1, y), grey);
    EXPECT_EQ(image.Pixel(right - 1, y + 1), white);
    EXPECT_EQ(image.Pixel(right, y), ClientImage::kUnpainted);
    EXPECT_EQ(image.Pixel(0, y - 1), ClientImage::kUnpainted);
    EXPECT_EQ(image.Pixel(0, y + 2), ClientImage::kUnpainted);
}

TEST_F(frmAboutTest, ShowsTheMainWindowsIconInsideABorder) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    HWND picIcon = FindControl(about, ID::picIcon);
    ASSERT_NE(picIcon, nullptr);

    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(picIcon, STM_GETICON, 0, 0)), icon_.get());
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(about, WM_GETICON, ICON_BIG, 0)), icon_.get());
    EXPECT_NE(GetWindowLongW(picIcon, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    RECT inside{};
    GetClientRect(picIcon, &inside);
    EXPECT_GE(inside.right, 32);
    EXPECT_GE(inside.bottom, 32);
}

TEST_F(frmAboutTest, ExistsOnlyOnce) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    HWND lblVersion = FindControl(about, ID::lblVersion);
    SetText(lblVersion, "changed");

    EXPECT_EQ(Open(), about);

    EXPECT_EQ(AboutWindowCount(), 1);
    EXPECT_TRUE(IsWindowVisible(about));
    EXPECT_EQ(GetText(lblVersion), "changed");
}

TEST_F(frmAboutTest, ShownAgainComesToTheFront) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    const UniqueWindow other = ActivateAnotherWindow();
    ASSERT_EQ(GetActiveWindow(), other.get());

    Open();

    EXPECT_EQ(GetActiveWindow(), about);
}

TEST_F(frmAboutTest, BuildsAFreshWindowAfterClosing) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    SetText(FindControl(about, ID::lblVersion), "changed");
    PressKey(VK_ESCAPE);
    ASSERT_FALSE(IsWindow(about));

    HWND again = Open();
    ASSERT_NE(again, nullptr);

    EXPECT_EQ(GetText(FindControl(again, ID::lblVersion)), "ﾊﾞｰｼﾞｮﾝ 1.0.0");
    EXPECT_EQ(AboutWindowCount(), 1);
}

TEST_F(frmAboutTest, StartsWithFocusOnOkAndTabsThroughTheLinks) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    HWND cmdOK = FindControl(about, ID::cmdOK);
    ASSERT_EQ(GetFocus(), cmdOK);

    for (HWND next :
         {FindControl(about, ID::TAVI_HP_LINK), FindControl(about, ID::TAVI_LINK_MAIL), cmdOK}) {
        PressKey(VK_TAB);
        EXPECT_EQ(GetFocus(), next);
    }
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    for (HWND previous :
         {FindControl(about, ID::TAVI_LINK_MAIL), FindControl(about, ID::TAVI_HP_LINK), cmdOK}) {
        PressKey(VK_TAB);
        EXPECT_EQ(GetFocus(), previous);
    }
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

// Esc is OK wherever the focus is.
TEST_F(frmAboutTest, EscClosesFromEveryControl) {
    for (const int id : {ID::cmdOK, ID::TAVI_HP_LINK, ID::TAVI_LINK_MAIL}) {
        SCOPED_TRACE(id);
        HWND about = Open();
        ASSERT_NE(about, nullptr);
        SetFocus(FindControl(about, id));
        PressKey(VK_ESCAPE);
        EXPECT_FALSE(IsWindow(about));
        EXPECT_EQ(frmAbout::Current(), nullptr);
    }
}

TEST_F(frmAboutTest, FocusStaysWhereItWasWhileAnotherWindowIsActive) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    PressKey(VK_TAB);
    HWND homeLink = FindControl(about, ID::TAVI_HP_LINK);
    ASSERT_EQ(GetFocus(), homeLink);
    const UniqueWindow other = ActivateAnotherWindow();
    ASSERT_NE(GetFocus(), homeLink);

    SetActiveWindow(about);

    EXPECT_EQ(GetFocus(), homeLink);
}

enum class CloseBy { kOk, kEnter, kEscape, kCloseBox };

class frmAboutClosingTest : public frmAboutTest, public testing::WithParamInterface<CloseBy> {};

TEST_P(frmAboutClosingTest, ClosesAndIsDestroyed) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);

    switch (GetParam()) {
        case CloseBy::kOk:
            SendMessageW(FindControl(about, ID::cmdOK), BM_CLICK, 0, 0);
            break;
        case CloseBy::kEnter:
            PressKey(VK_RETURN);
            break;
        case CloseBy::kEscape:
            PressKey(VK_ESCAPE);
            break;
        case CloseBy::kCloseBox:
            SendMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
    }
    ProcessPendingMessages();

    EXPECT_EQ(frmAbout::Current(), nullptr);
    EXPECT_FALSE(IsWindow(about));
}

std::string CloseByName(CloseBy way) {
    switch (way) {
        case CloseBy::kOk:
            return "OK";
        case CloseBy::kEnter:
            return "Enter";
        case CloseBy::kEscape:
            return "Esc";
        case CloseBy::kCloseBox:
            return "CloseBox";
    }
    return "unknown";
}

void PrintTo(CloseBy way, std::ostream* out) {
    *out << CloseByName(way);
}

INSTANTIATE_TEST_SUITE_P(Ways, frmAboutClosingTest,
                         testing::Values(CloseBy::kOk, CloseBy::kEnter, CloseBy::kEscape,
                                         CloseBy::kCloseBox),
                         testing::PrintToStringParamName());

struct LinkTarget {
    const char* name;
    int id;
    const char* target;
};

void PrintTo(const LinkTarget& c, std::ostream* out) {
    *out << c.name;
}

class frmAboutLinkTest : public frmAboutTest, public testing::WithParamInterface<LinkTarget> {};

TEST_P(frmAboutLinkTest, ClickHandsTheTargetToTheDesktop) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    HWND link = FindControl(about, GetParam().id);
    ASSERT_NE(link, nullptr);

    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));

    EXPECT_EQ(services_.openedUrls, std::vector<std::string>{GetParam().target});
    EXPECT_EQ(frmAbout::Current() != nullptr ? frmAbout::Current()->Handle() : nullptr, about);
}

INSTANTIATE_TEST_SUITE_P(
    Links, frmAboutLinkTest,
    testing::Values(LinkTarget{"HomePage", ID::TAVI_HP_LINK, "https://brackwin.example.org/"},
                    LinkTarget{"Mail", ID::TAVI_LINK_MAIL, "mailto:brackwin@example.org"}),
    [](const testing::TestParamInfo<LinkTarget>& info) { return std::string(info.param.name); });

TEST_F(frmAboutTest, LinkOpensOnlyWhenReleasedOverIt) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    HWND link = FindControl(about, ID::TAVI_HP_LINK);
    RECT area{};
    GetClientRect(link, &area);

    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(area.right + 5, 5));
    SendMessageW(link, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    SendMessageW(link, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));

    EXPECT_TRUE(services_.openedUrls.empty());
}

TEST_F(frmAboutTest, SpaceOpensTheFocusedLinkOnceAndEnterStillPressesOk) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    SetFocus(FindControl(about, ID::TAVI_LINK_MAIL));

    PressKey(VK_SPACE);
    PressKey(VK_SPACE, 1 | (1 << 30));  // the key held: a repeat
    EXPECT_EQ(services_.openedUrls, std::vector<std::string>{"mailto:brackwin@example.org"});

    PressKey(VK_RETURN);
    EXPECT_FALSE(IsWindow(about));
    EXPECT_EQ(services_.openedUrls.size(), 1u);
}

class frmAboutColoursTest : public frmAboutTest,
                            public testing::WithParamInterface<AppearanceCase> {};

// The links' hot-tracking colour belongs on the window colour, not on the fixed grey, where
// Wine's default shows it at 1.4:1: the colours each paint chooses, read from its device context.
TEST_P(frmAboutColoursTest, LinksAndTitleAreReadable) {
    const StandInAppearance appearance(GetParam());
    const WindowColours& expected = GetParam().expected;
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    const HDC dc = CreateCompatibleDC(nullptr);
    for (const int id : {ID::TAVI_HP_LINK, ID::TAVI_LINK_MAIL}) {
        SCOPED_TRACE(id);
        SendMessageW(FindControl(about, id), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                     PRF_CLIENT);
        EXPECT_EQ(ToRgb(GetTextColor(dc)), expected.link.text);
        EXPECT_EQ(ToRgb(GetDCBrushColor(dc)), expected.link.background);
    }
    SendMessageW(about, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(FindControl(about, ID::lblTitle)));
    EXPECT_EQ(ToRgb(GetTextColor(dc)), expected.title.text);
    DeleteDC(dc);
}

INSTANTIATE_TEST_SUITE_P(Appearances, frmAboutColoursTest, testing::ValuesIn(kAppearances),
                         AppearanceName);

// A screen reader reads each link as a link named by its caption, with its target as its value,
// and opens it by its default action.
TEST_P(frmAboutLinkTest, ScreenReaderReadsAndOpensTheLink) {
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    HWND link = FindControl(about, GetParam().id);
    const AccessibleRef accessible = AccessibleOf(link);
    ASSERT_TRUE(accessible);
    const VARIANT self = Child(CHILDID_SELF);
    const auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, BSTR*)) {
        BSTR value = nullptr;
        const HRESULT result = (accessible.get()->*property)(self, &value);
        std::string taken = SUCCEEDED(result) && value != nullptr
                                ? Narrow(std::wstring_view(value, SysStringLen(value)))
                                : "<failed>";
        SysFreeString(value);
        return taken;
    };
    std::string caption = GetText(link);
    if (const std::size_t lineBreak = caption.find("\r\n"); lineBreak != std::string::npos) {
        caption.replace(lineBreak, 2, " ");
    }
    EXPECT_EQ(text(&IAccessible::get_accName), caption);
    EXPECT_EQ(text(&IAccessible::get_accValue), GetParam().target);
    VARIANT role;
    VARIANT state;
    ASSERT_EQ(accessible->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_LINK);
    ASSERT_EQ(accessible->get_accState(self, &state), S_OK);
    EXPECT_NE(state.lVal & STATE_SYSTEM_LINKED, 0);

    EXPECT_EQ(accessible->accDoDefaultAction(self), S_OK);
    EXPECT_EQ(services_.openedUrls, std::vector<std::string>{GetParam().target});
}

}  // namespace
}  // namespace brackwin::win32
