#pragma once
// What the user decides in the windows about others and about this copy:
// whom to block, the groups, the language, the options chosen, where chat
// windows open. The roster and the settings are the node's; windows change
// them through these named decisions instead of reaching into them, so that
// what a decision needs besides (one batch for the roster's observers, the
// language read again or left as it was) is kept in one place.
#include "Settings.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx {

class ChatNode;

class UserChoices {
public:
    explicit UserChoices(ChatNode& node) : node_(node) {}

    // False when the name is not blocked now (empty, or the list is full).
    bool block(const std::string& name);
    void unblock(std::string_view name);
    // Blocks the names not blocked and unblocks the others; the roster's
    // observers see it as one batch.
    void toggleBlocked(const std::vector<std::string>& names);
    // The blocked list and the groups ("name|member|member|") as the user
    // left them in the options.
    void keepBlocked(const std::vector<std::string>& names);
    void keepGroups(std::vector<std::string> groups);
    // Empties the roster to "(All)" and the group rows.
    void clearRoster();

    // What the options window sets; what it leaves empty stays as it is.
    struct Options {
        std::optional<std::string> language;
        std::optional<std::uint32_t> colour;  // 0x00BBGGRR
        std::optional<std::int16_t> popupPosition;
        std::optional<std::string> alertSound;
        bool autostart = false;
    };
    void keepOptions(const Options& chosen);
    // Reads the language file's texts for `language`, then runs `then`
    // (windows take the new texts); where either fails the language before
    // stays and the failure is thrown on.
    void switchLanguage(const std::string& language, const std::function<void()>& then = {});
    // Where new chat windows open, in twips.
    void keepChatPlace(const Geometry& place);

private:
    ChatNode& node_;
};

}  // namespace lanyx
