#pragma once

#include <cstddef>
#include <string_view>

namespace brackwin {

// The declaration line list: zero-based lines of UTF-8 text without their line breaks.
// Only the line reader writes it; everything else reads it.
class LineList {
public:
    std::size_t size() const noexcept;
    bool empty() const noexcept { return size() == 0; }
    // Precondition: index < size(). The view stays valid until the list is next written.
    std::string_view operator[](std::size_t index) const;

    // (private storage and the writer's operations: see the implementation)
};

}  // namespace brackwin
