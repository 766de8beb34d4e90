#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "UiServices.h"

namespace brackwin {

// The main window's controls and menu items whose enabled state the window logic sets.
enum class Control {
    mnuAPIRead,
    mnuEnd,
    Text1,
    Text2,
    Option1,
    Option2,
    Option3,
    Command1,
    Command2,
    Command3,
    List1,
    Command4,
};

// What the open dialog is shown with. Texts are UTF-8; initialFolder uses "\" as separator, and a
// toolkit on a system with another separator converts it.
struct OpenDialogSettings {
    std::string_view title;
    std::string_view filterDescription;
    std::string_view filterPattern;
    std::string initialFolder;
};

// The user-interface services of the main window, as its logic (Form1) uses them. Each toolkit
// implements them on its widgets; nothing here runs a handler step. Texts are UTF-8.
class Form1View : public Clipboard, public MessageDialog {
  public:
    // A disabled control or menu item raises no events.
    virtual void Enable(Control control, bool enabled) = 0;
    // The busy pointer, over the main window only.
    virtual void ShowBusyPointer(bool busy) = 0;

    // The result list shows the committed entries of Form1::Results(); these bracket each change.
    virtual void ResultsAboutToBeCleared() = 0;
    virtual void ResultsCleared() = 0;
    // New entries are placed among the shown ones. A view keeps its selection on its entry by
    // the entry's id: SortedResultList::IdAt before, IndexOf after.
    virtual void ResultsAboutToBePlaced() = 0;
    virtual void ResultsPlaced() = 0;
    // The selected entry's index; the user can select at most one.
    virtual std::optional<std::size_t> SelectedResult() const = 0;

    // The key box Text1's text.
    virtual std::string KeyText() const = 0;
    virtual bool IsSelected(Control option) const = 0;
    // Label1's caption and Text2's text, already bounded for display; CR LF breaks lines.
    virtual void SetLabel1(std::string_view caption) = 0;
    virtual void SetText2(std::string_view text) = 0;
    virtual void AppendText2(std::string_view text) = 0;

    // The modal open dialog; the chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> ShowOpenDialog(const OpenDialogSettings& settings) = 0;
    // Lets the toolkit handle its pending events; handlers of enabled controls may run in it.
    virtual void ProcessPendingEvents() = 0;
    // Shows the one About window, or brings it to the front.
    virtual void ShowAbout() = 0;
    // Ends the program at once: every window closes and no further handler runs.
    virtual void EndProgram() = 0;
};

}  // namespace brackwin
