#pragma once

class QAction;
class QWidget;

namespace brackwin {

// The main window's states. Each decides which menu items and search controls are enabled.
enum class WindowState { NoFile, Loading, Ready, Searching };

// The controls whose enabled state follows the window's state. Label1, Command4 and the
// "Version" command are outside the scheme.
struct StateControls {
    QAction* mnuAPIRead;
    QAction* mnuEnd;
    QWidget* Text1;
    QWidget* Text2;
    QWidget* Option1;
    QWidget* Option2;
    QWidget* Option3;
    QWidget* Command1;
    QWidget* Command2;
    QWidget* Command3;
    QWidget* List1;
};

void ApplyWindowState(WindowState state, const StateControls& controls);

}  // namespace brackwin
