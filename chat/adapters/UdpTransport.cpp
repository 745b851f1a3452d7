#include "UdpTransport.h"

#include "Error.h"

#include "Wire.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostInfo>
#include <QMetaObject>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QSocketNotifier>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>
#include <chrono>

#ifdef Q_OS_UNIX
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#endif
#endif

namespace lanyx {

UdpTransport::UdpTransport(QHostAddress broadcast, quint16 port, PollFunction poll, QObject* parent)
    : QObject(parent), poll_(std::move(poll)), broadcast_(std::move(broadcast)), port_(port) {
}

UdpTransport::~UdpTransport() {
    close();
}

// ---- networks: what is sent to -------------------------------------------------

namespace {

// How often the interfaces are read again without a notice from the system.
#ifdef __linux__
constexpr int kRescanMs = 30000;
#else
constexpr int kRescanMs = 5000;
#endif
// A change comes as a burst of notices (link, then address): read once after.
constexpr int kSettleMs = 300;
// Names are looked up again this often (addresses behind a name change).
constexpr int kLookupAgainMs = 10 * 60 * 1000;

// The socket speaks IPv4 alone for now; an IPv4 address Qt holds mapped
// into IPv6 is the IPv4 address.
IpAddress fromQt(const QHostAddress& a) {
    bool v4 = false;
    const quint32 ip = a.toIPv4Address(&v4);
    return v4 ? IpAddress::v4(ip) : IpAddress{};
}

const IpAddress kLimitedBroadcast = IpAddress::v4(0xFFFFFFFFu);

}  // namespace

std::vector<net::LocalNetwork> UdpTransport::scanInterfaces() {
    std::vector<net::LocalNetwork> out;
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
        const auto f = i.flags();
        if (!(f & QNetworkInterface::IsUp) || !(f & QNetworkInterface::IsRunning) ||
            !(f & QNetworkInterface::CanBroadcast) || (f & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& e : i.addressEntries()) {
            if (e.ip().protocol() != QAbstractSocket::IPv4Protocol) continue;
            net::LocalNetwork n;
            n.name = i.name().toStdString();
            n.index = static_cast<unsigned>(i.index());
            n.address = fromQt(e.ip());
            n.netmask = fromQt(e.netmask());
            n.broadcast = e.broadcast().isNull() ? IpAddress::v4(n.address.toV4() | ~n.netmask.toV4())
                                                 : fromQt(e.broadcast());
            // A /32 or /31 has nobody else to broadcast to.
            if (n.prefixLength() >= 31 || n.address.isLoopback()) continue;
            out.push_back(std::move(n));
        }
    }
    return out;
}

std::uint32_t UdpTransport::nowMs() const {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void UdpTransport::rescan() {
    auto all = scanInterfaces();
    auto nets = net::oneForEachSubnet(all);
    const auto added = net::subnetsAdded(networks_, nets);
    const auto lost = net::subnetsAdded(nets, networks_);
    const bool first = !scanned_;
    scanned_ = true;
    allNetworks_ = std::move(all);
    networks_ = std::move(nets);
    if (networkReporter_) {
        for (const auto& n : lost) networkReporter_("network-gone", n.describe());
        for (const auto& n : added) networkReporter_("network", n.describe());
    }
    if (added.empty()) return;
    // A VPN that came up may be what a name needed.
    for (std::size_t i = 0; i < extras_.size(); ++i)
        if (extras_[i].failed) lookUp(i);
    if (!first && limited() && isOpen()) announceTo(Restriction{added, {}});
}

void UdpTransport::announceTo(Restriction r) {
    if (!isOpen() || restriction_) return;
    restriction_ = std::move(r);
    networksJoined();
    restriction_.reset();
}

void UdpTransport::setExtraDestinations(const std::vector<std::string>& entries) {
    ++extrasGeneration_;
    const auto before = unicastTargets();
    std::vector<Extra> next;
    ranges_.clear();
    for (const auto& e : entries) {
        if (net::destinationProblem(e)) continue;
        if (const auto r = net::parseRange(e); r.range) {
            ranges_.push_back(*r.range);
            continue;
        }
        Extra x;
        x.entry = e;
        if (const auto ip = IpAddress::parseV4(e, IpAddress::Spelling::LeadingZeros)) {
            x.addresses.push_back(*ip);
        } else {
            // A name looked up before keeps its addresses until the new answer.
            for (const auto& old : extras_)
                if (old.entry == e) x.addresses = old.addresses;
        }
        next.push_back(std::move(x));
    }
    extras_ = std::move(next);
    for (std::size_t i = 0; i < extras_.size(); ++i)
        if (!IpAddress::parseV4(extras_[i].entry, IpAddress::Spelling::LeadingZeros)) lookUp(i);
    std::vector<IpAddress> fresh;
    for (const auto& a : unicastTargets())
        if (std::find(before.begin(), before.end(), a) == before.end()) fresh.push_back(a);
    if (!fresh.empty()) announceTo(Restriction{{}, fresh});
}

void UdpTransport::lookUp(std::size_t i) {
    if (i >= extras_.size() || extras_[i].looking) return;
    extras_[i].looking = true;
    const auto generation = extrasGeneration_;
    const std::string entry = extras_[i].entry;
    QHostInfo::lookupHost(QString::fromStdString(entry), this, [this, generation, i, entry](const QHostInfo& info) {
        if (generation != extrasGeneration_ || i >= extras_.size() || extras_[i].entry != entry) return;
        const auto before = unicastTargets();
        Extra& x = extras_[i];
        x.looking = false;
        std::vector<IpAddress> found;
        for (const QHostAddress& a : info.addresses())
            if (a.protocol() == QAbstractSocket::IPv4Protocol && found.size() < 4) found.push_back(fromQt(a));
        x.failed = found.empty();
        if (!found.empty()) x.addresses = std::move(found);
        std::vector<IpAddress> fresh;
        for (const auto& a : unicastTargets())
            if (std::find(before.begin(), before.end(), a) == before.end()) fresh.push_back(a);
        if (!fresh.empty()) announceTo(Restriction{{}, fresh});
    });
}

std::vector<IpAddress> UdpTransport::unicastTargets() const {
    std::vector<IpAddress> out;
    auto add = [&](IpAddress a) {
        if (std::find(out.begin(), out.end(), a) == out.end()) out.push_back(a);
    };
    for (const auto& x : extras_)
        for (const auto& a : x.addresses) add(a);
    for (const auto& a : remembered_.addresses()) add(a);
    return out;
}

bool UdpTransport::take(std::string_view bytes, IpAddress from, IpAddress to, int interfaceIndex) {
    // A path is told apart from the others by its interface and the address it came to.
    const std::uint64_t path = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(interfaceIndex)) << 32) ^
                               (to.isV4() ? to.toV4() : std::hash<IpAddress>{}(to));
    if (!duplicates_.admit(bytes, path, nowMs())) return false;
    (void)to;
    (void)from;
    // Addresses are learnt in sourceVerified and forgotten in sourceLeft,
    // never from what merely came: an unsigned leave is anybody's.
    return true;
}

void UdpTransport::sourceLeft(IpAddress address, std::string_view wireName) {
    if (!wireName.empty()) remembered_.left(address, wireName);
}

void UdpTransport::sourceVerified(IpAddress address, std::string_view wireName) {
#ifdef Q_OS_UNIX
    // What comes from there under that name goes ahead of strangers.
    queue_.verifiedSource(address, wireName);
#endif
    // A copy on another subnet is reached only by sending to it directly.
    if (wireName.empty() || !net::mayLearnSource(address, allNetworks_, ranges_)) return;
    const bool known = std::any_of(extras_.begin(), extras_.end(), [&](const Extra& x) {
        return std::find(x.addresses.begin(), x.addresses.end(), address) != x.addresses.end();
    });
    if (!remembered_.heard(address, wireName) || known) return;
    // What the copy said before it was heard (its answer to the newcomer)
    // went by broadcast alone: it announces itself there now, once the
    // datagram being handled is done with.
    QMetaObject::invokeMethod(
        this,
        [this, address] {
            announceTo(Restriction{{}, {address}});
        },
        Qt::QueuedConnection);
}

std::vector<std::string> UdpTransport::describeRoutes() const {
    std::vector<std::string> out;
    if (!limited()) {
        out.push_back("broadcast to " + broadcast_.toString().toStdString() + " (set on the command line)");
    } else if (networks_.empty()) {
        out.push_back("no network interface that can broadcast: to 255.255.255.255 as the system routes it");
    } else {
        for (const auto& n : allNetworks_) {
            const auto sent = std::find_if(networks_.begin(), networks_.end(),
                                           [&](const net::LocalNetwork& o) { return o.sameSubnet(n); });
            if (sent != networks_.end() && sent->index == n.index && sent->address == n.address)
                out.push_back("interface " + n.describe());
            else if (sent != networks_.end())
                out.push_back("interface " + n.describe() + ": same subnet as " + sent->name + ", not sent twice");
        }
    }
    for (const auto& x : extras_) {
        std::string line = "also " + x.entry;
        if (!x.addresses.empty()) {
            std::string list;
            for (const auto& a : x.addresses) list += (list.empty() ? "" : ", ") + a.toString();
            if (list != x.entry) line += " (" + list + ")";
        } else if (x.looking) {
            line += ": being looked up";
        } else {
            line += ": does not resolve";
        }
        out.push_back(line);
    }
    for (const auto& r : ranges_) out.push_back("copies heard from " + r.toString() + " are answered");
    for (const auto& a : remembered_.addresses())
        out.push_back("also " + a.toString() + " (a copy heard from another subnet)");
    return out;
}

std::vector<std::string> UdpTransport::describeRoutesFor(const std::vector<std::string>& extras,
                                                         QHostAddress broadcast) {
    UdpTransport t(std::move(broadcast));
    t.allNetworks_ = scanInterfaces();
    t.networks_ = net::oneForEachSubnet(t.allNetworks_);
    for (const auto& e : extras) {
        if (const auto r = net::parseRange(e); r.range) {
            t.ranges_.push_back(*r.range);
            continue;
        }
        Extra x;
        x.entry = e;
        if (const auto ip = IpAddress::parseV4(e, IpAddress::Spelling::LeadingZeros)) {
            x.addresses.push_back(*ip);
        } else {
            const QHostInfo info = QHostInfo::fromName(QString::fromStdString(e));
            for (const QHostAddress& a : info.addresses())
                if (a.protocol() == QAbstractSocket::IPv4Protocol && x.addresses.size() < 4)
                    x.addresses.push_back(fromQt(a));
            x.failed = x.addresses.empty();
        }
        t.extras_.push_back(std::move(x));
    }
    return t.describeRoutes();
}

void UdpTransport::startWatching() {
    if (!rescanTimer_) {
        rescanTimer_ = new QTimer(this);
        connect(rescanTimer_, &QTimer::timeout, this, &UdpTransport::rescan);
        settleTimer_ = new QTimer(this);
        settleTimer_->setSingleShot(true);
        connect(settleTimer_, &QTimer::timeout, this, &UdpTransport::rescan);
        lookupTimer_ = new QTimer(this);
        connect(lookupTimer_, &QTimer::timeout, this, [this] {
            for (std::size_t i = 0; i < extras_.size(); ++i)
                if (!IpAddress::parseV4(extras_[i].entry, IpAddress::Spelling::LeadingZeros)) lookUp(i);
        });
    }
    rescan();
    rescanTimer_->start(kRescanMs);
    lookupTimer_->start(kLookupAgainMs);
#ifdef __linux__
    // The kernel tells of links and addresses that come and go.
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
    if (fd >= 0) {
        sockaddr_nl nl{};
        nl.nl_family = AF_NETLINK;
        nl.nl_groups = RTMGRP_LINK | RTMGRP_IPV4_IFADDR;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&nl), sizeof nl) == 0) {
            netlinkFd_ = fd;
            watcher_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
            connect(watcher_, &QSocketNotifier::activated, this, [this] {
                char buf[8192];
                while (::recv(netlinkFd_, buf, sizeof buf, MSG_DONTWAIT) > 0) {
                }
                settleTimer_->start(kSettleMs);
            });
        } else {
            ::close(fd);
        }
    }
#endif
}

void UdpTransport::stopWatching() {
    if (rescanTimer_) {
        rescanTimer_->stop();
        settleTimer_->stop();
        lookupTimer_->stop();
    }
    delete watcher_;
    watcher_ = nullptr;
#ifdef Q_OS_UNIX
    if (netlinkFd_ >= 0) ::close(netlinkFd_);
#endif
    netlinkFd_ = -1;
    duplicates_.clear();
    // The next open reads the interfaces anew and announces everywhere itself.
    scanned_ = false;
}

#ifdef Q_OS_UNIX

namespace {

// Asked for first; the kernel caps it (SO_RCVBUF) unless we may force it.
constexpr int kWantedReceiveBuffer = 64 << 20;

int readRmemMax() {
    std::ifstream in("/proc/sys/net/core/rmem_max");
    long long v = 0;
    if (!(in >> v) || v <= 0) return 0;
    return v > kWantedReceiveBuffer ? kWantedReceiveBuffer : static_cast<int>(v);
}

[[noreturn]] void throwErrno(int e) {
    throw LanyxError(e == EADDRINUSE ? err::AddressInUse : err::NetworkError, std::strerror(e));
}

}  // namespace

void UdpTransport::open() {
    if (fd_ >= 0 || down_) return;
    openSocket();
    startWatching();
}

void UdpTransport::openSocket() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throwErrno(errno);
    const int on = 1;
    // Shared binding: every copy on this host hears every broadcast.
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    {
        bool forced = false;
#ifdef SO_RCVBUFFORCE
        forced = setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &kWantedReceiveBuffer, sizeof kWantedReceiveBuffer) == 0;
#endif
        if (!forced) {
            const int max = readRmemMax();
            if (max > 0) setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &max, sizeof max);
        }
    }
#ifdef SO_RXQ_OVFL
    setsockopt(fd, SOL_SOCKET, SO_RXQ_OVFL, &on, sizeof on);
#endif
#ifdef IP_PKTINFO
    // Which interface and destination address each datagram came by.
    setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
#endif
    socklen_t len = sizeof rcvbuf_;
    if (getsockopt(fd, SOL_SOCKET, SO_RCVBUF, &rcvbuf_, &len) != 0) rcvbuf_ = 0;

    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(port_);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        const int e = errno;
        ::close(fd);
        throwErrno(e);
    }
    if (::pipe(wake_) != 0) {
        const int e = errno;
        ::close(fd);
        throwErrno(e);
    }
    fcntl(wake_[0], F_SETFD, FD_CLOEXEC);
    fcntl(wake_[1], F_SETFD, FD_CLOEXEC);
    broadcastIp_ = fromQt(broadcast_);
    fd_ = fd;
    dropTotal_ = 0;
    PollFunction poll = poll_;
    if (!poll)
        poll = [](pollfd* fds, unsigned long count, int timeoutMs) {
            return ::poll(fds, static_cast<nfds_t>(count), timeoutMs);
        };
    receiver_ = std::thread([this, session = session_, poll = std::move(poll)] { receiveLoop(session, poll); });
}

void UdpTransport::close() {
    if (reopenTimer_) reopenTimer_->stop();
    if (fd_ < 0 && !down_) return;
    down_ = false;
    reportedDown_ = false;
    stopWatching();
    closeSocket();
    // What arrived before the close belongs to the closed session.
    queue_.clear();
}

void UdpTransport::closeSocket() {
    if (fd_ < 0) return;
    const char b = 1;
    [[maybe_unused]] auto n = ::write(wake_[1], &b, 1);
    if (receiver_.joinable()) receiver_.join();
    ::close(fd_);
    ::close(wake_[0]);
    ::close(wake_[1]);
    fd_ = wake_[0] = wake_[1] = -1;
    ++session_;
    rcvbuf_ = 0;
    earlierDrops_ += dropTotal_.exchange(0);
}

void UdpTransport::receiverStopped(std::uint32_t session, int error) {
    // Closed (or already opened again) meanwhile: nothing to mend.
    if (session != session_ || fd_ < 0) return;
    // The thread has ended; what it queued is still good.
    closeSocket();
    downError_ = error;
    down_ = true;
    reopen();
}

void UdpTransport::reopen() {
    if (!down_) return;
    try {
        openSocket();
    } catch (const LanyxError&) {
        if (!reopenTimer_) {
            reopenTimer_ = new QTimer(this);
            reopenTimer_->setSingleShot(true);
            connect(reopenTimer_, &QTimer::timeout, this, &UdpTransport::reopen);
        }
        reopenTimer_->start(kReopenMs);
        // Said once; the next report is that receiving works again.
        if (!reportedDown_) {
            reportedDown_ = true;
            receiveFailed(err::NetworkError, std::strerror(downError_), false);
        }
        return;
    }
    down_ = false;
    reportedDown_ = false;
    // Whatever waited in the queue still goes to the node.
    if (!queue_.empty() && !posted_.exchange(true))
        QMetaObject::invokeMethod(this, &UdpTransport::drainQueue, Qt::QueuedConnection);
    // Last: the user is told in a message box, which runs events.
    receiveFailed(err::NetworkError, std::strerror(downError_), true);
}

std::size_t UdpTransport::queuedBytes() const {
    return queue_.bytes();
}

bool UdpTransport::isOpen() const {
    // While it tries to open the socket again the transport counts as open:
    // the node stays joined, and what it sends meanwhile is lost.
    return fd_ >= 0 || down_;
}

int UdpTransport::sendOne(std::string_view bytes, IpAddress ip, const net::LocalNetwork* via) {
    if (!ip.isV4()) return EAFNOSUPPORT;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(ip.toV4());
    to.sin_port = htons(port_);
#ifdef __linux__
    if (via) {
        // The limited broadcast through this interface, from its address.
        iovec iov{const_cast<char*>(bytes.data()), bytes.size()};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
        msghdr m{};
        m.msg_name = &to;
        m.msg_namelen = sizeof to;
        m.msg_iov = &iov;
        m.msg_iovlen = 1;
        m.msg_control = control;
        m.msg_controllen = sizeof control;
        cmsghdr* c = CMSG_FIRSTHDR(&m);
        c->cmsg_level = IPPROTO_IP;
        c->cmsg_type = IP_PKTINFO;
        c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_ifindex = static_cast<int>(via->index);
        info.ipi_spec_dst.s_addr = htonl(via->address.toV4());
        std::memcpy(CMSG_DATA(c), &info, sizeof info);
        return ::sendmsg(fd_, &m, 0) < 0 ? errno : 0;
    }
#else
    // Elsewhere each network's own broadcast address takes it there.
    if (via) to.sin_addr.s_addr = htonl(via->broadcast.toV4());
#endif
    return ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) < 0 ? errno : 0;
}

void UdpTransport::send(std::string_view bytes) {
    if (fd_ < 0) return;
    int sent = 0;
    int failure = 0;
    bool stale = false;
    auto result = [&](int e) {
        if (e == 0) {
            ++sent;
            return;
        }
        failure = e;
        if (e == ENODEV || e == ENXIO || e == EADDRNOTAVAIL || e == ENETDOWN) stale = true;
    };
    if (restriction_) {
        for (const auto& n : restriction_->networks) result(sendOne(bytes, kLimitedBroadcast, &n));
        for (const auto& a : restriction_->addresses) result(sendOne(bytes, a, nullptr));
        if (stale && settleTimer_) settleTimer_->start(kSettleMs);
        return;  // an announcement: the caller has nobody to tell of a failure
    }
    if (!limited() || networks_.empty()) {
        result(sendOne(bytes, broadcastIp_, nullptr));
    } else {
        for (const auto& n : networks_) result(sendOne(bytes, kLimitedBroadcast, &n));
        // The interfaces changed under us: as the system routes it, until
        // the next reading of the interfaces.
        if (sent == 0) result(sendOne(bytes, kLimitedBroadcast, nullptr));
    }
    const bool broadcastSent = sent > 0;
    for (const auto& a : unicastTargets()) result(sendOne(bytes, a, nullptr));
    if (stale && settleTimer_) settleTimer_->start(kSettleMs);
    // One unreachable extra destination is no failure of the whole send.
    if (!broadcastSent && sent == 0 && failure) throw LanyxError(err::NetworkError, std::strerror(failure));
}

void UdpTransport::sendTo(IpAddress address, std::string_view bytes) {
    // A challenge: one lost is sent again later, so a failure is not the caller's.
    if (fd_ >= 0 && address && address != IpAddress::v4(0)) sendOne(bytes, address, nullptr);
}

void UdpTransport::sendLocal(std::string_view bytes) {
    // The loopback network's broadcast reaches every copy on this computer
    // and never leaves it.
    if (fd_ >= 0) sendOne(bytes, IpAddress::v4(0x7FFFFFFFu), nullptr);
}

namespace {

// Errors of a receive call that mean the socket itself is broken; others
// (an ICMP error left by a send, a short lack of memory) pass.
bool brokenSocket(int e) {
    return e == EBADF || e == ENOTSOCK || e == EINVAL || e == EFAULT;
}

}  // namespace

void UdpTransport::receiveLoop(std::uint32_t session, PollFunction poll) {
    // Sleeps in poll() while nothing arrives; wakes for datagrams or close().
    constexpr std::size_t kRead = 64;
    constexpr std::size_t kMaxDatagram = 65536;
    std::vector<char> buffers(kRead * kMaxDatagram);
    std::vector<Arrival> batch;
    batch.reserve(kRead);
#ifdef __linux__
    constexpr std::size_t kControl = CMSG_SPACE(sizeof(std::uint32_t)) + CMSG_SPACE(sizeof(in_pktinfo)) + 64;
    std::vector<char> control(kRead * kControl);
    std::vector<mmsghdr> msgs(kRead);
    std::vector<iovec> iov(kRead);
    std::vector<sockaddr_in> from(kRead);
#endif
    // The thread ends on a broken socket: the user-interface thread hears
    // of it and opens a new one.
    auto stopped = [this, session](int error) {
        QMetaObject::invokeMethod(
            this, [this, session, error] { receiverStopped(session, error); }, Qt::QueuedConnection);
    };
    for (;;) {
        pollfd p[2] = {{fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (poll(p, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return stopped(errno);
        }
        if (p[1].revents) return;
        if (p[0].revents & POLLNVAL) return stopped(EBADF);
        for (;;) {
#ifdef __linux__
            for (std::size_t i = 0; i < kRead; ++i) {
                iov[i] = {buffers.data() + i * kMaxDatagram, kMaxDatagram};
                msgs[i] = {};
                msgs[i].msg_hdr.msg_iov = &iov[i];
                msgs[i].msg_hdr.msg_iovlen = 1;
                from[i] = {};
                msgs[i].msg_hdr.msg_name = &from[i];
                msgs[i].msg_hdr.msg_namelen = sizeof from[i];
                msgs[i].msg_hdr.msg_control = control.data() + i * kControl;
                msgs[i].msg_hdr.msg_controllen = kControl;
            }
            const int n = ::recvmmsg(fd_, msgs.data(), kRead, MSG_DONTWAIT, nullptr);
            if (n < 0 && brokenSocket(errno)) return stopped(errno);
            if (n <= 0) break;
            std::uint32_t drops = 0;
            bool sawDrops = false;
            for (int i = 0; i < n; ++i) {
                Arrival a;
                a.from = IpAddress::v4(ntohl(from[i].sin_addr.s_addr));
                for (cmsghdr* c = CMSG_FIRSTHDR(&msgs[i].msg_hdr); c; c = CMSG_NXTHDR(&msgs[i].msg_hdr, c)) {
                    if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
                        in_pktinfo info;
                        std::memcpy(&info, CMSG_DATA(c), sizeof info);
                        a.to = IpAddress::v4(ntohl(info.ipi_addr.s_addr));
                        a.interfaceIndex = info.ipi_ifindex;
                    }
#ifdef SO_RXQ_OVFL
                    if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SO_RXQ_OVFL) {
                        std::memcpy(&drops, CMSG_DATA(c), sizeof drops);
                        sawDrops = true;
                    }
#endif
                }
                a.bytes.assign(buffers.data() + static_cast<std::size_t>(i) * kMaxDatagram, msgs[i].msg_len);
                batch.push_back(std::move(a));
            }
            if (sawDrops) dropTotal_ = drops;
#else
            const auto n = ::recv(fd_, buffers.data(), kMaxDatagram, MSG_DONTWAIT);
            if (n < 0 && brokenSocket(errno)) return stopped(errno);
            if (n < 0) break;
            batch.push_back(Arrival{std::string(buffers.data(), static_cast<std::size_t>(n)), {}, {}, 0});
#endif
            // Copied above, outside the lock; the queue only moves them in.
            queue_.push(batch);
            if (!posted_.exchange(true))
                QMetaObject::invokeMethod(this, &UdpTransport::drainQueue, Qt::QueuedConnection);
        }
    }
}

void UdpTransport::drainQueue() {
    posted_ = false;
    if (fd_ < 0 && !down_) return;
    const std::uint32_t session = session_;
    std::size_t handed = 0;
    beginBatch();
    // One datagram at a time off the queue, not a local copy: what a
    // datagram triggers may run a nested event loop that drains further, or
    // close the socket (a re-join), which discards the rest.
    Arrival d;
    bool heardBefore = false;
    while (handed < kBatch && session_ == session && queue_.take(d, &heardBefore)) {
        if (take(d.bytes, d.from, d.to, d.interfaceIndex)) deliver(d.bytes, d.from, heardBefore);
        ++handed;
    }
    endBatch();
    const std::uint32_t drops = earlierDrops_ + dropTotal_ + queue_.dropped();
    if (drops != dropReported_) {
        dropReported_ = drops;
        reportDrops(drops);
    }
    if (const std::uint32_t notKept = queue_.alertsNotKept(); notKept != notKeptReported_) {
        const auto more = static_cast<int>(notKept - notKeptReported_);
        notKeptReported_ = notKept;
        Q_EMIT alertsNotKept(more);
    }
    if (fd_ < 0 && !down_) return;
    // The rest waits for the next pass: the event loop runs in between.
    if (!queue_.empty() && !posted_.exchange(true))
        QMetaObject::invokeMethod(this, &UdpTransport::drainQueue, Qt::QueuedConnection);
}

void UdpTransport::readPending() {
}

#else  // not Q_OS_UNIX: Qt's socket, read on the user-interface thread

void UdpTransport::open() {
    if (socket_) return;
    auto socket = std::make_unique<QUdpSocket>();
    // Shared binding: every copy on this host hears every broadcast.
    if (!socket->bind(QHostAddress::AnyIPv4, port_,
                      QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
        const int number = socket->error() == QAbstractSocket::AddressInUseError ? err::AddressInUse
                                                                                 : err::NetworkError;
        throw LanyxError(number, socket->errorString().toStdString());
    }
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 8 << 20);
    rcvbuf_ = socket->socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt();
    connect(socket.get(), &QUdpSocket::readyRead, this, &UdpTransport::readPending);
    socket_ = std::move(socket);
    startWatching();
}

void UdpTransport::close() {
    if (!socket_) return;
    stopWatching();
    socket_->close();
    socket_.reset();
    rcvbuf_ = 0;
}

bool UdpTransport::isOpen() const {
    return socket_ != nullptr;
}

std::size_t UdpTransport::queuedBytes() const {
    return 0;  // read on this thread as it comes
}

int UdpTransport::sendOne(std::string_view bytes, IpAddress ip, const net::LocalNetwork* via) {
    // Each network's own broadcast address takes the datagram there.
    const IpAddress target = via ? via->broadcast : ip;
    if (!target.isV4()) return 1;
    const QHostAddress to(target.toV4());
    const auto n = socket_->writeDatagram(bytes.data(), static_cast<qint64>(bytes.size()), to, port_);
    return n < 0 ? 1 : 0;
}

void UdpTransport::send(std::string_view bytes) {
    if (!socket_) return;
    if (restriction_) {
        for (const auto& n : restriction_->networks) sendOne(bytes, {}, &n);
        for (const auto& a : restriction_->addresses) sendOne(bytes, a, nullptr);
        return;
    }
    int sent = 0;
    if (!limited() || networks_.empty()) {
        sent += sendOne(bytes, fromQt(broadcast_), nullptr) == 0;
    } else {
        for (const auto& n : networks_) sent += sendOne(bytes, {}, &n) == 0;
        if (sent == 0) sent += sendOne(bytes, kLimitedBroadcast, nullptr) == 0;
    }
    const QString error = socket_->errorString();
    for (const auto& a : unicastTargets()) sendOne(bytes, a, nullptr);
    if (sent == 0) throw LanyxError(err::NetworkError, error.toStdString());
}

void UdpTransport::readPending() {
    std::size_t handed = 0;
    beginBatch();
    // The socket may be closed by what a datagram triggers (a re-join).
    while (socket_ && socket_->hasPendingDatagrams() && handed < kBatch) {
        const QNetworkDatagram d = socket_->receiveDatagram();
        const QByteArray data = d.data();
        const std::string_view bytes(data.constData(), static_cast<std::size_t>(data.size()));
        const IpAddress to = d.destinationAddress().protocol() == QAbstractSocket::IPv4Protocol
                                 ? fromQt(d.destinationAddress())
                                 : IpAddress::v4(0);
        const IpAddress from = fromQt(d.senderAddress());
        if (take(bytes, from, to, static_cast<int>(d.interfaceIndex()))) deliver(bytes, from);
        ++handed;
    }
    endBatch();
    if (socket_ && socket_->hasPendingDatagrams())
        QMetaObject::invokeMethod(this, &UdpTransport::readPending, Qt::QueuedConnection);
}

#endif

}  // namespace lanyx
