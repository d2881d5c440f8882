// A queue of bytes, in at the back and out at the front, in block copies: the driver's receive
// queue. It grows (doubling) only when a push would not fit, and never shrinks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kaptor::platform {

class ByteRing {
  public:
    std::size_t size() const { return size_; }
    void push(const std::uint8_t* bytes, std::size_t count);
    void push(std::uint8_t byte) { push(&byte, 1); }
    // Moves the first count bytes (at most size()) to out; returns how many.
    std::size_t pop(std::uint8_t* out, std::size_t count);
    void clear() {
        head_ = 0;
        size_ = 0;
    }

  private:
    void grow(std::size_t needed);

    std::vector<std::uint8_t> storage_;
    std::size_t head_ = 0;
    std::size_t size_ = 0;
};

}  // namespace kaptor::platform
