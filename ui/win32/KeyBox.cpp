#include "KeyBox.h"

#include <algorithm>
#include <cwchar>
#include <new>
#include <string_view>
#include <utility>

#include "Handles.h"
#include "ShownText.h"
#include "ToolkitServices.h"
#include "Utf16.h"

namespace brackwin::win32 {

namespace {

constexpr const wchar_t* kProperty = L"BrackwinKeyBox";

// The clipboard's text, for as long as this object lives.
class ClipboardText {
  public:
    explicit ClipboardText(HWND owner) : clipboard_(owner) {
        data_ = clipboard_.IsOpen() ? GetClipboardData(CF_UNICODETEXT) : nullptr;
        const auto* chars =
            data_ != nullptr ? static_cast<const wchar_t*>(GlobalLock(data_)) : nullptr;
        if (chars != nullptr) {
            text_ = std::wstring_view(chars, wcsnlen(chars, GlobalSize(data_) / sizeof(wchar_t)));
        } else {
            data_ = nullptr;
        }
    }
    ~ClipboardText() {
        if (data_ != nullptr) {
            GlobalUnlock(data_);
        }
    }
    ClipboardText(const ClipboardText&) = delete;
    ClipboardText& operator=(const ClipboardText&) = delete;

    // The text as the control pastes it into one line: up to its first line break.
    std::wstring_view FirstLine() const {
        const std::size_t lineFeed = text_.find(L'\n');
        if (lineFeed == std::wstring_view::npos) {
            return text_;
        }
        return text_.substr(0,
                            lineFeed > 0 && text_[lineFeed - 1] == L'\r' ? lineFeed - 1 : lineFeed);
    }

  private:
    const OpenedClipboard clipboard_;
    HANDLE data_ = nullptr;
    std::wstring_view text_;
};

}  // namespace

KeyBox::KeyBox(HWND edit)
    : edit_(edit), previous_(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_WNDPROC))) {
    SetPropW(edit_, kProperty, this);
    SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure));
}

KeyBox::~KeyBox() {
    if (IsWindow(edit_)) {
        SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        RemovePropW(edit_, kProperty);
    }
}

std::wstring KeyBox::Text() const {
    return cut_ ? whole_ : ControlText();
}

LRESULT CALLBACK KeyBox::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<KeyBox*>(GetPropW(window, kProperty));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        RemovePropW(window, kProperty);
        const WNDPROC previous = self->previous_;
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        return CallWindowProcW(previous, window, message, wParam, lParam);
    }
    return self->OnMessage(message, wParam, lParam);
}

LRESULT KeyBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PASTE:
            Paste();
            return 0;
        case WM_SETTEXT: {
            const wchar_t* text = lParam != 0 ? reinterpret_cast<const wchar_t*>(lParam) : L"";
            const std::size_t length = std::wcslen(text);
            if (cut_ || length > kShownKeyUnits) {
                try {
                    Show(std::wstring(text, length), 0);
                } catch (const std::bad_alloc&) {
                    return FALSE;
                }
                undo_.reset();
                return TRUE;
            }
            break;
        }
        case WM_UNDO:
        case EM_UNDO:
            if (cut_) {
                return Undo() ? TRUE : FALSE;
            }
            break;
        case WM_KEYDOWN:
            // The control pastes, copies and cuts on these keys without its own messages.
            if (wParam == VK_INSERT && GetKeyState(VK_SHIFT) < 0) {
                Paste();
                return 0;
            }
            if (cut_ && wParam == VK_INSERT && GetKeyState(VK_CONTROL) < 0) {
                CopySelection();
                return 0;
            }
            if (cut_ && wParam == VK_DELETE && GetKeyState(VK_SHIFT) < 0 &&
                GetKeyState(VK_CONTROL) >= 0) {
                const auto [start, end] = Selection();
                if (start != end) {
                    CopySelection();
                    return EditShownText(WM_CLEAR, 0, 0);
                }
            }
            break;
        case EM_CANUNDO:
            if (cut_) {
                return undo_.has_value() ? TRUE : FALSE;
            }
            break;
        case WM_COPY:
            if (cut_) {
                CopySelection();
                return 0;
            }
            break;
        case WM_CUT:
            if (cut_) {
                CopySelection();
                return EditShownText(WM_CLEAR, 0, 0);
            }
            break;
        default:
            break;
    }
    if (cut_) {
        return EditShownText(message, wParam, lParam);
    }
    const HWND edit = edit_;
    const LRESULT result = Call(message, wParam, lParam);
    // Typing can make a key long too.
    if (IsWindow(edit) && static_cast<std::size_t>(Call(WM_GETTEXTLENGTH, 0, 0)) > kShownKeyUnits) {
        try {
            Show(ControlText(), Selection().second);
        } catch (const std::bad_alloc&) {
            // The control keeps the text, only slower to lay out.
        }
    }
    return result;
}

LRESULT KeyBox::Call(UINT message, WPARAM wParam, LPARAM lParam) const {
    return CallWindowProcW(previous_, edit_, message, wParam, lParam);
}

// The control edits its shown text as it would any text; the edit is then made to the whole
// text, and the control shows that again.
LRESULT KeyBox::EditShownText(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND edit = edit_;
    const auto [start, end] = Selection();
    Call(EM_SETMODIFY, FALSE, 0);
    const LRESULT result = Call(message, wParam, lParam);
    // A key may have closed the window, and with it this object.
    if (!IsWindow(edit) || !cut_) {
        return result;
    }
    if (Call(EM_GETMODIFY, 0, 0) != 0) {
        try {
            TakeShownEdit(start, end);
        } catch (const std::bad_alloc&) {
            // As the control does when it cannot take an edit, the text stays as it was.
            Call(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shown_.c_str()));
            Call(EM_SETMODIFY, FALSE, 0);
            MessageBeep(MB_OK);
        }
    }
    return result;
}

// What changed is what lies between the longest unchanged start and end of the shown text.
// Every edit replaces the selection, or deletes next to the caret, so the unchanged start ends
// no later than the selection starts and the unchanged end begins no earlier than it ends.
void KeyBox::TakeShownEdit(std::size_t selectionStart, std::size_t selectionEnd) {
    const std::wstring now = ControlText();
    const std::wstring& before = shown_;
    std::size_t same = 0;
    const std::size_t mostSame = std::min({selectionStart, before.size(), now.size()});
    while (same < mostSame && before[same] == now[same]) {
        ++same;
    }
    std::size_t sameEnd = 0;
    const std::size_t mostSameEnd =
        std::min(before.size() - std::max(selectionEnd, same), now.size() - same);
    while (sameEnd < mostSameEnd &&
           before[before.size() - 1 - sameEnd] == now[now.size() - 1 - sameEnd]) {
        ++sameEnd;
    }
    const std::size_t from = WholeOffset(same);
    const std::size_t to = WholeOffset(before.size() - sameEnd);
    ReplaceWhole(from, to, std::wstring_view(now).substr(same, now.size() - sameEnd - same));
}

// As the control's own undo: one step, which a second undo takes back.
bool KeyBox::Undo() {
    if (!undo_) {
        return false;
    }
    try {
        const std::wstring removed = undo_->removed;
        ReplaceWhole(undo_->at, undo_->at + undo_->insertedUnits, removed);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void KeyBox::ReplaceWhole(std::size_t from, std::size_t to, std::wstring_view inserted) {
    std::wstring removed = whole_.substr(from, to - from);
    whole_.replace(from, to - from, inserted);
    undo_ = UndoStep{from, std::move(removed), inserted.size()};
    Show(std::move(whole_), from + inserted.size());
}

// The control would take the whole clipboard text into its layout: the paste is made to the
// whole text unless the result is short.
void KeyBox::Paste() {
    const ClipboardText clipboard(edit_);
    const std::wstring_view pasted = clipboard.FirstLine();
    const auto [start, end] = Selection();
    try {
        if (cut_) {
            ReplaceWhole(WholeOffset(start), WholeOffset(end), pasted);
            return;
        }
        const std::wstring before = ControlText();
        if (before.size() - (end - start) + pasted.size() <= kShownKeyUnits) {
            // What the control's own paste does, while the clipboard is open here.
            const std::wstring line(pasted);
            Call(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line.c_str()));
            return;
        }
        std::wstring whole;
        // Room to type on without moving the whole text at the first key.
        whole.reserve(before.size() + pasted.size() + kShownKeyUnits);
        whole.append(before, 0, start).append(pasted).append(before, end);
        UndoStep undo{start, before.substr(start, end - start), pasted.size()};
        Show(std::move(whole), start + pasted.size());
        undo_ = std::move(undo);
    } catch (const std::bad_alloc&) {
        // As the control does when it cannot take a paste, the text stays as it was.
        MessageBeep(MB_OK);
    }
}

void KeyBox::CopySelection() const {
    const auto [start, end] = Selection();
    const std::size_t from = WholeOffset(start);
    const std::size_t to = WholeOffset(end);
    if (from == to) {
        return;
    }
    try {
        PutUnicodeText(edit_, std::wstring_view(whole_).substr(from, to - from));
    } catch (const std::bad_alloc&) {
        MessageBeep(MB_OK);
    }
}

void KeyBox::Show(std::wstring text, std::size_t caret) {
    if (text.size() <= kShownKeyUnits) {
        // The control takes over, with an empty undo of its own.
        undo_.reset();
        cut_ = false;
        whole_.clear();
        whole_.shrink_to_fit();
        shown_.clear();
        Call(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        Call(EM_SETSEL, caret, caret);
        return;
    }
    cut_ = true;
    whole_ = std::move(text);
    const std::size_t half = kShownKeyUnits / 2;
    headUnits_ = half - (IS_HIGH_SURROGATE(whole_[half - 1]) ? 1 : 0);
    tailUnits_ = half - (IS_LOW_SURROGATE(whole_[whole_.size() - half]) ? 1 : 0);
    shown_.assign(whole_, 0, headUnits_);
    shown_.append(Widen(kCutMark));
    shown_.append(whole_, whole_.size() - tailUnits_, tailUnits_);
    Call(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shown_.c_str()));
    const std::size_t shownCaret = caret <= headUnits_ ? caret
                                   : caret < whole_.size() - tailUnits_
                                       ? headUnits_ + 1
                                       : caret - (whole_.size() - shown_.size());
    Call(EM_SETSEL, shownCaret, shownCaret);
    Call(EM_SCROLLCARET, 0, 0);
    Call(EM_SETMODIFY, FALSE, 0);
}

std::wstring KeyBox::ControlText() const {
    std::wstring text(static_cast<std::size_t>(Call(WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        Call(WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

std::pair<std::size_t, std::size_t> KeyBox::Selection() const {
    DWORD start = 0;
    DWORD end = 0;
    Call(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, std::max(start, end)};
}

std::size_t KeyBox::WholeOffset(std::size_t shownOffset) const noexcept {
    return shownOffset <= headUnits_ ? shownOffset : whole_.size() - (shown_.size() - shownOffset);
}

}  // namespace brackwin::win32
