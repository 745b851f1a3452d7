#include "Recipients.h"

#include "ChatNode.h"
#include "HistoryStore.h"
#include "Text.h"
#include "UserList.h"
#include "Wire.h"

#include <algorithm>

namespace lanyx::ui {

bool NameList::IsUserPresent(std::string_view name) const {
    return std::any_of(names_.begin(), names_.end(), [&](const std::string& n) { return equalsNoCase(n, name); });
}

bool NameList::hasAll() const {
    return IsUserPresent(UserList::kAllRow);
}

bool ComposeRecipients::AddUser(const std::string& name) {
    if (IsUserPresent(name)) return false;
    const bool all = equalsNoCase(name, UserList::kAllRow);
    if (!all && hasAll()) return false;  // everybody takes no single names
    if (all) names_.clear();             // everybody replaces single names
    names_.push_back(name);
    return true;
}

bool ComposeRecipients::Send(ChatNode& node, const std::string& message, std::vector<DeliveryReport>* reports) const {
    if (trimBlanks(message).empty()) return false;
    const std::string mark(wire::AlertMark);
    if (hasAll()) {
        node.SendToAll(mark + message);
        node.WriteLog("alert sent to all");
        return true;
    }
    for (const auto& name : names_) {
        auto report = node.SendPrivate(name + " " + mark + message);
        if (reports) reports->push_back(std::move(report));
        node.WriteLog("Private alert sent to " + name);
    }
    return true;
}

bool ChatMembers::AddUser(const std::string& name) {
    if (IsUserPresent(name)) return false;
    names_.push_back(name);
    return true;
}

bool ChatMembers::RemoveUser(std::string_view name) {
    const auto it = std::find_if(names_.begin(), names_.end(),
                                 [&](const std::string& n) { return equalsNoCase(n, name); });
    if (it == names_.end()) return false;
    names_.erase(it);
    return true;
}

bool ChatMembers::RenameUser(std::string_view from, const std::string& to) {
    const auto same = [](std::string_view n) { return [n](const std::string& m) { return equalsNoCase(m, n); }; };
    if (std::find_if(names_.begin(), names_.end(), same(from)) == names_.end()) return false;
    // A member already listed under the new name would otherwise be there twice.
    if (!equalsNoCase(from, to)) names_.erase(std::remove_if(names_.begin(), names_.end(), same(to)), names_.end());
    *std::find_if(names_.begin(), names_.end(), same(from)) = to;
    return true;
}

bool ChatMembers::Accepts(std::string_view sender) const {
    return IsUserPresent(sender) || hasAll();
}

std::string ChatMembers::StatusText(std::string_view words) const {
    const auto n = names_.size();
    return " " + std::to_string(n) + " " + GetItem(words, n == 1 ? 1 : 2) + " " + GetItem(words, 3);
}

bool ChatMembers::SendLine(ChatNode& node, const std::string& line, std::vector<DeliveryReport>* reports,
                           const std::string& chatKey, std::uint64_t replyTo, std::uint64_t* sentId) const {
    if (trimBlanks(line).empty()) return false;
    const std::string mark(wire::ChatMark);
    if (hasAll()) {
        node.SendToAll(mark + line);
        return true;
    }
    // A line to several members is one conversation in the history.
    const auto tag = chatKey.empty() ? history::ChatTag(names_, node.state().MyName) : chatKey;
    const auto id = node.NewLineId();  // one line: one id at every member
    if (sentId) *sentId = id;
    for (const auto& name : names_) {
        auto report = node.SendPrivate(name + " " + mark + line, tag, id, replyTo);
        if (reports) reports->push_back(std::move(report));
    }
    return true;
}

std::vector<std::string> Refusing(const std::vector<std::string>& names, const UserList& users, bool chatLine) {
    std::vector<std::string> out;
    for (const auto& name : names) {
        const auto row = users.findNoCase(name);
        if (!row) continue;
        const auto status = users.user(*row).status;
        if (status == 2 || (chatLine && status == 1)) out.push_back(users.user(*row).text);
    }
    return out;
}

}  // namespace lanyx::ui
