#include "d2xx/receive_buffer.h"

#include <algorithm>

namespace kaptor::usbd2xx {

std::size_t ReceiveBuffer::queued() const {
    const std::lock_guard lock(mutex_);
    return bytes_.size();
}

std::size_t ReceiveBuffer::room() const {
    const std::lock_guard lock(mutex_);
    return capacity_ - std::min(capacity_, bytes_.size());
}

void ReceiveBuffer::append(const std::uint8_t* bytes, std::size_t count) {
    {
        const std::lock_guard lock(mutex_);
        bytes_.push(bytes, count);
    }
    arrived_.notify_all();
}

std::size_t ReceiveBuffer::take(std::uint8_t* out, std::size_t count,
                                std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, timeout, [&] { return bytes_.size() >= count || gone_; });
    const std::size_t n = bytes_.pop(out, count);
    lock.unlock();
    if (n > 0) {
        drained_.notify_all();
    }
    return n;
}

bool ReceiveBuffer::waitForRoom(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return drained_.wait_for(lock, timeout, [&] { return bytes_.size() < capacity_ || closed_; }) &&
           !closed_;
}

void ReceiveBuffer::clear() {
    {
        const std::lock_guard lock(mutex_);
        bytes_.clear();
    }
    drained_.notify_all();
}

void ReceiveBuffer::markGone() {
    {
        const std::lock_guard lock(mutex_);
        gone_ = true;
    }
    arrived_.notify_all();
}

bool ReceiveBuffer::gone() const {
    const std::lock_guard lock(mutex_);
    return gone_;
}

void ReceiveBuffer::close() {
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
    }
    drained_.notify_all();
}

}  // namespace kaptor::usbd2xx
