#pragma once
// What our copies add between themselves, in datagrams of commands of their
// own that other copies ignore:
//   "K/"  announcement: version, capabilities and public keys, self-signed
//   "G/"  companion: the signature of one datagram (by its hash) with a
//         sequence number
//   "E/"  a private message, encrypted and authenticated for one recipient
//   "R/"  the recipient's receipt of one "E/"
// The node hands every datagram it sends and receives through here; held
// datagrams come back through the hooks once their companion arrived or
// their time ran out.
#include "Identity.h"
#include "UserList.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
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
};

struct DeliveryReport {
    std::uint64_t id = 0;  // the same for every report of one message
    std::string recipient;
    bool encrypted = false;
    Delivery state = Delivery::NoReceipts;
};

namespace secure {
inline constexpr std::string_view Announce = "K/";
inline constexpr std::string_view Companion = "G/";
inline constexpr std::string_view Encrypted = "E/";
inline constexpr std::string_view Receipt = "R/";
inline constexpr int kVersion = 1;
inline constexpr std::string_view kCapabilities = "sign,box,receipt";
// Announced besides those by a copy that takes file offers.
inline constexpr std::string_view kFilesCapability = "files";
// One companion signs up to this many datagrams sent one after another.
inline constexpr std::size_t kMaxSignedTogether = 4;
} // namespace secure

// Sequence numbers seen per key: the highest and the 64 below it.
class ReplayWindow {
public:
    ReplayWindow() = default;
    ReplayWindow(std::uint64_t top, std::uint64_t bits) : top_(top), bits_(bits) {}
    std::uint64_t top() const { return top_; }
    std::uint64_t bits() const { return bits_; }
    // True (and remembered) for a number not seen before and not too old.
    bool accept(std::uint64_t seq);
    bool seen(std::uint64_t seq) const;
    bool tooOld(std::uint64_t seq) const { return top_ >= 64 && seq <= top_ - 64; }

private:
    std::uint64_t top_ = 0;
    std::uint64_t bits_ = 0;  // bit i: top_ - i seen
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
        std::function<std::uint64_t()> wallMicros;  // seeds the sequence numbers
    };

    // How long a datagram under a pinned name waits for its companion.
    static constexpr std::uint32_t kHoldMs = 400;
    // Repeats of an unconfirmed private message, after these waits (ms).
    static constexpr std::uint32_t kRetryMs[] = {700, 1400, 2800};
    // After the last repeat, this long for a receipt before "not confirmed".
    static constexpr std::uint32_t kLastWaitMs = 1500;
    static constexpr std::size_t kMaxHeld = 4096;
    static constexpr std::size_t kMaxEarlySignatures = 4096;

    SecureLink(Identity identity, PinStore pins, std::filesystem::path pinsFile, Hooks hooks);
    ~SecureLink();
    SecureLink(const SecureLink&) = delete;
    SecureLink& operator=(const SecureLink&) = delete;

    // The name we send under (UTF-8). Under a probe name nothing of ours is
    // sent: other copies answer every datagram of a prober.
    void setMyName(const std::string& name);
    bool active() const { return active_; }

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
    // Our keys, for the transfer connections that prove them.
    const Identity& identity() const { return id_; }
    // A user announced keys this session for the first time (UTF-8 name).
    void setFirstAnnouncementHook(std::function<void(const std::string&)> hook) { firstAnnounce_ = std::move(hook); }
    bool canEncryptTo(std::string_view recipient) const;
    // Sends an encrypted private message (UTF-8, mark first) and repeats it
    // until confirmed. Nothing when the recipient has no usable key.
    std::optional<DeliveryReport> sendPrivate(const std::string& recipient, const std::string& message);
    // Test aid: the first transmission of the next private message is not sent.
    void dropNextPrivateForTest() { dropNext_ = true; }

    // Receiving. True when the datagram is taken care of here (held for
    // its companion); false when the node goes on with it, its trust in `trust`.
    bool incoming(std::string_view wireBytes, Trust& trust);

    KeyState stateOf(std::string_view name) const;
    // Fingerprints: ours, the pinned one of a name, and a new one it announced.
    std::string ownFingerprint() const;
    std::string pinnedFingerprint(std::string_view name) const;
    std::string announcedFingerprint(std::string_view name) const;
    // The user accepts the key a name announced in place of the pinned one.
    bool acceptNewKey(std::string_view name);
    // A verified leave: what was heard of the name this session is void.
    void forget(std::string_view name);
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
        KeyState state = KeyState::NoKeys;
        std::string signPublic;  // as announced this session
        std::string boxPublic;
        std::string caps;
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
        std::string bytes;
        DeliveryReport report;
        std::size_t repeats = 0;
    };

    std::uint64_t nextSeq();
    std::string companionFor(const std::vector<std::string_view>& wireBytes);
    // The key pinned for a sender's datagrams (none for our own name).
    const std::string* verifyKeyFor(const std::string& senderKey) const;
    void onAnnounce(std::string_view sender, std::string_view bytes, std::string_view payload);
    void onCompanion(std::string_view sender, std::string_view payload);
    void onEncrypted(std::string_view sender, std::string_view payload);
    void onReceipt(std::string_view sender, std::string_view payload);
    void release(std::uint64_t serial, Trust trust);
    void releaseExpired(std::uint64_t serial);
    void scheduleRetry(std::uint64_t id);
    void sendReceipt(std::string_view senderWire, const std::string& key, std::uint64_t seq);
    void setState(const std::string& senderUtf8, Peer& peer, KeyState state);
    void pinsChanged();
    void seenChanged();
    // Writes a file once after `ms`, however often it changed meanwhile.
    void saveLater(bool& queued, std::uint32_t ms, void (SecureLink::*save)());
    ReplayWindow& signedWindow(const std::string& key);
    void log(std::string_view kind, const std::string& line);

    Identity id_;
    PinStore pins_;
    std::filesystem::path pinsFile_;
    Hooks hooks_;
    std::string myName_;      // UTF-8
    std::string myWire_;      // as on the wire
    std::string myKey_;       // lower case
    std::string caps_{secure::kCapabilities};
    std::function<void(const std::string&)> firstAnnounce_;
    bool active_ = false;
    bool dropNext_ = false;
    bool pinsDirty_ = false;
    bool pinsSaveQueued_ = false;
    bool seenDirty_ = false;
    bool seenSaveQueued_ = false;
    std::uint64_t seq_ = 0;
    std::uint64_t heldSerial_ = 0;
    std::unordered_map<std::string, Peer> peers_;  // by lower-case name
    std::unordered_map<std::string, ReplayWindow> signedSeen_;   // by signing key
    std::unordered_map<std::string, ReplayWindow> privateSeen_;  // by sender's lower-case name
    std::deque<Held> held_;
    std::unordered_map<std::string, Early> early_;  // companions heard before their datagram, by hash
    std::map<std::uint64_t, Outgoing> outgoing_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace lanyx
