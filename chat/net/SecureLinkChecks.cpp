#include "SecureLink.h"

#include "Cp1252.h"
#include "Crypto.h"
#include "SecureLinkParts.h"
#include "Text.h"

#include <algorithm>
#include <unordered_set>

// What the user and the files hold of keys: challenges of an address,
// the state of a user's key, fingerprints and safety numbers, the user's
// checks, and the files of known keys and of sequence numbers seen.

namespace lanyx {

using namespace linkparts;

// ---- challenges of an address ----------------------------------------------

bool SecureLink::challengeAllowed() {
    return challengeRate_.take(hooks_.ticks());
}

void SecureLink::challenge(const std::string& name, IpAddress address) {
    if (!active_ || !address || !hooks_.sendTo) return;
    const auto key = toLower(name);
    const auto now = hooks_.ticks();
    const auto pair = key + '\t' + address.toString();
    if (const auto it = challenged_.find(pair); it != challenged_.end() && now - it->second < kRechallengeMs) return;
    std::erase_if(challenges_, [&](const auto& c) { return now - c.second.at > kChallengeMs; });
    if (challenges_.size() >= 256 || !challengeAllowed()) return;
    if (challenged_.size() >= 4096) challenged_.clear();
    challenged_[pair] = now;
    // Sent to that address alone: whoever merely claims it as his source
    // never sees the nonce.
    auto nonce = crypto::RandomBytes(kNonceBytes);
    const std::string bytes = myWire_ + "|" + std::string(secure::Challenge) + cp1252::fromUtf8(name) + "|" +
                              crypto::ToBase64(nonce);
    challenges_[std::move(nonce)] = Challenge{key, address, now};
    hooks_.sendTo(address, bytes);
}

bool SecureLink::challengePending(std::string_view name) const {
    const auto key = toLower(name);
    const auto now = hooks_.ticks();
    return std::any_of(challenges_.begin(), challenges_.end(),
                       [&](const auto& c) { return c.second.name == key && now - c.second.at <= kChallengeMs; });
}

void SecureLink::onChallenge(std::string_view senderWire, std::string_view payload) {
    const auto bar = payload.find('|');
    if (bar == std::string_view::npos) return;
    const auto recipientWire = payload.substr(0, bar);
    auto rest = payload.substr(bar + 1);
    const bool relayed = rest.size() > kRelayedMark.size() &&
                         rest.substr(rest.size() - kRelayedMark.size()) == kRelayedMark;
    if (relayed) rest.remove_suffix(kRelayedMark.size());
    const auto nonce = crypto::FromBase64(rest);
    if (!nonce || nonce->size() != kNonceBytes) return;
    if (!equalsNoCase(cp1252::toUtf8(recipientWire), myName_)) {
        // Copies on one computer share its address, and only one of them
        // gets what is sent there alone: it passes the challenge on to the
        // others, never beyond this computer.
        if (!relayed && hooks_.sendLocal && challengeAllowed())
            hooks_.sendLocal(std::string(senderWire) + "|" + std::string(secure::Challenge) + std::string(payload) +
                             std::string(kRelayedMark));
        return;
    }
    if (!challengeAllowed()) return;  // each answer costs a signature
    const std::string sig = crypto::Sign(std::string(kAnswerTag) + myWire_ + '\0' + std::string(senderWire) + '\0' +
                                             *nonce,
                                         id_.signSecret);
    hooks_.send(myWire_ + "|" + std::string(secure::Answer) + std::string(senderWire) + "|" +
                crypto::ToBase64(*nonce + sig));
}

void SecureLink::onAnswer(std::string_view senderWire, std::string_view payload) {
    const auto bar = payload.find('|');
    if (bar == std::string_view::npos || !equalsNoCase(cp1252::toUtf8(payload.substr(0, bar)), myName_)) return;
    const auto raw = crypto::FromBase64(payload.substr(bar + 1));
    if (!raw || raw->size() != kNonceBytes + crypto::kSignatureBytes) return;
    const auto it = challenges_.find(raw->substr(0, kNonceBytes));
    const std::string sender = cp1252::toUtf8(senderWire);
    const auto senderKey = toLower(sender);
    if (it == challenges_.end() || it->second.name != senderKey || hooks_.ticks() - it->second.at > kChallengeMs)
        return;
    const auto* key = verifyKeyFor(senderKey);
    if (!key || isOwn(senderKey) || !verifyAllowed(*key, sender)) return;
    if (!crypto::Verify(std::string(kAnswerTag) + std::string(senderWire) + '\0' + std::string(payload.substr(0, bar)) +
                            '\0' + raw->substr(0, kNonceBytes),
                        raw->substr(kNonceBytes), *key)) {
        log("Bad signature",
            "Answer to a challenge from " + shorten(sender) + " does not match the key pinned for the name");
        return;
    }
    const auto address = it->second.address;
    challenges_.erase(it);
    if (hooks_.sourceProven) hooks_.sourceProven(address, sender);
}

KeyState SecureLink::stateOf(std::string_view name) const {
    const auto key = toLower(name);
    if (isOwn(key)) return KeyState::NoKeys;
    const auto peer = peers_.find(key);
    if (const auto* pin = pins_.find(key)) {
        if (pin->changed()) return KeyState::Changed;
        if (peer == peers_.end() || !peer->second.confirmed) return KeyState::Unconfirmed;
        return pin->checked ? KeyState::Checked : KeyState::New;
    }
    if (peer != peers_.end() && peer->second.conflict) return KeyState::Conflict;
    if (peer != peers_.end() && peer->second.formerChanged) return KeyState::Changed;
    // A key known by its hash, or one waiting to be pinned: nothing it
    // signed can be taken yet.
    if (pins_.former(key) || (peer != peers_.end() && peer->second.pinWaits)) return KeyState::Unconfirmed;
    return KeyState::NoKeys;
}

std::string SecureLink::checkedAs(std::string_view name) const {
    const auto* pin = pins_.find(name);
    return pin && !pin->checked ? pin->checkedAs : std::string();
}

std::string SecureLink::ownFingerprint() const {
    return crypto::Fingerprint(id_.signPublic);
}

std::string SecureLink::pinnedFingerprint(std::string_view name) const {
    const auto* pin = pins_.find(name);
    return pin ? crypto::Fingerprint(pin->signPublic) : std::string();
}

std::string SecureLink::announcedFingerprint(std::string_view name) const {
    if (const auto* pin = pins_.find(name); pin && pin->changed()) return crypto::Fingerprint(pin->newSign);
    const auto it = peers_.find(toLower(name));
    if (it == peers_.end()) return {};
    // The known key's session first; else the key heard in its place (kept, dropped by the user).
    const auto& heard = it->second.signPublic.empty() ? it->second.offeredSign : it->second.signPublic;
    return heard.empty() ? std::string() : crypto::Fingerprint(heard);
}

std::string SecureLink::safetyNumber(std::string_view name) const {
    const auto key = toLower(name);
    if (isOwn(key)) return {};
    const std::string* theirs = nullptr;
    if (const auto* pin = pins_.find(key)) theirs = pin->changed() ? &pin->newSign : &pin->signPublic;
    else if (const auto it = peers_.find(key); it != peers_.end() && !it->second.signPublic.empty())
        theirs = &it->second.signPublic;
    if (!theirs) return {};
    // The names as the two copies see each other on the wire.
    const std::string& mine = active_ ? myName_ : userKey_;
    return crypto::SafetyNumber(mine, id_.signPublic, name, *theirs);
}

bool SecureLink::markChecked(std::string_view name) {
    const auto key = toLower(name);
    if (isOwn(key)) return false;
    const auto now = nowSeconds();
    const auto peer = peers_.find(key);
    if (const auto* pin = pins_.find(key)) {
        const bool wasChanged = pin->changed();
        if (!pins_.markChecked(key, now)) {
            log("Key not checked", "The key of " + shorten(name) + " could not be marked: too many checked keys");
            return false;
        }
        if (wasChanged && peer != peers_.end()) {
            auto& p = peer->second;
            // The accepted key's session (its agreement and ephemeral keys)
            // takes effect now, not when it was announced.
            if (!p.offeredSign.empty() && p.offeredSign == pins_.find(key)->signPublic) {
                p.signPublic = std::exchange(p.offeredSign, {});
                p.boxPublic = std::exchange(p.offeredBox, {});
                p.caps = std::exchange(p.offeredCaps, {});
                p.ephemeral = std::exchange(p.offeredEphemeral, {});
                p.previousEphemeral.clear();
            }
            p.confirmed = p.signPublic == pins_.find(key)->signPublic;
            if (p.confirmed && !p.ephemeral.empty()) pins_.noteEphemeral(key);
        }
    } else {
        // A key announced this run under a name nobody pinned (heard from a
        // copy without keys, or not pinned by the limits): the user pins it.
        if (peer == peers_.end() || peer->second.signPublic.empty() ||
            !pins_.pinChecked(key, peer->second.signPublic, peer->second.boxPublic, listHas(peer->second.caps, "box"),
                              now))
            return false;
        if (!peer->second.ephemeral.empty()) pins_.noteEphemeral(key);
        peer->second.conflict = false;
        peer->second.formerChanged = peer->second.pinWaits = false;
        peer->second.confirmed = true;
        listedKeyless_.erase(key);
    }
    log("Key checked", "The key of " + shorten(name) + " was checked by the user: " + pinnedFingerprint(key));
    pinsChanged();
    showState(std::string(name));
    return true;
}

bool SecureLink::keepKnownKey(std::string_view name) {
    if (!pins_.keepKnown(name)) {
        // The known key made room for others: the one announced instead is
        // dropped, and the known one taken back when it returns.
        const auto p = peers_.find(toLower(name));
        if (p == peers_.end() || !p->second.formerChanged) return false;
        p->second = Peer{};
    }
    log("Key kept", "The known key of " + shorten(name) + " kept; the one announced in its place dropped");
    pinsChanged();
    showState(std::string(name));
    return true;
}

void SecureLink::forget(std::string_view name) {
    peers_.erase(toLower(name));
}

void SecureLink::forgetSessions() {
    peers_.clear();
}

void SecureLink::saveLater(bool& queued, std::uint32_t ms, void (SecureLink::*save)()) {
    // A burst of changes writes the file once.
    if (queued) return;
    queued = true;
    const std::weak_ptr<int> alive = alive_;
    hooks_.callAfter(ms, [this, alive, &queued, save] {
        if (alive.expired()) return;
        queued = false;
        (this->*save)();
    });
}

void SecureLink::pinsChanged() {
    pinsDirty_ = true;
    saveLater(pinsSaveQueued_, kPinsSaveDelayMs, &SecureLink::savePins);
}

void SecureLink::seenChanged() {
    seenDirty_ = true;
    if (!pinsFile_.empty()) saveLater(seenSaveQueued_, kSeenSaveDelayMs, &SecureLink::saveSeen);
}

void SecureLink::saveSeen() {
    if (!seenDirty_ || pinsFile_.empty()) return;
    // Only what can be checked after a restart: the windows of pinned keys
    // and names, and our own.
    SeenStore seen;
    std::unordered_set<std::string> pinnedKeys{id_.signPublic};
    for (const auto& [name, pin] : pins_.all()) pinnedKeys.insert(pin.signPublic);
    // Each as its highest number, with the bit that says so (the form the
    // file always had).
    for (const auto& [key, w] : signedSeen_)
        if (pinnedKeys.count(key)) seen.signing[key] = {w.top(), 1};
    const auto* own = liveWindow(signedSeen_, id_.signPublic);
    seen.signing[id_.signPublic] = {std::max(own ? own->top() : 0, seq_), 1};  // the highest number we used
    // By name, as the file always had them: the window of the key pinned
    // for the name, never of another key announced under it.
    for (const auto& [name, pin] : pins_.all())
        if (const auto w = privateSeen_.find(pin.boxPublic); w != privateSeen_.end() && w->second.top() > 0)
            seen.privateSenders[name] = {w->second.top(), 1};
    // Written when what the file keeps changed: windows move within a
    // number's bits far more often than their highest numbers do.
    auto text = seen.toText();
    if (text == seenSaved_) {
        seenDirty_ = false;
        return;
    }
    std::string problem;
    if (seen.save(pinsFile_.parent_path() / SeenStore::kFileName, problem)) {
        seenDirty_ = false;
        seenSaved_ = std::move(text);
    } else {
        log("Sequence numbers not saved", "The sequence numbers seen could not be saved: " + problem);
    }
}

void SecureLink::savePins() {
    if (!pinsDirty_ || pinsFile_.empty() || pinsReadOnly_) return;
    std::string problem;
    if (pins_.save(pinsFile_, problem)) pinsDirty_ = false;
    else log("Known keys not saved", "The known keys could not be saved: " + problem);
}

std::string SecureLink::WarningText(const std::string& name) {
    return "The key of " + name + " has changed. Either " + name +
           "'s program was reinstalled or its data folder lost, or somebody else is using the name " + name +
           ". Until you decide, nothing private is sent to " + name +
           ", and what the new key signs is marked \"not verified\" (leave notices, status and colour from it are "
           "ignored). Compare the safety number in " +
           name + "'s information with " + name +
           " in person or by phone: accept the new key only when both of you see the same number.";
}

}  // namespace lanyx
