#include "RoomService.h"

#include "DurableFile.h"
#include "Text.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace lanyx::rooms {

RoomService::RoomService(ChatNode& node) : node_(node), book_(NewRoomId) {
    node_.registerCapability(*this);
}

RoomService::~RoomService() {
    flush();
    node_.unregisterCapability(*this);
}

void RoomService::keepIn(std::filesystem::path file) {
    file_ = std::move(file);
    std::ifstream in(file_, std::ios::binary);
    if (!in) return;
    std::ostringstream text;
    text << in.rdbuf();
    if (const auto bad = LoadRooms(text.str(), book_))
        node_.WriteLog("Shared chats: " + std::to_string(bad) + " lines of " + file_.filename().string() +
                       " could not be read and were left out");
}

void RoomService::save() {
    // A durable rewrite per change cost a receiver far more than the change
    // itself: a burst of changes is written once.
    dirty_ = true;
    if (file_.empty() || std::exchange(saveQueued_, true)) return;
    const std::weak_ptr<int> alive = alive_;
    node_.pump().callAfter(kSaveDelayMs, [this, alive] {
        if (alive.expired()) return;
        saveQueued_ = false;
        flush();
    });
}

bool RoomService::flush() {
    if (file_.empty() || !dirty_) return true;
    std::string error;
    if (!platform::replaceFile(file_, SaveRooms(book_), error, platform::FileAccess::OwnerOnly)) {
        // Still dirty: the next change, or the end of the run, tries again.
        node_.WriteLog("Shared chats could not be kept: " + error);
        return false;
    }
    dirty_ = false;
    return true;
}

void RoomService::touch(const std::string& id) {
    const Room* r = book_.find(id);
    if (!r) return;
    const bool was = r->takenPart;
    book_.touch(id);
    // Only the mark is worth a write: the order of use is a hint.
    if (!was) save();
}

bool RoomService::invitationAllowed(const std::string& sender) {
    const auto* pin = node_.secure() ? node_.secure()->pins().find(sender) : nullptr;
    const std::string key = pin ? pin->signPublic : toLower(sender);
    const std::uint32_t now = node_.pump().ticks();
    constexpr std::size_t kMaxSenders = 4096;
    if (invitations_.size() >= kMaxSenders) std::erase_if(invitations_, [&](auto& e) { return e.second.full(now); });
    if (invitations_.size() >= kMaxSenders && !invitations_.count(key)) return false;
    return invitations_.try_emplace(key, kInviteBurst, kInviteRefillMs).first->second.take(now);
}

void RoomService::tell(const RoomMessage& m, const std::vector<std::string>& also) {
    const std::string body = Encode(m);
    const auto send = [&](const std::string& name) {
        if (!equalsNoCase(name, me()) && sharesChats(name)) node_.SendSealed(kRoomsWord, name, body);
    };
    for (const auto& name : m.members) send(name);
    for (const auto& name : also) send(name);
}

const Room* RoomService::open(const std::vector<std::string>& others) {
    bool anyShares = false;
    for (const auto& name : others)
        if (!equalsNoCase(name, me()) && sharesChats(name)) anyShares = true;
    if (!anyShares) return nullptr;
    const Room& r = book_.open(me(), others);
    const std::string id = r.id;
    tell(*book_.state(id));
    save();
    return book_.find(id);
}

bool RoomService::add(const std::string& id, const std::string& name) {
    const auto m = book_.add(id, me(), name);
    if (!m) return false;
    tell(*m);
    save();
    return true;
}

bool RoomService::remove(const std::string& id, const std::string& name) {
    const auto m = book_.remove(id, me(), name);
    if (!m) return false;
    tell(*m, {name});
    save();
    return true;
}

void RoomService::resendTo(const std::string& name) {
    if (!sharesChats(name)) return;
    for (const auto& r : book_.rooms())
        if (r.has(name)) node_.SendSealed(kRoomsWord, name, Encode(*book_.state(r.id)));
}

void RoomService::renamed(const std::string& from, const std::string& to) {
    const auto ids = book_.rename(from, to);
    if (ids.empty()) return;
    save();
    if (!observer_) return;
    for (const auto& id : ids)
        if (const Room* r = book_.find(id)) {
            const Room now = *r;
            observer_->roomChanged(now, {RoomEvent::Kind::Renamed, to, {from, to}});
        }
}

bool RoomService::message(const std::string& sender, const std::string& body, IpAddress /*sourceV4*/) {
    const auto m = Parse(body);
    if (!m) {
        node_.WriteLog("A shared chat's change from " + sender + " could not be read: ignored");
        return true;  // read and refused: no point in sending it again
    }
    const Room* before = book_.find(m->id);
    if (!before && !invitationAllowed(sender)) {
        node_.WriteLog("A shared chat's change from " + sender + " ignored: too many chats from this sender lately");
        return true;
    }
    const Room old = before ? *before : Room{};
    const Outcome o = book_.receive(me(), sender, *m);
    if (o.kind == Outcome::Kind::Ignored) {
        node_.WriteLog("A shared chat's change from " + sender + " ignored: " + o.reason);
        return true;
    }
    save();
    if (!observer_) return true;
    if (o.kind == Outcome::Kind::Dropped) {
        observer_->roomChanged(old, {RoomEvent::Kind::Dropped, sender, {}});
        return true;
    }
    const Room now = *book_.find(m->id);  // a copy: the observer may change the book
    if (o.kind == Outcome::Kind::Joined) {
        observer_->roomChanged(now, {RoomEvent::Kind::Joined, sender, o.added});
        return true;
    }
    if (!o.added.empty()) observer_->roomChanged(now, {RoomEvent::Kind::Added, sender, o.added});
    if (!o.removed.empty()) observer_->roomChanged(now, {RoomEvent::Kind::Removed, sender, o.removed});
    return true;
}

}  // namespace lanyx::rooms
