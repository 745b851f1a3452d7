#include "Wire.h"

namespace lanyx::wire {

Result<Datagram> parse(std::string_view text) {
    const auto bar = text.find('|');
    if (bar == std::string_view::npos || text.size() < bar + 3) return failure(Reason::NotADatagram);
    return Datagram{text.substr(0, bar), text.substr(bar + 1, 2), text.substr(bar + 3)};
}

bool isCommand(std::string_view command, std::string_view which) {
    if (command.size() != 2 || which.size() != 2) return false;
    auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    return up(command[0]) == which[0] && command[1] == which[1];
}

PrivatePart splitPrivate(std::string_view payload) {
    const auto bar = payload.rfind('|');
    if (bar == std::string_view::npos) return {payload, {}};
    return {payload.substr(0, bar), payload.substr(bar + 1)};
}

}  // namespace lanyx::wire
