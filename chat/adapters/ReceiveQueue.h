#pragma once
// Datagrams between the socket's receiver thread and the user-interface
// thread. Bounded by what it holds in memory, not by how many datagrams:
// a flood of large datagrams must cost drops, not gigabytes. The receiver
// copies datagrams out of its buffers before it takes the lock; under the
// lock they are only moved.
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace lanyx {

struct Arrival {
    std::string bytes;
    std::uint32_t from = 0;  // IPv4, host order; 0 when not known
    std::uint32_t to = 0;
    int interfaceIndex = 0;
};

class ReceiveQueue {
public:
    // What one queued datagram is counted as: its bytes and the bookkeeping
    // around them, so that empty datagrams are bounded too.
    static std::size_t cost(const Arrival& a) { return a.bytes.size() + sizeof(Arrival) + 32; }

    explicit ReceiveQueue(std::size_t maxBytes) : maxBytes_(maxBytes) {}
    ReceiveQueue(const ReceiveQueue&) = delete;
    ReceiveQueue& operator=(const ReceiveQueue&) = delete;

    // Receiver thread: appends what fits, in order, and counts the rest as
    // dropped; `batch` is left empty. True when the queue was empty before,
    // so that the taker needs waking.
    bool push(std::vector<Arrival>& batch);
    // User-interface thread: the oldest datagram, if any.
    bool take(Arrival& out);
    bool empty() const;
    // Everything queued goes (the socket it came from was closed).
    void clear();

    std::size_t bytes() const;
    std::size_t maxBytes() const { return maxBytes_; }
    // Datagrams that did not fit, since the queue was made.
    std::uint32_t dropped() const;

private:
    static constexpr std::size_t kKeptCapacity = 4096;
    const std::size_t maxBytes_;
    mutable std::mutex mutex_;
    // Appended to by the receiver; the taker swaps it with `taking_` when
    // that is used up, so that neither side moves the other's elements.
    std::vector<Arrival> queue_;
    std::vector<Arrival> taking_;
    std::size_t takingPos_ = 0;
    std::size_t bytes_ = 0;
    std::uint32_t dropped_ = 0;
};

}  // namespace lanyx
