#pragma once

#include <windows.h>

namespace brackwin::win32 {

// Hands one message to its window: through the dialog manager when the window it went to lies
// in one of the program's forms, so Tab, Enter and Esc work there as in a dialog box.
void DispatchWindowMessage(MSG& message);

// Handles messages until WM_QUIT and returns its exit code.
int RunMessageLoop();

// Handles every pending message, then returns: the yield of the long operations. A WM_QUIT is
// left for the message loop, which then ends.
void ProcessPendingMessages();

}  // namespace brackwin::win32
