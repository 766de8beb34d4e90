// Times the Windows main window on generated declaration files, from the command to the list
// filled and the window idle again: every category with an empty key on a file of a real
// declaration file's size, and loading and a category-1 search on a file of two million lines,
// with the longest time between two rounds of message processing. Run under Wine from a Release
// build (bench/windows-window-bench). Usage: brackwin-windows-window-bench [RUNS]

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "Form1Window.h"
#include "MessageLoop.h"
#include "StandInServices.h"

namespace {

using brackwin::win32::Form1Window;
using Clock = std::chrono::steady_clock;
using ID = Form1Window::ID;

constexpr double kSmallSearchGoalMs = 16;
constexpr double kLargeLoadGoalMs = 1000;
constexpr double kLargeSearchGoalMs = 500;
constexpr double kGapGoalMs = 20;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The longest time between two rounds of message processing while it is running: a second
// thread keeps one message waiting for the window's thread at all times, each posted a
// millisecond at most after the last was handled.
class GapMeter {
  public:
    GapMeter() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"BrackwinGapMeter";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~GapMeter() { DestroyWindow(window_); }
    GapMeter(const GapMeter&) = delete;
    GapMeter& operator=(const GapMeter&) = delete;

    void Start() {
        longestMs_ = 0;
        last_ = Clock::now();
        running_ = true;
        // Starting the thread can take milliseconds, during which the window might handle all
        // of its messages without one of the meter's to count.
        PostUnlessWaiting();
        poster_ = std::thread([this] {
            while (running_) {
                PostUnlessWaiting();
                Sleep(1);
            }
        });
    }
    double StopMs() {
        Tick();
        running_ = false;
        poster_.join();
        return longestMs_;
    }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<GapMeter*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && message == WM_APP) {
            if (self->running_) {
                self->Tick();
            }
            self->waiting_ = false;
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    void PostUnlessWaiting() {
        if (!waiting_.exchange(true)) {
            PostMessageW(window_, WM_APP, 0, 0);
        }
    }

    void Tick() {
        longestMs_ = std::max(longestMs_, MsSince(last_));
        last_ = Clock::now();
    }

    HWND window_ = nullptr;
    std::thread poster_;
    std::atomic<bool> running_ = false;
    std::atomic<bool> waiting_ = false;
    Clock::time_point last_;
    double longestMs_ = 0;
};

std::string MakeFile(const std::filesystem::path& dir, int lines) {
    const std::filesystem::path path = dir / (std::to_string(lines) + ".txt");
    std::wstring command = L"\"" BRACKWIN_MAKE_DECLARATIONS_W L"\" " + std::to_wstring(lines) +
                           L" \"" + path.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    DWORD exitCode = 1;
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (exitCode != 0) {
        std::fprintf(stderr, "cannot generate %s\n", path.string().c_str());
        std::exit(1);
    }
    return path.string();
}

void WaitIdle() {
    brackwin::win32::ProcessPendingMessages();
}

double LoadMs(HWND window, brackwin::win32::StandInServices& services, const std::string& path) {
    services.answers.push_back(path);
    const Clock::time_point start = Clock::now();
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(ID::mnuAPIRead, 0), 0);
    WaitIdle();
    return MsSince(start);
}

// Enter in the key box, as the user presses it.
double SearchMs(HWND window, int category) {
    SendMessageW(GetDlgItem(window, ID::Option1 + category - 1), BM_CLICK, 0, 0);
    WaitIdle();
    const Clock::time_point start = Clock::now();
    HWND key = GetDlgItem(window, ID::Text1);
    SendMessageW(key, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageW(key, WM_KEYUP, VK_RETURN, 1 | (3u << 30));
    WaitIdle();
    return MsSince(start);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool Report(const std::string& what, double ms, double goalMs) {
    const bool met = ms <= goalMs;
    std::printf("%-44s %9.2f ms  (goal <= %.0f ms) %s\n", what.c_str(), ms, goalMs,
                met ? "ok" : "MISSED");
    return met;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("brackwin-bench-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(dir);
    const std::string small = MakeFile(dir, 16000);
    const std::string large = MakeFile(dir, 2000000);

    brackwin::win32::StandInServices services;
    brackwin::win32::UserInterfaceServices::Install(&services);
    bool met = true;
    {
        Form1Window form;
        HWND window = form.Handle();
        ShowWindow(window, SW_SHOW);
        WaitIdle();

        std::printf("File of %d lines, %llu bytes; median of %d runs:\n", 16000,
                    static_cast<unsigned long long>(std::filesystem::file_size(small)), runs);
        LoadMs(window, services, small);
        for (int category = 1; category <= 3; ++category) {
            std::vector<double> times;
            for (int run = 0; run < runs; ++run) {
                times.push_back(SearchMs(window, category));
            }
            met &= Report("  search category " + std::to_string(category) + ", empty key (" +
                              std::to_string(form.Results().Count()) + " entries)",
                          Median(times), kSmallSearchGoalMs);
        }

        std::printf("File of %d lines, %llu bytes:\n", 2000000,
                    static_cast<unsigned long long>(std::filesystem::file_size(large)));
        GapMeter gaps;
        gaps.Start();
        const double loadMs = LoadMs(window, services, large);
        const double loadGapMs = gaps.StopMs();
        met &= Report("  load", loadMs, kLargeLoadGoalMs);
        met &= Report("  longest time without messages, load", loadGapMs, kGapGoalMs);
        gaps.Start();
        const double searchMs = SearchMs(window, 1);
        const double searchGapMs = gaps.StopMs();
        met &= Report("  search category 1, empty key (" + std::to_string(form.Results().Count()) +
                          " entries)",
                      searchMs, kLargeSearchGoalMs);
        met &= Report("  longest time without messages, search", searchGapMs, kGapGoalMs);
    }
    brackwin::win32::UserInterfaceServices::Install(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return met ? 0 : 1;
}
