#include "SecureLink.h"

#include "Crypto.h"
#include "SecureLinkParts.h"
#include "Text.h"

// Copies without keys: names listed that never announced a key, told from
// our copies by what comes unsigned, and remembered at a bounded pace.

namespace lanyx {

using namespace linkparts;

bool SecureLink::noteAllowed(IpAddress address) {
    return noteLimit_.take(address, hooks_.ticks());
}

void SecureLink::noteUnsigned(const std::string& lowerName, std::string_view bytes) {
    if (isOwn(lowerName)) return;
    if (const auto p = peers_.find(lowerName); p != peers_.end() && !p->second.signPublic.empty()) return;
    if (const auto it = listedKeyless_.find(lowerName); it != listedKeyless_.end()) {
        auto& l = it->second;
        if (!l.unsignedSeen && !l.accompanied) {
            l.unsignedSeen = true;
            l.unsignedAt = hooks_.ticks();
            l.firstHash = crypto::Hash(bytes);
        }
        return;
    }
    // Not listed yet: this datagram may be the one that lists it.
    if (hooks_.isListed && hooks_.isListed(lowerName)) return;
    unlistedName_ = lowerName;
    unlistedHash_ = crypto::Hash(bytes);
}

void SecureLink::noteCompanion(const std::string& lowerName, std::string_view payload) {
    const auto it = listedKeyless_.find(lowerName);
    if (it == listedKeyless_.end() || !it->second.unsignedSeen || it->second.accompanied ||
        hooks_.ticks() - it->second.unsignedAt > kUnsignedGraceMs)
        return;
    const auto raw = crypto::FromBase64(payload);
    if (!raw || !companionSized(raw->size())) return;
    // Our copies sign what they send right after it; the signature itself
    // is checked once a key is known, so this only tells our copies from
    // those that never sign.
    for (std::size_t at = kSeqBytes; at + crypto::kSignatureBytes < raw->size(); at += crypto::kHashBytes)
        if (raw->compare(at, crypto::kHashBytes, it->second.firstHash) == 0) it->second.accompanied = true;
}

bool SecureLink::keyless(const std::string& lowerName) const {
    if (pins_.isPlain(lowerName)) return true;
    const auto it = listedKeyless_.find(lowerName);
    if (it == listedKeyless_.end() || it->second.accompanied) return false;
    const auto now = hooks_.ticks();
    // What our copies sign came unsigned: a copy without keys, at once.
    if (it->second.unsignedSeen && now - it->second.unsignedAt > kUnsignedGraceMs) return true;
    return now - it->second.at >= kKeylessAfterMs;
}

void SecureLink::heard(std::string_view name) {
    if (pins_.plainNames().empty()) return;
    if (pins_.touchPlain(toLower(name), nowSeconds())) pinsChanged();
}

void SecureLink::noteListed(const std::string& name) {
    // While probing, copies of ours answer without their keys.
    if (!active_ || listedKeyless_.size() >= 25000) return;
    auto key = toLower(name);
    if (isOwn(key) || pins_.find(key) || pins_.isPlain(key) || pins_.former(key)) return;
    if (const auto p = peers_.find(key); p != peers_.end() && !p->second.signPublic.empty()) return;
    Listed l;
    l.at = hooks_.ticks();
    l.source = hooks_.source ? hooks_.source() : IpAddress{};
    if (unlistedName_ == key) {
        l.unsignedSeen = true;
        l.unsignedAt = l.at;
        l.firstHash = std::move(unlistedHash_);
        unlistedName_.clear();
    }
    listedKeyless_.try_emplace(std::move(key), std::move(l));
    scheduleSweep(kKeylessAfterMs + 100);
}

void SecureLink::scheduleSweep(std::uint32_t ms) {
    if (sweepQueued_) return;
    sweepQueued_ = true;
    const std::weak_ptr<int> alive = alive_;
    hooks_.callAfter(ms, [this, alive] {
        if (alive.expired()) return;
        sweepQueued_ = false;
        // A pump without timers calls back at once: never from inside a sweep.
        if (!sweeping_) sweepKeyless();
    });
}

void SecureLink::sweepKeyless() {
    sweeping_ = true;
    const auto now = hooks_.ticks();
    // One walk over the names at most every few seconds, however often asked.
    if (sweptOnce_ && now - lastSweep_ < kKeylessAfterMs / 2) {
        scheduleSweep(kKeylessAfterMs);
        sweeping_ = false;
        return;
    }
    sweptOnce_ = true;
    lastSweep_ = now;
    bool noted = false;
    // A flood of names is taken a slice at a time: the rest waits for the next walk.
    std::size_t budget = kSweepSlice;
    for (auto it = listedKeyless_.begin(); it != listedKeyless_.end() && budget > 0;) {
        if (now - it->second.at < kKeylessAfterMs) {
            ++it;
            continue;
        }
        --budget;
        // Remembered: a key announced for the name in a later run is not
        // taken silently either. New names at a limited pace: one that waits
        // for its turn counts as a copy without keys in this run meanwhile.
        const auto p = peers_.find(it->first);
        if (!pins_.find(it->first) && !pins_.former(it->first) && (p == peers_.end() || p->second.signPublic.empty()) &&
            keyless(it->first)) {
            if (!noteAllowed(it->second.source)) {
                ++it;
                continue;
            }
            noted = pins_.notePlain(it->first, nowSeconds()) || noted;
        }
        it = listedKeyless_.erase(it);
    }
    if (noted) pinsChanged();
    if (!listedKeyless_.empty()) scheduleSweep(budget == 0 ? kKeylessAfterMs / 2 : kKeylessAfterMs);
    sweeping_ = false;
}

}  // namespace lanyx
