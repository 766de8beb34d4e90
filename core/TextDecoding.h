#pragma once

#include <cstddef>
#include <string_view>

#include "ByteBuffer.h"

namespace brackwin {

// A declaration file's text as UTF-8: the lines start at bytes.data() + start (past a
// byte-order mark that was kept in place).
struct DecodedText {
    ByteBuffer bytes;
    std::size_t start = 0;
};

// A file that starts with the UTF-8 byte-order mark or is valid UTF-8 throughout is UTF-8;
// anything else is code page 932. Invalid sequences become U+FFFD; nothing is an error.
// Throws std::bad_alloc when memory runs out.
DecodedText DecodeFileText(ByteBuffer raw);

bool IsValidUtf8(std::string_view bytes) noexcept;
// Copies bytes, putting U+FFFD in place of each byte that starts no valid sequence.
ByteBuffer RepairUtf8(std::string_view bytes);

inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

}  // namespace brackwin
