// A shared chat between three copies of lanyx-cli and a bare socket that
// knows only the common commands, on a simulated segment over real UDP.
#include "Segment.h"

#include <gtest/gtest.h>

#include <regex>

using namespace lanyx::e2e;

namespace {

class RoomsEndToEnd : public SegmentTest {
protected:
    Process& rawPeer(int host, const std::string& name) {
        std::vector<std::string> argv{LANYX_RAWPEER, "peer", name};
        for (auto& o : segment_->broadcastOptions()) argv.push_back(o);
        return run(host, name, argv);
    }
};

}  // namespace

TEST_F(RoomsEndToEnd, EveryMemberGetsEveryLineAndTheBareCopyToo) {
    auto& rex = rawPeer(2, "rex");
    listener(0, "ann");
    listener(1, "bob");
    listener(2, "carl");
    REQUIRE_SEEN(out("ann"), "keys\tbob\tnew key, not checked");
    REQUIRE_SEEN(out("ann"), "keys\tcarl\tnew key, not checked");
    REQUIRE_SEEN(out("ann"), "join\trex\t");
    REQUIRE_SEEN(out("bob"), "keys\tcarl\tnew key, not checked");

    tell("ann", "chat --room new --to bob --to carl --to rex \"hello team\"");
    REQUIRE_SEEN(out("ann"), " members=ann,bob,carl,rex joined");
    std::smatch m;
    const std::string annOut = readFile(out("ann"));
    ASSERT_TRUE(std::regex_search(annOut, m, std::regex("room\tann\t([0-9a-f]{32}) members=")));
    const std::string id = m[1];
    // bob and carl hold the same chat, rex (no keys) is a member all the same.
    REQUIRE_SEEN(out("bob"), "room\tann\t" + id + " members=ann,bob,carl,rex joined");
    REQUIRE_SEEN(out("carl"), "room\tann\t" + id + " members=ann,bob,carl,rex joined");
    REQUIRE_SEEN(out("carl"), "private-chat\tann\thello team");

    // bob's reply reaches carl, and the bare copy.
    tell("bob", "chat --room " + id + " 'reply from bob'");
    REQUIRE_SEEN(out("carl"), "private-chat\tbob\treply from bob");
    REQUIRE_SEEN(out("ann"), "private-chat\tbob\treply from bob");
    REQUIRE_SEEN(out("rex"), "rx bob|P/\\xDEreply from bob|rex");
    REQUIRE_SEEN(out("rex"), "rx ann|P/\\xDEhello team|rex");
    // Unknown chats and words are refused, and listening goes on.
    rex.signal(SIGTERM);
    EXPECT_EQ(rex.wait(5000), 0);
    tell("carl", "chat --room 0123456789abcdef0123456789abcdef nobody");
    tell("carl", "wrong words here");
    ASSERT_TRUE(waitForText((root_ / "carl.err").string(), "no shared chat 0123456789abcdef0123456789abcdef", 5000))
        << err("carl");
    EXPECT_TRUE(waitForText((root_ / "carl.err").string(), "unknown command wrong", 5000)) << err("carl");
}
