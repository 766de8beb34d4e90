#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "ByteBuffer.h"

// What the core needs from the operating system; one implementation file per platform.
namespace brackwin {

struct OpenedFile {
    std::FILE* file = nullptr;  // null when the file could not be opened
    int error = 0;              // the errno value when file is null
    bool isFolder = false;      // the path names a folder (file is then null)
    bool isSpecial = false;     // the path names a device, pipe or socket (file is then null)
    std::uint64_t size = 0;     // the size the system reports, a hint for the buffer
};

// Opens the regular file at path (UTF-8) for reading bytes. Refuses anything else at once,
// without waiting for a pipe's other end or reading from a device.
OpenedFile OpenForReading(const std::string& path);

// Tells the system that a freshly allocated, not yet touched block is large and will be filled
// whole, so it may back it with large pages (a whole file's text takes thousands of small ones).
void AdviseLargeBlock(void* block, std::size_t size) noexcept;

// Where pattern, which must not be empty, first occurs in text, or null; the platform's fastest
// byte search.
const char* FindBytes(std::string_view text, std::string_view pattern) noexcept;

// The decoders turn a text into UTF-8 a piece at a time, with the platform's converter. Each
// appends the start of bytes that holds whole characters to out and returns how many bytes it
// took; a character cut off at the end waits for the call that continues the text, unless last,
// when all bytes are taken. Each invalid sequence becomes U+FFFD. They write at most three bytes
// to out for each byte they take.

// Code page 932 (on Windows, the system's ANSI code page, whose converter chooses its own
// substitute for an invalid sequence). A line break always stays a line break.
std::size_t DecodeCp932(std::string_view bytes, bool last, ByteBuffer& out);

// UTF-16 in the given byte order, without its byte-order mark; an unpaired surrogate and an odd
// last byte each become U+FFFD.
std::size_t DecodeUtf16(std::string_view bytes, std::endian order, bool last, ByteBuffer& out);

}  // namespace brackwin
