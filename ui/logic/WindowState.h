#pragma once

#include "Form1View.h"

namespace brackwin {

// The main window's states. Each decides which menu items and search controls are enabled.
enum class WindowState { NoFile, Loading, Ready, Searching };

// Moves the view's controls from one state's enabled set to another's, touching only those that
// change, in the window's one order: what is disabled goes first, load menu items before the
// search controls; what is enabled goes after, search controls before the menu items. Label1,
// Command4 and the "Version" command are outside the scheme.
void ApplyWindowState(WindowState from, WindowState to, Form1View& view);
// The same from a window whose controls are in an unknown state: every control is set.
void ApplyWindowState(WindowState to, Form1View& view);

}  // namespace brackwin
