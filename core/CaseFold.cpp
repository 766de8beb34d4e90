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

unsigned char FoldedAsciiByte(unsigned char c) noexcept {
    return kAsciiLower[c];
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

FoldedAsciiFinder::FoldedAsciiFinder(std::string_view pattern) : pattern_(pattern) {
    shift_.fill(pattern_.size());
    for (std::size_t i = 0; i + 1 < pattern_.size(); ++i) {
        const std::size_t distance = pattern_.size() - 1 - i;
        const auto c = static_cast<unsigned char>(pattern_[i]);
        shift_[c] = distance;
        if (c >= 'a' && c <= 'z') {
            shift_[c - ('a' - 'A')] = distance;
        }
    }
}

bool FoldedAsciiFinder::FoundIn(std::string_view text) const noexcept {
    const std::size_t length = pattern_.size();
    if (length == 0) {
        return true;
    }
    const std::size_t last = length - 1;
    std::size_t pos = 0;
    while (text.size() - pos >= length) {
        std::size_t j = last;
        while (kAsciiLower[ByteAt(text, pos + j)] == static_cast<unsigned char>(pattern_[j])) {
            if (j == 0) {
                return true;
            }
            --j;
        }
        pos += shift_[ByteAt(text, pos + last)];
    }
    return false;
}

}  // namespace brackwin
