#include <windows.h>

#include "Form1Window.h"
#include "MessageLoop.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    brackwin::win32::Form1Window window;
    ShowWindow(window.Handle(), show);
    return brackwin::win32::RunMessageLoop();
}
