#pragma once
// What was said, as one value from the wire to the windows, the history and
// the exports: a new attribute of a message is a field here, not a parameter
// threaded through every layer.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx {

// The history stores these numbers: never renumber. Whether a message went
// to one person or to everybody is part of its kind, as the history keeps it.
enum class MessageKind : std::uint8_t {
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
    // A picture said in the conversation: `text` is where it is kept,
    // `bytes` its size.
    Picture = 11,
};

// How a message travelled. Stored as these numbers.
enum class MessageTrust : std::uint8_t {
    Plain = 0,        // in the clear, under a name without a known key
    Encrypted = 1,    // sealed for one recipient
    Signed = 2,       // signed by the key known for the name
    NotVerified = 3,  // under a name with a known key, without its signature
};

// What became of a message of ours. Stored as these numbers.
enum class MessageDelivery : std::uint8_t {
    None = 0,     // received, or to everybody
    Sent = 1,     // in the clear: the recipient's program does not confirm
    Waiting = 2,  // encrypted, not confirmed yet
    Delivered = 3,
    NotConfirmed = 4,
    Queued = 5,     // held until the recipient is seen
    Expired = 6,    // held, and given up
    Cancelled = 7,  // held, and taken back by the user
};

// What the author of a line did to it later. Stored as these numbers.
enum class LineChange : std::uint8_t {
    None = 0,
    Edited = 1,   // its text is the new one
    Deleted = 2,  // its text is gone
};

// In front of the text of a message under a name with a pinned key that
// came without its signature, wherever it is shown.
inline constexpr std::string_view kNotVerifiedMark = "(not verified) ";

// The `chat` of a shared chat's lines: its id, whoever joins or leaves it.
// (Chats of several members without an id are tagged by their members.)
inline std::string RoomChatKey(std::string_view roomId) {
    std::string key = "#";
    for (const char c : roomId) key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return key;
}
inline bool IsRoomChatKey(std::string_view key) {
    return !key.empty() && key.front() == '#';
}
// A shared chat's id: 32 lower-case hexadecimal digits.
inline bool IsRoomIdText(std::string_view id) {
    return id.size() == 32 &&
           std::all_of(id.begin(), id.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

struct Message {
    std::int64_t timeMs = 0;  // wall clock, ms since 1970 (UTC); 0: when recorded
    bool outgoing = false;
    // The conversation: the other user (the sender of what we received),
    // or "(All)" for ours to everybody; with `chat` for a chat of several.
    std::string peer;
    MessageKind kind = MessageKind::Chat;
    std::string text;  // UTF-8, as said: without any mark
    MessageTrust trust = MessageTrust::Plain;
    // Under a name with a pinned key and without its signature, also when
    // it came sealed (its trust then says Encrypted): shown with the mark.
    bool notVerified = false;
    MessageDelivery delivery = MessageDelivery::None;
    // Ours: the id its delivery reports carry. Where an id for every
    // message (and replies to it) will go.
    std::uint64_t messageId = 0;
    // Between copies of ours: the line's own id, the same at the sender and
    // at every recipient (0: none came with it).
    std::uint64_t lineId = 0;
    // The line (its lineId) this one answers; 0: none.
    std::uint64_t replyTo = 0;
    // What its author did to the line after it was said.
    LineChange change = LineChange::None;
    // A chat line of ours to several members: the others, lower case,
    // sorted, each followed by "|". Empty otherwise.
    std::string chat;
    // The sender's colour (0x00BBGGRR, 0: none) as the roster has it when
    // the line comes; the windows' only, not kept.
    std::uint32_t colour = 0;
    // What travels with the message. Today the files of a transfer (how
    // many, how many bytes); pictures and files sent with a chat line join
    // here. Also: a message cut to what is kept, its full size.
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;

    bool isPrivate() const { return kind == MessageKind::PrivateAlert || kind == MessageKind::PrivateChat; }
    bool isAlert() const { return kind == MessageKind::Alert || kind == MessageKind::PrivateAlert; }
    bool isChatLine() const { return kind == MessageKind::Chat || kind == MessageKind::PrivateChat; }
    bool showsNotVerified() const { return !outgoing && (notVerified || trust == MessageTrust::NotVerified); }
};

// The text with the mark in front where it applies, in the mark's own words
// (windows in another language put theirs).
inline std::string MarkedText(const Message& message, std::string_view mark = kNotVerifiedMark) {
    return message.showsNotVerified() ? std::string(mark) + message.text : message.text;
}

// Who hears of every message shown to the user and every one of ours that
// left (not our own echoes, nothing while the network is closed): the
// history, plugged into the node by one registration.
class MessageObserver {
public:
    virtual ~MessageObserver() = default;
    // Takes it and returns at once: nobody waits for a disk here.
    virtual void message(const Message& m) = 0;
    // A later report about a message of ours to `recipient`.
    virtual void delivery(std::uint64_t /*messageId*/, const std::string& /*recipient*/, MessageDelivery /*state*/) {}
    // The user `from` is known as `to` now: the conversations follow.
    virtual void renamed(const std::string& /*from*/, const std::string& /*to*/) {}
    // Whether messages with the person of that name are kept (any case):
    // such a name is never forgotten, and a rename onto it is told.
    virtual bool hasConversationWith(const std::string& /*name*/) const { return false; }
};

// The observers plugged in, each told everything once, in the order they came.
class MessageObservers {
public:
    void add(MessageObserver* observer) {
        if (observer && std::find(list_.begin(), list_.end(), observer) == list_.end()) list_.push_back(observer);
    }
    void remove(MessageObserver* observer) { std::erase(list_, observer); }
    bool empty() const { return list_.empty(); }
    void message(const Message& m) const {
        for (auto* o : list_) o->message(m);
    }
    void delivery(std::uint64_t id, const std::string& recipient, MessageDelivery state) const {
        for (auto* o : list_) o->delivery(id, recipient, state);
    }
    void renamed(const std::string& from, const std::string& to) const {
        for (auto* o : list_) o->renamed(from, to);
    }
    bool knows(const std::string& name) const {
        return std::any_of(list_.begin(), list_.end(),
                           [&](const MessageObserver* o) { return o->hasConversationWith(name); });
    }

private:
    std::vector<MessageObserver*> list_;
};

}  // namespace lanyx
