#pragma once

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

// Decodes code page 932 (on Windows, the system's ANSI code page) into UTF-8 with the
// platform's converter; each invalid sequence becomes U+FFFD.
ByteBuffer DecodeCp932(std::string_view bytes);

}  // namespace brackwin
