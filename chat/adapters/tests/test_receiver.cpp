// The socket's receiver thread: its queue between two threads, bounded by
// the memory it holds, and the transport's life around the thread (closing
// while datagrams pour in, a socket that breaks under it). Datagrams come
// from a test socket to 127.0.0.1; nothing is broadcast.
#include "ReceiveQueue.h"
#include "Error.h"
#include "UdpTransport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using lanyx::Arrival;
using lanyx::IpAddress;
using lanyx::ReceiveQueue;
using lanyx::UdpTransport;

namespace {

// A datagram that carries its number first, then `size - 8` bytes.
Arrival numbered(std::uint64_t n, std::size_t size = 8) {
    Arrival a;
    a.bytes.assign(std::max<std::size_t>(size, 8), 'x');
    std::memcpy(a.bytes.data(), &n, 8);
    return a;
}

std::uint64_t numberOf(const Arrival& a) {
    std::uint64_t n = 0;
    std::memcpy(&n, a.bytes.data(), 8);
    return n;
}

}  // namespace

TEST(ReceiveQueue, HoldsWhatItsBytesAllowInOrderAndCountsTheRestAsDropped) {
    const std::size_t one = ReceiveQueue::cost(numbered(0, 1000));
    ReceiveQueue q(10 * one);
    std::vector<Arrival> batch;
    for (std::uint64_t i = 0; i < 25; ++i) batch.push_back(numbered(i, 1000));
    q.push(batch);
    EXPECT_TRUE(batch.empty());
    EXPECT_EQ(q.bytes(), 10 * one);
    EXPECT_EQ(q.dropped(), 15u);

    Arrival a;
    for (std::uint64_t i = 0; i < 5; ++i) {
        ASSERT_TRUE(q.take(a));
        EXPECT_EQ(numberOf(a), i);
    }
    // What was taken makes room again; a datagram too large for the room
    // left is dropped while a smaller one after it still fits.
    batch.push_back(numbered(100, 1000));
    batch.push_back(numbered(101, 100000));
    batch.push_back(numbered(102, 1000));
    q.push(batch);
    EXPECT_EQ(q.dropped(), 16u);
    std::vector<std::uint64_t> rest;
    while (q.take(a)) rest.push_back(numberOf(a));
    EXPECT_EQ(rest, (std::vector<std::uint64_t>{5, 6, 7, 8, 9, 100, 102}));
    EXPECT_EQ(q.bytes(), 0u);
    EXPECT_TRUE(q.empty());

    batch.push_back(numbered(200));
    q.push(batch);
    q.clear();
    EXPECT_TRUE(q.empty());
    EXPECT_EQ(q.bytes(), 0u);
    EXPECT_FALSE(q.take(a));
}

// A flood of empty datagrams must not get in where a few large ones could not.
TEST(ReceiveQueue, EmptyDatagramsAreBoundedToo) {
    ReceiveQueue q(64 * 1024);
    std::vector<Arrival> batch(100000);
    q.push(batch);
    const std::size_t kept = 64 * 1024 / ReceiveQueue::cost(Arrival{});
    EXPECT_EQ(q.dropped(), 100000u - kept);
    EXPECT_LE(q.bytes(), q.maxBytes());
}

// Under a backlog of made-up names, a name heard before and a sender a
// pinned key verified at its address are taken first, each lane in order;
// past the strangers' backlog their alerts are counted, not kept.
TEST(ReceiveQueue, NamesHeardBeforeAndVerifiedSendersGoAheadOfAStormWhoseAlertsAreCounted) {
    ReceiveQueue q(64 << 20);
    auto from = [](const std::string& bytes, std::uint32_t address = 0) {
        Arrival a;
        a.bytes = bytes;
        if (address) a.from = IpAddress::v4(address);
        return a;
    };
    std::vector<Arrival> batch{from("Dave|C/0")};
    q.push(batch);
    Arrival a;
    ASSERT_TRUE(q.take(a));  // heard while nobody else waited: known from now on
    q.verifiedSource(IpAddress::v4(0x0A000007), "erin");

    const std::size_t storm = ReceiveQueue::kStrangerAlertBacklog + 500;
    for (std::size_t i = 0; i < storm; ++i)
        batch.push_back(from("s" + std::to_string(i) +
                             "|M/\xDF"
                             "buy now"));
    batch.push_back(
        from("DAVE|M/\xDF"
             "the server room is on fire"));
    batch.push_back(from("s1|S/0"));  // not an alert: kept behind the others
    batch.push_back(
        from("erin|P/\xDF"
             "call me|ann",
             0x0A000007));
    batch.push_back(
        from("erin|M/\xDF"
             "from elsewhere",
             0x0A000008));  // not where her key was heard
    batch.push_back(from("dave|C/255"));
    q.push(batch);
    EXPECT_EQ(q.alertsNotKept(), storm - ReceiveQueue::kStrangerAlertBacklog + 1);
    EXPECT_EQ(q.strangersWaiting(), ReceiveQueue::kStrangerAlertBacklog + 1);

    std::vector<std::string> order;
    while (q.take(a)) order.push_back(a.bytes);
    ASSERT_EQ(order.size(), ReceiveQueue::kStrangerAlertBacklog + 4);
    EXPECT_EQ(order[0],
              "DAVE|M/\xDF"
              "the server room is on fire");
    EXPECT_EQ(order[1],
              "erin|P/\xDF"
              "call me|ann");
    EXPECT_EQ(order[2], "dave|C/255");
    EXPECT_EQ(order[3],
              "s0|M/\xDF"
              "buy now");
    EXPECT_EQ(order.back(), "s1|S/0");
    EXPECT_EQ(q.bytes(), 0u);

    // What is no "name|X/" datagram never becomes a known name.
    for (const char* odd : {"|C/0", "no bar", "x|", "x|C"}) EXPECT_EQ(ReceiveQueue::nameOf(odd), 0u) << odd;
    EXPECT_EQ(ReceiveQueue::nameOf("Bob|C/0"), ReceiveQueue::nameOf("bOB|m/"));
}

// The receiver pushes from its thread while the taker takes: nothing that
// fits is lost, nothing comes twice, the order holds (run under TSan by CI).
TEST(ReceiveQueue, AReceiverAndATakerOnTwoThreads) {
    for (const std::size_t limit : {std::size_t(64) << 20, std::size_t(64) << 10}) {
        ReceiveQueue q(limit);
        constexpr std::uint64_t kCount = 100000;
        std::atomic<bool> done{false};
        std::thread receiver([&] {
            std::vector<Arrival> batch;
            for (std::uint64_t i = 0; i < kCount; ++i) {
                batch.push_back(numbered(i, 8 + i % 200));
                if (batch.size() == 64) q.push(batch);
            }
            q.push(batch);
            done = true;
        });
        std::uint64_t taken = 0;
        std::uint64_t next = 0;
        bool inOrder = true;
        Arrival a;
        for (;;) {
            if (q.take(a)) {
                inOrder = inOrder && numberOf(a) >= next;
                next = numberOf(a) + 1;
                ++taken;
            } else if (done) {
                if (q.empty()) break;
            } else {
                std::this_thread::yield();
            }
        }
        receiver.join();
        EXPECT_TRUE(inOrder) << limit;
        EXPECT_EQ(taken + q.dropped(), kCount) << limit;
        if (limit == (std::size_t(64) << 20)) {
            EXPECT_EQ(q.dropped(), 0u);
        }
        EXPECT_GT(taken, 0u);
    }
}

namespace {

QCoreApplication* app() {
    static int argc = 1;
    static char arg0[] = "lanyx_adapters_tests";
    static char* argv[] = {arg0, nullptr};
    static QCoreApplication* a = QCoreApplication::instance() ? QCoreApplication::instance()
                                                              : new QCoreApplication(argc, argv);
    return a;
}

bool waitFor(const std::function<bool()>& done, int timeoutMs = 10000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// A port nobody uses right now, and a socket that sends to it on loopback.
class Receiver : public ::testing::Test {
protected:
    Receiver() {
        app();
        out = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(out, reinterpret_cast<sockaddr*>(&a), sizeof a);
        const int probe = ::socket(AF_INET, SOCK_DGRAM, 0);
        ::bind(probe, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&a), &len);
        ::close(probe);
        port = ntohs(a.sin_port);
        makeTransport();
    }
    // The transport on the test's port, waiting in `poll` (empty: poll()).
    void makeTransport(UdpTransport::PollFunction poll = {}) {
        transport.reset();
        transport = std::make_unique<UdpTransport>(QHostAddress(QStringLiteral("127.255.255.255")), port,
                                                   std::move(poll));
        transport->setReceiver([this](std::string_view bytes) { received.emplace_back(bytes); });
    }
    ~Receiver() override {
        transport.reset();
        ::close(out);
    }
    void send(const std::string& bytes) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(port);
        ::sendto(out, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    bool heard(const std::string& bytes) const {
        return std::find(received.begin(), received.end(), bytes) != received.end();
    }
    int out = -1;
    quint16 port = 0;
    std::unique_ptr<UdpTransport> transport;
    std::vector<std::string> received;
};

}  // namespace

TEST_F(Receiver, ClosingWhileDatagramsPourInEndsTheThreadAndHandsOverNothingAfter) {
    transport->open();
    std::atomic<bool> stop{false};
    std::thread sender([&] {
        for (int i = 0; !stop; ++i) send("bob|M/" + std::to_string(i));
    });
    ASSERT_TRUE(waitFor([&] { return received.size() > 100; }));
    transport->close();
    EXPECT_FALSE(transport->isOpen());
    const auto atClose = received.size();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 200) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(received.size(), atClose);
    stop = true;
    sender.join();

    // Opened again, it hears again.
    transport->open();
    send("bob|M/again");
    EXPECT_TRUE(waitFor([&] { return heard("bob|M/again"); }));
    transport->close();
}

TEST_F(Receiver, ABrokenSocketIsReportedAndOpenedAgainAndReceivingGoesOn) {
    // The first poll of the first socket fails as on a socket that went bad.
    auto calls = std::make_shared<std::atomic<int>>(0);
    makeTransport([calls](pollfd* fds, unsigned long count, int timeoutMs) {
        if ((*calls)++ == 0) {
            errno = EBADF;
            return -1;
        }
        return ::poll(fds, static_cast<nfds_t>(count), timeoutMs);
    });
    struct Failure {
        int number;
        std::string text;
        bool reopened;
    };
    std::vector<Failure> failures;
    transport->setReceiveFailure([&](int number, const std::string& text, bool reopened) {
        failures.push_back({number, text, reopened});
    });
    transport->open();
    ASSERT_TRUE(waitFor([&] { return !failures.empty(); }));
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].number, lanyx::err::NetworkError);
    EXPECT_EQ(failures[0].text, std::strerror(EBADF));
    EXPECT_TRUE(failures[0].reopened);
    EXPECT_TRUE(transport->isOpen());

    send("bob|M/after");
    EXPECT_TRUE(waitFor([&] { return heard("bob|M/after"); }));
    EXPECT_EQ(failures.size(), 1u);
}

// A flood the user-interface thread does not take in time costs drops, not
// memory; the count the node hears only grows, also across a new socket
// (the node logs the difference to what it heard before).
TEST_F(Receiver, AFloodOfLargeDatagramsIsDroppedBeyondTheQueueAndTheCountOnlyGrows) {
    std::vector<std::uint32_t> reports;
    transport->setDropReporter([&](std::uint32_t total) { reports.push_back(total); });
    constexpr std::size_t kSize = 60000;
    const std::size_t room = ReceiveQueue::cost(numbered(0, kSize));
    const std::size_t fits = UdpTransport::kMaxQueuedBytes / room;
    auto flood = [&](int round) {
        // Sent while this thread runs no events: nothing is taken meanwhile.
        for (std::uint64_t i = 0; i < 3 * fits; ++i) {
            Arrival a = numbered(i, kSize);
            a.bytes[8] = static_cast<char>(round);
            send(a.bytes);
        }
    };
    // The kernel tells of its own drops with the next datagram it hands
    // over: a small one now and then makes sure there is one.
    int marker = 0;
    auto dropsBeyond = [&](std::uint32_t seen) {
        return [&, seen] {
            send("bob|M/marker " + std::to_string(marker++));
            return !reports.empty() && reports.back() > seen;
        };
    };
    // Where the kernel's buffer holds the whole flood, the thread moves it
    // into the queue until that is full (still nothing is taken), and drops
    // the rest; elsewhere the kernel drops much of it itself.
    auto queueFilled = [&] {
        if (static_cast<std::size_t>(transport->receiveBufferBytes()) < 2 * 3 * fits * room) return;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (transport->queuedBytes() + room <= UdpTransport::kMaxQueuedBytes &&
               std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_GT(transport->queuedBytes() + room, UdpTransport::kMaxQueuedBytes);
    };
    transport->open();
    flood(1);
    queueFilled();
    EXPECT_LE(transport->queuedBytes(), UdpTransport::kMaxQueuedBytes);
    ASSERT_TRUE(waitFor(dropsBeyond(0))) << "no drops reported";
    const auto first = reports.back();
    const auto floodReceived = std::count_if(received.begin(), received.end(),
                                             [&](const std::string& r) { return r.size() == kSize; });
    EXPECT_LT(static_cast<std::size_t>(floodReceived), 3 * fits);

    transport->close();
    transport->open();
    flood(2);
    queueFilled();
    ASSERT_TRUE(waitFor(dropsBeyond(first)));
    for (std::size_t i = 1; i < reports.size(); ++i) EXPECT_GT(reports[i], reports[i - 1]);
    transport->close();
}
