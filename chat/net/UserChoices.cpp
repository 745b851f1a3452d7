#include "UserChoices.h"

#include "ChatNode.h"

namespace lanyx {

bool UserChoices::block(const std::string& name) {
    return node_.users().AddBlocked(name);
}

void UserChoices::unblock(std::string_view name) {
    node_.users().RemoveBlock(name);
}

void UserChoices::toggleBlocked(const std::vector<std::string>& names) {
    auto& users = node_.users();
    users.beginBatch();
    try {
        node_.ToggleBlocked(names);
    } catch (...) {
        users.endBatch();
        throw;
    }
    users.endBatch();
}

void UserChoices::keepBlocked(const std::vector<std::string>& names) {
    node_.users().setBlocked(names);
}

void UserChoices::keepGroups(std::vector<std::string> groups) {
    node_.users().setGroups(std::move(groups));
}

void UserChoices::clearRoster() {
    node_.users().ClearlvUsers();
}

void UserChoices::keepOptions(const Options& chosen) {
    auto& s = node_.settings();
    if (chosen.language) s.Language = *chosen.language;
    if (chosen.colour) s.Colour = *chosen.colour;
    if (chosen.popupPosition) s.PopupPosition = *chosen.popupPosition;
    if (chosen.alertSound) s.AlertSound = *chosen.alertSound;
    s.Autostart = chosen.autostart ? 1 : 0;
}

void UserChoices::switchLanguage(const std::string& language, const std::function<void()>& then) {
    auto& s = node_.settings();
    const std::string before = s.Language;
    s.Language = language;
    try {
        node_.ReloadLanguage();
        if (then) then();
    } catch (...) {
        s.Language = before;
        throw;
    }
}

void UserChoices::keepChatPlace(const Geometry& place) {
    node_.settings().Chat = place;
}

}  // namespace lanyx
