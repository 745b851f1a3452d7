#include "RoomMessage.h"

#include "Message.h"
#include "Text.h"

#include <charconv>

namespace lanyx::rooms {

namespace {

constexpr std::string_view kFormat = "1";

std::string_view changeWord(Change c) {
    switch (c) {
    case Change::Added: return "added";
    case Change::Removed: return "removed";
    case Change::State: break;
    }
    return "state";
}

std::optional<Change> changeOf(std::string_view word) {
    if (word == "state") return Change::State;
    if (word == "added") return Change::Added;
    if (word == "removed") return Change::Removed;
    return std::nullopt;
}

}  // namespace

bool IsRoomId(std::string_view id) {
    return IsRoomIdText(id);
}

bool IsMemberName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameBytes || equalsNoCase(name, "(All)")) return false;
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == '|' || c == 0x7f) return false;
    return true;
}

std::string Encode(const RoomMessage& m) {
    std::string s(kFormat);
    s += '\n';
    s += m.id;
    s += '\n';
    s += std::to_string(m.serial);
    s += '\n';
    s += changeWord(m.change);
    s += '\n';
    s += m.who;
    for (const auto& name : m.members) {
        s += '\n';
        s += name;
    }
    return s;
}

std::optional<RoomMessage> Parse(std::string_view body) {
    std::vector<std::string_view> lines;
    while (true) {
        const auto nl = body.find('\n');
        lines.push_back(body.substr(0, nl));
        if (nl == std::string_view::npos) break;
        body.remove_prefix(nl + 1);
        if (lines.size() > kMaxMembers + 5) return std::nullopt;
    }
    if (lines.size() < 6 || lines.size() > kMaxMembers + 5 || lines[0] != kFormat || !IsRoomId(lines[1]))
        return std::nullopt;
    RoomMessage m;
    m.id = std::string(lines[1]);
    const auto serial = lines[2];
    if (serial.empty() || serial.size() > 19 || serial.front() == '0') return std::nullopt;
    const auto [end, ec] = std::from_chars(serial.data(), serial.data() + serial.size(), m.serial);
    if (ec != std::errc() || end != serial.data() + serial.size()) return std::nullopt;
    const auto change = changeOf(lines[3]);
    if (!change) return std::nullopt;
    m.change = *change;
    if ((m.change == Change::State) != lines[4].empty()) return std::nullopt;
    if (!lines[4].empty() && !IsMemberName(lines[4])) return std::nullopt;
    m.who = std::string(lines[4]);
    for (std::size_t i = 5; i < lines.size(); ++i) {
        if (!IsMemberName(lines[i])) return std::nullopt;
        for (const auto& other : m.members)
            if (equalsNoCase(other, lines[i])) return std::nullopt;
        m.members.emplace_back(lines[i]);
    }
    return m;
}

}  // namespace lanyx::rooms
