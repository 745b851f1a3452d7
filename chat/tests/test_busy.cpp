// A busy segment: batches of datagrams, the roster's cap, the roster request.
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::test;

namespace {

class Busy : public ::testing::Test {
protected:
    Busy() : ann(seg, "ann") {
        ann.joinAs("ann");
        seg.deliverAll();
        ann.transport.sent.clear();
    }
    std::size_t countSent(const std::string& line) const {
        std::size_t n = 0;
        for (const auto& s : ann.transport.sent) n += s == line;
        return n;
    }
    MemorySegment seg;
    Peer ann;
};

}  // namespace

TEST_F(Busy, ABatchOfNewcomersRefreshesTheWindowsOnce) {
    std::vector<std::string> batch;
    for (int i = 0; i < 50; ++i) {
        batch.push_back("u" + std::to_string(i) + "|C/255");
        batch.push_back("u" + std::to_string(i) + "|S/1");
    }
    const int before = ann.rec.chatRefreshes;
    ann.transport.receiveBatch(batch);
    EXPECT_EQ(ann.rec.chatRefreshes, before + 1);
    EXPECT_EQ(ann.rec.caption, " 51 users online (-0)");
    // The first few newcomers are answered at once; the rest share one
    // presence, which goes out within the reply window.
    EXPECT_EQ(countSent("ann|M/"), 3u);
    EXPECT_TRUE(ann.node.replyPending());
    seg.runFor(ChatNode::kMaxReplyDelayMs);
    EXPECT_EQ(countSent("ann|M/"), 4u);

    // A batch that leaves the roster as it was refreshes nothing; datagrams
    // one at a time still refresh each.
    ann.transport.receiveBatch({"u1|C/255"});
    EXPECT_EQ(ann.rec.chatRefreshes, before + 1);
    ann.transport.receive("u1|L/");
    EXPECT_EQ(ann.rec.caption, " 50 users online (-0)");
    ann.transport.receive("u2|C/1");
    EXPECT_EQ(ann.rec.chatRefreshes, before + 2);
}

TEST_F(Busy, AFullRosterGivesTheRowOfTheLongestSilentUnverifiedNameToANewcomer) {
    auto& users = ann.node.users();
    for (std::size_t i = users.userCount(); i < ChatNode::kMaxRosterRows; ++i) users.addUser("f" + std::to_string(i));
    ann.transport.receive("f1|S/0");  // a copy without keys that talks keeps its row
    ann.transport.receive("zed|C/255");
    EXPECT_EQ(users.userCount(), ChatNode::kMaxRosterRows);
    EXPECT_TRUE(users.findExact("zed"));
    EXPECT_TRUE(users.findExact("f1"));
    EXPECT_TRUE(users.findExact("ann"));  // our own row is never given away
    EXPECT_FALSE(users.findExact("f2"));  // silent the longest
    EXPECT_NE(ann.log().find("Roster full: f2 (never verified, silent the longest) taken off for zed"),
              std::string::npos);

    // A flood of ever new names churns through the unverified rows; a real
    // newcomer after it is listed, and verified rows stay whatever comes.
    for (std::size_t i = 0; i < 100; ++i)
        users.setKeyState(*users.findExact("f" + std::to_string(i + 3)), KeyState::New);
    std::vector<std::string> flood;
    for (int i = 0; i < 50000; ++i) flood.push_back("spoof" + std::to_string(i) + "|C/1");
    ann.transport.receiveBatch(flood);
    EXPECT_EQ(users.userCount(), ChatNode::kMaxRosterRows);
    ann.transport.receive("real|C/255");
    EXPECT_TRUE(users.findExact("real"));
    EXPECT_TRUE(users.findExact("spoof49999"));
    for (std::size_t i = 0; i < 100; ++i) EXPECT_TRUE(users.findExact("f" + std::to_string(i + 3))) << i;
    EXPECT_FALSE(users.findExact("f200"));
}

TEST_F(Busy, RefreshTakesOffTheListWhoDoesNotAnswer) {
    Peer bob(seg, "bob");
    bob.joinAs("bob");
    seg.runFor(ChatNode::kMaxReplyDelayMs);
    ann.transport.receive("ghost|C/255");  // a name with no copy behind it
    auto& users = ann.node.users();
    ASSERT_TRUE(users.findExact("ghost"));
    ASSERT_TRUE(users.findExact("bob"));
    // Asked for after dropped datagrams, the roster keeps everybody.
    ASSERT_TRUE(ann.node.RequestRoster());
    seg.runFor(ChatNode::kRosterAnswerMs + ChatNode::kRosterRequestIntervalMs);
    EXPECT_TRUE(users.findExact("ghost"));
    ASSERT_TRUE(ann.node.RequestRoster(true));
    seg.runFor(ChatNode::kRosterAnswerMs + 100);
    EXPECT_FALSE(users.findExact("ghost"));
    EXPECT_TRUE(users.findExact("bob"));
    EXPECT_TRUE(users.findExact("ann"));
    EXPECT_EQ(ann.rec.removedFromChats, std::vector<std::string>{"ghost"});
    EXPECT_NE(ann.log().find("Refresh: 1 listed users did not answer"), std::string::npos);
}

TEST_F(Busy, BeyondTheCapOfVerifiedNamesNewcomersAreAnsweredAndLoggedNotListed) {
    auto& users = ann.node.users();
    for (std::size_t i = users.userCount(); i < ChatNode::kMaxRosterRows; ++i) users.addUser("f" + std::to_string(i));
    for (std::size_t i = 0; i < users.userCount(); ++i) users.setKeyState(i, KeyState::Checked);
    ann.transport.receive("zed|M/" + std::string("\xDF") + "hello");
    ann.transport.receive("zed|C/255");
    EXPECT_EQ(users.userCount(), ChatNode::kMaxRosterRows);
    EXPECT_FALSE(users.findExact("zed"));
    seg.runFor(ChatNode::kMaxReplyDelayMs);
    EXPECT_EQ(countSent("ann|M/"), 1u);   // its join is answered all the same
    ASSERT_EQ(ann.rec.items.size(), 1u);  // what it says still arrives
    EXPECT_EQ(ann.rec.items[0].text, "hello");
    ann.transport.receive("zed|L/");  // leaving unlisted changes nothing
    EXPECT_EQ(users.userCount(), ChatNode::kMaxRosterRows);
    EXPECT_NE(ann.log().find("Not listed, the list holds 20000 names: zed"), std::string::npos);
    // A listed user leaving makes room.
    users.removeUser(0);
    ann.transport.receive("zed|C/255");
    EXPECT_TRUE(users.findExact("zed"));
}

TEST_F(Busy, RosterRequestGoesOutOnceUnderAProbeNameAndOnDropsOnly) {
    EXPECT_TRUE(ann.node.RequestRoster());
    EXPECT_EQ(ann.transport.sent, (std::vector<std::string>{"_ann|S/0"}));
    EXPECT_FALSE(ann.node.RequestRoster());  // asked again too soon
    // Peers answer it; our own copy of it needs no answer.
    seg.deliverAll();
    EXPECT_EQ(ann.transport.sent.size(), 1u);
    EXPECT_FALSE(ann.node.users().findExact("_ann"));

    // A drop event is logged with its count and asks once, when allowed.
    seg.runFor(ChatNode::kRosterRequestIntervalMs);
    ann.transport.reportDropTotal(7);
    EXPECT_NE(ann.log().find("dropped by the system (receive buffer full): 7, 7 in all"), std::string::npos);
    EXPECT_EQ(ann.transport.sent.size(), 2u);
    ann.transport.reportDropTotal(7);  // nothing new
    seg.runFor(ChatNode::kRosterRequestIntervalMs);
    ann.transport.reportDropTotal(7);
    EXPECT_EQ(ann.transport.sent.size(), 2u);
    ann.transport.reportDropTotal(9);
    EXPECT_NE(ann.log().find(": 2, 9 in all"), std::string::npos);
    EXPECT_EQ(ann.transport.sent.size(), 3u);

    // While probing at start-up there is no name of our own to ask under.
    ann.node.state().ProbeMode = true;
    seg.runFor(ChatNode::kRosterRequestIntervalMs);
    EXPECT_FALSE(ann.node.RequestRoster());
}

// A socket that broke under the receiver: the user hears of it either way,
// and once receiving works again the segment is asked who is there, since
// presence may have been missed meanwhile.
TEST_F(Busy, AReceiverThatStoppedIsShownToTheUserAndARosterRequestFollowsTheReopening) {
    seg.runFor(ChatNode::kRosterRequestIntervalMs);
    ann.transport.failReceiving(err::NetworkError, "Bad file descriptor", false);
    ASSERT_EQ(ann.rec.boxes.size(), 1u);
    EXPECT_NE(ann.rec.boxes[0].find("stopped receiving from the network (" + std::to_string(err::NetworkError) +
                                    ": Bad file descriptor) and could not open"),
              std::string::npos)
        << ann.rec.boxes[0];
    EXPECT_TRUE(ann.transport.sent.empty());  // nobody to ask yet
    EXPECT_NE(ann.log().find("Receiving failed"), std::string::npos);

    ann.transport.failReceiving(err::NetworkError, "Bad file descriptor", true);
    ASSERT_EQ(ann.rec.boxes.size(), 2u);
    EXPECT_NE(ann.rec.boxes[1].find("has opened its connection again"), std::string::npos) << ann.rec.boxes[1];
    EXPECT_EQ(ann.transport.sent, (std::vector<std::string>{"_ann|S/0"}));
}

TEST(ReplyDelay, TheWindowGrowsWithTheRosterUpToTwoSeconds) {
    EXPECT_EQ(ChatNode::ReplyWindowMs(0), 0u);
    EXPECT_EQ(ChatNode::ReplyWindowMs(ChatNode::kAnswerAtOnceUpTo), 0u);
    EXPECT_EQ(ChatNode::ReplyWindowMs(100), 400u);
    EXPECT_EQ(ChatNode::ReplyWindowMs(499), 1996u);
    EXPECT_EQ(ChatNode::ReplyWindowMs(500), ChatNode::kMaxReplyDelayMs);
    EXPECT_EQ(ChatNode::ReplyWindowMs(ChatNode::kMaxRosterRows), ChatNode::kMaxReplyDelayMs);
}

namespace {

class Spread : public Busy {
protected:
    Spread() {
        for (int i = 0; i < 99; ++i) ann.node.users().addUser("p" + std::to_string(i));
        ann.node.setReplyRandom([this](std::uint32_t bound) {
            bounds.push_back(bound);
            return wait;
        });
    }
    const std::vector<std::string> presence{"ann|M/", "ann|C/0", "ann|S/0"};
    std::vector<std::uint32_t> bounds;
    std::uint32_t wait = 123;
    const std::size_t repliesBefore = ann.node.presenceRepliesSent();  // the answer to its own join
};

}  // namespace

TEST_F(Spread, OnePresenceAnswersEveryNewcomerHeardMeanwhile) {
    ann.transport.receive("x0|C/1");
    EXPECT_TRUE(ann.transport.sent.empty());
    EXPECT_EQ(bounds, (std::vector<std::uint32_t>{404}));  // 101 listed
    // Newcomers heard while the answer waits, a probing copy among them,
    // are answered by the same presence.
    seg.runFor(100);
    for (int i = 1; i < 40; ++i) ann.transport.receive("x" + std::to_string(i) + "|C/1");
    ann.transport.receive("_carl|S/0");
    EXPECT_TRUE(ann.transport.sent.empty());
    seg.runFor(22);
    EXPECT_TRUE(ann.transport.sent.empty());
    seg.runFor(1);
    EXPECT_EQ(ann.transport.sent, presence);  // the same three datagrams, in order
    EXPECT_EQ(ann.node.presenceRepliesSent(), repliesBefore + 1);
    EXPECT_EQ(bounds.size(), 1u);

    // A newcomer after it is answered again; a known user is not.
    ann.transport.receive("x1|S/2");
    seg.runFor(1000);
    EXPECT_EQ(ann.transport.sent.size(), 3u);
    ann.transport.receive("y|C/1");
    seg.runFor(wait);
    EXPECT_EQ(ann.transport.sent.size(), 6u);
    EXPECT_EQ(bounds.back(), 4u * 141);
}

TEST_F(Spread, LeavingTheNetworkCancelsAWaitingAnswer) {
    ann.transport.receive("x|C/1");
    ann.node.CloseNetwork();
    seg.runFor(ChatNode::kMaxReplyDelayMs);
    EXPECT_EQ(ann.transport.sent, (std::vector<std::string>{"ann|L/"}));
    // Back on the network, the next newcomer is answered as usual.
    ann.node.OpenNetwork();
    ann.transport.sent.clear();
    ann.transport.receive("z|C/1");
    seg.runFor(wait);
    EXPECT_EQ(ann.transport.sent, presence);
}

TEST_F(Busy, AStormOfNewcomersCostsAHandfulOfReplies) {
    // 10,000 newcomers in half a second, 20 every millisecond; the default
    // random wait. Every newcomer must see a presence go out after it spoke.
    const auto before = ann.node.presenceRepliesSent();
    for (int ms = 0; ms < 500; ++ms) {
        for (int i = 0; i < 20; ++i) ann.transport.receive("n" + std::to_string(ms * 20 + i) + "|C/1");
        seg.runFor(1);
    }
    seg.runFor(ChatNode::kMaxReplyDelayMs);
    EXPECT_EQ(ann.node.users().userCount(), 10001u);
    EXPECT_FALSE(ann.node.replyPending());
    const auto replies = ann.node.presenceRepliesSent() - before;
    EXPECT_LE(replies, 30u);
    EXPECT_GE(replies, 4u);  // the first few newcomers are answered at once
    EXPECT_EQ(ann.transport.sent.size(), 3 * replies);
    EXPECT_EQ(ann.transport.sent.back(), "ann|S/0");
}
