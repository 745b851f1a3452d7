#include "SecureLink.h"

#include "Cp1252.h"
#include "Crypto.h"
#include "LineHeader.h"
#include "SecureLinkParts.h"
#include "Text.h"

#include <algorithm>

// Announcements: ours with the capabilities and keys, and others', which
// pin a key (at the pace of new pins), offer another in place of the pinned
// one, carry a pin over a rename, or ask us to announce again.

namespace lanyx {

using namespace linkparts;

void SecureLink::addCapability(std::string_view capability) {
    if (capability.empty() || capability.find_first_of(",;|") != std::string_view::npos || listHas(caps_, capability))
        return;
    caps_ += ',';
    caps_ += capability;
}

bool SecureLink::peerHas(std::string_view name, std::string_view capability) const {
    if (!keyHeard(stateOf(name))) return false;
    const auto it = peers_.find(toLower(name));
    const auto* pin = pins_.find(name);
    return it != peers_.end() && pin && it->second.signPublic == pin->signPublic &&
           listHas(it->second.caps, capability);
}

void SecureLink::announce() {
    if (const auto bytes = announcement(); !bytes.empty()) hooks_.send(bytes);
}

void SecureLink::askForKeys(const std::string& nameUtf8) {
    if (!active_ || previousBuild_ || !IsValidUserName(nameUtf8)) return;
    const auto now = hooks_.ticks();
    const auto key = toLower(nameUtf8);
    if (const auto it = askedAt_.find(key); it != askedAt_.end() && now - it->second < kAskEveryMs) return;
    // Junk under ever new names makes a few announcements a second at most.
    if (askedOnce_ && now - lastAskAt_ < kAskEveryMs / 10) return;
    askedOnce_ = true;
    lastAskAt_ = now;
    if (askedAt_.size() >= 256) askedAt_.clear();
    askedAt_[key] = now;
    asking_ = cp1252::fromUtf8(nameUtf8);
    announce();
    asking_.clear();
}

bool SecureLink::takesLineHeaders(std::string_view name) const {
    return !previousBuild_ && peerHas(name, lineheader::kItem);
}

std::string SecureLink::announcement() {
    if (!active_) return {};
    checkEphemeralAge();
    // The ephemeral key rides among the capabilities: the build before
    // takes the announcement as it always did.
    std::string caps = caps_;
    if (!previousBuild_) {
        caps += "," + std::string(secure::kUtf8Item);
        caps += "," + std::string(lineheader::kItem);
        caps += "," + std::string(secure::kEphemeralItem) + crypto::ToBase64(ephemeral_.publicKey);
        for (const auto& name : previousNames_)
            if (toLower(name) != myKey_) caps += "," + std::string(secure::kFormerNameItem) + name;
        if (!asking_.empty()) caps += "," + std::string(secure::kAskItem) + asking_;
    }
    const std::string prefix = myWire_ + "|" + std::string(secure::Announce) +
                               std::to_string(previousBuild_ ? 1 : secure::kVersion) + ";" + caps + ";" +
                               crypto::ToBase64(id_.signPublic) + ";" + crypto::ToBase64(id_.boxPublic) + ";";
    const std::string seq = be64(nextSeq());
    const std::string sig = crypto::Sign(std::string(kAnnounceTag) + prefix + seq, id_.signSecret);
    return prefix + crypto::ToBase64(seq + sig);
}

bool SecureLink::pinAllowed(IpAddress address) {
    return pinLimit_.take(address, hooks_.ticks());
}

void SecureLink::pinWaiting() {
    // Each waiting key once per pass, in the order they came.
    for (auto n = pinQueue_.size(); n > 0 && !pinQueue_.empty(); --n) {
        const auto key = std::move(pinQueue_.front());
        pinQueue_.pop_front();
        const auto p = peers_.find(key);
        if (p == peers_.end() || !p->second.pinWaits || p->second.signPublic.empty()) continue;
        auto& peer = p->second;
        if (pins_.find(key) || !pinAllowed(peer.from)) {
            if (pins_.find(key)) peer.pinWaits = false;
            else pinQueue_.push_back(key);
            if (pinLimit_.exhausted(hooks_.ticks())) break;
            continue;
        }
        peer.pinWaits = false;
        if (!pins_.pinNew(key, peer.signPublic, peer.boxPublic, listHas(peer.caps, "box"), nowSeconds())) continue;
        pinsChanged();
        peer.confirmed = true;
        showState(key);
    }
    schedulePinRetry();
}

void SecureLink::schedulePinRetry() {
    if (pinQueue_.empty() || pinRetryQueued_) return;
    pinRetryQueued_ = true;
    const std::weak_ptr<int> alive = alive_;
    hooks_.callAfter(kPinAllRefillMs, [this, alive] {
        if (alive.expired()) return;
        pinRetryQueued_ = false;
        pinWaiting();
    });
}

void SecureLink::onAnnounce(std::string_view sender, std::string_view bytes, std::string_view payload) {
    std::vector<std::string_view> f;
    for (std::size_t start = 0;;) {
        const auto semi = payload.find(';', start);
        f.push_back(payload.substr(start, semi == std::string_view::npos ? std::string_view::npos : semi - start));
        if (semi == std::string_view::npos) break;
        start = semi + 1;
    }
    if (f.size() != 5 || f[0].empty() || f[0].size() > 4 ||
        !std::all_of(f[0].begin(), f[0].end(), [](char c) { return c >= '0' && c <= '9'; }))
        return;
    if (sender.empty() || sender.front() == '_') return;  // probing copies are never pinned
    // A name no user can have (too long, or characters user names never
    // hold) is nobody's: it would only fill the file of known keys.
    if (!IsValidUserName(sender)) {
        log("Keys not pinned", "Announcement under a name no user can have ignored: " + shorten(sender));
        return;
    }
    const auto signPk = crypto::FromBase64(f[2]);
    const auto boxPk = crypto::FromBase64(f[3]);
    const auto tail = crypto::FromBase64(f[4]);
    if (!signPk || signPk->size() != crypto::kSignPublicBytes || !boxPk || boxPk->size() != crypto::kBoxPublicBytes ||
        !tail || tail->size() != kSeqBytes + crypto::kSignatureBytes)
        return;
    const std::string name(sender);
    const auto key = toLower(sender);
    if (isOwn(key)) {
        log("Keys not pinned", "Announcement under our own name from another key ignored: " + shorten(sender));
        return;
    }
    // New keys only for users the roster lists: a stream of names nobody
    // sees listed would otherwise fill the file of known keys. A pinned
    // name is judged at once: a copy announces its keys before the
    // datagram that lists it, and a changed key must not pass unseen.
    // Judged before the signature, which costs far more.
    // The name before a rename, where it names a user's pin under this very
    // key: judged like a pinned name (the rename announces before the join).
    std::string former;
    const PinStore::Pin* formerPin = nullptr;
    for (const auto before : listValues(f[1], secure::kFormerNameItem, kMaxPreviousNames)) {
        const auto* pin = IsValidUserName(before) ? pins_.find(before) : nullptr;
        if (!pin || pin->signPublic != *signPk) continue;
        former = std::string(before);
        formerPin = pin;
        break;
    }
    const bool unlisted = hooks_.isListed && !hooks_.isListed(name) && !pins_.find(key) && !pins_.former(key);
    if (unlisted && !formerPin) {
        log("Keys not pinned", "Announcement from " + shorten(sender) + ", who is not listed, ignored");
        return;
    }
    // Checked on the budget of the sender's address, unless the key was
    // verified from there before: junk under made-up names claiming a
    // known (public) key costs its sender, never that key's owner.
    if (refusedUnchecked(name, *signPk, fromBe64(*tail), "announcement") || !verifyAllowed(*signPk, name)) return;
    const auto signedPart = bytes.substr(0, bytes.size() - f[4].size());
    if (!crypto::Verify(std::string(kAnnounceTag) + std::string(signedPart) + tail->substr(0, kSeqBytes),
                        tail->substr(kSeqBytes), *signPk)) {
        log("Bad signature", "Announcement from " + shorten(sender) + " with a bad signature");
        return;
    }
    if (!fresh(name, fromBe64(*tail))) return;
    if (!signedWindow(*signPk).accept(fromBe64(*tail))) {
        log("Replay refused", "Replayed announcement from " + shorten(sender) + " refused");
        return;
    }
    const bool renamed = formerPin && carryOver(former, name, *signPk);
    const auto* pin = pins_.find(key);
    const auto* gone = pin ? nullptr : pins_.former(key);
    const IpAddress source = hooks_.source ? hooks_.source() : IpAddress{};
    auto& peer = peers_[key];
    const bool first = peer.signPublic.empty() && peer.offeredSign.empty();
    std::string eph;
    if (const auto e = crypto::FromBase64(listValue(f[1], secure::kEphemeralItem));
        e && e->size() == crypto::kBoxPublicBytes)
        eph = *e;
    if (!pin || pin->signPublic == *signPk) {
        // What was sealed to the ephemeral key before the change is still on its way for a while.
        if (peer.signPublic == *signPk && !peer.ephemeral.empty() && peer.ephemeral != eph) {
            peer.previousEphemeral = peer.ephemeral;
            peer.ephemeralAt = hooks_.ticks();
        } else if (peer.signPublic != *signPk) {
            peer.previousEphemeral.clear();
        }
        peer.signPublic = *signPk;
        peer.boxPublic = *boxPk;
        peer.caps = std::string(f[1]);
        peer.ephemeral = eph;
    } else {
        // Another key under a pinned name: nothing of the pinned key's
        // session changes before the user accepted this one.
        peer.offeredSign = *signPk;
        peer.offeredBox = *boxPk;
        peer.offeredCaps = std::string(f[1]);
        peer.offeredEphemeral = eph;
    }
    const bool opens = listHas(f[1], "box");
    if (pin && pin->signPublic == *signPk) {
        // A new agreement key or capabilities under the pinned signing key: signed by it.
        if (pins_.updateBox(key, *boxPk, opens)) pinsChanged();
        if (!eph.empty() && pins_.noteEphemeral(key)) pinsChanged();
        proven(*signPk);
        confirm(name);
        verifiedFrom(name);
    } else if (pin) {
        if (pins_.setPending(key, *signPk, *boxPk, opens)) {
            pinsChanged();
            log("Key changed", "The key of " + shorten(sender) + " changed: pinned " +
                                   crypto::Fingerprint(pin->signPublic) + ", announced " +
                                   crypto::Fingerprint(*signPk) + "; nothing private goes to " + shorten(sender) +
                                   " until the user decides");
            showState(name);
            if (hooks_.keyChanged) hooks_.keyChanged(name, WarningText(name));
        }
    } else if (gone && gone->hash == PinStore::KeyHash(*signPk)) {
        // The key that made room under the name is back: pinned as it was.
        if (pins_.pinNew(key, *signPk, *boxPk, opens, nowSeconds())) {
            listedKeyless_.erase(key);
            pinsChanged();
            peer.confirmed = true;
            peer.formerChanged = peer.pinWaits = false;
            log("Key pinned again", "The key of " + shorten(sender) + " that made room for others is back");
            showState(name);
            verifiedFrom(name);
        }
    } else if (gone) {
        // Another key than the one that made room: as a changed key.
        if (!std::exchange(peer.formerChanged, true)) {
            listedKeyless_.erase(key);
            log("Key changed", "The key of " + shorten(sender) + " changed: the known one made room for others, " +
                                   "announced " + crypto::Fingerprint(*signPk) + "; nothing private goes to " +
                                   shorten(sender) + " until the user decides");
            showState(name);
            if (hooks_.keyChanged) hooks_.keyChanged(name, WarningText(name));
        }
    } else if (peer.conflict) {
        // Said already.
    } else if (keyless(key)) {
        // Heard from a copy without keys, which can never announce one: the
        // first key announced for its name is not taken; the user decides.
        peer.conflict = true;
        // Remembered at the pace of new names: a flood of conflicts must not
        // push out the names remembered before.
        const auto listed = listedKeyless_.find(key);
        const auto from = listed != listedKeyless_.end() ? listed->second.source : source;
        if (!pins_.isPlain(key) && noteAllowed(from) && pins_.notePlain(key, nowSeconds())) pinsChanged();
        listedKeyless_.erase(key);
        log("Key not pinned", "A key (" + crypto::Fingerprint(*signPk) + ") was announced for " + shorten(sender) +
                                  ", a name heard from a copy without keys: not pinned until the user checks it");
        showState(name);
    } else if (!pinAllowed(source)) {
        listedKeyless_.erase(key);
        peer.from = source;
        if (!std::exchange(peer.pinWaits, true)) {
            // Pinned in its turn (pinWaiting); until then nothing private
            // goes to the name in the clear.
            if (pinQueue_.size() < kMaxHeld) pinQueue_.push_back(key);
            log("Keys not pinned yet", "Key of " + shorten(sender) + " waits to be pinned: too many new keys at once");
            showState(name);
            schedulePinRetry();
        }
    } else if (pins_.pinNew(key, *signPk, *boxPk, opens, nowSeconds())) {
        listedKeyless_.erase(key);
        if (!eph.empty()) pins_.noteEphemeral(key);
        proven(*signPk);
        pinsChanged();
        peer.confirmed = true;
        peer.pinWaits = false;
        showState(name);
        verifiedFrom(name);
    } else {
        log("Keys not pinned", "Key of " + shorten(sender) + " not pinned: the list of known keys is full");
    }
    if (renamed) tellRename(*signPk);
    if (first && firstAnnounce_) firstAnnounce_(name);
    // Asked for our keys (the asker missed them): announced again, at a pace.
    for (const auto asked : listValues(f[1], secure::kAskItem, 4)) {
        if (!active_ || !equalsNoCase(cp1252::toUtf8(asked), myName_)) continue;
        announceAtPace();
        break;
    }
}

bool SecureLink::carryOver(const std::string& former, const std::string& name, const std::string& signKey) {
    const auto from = toLower(former);
    const auto to = toLower(name);
    const auto* old = pins_.find(from);
    if (from == to || isOwn(from) || !old || old->signPublic != signKey) return false;
    // A key announced in its place waits for the user: nothing moves
    // before the user decided which key is the user's (for either name).
    if (old->changed()) return false;
    // A name heard from a copy without keys stays that copy's; one pinned
    // to another key stays that key's (the key-change warning tells).
    const auto* taken = pins_.find(to);
    if (taken && taken->signPublic == signKey && taken->changed()) return false;
    if ((taken && taken->signPublic != signKey) || (!taken && (pins_.isPlain(to) || keyless(to)))) {
        log("Rename not carried over", shorten(former) + " announced itself as " + shorten(name) + ", a name " +
                                           (taken ? "pinned to another key" : "of a copy without keys"));
        return false;
    }
    if (taken && (taken->checked || !old->checked)) {
        // Both names were pinned to this key: the new one stays.
        pins_.erase(from);
    } else if (taken) {
        // ... and the check made under the old name goes with it (as one
        // made under another name).
        pins_.erase(to);
        if (!pins_.rename(from, to)) return false;
    } else if (!pins_.rename(from, to)) {
        return false;
    }
    peers_.erase(from);
    listedKeyless_.erase(to);
    pinsChanged();
    log("Renamed", shorten(former) + " is now " + shorten(name) + " (the same key): the known key moved along");
    // The roster, lists and history follow in tellRename, at a bounded pace.
    if (renames_.size() >= 4096 && !renames_.count(signKey))
        std::erase_if(renames_, [](const auto& r) { return !r.second.queued; });
    auto& r = renames_[signKey];
    if (r.from.empty()) r.from = former;
    r.to = name;
    return true;
}

void SecureLink::tellRename(const std::string& signKey) {
    const auto it = renames_.find(signKey);
    if (it == renames_.end() || it->second.from.empty()) return;
    auto& r = it->second;
    const auto now = hooks_.ticks();
    if (r.told && now - r.at < kRenameEveryMs) {
        // Every rename moves conversations, groups and history: a key that
        // renames itself again and again is told at this pace, the renames
        // in between as one.
        if (std::exchange(r.queued, true)) return;
        const std::weak_ptr<int> alive = alive_;
        hooks_.callAfter(r.at + kRenameEveryMs - now, [this, alive, signKey] {
            if (alive.expired()) return;
            if (const auto w = renames_.find(signKey); w != renames_.end()) {
                w->second.queued = false;
                w->second.told = false;
                tellRename(signKey);
            }
        });
        return;
    }
    r.told = true;
    r.at = now;
    const auto from = std::exchange(r.from, {});
    const auto to = std::exchange(r.to, {});
    if (toLower(from) != toLower(to) && hooks_.renamed) hooks_.renamed(from, to);
}

void SecureLink::announceAtPace() {
    const auto now = hooks_.ticks();
    if (askAnswered_ && now - askAnsweredAt_ < kAskEveryMs) return;
    askAnswered_ = true;
    askAnsweredAt_ = now;
    announce();
}

}  // namespace lanyx
