#include "SortedResultList.h"

#include <algorithm>
#include <iterator>

#include "CaseFold.h"

namespace brackwin {

bool ResultOrderLess(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char foldedA = FoldedByteAt(a, i);
        const unsigned char foldedB = FoldedByteAt(b, i);
        if (foldedA != foldedB) {
            return foldedA < foldedB;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;
}

void SortedResultList::Clear() {
    entries_.clear();
    pending_.clear();
}

void SortedResultList::AddItem(std::string_view entry) {
    pending_.emplace_back(entry);
}

std::vector<std::size_t> SortedResultList::Commit() {
    std::vector<std::size_t> newIndexOfOld(entries_.size());
    if (pending_.empty()) {
        for (std::size_t i = 0; i < newIndexOfOld.size(); ++i) {
            newIndexOfOld[i] = i;
        }
        return newIndexOfOld;
    }
    std::stable_sort(
        pending_.begin(), pending_.end(),
        [](const std::string& a, const std::string& b) { return ResultOrderLess(a, b); });
    std::vector<std::string> merged;
    merged.reserve(entries_.size() + pending_.size());
    std::size_t old = 0;
    auto next = pending_.begin();
    while (old < entries_.size() || next != pending_.end()) {
        // An earlier entry stays ahead of an equal new one.
        if (old < entries_.size() &&
            (next == pending_.end() || !ResultOrderLess(*next, entries_[old]))) {
            newIndexOfOld[old] = merged.size();
            merged.push_back(std::move(entries_[old]));
            ++old;
        } else {
            merged.push_back(std::move(*next));
            ++next;
        }
    }
    entries_ = std::move(merged);
    pending_.clear();
    return newIndexOfOld;
}

}  // namespace brackwin
