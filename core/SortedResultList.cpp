#include "SortedResultList.h"

#include <algorithm>
#include <numeric>

#include "CaseFold.h"

namespace brackwin {

bool ResultOrderLess(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto byteA = static_cast<unsigned char>(a[i]);
        const auto byteB = static_cast<unsigned char>(b[i]);
        const bool ascii = (byteA | byteB) < 0x80;
        const unsigned char foldedA = ascii ? FoldedAsciiByte(byteA) : FoldedByteAt(a, i);
        const unsigned char foldedB = ascii ? FoldedAsciiByte(byteB) : FoldedByteAt(b, i);
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

void SortedResultList::SortPending() {
    // Comparing folded copies byte by byte gives ResultOrderLess's order, much faster when
    // hundreds of thousands of entries arrive at once. Equal entries are indistinguishable,
    // so the sort need not be stable.
    std::vector<std::string> folded(pending_.size());
    for (std::size_t i = 0; i < pending_.size(); ++i) {
        FoldCase(pending_[i], folded[i]);
    }
    std::vector<std::size_t> order(pending_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int byFolded = folded[a].compare(folded[b]);
        return byFolded != 0 ? byFolded < 0 : pending_[a] < pending_[b];
    });
    folded = {};
    std::vector<std::string> sorted;
    sorted.reserve(pending_.size());
    for (const std::size_t index : order) {
        sorted.push_back(std::move(pending_[index]));
    }
    pending_ = std::move(sorted);
}

std::vector<std::size_t> SortedResultList::Commit() {
    std::vector<std::size_t> newIndexOfOld(entries_.size());
    std::iota(newIndexOfOld.begin(), newIndexOfOld.end(), std::size_t{0});
    if (pending_.empty()) {
        return newIndexOfOld;
    }
    SortPending();
    if (entries_.empty()) {
        entries_ = std::move(pending_);
        pending_.clear();
        return newIndexOfOld;
    }
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
