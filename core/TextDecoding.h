#pragma once

#include <cstddef>
#include <string_view>

#include "ByteBuffer.h"

namespace brackwin {

bool IsValidUtf8(std::string_view bytes) noexcept;
// Copies bytes, putting U+FFFD in place of each byte that starts no valid sequence.
ByteBuffer RepairUtf8(std::string_view bytes);

inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

}  // namespace brackwin
