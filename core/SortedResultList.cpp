#include "SortedResultList.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <span>

#include "CaseFold.h"

namespace brackwin {

namespace {

// Sixteen folded bytes of an entry from some depth on, as two big-endian words, zero past the
// entry's end: comparing keys compares those bytes, as ResultOrderLess does.
struct SortKey {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    std::size_t index = 0;
};

std::uint64_t FoldedWord(std::string_view text, std::size_t from) noexcept {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    if (from + 8 <= text.size()) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + from, sizeof word);
        if ((word & kHighBits) == 0) {
            // Eight ASCII bytes: A-Z get the 0x20 bit of their small letters, all at once.
            const std::uint64_t atLeastA = (word + kOnes * (0x80 - 'A')) & kHighBits;
            const std::uint64_t aboveZ = (word + kOnes * (0x80 - 'Z' - 1)) & kHighBits;
            word |= (atLeastA & ~aboveZ) >> 2;
            if constexpr (std::endian::native == std::endian::little) {
                word = __builtin_bswap64(word);
            }
            return word;
        }
    }
    std::uint64_t word = 0;
    for (std::size_t i = from; i < from + 8; ++i) {
        unsigned char c = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
        if (c >= 0x80) {
            c = FoldedByteAt(text, i);
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<unsigned char>(c - 'A' + 'a');
        }
        word = (word << 8) | c;
    }
    return word;
}

// ResultOrderLess for two entries whose prefixes are equal.
bool LessAfterPrefix(std::string_view a, std::string_view b) noexcept {
    for (std::size_t depth = 32; depth < std::max(a.size(), b.size()); depth += 8) {
        const std::uint64_t wordA = FoldedWord(a, depth);
        const std::uint64_t wordB = FoldedWord(b, depth);
        if (wordA != wordB) {
            return wordA < wordB;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;
}

// Sorts keys by their entries' order. Hundreds of thousands of entries that share long
// beginnings sort fast this way: most comparisons look at keys held in the array, and an
// entry's text is read once per sixteen bytes of the beginning it shares with others.
void SortByKeys(const std::vector<std::string>& texts, std::span<SortKey> keys, std::size_t depth) {
    for (SortKey& key : keys) {
        const std::string& text = texts[key.index];
        key.high = FoldedWord(text, depth);
        key.low = FoldedWord(text, depth + 8);
    }
    const auto sameBytes = [](const SortKey& a, const SortKey& b) {
        return a.high == b.high && a.low == b.low;
    };
    std::sort(keys.begin(), keys.end(), [](const SortKey& a, const SortKey& b) {
        return a.high != b.high ? a.high < b.high : a.low < b.low;
    });
    for (std::size_t first = 0; first < keys.size();) {
        std::size_t last = first + 1;
        while (last < keys.size() && sameBytes(keys[last], keys[first])) {
            ++last;
        }
        if (last - first > 1) {
            const std::span<SortKey> run = keys.subspan(first, last - first);
            const bool goesOn = std::any_of(run.begin(), run.end(), [&](const SortKey& key) {
                return texts[key.index].size() > depth + 16;
            });
            if (goesOn) {
                SortByKeys(texts, run, depth + 16);
            } else {
                std::sort(run.begin(), run.end(), [&](const SortKey& a, const SortKey& b) {
                    return ResultOrderLess(texts[a.index], texts[b.index]);
                });
            }
        }
        first = last;
    }
}

}  // namespace

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
    prefixes_.clear();
    pending_.clear();
}

SortedResultList::Prefix SortedResultList::PrefixOf(std::string_view entry) noexcept {
    return {
        {FoldedWord(entry, 0), FoldedWord(entry, 8), FoldedWord(entry, 16), FoldedWord(entry, 24)}};
}

void SortedResultList::AddItem(std::string_view entry) {
    pending_.emplace_back(entry);
}

void SortedResultList::SortPending() {
    std::vector<SortKey> keys(pending_.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        keys[i].index = i;
    }
    SortByKeys(pending_, keys, 0);
    std::vector<std::string> sorted;
    sorted.reserve(pending_.size());
    for (const SortKey& key : keys) {
        sorted.push_back(std::move(pending_[key.index]));
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
    std::vector<Prefix> pendingPrefixes(pending_.size());
    for (std::size_t k = 0; k < pending_.size(); ++k) {
        pendingPrefixes[k] = PrefixOf(pending_[k]);
    }
    if (entries_.empty()) {
        entries_ = std::move(pending_);
        prefixes_ = std::move(pendingPrefixes);
        pending_.clear();
        return newIndexOfOld;
    }
    const auto newNotBeforeOld = [&](std::size_t k, std::size_t old) {
        if (pendingPrefixes[k] != prefixes_[old]) {
            return prefixes_[old] < pendingPrefixes[k];
        }
        return !LessAfterPrefix(pending_[k], entries_[old]);
    };
    // Each new entry goes after every old entry that does not sort after it, so an earlier
    // entry stays ahead of an equal new one. The new entries are sorted, so each search gallops
    // on from where the previous one ended: few comparisons when a few entries join many.
    std::vector<std::size_t> oldAhead(pending_.size());
    std::size_t from = 0;
    for (std::size_t k = 0; k < pending_.size(); ++k) {
        std::size_t step = 1;
        while (from + step <= entries_.size() && newNotBeforeOld(k, from + step - 1)) {
            from += step;
            step *= 2;
        }
        std::size_t last = std::min(from + step, entries_.size());
        while (from < last) {
            const std::size_t middle = from + (last - from) / 2;
            if (newNotBeforeOld(k, middle)) {
                from = middle + 1;
            } else {
                last = middle;
            }
        }
        oldAhead[k] = from;
    }
    // Merged in place from the back, so every old entry moves once and is never overwritten
    // before it has moved.
    std::size_t oldEnd = entries_.size();
    entries_.resize(entries_.size() + pending_.size());
    prefixes_.resize(entries_.size());
    for (std::size_t k = pending_.size(); k-- > 0;) {
        const std::size_t shift = k + 1;
        const auto first = static_cast<std::ptrdiff_t>(oldAhead[k]);
        const auto end = static_cast<std::ptrdiff_t>(oldEnd);
        const auto target = static_cast<std::ptrdiff_t>(oldEnd + shift);
        std::move_backward(entries_.begin() + first, entries_.begin() + end,
                           entries_.begin() + target);
        std::copy_backward(prefixes_.begin() + first, prefixes_.begin() + end,
                           prefixes_.begin() + target);
        for (std::size_t old = oldAhead[k]; old < oldEnd; ++old) {
            newIndexOfOld[old] = old + shift;
        }
        oldEnd = oldAhead[k];
        entries_[oldAhead[k] + k] = std::move(pending_[k]);
        prefixes_[oldAhead[k] + k] = pendingPrefixes[k];
    }
    pending_.clear();
    return newIndexOfOld;
}

}  // namespace brackwin
