#pragma once
// Datagrams between the socket's receiver thread and the user-interface
// thread. Bounded by what it holds in memory, not by how many datagrams:
// a flood of large datagrams must cost drops, not gigabytes. The receiver
// copies datagrams out of its buffers before it takes the lock; under the
// lock they are only moved.
//
// Two lanes: datagrams of names heard before (taken while no stranger
// waited) and of senders a pinned key verified at their address go ahead of
// names first heard while strangers queue, so that a storm of made-up names
// cannot bury a colleague. Each lane keeps its order, and one sender's
// datagrams keep to one lane (but for those waiting when its pinned key is
// first verified). Past a few thousand strangers' datagrams waiting, their
// alerts are counted, not kept.
#include "IpAddress.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace lanyx {

struct Arrival {
    std::string bytes;
    IpAddress from;  // none when not known
    IpAddress to;
    int interfaceIndex = 0;
    // What the queue read of it: the sender's name, hashed (0: none).
    std::uint64_t name = 0;
};

class ReceiveQueue {
public:
    // What one queued datagram is counted as: its bytes and the bookkeeping
    // around them, so that empty datagrams are bounded too.
    static std::size_t cost(const Arrival& a) { return a.bytes.size() + sizeof(Arrival) + 32; }
    // Strangers' datagrams waiting beyond which their alerts are only counted.
    static constexpr std::size_t kStrangerAlertBacklog = 4096;
    // Names and verified sources remembered at most.
    static constexpr std::size_t kMaxKnownNames = 65536;
    static constexpr std::size_t kMaxVerifiedSources = 4096;

    explicit ReceiveQueue(std::size_t maxBytes) : maxBytes_(maxBytes) {}
    ReceiveQueue(const ReceiveQueue&) = delete;
    ReceiveQueue& operator=(const ReceiveQueue&) = delete;

    // Receiver thread: appends what fits, each lane in order, and counts the
    // rest as dropped (or, strangers' alerts past the backlog, as not kept);
    // `batch` is left empty. True when the queue was empty before, so that
    // the taker needs waking.
    bool push(std::vector<Arrival>& batch);
    // User-interface thread: the oldest datagram of the first lane, if any;
    // `heardBefore` says whether it came from that lane.
    bool take(Arrival& out, bool* heardBefore = nullptr);
    bool empty() const;
    // Everything queued goes (the socket it came from was closed); the
    // names heard stay known.
    void clear();
    // User-interface thread: a pinned key signed what came from `address`
    // under `wireName` (as on the wire).
    void verifiedSource(IpAddress address, std::string_view wireName);

    std::size_t bytes() const;
    std::size_t maxBytes() const { return maxBytes_; }
    // Datagrams waiting in the strangers' lane.
    std::size_t strangersWaiting() const;
    // Datagrams that did not fit, since the queue was made.
    std::uint32_t dropped() const;
    // Strangers' alerts counted and not kept, since the queue was made.
    std::uint32_t alertsNotKept() const;

private:
    static constexpr std::size_t kKeptCapacity = 4096;

public:
    // The sender's name of "name|X/..." hashed with ASCII case folded (0
    // for anything else: never known), and whether it is an alert.
    static std::uint64_t nameOf(std::string_view bytes, bool* alert = nullptr);

private:
    static std::uint64_t sourceKey(IpAddress address, std::uint64_t name);
    // Appended to by the receiver; the taker swaps `queue` with `taking`
    // when that is used up, so that neither side moves the other's elements.
    struct Lane {
        std::vector<Arrival> queue;
        std::vector<Arrival> taking;
        std::size_t pos = 0;
        std::size_t count() const { return queue.size() + taking.size() - pos; }
        // The oldest, if any; an array used up goes to `spent` when large.
        bool take(Arrival& out, std::vector<Arrival>& spent);
        void clear(std::vector<Arrival>& a, std::vector<Arrival>& b);
    };
    const std::size_t maxBytes_;
    mutable std::mutex mutex_;
    Lane known_;
    Lane strangers_;
    std::unordered_set<std::uint64_t> names_;    // heard while no stranger waited
    std::unordered_set<std::uint64_t> sources_;  // address and name a pinned key verified
    std::size_t bytes_ = 0;
    std::uint32_t dropped_ = 0;
    std::uint32_t notKept_ = 0;
};

}  // namespace lanyx
