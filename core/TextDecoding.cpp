#include "TextDecoding.h"

#include <cstdint>
#include <cstring>

namespace brackwin {

Utf8Character DecodeUtf8At(std::string_view text, std::size_t index) noexcept {
    const auto lead = static_cast<unsigned char>(text[index]);
    if (lead < 0x80) {
        return {lead, 1};
    }
    std::size_t length = 0;
    char32_t value = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        return {0, 0};
    }
    if (text.size() - index < length) {
        return {0, 0};
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[index + i]);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) {
            return {0, 0};
        }
        value = (value << 6) | (next & 0x3F);
    }
    return {value, length};
}

std::size_t AsciiPrefixLength(std::string_view bytes) noexcept {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    constexpr std::size_t kBlock = 4 * sizeof(std::uint64_t);
    std::size_t pos = 0;
    for (; bytes.size() - pos >= kBlock; pos += kBlock) {
        std::uint64_t words[4];
        std::memcpy(words, bytes.data() + pos, kBlock);
        if (((words[0] | words[1] | words[2] | words[3]) & kHighBits) != 0) {
            break;
        }
    }
    while (pos < bytes.size() && static_cast<unsigned char>(bytes[pos]) < 0x80) {
        ++pos;
    }
    return pos;
}

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
        const std::size_t length =
            DecodeUtf8At({reinterpret_cast<const char*>(p), remaining}, 0).length;
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
        std::size_t length = DecodeUtf8At({reinterpret_cast<const char*>(p), remaining}, 0).length;
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
