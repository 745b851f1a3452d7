#include "LineVerbs.h"

#include "LineHeader.h"
#include "Text.h"

#include <algorithm>

namespace lanyx::verbs {

namespace {

constexpr std::string_view kFormat = "1";

struct Named {
    Verb verb;
    std::string_view word;
};
constexpr Named kVerbs[] = {{Verb::React, "react"},
                            {Verb::Unreact, "unreact"},
                            {Verb::Edit, "edit"},
                            {Verb::Delete, "delete"}};

std::string_view wordOf(Verb v) {
    for (const auto& n : kVerbs)
        if (n.verb == v) return n.word;
    return {};
}

std::string_view nextLine(std::string_view& rest) {
    const auto end = rest.find('\n');
    const auto line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return line;
}

// New words as a chat line holds them: one line, valid UTF-8.
std::optional<std::string> cleanText(std::string_view text) {
    std::string s = validUtf8(text);
    std::replace_if(
        s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    if (trimBlanks(s).empty() || s.size() > kMaxTextBytes) return std::nullopt;
    return s;
}

// "«" and "»" in Windows-1252, so that a copy without UTF-8 shows them.
constexpr std::string_view kOpen = "\xC2\xAB";
constexpr std::string_view kClose = "\xC2\xBB ";
constexpr std::size_t kQuotedChars = 40;

}  // namespace

bool IsReaction(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > kMaxEmojiBytes || validUtf8(utf8) != utf8) return false;
    // Every character beyond ASCII: no letters, digits, spaces or controls.
    return std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

std::string Encode(const Request& r) {
    std::string s(kFormat);
    s += '\n';
    s += wordOf(r.verb);
    s += '\n';
    s += lineheader::IdText(r.line);
    if (r.verb != Verb::Delete) {
        s += '\n';
        s += r.what;
    }
    return s;
}

std::optional<Request> Decode(std::string_view body) {
    if (nextLine(body) != kFormat) return std::nullopt;
    const auto word = nextLine(body);
    const auto* named = std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                     [&](const Named& n) { return n.word == word; });
    if (named == std::end(kVerbs)) return std::nullopt;
    const auto id = lineheader::ParseId(nextLine(body));
    if (!id) return std::nullopt;
    Request r{named->verb, *id, {}};
    switch (r.verb) {
    case Verb::React:
    case Verb::Unreact:
        if (!IsReaction(body)) return std::nullopt;
        r.what = std::string(body);
        break;
    case Verb::Edit: {
        auto text = cleanText(body);
        if (!text) return std::nullopt;
        r.what = std::move(*text);
        break;
    }
    case Verb::Delete:
        if (!body.empty()) return std::nullopt;
        break;
    }
    return r;
}

std::string ReplyText(std::string_view quoted, std::string_view reply) {
    // The start of the quoted line, whole characters, without the marks
    // that end a quote.
    std::string start;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < quoted.size() && chars < kQuotedChars;) {
        std::size_t n = 1;
        while (i + n < quoted.size() && (static_cast<unsigned char>(quoted[i + n]) & 0xC0) == 0x80) ++n;
        const auto c = quoted.substr(i, n);
        start += c == kClose.substr(0, 2) ? std::string_view("\"") : c;
        i += n;
        ++chars;
        if (i < quoted.size() && chars == kQuotedChars) start += "\xE2\x80\xA6";
    }
    return std::string(kOpen) + start + std::string(kClose) + std::string(reply);
}

std::string_view WithoutQuote(std::string_view text) {
    if (text.substr(0, kOpen.size()) != kOpen) return text;
    const auto end = text.find(kClose);
    return end == std::string_view::npos ? text : text.substr(end + kClose.size());
}

void KeptChanges::edited(const LineRef& line) {
    history_.changeLine(line.id, line.own ? std::string() : toLower(line.author), LineChange::Edited, line.text);
}

void KeptChanges::deleted(const LineRef& line) {
    history_.changeLine(line.id, line.own ? std::string() : toLower(line.author), LineChange::Deleted, {});
}

std::string_view QuotedStart(std::string_view text) {
    const auto rest = WithoutQuote(text);
    if (rest.size() == text.size()) return {};
    return text.substr(kOpen.size(), text.size() - rest.size() - kOpen.size() - kClose.size());
}

LineVerbs::LineVerbs(ChatNode& node) : node_(node) {
    node_.registerCapability(*this);
    node_.addMessageObserver(this);
}

LineVerbs::~LineVerbs() {
    node_.removeMessageObserver(this);
    node_.unregisterCapability(*this);
}

void LineVerbs::addObserver(VerbObserver* observer) {
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void LineVerbs::removeObserver(VerbObserver* observer) {
    std::erase(observers_, observer);
}

LineVerbs::Known* LineVerbs::find(std::uint64_t id) {
    const auto it = lines_.find(id);
    return it == lines_.end() ? nullptr : &it->second;
}

const LineVerbs::Known* LineVerbs::find(std::uint64_t id) const {
    const auto it = lines_.find(id);
    return it == lines_.end() ? nullptr : &it->second;
}

const LineRef* LineVerbs::line(std::uint64_t id) {
    const auto* k = findOrLookUp(id);
    return k ? &k->ref : nullptr;
}

LineVerbs::Known* LineVerbs::remember(const Message& m) {
    if (m.lineId == 0 || !m.isChatLine() || !m.isPrivate()) return nullptr;
    const std::string chat = m.chat.empty() ? toLower(m.peer) : m.chat;
    const std::string author = m.outgoing ? node_.state().MyName : m.peer;
    auto [it, fresh] = lines_.try_emplace(m.lineId);
    Known& k = it->second;
    if (fresh) {
        k.ref = {m.lineId,
                 m.outgoing,
                 author,
                 chat,
                 m.timeMs ? m.timeMs : node_.WallMs(),
                 m.text,
                 m.change == LineChange::Deleted};
        order_.push_back(m.lineId);
        if (order_.size() > kRemembered) {
            lines_.erase(order_.front());
            order_.pop_front();
        }
    } else if (k.ref.own != m.outgoing || !equalsNoCase(k.ref.author, author) || k.ref.chat != chat) {
        // Another line under an id already taken: the first keeps it.
        return nullptr;
    }
    if (m.outgoing) {
        k.to.insert(toLower(m.peer));
        // A chat of several members without an id is kept once, under its
        // members' tag ("bob|carl|").
        if (!IsRoomChatKey(chat))
            for (std::size_t at = 0, bar; (bar = chat.find('|', at)) != std::string::npos; at = bar + 1)
                k.to.insert(chat.substr(at, bar - at));
    }
    return &k;
}

void LineVerbs::message(const Message& m) {
    remember(m);
}

LineVerbs::Known* LineVerbs::findOrLookUp(std::uint64_t id) {
    if (Known* k = find(id)) return k;
    if (!lookup_ || id == 0) return nullptr;
    Known* k = nullptr;
    for (const auto& row : lookup_(id))
        if (row.lineId == id) k = remember(row) ? find(id) : k;
    return k;
}

void LineVerbs::renamed(const std::string& from, const std::string& to) {
    const auto lowerFrom = toLower(from);
    for (auto& [id, k] : lines_) {
        if (equalsNoCase(k.ref.author, from)) k.ref.author = to;
        if (k.ref.chat == lowerFrom) k.ref.chat = toLower(to);
        if (k.to.erase(lowerFrom)) k.to.insert(toLower(to));
        for (auto& [emoji, who] : k.reactions)
            std::replace_if(
                who.begin(), who.end(), [&](const std::string& n) { return equalsNoCase(n, from); }, to);
    }
}

std::vector<std::string> LineVerbs::peopleOf(const LineRef& ref) const {
    std::vector<std::string> people;
    const auto add = [&](const std::string& name) {
        if (name.empty() || equalsNoCase(name, node_.state().MyName)) return;
        if (std::none_of(people.begin(), people.end(), [&](const auto& p) { return equalsNoCase(p, name); }))
            people.push_back(name);
    };
    if (IsRoomChatKey(ref.chat) && members_)
        for (const auto& m : members_(ref.chat.substr(1))) add(m);
    if (!ref.own) add(ref.author);
    if (const auto* k = find(ref.id); k && ref.own)
        for (const auto& n : k->to) add(n);
    return people;
}

bool LineVerbs::takesPartIn(const Known& k, const std::string& name) const {
    if (!k.ref.own && equalsNoCase(k.ref.author, name)) return true;
    if (k.ref.own && k.to.count(toLower(name))) return true;
    if (IsRoomChatKey(k.ref.chat) && members_) {
        const auto members = members_(k.ref.chat.substr(1));
        return std::any_of(members.begin(), members.end(), [&](const auto& m) { return equalsNoCase(m, name); });
    }
    return false;
}

Result<void> LineVerbs::mayChange(const Known* k) const {
    if (!k) return failure(Reason::LineUnknown);
    if (!k->ref.own) return failure(Reason::LineNotYours);
    if (k->ref.deleted) return failure(Reason::LineDeleted);
    if (node_.WallMs() - k->ref.timeMs > kChangeWithinMs) return failure(Reason::LineTooOld);
    return {};
}

void LineVerbs::tell(const Known& k, const Request& request) {
    const auto body = Encode(request);
    for (const auto& name : peopleOf(k.ref))
        if (node_.CanTake(name, kWord) == Reach::Yes)
            if (const auto report = node_.SendSealed(kWord, name, body); report && report->state == Delivery::Waiting) {
                if (awaiting_.size() >= kRemembered) awaiting_.clear();
                awaiting_.insert(report->id);
            }
}

void LineVerbs::delivery(const DeliveryReport& report) {
    if (report.state != Delivery::Waiting) awaiting_.erase(report.id);
}

bool LineVerbs::apply(Known& k, const std::string& who, const Request& r) {
    switch (r.verb) {
    case Verb::React:
    case Verb::Unreact: {
        auto& list = k.reactions[r.what];
        const auto at = std::find_if(list.begin(), list.end(), [&](const auto& n) { return equalsNoCase(n, who); });
        const bool add = r.verb == Verb::React;
        if (add == (at != list.end())) return false;  // as it was
        if (add) list.push_back(who);
        else list.erase(at);
        if (list.empty()) k.reactions.erase(r.what);
        for (auto* o : observers_) o->reacted(k.ref, who, r.what, add);
        return true;
    }
    case Verb::Edit:
        k.ref.text = r.what;
        for (auto* o : observers_) o->edited(k.ref);
        return true;
    case Verb::Delete:
        k.ref.deleted = true;
        k.ref.text.clear();
        k.reactions.clear();
        for (auto* o : observers_) o->deleted(k.ref);
        return true;
    }
    return false;
}

Result<void> LineVerbs::react(std::uint64_t id, const std::string& emoji, bool on) {
    Known* k = findOrLookUp(id);
    if (!k) return failure(Reason::LineUnknown);
    if (k->ref.deleted) return failure(Reason::LineDeleted);
    if (!IsReaction(emoji)) return failure(Reason::NotAReaction);
    const Request r{on ? Verb::React : Verb::Unreact, id, emoji};
    if (apply(*k, node_.state().MyName, r)) tell(*k, r);
    return {};
}

Result<void> LineVerbs::edit(std::uint64_t id, const std::string& text) {
    Known* k = findOrLookUp(id);
    if (auto allowed = mayChange(k); !allowed) return allowed;
    const auto words = cleanText(text);
    if (!words) return failure(Reason::LineTextEmpty);
    const Request r{Verb::Edit, id, *words};
    apply(*k, node_.state().MyName, r);
    tell(*k, r);
    return {};
}

Result<void> LineVerbs::remove(std::uint64_t id) {
    Known* k = findOrLookUp(id);
    if (auto allowed = mayChange(k); !allowed) return allowed;
    const Request r{Verb::Delete, id, {}};
    tell(*k, r);
    apply(*k, node_.state().MyName, r);
    return {};
}

Result<void> LineVerbs::changeable(std::uint64_t id) {
    return mayChange(findOrLookUp(id));
}

bool LineVerbs::reactedWith(std::uint64_t id, const std::string& emoji) const {
    const auto* k = find(id);
    if (!k) return false;
    const auto it = k->reactions.find(emoji);
    return it != k->reactions.end() && std::any_of(it->second.begin(), it->second.end(), [&](const auto& n) {
               return equalsNoCase(n, node_.state().MyName);
           });
}

std::map<std::string, std::vector<std::string>> LineVerbs::reactions(std::uint64_t id) const {
    const auto* k = find(id);
    return k ? k->reactions : std::map<std::string, std::vector<std::string>>{};
}

bool LineVerbs::message(const std::string& sender, const std::string& body, IpAddress) {
    const auto r = Decode(body);
    lastRefusal_ = Reason::Unknown;
    const auto refuse = [this](Reason why) {
        lastRefusal_ = why;
        return true;  // taken: the sender's copy need not send it again
    };
    if (!r) return refuse(Reason::NotADatagram);
    Known* k = findOrLookUp(r->line);
    if (!k) return refuse(Reason::LineUnknown);
    if (k->ref.deleted) return refuse(Reason::LineDeleted);
    if (r->verb == Verb::Edit || r->verb == Verb::Delete) {
        // Only the key that said the line changes it, and only for a while.
        if (k->ref.own || !equalsNoCase(k->ref.author, sender)) return refuse(Reason::LineNotYours);
        if (node_.WallMs() - k->ref.timeMs > kChangeWithinMs) return refuse(Reason::LineTooOld);
    } else if (!takesPartIn(*k, sender)) {
        return refuse(Reason::LineNotYours);
    }
    apply(*k, sender, *r);
    return true;
}

}  // namespace lanyx::verbs
