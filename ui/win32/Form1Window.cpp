#include "Form1Window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <new>

#include "AccessibleNames.h"
#include "AppIdentity.h"
#include "MessageLoop.h"
#include "NamedAccessible.h"
#include "ResultListAccessible.h"
#include "ShownText.h"
#include "SortedResultList.h"
#include "Subclass.h"
#include "SystemAppearance.h"
#include "TypeAhead.h"
#include "UserInterfaceServices.h"
#include "Utf16.h"
#include "frmAbout.h"

namespace brackwin::win32 {

namespace {

constexpr int kClientWidth = 6615;
constexpr int kClientHeight = 7875;
constexpr int kIconId = 1;
// The room left of an entry's text: two pixels at 96 dpi, as a list box of strings leaves.
constexpr int kEntryMarginTwips = 30;

// A key went down in Text1: wParam is its virtual-key code, lParam the state of Shift, Ctrl and
// Alt.
constexpr UINT kText1KeyDown = WM_APP;
// The user asked Text2 to copy its selection.
constexpr UINT kText2Copy = WM_APP + 1;
// A screen reader asks a control for its client area's accessible object, which the window owns:
// wParam is WM_GETOBJECT's, lParam the control. Answers 0 to leave it to the control.
constexpr UINT kClientObjectWanted = WM_APP + 2;

// The program's icon, loaded once for the program's life: the About window shows it too, and it
// may outlive the main window.
struct ProgramIcons {
    UniqueIcon large;
    UniqueIcon smallIcon;
};

UniqueIcon LoadProgramIcon(int size) {
    return UniqueIcon(static_cast<HICON>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconId), IMAGE_ICON, size, size, 0)));
}

const ProgramIcons& Icons() {
    static const ProgramIcons icons{LoadProgramIcon(32),
                                    LoadProgramIcon(GetSystemMetrics(SM_CXSMICON))};
    return icons;
}

UniqueMenu MakeMenuBar() {
    using ID = Form1Window::ID;
    UniqueMenu bar(CreateMenu());
    UniqueMenu mnuFile(CreatePopupMenu());
    if (!bar || !mnuFile) {
        ThrowLastError("creating the menu bar");
    }
    AppendMenuW(mnuFile.get(), MF_STRING, ID::mnuAPIRead, L"APIファイルの読み込み");
    AppendMenuW(mnuFile.get(), MF_SEPARATOR, 0, nullptr);  // mnuSep1
    AppendMenuW(mnuFile.get(), MF_STRING, ID::mnuEnd, L"終了");
    if (!AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(mnuFile.get()), L"ファイル")) {
        ThrowLastError("creating the menu bar");
    }
    static_cast<void>(mnuFile.release());
    AppendMenuW(bar.get(), MF_STRING, ID::mnuVersion, L"Version");
    return bar;
}

// The state of Shift, Ctrl and Alt as a key-down event reports it: 1, 2 and 4.
int ShiftState() {
    return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
           (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

LRESULT AnswerGetObject(HWND control, WPARAM flags, LPARAM objectId) {
    if (AsksForClientArea(objectId)) {
        const LRESULT answer = SendMessageW(GetParent(control), kClientObjectWanted, flags,
                                            reinterpret_cast<LPARAM>(control));
        if (answer > 0) {
            return answer;
        }
    }
    return CallPrevious(control, WM_GETOBJECT, flags, objectId);
}

// Text1 reports every key going down to the window before it handles the key itself. It asks
// the dialog keys to leave it Enter, which would otherwise press the default button.
LRESULT CALLBACK Text1Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE: {
            LRESULT code = CallPrevious(window, message, wParam, lParam);
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            if (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
                code |= DLGC_WANTALLKEYS;
            }
            return code;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            SendMessageW(GetParent(window), kText1KeyDown, wParam, ShiftState());
            // The search that Enter ran may have closed the window.
            if (!IsWindow(window)) {
                return 0;
            }
            break;
        case WM_GETOBJECT:
            return AnswerGetObject(window, wParam, lParam);
        default:
            break;
    }
    return CallPrevious(window, message, wParam, lParam);
}

// Text2 shows a bounded display of the output text, so its own copy would put the display on the
// clipboard: the window copies the real text instead.
LRESULT CALLBACK Text2Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        // Its context menu and Ctrl+C send WM_COPY; Ctrl+Insert copies without it.
        case WM_COPY:
            SendMessageW(GetParent(window), kText2Copy, 0, 0);
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_INSERT && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0) {
                SendMessageW(GetParent(window), kText2Copy, 0, 0);
                return 0;
            }
            break;
        // The dialog keys move the focus on Tab, also with Ctrl as in a dialog box, and take Esc,
        // which the window binds to nothing. A multi-line edit asks for every key, and its own Esc
        // would close the window it sits in, with the collected text.
        case WM_GETDLGCODE: {
            LRESULT code = CallPrevious(window, message, wParam, lParam);
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            if (key != nullptr && key->message == WM_KEYDOWN &&
                (key->wParam == VK_TAB || key->wParam == VK_ESCAPE)) {
                code &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
            }
            return code;
        }
        case WM_GETOBJECT:
            return AnswerGetObject(window, wParam, lParam);
        default:
            break;
    }
    return CallPrevious(window, message, wParam, lParam);
}

LRESULT CALLBACK Label1Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETOBJECT) {
        return AnswerGetObject(window, wParam, lParam);
    }
    return CallPrevious(window, message, wParam, lParam);
}

// The place of a character offset of a text control's text among its lines, which only CR LF
// ends: a multi-line edit's own line count includes its wrapped lines.
ShownPosition PositionIn(std::wstring_view text, std::size_t offset) {
    ShownPosition position;
    std::size_t lineStart = 0;
    for (std::size_t at = text.find(L"\r\n"); at != std::wstring_view::npos && at < offset;
         at = text.find(L"\r\n", at + 2)) {
        ++position.line;
        lineStart = at + 2;
    }
    position.column = offset - std::min(offset, lineStart);
    return position;
}

// A control's text, which a failure to take it must not leave half set.
void SetShownText(HWND control, std::string_view text) {
    if (!SetWindowTextW(control, Widen(text).c_str())) {
        throw std::bad_alloc();
    }
}

// Whether a point at y in a list box lies below its last entry.
bool BelowTheEntries(HWND list, int y) {
    const auto count = static_cast<std::int64_t>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    const auto top = static_cast<std::int64_t>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    const auto height = static_cast<std::int64_t>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    return y >= (count - top) * height;
}

// A click or a double click below the entries of List1 only gives it the focus: the list box
// would choose its last entry.
LRESULT CALLBACK List1Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (BelowTheEntries(window, GET_Y_LPARAM(lParam))) {
                SetFocus(window);
                return 0;
            }
            break;
        case WM_GETOBJECT:
            return AnswerGetObject(window, wParam, lParam);
        default:
            break;
    }
    return CallPrevious(window, message, wParam, lParam);
}

}  // namespace

Form1Window::Form1Window() : logic_(*this) {
    CreateForm(0, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
               kClientWidth, kClientHeight);
    win32::SetText(Handle(), kAppTitle);
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Icons().large.get()));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(Icons().smallIcon.get()));
    SetMenuBar(MakeMenuBar());

    Text1 = AddControl(Handle(), WC_EDITW, ID::Text1, ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP,
                       WS_EX_CLIENTEDGE);
    Place(Text1, {360, 0, 5895, 375});
    SendMessageW(Text1, EM_SETLIMITTEXT, 0, 0);
    Subclass(Text1, Text1Procedure);
    keyBox_.emplace(Text1);

    Command1 =
        AddControl(Handle(), WC_BUTTONW, ID::Command1, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP);
    win32::SetText(Command1, "サーチ");
    Place(Command1, {5280, 600, 855, 375});

    Command3 =
        AddControl(Handle(), WC_BUTTONW, ID::Command3, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP);
    win32::SetText(Command3, "コピー");
    Place(Command3, {5760, 4200, 855, 375});

    Command2 =
        AddControl(Handle(), WC_BUTTONW, ID::Command2, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP);
    win32::SetText(Command2, "クリア");
    Place(Command2, {5760, 4560, 855, 375});

    // One group from Option1 to the next control that starts a group, and one tab stop: the
    // option buttons move WS_TABSTOP to the button that is checked.
    Option1 =
        AddControl(Handle(), WC_BUTTONW, ID::Option1, BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP);
    win32::SetText(Option1, "定数");
    Place(Option1, {360, 720, 1455, 255});
    SendMessageW(Option1, BM_SETCHECK, BST_CHECKED, 0);
    Option2 = AddControl(Handle(), WC_BUTTONW, ID::Option2, BS_AUTORADIOBUTTON);
    win32::SetText(Option2, "関数");
    Place(Option2, {2040, 720, 1455, 255});
    Option3 = AddControl(Handle(), WC_BUTTONW, ID::Option3, BS_AUTORADIOBUTTON);
    win32::SetText(Option3, "型");
    Place(Option3, {3720, 720, 1455, 255});

    // The list box keeps nothing per entry: it draws each visible entry from the logic's list,
    // so hundreds of thousands of entries cost nothing to show. Without texts of its own it asks
    // the window where a typed character leads (WM_CHARTOITEM).
    List1 = AddControl(Handle(), WC_LISTBOXW, ID::List1,
                       LBS_NODATA | LBS_OWNERDRAWFIXED | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                           LBS_WANTKEYBOARDINPUT | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                       WS_EX_CLIENTEDGE);
    Place(List1, {0, 1080, 6615, 2760});
    SetList1ItemHeight();
    Subclass(List1, List1Procedure);

    Text2 =
        AddControl(Handle(), WC_EDITW, ID::Text2,
                   ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                   WS_EX_CLIENTEDGE);
    Place(Text2, {0, 5040, 6615, 2775});
    SendMessageW(Text2, EM_SETLIMITTEXT, 0, 0);
    Subclass(Text2, Text2Procedure);

    Label1 = AddControl(Handle(), WC_STATICW, ID::Label1,
                        SS_LEFT | SS_EDITCONTROL | SS_NOPREFIX | WS_GROUP);
    Place(Label1, {120, 3960, 5535, 975});
    Subclass(Label1, Label1Procedure);

    Command4 =
        AddControl(Handle(), WC_BUTTONW, ID::Command4, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP);
    win32::SetText(Command4, "追加");
    Place(Command4, {5760, 3840, 855, 375});

    SetTabOrder({Text1, Command1, Command3, Command2, Option1, Option2, Option3, List1, Text2,
                 Label1, Command4});

    logic_.Form_Load();
}

LRESULT Form1Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case kClientObjectWanted:
            return OnClientObjectWanted(reinterpret_cast<HWND>(lParam), wParam);
        case kText1KeyDown:
            logic_.Text1_KeyDown(static_cast<int>(wParam), static_cast<int>(lParam));
            return 0;
        case kText2Copy:
            OnText2Copy();
            return 0;
        case WM_CHARTOITEM:
            return OnList1Char(static_cast<wchar_t>(LOWORD(wParam)));
        case WM_DRAWITEM:
            OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_SETCURSOR:
            if (OnSetCursor(reinterpret_cast<HWND>(wParam), static_cast<short>(LOWORD(lParam)))) {
                return TRUE;
            }
            break;
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_CLOSE:
            OnClose();
            return 0;
        default:
            break;
    }
    return FormWindow::OnMessage(message, wParam, lParam);
}

void Form1Window::OnCommand(int id, int code, HWND control) {
    if (control == nullptr) {
        OnMenuCommand(id);
        return;
    }
    // A notification that was queued before its control was disabled runs nothing.
    if (!IsWindowEnabled(control)) {
        return;
    }
    switch (id) {
        case ID::Command1:
            if (code == BN_CLICKED) {
                logic_.Command1_Click();
            }
            break;
        case ID::Command2:
            if (code == BN_CLICKED) {
                logic_.Command2_Click();
            }
            break;
        case ID::Command3:
            if (code == BN_CLICKED) {
                logic_.Command3_Click();
            }
            break;
        case ID::Command4:
            if (code == BN_CLICKED) {
                logic_.Command4_Click();
            }
            break;
        case ID::List1:
            if (code == LBN_SELCHANGE) {
                AnnounceList1Selection();
                logic_.List1_Click();
            } else if (code == LBN_DBLCLK) {
                logic_.List1_DblClick();
            }
            break;
        default:
            break;
    }
}

void Form1Window::OnMenuCommand(int id) {
    // A command the menu posted before the item was disabled runs nothing: a load must not
    // start inside a running search.
    const UINT state = GetMenuState(GetMenu(Handle()), static_cast<UINT>(id), MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1) || (state & (MF_GRAYED | MF_DISABLED)) != 0) {
        return;
    }
    switch (id) {
        case ID::mnuAPIRead:
            logic_.mnuAPIRead_Click();
            break;
        case ID::mnuEnd:
            logic_.mnuEnd_Click();
            break;
        case ID::mnuVersion:
            logic_.mnuVersion_Click();
            break;
        default:
            break;
    }
}

// The list box moves to the entry returned, or stays for -2, and reports a change as for a click.
// Its caret index in wParam has only 16 bits, so the selection is asked for.
LRESULT Form1Window::OnList1Char(wchar_t character) {
    constexpr LRESULT kStay = -2;
    if (IS_HIGH_SURROGATE(character)) {
        highSurrogate_ = character;
        return kStay;
    }
    std::wstring typed;
    if (IS_LOW_SURROGATE(character) && highSurrogate_ != 0) {
        typed.push_back(highSurrogate_);
    }
    highSurrogate_ = 0;
    typed.push_back(character);
    const std::optional<std::size_t> next =
        NextEntryBeginningWith(logic_.Results(), SelectedResult(), Narrow(typed));
    return next ? static_cast<LRESULT>(*next) : kStay;
}

LRESULT Form1Window::OnClientObjectWanted(HWND control, WPARAM flags) {
    DelegatingAccessible* object = AccessibleObjectOf(control);
    return object != nullptr ? HandOver(*object, flags) : 0;
}

// Made when a screen reader first asks. The names are never shown: no visible text names these
// controls.
DelegatingAccessible* Form1Window::AccessibleObjectOf(HWND control) {
    const auto named = [control](AccessiblePtr& object, std::string_view name,
                                 NamedAccessible::Text text) {
        if (!object) {
            object = NamedAccessible::Create(control, Widen(name), text);
        }
        return object.get();
    };
    if (control == List1) {
        if (!list1Accessible_) {
            list1Accessible_ =
                ResultListAccessible::Create(List1, logic_.Results(), Widen(kList1AccessibleName));
        }
        return list1Accessible_.get();
    }
    if (control == Text1) {
        return named(text1Accessible_, kText1AccessibleName, NamedAccessible::Text::kAsUsual);
    }
    if (control == Text2) {
        return named(text2Accessible_, kText2AccessibleName, NamedAccessible::Text::kAsUsual);
    }
    if (control == Label1) {
        return named(label1Accessible_, kLabel1AccessibleName, NamedAccessible::Text::kAsValue);
    }
    return nullptr;
}

// Windows' list box also tells screen readers of a selection change, Wine's does not: the window
// tells them itself, with the child IDs the list's accessible object gives.
void Form1Window::AnnounceList1Selection() const {
    const std::optional<std::size_t> selected = SelectedResult();
    if (!selected) {
        return;
    }
    const auto child = static_cast<LONG>(*selected + 1);
    if (GetFocus() == List1) {
        NotifyWinEvent(EVENT_OBJECT_FOCUS, List1, OBJID_CLIENT, child);
    }
    NotifyWinEvent(EVENT_OBJECT_SELECTION, List1, OBJID_CLIENT, child);
}

// Each entry's text comes bounded from the logic's list, so no draw call gets a huge string.
void Form1Window::OnDrawItem(const DRAWITEMSTRUCT& item) const {
    if (item.hwndItem != List1) {
        return;
    }
    if (item.itemAction == ODA_FOCUS) {
        DrawFocusRect(item.hDC, &item.rcItem);
        return;
    }
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const WindowColours colours = CurrentColours();
    const ColourPair& colour = selected ? colours.selectedRow : colours.row;
    SetDCBrushColor(item.hDC, ToColorRef(colour.background));
    FillRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    const SortedResultList& results = logic_.Results();
    if (item.itemID < results.Count()) {
        const std::wstring text = Widen(ShownLine(results.Item(item.itemID)));
        // List1 keeps the default font; asking it for its font would cost a message per row.
        const SelectedObject font(item.hDC, DefaultFont());
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, (item.itemState & ODS_DISABLED) != 0 ? GetSysColor(COLOR_GRAYTEXT)
                                                                    : ToColorRef(colour.text));
        RECT area = item.rcItem;
        area.left += Pixels(kEntryMarginTwips);
        DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &area,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS);
    }
    if ((item.itemState & ODS_FOCUS) != 0) {
        DrawFocusRect(item.hDC, &item.rcItem);
    }
}

void Form1Window::OnText2Copy() {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(Text2, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    if (start == end) {
        return;
    }
    const std::wstring shown = GetWideText(Text2);
    logic_.Text2_Copy(PositionIn(shown, start), PositionIn(shown, end));
}

// Over the client area and every control, also a disabled one, whose messages the window gets.
bool Form1Window::OnSetCursor(HWND window, int hitTest) const {
    if (!busy_ || (window == Handle() && hitTest != HTCLIENT)) {
        return false;
    }
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return true;
}

LRESULT Form1Window::OnCtlColorStatic(HDC dc, HWND control) {
    // The preview's colours keep the menu bar's background in every appearance.
    if (control == Label1) {
        const int background =
            GetSysColorBrush(COLOR_MENUBAR) != nullptr ? COLOR_MENUBAR : COLOR_MENU;
        const ColourPair preview = CurrentColours().preview;
        SetBkColor(dc, ToColorRef(preview.background));
        SetTextColor(dc, ToColorRef(preview.text));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
    }
    // Locked, not greyed: the output reads like any text box.
    if (control == Text2 && IsWindowEnabled(Text2)) {
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    return FormWindow::OnMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(control));
}

// A running load or search stops at its next yield, once the window is gone.
void Form1Window::OnClose() {
    logic_.Form_Unload();
    DestroyWindow(Handle());
}

void Form1Window::OnDpiChanged() {
    SetList1ItemHeight();
}

// An owner-drawn list box sizes its entries by what its owner says, not by its font.
void Form1Window::SetList1ItemHeight() {
    const WindowDc dc(List1);
    const SelectedObject font(dc.Get(), DefaultFont());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);
    SendMessageW(List1, LB_SETITEMHEIGHT, 0, MAKELPARAM(metrics.tmHeight, 0));
}

void Form1Window::Enable(Control control, bool enabled) {
    if (control == Control::mnuAPIRead || control == Control::mnuEnd) {
        EnableMenuItem(GetMenu(Handle()),
                       control == Control::mnuAPIRead ? ID::mnuAPIRead : ID::mnuEnd,
                       MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        return;
    }
    HWND window = ControlWindow(control);
    // A disabled control would keep the focus, and the keyboard would do nothing: the focus
    // moves on in the tab order first.
    if (!enabled && GetFocus() == window) {
        HWND next = GetNextDlgTabItem(Handle(), window, FALSE);
        if (next != nullptr && next != window) {
            SetFocus(next);
        }
    }
    EnableWindow(window, enabled ? TRUE : FALSE);
}

HWND Form1Window::ControlWindow(Control control) const {
    switch (control) {
        case Control::Text1:
            return Text1;
        case Control::Text2:
            return Text2;
        case Control::Option1:
            return Option1;
        case Control::Option2:
            return Option2;
        case Control::Option3:
            return Option3;
        case Control::Command1:
            return Command1;
        case Control::Command2:
            return Command2;
        case Control::Command3:
            return Command3;
        case Control::List1:
            return List1;
        case Control::Command4:
            return Command4;
        case Control::mnuAPIRead:
        case Control::mnuEnd:
            break;
    }
    return nullptr;
}

// The pointer changes when it next moves over a window; one already over this window changes
// now.
void Form1Window::ShowBusyPointer(bool busy) {
    busy_ = busy;
    POINT point{};
    if (!GetCursorPos(&point)) {
        return;
    }
    HWND under = WindowFromPoint(point);
    if (under == nullptr || (under != Handle() && !IsChild(Handle(), under))) {
        return;
    }
    const LRESULT hitTest = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                 MAKELPARAM(hitTest, WM_MOUSEMOVE));
}

void Form1Window::ResultsAboutToBeCleared() {}

void Form1Window::ResultsCleared() {
    SendMessageW(List1, LB_RESETCONTENT, 0, 0);
}

void Form1Window::ResultsAboutToBePlaced() {
    const SortedResultList& results = logic_.Results();
    selectedBeforePlacing_ = SelectedResult();
    const LRESULT top = SendMessageW(List1, LB_GETTOPINDEX, 0, 0);
    topBeforePlacing_ = top > 0 ? static_cast<std::size_t>(top) : 0;
    selectedIdBeforePlacing_.reset();
    if (selectedBeforePlacing_ && *selectedBeforePlacing_ < results.Count()) {
        selectedIdBeforePlacing_ = results.IdAt(*selectedBeforePlacing_);
    }
    topIdBeforePlacing_.reset();
    if (topBeforePlacing_ != 0 && topBeforePlacing_ < results.Count()) {
        topIdBeforePlacing_ = results.IdAt(topBeforePlacing_);
    }
}

// Setting the count may drop the selection and the scroll position, so both are set again: the
// selection on its entry and, while it is in sight, on its row; otherwise the list keeps its
// top entry, or its beginning in sight.
void Form1Window::ResultsPlaced() {
    const SortedResultList& results = logic_.Results();
    std::size_t top = topIdBeforePlacing_ ? results.IndexOf(*topIdBeforePlacing_) : 0;
    std::optional<std::size_t> selected;
    if (selectedIdBeforePlacing_) {
        selected = results.IndexOf(*selectedIdBeforePlacing_);
        RECT list{};
        GetClientRect(List1, &list);
        const auto rows = static_cast<std::size_t>(
            list.bottom / std::max<LRESULT>(SendMessageW(List1, LB_GETITEMHEIGHT, 0, 0), 1));
        const std::size_t row = *selectedBeforePlacing_ - topBeforePlacing_;
        if (*selectedBeforePlacing_ >= topBeforePlacing_ && row < rows) {
            top = *selected - row;
        }
    }
    SendMessageW(List1, LB_SETCOUNT, logic_.Results().Count(), 0);
    if (selected) {
        SendMessageW(List1, LB_SETCURSEL, *selected, 0);
    }
    SendMessageW(List1, LB_SETTOPINDEX, top, 0);
}

std::optional<std::size_t> Form1Window::SelectedResult() const {
    const LRESULT index = SendMessageW(List1, LB_GETCURSEL, 0, 0);
    if (index < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(index);
}

std::string Form1Window::KeyText() const {
    return Narrow(keyBox_->Text());
}

bool Form1Window::IsSelected(Control option) const {
    return SendMessageW(ControlWindow(option), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Form1Window::SetLabel1(std::string_view caption) {
    SetShownText(Label1, caption);
}

void Form1Window::SetText2(std::string_view text) {
    SetShownText(Text2, text);
}

// An edit control that cannot take the text keeps its own and only notifies its parent.
void Form1Window::AppendText2(std::string_view text) {
    const std::wstring added = Widen(text);
    const int end = GetWindowTextLengthW(Text2);
    SendMessageW(Text2, EM_SETSEL, end, end);
    SendMessageW(Text2, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added.c_str()));
    if (static_cast<std::size_t>(GetWindowTextLengthW(Text2)) != end + added.size()) {
        throw std::bad_alloc();
    }
    SendMessageW(Text2, EM_SCROLLCARET, 0, 0);
}

std::optional<std::string> Form1Window::ShowOpenDialog(const OpenDialogSettings& settings) {
    std::string filter(settings.filterDescription);
    filter.append("|").append(settings.filterPattern);
    return UserInterfaceServices::Current().ChooseFileToOpen(Handle(), settings.title, filter,
                                                             settings.initialFolder);
}

void Form1Window::ProcessPendingEvents() {
    ProcessPendingMessages();
}

void Form1Window::ShowAbout() {
    frmAbout::ShowAbout(Icons().large.get());
}

// Closing the main window also stops a running load or search at its next yield; the message
// loop ends whatever other windows remain.
void Form1Window::EndProgram() {
    if (frmAbout* about = frmAbout::Current()) {
        DestroyWindow(about->Handle());
    }
    SendMessageW(Handle(), WM_CLOSE, 0, 0);
    PostQuitMessage(0);
}

void Form1Window::Clear() {
    UserInterfaceServices::Current().ClearClipboard();
}

bool Form1Window::SetText(std::string_view text) {
    return UserInterfaceServices::Current().SetClipboardText(text);
}

void Form1Window::Show(std::string_view text, std::string_view caption) {
    UserInterfaceServices::Current().ShowMessage(Handle(), text, caption);
}

}  // namespace brackwin::win32
