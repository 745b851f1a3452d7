// A shared chat's change as it comes from the network, read and applied.
#include "RoomBook.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const auto m = lanyx::rooms::Parse(body);
    if (!m) return 0;
    // Whatever was read writes back to the same.
    const auto again = lanyx::rooms::Parse(lanyx::rooms::Encode(*m));
    if (!again || again->members != m->members || again->serial != m->serial) __builtin_trap();
    lanyx::rooms::RoomBook book([] { return std::string(32, 'a'); });
    const auto first = book.receive(m->members.front(), m->members.back(), *m);
    book.receive(m->members.back(), m->members.front(), *m);
    if (first.kind == lanyx::rooms::Outcome::Kind::Joined && !book.find(m->id)) __builtin_trap();
    return 0;
}
