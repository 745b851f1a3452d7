#include "SenderLimit.h"

#include "Text.h"

namespace lanyx::history {

namespace {
constexpr std::int64_t kSecondMs = 1000;
// A flood that goes on is told once a minute.
constexpr std::int64_t kLongestCountMs = 60'000;
// How often the counts are looked over, at most.
constexpr std::int64_t kSweepMs = 250;

// A new second when this one is over (or the clock went back).
void roll(std::int64_t& windowMs, std::size_t& inWindow, std::int64_t nowMs) {
    if (nowMs < windowMs || nowMs - windowMs >= kSecondMs) {
        windowMs = nowMs;
        inWindow = 0;
    }
}
}  // namespace

bool SenderLimit::takeRow(std::int64_t nowMs) {
    roll(windowMs_, inWindow_, nowMs);
    if (inWindow_ >= limits_.totalPerSecond) return false;
    ++inWindow_;
    return true;
}

void SenderLimit::refuse(Sender& s, std::string_view name, std::size_t bytes, std::int64_t nowMs) {
    if (s.count.lines == 0) {
        s.firstMs = nowMs;
        ++counting_;
    }
    ++s.count.lines;
    s.count.bytes += bytes;
    s.count.lastMs = nowMs;
    if (&s != &others_) s.count.name = std::string(name);
}

bool SenderLimit::admit(std::string_view name, std::size_t bytes, std::int64_t nowMs) {
    const auto key = toLower(name);
    auto it = senders_.find(key);
    if (it == senders_.end() && senders_.size() >= limits_.maxSenders) {
        // Those of the table that are idle go first.
        std::erase_if(senders_, [&](const auto& entry) {
            const auto& s = entry.second;
            return s.count.lines == 0 && (nowMs < s.windowMs || nowMs - s.windowMs >= kSecondMs);
        });
    }
    if (it == senders_.end() && senders_.size() < limits_.maxSenders)
        it = senders_.emplace(key, Sender{{std::string(name)}, nowMs, 0, 0}).first;
    if (it == senders_.end()) {
        // A sender beyond the table: only the total bounds it.
        if (takeRow(nowMs)) return true;
        refuse(others_, name, bytes, nowMs);
        return false;
    }
    auto& s = it->second;
    roll(s.windowMs, s.inWindow, nowMs);
    if (s.inWindow >= limits_.perSecond || !takeRow(nowMs)) {
        refuse(s, name, bytes, nowMs);
        return false;
    }
    ++s.inWindow;
    return true;
}

bool SenderLimit::isDue(const Sender& s, std::int64_t nowMs, bool all) const {
    if (s.count.lines == 0) return false;
    return all || nowMs < s.count.lastMs || nowMs - s.count.lastMs >= kSecondMs || nowMs - s.firstMs >= kLongestCountMs;
}

std::vector<SenderLimit::Count> SenderLimit::due(std::int64_t nowMs, bool all) {
    std::vector<Count> out;
    if (counting_ == 0 || (!all && nowMs >= nextSweepMs_ - kSweepMs && nowMs < nextSweepMs_)) return out;
    nextSweepMs_ = nowMs + kSweepMs;
    auto take = [&](Sender& s) {
        --counting_;
        s.count = Count{std::move(s.count.name)};
        s.firstMs = 0;
    };
    for (auto it = senders_.begin(); it != senders_.end();) {
        auto& s = it->second;
        if (isDue(s, nowMs, all)) {
            if (takeRow(nowMs)) {
                out.push_back(s.count);
            } else {
                // The rows of this second are used up: told with the others.
                if (others_.count.lines == 0) {
                    others_.firstMs = nowMs;
                    ++counting_;
                }
                others_.count.lines += s.count.lines;
                others_.count.bytes += s.count.bytes;
                others_.count.lastMs = std::max(others_.count.lastMs, s.count.lastMs);
            }
            take(s);
        }
        const bool idle = s.count.lines == 0 && (nowMs < s.windowMs || nowMs - s.windowMs >= kSecondMs);
        it = idle ? senders_.erase(it) : std::next(it);
    }
    if (isDue(others_, nowMs, all)) {
        out.push_back(others_.count);
        out.back().name.clear();
        take(others_);
    }
    return out;
}

}  // namespace lanyx::history
