#pragma once
// The real transport: a UDP socket on port 1414 that broadcasts to the
// segment and hears every broadcast, its own included.
//
// A broadcast to 255.255.255.255 leaves only through the interface of the
// default route, so every datagram goes out once through each interface
// that is up, can broadcast and has an IPv4 address (once per subnet), and
// also to the extra destinations (other subnets) and to copies on other
// subnets whose pinned keys signed what came from there (only in ranges
// that net::mayLearnSource allows). The interfaces are followed while the socket is open
// (netlink on Linux, a slow re-scan elsewhere). What then arrives more than
// once, along different paths, is taken once.
//
// On a busy segment a newcomer hears thousands of replies within a few
// milliseconds, more than the kernel's socket buffer holds. So on POSIX
// systems a receiver thread drains the socket (in batches, recvmmsg on
// Linux) into a queue, and the datagrams are handed to the protocol logic
// on the user-interface thread in batches, in the order they came. Should
// the thread find its socket broken, the transport reports it and opens the
// socket again (or keeps trying).
#include "Networks.h"
#include "ReceiveQueue.h"
#include "Transport.h"

#include <QHostAddress>
#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct pollfd;
class QSocketNotifier;
class QTimer;
class QUdpSocket;

namespace lanyx {

class UdpTransport : public QObject, public DatagramTransport {
    Q_OBJECT
public:
    // What the receiver thread waits for the socket in: poll() on POSIX
    // systems, or the function given (empty: poll()).
    using PollFunction = std::function<int(pollfd* fds, unsigned long count, int timeoutMs)>;

    explicit UdpTransport(QHostAddress broadcast = QHostAddress::Broadcast, quint16 port = 1414, PollFunction poll = {},
                          QObject* parent = nullptr);
    ~UdpTransport() override;

    void open() override;
    void close() override;
    bool isOpen() const override;
    void send(std::string_view bytes) override;
    void sendTo(IpAddress address, std::string_view bytes) override;
    void sendLocal(std::string_view bytes) override;

    // Datagrams handed over per pass of the event loop; the rest wait for
    // the next pass, so that windows and timers keep running in a flood.
    static constexpr std::size_t kBatch = 256;
    // What the datagrams waiting for the user-interface thread may hold in
    // memory (ReceiveQueue::cost); beyond it a flood costs drops (reported
    // like the kernel's), not memory.
    static constexpr std::size_t kMaxQueuedBytes = 8 << 20;
    // After a failed attempt to open the socket again, the next one.
    static constexpr int kReopenMs = 5000;
    // The receive buffer the socket got, in bytes (0 when not open).
    int receiveBufferBytes() const { return rcvbuf_; }
    // What the datagrams waiting for the user-interface thread hold now
    // (ReceiveQueue::cost), at most kMaxQueuedBytes.
    std::size_t queuedBytes() const;

    // Host names, addresses or directed-broadcast addresses every datagram
    // also goes to. Names are looked up in the background (again whenever
    // the networks change); a destination that becomes reachable while the
    // socket is open gets the copy's announcement.
    // Ranges among them ("10.20.0.0/16") are not sent to: copies heard
    // from there may be, besides those in private ranges.
    void setExtraDestinations(const std::vector<std::string>& entries);
    void sourceVerified(IpAddress address, std::string_view wireName) override;
    void sourceLeft(IpAddress address, std::string_view wireName) override;
    // The copies on other subnets sent to directly.
    std::vector<IpAddress> rememberedSources() const { return remembered_.addresses(); }
    // Lines for the user: the interfaces sent through, the extra
    // destinations with their addresses, the copies remembered.
    std::vector<std::string> describeRoutes() const;
    // Called with a line whenever a network comes ("network\t<description>")
    // or goes ("network-gone\t<description>").
    void setNetworkReporter(std::function<void(const std::string& kind, const std::string& what)> f) {
        networkReporter_ = std::move(f);
    }
    // Reads the interfaces again now (the watcher does it by itself).
    void rescan();
    // The interfaces of this computer that can broadcast, one entry per
    // IPv4 address.
    static std::vector<net::LocalNetwork> scanInterfaces();
    // The same lines as describeRoutes() without a socket: for a check of
    // the installation. Looks names up and waits for the answers.
    static std::vector<std::string> describeRoutesFor(const std::vector<std::string>& extras,
                                                      QHostAddress broadcast = QHostAddress::Broadcast);

Q_SIGNALS:
    // Alerts of names first heard in a storm were counted and not kept
    // (`count` more since the last time).
    void alertsNotKept(int count);

private:
    struct Extra {
        std::string entry;
        std::vector<IpAddress> addresses;
        bool looking = false;
        bool failed = false;
    };
    // What was sent to, restricted while announcing on new networks.
    struct Restriction {
        std::vector<net::LocalNetwork> networks;
        std::vector<IpAddress> addresses;
    };
    void readPending();
    // A datagram off the socket: false for a repeat along another path.
    bool take(std::string_view bytes, IpAddress from, IpAddress to, int interfaceIndex);
    void startWatching();
    void stopWatching();
    void lookUp(std::size_t i);
    void announceTo(Restriction r);
    std::vector<IpAddress> unicastTargets() const;
    bool limited() const { return broadcast_ == QHostAddress(QHostAddress::Broadcast); }
    std::uint32_t nowMs() const;
    // One datagram to one address, through one network or as routed;
    // errno (or a socket error) on failure, 0 when sent.
    int sendOne(std::string_view bytes, IpAddress to, const net::LocalNetwork* via);

    std::vector<net::LocalNetwork> allNetworks_;  // every address of an interface that can broadcast
    std::vector<net::LocalNetwork> networks_;     // one per subnet: sent through
    bool scanned_ = false;
    std::vector<Extra> extras_;
    std::vector<net::AddressRange> ranges_;
    std::uint32_t extrasGeneration_ = 0;
    net::RememberedSenders remembered_;
    net::DuplicateFilter duplicates_;
    std::optional<Restriction> restriction_;
    std::function<void(const std::string&, const std::string&)> networkReporter_;
    QTimer* rescanTimer_ = nullptr;
    QTimer* settleTimer_ = nullptr;
    QTimer* lookupTimer_ = nullptr;
    QSocketNotifier* watcher_ = nullptr;
    int netlinkFd_ = -1;
#ifdef Q_OS_UNIX
    // The socket and its receiver thread, without the interface watch.
    void openSocket();
    void closeSocket();
    void receiveLoop(std::uint32_t session, PollFunction poll);
    void drainQueue();
    // The receiver thread of `session` ended on `error` (an errno).
    void receiverStopped(std::uint32_t session, int error);
    void reopen();
    int fd_ = -1;
    int wake_[2] = {-1, -1};
    std::thread receiver_;
    ReceiveQueue queue_{kMaxQueuedBytes};
    std::atomic<bool> posted_{false};
    // The kernel's count of drops on the current socket (SO_RXQ_OVFL), and
    // what earlier sockets of this transport dropped: the reported total
    // only grows.
    std::atomic<std::uint32_t> dropTotal_{0};
    std::uint32_t earlierDrops_ = 0;
    std::uint32_t dropReported_ = 0;
    std::uint32_t notKeptReported_ = 0;
    IpAddress broadcastIp_;
    std::uint32_t session_ = 0;  // grows whenever the socket closes
    // Receiving failed and the socket could not be opened again yet.
    bool down_ = false;
    bool reportedDown_ = false;
    int downError_ = 0;
    QTimer* reopenTimer_ = nullptr;
#endif
    PollFunction poll_;
    QHostAddress broadcast_;
    quint16 port_;
    int rcvbuf_ = 0;
    std::unique_ptr<QUdpSocket> socket_;
};

}  // namespace lanyx
