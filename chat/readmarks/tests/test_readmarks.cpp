// "Seen by" between copies of ours on a simulated segment: a recipient's
// copy marks the sender's last line, nobody else can, and a user who turned
// it off tells nothing.
#include "ReadMarks.h"
#include "TestSupport.h"
#include "Wire.h"

#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::readmarks;
using namespace lanyx::test;

namespace {

struct Reader : ReadMarkObserver, MessageObserver {
    Reader(MemorySegment& seg, const std::string& name) : peer(seg, name), marks(peer.node) {
        marks.setObserver(this);
        peer.node.addMessageObserver(this);
        peer.joinAs(name);
    }
    ~Reader() override { peer.node.removeMessageObserver(this); }
    void seenBy(const std::string& chat, const std::string& who) override { seen.push_back(chat + ":" + who); }
    void message(const Message& m) override {
        if (!m.outgoing) lastIn = m.lineId;
    }
    void say(const std::string& to, const std::string& text) {
        peer.node.SendPrivate(to + " " + std::string(wire::ChatMark) + text);
    }
    Peer peer;
    ReadMarks marks;
    std::vector<std::string> seen;
    std::uint64_t lastIn = 0;
};

class Seen : public ::testing::Test {
protected:
    Seen() : ann(seg, "ann"), bob(seg, "bob"), carl(seg, "carl") { seg.runFor(3000); }
    MemorySegment seg;
    Reader ann, bob, carl;
};

}  // namespace

TEST_F(Seen, TheRecipientMarksTheLastLineOnlyAndOthersCannot) {
    ann.say("bob", "first");
    seg.runFor(500);
    const auto first = bob.lastIn;
    ann.say("bob", "second");
    seg.runFor(500);
    const auto second = bob.lastIn;
    ASSERT_NE(first, 0u);
    ASSERT_NE(first, second);

    // carl, who got neither, marks the last; bob marks the one before.
    carl.marks.seen("ann", second);
    bob.marks.seen("ann", first);
    seg.runFor(500);
    EXPECT_TRUE(ann.seen.empty());

    bob.marks.seen("ann", second);
    seg.runFor(500);
    EXPECT_EQ(ann.seen, std::vector<std::string>{"bob:bob"});
}

TEST_F(Seen, AUserWhoTurnedItOffTellsNothing) {
    ann.say("bob", "lunch?");
    seg.runFor(500);
    bob.marks.setTelling(false);
    bob.peer.transport.allSent.clear();
    bob.marks.seen("ann", bob.lastIn);
    seg.runFor(500);
    EXPECT_TRUE(ann.seen.empty());
    EXPECT_TRUE(bob.peer.transport.allSent.empty());
}
