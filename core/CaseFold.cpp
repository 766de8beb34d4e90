#include "CaseFold.h"

#include <array>
#include <bit>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

namespace {

// Whether the pattern stands at text[pos], its first and last bytes being known to match.
bool InnerBytesMatch(const unsigned char* text, std::size_t pos,
                     std::string_view pattern) noexcept {
    for (std::size_t j = 1; j + 1 < pattern.size(); ++j) {
        if (kAsciiLower[text[pos + j]] != static_cast<unsigned char>(pattern[j])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::size_t FindFoldedAscii(std::string_view text, std::string_view pattern) noexcept {
    if (pattern.empty()) {
        return 0;
    }
    if (text.size() < pattern.size()) {
        return std::string_view::npos;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t last = pattern.size() - 1;
    const std::size_t places = text.size() - last;
    const auto first = static_cast<unsigned char>(pattern.front());
    const auto final = static_cast<unsigned char>(pattern.back());
    std::size_t pos = 0;
#ifdef __SSE2__
    // A byte ORed with 0x20 equals a lower-case letter exactly when it is that letter in either
    // case; any other pattern byte is compared as it is.
    const auto caseBit = [](unsigned char c) {
        return _mm_set1_epi8(static_cast<char>(c >= 'a' && c <= 'z' ? 0x20 : 0));
    };
    const __m128i firstCase = caseBit(first);
    const __m128i finalCase = caseBit(final);
    const __m128i firstByte = _mm_set1_epi8(static_cast<char>(first));
    const __m128i finalByte = _mm_set1_epi8(static_cast<char>(final));
    for (; places - pos >= sizeof(__m128i); pos += sizeof(__m128i)) {
        const __m128i starts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + pos));
        const __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + pos + last));
        auto candidates = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(starts, firstCase), firstByte),
                          _mm_cmpeq_epi8(_mm_or_si128(ends, finalCase), finalByte))));
        for (; candidates != 0; candidates &= candidates - 1) {
            const std::size_t at = pos + static_cast<std::size_t>(std::countr_zero(candidates));
            if (InnerBytesMatch(bytes, at, pattern)) {
                return at;
            }
        }
    }
#endif
    for (; pos < places; ++pos) {
        if (kAsciiLower[bytes[pos]] == first && kAsciiLower[bytes[pos + last]] == final &&
            InnerBytesMatch(bytes, pos, pattern)) {
            return pos;
        }
    }
    return std::string_view::npos;
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
