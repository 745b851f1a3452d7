#include "TransferLinks.h"

#include "SocketSend.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace lanyx {

using namespace transfer;

namespace {
constexpr qint64 kReadBuffer = 4 << 20;  // beyond this TCP itself holds the sender back
constexpr std::size_t kMaxLine = 64;
const QByteArray kGreeting = "LANYX-XFER 3 ";
// The handshakes of earlier builds (the second did not name the identity
// keys in what both confirm): refused with a line of text.
const QByteArray kOldGreetings[] = {"LANYX-XFER 1 ", "LANYX-XFER 2 "};
// How that line begins, from a sender of a later build too.
const std::string kRefusedLine = "refused: ";
}  // namespace

struct TransferServer::Outgoing {
    Offer offer;
    LocalSelection selection;
    SecurityFactory security;
};

struct TransferServer::Connection {
    QTcpSocket* socket = nullptr;
    QByteArray line;
    Outgoing* outgoing = nullptr;
    QString id;
    std::unique_ptr<ConnectionHandshake> handshake;
    std::string handshakeIn;
    std::unique_ptr<FrameCipher> cipher;
    std::unique_ptr<SenderSession> session;
    quint32 peer = 0;     // IPv4, host order
    quint64 since = 0;    // order of acceptance
    bool proven = false;  // completed its handshake: only then may it change the transfer
    quint64 reported = 0;
    bool ended = false;
    bool again = false;    // a pass of writeTo() is due
    bool gone = false;     // disconnected; freed at the next pass of the event loop
    bool stalled = false;  // cut because nothing moved for stallMs_
    QTimer* stall = nullptr;
};

TransferServer::TransferServer(DigestFactory digests, QObject* parent)
    : QObject(parent), digests_(std::move(digests)), server_(std::make_unique<QTcpServer>()) {
    connect(server_.get(), &QTcpServer::newConnection, this, &TransferServer::accept);
}

TransferServer::~TransferServer() {
    for (auto& [socket, c] : connections_) {
        socket->disconnect(this);
        socket->abort();
        delete socket;
    }
}

bool TransferServer::listen(quint16 port, QString* error) {
    if (server_->isListening()) return true;
    if (!server_->listen(QHostAddress::AnyIPv4, port)) {
        if (error) *error = server_->errorString();
        return false;
    }
    return true;
}

quint16 TransferServer::port() const {
    return server_->serverPort();
}

void TransferServer::add(const Offer& offer, LocalSelection selection, SecurityFactory security) {
    auto out = std::make_unique<Outgoing>();
    out->offer = offer;
    out->selection = std::move(selection);
    out->security = std::move(security);
    outgoing_[QString::fromStdString(offer.id)] = std::move(out);
}

void TransferServer::remove(const QString& id) {
    // Aborting drops the connection at once (drop() runs inside abort()).
    std::vector<QTcpSocket*> cut;
    for (auto& [socket, c] : connections_)
        if (c->id == id && !c->gone) {
            c->ended = true;
            cut.push_back(socket);
        }
    for (auto* socket : cut) socket->abort();
    outgoing_.erase(id);
}

std::size_t TransferServer::connectionsFrom(quint32 peer) const {
    return static_cast<std::size_t>(std::count_if(connections_.begin(), connections_.end(), [&](const auto& e) {
        return !e.second->gone && e.second->peer == peer;
    }));
}

void TransferServer::accept() {
    while (auto* socket = server_->nextPendingConnection()) {
        // Taken off the queue at once, also when refused: a queue left full
        // would keep real receivers out.
        const quint32 peer = socket->peerAddress().toIPv4Address();
        std::size_t live = 0;
        Connection* oldest = nullptr;
        for (auto& [s, c] : connections_) {
            if (c->gone) continue;
            ++live;
            if (!c->proven && (!oldest || c->since < oldest->since)) oldest = c.get();
        }
        if (connectionsFrom(peer) >= kMaxConnectionsPerAddress) {
            ++refusedConnections_;
            socket->abort();
            delete socket;
            continue;
        }
        if (live >= kMaxConnections) {
            if (!oldest) {
                ++refusedConnections_;
                socket->abort();
                delete socket;
                continue;
            }
            // Full: the connection that has waited longest without proving
            // anything makes room.
            ++refusedConnections_;
            oldest->socket->abort();
        }
        socket->setReadBufferSize(kReadBuffer);
        auto c = std::make_unique<Connection>();
        c->socket = socket;
        c->peer = peer;
        c->since = ++accepted_;
        auto* raw = c.get();
        connections_[socket] = std::move(c);
        // Once the transfer runs, a receiver that takes nothing and says
        // nothing (its computer went away) does not hold it for good.
        raw->stall = new QTimer(socket);
        raw->stall->setSingleShot(true);
        raw->stall->setInterval(stallMs_);
        connect(raw->stall, &QTimer::timeout, this, [raw] {
            if (raw->gone || raw->ended || !raw->session) return;
            raw->stalled = true;
            raw->socket->abort();
        });
        connect(socket, &QTcpSocket::readyRead, this, [this, raw] {
            raw->stall->start();
            readFrom(raw);
        });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, raw] {
            raw->stall->start();
            writeTo(raw);
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, raw] { drop(raw); });
        // The whole handshake has this long: a connection that names no
        // transfer, or names one and never proves its key, is not kept.
        QTimer::singleShot(kHandshakeMs, socket, [this, socket, raw] {
            if (raw->proven || raw->gone || raw->ended) return;
            ++refusedConnections_;
            if (raw->outgoing) Q_EMIT refused(tr("a connection for a transfer did not complete its handshake in time"));
            socket->abort();
        });
    }
}

void TransferServer::readFrom(Connection* c) {
    if (c->gone || (c->ended && !c->session)) return;
    QByteArray bytes = c->socket->readAll();
    if (!c->outgoing) {
        c->line += bytes;
        auto nl = c->line.indexOf('\n');
        if (nl < 0) {
            if (static_cast<std::size_t>(c->line.size()) > kMaxLine) c->socket->abort();
            return;
        }
        QByteArray first = c->line.left(nl);
        bytes = c->line.mid(nl + 1);
        c->line.clear();
        if (std::any_of(std::begin(kOldGreetings), std::end(kOldGreetings),
                        [&](const QByteArray& old) { return first.startsWith(old); })) {
            c->ended = true;
            Q_EMIT refused(
                tr("a receiver with an older version of Lanyx tried to connect; it cannot receive files "
                   "from this one"));
            c->socket->write("refused: this sender needs a newer version of Lanyx\n");
            c->socket->disconnectFromHost();
            return;
        }
        auto it = first.startsWith(kGreeting) ? outgoing_.find(QString::fromLatin1(first.mid(kGreeting.size())))
                                              : outgoing_.end();
        if (it == outgoing_.end()) {
            c->socket->abort();  // not a transfer we offer (or one cancelled)
            return;
        }
        c->outgoing = it->second.get();
        c->id = it->first;
        if (c->outgoing->security) c->handshake = c->outgoing->security(c->outgoing->offer);
        else c->proven = true;  // tests without keys
    }
    if (c->handshake && !c->session) {
        c->handshakeIn.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        std::string reply;
        auto step = ConnectionHandshake::Step::NeedMore;
        for (;;) {
            // What came at once (all of a handshake played back) is taken
            // step by step.
            reply.clear();
            const auto before = c->handshakeIn.size();
            step = c->handshake->consume(c->handshakeIn, reply);
            if (!reply.empty()) c->socket->write(reply.data(), static_cast<qint64>(reply.size()));
            if (step != ConnectionHandshake::Step::NeedMore || c->handshakeIn.empty() ||
                c->handshakeIn.size() == before)
                break;
        }
        if (step == ConnectionHandshake::Step::NeedMore) {
            if (c->handshakeIn.size() > 4096) c->socket->abort();
            return;
        }
        if (step == ConnectionHandshake::Step::Failed) {
            // Anybody can name a transfer: a connection that did not prove
            // the receiver's key leaves the transfer as it is.
            c->ended = true;
            Q_EMIT refused(tr("a connection for a transfer failed its handshake: %1")
                               .arg(QString::fromStdString(c->handshake->error())));
            // What was written tells the receiver why (no cipher in common).
            if (reply.empty()) c->socket->abort();
            else c->socket->disconnectFromHost();
            return;
        }
        c->proven = true;
        c->cipher = c->handshake->cipher();
        bytes = QByteArray::fromStdString(std::exchange(c->handshakeIn, {}));
    }
    if (!c->session)
        c->session = std::make_unique<SenderSession>(c->outgoing->offer, c->outgoing->selection, digests_,
                                                     c->cipher.get());
    c->session->received(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    writeTo(c);
}

void TransferServer::writeTo(Connection* c) {
    if (!c->session || c->ended || c->gone) return;
    qint64 direct = 0;
    while (c->socket->bytesToWrite() < kHighWater) {
        if (direct >= kHighWater) {
            // A pass moves a bounded amount, also while the system takes
            // everything at once; the next pass comes after the other
            // events (the chat's among them).
            if (!c->again) {
                c->again = true;
                QTimer::singleShot(0, this, [this, socket = c->socket] {
                    auto it = connections_.find(socket);
                    if (it == connections_.end()) return;
                    it->second->again = false;
                    writeTo(it->second.get());
                });
            }
            break;
        }
        auto out = c->session->nextOutput(static_cast<std::size_t>(kHighWater - c->socket->bytesToWrite()));
        if (out.empty()) break;
        qint64 sent = 0;
        if (c->socket->bytesToWrite() == 0 && c->socket->state() == QAbstractSocket::ConnectedState) {
            // Straight to the system while it takes them; what it does not
            // take waits in the socket's buffer, which then calls back.
            sent = SendNow(c->socket->socketDescriptor(), out.data(), static_cast<qint64>(out.size()));
            if (sent < 0) sent = 0;  // the socket sees the failure and reports it
            direct += sent;
        }
        if (sent < static_cast<qint64>(out.size()))
            c->socket->write(out.data() + sent, static_cast<qint64>(out.size()) - sent);
    }
    const auto sent = c->session->bytesSent();
    const auto total = c->outgoing->offer.bytes;
    if (sent - c->reported >= (1u << 20) || (sent == total && c->reported != sent)) {
        c->reported = sent;
        Q_EMIT progress(c->id, sent, total);
    }
    if (c->session->state() != SessionState::Running) {
        c->ended = true;
        const bool ok = c->session->state() == SessionState::Finished;
        Q_EMIT finished(c->id, ok, QString::fromStdString(ok ? std::string() : c->session->error()));
        c->socket->disconnectFromHost();
    }
}

void TransferServer::drop(Connection* c) {
    if (c->gone) return;
    c->gone = true;
    auto* socket = c->socket;
    if (c->session && c->proven && !c->ended) {
        c->ended = true;
        Q_EMIT finished(c->id, false,
                        c->stalled ? tr("the receiver took nothing for %1 s").arg(stallMs_ / 1000)
                                   : tr("the receiver closed the connection"));
    }
    // Callers up the stack may still hold `c`: free it later.
    QTimer::singleShot(0, this, [this, socket] {
        connections_.erase(socket);
        socket->deleteLater();
    });
}

// ---- receiving ----

TransferClient::TransferClient(Offer offer, QHostAddress sender, std::filesystem::path folder, DigestFactory digests,
                               SecurityFactory security, QObject* parent)
    : QObject(parent),
      offer_(offer),
      sender_(std::move(sender)),
      security_(std::move(security)),
      session_(std::move(offer), std::move(folder), std::move(digests)) {
    session_.onCheckpoint([this] { Q_EMIT checkpoint(); });
}

TransferClient* MakeTransferClient(Offer offer, QHostAddress sender, std::filesystem::path folder,
                                   DigestFactory digests, SecurityFactory security, QObject* parent) {
    return new TransferClient(std::move(offer), std::move(sender), std::move(folder), std::move(digests),
                              std::move(security), parent);
}

TransferClient::~TransferClient() {
    if (!socket_) return;
    // The last frames (the receiver's Done) go out before the socket closes:
    // a client freed right after finished() must not leave the sender
    // thinking the transfer failed.
    if (socket_->state() == QAbstractSocket::ConnectedState || socket_->state() == QAbstractSocket::ClosingState)
        socket_->flush();
    socket_->abort();
}

void TransferClient::start() {
    if (!resumable()) return;
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
    }
    reported_ = false;
    if (!stall_) {
        // A sender whose computer went away sends nothing and closes
        // nothing: the connection counts as dropped then.
        stall_ = new QTimer(this);
        stall_->setSingleShot(true);
        connect(stall_, &QTimer::timeout, this, [this] {
            if (!socket_ || socket_->state() != QAbstractSocket::ConnectedState) return;
            lost(tr("nothing came from the sender for %1 s").arg(stallMs_ / 1000));
            socket_->abort();
        });
    }
    stall_->setInterval(stallMs_);
    socket_ = new QTcpSocket(this);
    socket_->setReadBufferSize(kReadBuffer);
    connect(socket_, &QTcpSocket::connected, this, [this] {
        moved();
        socket_->write(kGreeting + QByteArray::fromStdString(offer_.id) + '\n');
        pendingIn_.clear();
        handshake_ = security_ ? security_(offer_) : nullptr;
        if (handshake_) {
            auto first = handshake_->start();
            socket_->write(first.data(), static_cast<qint64>(first.size()));
        } else {
            secured();
        }
    });
    connect(socket_, &QTcpSocket::readyRead, this, &TransferClient::readMore);
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        lost(handshake_ ? tr("the sender closed the connection before the handshake (a different version "
                             "of Lanyx, or too many connections)")
                        : tr("the sender closed the connection"));
    });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this] { lost(socket_->errorString()); });
    socket_->connectToHost(sender_, offer_.port);
}

bool TransferClient::moving() const {
    return socket_ && socket_->state() == QAbstractSocket::ConnectedState && !handshake_ && cipher_;
}

void TransferClient::moved() {
    if (stall_) stall_->start();
}

void TransferClient::cancel() {
    cancelled_ = true;
    if (stall_) stall_->stop();
    session_.cancel();
    flush();
    if (socket_) socket_->disconnectFromHost();
    if (!reported_) {
        reported_ = true;
        Q_EMIT finished(false, tr("cancelled"));
    }
}

void TransferClient::flush() {
    auto out = session_.takeOutput();
    if (!out.empty() && socket_ && socket_->state() == QAbstractSocket::ConnectedState)
        socket_->write(out.data(), static_cast<qint64>(out.size()));
}

void TransferClient::secured() {
    cipher_ = handshake_ ? handshake_->cipher() : nullptr;
    handshake_.reset();
    auto hello = session_.connect(cipher_.get());
    socket_->write(hello.data(), static_cast<qint64>(hello.size()));
}

void TransferClient::readMore() {
    moved();
    if (handshake_) {
        auto bytes = socket_->readAll();
        pendingIn_.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        if (const auto nl = pendingIn_.find('\n');
            pendingIn_.rfind(kRefusedLine, 0) == 0 && nl != std::string::npos && nl < 200) {
            // A sender of another build said why it will not go on.
            std::string line;
            for (char c : pendingIn_.substr(kRefusedLine.size(), nl - kRefusedLine.size()))
                line += (c >= 0x20 && c < 0x7F) ? c : ' ';
            reported_ = true;
            refused_ = true;
            handshake_.reset();
            socket_->abort();
            Q_EMIT finished(false, tr("the sender refused the connection: %1").arg(QString::fromStdString(line)));
            return;
        }
        std::string reply;
        auto step = handshake_->consume(pendingIn_, reply);
        if (step == ConnectionHandshake::Step::NeedMore) return;
        if (step == ConnectionHandshake::Step::Failed) {
            reported_ = true;
            refused_ = true;
            const auto why = QString::fromStdString(handshake_->error());
            handshake_.reset();
            socket_->abort();
            Q_EMIT finished(false, why);
            return;
        }
        // Our proof goes before the first frame.
        socket_->write(reply.data(), static_cast<qint64>(reply.size()));
        secured();
        if (!pendingIn_.empty()) session_.received(std::exchange(pendingIn_, {}));
    }
    const auto before = session_.bytesReceived();
    while (socket_->bytesAvailable() > 0) {
        // Straight from the socket's buffer into the session's.
        const auto want = static_cast<std::size_t>(std::min(socket_->bytesAvailable(), kReadBuffer));
        const auto got = socket_->read(session_.receiveSpace(want), static_cast<qint64>(want));
        session_.receivedInPlace(got > 0 ? static_cast<std::size_t>(got) : 0);
        if (got <= 0) break;
        if (session_.state() != SessionState::Running || !session_.error().empty()) break;
    }
    flush();
    if (session_.bytesReceived() != before) Q_EMIT progress(session_.bytesReceived(), session_.totalBytes());
    if (session_.state() != SessionState::Running && !reported_) {
        reported_ = true;
        stall_->stop();
        const bool ok = session_.state() == SessionState::Finished;
        socket_->disconnectFromHost();
        Q_EMIT finished(ok, QString::fromStdString(session_.error()));
    } else if (!session_.error().empty()) {
        socket_->abort();  // a broken connection: the partial file stays for a retry
    }
}

void TransferClient::lost(const QString& why) {
    if (reported_) return;
    if (stall_) stall_->stop();
    session_.dropped();
    if (session_.state() == SessionState::Running) {
        reported_ = true;
        const auto& error = session_.error();
        Q_EMIT finished(false, error.empty() ? tr("connection lost (%1)").arg(why) : QString::fromStdString(error));
    }
}

}  // namespace lanyx
