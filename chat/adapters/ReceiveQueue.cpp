#include "ReceiveQueue.h"

#include <algorithm>
#include <utility>

namespace lanyx {

std::uint64_t ReceiveQueue::nameOf(std::string_view bytes, bool* alert) {
    if (alert) *alert = false;
    // Names are short; what has no bar early is no datagram of a sender.
    constexpr std::size_t kLongestName = 1024;
    const std::size_t bar = bytes.substr(0, kLongestName).find('|');
    if (bar == std::string_view::npos || bar == 0 || bytes.size() < bar + 3 || bytes[bar + 2] != '/') return 0;
    std::uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (std::size_t i = 0; i < bar; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        h = (h ^ static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c)) * 1099511628211ull;
    }
    if (alert) {
        // A public or private message that begins with the alert mark (Windows-1252 on the wire).
        const char command = static_cast<char>(bytes[bar + 1] | 0x20);
        *alert = (command == 'm' || command == 'p') && bytes.size() > bar + 3 && bytes[bar + 3] == '\xDF';
    }
    return h == 0 ? 1 : h;
}

std::uint64_t ReceiveQueue::sourceKey(IpAddress address, std::uint64_t name) {
    return name ^ (static_cast<std::uint64_t>(std::hash<IpAddress>{}(address)) * 0x9E3779B97F4A7C15ull);
}

bool ReceiveQueue::Lane::take(Arrival& out, std::vector<Arrival>& spent) {
    if (pos >= taking.size()) {
        // After a flood the used-up array is let go (outside the lock)
        // rather than kept at its largest.
        if (taking.capacity() > kKeptCapacity) spent.swap(taking);
        taking.clear();
        pos = 0;
        if (queue.empty()) return false;
        taking.swap(queue);
    }
    out = std::move(taking[pos++]);
    return true;
}

void ReceiveQueue::Lane::clear(std::vector<Arrival>& a, std::vector<Arrival>& b) {
    a.swap(queue);
    b.swap(taking);
    pos = 0;
}

bool ReceiveQueue::push(std::vector<Arrival>& batch) {
    // Read outside the lock, on the receiver's thread.
    std::vector<bool> alerts(batch.size());
    for (std::size_t i = 0; i < batch.size(); ++i) {
        bool alert = false;
        batch[i].name = nameOf(batch[i].bytes, &alert);
        alerts[i] = alert;
    }
    bool wasEmpty;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wasEmpty = known_.count() == 0 && strangers_.count() == 0;
        for (std::size_t i = 0; i < batch.size(); ++i) {
            auto& a = batch[i];
            const bool known = a.name != 0 &&
                               (names_.count(a.name) != 0 || sources_.count(sourceKey(a.from, a.name)) != 0);
            if (!known && alerts[i] && strangers_.count() >= kStrangerAlertBacklog) {
                ++notKept_;
                continue;
            }
            const std::size_t c = cost(a);
            if (bytes_ + c > maxBytes_) {
                ++dropped_;
                continue;
            }
            bytes_ += c;
            (known ? known_ : strangers_).queue.push_back(std::move(a));
        }
    }
    // The datagrams' own memory is freed outside the lock too.
    batch.clear();
    return wasEmpty;
}

bool ReceiveQueue::take(Arrival& out, bool* heardBefore) {
    std::vector<Arrival> spent;
    std::lock_guard<std::mutex> lock(mutex_);
    const bool known = known_.take(out, spent);
    if (heardBefore) *heardBefore = known;
    if (!known) {
        if (!strangers_.take(out, spent)) return false;
        // A name taken while no other stranger waits is heard before the
        // next storm. Learnt only then, its later datagrams cannot overtake
        // its earlier ones.
        if (out.name != 0 && strangers_.count() == 0 && names_.size() < kMaxKnownNames) names_.insert(out.name);
    }
    bytes_ -= cost(out);
    return true;
}

void ReceiveQueue::verifiedSource(IpAddress address, std::string_view wireName) {
    const std::uint64_t name = nameOf(std::string(wireName) + "|C/");
    if (name == 0) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (sources_.size() < kMaxVerifiedSources) sources_.insert(sourceKey(address, name));
}

bool ReceiveQueue::empty() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return known_.count() == 0 && strangers_.count() == 0;
}

void ReceiveQueue::clear() {
    std::vector<Arrival> a, b, c, d;
    std::lock_guard<std::mutex> lock(mutex_);
    known_.clear(a, b);
    strangers_.clear(c, d);
    bytes_ = 0;
}

std::size_t ReceiveQueue::bytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return bytes_;
}

std::size_t ReceiveQueue::strangersWaiting() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return strangers_.count();
}

std::uint32_t ReceiveQueue::dropped() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dropped_;
}

std::uint32_t ReceiveQueue::alertsNotKept() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return notKept_;
}

}  // namespace lanyx
