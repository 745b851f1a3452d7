// Who types, told between copies of ours on a simulated segment: at most
// once every few seconds, shown for a while or until the line comes, and
// never where the sender is not in the chat.
#include "TestSupport.h"
#include "TypingService.h"

#include <gtest/gtest.h>

#include <map>

using namespace lanyx;
using namespace lanyx::typing;
using namespace lanyx::test;

namespace {

const std::string kRoom = "0123456789abcdef0123456789abcdef";

struct Typist : TypingObserver {
    Typist(MemorySegment& seg, const std::string& name) : peer(seg, name), service(peer.node) {
        service.setObserver(this);
        service.setMembership([](const std::string& room, const std::string& who) {
            return room == kRoom && (who == "ann" || who == "bob");
        });
        peer.joinAs(name);
    }
    void typingChanged(const std::string& chat, const std::vector<std::string>& who) override {
        seen[chat] = who;
        ++changes;
    }
    Peer peer;
    TypingService service;
    std::map<std::string, std::vector<std::string>> seen;
    int changes = 0;
};

class Typing : public ::testing::Test {
protected:
    Typing() : ann(seg, "ann"), bob(seg, "bob") { seg.runFor(3000); }
    std::size_t typingDatagrams() {
        std::size_t n = 0;
        for (const auto& d : ann.peer.transport.allSent) n += d.find("|E/") != std::string::npos;
        return n;
    }
    MemorySegment seg;
    Typist ann, bob;
};

}  // namespace

TEST_F(Typing, ShownWhileTheSenderTypesThenGoneAfterAWhileOrWithTheLine) {
    ann.peer.transport.allSent.clear();
    for (int i = 0; i < 10; ++i) {
        ann.service.typing({"ann", "bob"});
        seg.runFor(100);
    }
    EXPECT_EQ(bob.seen["ann"], std::vector<std::string>{"ann"});
    const auto once = typingDatagrams();  // ten keys within a second: told once
    seg.runFor(TypingService::kShownMs + 1000);
    EXPECT_TRUE(bob.seen["ann"].empty());
    EXPECT_EQ(typingDatagrams(), once);

    ann.service.typing({"bob"}, kRoom);
    seg.runFor(500);
    EXPECT_EQ(bob.seen["#" + kRoom], std::vector<std::string>{"ann"});
    bob.service.lineFrom("ann", "#" + kRoom);
    EXPECT_TRUE(bob.seen["#" + kRoom].empty());
}

TEST_F(Typing, NobodyTypesInAChatHeIsNotInAndACopyWithoutTheWordHearsNothing) {
    Typist eve(seg, "eve");
    seg.runFor(3000);
    eve.service.typing({"bob"}, kRoom);  // not a member
    seg.runFor(500);
    EXPECT_TRUE(bob.service.typingIn("#" + kRoom).empty());
    const auto before = bob.changes;

    // dave runs without this capability: nothing is sealed to him.
    Peer dave(seg, "dave");
    dave.joinAs("dave");
    seg.runFor(3000);
    dave.transport.allSent.clear();
    const auto seenBefore = dave.rec.items.size();
    ann.service.typing({"dave"});
    seg.runFor(500);
    EXPECT_EQ(dave.rec.items.size(), seenBefore);
    EXPECT_EQ(bob.changes, before);
}
