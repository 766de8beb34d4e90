#include "TypeAhead.h"

#include "CaseFold.h"

namespace brackwin {

std::optional<std::size_t> NextEntryBeginningWith(const SortedResultList& list,
                                                  std::optional<std::size_t> selected,
                                                  std::string_view character) {
    if (character.empty()) {
        return std::nullopt;
    }
    const auto [first, last] = list.FoldedRange(FoldCase(character));
    if (first == last) {
        return std::nullopt;
    }
    if (selected && *selected >= first && *selected + 1 < last) {
        return *selected + 1;
    }
    return first;
}

}  // namespace brackwin
