#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace brackwin {

// The lower-case mapping of the search and of the result list's order: each character of the
// UTF-8 text becomes its lower case by the platform's mapping (LowerCase.h), so Greek, Cyrillic,
// accented and full-width letters fold as well as A-Z. A folded character may be longer or
// shorter in UTF-8 than the original (U+0130 to "i"), so positions in a text and in its folded
// copy do not correspond. Bytes that start no valid UTF-8 sequence stay as they are.

// Writes the folded text into out. Throws what LowerCase throws.
void FoldCase(std::string_view text, std::string& out);
std::string FoldCase(std::string_view text);

bool IsAscii(std::string_view text) noexcept;

// A-Z to a-z, every other byte unchanged: the whole folding of an ASCII text.
inline unsigned char FoldedAsciiByte(unsigned char c) noexcept {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Whether FoldCase(text) is text with only A-Z folded, as for every ASCII text.
bool FoldsOnlyAscii(std::string_view text);

// Whether text holds a non-ASCII character whose lower case is ASCII (such as U+212A KELVIN
// SIGN for "k"). Only then can FoldCase(text) hold an ASCII pattern that ASCII folding alone
// does not show in it.
bool HasCharacterFoldingToAscii(std::string_view text);

// Whether text with only A-Z folded begins with pattern, which must be folded ASCII.
bool StartsWithFoldedAscii(std::string_view text, std::string_view pattern) noexcept;

// Where a folded ASCII pattern first stands in text with only A-Z folded, or npos. Made for long
// texts: sixteen places are tested at once, by the pattern's first and last bytes.
std::size_t FindFoldedAscii(std::string_view text, std::string_view pattern) noexcept;

// Finds a folded ASCII pattern in texts with only A-Z folded. A match found so is one in
// FoldCase(text) too, its bytes being whole ASCII characters; a miss is one there too unless
// HasCharacterFoldingToAscii(text). Skips ahead by the last byte under the pattern (Horspool),
// as most lines hold no match.
class FoldedAsciiFinder {
  public:
    explicit FoldedAsciiFinder(std::string_view pattern);
    bool FoundIn(std::string_view text) const noexcept;

  private:
    std::string pattern_;
    std::array<std::size_t, 256> shift_{};
};

}  // namespace brackwin
