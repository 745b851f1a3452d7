#include "PictureMessage.h"

#include "Crypto.h"
#include "LineHeader.h"
#include "Message.h"

#include <algorithm>
#include <array>

namespace lanyx::pictures {

namespace {

constexpr std::string_view kFormat = "1";

struct Named {
    Type type;
    std::string_view word;
};
constexpr std::array<Named, 4> kTypes{
    {{Type::Png, "png"}, {Type::Jpeg, "jpeg"}, {Type::Gif, "gif"}, {Type::Webp, "webp"}}};

std::string_view nextLine(std::string_view& rest, bool& ended) {
    const auto end = rest.find('\n');
    ended = end == std::string_view::npos;
    const auto line = rest.substr(0, end);
    rest.remove_prefix(ended ? rest.size() : end + 1);
    return line;
}

bool isLowerHex(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::optional<std::uint64_t> parseSize(std::string_view s) {
    if (s.empty() || s.size() > 9 || s.front() == '0') return std::nullopt;
    std::uint64_t n = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return n;
}

}  // namespace

std::string_view TypeWord(Type type) {
    for (const auto& n : kTypes)
        if (n.type == type) return n.word;
    return {};
}

std::optional<Type> ParseType(std::string_view word) {
    for (const auto& n : kTypes)
        if (n.word == word) return n.type;
    return std::nullopt;
}

std::optional<Type> TypeOfBytes(std::string_view head) {
    const auto starts = [&](std::string_view magic, std::size_t at = 0) {
        return head.size() >= at + magic.size() && head.substr(at, magic.size()) == magic;
    };
    if (starts("\x89PNG\r\n\x1a\n")) return Type::Png;
    if (starts("\xFF\xD8\xFF")) return Type::Jpeg;
    if (starts("GIF87a") || starts("GIF89a")) return Type::Gif;
    if (starts("RIFF") && starts("WEBP", 8)) return Type::Webp;
    return std::nullopt;
}

std::string Encode(const Announcement& a) {
    std::string s(kFormat);
    s += '\n';
    s += lineheader::IdText(a.line);
    s += '\n';
    s += a.chat;
    s += '\n';
    s += std::to_string(a.size);
    s += '\n';
    s += a.hash;
    s += '\n';
    s += TypeWord(a.type);
    return s;
}

std::optional<Announcement> Decode(std::string_view body) {
    bool ended = false;
    if (nextLine(body, ended) != kFormat || ended) return std::nullopt;
    Announcement a;
    const auto id = lineheader::ParseId(nextLine(body, ended));
    if (!id || ended) return std::nullopt;
    a.line = *id;
    const auto chat = nextLine(body, ended);
    if (ended || (!chat.empty() && (!IsRoomChatKey(chat) || !IsRoomIdText(chat.substr(1))))) return std::nullopt;
    a.chat = std::string(chat);
    const auto size = parseSize(nextLine(body, ended));
    if (!size || ended) return std::nullopt;
    a.size = *size;
    const auto hash = nextLine(body, ended);
    if (ended || hash.size() != 2 * crypto::kHashBytes || !isLowerHex(hash)) return std::nullopt;
    a.hash = std::string(hash);
    const auto type = ParseType(nextLine(body, ended));
    if (!type || !ended) return std::nullopt;
    a.type = *type;
    return a;
}

std::string FileNameOf(std::uint64_t line, Type type) {
    return lineheader::IdText(line) + "." + std::string(TypeWord(type));
}

std::string HashText(std::string_view bytes) {
    if (!crypto::available()) return {};
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char c : crypto::Hash(bytes)) {
        hex += kDigits[c >> 4];
        hex += kDigits[c & 15];
    }
    return hex;
}

}  // namespace lanyx::pictures
