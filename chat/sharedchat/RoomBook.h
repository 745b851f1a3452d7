#pragma once
// The shared chats this copy is in, and the rules that keep every member's
// list the same: a change counts only when it comes from a current member,
// under the name its key is pinned for, and is newer than what is known
// (the serial, then the author's name, decide between two changes made at
// once, so that every member takes the same one). A removal wins over a
// change the removed member made at the same serial, whichever comes
// first: a member just taken out cannot undo it by racing it.
#include "RoomMessage.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lanyx::rooms {

struct Room {
    std::string id;
    std::uint64_t serial = 0;
    std::string author;  // of the change that made the list what it is
    std::vector<std::string> members;
    // Who the change at `serial` took out (lower case): a change they made
    // at the same moment still counts, so that both orders end alike.
    std::vector<std::string> justRemoved;
    std::uint64_t used = 0;  // when it last changed or was asked for
    // The user opened it, changed it or wrote in it; false for a chat
    // somebody brought us into that we did nothing with yet.
    bool takenPart = true;

    bool has(std::string_view name) const;
};

// What a change received did here.
struct Outcome {
    enum class Kind : std::uint8_t {
        Ignored,  // `reason` says why
        Joined,   // a chat this copy did not know, with us in it
        Changed,  // members came or went
        Dropped,  // we were taken out: the chat is forgotten here
    };
    Kind kind = Kind::Ignored;
    std::string reason;
    std::vector<std::string> added, removed;
};

class RoomBook {
public:
    // Chats kept at most. A new one pushes out the chat unused the longest
    // of those we were brought into and did nothing with; a chat the user
    // took part in is pushed out only by one the user opens, never by
    // somebody else's: such an invitation is refused instead.
    static constexpr std::size_t kMaxRooms = 256;

    explicit RoomBook(std::function<std::string()> newId);

    // A new chat of `me` and `others` (repeats and invalid names left out).
    const Room& open(const std::string& me, const std::vector<std::string>& others);
    // The user adds or removes a member: the change to send, nothing when
    // it changes nothing (or the chat is not known).
    std::optional<RoomMessage> add(const std::string& id, const std::string& me, const std::string& name);
    std::optional<RoomMessage> remove(const std::string& id, const std::string& me, const std::string& name);
    // The whole list as it stands, to tell a member who missed changes.
    std::optional<RoomMessage> state(const std::string& id) const;
    // A change that came encrypted from `sender` (its key verified).
    Outcome receive(const std::string& me, const std::string& sender, const RoomMessage& m);

    const Room* find(std::string_view id) const;
    // The chat holding `name` that changed or was asked for last.
    const Room* latestWith(std::string_view name) const;
    // The user wrote in the chat: used now, and taken part in.
    void touch(std::string_view id);
    // A chat as it was kept (false when it is no valid chat).
    bool restore(Room room);
    void forget(std::string_view id);
    // A user known by another name now, in every chat (once each); the ids
    // of the chats that held the user.
    std::vector<std::string> rename(std::string_view from, const std::string& to);
    std::size_t size() const { return rooms_.size(); }
    const std::vector<Room>& rooms() const { return rooms_; }

private:
    Room* findMutable(std::string_view id);
    std::optional<RoomMessage> change(Room& r, const std::string& me, Change c, const std::string& name);
    // Room for one more; false when only chats taken part in could go and
    // `forUser` is not set.
    bool makeRoom(bool forUser);

    std::function<std::string()> newId_;
    std::vector<Room> rooms_;
    std::uint64_t clock_ = 0;
};

// The chats as `Rooms.txt` keeps them beside the settings: a first line
// "Lanyx shared chats 1", then one chat a line: id, serial, author and the
// members, separated by tabs (UTF-8); last, when there are any, a line
// "unanswered" with the ids of the chats not taken part in (a file without
// it, as earlier builds wrote, has every chat taken part in). Reading takes
// every good line and says how many it left out.
std::string SaveRooms(const RoomBook& book);
std::size_t LoadRooms(std::string_view text, RoomBook& book);

// 128 random bits as 32 hexadecimal digits.
std::string NewRoomId();

}  // namespace lanyx::rooms
