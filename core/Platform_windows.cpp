#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Platform.h"
#include "TextDecoding.h"

namespace brackwin {

namespace {

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

void AppendUtf8(const wchar_t* wide, std::size_t length, ByteBuffer& out) {
    if (length == 0) {
        return;
    }
    const std::size_t room = length * 3;
    char* target = out.Extend(room);
    const int written = WideCharToMultiByte(CP_UTF8, 0, wide, CheckedInt(length), target,
                                            CheckedInt(room), nullptr, nullptr);
    out.Commit(written > 0 ? static_cast<std::size_t>(written) : 0);
}

void AppendAnsi(std::string_view bytes, ByteBuffer& out, std::vector<wchar_t>& wide) {
    if (bytes.empty()) {
        return;
    }
    wide.resize(bytes.size());
    const int inLength = CheckedInt(bytes.size());
    const int wideLength =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), inLength, wide.data(), inLength);
    AppendUtf8(wide.data(), wideLength > 0 ? static_cast<std::size_t>(wideLength) : 0, out);
}

bool IsLeadByte(char byte) {
    return IsDBCSLeadByte(static_cast<BYTE>(byte)) != FALSE;
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

// The C library here has no memmem.
const char* FindBytes(std::string_view text, std::string_view pattern) noexcept {
    const auto found =
        std::search(text.begin(), text.end(),
                    std::boyer_moore_horspool_searcher(pattern.begin(), pattern.end()));
    return found == text.end() ? nullptr : text.data() + (found - text.begin());
}

// The system's ANSI code page is code page 932 on the Japanese systems the program is for.
std::size_t DecodeCp932(std::string_view bytes, bool last, ByteBuffer& out) {
    std::size_t taken = bytes.size();
    if (!last) {
        // The byte before a run of possible lead bytes ends a character, whatever it is, so the
        // run pairs up from its start; an odd byte out at the end is a cut-off character.
        std::size_t run = 0;
        while (run < taken && IsLeadByte(bytes[taken - 1 - run])) {
            ++run;
        }
        taken -= run % 2;
    }
    const std::string_view whole = bytes.substr(0, taken);
    // The converter would take a line break after a lead byte as its second byte: the text is
    // converted in runs that end before such a break.
    std::vector<wchar_t> wide;
    std::size_t runStart = 0;
    for (std::size_t at = whole.find_first_of("\r\n", 1); at != std::string_view::npos;
         at = whole.find_first_of("\r\n", at + 1)) {
        if (IsLeadByte(whole[at - 1])) {
            AppendAnsi(whole.substr(runStart, at - runStart), out, wide);
            runStart = at;
        }
    }
    AppendAnsi(whole.substr(runStart), out, wide);
    return taken;
}

std::size_t DecodeUtf16(std::string_view bytes, std::endian order, bool last, ByteBuffer& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t high = order == std::endian::big ? 0 : 1;
    std::size_t units = bytes.size() / 2;
    std::vector<wchar_t> wide(units);
    for (std::size_t i = 0; i < units; ++i) {
        wide[i] = static_cast<wchar_t>(p[2 * i + high] << 8 | p[2 * i + 1 - high]);
    }
    if (!last) {
        // A high surrogate at the end waits for the low one that may follow it.
        if (units != 0 && IS_HIGH_SURROGATE(wide[units - 1])) {
            --units;
        }
        AppendUtf8(wide.data(), units, out);
        return units * 2;
    }
    // The converter puts U+FFFD in place of an unpaired surrogate.
    AppendUtf8(wide.data(), units, out);
    if (bytes.size() % 2 != 0) {
        out.Append(kReplacementCharacter);
    }
    return bytes.size();
}

}  // namespace brackwin
