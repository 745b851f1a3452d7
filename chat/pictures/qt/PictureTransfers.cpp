#include "PictureTransfers.h"

#include "Platform.h"
#include "Text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace lanyx::pictures {

namespace {

// Transfers on their way in wait here, one folder each, until checked.
const QString kArriving = QStringLiteral(".arriving");

QByteArray readAtMost(const QString& path, qint64 max) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.read(max);
}

}  // namespace

PictureTransfers::PictureTransfers(ChatNode& node, PictureService& service, FileTransfers& files, QObject* parent)
    : QObject(parent), node_(node), service_(service), files_(files) {
    service_.announced = [this](const DeliveryReport& report) { announced(report); };
    files_.setExpectedOffers(
        [this](const QString& sender, const transfer::Offer& offer) { return expectedOffer(sender, offer); });
    connect(&files_, &FileTransfers::itemEnded, this, &PictureTransfers::ended);
}

PictureTransfers::~PictureTransfers() {
    service_.announced = nullptr;
    files_.setExpectedOffers(nullptr);
}

QString PictureTransfers::folder() const {
    if (!folder_.isEmpty()) return folder_;
    return QString::fromStdString(platform::pathToUtf8(node_.config().dataDir / "Pictures"));
}

Reach PictureTransfers::reach(const QString& name) const {
    const auto r = node_.CanTake(name.toStdString(), kWord);
    return r == Reach::Yes ? files_.reach(name) : r;
}

std::uint64_t PictureTransfers::sendFile(const QStringList& to, const std::string& chat, const QString& path,
                                         Refusal* why) {
    QFile f(path);
    if (f.size() > static_cast<qint64>(kMaxBytes)) {
        if (why) *why = Refusal::TooLarge;
        return 0;
    }
    return send(to, chat, readAtMost(path, static_cast<qint64>(kMaxBytes) + 1), why);
}

std::uint64_t PictureTransfers::send(const QStringList& to, const std::string& chat, const QByteArray& bytes,
                                     Refusal* why) {
    const auto fail = [&](Refusal r) {
        if (why) *why = r;
        return std::uint64_t{0};
    };
    const auto probe = ProbePicture(bytes);
    if (probe.error == DecodeError::TooLarge) return fail(Refusal::TooLarge);
    if (probe.error != DecodeError::None) return fail(Refusal::NotAPicture);
    QStringList takers;
    for (const auto& name : to)
        if (reach(name) == Reach::Yes) takers << name;
    if (takers.isEmpty()) return fail(Refusal::NotExpected);

    Announcement a;
    a.line = node_.NewLineId();
    a.chat = chat;
    a.size = static_cast<std::uint64_t>(bytes.size());
    a.hash = HashText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    a.type = probe.type;
    // The user's own copy of it is the file offered.
    QDir().mkpath(folder());
    const QString path = QDir(folder()).filePath(QString::fromStdString(FileNameOf(a.line, a.type)));
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        return fail(Refusal::Damaged);

    PictureNote note{a.line, true, QString::fromStdString(node_.state().MyName), {}, chat, path};
    for (const auto& name : takers) {
        const auto report = service_.announce(name.toStdString(), a);
        if (!report) continue;
        note.to << name;
        Outgoing o{a.line, name, path};
        if (report->state == Delivery::Delivered) {
            if (const auto id = files_.send(name, {path}, nullptr, true); !id.isEmpty()) sending_[id] = o;
        } else {
            announcing_[report->id] = o;
        }
        record(note, name, a.size);
    }
    if (note.to.isEmpty()) return fail(Refusal::NotExpected);
    Q_EMIT pictureSent(note);
    return a.line;
}

void PictureTransfers::announced(const DeliveryReport& report) {
    const auto it = announcing_.find(report.id);
    if (it == announcing_.end() || report.state == Delivery::Waiting) return;
    const Outgoing o = it->second;
    announcing_.erase(it);
    if (report.state != Delivery::Delivered) {
        Q_EMIT pictureDelivered(o.line, o.to, false);
        return;
    }
    // Told: the file follows, and its offer is taken there without asking.
    const auto id = files_.send(o.to, {o.path}, nullptr, true);
    if (id.isEmpty()) Q_EMIT pictureDelivered(o.line, o.to, false);
    else sending_[id] = o;
}

QString PictureTransfers::expectedOffer(const QString& sender, const transfer::Offer& offer) {
    if (offer.files != 1 || offer.names.size() != 1 || offer.tops > 1) return {};
    if (!service_.expected(sender.toStdString(), offer.names.front(), offer.bytes)) return {};
    const QString into = QDir(folder()).filePath(kArriving + QLatin1Char('/') + QString::fromStdString(offer.id));
    if (!QDir().mkpath(into)) return {};
    receiving_[QString::fromStdString(offer.id)] = into;
    return into;
}

void PictureTransfers::ended(const QString& id, bool ok) {
    if (const auto out = sending_.find(id); out != sending_.end()) {
        const Outgoing o = out->second;
        sending_.erase(out);
        Q_EMIT pictureDelivered(o.line, o.to, ok);
        return;
    }
    const auto in = receiving_.find(id);
    if (in == receiving_.end()) return;
    const QString into = in->second;
    receiving_.erase(in);
    const auto* item = files_.item(id);
    if (item && ok) arrived(id, *item);
    else if (item) service_.take(item->peer.toStdString(), item->names.value(0).toStdString());
    QDir(into).removeRecursively();
}

void PictureTransfers::arrived(const QString&, const TransferItem& item) {
    const auto refuse = [&](Refusal why) {
        lastRefusal_ = why;
        node_.WriteLog("Picture from " + item.peer.toStdString() + " not kept (" +
                       std::to_string(static_cast<int>(why)) + ")");
        Q_EMIT pictureRefused(item.peer, why);
    };
    const auto name = item.names.value(0).toStdString();
    const auto expected = service_.take(item.peer.toStdString(), name);
    if (!expected) return refuse(Refusal::NotExpected);
    const auto& a = expected->announcement;
    const QString file = QDir(item.folder).filePath(item.made.value(0, item.names.value(0)));
    const QByteArray bytes = readAtMost(file, static_cast<qint64>(kMaxBytes) + 1);
    if (static_cast<std::uint64_t>(bytes.size()) != a.size ||
        HashText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))) != a.hash)
        return refuse(Refusal::Damaged);
    const auto decoded = DecodePicture(bytes);
    if (decoded.error != DecodeError::None || decoded.type != a.type) return refuse(Refusal::NotAPicture);
    // Kept under the sender's name: another member cannot take its place.
    const QString keptIn = QDir(folder()).filePath(QString::fromStdString(toLower(expected->sender)));
    QDir().mkpath(keptIn);
    const QString path = QDir(keptIn).filePath(QString::fromStdString(FileNameOf(a.line, a.type)));
    if (QFileInfo::exists(path) || !QFile::rename(file, path)) return refuse(Refusal::Damaged);
    lastRefusal_ = Refusal::None;
    PictureNote note{a.line, false, QString::fromStdString(expected->sender), {}, a.chat, path};
    record(note, note.sender, a.size);
    Q_EMIT pictureArrived(note);
}

void PictureTransfers::record(const PictureNote& note, const QString& peer, std::uint64_t bytes) {
    if (!keep) return;
    Message m;
    m.kind = MessageKind::Picture;
    m.outgoing = note.outgoing;
    m.peer = peer.toStdString();
    m.chat = note.chat;
    m.text = note.path.toStdString();
    m.trust = MessageTrust::Encrypted;
    m.lineId = note.line;
    m.files = 1;
    m.bytes = bytes;
    keep(m);
}

}  // namespace lanyx::pictures
