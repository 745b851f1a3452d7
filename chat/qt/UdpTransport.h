#pragma once
// The real transport: a UDP socket on port 1414 that broadcasts to the
// segment and hears every broadcast, its own included.
//
// On a busy segment a newcomer hears thousands of replies within a few
// milliseconds, more than the kernel's socket buffer holds. So on POSIX
// systems a receiver thread drains the socket (in batches, recvmmsg on
// Linux) into a queue, and the datagrams are handed to the protocol logic
// on the user-interface thread in batches, in the order they came.
#include "Transport.h"

#include <QHostAddress>
#include <QObject>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class QUdpSocket;

namespace lanyx {

class UdpTransport : public QObject, public DatagramTransport {
    Q_OBJECT
public:
    explicit UdpTransport(QHostAddress broadcast = QHostAddress::Broadcast, quint16 port = 1414,
                          QObject* parent = nullptr);
    ~UdpTransport() override;

    void open() override;
    void close() override;
    bool isOpen() const override;
    void send(std::string_view bytes) override;

    // Datagrams handed over per pass of the event loop; the rest wait for
    // the next pass, so that windows and timers keep running in a flood.
    static constexpr std::size_t kBatch = 256;
    // Datagrams waiting for the user-interface thread; beyond this a flood
    // costs drops (reported like the kernel's), not memory.
    static constexpr std::size_t kMaxQueued = 200000;
    // The receive buffer the socket got, in bytes (0 when not open).
    int receiveBufferBytes() const { return rcvbuf_; }
    // Test hook: a small receive buffer, so that a test can make the kernel
    // drop datagrams on purpose. Applies at the next open().
    void setReceiveBufferForTest(int bytes) { testRcvbuf_ = bytes; }

private:
    void readPending();
#ifdef Q_OS_UNIX
    void receiveLoop();
    void drainQueue();
    int fd_ = -1;
    int wake_[2] = {-1, -1};
    std::thread receiver_;
    std::mutex mutex_;
    std::vector<std::string> queue_;
    std::vector<std::string> taking_;
    std::size_t takingPos_ = 0;
    std::atomic<bool> posted_{false};
    std::atomic<std::uint32_t> dropTotal_{0};
    std::atomic<std::uint32_t> queueDropped_{0};
    std::uint32_t dropReported_ = 0;
    quint32 broadcastIp_ = 0;
    std::uint32_t session_ = 0;  // grows at every close()
#endif
    QHostAddress broadcast_;
    quint16 port_;
    int rcvbuf_ = 0;
    int testRcvbuf_ = 0;
    std::unique_ptr<QUdpSocket> socket_;
};

} // namespace lanyx
