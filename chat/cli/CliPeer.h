#pragma once
// lanyx-cli: a headless copy of the chat node for terminals and scripts.
#include "ChatNode.h"
#include "RoomService.h"

#include <functional>
#include <iosfwd>
#include <cstdint>
#include <optional>
#include <map>
#include <set>
#include <unordered_map>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx::cli {

// What lanyx-cli history prints.
struct HistoryQuery {
    std::optional<std::string> search;
    std::optional<std::string> with;
    std::optional<std::string> room;  // the lines of this shared chat (its id)
    std::optional<std::int64_t> sinceMs;
    std::uint32_t limit = 0;          // the newest N; 0: all
    std::optional<std::string> file;  // this file instead of the data folder's History.db
};

struct CliOptions {
    // listen, who, alert, chat, room, image, send, networks, keys, verify, history, waiting, rename,
    // reply, react, edit, delete
    std::string command;
    std::vector<std::string> to;
    std::string text;
    std::optional<std::string> room;           // chat: a shared chat's id, or "new" to open one with --to
    std::string roomAction;                    // room: add or remove
    std::string roomId;                        // room: the shared chat
    std::vector<std::string> roomNames;        // room: the members added or removed
    std::string newName;                       // rename (while listening): the new user name
    std::uint64_t lineId = 0;                  // reply, react, edit, delete: the line (text: the words or emoji)
    std::vector<std::string> paths;            // send: files and folders; image: the picture
    std::string verifyName;                    // verify: whose key
    std::string safetyNumber;                  // verify: the number the other user read (digits)
    bool keepKnown = false;                    // verify: keep the known key instead
    std::uint64_t cancelWaiting = 0;           // waiting: the message to take back (0: list them)
    std::optional<std::string> acceptInto;     // listen: accept offers into this folder
    std::vector<std::string> acceptFrom;       // ... from these users only (else from users whose key is checked)
    std::optional<std::uint64_t> acceptQuota;  // ... up to this many bytes in all
    bool declineOffers = false;                // listen: decline every offer
    bool all = false;                          // who: also the users with a known key who are away
    std::uint32_t offerWaitMs = 300000;        // send: how long an offer waits for its answer
    std::optional<std::string> dir;
    std::optional<std::string> name;
    std::optional<int> status;
    std::optional<std::uint32_t> colour;
    std::uint32_t probeMs = 10000;
    std::uint32_t waitMs = 3000;  // past the longest reply delay of a busy segment
    std::string broadcast = "255.255.255.255";
    std::vector<std::string> also;  // extra destinations for this run
    HistoryQuery history;           // history: what to print
    bool help = false;
    bool version = false;
};

// Parses the arguments (without the program name). Returns an error text
// for the user when they make no sense.
std::optional<std::string> ParseArgs(const std::vector<std::string>& args, CliOptions& out);
// "255", "#ff0000" (red) or "0x0000ff" (red as 0x00BBGGRR) to a colour value.
std::optional<std::uint32_t> ParseColour(const std::string& text);
std::string HelpText();
// "2024-05-01", "2024-05-01T09:30", "2024-05-01 09:30:15", local time
// unless a "Z" or "+02:00" says otherwise; ms since 1970.
std::optional<std::int64_t> ParseHistoryDate(const std::string& text);

// A line of commands read while listening, split into words as a shell
// would (blanks separate; '...' and "..." keep blanks; \ escapes the next
// character). Nothing when a quote is left open.
std::optional<std::vector<std::string>> SplitWords(std::string_view line);

// A shared chat's change as the text of a `room` event: the id, the
// members, then added=, removed=, joined or dropped.
std::string RoomEventText(const rooms::Room& room, const rooms::RoomEvent& event);

// One event a line: kind, sender, text, separated by tabs. Tabs and line
// breaks inside the text become blanks, so that every event is one line.
// Control characters (C0, DEL, and C1 as the wire's unassigned bytes decode)
// as \xNN, so that what a peer sends cannot reach the terminal as controls.
std::string EscapeControls(std::string_view utf8);
std::string EventLine(const std::string& kind, const std::string& sender, const std::string& text);
// "new key, not checked", "checked by you", "changed", ...
std::string KeyStateText(KeyState state);
// Exit status of alert and chat when a private message was not sent at all
// (the recipient's key changed, or as many wait for an absent one as are kept).
inline constexpr int kWithheld = 6;
// What became of a private message, as lanyx-cli prints it.
std::string DeliveryText(const DeliveryReport& report);
// 1000 as "1,000".
std::string WithThousands(std::uint64_t n);

// Prints what the node hears.
class EventPrinter : public MessageSink, public UserListObserver {
public:
    EventPrinter(std::ostream& out, UserList& users);
    void setPrinting(bool on);
    // Called before each line is printed (to clear a progress line).
    void setBeforeLine(std::function<void()> fn) { beforeLine_ = std::move(fn); }
    // A line about this copy itself (kind, empty sender, text), while printing.
    void note(const std::string& kind, const std::string& text);
    // Any event line, while printing.
    void event(const std::string& kind, const std::string& sender, const std::string& text) {
        line(kind, sender, text);
    }
    // ... with fields of ours after it ("re=..."), each after a tab.
    void event(const std::string& kind, const std::string& sender, const std::string& text,
               const std::vector<std::string>& fields);
    bool everSeen(const std::string& name) const;

    void show(const Message& message) override;
    void PrivateDelivery(const DeliveryReport& report) override;
    void KeyWarning(const std::string& name, const std::string& text) override;
    void ListFull(bool blockedList, std::size_t leftOut, std::size_t cap) override;
    // Encrypted messages sent and not yet confirmed or given up.
    std::size_t awaitingReceipts() const { return awaiting_.size(); }
    // The line being sent now (0: none): its delivery lines end with its id.
    void sending(std::uint64_t lineId) { sending_ = lineId; }

    void rowsReset() override {}
    void userAdded(std::size_t index) override;
    void userRemoved(const std::string& name) override;
    void userChanged(std::size_t index) override;

private:
    struct Shown {
        std::uint32_t colour = 0;
        std::int16_t status = -1;
        KeyState keys = KeyState::NoKeys;
    };
    std::set<std::uint64_t> awaiting_;
    std::uint64_t sending_ = 0;
    std::map<std::uint64_t, std::uint64_t> lineOf_;  // report id -> line id
    std::function<void()> beforeLine_;
    void line(const std::string& kind, const std::string& sender, const std::string& text);
    std::ostream& out_;
    UserList& users_;
    bool printing_ = false;
    std::set<std::string> seen_;
    std::unordered_map<std::string, Shown> shown_;  // by name
};

}  // namespace lanyx::cli
