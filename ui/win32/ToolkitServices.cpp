#include "ToolkitServices.h"

#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#include "ShownText.h"
#include "Utf16.h"
#include "Window.h"

namespace brackwin::win32 {

namespace {

// Room for the longest path the system allows.
constexpr DWORD kFileNameCapacity = 32768;

}  // namespace

std::optional<std::string> ToolkitServices::ChooseFileToOpen(HWND owner, std::string_view title,
                                                             std::string_view filter,
                                                             std::string_view initialFolder) {
    const std::wstring wideTitle = Widen(title);
    // The dialog takes the pieces of the filter each ended by a NUL, the whole by a second one.
    std::wstring wideFilter = Widen(filter);
    std::replace(wideFilter.begin(), wideFilter.end(), L'|', L'\0');
    wideFilter.push_back(L'\0');
    const std::wstring wideFolder = Widen(initialFolder);
    std::vector<wchar_t> fileName(kFileNameCapacity, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = wideFilter.c_str();
    dialog.lpstrFile = fileName.data();
    dialog.nMaxFile = kFileNameCapacity;
    dialog.lpstrInitialDir = wideFolder.c_str();
    dialog.lpstrTitle = wideTitle.c_str();
    // No OFN_FILEMUSTEXIST: the user may type any name. The process's current folder stays
    // where it was, so the chosen folder is not held open after the dialog.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) {
        const DWORD error = CommDlgExtendedError();
        if (error == 0) {
            return std::nullopt;
        }
        throw std::runtime_error("the open dialog failed with error " + std::to_string(error));
    }
    return Narrow(fileName.data());
}

void ToolkitServices::ShowMessage(HWND owner, std::string_view text, std::string_view caption) {
    MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), MB_OK);
}

void ToolkitServices::ClearClipboard() {
    const OpenedClipboard clipboard(ClipboardOwner());
    if (clipboard.IsOpen()) {
        EmptyClipboard();
    }
}

// Every reader of the Unicode text format stops at its first NUL, so each NUL becomes the mark
// the windows show for it.
bool ToolkitServices::SetClipboardText(std::string_view text) {
    std::wstring wide = Widen(text);
    std::replace(wide.begin(), wide.end(), L'\0', Widen(kNulMark).front());
    return PutUnicodeText(ClipboardOwner(), wide);
}

bool PutUnicodeText(HWND owner, std::wstring_view text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) {
        throw std::bad_alloc();
    }
    auto* target = static_cast<wchar_t*>(GlobalLock(memory.get()));
    if (target == nullptr) {
        return false;
    }
    std::memcpy(target, text.data(), text.size() * sizeof(wchar_t));
    target[text.size()] = L'\0';
    GlobalUnlock(memory.get());

    const OpenedClipboard clipboard(owner);
    if (!clipboard.IsOpen() || !EmptyClipboard() ||
        SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr) {
        return false;
    }
    // The clipboard owns the memory from here on.
    static_cast<void>(memory.release());
    return true;
}

// Some shell handlers are COM objects and need the apartment of a user-interface thread.
void ToolkitServices::OpenUrl(std::string_view target) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ShellExecuteW(nullptr, L"open", Widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
}

HWND ToolkitServices::ClipboardOwner() {
    if (!clipboardOwner_) {
        clipboardOwner_.reset(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                              nullptr, GetModuleHandleW(nullptr), nullptr));
        if (!clipboardOwner_) {
            ThrowLastError("creating the clipboard's window");
        }
    }
    return clipboardOwner_.get();
}

}  // namespace brackwin::win32
