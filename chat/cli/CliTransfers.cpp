#include "CliTransfers.h"

#include "CliPeer.h"

#include <QDir>

#include <algorithm>

#include <ostream>

namespace lanyx::cli {

using State = TransferItem::State;
using Direction = TransferItem::Direction;

namespace {
constexpr qint64 kProgressEveryMs = 1000;
}

QString AcceptRefusal(const TransferReporter::AcceptRules& rules, const TransferItem& offer, quint64 accepted) {
    if (rules.from.empty()) {
        if (!rules.checked || !rules.checked(offer.peer))
            return QStringLiteral("not accepted: the key of %1 was not checked (lanyx-cli verify, or --accept-from)")
                .arg(offer.peer);
    } else if (std::none_of(rules.from.begin(), rules.from.end(), [&](const std::string& name) {
                   return QString::fromStdString(name).compare(offer.peer, Qt::CaseInsensitive) == 0;
               })) {
        return QStringLiteral("not accepted: %1 is not among --accept-from").arg(offer.peer);
    }
    if (rules.quota && (offer.bytes > *rules.quota || accepted > *rules.quota - offer.bytes))
        return QStringLiteral("not accepted: %1 bytes would exceed --accept-quota (%2 of %3 bytes taken)")
            .arg(offer.bytes)
            .arg(accepted)
            .arg(*rules.quota);
    return {};
}

QString NamesText(const TransferItem& item) {
    QString text = item.names.join(QStringLiteral(", "));
    if (static_cast<quint64>(item.names.size()) < item.files && item.names.size() >= 16)
        text += QStringLiteral(", ...");
    return text;
}

QString OfferText(const TransferItem& item) {
    return (item.files == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(item.files)) +
           (item.bytes == 1 ? QStringLiteral(", 1 byte") : QStringLiteral(", %1 bytes").arg(item.bytes)) +
           QStringLiteral(": ") + NamesText(item);
}

QString ProgressText(const TransferItem& item) {
    const int percent = item.bytes == 0 ? 100 : static_cast<int>(item.done * 100 / item.bytes);
    QString text =
        QStringLiteral("%1: %2 of %3 bytes (%4 %)").arg(NamesText(item)).arg(item.done).arg(item.bytes).arg(percent);
    if (item.bytesPerSecond > 0)
        text += QStringLiteral(", %1/s").arg(SizeText(static_cast<quint64>(item.bytesPerSecond)));
    if (item.secondsLeft >= 0) text += QStringLiteral(", %1 s left").arg(item.secondsLeft);
    return text;
}

TransferReporter::TransferReporter(FileTransfers& files, std::ostream& out, bool terminal)
    : files_(files), out_(out), terminal_(terminal) {
    clock_.start();
    QObject::connect(&files_, &FileTransfers::itemAdded, &files_, [this](const QString& id) { added(id); });
    QObject::connect(&files_, &FileTransfers::itemChanged, &files_, [this](const QString& id) { changed(id); });
    QObject::connect(&files_, &FileTransfers::itemEnded, &files_,
                     [this](const QString& id, bool ok) { ended(id, ok); });
    QObject::connect(&files_, &FileTransfers::offerArrived, &files_, [this](const QString& id) { offered(id); });
}

void TransferReporter::answerOffers(Answer answer, const QString& folder) {
    answer_ = answer;
    folder_ = folder;
}

void TransferReporter::cancel(const QString& id, const QString& reason) {
    seen_[id].reason = reason;
    files_.cancel(id);
}

void TransferReporter::line(const std::string& kind, const QString& peer, const QString& text) {
    endStatusLine();
    out_ << EventLine(kind, peer.toStdString(), text.toStdString()) << std::endl;
    if (terminal_) statusLine();
}

void TransferReporter::endStatusLine() {
    if (!terminal_ || statusWidth_ == 0) return;
    out_ << '\r' << std::string(statusWidth_, ' ') << '\r' << std::flush;
    statusWidth_ = 0;
}

void TransferReporter::statusLine() {
    std::string text;
    for (const auto& item : files_.items()) {
        if (item.state != State::Running) continue;
        if (!text.empty()) text += " | ";
        text += EscapeControls(
            ((item.direction == Direction::Outgoing ? QStringLiteral("to ") : QStringLiteral("from ")) + item.peer +
             QStringLiteral(" ") + ProgressText(item))
                .toStdString());
    }
    if (text.empty()) {
        endStatusLine();
        return;
    }
    const auto width = text.size();
    if (width < statusWidth_) text += std::string(statusWidth_ - width, ' ');
    out_ << '\r' << text << std::flush;
    statusWidth_ = std::max(statusWidth_, width);
}

void TransferReporter::added(const QString& id) {
    const auto* item = files_.item(id);
    if (!item) return;
    seen_[id].state = item->state;
    // Taken over from an earlier run: it goes on when the sender is back.
    if (item->state == State::Interrupted) line("transfer-interrupted", item->peer, item->message);
}

void TransferReporter::offered(const QString& id) {
    const auto* item = files_.item(id);
    if (!item) return;
    line("file-offer", item->peer, OfferText(*item));
    if (answer_ == Answer::Accept) {
        if (const auto why = AcceptRefusal(rules_, *item, accepted_); !why.isEmpty()) {
            line("transfer-refused", item->peer, why);
            seen_[id].reason = why;
            files_.decline(id);
            return;
        }
        accepted_ += item->bytes;
        files_.accept(id, folder_);
    } else if (answer_ == Answer::Decline) {
        files_.decline(id);
    }
}

void TransferReporter::changed(const QString& id) {
    const auto* item = files_.item(id);
    // ended() prints the outcome; a picture's transfer has events of its own.
    if (!item || item->ended() || item->carried) return;
    auto& seen = seen_[id];
    const auto before = seen.state;
    seen.state = item->state;
    if (item->state == State::Offered && !item->message.isEmpty() && answer_ == Answer::Accept) {
        // The folder could not take it (gone, or no longer writable).
        line("transfer-failed", item->peer, item->message);
        seen.reason = item->message;
        files_.decline(id);
        return;
    }
    if (item->state == State::Interrupted && before != State::Interrupted) {
        line("transfer-interrupted", item->peer, item->message);
        return;
    }
    if (item->state != State::Running) return;
    if (before != State::Running && before != State::Interrupted) {
        line("transfer-started", item->peer,
             item->direction == Direction::Outgoing ? NamesText(*item)
                                                    : NamesText(*item) + QStringLiteral(" into ") + item->folder);
    }
    if (terminal_) {
        statusLine();
        return;
    }
    const auto now = clock_.elapsed();
    if (item->done == seen.doneShown) return;
    if (seen.lastPrinted >= 0 && now - seen.lastPrinted < kProgressEveryMs && item->done != item->bytes) return;
    seen.lastPrinted = now;
    seen.doneShown = item->done;
    line("transfer-progress", item->peer, ProgressText(*item));
}

void TransferReporter::ended(const QString& id, bool ok) {
    const auto* item = files_.item(id);
    if (!item) return;
    if (item->carried) {
        seen_.erase(id);  // a picture's transfer: its image event tells it
        return;
    }
    const auto reason = seen_[id].reason;
    seen_.erase(id);
    const bool out = item->direction == Direction::Outgoing;
    if (ok) {
        if (out) {
            for (const auto& name : item->names) line("file-sent", item->peer, name);
            for (const auto& s : item->skipped) line("file-skipped", item->peer, s);
        } else {
            for (const auto& path : item->made) line("file-received", item->peer, QDir::toNativeSeparators(path));
        }
        return;
    }
    switch (item->state) {
    case State::Declined:
        if (!reason.isEmpty()) return;  // said already
        line("transfer-declined", item->peer, NamesText(*item));
        break;
    case State::Cancelled:
        if (!reason.isEmpty()) line("transfer-failed", item->peer, reason);
        else
            line("transfer-cancelled", item->peer,
                 item->message.isEmpty() ? QStringLiteral("cancelled") : item->message);
        break;
    default:
        line("transfer-failed", item->peer, item->message.isEmpty() ? QStringLiteral("failed") : item->message);
        break;
    }
}

}  // namespace lanyx::cli
