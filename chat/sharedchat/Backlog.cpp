#include "Backlog.h"

#include "RoomMessage.h"

#include <charconv>

namespace lanyx::rooms {

namespace {

constexpr std::string_view kFormat = "1";

std::string lineOf(const BacklogLine& l) {
    std::string s = std::to_string(l.timeMs);
    s += '|';
    s += l.speaker;
    s += '|';
    for (const char c : l.text) s += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? ' ' : c;
    return s;
}

bool plainText(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
    return true;
}

std::optional<BacklogLine> parseLine(std::string_view s) {
    const auto bar = s.find('|');
    if (bar == std::string_view::npos || bar == 0 || bar > 19 || s.front() == '0') return std::nullopt;
    BacklogLine l;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + bar, l.timeMs);
    if (ec != std::errc() || end != s.data() + bar || l.timeMs <= 0) return std::nullopt;
    s.remove_prefix(bar + 1);
    const auto second = s.find('|');
    if (second == std::string_view::npos || !IsMemberName(s.substr(0, second))) return std::nullopt;
    l.speaker = std::string(s.substr(0, second));
    const auto text = s.substr(second + 1);
    if (text.size() > kMaxBacklogLineBytes || !plainText(text)) return std::nullopt;
    l.text = std::string(text);
    return l;
}

}  // namespace

std::string EncodeBacklog(const std::string& id, std::vector<BacklogLine> lines) {
    std::erase_if(lines, [](const BacklogLine& l) {
        return l.timeMs <= 0 || !IsMemberName(l.speaker) || l.text.size() > kMaxBacklogLineBytes;
    });
    const std::string head = std::string(kFormat) + "\n" + id;
    // From the newest back, as many as fit.
    std::vector<std::string> kept;
    std::size_t size = head.size();
    for (auto it = lines.rbegin(); it != lines.rend() && kept.size() < kMaxBacklogLines; ++it) {
        auto line = lineOf(*it);
        if (size + 1 + line.size() > kMaxBacklogBytes) break;
        size += 1 + line.size();
        kept.push_back(std::move(line));
    }
    if (kept.empty()) return {};
    std::string s = head;
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
        s += '\n';
        s += *it;
    }
    return s;
}

std::optional<Backlog> ParseBacklog(std::string_view body) {
    if (body.size() > kMaxBacklogBytes) return std::nullopt;
    std::vector<std::string_view> fields;
    while (true) {
        const auto nl = body.find('\n');
        fields.push_back(body.substr(0, nl));
        if (nl == std::string_view::npos) break;
        body.remove_prefix(nl + 1);
        if (fields.size() > kMaxBacklogLines + 2) return std::nullopt;
    }
    if (fields.size() < 3 || fields.size() > kMaxBacklogLines + 2 || fields[0] != kFormat || !IsRoomId(fields[1]))
        return std::nullopt;
    Backlog b;
    b.id = std::string(fields[1]);
    for (std::size_t i = 2; i < fields.size(); ++i) {
        auto line = parseLine(fields[i]);
        if (!line) return std::nullopt;
        b.lines.push_back(std::move(*line));
    }
    return b;
}

}  // namespace lanyx::rooms
