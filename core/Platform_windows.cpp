#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "Platform.h"
#include "TextDecoding.h"

namespace brackwin {

namespace {

// Chunks end after a line break: CR and LF are never the second byte of a double-byte
// character, so no character is cut in two.
constexpr std::size_t kChunk = 1 << 20;

std::size_t ChunkLength(std::string_view bytes) {
    if (bytes.size() <= kChunk) {
        return bytes.size();
    }
    const std::size_t lastBreak = bytes.substr(0, kChunk).find_last_of("\r\n");
    if (lastBreak != std::string_view::npos) {
        return lastBreak + 1;
    }
    const std::size_t nextBreak = bytes.find_first_of("\r\n", kChunk);
    return nextBreak == std::string_view::npos ? bytes.size() : nextBreak + 1;
}

int CheckedInt(std::size_t value) {
    if (value > static_cast<std::size_t>(INT_MAX)) {
        throw std::runtime_error("a line is too long for the system's text conversion");
    }
    return static_cast<int>(value);
}

std::wstring WidePath(const std::string& path) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, path.data(), CheckedInt(path.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), CheckedInt(path.size()), wide.data(), length);
    return wide;
}

}  // namespace

OpenedFile OpenForReading(const std::string& path) {
    OpenedFile opened;
    const std::wstring widePath = WidePath(path);
    const DWORD attributes = GetFileAttributesW(widePath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        opened.isFolder = true;
        return opened;
    }
    opened.file = _wfopen(widePath.c_str(), L"rb");
    if (opened.file == nullptr) {
        opened.error = errno;
        return opened;
    }
    // Device names (NUL, CON, COM1) and pipes open like files but are not read as one.
    if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(opened.file)))) !=
        FILE_TYPE_DISK) {
        std::fclose(opened.file);
        opened.file = nullptr;
        opened.isSpecial = true;
        return opened;
    }
    struct _stat64 status {};
    if (_fstat64(_fileno(opened.file), &status) == 0 && status.st_size > 0) {
        opened.size = static_cast<std::uint64_t>(status.st_size);
    }
    return opened;
}

void AdviseLargeBlock(void*, std::size_t) noexcept {}

// The system's ANSI code page is code page 932 on the Japanese systems the program is for.
ByteBuffer DecodeCp932(std::string_view bytes) {
    ByteBuffer out(bytes.size() + bytes.size() / 2 + kReplacementCharacter.size());
    std::vector<wchar_t> wide;
    while (!bytes.empty()) {
        const std::size_t length = ChunkLength(bytes);
        const int inLength = CheckedInt(length);
        wide.resize(length);
        const int wideLength =
            MultiByteToWideChar(CP_ACP, 0, bytes.data(), inLength, wide.data(), inLength);
        if (wideLength > 0) {
            const std::size_t room = static_cast<std::size_t>(wideLength) * 3;
            char* target = out.Extend(room);
            const int written = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, target,
                                                    CheckedInt(room), nullptr, nullptr);
            out.Commit(written > 0 ? static_cast<std::size_t>(written) : 0);
        }
        bytes.remove_prefix(length);
    }
    return out;
}

}  // namespace brackwin
