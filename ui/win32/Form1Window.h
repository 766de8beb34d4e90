#pragma once

#include <windows.h>
// A leftover of 16-bit Windows that would rename the window logic's Yield class.
#undef Yield

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ComApartment.h"
#include "DelegatingAccessible.h"
#include "Form1.h"
#include "Form1View.h"
#include "FormWindow.h"
#include "KeyBox.h"

namespace brackwin::win32 {

// The main window on the system's own controls: creates the controls, wires their events to the
// window logic's handlers and carries out what the logic asks of the view.
class Form1Window final : public FormWindow, private Form1View {
  public:
    // The control and menu item IDs, which name them. None is IDOK or IDCANCEL, which the dialog
    // keys send for Enter and Esc.
    struct ID {
        enum : int {
            Text1 = 101,
            Command1,
            Command3,
            Command2,
            Option1,
            Option2,
            Option3,
            List1,
            Text2,
            Label1,
            Command4,
            mnuAPIRead = 201,
            mnuEnd,
            mnuVersion,
        };
    };

    // Builds the hidden window with its controls in the No file state.
    Form1Window();

    // The entries List1 shows, which it draws from here.
    const SortedResultList& Results() const noexcept { return logic_.Results(); }

  private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCommand(int id, int code, HWND control);
    void OnMenuCommand(int id);
    LRESULT OnList1Char(wchar_t character);
    LRESULT OnClientObjectWanted(HWND control, WPARAM flags);
    DelegatingAccessible* AccessibleObjectOf(HWND control);
    void AnnounceList1Selection() const;
    void OnDrawItem(const DRAWITEMSTRUCT& item) const;
    void OnText2Copy();
    bool OnSetCursor(HWND window, int hitTest) const;
    LRESULT OnCtlColorStatic(HDC dc, HWND control);
    void OnClose();
    void OnDpiChanged() override;
    void SetList1ItemHeight();

    void Enable(Control control, bool enabled) override;
    void ShowBusyPointer(bool busy) override;
    void ResultsAboutToBeCleared() override;
    void ResultsCleared() override;
    void ResultsAboutToBePlaced() override;
    void ResultsPlaced() override;
    std::optional<std::size_t> SelectedResult() const override;
    std::string KeyText() const override;
    bool IsSelected(Control option) const override;
    void SetLabel1(std::string_view caption) override;
    void SetText2(std::string_view text) override;
    void AppendText2(std::string_view text) override;
    std::optional<std::string> ShowOpenDialog(const OpenDialogSettings& settings) override;
    void ProcessPendingEvents() override;
    void ShowAbout() override;
    void EndProgram() override;
    void Clear() override;
    bool SetText(std::string_view text) override;
    void Show(std::string_view text, std::string_view caption) override;

    HWND ControlWindow(Control control) const;

    // Before the controls and after their accessible objects.
    ComApartment apartment_;
    Form1 logic_;
    bool busy_ = false;
    // Where the result list stood before the logic placed new entries.
    std::optional<std::size_t> selectedBeforePlacing_;
    std::size_t topBeforePlacing_ = 0;
    // The first half of a character typed in List1 that comes as two UTF-16 units.
    wchar_t highSurrogate_ = 0;
    // The entries selected and at the top, which placing new entries moves.
    std::optional<SortedResultList::Id> selectedIdBeforePlacing_;
    std::optional<SortedResultList::Id> topIdBeforePlacing_;

    HWND Text1;
    std::optional<KeyBox> keyBox_;
    HWND Command1;
    HWND Command3;
    HWND Command2;
    HWND Option1;
    HWND Option2;
    HWND Option3;
    HWND List1;
    HWND Text2;
    HWND Label1;
    HWND Command4;

    // Made when a screen reader first asks; disconnected with the window.
    AccessiblePtr text1Accessible_;
    AccessiblePtr list1Accessible_;
    AccessiblePtr text2Accessible_;
    AccessiblePtr label1Accessible_;
};

}  // namespace brackwin::win32
