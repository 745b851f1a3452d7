#pragma once
// Shared chats on top of a node: opens them, sends their changes to every
// member whose copy shares chats, and takes the changes members send.
// Members whose copies do not share chats (copies without keys, older
// builds) stay members all the same: the windows send them every line, as
// to anybody, and they keep lists of their own.
#include "RateLimit.h"
#include "Backlog.h"
#include "ChatNode.h"
#include "RoomBook.h"
#include "RoomMessage.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace lanyx::rooms {

struct RoomEvent {
    enum class Kind : std::uint8_t {
        Joined,   // `by` brought us into a chat
        Added,    // `by` added `names`
        Removed,  // `by` removed `names`
        Dropped,  // `by` removed us: the chat is forgotten here
        Renamed,  // `names` = {the name before, the name now}, by that member
    };
    Kind kind = Kind::Joined;
    std::string by;
    std::vector<std::string> names;
};

class RoomObserver {
public:
    virtual ~RoomObserver() = default;
    // `room` as it is after the change (for Dropped, as it was).
    virtual void roomChanged(const Room& room, const RoomEvent& event) = 0;
    // The lines the chat held before we were added, oldest first, as `by`
    // (who added us) kept them: chat lines of the chat, each marked not
    // verified unless `by` said it. The history has them already.
    virtual void roomBacklog(const Room& /*room*/, const std::string& /*by*/, const std::vector<Message>& /*lines*/) {}
};

class RoomService final : public Capability {
public:
    explicit RoomService(ChatNode& node);
    ~RoomService() override;
    RoomService(const RoomService&) = delete;
    RoomService& operator=(const RoomService&) = delete;

    void setObserver(RoomObserver* observer) { observer_ = observer; }
    // Keeps the chats in `file` (Rooms.txt in the data folder): read now,
    // written within kSaveDelayMs of a change (once for all changes
    // meanwhile) and when the service ends. Without it they last as long
    // as the run.
    void keepIn(std::filesystem::path file);
    static constexpr std::uint32_t kSaveDelayMs = 1000;
    // Writes what changed now; false when it could not be written.
    bool flush();
    // Chats we are brought into by one sender's key: this many at once,
    // then one per kInviteRefillMs.
    static constexpr std::uint32_t kInviteBurst = 8;
    static constexpr std::uint32_t kInviteRefillMs = 60'000;
    // A shared chat of the user with `others`, when at least one of them
    // shares chats (else nothing: the window stays a list of its own).
    const Room* open(const std::vector<std::string>& others);
    // The user changes a chat's members: every member is told (and whoever
    // was removed). False when nothing changed.
    bool add(const std::string& id, const std::string& name);
    bool remove(const std::string& id, const std::string& name);
    // The user wrote a line in the chat: it is one the user takes part in.
    void touch(const std::string& id);
    // Whether `name`'s copy takes part in shared chats.
    bool sharesChats(const std::string& name) const { return node_.CanTake(name, kRoomsWord) == Reach::Yes; }
    // Tells `name` the members of every chat holding it (a member that came
    // back may have missed changes).
    void resendTo(const std::string& name);
    // The chat's recent lines as this copy keeps them (the history's rows,
    // oldest first): a member the user adds gets the newest of them, up to
    // kMaxBacklogLines, once his copy has taken the change. Without it
    // nobody gets any.
    using BacklogSource = std::function<std::vector<Message>(const std::string& id)>;
    void setBacklogSource(BacklogSource source) { backlogSource_ = std::move(source); }
    // After we were brought into a chat, its lines are taken from who did
    // it for this long, once.
    static constexpr std::uint32_t kBacklogWaitMs = 10 * 60'000;
    RoomBook& book() { return book_; }
    const RoomBook& book() const { return book_; }

    // Capability
    std::string_view tag() const override { return kRoomTag; }
    std::string_view word() const override { return kRoomsWord; }
    bool message(const std::string& sender, const std::string& body, IpAddress sourceV4) override;
    bool holds(const std::string& name) const override { return book_.latestWith(name) != nullptr; }
    void delivery(const DeliveryReport& report) override;
    // A line that says it is of a shared chat is one only when the chat is
    // held here with its sender and this copy's user among the members.
    void vet(Message& message) const override;
    // A member (or this copy's user) is known by another name now.
    void renamed(const std::string& from, const std::string& to) override;

private:
    class BacklogPort;
    // Returns the report of what went to `watch`, when it went.
    std::optional<DeliveryReport> tell(const RoomMessage& m, const std::vector<std::string>& also = {},
                                       const std::string& watch = {});
    bool takeBacklog(const std::string& sender, const std::string& body);
    void save();
    // Spends one of the sender's invitations; false when none is left.
    bool invitationAllowed(const std::string& sender);
    std::filesystem::path file_;
    std::string me() const { return node_.state().MyName; }

    ChatNode& node_;
    RoomBook book_;
    RoomObserver* observer_ = nullptr;
    bool dirty_ = false;
    bool saveQueued_ = false;
    std::unordered_map<std::string, TokenBucket> invitations_;  // by the sender's signing key
    BacklogSource backlogSource_;
    std::unique_ptr<BacklogPort> backlogPort_;
    // Sent once the change that adds its member is taken, by that report's id.
    struct BacklogToSend {
        std::string name;
        std::string body;
    };
    std::unordered_map<std::uint64_t, BacklogToSend> backlogsToSend_;
    // Chats we were brought into lately: whose backlog is taken, and since when.
    struct BacklogAwaited {
        std::string by;
        std::uint32_t since = 0;
    };
    std::unordered_map<std::string, BacklogAwaited> backlogsAwaited_;  // by chat id
    static constexpr std::size_t kMaxBacklogsHeld = 64;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace lanyx::rooms
