#pragma once
// A shared chat between our copies: an identity and a member list that
// travel with it. Its changes go to every member as encrypted private
// messages beginning with kRoomTag; the chat lines themselves stay the chat
// lines every copy knows, sent by each window to its members.
//
// A change reads, one field a line (UTF-8, "\n" between lines):
//   1                  the format
//   <id>               32 hexadecimal digits, made by the copy that opened it
//   <serial>           grows with every change; with the author's name it
//                      orders changes, so that every member ends with the same list
//   <change>           state, added or removed
//   <who>              the member added or removed (empty for state)
//   <member>...        the whole member list after the change, one a line
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx::rooms {

// Copies that share chats announce kRoomsWord with their keys.
inline constexpr std::string_view kRoomTag = "lanyx-room ";
inline constexpr std::string_view kRoomsWord = "rooms";

enum class Change : std::uint8_t { State, Added, Removed };

struct RoomMessage {
    std::string id;
    std::uint64_t serial = 0;
    Change change = Change::State;
    std::string who;
    std::vector<std::string> members;
};

// Members a room holds at most, and the longest name it takes (bytes).
inline constexpr std::size_t kMaxMembers = 64;
inline constexpr std::size_t kMaxNameBytes = 128;

std::string Encode(const RoomMessage& m);
// Nothing for what no copy of ours sends: another format, a malformed id or
// serial, a name empty, too long or holding control characters or "|", a
// member twice (letter case ignored), too many members, "(All)".
std::optional<RoomMessage> Parse(std::string_view body);

bool IsRoomId(std::string_view id);
// Whether `name` may be a member (see Parse).
bool IsMemberName(std::string_view name);

}  // namespace lanyx::rooms
