// lanyx-cli copies on a simulated segment, over real UDP.
#include "Segment.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

using namespace lanyx::e2e;

namespace {

// The first sign of life on a segment: a copy sees its own join. On loopback
// that can fail where broadcasting is not allowed; then the test skips.
#define REQUIRE_JOIN(out, name)                                                                       \
    do {                                                                                              \
        if (!waitForText(out, "join\t" name "\t", 10000)) {                                           \
            if (!segment_->namespaces())                                                              \
                GTEST_SKIP() << "no network namespaces and no loopback broadcast: cannot run copies"; \
            FAIL() << "no join seen: " << readFile(out);                                              \
        }                                                                                             \
    } while (0)

class EndToEnd : public SegmentTest {
protected:
    // lanyx-cli on a host with its own data folder; *o names its output file.
    Process& start(int host, const std::string& name, std::vector<std::string> args, std::string* o,
                   std::uint32_t probeMs = 1500) {
        *o = out(name);
        return cli(host, name, std::move(args), probeMs);
    }
    std::string dataFile(const std::string& name, const std::string& file) {
        return readFile((root_ / name / file).string());
    }
};

}  // namespace

TEST_F(EndToEnd, ListenerSeesAPeerComeSendAndGo) {
    std::string annOut, bobOut;
    auto& ann = start(0, "ann", {"listen"}, &annOut);
    REQUIRE_JOIN(annOut, "ann");
    auto& bob = start(1, "bob", {"--colour", "#ff0000", "--status", "1", "alert", "--to", "ann", "disk full"}, &bobOut);
    EXPECT_EQ(bob.wait(15000), 0) << readFile(root_ / "bob.err");
    ASSERT_TRUE(waitForText(annOut, "leave\tbob\t", 5000)) << readFile(annOut);
    const auto events = readFile(annOut);
    EXPECT_NE(events.find("join\tbob\t\n"), std::string::npos) << events;
    EXPECT_NE(events.find("colour\tbob\t255\n"), std::string::npos) << events;
    EXPECT_NE(events.find("status\tbob\t1\n"), std::string::npos) << events;
    EXPECT_NE(events.find("private-alert\tbob\tdisk full"), std::string::npos) << events;
    // The prober is never listed.
    EXPECT_EQ(events.find("join\t_"), std::string::npos) << events;

    ann.signal(SIGTERM);
    EXPECT_EQ(ann.wait(5000), 0);
    // Shutdown saved the settings and logged the end.
    EXPECT_NE(dataFile("ann", "Log.txt").find("Lanyx unloaded\"\r\n"), std::string::npos);
    EXPECT_NE(dataFile("bob", "Log.txt").find("Private alert sent to ann\"\r\n"), std::string::npos);
    EXPECT_EQ(dataFile("ann", "User.ini").substr(0, 11), "\"English\"\r\n");
}

TEST_F(EndToEnd, PrivateAlertsReachOnlyTheirRecipientAndChatsReachEverybody) {
    std::string annOut, carlOut, bobOut, bob2Out;
    start(0, "ann", {"listen"}, &annOut);
    start(2, "carl", {"listen"}, &carlOut);
    REQUIRE_JOIN(annOut, "carl");
    ASSERT_TRUE(waitForText(carlOut, "join\tann\t", 10000)) << readFile(carlOut);
    auto& bob = start(1, "bob", {"alert", "--to", "carl", "only for carl"}, &bobOut);
    ASSERT_EQ(bob.wait(15000), 0);
    auto& bob2 = start(1, "bob2", {"chat", "hello all"}, &bob2Out);
    ASSERT_EQ(bob2.wait(15000), 0);
    ASSERT_TRUE(waitForText(annOut, "chat\tbob2\thello all", 5000)) << readFile(annOut);
    ASSERT_TRUE(waitForText(carlOut, "chat\tbob2\thello all", 5000)) << readFile(carlOut);
    EXPECT_NE(readFile(carlOut).find("private-alert\tbob\tonly for carl"), std::string::npos);
    EXPECT_EQ(readFile(annOut).find("only for carl"), std::string::npos);
}

TEST_F(EndToEnd, WhoListsThePresentUsers) {
    std::string annOut, whoOut;
    start(0, "ann", {"--colour", "255", "listen"}, &annOut);
    REQUIRE_JOIN(annOut, "ann");
    auto& who = start(1, "zoe", {"--wait-ms", "1000", "who"}, &whoOut);
    ASSERT_EQ(who.wait(15000), 0);
    const auto out = readFile(whoOut);
    EXPECT_NE(out.find("ann\t0\t255\n"), std::string::npos) << out;
    EXPECT_NE(out.find("zoe\t0\t0\n"), std::string::npos) << out;
}

// The real ten-second probe: a copy whose name is taken hears its owner
// during the wait, says so and ends without disturbing him.
TEST_F(EndToEnd, TakenNameIsRefusedAfterTheRealTenSecondProbe) {
    std::string annOut, dupOut;
    auto& ann = start(0, "ann", {"listen"}, &annOut);
    REQUIRE_JOIN(annOut, "ann");
    const auto t0 = std::chrono::steady_clock::now();
    auto argv = std::vector<std::string>{"--name", "ANN", "listen"};
    auto& dup = start(1, "dup", argv, &dupOut, 10000);
    EXPECT_EQ(dup.wait(30000), 3) << readFile(root_ / "dup.err");
    const auto waited = std::chrono::steady_clock::now() - t0;
    EXPECT_GE(waited, std::chrono::seconds(10));
    EXPECT_NE(readFile((root_ / "dup.err").string()).find("already in use"), std::string::npos);
    // ann was not taken off the roster by a leave notice under its name.
    std::string whoOut;
    auto& who = start(2, "zed", {"--wait-ms", "800", "who"}, &whoOut);
    ASSERT_EQ(who.wait(15000), 0);
    EXPECT_NE(readFile(whoOut).find("ann\t"), std::string::npos);
    EXPECT_EQ(readFile(annOut).find("leave\tann"), std::string::npos);
    ann.signal(SIGINT);
    EXPECT_EQ(ann.wait(5000), 0);
}

TEST_F(EndToEnd, SecondCopyOnTheSameFolderEnds) {
    std::string out1, out2;
    auto& first = start(0, "ann", {"listen"}, &out1);
    REQUIRE_JOIN(out1, "ann");
    auto argv = segment_->on(0);
    argv.insert(argv.end(), {LANYX_CLI, "--dir", (root_ / "ann").string(), "listen"});
    Process second(argv, (root_ / "second.out").string(), (root_ / "second.err").string());
    EXPECT_EQ(second.wait(5000), 4);
    EXPECT_NE(readFile((root_ / "second.err").string()).find("Previous Instance"), std::string::npos);
    first.signal(SIGTERM);
    EXPECT_EQ(first.wait(5000), 0);
}
