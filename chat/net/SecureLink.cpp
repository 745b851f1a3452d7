#include "SecureLink.h"

#include "LineHeader.h"

#include <unordered_set>

#include "Cp1252.h"
#include "Crypto.h"
#include "Text.h"

#include <algorithm>

namespace lanyx {

namespace {

constexpr std::string_view kAnnounceTag = "LANYX-K1";
constexpr std::string_view kCompanionTag = "LANYX-G1";
constexpr std::string_view kPrivateTag = "LANYX-E1";
constexpr std::string_view kReceiptTag = "LANYX-R1";
constexpr std::string_view kPrivateTag2 = "LANYX-E2";
constexpr std::string_view kReceiptTag2 = "LANYX-R2";
// What marks a private message or receipt sealed under ephemeral keys.
constexpr std::string_view kEphemeralMark = "2|";
constexpr std::size_t kSeqBytes = 8;
// A companion: sequence number, the hashes of one to kMaxSignedTogether
// datagrams, the signature over both.
constexpr std::size_t kCompanionBytes = kSeqBytes + crypto::kHashBytes + crypto::kSignatureBytes;
constexpr std::size_t kMaxCompanionBytes = kCompanionBytes + (secure::kMaxSignedTogether - 1) * crypto::kHashBytes;
constexpr std::uint32_t kPinsSaveDelayMs = 1000;
// Sequence numbers are written within this time of a change (and at the
// end): a crash loses at most this much of what was seen.
constexpr std::uint32_t kSeenSaveDelayMs = 1000;
// The wire bytes of the two marks.
constexpr char kAlertByte = '\xDF';
constexpr char kChatByte = '\xDE';

std::string be64(std::uint64_t v) {
    std::string out(kSeqBytes, '\0');
    for (int i = 7; i >= 0; --i, v >>= 8) out[static_cast<std::size_t>(i)] = static_cast<char>(v & 0xFF);
    return out;
}

std::uint64_t fromBe64(std::string_view b) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < kSeqBytes; ++i) v = (v << 8) | static_cast<unsigned char>(b[i]);
    return v;
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

struct Split {
    std::string_view sender, command, payload;
};

std::optional<Split> split(std::string_view bytes) {
    const auto bar = bytes.find('|');
    if (bar == std::string_view::npos || bytes.size() < bar + 3) return std::nullopt;
    return Split{bytes.substr(0, bar), bytes.substr(bar + 1, 2), bytes.substr(bar + 3)};
}

constexpr std::string_view kAnswerTag = "LANYX-A1";
constexpr std::size_t kNonceBytes = 16;
// What marks a challenge that a copy on the same computer passed on.
constexpr std::string_view kRelayedMark = "|local";

std::string shorten(std::string_view utf8) {
    if (utf8.size() <= 100) return std::string(utf8);
    std::size_t cut = 100;
    while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;
    return std::string(utf8.substr(0, cut)) + "...";
}

}  // namespace

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

SecureLink::SecureLink(Identity identity, PinStore pins, std::filesystem::path pinsFile, Hooks hooks)
    : id_(std::move(identity)), pins_(std::move(pins)), pinsFile_(std::move(pinsFile)), hooks_(std::move(hooks)) {
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

namespace {
std::string keysIndex(bool asSender, const std::string& mine, const std::string& theirStatic,
                      const std::string& theirEphemeral) {
    return std::string(1, asSender ? 's' : 'r') + mine + theirStatic + theirEphemeral;
}
}  // namespace

std::optional<crypto::PrivateKeys> SecureLink::privateKeys(bool asSender, const Ephemeral& mine,
                                                           const std::string& theirStatic,
                                                           const std::string& theirEphemeral) {
    if (const auto it = derived_.find(keysIndex(asSender, mine.publicKey, theirStatic, theirEphemeral));
        it != derived_.end())
        return it->second;
    return crypto::DerivePrivateKeys(asSender, id_.boxSecret, id_.boxPublic, mine.secretKey, mine.publicKey,
                                     theirStatic, theirEphemeral);
}

void SecureLink::rememberKeys(bool asSender, const Ephemeral& mine, const std::string& theirStatic,
                              const std::string& theirEphemeral, const crypto::PrivateKeys& keys) {
    if (derived_.size() >= 256) forgetKeys();
    derived_.try_emplace(keysIndex(asSender, mine.publicKey, theirStatic, theirEphemeral), keys);
}

void SecureLink::forgetKeys() {
    for (auto& [index, keys] : derived_) {
        crypto::Wipe(keys.message);
        crypto::Wipe(keys.receipt);
    }
    derived_.clear();
}

void SecureLink::renewEphemeral() {
    crypto::Wipe(previousEphemeral_.secretKey);
    previousEphemeral_ = std::move(ephemeral_);
    auto keys = crypto::NewAgreementKeys();
    ephemeral_ = {std::move(keys.publicKey), std::move(keys.secretKey)};
    ephemeralAt_ = hooks_.ticks ? hooks_.ticks() : 0;
    const auto generation = ++ephemeralGeneration_;
    // What others sealed to the old key before they heard the new one still
    // opens for a while; then nothing here can open it any more.
    const std::weak_ptr<int> alive = alive_;
    if (hooks_.callAfter)
        hooks_.callAfter(kEphemeralGraceMs, [this, alive, generation] {
            if (alive.expired() || generation != ephemeralGeneration_) return;
            crypto::Wipe(previousEphemeral_.secretKey);
            previousEphemeral_.publicKey.clear();
            forgetKeys();
        });
    announce();
}

void SecureLink::checkEphemeralAge() {
    if (ephemeralCheckQueued_ || !hooks_.callAfter) return;
    ephemeralCheckQueued_ = true;
    const std::weak_ptr<int> alive = alive_;
    hooks_.callAfter(kEphemeralMs, [this, alive] {
        if (alive.expired()) return;
        ephemeralCheckQueued_ = false;
        // (A pump without timers calls back at once: nothing is due then.)
        if (hooks_.ticks() - ephemeralAt_ >= kEphemeralMs) renewEphemeral();
    });
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

namespace {
// Whether a comma-separated list ("sign,box,receipt") names `item`.
bool listHas(std::string_view list, std::string_view item) {
    for (std::size_t start = 0; start <= list.size();) {
        const auto comma = std::min(list.find(',', start), list.size());
        if (list.substr(start, comma - start) == item) return true;
        start = comma + 1;
    }
    return false;
}

// The values of the items of such a list that begin with `prefix`
// ("eph=..."), the first `most` of them.
std::vector<std::string_view> listValues(std::string_view list, std::string_view prefix, std::size_t most) {
    std::vector<std::string_view> out;
    for (std::size_t start = 0; start <= list.size() && out.size() < most;) {
        const auto comma = std::min(list.find(',', start), list.size());
        const auto item = list.substr(start, comma - start);
        if (item.substr(0, prefix.size()) == prefix) out.push_back(item.substr(prefix.size()));
        start = comma + 1;
    }
    return out;
}

std::string_view listValue(std::string_view list, std::string_view prefix) {
    const auto values = listValues(list, prefix, 1);
    return values.empty() ? std::string_view{} : values.front();
}
}  // namespace

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
    if (!raw || raw->size() < kCompanionBytes || raw->size() > kMaxCompanionBytes ||
        (raw->size() - kCompanionBytes) % crypto::kHashBytes != 0) {
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
    if (!raw || raw->size() < kCompanionBytes || raw->size() > kMaxCompanionBytes ||
        (raw->size() - kCompanionBytes) % crypto::kHashBytes != 0)
        return;
    // Our copies sign what they send right after it; the signature itself
    // is checked once a key is known, so this only tells our copies from
    // those that never sign.
    for (std::size_t at = kSeqBytes; at + crypto::kSignatureBytes < raw->size(); at += crypto::kHashBytes)
        if (raw->compare(at, crypto::kHashBytes, it->second.firstHash) == 0) it->second.accompanied = true;
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
    const auto now = hooks_.ticks();
    const IpAddress address = hooks_.source ? hooks_.source() : IpAddress{};
    const auto spend = [now](Budget& b, std::uint32_t burst, std::uint32_t perSecond, std::uint32_t leave) {
        const std::uint64_t full = std::uint64_t{burst} * 1000;
        b.milli = std::min(full, b.milli + std::uint64_t{now - b.at} * perSecond);
        b.at = now;
        if (b.milli < 1000 + std::uint64_t{leave} * 1000) return false;
        b.milli -= 1000;
        return true;
    };
    if (!verifyAllStarted_) {
        verifyAllStarted_ = true;
        verifyAll_ = {std::uint64_t{kVerifyAllBurst} * 1000, now};
    }
    const auto full = [now] { return Budget{std::uint64_t{kVerifyBurst} * 1000, now}; };
    // A key verified from this very address spends a budget of its own:
    // junk under its name from elsewhere never delays it.
    const auto from = provenFrom_.find(signKey);
    const bool provenHere = !signKey.empty() && from != provenFrom_.end() && from->second == address;
    Budget* own = nullptr;
    if (provenHere) {
        if (keyRate_.size() >= 4096 && !keyRate_.count(signKey)) keyRate_.clear();
        own = &keyRate_.try_emplace(signKey, full()).first->second;
    } else {
        if (addressRate_.size() >= 4096 && !addressRate_.count(address)) addressRate_.clear();
        own = &addressRate_.try_emplace(address, full()).first->second;
    }
    if (!spend(*own, kVerifyBurst, kVerifyPerSecond, 0)) {
        log("Too many signatures", "Signatures " + std::string(provenHere ? "by the key of " : "under ") +
                                       shorten(senderUtf8) + " arrive faster than " + std::to_string(kVerifyPerSecond) +
                                       " a second from one address: the rest not checked");
        return false;
    }
    if (!spend(verifyAll_, kVerifyAllBurst, kVerifyAllPerSecond, provenHere ? 0 : kVerifyReserve)) {
        log("Too many signatures",
            "Signatures arrive faster than " + std::to_string(kVerifyAllPerSecond) + " a second: the rest not checked");
        return false;
    }
    return true;
}

void SecureLink::proven(const std::string& signKey) {
    const IpAddress address = hooks_.source ? hooks_.source() : IpAddress{};
    // Bounded by the keys that can be verified: pinned ones and our own.
    if (provenFrom_.size() >= pins_.size() + 64 && !provenFrom_.count(signKey)) provenFrom_.clear();
    provenFrom_[signKey] = address;
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

void SecureLink::onEncrypted(std::string_view senderWire, std::string_view payload) {
    const auto bar = payload.find('|');
    if (bar == std::string_view::npos) return;
    const auto recipientWire = payload.substr(0, bar);
    if (!equalsNoCase(cp1252::toUtf8(recipientWire), myName_)) return;
    if (payload.substr(bar + 1, kEphemeralMark.size()) == kEphemeralMark)
        return onEncryptedEphemeral(senderWire, recipientWire, payload.substr(bar + 1 + kEphemeralMark.size()));
    const std::string sender = cp1252::toUtf8(senderWire);
    const auto senderKey = toLower(sender);
    const auto raw = crypto::FromBase64(payload.substr(bar + 1));
    if (!raw || raw->size() < kSeqBytes + crypto::kNonceBytes + crypto::kTagBytes) {
        log("Private message not readable", "Malformed encrypted message from " + shorten(sender));
        return;
    }
    const std::string seq8 = raw->substr(0, kSeqBytes);
    const auto* pin = pins_.find(senderKey);
    if (refusedBeforeOpening(sender, pin, fromBe64(seq8))) return;
    // The pinned key announced ephemeral keys: what is sealed under the
    // static keys alone may come from whoever holds our own key file.
    const auto peer = peers_.find(senderKey);
    const bool pinnedOnly = pin && takesEphemeralOnly(senderKey);
    const bool offeredOnly = pin && peer != peers_.end() && !peer->second.offeredEphemeral.empty() && !previousBuild_;
    const bool unpinnedOnly = !pin && peer != peers_.end() && !peer->second.ephemeral.empty() && !previousBuild_;
    const bool pinnedOk = pin && !pinnedOnly;
    const bool offeredOk = pin && pin->changed() && !offeredOnly;
    const bool unpinnedOk = !pin && peer != peers_.end() && !unpinnedOnly;
    if (!pinnedOk && !offeredOk && !unpinnedOk && (pinnedOnly || offeredOnly || unpinnedOnly)) {
        log("Private message refused", "Private message from " + shorten(sender) +
                                           " sealed the old way, although its key announces ephemeral keys: refused");
        // Our ephemeral key was missed: the sender's repeat seals under it once heard.
        announceAtPace();
        return;
    }
    if (!verifyAllowed(pin ? pin->signPublic : std::string(), sender)) return;
    const std::string ad = std::string(kPrivateTag) + std::string(senderWire) + '\0' + std::string(recipientWire) +
                           seq8;
    const std::string_view sealed = std::string_view(*raw).substr(kSeqBytes);

    std::optional<std::string> plain;
    std::optional<std::string> shared;
    std::string openedBy;
    Trust trust = Trust::Verified;
    const auto tryKey = [&](const std::string& box) {
        if (plain || box.empty()) return;
        if (shared) crypto::Wipe(*shared);
        shared = crypto::SharedKey(id_.boxSecret, id_.boxPublic, box);
        if (shared) plain = crypto::Open(*shared, sealed, ad);
        if (plain) openedBy = box;
    };
    if (pinnedOk) tryKey(pin->boxPublic);
    if (!plain) {
        // A key announced in place of the pinned one (or for a name nobody
        // pinned): readable, not verified.
        trust = Trust::NotVerified;
        if (offeredOk) tryKey(pin->newBox);
        if (unpinnedOk) tryKey(peer->second.boxPublic);
    }
    if (!plain) {
        if (shared) crypto::Wipe(*shared);
        log("Private message not readable", "Encrypted message from " + shorten(sender) + " could not be read");
        return;
    }
    takePrivate(senderWire, sender, *plain, trust, fromBe64(seq8), *shared, false, openedBy);
}

void SecureLink::onEncryptedEphemeral(std::string_view senderWire, std::string_view recipientWire,
                                      std::string_view b64) {
    const std::string sender = cp1252::toUtf8(senderWire);
    const auto senderKey = toLower(sender);
    constexpr std::size_t kKeys = 2 * crypto::kBoxPublicBytes;
    const auto raw = crypto::FromBase64(b64);
    if (!raw || raw->size() < kSeqBytes + kKeys + crypto::kNonceBytes + crypto::kTagBytes) {
        log("Private message not readable", "Malformed encrypted message from " + shorten(sender));
        return;
    }
    const std::string seq8 = raw->substr(0, kSeqBytes);
    const std::string theirs = raw->substr(kSeqBytes, crypto::kBoxPublicBytes);
    const std::string mine = raw->substr(kSeqBytes + crypto::kBoxPublicBytes, crypto::kBoxPublicBytes);
    const auto* pin = pins_.find(senderKey);
    if (refusedBeforeOpening(sender, pin, fromBe64(seq8))) return;
    const Ephemeral* own = mine == ephemeral_.publicKey ? &ephemeral_
                           : !previousEphemeral_.secretKey.empty() && mine == previousEphemeral_.publicKey
                               ? &previousEphemeral_
                               : nullptr;
    if (!own) {
        log("Private message not readable", "Encrypted message from " + shorten(sender) +
                                                " was sealed to a key of ours that is gone (from before a restart, "
                                                "or changed more than ten minutes ago): it cannot be read");
        return;
    }
    // The sender's ephemeral key must be one its key announced (signed):
    // the pinned key's for a verified message, the offered one's otherwise.
    const auto peer = peers_.find(senderKey);
    const auto announced = [&](bool pinned) {
        if (peer == peers_.end()) return false;
        const auto& p = peer->second;
        if (pin && !pinned) return p.offeredEphemeral == theirs;
        if (pin && p.signPublic != pin->signPublic) return false;
        return p.ephemeral == theirs || (!p.previousEphemeral.empty() && p.previousEphemeral == theirs &&
                                         hooks_.ticks() - p.ephemeralAt < kEphemeralGraceMs);
    };
    const bool pinnedOk = !pin || announced(true);
    const bool offeredOk = pin && pin->changed() && announced(false);
    if (!(pin ? pinnedOk || offeredOk : announced(true))) {
        log("Private message not readable",
            "Encrypted message from " + shorten(sender) +
                " was sealed with an ephemeral key it did not announce: its keys asked for");
        if (pin || (hooks_.isListed && hooks_.isListed(sender))) askForKeys(sender);
        return;
    }
    if (!verifyAllowed(pin ? pin->signPublic : std::string(), sender)) return;
    const std::string ad = std::string(kPrivateTag2) + std::string(senderWire) + '\0' + std::string(recipientWire) +
                           seq8 + theirs + mine;
    const std::string_view sealed = std::string_view(*raw).substr(kSeqBytes + kKeys);
    std::optional<std::string> plain;
    std::string receiptKey;
    std::string openedBy;
    Trust trust = Trust::Verified;
    const auto tryKey = [&](const std::string& box) {
        if (plain || box.empty()) return;
        auto keys = privateKeys(false, *own, box, theirs);
        if (!keys) return;
        plain = crypto::Open(keys->message, sealed, ad);
        if (plain) rememberKeys(false, *own, box, theirs, *keys);
        crypto::Wipe(keys->message);
        if (plain) receiptKey = std::move(keys->receipt);
        else crypto::Wipe(keys->receipt);
        if (plain) openedBy = box;
    };
    if (pin && pinnedOk) tryKey(pin->boxPublic);
    if (!plain) {
        trust = Trust::NotVerified;
        if (offeredOk) tryKey(pin->newBox);
        if (!pin) tryKey(peer->second.boxPublic);
    }
    if (!plain) {
        log("Private message not readable", "Encrypted message from " + shorten(sender) + " could not be read");
        return;
    }
    takePrivate(senderWire, sender, *plain, trust, fromBe64(seq8), receiptKey, true, openedBy);
}

void SecureLink::takePrivate(std::string_view senderWire, const std::string& sender, std::string& plain, Trust trust,
                             std::uint64_t seq, std::string& receiptKey, bool ephemeral, const std::string& openedBy) {
    // Sealed too long ago (or ahead): refused as a signed datagram's
    // companion is, neither shown nor confirmed, and its number taken
    // nowhere. Each key's window is its own: what another key under the
    // name sealed never moves the pinned key's.
    if (!fresh(sender, seq)) {
        crypto::Wipe(plain);
        crypto::Wipe(receiptKey);
        return;
    }
    if (trust == Trust::Verified) {
        if (const auto* pin = pins_.find(toLower(sender))) proven(pin->signPublic);
        confirm(sender);
    }
    auto& window = privateWindow(openedBy);
    if (window.seen(seq)) {
        sendReceipt(senderWire, receiptKey, seq, ephemeral);  // a repeat: our receipt was lost
    } else if (window.tooOld(seq)) {
        log("Replay refused", "Replayed private message from " + shorten(sender) + " refused");
    } else if (hooks_.deliverPrivate(startsWith(plain, secure::kUtf8Tag)
                                         ? validUtf8(std::string_view(plain).substr(secure::kUtf8Tag.size()))
                                         : cp1252::toUtf8(plain),
                                     sender, trust)) {
        window.accept(seq);
        seenChanged();
        sendReceipt(senderWire, receiptKey, seq, ephemeral);
    }
    crypto::Wipe(plain);
    crypto::Wipe(receiptKey);
}

bool SecureLink::refusedBeforeOpening(const std::string& senderUtf8, const PinStore::Pin* pin, std::uint64_t seq) {
    // Below the window nothing is taken or confirmed: not worth opening.
    if (const auto* w = pin ? liveWindow(privateSeen_, pin->boxPublic) : nullptr; w && w->tooOld(seq)) {
        log("Replay refused", "Replayed private message from " + shorten(senderUtf8) + " refused");
        return true;
    }
    if (!hooks_.wallMicros || !skewLogged_.count(toLower(senderUtf8))) return false;
    const auto now = hooks_.wallMicros();
    return (seq > now ? seq - now : now - seq) > kMaxSkewMicros;
}

void SecureLink::announceAtPace() {
    const auto now = hooks_.ticks();
    if (askAnswered_ && now - askAnsweredAt_ < kAskEveryMs) return;
    askAnswered_ = true;
    askAnsweredAt_ = now;
    announce();
}

void SecureLink::sendReceipt(std::string_view senderWire, const std::string& key, std::uint64_t seq, bool ephemeral) {
    const std::string seq8 = be64(seq);
    const std::string ad = std::string(ephemeral ? kReceiptTag2 : kReceiptTag) + myWire_ + '\0' +
                           std::string(senderWire) + seq8;
    hooks_.send(myWire_ + "|" + std::string(secure::Receipt) + std::string(senderWire) + "|" +
                std::string(ephemeral ? kEphemeralMark : "") + crypto::ToBase64(seq8 + crypto::Seal(key, {}, ad)));
}

void SecureLink::onReceipt(std::string_view senderWire, std::string_view payload) {
    const auto bar = payload.find('|');
    if (bar == std::string_view::npos) return;
    const auto recipientWire = payload.substr(0, bar);
    if (!equalsNoCase(cp1252::toUtf8(recipientWire), myName_)) return;
    auto rest = payload.substr(bar + 1);
    const bool ephemeral = rest.substr(0, kEphemeralMark.size()) == kEphemeralMark;
    if (ephemeral) rest.remove_prefix(kEphemeralMark.size());
    const auto raw = crypto::FromBase64(rest);
    if (!raw || raw->size() != kSeqBytes + crypto::kNonceBytes + crypto::kTagBytes) return;
    const auto seq = fromBe64(*raw);
    const auto it = outgoing_.find(seq);
    const std::string sender = cp1252::toUtf8(senderWire);
    if (it == outgoing_.end() || toLower(it->second.report.recipient) != toLower(sender)) return;
    // A message sealed under ephemeral keys is confirmed under them alone.
    if (ephemeral != !it->second.receiptKey.empty()) return;
    const std::string ad = std::string(ephemeral ? kReceiptTag2 : kReceiptTag) + std::string(senderWire) + '\0' +
                           std::string(recipientWire) + raw->substr(0, kSeqBytes);
    bool ok = false;
    if (ephemeral) {
        ok = crypto::Open(it->second.receiptKey, std::string_view(*raw).substr(kSeqBytes), ad).has_value();
    } else {
        const auto* pin = pins_.find(toLower(sender));
        if (!pin) return;
        // Receipts under the static keys alone are as easy to make for
        // whoever holds our key file as old-format messages are.
        if (takesEphemeralOnly(toLower(sender))) {
            log("Private message refused", "Receipt from " + shorten(sender) + " sealed the old way refused");
            return;
        }
        auto shared = crypto::SharedKey(id_.boxSecret, id_.boxPublic, pin->boxPublic);
        if (!shared) return;
        ok = crypto::Open(*shared, std::string_view(*raw).substr(kSeqBytes), ad).has_value();
        crypto::Wipe(*shared);
    }
    if (!ok) {
        log("Bad signature", "Receipt from " + shorten(sender) + " could not be checked");
        return;
    }
    auto report = it->second.report;
    eraseOutgoing(it);
    report.state = Delivery::Delivered;
    if (hooks_.delivery) hooks_.delivery(report);
}

void SecureLink::eraseOutgoing(std::map<std::uint64_t, Outgoing>::iterator it) {
    crypto::Wipe(it->second.receiptKey);
    crypto::Wipe(it->second.plain);
    outgoing_.erase(it);
}

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

bool SecureLink::hasKey(std::string_view name) const {
    if (isOwn(toLower(name))) return false;
    if (pins_.find(name) || pins_.former(name)) return true;
    // A key announced that waits for the limits of new pins.
    const auto p = peers_.find(toLower(name));
    return p != peers_.end() && p->second.pinWaits;
}

bool SecureLink::canEncryptTo(std::string_view recipient) const {
    const auto* pin = pins_.find(recipient);
    return active_ && pin && !isOwn(toLower(recipient)) && !pin->changed() && pin->opensSealed;
}

std::optional<DeliveryReport> SecureLink::sendPrivate(const std::string& recipient, const std::string& message,
                                                      Withheld* why) {
    const auto refuse = [&](Withheld w) -> std::optional<DeliveryReport> {
        if (why) *why = w;
        return std::nullopt;
    };
    // Sealed to the pinned key, whatever this run heard: the recipient may
    // be away, restarting, or his announcement lost; a forged announcement
    // puts the name in "changed", which holds everything until the user
    // has looked.
    const auto* pin = pins_.find(recipient);
    if (!pin && !isOwn(toLower(recipient))) {
        const auto p = peers_.find(toLower(recipient));
        if (p != peers_.end() && p->second.pinWaits && !p->second.signPublic.empty() &&
            pins_.pinNew(recipient, p->second.signPublic, p->second.boxPublic, listHas(p->second.caps, "box"),
                         nowSeconds())) {
            // Its turn among new keys had not come: a message of the user's is no flood.
            p->second.pinWaits = false;
            p->second.confirmed = true;
            pinsChanged();
            showState(recipient);
            pin = pins_.find(recipient);
        } else if (pins_.former(recipient)) {
            // Known by a hash alone until that key announces itself again.
            return refuse(p != peers_.end() && p->second.formerChanged ? Withheld::KeyChanged : Withheld::Offline);
        }
    }
    if (!pin || isOwn(toLower(recipient))) return refuse(Withheld::None);
    if (pin->changed()) return refuse(Withheld::KeyChanged);
    if (!pin->opensSealed) return refuse(Withheld::CannotOpen);
    if (!active_) return refuse(Withheld::Offline);
    if (message.empty()) return refuse(Withheld::Empty);
    const auto seq = nextSeq();
    Outgoing o;
    o.report = DeliveryReport{seq, recipient, true, Delivery::Waiting};
    // Every character to a copy that takes them; what the build before
    // cannot show becomes "?" there.
    o.plain = !previousBuild_ && peerHas(recipient, secure::kUtf8Item) ? std::string(secure::kUtf8Tag) + message
                                                                       : cp1252::fromUtf8(message);
    if (!seal(o, seq)) {
        crypto::Wipe(o.plain);
        return refuse(Withheld::CannotOpen);
    }
    // Its ephemeral key was missed: nothing goes out the old way; the
    // user is asked for it, and a repeat seals the message once it came.
    if (o.bytes.empty()) askForKeys(recipient);
    const bool drop = std::exchange(dropNext_, false);
    if (!drop && !o.bytes.empty()) hooks_.send(o.bytes);
    auto report = o.report;
    outgoing_[seq] = std::move(o);
    scheduleRetry(seq);
    if (why) *why = Withheld::None;
    return report;
}

bool SecureLink::seal(Outgoing& o, std::uint64_t seq) {
    const auto& recipient = o.report.recipient;
    const auto* pin = pins_.find(recipient);
    if (!pin) return false;
    // Under ephemeral keys when the pinned key announced one this session;
    // under the static keys alone to a program that announces none.
    const auto peer = peers_.find(toLower(recipient));
    const bool ephemeral = !previousBuild_ && peer != peers_.end() && !peer->second.ephemeral.empty() &&
                           peer->second.signPublic == pin->signPublic && peer->second.boxPublic == pin->boxPublic;
    if (!ephemeral && !previousBuild_ && takesEphemeralOnly(toLower(recipient))) {
        o.bytes.clear();
        return true;
    }
    std::optional<std::string> shared;
    std::optional<crypto::PrivateKeys> keys;
    if (ephemeral) {
        keys = privateKeys(true, ephemeral_, pin->boxPublic, peer->second.ephemeral);
        if (!keys) return false;
        rememberKeys(true, ephemeral_, pin->boxPublic, peer->second.ephemeral, *keys);
    } else {
        shared = crypto::SharedKey(id_.boxSecret, id_.boxPublic, pin->boxPublic);
        if (!shared) return false;
    }
    const std::string seq8 = be64(seq);
    const std::string recipientWire = cp1252::fromUtf8(recipient);
    std::string bytes = myWire_ + "|" + std::string(secure::Encrypted) + recipientWire + "|";
    if (ephemeral) {
        const std::string keysUsed = ephemeral_.publicKey + peer->second.ephemeral;
        const std::string ad = std::string(kPrivateTag2) + myWire_ + '\0' + recipientWire + seq8 + keysUsed;
        bytes += std::string(kEphemeralMark) +
                 crypto::ToBase64(seq8 + keysUsed + crypto::Seal(keys->message, o.plain, ad));
        crypto::Wipe(keys->message);
        crypto::Wipe(o.receiptKey);
        o.receiptKey = std::move(keys->receipt);
        // Nothing more to seal it as: the words are not kept any longer.
        crypto::Wipe(o.plain);
    } else {
        const std::string ad = std::string(kPrivateTag) + myWire_ + '\0' + recipientWire + seq8;
        bytes += crypto::ToBase64(seq8 + crypto::Seal(*shared, o.plain, ad));
        crypto::Wipe(*shared);
    }
    o.bytes = std::move(bytes);
    o.report.forwardSecret = ephemeral;
    return true;
}

bool SecureLink::takesEphemeralOnly(const std::string& lowerName) const {
    const auto* pin = pins_.find(lowerName);
    if (!pin || previousBuild_) return false;
    if (pin->announcesEphemeral) return true;
    const auto peer = peers_.find(lowerName);
    return peer != peers_.end() && peer->second.signPublic == pin->signPublic && !peer->second.ephemeral.empty();
}

void SecureLink::scheduleRetry(std::uint64_t id) {
    const auto it = outgoing_.find(id);
    if (it == outgoing_.end()) return;
    const std::weak_ptr<int> alive = alive_;
    const auto repeats = it->second.repeats;
    if (repeats < std::size(kRetryMs)) {
        hooks_.callAfter(kRetryMs[repeats], [this, alive, id] {
            if (alive.expired()) return;
            const auto o = outgoing_.find(id);
            if (o == outgoing_.end()) return;
            ++o->second.repeats;
            // Not sealed under ephemeral keys yet: sealed so now, when the
            // recipient's ephemeral key was heard meanwhile.
            if (o->second.receiptKey.empty() && !o->second.plain.empty() && !seal(o->second, id)) {
                auto report = o->second.report;
                crypto::Wipe(o->second.plain);
                eraseOutgoing(o);
                report.state = Delivery::NotConfirmed;
                if (hooks_.delivery) hooks_.delivery(report);
                return;
            }
            if (o->second.bytes.empty()) askForKeys(o->second.report.recipient);
            else hooks_.send(o->second.bytes);
            scheduleRetry(id);
        });
        return;
    }
    hooks_.callAfter(kLastWaitMs, [this, alive, id] {
        if (alive.expired()) return;
        const auto o = outgoing_.find(id);
        if (o == outgoing_.end()) return;
        auto report = o->second.report;
        eraseOutgoing(o);
        report.state = Delivery::NotConfirmed;
        log("Not confirmed", "Private message to " + shorten(report.recipient) + " not confirmed");
        if (hooks_.delivery) hooks_.delivery(report);
    });
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
