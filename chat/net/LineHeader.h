#pragma once
// What a chat line or an alert sealed between copies of ours says about
// itself, on a line of its own before the text:
//   lanyx-line <id>[ #<chat id>][ ^<id>]
// The id (16 hexadecimal digits) is the line's own, the same at the sender
// and at every recipient; the chat id names the shared chat it was said in;
// the id after "^" the line it answers. Fields a later build adds after
// the id are passed over.
// Only copies that announce kItem with their keys are sent one; to others
// the text goes as before.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lanyx::lineheader {

inline constexpr std::string_view kTag = "lanyx-line ";
inline constexpr std::string_view kItem = "line";

struct Header {
    std::uint64_t id = 0;
    std::string room;           // the shared chat's id, or empty
    std::uint64_t replyTo = 0;  // the line it answers, or 0
};

// The header line, its end included; empty for no id.
std::string Encode(const Header& header);
// Takes a header off the front of `text`. Nothing when there is none; a
// header that does not read is taken off all the same and says nothing.
std::optional<Header> Take(std::string_view& text);

std::string IdText(std::uint64_t id);
std::optional<std::uint64_t> ParseId(std::string_view text);

}  // namespace lanyx::lineheader
