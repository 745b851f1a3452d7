#include "RoomService.h"

#include "DurableFile.h"
#include "Text.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace lanyx::rooms {

// A chat's earlier lines travel as a capability of their own: a copy that
// shares chats but not their lines is never sent any.
class RoomService::BacklogPort final : public Capability {
public:
    explicit BacklogPort(RoomService& rooms) : rooms_(rooms) {}
    std::string_view tag() const override { return kBacklogTag; }
    std::string_view word() const override { return kBacklogWord; }
    bool message(const std::string& sender, const std::string& body, IpAddress /*sourceV4*/) override {
        return rooms_.takeBacklog(sender, body);
    }

private:
    RoomService& rooms_;
};

RoomService::RoomService(ChatNode& node)
    : node_(node), book_(NewRoomId), backlogPort_(std::make_unique<BacklogPort>(*this)) {
    node_.registerCapability(*this);
    node_.registerCapability(*backlogPort_);
}

RoomService::~RoomService() {
    flush();
    node_.unregisterCapability(*backlogPort_);
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

std::optional<DeliveryReport> RoomService::tell(const RoomMessage& m, const std::vector<std::string>& also,
                                                const std::string& watch) {
    const std::string body = Encode(m);
    std::optional<DeliveryReport> watched;
    const auto send = [&](const std::string& name) {
        if (equalsNoCase(name, me()) || !sharesChats(name)) return;
        auto report = node_.SendSealed(kRoomsWord, name, body);
        if (!watch.empty() && equalsNoCase(name, watch)) watched = std::move(report);
    };
    for (const auto& name : m.members) send(name);
    for (const auto& name : also) send(name);
    return watched;
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
    const auto report = tell(*m, {}, name);
    save();
    // The lines so far as they are now: what is said from here on reaches
    // him as it is said.
    if (!report || report->state != Delivery::Waiting || !backlogSource_ ||
        node_.CanTake(name, kBacklogWord) != Reach::Yes || backlogsToSend_.size() >= kMaxBacklogsHeld)
        return true;
    std::vector<BacklogLine> lines;
    for (const auto& line : backlogSource_(id)) {
        if (!line.isChatLine() || line.chat != RoomChatKey(id)) continue;
        const std::string speaker = line.outgoing ? me() : line.peer;
        if (equalsNoCase(speaker, name)) continue;  // his own he has
        lines.push_back({line.timeMs, speaker, line.text});
    }
    if (auto body = EncodeBacklog(id, std::move(lines)); !body.empty())
        backlogsToSend_[report->id] = {name, std::move(body)};
    return true;
}

void RoomService::vet(Message& message) const {
    if (!IsRoomChatKey(message.chat)) return;
    const Room* room = book_.find(message.chat.substr(1));
    if (!room || !room->has(message.peer) || !room->has(me())) message.chat.clear();
}

void RoomService::delivery(const DeliveryReport& report) {
    const auto it = backlogsToSend_.find(report.id);
    if (it == backlogsToSend_.end()) return;
    // Any other end (not confirmed, withheld, held for later) sends nothing.
    if (report.state == Delivery::Delivered) node_.SendSealed(kBacklogWord, it->second.name, it->second.body);
    backlogsToSend_.erase(it);
}

bool RoomService::takeBacklog(const std::string& sender, const std::string& body) {
    // Read and refused is still taken: there is no point in sending it again.
    const auto backlog = ParseBacklog(body);
    if (!backlog) {
        node_.WriteLog("A shared chat's earlier lines from " + sender + " could not be read: ignored");
        return true;
    }
    const auto it = backlogsAwaited_.find(backlog->id);
    const Room* room = book_.find(backlog->id);
    const bool awaited = it != backlogsAwaited_.end() && equalsNoCase(it->second.by, sender) &&
                         node_.pump().ticks() - it->second.since <= kBacklogWaitMs;
    if (!awaited || !room || !room->has(sender) || !room->has(me())) {
        node_.WriteLog("A shared chat's earlier lines from " + sender + " ignored: not asked for");
        return true;
    }
    backlogsAwaited_.erase(it);
    const std::int64_t now = node_.WallMs();
    std::vector<Message> lines;
    for (const auto& l : backlog->lines) {
        Message m;
        m.timeMs = std::min(l.timeMs, now);  // never ahead of what is said here now
        m.peer = l.speaker;
        m.kind = MessageKind::PrivateChat;
        m.text = l.text;
        m.trust = MessageTrust::Encrypted;
        m.notVerified = !equalsNoCase(l.speaker, sender);
        m.chat = RoomChatKey(backlog->id);
        node_.reportMessage(m);
        lines.push_back(std::move(m));
    }
    if (observer_) {
        const Room copy = *room;  // the observer may change the book
        observer_->roomBacklog(copy, sender, lines);
    }
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
        if (backlogsAwaited_.size() >= kMaxBacklogsHeld) {
            const std::uint32_t ticks = node_.pump().ticks();
            std::erase_if(backlogsAwaited_, [&](const auto& e) { return ticks - e.second.since > kBacklogWaitMs; });
        }
        if (backlogsAwaited_.size() < kMaxBacklogsHeld) backlogsAwaited_[m->id] = {sender, node_.pump().ticks()};
        observer_->roomChanged(now, {RoomEvent::Kind::Joined, sender, o.added});
        return true;
    }
    if (!o.added.empty()) observer_->roomChanged(now, {RoomEvent::Kind::Added, sender, o.added});
    if (!o.removed.empty()) observer_->roomChanged(now, {RoomEvent::Kind::Removed, sender, o.removed});
    return true;
}

}  // namespace lanyx::rooms
