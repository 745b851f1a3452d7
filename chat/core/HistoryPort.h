#pragma once
// Where what was said is kept: every message in and out and the end of every
// file transfer, handed over as it happens. The store behind it (a database
// with a writer thread of its own) is plugged in by the programs; the node
// only hands entries over and never waits for the disk.
#include <cstdint>
#include <string>
#include <string_view>

namespace lanyx {

// Stored as these numbers: never renumber.
enum class HistoryKind : std::uint8_t {
    Alert = 0,
    PrivateAlert = 1,
    Chat = 2,
    PrivateChat = 3,
    Box = 4,
    FileSent = 5,
    FileReceived = 6,
    TransferDeclined = 7,
    TransferCancelled = 8,
    TransferFailed = 9,
    // Lines of a sender without a verified key beyond what is kept of them:
    // `files` says how many, `bytes` their size, `text` the same in English
    // (what an earlier build shows of the row).
    NotKept = 10,
};
inline constexpr int kHistoryKinds = 11;

// As lanyx-cli listen names the kinds.
constexpr std::string_view HistoryKindName(HistoryKind kind) {
    switch (kind) {
    case HistoryKind::Alert: return "alert";
    case HistoryKind::PrivateAlert: return "private-alert";
    case HistoryKind::Chat: return "chat";
    case HistoryKind::PrivateChat: return "private-chat";
    case HistoryKind::Box: return "box";
    case HistoryKind::FileSent: return "file-sent";
    case HistoryKind::FileReceived: return "file-received";
    case HistoryKind::TransferDeclined: return "transfer-declined";
    case HistoryKind::TransferCancelled: return "transfer-cancelled";
    case HistoryKind::TransferFailed: return "transfer-failed";
    case HistoryKind::NotKept: return "not-kept";
    }
    return "unknown";
}

// To or from everybody: these show in the chat with "(All)".
constexpr bool IsPublicKind(HistoryKind kind) {
    return kind == HistoryKind::Alert || kind == HistoryKind::Chat;
}
constexpr bool IsChatKind(HistoryKind kind) {
    return kind == HistoryKind::Chat || kind == HistoryKind::PrivateChat;
}
constexpr bool IsTransferKind(HistoryKind kind) {
    return kind >= HistoryKind::FileSent && kind <= HistoryKind::TransferFailed;
}
// What a peer said: what the history keeps of a sender within bounds.
constexpr bool IsMessageKind(HistoryKind kind) {
    return kind <= HistoryKind::Box;
}

// How a message travelled. Stored as these numbers.
enum class HistoryTrust : std::uint8_t {
    Plain = 0,        // in the clear, under a name without a known key
    Encrypted = 1,    // sealed for one recipient
    Signed = 2,       // signed by the key known for the name
    NotVerified = 3,  // under a name with a known key, without its signature
};

// What became of a message of ours. Stored as these numbers.
enum class HistoryDelivery : std::uint8_t {
    None = 0,     // received, or to everybody
    Sent = 1,     // in the clear: the recipient's program does not confirm
    Waiting = 2,  // encrypted, not confirmed yet
    Delivered = 3,
    NotConfirmed = 4,
    Queued = 5,     // held until the recipient is seen
    Expired = 6,    // held, and given up
    Cancelled = 7,  // held, and taken back by the user
};

struct HistoryEntry {
    std::int64_t timeMs = 0;  // wall clock, ms since 1970 (UTC); 0: when recorded
    bool outgoing = false;
    std::string peer;  // the other user, or "(All)" for ours to everybody
    HistoryKind kind = HistoryKind::Chat;
    std::string text;  // UTF-8, as shown
    HistoryTrust trust = HistoryTrust::Plain;
    HistoryDelivery delivery = HistoryDelivery::None;
    std::uint64_t messageId = 0;  // ours: the id its delivery reports carry
    // A chat line of ours to several members: the others, lower case,
    // sorted, each followed by "|". Empty otherwise.
    std::string chat;
    std::uint64_t files = 0;  // transfers: how many files, how many bytes
    std::uint64_t bytes = 0;  // also: a message cut to what is kept, its full size
};

class HistoryRecorder {
public:
    virtual ~HistoryRecorder() = default;
    // Takes the entry and returns at once; the disk is someone else's wait.
    virtual void record(HistoryEntry entry) = 0;
    // A later report about a message of ours to `recipient`.
    virtual void delivery(std::uint64_t messageId, const std::string& recipient, HistoryDelivery state) = 0;
    // The user `from` is known as `to` now: the conversations follow.
    virtual void renamed(const std::string& /*from*/, const std::string& /*to*/) {}
    // Whether messages with the person of that name are kept (any case).
    virtual bool hasConversationWith(const std::string& /*name*/) const { return false; }
};

}  // namespace lanyx
