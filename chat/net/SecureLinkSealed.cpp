#include "SecureLink.h"

#include "Cp1252.h"
#include "Crypto.h"
#include "SecureLinkParts.h"
#include "Text.h"

#include <algorithm>

// The sealed channel: private messages sealed to one recipient (under
// ephemeral keys where both copies announce them), opened, confirmed by
// receipts and repeated until confirmed.

namespace lanyx {

using namespace linkparts;

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
    if (!o.bytes.empty()) hooks_.send(o.bytes);
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

}  // namespace lanyx
