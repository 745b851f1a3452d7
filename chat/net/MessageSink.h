#pragma once
// Where the node hands on what arrives and what became of what left, and
// the message values it builds for them.
#include "HistoryPort.h"
#include "Message.h"
#include "SecureLink.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace lanyx {

// A delivery report as the history keeps it.
constexpr HistoryDelivery HistoryDeliveryOf(const DeliveryReport& report) {
    switch (report.state) {
    case Delivery::Waiting: return HistoryDelivery::Waiting;
    case Delivery::Delivered: return HistoryDelivery::Delivered;
    case Delivery::NotConfirmed: return HistoryDelivery::NotConfirmed;
    case Delivery::Queued: return HistoryDelivery::Queued;
    // Nothing withheld is recorded: it never left.
    case Delivery::NoReceipts:
    case Delivery::Withheld:
    case Delivery::Local: break;
    }
    return HistoryDelivery::Sent;
}

// One of ours that left, as the history keeps it: with its report when
// it went to one user, else signed when `signedByUs`.
inline Message SentMessage(MessageKind kind, std::string_view recipient, std::string_view text,
                           const DeliveryReport* report, std::string_view chatTag, bool signedByUs) {
    Message m;
    m.outgoing = true;
    m.peer = std::string(recipient);
    m.kind = kind;
    m.text = std::string(text);
    m.chat = std::string(chatTag);
    if (report) {
        m.trust = report->encrypted ? MessageTrust::Encrypted : MessageTrust::Plain;
        m.delivery = HistoryDeliveryOf(*report);
        m.messageId = report->id;
    } else {
        m.trust = signedByUs ? MessageTrust::Signed : MessageTrust::Plain;
    }
    return m;
}

// One received, with what is known of it: `trust` of the datagram it came in.
inline Message ReceivedMessage(MessageKind kind, const std::string& sender, std::string text, bool notVerified,
                               bool encrypted, Trust trust) {
    Message m;
    m.peer = sender;
    m.kind = kind;
    m.text = std::move(text);
    m.notVerified = notVerified;
    m.trust = encrypted                  ? MessageTrust::Encrypted
              : notVerified              ? MessageTrust::NotVerified
              : trust == Trust::Verified ? MessageTrust::Signed
                                         : MessageTrust::Plain;
    return m;
}

// Where received messages go: alert popups and chat windows on the desktop,
// lines on standard output in the headless peer.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // An alert, a chat line (for the chat windows that hold the sender, or
    // a new one) or a plain message box titled with the sender's name,
    // with what is known of it: its text comes without the "not verified"
    // mark, which the sink puts where showsNotVerified(). The node asks for
    // at most one box per sender at a time, and for a few at most in all.
    virtual void show(const Message& message) = 0;
    // False (headless, or a modal box): the box is closed when show returns.
    // True: it stays open after show returns, and the sink calls
    // ChatNode::BoxClosed(sender) when the user closes it.
    virtual bool BoxStaysOpen() const { return false; }
    // What became of a private message sent: every message gets one report
    // when sent, an encrypted one another when confirmed or given up.
    virtual void PrivateDelivery(const DeliveryReport& /*report*/) {}
    // A user announced a key other than the one pinned for the name.
    virtual void KeyWarning(const std::string& /*name*/, const std::string& /*text*/) {}
    virtual void RemoveUserFromChats(const std::string& /*name*/) {}
    // A user renamed (announced by the same key): the user's chats, pin,
    // history, groups and waiting messages are under the new name now.
    virtual void UserRenamed(const std::string& /*from*/, const std::string& /*to*/) {}
    // ... onto a name the user has in a group or the history: another
    // person's, perhaps. Told before UserRenamed.
    virtual void RenamedOntoKnownName(const std::string& /*from*/, const std::string& /*to*/) {}
    virtual void RefreshChatUserLists() {}
    virtual void StatusCaptionChanged(const std::string& /*caption*/) {}
    // The list of blocked names (else the groups) holds all it keeps
    // (`cap`): `leftOut` more were not taken. Told once per list and run.
    virtual void ListFull(bool /*blockedList*/, std::size_t /*leftOut*/, std::size_t /*cap*/) {}
};

}  // namespace lanyx
