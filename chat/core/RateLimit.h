#pragma once
// Budgets that come back at a pace, for what anybody on the segment can ask
// of a copy (checks, answers, new names): a burst at once, then one every
// so often. Time is the caller's millisecond ticks; they may wrap, only
// differences count.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_map>

namespace lanyx {

class TokenBucket {
public:
    // Full at the first use: `burst` tokens, then one more per `refillMs`.
    TokenBucket(std::uint32_t burst, std::uint32_t refillMs) : burst_(burst), refillMs_(refillMs) {}
    // Spends a token; false when none is left at `now`.
    bool take(std::uint32_t now) {
        if (left(now) == 0) return false;
        --tokens_;
        return true;
    }
    std::uint32_t left(std::uint32_t now) {
        refill(now);
        return tokens_;
    }
    bool full(std::uint32_t now) const { return !started_ || tokens_ + (now - at_) / refillMs_ >= burst_; }

private:
    void refill(std::uint32_t now) {
        if (!started_) {
            started_ = true;
            tokens_ = burst_;
            at_ = now;
            return;
        }
        const auto gained = (now - at_) / refillMs_;
        if (tokens_ + gained >= burst_) {
            tokens_ = burst_;
            at_ = now;
        } else if (gained > 0) {
            tokens_ += gained;
            at_ += gained * refillMs_;
        }
    }
    std::uint32_t burst_, refillMs_;
    std::uint32_t tokens_ = 0, at_ = 0;
    bool started_ = false;
};

// A bucket whose tokens come back at a pace of so many a second, kept in
// thousandths of a token: a pace of thousands a second is no whole number
// of milliseconds per token. A take may leave a reserve: it spends only
// while more than that many tokens are left (what the reserve is kept for
// takes without one).
class PaceBucket {
public:
    // Full at the first use: `burst` tokens, then `perSecond` more a second.
    PaceBucket(std::uint32_t burst, std::uint32_t perSecond) : burst_(burst), perSecond_(perSecond) {}
    // Spends a token, leaving `reserve` whole ones; false (nothing spent) when
    // there are not that many left at `now`.
    bool take(std::uint32_t now, std::uint32_t reserve = 0) {
        refill(now);
        if (milli_ < 1000 + std::uint64_t{reserve} * 1000) return false;
        milli_ -= 1000;
        return true;
    }

private:
    void refill(std::uint32_t now) {
        const std::uint64_t full = std::uint64_t{burst_} * 1000;
        if (!started_) {
            started_ = true;
            milli_ = full;
        } else {
            milli_ = std::min(full, milli_ + std::uint64_t{now - at_} * perSecond_);
        }
        at_ = now;
    }
    std::uint32_t burst_, perSecond_;
    std::uint64_t milli_ = 0;
    std::uint32_t at_ = 0;
    bool started_ = false;
};

// A budget per key (a sender's address, a signing key) under one for all of
// them together: many keys are as easily made up as one. At most `maxKeys`
// keys are kept; past that the full ones go, and when none is full all
// start afresh.
template <typename Key, typename Hash = std::hash<Key>> class KeyedLimiter {
public:
    struct Pace {
        std::uint32_t burst, refillMs;
    };
    KeyedLimiter(Pace each, Pace all, std::size_t maxKeys = 4096)
        : each_(each), all_(all.burst, all.refillMs), maxKeys_(maxKeys) {}
    // Spends one of the key's and one of all; false when either is out.
    bool take(const Key& key, std::uint32_t now) {
        if (keys_.size() >= maxKeys_ && !keys_.count(key)) {
            std::erase_if(keys_, [&](auto& k) { return k.second.full(now); });
            if (keys_.size() >= maxKeys_) keys_.clear();
        }
        auto& own = keys_.try_emplace(key, each_.burst, each_.refillMs).first->second;
        if (own.left(now) == 0 || all_.left(now) == 0) return false;
        own.take(now);
        all_.take(now);
        return true;
    }
    // Whether all together are out at `now`.
    bool exhausted(std::uint32_t now) { return all_.left(now) == 0; }
    std::size_t keys() const { return keys_.size(); }

private:
    Pace each_;
    TokenBucket all_;
    std::size_t maxKeys_;
    std::unordered_map<Key, TokenBucket, Hash> keys_;
};

}  // namespace lanyx
