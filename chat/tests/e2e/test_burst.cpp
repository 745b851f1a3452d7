// A busy segment: a thousand present peers answer a running lanyx-cli at
// once, far more than a stock socket buffer holds; every one must be listed.
#include "Segment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace lanyx::e2e;

namespace {

std::size_t joinsWithPrefix(const std::string& out, const std::string& prefix) {
    std::istringstream in(out);
    std::string line;
    std::size_t n = 0;
    while (std::getline(in, line)) n += line.rfind("join\t" + prefix, 0) == 0;
    return n;
}

class Burst : public SegmentTest {};

// As a user without privileges: the receive buffer is what the system's
// limit allows, not the forced one root can have.
std::vector<std::string> asUser(std::vector<std::string> argv) {
    if (geteuid() == 0 && access("/usr/bin/setpriv", X_OK) == 0)
        argv.insert(argv.begin(), {"/usr/bin/setpriv", "--bounding-set", "-net_admin"});
    return argv;
}

}  // namespace

TEST_F(Burst, AThousandPeersAnsweringAtOnceAreAllListed) {
    std::filesystem::create_directories(root_ / "ann");
    std::vector<std::string> argv{LANYX_CLI, "--dir", (root_ / "ann").string(), "--name", "ann", "--probe-ms", "1500"};
    for (auto& o : segment_->broadcastOptions()) argv.push_back(o);
    argv.push_back("listen");
    auto& ann = run(0, "ann", asUser(argv));
    if (!waitForText(out("ann"), "join\tann\t", 10000)) {
        if (!segment_->namespaces()) GTEST_SKIP() << "no network namespaces and no loopback broadcast";
        FAIL() << "no join seen: " << readFile(out("ann"));
    }
    // LANYX_BURST_PEERS: a larger burst, for figures taken by hand.
    std::size_t kPeers = 1000;
    if (const char* n = std::getenv("LANYX_BURST_PEERS")) kPeers = std::strtoul(n, nullptr, 10);
    std::vector<std::string> storm{LANYX_STORM, "--burst", std::to_string(kPeers), "--prefix", "peer", "--no-leave"};
    for (auto& o : segment_->broadcastOptions()) storm.push_back(o);
    auto& burst = run(1, "burst", storm);
    ASSERT_EQ(burst.wait(60000), 0) << err("burst");

    std::size_t listed = 0;
    for (int i = 0; i < 200 && listed < kPeers; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        listed = joinsWithPrefix(readFile(out("ann")), "peer");
    }
    EXPECT_EQ(listed, kPeers) << "missing from the roster: " << kPeers - listed;
    ann.signal(SIGTERM);
    EXPECT_EQ(ann.wait(10000), 0);
}
