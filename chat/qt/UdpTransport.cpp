#include "UdpTransport.h"

#include "RecordFile.h"

#include <QMetaObject>
#include <QNetworkDatagram>
#include <QUdpSocket>

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
#endif

namespace lanyx {

UdpTransport::UdpTransport(QHostAddress broadcast, quint16 port, QObject* parent)
    : QObject(parent), broadcast_(std::move(broadcast)), port_(port) {}

UdpTransport::~UdpTransport() {
    close();
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

} // namespace

void UdpTransport::open() {
    if (fd_ >= 0) return;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throwErrno(errno);
    const int on = 1;
    // Shared binding: every copy on this host hears every broadcast.
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    if (testRcvbuf_ > 0) {
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &testRcvbuf_, sizeof testRcvbuf_);
    } else {
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
    broadcastIp_ = broadcast_.toIPv4Address();
    fd_ = fd;
    dropTotal_ = 0;
    queueDropped_ = 0;
    dropReported_ = 0;
    receiver_ = std::thread([this] { receiveLoop(); });
}

void UdpTransport::close() {
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
    // What arrived before the close belongs to the closed session.
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.clear();
    taking_.clear();
    takingPos_ = 0;
}

bool UdpTransport::isOpen() const {
    return fd_ >= 0;
}

void UdpTransport::send(std::string_view bytes) {
    if (fd_ < 0) return;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(broadcastIp_);
    to.sin_port = htons(port_);
    const auto n = ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    if (n < 0) throw LanyxError(err::NetworkError, std::strerror(errno));
}

void UdpTransport::receiveLoop() {
    // Sleeps in poll() while nothing arrives; wakes for datagrams or close().
    constexpr std::size_t kRead = 64;
    constexpr std::size_t kMaxDatagram = 65536;
    std::vector<char> buffers(kRead * kMaxDatagram);
#ifdef __linux__
    constexpr std::size_t kControl = CMSG_SPACE(sizeof(std::uint32_t));
    std::vector<char> control(kRead * kControl);
    std::vector<mmsghdr> msgs(kRead);
    std::vector<iovec> iov(kRead);
#endif
    for (;;) {
        pollfd p[2] = {{fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (p[1].revents) return;
        bool any = false;
        for (;;) {
#ifdef __linux__
            for (std::size_t i = 0; i < kRead; ++i) {
                iov[i] = {buffers.data() + i * kMaxDatagram, kMaxDatagram};
                msgs[i] = {};
                msgs[i].msg_hdr.msg_iov = &iov[i];
                msgs[i].msg_hdr.msg_iovlen = 1;
                msgs[i].msg_hdr.msg_control = control.data() + i * kControl;
                msgs[i].msg_hdr.msg_controllen = kControl;
            }
            const int n = ::recvmmsg(fd_, msgs.data(), kRead, MSG_DONTWAIT, nullptr);
            if (n <= 0) break;
            std::uint32_t drops = 0;
            bool sawDrops = false;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                for (int i = 0; i < n; ++i) {
                    if (queue_.size() < kMaxQueued)
                        queue_.emplace_back(buffers.data() + static_cast<std::size_t>(i) * kMaxDatagram,
                                            msgs[i].msg_len);
                    else
                        ++queueDropped_;
                    for (cmsghdr* c = CMSG_FIRSTHDR(&msgs[i].msg_hdr); c; c = CMSG_NXTHDR(&msgs[i].msg_hdr, c)) {
#ifdef SO_RXQ_OVFL
                        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SO_RXQ_OVFL) {
                            std::memcpy(&drops, CMSG_DATA(c), sizeof drops);
                            sawDrops = true;
                        }
#endif
                    }
                }
            }
            if (sawDrops) dropTotal_ = drops;
#else
            const auto n = ::recv(fd_, buffers.data(), kMaxDatagram, MSG_DONTWAIT);
            if (n < 0) break;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (queue_.size() < kMaxQueued)
                    queue_.emplace_back(buffers.data(), static_cast<std::size_t>(n));
                else
                    ++queueDropped_;
            }
#endif
            any = true;
            if (!posted_.exchange(true)) QMetaObject::invokeMethod(this, &UdpTransport::drainQueue, Qt::QueuedConnection);
        }
        (void)any;
    }
}

void UdpTransport::drainQueue() {
    posted_ = false;
    if (fd_ < 0) return;
    const std::uint32_t session = session_;
    std::size_t handed = 0;
    beginBatch();
    // One datagram at a time off the members, not a local copy: what a
    // datagram triggers may run a nested event loop that drains further, or
    // close the socket (a re-join), which discards the rest.
    while (handed < kBatch && session_ == session) {
        std::string d;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (takingPos_ >= taking_.size()) {
                taking_.clear();
                takingPos_ = 0;
                if (queue_.empty()) break;
                taking_.swap(queue_);
            }
            d = std::move(taking_[takingPos_++]);
        }
        deliver(d);
        ++handed;
    }
    endBatch();
    const std::uint32_t drops = dropTotal_ + queueDropped_;
    if (drops != dropReported_) {
        dropReported_ = drops;
        reportDrops(drops);
    }
    if (fd_ < 0) return;
    bool more;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        more = takingPos_ < taking_.size() || !queue_.empty();
    }
    // The rest waits for the next pass: the event loop runs in between.
    if (more && !posted_.exchange(true)) QMetaObject::invokeMethod(this, &UdpTransport::drainQueue, Qt::QueuedConnection);
}

void UdpTransport::readPending() {}

#else // not Q_OS_UNIX: Qt's socket, read on the user-interface thread

void UdpTransport::open() {
    if (socket_) return;
    auto socket = std::make_unique<QUdpSocket>();
    // Shared binding: every copy on this host hears every broadcast.
    if (!socket->bind(QHostAddress::AnyIPv4, port_, QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
        const int number = socket->error() == QAbstractSocket::AddressInUseError ? err::AddressInUse : err::NetworkError;
        throw LanyxError(number, socket->errorString().toStdString());
    }
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                            testRcvbuf_ > 0 ? testRcvbuf_ : 8 << 20);
    rcvbuf_ = socket->socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt();
    connect(socket.get(), &QUdpSocket::readyRead, this, &UdpTransport::readPending);
    socket_ = std::move(socket);
}

void UdpTransport::close() {
    if (!socket_) return;
    socket_->close();
    socket_.reset();
    rcvbuf_ = 0;
}

bool UdpTransport::isOpen() const {
    return socket_ != nullptr;
}

void UdpTransport::send(std::string_view bytes) {
    if (!socket_) return;
    const auto n = socket_->writeDatagram(bytes.data(), static_cast<qint64>(bytes.size()), broadcast_, port_);
    if (n < 0) throw LanyxError(err::NetworkError, socket_->errorString().toStdString());
}

void UdpTransport::readPending() {
    std::size_t handed = 0;
    beginBatch();
    // The socket may be closed by what a datagram triggers (a re-join).
    while (socket_ && socket_->hasPendingDatagrams() && handed < kBatch) {
        const QNetworkDatagram d = socket_->receiveDatagram();
        const QByteArray data = d.data();
        deliver(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
        ++handed;
    }
    endBatch();
    if (socket_ && socket_->hasPendingDatagrams())
        QMetaObject::invokeMethod(this, &UdpTransport::readPending, Qt::QueuedConnection);
}

#endif

} // namespace lanyx
