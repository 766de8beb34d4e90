#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

#include "ByteBuffer.h"

namespace brackwin {

// The declaration line list: zero-based lines of UTF-8 text without their line breaks.
// Only the line reader writes it; everything else reads it.
class LineList {
  public:
    std::size_t size() const noexcept;
    bool empty() const noexcept { return size() == 0; }
    // True when no stored line holds a byte above 0x7F, so byte-wise ASCII case folding is the
    // whole folding of every line.
    bool IsAscii() const noexcept { return ascii_; }
    // Precondition: index < size(). The view stays valid until the list is next written.
    std::string_view operator[](std::size_t index) const;

    // The stored lines as one text, with their line breaks: from the first stored line's start
    // to the last one's end. A substring search over it finds what a search line by line would,
    // for patterns without line breaks, much faster.
    std::string_view Text() const noexcept;
    // The index of the line that holds the character at `at`, a pointer into Text(), which is
    // known to be line `from` or a later one. The nearer it is to `from`, the sooner it is found.
    std::size_t IndexAt(const char* at, std::size_t from = 0) const noexcept;

  private:
    friend class clsFileLineRead;

    // The decoded file text with its line breaks, and where each stored line's text ends in
    // it. A line starts right after the break that ends the line before it, so one offset per
    // line is enough.
    ByteBuffer text_;
    std::size_t firstStart_ = 0;
    std::vector<std::size_t> ends_;
    bool ascii_ = true;
};

inline std::size_t LineList::size() const noexcept {
    return ends_.size();
}

inline std::string_view LineList::operator[](std::size_t index) const {
    std::size_t start = firstStart_;
    if (index != 0) {
        const std::size_t previousEnd = ends_[index - 1];
        const bool crLf = text_.data()[previousEnd] == '\r' && previousEnd + 1 < text_.size() &&
                          text_.data()[previousEnd + 1] == '\n';
        start = previousEnd + (crLf ? 2 : 1);
    }
    return {text_.data() + start, ends_[index] - start};
}

inline std::string_view LineList::Text() const noexcept {
    return ends_.empty() ? std::string_view()
                         : std::string_view(text_.data() + firstStart_, ends_.back() - firstStart_);
}

inline std::size_t LineList::IndexAt(const char* at, std::size_t from) const noexcept {
    const auto offset = static_cast<std::size_t>(at - text_.data());
    // Steps of doubling length from `from` bound the line, then halving finds it.
    std::size_t low = from;
    std::size_t step = 1;
    while (low + step < ends_.size() && ends_[low + step - 1] <= offset) {
        low += step;
        step *= 2;
    }
    const auto first = ends_.begin() + static_cast<std::ptrdiff_t>(low);
    const auto bound =
        ends_.begin() + static_cast<std::ptrdiff_t>(std::min(low + step, ends_.size()));
    return static_cast<std::size_t>(std::upper_bound(first, bound, offset) - ends_.begin());
}

}  // namespace brackwin
