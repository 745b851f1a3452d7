#include "CliPeer.h"

#include "LineHeader.h"

#include "Networks.h"
#include "Outbox.h"
#include "LineVerbs.h"
#include "Text.h"

#include <ctime>
#include <limits>
#include <ostream>

namespace lanyx::cli {

std::optional<std::uint32_t> ParseColour(const std::string& text) {
    auto hex = [](const std::string& s) -> std::optional<std::uint32_t> {
        if (s.empty() || s.size() > 6) return std::nullopt;
        std::uint32_t v = 0;
        for (char c : s) {
            v <<= 4;
            if (c >= '0' && c <= '9') v |= static_cast<std::uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f') v |= static_cast<std::uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') v |= static_cast<std::uint32_t>(c - 'A' + 10);
            else return std::nullopt;
        }
        return v;
    };
    if (!text.empty() && text[0] == '#') {
        const auto rgb = hex(text.substr(1));
        if (!rgb || text.size() != 7) return std::nullopt;
        // #RRGGBB to 0x00BBGGRR
        return ((*rgb & 0xFF) << 16) | (*rgb & 0xFF00) | ((*rgb >> 16) & 0xFF);
    }
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return hex(text.substr(2));
    const auto v = parseNumber(text);
    if (!v || *v < 0 || *v > 0xFFFFFF || text.find('.') != std::string::npos) return std::nullopt;
    return static_cast<std::uint32_t>(*v);
}

namespace {

bool digits(const std::string& s, std::size_t at, std::size_t n, int& value) {
    if (at + n > s.size()) return false;
    value = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        value = value * 10 + (s[i] - '0');
    }
    return true;
}

std::int64_t utcSeconds(int y, int mo, int d, int h, int mi, int s) {
    // Days from civil (proleptic Gregorian), without the time zone of the process.
    y -= mo <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (mo + (mo > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t days = static_cast<std::int64_t>(era) * 146097 + doe - 719468;
    return days * 86400 + h * 3600 + mi * 60 + s;
}

}  // namespace

std::optional<std::int64_t> ParseHistoryDate(const std::string& t) {
    int y, mo, d, h = 0, mi = 0, s = 0;
    if (!digits(t, 0, 4, y) || t.size() < 10 || t[4] != '-' || !digits(t, 5, 2, mo) || t[7] != '-' ||
        !digits(t, 8, 2, d))
        return std::nullopt;
    std::size_t at = 10;
    if (at < t.size() && (t[at] == 'T' || t[at] == ' ')) {
        if (!digits(t, at + 1, 2, h) || at + 3 >= t.size() || t[at + 3] != ':' || !digits(t, at + 4, 2, mi))
            return std::nullopt;
        at += 6;
        if (at < t.size() && t[at] == ':') {
            if (!digits(t, at + 1, 2, s)) return std::nullopt;
            at += 3;
        }
    }
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mo < 1 || mo > 12 || d < 1 || d > kDays[mo - 1] || h > 23 || mi > 59 || s > 60) return std::nullopt;
    if (mo == 2 && d == 29 && !((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return std::nullopt;
    if (at == t.size()) {
        std::tm tm{};
        tm.tm_year = y - 1900;
        tm.tm_mon = mo - 1;
        tm.tm_mday = d;
        tm.tm_hour = h;
        tm.tm_min = mi;
        tm.tm_sec = s;
        tm.tm_isdst = -1;
        const std::time_t local = std::mktime(&tm);
        if (local == static_cast<std::time_t>(-1)) return std::nullopt;
        return static_cast<std::int64_t>(local) * 1000;
    }
    std::int64_t offset = 0;
    if (t[at] == 'Z' && at + 1 == t.size()) {
        offset = 0;
    } else if ((t[at] == '+' || t[at] == '-') && t.size() == at + 6 && t[at + 3] == ':') {
        int oh, om;
        if (!digits(t, at + 1, 2, oh) || !digits(t, at + 4, 2, om) || oh > 23 || om > 59) return std::nullopt;
        offset = (oh * 3600 + om * 60) * (t[at] == '-' ? -1 : 1);
    } else {
        return std::nullopt;
    }
    return (utcSeconds(y, mo, d, h, mi, s) - offset) * 1000;
}

std::optional<std::string> ParseArgs(const std::vector<std::string>& args, CliOptions& o) {
    std::vector<std::string> words;
    bool offerWaitGiven = false, historyOption = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& v) -> bool {
            if (i + 1 >= args.size()) return false;
            v = args[++i];
            return true;
        };
        auto number = [&](std::uint32_t& target, std::uint32_t max) -> std::optional<std::string> {
            std::string v;
            if (!value(v)) return a + " needs a number";
            const auto n = parseNumber(v);
            if (!n || *n < 0 || static_cast<std::uint64_t>(*n) > max) return a + ": not a valid number: " + v;
            target = static_cast<std::uint32_t>(*n);
            return std::nullopt;
        };
        std::string v;
        if (a == "-h" || a == "--help") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--to") {
            if (!value(v) || v.empty()) return "--to needs a user name";
            o.to.push_back(v);
        } else if (a == "--room") {
            if (!value(v) || (v != "new" && !rooms::IsRoomId(v)))
                return "--room needs a shared chat's id (32 hexadecimal digits, as listen shows it) or new";
            o.room = v;
        } else if (a == "--dir") {
            if (!value(v) || v.empty()) return "--dir needs a folder";
            o.dir = v;
        } else if (a == "--name") {
            if (!value(v) || v.empty()) return "--name needs a user name";
            o.name = v;
        } else if (a == "--status") {
            if (!value(v) || (v != "0" && v != "1" && v != "2")) return "--status takes 0, 1 or 2";
            o.status = v[0] - '0';
        } else if (a == "--colour" || a == "--color") {
            if (!value(v)) return a + " needs a colour";
            o.colour = ParseColour(v);
            if (!o.colour) return "not a colour: " + v + " (use a number such as 255, or #rrggbb)";
        } else if (a == "--probe-ms") {
            if (auto e = number(o.probeMs, 600000)) return e;
        } else if (a == "--wait-ms") {
            if (auto e = number(o.waitMs, 3600000)) return e;
        } else if (a == "--broadcast") {
            if (!value(v) || v.empty()) return "--broadcast needs an IPv4 address";
            o.broadcast = v;
        } else if (a == "--also") {
            if (!value(v) || v.empty()) return "--also needs a host name or IPv4 address";
            if (const auto p = net::destinationProblem(v)) return "--also " + v + ": " + *p;
            o.also.push_back(v);
        } else if (a == "--accept-into") {
            if (!value(v) || v.empty()) return "--accept-into needs a folder";
            o.acceptInto = v;
        } else if (a == "--accept-from") {
            if (!value(v) || v.empty()) return "--accept-from needs a user name";
            o.acceptFrom.push_back(v);
        } else if (a == "--accept-quota") {
            const auto n = value(v) ? parseNumber(v) : std::nullopt;
            if (!n || *n < 0) return "--accept-quota needs a number of bytes";
            o.acceptQuota = static_cast<std::uint64_t>(*n);
        } else if (a == "--keep-known") {
            o.keepKnown = true;
        } else if (a == "--all") {
            o.all = true;
        } else if (a == "--decline") {
            o.declineOffers = true;
        } else if (a == "--offer-wait-ms") {
            if (auto e = number(o.offerWaitMs, 86400000)) return e;
            offerWaitGiven = true;
        } else if (a == "--search") {
            if (!value(v)) return "--search needs a query";
            o.history.search = v;
            historyOption = true;
        } else if (a == "--with") {
            if (!value(v) || v.empty()) return "--with needs a user name";
            o.history.with = v;
            historyOption = true;
        } else if (a == "--since") {
            if (!value(v)) return "--since needs a date";
            o.history.sinceMs = ParseHistoryDate(v);
            if (!o.history.sinceMs) return "--since: not a date: " + v + " (use 2024-05-01 or 2024-05-01T09:30)";
            historyOption = true;
        } else if (a == "--limit") {
            if (auto e = number(o.history.limit, 100000000)) return e;
            if (o.history.limit == 0) return "--limit needs a number above 0";
            historyOption = true;
        } else if (a == "--file") {
            if (!value(v) || v.empty()) return "--file needs a history file";
            o.history.file = v;
            historyOption = true;
        } else if (a == "--") {
            words.insert(words.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        } else if (a.size() > 1 && a[0] == '-') {
            return "unknown option " + a;
        } else {
            words.push_back(a);
        }
    }
    if (o.help || o.version) return std::nullopt;
    if (words.empty())
        return "no command given (listen, who, alert, chat, room, send, networks, keys, verify, history or waiting)";
    o.command = words[0];
    if (historyOption && o.command != "history") return "--search, --with, --since, --limit and --file go with history";
    if (o.command != "listen") {
        if (o.acceptInto) return "--accept-into goes with listen";
        if (o.declineOffers) return "--decline goes with listen";
    }
    if (offerWaitGiven && o.command != "send") return "--offer-wait-ms goes with send";
    if (o.room && o.command == "history") {
        if (*o.room == "new") return "--room with history needs a shared chat's id";
        if (o.history.with) return "--room and --with exclude each other";
        o.history.room = *o.room;
    } else if (o.room && o.command == "image") {
        if (*o.room == "new") return "--room with image needs a shared chat's id";
        if (!o.to.empty()) return "--room ID goes to the chat's members: no --to";
    } else if (o.room) {
        if (o.command != "chat") return "--room goes with chat, image and history";
        if (*o.room == "new" && o.to.empty()) return "--room new needs the members with --to NAME";
        if (*o.room != "new" && !o.to.empty()) return "--room ID goes to the chat's members: no --to";
    }
    if (o.keepKnown && o.command != "verify") return "--keep-known goes with verify";
    if (o.all && o.command != "who") return "--all goes with who";
    if (o.acceptInto && o.declineOffers) return "--accept-into and --decline exclude each other";
    if ((!o.acceptFrom.empty() || o.acceptQuota) && !o.acceptInto)
        return "--accept-from and --accept-quota go with --accept-into";
    if (o.command == "verify") {
        if (!o.to.empty()) return "verify takes the user name without --to";
        if (words.size() < 2) return "verify needs the user name";
        o.verifyName = words[1];
        for (std::size_t i = 2; i < words.size(); ++i) {
            for (char c : words[i]) {
                if (c >= '0' && c <= '9') o.safetyNumber += c;
                else if (c != ' ' && c != '-') return "a safety number has digits only: " + words[i];
            }
        }
        if (o.keepKnown && !o.safetyNumber.empty()) return "--keep-known takes no number";
        if (!o.safetyNumber.empty() && o.safetyNumber.size() != 60) return "a safety number has 60 digits";
    } else if (o.command == "waiting") {
        if (!o.to.empty()) return "waiting takes no --to";
        if (words.size() == 1) return std::nullopt;
        if (words[1] != "cancel" || words.size() != 3) return "waiting takes nothing, or cancel NUMBER";
        std::uint64_t n = 0;
        for (char c : words[2]) {
            if (c < '0' || c > '9' || n > (std::numeric_limits<std::uint64_t>::max() - 9) / 10)
                return "not a message number: " + words[2];
            n = n * 10 + static_cast<std::uint64_t>(c - '0');
        }
        if (n == 0) return "not a message number: " + words[2];
        o.cancelWaiting = n;
    } else if (o.command == "listen" || o.command == "who" || o.command == "networks" || o.command == "keys" ||
               o.command == "history") {
        if (words.size() > 1) return o.command + " takes no text";
        if (!o.to.empty()) return "--to goes with alert, chat and send";
    } else if (o.command == "send") {
        if (o.to.empty()) return "send needs --to NAME";
        if (words.size() < 2) return "send needs one or more files or folders";
        o.paths.assign(words.begin() + 1, words.end());
    } else if (o.command == "image") {
        if ((o.to.size() != 1) == !o.room) return "image needs --to NAME or --room ID";
        if (words.size() != 2) return "image takes one picture file";
        o.paths = {words[1]};
    } else if (o.command == "room") {
        if (!o.to.empty()) return "room takes the names without --to";
        if (words.size() < 4 || (words[1] != "add" && words[1] != "remove"))
            return "room takes add ID NAME... or remove ID NAME...";
        if (!rooms::IsRoomId(words[2]))
            return "not a shared chat's id: " + words[2] + " (32 hexadecimal digits, as listen shows it)";
        o.roomAction = words[1];
        o.roomId = words[2];
        for (std::size_t i = 3; i < words.size(); ++i) {
            if (!rooms::IsMemberName(words[i])) return "not a user name: " + words[i];
            o.roomNames.push_back(words[i]);
        }
    } else if (o.command == "rename") {
        if (!o.to.empty() || words.size() != 2) return "rename takes the new name";
        o.newName = words[1];
    } else if (o.command == "reply" || o.command == "react" || o.command == "edit" || o.command == "delete") {
        if (!o.to.empty()) return o.command + " goes to the line's conversation: no --to";
        const bool takesText = o.command != "delete";
        if (words.size() < (takesText ? 3u : 2u) ||
            (o.command != "reply" && o.command != "edit" && words.size() != (takesText ? 3u : 2u)))
            return o.command + (o.command == "delete"  ? " takes the line's ID"
                                : o.command == "react" ? " takes the line's ID and one emoji"
                                                       : " takes the line's ID and the text");
        const auto id = lineheader::ParseId(words[1]);
        if (!id) return "not a line's id: " + words[1] + " (16 hexadecimal digits, as listen shows it after id=)";
        o.lineId = *id;
        for (std::size_t i = 2; i < words.size(); ++i) o.text += (i > 2 ? " " : "") + words[i];
        if (takesText && trimBlanks(o.text).empty()) return "the text is empty";
        if (o.command == "react" && !verbs::IsReaction(o.text)) return "a reaction is one emoji: " + o.text;
    } else if (o.command == "alert" || o.command == "chat") {
        if (words.size() < 2) return o.command + " needs the text to send";
        for (std::size_t i = 1; i < words.size(); ++i) o.text += (i > 1 ? " " : "") + words[i];
        if (trimBlanks(o.text).empty()) return "the text is empty";
    } else {
        return "unknown command " + o.command;
    }
    return std::nullopt;
}

std::optional<std::vector<std::string>> SplitWords(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quote) {
            if (c == quote) quote = 0;
            else if (c == '\\' && quote == '"' && i + 1 < line.size()) word += line[++i];
            else word += c;
        } else if (c == '\'' || c == '"') {
            quote = c;
            inWord = true;
        } else if (c == '\\' && i + 1 < line.size()) {
            word += line[++i];
            inWord = true;
        } else if (c == ' ' || c == '\t' || c == '\r') {
            if (inWord) words.push_back(std::exchange(word, {}));
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quote) return std::nullopt;
    if (inWord) words.push_back(word);
    return words;
}

std::string RoomEventText(const rooms::Room& room, const rooms::RoomEvent& event) {
    const auto list = [](const std::vector<std::string>& names) {
        std::string s;
        for (const auto& n : names) s += (s.empty() ? "" : ",") + n;
        return s;
    };
    std::string text = room.id + " members=" + list(room.members);
    switch (event.kind) {
    case rooms::RoomEvent::Kind::Joined: text += " joined"; break;
    case rooms::RoomEvent::Kind::Added: text += " added=" + list(event.names); break;
    case rooms::RoomEvent::Kind::Removed: text += " removed=" + list(event.names); break;
    case rooms::RoomEvent::Kind::Dropped: text += " dropped"; break;
    case rooms::RoomEvent::Kind::Renamed:
        if (event.names.size() == 2) text += " renamed=" + event.names[0] + ">" + event.names[1];
        break;
    }
    return text;
}

std::string HelpText() {
    return R"help(Usage: lanyx-cli [options] COMMAND

A headless Lanyx peer: it joins the local network (UDP port 1414, broadcast)
as every Lanyx copy does: it listens for ten seconds under a probe name, then
joins under the user name, and leaves with a leave notice when it ends.

Commands:
  listen                 print one line per event until interrupted (Ctrl+C);
                         file offers are shown and left unanswered unless
                         --accept-into or --decline says otherwise. Lines
                         read on standard input are commands, with the words
                         of this command line: alert ..., chat --to NAME ...
                         TEXT, chat --room ID TEXT, image --to NAME FILE,
                         room add ID NAME, and rename NAME
  who [--all]            print the users present, then leave; with --all also
                         the users whose key is known who are away
  alert [--to NAME]... TEXT
                         send an alert: to each NAME privately, or to everybody
  chat [--to NAME]... TEXT
                         send a chat line the same way
  chat --room new --to NAME... TEXT
                         open a chat shared with the NAMEs (their copies
                         show the same members) and send the line; the
                         room event gives its id
  chat --room ID TEXT    send a chat line to every member of a shared chat
                         (listen shows the ids in its room events)
  room add ID NAME...    add the NAMEs to the shared chat ID (every member's
                         copy is told); room remove ID NAME... takes them out
  reply ID TEXT          answer the line ID (as listen shows it after id=) in
                         its conversation; copies without its id see the
                         start of that line in quotes before TEXT
  react ID EMOJI         react to the line ID with one emoji; the same again
                         takes the reaction back
  edit ID TEXT           put TEXT in place of an own line ID (within a day)
  delete ID              take back an own line ID (within a day)
  rename NAME            (a command on standard input while listening) go on
                         under the user name NAME, kept in User.ini as the
                         Options window does; other copies of ours carry the
                         conversations, key, groups and shared chats over
  image --to NAME FILE   send a picture (PNG, JPEG, GIF or WebP, at most
                         10 MiB) to NAME's copy, which keeps it without
                         asking; image --room ID FILE sends it to every
                         member of a shared chat. A listening receiver prints
                         image SENDER PATH id=ID once the picture is kept
  send --to NAME... PATH...
                         offer files and folders to each NAME, wait for the
                         answer, show the progress and end when all is done
  networks               print the interfaces and destinations sent to, then end
  keys                   print the keys this copy knows: NAME, STATE (new key,
                         not checked / checked by you / changed) and the
                         safety number to compare with that user
  verify NAME [NUMBER]   after comparing the safety number with NAME (in
                         person or by phone), mark NAME's key as checked; a
                         changed key is accepted this way. NUMBER is what NAME
                         reads out (its 60 digits); without it the number is
                         shown and asked about on a terminal
  verify --keep-known NAME
                         keep the known key of NAME, dropping the one
                         announced in its place
  history [--search QUERY] [--with NAME | --room ID] [--since DATE]
          [--limit N] [--file PATH]
                         print the messages kept in the data folder, oldest
                         first; also while a copy runs there (it only reads,
                         and never joins the network)
  waiting                print the private messages waiting in the data folder
                         for users who were not on the network: number,
                         recipient, kind, since, until (the text stays sealed)
  waiting cancel NUMBER  take that message back

Options:
  --dir DIR              data folder (User.ini, Log.txt); default: the program's
                         folder when writable, else ~/.local/share/Lanyx
  --name NAME            user name for this run (User.ini keeps its own)
  --status 0|1|2         0 available, 1 alerts only, 2 neither (this run)
  --colour COLOUR        display colour for this run: 255 (0x00BBGGRR) or #rrggbb
  --also HOST            also send every datagram to HOST (a host name, an
                         address or a directed broadcast such as 10.2.255.255),
                         beside those in Network.txt in the data folder;
                         repeatable
  --accept-into DIR      listen: accept file offers into DIR: from the users
                         of --accept-from, else from users whose key you
                         checked (lanyx-cli verify); others are declined
  --accept-from NAME     with --accept-into: accept offers from NAME;
                         repeatable
  --accept-quota BYTES   with --accept-into: accept at most this many bytes
                         in all while listening
  --decline              listen: decline every file offer
  --offer-wait-ms MS     send: how long an offer waits for its answer
                         (default 300000, five minutes)
  --search QUERY         history: messages with all these words; "a phrase",
                         a OR b, -word (without it)
  --with NAME            history: only those with NAME (private, and what NAME
                         said to everybody; not the lines of shared chats)
  --room ID              chat: to the members of that shared chat (or new);
                         history: only the lines of that shared chat
  --since DATE           history: from DATE on: 2024-05-01, 2024-05-01T09:30
  --limit N              history: only the newest N
  --file PATH            history: read PATH instead, such as a damaged history
                         kept aside (History.damaged-...db); what its damaged
                         pages held is left out, and the status is then 1
  -h, --help             this text
  --version              the version, then end

Advanced:
  --probe-ms MS          how long the probe listens (default 10000)
  --wait-ms MS           how long `who` waits for answers, and `send` for the
                         recipients to be seen (default 3000)
  --broadcast ADDR       broadcast address (default 255.255.255.255)

Output of listen: one line per event, tab-separated: KIND, SENDER, TEXT, with
KIND one of join, leave, colour, status, alert, private-alert, chat,
private-chat, box, network (an interface sent through, at the start and when
one comes), network-gone, keys (new key, not checked / checked by you /
changed / not confirmed / conflict / no keys), key-changed (a warning),
room (a shared chat: ID members=NAMES and joined, added=, removed=,
renamed=OLD>NEW or dropped, SENDER being who changed it), renamed (SENDER,
the name before, is known by TEXT now: the same key announced it), reply
(TEXT without the quoted start, then id= and re=, the line it answers),
reaction and reaction-removed (TEXT the emoji, then re=), edited (the new
TEXT, then re=) and deleted (re=). A
message under a name with a known key that is not signed by it starts with
"(not verified) ". Output of who: NAME, STATUS (0-2,
or -1), COLOUR per user; with --all a last field present or away (STATUS
and COLOUR empty for a user away). alert and chat to users print one delivery line per
user (encrypted: delivered / not confirmed, "encrypted with the lasting
keys only" to an earlier build, in the clear to a copy without keys, or not
sent when the user's key changed) and wait for the
confirmations (a few seconds at most). To a user whose key is known a
private message is sealed or not sent at all, never sent in the clear. Output of networks and on standard
error at the start: one line per interface and destination.

Output of history: one line per message, oldest first, tab-separated: TIME
(ISO 8601, local time), in or out, the other user ("(All)" for everybody),
KIND (as listen names them, and file-sent, file-received, transfer-declined,
transfer-cancelled, transfer-failed, not-kept: lines of a sender without a
checked key beyond 10 a second), TEXT. The copies of this folder keep
History.db beside User.ini; Options > Interface sets how long.

Files: send and listen print, beside the events above, file-offer (COUNT
files, BYTES bytes: NAMES), transfer-started, transfer-progress (on a
terminal a single line that updates instead), transfer-interrupted, and one
final line per transfer: file-sent (a line per file or folder sent),
file-received (a line per file or folder made), transfer-declined,
transfer-cancelled or transfer-failed with the reason. Ctrl+C cancels a
transfer, and the other side is told. The sender listens on TCP port 1415
(or a free port the offer names): its firewall must let the receiver in.

Exit status: 0 done; 1 start-up failed; 2 bad arguments; 3 the user name is
taken on the network; 4 another copy runs on the same data folder; 5 a
transfer did not finish (not seen, cannot receive files, declined, failed
or cancelled); 6 a private message was not sent because the recipient's key
changed; 7 verify marked nothing (no key known, or the numbers differ).
)help";
}

std::string EscapeControls(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(utf8.size());
    auto escape = [&](unsigned v) {
        out += "\\x";
        out += kHex[(v >> 4) & 0xF];
        out += kHex[v & 0xF];
    };
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x20 || c == 0x7F) {
            escape(c);
        } else if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
            // U+0080..U+009F: a terminal takes these as controls (CSI is 0x9B).
            escape(static_cast<unsigned char>(utf8[++i]));
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string EventLine(const std::string& kind, const std::string& sender, const std::string& text) {
    // Every field escaped: a tab or line break from a peer would forge fields
    // or lines, an escape sequence would drive the terminal.
    return EscapeControls(kind) + "\t" + EscapeControls(sender) + "\t" + EscapeControls(text);
}

EventPrinter::EventPrinter(std::ostream& out, UserList& users) : out_(out), users_(users) {
}

void EventPrinter::setPrinting(bool on) {
    printing_ = on;
    shown_.clear();
    if (!on) return;
    for (std::size_t i = 0; i < users_.userCount(); ++i) {
        line("join", users_.user(i).text, "");
        userChanged(i);
    }
}

bool EventPrinter::everSeen(const std::string& name) const {
    return seen_.count(toLower(name)) > 0;
}

void EventPrinter::note(const std::string& kind, const std::string& text) {
    line(kind, "", text);
}

void EventPrinter::line(const std::string& kind, const std::string& sender, const std::string& text) {
    if (!printing_) return;
    if (beforeLine_) beforeLine_();
    out_ << EventLine(kind, sender, text) << std::endl;
}

void EventPrinter::event(const std::string& kind, const std::string& sender, const std::string& text,
                         const std::vector<std::string>& fields) {
    if (!printing_) return;
    if (beforeLine_) beforeLine_();
    out_ << EventLine(kind, sender, text);
    for (const auto& f : fields) out_ << '\t' << EscapeControls(f);
    out_ << std::endl;
}

void EventPrinter::show(const Message& message) {
    // The kinds as the history names them: "alert", "private-chat", "box"...
    // A line from a copy of ours ends with its id, a field of its own.
    if (!printing_) return;
    if (beforeLine_) beforeLine_();
    // A reply is told as one, without the start of the line it quotes.
    if (message.replyTo != 0 && message.isChatLine()) {
        Message reply = message;
        reply.text = std::string(verbs::WithoutQuote(message.text));
        out_ << EventLine("reply", message.peer, MarkedText(reply));
    } else {
        out_ << EventLine(std::string(HistoryKindName(message.kind)), message.peer, MarkedText(message));
    }
    if (message.lineId != 0) out_ << "\tid=" << lineheader::IdText(message.lineId);
    if (message.replyTo != 0) out_ << "\tre=" << lineheader::IdText(message.replyTo);
    out_ << std::endl;
}

void EventPrinter::PrivateDelivery(const DeliveryReport& report) {
    if (sending_ != 0 && report.id != 0) {
        if (lineOf_.size() >= 4096) lineOf_.clear();
        lineOf_[report.id] = sending_;
    }
    if (report.state == Delivery::Waiting) {
        awaiting_.insert(report.id);
        return;
    }
    awaiting_.erase(report.id);
    std::uint64_t line = sending_;
    if (const auto it = lineOf_.find(report.id); report.id != 0 && it != lineOf_.end()) line = it->second;
    // Printed also when not listening: it answers the command given.
    if (beforeLine_) beforeLine_();
    out_ << EventLine("delivery", report.recipient, DeliveryText(report));
    if (line != 0) out_ << "\tid=" << lineheader::IdText(line);
    out_ << std::endl;
}

void EventPrinter::KeyWarning(const std::string& name, const std::string& text) {
    if (beforeLine_) beforeLine_();
    out_ << EventLine("key-changed", name, text) << std::endl;
}

void EventPrinter::ListFull(bool blockedList, std::size_t leftOut, std::size_t cap) {
    note("list-full", std::string(blockedList ? "the blocked list" : "the groups") + " hold " + std::to_string(cap) +
                          ", all Lanyx keeps: " + std::to_string(leftOut) + " more left out");
}

std::string KeyStateText(KeyState state) {
    switch (state) {
    case KeyState::Unconfirmed: return "not confirmed";
    case KeyState::New: return "new key, not checked";
    case KeyState::Checked: return "checked by you";
    case KeyState::Changed: return "changed";
    case KeyState::Conflict: return "conflict";
    default: return "no keys";
    }
}

std::string WithThousands(std::uint64_t n) {
    const std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string DeliveryText(const DeliveryReport& r) {
    // Sealed under the lasting keys alone (the recipient runs an earlier
    // build): whoever steals a key file later can read it.
    const std::string sealed = r.forwardSecret ? "encrypted"
                                               : "encrypted with the lasting keys only (an earlier build)";
    switch (r.state) {
    case Delivery::Waiting: return sealed + ": waiting for confirmation";
    case Delivery::Delivered: return sealed + ": delivered";
    case Delivery::NotConfirmed: return sealed + ": not confirmed";
    case Delivery::Local: return "kept here: a message to yourself stays on this computer";
    case Delivery::Queued:
        return "queued: encrypted, waits in this data folder until " + r.recipient + " is seen with the known key";
    case Delivery::Withheld:
        switch (r.withheld) {
        case Withheld::KeyChanged: return "not sent: " + r.recipient + "'s key changed";
        case Withheld::CannotOpen: return "not sent: " + r.recipient + "'s program takes no sealed messages";
        case Withheld::Empty: return "not sent: nothing to send";
        case Withheld::Expired: return "not sent: it waited for " + r.recipient + " too long and expired";
        case Withheld::Cancelled: return "not sent: taken back while it waited";
        case Withheld::WaitingFull:
            return "not sent: " + WithThousands(Outbox::kMaxWaitingFor) + " messages already wait for " + r.recipient;
        case Withheld::OutboxFull:
            return "not sent: the messages waiting in this data folder fill the room kept for them";
        default: return "not sent: this copy is not on the network";
        }
    default: return "in the clear: sent; this recipient's program does not confirm";
    }
}

void EventPrinter::userAdded(std::size_t index) {
    const auto& u = users_.user(index);
    seen_.insert(u.key);
    shown_[u.text] = {u.colour, u.status, KeyState::NoKeys};
    line("join", u.text, "");
    if (u.keyState != KeyState::NoKeys) userChanged(index);
}

void EventPrinter::userRemoved(const std::string& name) {
    shown_.erase(name);
    line("leave", name, "");
}

void EventPrinter::userChanged(std::size_t index) {
    const auto& u = users_.user(index);
    auto& s = shown_[u.text];
    // Print what changed; a block mark alone is no network event.
    if (u.colour != s.colour) line("colour", u.text, std::to_string(u.colour));
    if (u.status != s.status) line("status", u.text, std::to_string(u.status));
    if (u.keyState != s.keys) line("keys", u.text, KeyStateText(u.keyState));
    s = {u.colour, u.status, u.keyState};
}

}  // namespace lanyx::cli
