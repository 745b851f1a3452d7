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

} // namespace

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
    // Every newcomer is still answered by itself.
    EXPECT_EQ(countSent("ann|M/"), 50u);

    // A batch that leaves the roster as it was refreshes nothing; datagrams
    // one at a time still refresh each.
    ann.transport.receiveBatch({"u1|C/255"});
    EXPECT_EQ(ann.rec.chatRefreshes, before + 1);
    ann.transport.receive("u1|L/");
    EXPECT_EQ(ann.rec.caption, " 50 users online (-0)");
    ann.transport.receive("u2|C/1");
    EXPECT_EQ(ann.rec.chatRefreshes, before + 2);
}

TEST_F(Busy, BeyondTheCapNewcomersAreAnsweredAndLoggedNotListed) {
    auto& users = ann.node.users();
    for (std::size_t i = users.userCount(); i < ChatNode::kMaxRosterRows; ++i) users.addUser("f" + std::to_string(i));
    ann.transport.receive("zed|M/" + std::string("\xDF") + "hello");
    ann.transport.receive("zed|C/255");
    EXPECT_EQ(users.userCount(), ChatNode::kMaxRosterRows);
    EXPECT_FALSE(users.findExact("zed"));
    EXPECT_EQ(countSent("ann|M/"), 1u);  // its join is answered all the same
    ASSERT_EQ(ann.rec.items.size(), 1u);  // what it says still arrives
    EXPECT_EQ(ann.rec.items[0].text, "hello");
    ann.transport.receive("zed|L/");  // leaving unlisted changes nothing
    EXPECT_EQ(users.userCount(), ChatNode::kMaxRosterRows);
    EXPECT_NE(ann.log().find("Not listed, the list holds 10000 names: zed"), std::string::npos);
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
