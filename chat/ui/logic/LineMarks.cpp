#include "LineMarks.h"

#include "ChatNode.h"
#include "Cp1252.h"
#include "Text.h"

#include <algorithm>

namespace lanyx::ui {

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
        if ((report.state == Delivery::Waiting && r.state != Delivery::Queued) ||
            (r.state == report.state && r.encrypted == report.encrypted))
            continue;
        r.state = report.state;
        r.encrypted = report.encrypted;
        r.withheld = report.withheld;
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

MarkGroup LineMarks::groupOf(const DeliveryReport& r) {
    if (r.state == Delivery::Withheld) return MarkGroup::Withheld;
    if (r.state == Delivery::Queued) return MarkGroup::Queued;
    if (!r.encrypted) return MarkGroup::Clear;
    switch (r.state) {
    case Delivery::Delivered: return MarkGroup::Delivered;
    case Delivery::NotConfirmed: return MarkGroup::NotConfirmed;
    default: return MarkGroup::Waiting;
    }
}

std::vector<MarkPart> LineMarks::parts(const LineMark& mark) {
    std::vector<MarkPart> out;
    if (mark.rows.size() == 1) return {{std::string(), groupOf(mark.rows[0]), 0}};
    if (mark.rows.size() <= kMaxNamed) {
        for (const auto& r : mark.rows) out.push_back({r.recipient, groupOf(r), 0});
        return out;
    }
    // Counted in this order.
    constexpr MarkGroup order[] = {MarkGroup::Delivered,    MarkGroup::Waiting, MarkGroup::Queued,
                                   MarkGroup::NotConfirmed, MarkGroup::Clear,   MarkGroup::Withheld};
    for (const MarkGroup g : order) {
        const auto n = static_cast<std::size_t>(
            std::count_if(mark.rows.begin(), mark.rows.end(),
                          [&](const DeliveryReport& r) { return groupOf(r) == g; }));
        if (n) out.push_back({std::string(), g, n});
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

}  // namespace lanyx::ui
