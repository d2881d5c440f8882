#include "platform/byte_ring.h"

#include <algorithm>
#include <cstring>

namespace kaptor::platform {

void ByteRing::grow(std::size_t needed) {
    std::size_t capacity = std::max<std::size_t>(storage_.size(), 4096);
    while (capacity < needed) {
        capacity *= 2;
    }
    std::vector<std::uint8_t> larger(capacity);
    const std::size_t kept = pop(larger.data(), size_);
    storage_ = std::move(larger);
    head_ = 0;
    size_ = kept;
}

void ByteRing::push(const std::uint8_t* bytes, std::size_t count) {
    if (count == 0) {
        return;
    }
    if (size_ + count > storage_.size()) {
        grow(size_ + count);
    }
    const std::size_t tail = (head_ + size_) % storage_.size();
    const std::size_t first = std::min(count, storage_.size() - tail);
    std::memcpy(storage_.data() + tail, bytes, first);
    std::memcpy(storage_.data(), bytes + first, count - first);
    size_ += count;
}

std::size_t ByteRing::pop(std::uint8_t* out, std::size_t count) {
    const std::size_t n = std::min(count, size_);
    if (n == 0) {
        return 0;
    }
    const std::size_t first = std::min(n, storage_.size() - head_);
    std::memcpy(out, storage_.data() + head_, first);
    std::memcpy(out + first, storage_.data(), n - first);
    head_ = (head_ + n) % storage_.size();
    size_ -= n;
    return n;
}

}  // namespace kaptor::platform
