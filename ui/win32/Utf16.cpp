#include "Utf16.h"

#include <algorithm>
#include <climits>
#include <new>

namespace brackwin::win32 {

namespace {

// The conversion calls count in int, so a longer text is converted in pieces of at most this
// many units, each ending at a character boundary.
constexpr std::size_t kLongestPiece = INT_MAX / 2;

bool IsUtf8Continuation(char unit) {
    return (static_cast<unsigned char>(unit) & 0xC0) == 0x80;
}

std::size_t Utf8PieceLength(std::string_view text) {
    std::size_t length = std::min(text.size(), kLongestPiece);
    while (length < text.size() && length > 0 && IsUtf8Continuation(text[length])) {
        --length;
    }
    return length == 0 ? std::min(text.size(), kLongestPiece) : length;
}

std::size_t Utf16PieceLength(std::wstring_view text) {
    std::size_t length = std::min(text.size(), kLongestPiece);
    if (length < text.size() && IS_HIGH_SURROGATE(text[length - 1])) {
        --length;
    }
    return length;
}

// A conversion call that converts nothing ran out of memory: its input is never empty.
void Check(int converted) {
    if (converted == 0) {
        throw std::bad_alloc();
    }
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
    std::wstring wide;
    while (!utf8.empty()) {
        const std::size_t piece = Utf8PieceLength(utf8);
        const int inLength = static_cast<int>(piece);
        const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, nullptr, 0);
        Check(length);
        const std::size_t start = wide.size();
        wide.resize(start + static_cast<std::size_t>(length));
        Check(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, wide.data() + start, length));
        utf8.remove_prefix(piece);
    }
    return wide;
}

std::string Narrow(std::wstring_view utf16) {
    std::string narrow;
    while (!utf16.empty()) {
        const std::size_t piece = Utf16PieceLength(utf16);
        const int inLength = static_cast<int>(piece);
        const int length =
            WideCharToMultiByte(CP_UTF8, 0, utf16.data(), inLength, nullptr, 0, nullptr, nullptr);
        Check(length);
        const std::size_t start = narrow.size();
        narrow.resize(start + static_cast<std::size_t>(length));
        Check(WideCharToMultiByte(CP_UTF8, 0, utf16.data(), inLength, narrow.data() + start, length,
                                  nullptr, nullptr));
        utf16.remove_prefix(piece);
    }
    return narrow;
}

std::string GetText(HWND window) {
    return Narrow(GetWideText(window));
}

std::wstring GetWideText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void SetText(HWND window, std::string_view utf8) {
    SetWindowTextW(window, Widen(utf8).c_str());
}

}  // namespace brackwin::win32
