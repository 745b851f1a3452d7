#pragma once
// What a user does to a line said between copies of ours, after it was
// said: reacts to it with an emoji (the same again takes it back), or, for
// his own line and within a day, puts other words in its place or takes it
// back. Sealed like a private message, to whoever the line was for; copies
// without keys, and copies that do not announce kWord, are told nothing.
// A copy takes an edit or a deletion only from the key that said the line,
// and a reaction only from somebody the line was said to.
//
// What is sent reads, one field a line (UTF-8):
//   1          the format
//   <verb>     react, unreact, edit or delete
//   <id>       the line's id (16 hexadecimal digits)
//   <what>     the emoji, or the line's new words (react, unreact, edit)
#include "ChatNode.h"
#include "Error.h"
#include "HistoryPort.h"
#include "Message.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx::verbs {

inline constexpr std::string_view kTag = "lanyx-verb ";
inline constexpr std::string_view kWord = "verbs";

enum class Verb : std::uint8_t { React, Unreact, Edit, Delete };

struct Request {
    Verb verb = Verb::React;
    std::uint64_t line = 0;
    std::string what;  // the emoji or the new words
};

// What a request is on the wire (after the tag), and back. Nothing for
// what does not read; an emoji or new words that cannot be taken do not.
std::string Encode(const Request& request);
std::optional<Request> Decode(std::string_view body);

// A reaction: one emoji of at most kMaxEmojiBytes, nothing else (no
// letters, digits, spaces or controls).
inline constexpr std::size_t kMaxEmojiBytes = 32;
bool IsReaction(std::string_view utf8);
// New words for a line: not blank, at most this long.
inline constexpr std::size_t kMaxTextBytes = 4000;

// A line as the verbs know it.
struct LineRef {
    std::uint64_t id = 0;
    bool own = false;
    std::string author;  // as named when it came; the user's own name for his own
    // The conversation, as the history keys it ("#id", a member tag, or
    // the other user in lower case).
    std::string chat;
    std::int64_t timeMs = 0;
    std::string text;
    bool deleted = false;
};

class VerbObserver {
public:
    virtual ~VerbObserver() = default;
    // `who` reacted to the line with `emoji` (`added` false: took it back).
    virtual void reacted(const LineRef& /*line*/, const std::string& /*who*/, const std::string& /*emoji*/,
                         bool /*added*/) {}
    // The line says `line.text` now (its author edited it).
    virtual void edited(const LineRef& /*line*/) {}
    // Its author took the line back.
    virtual void deleted(const LineRef& /*line*/) {}
};

class LineVerbs final : public Capability, public MessageObserver {
public:
    explicit LineVerbs(ChatNode& node);
    ~LineVerbs() override;
    LineVerbs(const LineVerbs&) = delete;
    LineVerbs& operator=(const LineVerbs&) = delete;

    // A line can be edited or taken back this long after it was said.
    static constexpr std::int64_t kChangeWithinMs = 24LL * 3600 * 1000;
    // The lines remembered, newest kept.
    static constexpr std::size_t kRemembered = 4096;

    void addObserver(VerbObserver* observer);
    void removeObserver(VerbObserver* observer);
    // Who the members of the shared chat `roomId` are here (the user's
    // own name among them or not): those a reaction to one of its lines
    // goes to and is taken from. Without it a chat's lines take none.
    void setMembers(std::function<std::vector<std::string>(const std::string& roomId)> members) {
        members_ = std::move(members);
    }
    // Where a line not met in this run is looked up (the history): its
    // kept rows, the first as it was said, one per recipient of a line of
    // the user's to several.
    void setLookup(std::function<std::vector<Message>(std::uint64_t id)> lookup) { lookup_ = std::move(lookup); }

    // The user's own doings: a reaction (`on` false takes it back), new
    // words for his line, his line taken back. Told to the line's people
    // and to the observers here; the Error says why not (LineUnknown,
    // LineNotYours, LineTooOld, LineDeleted, NotAReaction, LineTextEmpty).
    Result<void> react(std::uint64_t line, const std::string& emoji, bool on = true);
    Result<void> edit(std::uint64_t line, const std::string& text);
    Result<void> remove(std::uint64_t line);
    // Whether the user may still edit or take back the line (why not).
    Result<void> changeable(std::uint64_t line);
    // Whether the user reacted to the line with the emoji already.
    bool reactedWith(std::uint64_t line, const std::string& emoji) const;
    // Who reacted to the line, by emoji, in the order they came.
    std::map<std::string, std::vector<std::string>> reactions(std::uint64_t line) const;
    // The line as known here (looked up when not met in this run).
    const LineRef* line(std::uint64_t id);
    // The same, without a look into the history.
    const LineRef* known(std::uint64_t id) const {
        const auto* k = find(id);
        return k ? &k->ref : nullptr;
    }
    // The people a line's verbs go to (not the user).
    std::vector<std::string> peopleOf(const LineRef& line) const;
    // Requests sent and not yet confirmed or given up.
    std::size_t awaiting() const { return awaiting_.size(); }
    // What the last request from a peer came to (a code, for the log and tests).
    Reason lastRefusal() const { return lastRefusal_; }

    // Capability
    std::string_view tag() const override { return kTag; }
    std::string_view word() const override { return kWord; }
    bool message(const std::string& sender, const std::string& body, IpAddress sourceV4) override;
    void renamed(const std::string& from, const std::string& to) override;
    void delivery(const DeliveryReport& report) override;
    using MessageObserver::delivery;
    // MessageObserver: the lines that come and go.
    void message(const Message& m) override;

private:
    struct Known {
        LineRef ref;
        std::set<std::string> to;  // our own line's recipients (lower case)
        std::map<std::string, std::vector<std::string>> reactions;
    };
    Known* find(std::uint64_t id);
    const Known* find(std::uint64_t id) const;
    // Met here, or else kept.
    Known* findOrLookUp(std::uint64_t id);
    Known* remember(const Message& m);
    Result<void> mayChange(const Known* k) const;
    bool takesPartIn(const Known& k, const std::string& name) const;
    void tell(const Known& k, const Request& request);
    bool apply(Known& k, const std::string& who, const Request& request);

    ChatNode& node_;
    std::vector<VerbObserver*> observers_;
    std::function<std::vector<std::string>(const std::string&)> members_;
    std::function<std::vector<Message>(std::uint64_t)> lookup_;
    std::map<std::uint64_t, Known> lines_;
    std::deque<std::uint64_t> order_;
    Reason lastRefusal_ = Reason::Unknown;
    std::set<std::uint64_t> awaiting_;
};

// What authors did to their lines, kept in the history.
class KeptChanges final : public VerbObserver {
public:
    explicit KeptChanges(HistoryRecorder& history) : history_(history) {}
    void edited(const LineRef& line) override;
    void deleted(const LineRef& line) override;

private:
    HistoryRecorder& history_;
};

// The words a reply goes with to copies that do not know the line it
// answers: the start of that line in quotes, then the reply.
std::string ReplyText(std::string_view quoted, std::string_view reply);
// The reply of such words without the quoted start (as it is when there
// is none).
std::string_view WithoutQuote(std::string_view text);
// The quoted start itself (empty when there is none).
std::string_view QuotedStart(std::string_view text);

}  // namespace lanyx::verbs
