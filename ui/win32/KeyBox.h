#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace brackwin::win32 {

// Keeps a single-line edit control's text whole at any length while the control holds only its
// start: laying out a pasted text of megabytes kept the control busy for seconds at every key,
// caret move and paint. A text longer than kShownKeyUnits UTF-16 units shows as its first and
// last units with the cut mark between them, and the mark stands for the rest: an edit, paste,
// cut or copy of the shown text is one of the whole text, a selection that takes in the mark
// taking in all it hides; an undo takes back the last edit.
// Other windows (and WM_GETTEXT) see the shown text; Text() is the whole one.
class KeyBox {
  public:
    // Goes in front of the control's window procedure for as long as this object lives.
    explicit KeyBox(HWND edit);
    ~KeyBox();
    KeyBox(const KeyBox&) = delete;
    KeyBox& operator=(const KeyBox&) = delete;

    std::wstring Text() const;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Call(UINT message, WPARAM wParam, LPARAM lParam) const;
    LRESULT EditShownText(UINT message, WPARAM wParam, LPARAM lParam);
    void TakeShownEdit(std::size_t selectionStart, std::size_t selectionEnd);
    bool Undo();
    // Replaces the whole text's units from `from` to `to`, as one step to undo, and shows it.
    void ReplaceWhole(std::size_t from, std::size_t to, std::wstring_view inserted);
    void Paste();
    void CopySelection() const;
    void Show(std::wstring text, std::size_t caret);
    std::wstring ControlText() const;
    std::pair<std::size_t, std::size_t> Selection() const;
    // Where a place in the shown text falls in the whole text.
    std::size_t WholeOffset(std::size_t shownOffset) const noexcept;

    HWND edit_;
    WNDPROC previous_;
    // While the text is longer than the control shows: the whole text, what the control holds,
    // and how many of the text's first and last units that shows.
    bool cut_ = false;
    std::wstring whole_;
    std::wstring shown_;
    std::size_t headUnits_ = 0;
    std::size_t tailUnits_ = 0;
    // What undoing the last edit puts back where, in place of how many units.
    struct UndoStep {
        std::size_t at = 0;
        std::wstring removed;
        std::size_t insertedUnits = 0;
    };
    std::optional<UndoStep> undo_;
};

// Longer texts show cut: enough to fill the key box many times over, a millisecond of layout.
inline constexpr std::size_t kShownKeyUnits = 512;

}  // namespace brackwin::win32
