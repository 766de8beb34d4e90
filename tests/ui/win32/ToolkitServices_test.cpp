#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "ToolkitServices.h"
#include "Utf16.h"

namespace brackwin::win32 {
namespace {

// Control IDs of the system's open dialog.
constexpr int kFileTypeBox = 0x470;     // cmb1
constexpr int kFileNameBox = 0x47C;     // cmb13
constexpr int kOldFileNameBox = 0x480;  // edt1, in older dialogs
constexpr int kReadOnlyBox = 0x410;     // chx1

std::optional<std::wstring> ClipboardText() {
    if (!OpenClipboard(nullptr)) {
        return std::nullopt;
    }
    std::optional<std::wstring> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* characters = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = characters;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

TEST(ClipboardTest, TextRoundTripsWithItsCrLf) {
    ToolkitServices services;
    services.ClearClipboard();
    ASSERT_TRUE(services.SetClipboardText("Public Const A = 1\r\n' 定数\r\n"));

    const std::optional<std::wstring> text = ClipboardText();
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, L"Public Const A = 1\r\n' 定数\r\n");
}

TEST(ClipboardTest, ClearEmptiesIt) {
    ToolkitServices services;
    ASSERT_TRUE(services.SetClipboardText("text"));

    services.ClearClipboard();

    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
}

TEST(ClipboardTest, ClipboardHeldOpenElsewhereRefusesTheText) {
    ToolkitServices services;
    enum Holding { kWaiting, kHeld, kRefused };
    std::atomic<Holding> holding{kWaiting};
    std::atomic<bool> release{false};
    std::thread holder([&] {
        holding = OpenClipboard(nullptr) ? kHeld : kRefused;
        if (holding == kHeld) {
            while (!release) {
                Sleep(5);
            }
            CloseClipboard();
        }
    });
    while (holding == kWaiting) {
        Sleep(5);
    }

    const bool copied = services.SetClipboardText("text");
    release = true;
    holder.join();

    ASSERT_EQ(holding, kHeld);
    EXPECT_FALSE(copied);
}

// Answers the next open dialog of this thread from a second thread: finds it by its title,
// reads and fills it with `answer`, which returns the button to post. A watchdog closes a
// dialog that does not close by itself, and ends the program should even that fail, so a stuck
// dialog fails the test instead of holding up the run.
class DialogAnswerer {
  public:
    DialogAnswerer(const wchar_t* title, std::function<int(HWND)> answer)
        : title_(title),
          answer_(std::move(answer)),
          thread_(GetCurrentThreadId()),
          answerer_([this] { Run(); }) {}
    ~DialogAnswerer() { Finish(); }

    // Called once the dialog has returned.
    void Finish() {
        closed_ = true;
        if (answerer_.joinable()) {
            answerer_.join();
        }
    }
    bool Answered() const { return answered_; }
    bool ClosedByWatchdog() const { return closedByWatchdog_; }

  private:
    using Clock = std::chrono::steady_clock;

    void Run() {
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(30);
        HWND dialog = nullptr;
        while (dialog == nullptr && !closed_ && Clock::now() < deadline) {
            dialog = FindWindowW(L"#32770", title_);
            if (dialog != nullptr && GetWindowThreadProcessId(dialog, nullptr) != thread_) {
                dialog = nullptr;
            }
            Sleep(20);
        }
        if (dialog != nullptr) {
            PostMessageW(dialog, WM_COMMAND, answer_(dialog), 0);
            answered_ = true;
        }
        if (WaitForClose(deadline)) {
            return;
        }
        closedByWatchdog_ = true;
        EnumThreadWindows(thread_, CloseEveryWindow, 0);
        if (WaitForClose(Clock::now() + std::chrono::seconds(10))) {
            return;
        }
        std::fprintf(stderr, "The open dialog did not close.\n");
        std::_Exit(EXIT_FAILURE);
    }

    bool WaitForClose(Clock::time_point deadline) const {
        while (!closed_ && Clock::now() < deadline) {
            Sleep(20);
        }
        return closed_;
    }

    static BOOL CALLBACK CloseEveryWindow(HWND window, LPARAM) {
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        PostMessageW(window, WM_CLOSE, 0, 0);
        return TRUE;
    }

    const wchar_t* title_;
    std::function<int(HWND)> answer_;
    DWORD thread_;
    std::atomic<bool> closed_{false};
    std::atomic<bool> answered_{false};
    std::atomic<bool> closedByWatchdog_{false};
    std::thread answerer_;
};

std::string DialogItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr ? GetText(item) : "<missing>";
}

// A folder with a Japanese name, removed with what it holds after the test.
class OpenDialogTest : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        folder_ = std::wstring(temp) + L"brackwin 試験 " + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
    }
    void TearDown() override { RemoveDirectoryW(folder_.c_str()); }

    std::wstring folder_;
    ToolkitServices services_;
};

TEST_F(OpenDialogTest, ReturnsTheTypedNameInTheInitialFolder) {
    std::string fileType;
    bool readOnlyShown = true;
    DialogAnswerer answerer(L"APIファイルの読み込み", [&](HWND dialog) {
        fileType = DialogItemText(dialog, kFileTypeBox);
        HWND readOnly = GetDlgItem(dialog, kReadOnlyBox);
        readOnlyShown = readOnly != nullptr && IsWindowVisible(readOnly);
        const int nameBox =
            GetDlgItem(dialog, kFileNameBox) != nullptr ? kFileNameBox : kOldFileNameBox;
        SetDlgItemTextW(dialog, nameBox, L"宣言.txt");
        return IDOK;
    });

    const std::optional<std::string> chosen = services_.ChooseFileToOpen(
        nullptr, "APIファイルの読み込み", "APIファイル (*.txt)|*.txt", Narrow(folder_));
    answerer.Finish();

    EXPECT_TRUE(answerer.Answered());
    EXPECT_FALSE(answerer.ClosedByWatchdog());
    EXPECT_EQ(chosen, Narrow(folder_ + L"\\宣言.txt"));
    EXPECT_EQ(fileType, "APIファイル (*.txt)");
    EXPECT_FALSE(readOnlyShown);
}

TEST_F(OpenDialogTest, CancelGivesNothing) {
    DialogAnswerer answerer(L"APIファイルの読み込み", [](HWND) { return IDCANCEL; });

    const std::optional<std::string> chosen = services_.ChooseFileToOpen(
        nullptr, "APIファイルの読み込み", "APIファイル (*.txt)|*.txt", Narrow(folder_));
    answerer.Finish();

    EXPECT_TRUE(answerer.Answered());
    EXPECT_FALSE(answerer.ClosedByWatchdog());
    EXPECT_EQ(chosen, std::nullopt);
}

}  // namespace
}  // namespace brackwin::win32
