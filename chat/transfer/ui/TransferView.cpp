#include "TransferView.h"

#include "FileOffer.h"

#include <QCoreApplication>

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace lanyx::ui {

using State = TransferItem::State;

namespace {
QString said(const char* text) {
    return QCoreApplication::translate("lanyx::ui::TransferView", text);
}
}  // namespace

QString NamesText(const QStringList& names, quint64 files, int shown) {
    shown = std::max(shown, 1);
    const qsizetype n = std::min<qsizetype>(names.size(), shown);
    quint64 hidden = static_cast<quint64>(names.size() - n);
    // A full list was cut short by the sender: the rest is known only by
    // the number of files.
    if (static_cast<std::size_t>(names.size()) >= transfer::kMaxOfferNames &&
        files > static_cast<quint64>(names.size()))
        hidden += files - static_cast<quint64>(names.size());
    const QString list = names.mid(0, n).join(QStringLiteral(", "));
    if (hidden == 0) return list;
    if (list.isEmpty()) return said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "%1 items")).arg(hidden);
    return said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "%1 and %2 more")).arg(list).arg(hidden);
}

QString SpeedText(double bytesPerSecond) {
    if (!(bytesPerSecond >= 1.0) || !std::isfinite(bytesPerSecond)) return {};
    return SizeText(static_cast<quint64>(bytesPerSecond)) + QStringLiteral("/s");
}

QString TimeLeftText(qint64 seconds) {
    if (seconds < 0) return {};
    if (seconds < 60) return said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "%1 s left")).arg(seconds);
    const qint64 minutes = (seconds + 30) / 60;
    if (minutes < 60) return said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "%1 min left")).arg(minutes);
    const qint64 hours = minutes / 60;
    const qint64 rest = minutes % 60;
    if (rest == 0) return said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "%1 h left")).arg(hours);
    return said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "%1 h %2 min left")).arg(hours).arg(rest);
}

QString FolderToOpen(const TransferItem& item) {
    if (item.direction != TransferItem::Direction::Incoming || item.state != State::Finished) return {};
    return item.folder;
}

TransferRow RowFor(const TransferItem& item) {
    TransferRow row;
    const bool out = item.direction == TransferItem::Direction::Outgoing;
    row.names = NamesText(item.names, item.files);
    row.peer = (out ? said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "To %1"))
                    : said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "From %1")))
                   .arg(item.peer);
    row.state = TransferStateText(item);
    // Declined here: the user knows who did it.
    if (item.state == State::Declined && !out)
        row.state = said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "Declined"));
    const bool underWay = item.state == State::Running || item.state == State::Interrupted;
    if (underWay && item.bytes > 0)
        row.amounts = said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "%1 of %2"))
                          .arg(SizeText(item.done), SizeText(item.bytes));
    else row.amounts = CountText(item.files, item.bytes);
    if (item.state == State::Running) {
        QStringList parts;
        if (const auto s = SpeedText(item.bytesPerSecond); !s.isEmpty()) parts << s;
        if (const auto t = TimeLeftText(item.secondsLeft); !t.isEmpty()) parts << t;
        row.speed = parts.join(QStringLiteral(", "));
    }
    if (item.state == State::Finished) row.percent = 100;
    else if (item.bytes > 0) row.percent = static_cast<int>(std::min<quint64>(100, item.done * 100 / item.bytes));
    row.bar = !(item.state == State::Offering || item.state == State::Offered || item.state == State::Declined ||
                ((item.state == State::Cancelled || item.state == State::Failed) && item.done == 0));
    row.accept = item.state == State::Offered;
    row.decline = item.state == State::Offered;
    row.cancel = item.state == State::Offering || item.state == State::Running || item.state == State::Interrupted;
    row.retry = item.canRetry();
    row.openFolder = !FolderToOpen(item).isEmpty();
    return row;
}

QString EndedNote(const TransferItem& item) {
    const bool out = item.direction == TransferItem::Direction::Outgoing;
    const QString what = NamesText(item.names, item.files) + QStringLiteral(" (") + CountText(item.files, item.bytes) +
                         QStringLiteral(")");
    const QString why = item.message.isEmpty() ? QString() : QStringLiteral(": ") + item.message;
    switch (item.state) {
    case State::Finished:
        return out ? said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "Sent %1 to %2.")).arg(what, item.peer)
                   : said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "Received %1 from %2 into %3."))
                         .arg(what, item.peer, item.folder);
    case State::Failed:
        return out ? said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "Sending %1 to %2 failed%3."))
                         .arg(what, item.peer, why)
                   : said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "Receiving %1 from %2 failed%3."))
                         .arg(what, item.peer, why);
    case State::Declined:
        return out ? said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "%1 declined %2.")).arg(item.peer, what)
                   : said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "Declined %1 from %2.")).arg(what, item.peer);
    case State::Cancelled:
        return out ? said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "Sending %1 to %2 was cancelled%3."))
                         .arg(what, item.peer, why)
                   : said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "Receiving %1 from %2 was cancelled%3."))
                         .arg(what, item.peer, why);
    default: return {};
    }
}

SendCheck CheckTargets(const QStringList& names, const CanSendFn& can) {
    SendCheck check;
    QStringList reasons;
    QStringList seen;
    for (const auto& name : names) {
        if (name.isEmpty() || seen.contains(name, Qt::CaseInsensitive)) continue;
        seen << name;
        QString why;
        if (can && can(name, &why)) check.ok << name;
        else
            reasons << (why.isEmpty()
                            ? said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "%1 cannot receive files.")).arg(name)
                            : why);
    }
    if (seen.isEmpty()) {
        check.why = said(QT_TRANSLATE_NOOP("lanyx::ui::TransferView", "Files go to named users: choose one."));
    } else if (seen.size() == 1) {
        check.why = reasons.value(0);
    } else if (!reasons.isEmpty()) {
        // Several names: each reason says whose it is.
        QStringList lines;
        int r = 0;
        for (const auto& name : seen)
            if (!check.ok.contains(name)) lines << QStringLiteral("%1: %2").arg(name, reasons.value(r++));
        check.why = lines.join(QLatin1Char('\n'));
    }
    return check;
}

QStringList DroppedPaths(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) return {};
        const QString path = url.toLocalFile();
        if (path.isEmpty() || !QFileInfo(path).isAbsolute()) return {};
        if (!paths.contains(path)) paths << path;
    }
    return paths;
}

}  // namespace lanyx::ui
