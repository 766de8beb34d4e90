#include "ByteBuffer.h"

#include "Platform.h"

namespace brackwin {

void ByteBuffer::Reserve(std::size_t capacity) {
    if (capacity <= capacity_) {
        return;
    }
    std::unique_ptr<char[]> grown(new char[capacity]);
    AdviseLargeBlock(grown.get(), capacity);
    if (size_ != 0) {
        std::memcpy(grown.get(), data_.get(), size_);
    }
    data_ = std::move(grown);
    capacity_ = capacity;
}

}  // namespace brackwin
