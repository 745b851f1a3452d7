#include "LineHeader.h"

#include "Message.h"

#include <charconv>

namespace lanyx::lineheader {

namespace {

bool lowerHex(std::string_view s) {
    for (const char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

}  // namespace

std::string IdText(std::uint64_t id) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string s(16, '0');
    for (int i = 15; i >= 0; --i, id >>= 4) s[static_cast<std::size_t>(i)] = kDigits[id & 0xf];
    return s;
}

std::optional<std::uint64_t> ParseId(std::string_view text) {
    if (text.size() != 16 || !lowerHex(text)) return std::nullopt;
    std::uint64_t id = 0;
    std::from_chars(text.data(), text.data() + text.size(), id, 16);
    if (id == 0) return std::nullopt;
    return id;
}

std::string Encode(const Header& header) {
    if (header.id == 0) return {};
    std::string s(kTag);
    s += IdText(header.id);
    if (!header.room.empty()) {
        s += " #";
        s += header.room;
    }
    if (header.replyTo != 0) {
        s += " ^";
        s += IdText(header.replyTo);
    }
    s += '\n';
    return s;
}

std::optional<Header> Take(std::string_view& text) {
    if (text.substr(0, kTag.size()) != kTag) return std::nullopt;
    const auto end = text.find('\n');
    std::string_view fields = end == std::string_view::npos ? text.substr(kTag.size())
                                                            : text.substr(kTag.size(), end - kTag.size());
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    Header h;
    auto blank = fields.find(' ');
    const auto id = ParseId(fields.substr(0, blank));
    if (!id) return Header{};
    while (blank != std::string_view::npos) {
        fields.remove_prefix(blank + 1);
        blank = fields.find(' ');
        const auto field = fields.substr(0, blank);
        if (IsRoomChatKey(field)) {
            // A chat it does not name right: not one of its lines at all.
            if (!IsRoomIdText(field.substr(1)) || !h.room.empty()) return Header{};
            h.room = std::string(field.substr(1));
        } else if (field.substr(0, 1) == "^") {
            h.replyTo = ParseId(field.substr(1)).value_or(0);
        }
    }
    h.id = *id;
    return h;
}

}  // namespace lanyx::lineheader
