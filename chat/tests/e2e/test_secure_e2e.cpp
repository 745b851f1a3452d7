// Copies with keys and a bare socket that knows only the common commands,
// on a simulated segment over real UDP.
#include "Segment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sstream>

using namespace lanyx::e2e;

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) out.push_back(line);
    return out;
}

// Our own commands: announcement, companion, encrypted, receipt, challenge, answer.
bool ours(const std::string& datagram) {
    const auto bar = datagram.find('|');
    return bar != std::string::npos && datagram.size() >= bar + 3 && datagram[bar + 2] == '/' &&
           std::string("KGERQA").find(datagram[bar + 1]) != std::string::npos;
}

class SecureEndToEnd : public SegmentTest {
protected:
    Process& rawPeer(int host, const std::string& name) {
        std::vector<std::string> argv{LANYX_RAWPEER, "peer", name};
        for (auto& o : segment_->broadcastOptions()) argv.push_back(o);
        return run(host, name, argv);
    }
    void rawSend(int host, const std::vector<std::string>& datagrams) {
        std::vector<std::string> argv{LANYX_RAWPEER, "send"};
        for (auto& o : segment_->broadcastOptions()) argv.push_back(o);
        argv.insert(argv.end(), datagrams.begin(), datagrams.end());
        auto& p = run(host, "send" + std::to_string(sends_++), argv);
        ASSERT_EQ(p.wait(5000), 0);
    }
    // What the bare socket received from a sender, in order ("rx " cut off).
    std::vector<std::string> received(const std::string& rawTag, const std::string& sender) {
        std::vector<std::string> out;
        for (const auto& l : linesOf(readFile(out_(rawTag))))
            if (l.rfind("rx " + sender + "|", 0) == 0) out.push_back(l.substr(3));
        return out;
    }
    std::string out_(const std::string& tag) { return out(tag); }
    int sends_ = 0;
};

}  // namespace

TEST_F(SecureEndToEnd, PrivateAlertsAreSealedBetweenOurCopiesAndPlainToACopyWithoutKeys) {
    auto& rex = rawPeer(2, "rex");
    cli(0, "ann", {"listen"});
    cli(2, "carl", {"listen"});
    REQUIRE_SEEN(out("ann"), "keys\tcarl\tnew key, not checked");
    ASSERT_TRUE(waitForText(out("ann"), "join\trex\t", 5000));
    // The first transmission to ann is lost; it is repeated and confirmed.
    auto& bob = cli(1, "bob",
                    {"--drop-first-private", "alert", "--to", "ann", "--to", "rex", "--to", "carl",
                     "the code is 4711"});
    ASSERT_EQ(bob.wait(30000), 0) << err("bob");
    const auto bobOut = readFile(out("bob"));
    EXPECT_NE(bobOut.find("delivery\tann\tencrypted: delivered"), std::string::npos) << bobOut;
    EXPECT_NE(bobOut.find("delivery\tcarl\tencrypted: delivered"), std::string::npos) << bobOut;
    EXPECT_NE(bobOut.find("delivery\trex\tin the clear: sent; this recipient's program does not confirm"),
              std::string::npos)
        << bobOut;
    // Arrived once each, unmarked.
    EXPECT_EQ(count(readFile(out("ann")), "private-alert\tbob\tthe code is 4711"), 1u) << readFile(out("ann"));
    EXPECT_EQ(count(readFile(out("carl")), "private-alert\tbob\tthe code is 4711"), 1u);
    EXPECT_EQ(readFile(out("ann")).find("not verified"), std::string::npos);

    rex.signal(SIGTERM);
    ASSERT_EQ(rex.wait(5000), 0);
    const auto capture = readFile(out("rex"));
    // The raw capture: the text only in the plain datagram to rex.
    EXPECT_EQ(count(capture, "4711"), 1u) << capture;
    EXPECT_NE(capture.find("rx bob|P/\\xDFthe code is 4711|rex\n"), std::string::npos) << capture;
    EXPECT_EQ(capture.find("|ann\n"), std::string::npos);

    // What rex made of bob: the common datagrams exactly as a copy without
    // keys sends them, ours only between bob's first datagram and its leave.
    const auto fromBob = received("rex", "bob");
    ASSERT_GE(fromBob.size(), 4u);
    // A newcomer heard the moment bob joins is answered at once: a presence
    // (as any copy answers) may come before the join's own datagrams.
    const auto presence = [](const std::string& d) { return d == "bob|M/" || d == "bob|C/0" || d == "bob|S/0"; };
    EXPECT_TRUE(presence(fromBob.front())) << fromBob.front();
    EXPECT_EQ(fromBob.back(), "bob|L/");
    std::vector<std::string> common;
    for (const auto& d : fromBob)
        if (!ours(d)) common.push_back(d);
    ASSERT_GE(common.size(), 5u);
    const auto join = std::find(common.begin(), common.end(), "bob|M/bob has joined the network");
    ASSERT_NE(join, common.end());
    ASSERT_GE(join - common.begin(), 2);
    EXPECT_EQ(std::vector<std::string>(join - 2, join + 1),
              (std::vector<std::string>{"bob|C/0", "bob|S/0", "bob|M/bob has joined the network"}));
    EXPECT_TRUE(std::all_of(common.begin(), join - 2, presence));
    // Then the private alert and the presence replies to newcomers, if any.
    EXPECT_EQ(std::count(common.begin(), common.end(), "bob|P/\\xDFthe code is 4711|rex"), 1);
    for (auto i = join + 1; i + 1 < common.end(); ++i)
        EXPECT_TRUE(*i == "bob|P/\\xDFthe code is 4711|rex" || presence(*i)) << *i;
    // Listed once, removed once, never listed again by a datagram after the
    // leave; the prober never sent one of ours.
    EXPECT_EQ(count(capture, "listed bob\n"), 1u) << capture;
    EXPECT_EQ(count(capture, "removed bob\n"), 1u);
    EXPECT_LT(capture.find("listed bob\n"), capture.find("rx bob|K/"));
    for (const auto& d : received("rex", "_bob")) EXPECT_FALSE(ours(d)) << d;
    // Answered: once as a prober per datagram (as ever), once as bob.
    std::size_t answersToBob = count(capture, "answered bob\n");
    EXPECT_EQ(answersToBob, 1u);
}

TEST_F(SecureEndToEnd, ForgeriesUnderAPinnedNameAreIgnoredOrMarkedAndReplaysRefused) {
    rawPeer(2, "rex");  // the eavesdropper's capture
    cli(0, "ann", {"listen"});
    cli(1, "bob", {"listen"});
    REQUIRE_SEEN(out("bob"), "keys\tann\tnew key, not checked");
    auto& carl = cli(2, "carl", {"chat", "hello all"});
    ASSERT_EQ(carl.wait(15000), 0) << err("carl");
    ASSERT_TRUE(waitForText(out("bob"), "leave\tcarl\t", 5000));

    rawSend(2, {"ann|L/", "ann|S/2", "ann|M/\\xDFthe boss wants you"});
    ASSERT_TRUE(waitForText(out("bob"), "alert\tann\t(not verified) the boss wants you", 5000)) << readFile(out("bob"));
    // Still listed, status unchanged.
    EXPECT_EQ(readFile(out("bob")).find("leave\tann"), std::string::npos);
    EXPECT_EQ(readFile(out("bob")).find("status\tann\t2"), std::string::npos);

    // carl's signed chat line, replayed with its companion: refused, so the
    // line shows as not verified.
    const auto fromCarl = received("rex", "carl");
    std::vector<std::string> replay;
    for (std::size_t i = 0; i + 1 < fromCarl.size(); ++i)
        if (fromCarl[i] == "carl|M/\\xDEhello all" && fromCarl[i + 1].rfind("carl|G/", 0) == 0)
            replay = {fromCarl[i], fromCarl[i + 1]};
    ASSERT_EQ(replay.size(), 2u) << readFile(out("rex"));
    rawSend(2, replay);
    ASSERT_TRUE(waitForText(out("bob"), "chat\tcarl\t(not verified) hello all", 5000)) << readFile(out("bob"));
    EXPECT_TRUE(waitForText((root_ / "bob" / "Log.txt").string(), "Replayed signed datagram from carl refused", 3000));
}

TEST_F(SecureEndToEnd, AChangedKeyIsWarnedAboutAndNotTrusted) {
    cli(1, "bob", {"listen"});
    auto& ann = cli(0, "ann", {"listen"});
    REQUIRE_SEEN(out("bob"), "keys\tann\tnew key, not checked");
    ann.signal(SIGTERM);
    ASSERT_EQ(ann.wait(5000), 0);
    ASSERT_TRUE(waitForText(out("bob"), "leave\tann\t", 5000));
    // ann again, from a fresh data folder: a new key under the pinned name.
    std::filesystem::create_directories(root_ / "ann-new");
    std::vector<std::string> argv{LANYX_CLI,    "--dir", (root_ / "ann-new").string(), "--name", "ann",
                                  "--probe-ms", "1500"};
    for (auto& o : segment_->broadcastOptions()) argv.push_back(o);
    argv.insert(argv.end(), {"alert", "it is really me"});
    auto& ann2 = run(0, "ann2", argv);
    ASSERT_EQ(ann2.wait(15000), 0) << err("ann2");
    ASSERT_TRUE(waitForText(out("bob"), "key-changed\tann\tThe key of ann has changed.", 5000))
        << readFile(out("bob")) << readFile((root_ / "bob" / "Log.txt").string());
    EXPECT_TRUE(waitForText(out("bob"), "keys\tann\tchanged", 3000));
    EXPECT_TRUE(waitForText(out("bob"), "alert\tann\t(not verified) it is really me", 3000));
    // Its leave notice is not signed by the pinned key: ann stays listed.
    EXPECT_EQ(count(readFile(out("bob")), "leave\tann\t"), 1u);
}
