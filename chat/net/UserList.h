#pragma once
// The roster and the main window's lists: the "(All)" row, one row per
// present user, one row per group; the group definitions and the blocked
// users. Windows show it through a UserListObserver.
#include "Error.h"
#include <cstdint>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace lanyx {

enum UserIcon : int { IconAll = 1, IconUser = 2, IconBlocked = 3, IconGroup = 4 };

// What the roster shows of a user's key.
enum class KeyState : std::uint8_t {
    NoKeys,       // no key known for the name: a copy without keys
    Unconfirmed,  // a key is pinned, but nothing it signed was heard since the user was listed
    New,          // the pinned key was heard; it was pinned on first contact, nobody checked it
    Checked,      // the pinned key was heard, and the user checked it
    Changed,      // another key was announced in place of the pinned one: waiting for the user
    Conflict,     // a key was announced under a name heard from a copy without keys: not pinned
};
// The key is the one pinned, and it was heard since the user was listed.
inline bool keyHeard(KeyState s) {
    return s == KeyState::New || s == KeyState::Checked;
}

struct PeerRecord {
    std::string text;  // the name as received
    std::string key;   // lower case; unique
    int icon = IconUser;
    bool checked = true;
    std::uint32_t colour = 0;  // 0x00BBGGRR
    std::int16_t status = -1;  // -1 until announced
    std::string statusText;
    KeyState keyState = KeyState::NoKeys;
};

class UserListObserver {
public:
    virtual ~UserListObserver() = default;
    virtual void rowsReset() {}
    virtual void userAdded(std::size_t /*userIndex*/) {}
    virtual void userAboutToBeRemoved(std::size_t /*userIndex*/) {}
    virtual void userRemoved(const std::string& /*name*/) {}
    virtual void userChanged(std::size_t /*userIndex*/) {}
    virtual void groupRowsChanged() {}
    virtual void blockedChanged() {}
    // Names to block or groups were left out: the list holds all it keeps.
    virtual void listFull(bool /*blockedList*/, std::size_t /*leftOut*/) {}
    // A batch of datagrams was taken in: views that held back the rows
    // added meanwhile show them now, as one range.
    virtual void batchEnded() {}
};

class UserList {
public:
    static constexpr std::string_view kAllRow = "(All)";

    // Rows as the user list shows them: 0 is "(All)", then users, then groups.
    std::size_t rowCount() const { return 1 + users_.size() + groupRows_.size(); }
    std::string rowText(std::size_t row) const;
    int rowIcon(std::size_t row) const;
    std::uint32_t rowColour(std::size_t row) const;
    // Rows whose text begins with "(" are never users.
    static bool isUserText(std::string_view text) { return text.empty() || text.front() != '('; }

    std::size_t userCount() const { return users_.size(); }
    const PeerRecord& user(std::size_t i) const { return users_[i]; }
    const std::vector<PeerRecord>& users() const { return users_; }
    std::optional<std::size_t> findExact(std::string_view name) const;
    std::optional<std::size_t> findNoCase(std::string_view name) const;

    // Refused (KeyNotUnique) when a listed name differs only in case.
    Result<std::size_t> tryAddUser(const std::string& name);
    // The same for names known to be new; throws LanyxError when one is not.
    std::size_t addUser(const std::string& name) { return tryAddUser(name).value(); }
    // The last user row takes the removed row's place (observers hear
    // userAboutToBeRemoved(index) while the rows are still as they were).
    void removeUser(std::size_t index);
    void setColour(std::size_t index, std::uint32_t colour);
    void setStatus(std::size_t index, std::int16_t status, const std::string& text);
    void setKeyState(std::size_t index, KeyState state);

    // Who was heard from lately, in order: every datagram of a listed
    // sender marks its row with the next number of a running count.
    void heardFrom(std::size_t index) { heard_[index] = ++heardCount_; }
    std::uint64_t heardCount() const { return heardCount_; }
    std::uint64_t lastHeard(std::size_t index) const { return heard_.at(index); }
    // The row of a name never verified (no key of it heard) that was not
    // heard from for the longest time; nothing when every row is verified.
    // Amortised constant time: it makes room for newcomers in a full roster
    // while a flood of names goes on.
    std::optional<std::size_t> longestSilentUnverified();
    // Re-applies the status names after a language change.
    void renameStatuses(const std::string (&names)[3]);

    // Empties the list to the "(All)" row and the group rows.
    void ClearlvUsers();

    // Group definitions ("name|member|member|").
    const std::vector<std::string>& groups() const { return groups_; }
    // Beyond kMaxGroups, the last ones are left out.
    void setGroups(std::vector<std::string> groups);
    void RefGroups();
    std::string GetActiveGroupList(std::string_view label) const;

    // Blocked users, unique without regard to case, at most kMaxBlockedNames:
    // names beyond it are left out (observers hear listFull).
    const std::vector<std::string>& blocked() const { return blocked_; }
    bool IsBlocked(std::string_view name) const;
    // False when not blocked now (empty, or the list is full).
    bool AddBlocked(const std::string& name);
    void RemoveBlock(std::string_view name);
    void setBlocked(const std::vector<std::string>& names);
    // A user known by another name now: groups and the blocked list name
    // the new one (once each). True when either list changed.
    bool renameInLists(const std::string& from, const std::string& to);
    // Whether a group holds the name (any case).
    bool inGroups(std::string_view name) const;
    // Blocks the names not blocked and unblocks the others, all in one pass
    // over the rows (the Block button on many selected rows).
    void ToggleBlocked(const std::vector<std::string>& names);

    std::uint32_t GetColorForUName(std::string_view name) const;
    // Rows equal to the name without regard to case; the own row counts, so
    // the own name is taken only when a second row has it.
    bool IsNameTaken(std::string_view name, std::string_view myName) const;
    // " 3 users online (-0)" from the "|"-terminated word list of the language.
    std::string StatusCaption(std::string_view words) const;

    // Between these, changes come from one batch of datagrams; observers
    // may gather what they show of them until endBatch().
    void beginBatch() { inBatch_ = true; }
    void endBatch() {
        if (!std::exchange(inBatch_, false)) return;
        notify([](UserListObserver& o) { o.batchEnded(); });
    }
    bool inBatch() const { return inBatch_; }

    void addObserver(UserListObserver* o) { observers_.push_back(o); }
    void removeObserver(UserListObserver* o);

private:
    void RefBlock();
    // The name index: open addressing over the rows, keyed by the lower-case
    // name, which is unique. A slot holds the key's hash and the row index + 1
    // (0: free). Compact, so that a roster of thousands stays in the cache.
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t row1 = 0;
    };
    template <typename Match> std::optional<std::size_t> lookup(std::string_view name, Match match) const;
    // What every datagram of a listed sender reads, one 32-byte entry per
    // row beside the rows: short names inline, colour and status. Mirrors
    // the rows' fields of the same names.
    static constexpr std::size_t kInlineName = 24;
    struct HotRow {
        std::uint32_t colour = 0;
        std::int16_t status = -1;
        std::uint8_t nameLen = 0;  // kInlineName + 1: longer, compare with the row
        std::uint8_t unused = 0;
        char name[kInlineName] = {};
    };
    static HotRow hotRowFor(const PeerRecord& r);
    void indexInsert(std::size_t row, std::uint32_t hash);
    void indexErase(std::size_t row);
    void indexRenumber(std::size_t from, std::size_t to);
    void indexRebuild(std::size_t capacity);
    template <typename F> void notify(F f) {
        for (auto* o : observers_) f(*o);
    }

    void queueSilent(std::size_t row);

    std::vector<PeerRecord> users_;
    std::vector<std::uint64_t> heard_;  // beside the rows
    std::uint64_t heardCount_ = 0;
    // Unverified rows by the number they were last heard at when queued
    // (smallest first); an entry whose row was heard since is queued again
    // with its new number when it comes up, one of a verified or removed
    // row is dropped then.
    struct Silent {
        std::uint64_t heard;
        std::string key;
        bool operator>(const Silent& o) const { return heard > o.heard; }
    };
    std::vector<Silent> silent_;  // a min-heap
    std::vector<Slot> index_;
    std::vector<HotRow> hot_;
    std::vector<std::string> groups_;
    std::vector<std::string> groupRows_;
    std::vector<std::string> blocked_;
    std::unordered_set<std::string> blockedKeys_;
    std::vector<UserListObserver*> observers_;
    bool inBatch_ = false;
};

// Whether a name holds only what a name may (a-z, A-Z, 0-9), taken or not.
bool NameAllowed(std::string_view name);
// The language file's text that says why a name was refused.
int NameRefusalText(Reason reason);

}  // namespace lanyx
