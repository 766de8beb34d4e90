#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "StandInServices.h"
#include "UserInterfaceServices.h"
#include "Window.h"

namespace brackwin::win32 {
namespace {

constexpr UINT kFail = WM_APP;

class FailingWindow final : public Window {
  public:
    FailingWindow() {
        RegisterWindowClass(L"BrackwinFailingTestWindow", nullptr, nullptr);
        Create(L"BrackwinFailingTestWindow", 0, WS_POPUP, nullptr, 0);
    }

  private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kFail) {
            throw std::runtime_error("the handler failed");
        }
        return Window::OnMessage(message, wParam, lParam);
    }
};

// Writes the message to the standard error, where the death test reads it.
class ReportingServices final : public StandInServices {
  public:
    void ShowMessage(HWND, std::string_view text, std::string_view caption) override {
        std::fprintf(stderr, "%s: %s\n", std::string(caption).c_str(), std::string(text).c_str());
    }
};

TEST(WindowDeathTest, ErrorEscapingAHandlerIsShownAndEndsTheProgram) {
    EXPECT_EXIT(
        {
            ReportingServices services;
            UserInterfaceServices::Install(&services);
            FailingWindow window;
            SendMessageW(window.Handle(), kFail, 0, 0);
            std::fprintf(stderr, "the program went on\n");
            std::exit(0);
        },
        testing::ExitedWithCode(EXIT_FAILURE), "Brackwin: the handler failed");
}

TEST(WindowTest, DestroyingTheObjectDestroysItsWindow) {
    HWND handle = nullptr;
    {
        FailingWindow window;
        handle = window.Handle();
        ASSERT_TRUE(IsWindow(handle));
    }
    EXPECT_FALSE(IsWindow(handle));
}

}  // namespace
}  // namespace brackwin::win32
