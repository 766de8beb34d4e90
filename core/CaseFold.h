#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brackwin {

// The lower-case mapping of the search and of the result list's order: A-Z and the
// full-width Ａ-Ｚ (U+FF21..U+FF3A) become their small letters; every other byte stays. In
// UTF-8 both mappings keep each byte's position, so a folded text has its original's length.

// Writes the folded text into out (resized to text's length).
void FoldCase(std::string_view text, std::string& out);
std::string FoldCase(std::string_view text);

// The byte at index of FoldCase(text), without building the folded text.
unsigned char FoldedByteAt(std::string_view text, std::size_t index) noexcept;

// Whether the folded text contains pattern, which must be folded ASCII.
bool ContainsFoldedAscii(std::string_view text, std::string_view pattern) noexcept;
// Whether the folded text begins with pattern, which must be folded ASCII.
bool StartsWithFoldedAscii(std::string_view text, std::string_view pattern) noexcept;

}  // namespace brackwin
