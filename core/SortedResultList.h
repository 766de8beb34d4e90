#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "UiServices.h"

namespace brackwin {

// True when a sorts before b in the result list: ascending, letter case ignored (the same
// folding as the search), ties broken by the exact text so the order is total.
bool ResultOrderLess(std::string_view a, std::string_view b);

// A result list that keeps its entries in ascending order ignoring case. Appends are held
// back and placed together by Commit(), so a search with hundreds of thousands of matches
// stays fast; readers see only committed entries.
class SortedResultList final : public ResultList {
  public:
    void Clear() override;
    void AddItem(std::string_view entry) override;

    // Places every entry added since the last commit. Returns, for each entry that was
    // already placed before this call, its new index (indexed by its old index).
    std::vector<std::size_t> Commit();

    std::size_t Count() const noexcept { return entries_.size(); }
    std::size_t PendingCount() const noexcept { return pending_.size(); }
    const std::string& Item(std::size_t index) const { return entries_.at(index); }

  private:
    // An entry's first 32 bytes folded, as big-endian words and zero past its end: comparing
    // two prefixes compares those bytes, so most comparisons of entries are settled without
    // reading their texts.
    struct Prefix {
        std::array<std::uint64_t, 4> words;
        auto operator<=>(const Prefix&) const = default;
    };
    static Prefix PrefixOf(std::string_view entry) noexcept;

    void SortPending();

    std::vector<std::string> entries_;
    std::vector<Prefix> prefixes_;  // prefixes_[i] is the prefix of entries_[i]
    std::vector<std::string> pending_;
};

}  // namespace brackwin
