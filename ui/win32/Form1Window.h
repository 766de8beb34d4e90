#pragma once

#include <windows.h>

#include "FormWindow.h"

namespace brackwin::win32 {

// The main window on the system's own controls.
class Form1Window final : public FormWindow {
  public:
    Form1Window();
};

}  // namespace brackwin::win32
