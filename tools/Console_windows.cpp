#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstddef>
#include <cstdio>
#include <memory>
#include <new>

#include "Console.h"

namespace brackwin {

namespace {

// Both converters take whole characters, at most one command-line argument or one piece of
// output at a time, so the lengths fit in an int.
std::string Utf8(std::wstring_view wide) {
    const int wideLength = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, text.data(), length, nullptr, nullptr);
    return text;
}

std::wstring Wide(std::string_view text) {
    const int textLength = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), textLength, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), textLength, wide.data(), length);
    return wide;
}

// The console takes a large text in pieces; each ends before a character, not inside one.
constexpr std::size_t kPieceBytes = 16 * 1024;

std::size_t PieceLength(std::string_view text) {
    if (text.size() <= kPieceBytes) {
        return text.size();
    }
    std::size_t end = kPieceBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return end == 0 ? kPieceBytes : end;
}

bool WriteToConsole(HANDLE console, std::string_view text) {
    while (!text.empty()) {
        const std::size_t piece = PieceLength(text);
        const std::wstring wide = Wide(text.substr(0, piece));
        const wchar_t* next = wide.data();
        auto left = static_cast<DWORD>(wide.size());
        while (left > 0) {
            DWORD written = 0;
            if (WriteConsoleW(console, next, left, &written, nullptr) == FALSE || written == 0) {
                return false;
            }
            next += written;
            left -= written;
        }
        text.remove_prefix(piece);
    }
    return true;
}

// One standard stream: a console, or a file or pipe that gets the UTF-8 bytes as they are.
class StandardStream {
  public:
    StandardStream(std::FILE* file, DWORD id) : file_(file), console_(GetStdHandle(id)) {
        DWORD mode = 0;
        if (GetConsoleMode(console_, &mode) == FALSE) {
            console_ = nullptr;
            // The text's line breaks are part of the result: no CR may be added before LF.
            if (const int descriptor = _fileno(file); descriptor >= 0) {
                _setmode(descriptor, _O_BINARY);
            }
        }
    }

    bool Write(std::string_view text) {
        if (console_ != nullptr) {
            return WriteToConsole(console_, text);
        }
        return text.empty() || std::fwrite(text.data(), 1, text.size(), file_) == text.size();
    }

  private:
    std::FILE* file_;
    HANDLE console_;
};

struct LocalFreeDeleter {
    void operator()(wchar_t** block) const { LocalFree(block); }
};

}  // namespace

std::vector<std::string> CommandLineArguments(int, char**) {
    int count = 0;
    const std::unique_ptr<wchar_t*, LocalFreeDeleter> wide(
        CommandLineToArgvW(GetCommandLineW(), &count));
    if (!wide) {
        throw std::bad_alloc();
    }
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(Utf8(wide.get()[i]));
    }
    return arguments;
}

bool WriteOutput(std::string_view text) {
    static StandardStream output(stdout, STD_OUTPUT_HANDLE);
    return output.Write(text);
}

bool WriteError(std::string_view text) {
    static StandardStream error(stderr, STD_ERROR_HANDLE);
    return error.Write(text);
}

}  // namespace brackwin
