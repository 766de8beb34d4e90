#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace brackwin {

// A growable byte array whose new bytes are left uninitialised: a whole declaration file is
// read or decoded into one, so zero-filling tens of megabytes first would be wasted work.
class ByteBuffer {
  public:
    ByteBuffer() = default;
    explicit ByteBuffer(std::size_t capacity) { Reserve(capacity); }

    const char* data() const noexcept { return data_.get(); }
    char* data() noexcept { return data_.get(); }
    std::size_t size() const noexcept { return size_; }
    std::size_t capacity() const noexcept { return capacity_; }
    std::string_view view() const noexcept { return {data_.get(), size_}; }

    void Reserve(std::size_t capacity);

    // Makes room for count more bytes and returns where they go; Commit() then counts them.
    char* Extend(std::size_t count) {
        if (capacity_ - size_ < count) {
            Reserve(size_ + (count > size_ ? count : size_));
        }
        return data_.get() + size_;
    }
    void Commit(std::size_t count) noexcept { size_ += count; }
    // Empties the buffer and keeps its room.
    void Clear() noexcept { size_ = 0; }

    void Append(std::string_view bytes) {
        if (!bytes.empty()) {
            std::memcpy(Extend(bytes.size()), bytes.data(), bytes.size());
            Commit(bytes.size());
        }
    }

  private:
    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace brackwin
