#pragma once

#include <cstddef>
#include <string_view>

#include "ByteBuffer.h"

namespace brackwin {

// One UTF-8 character: its value and how many bytes it takes. The length is 0 where no valid
// sequence starts (overlong forms, surrogates and values above U+10FFFF are not characters).
struct Utf8Character {
    char32_t value;
    std::size_t length;
};
// The character whose sequence starts at index, which must be within text.
Utf8Character DecodeUtf8At(std::string_view text, std::size_t index) noexcept;

// Ordered: a text's kind is the greatest of the kinds of the pieces it is cut into between
// characters.
enum class Utf8Kind { kAscii, kNonAscii, kInvalid };

// How many bytes at the start of bytes are ASCII.
std::size_t AsciiPrefixLength(std::string_view bytes) noexcept;

// Whether bytes are valid UTF-8, and if so whether they are plain ASCII.
Utf8Kind ClassifyUtf8(std::string_view bytes) noexcept;
inline bool IsValidUtf8(std::string_view bytes) noexcept {
    return ClassifyUtf8(bytes) != Utf8Kind::kInvalid;
}
// Copies the start of bytes that holds whole sequences to out, putting U+FFFD in place of each
// byte that starts no valid sequence, and returns how many bytes it took. A sequence cut off at
// the end waits for the call that continues the text, unless last, when all bytes are taken.
std::size_t RepairUtf8(std::string_view bytes, bool last, ByteBuffer& out);

inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

}  // namespace brackwin
