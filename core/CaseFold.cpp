#include "CaseFold.h"

#include <array>

namespace brackwin {

namespace {

constexpr unsigned char kUtf8Lead = 0xEF;
constexpr unsigned char kFullWidthCapitalMiddle = 0xBC;  // U+FF00..U+FF3F
constexpr unsigned char kFullWidthSmallMiddle = 0xBD;    // U+FF40..U+FF7F
constexpr unsigned char kFullWidthCapitalA = 0xA1;
constexpr unsigned char kFullWidthCapitalZ = 0xBA;
constexpr unsigned char kCapitalToSmall = 0x20;  // 0xA1 (Ａ's last byte) to 0x81 (ａ's)

constexpr std::array<unsigned char, 256> MakeAsciiLower() {
    std::array<unsigned char, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = static_cast<unsigned char>(i >= 'A' && i <= 'Z' ? i + ('a' - 'A') : i);
    }
    return table;
}

constexpr std::array<unsigned char, 256> kAsciiLower = MakeAsciiLower();

unsigned char ByteAt(std::string_view text, std::size_t index) noexcept {
    return static_cast<unsigned char>(text[index]);
}

bool IsFullWidthCapitalAt(std::string_view text, std::size_t lead) noexcept {
    return lead + 2 < text.size() && ByteAt(text, lead) == kUtf8Lead &&
           ByteAt(text, lead + 1) == kFullWidthCapitalMiddle &&
           ByteAt(text, lead + 2) >= kFullWidthCapitalA &&
           ByteAt(text, lead + 2) <= kFullWidthCapitalZ;
}

}  // namespace

void FoldCase(std::string_view text, std::string& out) {
    out.resize(text.size());
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char c = ByteAt(text, i);
        if (c == kUtf8Lead && IsFullWidthCapitalAt(text, i)) {
            out[i] = static_cast<char>(kUtf8Lead);
            out[i + 1] = static_cast<char>(kFullWidthSmallMiddle);
            out[i + 2] = static_cast<char>(ByteAt(text, i + 2) - kCapitalToSmall);
            i += 2;
        } else {
            out[i] = static_cast<char>(kAsciiLower[c]);
        }
    }
}

std::string FoldCase(std::string_view text) {
    std::string out;
    FoldCase(text, out);
    return out;
}

unsigned char FoldedByteAt(std::string_view text, std::size_t index) noexcept {
    const unsigned char c = ByteAt(text, index);
    if (c < 0x80) {
        return kAsciiLower[c];
    }
    if (c == kFullWidthCapitalMiddle && index >= 1 && IsFullWidthCapitalAt(text, index - 1)) {
        return kFullWidthSmallMiddle;
    }
    if (c >= kFullWidthCapitalA && c <= kFullWidthCapitalZ && index >= 2 &&
        IsFullWidthCapitalAt(text, index - 2)) {
        return static_cast<unsigned char>(c - kCapitalToSmall);
    }
    return c;
}

bool StartsWithFoldedAscii(std::string_view text, std::string_view pattern) noexcept {
    if (text.size() < pattern.size()) {
        return false;
    }
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (kAsciiLower[ByteAt(text, i)] != static_cast<unsigned char>(pattern[i])) {
            return false;
        }
    }
    return true;
}

bool ContainsFoldedAscii(std::string_view text, std::string_view pattern) noexcept {
    // The folded forms of non-ASCII bytes stay non-ASCII, so an ASCII pattern matches the
    // folded text exactly where it matches the text with only A-Z folded.
    if (pattern.empty()) {
        return true;
    }
    if (text.size() < pattern.size()) {
        return false;
    }
    const unsigned char first = static_cast<unsigned char>(pattern[0]);
    const std::string_view rest = pattern.substr(1);
    const std::size_t lastStart = text.size() - pattern.size();
    for (std::size_t i = 0; i <= lastStart; ++i) {
        if (kAsciiLower[ByteAt(text, i)] == first &&
            StartsWithFoldedAscii(text.substr(i + 1), rest)) {
            return true;
        }
    }
    return false;
}

}  // namespace brackwin
