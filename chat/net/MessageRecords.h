#pragma once
// What the node tells its message observers (the history) of the messages
// that come and go: every one shown to the user, and every alert and chat
// line of ours that left. A closed network sends nothing; a line to the
// own name is the line itself coming back, kept once as received.
#include "Message.h"
#include "SecureLink.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lanyx {

class MessageRecords {
public:
    struct Hooks {
        std::function<const std::string&()> myName;
        std::function<bool()> networkOpen;
        // What we send to everybody is signed (a copy with keys, active).
        std::function<bool()> signing;
    };
    MessageRecords(const MessageObservers& observers, Hooks hooks) : observers_(observers), hooks_(std::move(hooks)) {}

    // Ours to everybody: `payload` with its mark.
    void sentToAll(std::string_view payload) const;
    // Ours to `recipient` (`message` with its mark), with its report.
    void sentPrivate(std::string_view recipient, std::string_view message, const DeliveryReport& report,
                     std::uint64_t lineId, std::string_view chatTag, std::uint64_t replyTo = 0) const;
    // Shown to the user.
    void received(const Message& message) const;

private:
    bool left(std::string_view recipient) const;

    const MessageObservers& observers_;
    Hooks hooks_;
};

}  // namespace lanyx
