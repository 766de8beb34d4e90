#include "Form1Window.h"

#include <oleacc.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "AccessibleObjects.h"
#include "Bitmaps.h"
#include "Collection.h"
#include "FailingAllocator.h"
#include "KeyBox.h"
#include "MessageLoop.h"
#include "ShownText.h"
#include "StandInAppearance.h"
#include "StandInServices.h"
#include "TwipsToPixels.h"
#include "Utf16.h"
#include "clsSystemFolder.h"
#include "frmAbout.h"
#include "modFindFile.h"

namespace brackwin::win32 {
namespace {

using ID = Form1Window::ID;
using namespace std::string_literals;

// The reader drops the first line; a search lists every declaration after it.
const std::vector<std::string> kExampleLines = {
    "' header",
    "Public Const MAX_PATH = 260",
    "Global Const GMEM_FIXED = &H0",
    "Declare Function GetTickCount Lib kernel32 () As Long",
    "Declare Sub Sleep Lib kernel32 (ByVal ms As Long)",
    "Type RECT",
    "    Left As Long",
    "End Type",
    "Type RECTL",
    "End Type",
    "' trailer",
    "Public Const LAST_ONE = 1",
};

// A line long enough that a control given it whole would be busy for minutes.
const std::string kBigLine = "Public Const BIG = " + std::string(3'000'000, 'A');

// Enough lines that reading or searching them takes many rounds of message processing.
constexpr int kLargeLineCount = 500000;

std::string Joined(const std::vector<std::string>& lines, std::size_t first, std::size_t count) {
    std::string joined;
    for (std::size_t i = first; i < first + count; ++i) {
        joined += (i == first ? "" : "\r\n") + lines[i];
    }
    return joined;
}

struct Enabled {
    bool mnuAPIRead, mnuEnd, mnuVersion, Text1, Text2, Option1, Option2, Option3, Command1,
        Command2, Command3, List1, Label1, Command4, busy;
    bool operator==(const Enabled&) const = default;
    friend void PrintTo(const Enabled& e, std::ostream* out) {
        *out << "menu " << e.mnuAPIRead << e.mnuEnd << e.mnuVersion << " Text1 " << e.Text1
             << " Text2 " << e.Text2 << " Option " << e.Option1 << e.Option2 << e.Option3
             << " Command1-3 " << e.Command1 << e.Command2 << e.Command3 << " List1 " << e.List1
             << " Label1 " << e.Label1 << " Command4 " << e.Command4 << " busy " << e.busy;
    }
};

// The window's states. Command4 is outside the scheme, so each test states it.
Enabled NoFile(bool command4) {
    return {true,  true,  true,  false, false, false,    false, false,
            false, false, false, false, true,  command4, false};
}
Enabled Loading(bool command4) {
    return {false, false, true,  false, false, false,    false, false,
            false, false, false, false, true,  command4, true};
}
Enabled Ready(bool command4) {
    return {true, true, true, true, true, true,     true, true,
            true, true, true, true, true, command4, false};
}
Enabled Searching(bool command4) {
    return {false, true,  true,  true, true, true,     true, true,
            false, false, false, true, true, command4, true};
}

// Runs actions from inside the program's message processing, that is inside a running load or
// search at its next yield: once, for a posted message, or on every round that finds its timer
// due.
class Probe {
  public:
    Probe() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"BrackwinTestProbe";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Probe() { DestroyWindow(window_); }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    HWND Handle() const noexcept { return window_; }

    void Once(std::function<void()> action) {
        once_ = std::move(action);
        PostMessageW(window_, WM_APP, 0, 0);
    }
    void Repeatedly(std::function<void()> action) {
        repeated_ = std::move(action);
        SetTimer(window_, 1, USER_TIMER_MINIMUM, nullptr);
    }
    void Stop() { KillTimer(window_, 1); }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Probe*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && message == WM_APP && self->once_) {
            std::exchange(self->once_, nullptr)();
            return 0;
        }
        if (self != nullptr && message == WM_TIMER && self->repeated_) {
            self->repeated_();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
    std::function<void()> once_;
    std::function<void()> repeated_;
};

void EmptyTheClipboard() {
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
}

std::wstring ClipboardText() {
    std::wstring text;
    for (int attempt = 0; attempt < 10 && !OpenClipboard(nullptr); ++attempt) {
        Sleep(10);
    }
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

bool QuitPosted() {
    MSG message{};
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

bool MenuItemEnabled(HWND window, int id) {
    const UINT state = GetMenuState(GetMenu(window), static_cast<UINT>(id), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

// Whether the pointer over a window of the program is the busy one.
bool ShowsBusyPointer(HWND over) {
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    SendMessageW(over, WM_SETCURSOR, reinterpret_cast<WPARAM>(over),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor() == LoadCursorW(nullptr, IDC_WAIT);
}

RECT PlaceInParent(HWND control) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// A text property of an object or its child, or "<failed>".
std::wstring TextOf(IAccessible& object, LONG child,
                    HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, BSTR*)) {
    BSTR text = nullptr;
    const HRESULT result = (object.*property)(Child(child), &text);
    std::wstring taken =
        SUCCEEDED(result) && text != nullptr ? std::wstring(text, SysStringLen(text)) : L"<failed>";
    SysFreeString(text);
    return taken;
}

std::wstring NameOf(IAccessible& object, LONG child = CHILDID_SELF) {
    return TextOf(object, child, &IAccessible::get_accName);
}

std::wstring ValueOf(IAccessible& object, LONG child = CHILDID_SELF) {
    return TextOf(object, child, &IAccessible::get_accValue);
}

LONG RoleOf(IAccessible& object, LONG child = CHILDID_SELF) {
    VARIANT role;
    VariantInit(&role);
    return SUCCEEDED(object.get_accRole(Child(child), &role)) && role.vt == VT_I4 ? role.lVal : -1;
}

LONG StateOf(IAccessible& object, LONG child) {
    VARIANT state;
    VariantInit(&state);
    return SUCCEEDED(object.get_accState(Child(child), &state)) && state.vt == VT_I4 ? state.lVal
                                                                                     : -1;
}

LONG ChildCountOf(IAccessible& object) {
    LONG count = -1;
    object.get_accChildCount(&count);
    return count;
}

// The child a query of the whole list names, or CHILDID_SELF - 1 for none.
LONG ChildIn(HRESULT result, const VARIANT& child) {
    return result == S_OK && child.vt == VT_I4 ? child.lVal : CHILDID_SELF - 1;
}

struct ListEvent {
    DWORD event;
    LONG child;
    bool operator==(const ListEvent&) const = default;
    friend void PrintTo(const ListEvent& e, std::ostream* out) {
        *out << (e.event == EVENT_OBJECT_FOCUS ? "focus " : "selection ") << e.child;
    }
};

// The focus and selection events raised for entries of a list box, as a screen reader gets
// them while the program handles its messages.
class ListEvents {
  public:
    explicit ListEvents(HWND list) {
        list_ = list;
        events_.clear();
        hook_ = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_SELECTION, nullptr, Record,
                                GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    }
    ~ListEvents() { UnhookWinEvent(hook_); }
    ListEvents(const ListEvents&) = delete;
    ListEvents& operator=(const ListEvents&) = delete;

    std::vector<ListEvent> Take() {
        ProcessPendingMessages();
        return std::exchange(events_, {});
    }

  private:
    static void CALLBACK Record(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                                DWORD, DWORD) {
        if (window == list_ && object == OBJID_CLIENT && child != CHILDID_SELF) {
            events_.push_back({event, child});
        }
    }

    static inline HWND list_ = nullptr;
    static inline std::vector<ListEvent> events_;
    HWINEVENTHOOK hook_;
};

class Form1WindowTest : public testing::Test {
  protected:
    void SetUp() override {
        UserInterfaceServices::Install(&services_);
        dir_ = std::filesystem::temp_directory_path() /
               ("brackwin-form1-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(dir_);
        form_ = std::make_unique<Form1Window>();
        window_ = form_->Handle();
        ShowWindow(window_, SW_SHOW);
        ProcessPendingMessages();
        for (const int id :
             {ID::Text1, ID::Command1, ID::Command2, ID::Command3, ID::Command4, ID::Option1,
              ID::Option2, ID::Option3, ID::List1, ID::Text2, ID::Label1}) {
            ASSERT_NE(GetDlgItem(window_, id), nullptr) << "control " << id;
        }
        Text1_ = GetDlgItem(window_, ID::Text1);
        List1_ = GetDlgItem(window_, ID::List1);
        Label1_ = GetDlgItem(window_, ID::Label1);
        Text2_ = GetDlgItem(window_, ID::Text2);
    }

    void TearDown() override {
        form_.reset();
        if (frmAbout* about = frmAbout::Current()) {
            DestroyWindow(about->Handle());
        }
        ProcessPendingMessages();
        QuitPosted();
        UserInterfaceServices::Install(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    HWND Control(int id) const { return GetDlgItem(window_, id); }

    std::string WriteFile(const std::string& name, const std::vector<std::string>& lines) {
        const std::filesystem::path path = dir_ / name;
        std::ofstream file(path, std::ios::binary);
        for (const std::string& line : lines) {
            file << line << "\r\n";
        }
        return path.string();
    }

    std::string Example() { return WriteFile("example.txt", kExampleLines); }

    // Lists kBigLine and "Public Const X = 1", in that order.
    void LoadBigLine() {
        Load(WriteFile("big.txt", {"' h", kBigLine, "Public Const X = 1", "' t"}));
        Search("", ID::Option1);
    }

    std::string LargeFile() {
        const std::filesystem::path path = dir_ / "large.txt";
        std::ofstream file(path, std::ios::binary);
        file << "' large\r\n";
        // Descending, so that the file's order is not the list's.
        for (int i = 1; i < kLargeLineCount; ++i) {
            const std::string number = std::to_string(kLargeLineCount - i);
            file << "Public Const C_" << number << " = " << number << "\r\n";
        }
        return path.string();
    }

    void Load(const std::optional<std::string>& answer) {
        services_.answers.push_back(answer);
        Menu(ID::mnuAPIRead);
    }

    void Menu(int id) { SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    void Click(int id) { SendMessageW(Control(id), BM_CLICK, 0, 0); }

    void Search(const std::string& key, int option) {
        SetText(Text1_, key);
        Click(option);
        Click(ID::Command1);
    }

    // A key pressed in Text1, through the program's message loop as the user's would come.
    void PressInText1(WPARAM key) {
        SetFocus(Text1_);
        PostMessageW(Text1_, WM_KEYDOWN, key, 1);
        PostMessageW(Text1_, WM_KEYUP, key, 1 | (3u << 30));
        ProcessPendingMessages();
    }

    // A key pressed on the control that has the focus, through the program's message loop, with
    // the given modifier keys held.
    void PressKey(WPARAM key, std::initializer_list<int> held = {}) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        for (const int modifier : held) {
            keys[modifier] = 0x80;
        }
        SetKeyboardState(keys);
        HWND focus = GetFocus();
        PostMessageW(focus, WM_KEYDOWN, key, 1);
        PostMessageW(focus, WM_KEYUP, key, 1 | (3u << 30));
        ProcessPendingMessages();
        for (const int modifier : held) {
            keys[modifier] = 0;
        }
        SetKeyboardState(keys);
    }

    // Every control enabled, Command4 too, and the output text holding an entry: its text.
    std::string ReadyWithAnEntryCollected() {
        Load(Example());
        Search("", ID::Option1);
        CollectRow(0);
        return GetText(Text2_);
    }

    std::size_t Count() const {
        return static_cast<std::size_t>(SendMessageW(List1_, LB_GETCOUNT, 0, 0));
    }

    std::vector<std::string> Rows() const {
        const std::size_t count = Count();
        EXPECT_EQ(count, form_->Results().Count());
        std::vector<std::string> rows;
        for (std::size_t row = 0; row < std::min(count, form_->Results().Count()); ++row) {
            rows.emplace_back(form_->Results().Item(row));
        }
        return rows;
    }

    // A key pressed in a control with Shift or Ctrl held, and the character it types, if any.
    static void PressWith(HWND control, BYTE modifier, WPARAM key, wchar_t character = 0) {
        BYTE keys[256];
        GetKeyboardState(keys);
        const BYTE before = keys[modifier];
        keys[modifier] = 0x80;
        SetKeyboardState(keys);
        SendMessageW(control, WM_KEYDOWN, key, 1);
        if (character != 0) {
            SendMessageW(control, WM_CHAR, character, 1);
        }
        SendMessageW(control, WM_KEYUP, key, 1 | (3u << 30));
        keys[modifier] = before;
        SetKeyboardState(keys);
    }

    int Selected() const { return static_cast<int>(SendMessageW(List1_, LB_GETCURSEL, 0, 0)); }

    POINT RowCentre(int row) const {
        RECT item{};
        SendMessageW(List1_, LB_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    }

    // A left click at a point of List1, as the mouse gives it.
    void ClickList1At(POINT point) {
        SendMessageW(List1_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        SendMessageW(List1_, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    }

    void ClickRow(int row) { ClickList1At(RowCentre(row)); }
    // Chooses a row and adds it to the output, as the user does.
    void CollectRow(int row) {
        ClickRow(row);
        Click(ID::Command4);
    }

    void DoubleClickRow(int row) {
        const POINT point = RowCentre(row);
        ClickList1At(point);
        SendMessageW(List1_, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        SendMessageW(List1_, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    }

    Enabled Snapshot() const {
        return {MenuItemEnabled(window_, ID::mnuAPIRead),
                MenuItemEnabled(window_, ID::mnuEnd),
                MenuItemEnabled(window_, ID::mnuVersion),
                IsWindowEnabled(Text1_) != FALSE,
                IsWindowEnabled(Text2_) != FALSE,
                IsWindowEnabled(Control(ID::Option1)) != FALSE,
                IsWindowEnabled(Control(ID::Option2)) != FALSE,
                IsWindowEnabled(Control(ID::Option3)) != FALSE,
                IsWindowEnabled(Control(ID::Command1)) != FALSE,
                IsWindowEnabled(Control(ID::Command2)) != FALSE,
                IsWindowEnabled(Control(ID::Command3)) != FALSE,
                IsWindowEnabled(List1_) != FALSE,
                IsWindowEnabled(Label1_) != FALSE,
                IsWindowEnabled(Control(ID::Command4)) != FALSE,
                ShowsBusyPointer(window_)};
    }

    bool Checked(int id) const {
        return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    StandInServices services_;
    std::filesystem::path dir_;
    std::unique_ptr<Form1Window> form_;
    HWND window_ = nullptr;
    HWND Text1_ = nullptr;
    HWND List1_ = nullptr;
    HWND Label1_ = nullptr;
    HWND Text2_ = nullptr;
};

TEST_F(Form1WindowTest, OpensWithOnlyTheMenusUsable) {
    EXPECT_EQ(Snapshot(), NoFile(false));
    EXPECT_TRUE(Checked(ID::Option1));
    EXPECT_FALSE(Checked(ID::Option2));
    EXPECT_FALSE(Checked(ID::Option3));
    EXPECT_EQ(GetText(Text1_), "");
    EXPECT_EQ(Count(), 0u);
}

struct Placement {
    int id;
    const char* name;
    const char* caption;
    TwipsRect twips;
};

constexpr Placement kPlacements[] = {
    {ID::Text1, "Text1", "", {360, 0, 5895, 375}},
    {ID::Command1, "Command1", "サーチ", {5280, 600, 855, 375}},
    {ID::Command3, "Command3", "コピー", {5760, 4200, 855, 375}},
    {ID::Command2, "Command2", "クリア", {5760, 4560, 855, 375}},
    {ID::Option1, "Option1", "定数", {360, 720, 1455, 255}},
    {ID::Option2, "Option2", "関数", {2040, 720, 1455, 255}},
    {ID::Option3, "Option3", "型", {3720, 720, 1455, 255}},
    {ID::List1, "List1", "", {0, 1080, 6615, 2760}},
    {ID::Text2, "Text2", "", {0, 5040, 6615, 2775}},
    {ID::Label1, "Label1", "", {120, 3960, 5535, 975}},
    {ID::Command4, "Command4", "追加", {5760, 3840, 855, 375}},
};

TEST_F(Form1WindowTest, ControlsAsLaidOutInTwips) {
    const int dpi = form_->Dpi();
    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(placement.name);
        HWND control = Control(placement.id);
        const int left = TwipsToPixels(placement.twips.left, dpi);
        const int top = TwipsToPixels(placement.twips.top, dpi);
        const RECT expected{left, top, left + TwipsToPixels(placement.twips.width, dpi),
                            top + TwipsToPixels(placement.twips.height, dpi)};
        const RECT actual = PlaceInParent(control);
        EXPECT_TRUE(EqualRect(&actual, &expected))
            << actual.left << "," << actual.top << "-" << actual.right << "," << actual.bottom;
        EXPECT_EQ(GetText(control), placement.caption);
    }
}

// No window grows taller than Wine's screen of 768 pixels: at 120 dpi this one still fits.
TEST_F(Form1WindowTest, FollowsAChangeOfDpi) {
    const int dpi = form_->Dpi() * 5 / 4;
    RECT suggested{};
    GetWindowRect(window_, &suggested);
    const auto itemHeight = SendMessageW(List1_, LB_GETITEMHEIGHT, 0, 0);

    SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));

    RECT client{};
    GetClientRect(window_, &client);
    EXPECT_EQ(client.right, TwipsToPixels(6615, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(7875, dpi));
    const RECT list = PlaceInParent(List1_);
    EXPECT_EQ(list.bottom - list.top, TwipsToPixels(2760, dpi));
    // The entries grow with the font.
    EXPECT_GT(SendMessageW(List1_, LB_GETITEMHEIGHT, 0, 0), itemHeight);
}

TEST_F(Form1WindowTest, FixedWindowWithTitleIconAndClientArea) {
    RECT client{};
    GetClientRect(window_, &client);
    EXPECT_EQ(client.right, TwipsToPixels(6615, form_->Dpi()));
    EXPECT_EQ(client.bottom, TwipsToPixels(7875, form_->Dpi()));
    const LONG style = GetWindowLongW(window_, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(GetText(window_), "Brackwin");

    auto* icon = reinterpret_cast<HICON>(SendMessageW(window_, WM_GETICON, ICON_BIG, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    EXPECT_EQ(mask.bmWidth, 32);
}

TEST_F(Form1WindowTest, TabOrderFollowsTheLayout) {
    std::vector<int> order;
    for (HWND child = GetWindow(window_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        order.push_back(GetDlgCtrlID(child));
    }
    EXPECT_EQ(order, (std::vector<int>{ID::Text1, ID::Command1, ID::Command3, ID::Command2,
                                       ID::Option1, ID::Option2, ID::Option3, ID::List1, ID::Text2,
                                       ID::Label1, ID::Command4}));
    EXPECT_EQ(GetWindowLongW(Label1_, GWL_STYLE) & WS_TABSTOP, 0);
    // The options are one group: it starts at Option1 and ends before List1.
    EXPECT_NE(GetWindowLongW(Control(ID::Option1), GWL_STYLE) & WS_GROUP, 0);
    EXPECT_EQ(GetWindowLongW(Control(ID::Option2), GWL_STYLE) & WS_GROUP, 0);
    EXPECT_EQ(GetWindowLongW(Control(ID::Option3), GWL_STYLE) & WS_GROUP, 0);
    EXPECT_NE(GetWindowLongW(List1_, GWL_STYLE) & WS_GROUP, 0);
}

std::string MenuText(HMENU menu, int position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
    return Narrow(text);
}

TEST_F(Form1WindowTest, MenuBar) {
    HMENU bar = GetMenu(window_);
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(MenuText(bar, 0), "ファイル");
    EXPECT_EQ(MenuText(bar, 1), "Version");
    EXPECT_EQ(GetMenuItemID(bar, 1), static_cast<UINT>(ID::mnuVersion));
    EXPECT_EQ(GetSubMenu(bar, 1), nullptr);

    HMENU mnuFile = GetSubMenu(bar, 0);
    ASSERT_NE(mnuFile, nullptr);
    ASSERT_EQ(GetMenuItemCount(mnuFile), 3);
    EXPECT_EQ(MenuText(mnuFile, 0), "APIファイルの読み込み");
    EXPECT_EQ(GetMenuItemID(mnuFile, 0), static_cast<UINT>(ID::mnuAPIRead));
    EXPECT_NE(GetMenuState(mnuFile, 1, MF_BYPOSITION) & MF_SEPARATOR, 0u);
    EXPECT_EQ(MenuText(mnuFile, 2), "終了");
    EXPECT_EQ(GetMenuItemID(mnuFile, 2), static_cast<UINT>(ID::mnuEnd));
}

TEST_F(Form1WindowTest, PreviewAreaOutputTextAndList) {
    EXPECT_NE(GetWindowLongW(Label1_, GWL_STYLE) & SS_EDITCONTROL, 0);
    const HDC dc = CreateCompatibleDC(nullptr);
    const int menuBar = GetSysColorBrush(COLOR_MENUBAR) != nullptr ? COLOR_MENUBAR : COLOR_MENU;
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(window_, WM_CTLCOLORSTATIC,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(Label1_)));
    EXPECT_EQ(brush, GetSysColorBrush(menuBar));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(menuBar));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
    DeleteDC(dc);

    const LONG output = GetWindowLongW(Text2_, GWL_STYLE);
    EXPECT_EQ(output & (ES_MULTILINE | ES_READONLY | WS_VSCROLL),
              ES_MULTILINE | ES_READONLY | WS_VSCROLL);
    // No control keeps the edit control's default limit of 32,767 characters.
    EXPECT_GT(SendMessageW(Text1_, EM_GETLIMITTEXT, 0, 0), 0x10000000);
    EXPECT_GT(SendMessageW(Text2_, EM_GETLIMITTEXT, 0, 0), 0x10000000);

    const LONG list = GetWindowLongW(List1_, GWL_STYLE);
    EXPECT_EQ(list & (LBS_NODATA | LBS_OWNERDRAWFIXED | LBS_NOTIFY),
              LBS_NODATA | LBS_OWNERDRAWFIXED | LBS_NOTIFY);
    EXPECT_EQ(list & (LBS_SORT | LBS_HASSTRINGS | LBS_MULTIPLESEL | LBS_EXTENDEDSEL), 0);
}

TEST_F(Form1WindowTest, LoadSucceeds) {
    Load(Example());
    EXPECT_EQ(Snapshot(), Ready(false));
    EXPECT_EQ(Count(), 0u);
    EXPECT_TRUE(services_.messages.empty());
}

class Form1WindowLoadFailsTest : public Form1WindowTest,
                                 public testing::WithParamInterface<const char*> {};

TEST_P(Form1WindowLoadFailsTest, LeavesOnlyTheMenusUsable) {
    const std::string answer = GetParam();
    Load(answer == "cancel"
             ? std::nullopt
             : std::optional<std::string>(answer == "folder" ? dir_.string() : answer));
    EXPECT_EQ(Snapshot(), NoFile(false));
    EXPECT_EQ(Count(), 0u);
    EXPECT_TRUE(services_.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Answers, Form1WindowLoadFailsTest,
                         testing::Values("cancel", "C:\\nonexistent\\win32api.txt", "folder"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return info.index == 0   ? "CancelledFirstLoad"s
                                    : info.index == 1 ? "NameThatDoesNotExist"s
                                                      : "Folder"s;
                         });

TEST_F(Form1WindowTest, LaterCancelReadsTheEarlierChoiceAgain) {
    const std::string path = Example();
    Load(path);
    std::vector<std::string> changed = kExampleLines;
    changed.insert(changed.begin() + 1, "Public Const ADDED_LATER = 1");
    ASSERT_EQ(WriteFile("example.txt", changed), path);

    Load(std::nullopt);
    EXPECT_EQ(Snapshot(), Ready(false));
    Search("added", ID::Option1);
    EXPECT_EQ(Rows(), std::vector<std::string>{"Public Const ADDED_LATER = 1"});
}

TEST_F(Form1WindowTest, FailedLaterLoadDisablesSearchAgain) {
    Load(Example());
    Search("", ID::Option1);
    EXPECT_EQ(Count(), 3u);
    Load("C:\\nonexistent\\other.txt");
    EXPECT_EQ(Snapshot(), NoFile(false));
    EXPECT_EQ(Count(), 0u);
}

TEST_F(Form1WindowTest, OpenDialogSettings) {
    Load(std::nullopt);
    Load(std::nullopt);
    ASSERT_EQ(services_.dialogs.size(), 2u);
    const clsSystemFolder folders;
    for (const StandInServices::DialogRequest& dialog : services_.dialogs) {
        EXPECT_EQ(dialog.owner, window_);
        EXPECT_EQ(dialog.title, "APIファイルの読み込み");
        EXPECT_EQ(dialog.filter, "APIファイル (*.txt)|*.txt");
        EXPECT_EQ(dialog.initialFolder, modFindFile::AddBackslash(folders.VB5Install()) + "winapi");
    }
}

TEST_F(Form1WindowTest, SecondLoadKeepsKeyOptionPreviewAndOutput) {
    Load(Example());
    Search("gettick", ID::Option2);
    CollectRow(0);
    const std::string preview = GetText(Label1_);
    const std::string output = GetText(Text2_);
    ASSERT_FALSE(preview.empty());
    ASSERT_FALSE(output.empty());

    Load(WriteFile("other.txt", {kExampleLines.begin(), kExampleLines.begin() + 3}));
    EXPECT_EQ(Snapshot(), Ready(true));
    EXPECT_EQ(GetText(Text1_), "gettick");
    EXPECT_TRUE(Checked(ID::Option2));
    EXPECT_EQ(GetText(Label1_), preview);
    EXPECT_EQ(GetText(Text2_), output);
    EXPECT_EQ(Count(), 0u);
}

class Form1WindowEnterTest : public Form1WindowTest, public testing::WithParamInterface<int> {};

// Enter searches whatever modifier is held; the dialog keys must not take it for the default
// button.
TEST_P(Form1WindowEnterTest, EnterInTheKeyBoxSearches) {
    Load(Example());
    SetText(Text1_, "max");
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    if (GetParam() != 0) {
        keys[GetParam()] = 0x80;
    }
    SetKeyboardState(keys);
    PressInText1(VK_RETURN);
    keys[VK_SHIFT] = keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(Rows(), std::vector<std::string>{"Public Const MAX_PATH = 260"});
    EXPECT_EQ(Snapshot(), Ready(false));
    EXPECT_EQ(GetFocus(), Text1_);
}

INSTANTIATE_TEST_SUITE_P(Modifiers, Form1WindowEnterTest, testing::Values(0, VK_SHIFT, VK_CONTROL),
                         [](const testing::TestParamInfo<int>& info) {
                             return info.param == 0          ? "Enter"s
                                    : info.param == VK_SHIFT ? "ShiftEnter"s
                                                             : "CtrlEnter"s;
                         });

// The window sees the keys first; the box still handles each itself.
TEST_F(Form1WindowTest, OtherKeysReachTheKeyBoxAndDoNotSearch) {
    Load(Example());
    SetText(Text1_, "max");
    SendMessageW(Text1_, EM_SETSEL, 3, 3);
    PressInText1(VK_LEFT);
    DWORD start = 0;
    SendMessageW(Text1_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    EXPECT_EQ(start, 2u);
    PressInText1(VK_ESCAPE);
    EXPECT_EQ(GetText(Text1_), "max");
    EXPECT_EQ(Count(), 0u);
}

// The key goes from the box to the search unchanged: blanks and characters beyond ASCII.
TEST_F(Form1WindowTest, KeyIsPassedUnchanged) {
    Load(WriteFile("keys.txt",
                   {"' header", "Public Const XMAX = 1", "Public Const 定数_A = 2", "' trailer"}));
    Search("max ", ID::Option1);
    EXPECT_EQ(Rows(), std::vector<std::string>{"Public Const XMAX = 1"});
    Search("定数", ID::Option1);
    EXPECT_EQ(Rows(), std::vector<std::string>{"Public Const 定数_A = 2"});
}

TEST_F(Form1WindowTest, EachCategorySearchesItsLines) {
    Load(Example());
    Search("", ID::Option1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Global Const GMEM_FIXED = &H0",
                                                "Public Const LAST_ONE = 1",
                                                "Public Const MAX_PATH = 260"}));
    Search("", ID::Option2);
    EXPECT_EQ(Rows(),
              std::vector<std::string>{"Declare Function GetTickCount Lib kernel32 () As Long"});
    Search("", ID::Option3);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Type RECT", "Type RECTL"}));
    EXPECT_EQ(Snapshot(), Ready(false));
}

TEST_F(Form1WindowTest, PreviewAddClearCopy) {
    const std::string function = "Declare Function GetTickCount Lib kernel32 () As Long";
    Load(Example());
    Search("", ID::Option2);
    ASSERT_EQ(Count(), 1u);

    ClickRow(0);
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(GetText(Label1_), function);
    EXPECT_EQ(Snapshot(), Ready(true));

    Click(ID::Command4);
    Click(ID::Command4);
    const std::string twice = "\r\n\r\n" + function + "\r\n\r\n" + function;
    EXPECT_EQ(GetText(Text2_), twice);

    Click(ID::Command3);
    EXPECT_EQ(ClipboardText(), Widen(twice));
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(services_.messages[0].text, "クリップボードに出力しました");
    EXPECT_EQ(services_.messages[0].caption, "Brackwin");
    EXPECT_EQ(services_.messages[0].owner, window_);

    Click(ID::Command2);
    EXPECT_EQ(GetText(Text2_), "");
    Click(ID::Command3);
    EXPECT_EQ(ClipboardText(), L"");
    EXPECT_EQ(services_.messages.size(), 2u);

    Click(ID::Command4);
    Click(ID::Command3);
    EXPECT_EQ(ClipboardText(), Widen("\r\n\r\n" + function));
}

TEST_F(Form1WindowTest, RefusedClipboardIsReported) {
    Load(Example());
    Search("", ID::Option2);
    CollectRow(0);
    Probe otherProgram;
    ASSERT_TRUE(OpenClipboard(otherProgram.Handle()));
    Click(ID::Command3);
    CloseClipboard();
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(services_.messages[0].text, kCopyFailedMessage);
    EXPECT_EQ(services_.messages[0].caption, "Brackwin");
}

TEST_F(Form1WindowTest, DoubleClickAdds) {
    Load(Example());
    Search("", ID::Option1);
    DoubleClickRow(2);
    EXPECT_EQ(GetText(Label1_), "Public Const MAX_PATH = 260");
    EXPECT_EQ(GetText(Text2_), "\r\n\r\nPublic Const MAX_PATH = 260");
}

TEST_F(Form1WindowTest, TypesPreviewAndAddTheirBlock) {
    Load(Example());
    Search("rect", ID::Option3);
    ClickRow(0);
    EXPECT_EQ(GetText(Label1_), Joined(kExampleLines, 5, 5));
    ClickRow(1);
    EXPECT_EQ(GetText(Label1_), Joined(kExampleLines, 8, 2));
    Click(ID::Command4);
    Click(ID::Command3);
    EXPECT_EQ(ClipboardText(), Widen("\r\n\r\n" + Joined(kExampleLines, 8, 2)));
}

// The option is read when the entry is clicked, so a click on the entry already selected, after
// switching to types, previews its block.
TEST_F(Form1WindowTest, EveryClickPreviewsAlsoOnTheSelectedEntry) {
    Load(Example());
    Search("", ID::Option2);
    ClickRow(0);
    EXPECT_EQ(GetText(Label1_), kExampleLines[3]);
    Click(ID::Option3);
    ClickRow(0);
    EXPECT_EQ(GetText(Label1_), Joined(kExampleLines, 3, 5));
    Click(ID::Command4);
    EXPECT_EQ(GetText(Text2_), "\r\n\r\n" + Joined(kExampleLines, 3, 5));
}

TEST_F(Form1WindowTest, ClickBelowTheEntriesChangesNothing) {
    Load(Example());
    Search("", ID::Option1);
    ClickRow(1);
    const std::string preview = GetText(Label1_);
    POINT below = RowCentre(static_cast<int>(Count()) - 1);
    below.y += 40;
    ClickList1At(below);
    SendMessageW(List1_, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(below.x, below.y));
    SendMessageW(List1_, WM_LBUTTONUP, 0, MAKELPARAM(below.x, below.y));
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(GetText(Label1_), preview);
    EXPECT_EQ(GetText(Text2_), "");
    EXPECT_EQ(GetFocus(), List1_);
}

TEST_F(Form1WindowTest, KeysMovingTheSelectionPreview) {
    Load(Example());
    Search("", ID::Option1);
    ClickRow(0);
    const struct {
        WPARAM key;
        int selected;
    } moves[] = {{VK_DOWN, 1}, {VK_END, 2},   {VK_HOME, 0}, {VK_NEXT, 2},
                 {VK_UP, 1},   {VK_PRIOR, 0}, {VK_UP, 0}};
    for (const auto& move : moves) {
        SCOPED_TRACE(move.key);
        SetText(Label1_, "");
        PressKey(move.key);
        EXPECT_EQ(Selected(), move.selected);
        EXPECT_EQ(GetText(Label1_), form_->Results().Item(static_cast<std::size_t>(move.selected)));
    }
}

// The list holds no texts, so the window finds the entry: the next one after the selection that
// begins with the character, letter case ignored, round to the first; none leaves it where it is.
TEST_F(Form1WindowTest, TypingMovesToTheNextEntryBeginningWithTheCharacter) {
    Load(WriteFile("typed.txt", {"' h", "Public Const P_ONE = 1", "Global Const G_ONE = 2",
                                 "Public Const P_TWO = 3", "Public Const Q = 4", "' t"}));
    Search("", ID::Option1);
    ASSERT_EQ(Rows(), (std::vector<std::string>{"Global Const G_ONE = 2", "Public Const P_ONE = 1",
                                                "Public Const P_TWO = 3", "Public Const Q = 4"}));
    ClickRow(0);
    const struct {
        wchar_t typed;
        int selected;
    } steps[] = {{L'p', 1}, {L'P', 2}, {L'p', 3}, {L'p', 1}, {L'g', 0}, {L'x', 0}, {L'\t', 0}};
    for (const auto& step : steps) {
        SCOPED_TRACE(Narrow(std::wstring(1, step.typed)));
        SetText(Label1_, "");
        PostMessageW(List1_, WM_CHAR, step.typed, 1);
        ProcessPendingMessages();
        EXPECT_EQ(Selected(), step.selected);
        const bool moved = step.typed != L'x' && step.typed != L'\t';
        EXPECT_EQ(GetText(Label1_),
                  moved ? form_->Results().Item(static_cast<std::size_t>(step.selected)) : "");
    }
    EXPECT_EQ(GetText(Text2_), "");
}

// Esc is bound to nothing in the main window: in the output text the edit control would close
// the window, and the collected text with it.
TEST_F(Form1WindowTest, EscInAnyControlChangesNothing) {
    const std::string collected = ReadyWithAnEntryCollected();
    ASSERT_FALSE(collected.empty());
    for (const int id : {ID::Text1, ID::Command1, ID::Command3, ID::Command2, ID::Option1,
                         ID::List1, ID::Text2, ID::Command4}) {
        SCOPED_TRACE(id);
        SetFocus(Control(id));
        PressKey(VK_ESCAPE);
        ASSERT_TRUE(IsWindow(window_));
        EXPECT_TRUE(IsWindowVisible(window_));
        EXPECT_EQ(GetFocus(), Control(id));
        EXPECT_EQ(GetText(Text2_), collected);
        EXPECT_EQ(Selected(), 0);
    }
    EXPECT_FALSE(QuitPosted());
}

// The option buttons are one tab stop, the checked one, and the arrow keys move within them;
// Label1 never takes the focus, and the output text lets Tab go, also with Ctrl held.
TEST_F(Form1WindowTest, TabCyclesThroughTheControlsBothWays) {
    const std::string collected = ReadyWithAnEntryCollected();
    const std::vector<int> order = {ID::Text1,   ID::Command1, ID::Command3, ID::Command2,
                                    ID::Option1, ID::List1,    ID::Text2,    ID::Command4};
    SetFocus(Text1_);
    for (std::size_t step = 1; step <= order.size(); ++step) {
        PressKey(VK_TAB);
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), order[step % order.size()]) << "Tab " << step;
    }
    for (std::size_t step = 1; step <= order.size(); ++step) {
        PressKey(VK_TAB, {VK_SHIFT});
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), order[(order.size() - step) % order.size()])
            << "Shift+Tab " << step;
    }
    SetFocus(Text2_);
    PressKey(VK_TAB, {VK_CONTROL});
    EXPECT_EQ(GetFocus(), Control(ID::Command4));
    SetFocus(Text2_);
    PressKey(VK_TAB, {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(GetFocus(), List1_);
    EXPECT_EQ(GetText(Text2_), collected);

    SetFocus(Control(ID::Option1));
    PressKey(VK_RIGHT);
    EXPECT_EQ(GetFocus(), Control(ID::Option2));
    EXPECT_TRUE(Checked(ID::Option2));
    PressKey(VK_RIGHT);
    EXPECT_TRUE(Checked(ID::Option3));
    PressKey(VK_LEFT);
    EXPECT_EQ(GetFocus(), Control(ID::Option2));
    EXPECT_FALSE(Checked(ID::Option1));
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), List1_);
    PressKey(VK_TAB, {VK_SHIFT});
    EXPECT_EQ(GetFocus(), Control(ID::Option2));
    PressKey(VK_TAB, {VK_SHIFT});
    EXPECT_EQ(GetFocus(), Control(ID::Command2));
}

// The list box holds no texts: the window's object names its entries with what the list draws
// and tells of each selection change, by mouse, arrow key or typed character.
TEST_F(Form1WindowTest, ScreenReaderReadsTheResultList) {
    Load(Example());
    Search("", ID::Option1);
    const AccessibleRef list = AccessibleOf(List1_);
    ASSERT_TRUE(list);
    EXPECT_EQ(RoleOf(*list), ROLE_SYSTEM_LIST);
    EXPECT_EQ(NameOf(*list), L"検索結果");
    EXPECT_EQ(ChildCountOf(*list), 3);
    IDispatch* entry = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(list->get_accChild(Child(2), &entry), S_FALSE);
    EXPECT_EQ(entry, nullptr);
    EXPECT_EQ(RoleOf(*list, 2), ROLE_SYSTEM_LISTITEM);
    EXPECT_EQ(NameOf(*list, 2), L"Public Const LAST_ONE = 1");
    EXPECT_EQ(NameOf(*list, 4), L"<failed>");
    EXPECT_EQ(StateOf(*list, 2) & (STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_SELECTED),
              STATE_SYSTEM_SELECTABLE);
    VARIANT selection;
    EXPECT_EQ(ChildIn(list->get_accSelection(&selection), selection), CHILDID_SELF - 1);

    ListEvents events(List1_);
    ClickRow(1);
    EXPECT_EQ(events.Take(),
              (std::vector<ListEvent>{{EVENT_OBJECT_FOCUS, 2}, {EVENT_OBJECT_SELECTION, 2}}));
    const LONG chosen = STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED;
    EXPECT_EQ(StateOf(*list, 2) & chosen, chosen);
    VARIANT focus;
    EXPECT_EQ(ChildIn(list->get_accFocus(&focus), focus), 2);
    EXPECT_EQ(ChildIn(list->get_accSelection(&selection), selection), 2);

    PressKey(VK_DOWN);
    EXPECT_EQ(events.Take(),
              (std::vector<ListEvent>{{EVENT_OBJECT_FOCUS, 3}, {EVENT_OBJECT_SELECTION, 3}}));
    EXPECT_EQ(StateOf(*list, 3) & chosen, chosen);
    EXPECT_EQ(StateOf(*list, 2) & chosen, 0);
    EXPECT_EQ(NameOf(*list, 3), L"Public Const MAX_PATH = 260");

    PostMessageW(List1_, WM_CHAR, L'g', 1);
    EXPECT_EQ(events.Take(),
              (std::vector<ListEvent>{{EVENT_OBJECT_FOCUS, 1}, {EVENT_OBJECT_SELECTION, 1}}));

    RECT row{};
    SendMessageW(List1_, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    MapWindowPoints(List1_, nullptr, reinterpret_cast<POINT*>(&row), 2);
    LONG left = 0, top = 0, width = 0, height = 0;
    EXPECT_EQ(list->accLocation(&left, &top, &width, &height, Child(1)), S_OK);
    EXPECT_EQ((std::vector<LONG>{left, top, width, height}),
              (std::vector<LONG>{row.left, row.top, row.right - row.left, row.bottom - row.top}));
}

TEST_F(Form1WindowTest, ScreenReaderCountsEveryEntryOfAVeryLargeList) {
    Load(LargeFile());
    Search("", ID::Option1);
    const AccessibleRef list = AccessibleOf(List1_);
    ASSERT_TRUE(list);
    const LONG count = kLargeLineCount - 1;
    EXPECT_EQ(ChildCountOf(*list), count);
    EXPECT_EQ(NameOf(*list, count),
              Widen(form_->Results().Item(static_cast<std::size_t>(count - 1))));
    EXPECT_NE(StateOf(*list, count) & STATE_SYSTEM_OFFSCREEN, 0);
    EXPECT_EQ(StateOf(*list, 1) & STATE_SYSTEM_OFFSCREEN, 0);
}

// Names a screen reader speaks, never shown: the controls keep their texts, and the preview's
// text is the label's value.
TEST_F(Form1WindowTest, ScreenReaderNamesTheControlsThatNoTextNames) {
    Load(Example());
    Search("", ID::Option2);
    CollectRow(0);
    const std::string preview = GetText(Label1_);
    ASSERT_EQ(preview, kExampleLines[3]);

    const struct {
        HWND control;
        const wchar_t* name;
        LONG role;
    } controls[] = {{Text1_, L"検索キー", ROLE_SYSTEM_TEXT},
                    {List1_, L"検索結果", ROLE_SYSTEM_LIST},
                    {Text2_, L"出力", ROLE_SYSTEM_TEXT},
                    {Label1_, L"プレビュー", 0}};
    for (const auto& control : controls) {
        SCOPED_TRACE(GetDlgCtrlID(control.control));
        const AccessibleRef object = AccessibleOf(control.control);
        ASSERT_TRUE(object);
        EXPECT_EQ(NameOf(*object), control.name);
        // The standard object keeps the control's kind; Wine's knows none for a static control.
        if (control.role != 0) {
            EXPECT_EQ(RoleOf(*object), control.role);
        }
    }
    EXPECT_EQ(ValueOf(*AccessibleOf(Label1_)), Widen(preview));
    EXPECT_EQ(ValueOf(*AccessibleOf(Text2_)), Widen(GetText(Text2_)));
    EXPECT_EQ(GetText(Label1_), preview);
    EXPECT_EQ(GetText(Text1_), "");
}

// A screen reader may hold the list's object after the window has gone.
TEST_F(Form1WindowTest, AccessibleObjectAnswersNoMoreOnceTheWindowIsGone) {
    Load(Example());
    Search("", ID::Option1);
    const AccessibleRef list = AccessibleOf(List1_);
    const AccessibleRef label = AccessibleOf(Label1_);
    ASSERT_TRUE(list && label);
    form_.reset();
    LONG count = 0;
    EXPECT_EQ(list->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    BSTR name = nullptr;
    EXPECT_EQ(list->get_accName(Child(1), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(label->get_accName(Child(CHILDID_SELF), &name), CO_E_OBJNOTCONNECTED);
}

class Form1WindowColoursTest : public Form1WindowTest,
                               public testing::WithParamInterface<AppearanceCase> {};

// The colours each paint chooses, read from the device context it painted with.
TEST_P(Form1WindowColoursTest, PreviewAndRowsAreReadable) {
    const StandInAppearance appearance(GetParam());
    const WindowColours& expected = GetParam().expected;
    Load(Example());
    Search("", ID::Option1);
    const HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(Label1_));
    EXPECT_EQ(ToRgb(GetTextColor(dc)), expected.preview.text);
    EXPECT_EQ(ToRgb(GetBkColor(dc)), expected.preview.background);
    for (const bool selected : {false, true}) {
        SCOPED_TRACE(selected ? "selected row" : "row");
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_LISTBOX;
        item.CtlID = ID::List1;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = selected ? ODS_SELECTED : 0;
        item.hwndItem = List1_;
        item.hDC = dc;
        item.rcItem = {0, 0, 200, 16};
        SendMessageW(window_, WM_DRAWITEM, ID::List1, reinterpret_cast<LPARAM>(&item));
        const ColourPair& row = selected ? expected.selectedRow : expected.row;
        EXPECT_EQ(ToRgb(GetTextColor(dc)), row.text);
        EXPECT_EQ(ToRgb(GetDCBrushColor(dc)), row.background);
    }
    DeleteDC(dc);
}

INSTANTIATE_TEST_SUITE_P(Appearances, Form1WindowColoursTest, testing::ValuesIn(kAppearances),
                         AppearanceName);

TEST_F(Form1WindowTest, AddStaysEnabledAfterLoadsAndSearches) {
    const std::string path = Example();
    Load(path);
    Search("", ID::Option1);
    EXPECT_FALSE(IsWindowEnabled(Control(ID::Command4)));
    ClickRow(0);
    EXPECT_TRUE(IsWindowEnabled(Control(ID::Command4)));
    Search("nothing matches this", ID::Option1);
    EXPECT_EQ(Snapshot(), Ready(true));
    Load(path);
    EXPECT_EQ(Snapshot(), Ready(true));
    Load("C:\\nonexistent\\other.txt");
    EXPECT_EQ(Snapshot(), NoFile(true));
}

// A 3 MB line once kept a window from its messages for minutes: the controls get a bounded text
// and the list draws a bounded one, while the output keeps and copies the whole line.
TEST_F(Form1WindowTest, HugeLineIsListedPreviewedAndAdded) {
    const std::string& big = kBigLine;
    LoadBigLine();
    ASSERT_EQ(Count(), 2u);
    RedrawWindow(List1_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    CollectRow(0);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);

    const std::string preview = GetText(Label1_);
    EXPECT_EQ(preview.substr(0, 100), big.substr(0, 100));
    EXPECT_LT(preview.size(), 5000u);
    EXPECT_LT(GetText(Text2_).size(), 5000u);
    Click(ID::Command3);
    EXPECT_EQ(ClipboardText(), Widen("\r\n\r\n" + big));
    const AccessibleRef list = AccessibleOf(List1_);
    ASSERT_TRUE(list);
    EXPECT_EQ(NameOf(*list, 1), Widen(ShownLine(big)));
}

// The pixels of a row of List1 as the window draws it, and of a text drawn as a row is.
class RowPicture {
  public:
    RowPicture(HWND list, int dpi) : list_(list), dpi_(dpi) {
        SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&area_));
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreatePixelBitmap(dc_, area_.right, area_.bottom, &bits_);
        SelectObject(dc_, bitmap_);
    }
    ~RowPicture() {
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    RowPicture(const RowPicture&) = delete;
    RowPicture& operator=(const RowPicture&) = delete;

    std::vector<std::uint32_t> OfRow(int row) {
        DRAWITEMSTRUCT item{
            ODT_LISTBOX, ID::List1, static_cast<UINT>(row), ODA_DRAWENTIRE, 0, list_, dc_,
            area_,       0};
        SendMessageW(GetParent(list_), WM_DRAWITEM, ID::List1, reinterpret_cast<LPARAM>(&item));
        return Pixels();
    }

    std::vector<std::uint32_t> OfText(const std::wstring& text) {
        FillRect(dc_, &area_, GetSysColorBrush(COLOR_WINDOW));
        SelectObject(dc_, reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0)));
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, GetSysColor(COLOR_WINDOWTEXT));
        RECT text_area = area_;
        text_area.left += TwipsToPixels(30, dpi_);
        DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &text_area,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS);
        return Pixels();
    }

  private:
    std::vector<std::uint32_t> Pixels() const {
        GdiFlush();
        const auto* first = static_cast<const std::uint32_t*>(bits_);
        return {first, first + area_.right * area_.bottom};
    }

    HWND list_;
    int dpi_;
    RECT area_{};
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    void* bits_ = nullptr;
};

// A NUL would end the text of the controls and of the clipboard's text format: the windows show
// a mark in its place, and the clipboard gets the same mark.
TEST_F(Form1WindowTest, NulIsShownAndCopiedAsAMark) {
    const std::string withNul = "Public Const NUL"s + '\0' + "INSIDE = 1";
    const std::string marked = "Public Const NUL\u2400INSIDE = 1";
    Load(WriteFile("zero-byte.txt", {"' h", withNul, "Public Const ZZZ = 2", "' t"}));
    Search("", ID::Option1);
    ASSERT_EQ(Rows(), (std::vector<std::string>{withNul, "Public Const ZZZ = 2"}));

    RowPicture picture(List1_, form_->Dpi());
    const std::vector<std::uint32_t> row = picture.OfRow(0);
    EXPECT_EQ(row, picture.OfText(Widen(marked)));
    EXPECT_NE(row, picture.OfText(L"Public Const NUL"));

    ClickRow(0);
    EXPECT_EQ(GetText(Label1_), marked);
    Click(ID::Command4);
    CollectRow(1);
    const std::string output = "\r\n\r\n" + marked + "\r\n\r\nPublic Const ZZZ = 2";
    EXPECT_EQ(GetText(Text2_), output);
    Click(ID::Command3);
    EXPECT_EQ(ClipboardText(), Widen(output));
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(services_.messages[0].text, kCopiedMessage);
}

// Text2 shows a long line cut and wraps it over many rows; a copy of a selection of it, by any of
// the edit control's ways, takes the real text that the selected lines stand for.
TEST_F(Form1WindowTest, CopyingASelectionOfTheOutputTakesTheRealText) {
    const std::string& big = kBigLine;
    LoadBigLine();
    CollectRow(0);
    CollectRow(1);
    const std::wstring shown = Widen(GetText(Text2_));
    ASSERT_LT(shown.size(), 5000u);
    ASSERT_GT(SendMessageW(Text2_, EM_GETLINECOUNT, 0, 0), 6);

    const auto copySelection = [&](std::size_t start, std::size_t end,
                                   const std::function<void()>& copy) {
        EmptyTheClipboard();
        SendMessageW(Text2_, EM_SETSEL, start, end);
        copy();
        return ClipboardText();
    };
    const std::size_t lastLine = shown.rfind(L"Public Const X");
    const std::wstring whole = Widen("\r\n\r\n" + big + "\r\n\r\nPublic Const X = 1");
    const std::wstring bigOnward = Widen(big.substr(13) + "\r\n\r\nPublic Const X");

    EXPECT_EQ(copySelection(0, shown.size(), [&] { SendMessageW(Text2_, WM_COPY, 0, 0); }), whole);
    EXPECT_EQ(copySelection(lastLine + 13, shown.size() - 1,
                            [&] { PressWith(Text2_, VK_CONTROL, 'C', 0x03); }),
              L"X = ");
    EXPECT_EQ(copySelection(17, lastLine + 14, [&] { PressWith(Text2_, VK_CONTROL, VK_INSERT); }),
              bigOnward);
    EXPECT_EQ(copySelection(5, 5, [&] { SendMessageW(Text2_, WM_COPY, 0, 0); }), L"");
    EXPECT_EQ(GetText(Text2_), Narrow(shown));
    EXPECT_TRUE(services_.messages.empty());
}

// Out of memory in the window's own work stops only that action: the output stays as it was, a
// message says what could not be done, and the window goes on.
TEST_F(Form1WindowTest, ActionsThatRunOutOfMemoryStopWithAMessage) {
    const std::string& big = kBigLine;
    LoadBigLine();
    CollectRow(1);
    CollectRow(0);
    const std::string collected = GetText(Text2_);
    // Recording the messages must not run out of memory itself.
    services_.messages.reserve(8);
    EmptyTheClipboard();
    {
        // Enough for the shown texts and the messages, not for the output's UTF-16 copy.
        const test::FailingLargeAllocations outOfMemory(1'000'000);
        Click(ID::Command3);
        Click(ID::Command4);
    }
    {
        const test::FailingLargeAllocations outOfMemory(sizeof(frmAbout));
        Menu(ID::mnuVersion);
    }
    const std::vector<std::string_view> expected = {kCopyOutOfMemoryMessage, kAddOutOfMemoryMessage,
                                                    kAboutOutOfMemoryMessage};
    ASSERT_EQ(services_.messages.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(services_.messages[i].text, expected[i]);
        EXPECT_EQ(services_.messages[i].caption, "Brackwin");
        EXPECT_EQ(services_.messages[i].owner, window_);
    }
    EXPECT_EQ(frmAbout::Current(), nullptr);
    EXPECT_EQ(ClipboardText(), L"");
    EXPECT_EQ(GetText(Text2_), collected);
    EXPECT_EQ(Snapshot(), Ready(true));

    Click(ID::Command3);
    EXPECT_EQ(ClipboardText(), Widen("\r\n\r\nPublic Const X = 1\r\n\r\n" + big));
}

// A pasted key of any length stays whole, though the key box shows only its start and a mark
// for the rest: each edit of what it shows is one of the whole key.
TEST_F(Form1WindowTest, LongPastedKeyStaysWhole) {
    const std::string key = std::string(10'000, 'K') + "END";
    const std::string line = "Public Const LONG = " + key;
    Load(WriteFile("long-key.txt", {"' h", line, "Public Const X = 1", "' t"}));
    Click(ID::Option1);
    const auto searchFinds = [&] {
        Click(ID::Command1);
        return Rows();
    };
    ASSERT_TRUE(services_.SetClipboardText("Public\r\nthe next line"));
    SetFocus(Text1_);
    SendMessageW(Text1_, WM_PASTE, 0, 0);
    EXPECT_EQ(GetText(Text1_), "Public");
    SendMessageW(Text1_, EM_SETSEL, 0, -1);
    ASSERT_TRUE(services_.SetClipboardText(key + "\r\nthe next line"));
    SendMessageW(Text1_, WM_PASTE, 0, 0);
    EXPECT_LT(GetWindowTextLengthW(Text1_), 5000);
    EXPECT_EQ(searchFinds(), std::vector<std::string>{line});

    SendMessageW(Text1_, WM_CHAR, 'x', 1);
    EXPECT_TRUE(searchFinds().empty());
    SendMessageW(Text1_, WM_UNDO, 0, 0);
    EXPECT_EQ(searchFinds(), std::vector<std::string>{line});
    SendMessageW(Text1_, WM_UNDO, 0, 0);
    EXPECT_TRUE(searchFinds().empty());
    SendMessageW(Text1_, WM_CHAR, VK_BACK, 1);
    EXPECT_EQ(searchFinds(), std::vector<std::string>{line});
    SendMessageW(Text1_, EM_SETSEL, 0, 0);
    SendMessageW(Text1_, WM_CHAR, '=', 1);
    SendMessageW(Text1_, WM_CHAR, ' ', 1);
    EXPECT_EQ(searchFinds(), std::vector<std::string>{line});

    SendMessageW(Text1_, EM_SETSEL, 0, -1);
    PressWith(Text1_, VK_CONTROL, VK_INSERT);
    // Compared as a whole: a failure would print ten thousand characters.
    EXPECT_TRUE(ClipboardText() == Widen("= " + key));
    SendMessageW(Text1_, EM_SETSEL, 0, 1);
    PressWith(Text1_, VK_SHIFT, VK_DELETE);
    EXPECT_EQ(ClipboardText(), L"=");
    SendMessageW(Text1_, WM_CHAR, '=', 1);
    SendMessageW(Text1_, EM_SETSEL, 2, -1);
    SendMessageW(Text1_, WM_CUT, 0, 0);
    EXPECT_TRUE(ClipboardText() == Widen(key));
    EXPECT_EQ(GetText(Text1_), "= ");
    EXPECT_EQ(searchFinds(), (std::vector<std::string>{line, "Public Const X = 1"}));

    PressWith(Text1_, VK_SHIFT, VK_INSERT);
    EXPECT_LT(GetWindowTextLengthW(Text1_), 5000);
    EXPECT_EQ(searchFinds(), std::vector<std::string>{line});
    SendMessageW(Text1_, WM_UNDO, 0, 0);
    EXPECT_EQ(GetText(Text1_), "= ");

    // Typing on a key that the box still shows whole.
    SetText(Text1_, std::string(kShownKeyUnits, 'K'));
    SendMessageW(Text1_, EM_SETSEL, kShownKeyUnits, kShownKeyUnits);
    SendMessageW(Text1_, WM_CHAR, 'E', 1);
    EXPECT_NE(GetText(Text1_).find("\u2026"), std::string::npos);
    EXPECT_EQ(searchFinds(), std::vector<std::string>{line});
}

// The search ends with a message, the window ready for the next one and the output kept.
TEST_F(Form1WindowTest, SearchThatRunsOutOfMemoryEndsWithAMessage) {
    Load(Example());
    Search("", ID::Option2);
    CollectRow(0);
    const std::string collected = GetText(Text2_);
    {
        const test::FailingLargeAllocations outOfMemory(64 * 1024);
        Search("", ID::Option1);
    }
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(services_.messages[0].text, kSearchOutOfMemoryMessage);
    EXPECT_EQ(services_.messages[0].caption, "Brackwin");
    EXPECT_EQ(services_.messages[0].owner, window_);
    EXPECT_EQ(Count(), 0u);
    EXPECT_EQ(Snapshot(), Ready(true));
    EXPECT_EQ(GetText(Text2_), collected);

    Search("max", ID::Option1);
    EXPECT_EQ(Rows(), std::vector<std::string>{"Public Const MAX_PATH = 260"});
}

// The busy pointer covers the main window and its controls, but not the About window.
TEST_F(Form1WindowTest, LoadingStateWhileTheFileIsRead) {
    const std::string path = LargeFile();
    Menu(ID::mnuVersion);
    ASSERT_NE(frmAbout::Current(), nullptr);
    HWND about = frmAbout::Current()->Handle();
    std::optional<Enabled> during;
    bool keyBoxBusy = false;
    bool aboutBusy = true;
    Probe probe;
    probe.Once([&] {
        during = Snapshot();
        keyBoxBusy = ShowsBusyPointer(Text1_);
        aboutBusy = ShowsBusyPointer(about);
    });
    Load(path);
    ASSERT_TRUE(during);
    EXPECT_EQ(*during, Loading(false));
    EXPECT_TRUE(keyBoxBusy);
    EXPECT_FALSE(aboutBusy);
    EXPECT_EQ(Snapshot(), Ready(false));
    SendMessageW(Text1_, WM_SETCURSOR, reinterpret_cast<WPARAM>(Text1_),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_IBEAM));
}

// Neither Enter nor the load may start inside a running search; the key box still takes keys.
TEST_F(Form1WindowTest, SearchingStateAndItsGuards) {
    Load(LargeFile());
    std::optional<Enabled> during;
    std::optional<Enabled> afterRequests;
    Probe probe;
    probe.Once([&] {
        during = Snapshot();
        PressInText1(VK_RETURN);
        PostMessageW(Text1_, WM_CHAR, 'x', 1);
        services_.answers.push_back(std::nullopt);
        PostMessageW(window_, WM_COMMAND, MAKEWPARAM(ID::mnuAPIRead, 0), 0);
        ProcessPendingMessages();
        afterRequests = Snapshot();
    });
    Search("", ID::Option1);
    ASSERT_TRUE(during && afterRequests);
    EXPECT_EQ(*during, Searching(false));
    EXPECT_EQ(*afterRequests, Searching(false));
    EXPECT_EQ(GetText(Text1_), "x");
    EXPECT_EQ(services_.dialogs.size(), 1u);
    EXPECT_EQ(Count(), static_cast<std::size_t>(kLargeLineCount - 1));
    EXPECT_EQ(Snapshot(), Ready(false));
}

// Each commit shows its entries at once, sorted, and an entry found so far can be chosen and
// added before the search ends; the selection stays on its entry as others are placed around it.
TEST_F(Form1WindowTest, EntriesAppearWhileTheSearchRunsAndTheSelectionStays) {
    Load(LargeFile());
    std::vector<std::size_t> counts;
    std::vector<std::string> seen;
    std::string previewed;
    Probe probe;
    probe.Repeatedly([&] {
        counts.push_back(Count());
        if (previewed.empty() && counts.back() > 0) {
            seen = Rows();
            ClickRow(0);
            previewed = GetText(Label1_);
            Click(ID::Command4);
        }
    });
    Search("", ID::Option1);
    probe.Stop();
    ASSERT_GE(counts.size(), 3u);
    EXPECT_LT(counts.front(), counts.back());
    EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));
    // Some entries showed while the search was still finding the rest.
    EXPECT_TRUE(std::any_of(counts.begin(), counts.end(), [](std::size_t count) {
        return count > 0 && count < static_cast<std::size_t>(kLargeLineCount - 1);
    }));
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(previewed, seen[0]);
    EXPECT_EQ(GetText(Text2_), "\r\n\r\n" + previewed);
    ASSERT_GE(Selected(), 0);
    EXPECT_EQ(form_->Results().Item(static_cast<std::size_t>(Selected())), previewed);
}

TEST_F(Form1WindowTest, ClosingDuringASearchStopsIt) {
    Load(LargeFile());
    Probe probe;
    probe.Once([&] { PostMessageW(window_, WM_CLOSE, 0, 0); });
    Search("", ID::Option1);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_LT(form_->Results().Count(), static_cast<std::size_t>(kLargeLineCount - 1));
    EXPECT_FALSE(QuitPosted());
}

TEST_F(Form1WindowTest, ClosingDuringALoadStopsIt) {
    const std::string path = LargeFile();
    Probe probe;
    probe.Once([&] { PostMessageW(window_, WM_CLOSE, 0, 0); });
    Load(path);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_FALSE(QuitPosted());
}

TEST_F(Form1WindowTest, EndClosesEveryWindowDuringASearch) {
    Load(LargeFile());
    Menu(ID::mnuVersion);
    ASSERT_NE(frmAbout::Current(), nullptr);
    HWND about = frmAbout::Current()->Handle();
    bool ranAfterEnd = false;
    Probe probe;
    probe.Once([&] {
        PostMessageW(window_, WM_COMMAND, MAKEWPARAM(ID::mnuEnd, 0), 0);
        PostMessageW(window_, WM_COMMAND, MAKEWPARAM(ID::mnuVersion, 0), 0);
    });
    Search("", ID::Option1);
    ranAfterEnd = frmAbout::Current() != nullptr;
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_FALSE(IsWindow(about));
    EXPECT_FALSE(ranAfterEnd);
    EXPECT_TRUE(QuitPosted());
    EXPECT_LT(form_->Results().Count(), static_cast<std::size_t>(kLargeLineCount - 1));
}

TEST_F(Form1WindowTest, VersionShowsOneAboutWindowThatOutlivesTheCloseBox) {
    Menu(ID::mnuVersion);
    Menu(ID::mnuVersion);
    int forms = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM count) {
            *reinterpret_cast<int*>(count) += IsForm(window) ? 1 : 0;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&forms));
    EXPECT_EQ(forms, 2);
    ASSERT_NE(frmAbout::Current(), nullptr);
    HWND about = frmAbout::Current()->Handle();
    auto* icon = reinterpret_cast<HICON>(SendMessageW(about, WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(icon, reinterpret_cast<HICON>(SendMessageW(window_, WM_GETICON, ICON_BIG, 0)));

    SendMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_TRUE(IsWindow(about));
}

// The program ends when its last window has closed, whichever that is.
TEST(Form1WindowDeathTest, ProgramEndsWhenItsLastWindowCloses) {
    EXPECT_EXIT(
        {
            StandInServices services;
            UserInterfaceServices::Install(&services);
            FormWindow::QuitWhenLastFormCloses();
            Form1Window form;
            SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(ID::mnuVersion, 0), 0);
            HWND about = frmAbout::Current()->Handle();
            SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
            ProcessPendingMessages();
            MSG quit{};
            if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) {
                std::exit(2);
            }
            PostMessageW(about, WM_CLOSE, 0, 0);
            std::exit(RunMessageLoop() == 0 && !IsWindow(about) ? 0 : 3);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace brackwin::win32
