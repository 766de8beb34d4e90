#include "TextDecoding.h"

#include <cstdint>
#include <cstring>

namespace brackwin {

namespace {

// The length of the valid UTF-8 sequence at the start of bytes, or 0 when there is none
// (overlong forms, surrogates and values above U+10FFFF are invalid).
std::size_t SequenceLength(const unsigned char* p, std::size_t remaining) noexcept {
    const unsigned char lead = p[0];
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) {
            low = 0xA0;
        } else if (lead == 0xED) {
            high = 0x9F;
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) {
            low = 0x90;
        } else if (lead == 0xF4) {
            high = 0x8F;
        }
    } else {
        return 0;
    }
    if (remaining < length || p[1] < low || p[1] > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (p[i] < 0x80 || p[i] > 0xBF) {
            return 0;
        }
    }
    return length;
}

}  // namespace

Utf8Kind ClassifyUtf8(std::string_view bytes) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t remaining = bytes.size();
    Utf8Kind kind = Utf8Kind::kAscii;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    constexpr std::size_t kBlock = 4 * sizeof(std::uint64_t);
    while (remaining != 0) {
        if (remaining >= kBlock) {
            std::uint64_t words[4];
            std::memcpy(words, p, kBlock);
            if (((words[0] | words[1] | words[2] | words[3]) & kHighBits) == 0) {
                p += kBlock;
                remaining -= kBlock;
                continue;
            }
        }
        const std::size_t length = SequenceLength(p, remaining);
        if (length == 0) {
            return Utf8Kind::kInvalid;
        }
        if (length > 1) {
            kind = Utf8Kind::kNonAscii;
        }
        p += length;
        remaining -= length;
    }
    return kind;
}

std::size_t RepairUtf8(std::string_view bytes, bool last, ByteBuffer& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t taken = bytes.size();
    if (!last) {
        // The last byte that is not a continuation byte starts the last sequence; when the bytes
        // end before that sequence can, it waits.
        std::size_t lead = taken;
        while (lead != 0 && taken - lead < 4 && (p[lead - 1] & 0xC0) == 0x80) {
            --lead;
        }
        if (lead != 0 && taken - lead < 4) {
            --lead;
            const unsigned char first = p[lead];
            const std::size_t needed = first >= 0xF0   ? 4
                                       : first >= 0xE0 ? 3
                                       : first >= 0xC0 ? 2
                                                       : 1;
            if (taken - lead < needed) {
                taken = lead;
            }
        }
    }
    std::size_t remaining = taken;
    while (remaining != 0) {
        std::size_t length = SequenceLength(p, remaining);
        if (length == 0) {
            out.Append(kReplacementCharacter);
            length = 1;
        } else {
            out.Append({reinterpret_cast<const char*>(p), length});
        }
        p += length;
        remaining -= length;
    }
    return taken;
}

}  // namespace brackwin
