#pragma once
// The lines a shared chat held before a member was added: the member who
// added him sends its recent lines, sealed, once his copy has taken the
// change. They are what that member's copy kept: who said the other lines
// is that member's word, not their speakers' signatures.
//
// A backlog reads, one field a line (UTF-8, "\n" between lines):
//   1                          the format
//   <id>                       the chat's id
//   <time>|<speaker>|<text>    one a line, oldest first; the time in ms since
//                              1970 (UTC), the speaker a member's name
#include "Message.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx::rooms {

inline constexpr std::string_view kBacklogTag = "lanyx-backlog ";
inline constexpr std::string_view kBacklogWord = "backlog";
inline constexpr std::size_t kMaxBacklogLines = 50;
// One sealed message holds it all; a longer line is not sent.
inline constexpr std::size_t kMaxBacklogBytes = 32 * 1024;
inline constexpr std::size_t kMaxBacklogLineBytes = 4096;

struct BacklogLine {
    std::int64_t timeMs = 0;
    std::string speaker;
    std::string text;
    bool operator==(const BacklogLine&) const = default;
};

struct Backlog {
    std::string id;
    std::vector<BacklogLine> lines;
};

// The newest lines that fit (at most kMaxBacklogLines, kMaxBacklogBytes in
// all), oldest first; line ends and other control characters in a text
// become spaces. Empty when no line fits.
std::string EncodeBacklog(const std::string& id, std::vector<BacklogLine> lines);
// Nothing for what no copy of ours sends: another format, an id that is
// not one, too many or too long lines, a time that is not a number above
// 0, a speaker who could not be a member, a control character in a text.
std::optional<Backlog> ParseBacklog(std::string_view body);

}  // namespace lanyx::rooms
