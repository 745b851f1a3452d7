#pragma once
// File transfers over TCP: the sender listens, the receiver connects to the
// sender's address (the one its offer came from) and the port in the offer.
// A connection opens with one line naming the transfer ("LANYX-XFER 3 id"),
// then the handshake (TransferCrypto.h), then the transfer's frames. The
// lines of earlier builds are answered with one line, "refused: ...", and
// the connection closed; a receiver shows such a line from a later build.
// Connections are capped per address and in all, and each has
// kHandshakeMs to complete its handshake; only one that completed it can
// change the transfer. Each side writes only while its send
// buffer is below kHighWater, so a transfer holds a few chunks in memory,
// and each pass of the event loop moves a bounded amount, so a fast or slow
// transfer never stalls the chat. A connection on which nothing moves for
// kStallMs counts as dropped (a computer that went away closes nothing).
#include "TransferCrypto.h"
#include "TransferSession.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>

class QTcpServer;
class QTcpSocket;
class QTimer;

namespace lanyx {

// The handshake for one connection of a transfer: it proves both sides'
// identity keys and gives the connection's cipher. Without one (tests
// only) frames go in the clear.
using SecurityFactory = std::function<std::unique_ptr<transfer::ConnectionHandshake>(const transfer::Offer&)>;

class TransferServer : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kHighWater = 1 << 20;
    // Far below the usual limit of 1,024 open files.
    static constexpr std::size_t kMaxConnections = 128;
    static constexpr std::size_t kMaxConnectionsPerAddress = 8;
    static constexpr int kHandshakeMs = 10000;
    static constexpr int kStallMs = 120000;

    explicit TransferServer(transfer::DigestFactory digests, QObject* parent = nullptr);
    ~TransferServer() override;
    // Listens on every address, on `port` (0: any free port).
    bool listen(quint16 port, QString* error);
    quint16 port() const;

    // Offers `selection` under `offer.id` until remove(); several
    // connections may come for it (retries after a drop).
    void add(const transfer::Offer& offer, transfer::LocalSelection selection, SecurityFactory security = {});
    void remove(const QString& id);
    // Connections refused or cut before completing their handshake so far.
    std::size_t refusedConnections() const { return refusedConnections_; }
    // Another time than kStallMs (tests).
    void setStallMs(int ms) { stallMs_ = ms; }

Q_SIGNALS:
    void progress(const QString& id, quint64 sent, quint64 total);
    void finished(const QString& id, bool ok, const QString& message);
    // A connection that named a transfer was refused (for the log).
    void refused(const QString& message);

private:
    struct Outgoing;
    struct Connection;
    void accept();
    void readFrom(Connection* c);
    void writeTo(Connection* c);
    void drop(Connection* c);
    std::size_t connectionsFrom(quint32 peer) const;

    transfer::DigestFactory digests_;
    int stallMs_ = kStallMs;
    std::size_t refusedConnections_ = 0;
    quint64 accepted_ = 0;
    std::unique_ptr<QTcpServer> server_;
    std::map<QString, std::unique_ptr<Outgoing>> outgoing_;
    std::map<QTcpSocket*, std::unique_ptr<Connection>> connections_;
};

class TransferClient : public QObject {
    Q_OBJECT
public:
    TransferClient(transfer::Offer offer, QHostAddress sender, std::filesystem::path folder,
                   transfer::DigestFactory digests, SecurityFactory security = {}, QObject* parent = nullptr);
    ~TransferClient() override;
    // Before the first start(): go on where an earlier run stopped.
    void resumeFrom(transfer::ResumeState state) { session_.resumeFrom(std::move(state)); }
    // Connects (again, after a drop: the transfer resumes).
    void start();
    void cancel();
    transfer::SessionState state() const { return session_.state(); }
    const transfer::ReceiverSession& session() const { return session_; }

Q_SIGNALS:
    void progress(quint64 received, quint64 total);
    // `ok` false with a message: failed; the caller may start() again while
    // resumable() holds.
    void finished(bool ok, const QString& message);
    // What session().resumeState() gives changed.
    void checkpoint();

public:
    // Whether a retry can go on from where the last connection stopped.
    bool resumable() const { return session_.state() == transfer::SessionState::Running; }
    // The other side did not prove the key pinned for it (or has no cipher
    // in common with us): connecting again would not help.
    bool refused() const { return refused_; }
    // Ended by cancel(), here.
    bool cancelled() const { return cancelled_; }
    // Past the handshake on a connection that is up: the files move.
    bool moving() const;
    // Another time than TransferServer::kStallMs (tests).
    void setStallMs(int ms) { stallMs_ = ms; }

private:
    void readMore();
    void secured();
    void flush();
    void lost(const QString& why);
    void moved();

    transfer::Offer offer_;
    QHostAddress sender_;
    SecurityFactory security_;
    std::unique_ptr<transfer::ConnectionHandshake> handshake_;
    std::string pendingIn_;
    std::unique_ptr<transfer::FrameCipher> cipher_;
    transfer::ReceiverSession session_;
    QTcpSocket* socket_ = nullptr;
    QTimer* stall_ = nullptr;
    int stallMs_ = TransferServer::kStallMs;
    bool reported_ = false;
    bool refused_ = false;
    bool cancelled_ = false;
};

// Makes the receiving side of a transfer, from TransferClient's arguments;
// the owner of the transfers is given one (MakeTransferClient unless it
// wraps it).
using ClientFactory =
    std::function<TransferClient*(transfer::Offer offer, QHostAddress sender, std::filesystem::path folder,
                                  transfer::DigestFactory digests, SecurityFactory security, QObject* parent)>;
TransferClient* MakeTransferClient(transfer::Offer offer, QHostAddress sender, std::filesystem::path folder,
                                   transfer::DigestFactory digests, SecurityFactory security, QObject* parent);

}  // namespace lanyx
