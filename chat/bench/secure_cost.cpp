// What signing and encryption cost per datagram: figures only, nothing fails.
//   lanyx-secure-cost [COUNT]
// Prints, per datagram: signing one (sender), the receive path of a chat
// node for a signed datagram with its companion from a pinned user, the
// same node for an unsigned datagram of a user without keys, and an
// encrypted private message received and confirmed. Then junk at 100,000
// datagrams a second (the clock of the node moves with them): companions
// played back with old numbers, companions with fresh numbers and bad
// signatures under a pinned name, announcements of made-up keys under
// names nobody listed, and under such names claiming to have been a known
// user (a rename); per datagram and as the share of a core.
#include "BenchNode.h"
#include "Crypto.h"
#include "SecureLink.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace lanyx;
using namespace lanyx::bench;
using Clock = std::chrono::steady_clock;

namespace {

// Timers never fire: what is held is let go by its companion alone. The
// clock is moved by the benchmark.
struct QuietPorts : NullPorts {
    void callAfter(std::uint32_t, std::function<void()>) override {}
    std::uint32_t ticks() override { return now; }
    std::uint32_t now = 0;
};

struct Capture : DatagramTransport {
    void open() override { open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void send(std::string_view b) override { sent.emplace_back(b); }
    std::vector<std::string> sent;
    bool open_ = false;
};

// A second copy's link (bob), whose datagrams are made here and fed to the node.
struct Sender {
    Sender() {
        SecureLink::Hooks h;
        h.send = [this](std::string_view b) { out.emplace_back(b); };
        h.process = [](std::string_view, Trust) {};
        h.deliverPrivate = [](const std::string&, const std::string&, Trust) { return true; };
        h.ticks = [] { return 0u; };
        h.callAfter = [](std::uint32_t, std::function<void()>) {};
        // Its clock is ours: what it signs is fresh.
        h.wallMicros = [] {
            return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                                  std::chrono::system_clock::now().time_since_epoch())
                                                  .count());
        };
        link = std::make_unique<SecureLink>(Identity::generate(), PinStore{}, std::filesystem::path{}, h);
        link->setMyName("bob");
    }
    std::vector<std::string> out;
    std::unique_ptr<SecureLink> link;
};

double nsPer(Clock::duration d, std::size_t n) {
    return std::chrono::duration<double, std::nano>(d).count() / static_cast<double>(n);
}

}  // namespace

int main(int argc, char** argv) {
    if (!crypto::available()) {
        std::puts("no cryptography in this build");
        return 0;
    }
    const std::size_t n = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 20000;

    ScratchDir dir;
    Capture transport;
    QuietPorts ports;
    NodeConfig c;
    c.dataDir = dir.path();
    c.langFile = std::filesystem::path(LANYX_SOURCE_DIR) / "resources" / "chat" / "Lang.con";
    c.logonName = c.nameForRun.emplace("me");
    ChatNode node(c, transport, ports, ports, ports);
    node.readSettings();
    node.state().MyName = "me";
    node.OpenNetwork();

    Sender bob;
    // Listed first, as a copy's presence lists it, then its keys.
    node.onDatagram("bob|C/0");
    bob.link->announce();
    for (const auto& d : bob.out) node.onDatagram(d);
    bob.out.clear();
    // bob learns our keys from our announcement.
    for (const auto& d : transport.sent) {
        Trust t;
        bob.link->incoming(d, t);
    }
    node.onDatagram("bob|S/0");

    // Sender: one status with its companion, per datagram signed.
    auto t0 = Clock::now();
    for (std::size_t i = 0; i < n; ++i) bob.link->send("bob|C/" + std::to_string(i));
    const double sign = nsPer(Clock::now() - t0, n);

    // Receiver: the pairs through the node, 100 a second (the clock moves
    // 10 ms a pair).
    std::vector<std::string> pairs = std::move(bob.out);
    t0 = Clock::now();
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (i % 2 == 0) ports.now += 10;
        node.onDatagram(pairs[i]);
    }
    const double verified = nsPer(Clock::now() - t0, n);
    const auto shownColour = node.users().user(*node.users().findExact("bob")).colour;

    // The same node, a user without keys.
    std::vector<std::string> plain;
    for (std::size_t i = 0; i < n; ++i) plain.push_back("zed|C/" + std::to_string(i));
    t0 = Clock::now();
    for (const auto& d : plain) node.onDatagram(d);
    const double unsigned_ = nsPer(Clock::now() - t0, n);

    // Encrypted private alerts, received, shown and confirmed.
    bob.out.clear();
    const std::size_t m = n / 4 + 1;
    for (std::size_t i = 0; i < m; ++i)
        bob.link->sendPrivate("me",
                              "\xC3\x9F"
                              "alert " +
                                  std::to_string(i));
    std::vector<std::string> sealed = std::move(bob.out);
    const auto shownBefore = ports.shown;
    t0 = Clock::now();
    for (const auto& d : sealed) {
        ports.now += 10;
        node.onDatagram(d);
    }
    const double privateCost = nsPer(Clock::now() - t0, m);

    // The library's verification alone, for comparison on this machine.
    const auto keys = crypto::SigningKeysFromSeed(std::string(32, 's'));
    const std::string msg(48, 'm');
    const auto sig = crypto::Sign(msg, keys->secretKey);
    std::size_t good = 0;
    t0 = Clock::now();
    for (std::size_t i = 0; i < n; ++i) good += crypto::Verify(msg, sig, keys->publicKey);
    const double verifyAlone = nsPer(Clock::now() - t0, n);

    // Junk at 100,000 a second: the node's clock moves 1 ms every 100.
    const auto junk = [&](const std::vector<std::string>& datagrams) {
        const auto start = Clock::now();
        for (std::size_t i = 0; i < datagrams.size(); ++i) {
            if (i % 100 == 0) ++ports.now;
            node.onDatagram(datagrams[i]);
        }
        return nsPer(Clock::now() - start, datagrams.size());
    };
    ports.now += 60000;
    std::vector<std::string> played;  // the companions of the pairs, again
    for (std::size_t i = 1; i < pairs.size(); i += 2) played.push_back(pairs[i]);
    const double playedCost = junk(played);
    ports.now += 60000;
    std::vector<std::string> badSignature;
    for (std::size_t i = 1; i < n; ++i) bob.link->send("bob|C/" + std::to_string(i + n));
    for (std::size_t i = 1; i < bob.out.size(); i += 2) {
        std::string d = bob.out[i];
        d[d.size() - 6] = d[d.size() - 6] == 'A' ? 'B' : 'A';  // in the signature
        badSignature.push_back(std::move(d));
    }
    bob.out.clear();
    const double badCost = junk(badSignature);
    ports.now += 60000;
    std::vector<std::string> strangers;
    {
        Sender other;
        other.link->announce();
        const std::string a = other.out.front();
        const auto bar = a.find('|');
        for (std::size_t i = 0; i < n; ++i) strangers.push_back("x" + std::to_string(i) + a.substr(bar));
    }
    const double strangerCost = junk(strangers);
    ports.now += 60000;
    // Made-up names claiming to have been bob, with bob's (public) key: let
    // in past the list, they are checked on bob's budget.
    std::vector<std::string> claims;
    {
        bob.out.clear();
        bob.link->announce();
        const std::string a = bob.out.front();
        const auto caps = a.find(';') + 1;
        const auto capsEnd = a.find(';', caps);
        const std::string rest = a.substr(a.find('|'), capsEnd - a.find('|')) + ",was=bob" + a.substr(capsEnd);
        for (std::size_t i = 0; i < n; ++i) claims.push_back("y" + std::to_string(i) + rest);
        bob.out.clear();
    }
    const double claimCost = junk(claims);

    std::printf("datagrams: %zu (private: %zu)\n", n, m);
    std::printf("Ed25519 verification alone (libsodium):              %8.0f ns%s\n", verifyAlone,
                good == n ? "" : "  [failed]");
    std::printf("sign one datagram (hash + Ed25519), sender:          %8.0f ns\n", sign);
    std::printf("signed datagram + companion through the node:        %8.0f ns  (%.0f per second)%s\n", verified,
                1e9 / verified, shownColour == n - 1 ? "" : "  [last colour NOT applied]");
    std::printf("unsigned datagram of a user without keys, the node:  %8.0f ns  (%.0f per second)\n", unsigned_,
                1e9 / unsigned_);
    std::printf("encrypted private alert received and confirmed:      %8.0f ns  (%zu shown)\n", privateCost,
                ports.shown - shownBefore);
    const auto share = [](double ns) { return ns * 100000.0 / 1e9 * 100.0; };
    std::printf("junk at 100,000 a second, per datagram and share of one core:\n");
    std::printf("  companions played back (old numbers), pinned name: %8.0f ns  (%.1f %% of a core)\n", playedCost,
                share(playedCost));
    std::printf("  fresh numbers, bad signatures, pinned name:        %8.0f ns  (%.1f %% of a core)\n", badCost,
                share(badCost));
    std::printf("  announcements under names nobody listed:           %8.0f ns  (%.1f %% of a core)\n", strangerCost,
                share(strangerCost));
    std::printf("  ... that claim to have been a known user:          %8.0f ns  (%.1f %% of a core)\n", claimCost,
                share(claimCost));
    return 0;
}
