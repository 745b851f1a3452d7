#include "RoomService.h"

#include "Text.h"

namespace lanyx::rooms {

RoomService::RoomService(ChatNode& node) : node_(node), book_(NewRoomId) {
    node_.SetRoomHandler(this);
}

RoomService::~RoomService() {
    node_.SetRoomHandler(nullptr);
}

void RoomService::tell(const RoomMessage& m, const std::vector<std::string>& also) {
    const std::string body = Encode(m);
    const auto send = [&](const std::string& name) {
        if (!equalsNoCase(name, me()) && sharesChats(name)) node_.SendRoomMessage(name, body);
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
    tell(*book_.state(r.id));
    return &r;
}

bool RoomService::add(const std::string& id, const std::string& name) {
    const auto m = book_.add(id, me(), name);
    if (!m) return false;
    tell(*m);
    return true;
}

bool RoomService::remove(const std::string& id, const std::string& name) {
    const auto m = book_.remove(id, me(), name);
    if (!m) return false;
    tell(*m, {name});
    return true;
}

void RoomService::resendTo(const std::string& name) {
    if (!sharesChats(name)) return;
    for (const auto& r : book_.rooms())
        if (r.has(name)) node_.SendRoomMessage(name, Encode(*book_.state(r.id)));
}

bool RoomService::roomMessage(const std::string& sender, const std::string& body) {
    const auto m = Parse(body);
    if (!m) {
        node_.WriteLog("A shared chat's change from " + sender + " could not be read: ignored");
        return true;  // read and refused: no point in sending it again
    }
    const Room* before = book_.find(m->id);
    const Room old = before ? *before : Room{};
    const Outcome o = book_.receive(me(), sender, *m);
    if (o.kind == Outcome::Kind::Ignored) {
        node_.WriteLog("A shared chat's change from " + sender + " ignored: " + o.reason);
        return true;
    }
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

} // namespace lanyx::rooms
