#pragma once

#include <cstddef>

namespace brackwin::test {

// While an object of this class lives, every allocation through operator new of at least
// `minimumSize` bytes throws std::bad_alloc, as when memory has run out; smaller ones succeed,
// so the code that handles the failure can still run.
class FailingLargeAllocations {
  public:
    explicit FailingLargeAllocations(std::size_t minimumSize);
    ~FailingLargeAllocations();
    FailingLargeAllocations(const FailingLargeAllocations&) = delete;
    FailingLargeAllocations& operator=(const FailingLargeAllocations&) = delete;
};

}  // namespace brackwin::test
