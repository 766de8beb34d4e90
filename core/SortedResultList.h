#pragma once

#include <cstddef>
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
    void SortPending();

    std::vector<std::string> entries_;
    std::vector<std::string> pending_;
};

}  // namespace brackwin
