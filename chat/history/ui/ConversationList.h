#pragma once
// The list of the user's conversations beside the user list: every
// conversation the history keeps, newest first, with its unread lines and
// its newest line, then the known users who are away with none yet (what
// is written to them waits for them).
#include "HistoryStore.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace lanyx::ui {

struct ConversationItem {
    enum class Kind : std::uint8_t { Everybody, Person, Chat };
    Kind kind = Kind::Person;
    std::string key;          // the history's: "(all)", a name in lower case, a chat key
    std::string title;        // the name as last seen, or the members
    std::string lastSpeaker;  // of its newest line; empty: the user
    std::string lastText;
    std::int64_t lastTimeMs = 0;  // 0: nothing kept yet
    int unread = 0;
    bool away = false;  // a known user not on the network
    // What a chat window opens on: its members ("bob|carl|"), or the
    // shared chat's id.
    std::string list;
    std::string roomId;
    bool operator==(const ConversationItem&) const = default;
};

// `knownAway`: the names whose key is known and who are not listed;
// `unread`: lines not read yet, by the history's key.
std::vector<ConversationItem> ListConversations(const std::vector<history::Conversation>& kept,
                                                const std::vector<std::string>& knownAway,
                                                const std::map<std::string, int>& unread);

}  // namespace lanyx::ui
