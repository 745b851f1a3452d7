#pragma once
// Private messages as the node sends them: sealed to a known key (with the
// line's id and its shared chat for a copy of ours), held for a user with a
// known key who is away, kept here when they go to the user's own name
// under keys, else in the clear as "P/". What became of each goes to the
// owner's hooks.
#include "Ports.h"
#include "SecureLink.h"
#include "WaitingPort.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace lanyx {

class PrivateLines {
public:
    struct Hooks {
        std::function<const std::string&()> myName;
        // The secure link (null for a copy without keys) and the room of
        // messages that wait (null when none plugged in), as they are now.
        std::function<SecureLink*()> secure;
        std::function<WaitingPort*()> waiting;
        std::function<bool(const std::string& name)> listed;
        std::function<bool()> networkOpen;
        // A datagram under our name, in the clear.
        std::function<void(std::string_view commandAndPayload)> sendPlain;
        // A line to ourselves, shown as its echo would be.
        std::function<void(const std::string& text)> showOwn;
        // Every report of a message that was sent, withheld or kept here.
        std::function<void(const DeliveryReport& report)> reported;
        // A message that left, for the history.
        std::function<void(std::string_view recipient, std::string_view message, const DeliveryReport& report,
                           std::uint64_t lineId, std::string_view chatTag, std::uint64_t replyTo)>
            left;
        std::function<void(const std::string& line)> log;
    };
    PrivateLines(EventPump& pump, Hooks hooks) : pump_(pump), hooks_(std::move(hooks)) {}

    // "recipient message"; see ChatNode::SendPrivate.
    DeliveryReport send(std::string_view recipientBlankMessage, std::string_view chatTag, std::uint64_t lineId,
                        std::uint64_t replyTo = 0);
    // A random line id, never 0.
    static std::uint64_t newLineId();

private:
    // As its echo would come: after the sender has taken its report.
    void keepHere(std::string text);

    EventPump& pump_;
    Hooks hooks_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // calls outliving this do nothing
};

}  // namespace lanyx
