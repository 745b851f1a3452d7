#pragma once
// "Seen by bob" between copies of ours: when a line from a copy of ours
// has been in front of the user (its window active), his copy tells the
// line's sender, sealed, by the line's id; the sender's copy shows who saw
// the last line it sent in a conversation. The user can turn telling off;
// what others tell is still shown. Copies without keys, and copies that do
// not announce kWord, are told nothing.
//
// What is sent reads (UTF-8): "1", a line end, and the line's id.
#include "ChatNode.h"
#include "Message.h"

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <string_view>

namespace lanyx::readmarks {

inline constexpr std::string_view kTag = "lanyx-seen ";
inline constexpr std::string_view kWord = "seen";

class ReadMarkObserver {
public:
    virtual ~ReadMarkObserver() = default;
    // `who` saw the last line the user sent in the conversation `chat`
    // (as the history keys it: "#id", a member tag, or the person).
    virtual void seenBy(const std::string& chat, const std::string& who) = 0;
};

class ReadMarks final : public Capability, public MessageObserver {
public:
    explicit ReadMarks(ChatNode& node);
    ~ReadMarks() override;
    ReadMarks(const ReadMarks&) = delete;
    ReadMarks& operator=(const ReadMarks&) = delete;

    void setObserver(ReadMarkObserver* observer) { observer_ = observer; }
    // Whether this copy tells others what the user saw.
    void setTelling(bool on) { telling_ = on; }
    bool telling() const { return telling_; }
    // The line `lineId` from `sender` has been in front of the user.
    void seen(const std::string& sender, std::uint64_t lineId);
    // The lines of ours remembered, to know what a mark is for.
    static constexpr std::size_t kRemembered = 1024;

    // Capability
    std::string_view tag() const override { return kTag; }
    std::string_view word() const override { return kWord; }
    bool message(const std::string& sender, const std::string& body, IpAddress sourceV4) override;
    // MessageObserver: the lines of ours that leave.
    void message(const Message& m) override;

private:
    struct Sent {
        std::string chat;
        std::set<std::string> to;  // lower case
    };
    ChatNode& node_;
    ReadMarkObserver* observer_ = nullptr;
    bool telling_ = true;
    std::map<std::uint64_t, Sent> sent_;
    std::deque<std::uint64_t> order_;
    std::map<std::string, std::uint64_t> lastOf_;  // conversation -> our last line there
    std::map<std::string, std::uint64_t> told_;    // sender (lower case) -> last line told seen
};

// The conversation a line of ours is in, as the history keys it.
std::string ChatOf(const Message& m);

}  // namespace lanyx::readmarks
