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
#include <filesystem>
#include <optional>
#include <string>
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

class Outbox {
public:
    static constexpr const char* kFileName = "Waiting.txt";
    static constexpr std::int64_t kDayMs = 24LL * 3600 * 1000;
    static constexpr std::int64_t kDefaultExpiryMs = 7 * kDayMs;
    static constexpr std::int64_t kMaxExpiryMs = 365 * kDayMs;
    // Messages waiting at most, and the longest text kept.
    static constexpr std::size_t kMaxWaiting = 1000;
    static constexpr std::size_t kMaxTextBytes = 60000;

    // Nothing is read or written until load().
    Outbox(std::filesystem::path dataDir, const Identity& me);

    // Reads the file (a missing one is an empty outbox). A file that cannot
    // be read is kept aside (renamed, never deleted) and the outbox starts
    // empty; `problem` says so for the user.
    bool load(std::string& problem);
    bool save(std::string& problem) const;

    // Keeps a message for `recipient`, sealed to the key pinned for it. The
    // id, or nothing with `why` (no keys here, the outbox is full, the text
    // too long).
    std::optional<std::uint64_t> add(const std::string& recipient, HistoryKind kind, const std::string& text,
                                     const PinStore::Pin& pin, std::int64_t nowMs, std::string* why = nullptr,
                                     const std::string& chat = {});

    struct Due {
        WaitingMessage message;
        std::string text;  // opened, to be sent now
    };
    // What waits for `recipient` and can go to it now: sealed to `current`,
    // the key pinned for the name now. Messages sealed to another key stay
    // (they never go to a changed key) and are listed in `otherKey`.
    std::vector<Due> dueFor(std::string_view recipient, const PinStore::Pin& current,
                            std::vector<WaitingMessage>* otherKey = nullptr) const;
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

    std::filesystem::path dataDir_;
    const Identity* me_;
    std::vector<WaitingMessage> waiting_;
    std::int64_t expiryMs_ = kDefaultExpiryMs;
};

}  // namespace lanyx
