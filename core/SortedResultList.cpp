#include "SortedResultList.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <stdexcept>
#include <utility>

#include "CaseFold.h"
#include "Platform.h"

namespace brackwin {

namespace {

// An entry as the order sees it: its folded text, and its own text to break ties.
struct OrderedText {
    std::string_view folded;
    std::string_view text;
};

// Eight bytes of an entry's folded text as a big-endian word, zero past its end, read from the
// entry's folded view (see FoldedView): its A-Z are read as a-z.
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

// How a compares with b (below, at or above zero), given that their folded texts agree before
// depth: by the rest of their folded texts, then by their texts.
int CompareFrom(std::size_t depth, const OrderedText& a, const OrderedText& b) noexcept {
    for (; depth < std::max(a.folded.size(), b.folded.size()); depth += 8) {
        const std::uint64_t wordA = FoldedWord(a.folded, depth);
        const std::uint64_t wordB = FoldedWord(b.folded, depth);
        if (wordA != wordB) {
            return wordA < wordB ? -1 : 1;
        }
    }
    if (a.folded.size() != b.folded.size()) {
        return a.folded.size() < b.folded.size() ? -1 : 1;
    }
    return a.text.compare(b.text);
}

// How the beginning of an entry's folded view compares with a folded text: below zero when it
// sorts before it, zero when it begins with it, above zero when it sorts after it.
int CompareFoldedStart(std::string_view folded, std::string_view wanted) noexcept {
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (i == folded.size()) {
            return -1;
        }
        const unsigned char have = FoldedAsciiByte(static_cast<unsigned char>(folded[i]));
        const auto want = static_cast<unsigned char>(wanted[i]);
        if (have != want) {
            return have < want ? -1 : 1;
        }
    }
    return 0;
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
    foldedCopies_.clear();
    textNext_ = nullptr;
    textRoom_ = 0;
    stored_ = 0;
    pending_ = {};
    runs_.clear();
    spares_ = {};
    count_ = 0;
    merge_.reset();
    position_.reset();
}

SortedResultList::Prefix SortedResultList::PrefixOf(std::string_view folded) noexcept {
    return {{FoldedWord(folded, 0), FoldedWord(folded, 8), FoldedWord(folded, 16),
             FoldedWord(folded, 24)}};
}

const char* SortedResultList::StoreText(std::string_view entry) {
    if (entry.size() > textRoom_) {
        const std::size_t size = std::max(
            entry.size(), std::min(kLargestTextBlock, kFirstTextBlock << textBlocks_.size()));
        textBlocks_.reserve(textBlocks_.size() + 1);
        textBlocks_.emplace_back(new char[size]);
        AdviseLargeBlock(textBlocks_.back().get(), size);
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
    const std::size_t block = EntryBlock(stored_);
    if (block == entryBlocks_.size()) {
        const std::size_t size = std::size_t{1} << (kFirstEntryBlockBits + block);
        entryBlocks_.reserve(block + 1);
        entryBlocks_.emplace_back(new Entry[size]);
        AdviseLargeBlock(entryBlocks_.back().get(), size * sizeof(Entry));
    }
    const bool copied = !FoldsOnlyAscii(entry);
    std::string_view folded = entry;
    if (copied) {
        FoldCase(entry, folding_);
        folded = {StoreText(folding_), folding_.size()};
    }
    if (pending_.empty()) {
        pending_.reserve(pendingRoom_);
    }
    pending_.push_back({PrefixOf(folded), stored_});
    if (copied) {
        try {
            foldedCopies_.push_back({stored_, folded});
        } catch (...) {
            pending_.pop_back();
            throw;
        }
    }
    entryBlocks_[block][stored_ - EntryBlockStart(block)] = {entry.data(), entry.size()};
    ++stored_;
}

std::string_view SortedResultList::FoldedView(Id id) const noexcept {
    const auto copy =
        std::lower_bound(foldedCopies_.begin(), foldedCopies_.end(), id,
                         [](const FoldedCopy& folded, Id wanted) { return folded.id < wanted; });
    return copy != foldedCopies_.end() && copy->id == id ? copy->folded : At(id).view();
}

bool SortedResultList::Less(const Keyed& a, const Keyed& b) const noexcept {
    for (std::size_t word = 0; word < a.prefix.words.size(); ++word) {
        if (a.prefix.words[word] != b.prefix.words[word]) {
            return a.prefix.words[word] < b.prefix.words[word];
        }
    }
    const Entry& entryA = At(a.id);
    const Entry& entryB = At(b.id);
    // A declaration often comes more than once; equal texts need no folding.
    if (entryA.view() == entryB.view()) {
        return a.id < b.id;
    }
    const int order = CompareFrom(sizeof(Prefix), {FoldedView(a.id), entryA.view()},
                                  {FoldedView(b.id), entryB.view()});
    // Equal entries keep the order they were added in.
    return order != 0 ? order < 0 : a.id < b.id;
}

void SortedResultList::Commit() {
    if (pending_.empty()) {
        return;
    }
    std::sort(pending_.begin(), pending_.end(),
              [this](const Keyed& a, const Keyed& b) { return Less(a, b); });
    runs_.push_back(std::move(pending_));
    count_ += runs_.back().size();
    // A search finds about as many entries between two commits as it found before.
    pending_ = TakeSpare(std::max(pendingRoom_, 2 * runs_.back().size()));
    position_.reset();
}

std::vector<SortedResultList::Keyed> SortedResultList::TakeSpare(std::size_t capacity) {
    std::vector<Keyed>* best = nullptr;
    for (std::vector<Keyed>& spare : spares_) {
        if (spare.capacity() >= capacity &&
            (best == nullptr || spare.capacity() < best->capacity())) {
            best = &spare;
        }
    }
    if (best != nullptr) {
        return std::exchange(*best, {});
    }
    std::vector<Keyed> fresh;
    fresh.reserve(capacity);
    AdviseLargeBlock(fresh.data(), fresh.capacity() * sizeof(Keyed));
    return fresh;
}

void SortedResultList::KeepSpare(std::vector<Keyed>&& run) noexcept {
    run.clear();
    std::vector<Keyed>* smallest = &spares_.front();
    for (std::vector<Keyed>& spare : spares_) {
        if (spare.capacity() < smallest->capacity()) {
            smallest = &spare;
        }
    }
    if (run.capacity() > smallest->capacity()) {
        std::swap(*smallest, run);
    }
}

// Leaves up to kMostRuns runs unmerged, as reading an entry looks into that many at little cost
// while most of a search's merging is saved. Beyond them, merges the two neighbouring runs with
// the fewest entries together, so that runs of like sizes merge and each entry is merged again
// only about as often as its run's size doubles.
bool SortedResultList::StartMerge() {
    if (runs_.size() <= kMostRuns) {
        return false;
    }
    std::size_t first = 0;
    for (std::size_t next = 1; next + 1 < runs_.size(); ++next) {
        if (runs_[next].size() + runs_[next + 1].size() <
            runs_[first].size() + runs_[first + 1].size()) {
            first = next;
        }
    }
    Merge merge{first, TakeSpare(runs_[first].size() + runs_[first + 1].size()), 0, 0};
    merge_ = std::move(merge);
    return true;
}

bool SortedResultList::MergeSome(std::size_t budget) {
    for (;;) {
        if (!merge_ && !StartMerge()) {
            return false;
        }
        Merge& merge = *merge_;
        const std::vector<Keyed>& first = runs_[merge.first];
        const std::vector<Keyed>& second = runs_[merge.first + 1];
        const std::size_t total = first.size() + second.size();
        for (; budget > 0 && merge.merged.size() < total; --budget) {
            const bool fromSecond = merge.takenFirst == first.size() ||
                                    (merge.takenSecond < second.size() &&
                                     Less(second[merge.takenSecond], first[merge.takenFirst]));
            merge.merged.push_back(fromSecond ? second[merge.takenSecond++]
                                              : first[merge.takenFirst++]);
        }
        if (merge.takenFirst < first.size() || merge.takenSecond < second.size()) {
            return true;
        }
        std::swap(runs_[merge.first], merge.merged);
        KeepSpare(std::move(merge.merged));
        KeepSpare(std::move(runs_[merge.first + 1]));
        runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(merge.first) + 1);
        merge_.reset();
        position_.reset();
    }
}

std::size_t SortedResultList::Before(const std::vector<Keyed>& run,
                                     const Keyed& key) const noexcept {
    return static_cast<std::size_t>(
        std::lower_bound(run.begin(), run.end(), key,
                         [this](const Keyed& a, const Keyed& b) { return Less(a, b); }) -
        run.begin());
}

const SortedResultList::Keyed* SortedResultList::Head(std::size_t run) const noexcept {
    const std::size_t taken = position_->taken[run];
    return taken < runs_[run].size() ? &runs_[run][taken] : nullptr;
}

// Finds how many entries of each run come before the one at index: from the last position when
// it is near, otherwise by narrowing a window in every run around the entry, halving the widest
// window at each step by the rank of its middle entry.
void SortedResultList::Seek(std::size_t index) const {
    constexpr std::size_t kWalk = 64;
    if (position_ && index + kWalk >= position_->index && index <= position_->index + kWalk) {
        for (; position_->index < index; ++position_->index) {
            std::size_t smallest = runs_.size();
            for (std::size_t run = 0; run < runs_.size(); ++run) {
                const Keyed* head = Head(run);
                if (head != nullptr && (smallest == runs_.size() || Less(*head, *Head(smallest)))) {
                    smallest = run;
                }
            }
            ++position_->taken[smallest];
        }
        for (; position_->index > index; --position_->index) {
            std::size_t largest = runs_.size();
            for (std::size_t run = 0; run < runs_.size(); ++run) {
                const std::size_t taken = position_->taken[run];
                if (taken != 0 &&
                    (largest == runs_.size() ||
                     Less(runs_[largest][position_->taken[largest] - 1], runs_[run][taken - 1]))) {
                    largest = run;
                }
            }
            --position_->taken[largest];
        }
        return;
    }
    std::vector<std::size_t> low(runs_.size(), 0);
    std::vector<std::size_t> high(runs_.size());
    std::vector<std::size_t> before(runs_.size());
    for (std::size_t run = 0; run < runs_.size(); ++run) {
        high[run] = runs_[run].size();
    }
    for (;;) {
        std::size_t widest = 0;
        for (std::size_t run = 1; run < runs_.size(); ++run) {
            if (high[run] - low[run] > high[widest] - low[widest]) {
                widest = run;
            }
        }
        if (high[widest] == low[widest]) {
            break;
        }
        const std::size_t middle = low[widest] + (high[widest] - low[widest]) / 2;
        const Keyed& pivot = runs_[widest][middle];
        std::size_t rank = 0;
        for (std::size_t run = 0; run < runs_.size(); ++run) {
            before[run] = run == widest ? middle : Before(runs_[run], pivot);
            rank += before[run];
        }
        if (rank == index) {
            low = before;
            break;
        }
        for (std::size_t run = 0; run < runs_.size(); ++run) {
            if (rank < index) {
                low[run] = std::max(low[run], before[run]);
            } else {
                high[run] = std::min(high[run], before[run]);
            }
        }
        if (rank < index) {
            low[widest] = middle + 1;
        }
    }
    position_ = Position{index, std::move(low)};
}

const SortedResultList::Keyed& SortedResultList::KeyedAt(std::size_t index) const {
    if (index >= count_) {
        throw std::out_of_range("no result list entry at this index");
    }
    if (runs_.size() == 1) {
        return runs_.front()[index];
    }
    Seek(index);
    const Keyed* smallest = nullptr;
    for (std::size_t run = 0; run < runs_.size(); ++run) {
        const Keyed* head = Head(run);
        if (head != nullptr && (smallest == nullptr || Less(*head, *smallest))) {
            smallest = head;
        }
    }
    return *smallest;
}

std::string_view SortedResultList::Item(std::size_t index) const {
    return At(KeyedAt(index).id).view();
}

SortedResultList::Id SortedResultList::IdAt(std::size_t index) const {
    return KeyedAt(index).id;
}

std::size_t SortedResultList::IndexOf(Id id) const {
    const Keyed key{PrefixOf(FoldedView(id)), id};
    std::size_t index = 0;
    for (const std::vector<Keyed>& run : runs_) {
        index += Before(run, key);
    }
    return index;
}

std::pair<std::size_t, std::size_t> SortedResultList::FoldedRange(std::string_view folded) const {
    std::size_t first = 0;
    std::size_t last = 0;
    for (const std::vector<Keyed>& run : runs_) {
        const auto start = std::partition_point(run.begin(), run.end(), [&](const Keyed& entry) {
            return CompareFoldedStart(FoldedView(entry.id), folded) < 0;
        });
        const auto end = std::partition_point(start, run.end(), [&](const Keyed& entry) {
            return CompareFoldedStart(FoldedView(entry.id), folded) == 0;
        });
        first += static_cast<std::size_t>(start - run.begin());
        last += static_cast<std::size_t>(end - run.begin());
    }
    return {first, last};
}

}  // namespace brackwin
