#include "LineMarks.h"

#include "ChatNode.h"
#include "Cp1252.h"
#include "DeliveryStatus.h"
#include "Text.h"

#include <algorithm>
#include <array>

namespace lanyx::ui {

namespace {
constexpr std::string_view kLock = "\xF0\x9F\x94\x92";  // closed: went encrypted
constexpr std::string_view kOpen = "\xF0\x9F\x94\x93";  // open: went in the clear

// The groups in the order they are counted when too many to name.
enum Group { GDelivered, GWaiting, GNotConfirmed, GClear, GWithheld, GCount };

Group groupOf(const DeliveryReport& r) {
    if (r.state == Delivery::Withheld) return GWithheld;
    if (!r.encrypted) return GClear;
    switch (r.state) {
    case Delivery::Delivered: return GDelivered;
    case Delivery::NotConfirmed: return GNotConfirmed;
    default: return GWaiting;
    }
}

std::string lockOf(Group g) {
    if (g == GWithheld) return "\xE2\x9C\x8B";  // a raised hand: held back
    return std::string(g == GClear ? kOpen : kLock);
}

std::string wordOf(Group g) {
    switch (g) {
    case GDelivered: return "delivered";
    case GNotConfirmed: return "not confirmed";
    case GClear: return "sent";
    case GWithheld: return "not sent";
    default: return "waiting";
    }
}
} // namespace

void LineMarks::sent(const std::string& text, const std::vector<DeliveryReport>& reports, std::string_view ownName) {
    LineMark mark;
    for (const auto& r : reports)
        if (!r.recipient.empty() && !equalsNoCase(r.recipient, ownName)) mark.rows.push_back(r);
    if (mark.rows.empty()) return;
    pending_.push_back({text, std::move(mark)});
    while (pending_.size() > kMaxPending) pending_.pop_front();
}

bool LineMarks::shown(std::size_t line, const std::string& text) {
    // The own copies come back in the order sent: the oldest that matches.
    const auto it = std::find_if(pending_.begin(), pending_.end(),
                                 [&](const Pending& p) { return sameLine(p.text, text); });
    if (it == pending_.end()) return false;
    // A line number used again (after a clear) loses its old mark first.
    if (const auto old = lines_.find(line); old != lines_.end()) {
        for (const auto& r : old->second.rows)
            if (r.id != 0) byId_.erase(r.id);
        lines_.erase(old);
    }
    for (const auto& r : it->mark.rows)
        if (r.id != 0) byId_[r.id] = line;
    lines_[line] = std::move(it->mark);
    pending_.erase(it);
    return true;
}

bool LineMarks::apply(LineMark& mark, const DeliveryReport& report) {
    bool changed = false;
    for (auto& r : mark.rows) {
        if (r.id != report.id || !equalsNoCase(r.recipient, report.recipient)) continue;
        // A report never takes a row back to waiting: the first report of a
        // message is the one the window already has.
        if (report.state == Delivery::Waiting || (r.state == report.state && r.encrypted == report.encrypted))
            continue;
        r.state = report.state;
        r.encrypted = report.encrypted;
        changed = true;
    }
    return changed;
}

std::optional<std::size_t> LineMarks::update(const DeliveryReport& report) {
    // Reports in the clear carry no number: they are final when sent.
    if (report.id == 0) return std::nullopt;
    if (const auto it = byId_.find(report.id); it != byId_.end()) {
        const auto line = lines_.find(it->second);
        if (line != lines_.end() && apply(line->second, report)) return it->second;
        return std::nullopt;
    }
    for (auto& p : pending_)
        if (apply(p.mark, report)) break;
    return std::nullopt;
}

void LineMarks::clear() {
    lines_.clear();
    byId_.clear();
}

const LineMark* LineMarks::mark(std::size_t line) const {
    const auto it = lines_.find(line);
    return it == lines_.end() ? nullptr : &it->second;
}

std::string LineMarks::text(const LineMark& mark) {
    std::string out;
    const auto add = [&](const std::string& part) {
        if (!out.empty()) out += ", ";
        out += part;
    };
    if (mark.rows.size() == 1) return lockOf(groupOf(mark.rows[0])) + " " + wordOf(groupOf(mark.rows[0]));
    if (mark.rows.size() <= kMaxNamed) {
        for (const auto& r : mark.rows) add(r.recipient + " " + lockOf(groupOf(r)) + " " + wordOf(groupOf(r)));
        return out;
    }
    std::array<std::size_t, GCount> count{};
    for (const auto& r : mark.rows) ++count[groupOf(r)];
    for (int g = 0; g < GCount; ++g)
        if (count[g])
            add(lockOf(Group(g)) + " " + std::to_string(count[g]) + " " + wordOf(Group(g)));
    return out;
}

std::string LineMarks::toolTip(const LineMark& mark) {
    std::string out;
    for (const auto& r : mark.rows) {
        if (!out.empty()) out += '\n';
        out += DeliveryStatus::rowText(r);
    }
    return out;
}

bool LineMarks::warns(const LineMark& mark) {
    return std::any_of(mark.rows.begin(), mark.rows.end(), [](const DeliveryReport& r) {
        return (r.encrypted && r.state == Delivery::NotConfirmed) || r.state == Delivery::Withheld;
    });
}

bool LineMarks::sameLine(std::string_view sent, std::string_view shown) {
    sent = trimBlanks(sent);
    shown = trimBlanks(shown);
    if (startsWith(shown, kNotVerifiedMark) && !startsWith(sent, kNotVerifiedMark))
        shown = trimBlanks(shown.substr(kNotVerifiedMark.size()));
    if (sent == shown) return true;
    // Through the wire's code page: what it cannot hold arrives as "?".
    return trimBlanks(cp1252::toUtf8(cp1252::fromUtf8(sent))) == shown;
}

} // namespace lanyx::ui
