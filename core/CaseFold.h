#pragma once

#include <array>
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
// FoldedByteAt for a byte below 0x80, which folds alone.
unsigned char FoldedAsciiByte(unsigned char c) noexcept;

// Whether the folded text begins with pattern, which must be folded ASCII.
bool StartsWithFoldedAscii(std::string_view text, std::string_view pattern) noexcept;

// Finds a folded ASCII pattern in texts without folding them. Folding never turns a
// non-ASCII byte into ASCII, so matching ASCII bytes with only A-Z folded is exact. Skips
// ahead by the last byte under the pattern (Horspool), as most lines hold no match.
class FoldedAsciiFinder {
  public:
    explicit FoldedAsciiFinder(std::string_view pattern);
    bool FoundIn(std::string_view text) const noexcept;

  private:
    std::string pattern_;
    std::array<std::size_t, 256> shift_{};
};

}  // namespace brackwin
