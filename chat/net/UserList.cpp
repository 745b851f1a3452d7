#include "UserList.h"

#include "RecordFile.h"
#include "Text.h"

#include <algorithm>

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
    return (row >= 1 && row <= users_.size()) ? users_[row - 1].colour : 0;
}

std::optional<std::size_t> UserList::findExact(std::string_view name) const {
    const auto it = byName_.find(std::string(name));
    if (it == byName_.end()) return std::nullopt;
    return it->second;
}

std::optional<std::size_t> UserList::findNoCase(std::string_view name) const {
    const auto it = byKey_.find(toLower(name));
    if (it == byKey_.end()) return std::nullopt;
    return it->second;
}

std::size_t UserList::addUser(const std::string& name) {
    PeerRecord r;
    r.text = name;
    r.key = toLower(name);
    if (byKey_.count(r.key)) throw LanyxError(err::KeyNotUnique, "Key is not unique in collection");
    // A row that is not a user keeps the ordinary image, as the block list
    // only ever marks users.
    r.icon = (isUserText(name) && IsBlocked(name)) ? IconBlocked : IconUser;
    const std::size_t index = users_.size();
    byName_.emplace(r.text, index);
    byKey_.emplace(r.key, index);
    users_.push_back(std::move(r));
    notify([&](UserListObserver& o) { o.userAdded(index); });
    return index;
}

void UserList::reindexFrom(std::size_t first) {
    for (std::size_t i = first; i < users_.size(); ++i) {
        byName_[users_[i].text] = i;
        byKey_[users_[i].key] = i;
    }
}

void UserList::removeUser(std::size_t index) {
    if (index >= users_.size()) return;
    notify([&](UserListObserver& o) { o.userAboutToBeRemoved(index); });
    const std::string name = users_[index].text;
    byName_.erase(users_[index].text);
    byKey_.erase(users_[index].key);
    users_.erase(users_.begin() + static_cast<std::ptrdiff_t>(index));
    reindexFrom(index);
    notify([&](UserListObserver& o) { o.userRemoved(name); });
}

void UserList::setColour(std::size_t index, std::uint32_t colour) {
    auto& r = users_.at(index);
    if (r.colour == colour) return;
    r.colour = colour;
    notify([&](UserListObserver& o) { o.userChanged(index); });
}

void UserList::setStatus(std::size_t index, std::int16_t status, const std::string& text) {
    auto& r = users_.at(index);
    if (r.status == status && r.statusText == text) return;
    r.status = status;
    r.statusText = text;
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

void UserList::ClearlvUsers() {
    users_.clear();
    byName_.clear();
    byKey_.clear();
    // The group rows stay: a list without them would miscount its users.
    groupRows_.clear();
    for (const auto& g : groups_) groupRows_.push_back("(" + GetItem(g, 1) + ")");
    notify([](UserListObserver& o) { o.rowsReset(); });
}

void UserList::setGroups(std::vector<std::string> groups) {
    groups_ = std::move(groups);
    RefGroups();
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

void UserList::AddBlocked(const std::string& name) {
    if (IsBlocked(name)) return;
    blocked_.push_back(name);
    blockedKeys_.insert(toLower(name));
    RefBlock();
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
    for (const auto& n : names) {
        const auto key = toLower(n);
        if (n.empty() || blockedKeys_.count(key)) continue;
        blocked_.push_back(n);
        blockedKeys_.insert(key);
    }
    RefBlock();
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

} // namespace lanyx
