#include "FileTransfers.h"

#include "DurableFile.h"
#include "Networks.h"
#include "OfferChecks.h"
#include "ReasonWords.h"
#include "ReceiveWriter.h"
#include "Text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QNetworkInterface>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>

namespace lanyx {

using namespace transfer;

namespace {

// File messages: "offer <offer>", "decline <id>", "cancel <id>" and, from
// a receiver that stopped for a reason other than its user's cancel,
// "cancel <id> <code>" (StopReason; earlier builds take only the first form,
// so a plain cancel goes as it always went).
constexpr std::string_view kOffer = "offer ";
constexpr std::string_view kDecline = "decline ";
constexpr std::string_view kCancel = "cancel ";

constexpr qint64 kSpeedWindowMs = 4000;
constexpr qint64 kSignalEveryMs = 200;
// How often a copy started again looks whether the senders of the
// transfers it kept are back, and how soon after a file arrived the store
// is written (at once when a transfer begins or ends).
constexpr int kTickMs = 1000;
constexpr int kSaveAfterMs = 1000;
constexpr std::uintmax_t kMaxStoreBytes = 4u << 20;

std::string hexOf(std::string_view bytes) {
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += hex[c >> 4];
        out += hex[c & 15];
    }
    return out;
}

// Offers carry IPv4 alone, so the connections they lead to do too.
QHostAddress toQt(IpAddress a) {
    return a.isV4() ? QHostAddress(a.toV4()) : QHostAddress();
}
IpAddress fromQt(const QHostAddress& a) {
    return a.protocol() == QAbstractSocket::IPv4Protocol ? IpAddress::v4(a.toIPv4Address()) : IpAddress{};
}

// This computer's IPv4 addresses with the subnets they are on, loopback among them.
struct LocalAddress {
    IpAddress address;
    IpSubnet subnet;
};
std::vector<LocalAddress> localAddresses() {
    std::vector<LocalAddress> out;
    for (const auto& iface : QNetworkInterface::allInterfaces()) {
        if (!(iface.flags() & QNetworkInterface::IsUp)) continue;
        for (const auto& entry : iface.addressEntries()) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol) continue;
            const auto address = fromQt(entry.ip());
            out.push_back({address, IpSubnet::of(address, prefixLength(fromQt(entry.netmask())))});
        }
    }
    return out;
}

}  // namespace

// In the language of the program where it installed one (the desktop
// program); lanyx-cli prints them as written here.
static QString said(const char* text) {
    return QCoreApplication::translate("lanyx::FileTransfers", text);
}

QString SizeText(quint64 bytes) {
    if (bytes == 1) return said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "1 byte"));
    if (bytes < 1000) return said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "%1 bytes")).arg(bytes);
    static const char* units[] = {QT_TRANSLATE_NOOP("lanyx::FileTransfers", "%1 KB"),
                                  QT_TRANSLATE_NOOP("lanyx::FileTransfers", "%1 MB"),
                                  QT_TRANSLATE_NOOP("lanyx::FileTransfers", "%1 GB"),
                                  QT_TRANSLATE_NOOP("lanyx::FileTransfers", "%1 TB")};
    double v = static_cast<double>(bytes) / 1000.0;
    int u = 0;
    while (v >= 1000.0 && u < 3) {
        v /= 1000.0;
        ++u;
    }
    return said(units[u]).arg(QString::number(v, 'f', v < 10 ? 1 : 0));
}

QString CountText(quint64 files, quint64 bytes) {
    return said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "%1, %2"))
        .arg(files == 1 ? said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "1 file"))
                        : said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "%1 files")).arg(files),
             SizeText(bytes));
}

QString TransferStateText(const TransferItem& item) {
    using S = TransferItem::State;
    const bool out = item.direction == TransferItem::Direction::Outgoing;
    QString text;
    switch (item.state) {
    case S::Offering:
        text = said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "Waiting for %1 to accept")).arg(item.peer);
        break;
    case S::Offered: text = said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "Offered by %1")).arg(item.peer); break;
    case S::Running:
        text = out ? said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "Sending"))
                   : said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "Receiving"));
        break;
    case S::Interrupted: text = said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "Interrupted")); break;
    case S::Finished:
        text = out ? said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "Sent"))
                   : said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "Received"));
        break;
    case S::Failed: text = said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "Failed")); break;
    case S::Declined:
        text = out ? said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "Declined by %1")).arg(item.peer)
                   : said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "Declined"));
        break;
    case S::Cancelled: text = said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "Cancelled")); break;
    }
    if (!item.message.isEmpty())
        text = said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "%1: %2")).arg(text, item.message);
    return text;
}

// What a sender is told of a receiver that stopped.
static QString stopText(StopReason why, const QString& peer) {
    switch (why) {
    case StopReason::DiskFull:
        return said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "stopped by %1: not enough free space there")).arg(peer);
    case StopReason::CannotWrite:
        return said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "stopped by %1: the files could not be written there"))
            .arg(peer);
    case StopReason::Damaged:
        return said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "stopped by %1: a file arrived damaged")).arg(peer);
    case StopReason::Refused: return said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "refused by %1")).arg(peer);
    case StopReason::Busy:
        return said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "not shown to %1: too many offers were waiting there"))
            .arg(peer);
    default: return said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "stopped by %1")).arg(peer);
    }
}

FileTransfers::FileTransfers(ChatNode& node, TransferSetup setup, QObject* parent)
    : QObject(parent), node_(node), setup_(std::move(setup)) {
    if (!setup_.clients) setup_.clients = MakeTransferClient;
    if (!setup_.offerNames) setup_.offerNames = [](const LocalSelection& selection) { return selection.topNames; };
    clock_.start();
#if LANYX_HAVE_SODIUM
    digests_ = Blake2bDigests();
    server_ = std::make_unique<TransferServer>(digests_);
    server_->setStallMs(setup_.waits.stallMs);
    connect(server_.get(), &TransferServer::progress, this, &FileTransfers::serverProgress);
    connect(server_.get(), &TransferServer::finished, this, &FileTransfers::serverFinished);
    connect(server_.get(), &TransferServer::refused, this, [this](const QString& why) {
        // Anybody can connect: a few lines, then one in a hundred.
        if (++refusedLogged_ <= 20 || refusedLogged_ % 100 == 0)
            node_.WriteLog("File transfer port: " + why.toStdString());
    });
    node_.registerCapability(*this);
    ticker_ = new QTimer(this);
    ticker_->setInterval(kTickMs);
    connect(ticker_, &QTimer::timeout, this, &FileTransfers::tick);
    ticker_->start();
    saveTimer_ = new QTimer(this);
    saveTimer_->setSingleShot(true);
    saveTimer_->setInterval(kSaveAfterMs);
    connect(saveTimer_, &QTimer::timeout, this, &FileTransfers::saveUnfinished);
#endif
}

FileTransfers::~FileTransfers() {
    node_.unregisterCapability(*this);
    // Incoming transfers under way stay in the store with their part files:
    // the next start goes on with them (as after a crash).
    saveUnfinished();
    for (auto& [id, live] : live_)
        if (live.client) live.client->disconnect(this);
}

std::int64_t FileTransfers::nowMs() const {
    if (node_.config().wallMicros) return static_cast<std::int64_t>(node_.config().wallMicros() / 1000);
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string FileTransfers::pinnedKey(const QString& name) const {
    const auto* secure = node_.secure();
    const auto* pin = secure ? secure->pins().find(toLower(name.toStdString())) : nullptr;
    return pin ? hexOf(pin->signPublic) : std::string();
}

bool FileTransfers::trusted(const std::string& name) const {
    if (node_.KeyStateOf(name) == KeyState::Checked) return true;
    for (const auto& g : node_.users().groups()) {
        const auto n = CountItems(g);
        for (std::int32_t i = 2; i <= n; ++i)
            if (equalsNoCase(GetItem(g, i), name)) return true;
    }
    return false;
}

TransferItem* FileTransfers::find(const QString& id) {
    for (auto& i : items_)
        if (i.id == id) return &i;
    return nullptr;
}

const TransferItem* FileTransfers::item(const QString& id) const {
    for (const auto& i : items_)
        if (i.id == id) return &i;
    return nullptr;
}

QString FileTransfers::defaultFolder() {
    auto d = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (d.isEmpty()) d = QDir::homePath();
    return d;
}

quint16 FileTransfers::listeningPort() const {
    return server_ ? server_->port() : 0;
}

Reach FileTransfers::reach(const QString& name) const {
    if (!server_) return Reach::NotHere;
    return node_.CanTake(name.toStdString(), kFilesWord);
}

QString FileTransfers::reachText(Reach reach) {
    switch (reach) {
    case Reach::Yes: break;
    case Reach::NoKeysHere:
        return said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "This copy runs without keys, so it cannot send files."));
    case Reach::NotHere:
        return said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "This copy of Lanyx was built without file transfers."));
    case Reach::NotThere:
        return said(QT_TRANSLATE_NOOP("lanyx::FileTransfers", "This user's program cannot receive files."));
    case Reach::KeyChanged:
        return said(
            QT_TRANSLATE_NOOP("lanyx::FileTransfers",
                              "This user's key changed: compare the safety number in the user's information first."));
    case Reach::NameShared:
        return said(QT_TRANSLATE_NOOP(
            "lanyx::FileTransfers",
            "A copy without keys uses this name too: check the key in the user's information first."));
    case Reach::KeyNotHeard:
        return said(QT_TRANSLATE_NOOP("lanyx::FileTransfers",
                                      "This user's program has not been heard with its key since it was listed."));
    }
    return {};
}

bool FileTransfers::canSendTo(const QString& name, QString* why) const {
    const auto r = reach(name);
    if (r == Reach::Yes) return true;
    if (why) *why = reachText(r);
    return false;
}

bool FileTransfers::ensureListening(QString* error) {
    if (!server_) return false;
    QString first;
    if (server_->listen(kDefaultPort, &first)) return true;
    if (server_->listen(0, error)) return true;
    return false;
}

SecurityFactory FileTransfers::securityFor(const QString& peer, ConnectionHandshake::Role role) const {
#if LANYX_HAVE_SODIUM
    auto* secure = node_.secure();
    if (!secure) return {};
    const auto* pin = secure->pins().find(toLower(peer.toStdString()));
    const auto& own = secure->identity().signSecret;
    if (!pin || pin->signPublic.size() != 32 || own.size() != 64) return {};
    SigningKey ownKey{};
    VerifyKey peerKey{};
    std::memcpy(ownKey.data(), own.data(), ownKey.size());
    std::memcpy(peerKey.data(), pin->signPublic.data(), peerKey.size());
    return [role, ownKey, peerKey](const Offer& offer) {
        return std::make_unique<ConnectionHandshake>(role, offer.id, ownKey, peerKey);
    };
#else
    (void)peer;
    (void)role;
    return {};
#endif
}

std::size_t FileTransfers::pending(TransferItem::Direction direction) const {
    return static_cast<std::size_t>(std::count_if(items_.begin(), items_.end(), [&](const TransferItem& i) {
        return i.direction == direction && !i.ended();
    }));
}

void FileTransfers::tellStopped(const QString& peer, const QString& id, StopReason why) {
    std::string body = std::string(kCancel) + id.toStdString();
    if (why != StopReason::None && why != StopReason::Cancelled) body += std::string(" ") + StopReasonCode(why);
    tell(peer, body);
}

void FileTransfers::tell(const QString& peer, const std::string& body) {
    try {
        node_.SendSealed(kFilesWord, peer.toStdString(), body);
    } catch (const std::exception&) {
        // The network is closed: the other side finds out on its own.
    }
}

QString FileTransfers::send(const QString& name, const QStringList& paths, QString* error, bool carried) {
    const auto fail = [&](const QString& text) {
        if (error) *error = text;
        return QString();
    };
    QString why;
    if (!canSendTo(name, &why)) return fail(why);
    if (paths.isEmpty()) return fail(tr("Nothing to send."));
    if (pending(TransferItem::Direction::Outgoing) >= kMaxPendingOffers)
        return fail(tr("Too many transfers at once; wait for some to end."));
    std::vector<std::filesystem::path> sources;
    for (const auto& p : paths) {
        const QFileInfo info(p);
        if (!info.exists() && !info.isSymLink()) return fail(tr("%1 does not exist.").arg(p));
        if (!info.isReadable()) return fail(tr("%1 cannot be read.").arg(p));
        sources.push_back(std::filesystem::path(QDir::cleanPath(info.absoluteFilePath()).toStdString()));
    }
    auto selection = GatherLocal(sources);
    if (selection.entries.empty()) {
        QString text = tr("Nothing to send");
        if (!selection.skipped.empty())
            text += QStringLiteral(": ") + QString::fromStdString(selection.skipped.front());
        return fail(text + QStringLiteral("."));
    }
    QString listenError;
    if (!ensureListening(&listenError)) return fail(tr("Files cannot be offered: %1").arg(listenError));

    Offer offer = OfferFor(selection, server_->port());
    offer.names = setup_.offerNames(selection);
    // Where the receiver may connect: our addresses, those of other
    // interfaces first (loopback reaches only a copy on this computer).
    for (const auto& local : localAddresses())
        if (!local.address.isLoopback()) offer.addresses.push_back(local.address);
    for (const auto& local : localAddresses())
        if (local.address.isLoopback()) offer.addresses.push_back(local.address);
    if (offer.addresses.size() > kMaxOfferAddresses) offer.addresses.resize(kMaxOfferAddresses);
    offer.tops = selection.topNames.size();
#if LANYX_HAVE_SODIUM
    offer.same = SelectionFingerprint(selection);
#endif
    const auto security = securityFor(name, ConnectionHandshake::Role::Sender);
    if (!security) return fail(tr("No key is known for %1.").arg(name));

    TransferItem item;
    item.id = QString::fromStdString(offer.id);
    item.direction = TransferItem::Direction::Outgoing;
    item.peer = name;
    for (const auto& n : selection.topNames) item.names << QString::fromStdString(n);
    item.files = selection.files;
    item.bytes = selection.bytes;
    for (const auto& s : selection.skipped) item.skipped << QString::fromStdString(s);
    item.state = TransferItem::State::Offering;
    item.carried = carried;

    std::optional<DeliveryReport> report;
    try {
        report = node_.SendSealed(kFilesWord, name.toStdString(), std::string(kOffer) + FormatOffer(offer));
    } catch (const std::exception& e) {
        return fail(tr("The offer could not be sent: %1").arg(QString::fromStdString(e.what())));
    }
    if (!report) return fail(tr("The offer could not be sent to %1.").arg(name));
    server_->add(offer, std::move(selection), security);
    Live live;
    live.offer = offer;
    live.offerReport = report->id;
    live_[item.id] = std::move(live);
    const auto id = item.id;
    items_.push_back(std::move(item));
    Q_EMIT itemAdded(id);
    endAfter(id, kOfferKeepMs, TransferItem::State::Failed, tr("no answer"));
    return id;
}

void FileTransfers::endAfter(const QString& id, int ms, TransferItem::State state, const QString& message) {
    auto it = live_.find(id);
    if (it == live_.end()) return;
    const int serial = ++serial_;
    it->second.deadline = serial;
    QTimer::singleShot(ms, this, [this, id, serial, state, message] {
        auto l = live_.find(id);
        auto* item = find(id);
        if (l == live_.end() || !item || l->second.deadline != serial || item->ended()) return;
        if (item->direction == TransferItem::Direction::Outgoing && server_) server_->remove(id);
        setState(*item, state, message);
    });
}

namespace {
// The end of a transfer, for the history: what, how much, and how it ended.
Message endOf(const TransferItem& item) {
    using S = TransferItem::State;
    const bool out = item.direction == TransferItem::Direction::Outgoing;
    Message e;
    e.outgoing = out;
    e.peer = item.peer.toStdString();
    e.kind = item.state == S::Finished    ? (out ? HistoryKind::FileSent : HistoryKind::FileReceived)
             : item.state == S::Declined  ? HistoryKind::TransferDeclined
             : item.state == S::Cancelled ? HistoryKind::TransferCancelled
                                          : HistoryKind::TransferFailed;
    // What arrived under the names it got here, else what was offered.
    QString text = (!item.made.isEmpty() ? item.made : item.names).join(QStringLiteral(", "));
    if (!item.message.isEmpty()) text += QStringLiteral(" (%1)").arg(item.message);
    e.text = text.toStdString();
    e.trust = HistoryTrust::Encrypted;
    e.files = item.files;
    e.bytes = item.bytes;
    return e;
}
}  // namespace

void FileTransfers::setState(TransferItem& item, TransferItem::State state, const QString& message) {
    // A transfer that moves again owes nothing to the time limit a wait
    // before armed (an unanswered offer, a receiver that went away).
    if (state == TransferItem::State::Running)
        if (auto l = live_.find(item.id); l != live_.end()) l->second.deadline = 0;
    item.state = state;
    item.message = message;
    if (state != TransferItem::State::Running) {
        item.bytesPerSecond = 0;
        item.secondsLeft = -1;
    }
    const auto id = item.id;
    if (item.ended()) {
        const bool ok = state == TransferItem::State::Finished;
        if (item.why == StopReason::None && state == TransferItem::State::Cancelled) item.why = StopReason::Cancelled;
        if (item.why == StopReason::None && state == TransferItem::State::Failed) item.why = StopReason::Failed;
        const auto l = live_.find(id);
        const bool kept = l != live_.end() && l->second.kept;
        if (!item.carried) node_.reportMessage(endOf(item));
        forget(id);
        if (kept) saveUnfinished();
        Q_EMIT itemChanged(id);
        Q_EMIT itemEnded(id, ok);
    } else {
        Q_EMIT itemChanged(id);
    }
}

void FileTransfers::forget(const QString& id) {
    auto l = live_.find(id);
    if (l == live_.end()) return;
    if (auto* client = l->second.client) {
        client->disconnect(this);
        // It closes its connection gracefully (the other side is still to
        // read our last frame: Done, or the reason it failed): deleting it
        // now would cut that short.
        QTimer::singleShot(client->state() == SessionState::Finished ? 30000 : 5000, client, &QObject::deleteLater);
    }
    live_.erase(l);
}

void FileTransfers::progress(TransferItem& item, quint64 done) {
    auto& live = live_[item.id];
    const auto now = clock_.elapsed();
    item.done = std::min(done, item.bytes);
    live.samples.emplace_back(now, item.done);
    while (live.samples.size() > 2 && now - live.samples.front().first > kSpeedWindowMs) live.samples.pop_front();
    const auto& first = live.samples.front();
    if (now - first.first >= 500 && item.done >= first.second) {
        item.bytesPerSecond = static_cast<double>(item.done - first.second) * 1000.0 /
                              static_cast<double>(now - first.first);
        item.secondsLeft = item.bytesPerSecond > 0
                               ? static_cast<qint64>(static_cast<double>(item.bytes - item.done) / item.bytesPerSecond +
                                                     0.5)
                               : -1;
    }
    if (item.state != TransferItem::State::Running) {
        setState(item, TransferItem::State::Running);
        live.lastSignal = now;
        return;
    }
    if (live.lastSignal < 0 || now - live.lastSignal >= kSignalEveryMs || item.done == item.bytes) {
        live.lastSignal = now;
        Q_EMIT itemChanged(item.id);
    }
}

void FileTransfers::accept(const QString& id, const QString& folder) {
    auto* item = find(id);
    auto l = live_.find(id);
    if (!item || l == live_.end() || item->state != TransferItem::State::Offered) return;
    const QFileInfo dir(folder);
    if (!dir.isDir() || !dir.isWritable()) {
        setState(*item, TransferItem::State::Offered, tr("%1 is not a folder this user can write to").arg(folder));
        return;
    }
    item->folder = QDir::cleanPath(dir.absoluteFilePath());
    l->second.kept = true;
    l->second.senderKey = pinnedKey(item->peer);
    l->second.touched = nowMs();
    startClient(id);
    saveUnfinished();
}

void FileTransfers::startClient(const QString& id) {
    auto* item = find(id);
    auto l = live_.find(id);
    if (!item || l == live_.end()) return;
    const auto security = securityFor(item->peer, ConnectionHandshake::Role::Receiver);
    if (!security) {
        setState(*item, TransferItem::State::Failed, tr("no key is known for %1").arg(item->peer));
        return;
    }
    if (auto* old = std::exchange(l->second.client, nullptr)) {
        old->disconnect(this);
        old->deleteLater();
    }
    auto* client = setup_.clients(l->second.offer, l->second.sender, platform::pathFromUtf8(item->folder.toStdString()),
                                  digests_, security, this);
    client->setStallMs(setup_.waits.stallMs);
    if (l->second.resume) client->resumeFrom(*l->second.resume);
    l->second.client = client;
    connect(client, &TransferClient::checkpoint, this, [this, id] {
        auto entry = live_.find(id);
        if (entry == live_.end()) return;
        entry->second.touched = nowMs();
        // The names chosen must be kept before anything is written under
        // them; later moments may wait a little.
        if (!std::exchange(entry->second.begunSaved, true)) saveUnfinished();
        else saveSoon();
    });
    connect(client, &TransferClient::progress, this, [this, id](quint64 received, quint64) {
        auto* it = find(id);
        if (!it) return;
        progress(*it, received);
    });
    connect(client, &TransferClient::finished, this,
            [this, id](bool ok, const QString& message) { clientFinished(id, ok, message); });
    setState(*item, TransferItem::State::Running);
    client->start();
}

void FileTransfers::connectClient(const QString& id) {
    auto l = live_.find(id);
    auto* item = find(id);
    if (l == live_.end() || !item || !l->second.client || item->ended()) return;
    setState(*item, TransferItem::State::Running, {});
    l->second.client->start();
}

void FileTransfers::clientFinished(const QString& id, bool ok, const QString& message) {
    auto* item = find(id);
    auto l = live_.find(id);
    if (!item || l == live_.end() || item->ended()) return;
    auto& live = l->second;
    if (ok) {
        item->done = item->bytes;
        item->made.clear();
        for (const auto& p : live.client->session().topLevel())
            item->made << QString::fromStdString(platform::pathToUtf8(p));
        setState(*item, TransferItem::State::Finished);
        return;
    }
    if (live.client->refused()) {
        // Whoever answered did not prove the sender's key: not the sender.
        if (live.resume) {
            // A transfer taken from the store keeps its part files: the
            // address may be somebody else's by now, the sender may come back.
            live.client->disconnect(this);
            live.client->deleteLater();
            live.client = nullptr;
            setState(*item, TransferItem::State::Interrupted, tr("refused: %1").arg(message));
            return;
        }
        live.client->disconnect(this);
        live.client->cancel();
        removePartials(*item, live);
        item->why = StopReason::Refused;
        setState(*item, TransferItem::State::Failed, tr("refused: %1").arg(message));
        tellStopped(item->peer, id, StopReason::Refused);
        return;
    }
    if (live.client->resumable()) {
        // The connection dropped: connect again a few times, then leave it
        // to the user (Retry), or to a new offer of the same files.
        if (live.retries < static_cast<int>(std::size(kRetryMs))) {
            const int wait = kRetryMs[live.retries++];
            setState(*item, TransferItem::State::Interrupted, tr("%1; trying again").arg(message));
            QTimer::singleShot(wait, this, [this, id] {
                auto* it = find(id);
                if (it && it->state == TransferItem::State::Interrupted) connectClient(id);
            });
        } else {
            setState(*item, TransferItem::State::Interrupted, message);
        }
        saveUnfinished();
        return;
    }
    if (live.client->cancelled()) return;  // cancel() says so itself
    // It cannot go on (the sender gave up, for one): partial files would
    // stay hidden in the folder for good. Finished files stay.
    const auto why = live.client->session().reason();
    live.client->disconnect(this);
    live.client->cancel();
    removePartials(*item, live);
    item->why = why == StopReason::None ? StopReason::Failed : why;
    setState(*item, TransferItem::State::Failed, message);
    tellStopped(item->peer, id, why);
}

void FileTransfers::retry(const QString& id) {
    auto l = live_.find(id);
    auto* item = find(id);
    if (!item || l == live_.end() || !item->canRetry()) return;
    l->second.retries = 0;
    if (l->second.client) {
        connectClient(id);
        return;
    }
    // Taken from the store: only to where the sender is heard from now.
    const auto heard = node_.VerifiedSources(item->peer.toStdString());
    if (!keyHeard(node_.KeyStateOf(item->peer.toStdString())) || pinnedKey(item->peer) != l->second.senderKey ||
        std::find(heard.begin(), heard.end(), fromQt(l->second.sender)) == heard.end()) {
        setState(*item, TransferItem::State::Interrupted,
                 tr("%1 has not been heard from there with the same key since Lanyx started").arg(item->peer));
        return;
    }
    l->second.waitsForSender = false;
    startClient(id);
}

void FileTransfers::decline(const QString& id) {
    auto* item = find(id);
    if (!item || item->state != TransferItem::State::Offered) return;
    tell(item->peer, std::string(kDecline) + id.toStdString());
    setState(*item, TransferItem::State::Declined);
}

void FileTransfers::cancel(const QString& id) {
    auto* item = find(id);
    if (!item || item->ended()) return;
    if (item->state == TransferItem::State::Offered) {
        decline(id);
        return;
    }
    auto l = live_.find(id);
    if (item->direction == TransferItem::Direction::Outgoing) {
        if (server_) server_->remove(id);
    } else if (l != live_.end()) {
        if (l->second.client) {
            l->second.client->disconnect(this);
            l->second.client->cancel();  // partial files go
        }
        removePartials(*item, l->second);  // also those an earlier run left
    }
    item->why = StopReason::Cancelled;
    tell(item->peer, std::string(kCancel) + id.toStdString());
    setState(*item, TransferItem::State::Cancelled, {});
}

void FileTransfers::clearEnded() {
    const auto before = items_.size();
    std::erase_if(items_, [](const TransferItem& i) { return i.ended(); });
    if (items_.size() != before) Q_EMIT cleared();
}

void FileTransfers::serverProgress(const QString& id, quint64 sent, quint64) {
    if (auto* item = find(id); item && !item->ended()) progress(*item, sent);
}

void FileTransfers::serverFinished(const QString& id, bool ok, const QString& message) {
    auto* item = find(id);
    if (!item || item->ended()) return;
    if (ok) {
        if (server_) server_->remove(id);
        item->done = item->bytes;
        setState(*item, TransferItem::State::Finished);
        return;
    }
    // One connection failed (dropped, or somebody without the key tried):
    // the receiver may connect again and go on.
    if (item->state == TransferItem::State::Offering) {
        node_.WriteLog("A connection for a file offer to " + item->peer.toStdString() +
                       " failed: " + message.toStdString());
        return;
    }
    setState(*item, TransferItem::State::Interrupted, message);
    endAfter(id, setup_.waits.resumeKeepMs, TransferItem::State::Failed,
             tr("%1 did not come back within %2 min (%3)")
                 .arg(item->peer)
                 .arg(setup_.waits.resumeKeepMs / 60000)
                 .arg(message));
}

bool FileTransfers::takeOffer(const std::string& sender, const std::string& body, bool mayWait) {
    const QString from = QString::fromStdString(sender);
    auto offer = ParseOffer(std::string_view(body).substr(kOffer.size()));
    if (!offer) {
        node_.WriteLog("File offer from " + sender + " refused: " + failure(Reason::OfferUnparsable).text);
        return true;  // taken: a repeat would not parse either
    }
    const QString id = QString::fromStdString(offer->id);
    if (const auto* known = item(id)) return known->peer.compare(from, Qt::CaseInsensitive) == 0;  // a repeat
    if (std::any_of(heldOffers_.begin(), heldOffers_.end(), [&](const HeldOffer& h) { return h.id == offer->id; }))
        return true;  // a repeat of one that waits
    // The offer as the list shows it, before any answer.
    const auto offered = [&] {
        TransferItem item;
        item.id = id;
        item.direction = TransferItem::Direction::Incoming;
        item.peer = from;
        for (const auto& n : offer->names) item.names << QString::fromStdString(n);
        item.files = offer->files;
        item.bytes = offer->bytes;
        item.state = TransferItem::State::Offered;
        return item;
    };
    const auto refuse = [&](const QString& why) {
        // Shown to the user as a failed transfer, once.
        items_.push_back(offered());
        Q_EMIT itemAdded(id);
        items_.back().why = StopReason::Refused;
        setState(items_.back(), TransferItem::State::Failed, why);
        tellStopped(from, id, StopReason::Refused);
    };
    AimRules rules;
    for (const auto& local : localAddresses()) rules.subnets.push_back(local.subnet);
    // Only entries written as a copy writes them: "010.0.0.1" in the
    // list is a destination of datagrams, never of connections.
    for (const auto& entry : net::readDestinations(node_.config().dataDir / net::kDestinationsFile).entries)
        if (const auto address = IpAddress::parseV4(entry)) rules.destinations.push_back(*address);
    const auto aim = ChooseSenderAddress(*offer, node_.VerifiedSources(sender), rules);
    // Sealed offers often outrun the answer to the challenge they raised:
    // decided once it came, or once it cannot come any more.
    if (!aim && aim.error().reason == Reason::OfferNotHeard && mayWait && heldOffers_.size() < kMaxHeldOffers &&
        node_.SourceBeingProven(sender)) {
        heldOffers_.push_back({toLower(sender), sender, offer->id, body});
        const std::weak_ptr<int> alive = alive_;
        node_.pump().callAfter(SecureLink::kChallengeMs + 100, [this, alive, key = toLower(sender), held = offer->id] {
            if (!alive.expired()) decideHeld(key, held);
        });
        return true;
    }
    if (!aim) {
        node_.WriteLog("File offer from " + sender + " refused: " + aim.error().text);
        refuse(tr("refused: %1").arg(reasonWords(aim.error())));
        return true;
    }
    if (resumeInto(from, *offer, *aim)) return true;
    // Who offered how much lately: halved every ten minutes, and when
    // made-up names fill it.
    if (clock_.elapsed() - offersDecayed_ > 10 * 60 * 1000 || offersFrom_.size() >= 4096) {
        offersDecayed_ = clock_.elapsed();
        for (auto it = offersFrom_.begin(); it != offersFrom_.end();)
            it = (it->second /= 2) == 0 ? offersFrom_.erase(it) : std::next(it);
    }
    ++offersFrom_[toLower(sender)];
    std::vector<WaitingOffer> waiting;
    std::vector<QString> waitingIds;
    std::size_t busy = 0;
    for (const auto& i : items_) {
        if (i.direction != TransferItem::Direction::Incoming || i.ended()) continue;
        if (i.state != TransferItem::State::Offered) {
            ++busy;
            continue;
        }
        const auto name = toLower(i.peer.toStdString());
        waiting.push_back({name, trusted(name), std::max<std::uint32_t>(offersFrom_[name], 1)});
        waitingIds.push_back(i.id);
    }
    const auto room = RoomForOffer(waiting, {toLower(sender), trusted(sender), offersFrom_[toLower(sender)]});
    if (!room.take || busy >= kMaxPendingOffers) {
        node_.WriteLog("File offer from " + sender + " refused: too many offers wait for an answer");
        return false;
    }
    if (room.drop) {
        const auto dropped = waitingIds[*room.drop];
        if (auto* d = find(dropped)) {
            node_.WriteLog("File offer from " + d->peer.toStdString() + " dropped for a newer one from " + sender);
            tellStopped(d->peer, dropped, StopReason::Busy);
            d->why = StopReason::Busy;
            setState(*d, TransferItem::State::Cancelled, tr("too many offers were waiting"));
        }
    }
    TransferItem item = offered();
    Live live;
    live.sender = toQt(*aim);
    live.offer = *offer;
    live_[id] = std::move(live);
    // An offer another capability expects is carried for it, marked so
    // before anybody hears of it.
    const QString into = expected_ ? expected_(from, *offer) : QString();
    item.carried = !into.isEmpty();
    items_.push_back(std::move(item));
    Q_EMIT itemAdded(id);
    if (!into.isEmpty()) {
        endAfter(id, kOfferKeepMs, TransferItem::State::Cancelled, tr("not answered"));
        accept(id, into);  // running from here on, or waiting as an offer when the folder cannot take it
        return true;
    }
    Q_EMIT offerArrived(id);
    // An offer nobody answers does not wait for ever.
    endAfter(id, kOfferKeepMs, TransferItem::State::Cancelled, tr("not answered"));
    return true;
}

void FileTransfers::sourceProven(const std::string& name, IpAddress) {
    decideHeld(toLower(name));
}

void FileTransfers::decideHeld(const std::string& senderKey, const std::string& id) {
    std::vector<HeldOffer> due;
    std::erase_if(heldOffers_, [&](HeldOffer& h) {
        if (h.senderKey != senderKey || (!id.empty() && h.id != id)) return false;
        due.push_back(std::move(h));
        return true;
    });
    for (const auto& h : due) takeOffer(h.sender, h.body, false);
}

bool FileTransfers::message(const std::string& sender, const std::string& body, IpAddress sourceV4) {
    const QString from = QString::fromStdString(sender);
    // A sealed message came: the keys are there, and so is what waited in
    // the store (an offer of files begun before the start must find them).
    if (!loaded_) tick();
    (void)sourceV4;  // where the offer datagram came from proves nothing
    if (body.rfind(kOffer, 0) == 0) return takeOffer(sender, body, true);
    const bool decline = body.rfind(kDecline, 0) == 0;
    const bool cancel = body.rfind(kCancel, 0) == 0;
    if (!decline && !cancel) return false;
    auto idText = std::string_view(body).substr(decline ? kDecline.size() : kCancel.size());
    // A receiver's reason: one short code after the id.
    std::string_view code;
    if (cancel && idText.size() > 33 && idText.size() <= 33 + 32 && idText[32] == ' ') {
        code = idText.substr(33);
        idText = idText.substr(0, 32);
        if (!std::all_of(code.begin(), code.end(), [](char c) { return (c >= 'a' && c <= 'z') || c == '-'; }))
            return false;
    }
    if (!IsTransferId(idText)) return false;
    auto* it = find(QString::fromLatin1(idText.data(), static_cast<qsizetype>(idText.size())));
    // An offer withdrawn while it waited for the sender's answer.
    std::erase_if(heldOffers_, [&](const HeldOffer& h) { return h.id == idText && h.senderKey == toLower(sender); });
    // Only the other side of a transfer can end it.
    if (!it || it->peer.compare(from, Qt::CaseInsensitive) != 0) return true;
    if (it->ended()) return true;
    if (it->direction == TransferItem::Direction::Outgoing) {
        if (server_) server_->remove(it->id);
        const auto why = ParseStopReason(code);
        if (decline) {
            setState(*it, TransferItem::State::Declined);
        } else if (why == StopReason::None || why == StopReason::Cancelled) {
            it->why = StopReason::Cancelled;
            setState(*it, TransferItem::State::Cancelled, tr("cancelled by %1").arg(from));
        } else {
            it->why = why;
            setState(*it, TransferItem::State::Failed, stopText(why, from));
        }
    } else {
        auto l = live_.find(it->id);
        if (l != live_.end()) {
            if (l->second.client) {
                l->second.client->disconnect(this);
                l->second.client->cancel();
            }
            removePartials(*it, l->second);
        }
        setState(*it, TransferItem::State::Cancelled,
                 it->state == TransferItem::State::Offered ? tr("withdrawn by %1").arg(from)
                                                           : tr("cancelled by %1").arg(from));
    }
    return true;
}

std::optional<ResumeState> FileTransfers::resumeOf(const Live& live) const {
    if (live.client)
        if (auto state = live.client->session().resumeState()) return state;
    return live.resume;
}

void FileTransfers::removePartials(const TransferItem& item, const Live& live) {
    if (!live.kept) return;
    if (const auto state = resumeOf(live))
        RemovePartials(platform::pathFromUtf8(item.folder.toStdString()), state->tops);
}

void FileTransfers::saveSoon() {
    if (saveTimer_ && !saveTimer_->isActive()) saveTimer_->start();
}

void FileTransfers::saveUnfinished() {
    // Never before the store was read: it would lose what it held.
    if (!loaded_) return;
    if (saveTimer_) saveTimer_->stop();
    std::vector<Unfinished> kept;
    for (const auto& item : items_) {
        const auto l = live_.find(item.id);
        if (item.direction != TransferItem::Direction::Incoming || item.ended() || l == live_.end() || !l->second.kept)
            continue;
        Unfinished u;
        u.offer = l->second.offer;
        u.sender = item.peer.toStdString();
        u.senderKey = l->second.senderKey;
        u.folder = item.folder.toStdString();
        u.address = fromQt(l->second.sender);
        u.touched = l->second.touched;
        if (const auto state = resumeOf(l->second)) u.resume = *state;
        kept.push_back(std::move(u));
    }
    const auto path = node_.config().dataDir / std::string(kUnfinishedFile);
    std::error_code ec;
    if (kept.empty() && !std::filesystem::exists(path, ec)) return;
    std::string error;
    if (platform::replaceFile(path, FormatUnfinished(kept), error, platform::FileAccess::OwnerOnly)) {
        saveFailedTold_ = false;
    } else if (!std::exchange(saveFailedTold_, true)) {
        node_.WriteLog("Unfinished transfers could not be kept for the next start: " + error);
    }
}

void FileTransfers::tick() {
    if (!loaded_) {
        // The keys come with the data folder, once this copy holds it.
        const auto* secure = node_.secure();
        if (!secure || !secure->active()) return;
        loadUnfinished();
    }
    bool waiting = false;
    for (auto& [id, live] : live_) {
        auto* item = find(id);
        if (!live.waitsForSender || !item || item->state != TransferItem::State::Interrupted) continue;
        // Back with the key the files came under, from where they came.
        const auto name = item->peer.toStdString();
        const auto heard = node_.VerifiedSources(name);
        if (keyHeard(node_.KeyStateOf(name)) && pinnedKey(item->peer) == live.senderKey &&
            std::find(heard.begin(), heard.end(), fromQt(live.sender)) != heard.end()) {
            live.waitsForSender = false;
            const auto copy = id;
            QTimer::singleShot(0, this, [this, copy] {
                if (const auto* it = find(copy); it && it->state == TransferItem::State::Interrupted) startClient(copy);
            });
        } else {
            waiting = true;
        }
    }
    // A sender that still lists this copy does not answer its join: ask
    // everybody once (the node says when it was sent).
    if (waiting && !rosterAsked_) rosterAsked_ = node_.RequestRoster();
    // The senders wait as long for a receiver; after that a new offer of
    // the same files, or Retry, goes on with them.
    if ((!waiting || clock_.elapsed() > waitUntil_) && ticker_) ticker_->stop();
}

void FileTransfers::loadUnfinished() {
    loaded_ = true;
    waitUntil_ = clock_.elapsed() + setup_.waits.resumeKeepMs;
    const auto path = node_.config().dataDir / std::string(kUnfinishedFile);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return;
    std::string text;
    if (std::filesystem::file_size(path, ec) <= kMaxStoreBytes && !ec) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        text = all.str();
    }
    const auto file = ParseUnfinished(text);
    if (!file || file->damaged)
        node_.WriteLog("Unfinished transfers: " + (file ? std::to_string(file->damaged) + " damaged lines left out"
                                                        : std::string("the file could not be read")));
    const auto now = nowMs();
    for (const auto& u : file ? file->transfers : std::vector<Unfinished>{}) {
        const QString id = QString::fromStdString(u.offer.id);
        const auto folder = platform::pathFromUtf8(u.folder);
        if (item(id)) continue;
        if (now - u.touched > kPartKeepMs || now < u.touched - kPartKeepMs) {
            RemovePartials(folder, u.resume.tops);
            node_.WriteLog("Part files of a transfer from " + u.sender + " removed: it did not go on for 7 days");
            continue;
        }
        if (!std::filesystem::is_directory(folder, ec)) {
            node_.WriteLog("A transfer from " + u.sender + " cannot go on: its folder " + u.folder + " is gone");
            continue;
        }
        TransferItem item;
        item.id = id;
        item.direction = TransferItem::Direction::Incoming;
        item.peer = QString::fromStdString(u.sender);
        for (const auto& n : u.offer.names) item.names << QString::fromStdString(n);
        item.files = u.offer.files;
        item.bytes = u.offer.bytes;
        item.folder = QString::fromStdString(u.folder);
        item.state = TransferItem::State::Interrupted;
        item.message = tr("interrupted when Lanyx ended; it goes on when %1 is back").arg(item.peer);
        Live live;
        live.sender = toQt(u.address);
        live.offer = u.offer;
        live.kept = true;
        live.begunSaved = !u.resume.list.empty();
        live.waitsForSender = true;
        live.senderKey = u.senderKey;
        live.touched = u.touched;
        if (!u.resume.list.empty()) live.resume = u.resume;
        live_[id] = std::move(live);
        items_.push_back(std::move(item));
        Q_EMIT itemAdded(id);
    }
    saveUnfinished();
}

bool FileTransfers::resumeInto(const QString& from, const Offer& offer, IpAddress address) {
    if (offer.same.empty()) return false;
    const auto key = pinnedKey(from);
    auto old = std::find_if(items_.begin(), items_.end(), [&](const TransferItem& i) {
        const auto l = live_.find(i.id);
        // Not one that moves now: the same files sent twice are two transfers.
        return i.direction == TransferItem::Direction::Incoming && !i.ended() &&
               i.state != TransferItem::State::Offered && l != live_.end() && l->second.kept &&
               !(l->second.client && l->second.client->moving()) && i.peer.compare(from, Qt::CaseInsensitive) == 0 &&
               l->second.senderKey == key && l->second.offer.same == offer.same &&
               l->second.offer.files == offer.files && l->second.offer.bytes == offer.bytes &&
               l->second.offer.names == offer.names;
    });
    if (old == items_.end()) return false;
    // The user took these files once: they go on into the same place,
    // under the new offer, without asking again.
    auto l = live_.find(old->id);
    Live live;
    live.sender = toQt(address);
    live.offer = offer;
    live.kept = true;
    live.senderKey = key;
    live.touched = nowMs();
    live.resume = resumeOf(l->second);
    live.begunSaved = live.resume.has_value();
    if (auto* client = l->second.client) {
        // Its part files stay: only the connection goes.
        client->disconnect(this);
        client->deleteLater();
    }
    TransferItem item = *old;
    item.id = QString::fromStdString(offer.id);
    item.state = TransferItem::State::Offered;
    item.message.clear();
    node_.WriteLog("File offer from " + from.toStdString() + " goes on with the part files of an earlier one");
    live_.erase(l);
    items_.erase(old);
    Q_EMIT cleared();
    const auto id = item.id;
    live_[id] = std::move(live);
    items_.push_back(std::move(item));
    Q_EMIT itemAdded(id);
    startClient(id);
    saveUnfinished();
    return true;
}

void FileTransfers::delivery(const DeliveryReport& report) {
    if (report.state != Delivery::NotConfirmed) return;
    for (auto& [id, live] : live_) {
        if (live.offerReport != report.id) continue;
        auto* item = find(id);
        if (item && item->state == TransferItem::State::Offering) {
            if (server_) server_->remove(id);
            setState(*item, TransferItem::State::Failed, tr("the offer did not reach %1").arg(item->peer));
        }
        return;
    }
}

}  // namespace lanyx
