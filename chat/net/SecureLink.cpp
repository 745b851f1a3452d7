#include "SecureLink.h"

#include "Cp1252.h"
#include "Crypto.h"
#include "SecureLinkParts.h"
#include "Text.h"

#include <algorithm>
#include <unordered_set>

// The link's core: sequence numbers, what is signed as it is sent, and what
// comes in judged against the pinned keys (companions, freshness, replay
// windows, the budget of checks). Announcements, sealed messages, keyless
// senders and the user's checks are in the SecureLink*.cpp beside it.

namespace lanyx {

using namespace linkparts;

// ---- replay window ---------------------------------------------------------

bool ReplayWindow::seen(std::uint64_t seq) const {
    return seq > floor() && std::binary_search(recent_.begin(), recent_.end(), seq);
}

bool ReplayWindow::accept(std::uint64_t seq) {
    if (seq <= floor()) return false;
    const auto at = std::lower_bound(recent_.begin(), recent_.end(), seq);
    if (at != recent_.end() && *at == seq) return false;
    recent_.insert(at, seq);
    if (seq > top_) {
        top_ = seq;
        recent_.erase(recent_.begin(), std::upper_bound(recent_.begin(), recent_.end(), floor()));
    }
    if (recent_.size() > kMaxRemembered) {
        // A sender this busy: the oldest numbers give way, and nothing at or
        // below them is taken from now on.
        floor_ = recent_.front();
        recent_.erase(recent_.begin());
    }
    return true;
}

// ---- the link --------------------------------------------------------------

SecureLink::SecureLink(Identity identity, PinStore pins, std::filesystem::path pinsFile, Hooks hooks, LinkBuild build)
    : id_(std::move(identity)),
      pins_(std::move(pins)),
      pinsFile_(std::move(pinsFile)),
      hooks_(std::move(hooks)),
      previousBuild_(build == LinkBuild::Before) {
    // Never written anywhere: what was sealed to it is lost with it.
    auto keys = crypto::NewAgreementKeys();
    ephemeral_ = {std::move(keys.publicKey), std::move(keys.secretKey)};
    ephemeralAt_ = hooks_.ticks ? hooks_.ticks() : 0;
    if (hooks_.keepName) pins_.setKeep(hooks_.keepName);
    if (pinsFile_.empty()) return;
    SeenStore seen;
    std::string problem;
    if (!seen.load(pinsFile_.parent_path() / SeenStore::kFileName, problem)) {
        log("Sequence numbers not read", "The sequence numbers seen could not be read (" + problem +
                                             "): replays from before this start are not caught");
        return;
    }
    if (!problem.empty()) log("Sequence numbers not read", "The sequence numbers seen: " + problem);
    // Only the highest number of each survives a restart: nothing at or
    // below it is taken again. A number further ahead of our clock than
    // anything fresh was taken while our clock was ahead (or by an earlier
    // build, unchecked): such a window starts again.
    for (const auto& [key, w] : seen.signing)
        if (!aheadOfClock(w.top)) signedSeen_[key] = ReplayWindow(w.top);
    // Kept by name in the file: the window of the key pinned for it.
    for (const auto& [name, w] : seen.privateSenders)
        if (const auto* pin = pins_.find(name); pin && !aheadOfClock(w.top))
            privateSeen_[pin->boxPublic] = ReplayWindow(w.top);
    // Our own numbers go on from where they were, even if the clock went
    // back a little; from a clock that had been far ahead, they start from
    // the clock again (see nextSeq).
    if (const auto own = seen.signing.find(id_.signPublic); own != seen.signing.end()) {
        if (aheadOfClock(own->second.top)) sayClockWasAhead(own->second.top);
        else seq_ = own->second.top;
    }
}

bool SecureLink::aheadOfClock(std::uint64_t seq) {
    if (!hooks_.wallMicros) return false;
    if (clockRead_ != 0 && seq <= clockRead_ + kMaxSkewMicros) return false;
    clockRead_ = hooks_.wallMicros();
    return seq > clockRead_ + kMaxSkewMicros;
}

void SecureLink::sayClockWasAhead(std::uint64_t top) {
    if (std::exchange(clockAheadSaid_, true)) return;
    const auto now = hooks_.wallMicros();
    log("Clock was ahead", "This computer's clock had been " + std::to_string((top - now) / 60000000) +
                               " minutes ahead: what this copy signs is numbered from the clock again");
}

SecureLink::~SecureLink() {
    savePins();
    saveSeen();
    crypto::Wipe(id_.signSecret);
    crypto::Wipe(id_.boxSecret);
    crypto::Wipe(ephemeral_.secretKey);
    crypto::Wipe(previousEphemeral_.secretKey);
    for (auto& [seq, o] : outgoing_) {
        crypto::Wipe(o.receiptKey);
        crypto::Wipe(o.plain);
    }
    forgetKeys();
}

void SecureLink::setMyName(const std::string& name) {
    myName_ = name;
    myWire_ = cp1252::fromUtf8(name);
    myKey_ = toLower(name);
    active_ = !name.empty() && name.front() != '_';
    dropOwnPins();
}

void SecureLink::setPreviousNames(std::vector<std::string> names) {
    std::erase_if(names, [](const std::string& n) { return !IsValidUserName(n); });
    if (names.size() > kMaxPreviousNames) names.resize(kMaxPreviousNames);
    previousNames_ = std::move(names);
}

void SecureLink::setUserName(const std::string& name) {
    userKey_ = toLower(name);
    dropOwnPins();
}

void SecureLink::dropOwnPins() {
    // A key pinned for our own name (an earlier build took one announced
    // under a case variant of it) would verify a stranger under it.
    for (const auto* key : {&myKey_, &userKey_}) {
        if (key->empty()) continue;
        if (pins_.erase(*key)) {
            log("Key dropped", "A key pinned for the own name " + shorten(*key) + " was dropped");
            pinsChanged();
        }
        if (pins_.forgetPlain(*key)) pinsChanged();
    }
}

void SecureLink::log(std::string_view kind, const std::string& line) {
    if (hooks_.log) hooks_.log(kind, line);
}

std::uint64_t SecureLink::nextSeq() {
    // The clock dates what is signed (others judge freshness on it); where
    // it does not move on, or went back a little, the number counts on
    // from the last one, so that each is used once. A clock that was far
    // ahead and is set right starts the numbers from it again: nothing
    // numbered that far ahead was fresh for a copy with a right clock, so
    // no window there holds such a number, and to a copy whose clock was
    // ahead too it is not fresh either.
    const auto now = hooks_.wallMicros ? hooks_.wallMicros() : 0;
    clockRead_ = now;
    if (hooks_.wallMicros && seq_ > now + kMaxSkewMicros) {
        sayClockWasAhead(seq_);
        seq_ = 0;
    }
    seq_ = std::max(seq_ + 1, now);
    seenChanged();
    return seq_;
}

std::string SecureLink::companionFor(const std::vector<std::string_view>& wireBytes) {
    std::string head = be64(nextSeq());
    for (const auto b : wireBytes) head += crypto::Hash(b);
    const std::string sig = crypto::Sign(std::string(kCompanionTag) + head, id_.signSecret);
    return myWire_ + "|" + std::string(secure::Companion) + crypto::ToBase64(head + sig);
}

namespace {

// Datagrams whose forgery hurts: leave notice, status, colour, alerts,
// chat lines and message boxes. A private one only when `me` is its recipient (receiving) or
// always (sending, me empty).
bool signable(const Split& d, std::string_view meUtf8) {
    const char c = lowerAscii(d.command[0]);
    if (d.command[1] != '/') return false;
    switch (c) {
    case 'c':
    case 's':
    case 'l':
    case 'b':
    case 'u': return true;
    case 'm': return !d.payload.empty() && (d.payload.front() == kAlertByte || d.payload.front() == kChatByte);
    case 'p': {
        if (meUtf8.empty()) return true;
        const auto bar = d.payload.rfind('|');
        if (bar == std::string_view::npos) return false;
        return equalsNoCase(cp1252::toUtf8(d.payload.substr(bar + 1)), meUtf8);
    }
    default: return false;
    }
}

}  // namespace

void SecureLink::send(std::string_view wireBytes) {
    const auto d = split(wireBytes);
    if (!active_ || !d || !signable(*d, {})) {
        hooks_.send(wireBytes);
        return;
    }
    const auto companion = companionFor({wireBytes});
    // Our leave notice ends our listing elsewhere: a datagram after it would
    // list us again at copies without keys.
    if (lowerAscii(d->command[0]) == 'l') {
        hooks_.send(companion);
        hooks_.send(wireBytes);
    } else {
        hooks_.send(wireBytes);
        hooks_.send(companion);
    }
}

void SecureLink::sendTogether(const std::vector<std::string>& wireBytes) {
    std::vector<std::string_view> signedOnes;
    for (const auto& b : wireBytes) {
        const auto d = split(b);
        if (active_ && d && signable(*d, {}) && lowerAscii(d->command[0]) != 'l') signedOnes.push_back(b);
    }
    for (const auto& b : wireBytes) hooks_.send(b);
    for (std::size_t at = 0; at < signedOnes.size(); at += secure::kMaxSignedTogether) {
        const auto n = std::min(secure::kMaxSignedTogether, signedOnes.size() - at);
        hooks_.send(companionFor({signedOnes.begin() + static_cast<std::ptrdiff_t>(at),
                                  signedOnes.begin() + static_cast<std::ptrdiff_t>(at + n)}));
    }
}

const std::string* SecureLink::verifyKeyFor(const std::string& senderKey) const {
    // Our own name is pinned to our own key: our echoes carry its signature,
    // a stranger speaking under our name does not.
    if (isOwn(senderKey)) return active_ ? &id_.signPublic : nullptr;
    const auto* pin = pins_.find(senderKey);
    return pin ? &pin->signPublic : nullptr;
}

bool SecureLink::incoming(std::string_view wireBytes, Trust& trust) {
    trust = Trust::Plain;
    const auto d = split(wireBytes);
    if (!d || d->command[1] != '/') return false;
    const bool own = d->sender == myWire_;
    // Keys are learnt while probing too: the answers to the probe carry them.
    if (lowerAscii(d->command[0]) == 'k') {
        if (!own) onAnnounce(cp1252::toUtf8(d->sender), wireBytes, d->payload);
        return false;
    }
    if (!active_) return false;
    unlistedName_.clear();
    switch (lowerAscii(d->command[0])) {
    case 'g': onCompanion(cp1252::toUtf8(d->sender), d->payload); return false;
    case 'q':
        // Our own too: sent to an address this computer shares with other copies.
        onChallenge(d->sender, d->payload);
        return false;
    case 'a':
        if (!own) onAnswer(d->sender, d->payload);
        return false;
    case 'e':
        if (!own) onEncrypted(d->sender, d->payload);
        return false;
    case 'r':
        if (!own) onReceipt(d->sender, d->payload);
        return false;
    default: break;
    }
    if (!signable(*d, myName_)) return false;
    const auto senderKey = toLower(cp1252::toUtf8(d->sender));
    if (!verifyKeyFor(senderKey)) {
        // A key made room under the name: it has one, which cannot be
        // checked until it announces itself again.
        if (pins_.former(senderKey)) trust = Trust::NotVerified;
        else if (!own) noteUnsigned(senderKey, wireBytes);
        return false;
    }
    auto hash = crypto::Hash(wireBytes);
    if (const auto it = early_.find(hash); it != early_.end() && it->second.senderKey == senderKey) {
        // Only a companion heard just before: one from long ago would sign
        // a datagram lost then and played back now.
        const bool recent = hooks_.ticks() - it->second.at <= kEarlyKeepMs;
        early_.erase(it);
        if (recent) {
            trust = Trust::Verified;
            return false;
        }
    }
    const auto serial = ++heldSerial_;
    held_.push_back(Held{std::string(wireBytes), std::move(hash), senderKey, serial});
    if (held_.size() > kMaxHeld) release(held_.front().serial, Trust::NotVerified);
    const std::weak_ptr<int> alive = alive_;
    hooks_.callAfter(kHoldMs, [this, alive, serial] {
        if (!alive.expired()) release(serial, Trust::NotVerified);
    });
    return true;
}

void SecureLink::release(std::uint64_t serial, Trust trust) {
    const auto it = std::find_if(held_.begin(), held_.end(), [&](const Held& h) { return h.serial == serial; });
    if (it == held_.end()) return;
    const std::string bytes = std::move(it->bytes);
    held_.erase(it);
    const auto before = std::exchange(releasing_, serial);
    hooks_.process(bytes, trust);
    releasing_ = before;
}

void SecureLink::dropHeldBeforeLeave(const std::string& senderUtf8) {
    const auto key = toLower(senderUtf8);
    // Held ones came in the order of their serials; one not held came last.
    const std::uint64_t bound = releasing_ != 0 ? releasing_ : heldSerial_ + 1;
    std::erase_if(held_, [&](const Held& h) { return h.senderKey == key && h.serial < bound; });
}

void SecureLink::onCompanion(std::string_view sender, std::string_view payload) {
    const auto senderKey = toLower(sender);
    const auto* key = verifyKeyFor(senderKey);
    if (!key) return noteCompanion(senderKey, payload);  // nothing pinned to check it with
    const auto raw = crypto::FromBase64(payload);
    if (!raw || !companionSized(raw->size())) {
        log("Bad signature", "Malformed signature datagram from " + shorten(sender));
        return;
    }
    const std::string_view head = std::string_view(*raw).substr(0, raw->size() - crypto::kSignatureBytes);
    if (refusedUnchecked(std::string(sender), *key, fromBe64(head), "signed datagram") ||
        !verifyAllowed(*key, std::string(sender)))
        return;
    if (!crypto::Verify(std::string(kCompanionTag) + std::string(head), raw->substr(head.size()), *key)) {
        log("Bad signature", "Signature from " + shorten(sender) + " does not match the key pinned for the name");
        return;
    }
    const auto seq = fromBe64(head);
    // Signed too long ago (or ahead): what it covers waits out its hold and
    // counts as not verified.
    if (!fresh(std::string(sender), seq)) return;
    if (!signedWindow(*key).accept(seq)) {
        log("Replay refused", "Replayed signed datagram from " + shorten(sender) + " refused");
        return;
    }
    proven(*key);
    if (!isOwn(senderKey)) {
        confirm(std::string(sender));
        verifiedFrom(std::string(sender));
    }
    const auto now = hooks_.ticks();
    for (std::size_t at = kSeqBytes; at < head.size(); at += crypto::kHashBytes) {
        std::string hash(head.substr(at, crypto::kHashBytes));
        const auto held = std::find_if(held_.begin(), held_.end(),
                                       [&](const Held& h) { return h.hash == hash && h.senderKey == senderKey; });
        if (held != held_.end()) {
            release(held->serial, Trust::Verified);
            continue;
        }
        if (early_.size() >= kMaxEarlySignatures) {
            std::erase_if(early_, [&](const auto& e) { return now - e.second.at > kEarlyKeepMs; });
            if (early_.size() >= kMaxEarlySignatures) early_.clear();
        }
        early_[std::move(hash)] = Early{senderKey, now};
    }
}

bool SecureLink::fresh(const std::string& senderUtf8, std::uint64_t seq) {
    if (!hooks_.wallMicros) return true;
    const auto now = hooks_.wallMicros();
    clockRead_ = now;
    const auto off = seq > now ? seq - now : now - seq;
    if (off <= kMaxSkewMicros) return true;
    // Once per sender: a wrong clock signs everything wrong.
    if (skewLogged_.size() < 4096 && skewLogged_.insert(toLower(senderUtf8)).second) {
        const auto minutes = off / 60000000;
        log("Clock off", "Signed by " + shorten(senderUtf8) + " at a time " + std::to_string(minutes) + " minutes " +
                             (seq > now ? "ahead of" : "behind") +
                             " this computer's clock: not taken as signed (a recording played back, or a clock "
                             "that is wrong; signatures count again once the clocks agree within five minutes)");
    }
    return false;
}

void SecureLink::confirm(const std::string& senderUtf8) {
    const auto key = toLower(senderUtf8);
    auto& peer = peers_[key];
    if (pins_.touch(key, nowSeconds()) | pins_.heardSigning(key, nowSeconds())) pinsChanged();
    if (peer.confirmed) return;
    peer.confirmed = true;
    showState(senderUtf8);
}

void SecureLink::verifiedFrom(const std::string& senderUtf8) {
    const IpAddress address = hooks_.source ? hooks_.source() : IpAddress{};
    if (address && hooks_.sourceVerified) hooks_.sourceVerified(address, senderUtf8);
    // A copy that may offer what is fetched from it (files): whether the key is really at that address
    // (a source address is easily made up), before anything connects there.
    const auto p = peers_.find(toLower(senderUtf8));
    if (address && !challengeFor_.empty() && p != peers_.end() && listHas(p->second.caps, challengeFor_))
        challenge(senderUtf8, address);
}

void SecureLink::showState(const std::string& senderUtf8) {
    if (hooks_.keyState) hooks_.keyState(senderUtf8, stateOf(senderUtf8));
}

std::int64_t SecureLink::nowSeconds() const {
    return hooks_.wallMicros ? static_cast<std::int64_t>(hooks_.wallMicros() / 1000000) : 0;
}

bool SecureLink::refusedUnchecked(const std::string& senderUtf8, const std::string& signKey, std::uint64_t seq,
                                  std::string_view what) {
    if (const auto* w = liveWindow(signedSeen_, signKey); w && (w->tooOld(seq) || w->seen(seq))) {
        log("Replay refused", "Replayed " + std::string(what) + " from " + shorten(senderUtf8) + " refused");
        return true;
    }
    // Long behind our clock: checked once per name, so that a copy whose
    // clock is wrong is told of in the log; after that not taken anyway.
    if (hooks_.wallMicros && seq + kMaxSkewMicros < hooks_.wallMicros() && skewLogged_.count(toLower(senderUtf8)))
        return true;
    return false;
}

bool SecureLink::verifyAllowed(const std::string& signKey, const std::string& senderUtf8) {
    const IpAddress address = hooks_.source ? hooks_.source() : IpAddress{};
    using Verdict = VerifyBudget::Verdict;
    const auto verdict = verifyBudget_.take(hooks_.ticks(), address, signKey);
    if (verdict == Verdict::Allowed) return true;
    if (verdict == Verdict::AllOut)
        log("Too many signatures",
            "Signatures arrive faster than " + std::to_string(kVerifyAllPerSecond) + " a second: the rest not checked");
    else
        log("Too many signatures", "Signatures " +
                                       std::string(verdict == Verdict::KeyOut ? "by the key of " : "under ") +
                                       shorten(senderUtf8) + " arrive faster than " + std::to_string(kVerifyPerSecond) +
                                       " a second from one address: the rest not checked");
    return false;
}

void SecureLink::proven(const std::string& signKey) {
    const IpAddress address = hooks_.source ? hooks_.source() : IpAddress{};
    // Bounded by the keys that can be verified: pinned ones and our own.
    verifyBudget_.proven(signKey, address, pins_.size() + 64);
}

ReplayWindow* SecureLink::liveWindow(std::unordered_map<std::string, ReplayWindow>& windows, const std::string& key) {
    const auto it = windows.find(key);
    if (it == windows.end()) return nullptr;
    if (aheadOfClock(it->second.top())) {
        // Our clock was ahead when it moved, and is right now.
        it->second = ReplayWindow();
        seenChanged();
    }
    return &it->second;
}

ReplayWindow& SecureLink::privateWindow(const std::string& boxKey) {
    seenChanged();
    if (auto* w = liveWindow(privateSeen_, boxKey)) return *w;
    if (privateSeen_.size() >= pins_.size() + kMaxUnpinnedWindows) {
        std::unordered_set<std::string> pinned;
        for (const auto& [name, pin] : pins_.all()) {
            pinned.insert(pin.boxPublic);
            if (pin.changed()) pinned.insert(pin.newBox);
        }
        std::erase_if(privateSeen_, [&](const auto& e) { return !pinned.count(e.first); });
    }
    return privateSeen_[boxKey];
}

ReplayWindow& SecureLink::signedWindow(const std::string& key) {
    seenChanged();
    if (auto* w = liveWindow(signedSeen_, key)) return *w;
    if (signedSeen_.size() >= pins_.size() + 1 + kMaxUnpinnedWindows) {
        std::unordered_set<std::string> pinned{id_.signPublic};
        for (const auto& [name, pin] : pins_.all()) {
            pinned.insert(pin.signPublic);
            if (pin.changed()) pinned.insert(pin.newSign);
        }
        std::erase_if(signedSeen_, [&](const auto& e) { return !pinned.count(e.first); });
    }
    return signedSeen_[key];
}

}  // namespace lanyx
