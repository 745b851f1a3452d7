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
constexpr int kLineTimeoutMs = 10000;
constexpr std::size_t kMaxLine = 64;
const QByteArray kGreeting = "LANYX-XFER 1 ";
} // namespace

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
    quint64 reported = 0;
    bool ended = false;
    bool again = false;  // a pass of writeTo() is due
    bool gone = false;   // disconnected; freed at the next pass of the event loop
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

void TransferServer::accept() {
    while (auto* socket = server_->nextPendingConnection()) {
        socket->setReadBufferSize(kReadBuffer);
        auto c = std::make_unique<Connection>();
        c->socket = socket;
        auto* raw = c.get();
        connections_[socket] = std::move(c);
        connect(socket, &QTcpSocket::readyRead, this, [this, raw] { readFrom(raw); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, raw] { writeTo(raw); });
        connect(socket, &QTcpSocket::disconnected, this, [this, raw] { drop(raw); });
        // A connection that never names its transfer is not kept.
        QTimer::singleShot(kLineTimeoutMs, socket, [socket, raw] {
            if (!raw->outgoing) socket->abort();
        });
    }
}

void TransferServer::readFrom(Connection* c) {
    if (c->gone) return;
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
        auto it = first.startsWith(kGreeting) ? outgoing_.find(QString::fromLatin1(first.mid(kGreeting.size())))
                                              : outgoing_.end();
        if (it == outgoing_.end()) {
            c->socket->abort();  // not a transfer we offer (or one cancelled)
            return;
        }
        c->outgoing = it->second.get();
        c->id = it->first;
        if (c->outgoing->security) c->handshake = c->outgoing->security(c->outgoing->offer);
    }
    if (c->handshake && !c->session) {
        c->handshakeIn.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        std::string reply;
        auto step = c->handshake->consume(c->handshakeIn, reply);
        if (step == ConnectionHandshake::Step::NeedMore) {
            if (c->handshakeIn.size() > 4096) c->socket->abort();
            return;
        }
        if (step == ConnectionHandshake::Step::Failed) {
            c->ended = true;
            Q_EMIT finished(c->id, false, QString::fromStdString(c->handshake->error()));
            if (reply.empty()) {
                c->socket->abort();
            } else {
                // It tells the receiver why (no cipher in common).
                c->socket->write(reply.data(), static_cast<qint64>(reply.size()));
                c->socket->disconnectFromHost();
            }
            return;
        }
        c->socket->write(reply.data(), static_cast<qint64>(reply.size()));
        c->cipher = c->handshake->cipher();
        bytes = QByteArray::fromStdString(std::exchange(c->handshakeIn, {}));
    }
    if (!c->session)
        c->session = std::make_unique<SenderSession>(c->outgoing->offer, c->outgoing->selection, digests_, c->cipher.get());
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
    if (c->session && !c->ended) {
        c->ended = true;
        Q_EMIT finished(c->id, false, tr("the receiver closed the connection"));
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
    : QObject(parent), offer_(offer), sender_(std::move(sender)), security_(std::move(security)),
      session_(std::move(offer), std::move(folder), std::move(digests)) {}

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
    socket_ = new QTcpSocket(this);
    socket_->setReadBufferSize(kReadBuffer);
    connect(socket_, &QTcpSocket::connected, this, [this] {
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
    connect(socket_, &QTcpSocket::disconnected, this, [this] { lost(tr("the sender closed the connection")); });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this] { lost(socket_->errorString()); });
    socket_->connectToHost(sender_, offer_.port);
}

void TransferClient::cancel() {
    cancelled_ = true;
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
    if (handshake_) {
        auto bytes = socket_->readAll();
        pendingIn_.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        std::string reply;
        auto step = handshake_->consume(pendingIn_, reply);
        if (step == ConnectionHandshake::Step::NeedMore) return;
        if (step == ConnectionHandshake::Step::Failed) {
            reported_ = true;
            refused_ = true;
            const auto why = QString::fromStdString(handshake_->error());
            socket_->abort();
            Q_EMIT finished(false, why);
            return;
        }
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
        const bool ok = session_.state() == SessionState::Finished;
        socket_->disconnectFromHost();
        Q_EMIT finished(ok, QString::fromStdString(session_.error()));
    } else if (!session_.error().empty()) {
        socket_->abort();  // a broken connection: the partial file stays for a retry
    }
}

void TransferClient::lost(const QString& why) {
    if (reported_) return;
    session_.dropped();
    if (session_.state() == SessionState::Running) {
        reported_ = true;
        const auto& error = session_.error();
        Q_EMIT finished(false, error.empty() ? tr("connection lost (%1)").arg(why) : QString::fromStdString(error));
    }
}

} // namespace lanyx
