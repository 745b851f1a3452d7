#include "RoomBook.h"

#include "Text.h"

#include <algorithm>
#include <random>
#include <unordered_set>

namespace lanyx::rooms {

bool Room::has(std::string_view name) const {
    return std::any_of(members.begin(), members.end(), [&](const std::string& m) { return equalsNoCase(m, name); });
}

std::string NewRoomId() {
    std::random_device rd;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string id;
    for (int i = 0; i < 4; ++i) {
        const std::uint32_t v = rd();
        for (int b = 0; b < 8; ++b) id += kHex[(v >> (b * 4)) & 0xf];
    }
    return id;
}

RoomBook::RoomBook(std::function<std::string()> newId) : newId_(std::move(newId)) {
}

Room* RoomBook::findMutable(std::string_view id) {
    for (auto& r : rooms_)
        if (r.id == id) return &r;
    return nullptr;
}

const Room* RoomBook::find(std::string_view id) const {
    for (const auto& r : rooms_)
        if (r.id == id) return &r;
    return nullptr;
}

const Room* RoomBook::latestWith(std::string_view name) const {
    const Room* best = nullptr;
    for (const auto& r : rooms_)
        if (r.has(name) && (!best || r.used > best->used)) best = &r;
    return best;
}

void RoomBook::touch(std::string_view id) {
    if (auto* r = findMutable(id)) {
        r->used = ++clock_;
        r->takenPart = true;
    }
}

void RoomBook::forget(std::string_view id) {
    std::erase_if(rooms_, [&](const Room& r) { return r.id == id; });
}

bool RoomBook::makeRoom(bool forUser) {
    if (rooms_.size() < kMaxRooms) return true;
    const auto older = [](const Room& a, const Room& b) { return a.used < b.used; };
    auto oldest = rooms_.end();
    for (auto it = rooms_.begin(); it != rooms_.end(); ++it)
        if (!it->takenPart && (oldest == rooms_.end() || older(*it, *oldest))) oldest = it;
    if (oldest == rooms_.end()) {
        if (!forUser) return false;
        oldest = std::min_element(rooms_.begin(), rooms_.end(), older);
    }
    rooms_.erase(oldest);
    return true;
}

const Room& RoomBook::open(const std::string& me, const std::vector<std::string>& others) {
    makeRoom(true);
    Room r;
    r.id = newId_();
    r.serial = 1;
    r.author = toLower(me);
    r.members.push_back(me);
    for (const auto& name : others)
        if (IsMemberName(name) && !r.has(name) && r.members.size() < kMaxMembers) r.members.push_back(name);
    r.used = ++clock_;
    rooms_.push_back(std::move(r));
    return rooms_.back();
}

std::optional<RoomMessage> RoomBook::change(Room& r, const std::string& me, Change c, const std::string& name) {
    if (c == Change::Added) {
        if (!IsMemberName(name) || r.has(name) || r.members.size() >= kMaxMembers) return std::nullopt;
        r.members.push_back(name);
    } else {
        // The own name stays: leaving is closing the window.
        if (equalsNoCase(name, me) || !r.has(name)) return std::nullopt;
        std::erase_if(r.members, [&](const std::string& m) { return equalsNoCase(m, name); });
    }
    r.justRemoved.clear();
    if (c == Change::Removed) r.justRemoved.push_back(toLower(name));
    ++r.serial;
    r.author = toLower(me);
    r.used = ++clock_;
    r.takenPart = true;
    return RoomMessage{r.id, r.serial, c, name, r.members};
}

std::optional<RoomMessage> RoomBook::add(const std::string& id, const std::string& me, const std::string& name) {
    auto* r = findMutable(id);
    return r ? change(*r, me, Change::Added, name) : std::nullopt;
}

std::optional<RoomMessage> RoomBook::remove(const std::string& id, const std::string& me, const std::string& name) {
    auto* r = findMutable(id);
    return r ? change(*r, me, Change::Removed, name) : std::nullopt;
}

std::optional<RoomMessage> RoomBook::state(const std::string& id) const {
    const auto* r = find(id);
    if (!r) return std::nullopt;
    return RoomMessage{r->id, r->serial, Change::State, {}, r->members};
}

Outcome RoomBook::receive(const std::string& me, const std::string& sender, const RoomMessage& m) {
    const auto ignored = [](std::string why) {
        Outcome o;
        o.reason = std::move(why);
        return o;
    };
    const auto holds = [](const std::vector<std::string>& names, std::string_view name) {
        return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return equalsNoCase(n, name); });
    };
    Room* r = findMutable(m.id);
    if (!r) {
        // Only a member may bring us in, and only into a chat we are in.
        if (!holds(m.members, me)) return ignored("a chat we are not in");
        if (!holds(m.members, sender)) return ignored("from somebody not in the chat");
        if (!makeRoom(false)) return ignored("all the chats kept are chats the user took part in");
        Room fresh;
        fresh.id = m.id;
        fresh.serial = m.serial;
        fresh.author = toLower(sender);
        fresh.members = m.members;
        fresh.used = ++clock_;
        fresh.takenPart = false;
        rooms_.push_back(std::move(fresh));
        Outcome o;
        o.kind = Outcome::Kind::Joined;
        for (const auto& n : m.members)
            if (!equalsNoCase(n, me)) o.added.push_back(n);
        return o;
    }
    const auto author = toLower(sender);
    if (m.serial < r->serial) return ignored("older than what is known");
    std::vector<std::string> next = m.members;
    std::string nextAuthor = author;
    bool merged = false;
    if (m.serial == r->serial) {
        if (author == r->author) return ignored("older than what is known");
        const bool removesAuthor = m.change == Change::Removed && toLower(m.who) == r->author;
        if (std::find(r->justRemoved.begin(), r->justRemoved.end(), author) != r->justRemoved.end()) {
            // Taken out by the change we hold. Only his taking out of its
            // author at that same moment counts, and then both are out,
            // whichever of the two a member heard first.
            if (!removesAuthor) return ignored("from somebody a change at the same time took out");
            next.clear();
            for (const auto& n : r->members)
                if (holds(m.members, n)) next.push_back(n);
            nextAuthor = std::max(r->author, author);
            merged = true;
        } else if (!r->has(sender)) {
            return ignored("from somebody not in the chat");
        } else if (!removesAuthor && author < r->author) {
            // Two members changed it at once: the author's name decides.
            // A removal of the author of the change we hold wins over it.
            return ignored("older than what is known");
        }
    } else if (!r->has(sender)) {
        return ignored("from somebody not in the chat");
    }
    Outcome o;
    for (const auto& n : next)
        if (!r->has(n)) o.added.push_back(n);
    for (const auto& n : r->members)
        if (!holds(next, n)) o.removed.push_back(n);
    if (!holds(next, me)) {
        forget(m.id);
        o.kind = Outcome::Kind::Dropped;
        return o;
    }
    r->serial = m.serial;
    r->author = nextAuthor;
    if (!merged) r->justRemoved.clear();
    for (const auto& n : o.removed) r->justRemoved.push_back(toLower(n));
    if (merged) r->justRemoved.push_back(toLower(m.who));
    r->members = std::move(next);
    r->used = ++clock_;
    o.kind = Outcome::Kind::Changed;
    return o;
}

bool RoomBook::restore(Room room) {
    if (!IsRoomId(room.id) || room.serial == 0 || find(room.id) || room.members.empty() ||
        room.members.size() > kMaxMembers)
        return false;
    for (std::size_t i = 0; i < room.members.size(); ++i) {
        if (!IsMemberName(room.members[i])) return false;
        for (std::size_t j = 0; j < i; ++j)
            if (equalsNoCase(room.members[i], room.members[j])) return false;
    }
    makeRoom(true);
    room.used = ++clock_;
    rooms_.push_back(std::move(room));
    return true;
}

namespace {
constexpr std::string_view kRoomsHeader = "Lanyx shared chats 1";
constexpr std::string_view kUnansweredLine = "unanswered";
}  // namespace

std::string SaveRooms(const RoomBook& book) {
    std::string s(kRoomsHeader);
    s += '\n';
    // Oldest first, so that reading them back keeps their order of use.
    std::vector<const Room*> order;
    for (const auto& r : book.rooms()) order.push_back(&r);
    std::sort(order.begin(), order.end(), [](const Room* a, const Room* b) { return a->used < b->used; });
    std::string unanswered;
    for (const Room* r : order) {
        s += r->id + '\t' + std::to_string(r->serial) + '\t' + r->author;
        for (const auto& m : r->members) s += '\t' + m;
        s += '\n';
        if (!r->takenPart) unanswered += '\t' + r->id;
    }
    if (!unanswered.empty()) s += std::string(kUnansweredLine) + unanswered + '\n';
    return s;
}

std::size_t LoadRooms(std::string_view text, RoomBook& book) {
    std::size_t bad = 0;
    bool first = true;
    // The chats not taken part in are named after all the chats.
    std::unordered_set<std::string_view> unanswered;
    for (auto at = text.find(kUnansweredLine); at != std::string_view::npos; at = text.find(kUnansweredLine, at + 1)) {
        if (at > 0 && text[at - 1] != '\n') continue;
        auto line = text.substr(at, text.find('\n', at) - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.substr(kUnansweredLine.size(), 1) != "\t") continue;
        line.remove_prefix(kUnansweredLine.size() + 1);
        while (!line.empty()) {
            const auto tab = line.find('\t');
            unanswered.insert(line.substr(0, tab));
            line.remove_prefix(tab == std::string_view::npos ? line.size() : tab + 1);
        }
    }
    while (!text.empty()) {
        const auto nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {
            first = false;
            if (line != kRoomsHeader) return 1 + bad;  // not ours: nothing read
            continue;
        }
        if (line.empty()) continue;
        std::vector<std::string> fields;
        while (true) {
            const auto tab = line.find('\t');
            fields.emplace_back(line.substr(0, tab));
            if (tab == std::string_view::npos) break;
            line.remove_prefix(tab + 1);
        }
        if (fields[0] == kUnansweredLine) continue;
        Room r;
        bool ok = fields.size() >= 4 && fields[1].size() <= 19 && !fields[1].empty() &&
                  fields[1].find_first_not_of("0123456789") == std::string::npos;
        if (ok) {
            r.id = fields[0];
            r.serial = std::stoull(fields[1]);
            r.author = toLower(fields[2]);
            r.members.assign(fields.begin() + 3, fields.end());
            r.takenPart = !unanswered.count(r.id);
            ok = book.restore(std::move(r));
        }
        if (!ok) ++bad;
    }
    return bad;
}

std::vector<std::string> RoomBook::rename(std::string_view from, const std::string& to) {
    std::vector<std::string> ids;
    if (equalsNoCase(from, to) || !IsMemberName(to)) return ids;
    const auto fromKey = toLower(from), toKey = toLower(to);
    for (auto& r : rooms_) {
        if (!r.has(from)) continue;
        const bool had = r.has(to);
        std::erase_if(r.members, [&](const std::string& m) { return had && equalsNoCase(m, from); });
        for (auto& m : r.members)
            if (equalsNoCase(m, from)) m = to;
        if (equalsNoCase(r.author, from)) r.author = to;
        for (auto& m : r.justRemoved)
            if (m == fromKey) m = toKey;
        ids.push_back(r.id);
    }
    return ids;
}

}  // namespace lanyx::rooms
