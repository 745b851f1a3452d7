// A shared chat between three copies of lanyx-cli and a bare socket that
// knows only the common commands, on a simulated segment over real UDP.
#include "Segment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <thread>

using namespace lanyx::e2e;

namespace {

class RoomsEndToEnd : public SegmentTest {
protected:
    Process& rawPeer(int host, const std::string& name) {
        std::vector<std::string> argv{LANYX_RAWPEER, "peer", name};
        for (auto& o : segment_->broadcastOptions()) argv.push_back(o);
        return run(host, name, argv);
    }
    // ann, bob and carl listening with keys and rex (a bare socket) beside
    // them; ann opens a chat shared with all three and says "hello team".
    // The chat's id in `id`; rex's process in `rex`.
    void openTeamChat(std::string& id, Process** rex = nullptr) {
        auto& bare = rawPeer(2, "rex");
        if (rex) *rex = &bare;
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
        id = m[1];
        REQUIRE_SEEN(out("carl"), "private-chat\tann\thello team");
    }
};

}  // namespace

TEST_F(RoomsEndToEnd, EveryMemberGetsEveryLineAndTheBareCopyToo) {
    std::string id;
    Process* rexProcess = nullptr;
    openTeamChat(id, &rexProcess);
    if (HasFatalFailure() || IsSkipped()) return;
    Process& rex = *rexProcess;
    // bob and carl hold the same chat, rex (no keys) is a member all the same.
    REQUIRE_SEEN(out("bob"), "room\tann\t" + id + " members=ann,bob,carl,rex joined");
    REQUIRE_SEEN(out("carl"), "room\tann\t" + id + " members=ann,bob,carl,rex joined");

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

TEST_F(RoomsEndToEnd, ARenameToAnnaKeepsTheConversationTheKeyAndTheChatAtBobAndCarl) {
    std::string id;
    openTeamChat(id);
    if (HasFatalFailure() || IsSkipped()) return;

    tell("ann", "rename anna");
    for (const char* at : {"bob", "carl"}) {
        REQUIRE_SEEN(out(at), "renamed\tann\tanna");
        REQUIRE_SEEN(out(at), "room\tanna\t" + id + " members=anna,bob,carl,rex renamed=ann>anna");
    }
    // The copy without keys sees what the protocol has: a leave and a join.
    REQUIRE_SEEN(out("rex"), "rx ann|L/");
    REQUIRE_SEEN(out("rex"), "rx anna|");

    // One conversation still, both ways, signed by the key bob knew as ann's.
    tell("bob", "chat --room " + id + " 'still one chat'");
    REQUIRE_SEEN(out("ann"), "private-chat\tbob\tstill one chat");
    REQUIRE_SEEN(out("carl"), "private-chat\tbob\tstill one chat");
    REQUIRE_SEEN(out("rex"), "rx bob|P/\\xDEstill one chat|rex");
    tell("ann", "chat --room " + id + " 'from anna'");
    REQUIRE_SEEN(out("bob"), "private-chat\tanna\tfrom anna");
    REQUIRE_SEEN(out("carl"), "private-chat\tanna\tfrom anna");
    for (const char* at : {"bob", "carl"}) {
        const std::string seen = readFile(out(at));
        EXPECT_EQ(seen.find("key-changed"), std::string::npos) << seen;
        EXPECT_EQ(seen.find("(not verified)"), std::string::npos) << seen;
    }

    // Members change from the command line too, seen by all.
    tell("carl", "room remove " + id + " rex");
    REQUIRE_SEEN(out("ann"), "room\tcarl\t" + id + " members=anna,bob,carl removed=rex");
    REQUIRE_SEEN(out("bob"), "room\tcarl\t" + id + " members=anna,bob,carl removed=rex");
    tell("bob", "room add " + id + " rex");
    REQUIRE_SEEN(out("carl"), "room\tbob\t" + id + " members=anna,bob,carl,rex added=rex");

    // bob's history keeps the chat's lines under the chat, what ann said
    // under her old name too, and never among her private lines.
    bool found = false;
    for (int i = 0; i < 50 && !found; ++i) {
        auto& h = run(0, "bob-history" + std::to_string(i),
                      {LANYX_CLI, "--dir", (root_ / "bob").string(), "history", "--room", id});
        ASSERT_EQ(h.wait(10000), 0);
        found = readFile(out("bob-history" + std::to_string(i))).find("\tin\tann\tprivate-chat\thello team") !=
                std::string::npos;
        if (!found) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(found) << readFile(out("bob-history49"));
    auto& with = run(0, "bob-with", {LANYX_CLI, "--dir", (root_ / "bob").string(), "history", "--with", "anna"});
    ASSERT_EQ(with.wait(10000), 0);
    EXPECT_EQ(readFile(out("bob-with")).find("hello team"), std::string::npos) << readFile(out("bob-with"));
}

TEST_F(RoomsEndToEnd, AMemberAddedLateGetsTheLinesSoFarWithEveryCharacter) {
    listener(0, "ann");
    listener(1, "bob");
    listener(2, "carl");
    REQUIRE_SEEN(out("ann"), "keys\tbob\tnew key, not checked");
    REQUIRE_SEEN(out("ann"), "keys\tcarl\tnew key, not checked");
    const std::string coffee = "Kaffee \xE2\x98\x95 f\xC3\xBCr alle \xF0\x9F\x8E\x89";  // U+2615, U+00FC, U+1F389
    tell("ann", "chat --room new --to bob '" + coffee + "'");
    REQUIRE_SEEN(out("bob"), "private-chat\tann\t" + coffee);
    std::smatch m;
    const std::string annOut = readFile(out("ann"));
    ASSERT_TRUE(std::regex_search(annOut, m, std::regex("room\tann\t([0-9a-f]{32}) members=")));
    const std::string id = m[1];

    tell("ann", "room add " + id + " carl");
    REQUIRE_SEEN(out("carl"), "room\tann\t" + id + " members=ann,bob,carl joined");
    REQUIRE_SEEN(out("carl"), "earlier\tann\t" + id + " " + coffee);
    // And into carl's history, under the chat.
    bool found = false;
    for (int i = 0; i < 50 && !found; ++i) {
        auto& h = run(2, "carl-history" + std::to_string(i),
                      {LANYX_CLI, "--dir", (root_ / "carl").string(), "history", "--room", id});
        ASSERT_EQ(h.wait(10000), 0);
        found = readFile(out("carl-history" + std::to_string(i))).find(coffee) != std::string::npos;
        if (!found) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(found) << readFile(out("carl-history49"));
}
