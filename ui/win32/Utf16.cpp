#include "Utf16.h"

#include <climits>
#include <stdexcept>

namespace brackwin::win32 {

namespace {

int CheckedLength(std::size_t length) {
    if (length > static_cast<std::size_t>(INT_MAX)) {
        throw std::length_error("a text is too long for the system's conversion");
    }
    return static_cast<int>(length);
}

}  // namespace

// An empty input needs no call: the conversion calls report a length of 0 as a failure.
std::wstring Widen(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int inLength = CheckedLength(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, wide.data(), length);
    return wide;
}

std::string Narrow(std::wstring_view utf16) {
    if (utf16.empty()) {
        return {};
    }
    const int inLength = CheckedLength(utf16.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, utf16.data(), inLength, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), inLength, narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}

std::string GetText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void SetText(HWND window, std::string_view utf8) {
    SetWindowTextW(window, Widen(utf8).c_str());
}

}  // namespace brackwin::win32
