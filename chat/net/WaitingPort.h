#pragma once
// Messages that wait for users who are away (their room is chat/outbox)
// plug into the node here: the node asks it before a private line goes to
// a user who is not listed, tells it what the secure link reports and what
// becomes of each user's key, and lets it pass what arrives numbered.
#include "SecureLink.h"

#include <optional>
#include <string>
#include <string_view>

namespace lanyx {

class WaitingPort {
public:
    virtual ~WaitingPort() = default;
    // The copy has its keys and its data folder: what waited is read.
    virtual void keysReady() = 0;
    // A private alert or chat line (`message` with its mark) to `to`, whose
    // key is known and who is not listed: the report when it waits, or when
    // it cannot go at all; nothing when it goes the usual way.
    virtual std::optional<DeliveryReport> hold(const std::string& to, std::string_view message,
                                               std::string_view chatTag) = 0;
    // What the secure link reports: true when it is of a message that waited.
    virtual bool delivery(const DeliveryReport& report) = 0;
    // A user's key state as it is now shown.
    virtual void keyState(const std::string& name, KeyState state) = 0;
    // A private text from `sender`: false when it is one that waited and was
    // delivered before (to be confirmed, not shown). `body` is the text to
    // show; `entry`, when set, is to be passed to shown() once it was.
    virtual bool firstDelivery(const std::string& text, const std::string& sender, Trust trust, std::string_view& body,
                               std::string& entry) = 0;
    virtual void shown(const std::string& entry) = 0;
    // The key pinned for `from` announced itself as `to`.
    virtual void renamed(const std::string& from, const std::string& to) = 0;
    // Whether something waits for the name (lower case).
    virtual bool holds(const std::string& lowerName) const = 0;
};

}  // namespace lanyx
