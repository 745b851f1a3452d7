#pragma once
// The datagram: sender, "|", a two-character command, payload.
#include "Error.h"

#include <string_view>

namespace lanyx::wire {

// Payload marks (UTF-8 here; bytes 0xDF and 0xDE on the wire).
inline constexpr std::string_view AlertMark = "\xC3\x9F";  // U+00DF
inline constexpr std::string_view ChatMark = "\xC3\x9E";   // U+00DE

inline constexpr std::string_view ColourAnnounce = "C/";
inline constexpr std::string_view StatusAnnounce = "S/";
inline constexpr std::string_view PublicMessage = "M/";
inline constexpr std::string_view PrivateMessage = "P/";
inline constexpr std::string_view LeaveNotice = "L/";
inline constexpr std::string_view BoxMessage = "B/";

inline constexpr unsigned short kPort = 1414;

struct Datagram {
    std::string_view sender;
    std::string_view command;
    std::string_view payload;
};

// NotADatagram when there is no "|" or the text ends within the command.
Result<Datagram> parse(std::string_view text);

// The command compared without regard to case.
bool isCommand(std::string_view command, std::string_view which);

// A private payload "text|recipient": the last "|" starts the recipient.
struct PrivatePart {
    std::string_view text;
    std::string_view recipient;
};
PrivatePart splitPrivate(std::string_view payload);

}  // namespace lanyx::wire
