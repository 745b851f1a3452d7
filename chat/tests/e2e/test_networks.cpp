// lanyx-cli copies on computers with several networks, over real UDP in
// network namespaces: every interface, networks that come while running,
// other subnets behind a router.
#include "Lab.h"
#include "Segment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace lanyx::e2e;

namespace {

class Networks : public ::testing::Test {
protected:
    void SetUp() override {
        lab_ = std::make_unique<NetworkLab>();
        if (!lab_->usable())
            GTEST_SKIP() << "network namespaces cannot be made here (" << lab_->whyNot()
                         << "): computers with several networks are simulated only in namespaces";
        char tmpl[] = "/tmp/lanyx-nets-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        a_ = lab_->net(0);
        b_ = lab_->net(1);
    }
    void TearDown() override {
        procs_.clear();
        lab_.reset();
        std::error_code ec;
        if (!root_.empty()) std::filesystem::remove_all(root_, ec);
    }
    // lanyx-cli under name, data folder <name>, on a host of the lab.
    Process& cli(const std::string& host, const std::string& name, std::vector<std::string> args) {
        std::filesystem::create_directories(root_ / name);
        auto argv = lab_->on(host);
        argv.insert(argv.end(), {LANYX_CLI, "--dir", (root_ / name).string(), "--name", name, "--probe-ms", "1500"});
        argv.insert(argv.end(), args.begin(), args.end());
        procs_.push_back(std::make_unique<Process>(argv, out(name), (root_ / (name + ".err")).string()));
        return *procs_.back();
    }
    std::string out(const std::string& name) const { return (root_ / (name + ".out")).string(); }
    std::string text(const std::string& name) const { return readFile(out(name)); }
    std::string err(const std::string& name) const { return readFile((root_ / (name + ".err")).string()); }
    // Waits until a line is there, then a little longer for repeats that
    // would follow it.
    std::size_t settledCount(const std::string& name, const std::string& what) {
        if (!waitForText(out(name), what, 15000)) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        return count(text(name), what);
    }
    void ready() { ASSERT_TRUE(lab_->usable()) << lab_->whyNot(); }

    std::unique_ptr<NetworkLab> lab_;
    std::filesystem::path root_;
    std::vector<std::unique_ptr<Process>> procs_;
    std::string a_, b_;
};

}  // namespace

// The office LAN on eth0, the default route (a VPN, say) on eth1: the peers
// on both hear the join, get their newcomers answered, see each alert once.
TEST_F(Networks, TwoSegmentsWithTheDefaultRouteOnTheSecondSeeTheCopyOnBoth) {
    lab_->segment("office");
    lab_->segment("vpn");
    for (auto h : {"m", "p", "q"}) lab_->host(h);
    lab_->attach("m", "office", "eth0", a_ + ".1.1/24");
    lab_->attach("m", "vpn", "eth1", b_ + ".1.1/24");
    lab_->inHost("m", "ip route add default dev eth1");
    lab_->attach("p", "office", "eth0", a_ + ".1.2/24");
    lab_->inHost("p", "ip route add default dev eth0");
    lab_->attach("q", "vpn", "eth0", b_ + ".1.2/24");
    lab_->inHost("q", "ip route add default dev eth0");
    ready();

    cli("p", "pat", {"listen"});
    cli("q", "quin", {"listen"});
    ASSERT_TRUE(waitForText(out("pat"), "join\tpat\t", 10000)) << err("pat");
    ASSERT_TRUE(waitForText(out("quin"), "join\tquin\t", 10000)) << err("quin");
    cli("m", "multi", {"--colour", "255", "listen"});
    EXPECT_TRUE(waitForText(out("pat"), "join\tmulti\t", 10000)) << text("pat");
    EXPECT_TRUE(waitForText(out("quin"), "join\tmulti\t", 10000)) << text("quin");
    // Both answered the newcomer, whose join went out on both.
    EXPECT_TRUE(waitForText(out("multi"), "join\tpat\t", 10000)) << text("multi");
    EXPECT_TRUE(waitForText(out("multi"), "join\tquin\t", 10000)) << text("multi");
    EXPECT_NE(text("multi").find("network\t\teth0 " + a_ + ".1.1/24"), std::string::npos) << text("multi");
    EXPECT_NE(text("multi").find("network\t\teth1 " + b_ + ".1.1/24"), std::string::npos) << text("multi");

    // A newcomer on the office segment is answered by the multi-homed copy.
    auto& who = cli("p", "newp", {"--wait-ms", "1000", "who"});
    ASSERT_EQ(who.wait(20000), 0) << err("newp");
    EXPECT_NE(text("newp").find("multi\t0\t255\n"), std::string::npos) << text("newp");

    // A second copy on the two-network computer: its alert reaches each
    // segment once, and the copy beside it (which hears it once through
    // each interface) shows it once.
    auto& m2 = cli("m", "m2", {"alert", "fire drill"});
    ASSERT_EQ(m2.wait(20000), 0) << err("m2");
    EXPECT_EQ(settledCount("pat", "alert\tm2\tfire drill\n"), 1u) << text("pat");
    EXPECT_EQ(settledCount("quin", "alert\tm2\tfire drill\n"), 1u) << text("quin");
    EXPECT_EQ(settledCount("multi", "alert\tm2\tfire drill\n"), 1u) << text("multi");
    EXPECT_EQ(count(text("multi"), "join\tm2\t"), 1u) << text("multi");
}

// Wi-Fi and cable in one office: one datagram a send; what arrives through
// both interfaces is taken once; a user who sends "ok" twice is heard twice.
TEST_F(Networks, TwoInterfacesOnOneSubnetSendOnceAndTakeOnce) {
    lab_->segment("office");
    lab_->host("m");
    lab_->host("p");
    lab_->attach("m", "office", "eth0", a_ + ".1.1/24");
    lab_->attach("m", "office", "eth1", a_ + ".1.11/24");
    lab_->inHost("m", "ip route add default dev eth0");
    lab_->attach("p", "office", "eth0", a_ + ".1.2/24");
    lab_->inHost("p", "ip route add default dev eth0");
    ready();

    cli("p", "pat", {"listen"});
    ASSERT_TRUE(waitForText(out("pat"), "join\tpat\t", 10000)) << err("pat");
    cli("m", "multi", {"listen"});
    ASSERT_TRUE(waitForText(out("pat"), "join\tmulti\t", 10000)) << text("pat");
    ASSERT_TRUE(waitForText(out("multi"), "join\tpat\t", 10000)) << text("multi");

    auto& m2 = cli("m", "m2", {"alert", "once"});
    ASSERT_EQ(m2.wait(20000), 0) << err("m2");
    // Two datagrams would come to pat along one path: both would be shown.
    EXPECT_EQ(settledCount("pat", "alert\tm2\tonce\n"), 1u) << text("pat");
    EXPECT_EQ(settledCount("multi", "alert\tm2\tonce\n"), 1u) << text("multi");

    auto& p2 = cli("p", "p2", {"alert", "--to", "multi", "--to", "multi", "ok"});
    ASSERT_EQ(p2.wait(20000), 0) << err("p2");
    EXPECT_EQ(settledCount("multi", "private-alert\tp2\tok"), 2u) << text("multi");

    auto& list = cli("m", "lister", {"networks"});
    ASSERT_EQ(list.wait(10000), 0) << err("lister");
    EXPECT_NE(text("lister").find("interface eth0 " + a_ + ".1.1/24"), std::string::npos) << text("lister");
    EXPECT_NE(text("lister").find("same subnet as eth0, not sent twice"), std::string::npos) << text("lister");
}

// A cable plugged in while the copy runs: it announces itself on the new
// segment, and the old one hears no leave.
TEST_F(Networks, AnInterfaceAddedWhileRunningGetsTheCopyAnnounced) {
    lab_->segment("office");
    lab_->segment("lab");
    for (auto h : {"m", "p", "q"}) lab_->host(h);
    lab_->attach("m", "office", "eth0", a_ + ".1.1/24");
    lab_->inHost("m", "ip route add default dev eth0");
    lab_->attach("p", "office", "eth0", a_ + ".1.2/24");
    lab_->attach("q", "lab", "eth0", b_ + ".1.2/24");
    ready();

    cli("p", "pat", {"listen"});
    cli("q", "quin", {"listen"});
    ASSERT_TRUE(waitForText(out("quin"), "join\tquin\t", 10000)) << err("quin");
    cli("m", "multi", {"--colour", "255", "--status", "1", "listen"});
    ASSERT_TRUE(waitForText(out("pat"), "join\tmulti\t", 10000)) << text("pat");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(text("quin").find("multi"), std::string::npos) << text("quin");

    lab_->attach("m", "lab", "eth1", b_ + ".1.1/24");
    ready();
    EXPECT_TRUE(waitForText(out("multi"), "network\t\teth1 " + b_ + ".1.1/24", 10000)) << text("multi");
    EXPECT_TRUE(waitForText(out("quin"), "join\tmulti\t", 10000)) << text("quin");
    EXPECT_TRUE(waitForText(out("quin"), "colour\tmulti\t255\n", 5000)) << text("quin");
    EXPECT_TRUE(waitForText(out("quin"), "status\tmulti\t1\n", 5000)) << text("quin");
    EXPECT_TRUE(waitForText(out("multi"), "join\tquin\t", 10000)) << text("multi");
    EXPECT_EQ(text("pat").find("leave\tmulti"), std::string::npos) << text("pat");
    EXPECT_EQ(count(text("pat"), "join\tmulti\t"), 1u) << text("pat");
}

// Two offices behind a router, which passes no broadcast: one side's list
// names the other; both list each other and private alerts go both ways.
TEST_F(Networks, RoutedSegmentsReachEachOtherThroughOneSidesList) {
    lab_->segment("a");
    lab_->segment("b");
    for (auto h : {"r", "p", "q"}) lab_->host(h);
    lab_->attach("r", "a", "eth0", a_ + ".1.254/24");
    lab_->attach("r", "b", "eth1", b_ + ".1.254/24");
    lab_->inHost("r", "sysctl -w net.ipv4.ip_forward=1");
    lab_->attach("p", "a", "eth0", a_ + ".1.2/24");
    lab_->inHost("p", "ip route add default via " + a_ + ".1.254");
    lab_->attach("q", "b", "eth0", b_ + ".1.2/24");
    lab_->inHost("q", "ip route add default via " + b_ + ".1.254");
    ready();
    const std::string qAddress = b_ + ".1.2";

    cli("q", "quin", {"listen"});
    ASSERT_TRUE(waitForText(out("quin"), "join\tquin\t", 10000)) << err("quin");
    // pat's list is the file beside its User.ini; quin lists nobody.
    std::filesystem::create_directories(root_ / "pat");
    std::ofstream(root_ / "pat" / "Network.txt") << "# the other office\r\n" << qAddress << "\r\n";
    cli("p", "pat", {"listen"});
    EXPECT_TRUE(waitForText(out("quin"), "join\tpat\t", 10000)) << text("quin");
    // quin answered by sending to pat, whom it heard from another subnet.
    EXPECT_TRUE(waitForText(out("pat"), "join\tquin\t", 10000)) << text("pat");

    auto& p2 = cli("p", "p2", {"--also", qAddress, "alert", "--to", "quin", "across the router"});
    ASSERT_EQ(p2.wait(20000), 0) << err("p2");
    EXPECT_TRUE(waitForText(out("quin"), "private-alert\tp2\tacross the router", 5000)) << text("quin");
    EXPECT_EQ(err("p2").find("was not seen on the network"), std::string::npos) << "quin did not answer p2";

    auto& q2 = cli("q", "q2", {"--also", a_ + ".1.2", "alert", "--to", "pat", "and back"});
    ASSERT_EQ(q2.wait(20000), 0) << err("q2");
    EXPECT_TRUE(waitForText(out("pat"), "private-alert\tq2\tand back", 5000)) << text("pat");
    EXPECT_EQ(count(text("pat"), "private-alert\tq2\tand back"), 1u) << text("pat");
}

// A host on another subnet sends a copy datagrams under a made-up name,
// unicast through the router: nothing it sends teaches the copy to send
// there, so the copy never becomes a reflector of everything it says.
TEST_F(Networks, AnUnsignedSenderFromAnotherSubnetIsNotSentTo) {
    lab_->segment("a");
    lab_->segment("b");
    for (auto h : {"r", "v", "s"}) lab_->host(h);
    lab_->attach("r", "a", "eth0", a_ + ".1.254/24");
    lab_->attach("r", "b", "eth1", b_ + ".1.254/24");
    lab_->inHost("r", "sysctl -w net.ipv4.ip_forward=1");
    lab_->attach("v", "a", "eth0", a_ + ".1.2/24");
    lab_->inHost("v", "ip route add default via " + a_ + ".1.254");
    lab_->attach("s", "b", "eth0", b_ + ".1.2/24");
    lab_->inHost("s", "ip route add default via " + b_ + ".1.254");
    ready();

    cli("v", "vic", {"listen"});
    ASSERT_TRUE(waitForText(out("vic"), "join\tvic\t", 10000)) << err("vic");
    auto argv = lab_->on("s");
    argv.insert(argv.end(), {LANYX_RAWPEER, "peer", "evil", "--broadcast", a_ + ".1.2"});
    procs_.push_back(std::make_unique<Process>(argv, out("evil"), (root_ / "evil.err").string()));
    // vic lists the newcomer and answers it, but only on its own segment.
    ASSERT_TRUE(waitForText(out("vic"), "join\tevil\t", 10000)) << text("vic");
    auto& v2 = cli("v", "v2", {"alert", "--to", "vic", "are you there"});
    ASSERT_EQ(v2.wait(20000), 0) << err("v2");
    EXPECT_TRUE(waitForText(out("vic"), "private-alert\tv2\tare you there", 5000)) << text("vic");
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(text("evil").find("rx vic|"), std::string::npos) << text("evil");
}

// A leave notice in the clear under the name of a copy heard from another
// subnet, sent from that copy's own address, made the copy forget the
// address: nothing it said went there any more.
TEST_F(Networks, AnUnsignedLeaveFromAnotherSubnetDoesNotStopTheSendingThere) {
    lab_->segment("a");
    lab_->segment("b");
    for (auto h : {"r", "p", "q"}) lab_->host(h);
    lab_->attach("r", "a", "eth0", a_ + ".1.254/24");
    lab_->attach("r", "b", "eth1", b_ + ".1.254/24");
    lab_->inHost("r", "sysctl -w net.ipv4.ip_forward=1");
    lab_->attach("p", "a", "eth0", a_ + ".1.2/24");
    lab_->inHost("p", "ip route add default via " + a_ + ".1.254");
    lab_->attach("q", "b", "eth0", b_ + ".1.2/24");
    lab_->inHost("q", "ip route add default via " + b_ + ".1.254");
    ready();
    const std::string qAddress = b_ + ".1.2";
    // quin takes commands on a pipe; pat's list names quin, quin's nobody.
    std::filesystem::create_directories(root_ / "quin");
    const auto fifo = (root_ / "quin.in").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    auto argv = lab_->on("q");
    argv.insert(argv.end(),
                {LANYX_CLI, "--dir", (root_ / "quin").string(), "--name", "quin", "--probe-ms", "1500", "listen"});
    procs_.push_back(std::make_unique<Process>(argv, out("quin"), (root_ / "quin.err").string(), fifo));
    ASSERT_TRUE(waitForText(out("quin"), "join\tquin\t", 10000)) << err("quin");
    std::filesystem::create_directories(root_ / "pat");
    std::ofstream(root_ / "pat" / "Network.txt") << qAddress << "\r\n";
    cli("p", "pat", {"listen"});
    ASSERT_TRUE(waitForText(out("pat"), "join\tquin\t", 10000)) << text("pat");
    // From pat's own host, so from pat's address: "pat|L/", unsigned.
    auto raw = lab_->on("p");
    raw.insert(raw.end(), {LANYX_RAWPEER, "send", "--broadcast", qAddress, "pat|L/"});
    Process leave(raw, out("leave"), (root_ / "leave.err").string());
    ASSERT_EQ(leave.wait(5000), 0);
    ASSERT_TRUE(waitForText((root_ / "quin" / "Log.txt").string(), "pat|L/", 5000));
    const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const std::string line = "alert still here\n";
    ASSERT_EQ(write(fd, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    close(fd);
    EXPECT_TRUE(waitForText(out("pat"), "alert\tquin\tstill here\n", 5000)) << text("pat");
}
