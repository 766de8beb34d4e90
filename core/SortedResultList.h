#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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
//
// The committed entries lie in a few sorted runs, each holding its entries' places in the order
// side by side. A commit sorts its new entries into a run of their own, at a cost that does not
// grow with the list; MergeSome() merges runs a bounded step at a time, reading them in order,
// so that they stay few. Reading an entry by index looks into every run.
class SortedResultList final : public ResultList {
  public:
    // An entry's identity, which stays with it while the list grows: its place in the order in
    // which entries were added.
    using Id = std::uint32_t;

    SortedResultList() = default;
    SortedResultList(const SortedResultList&) = delete;
    SortedResultList& operator=(const SortedResultList&) = delete;

    void Clear() override;
    // Keeps entry as a view, not a copy: its text must stay in place, unchanged, until Clear(),
    // as the lines of the line list being searched do. (Copying every entry of a large search
    // cost more fresh memory than anything else in it.) Throws std::length_error when the list
    // already holds 2^32 - 1 entries, and what FoldCase throws.
    void AddItem(std::string_view entry) override;

    // Keeps room for this many entries added between two commits, taken as the first of them is
    // added, so that adding them moves none: a growing list of pending entries copies them into
    // fresh memory, whose first use costs more than the adding.
    void ReservePending(std::size_t entries) noexcept { pendingRoom_ = entries; }
    // Places every entry added since the last commit, each after the placed entries equal to
    // it. Throws std::bad_alloc with the committed entries unchanged.
    void Commit();
    // Merges runs for at most `budget` entries' worth of work; false when no merging is left.
    // The order and every index stay as they are. Throws std::bad_alloc with the list unchanged.
    bool MergeSome(std::size_t budget);

    std::size_t Count() const noexcept { return count_; }
    std::size_t PendingCount() const noexcept { return pending_.size(); }
    // Throws std::out_of_range unless index < Count(). The text is the entry's as added.
    std::string_view Item(std::size_t index) const;
    // The entry at index; throws std::out_of_range unless index < Count().
    Id IdAt(std::size_t index) const;
    // The index of a committed entry.
    std::size_t IndexOf(Id id) const;
    // The indexes [first, last) of the committed entries whose folded text begins with folded,
    // which must be folded (CaseFold.h). The order keeps them together; each run is searched by
    // halving, so the cost grows only with the logarithm of the count.
    std::pair<std::size_t, std::size_t> FoldedRange(std::string_view folded) const;

  private:
    // The first 32 bytes of an entry's folded text, as big-endian words and zero past its end:
    // comparing two prefixes compares those bytes, so most comparisons of entries are settled
    // without reading their texts.
    struct Prefix {
        std::array<std::uint64_t, 4> words;
    };
    // An entry's place in the order, as runs hold it.
    struct Keyed {
        Prefix prefix;
        Id id;
    };
    // An entry's text, as added. Its folded view (FoldedView) is that text where folding changes
    // only A-Z (every ASCII entry, and most others), which comparisons read with A-Z as a-z; any
    // other entry keeps a folded copy, which has no A-Z. No member is initialised: a new block of
    // entries is only touched as it fills.
    struct Entry {
        const char* text;
        std::size_t size;
        std::string_view view() const noexcept { return {text, size}; }
    };
    struct FoldedCopy {
        Id id;
        std::string_view folded;
    };
    // Two neighbouring runs being merged into one, which replaces them when it is whole.
    struct Merge {
        std::size_t first = 0;  // runs_[first] and runs_[first + 1]
        std::vector<Keyed> merged;
        std::size_t takenFirst = 0;
        std::size_t takenSecond = 0;
    };
    // Where an index was last found: the entries before it are the first `taken` of each run.
    // Reading neighbouring indexes, as a list's rows are drawn, then walks from there.
    struct Position {
        std::size_t index = 0;
        std::vector<std::size_t> taken;
    };

    static Prefix PrefixOf(std::string_view folded) noexcept;

    static constexpr std::size_t kMostRuns = 32;
    // Vectors of runs merged away kept for reuse; a few cover a commit and the next merge.
    static constexpr std::size_t kMostSpares = 4;
    // Each block of entries holds as many as all blocks before it together, and each block of
    // text twice as much as the one before up to kLargestTextBlock: a short list takes small
    // blocks, while a long one soon takes blocks the system can back with large pages, whose
    // first use costs far less than that of the many small pages they replace.
    static constexpr unsigned kFirstEntryBlockBits = 12;
    static constexpr std::size_t kFirstTextBlock = std::size_t{1} << 20;
    static constexpr std::size_t kLargestTextBlock = std::size_t{8} << 20;

    // The block an entry lies in, and where in it.
    static std::size_t EntryBlock(Id id) noexcept {
        return static_cast<std::size_t>(std::bit_width((id >> kFirstEntryBlockBits) + 1U)) - 1;
    }
    static std::size_t EntryBlockStart(std::size_t block) noexcept {
        return ((std::size_t{1} << block) - 1) << kFirstEntryBlockBits;
    }
    const Entry& At(Id id) const noexcept {
        const std::size_t block = EntryBlock(id);
        return entryBlocks_[block][id - EntryBlockStart(block)];
    }
    std::string_view FoldedView(Id id) const noexcept;
    bool Less(const Keyed& a, const Keyed& b) const noexcept;
    const char* StoreText(std::string_view entry);
    bool StartMerge();
    // An empty vector with room for capacity entries, in the memory of a run merged away when one
    // is large enough: fresh memory costs the system more than the work that fills it.
    std::vector<Keyed> TakeSpare(std::size_t capacity);
    // Keeps the memory of a run merged away, in place of a smaller spare.
    void KeepSpare(std::vector<Keyed>&& run) noexcept;
    const Keyed& KeyedAt(std::size_t index) const;
    // The count of run's entries that sort before key.
    std::size_t Before(const std::vector<Keyed>& run, const Keyed& key) const noexcept;
    void Seek(std::size_t index) const;
    const Keyed* Head(std::size_t run) const noexcept;

    // Entries are stored in the order they were added, in blocks that never move, so an
    // entry's id stays put however the list grows; so do the texts of the folded copies.
    std::vector<std::unique_ptr<Entry[]>> entryBlocks_;
    std::vector<std::unique_ptr<char[]>> textBlocks_;  // folded copies' texts
    std::vector<FoldedCopy> foldedCopies_;             // in the order of their ids
    char* textNext_ = nullptr;
    std::size_t textRoom_ = 0;
    std::uint32_t stored_ = 0;
    std::string folding_;  // reused by AddItem
    std::vector<Keyed> pending_;
    std::size_t pendingRoom_ = 0;
    std::vector<std::vector<Keyed>> runs_;
    std::array<std::vector<Keyed>, kMostSpares> spares_;
    std::size_t count_ = 0;
    std::optional<Merge> merge_;
    mutable std::optional<Position> position_;
};

}  // namespace brackwin
