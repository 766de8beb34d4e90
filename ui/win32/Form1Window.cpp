#include "Form1Window.h"

#include "AppIdentity.h"
#include "Utf16.h"

namespace brackwin::win32 {

namespace {

constexpr int kClientWidth = 6615;
constexpr int kClientHeight = 7875;

}  // namespace

Form1Window::Form1Window() {
    CreateForm(0, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, kClientWidth,
               kClientHeight);
    SetText(Handle(), kAppTitle);
}

}  // namespace brackwin::win32
