#pragma once
// What the windows show of the roster beside the list itself: the status
// line's count and the chat windows' member lists, refreshed only when the
// roster changed and, inside a batch of datagrams, once at its end; and
// the notice that the blocked list or the groups are full, told once.
#include "MessageSink.h"
#include "Settings.h"
#include "UserList.h"

#include <functional>
#include <string>
#include <string_view>

namespace lanyx {

class RosterViews final : private UserListObserver {
public:
    struct Hooks {
        std::function<bool()> busy;     // datagrams are being taken in: refresh at the end
        std::function<void()> emptied;  // the roster was emptied (a join, a new name)
        std::function<void(std::string_view kind, const std::string& line)> log;
    };
    RosterViews(UserList& users, MessageSink& sink, Hooks hooks);
    ~RosterViews() override;
    RosterViews(const RosterViews&) = delete;
    RosterViews& operator=(const RosterViews&) = delete;

    // "user|users|online|" in the user's language.
    void setWords(std::string words);
    std::string caption() const { return users_.StatusCaption(words_); }
    // Tells the status line when its text changed.
    void updateCaption();
    // The end of a batch, or of a change made in steps: what changed is shown.
    void flush();
    // The start-up notice told already that the lists were full.
    void fullToldAtStart(bool blocked, bool groups) {
        blockedFullTold_ = blocked;
        groupsFullTold_ = groups;
    }

private:
    void request(bool caption, bool chats);
    void rowsReset() override;
    void userAdded(std::size_t) override { request(true, true); }
    void userRemoved(const std::string&) override { request(true, false); }
    void userChanged(std::size_t) override { request(false, true); }
    void blockedChanged() override { request(true, true); }
    void groupRowsChanged() override { request(true, false); }
    void listFull(bool blockedList, std::size_t leftOut) override;

    UserList& users_;
    MessageSink& sink_;
    Hooks hooks_;
    std::string words_;
    std::string caption_;
    bool captionDirty_ = false;
    bool chatsDirty_ = false;
    bool blockedFullTold_ = false;
    bool groupsFullTold_ = false;
};

}  // namespace lanyx
