#pragma once
// The node's side of pictures: announcements sent and taken (see
// PictureMessage.h). A copy takes an announcement only from a member of
// the conversation it names (a shared chat's members as this copy knows
// them; a private one's member is the sender himself), of a picture no
// larger than kMaxBytes, and not more of them than a sane pace allows. What
// it took waits, for a while, for the file it announced.
#include "ChatNode.h"
#include "PictureMessage.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lanyx::pictures {

// Why an announcement (or the file after it) was not taken.
enum class Refusal : std::uint8_t {
    None,
    Unreadable,   // the announcement does not read
    NotMember,    // the sender is not a member of the chat it names
    TooLarge,     // over kMaxBytes
    TooFast,      // more pictures or bytes this minute than a sender may send
    NotExpected,  // a file no announcement of its sender named
    Damaged,      // the file is not what its announcement said (size, hash)
    NotAPicture,  // it does not decode as its type within the limits
};

// A picture announced and not yet arrived.
struct Expected {
    std::string sender;  // as the announcement came
    Announcement announcement;
    std::int64_t untilMs = 0;  // wall clock: given up after this
};

class PictureService final : public Capability {
public:
    explicit PictureService(ChatNode& node);
    ~PictureService() override;
    PictureService(const PictureService&) = delete;
    PictureService& operator=(const PictureService&) = delete;

    // A sender's pictures in any minute, at most.
    static constexpr std::size_t kPerMinute = 12;
    static constexpr std::uint64_t kBytesPerMinute = 4 * kMaxBytes;
    // An announced picture waits this long for its file.
    static constexpr std::int64_t kWaitMs = 10 * 60 * 1000;
    // Announcements waiting at once, from everybody.
    static constexpr std::size_t kMaxExpected = 64;

    // Who the members of the shared chat `roomId` are here. Without it no
    // shared chat's picture is taken.
    void setMembers(std::function<std::vector<std::string>(const std::string& roomId)> members) {
        members_ = std::move(members);
    }
    // What became of an announcement this copy sent.
    std::function<void(const DeliveryReport&)> announced;

    // Tells `to` of a picture; what the node says of its delivery.
    std::optional<DeliveryReport> announce(const std::string& to, const Announcement& announcement);
    // The announcement a file of `sender` named `fileName` of `size` bytes
    // answers (nothing when none does).
    const Expected* expected(const std::string& sender, const std::string& fileName, std::uint64_t size);
    // The same, no longer waited for.
    std::optional<Expected> take(const std::string& sender, const std::string& fileName);
    std::size_t waiting() const { return expected_.size(); }
    // What the last announcement from a peer came to.
    Refusal lastRefusal() const { return lastRefusal_; }

    // Capability
    std::string_view tag() const override { return kTag; }
    std::string_view word() const override { return kWord; }
    bool message(const std::string& sender, const std::string& body, IpAddress sourceV4) override;
    void delivery(const DeliveryReport& report) override;
    void renamed(const std::string& from, const std::string& to) override;

private:
    bool isMember(const std::string& chat, const std::string& name) const;
    bool withinPace(const std::string& sender, std::uint64_t bytes);
    void expire();

    ChatNode& node_;
    std::function<std::vector<std::string>(const std::string&)> members_;
    std::deque<Expected> expected_;
    // Lower-case sender -> (time, bytes) of this minute's pictures.
    std::map<std::string, std::deque<std::pair<std::int64_t, std::uint64_t>>> recent_;
    Refusal lastRefusal_ = Refusal::None;
};

}  // namespace lanyx::pictures
