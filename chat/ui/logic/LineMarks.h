#pragma once
// What became of each own private line in a chat window, per recipient:
// a lock or in the clear, then waiting, delivered or not confirmed. The
// marks are what the window shows beside a line, never part of the
// transcript, its exports or the saved conversation. No widgets.
//
// A line the window sends comes back to it from the own copy a moment
// later like anybody's line; until then its mark waits here (pending) and
// takes the reports that arrive first. Reports are found by the message
// number every report of one message carries, and by the recipient.
#include "SecureLink.h"

#include <cstddef>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lanyx::ui {

struct LineMark {
    std::vector<DeliveryReport> rows;  // one per recipient, the own name left out
};

// What a mark shows, piece by piece; the window draws each piece's icon
// and words in the user's language. Queued: kept here until the recipient
// is seen.
enum class MarkGroup { Delivered, Waiting, NotConfirmed, Clear, Withheld, Queued };
struct MarkPart {
    std::string name;  // the recipient, for a few; empty for one or for a count
    MarkGroup group = MarkGroup::Waiting;
    std::size_t count = 0;  // how many, where too many to name; 0 otherwise
};

class LineMarks {
public:
    // Lines sent whose own copy has not been shown yet; older ones are
    // given up (the own copy was lost or is not shown while away).
    static constexpr std::size_t kMaxPending = 32;
    // Up to this many recipients are named on the line; more are counted.
    static constexpr std::size_t kMaxNamed = 3;

    // A line went out privately with these reports (SendPrivate's, one per
    // recipient). Nothing is kept when only the own name received it.
    void sent(const std::string& text, const std::vector<DeliveryReport>& reports, std::string_view ownName);
    // The window showed `text` from the own name as transcript line `line`.
    // True when it is the own copy of a line sent: the mark now belongs to
    // that line.
    bool shown(std::size_t line, const std::string& text);
    // A later report. The line whose mark changed; nothing for a report of
    // another window's message, or of a line not shown yet.
    std::optional<std::size_t> update(const DeliveryReport& report);
    // The transcript was cleared: its lines' marks go; lines sent and not
    // shown yet keep theirs.
    void clear();

    const LineMark* mark(std::size_t line) const;
    std::size_t lines() const { return lines_.size(); }
    std::size_t pending() const { return pending_.size(); }

    // Short, for the end of the line: the state alone for one recipient,
    // each recipient with its state for a few, counts per state for many.
    static std::vector<MarkPart> parts(const LineMark& mark);
    static MarkGroup groupOf(const DeliveryReport& report);
    // Something the user should look at: a recipient did not confirm, or
    // nothing went to a recipient.
    static bool warns(const LineMark& mark);
    // The own copy of `sent` as the window shows it: trimmed, through the
    // wire's code page, perhaps with the "not verified" mark in front.
    static bool sameLine(std::string_view sent, std::string_view shown);

private:
    struct Pending {
        std::string text;
        LineMark mark;
    };
    static bool apply(LineMark& mark, const DeliveryReport& report);

    std::deque<Pending> pending_;
    std::map<std::size_t, LineMark> lines_;
    std::unordered_map<std::uint64_t, std::size_t> byId_;  // message number to line
};

}  // namespace lanyx::ui
