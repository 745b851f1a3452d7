#pragma once
// The member lists of compose and chat windows: names compared without
// regard to case, "(All)" meaning everybody. No widgets: the windows show
// these lists.
#include "SecureLink.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx {
class ChatNode;
class UserList;
}

namespace lanyx::ui {

class NameList {
public:
    bool IsUserPresent(std::string_view name) const;
    const std::vector<std::string>& names() const { return names_; }
    std::size_t size() const { return names_.size(); }
    bool hasAll() const;

protected:
    std::vector<std::string> names_;
};

// A compose window's recipients: one "(All)" row, or any number of names.
class ComposeRecipients : public NameList {
public:
    // False when nothing was added.
    bool AddUser(const std::string& name);
    // Sends the alert: once to everybody, or privately to each recipient in
    // order, with a log line each. False (nothing sent) for a blank message.
    // `reports` takes what became of each private copy.
    bool Send(ChatNode& node, const std::string& message, std::vector<DeliveryReport>* reports = nullptr) const;
};

// A chat window's members. The own name is added first and never removed
// by the Remove User command.
class ChatMembers : public NameList {
public:
    bool AddUser(const std::string& name);
    bool RemoveUser(std::string_view name);
    // The own name changed: it keeps its place. False when it was not here.
    bool RenameUser(std::string_view from, const std::string& to);
    // Whether the window shows a line from this sender.
    bool Accepts(std::string_view sender) const;
    // " 3 members in this chat" from the "|"-terminated words.
    std::string StatusText(std::string_view words) const;
    // Sends a typed line: once to everybody, or to each member (the own name
    // included). False for a blank line.
    // `chatKey`: the conversation the history keeps it in (a shared chat's);
    // empty: the chat of these members.
    // `replyTo`: the line it answers (0: none); `sentId`: the line's id.
    bool SendLine(ChatNode& node, const std::string& line, std::vector<DeliveryReport>* reports = nullptr,
                  const std::string& chatKey = {}, std::uint64_t replyTo = 0, std::uint64_t* sentId = nullptr) const;
};

// Rows of a chat window's member list shown without scrolling: one per
// member, from three up to eight; past that the list scrolls.
constexpr int kMemberRowsLeast = 3;
constexpr int kMemberRowsMost = 8;
constexpr int MemberRowsShown(int members) {
    return std::clamp(members, kMemberRowsLeast, kMemberRowsMost);
}

// Those of `names` whose announced status turns away what is sent: Do Not
// Disturb refuses alerts and chat lines, Alerts Only chat lines. Names not
// listed (or "(All)") are not known to refuse anything.
std::vector<std::string> Refusing(const std::vector<std::string>& names, const UserList& users, bool chatLine);

// Adds every item of a "|"-terminated list.
template <typename List> void AddAll(List& list, std::string_view items);

}  // namespace lanyx::ui

#include "Text.h"

template <typename List> void lanyx::ui::AddAll(List& list, std::string_view items) {
    const auto n = CountItems(items);
    for (std::int32_t i = 1; i <= n; ++i) list.AddUser(GetItem(items, i));
}
