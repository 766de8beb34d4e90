#include <windows.h>

#include <exception>

#include "EscapedError.h"
#include "Form1Window.h"
#include "MessageLoop.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    try {
        brackwin::win32::FormWindow::QuitWhenLastFormCloses();
        brackwin::win32::Form1Window window;
        ShowWindow(window.Handle(), show);
        return brackwin::win32::RunMessageLoop();
    } catch (const std::exception& error) {
        brackwin::win32::ReportEscapedError(error.what());
    }
}
