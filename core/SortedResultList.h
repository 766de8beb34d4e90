#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "UiServices.h"

namespace brackwin {

// True when a sorts before b in the result list: by the bytes of their folded texts (CaseFold.h,
// the same folding as the search), which is the order of the folded characters, and where those
// are equal, by the exact text, so the order is total. Throws what FoldCase throws.
bool ResultOrderLess(std::string_view a, std::string_view b);

// A result list that keeps its entries in ascending order ignoring case. Appends are held back
// and placed together by Commit(), so a search with hundreds of thousands of matches stays
// fast; readers see only committed entries.
class SortedResultList final : public ResultList {
  public:
    SortedResultList() = default;
    SortedResultList(const SortedResultList&) = delete;
    SortedResultList& operator=(const SortedResultList&) = delete;

    void Clear() override;
    // Throws std::length_error when the list already holds 2^32 - 1 entries, and what FoldCase
    // throws.
    void AddItem(std::string_view entry) override;

    // Places every entry added since the last commit, each after the placed entries equal to
    // it. Costs O(m log n) comparisons and one pass over n four-byte ids for m new and n placed
    // entries, so frequent commits stay cheap. Returns, for each newly placed entry in list
    // order, the index before this call of the first earlier placed entry that now follows it
    // (the old Count() when none does); empty when nothing was pending. Throws std::bad_alloc
    // with the list unchanged.
    std::vector<std::size_t> Commit();

    // The index after a commit of the entry that had oldIndex before it, given what that
    // Commit() returned.
    static std::size_t IndexAfterCommit(std::span<const std::size_t> insertedBefore,
                                        std::size_t oldIndex) noexcept;

    std::size_t Count() const noexcept { return order_.size(); }
    std::size_t PendingCount() const noexcept { return stored_ - order_.size(); }
    // Throws std::out_of_range unless index < Count(). The text stays valid until Clear().
    std::string_view Item(std::size_t index) const;

  private:
    // The first 32 bytes of an entry's folded text, as big-endian words and zero past its end:
    // comparing two prefixes compares those bytes, so most comparisons of entries are settled
    // without reading their texts.
    struct Prefix {
        std::array<std::uint64_t, 4> words;
    };
    // One cache line each: comparing with a placed entry, found by its id, reads one line. The
    // folded view is the entry's text where folding changes only A-Z (every ASCII entry, and
    // most others), which comparisons read with A-Z as a-z; any other entry keeps a folded copy,
    // which has no A-Z.
    struct alignas(64) Entry {
        Prefix prefix;
        const char* text;
        std::size_t size;
        const char* folded;
        std::size_t foldedSize;
        std::string_view view() const noexcept { return {text, size}; }
        std::string_view foldedView() const noexcept { return {folded, foldedSize}; }
    };
    static_assert(sizeof(Entry) == 64);
    static Prefix PrefixOf(std::string_view folded) noexcept;

    static constexpr unsigned kEntryBlockBits = 12;
    static constexpr std::size_t kTextBlockSize = std::size_t{1} << 20;

    const Entry& At(std::uint32_t id) const noexcept {
        return entryBlocks_[id >> kEntryBlockBits][id & ((1U << kEntryBlockBits) - 1)];
    }
    static bool Less(const Prefix& prefixA, const Entry& a, const Prefix& prefixB,
                     const Entry& b) noexcept;
    const char* StoreText(std::string_view entry);
    std::vector<std::uint32_t> SortedPendingIds() const;
    std::vector<std::size_t> FindPlaces(std::span<const std::uint32_t> ids) const;

    // Entries are stored in the order they were added, in blocks that never move, so an
    // entry's id (its place in that order) and its text stay put however the list grows.
    std::vector<std::unique_ptr<Entry[]>> entryBlocks_;
    std::vector<std::unique_ptr<char[]>> textBlocks_;
    char* textNext_ = nullptr;
    std::size_t textRoom_ = 0;
    std::uint32_t stored_ = 0;
    std::string folding_;  // reused by AddItem
    // The ids of the committed entries in list order; ids from Count() on are pending.
    std::vector<std::uint32_t> order_;
};

}  // namespace brackwin
