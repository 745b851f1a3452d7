// A shared chat's change as it comes from the network, read and applied,
// its earlier lines as a member sends them, and `Rooms.txt` as found in a
// data folder, read and written back.
#include "Backlog.h"
#include "RoomBook.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lanyx::rooms;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // The file: what was read writes back to the same, and reads again whole.
    RoomBook kept([] { return std::string(32, 'a'); });
    LoadRooms(text, kept);
    const auto written = SaveRooms(kept);
    RoomBook back([] { return std::string(32, 'a'); });
    if (LoadRooms(written, back) != 0 || SaveRooms(back) != written || back.size() > RoomBook::kMaxRooms)
        __builtin_trap();

    // Earlier lines that were read write back to the same.
    if (const auto b = ParseBacklog(text)) {
        const auto again = ParseBacklog(EncodeBacklog(b->id, b->lines));
        if (!again || again->id != b->id || again->lines != b->lines) __builtin_trap();
    }

    const auto m = Parse(text);
    if (!m) return 0;
    // Whatever was read writes back to the same.
    const auto again = Parse(Encode(*m));
    if (!again || again->members != m->members || again->serial != m->serial) __builtin_trap();
    RoomBook book([] { return std::string(32, 'a'); });
    const auto first = book.receive(m->members.front(), m->members.back(), *m);
    book.receive(m->members.back(), m->members.front(), *m);
    if (first.kind == Outcome::Kind::Joined && !book.find(m->id)) __builtin_trap();
    // And on top of what the file held: the lists stay lists a chat can hold.
    for (const auto& r : kept.rooms()) {
        if (r.members.empty()) continue;
        auto change = *m;
        change.id = r.id;
        back.receive(r.members.front(), m->members.front(), change);
    }
    for (const auto& r : back.rooms())
        if (r.members.empty() || r.members.size() > kMaxMembers) __builtin_trap();
    return 0;
}
