#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "SortedResultList.h"

namespace brackwin {

// Where a character typed in the result list moves the selection, as a list box does: to the
// next entry after the selected one that begins with the character, letter case ignored and
// wrapping round to the first such entry; none when no entry begins with it. character is the
// typed character in UTF-8.
std::optional<std::size_t> NextEntryBeginningWith(const SortedResultList& list,
                                                  std::optional<std::size_t> selected,
                                                  std::string_view character);

}  // namespace brackwin
