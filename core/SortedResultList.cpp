#include "SortedResultList.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <stdexcept>

#include "CaseFold.h"

namespace brackwin {

namespace {

// An entry as the order sees it: its folded text, and its own text to break ties.
struct OrderedText {
    std::string_view folded;
    std::string_view text;
};

// Eight bytes of an entry's folded text as a big-endian word, zero past its end, read from the
// entry's folded view (see Entry): its A-Z are read as a-z.
std::uint64_t FoldedWord(std::string_view folded, std::size_t from) noexcept {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    if (from + 8 <= folded.size()) {
        std::uint64_t word;
        std::memcpy(&word, folded.data() + from, sizeof word);
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
        const unsigned char c = i < folded.size() ? static_cast<unsigned char>(folded[i]) : 0;
        word = (word << 8) | FoldedAsciiByte(c);
    }
    return word;
}

// Whether a sorts before b, given that their folded texts agree before depth.
bool LessFrom(std::size_t depth, const OrderedText& a, const OrderedText& b) noexcept {
    for (; depth < std::max(a.folded.size(), b.folded.size()); depth += 8) {
        const std::uint64_t wordA = FoldedWord(a.folded, depth);
        const std::uint64_t wordB = FoldedWord(b.folded, depth);
        if (wordA != wordB) {
            return wordA < wordB;
        }
    }
    if (a.folded.size() != b.folded.size()) {
        return a.folded.size() < b.folded.size();
    }
    return a.text < b.text;
}

}  // namespace

bool ResultOrderLess(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto byteA = static_cast<unsigned char>(a[i]);
        const auto byteB = static_cast<unsigned char>(b[i]);
        if ((byteA | byteB) >= 0x80) {
            // Both texts have only ASCII before i, folded alike, so a character starts at i in
            // each and the rest of their folded texts decides.
            const std::string foldedA = FoldCase(a.substr(i));
            const std::string foldedB = FoldCase(b.substr(i));
            return foldedA != foldedB ? foldedA < foldedB : a < b;
        }
        const unsigned char foldedA = FoldedAsciiByte(byteA);
        const unsigned char foldedB = FoldedAsciiByte(byteB);
        if (foldedA != foldedB) {
            return foldedA < foldedB;
        }
    }
    // No character folds to nothing, so the shorter text folds to a beginning of the other's.
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;
}

void SortedResultList::Clear() {
    entryBlocks_.clear();
    textBlocks_.clear();
    textNext_ = nullptr;
    textRoom_ = 0;
    stored_ = 0;
    order_.clear();
}

SortedResultList::Prefix SortedResultList::PrefixOf(std::string_view folded) noexcept {
    return {{FoldedWord(folded, 0), FoldedWord(folded, 8), FoldedWord(folded, 16),
             FoldedWord(folded, 24)}};
}

const char* SortedResultList::StoreText(std::string_view entry) {
    if (entry.size() > textRoom_) {
        const std::size_t size = std::max(kTextBlockSize, entry.size());
        textBlocks_.reserve(textBlocks_.size() + 1);
        textBlocks_.emplace_back(new char[size]);
        textNext_ = textBlocks_.back().get();
        textRoom_ = size;
    }
    char* const text = textNext_;
    std::memcpy(text, entry.data(), entry.size());
    textNext_ += entry.size();
    textRoom_ -= entry.size();
    return text;
}

void SortedResultList::AddItem(std::string_view entry) {
    if (stored_ == std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("the result list is full");
    }
    const std::size_t block = stored_ >> kEntryBlockBits;
    if (block == entryBlocks_.size()) {
        entryBlocks_.reserve(block + 1);
        entryBlocks_.emplace_back(new Entry[std::size_t{1} << kEntryBlockBits]);
    }
    const char* const text = entry.empty() ? nullptr : StoreText(entry);
    std::string_view folded{text, entry.size()};
    if (!FoldsOnlyAscii(entry)) {
        FoldCase(entry, folding_);
        folded = {StoreText(folding_), folding_.size()};
    }
    entryBlocks_[block][stored_ & ((1U << kEntryBlockBits) - 1)] = {
        PrefixOf(folded), text, entry.size(), folded.data(), folded.size()};
    ++stored_;
}

std::string_view SortedResultList::Item(std::size_t index) const {
    if (index >= order_.size()) {
        throw std::out_of_range("no result list entry at this index");
    }
    return At(order_[index]).view();
}

bool SortedResultList::Less(const Prefix& prefixA, const Entry& a, const Prefix& prefixB,
                            const Entry& b) noexcept {
    for (std::size_t i = 0; i < prefixA.words.size(); ++i) {
        if (prefixA.words[i] != prefixB.words[i]) {
            return prefixA.words[i] < prefixB.words[i];
        }
    }
    return LessFrom(sizeof(Prefix), {a.foldedView(), a.view()}, {b.foldedView(), b.view()});
}

std::vector<std::uint32_t> SortedResultList::SortedPendingIds() const {
    // Sorted by their prefixes, copied side by side so the comparisons read no entry; only
    // entries whose first 32 folded bytes agree are then compared on their texts.
    struct Keyed {
        Prefix prefix;
        std::uint32_t id;
    };
    const auto first = static_cast<std::uint32_t>(order_.size());
    std::vector<Keyed> keyed(stored_ - first);
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        const auto id = first + static_cast<std::uint32_t>(i);
        keyed[i] = {At(id).prefix, id};
    }
    std::sort(keyed.begin(), keyed.end(),
              [](const Keyed& a, const Keyed& b) { return a.prefix.words < b.prefix.words; });
    for (std::size_t tieFirst = 0; tieFirst < keyed.size();) {
        std::size_t tieEnd = tieFirst + 1;
        while (tieEnd < keyed.size() &&
               keyed[tieEnd].prefix.words == keyed[tieFirst].prefix.words) {
            ++tieEnd;
        }
        if (tieEnd - tieFirst > 1) {
            std::sort(keyed.begin() + static_cast<std::ptrdiff_t>(tieFirst),
                      keyed.begin() + static_cast<std::ptrdiff_t>(tieEnd),
                      [this](const Keyed& a, const Keyed& b) {
                          const Entry& entryA = At(a.id);
                          const Entry& entryB = At(b.id);
                          return LessFrom(sizeof(Prefix), {entryA.foldedView(), entryA.view()},
                                          {entryB.foldedView(), entryB.view()});
                      });
        }
        tieFirst = tieEnd;
    }
    std::vector<std::uint32_t> ids(keyed.size());
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        ids[i] = keyed[i].id;
    }
    return ids;
}

// Each new entry goes after every old entry that does not sort after it, so an earlier entry
// stays ahead of an equal new one. The new entries are sorted, so the middle one's place splits
// both ranges: about log2(n/m) comparisons per entry when m entries join n. The placed entries
// lie all over memory, so the searches of one round of splits run side by side, one step each
// in turn: each step first reads every search's probed entry, so the reads wait together.
std::vector<std::size_t> SortedResultList::FindPlaces(std::span<const std::uint32_t> ids) const {
    struct Split {
        std::size_t first;  // the new entries [first, end) go into the old range [oldFirst, oldEnd)
        std::size_t end;
        std::size_t oldFirst;
        std::size_t oldEnd;
    };
    struct Search {
        const Entry* entry;
        std::size_t low;  // the place is in [low, low + length]
        std::size_t length;
    };
    constexpr std::size_t kSideBySide = 64;
    std::vector<std::size_t> insertedBefore(ids.size());
    std::vector<Split> splits{{0, ids.size(), 0, order_.size()}};
    std::vector<Split> nextSplits;
    std::vector<Search> searches;
    while (!splits.empty()) {
        searches.clear();
        for (const Split& split : splits) {
            const std::uint32_t id = ids[split.first + (split.end - split.first) / 2];
            searches.push_back({&At(id), split.oldFirst, split.oldEnd - split.oldFirst});
        }
        for (std::size_t group = 0; group < searches.size(); group += kSideBySide) {
            const std::span<Search> side =
                std::span(searches).subspan(group, std::min(kSideBySide, searches.size() - group));
            std::array<const Entry*, kSideBySide> probed{};
            std::array<Prefix, kSideBySide> prefixes{};
            for (bool searching = true; searching;) {
                searching = false;
                for (std::size_t i = 0; i < side.size(); ++i) {
                    if (side[i].length != 0) {
                        probed[i] = &At(order_[side[i].low + side[i].length / 2]);
                    }
                }
                for (std::size_t i = 0; i < side.size(); ++i) {
                    if (side[i].length != 0) {
                        prefixes[i] = probed[i]->prefix;
                    }
                }
                for (std::size_t i = 0; i < side.size(); ++i) {
                    Search& search = side[i];
                    if (search.length == 0) {
                        continue;
                    }
                    const std::size_t half = search.length / 2;
                    if (Less(search.entry->prefix, *search.entry, prefixes[i], *probed[i])) {
                        search.length = half;
                    } else {
                        search.low += half + 1;
                        search.length -= half + 1;
                    }
                    searching = searching || search.length != 0;
                }
            }
        }
        nextSplits.clear();
        for (std::size_t i = 0; i < splits.size(); ++i) {
            const Split& split = splits[i];
            const std::size_t middle = split.first + (split.end - split.first) / 2;
            const std::size_t place = searches[i].low;
            insertedBefore[middle] = place;
            if (split.first < middle) {
                nextSplits.push_back({split.first, middle, split.oldFirst, place});
            }
            if (middle + 1 < split.end) {
                nextSplits.push_back({middle + 1, split.end, place, split.oldEnd});
            }
        }
        std::swap(splits, nextSplits);
    }
    return insertedBefore;
}

std::vector<std::size_t> SortedResultList::Commit() {
    if (PendingCount() == 0) {
        return {};
    }
    const std::vector<std::uint32_t> ids = SortedPendingIds();
    const std::size_t oldCount = order_.size();
    const std::vector<std::size_t> insertedBefore = FindPlaces(ids);
    // Widened and filled from the back, so every old id moves once, in runs, and is never
    // overwritten before it has moved.
    order_.resize(oldCount + ids.size());
    std::size_t oldEnd = oldCount;
    for (std::size_t k = ids.size(); k-- > 0;) {
        const auto first = static_cast<std::ptrdiff_t>(insertedBefore[k]);
        const auto end = static_cast<std::ptrdiff_t>(oldEnd);
        std::copy_backward(order_.begin() + first, order_.begin() + end,
                           order_.begin() + end + static_cast<std::ptrdiff_t>(k + 1));
        order_[insertedBefore[k] + k] = ids[k];
        oldEnd = insertedBefore[k];
    }
    return insertedBefore;
}

std::size_t SortedResultList::IndexAfterCommit(std::span<const std::size_t> insertedBefore,
                                               std::size_t oldIndex) noexcept {
    const auto shift = std::upper_bound(insertedBefore.begin(), insertedBefore.end(), oldIndex) -
                       insertedBefore.begin();
    return oldIndex + static_cast<std::size_t>(shift);
}

}  // namespace brackwin
