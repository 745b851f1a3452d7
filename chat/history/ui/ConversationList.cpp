#include "ConversationList.h"

#include "Text.h"

#include <algorithm>

namespace lanyx::ui {

std::vector<ConversationItem> ListConversations(const std::vector<history::Conversation>& kept,
                                                const std::vector<std::string>& knownAway,
                                                const std::map<std::string, int>& unread) {
    using history::Scope;
    std::vector<ConversationItem> out;
    const auto isAway = [&](const std::string& name) {
        return std::any_of(knownAway.begin(), knownAway.end(),
                           [&](const std::string& a) { return equalsNoCase(a, name); });
    };
    for (const auto& c : kept) {
        ConversationItem item;
        item.key = c.scope.key;
        item.title = c.title;
        item.lastSpeaker = c.lastSpeaker;
        item.lastText = c.lastText;
        item.lastTimeMs = c.lastTimeMs;
        switch (c.scope.type) {
        case Scope::Type::Everybody:
            item.kind = ConversationItem::Kind::Everybody;
            item.list = "(All)|";
            break;
        case Scope::Type::Group:
            item.kind = ConversationItem::Kind::Chat;
            if (history::IsRoomKey(c.scope.key)) item.roomId = c.scope.key.substr(1);
            else
                for (const auto& m : history::TagMembers(c.scope.key)) item.list += m + "|";
            break;
        case Scope::Type::Person:
            item.list = c.title + "|";
            item.away = isAway(c.title);
            break;
        default: continue;
        }
        if (const auto it = unread.find(item.key); it != unread.end()) item.unread = it->second;
        out.push_back(std::move(item));
    }
    std::vector<std::string> rest;
    for (const auto& name : knownAway) {
        const auto key = toLower(name);
        const bool listed = std::any_of(out.begin(), out.end(), [&](const ConversationItem& i) {
            return i.kind == ConversationItem::Kind::Person && i.key == key;
        });
        if (!listed) rest.push_back(name);
    }
    std::sort(rest.begin(), rest.end(),
              [](const std::string& a, const std::string& b) { return toLower(a) < toLower(b); });
    for (const auto& name : rest) {
        ConversationItem item;
        item.key = toLower(name);
        item.title = name;
        item.away = true;
        item.list = name + "|";
        out.push_back(std::move(item));
    }
    return out;
}

}  // namespace lanyx::ui
