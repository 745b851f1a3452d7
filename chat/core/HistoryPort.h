#pragma once
// Where what was said is kept: every message in and out and the end of every
// file transfer, handed over as it happens. The store behind it (a database
// with a writer thread of its own) is plugged in by the programs; the node
// only hands entries over and never waits for the disk.
#include "Message.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lanyx {

// The store's names for the message's own: what it keeps of a message is
// the message.
using HistoryKind = MessageKind;
using HistoryTrust = MessageTrust;
using HistoryDelivery = MessageDelivery;
using HistoryEntry = Message;

inline constexpr int kHistoryKinds = 12;

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
    case HistoryKind::Picture: return "picture";
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

// The history as the node's observer: every message it reports is kept.
class HistoryRecorder : public MessageObserver {
public:
    // Takes the entry and returns at once; the disk is someone else's wait.
    virtual void record(HistoryEntry entry) = 0;
    void message(const Message& m) override { record(m); }
    // The author of the line `lineId` (`authorKey` in lower case; empty:
    // the user) changed it: it says `text` now, or nothing (Deleted).
    virtual void changeLine(std::uint64_t /*lineId*/, const std::string& /*authorKey*/, LineChange /*change*/,
                            const std::string& /*text*/) {}
};

}  // namespace lanyx
