#include "CaseFold.h"

#include <array>

#include "LowerCase.h"
#include "TextDecoding.h"

namespace brackwin {

namespace {

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

// Which bytes start a character that folding may change, and which one that it may turn into
// ASCII. The platform is asked once about every character of the Basic Multilingual Plane;
// four-byte sequences are always worth a look.
struct FoldingLeads {
    std::array<bool, 256> changing{};
    std::array<bool, 256> intoAscii{};
};

FoldingLeads FindFoldingLeads() {
    FoldingLeads leads;
    for (char32_t c = 0x80; c < 0x10000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) {
            continue;
        }
        const char32_t lower = LowerCase(c);
        const std::size_t lead = c < 0x800 ? 0xC0 | (c >> 6) : 0xE0 | (c >> 12);
        leads.changing[lead] = leads.changing[lead] || lower != c;
        leads.intoAscii[lead] = leads.intoAscii[lead] || lower < 0x80;
    }
    for (std::size_t lead = 0xF0; lead <= 0xF4; ++lead) {
        leads.changing[lead] = true;
        leads.intoAscii[lead] = true;
    }
    return leads;
}

const FoldingLeads& Leads() {
    static const FoldingLeads leads = FindFoldingLeads();
    return leads;
}

// Whether some character of text that starts with one of the leads lowers to a character for
// which found holds. Runs of ASCII are passed over as a whole, and ASCII text never asks the
// platform.
template <typename Found>
bool AnyLowered(std::string_view text, std::array<bool, 256> FoldingLeads::*leads, Found found) {
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = ByteAt(text, i);
        if (c < 0x80) {
            i += AsciiPrefixLength(text.substr(i));
            continue;
        }
        if ((Leads().*leads)[c]) {
            const Utf8Character character = DecodeUtf8At(text, i);
            if (character.length != 0 && found(character.value, LowerCase(character.value))) {
                return true;
            }
        }
        ++i;
    }
    return false;
}

void AppendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

void FoldCase(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = ByteAt(text, i);
        if (c < 0x80) {
            out.push_back(static_cast<char>(kAsciiLower[c]));
            ++i;
            continue;
        }
        const Utf8Character character = DecodeUtf8At(text, i);
        if (character.length == 0) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        AppendUtf8(LowerCase(character.value), out);
        i += character.length;
    }
}

std::string FoldCase(std::string_view text) {
    std::string out;
    FoldCase(text, out);
    return out;
}

bool IsAscii(std::string_view text) noexcept {
    return AsciiPrefixLength(text) == text.size();
}

bool FoldsOnlyAscii(std::string_view text) {
    return !AnyLowered(text, &FoldingLeads::changing,
                       [](char32_t c, char32_t lower) { return lower != c; });
}

bool HasCharacterFoldingToAscii(std::string_view text) {
    return AnyLowered(text, &FoldingLeads::intoAscii,
                      [](char32_t, char32_t lower) { return lower < 0x80; });
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
