#include "PrivateLines.h"

#include "Crypto.h"
#include "EventLog.h"
#include "LineHeader.h"
#include "Message.h"
#include "Text.h"
#include "Wire.h"

namespace lanyx {

std::uint64_t PrivateLines::newLineId() {
    std::uint64_t id = 0;
    while (id == 0) {
        const auto bytes = crypto::RandomBytes(sizeof id);
        for (const char b : bytes) id = (id << 8) | static_cast<unsigned char>(b);
    }
    return id;
}

DeliveryReport PrivateLines::send(std::string_view argument, std::string_view chatTag, std::uint64_t lineId,
                                  std::uint64_t replyTo) {
    std::string_view recipient;
    std::string_view message;
    const auto blank = argument.find(' ');
    if (blank != std::string_view::npos) {
        recipient = trimBlanks(argument.substr(0, blank));
        message = trimBlanks(argument.substr(blank + 1));
    }
    const std::string to(recipient);
    auto* secure = hooks_.secure();
    if (secure && secure->active() && !message.empty() && equalsNoCase(to, hooks_.myName())) {
        // Our own copy of a line to several users (a chat window holds its
        // own name): in the clear on the wire it would give away what went
        // sealed to the others. Nobody else takes it: it stays here.
        keepHere(std::string(message));
        DeliveryReport report{0, to, true, Delivery::Local};
        hooks_.reported(report);
        return report;
    }
    if (secure && secure->hasKey(to)) {
        // Not here: it waits, sealed to the known key, until the user is.
        auto* waiting = hooks_.waiting();
        if (!message.empty() && !hooks_.listed(to) && waiting)
            if (auto report = waiting->hold(to, message, chatTag)) return *report;
        // A known key: sealed to it, or not sent at all.
        Withheld why = Withheld::Offline;
        // A copy of ours learns the line's id, and the shared chat it is in.
        std::string sealed(message);
        if (secure->takesLineHeaders(to)) {
            if (lineId == 0) lineId = newLineId();
            lineheader::Header header{lineId, {}, replyTo};
            if (IsRoomChatKey(chatTag)) header.room = std::string(chatTag.substr(1));
            sealed = lineheader::Encode(header) + sealed;
        }
        if (hooks_.networkOpen())
            if (auto report = secure->sendPrivate(to, sealed, &why)) {
                hooks_.reported(*report);
                hooks_.left(recipient, message, *report, lineId, chatTag, replyTo);
                return *report;
            }
        DeliveryReport report{0, to, false, Delivery::Withheld, why};
        if (why == Withheld::KeyChanged)
            hooks_.log("Private message to " + forLog(to) + " not sent: the key announced for the name changed");
        hooks_.reported(report);
        return report;
    }
    std::string text(wire::PrivateMessage);
    text += message;
    text += '|';
    text += recipient;
    hooks_.sendPlain(text);
    DeliveryReport report{0, to, false, Delivery::NoReceipts};
    if (!recipient.empty()) hooks_.reported(report);
    hooks_.left(recipient, message, report, 0, chatTag, 0);
    return report;
}

void PrivateLines::keepHere(std::string text) {
    const std::weak_ptr<int> alive = alive_;
    pump_.callAfter(0, [this, alive, text = std::move(text)] {
        if (!alive.expired()) hooks_.showOwn(text);
    });
}

}  // namespace lanyx
