#pragma once
// What our copies add between themselves, in datagrams of commands of their
// own that other copies ignore:
//   "K/"  announcement: version, capabilities and public keys, self-signed
//   "G/"  companion: the signature of one datagram (by its hash) with a
//         sequence number
// Every sequence number is the sender's clock in microseconds when it
// signed or sealed (at least one above its last, unless its clock had been
// far ahead): it dates what it covers, so that a recording played back
// later is told from a fresh datagram.
//   "E/"  a private message, encrypted and authenticated for one recipient
//   "R/"  the recipient's receipt of one "E/"
//   "Q/"  a challenge, sent to one address alone: a fresh nonce for the
//         name that signed from there
//   "A/"  its answer, signed by the key of that name: the copy at that
//         address holds the key, so a file offer's connection may go there
// Since version 2 the announcement carries an ephemeral X25519 key (made
// at every start and daily) among the capabilities ("eph=BASE64"), and
// private messages and receipts between two such copies are sealed under
// keys from the ephemeral and static keys of both (crypto::DerivePrivateKeys);
// to a copy that announces none, under the static keys alone, as before.
// Since then a copy the user renamed also names its names before (a
// "was=NAME" each, newest first, a few at most): where such a name's pinned
// key signed the announcement, the pin moves to the new name and the node
// carries the rest over. An announcement may also ask a user for his keys
// ("ask=NAME"): a copy that got a message sealed to an ephemeral key it
// never heard announced, or that has a message for a user whose ephemeral
// key it missed, asks, and the user's copy announces again.
// The node hands every datagram it sends and receives through here; held
// datagrams come back through the hooks once their companion arrived or
// their time ran out.
#include "Crypto.h"
#include "Identity.h"
#include "IpAddress.h"
#include "LinkBuild.h"
#include "RateLimit.h"
#include "UserList.h"
#include "VerifyBudget.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace lanyx {

// What is known of a datagram's sender.
enum class Trust : std::uint8_t {
    Plain,        // a name without a pinned key: as any copy would take it
    Verified,     // signed by the key pinned for the name
    NotVerified,  // the name has a pinned key, the datagram no good signature
};

enum class Delivery : std::uint8_t {
    Waiting,       // encrypted, not confirmed yet
    Delivered,     // the recipient confirmed it
    NotConfirmed,  // repeated, never confirmed
    NoReceipts,    // sent in the clear; the recipient's program does not confirm
    Withheld,      // not sent at all: see DeliveryReport::withheld
    Local,         // for ourselves: shown here, never on the network
    Queued,        // the recipient is not here: kept sealed to the pinned key until seen
};

// Why a private message to a user with a known key was not sent.
enum class Withheld : std::uint8_t {
    None,
    KeyChanged,  // another key was announced for the user: the user has to look first
    CannotOpen,  // the known key's program takes no sealed messages
    Offline,     // this copy is not on the network, or has no name yet
    Empty,       // nothing to send
    Expired,     // it waited for the recipient longer than the user allows
    Cancelled,   // it waited, and the user took it back
    // The recipient is not here, and as many messages wait for him as are kept.
    WaitingFull,
    // The recipient is not here, and the messages waiting fill the room kept for them.
    OutboxFull,
};

struct DeliveryReport {
    std::uint64_t id = 0;  // the same for every report of one message
    std::string recipient;
    bool encrypted = false;
    Delivery state = Delivery::NoReceipts;
    Withheld withheld = Withheld::None;
    // Sealed under ephemeral keys too: a key stolen later does not open it.
    // False for a recipient whose program announces no ephemeral key.
    bool forwardSecret = false;
};

namespace secure {
inline constexpr std::string_view Announce = "K/";
inline constexpr std::string_view Companion = "G/";
inline constexpr std::string_view Encrypted = "E/";
inline constexpr std::string_view Receipt = "R/";
inline constexpr std::string_view Challenge = "Q/";
inline constexpr std::string_view Answer = "A/";
inline constexpr int kVersion = 2;
// The capability item that carries the announcement's ephemeral key.
inline constexpr std::string_view kEphemeralItem = "eph=";
// The capability item that names the name this copy had before a rename.
inline constexpr std::string_view kFormerNameItem = "was=";
// Among the capabilities: sealed messages to this copy may hold any
// character. They then begin with kUtf8Tag and are UTF-8; without it they
// are Windows-1252, as the build before seals them.
inline constexpr std::string_view kUtf8Item = "utf8";
inline constexpr std::string_view kUtf8Tag = "lanyx-utf8 ";
// The capability item that asks the named user to announce his keys.
inline constexpr std::string_view kAskItem = "ask=";
inline constexpr std::string_view kCapabilities = "sign,box,receipt";
// One companion signs up to this many datagrams sent one after another.
inline constexpr std::size_t kMaxSignedTogether = 4;
// Whether the datagram (wire bytes) is a sealed private message, of any sender.
inline bool IsSealedPrivate(std::string_view datagram) {
    const auto bar = datagram.find('|');
    return bar != std::string_view::npos && datagram.size() >= bar + 3 &&
           (datagram[bar + 1] == 'E' || datagram[bar + 1] == 'e') && datagram[bar + 2] == '/';
}
}  // namespace secure

// Sequence numbers seen per key. Our copies number what they sign with
// their clock in microseconds, so the window is a span of time: a number
// is taken once, in any order, as long as it is within the span below the
// highest; a few thousand at most are remembered.
class ReplayWindow {
public:
    static constexpr std::uint64_t kSpanMicros = 10ull * 60 * 1000000;
    static constexpr std::size_t kMaxRemembered = 4096;
    ReplayWindow() = default;
    // After a restart only the highest number is known: nothing at or below it is taken.
    explicit ReplayWindow(std::uint64_t top) : top_(top), floor_(top) {}
    std::uint64_t top() const { return top_; }
    // True (and remembered) for a number not seen before and not too old.
    bool accept(std::uint64_t seq);
    bool seen(std::uint64_t seq) const;
    bool tooOld(std::uint64_t seq) const { return seq <= floor(); }
    std::size_t remembered() const { return recent_.size(); }

private:
    std::uint64_t floor() const { return std::max(floor_, top_ > kSpanMicros ? top_ - kSpanMicros : 0); }
    std::uint64_t top_ = 0;
    std::uint64_t floor_ = 0;            // numbers at or below it are refused
    std::vector<std::uint64_t> recent_;  // taken above the floor, in order
};

class SecureLink {
public:
    struct Hooks {
        std::function<void(std::string_view bytes)> send;                  // one datagram, wire bytes
        std::function<void(std::string_view bytes, Trust trust)> process;  // a held datagram, now judged
        // A decrypted private message (UTF-8, mark first): true when accepted
        // (delivered, not blocked or filtered by the status).
        std::function<bool(const std::string& text, const std::string& sender, Trust trust)> deliverPrivate;
        std::function<void(const DeliveryReport&)> delivery;
        std::function<void(const std::string& name, KeyState state)> keyState;
        std::function<void(const std::string& name, const std::string& warning)> keyChanged;
        std::function<void(std::string_view kind, const std::string& line)> log;
        std::function<std::uint32_t()> ticks;
        std::function<void(std::uint32_t ms, std::function<void()>)> callAfter;
        // This computer's clock: seeds the sequence numbers and judges
        // whether what others signed is fresh.
        std::function<std::uint64_t()> wallMicros;
        // Whether the roster lists the name: only listed users are pinned.
        std::function<bool(const std::string& name)> isListed;
        // The address the datagram being handled came from (none: not known).
        std::function<IpAddress()> source;
        // A fresh announcement or companion signed by the key pinned for the
        // name (UTF-8) came from the address: the one thing that may teach
        // the transport an address to send to.
        std::function<void(IpAddress address, const std::string& name)> sourceVerified;
        // The key pinned for `from` announced itself under `to`, naming
        // `from` as its name before: the pin is `to`'s now (UTF-8 names).
        // One key's renames reach here at most once per kRenameEveryMs;
        // those in between are told as one when that time is up.
        std::function<void(const std::string& from, const std::string& to)> renamed;
        // Whether the user has the name (lower case) in a list: groups,
        // blocked names, history, waiting messages, shared chats.
        std::function<bool(const std::string& lowerName)> keepName;
        // One datagram to one address alone.
        std::function<void(IpAddress address, std::string_view bytes)> sendTo;
        // One datagram to the copies on this computer alone.
        std::function<void(std::string_view bytes)> sendLocal;
        // The copy at `address` answered a challenge there, signed by the
        // key pinned for the name (UTF-8).
        std::function<void(IpAddress address, const std::string& name)> sourceProven;
    };

    // How long a datagram under a pinned name waits for its companion.
    static constexpr std::uint32_t kHoldMs = 400;
    // Repeats of an unconfirmed private message, after these waits (ms).
    static constexpr std::uint32_t kRetryMs[] = {700, 1400, 2800};
    // After the last repeat, this long for a receipt before "not confirmed".
    static constexpr std::uint32_t kLastWaitMs = 1500;
    static constexpr std::size_t kMaxHeld = 4096;
    // The datagram in hand is the sender's signed leave: what of his still
    // waits for its companion came before it, and is dropped (let go
    // later, unsigned, it would list him again).
    void dropHeldBeforeLeave(const std::string& senderUtf8);
    static constexpr std::size_t kMaxEarlySignatures = 4096;
    // A companion heard before its datagram signs it this long at most.
    static constexpr std::uint32_t kEarlyKeepMs = 3000;
    // What was signed more than this far from our clock is not taken as
    // signed: a recording played back later, or a clock that is wrong.
    static constexpr std::uint64_t kMaxSkewMicros = 5ull * 60 * 1000000;
    // A name listed this long without announcing a key is a copy without
    // keys: our copies announce theirs with their first datagrams.
    static constexpr std::uint32_t kKeylessAfterMs = 5000;
    // A name whose first datagram that our copies sign came without a
    // companion is a copy without keys once this has passed: a key
    // announced for it later is a conflict. Room for datagrams that overtook
    // one another, no more.
    static constexpr std::uint32_t kUnsignedGraceMs = 300;
    // Names judged at one walk at most (the rest at the next).
    static constexpr std::size_t kSweepSlice = 512;
    // New pins per sender address: this many at once, then one per kPinRefillMs.
    static constexpr std::uint32_t kPinBurst = 32;
    static constexpr std::uint32_t kPinRefillMs = 2000;
    // New pins from all addresses together: this many at once, then one per
    // kPinAllRefillMs. A key that waits for its turn is pinned then; nothing
    // private goes to it in the clear meanwhile.
    static constexpr std::uint32_t kPinAllBurst = 512;
    static constexpr std::uint32_t kPinAllRefillMs = 500;
    // Names of copies without keys newly remembered, per sender address and
    // in all: a flood of made-up names makes no room among them quickly.
    static constexpr std::uint32_t kNoteBurst = 16;
    static constexpr std::uint32_t kNoteRefillMs = 5000;
    static constexpr std::uint32_t kNoteAllBurst = 256;
    static constexpr std::uint32_t kNoteAllRefillMs = 2000;
    // A key's renames are carried over to the roster, the lists and the
    // history at most this often.
    static constexpr std::uint32_t kRenameEveryMs = 60000;
    // A challenge waits this long for its answer; the same name and address
    // are challenged again after kRechallengeMs at the soonest.
    static constexpr std::uint32_t kChallengeMs = 5000;
    static constexpr std::uint32_t kRechallengeMs = 30000;
    // Challenges sent, and answers signed, this many at once, then one per
    // kChallengeRefillMs.
    static constexpr std::uint32_t kChallengeBurst = 64;
    static constexpr std::uint32_t kChallengeRefillMs = 50;

    // Signature checks and openings: this many at once, then
    // kVerifyPerSecond, per sender address; a key whose signature was
    // verified from an address has a budget of its own for what comes from
    // there. Over all of them together kVerifyAllBurst, then
    // kVerifyAllPerSecond, of which checks for keys not verified from their
    // address leave kVerifyReserve. Junk under a real user's name, or under
    // many names, from other addresses costs a bounded share of a core and
    // never the user's own budget; what is refused counts as not verified,
    // as a bad signature would.
    static constexpr std::uint32_t kVerifyBurst = 64;
    static constexpr std::uint32_t kVerifyPerSecond = 200;
    static constexpr std::uint32_t kVerifyAllBurst = 4096;
    static constexpr std::uint32_t kVerifyAllPerSecond = 4000;
    static constexpr std::uint32_t kVerifyReserve = 1024;
    // Asking a user for his keys, and answering an ask: at most once in this long.
    static constexpr std::uint32_t kAskEveryMs = 3000;

    // `build`: what the link announces and how it seals (LinkBuild.h).
    SecureLink(Identity identity, PinStore pins, std::filesystem::path pinsFile, Hooks hooks,
               LinkBuild build = LinkBuild::Current);
    ~SecureLink();
    SecureLink(const SecureLink&) = delete;
    SecureLink& operator=(const SecureLink&) = delete;

    // The name we send under (UTF-8). Under a probe name nothing of ours is
    // sent: other copies answer every datagram of a prober.
    void setMyName(const std::string& name);
    // The user's own name from the settings, also while the copy probes
    // under another: no key is ever pinned for it, in any case.
    void setUserName(const std::string& name);
    bool active() const { return active_; }
    // The names the user renamed this copy from lately (newest first):
    // announcements name them, so that other copies carry the pin and the
    // rest over.
    void setPreviousNames(std::vector<std::string> names);
    static constexpr std::size_t kMaxPreviousNames = 4;
    // The file of known keys is not written (it could not be kept aside).
    void keepPinsFileAsItIs() { pinsReadOnly_ = true; }

    // Sending: the datagram with its companion (the companion first for a
    // leave notice, which ends our listing at other copies), or alone.
    void send(std::string_view wireBytes);
    // Several datagrams under one companion, sent after the last of them
    // (never a leave notice): a presence costs one signature, not one each.
    void sendTogether(const std::vector<std::string>& wireBytes);
    void announce();
    // The announcement's bytes (empty when not active), to send oneself.
    std::string announcement();
    // A capability announced besides the usual ones (before the first announce).
    void addCapability(std::string_view capability);
    // Whether `name` announced `capability` this session under its pinned key.
    bool peerHas(std::string_view name, std::string_view capability) const;
    // Whether what is sealed to `name` may begin with a line's header.
    bool takesLineHeaders(std::string_view name) const;
    // Our keys, for the transfer connections that prove them.
    const Identity& identity() const { return id_; }
    // A user announced keys this session for the first time (UTF-8 name).
    void setFirstAnnouncementHook(std::function<void(const std::string&)> hook) { firstAnnounce_ = std::move(hook); }
    // A key is known for the name (pinned, changed or not): private
    // messages to it are sealed or not sent, never in the clear.
    bool hasKey(std::string_view name) const;
    bool canEncryptTo(std::string_view recipient) const;
    // Sends an encrypted private message (UTF-8, mark first), sealed to the
    // pinned key whatever this run heard, and repeats it until confirmed.
    // Nothing when the recipient has no usable key; `why` says why.
    std::optional<DeliveryReport> sendPrivate(const std::string& recipient, const std::string& message,
                                              Withheld* why = nullptr);
    // A new ephemeral key is made at every start and after kEphemeralMs;
    // the one before opens what was sealed to it for kEphemeralGraceMs
    // more, then its secret is erased.
    static constexpr std::uint32_t kEphemeralMs = 24u * 60 * 60 * 1000;
    static constexpr std::uint32_t kEphemeralGraceMs = 10u * 60 * 1000;
    // Makes a new ephemeral key now and announces it (as at the daily change).
    void renewEphemeral();
    // This run found its own numbers far ahead of the clock (a clock that
    // had been ahead and was set right) and numbers from the clock again.
    bool clockWasAhead() const { return clockAheadSaid_; }

    // Receiving. True when the datagram is taken care of here (held for
    // its companion); false when the node goes on with it, its trust in `trust`.
    bool incoming(std::string_view wireBytes, Trust& trust);
    // The roster listed a user: a name without a key may be a copy
    // without keys (see kKeylessAfterMs).
    void noteListed(const std::string& name);
    // A datagram came under the name: a name of a copy without keys is
    // remembered the longer.
    void heard(std::string_view name);
    // Sends a challenge to the address the name's pinned key signed from
    // (where files offered by that copy may be fetched from).
    void challenge(const std::string& name, IpAddress address);
    // Challenges are sent where keys that announced `capability` sign from
    // (none when it is empty).
    void setChallengeSources(std::string capability) { challengeFor_ = std::move(capability); }
    // A challenge to the name waits for its answer.
    bool challengePending(std::string_view name) const;

    // What is known of a user's key: the pin, the user's checks, what this
    // run heard. The one place that says whether a user's key is checked.
    KeyState stateOf(std::string_view name) const;
    bool isChecked(std::string_view name) const { return stateOf(name) == KeyState::Checked; }
    // The name the user checked the key under before it was renamed
    // ("checked as ann, now helpdesk"); empty when there is none.
    std::string checkedAs(std::string_view name) const;
    // Fingerprints: ours, the pinned one of a name, and a new one it announced.
    std::string ownFingerprint() const;
    std::string pinnedFingerprint(std::string_view name) const;
    std::string announcedFingerprint(std::string_view name) const;
    // The safety number of the key the check of `name` is about: the key
    // waiting for the user's decision when it changed, else the pinned key,
    // else the key announced this run; empty when there is none.
    std::string safetyNumber(std::string_view name) const;
    // The user compared that safety number with the user in person: the key
    // is checked from now on (a changed key replaces the pinned one, a key
    // under a name of a copy without keys is pinned). False when there was
    // nothing to check.
    bool markChecked(std::string_view name);
    // The user keeps the pinned key: the key announced in its place is dropped.
    bool keepKnownKey(std::string_view name);
    // A user left, or the roster was emptied: what was heard of them this
    // session is void (a presence lists them unconfirmed again).
    void forget(std::string_view name);
    void forgetSessions();
    const PinStore& pins() const { return pins_; }
    void savePins();
    // The sequence numbers seen, written beside the known keys.
    void saveSeen();
    // Windows of keys nobody pinned are kept at most this many; beyond it
    // they are dropped (an announcement with a made-up key costs nothing).
    static constexpr std::size_t kMaxUnpinnedWindows = 4096;

    // Pieces of the wire format, for tests and fuzzing.
    static std::string WarningText(const std::string& name);

private:
    struct Peer {
        // As announced this session by the pinned key (by any key for a name
        // nobody pinned): what private messages are sealed to and checked by.
        std::string signPublic;
        std::string boxPublic;
        std::string caps;
        std::string ephemeral;          // as announced this session, with signPublic
        std::string previousEphemeral;  // the one before, for what was sealed just before the change
        std::uint32_t ephemeralAt = 0;  // when it changed
        // Announced by another key than the pinned one: takes effect only
        // when the user accepts that key.
        std::string offeredSign;
        std::string offeredBox;
        std::string offeredCaps;
        std::string offeredEphemeral;
        bool confirmed = false;  // something signed by the pinned key was taken since listed
        bool conflict = false;   // announced under a name heard from a copy without keys
        // Another key than the one that made room under the name (PinStore::Former).
        bool formerChanged = false;
        bool pinWaits = false;  // not pinned yet: the limits of new pins
        IpAddress from;         // the address its announcement came from
    };
    // A name listed without a key known for it.
    struct Listed {
        std::uint32_t at = 0;  // when listed
        IpAddress source;      // the address of its first datagram
        // Its first datagram of a kind our copies sign: when, its hash, and
        // whether a companion under the name came with it.
        std::uint32_t unsignedAt = 0;
        bool unsignedSeen = false;
        bool accompanied = false;
        std::string firstHash;
    };
    struct RenameWait {
        std::uint32_t at = 0;  // the last rename told
        bool told = false;
        std::string from, to;  // renamed since, not told yet
        bool queued = false;
    };
    struct Challenge {
        std::string name;  // lower case
        IpAddress address;
        std::uint32_t at = 0;
    };
    struct Held {
        std::string bytes;
        std::string hash;
        std::string senderKey;  // lower case
        std::uint64_t serial = 0;
    };
    struct Early {
        std::string senderKey;
        std::uint32_t at = 0;
    };
    struct Outgoing {
        std::string bytes;  // empty: nothing could be sealed as the recipient takes it yet
        DeliveryReport report;
        std::size_t repeats = 0;
        std::string receiptKey;  // sealed under ephemeral keys: what opens its receipt
        // Kept (as on the wire) while it is not sealed under ephemeral keys:
        // a repeat seals it so once the recipient's ephemeral key is heard.
        std::string plain;
    };
    struct Ephemeral {
        std::string publicKey;
        std::string secretKey;
    };

    std::uint64_t nextSeq();
    // Seals `o.plain` for its recipient under ephemeral keys when the
    // pinned key announced one this session, else under the static keys
    // when that key never announced one; else leaves `o.bytes` empty.
    // False when there is no key to seal with.
    bool seal(Outgoing& o, std::uint64_t seq);
    // The pinned key of the name announced ephemeral keys, this session or
    // before: only messages sealed under them are taken from it.
    bool takesEphemeralOnly(const std::string& lowerName) const;
    // Announces, asking the user for his keys (at most once per kAskEveryMs per name).
    void askForKeys(const std::string& nameUtf8);
    std::string companionFor(const std::vector<std::string_view>& wireBytes);
    // The key pinned for a sender's datagrams (ours for our own name).
    const std::string* verifyKeyFor(const std::string& senderKey) const;
    bool isOwn(std::string_view lowerName) const { return lowerName == myKey_ || lowerName == userKey_; }
    void onAnnounce(std::string_view sender, std::string_view bytes, std::string_view payload);
    // The announcement of `name`, signed by `signKey`, names `former` as its
    // name before: moves the pin of `former` to `name` when that key is it
    // (true when it moved).
    bool carryOver(const std::string& former, const std::string& name, const std::string& signKey);
    void onCompanion(std::string_view sender, std::string_view payload);
    void onEncrypted(std::string_view sender, std::string_view payload);
    void onReceipt(std::string_view sender, std::string_view payload);
    void release(std::uint64_t serial, Trust trust);
    void scheduleRetry(std::uint64_t id);
    void sendReceipt(std::string_view senderWire, const std::string& key, std::uint64_t seq, bool ephemeral);
    void onEncryptedEphemeral(std::string_view senderWire, std::string_view recipientWire, std::string_view b64);
    // Takes a private message that opened; sends or repeats its receipt.
    void takePrivate(std::string_view senderWire, const std::string& sender, std::string& plain, Trust trust,
                     std::uint64_t seq, std::string& receiptKey, bool ephemeral, const std::string& openedBy);
    // A private message numbered below the pinned key's window, or far from
    // our clock from a sender whose clock was logged already: refused
    // before anything is opened.
    bool refusedBeforeOpening(const std::string& senderUtf8, const PinStore::Pin* pin, std::uint64_t seq);
    // Our announcement again, at most once per kAskEveryMs: for a user
    // who missed our keys.
    void announceAtPace();
    void eraseOutgoing(std::map<std::uint64_t, Outgoing>::iterator it);
    void checkEphemeralAge();
    // The keys between us and a peer for the ephemeral keys of both: four
    // X25519 operations the first time, remembered (and `keep`: only once
    // they opened something) until our ephemeral key they use is erased.
    std::optional<crypto::PrivateKeys> privateKeys(bool asSender, const Ephemeral& mine, const std::string& theirStatic,
                                                   const std::string& theirEphemeral);
    void rememberKeys(bool asSender, const Ephemeral& mine, const std::string& theirStatic,
                      const std::string& theirEphemeral, const crypto::PrivateKeys& keys);
    void forgetKeys();
    // Signed at a time within kMaxSkewMicros of ours; a sender whose clock
    // is off is logged once.
    bool fresh(const std::string& senderUtf8, std::uint64_t seq);
    // The pinned key signed something just now.
    void confirm(const std::string& senderUtf8);
    // ... and it came from the current source (never a replay).
    void verifiedFrom(const std::string& senderUtf8);
    // A name heard from a copy without keys, this run or remembered.
    bool keyless(const std::string& lowerName) const;
    void sweepKeyless();
    void scheduleSweep(std::uint32_t ms);
    bool pinAllowed(IpAddress address);
    void pinWaiting();
    void schedulePinRetry();
    // Whether a name of a copy without keys may be newly remembered now.
    bool noteAllowed(IpAddress address);
    // A datagram our copies sign came under a name without a key (see
    // kUnsignedGraceMs); a companion under one.
    void noteUnsigned(const std::string& lowerName, std::string_view bytes);
    void noteCompanion(const std::string& lowerName, std::string_view payload);
    void tellRename(const std::string& signKey);
    void onChallenge(std::string_view senderWire, std::string_view payload);
    void onAnswer(std::string_view senderWire, std::string_view payload);
    bool challengeAllowed();
    // A number no signature can make acceptable (seen, below the window,
    // or long behind our clock once said): refused before checking one.
    bool refusedUnchecked(const std::string& senderUtf8, const std::string& signKey, std::uint64_t seq,
                          std::string_view what);
    // Within the budgets of kVerifyBurst and kVerifyAllBurst (spends one)
    // for a check by `signKey` (empty: no key of the name is known) of
    // what came from the current source.
    bool verifyAllowed(const std::string& signKey, const std::string& senderUtf8);
    // The key's signature was verified, fresh, from the current source.
    void proven(const std::string& signKey);
    std::int64_t nowSeconds() const;
    void showState(const std::string& senderUtf8);
    void dropOwnPins();
    void pinsChanged();
    void seenChanged();
    // Writes a file once after `ms`, however often it changed meanwhile.
    void saveLater(bool& queued, std::uint32_t ms, void (SecureLink::*save)());
    ReplayWindow& signedWindow(const std::string& key);
    // The window of private messages opened with an agreement key.
    ReplayWindow& privateWindow(const std::string& boxKey);
    // A window as far as our clock explains it: one whose highest number
    // is further ahead of our clock than anything fresh is started again
    // (nothing it holds could be taken anyway). Null when there is none.
    ReplayWindow* liveWindow(std::unordered_map<std::string, ReplayWindow>& windows, const std::string& key);
    // Judged on the clock as last read (what is fresh and what we sign
    // read it), read again only for a number beyond that: a flood of
    // played-back numbers costs no clock reading each.
    bool aheadOfClock(std::uint64_t seq);
    void sayClockWasAhead(std::uint64_t top);
    void log(std::string_view kind, const std::string& line);

    Identity id_;
    PinStore pins_;
    std::filesystem::path pinsFile_;
    Hooks hooks_;
    std::string myName_;                      // UTF-8
    std::string myWire_;                      // as on the wire
    std::string myKey_;                       // lower case
    std::string userKey_;                     // lower case
    std::vector<std::string> previousNames_;  // UTF-8, newest first
    std::string caps_{secure::kCapabilities};
    std::function<void(const std::string&)> firstAnnounce_;
    bool active_ = false;
    // Announces no ephemeral key and none of the newer items, and seals as the build before did.
    const bool previousBuild_;
    Ephemeral ephemeral_;
    Ephemeral previousEphemeral_;  // until kEphemeralGraceMs after the change
    std::uint32_t ephemeralAt_ = 0;
    std::uint64_t ephemeralGeneration_ = 0;
    bool ephemeralCheckQueued_ = false;
    std::unordered_map<std::string, crypto::PrivateKeys> derived_;
    bool pinsDirty_ = false;
    bool pinsSaveQueued_ = false;
    bool pinsReadOnly_ = false;
    bool seenDirty_ = false;
    std::string seenSaved_;  // what the file holds, as last written
    bool seenSaveQueued_ = false;
    bool sweepQueued_ = false;
    bool sweeping_ = false;
    bool sweptOnce_ = false;
    std::uint32_t lastSweep_ = 0;
    std::uint64_t seq_ = 0;
    std::uint64_t heldSerial_ = 0;
    std::unordered_map<std::string, Peer> peers_;                // by lower-case name
    std::unordered_map<std::string, ReplayWindow> signedSeen_;   // by signing key
    std::unordered_map<std::string, ReplayWindow> privateSeen_;  // by the sender's agreement key
    std::deque<Held> held_;
    std::uint64_t releasing_ = 0;                   // the held datagram being processed now (0: none)
    std::unordered_map<std::string, Early> early_;  // companions heard before their datagram, by hash
    std::map<std::uint64_t, Outgoing> outgoing_;
    std::unordered_map<std::string, Listed> listedKeyless_;  // by lower-case name
    // The name and hash of the datagram being handled, when it may list a
    // name that has no key: noteListed takes them.
    std::string unlistedName_, unlistedHash_;
    KeyedLimiter<IpAddress> pinLimit_{{kPinBurst, kPinRefillMs}, {kPinAllBurst, kPinAllRefillMs}};  // by sender address
    std::deque<std::string> pinQueue_;  // lower-case names whose pin waits
    bool pinRetryQueued_ = false;
    KeyedLimiter<IpAddress> noteLimit_{{kNoteBurst, kNoteRefillMs},
                                       {kNoteAllBurst, kNoteAllRefillMs}};  // by sender address
    std::unordered_map<std::string, RenameWait> renames_;                   // by signing key
    std::string challengeFor_;
    std::unordered_map<std::string, Challenge> challenges_;  // by nonce
    // When each name and address was challenged last.
    std::unordered_map<std::string, std::uint32_t> challenged_;
    TokenBucket challengeRate_{kChallengeBurst, kChallengeRefillMs};
    VerifyBudget verifyBudget_{{kVerifyBurst, kVerifyPerSecond},
                               {kVerifyAllBurst, kVerifyAllPerSecond},
                               kVerifyReserve};
    bool clockAheadSaid_ = false;
    std::uint64_t clockRead_ = 0;                             // this computer's clock when last read here
    std::unordered_map<std::string, std::uint32_t> askedAt_;  // lower-case name -> when we asked
    std::uint32_t lastAskAt_ = 0;
    bool askedOnce_ = false;
    std::string asking_;  // the name the announcement being made asks for his keys
    std::uint32_t askAnsweredAt_ = 0;
    bool askAnswered_ = false;
    std::unordered_set<std::string> skewLogged_;  // lower-case names
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace lanyx
