#pragma once
// Messages that wait for their recipient: a private alert or chat line to a
// user whose key is pinned, kept sealed to that key in the data folder until
// the user is next seen, the user takes it back, or it expires. The text is
// never on disk in the clear: it is sealed under the key this copy and the
// recipient share (X25519 of our secret and the pinned public key), so that
// only this copy (to send it) and the recipient could open it, and only
// while that is the key pinned for the name.
#include "HistoryPort.h"
#include "Identity.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace lanyx {

struct WaitingMessage {
    std::uint64_t id = 0;
    std::string recipient;                        // as addressed (UTF-8)
    HistoryKind kind = HistoryKind::PrivateChat;  // PrivateAlert or PrivateChat
    std::int64_t queuedMs = 0;
    std::int64_t expiresMs = 0;
    std::string boxPublic;  // the recipient's key it is sealed to (raw bytes)
    std::string sealed;     // nonce || ciphertext || tag
    std::string chat;       // the chat tag of a line to several, for the history
};

// A message that waited travels as kWaitedTag, its number, a blank and the
// message, to copies that announce kWaitedCapability: the recipient's copy
// takes each number once, also when the sender's copy sends it again after
// a restart (its file could not be written, or the receipt was lost).
inline constexpr std::string_view kWaitedTag = "lanyx-waited ";
inline constexpr std::string_view kWaitedCapability = "waited";

class Outbox {
public:
    static constexpr const char* kFileName = "Waiting.txt";
    static constexpr std::int64_t kDayMs = 24LL * 3600 * 1000;
    static constexpr std::int64_t kDefaultExpiryMs = 7 * kDayMs;
    static constexpr std::int64_t kMaxExpiryMs = 365 * kDayMs;
    // Messages waiting for one recipient at most, for all together, and the
    // longest text kept. All together also stay within what load() reads
    // back (kMaxFileBytes): a file written fuller would be kept aside whole
    // at the next start.
    static constexpr std::size_t kMaxWaitingFor = 1000;
    static constexpr std::size_t kMaxWaiting = 4000;
    static constexpr std::size_t kMaxTextBytes = 60000;
    static constexpr std::uintmax_t kMaxFileBytes = 16u << 20;

    // Why add() kept nothing.
    enum class Refused : std::uint8_t {
        None,
        NotPrivate,   // neither a private alert nor a private chat line
        NoRecipient,  // no name, or one that cannot be written
        TooLong,      // the text is longer than kMaxTextBytes
        FullFor,      // kMaxWaitingFor wait for this recipient already
        Full,         // the outbox holds all it keeps (kMaxWaiting, or kMaxFileBytes)
        NoKeys,       // this copy has no keys, or the recipient's key cannot be used
    };

    // Nothing is read or written until load().
    Outbox(std::filesystem::path dataDir, const Identity& me);

    // Reads the file (a missing one is an empty outbox). A file that cannot
    // be read is kept aside (renamed, never deleted) and the outbox starts
    // empty; `problem` says so for the user.
    bool load(std::string& problem);
    bool save(std::string& problem) const;

    // Keeps a message for `recipient`, sealed to the key pinned for it. The
    // id, or nothing with `why` for people and `refused` for the program.
    std::optional<std::uint64_t> add(const std::string& recipient, HistoryKind kind, const std::string& text,
                                     const PinStore::Pin& pin, std::int64_t nowMs, std::string* why = nullptr,
                                     const std::string& chat = {}, Refused* refused = nullptr);

    struct Due {
        WaitingMessage message;
        std::string text;  // opened, to be sent now
    };
    // What waits for `recipient` and can go to it now: sealed to `current`,
    // the key pinned for the name now. Messages sealed to another key stay
    // (they never go to a changed key) and are listed in `otherKey`.
    // At most `most`, oldest first, leaving out those `skip` names (they
    // are not opened: a backlog is opened a few at a time).
    std::vector<Due> dueFor(std::string_view recipient, const PinStore::Pin& current,
                            std::vector<WaitingMessage>* otherKey = nullptr, std::size_t most = SIZE_MAX,
                            const std::function<bool(std::uint64_t id)>& skip = {}) const;
    // Delivered (or taken back by the user): gone. False when not here.
    bool remove(std::uint64_t id);
    bool cancel(std::uint64_t id) { return remove(id); }
    // The recipient is known by another name now: what waits for `from`
    // waits for `to`, sealed anew to its new place. How many moved.
    std::size_t rename(std::string_view from, const std::string& to);
    // Those whose time ran out are taken out and returned, for the notice.
    std::vector<WaitingMessage> expire(std::int64_t nowMs);

    const std::vector<WaitingMessage>& all() const { return waiting_; }
    std::vector<WaitingMessage> waitingFor(std::string_view recipient) const;
    bool empty() const { return waiting_.empty(); }

    // How long a new message waits (the user's setting, kept in the file).
    std::int64_t expiryMs() const { return expiryMs_; }
    void setExpiryMs(std::int64_t ms);

    std::filesystem::path file() const { return dataDir_ / kFileName; }
    std::string toText() const;
    // Lines that make no sense are skipped and counted.
    static std::optional<Outbox> fromText(std::filesystem::path dataDir, const Identity& me, std::string_view text,
                                          std::size_t* skipped = nullptr);

private:
    std::optional<std::string> keyFor(const std::string& boxPublic) const;
    static std::string associated(const WaitingMessage& m);
    // What the message's line in the file takes at most.
    static std::uintmax_t lineBytes(const WaitingMessage& m);
    std::uintmax_t fileBytes() const;

    std::filesystem::path dataDir_;
    const Identity* me_;
    std::vector<WaitingMessage> waiting_;
    std::int64_t expiryMs_ = kDefaultExpiryMs;
};

// The messages that waited which this copy delivered, on the receiving side:
// each sender's number once (`Delivered.txt` beside the settings). The
// numbers are random and never leave their sealed messages, so nobody but
// the sender can name one; the newest kMaxKept are kept.
class DeliveredStore {
public:
    static constexpr const char* kFileName = "Delivered.txt";
    static constexpr std::size_t kMaxKept = 4096;

    // One entry: the sender's signing key (raw bytes) and the number it gave.
    static std::string entryOf(std::string_view signPublic, std::uint64_t id);
    bool has(const std::string& entry) const { return kept_.count(entry) > 0; }
    // Taken: the oldest goes beyond kMaxKept.
    void add(const std::string& entry);
    std::size_t size() const { return order_.size(); }

    std::string toText() const;
    // Lines that make no sense are skipped and counted.
    static DeliveredStore fromText(std::string_view text, std::size_t* skipped = nullptr);
    // A missing file is an empty store; one that cannot be read is too
    // (`problem` says so): it only ever keeps a second copy from showing.
    bool load(const std::filesystem::path& file, std::string& problem);
    bool save(const std::filesystem::path& file, std::string& problem) const;

private:
    std::deque<std::string> order_;
    std::unordered_set<std::string> kept_;
};

}  // namespace lanyx
