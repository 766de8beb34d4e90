// Times the Windows main window on generated declaration files, from the command to the list
// filled and the window idle again: every category with an empty key on a file of a real
// declaration file's size, and loading and a category-1 search on a file of two million lines,
// with the longest time between two rounds of message processing. Then the preview and add of
// huge entries (a 100 MB line, type blocks of 200,000 and 3,800,000 lines) against copying their
// text once, with the memory they take; a 3 MB paste into the key box and the events after it;
// and a type preview and add on a file of 24,000,000 lines against one byte search over its
// text. Run under Wine from a Release build (bench/windows-window-bench).
// Usage: brackwin-windows-window-bench [RUNS]

#include <windows.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "Form1Window.h"
#include "MessageLoop.h"
#include "StandInServices.h"
#include "ToolkitServices.h"

// Counts the bytes the program holds through operator new, and their peak, so the memory an
// action takes can be told apart from what the window already held.
namespace {
std::atomic<std::size_t> heldBytes = 0;
std::atomic<std::size_t> peakBytes = 0;

void* CountedAllocate(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    const std::size_t held = heldBytes += _msize(block);
    std::size_t peak = peakBytes;
    while (held > peak && !peakBytes.compare_exchange_weak(peak, held)) {
    }
    return block;
}

void CountedFree(void* block) noexcept {
    if (block != nullptr) {
        heldBytes -= _msize(block);
        std::free(block);
    }
}
}  // namespace

void* operator new(std::size_t size) {
    return CountedAllocate(size);
}
void* operator new[](std::size_t size) {
    return CountedAllocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return CountedAllocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* block) noexcept {
    CountedFree(block);
}
void operator delete[](void* block) noexcept {
    CountedFree(block);
}
void operator delete(void* block, std::size_t) noexcept {
    CountedFree(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    CountedFree(block);
}

namespace {

using brackwin::win32::Form1Window;
using Clock = std::chrono::steady_clock;
using ID = Form1Window::ID;

constexpr double kSmallSearchGoalMs = 16;
constexpr double kLargeLoadGoalMs = 1000;
constexpr double kLargeSearchGoalMs = 500;
constexpr double kGapGoalMs = 20;
constexpr double kHugeEntryGoalMs = 100;
constexpr double kLongBlockGoalMs = 2000;
constexpr double kMemoryGoalRatio = 2;
constexpr double kKeyEventGoalMs = 50;
constexpr double kClipboardGoalRatio = 1.5;
constexpr double kWholeTextScanGoalRatio = 1.5;

constexpr std::size_t kHugeLineBytes = 100'000'000;
constexpr int kBlockLines = 200'000;
constexpr int kLongBlockLines = 3'800'000;
constexpr std::size_t kPastedKeyBytes = 3'000'000;
constexpr std::size_t kLongestPastedKeyBytes = 30'000'000;
constexpr int kHugeFileLines = 24'000'000;

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

// Writes a file of the lines that write gives, each ended by CR LF.
std::string WriteFile(const std::filesystem::path& dir, const std::string& name,
                      const std::function<void(std::ofstream&)>& write) {
    const std::filesystem::path path = dir / name;
    std::ofstream file(path, std::ios::binary);
    write(file);
    return path.string();
}

std::string ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string text(std::filesystem::file_size(path), '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    return text;
}

// Selects the first entry as a click does, which previews it.
double PreviewFirstMs(HWND window) {
    HWND list = GetDlgItem(window, ID::List1);
    const Clock::time_point start = Clock::now();
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(ID::List1, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    WaitIdle();
    return MsSince(start);
}

double ClickMs(HWND window, int id) {
    const Clock::time_point start = Clock::now();
    SendMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0);
    WaitIdle();
    return MsSince(start);
}

// What an action took: its time, and the most memory it held beyond what was held before it.
struct Cost {
    double ms;
    std::size_t bytes;
};

Cost Measure(const std::function<double()>& action) {
    const std::size_t before = heldBytes;
    peakBytes = before;
    const double ms = action();
    return {ms, peakBytes - before};
}

// Copying a text once: the least any action that hands the text on can cost.
double CopyMs(std::size_t bytes) {
    std::vector<char> from(bytes, 'A');
    const Clock::time_point start = Clock::now();
    std::vector<char> to(from);
    const double ms = MsSince(start);
    std::printf("  (reference: copying %zu bytes once: %.2f ms)\n", bytes, ms);
    return std::max(ms, 0.01);
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

bool ReportRatio(const std::string& what, double ratio, double goalRatio) {
    const bool met = ratio <= goalRatio;
    std::printf("%-44s %9.2f x   (goal <= %.1f x) %s\n", what.c_str(), ratio, goalRatio,
                met ? "ok" : "MISSED");
    return met;
}

// The preview and the add of the first entry a search lists, in time against copying the
// entry's text once, and in memory against that text.
bool HugeEntry(HWND window, brackwin::win32::StandInServices& services, const std::string& what,
               const std::string& path, int category, std::size_t textBytes, double goalMs) {
    std::printf("%s, %zu bytes:\n", what.c_str(), textBytes);
    LoadMs(window, services, path);
    SearchMs(window, category);
    const double copyMs = CopyMs(textBytes);
    bool met = true;
    const Cost preview = Measure([&] { return PreviewFirstMs(window); });
    const Cost add = Measure([&] { return ClickMs(window, ID::Command4); });
    met &= Report("  preview", preview.ms, goalMs);
    std::printf("  %-42s %9.2f x copying\n", "preview", preview.ms / copyMs);
    met &= Report("  add", add.ms, goalMs);
    std::printf("  %-42s %9.2f x copying\n", "add", add.ms / copyMs);
    met &= ReportRatio("  memory of the preview / the text", double(preview.bytes) / textBytes,
                       kMemoryGoalRatio);
    met &= ReportRatio("  memory of the add / the text", double(add.bytes) / textBytes,
                       kMemoryGoalRatio);
    const Cost clear = Measure([&] { return ClickMs(window, ID::Command2); });
    met &= Report("  clear", clear.ms, goalMs);
    return met;
}

bool HugeEntries(HWND window, brackwin::win32::StandInServices& services,
                 const std::filesystem::path& dir) {
    bool met = true;
    const std::string line = "Public Const HUGE = " + std::string(kHugeLineBytes, 'A');
    met &=
        HugeEntry(window, services, "A line of 100 MB",
                  WriteFile(dir, "line.txt",
                            [&](std::ofstream& out) { out << "' h\r\n"
                                                          << line << "\r\n' t\r\n"; }),
                  1, line.size(), kHugeEntryGoalMs);
    for (const auto& [lines, goalMs] :
         {std::pair{kBlockLines, kHugeEntryGoalMs}, std::pair{kLongBlockLines, kLongBlockGoalMs}}) {
        std::size_t bytes = 0;
        const std::string path =
            WriteFile(dir, "block" + std::to_string(lines) + ".txt", [&](std::ofstream& out) {
                out << "' h\r\nType HUGE\r\n";
                for (int i = 0; i < lines; ++i) {
                    const std::string member = "    Member" + std::to_string(i) + " As Long";
                    out << member << "\r\n";
                    bytes += member.size() + 2;
                }
                out << "End Type\r\n";
            });
        met &=
            HugeEntry(window, services, "A type block of " + std::to_string(lines + 2) + " lines",
                      path, 3, bytes, goalMs);
    }
    return met;
}

// The clipboard's text, as a reader gets it.
std::size_t ClipboardTextLength() {
    std::size_t length = 0;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
                length = std::wcslen(chars);
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    return length;
}

// A long text pasted into the key box, and the events a user sends it afterwards: moving the
// caret, typing, painting, the focus leaving and coming back, copying it all. A paste and a copy
// move the whole key through the clipboard, which takes the system a time of its own: they are
// measured against the system's putting the key on the clipboard, the other events against the
// goal per event.
bool PastedKey(HWND window, std::size_t bytes) {
    std::printf("A key of %zu bytes pasted into the key box:\n", bytes);
    std::wstring key(bytes, L'k');
    for (std::size_t i = 0; i < key.size(); i += 80) {
        key[i] = L' ';
    }
    // The second time, as a copy does, the clipboard gives up a text of the same size.
    brackwin::win32::PutUnicodeText(window, key);
    const Clock::time_point start = Clock::now();
    brackwin::win32::PutUnicodeText(window, key);
    const double clipboardMs = std::max(MsSince(start), 0.01);
    std::printf("  (reference: the system puts the key on the clipboard: %.2f ms)\n", clipboardMs);
    HWND text1 = GetDlgItem(window, ID::Text1);
    SetWindowTextW(text1, L"");
    SetFocus(text1);
    WaitIdle();
    const auto time = [](const std::function<void()>& event) {
        const Clock::time_point start = Clock::now();
        event();
        WaitIdle();
        return MsSince(start);
    };
    const double pasteMs = time([&] { SendMessageW(text1, WM_PASTE, 0, 0); });
    const std::vector<std::pair<std::string, std::function<void()>>> events = {
        {"typing a character at the end", [&] { SendMessageW(text1, WM_CHAR, 'x', 1); }},
        {"Backspace", [&] { SendMessageW(text1, WM_CHAR, VK_BACK, 1); }},
        {"Home", [&] { SendMessageW(text1, WM_KEYDOWN, VK_HOME, 1); }},
        {"typing a character at the start", [&] { SendMessageW(text1, WM_CHAR, 'y', 1); }},
        {"Delete", [&] { SendMessageW(text1, WM_KEYDOWN, VK_DELETE, 1); }},
        {"End", [&] { SendMessageW(text1, WM_KEYDOWN, VK_END, 1); }},
        {"painting",
         [&] { RedrawWindow(text1, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }},
        {"focus away and back",
         [&] {
             SetFocus(GetDlgItem(window, ID::Command1));
             SetFocus(text1);
         }},
    };
    double longestMs = 0;
    for (const auto& [name, event] : events) {
        const double ms = time(event);
        std::printf("  %-42s %9.2f ms\n", name.c_str(), ms);
        longestMs = std::max(longestMs, ms);
    }
    const double copyMs = time([&] {
        SendMessageW(text1, EM_SETSEL, 0, -1);
        SendMessageW(text1, WM_COPY, 0, 0);
    });
    bool met = Report("  longest other event", longestMs, kKeyEventGoalMs);
    std::printf("  %-42s %9.2f ms\n", "paste", pasteMs);
    met &=
        ReportRatio("  paste / the system's clipboard", pasteMs / clipboardMs, kClipboardGoalRatio);
    std::printf("  %-42s %9.2f ms\n", "selecting all and copying", copyMs);
    met &=
        ReportRatio("  copy / the system's clipboard", copyMs / clipboardMs, kClipboardGoalRatio);
    // The key as pasted, with y in place of its first character.
    const std::size_t kept = ClipboardTextLength();
    const bool whole = kept == bytes;
    std::printf("  %-42s %9zu units %s\n", "key copied whole", kept, whole ? "ok" : "MISSED");
    SetWindowTextW(text1, L"");
    return met && whole;
}

// A type preview and add on a huge file, against one byte search over its whole text (for a
// byte it does not hold).
bool HugeFile(HWND window, brackwin::win32::StandInServices& services,
              const std::filesystem::path& dir) {
    const std::string path = MakeFile(dir, kHugeFileLines);
    {
        // One type that is defined once, at the end: its block is found only past the whole text.
        std::ofstream out(path, std::ios::binary | std::ios::app);
        out << "Type ZZBENCHONLY\r\n    Field As Long\r\nEnd Type\r\n";
    }
    std::printf("File of %d lines, %llu bytes:\n", kHugeFileLines + 3,
                static_cast<unsigned long long>(std::filesystem::file_size(path)));
    double searchMs = 0;
    {
        const std::string text = ReadWhole(path);
        const Clock::time_point start = Clock::now();
        const void* found = std::memchr(text.data(), '\x01', text.size());
        searchMs = std::max(MsSince(start), 0.01);
        std::printf("  (reference: one byte search over the text: %.2f ms%s)\n", searchMs,
                    found != nullptr ? ", found" : "");
    }
    LoadMs(window, services, path);
    SetWindowTextW(GetDlgItem(window, ID::Text1), L"ZZBENCHONLY");
    SearchMs(window, 3);
    const double previewMs = PreviewFirstMs(window);
    const double addMs = ClickMs(window, ID::Command4);
    std::printf("  %-42s %9.2f ms\n", "type preview", previewMs);
    std::printf("  %-42s %9.2f ms\n", "type add", addMs);
    bool met =
        ReportRatio("  type preview / byte search", previewMs / searchMs, kWholeTextScanGoalRatio);
    met &= ReportRatio("  type add / byte search", addMs / searchMs, kWholeTextScanGoalRatio);
    ClickMs(window, ID::Command2);
    SetWindowTextW(GetDlgItem(window, ID::Text1), L"");
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

        met &= HugeEntries(window, services, dir);
        met &= PastedKey(window, kPastedKeyBytes);
        met &= PastedKey(window, kLongestPastedKeyBytes);
        met &= HugeFile(window, services, dir);
    }
    brackwin::win32::UserInterfaceServices::Install(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return met ? 0 : 1;
}
