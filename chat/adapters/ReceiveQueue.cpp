#include "ReceiveQueue.h"

#include <utility>

namespace lanyx {

bool ReceiveQueue::push(std::vector<Arrival>& batch) {
    bool wasEmpty;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wasEmpty = queue_.empty() && takingPos_ >= taking_.size();
        for (auto& a : batch) {
            const std::size_t c = cost(a);
            if (bytes_ + c > maxBytes_) {
                ++dropped_;
                continue;
            }
            bytes_ += c;
            queue_.push_back(std::move(a));
        }
    }
    // The datagrams' own memory is freed outside the lock too.
    batch.clear();
    return wasEmpty;
}

bool ReceiveQueue::take(Arrival& out) {
    // After a flood the used-up array is let go (outside the lock) rather
    // than kept at its largest.
    std::vector<Arrival> spent;
    std::lock_guard<std::mutex> lock(mutex_);
    if (takingPos_ >= taking_.size()) {
        if (taking_.capacity() > kKeptCapacity) spent.swap(taking_);
        taking_.clear();
        takingPos_ = 0;
        if (queue_.empty()) return false;
        taking_.swap(queue_);
    }
    out = std::move(taking_[takingPos_++]);
    bytes_ -= cost(out);
    return true;
}

bool ReceiveQueue::empty() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.empty() && takingPos_ >= taking_.size();
}

void ReceiveQueue::clear() {
    std::vector<Arrival> queued, taking;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queued.swap(queue_);
        taking.swap(taking_);
        takingPos_ = 0;
        bytes_ = 0;
    }
}

std::size_t ReceiveQueue::bytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return bytes_;
}

std::uint32_t ReceiveQueue::dropped() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dropped_;
}

}  // namespace lanyx
