#include "MessageRecords.h"

#include "MessageSink.h"
#include "Text.h"
#include "UserList.h"
#include "Wire.h"

namespace lanyx {

bool MessageRecords::left(std::string_view recipient) const {
    return !observers_.empty() && hooks_.networkOpen() && !recipient.empty() &&
           !equalsNoCase(recipient, hooks_.myName());
}

void MessageRecords::sentToAll(std::string_view payload) const {
    const bool alert = startsWith(payload, wire::AlertMark);
    if ((!alert && !startsWith(payload, wire::ChatMark)) || !left(UserList::kAllRow)) return;
    observers_.message(SentMessage(alert ? HistoryKind::Alert : HistoryKind::Chat, UserList::kAllRow,
                                   payload.substr((alert ? wire::AlertMark : wire::ChatMark).size()), nullptr, {},
                                   hooks_.signing()));
}

void MessageRecords::sentPrivate(std::string_view recipient, std::string_view message, const DeliveryReport& report,
                                 std::uint64_t lineId, std::string_view chatTag, std::uint64_t replyTo) const {
    if (!left(recipient)) return;
    const bool alert = startsWith(message, wire::AlertMark);
    if (!alert && !startsWith(message, wire::ChatMark)) return;
    auto m = SentMessage(alert ? HistoryKind::PrivateAlert : HistoryKind::PrivateChat, recipient,
                         message.substr((alert ? wire::AlertMark : wire::ChatMark).size()), &report, chatTag,
                         hooks_.signing());
    m.lineId = lineId;
    m.replyTo = replyTo;
    observers_.message(m);
}

void MessageRecords::received(const Message& message) const {
    if (!equalsNoCase(message.peer, hooks_.myName())) observers_.message(message);
}

}  // namespace lanyx
