#include "HistoryView.h"

#include <QLocale>

#include "ChatNode.h"
#include "Text.h"
#include "UserList.h"

#include <algorithm>
#include <ctime>

namespace lanyx::ui {

using history::HistoryRow;
using history::Scope;

Scope ScopeOfList(const std::string& list, const std::string& ownName) {
    std::vector<std::string> names;
    const auto n = CountItems(list);
    for (std::int32_t i = 1; i <= n; ++i) {
        auto name = GetItem(list, i);
        if (equalsNoCase(name, UserList::kAllRow)) return Scope::everybody();
        if (!name.empty() && !equalsNoCase(name, ownName)) names.push_back(std::move(name));
    }
    if (names.empty()) return Scope::all();
    if (names.size() == 1) return Scope::person(names.front());
    auto tag = history::ChatTag(names, ownName);
    // One name in different cases is one person; too many for a tag: the first.
    if (tag.empty()) return Scope::person(names.front());
    return Scope::group(std::move(tag));
}

namespace {
std::tm localTm(std::int64_t ms) {
    const std::time_t secs = static_cast<std::time_t>(ms / 1000);
    std::tm tm{};
    localtime_r(&secs, &tm);
    return tm;
}
std::string format(const std::tm& tm, const char* pattern) {
    char buf[64];
    std::strftime(buf, sizeof buf, pattern, &tm);
    return buf;
}
}  // namespace

std::string WhenText(std::int64_t timeMs, std::int64_t nowMs) {
    const auto t = localTm(timeMs);
    const auto now = localTm(nowMs);
    if (t.tm_year == now.tm_year && t.tm_yday == now.tm_yday) return format(t, "%H:%M");
    // The day's name in the language the windows speak.
    if (timeMs <= nowMs && nowMs - timeMs < 6LL * 24 * 3600 * 1000)
        return QLocale().dayName(t.tm_wday == 0 ? 7 : t.tm_wday, QLocale::ShortFormat).toStdString() +
               format(t, " %H:%M");
    return format(t, "%Y-%m-%d %H:%M");
}

std::string SpeakerOf(const HistoryRow& row, const std::string& ownName) {
    return row.entry.outgoing ? ownName : row.entry.peer;
}

std::string DeliveryWord(HistoryDelivery d) {
    switch (d) {
    case HistoryDelivery::None: return {};
    case HistoryDelivery::Sent: return "sent";
    case HistoryDelivery::Waiting: return "waiting";
    case HistoryDelivery::Delivered: return "delivered";
    case HistoryDelivery::NotConfirmed: return "not confirmed";
    case HistoryDelivery::Queued: return "queued";
    case HistoryDelivery::Expired: return "expired";
    case HistoryDelivery::Cancelled: return "cancelled";
    }
    return {};
}

std::string ResultText(const HistoryRow& row, const std::string& ownName, std::int64_t nowMs) {
    const auto& e = row.entry;
    std::string who = e.outgoing ? ownName + " \xE2\x86\x92 " + e.peer : e.peer;
    if (!e.outgoing && IsPublicKind(e.kind)) who += " \xE2\x86\x92 " + std::string(UserList::kAllRow);
    std::string text;
    switch (e.kind) {
    case HistoryKind::Alert:
    case HistoryKind::PrivateAlert: text = "(alert) " + e.text; break;
    case HistoryKind::Box: text = "(message box) " + e.text; break;
    case HistoryKind::Picture: text = "(picture) " + e.text; break;
    case HistoryKind::FileSent:
    case HistoryKind::FileReceived:
    case HistoryKind::TransferDeclined:
    case HistoryKind::TransferCancelled:
    case HistoryKind::TransferFailed:
        text = "(" + std::string(HistoryKindName(e.kind)) + ") " + history::TransferText(e);
        break;
    default: text = e.text;
    }
    if (!e.outgoing && e.trust == HistoryTrust::NotVerified) text = std::string(kNotVerifiedMark) + text;
    std::string out = WhenText(e.timeMs, nowMs) + "  " + who + ": " + text;
    if (const auto d = DeliveryWord(e.delivery); !d.empty()) out += "  [" + d + "]";
    return out;
}

std::vector<HistoryRow> CollapseGroupSends(std::vector<HistoryRow> rows) {
    std::vector<HistoryRow> out;
    out.reserve(rows.size());
    for (auto& r : rows) {
        if (!out.empty() && r.entry.outgoing && !r.entry.chat.empty()) {
            const auto& last = out.back().entry;
            // One typed line becomes one row per member, recorded together.
            if (last.outgoing && last.chat == r.entry.chat && last.text == r.entry.text && last.kind == r.entry.kind &&
                r.entry.timeMs - last.timeMs < 2000)
                continue;
        }
        out.push_back(std::move(r));
    }
    return out;
}

Transcript TranscriptOf(const std::vector<HistoryRow>& rows, const std::string& ownName,
                        const std::function<std::uint32_t(const std::string&)>& colourOf) {
    Transcript t;
    for (const auto& r : rows) {
        const auto speaker = SpeakerOf(r, ownName);
        t.add(TranscriptLineOf(r.entry, speaker, colourOf ? colourOf(speaker) : 0));
    }
    return t;
}

ChatLine TranscriptLineOf(const Message& message, const std::string& speaker, std::uint32_t colour) {
    ChatLine line;
    line.prefix = format(localTm(message.timeMs), "%Y-%m-%d %H:%M:%S") + " " + speaker;
    line.text = message.text;
    if (IsTransferKind(message.kind)) line.text = history::TransferText(message);
    if (message.showsNotVerified()) line.text.insert(0, kNotVerifiedMark);
    line.colour = colour;
    // A fixed hanging indent: the export's RTF puts wrapped lines there.
    line.indentTwips = 2880;
    return line;
}

}  // namespace lanyx::ui
