#include "ReadMarks.h"

#include "LineHeader.h"
#include "Text.h"

namespace lanyx::readmarks {

namespace {
constexpr std::string_view kFormat = "1\n";
}

std::string ChatOf(const Message& m) {
    return m.chat.empty() ? toLower(m.peer) : m.chat;
}

ReadMarks::ReadMarks(ChatNode& node) : node_(node) {
    node_.registerCapability(*this);
    node_.addMessageObserver(this);
}

ReadMarks::~ReadMarks() {
    node_.removeMessageObserver(this);
    node_.unregisterCapability(*this);
}

void ReadMarks::seen(const std::string& sender, std::uint64_t lineId) {
    if (!telling_ || lineId == 0 || node_.CanTake(sender, kWord) != Reach::Yes) return;
    auto& told = told_[toLower(sender)];
    if (told == lineId) return;
    told = lineId;
    node_.SendSealed(kWord, sender, std::string(kFormat) + lineheader::IdText(lineId));
}

void ReadMarks::message(const Message& m) {
    if (!m.outgoing || m.lineId == 0 || !m.isChatLine() || !m.isPrivate()) return;
    auto [it, fresh] = sent_.try_emplace(m.lineId);
    if (fresh) {
        it->second.chat = ChatOf(m);
        order_.push_back(m.lineId);
        if (order_.size() > kRemembered) {
            sent_.erase(order_.front());
            order_.pop_front();
        }
    }
    it->second.to.insert(toLower(m.peer));
    lastOf_[it->second.chat] = m.lineId;
}

bool ReadMarks::message(const std::string& sender, const std::string& body, IpAddress) {
    if (body.substr(0, kFormat.size()) != kFormat) return true;
    const auto id = lineheader::ParseId(std::string_view(body).substr(kFormat.size()));
    if (!id) return true;
    // Only a recipient of that line marks it, and only the last line of
    // ours in its conversation is shown as seen.
    const auto it = sent_.find(*id);
    if (it == sent_.end() || !it->second.to.count(toLower(sender))) return true;
    const auto last = lastOf_.find(it->second.chat);
    if (last == lastOf_.end() || last->second != *id) return true;
    if (observer_) observer_->seenBy(it->second.chat, sender);
    return true;
}

}  // namespace lanyx::readmarks
