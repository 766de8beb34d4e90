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
        // Entries share long beginnings: equal ASCII bytes fold alike and need no folding.
        // (Equal bytes of multi-byte characters may fold apart, so they take the long way.)
        if (byteA == byteB && byteA < 0x80) {
            continue;
        }
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
    // Each new entry goes after every old entry that does not sort after it, so an earlier
    // entry stays ahead of an equal new one. The new entries are sorted, so each search gallops
    // on from where the previous one ended: few comparisons when a few entries join many.
    std::vector<std::size_t> oldAhead(pending_.size());
    std::size_t from = 0;
    for (std::size_t k = 0; k < pending_.size(); ++k) {
        std::size_t step = 1;
        while (from + step <= entries_.size() &&
               !ResultOrderLess(pending_[k], entries_[from + step - 1])) {
            from += step;
            step *= 2;
        }
        const auto last =
            entries_.begin() + static_cast<std::ptrdiff_t>(std::min(from + step, entries_.size()));
        from = static_cast<std::size_t>(
            std::upper_bound(entries_.begin() + static_cast<std::ptrdiff_t>(from), last,
                             pending_[k], ResultOrderLess) -
            entries_.begin());
        oldAhead[k] = from;
    }
    // Merged in place from the back, so every old entry moves once and is never overwritten
    // before it has moved.
    std::size_t oldEnd = entries_.size();
    entries_.resize(entries_.size() + pending_.size());
    for (std::size_t k = pending_.size(); k-- > 0;) {
        const std::size_t shift = k + 1;
        std::move_backward(entries_.begin() + static_cast<std::ptrdiff_t>(oldAhead[k]),
                           entries_.begin() + static_cast<std::ptrdiff_t>(oldEnd),
                           entries_.begin() + static_cast<std::ptrdiff_t>(oldEnd + shift));
        for (std::size_t old = oldAhead[k]; old < oldEnd; ++old) {
            newIndexOfOld[old] = old + shift;
        }
        oldEnd = oldAhead[k];
        entries_[oldAhead[k] + k] = std::move(pending_[k]);
    }
    pending_.clear();
    return newIndexOfOld;
}

}  // namespace brackwin
