#include "TypingService.h"

#include "Text.h"

#include <algorithm>

namespace lanyx::typing {

namespace {

constexpr std::string_view kFormat = "1";
constexpr std::size_t kMaxShown = 256;  // senders typing at once, everywhere

}  // namespace

TypingService::TypingService(ChatNode& node) : node_(node) {
    node_.registerCapability(*this);
}

TypingService::~TypingService() {
    node_.unregisterCapability(*this);
}

void TypingService::typing(const std::vector<std::string>& members, const std::string& roomId) {
    const std::string chat = roomId.empty() ? std::string() : RoomChatKey(roomId);
    // One conversation with one person, or a chat by its id.
    std::string key = chat;
    if (key.empty())
        for (const auto& m : members)
            if (!equalsNoCase(m, node_.state().MyName)) key += toLower(m) + "|";
    const std::uint32_t now = node_.pump().ticks();
    const auto it = told_.find(key);
    if (it != told_.end() && now - it->second < kEveryMs) return;
    told_[key] = now;
    if (told_.size() > kMaxShown) told_.erase(told_.begin());
    const std::string body = std::string(kFormat) + "\n" + chat;
    for (const auto& m : members)
        if (!equalsNoCase(m, node_.state().MyName) && node_.CanTake(m, kWord) == Reach::Yes)
            node_.SendSealed(kWord, m, body);
}

bool TypingService::message(const std::string& sender, const std::string& body, IpAddress) {
    const auto nl = body.find('\n');
    if (nl == std::string::npos || std::string_view(body).substr(0, nl) != kFormat) return true;
    const std::string_view chat = std::string_view(body).substr(nl + 1);
    std::string key;
    if (chat.empty()) {
        key = toLower(sender);
    } else {
        // Only a member types in a shared chat.
        if (chat.front() != '#' || !IsRoomIdText(chat.substr(1)) || !inChat_ ||
            !inChat_(std::string(chat.substr(1)), sender))
            return true;
        key = std::string(chat);
    }
    const auto at = std::make_pair(key, toLower(sender));
    const bool fresh = !typing_.count(at);
    if (fresh && typing_.size() >= kMaxShown) return true;
    typing_[at] = {node_.pump().ticks() + kShownMs, sender};
    if (fresh) changed(key);
    expireSoon();
    return true;
}

void TypingService::lineFrom(const std::string& sender, const std::string& chat) {
    if (chat.empty()) {
        left(sender);  // where is not known: everywhere
        return;
    }
    if (typing_.erase({chat, toLower(sender)})) changed(chat);
}

void TypingService::left(const std::string& name) {
    std::vector<std::string> chats;
    for (auto it = typing_.begin(); it != typing_.end();)
        if (it->first.second == toLower(name)) {
            chats.push_back(it->first.first);
            it = typing_.erase(it);
        } else {
            ++it;
        }
    for (const auto& c : chats) changed(c);
}

std::vector<std::string> TypingService::typingIn(const std::string& chat) const {
    std::vector<std::string> who;
    for (const auto& [at, shown] : typing_)
        if (at.first == chat) who.push_back(shown.second);
    return who;
}

void TypingService::expireSoon() {
    if (std::exchange(expiring_, true)) return;
    const std::weak_ptr<int> alive = alive_;
    node_.pump().callAfter(500, [this, alive] {
        if (alive.expired()) return;
        expiring_ = false;
        expire();
    });
}

void TypingService::expire() {
    const std::uint32_t now = node_.pump().ticks();
    std::vector<std::string> chats;
    for (auto it = typing_.begin(); it != typing_.end();)
        if (static_cast<std::int32_t>(now - it->second.first) >= 0) {
            chats.push_back(it->first.first);
            it = typing_.erase(it);
        } else {
            ++it;
        }
    for (const auto& c : chats) changed(c);
    // Again while some are shown; a clock that stood still since the last
    // look (a pump that runs at once) gets no second look now.
    if (!typing_.empty() && now != lastLook_) expireSoon();
    lastLook_ = now;
}

void TypingService::changed(const std::string& chat) {
    if (observer_) observer_->typingChanged(chat, typingIn(chat));
}

}  // namespace lanyx::typing
