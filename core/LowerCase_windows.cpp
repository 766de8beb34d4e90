#include <windows.h>

#include "LowerCase.h"

namespace brackwin {

namespace {

constexpr char32_t kFirstSupplementary = 0x10000;
constexpr char32_t kHighSurrogate = 0xD800;
constexpr char32_t kLowSurrogate = 0xDC00;
constexpr char32_t kSurrogateBits = 10;
constexpr char32_t kSurrogateMask = 0x3FF;

bool IsHighSurrogate(wchar_t unit) noexcept {
    return unit >= kHighSurrogate && unit < kLowSurrogate;
}

bool IsLowSurrogate(wchar_t unit) noexcept {
    return unit >= kLowSurrogate && unit <= kLowSurrogate + kSurrogateMask;
}

}  // namespace

// CharLowerBuffW maps the same in every user language (Turkish I included).
char32_t LowerCase(char32_t c) {
    if (c < kFirstSupplementary) {
        wchar_t unit = static_cast<wchar_t>(c);
        CharLowerBuffW(&unit, 1);
        return unit;
    }
    const char32_t offset = c - kFirstSupplementary;
    wchar_t units[2] = {static_cast<wchar_t>(kHighSurrogate + (offset >> kSurrogateBits)),
                        static_cast<wchar_t>(kLowSurrogate + (offset & kSurrogateMask))};
    CharLowerBuffW(units, 2);
    if (!IsHighSurrogate(units[0]) || !IsLowSurrogate(units[1])) {
        return c;
    }
    return kFirstSupplementary +
           ((static_cast<char32_t>(units[0]) - kHighSurrogate) << kSurrogateBits) +
           (static_cast<char32_t>(units[1]) - kLowSurrogate);
}

}  // namespace brackwin
