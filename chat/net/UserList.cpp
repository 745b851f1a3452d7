#include "UserList.h"

#include "Error.h"
#include "Settings.h"
#include "Text.h"

#include <algorithm>
#include <functional>
#include <cstring>

namespace lanyx {

std::string UserList::rowText(std::size_t row) const {
    if (row == 0) return std::string(kAllRow);
    if (row <= users_.size()) return users_[row - 1].text;
    return groupRows_.at(row - 1 - users_.size());
}

int UserList::rowIcon(std::size_t row) const {
    if (row == 0) return IconAll;
    if (row <= users_.size()) return users_[row - 1].icon;
    return IconGroup;
}

std::uint32_t UserList::rowColour(std::size_t row) const {
    return (row >= 1 && row <= users_.size()) ? hot_[row - 1].colour : 0;
}

namespace {
std::uint32_t slotHash(std::uint64_t h) {
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}
}  // namespace

template <typename Match> std::optional<std::size_t> UserList::lookup(std::string_view name, Match match) const {
    if (index_.empty()) return std::nullopt;
    const auto hash = slotHash(hashNoCase(name));
    const std::size_t mask = index_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& s = index_[i];
        if (s.row1 == 0) return std::nullopt;
        if (s.hash == hash && match(s.row1 - 1)) return s.row1 - 1;
    }
}

std::optional<std::size_t> UserList::findExact(std::string_view name) const {
    // Rows with the same text have the same key, so the key's slot leads to it.
    return lookup(name, [&](std::size_t row) {
        const HotRow& h = hot_[row];
        if (h.nameLen > kInlineName) return users_[row].text == name;
        return h.nameLen == name.size() && std::memcmp(h.name, name.data(), name.size()) == 0;
    });
}

std::optional<std::size_t> UserList::findNoCase(std::string_view name) const {
    return lookup(name, [&](std::size_t row) { return lowerEquals(name, users_[row].key); });
}

void UserList::indexInsert(std::size_t row, std::uint32_t hash) {
    const std::size_t mask = index_.size() - 1;
    std::size_t i = hash & mask;
    while (index_[i].row1 != 0) i = (i + 1) & mask;
    index_[i] = Slot{hash, static_cast<std::uint32_t>(row + 1)};
}

void UserList::indexRebuild(std::size_t capacity) {
    index_.assign(capacity, Slot{});
    for (std::size_t r = 0; r < users_.size(); ++r) indexInsert(r, slotHash(hashNoCase(users_[r].key)));
}

void UserList::indexErase(std::size_t row) {
    const std::size_t mask = index_.size() - 1;
    const auto row1 = static_cast<std::uint32_t>(row + 1);
    std::size_t hole = slotHash(hashNoCase(users_[row].key)) & mask;
    while (index_[hole].row1 != row1) hole = (hole + 1) & mask;
    // Backward-shift deletion: move up every later entry of the probe run
    // whose home lies at or before the hole, so that no lookup stops early.
    for (std::size_t j = (hole + 1) & mask; index_[j].row1 != 0; j = (j + 1) & mask) {
        const std::size_t home = index_[j].hash & mask;
        if (((j - home) & mask) >= ((j - hole) & mask)) {
            index_[hole] = index_[j];
            hole = j;
        }
    }
    index_[hole] = Slot{};
}

void UserList::indexRenumber(std::size_t from, std::size_t to) {
    const std::size_t mask = index_.size() - 1;
    const auto row1 = static_cast<std::uint32_t>(from + 1);
    std::size_t i = slotHash(hashNoCase(users_[from].key)) & mask;
    while (index_[i].row1 != row1) i = (i + 1) & mask;
    index_[i].row1 = static_cast<std::uint32_t>(to + 1);
}

Result<std::size_t> UserList::tryAddUser(const std::string& name) {
    if (findNoCase(name)) return failure(Reason::NameListed);
    PeerRecord r;
    r.text = name;
    r.key = toLower(name);
    // A row that is not a user keeps the ordinary image, as the block list
    // only ever marks users.
    r.icon = (isUserText(name) && IsBlocked(name)) ? IconBlocked : IconUser;
    const std::size_t index = users_.size();
    // At most three quarters full: probe runs stay short, and a table for
    // ten thousand rows (128 KiB) stays in the cache.
    if ((index + 1) * 4 > index_.size() * 3) indexRebuild(std::max<std::size_t>(16, index_.size() * 2));
    indexInsert(index, slotHash(hashNoCase(r.key)));
    hot_.push_back(hotRowFor(r));
    users_.push_back(std::move(r));
    heard_.push_back(++heardCount_);
    queueSilent(index);
    notify([&](UserListObserver& o) { o.userAdded(index); });
    return index;
}

void UserList::removeUser(std::size_t index) {
    if (index >= users_.size()) return;
    notify([&](UserListObserver& o) { o.userAboutToBeRemoved(index); });
    const std::string name = users_[index].text;
    indexErase(index);
    // The last row takes the place of the removed one: constant time, so
    // that leave notices cost the same on a roster of any size.
    const std::size_t last = users_.size() - 1;
    if (index != last) {
        indexRenumber(last, index);
        users_[index] = std::move(users_[last]);
        hot_[index] = hot_[last];
        heard_[index] = heard_[last];
    }
    users_.pop_back();
    hot_.pop_back();
    heard_.pop_back();
    notify([&](UserListObserver& o) { o.userRemoved(name); });
}

UserList::HotRow UserList::hotRowFor(const PeerRecord& r) {
    HotRow h;
    h.colour = r.colour;
    h.status = r.status;
    if (r.text.size() <= kInlineName) {
        h.nameLen = static_cast<std::uint8_t>(r.text.size());
        std::memcpy(h.name, r.text.data(), r.text.size());
    } else {
        h.nameLen = kInlineName + 1;
    }
    return h;
}

void UserList::setColour(std::size_t index, std::uint32_t colour) {
    auto& r = users_.at(index);  // the row is only read when the colour changes
    auto& h = hot_[index];
    if (h.colour == colour) return;
    r.colour = h.colour = colour;
    notify([&](UserListObserver& o) { o.userChanged(index); });
}

void UserList::setStatus(std::size_t index, std::int16_t status, const std::string& text) {
    auto& r = users_.at(index);
    auto& h = hot_[index];
    if (h.status == status && r.statusText == text) return;
    r.status = h.status = status;
    r.statusText = text;
    notify([&](UserListObserver& o) { o.userChanged(index); });
}

void UserList::setKeyState(std::size_t index, KeyState state) {
    auto& r = users_.at(index);
    if (r.keyState == state) return;
    const bool wasVerified = keyHeard(r.keyState);
    r.keyState = state;
    if (wasVerified && !keyHeard(state)) queueSilent(index);
    notify([&](UserListObserver& o) { o.userChanged(index); });
}

void UserList::renameStatuses(const std::string (&names)[3]) {
    for (std::size_t i = 0; i < users_.size(); ++i) {
        auto& r = users_[i];
        if (r.status >= 0 && r.status <= 2 && r.statusText != names[r.status]) {
            r.statusText = names[r.status];
            notify([&](UserListObserver& o) { o.userChanged(i); });
        }
    }
}

void UserList::queueSilent(std::size_t row) {
    // Entries of rows gone since pile up only until the heap is rebuilt.
    if (silent_.size() > 2 * users_.size() + 1024) {
        silent_.clear();
        for (std::size_t r = 0; r < users_.size(); ++r)
            if (!keyHeard(users_[r].keyState)) silent_.push_back({heard_[r], users_[r].key});
        std::make_heap(silent_.begin(), silent_.end(), std::greater<>());
        return;  // the row is among them
    }
    silent_.push_back({heard_[row], users_[row].key});
    std::push_heap(silent_.begin(), silent_.end(), std::greater<>());
}

std::optional<std::size_t> UserList::longestSilentUnverified() {
    while (!silent_.empty()) {
        std::pop_heap(silent_.begin(), silent_.end(), std::greater<>());
        Silent top = std::move(silent_.back());
        silent_.pop_back();
        const auto row = findNoCase(top.key);
        if (!row || keyHeard(users_[*row].keyState)) continue;
        if (heard_[*row] != top.heard) {
            // Heard since: its place is further back.
            top.heard = heard_[*row];
            silent_.push_back(std::move(top));
            std::push_heap(silent_.begin(), silent_.end(), std::greater<>());
            continue;
        }
        // Still the longest silent: it stays queued until it is removed.
        silent_.push_back(std::move(top));
        std::push_heap(silent_.begin(), silent_.end(), std::greater<>());
        return row;
    }
    return std::nullopt;
}

void UserList::ClearlvUsers() {
    users_.clear();
    heard_.clear();
    silent_.clear();
    index_.clear();
    hot_.clear();
    // The group rows stay: a list without them would miscount its users.
    groupRows_.clear();
    for (const auto& g : groups_) groupRows_.push_back("(" + GetItem(g, 1) + ")");
    notify([](UserListObserver& o) { o.rowsReset(); });
}

void UserList::setGroups(std::vector<std::string> groups) {
    const std::size_t leftOut = groups.size() > kMaxGroups ? groups.size() - kMaxGroups : 0;
    if (leftOut) groups.resize(kMaxGroups);
    groups_ = std::move(groups);
    RefGroups();
    if (leftOut) notify([&](UserListObserver& o) { o.listFull(false, leftOut); });
}

void UserList::RefGroups() {
    groupRows_.clear();
    for (const auto& g : groups_) groupRows_.push_back("(" + GetItem(g, 1) + ")");
    notify([](UserListObserver& o) { o.groupRowsChanged(); });
}

std::string UserList::GetActiveGroupList(std::string_view label) const {
    std::string name(label);
    if (!name.empty() && name.front() == '(') name = name.size() >= 2 ? name.substr(1, name.size() - 2) : "";
    const auto it = std::find_if(groups_.begin(), groups_.end(),
                                 [&](const std::string& g) { return GetItem(g, 1) == name; });
    if (it == groups_.end()) return {};
    std::string result;
    const auto count = CountItems(*it);
    for (std::int32_t m = 2; m <= count; ++m) {
        const auto member = GetItem(*it, m);
        // Rows with this name: at most one user (keys are unique), plus
        // "(All)" or a group row when the member is spelled like one.
        if (equalsNoCase(member, kAllRow)) result += std::string(kAllRow) + "|";
        if (const auto u = findNoCase(member)) result += users_[*u].text + "|";
        for (const auto& row : groupRows_)
            if (equalsNoCase(row, member)) result += row + "|";
    }
    return result;
}

bool UserList::IsBlocked(std::string_view name) const {
    return !blockedKeys_.empty() && blockedKeys_.count(toLower(name)) > 0;
}

bool UserList::AddBlocked(const std::string& name) {
    // Any name heard can be blocked: the settings file keeps the ones it
    // cannot hold as they are escaped.
    if (trimBlanks(name).empty()) return false;
    if (IsBlocked(name)) return true;
    if (blocked_.size() >= kMaxBlockedNames) {
        notify([](UserListObserver& o) { o.listFull(true, 1); });
        return false;
    }
    blocked_.push_back(name);
    blockedKeys_.insert(toLower(name));
    RefBlock();
    return true;
}

void UserList::RemoveBlock(std::string_view name) {
    if (blocked_.empty()) return;
    const auto key = toLower(name);
    blocked_.erase(std::remove_if(blocked_.begin(), blocked_.end(),
                                  [&](const std::string& b) { return toLower(b) == key; }),
                   blocked_.end());
    blockedKeys_.erase(key);
    RefBlock();
}

void UserList::setBlocked(const std::vector<std::string>& names) {
    blocked_.clear();
    blockedKeys_.clear();
    std::size_t leftOut = 0;
    for (const auto& n : names) {
        auto key = toLower(n);
        if (n.empty() || blockedKeys_.count(key)) continue;
        if (blocked_.size() >= kMaxBlockedNames) {
            ++leftOut;
            continue;
        }
        blocked_.push_back(n);
        blockedKeys_.insert(std::move(key));
    }
    RefBlock();
    if (leftOut) notify([&](UserListObserver& o) { o.listFull(true, leftOut); });
}

bool UserList::inGroups(std::string_view name) const {
    for (const auto& g : groups_) {
        const auto count = CountItems(g);
        for (std::int32_t m = 2; m <= count; ++m)
            if (equalsNoCase(GetItem(g, m), name)) return true;
    }
    return false;
}

bool UserList::renameInLists(const std::string& from, const std::string& to) {
    bool groupsChanged = false;
    std::vector<std::string> groups = groups_;
    for (auto& g : groups) {
        const auto count = CountItems(g);
        bool had = false;
        std::string renamed = GetItem(g, 1) + "|";
        std::vector<std::string> members;
        for (std::int32_t m = 2; m <= count; ++m) {
            auto member = GetItem(g, m);
            if (equalsNoCase(member, from)) {
                had = true;
                member = to;
            }
            if (std::none_of(members.begin(), members.end(),
                             [&](const std::string& n) { return equalsNoCase(n, member); }))
                members.push_back(std::move(member));
        }
        if (!had) continue;
        for (const auto& m : members) renamed += m + "|";
        g = std::move(renamed);
        groupsChanged = true;
    }
    if (groupsChanged) setGroups(std::move(groups));
    if (!IsBlocked(from)) return groupsChanged;
    std::vector<std::string> blocked = blocked_;
    for (auto& b : blocked)
        if (equalsNoCase(b, from)) b = to;
    setBlocked(blocked);  // drops the old entry where the new name was blocked already
    return true;
}

void UserList::ToggleBlocked(const std::vector<std::string>& names) {
    std::unordered_set<std::string> unblock;
    std::vector<const std::string*> block;
    for (const auto& n : names) {
        auto key = toLower(n);
        if (trimBlanks(n).empty() || unblock.count(key)) continue;
        if (blockedKeys_.count(key)) {
            unblock.insert(std::move(key));
        } else {
            block.push_back(&n);
            blockedKeys_.insert(std::move(key));
        }
    }
    if (!unblock.empty()) {
        blocked_.erase(std::remove_if(blocked_.begin(), blocked_.end(),
                                      [&](const std::string& b) { return unblock.count(toLower(b)) > 0; }),
                       blocked_.end());
        for (const auto& k : unblock) blockedKeys_.erase(k);
    }
    // The unblocked make room first; what the list cannot take stays unblocked.
    std::size_t leftOut = 0;
    for (const auto* n : block) {
        if (blocked_.size() >= kMaxBlockedNames) {
            blockedKeys_.erase(toLower(*n));
            ++leftOut;
        } else {
            blocked_.push_back(*n);
        }
    }
    RefBlock();
    if (leftOut) notify([&](UserListObserver& o) { o.listFull(true, leftOut); });
}

void UserList::RefBlock() {
    for (std::size_t i = 0; i < users_.size(); ++i) {
        auto& r = users_[i];
        if (!isUserText(r.text)) continue;
        const int icon = IsBlocked(r.text) ? IconBlocked : IconUser;
        if (r.icon != icon) {
            r.icon = icon;
            notify([&](UserListObserver& o) { o.userChanged(i); });
        }
    }
    notify([](UserListObserver& o) { o.blockedChanged(); });
}

std::uint32_t UserList::GetColorForUName(std::string_view name) const {
    if (equalsNoCase(name, kAllRow)) return 0;
    const auto u = findNoCase(name);
    return u ? users_[*u].colour : 0;
}

bool UserList::IsNameTaken(std::string_view name, std::string_view myName) const {
    int rows = 0;
    if (equalsNoCase(name, kAllRow)) ++rows;
    if (findNoCase(name)) ++rows;
    for (const auto& row : groupRows_)
        if (equalsNoCase(row, name)) ++rows;
    return name == myName ? rows >= 2 : rows >= 1;
}

std::string UserList::StatusCaption(std::string_view words) const {
    const auto n = users_.size();
    const std::string word = GetItem(words, n == 1 ? 1 : 2);
    return " " + std::to_string(n) + " " + word + " " + GetItem(words, 3) + " (-" + std::to_string(blocked_.size()) +
           ")";
}

void UserList::removeObserver(UserListObserver* o) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), o), observers_.end());
}

bool NameAllowed(std::string_view name) {
    // Every character must pass: a blank or "|" in a name breaks the wire.
    if (name.empty()) return false;
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!ok) return false;
    }
    return true;
}

int NameRefusalText(Reason reason) {
    return reason == Reason::NameTaken ? 2204 : 2205;
}

}  // namespace lanyx
