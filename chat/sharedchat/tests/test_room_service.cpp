// Shared chats between copies of ours on a simulated segment: each member
// ends with the same list, whoever changes it, and nobody outside the chat
// (or without the key pinned for a member's name) changes anything.
#include "FileSteps.h"
#include "RoomService.h"
#include "TestSupport.h"
#include "Wire.h"

#include <gtest/gtest.h>

#include <map>

using namespace lanyx;
using namespace lanyx::rooms;
using namespace lanyx::test;

namespace {

struct Member {
    Member(MemorySegment& seg, const std::string& name) : peer(seg, name), service(peer.node) {
        service.setObserver(&seen);
        service.setBacklogSource([this](const std::string&) { return kept; });
        peer.node.addMessageObserver(&recorded);
        peer.joinAs(name);
    }
    ~Member() { peer.node.removeMessageObserver(&recorded); }
    struct Seen : RoomObserver {
        void roomChanged(const Room& room, const RoomEvent& e) override {
            events.push_back(e);
            members[room.id] = room.members;
            if (e.kind == RoomEvent::Kind::Dropped) members.erase(room.id);
        }
        void roomBacklog(const Room&, const std::string& by, const std::vector<Message>& lines) override {
            backlogs.push_back({by, lines});
        }
        std::vector<RoomEvent> events;
        std::map<std::string, std::vector<std::string>> members;
        std::vector<std::pair<std::string, std::vector<Message>>> backlogs;
    };
    // What the history would have been told.
    struct Recorded : MessageObserver {
        void message(const Message& m) override { lines.push_back(m); }
        std::vector<Message> lines;
    };
    std::vector<std::string> membersOf(const std::string& id) {
        const auto* r = service.book().find(id);
        return r ? r->members : std::vector<std::string>{};
    }
    Peer peer;
    RoomService service;
    Seen seen;
    Recorded recorded;
    std::vector<Message> kept;  // the history's lines, as the source hands them over
};

Message chatLine(const std::string& id, std::int64_t timeMs, const std::string& peer, std::string text,
                 bool outgoing = false) {
    Message m;
    m.timeMs = timeMs;
    m.outgoing = outgoing;
    m.peer = outgoing ? "(All)" : peer;
    m.kind = MessageKind::PrivateChat;
    m.text = std::move(text);
    m.chat = RoomChatKey(id);
    return m;
}

class SharedChats : public ::testing::Test {
protected:
    SharedChats() : ann(seg, "ann"), bob(seg, "bob"), carl(seg, "carl") { seg.runFor(3000); }
    MemorySegment seg;
    Member ann, bob, carl;
};

}  // namespace

TEST_F(SharedChats, EveryMemberHoldsTheSameListAndSeesWhoChangedIt) {
    const auto* room = ann.service.open({"bob", "carl"});
    ASSERT_TRUE(room);
    const std::string id = room->id;
    seg.runFor(2000);
    const std::vector<std::string> three{"ann", "bob", "carl"};
    EXPECT_EQ(bob.membersOf(id), three);
    EXPECT_EQ(carl.membersOf(id), three);
    ASSERT_EQ(bob.seen.events.size(), 1u);
    EXPECT_EQ(bob.seen.events[0].kind, RoomEvent::Kind::Joined);
    EXPECT_EQ(bob.seen.events[0].by, "ann");

    // bob adds dave: all of them, dave too, see it.
    Member dave(seg, "dave");
    seg.runFor(3000);
    ASSERT_TRUE(bob.service.add(id, "dave"));
    seg.runFor(2000);
    const std::vector<std::string> four{"ann", "bob", "carl", "dave"};
    for (auto* m : {&ann, &carl, &dave}) EXPECT_EQ(m->membersOf(id), four) << m->peer.node.state().MyName;
    ASSERT_FALSE(carl.seen.events.empty());
    EXPECT_EQ(carl.seen.events.back().kind, RoomEvent::Kind::Added);
    EXPECT_EQ(carl.seen.events.back().by, "bob");
    EXPECT_EQ(carl.seen.events.back().names, std::vector<std::string>{"dave"});

    // carl removes ann: ann is told and forgets the chat.
    ASSERT_TRUE(carl.service.remove(id, "ann"));
    seg.runFor(2000);
    EXPECT_EQ(bob.membersOf(id), (std::vector<std::string>{"bob", "carl", "dave"}));
    EXPECT_FALSE(ann.service.book().find(id));
    EXPECT_EQ(ann.seen.events.back().kind, RoomEvent::Kind::Dropped);
}

TEST_F(SharedChats, ACopyWithoutKeysIsAMemberThatIsNotToldAndAChatOfOnlySuchIsNoSharedChat) {
    seg.post("zed|C/0");  // a copy without keys
    seg.runFor(1000);
    EXPECT_FALSE(ann.service.sharesChats("zed"));
    EXPECT_TRUE(ann.service.sharesChats("bob"));
    EXPECT_FALSE(ann.service.open({"zed"}));
    ann.peer.transport.sent.clear();
    const auto* room = ann.service.open({"bob", "zed"});
    ASSERT_TRUE(room);
    seg.runFor(2000);
    EXPECT_EQ(bob.membersOf(room->id), (std::vector<std::string>{"ann", "bob", "zed"}));
    // What a copy without keys sees of it: nothing at all.
    EXPECT_TRUE(ann.peer.transport.sent.empty()) << ann.peer.transport.sent.front();
}

TEST_F(SharedChats, ForgedChangesChangeNothing) {
    const auto* room = ann.service.open({"bob", "carl"});
    ASSERT_TRUE(room);
    const std::string id = room->id;
    seg.runFor(2000);
    const auto before = bob.membersOf(id);
    const auto eventsBefore = bob.seen.events.size();
    const std::string takeOver = std::string(kRoomTag) + "1\n" + id + "\n99\nadded\nmallory\nann\nbob\ncarl\nmallory";

    // In the clear under a name with a pinned key, and under one without.
    seg.post("ann|P/bob " + takeOver);
    seg.post("mallory|P/bob " + takeOver);
    seg.runFor(2000);
    EXPECT_EQ(bob.membersOf(id), before);

    // Encrypted and signed, by a key pinned for a name that is not in the chat.
    Member eve(seg, "eve");
    seg.runFor(3000);
    ASSERT_TRUE(eve.peer.node.SendSealed(kRoomsWord, "bob", takeOver.substr(kRoomTag.size())));
    seg.runFor(2000);
    EXPECT_EQ(bob.membersOf(id), before);
    EXPECT_EQ(bob.seen.events.size(), eventsBefore);
    EXPECT_TRUE(anyHas({bob.peer.log()}, "ignored: from somebody not in the chat")) << bob.peer.log();
}

TEST_F(SharedChats, ARenameKeepsTheChatAndItsChangesStillCountBothWays) {
    const auto* room = ann.service.open({"bob", "carl"});
    ASSERT_TRUE(room);
    const std::string id = room->id;
    seg.runFor(2000);

    ann.peer.node.rejoinUnder("anna");
    seg.runFor(3000);
    const std::vector<std::string> three{"anna", "bob", "carl"};
    for (auto* m : {&ann, &bob, &carl}) EXPECT_EQ(m->membersOf(id), three) << m->peer.node.state().MyName;
    ASSERT_FALSE(carl.seen.events.empty());
    EXPECT_EQ(carl.seen.events.back().kind, RoomEvent::Kind::Renamed);
    EXPECT_EQ(carl.seen.events.back().names, (std::vector<std::string>{"ann", "anna"}));
    EXPECT_TRUE(bob.service.sharesChats("anna"));

    // bob's change reaches anna, and anna's change counts at carl.
    Member dave(seg, "dave");
    seg.runFor(3000);
    ASSERT_TRUE(bob.service.add(id, "dave"));
    seg.runFor(2000);
    EXPECT_EQ(ann.membersOf(id), (std::vector<std::string>{"anna", "bob", "carl", "dave"}));
    ASSERT_TRUE(ann.service.remove(id, "dave"));
    seg.runFor(2000);
    EXPECT_EQ(carl.membersOf(id), three);
    EXPECT_EQ(carl.seen.events.back().by, "anna");
}

TEST_F(SharedChats, ChatsFromOneKeyComeAFewAtATimeAndAreWrittenOnceForABurst) {
    const auto rooms = bob.peer.folder() / "Rooms.txt";
    bob.service.keepIn(rooms);
    Member eve(seg, "eve");
    seg.runFor(3000);
    int writes = 0;
    FileSteps steps([&](FileSteps::Step step, const std::filesystem::path& p) {
        if (step == FileSteps::Step::Renamed && p == rooms) ++writes;
        return false;  // counted, none fails
    });
    const auto invite = [&](int i) {
        char id[33];
        std::snprintf(id, sizeof id, "%032x", 7000 + i);
        ASSERT_TRUE(
            eve.peer.node.SendSealed(kRoomsWord, "bob", Encode(RoomMessage{id, 1, Change::State, {}, {"eve", "bob"}})));
    };
    for (int i = 0; i < 20; ++i) invite(i);
    seg.runFor(2000);
    EXPECT_EQ(bob.service.book().size(), RoomService::kInviteBurst);
    EXPECT_EQ(writes, 1);
    // ann's chat with bob still comes in: the limit is eve's.
    ASSERT_TRUE(ann.service.open({"bob"}));
    seg.runFor(2000);
    EXPECT_EQ(bob.service.book().size(), RoomService::kInviteBurst + 1);
    // eve gets another after a while.
    seg.runFor(RoomService::kInviteRefillMs);
    invite(100);
    invite(101);
    seg.runFor(2000);
    EXPECT_EQ(bob.service.book().size(), RoomService::kInviteBurst + 2);
    // What changed since the last write is written at the end, at once.
    ASSERT_TRUE(bob.service.add(ann.service.book().rooms().back().id, "carl"));
    EXPECT_EQ(readBytes(rooms).find("\tcarl"), std::string::npos);
    EXPECT_TRUE(bob.service.flush());
    EXPECT_NE(readBytes(rooms).find("\tcarl"), std::string::npos);
}

TEST_F(SharedChats, AMemberAddedLateGetsTheNewestLinesOnceFromWhoAddedHim) {
    const auto* room = ann.service.open({"bob", "carl"});
    ASSERT_TRUE(room);
    const std::string id = room->id;
    seg.runFor(2000);
    // bob's history of the chat: 60 lines, his own and carl's, and a line of
    // another chat.
    for (int i = 0; i < 60; ++i)
        bob.kept.push_back(chatLine(id, 1'700'000'000'000 + i * 1000, "carl", "line " + std::to_string(i), i % 2 == 0));
    bob.kept.push_back(chatLine(std::string(32, 'b'), 1'700'000'100'000, "carl", "another chat"));

    Member dave(seg, "dave");
    seg.runFor(3000);
    ASSERT_TRUE(bob.service.add(id, "dave"));
    seg.runFor(3000);
    ASSERT_EQ(dave.seen.backlogs.size(), 1u);
    EXPECT_EQ(dave.seen.backlogs[0].first, "bob");
    const auto& lines = dave.seen.backlogs[0].second;
    ASSERT_EQ(lines.size(), kMaxBacklogLines);
    EXPECT_EQ(lines.front().text, "line 10");  // the newest 50, oldest first
    EXPECT_EQ(lines.back().text, "line 59");
    EXPECT_EQ(lines.front().peer, "bob");
    EXPECT_FALSE(lines.front().showsNotVerified());  // bob's own word
    EXPECT_EQ(lines.back().peer, "carl");
    EXPECT_TRUE(lines.back().showsNotVerified());  // carl's line as bob kept it
    for (const auto& l : lines) EXPECT_EQ(l.chat, RoomChatKey(id));
    EXPECT_EQ(dave.recorded.lines.size(), kMaxBacklogLines);  // into dave's history

    // Members told of the change get nothing, and a copy already in the
    // chat does not get the lines again.
    EXPECT_TRUE(carl.seen.backlogs.empty());
    EXPECT_TRUE(ann.seen.backlogs.empty());
}

TEST_F(SharedChats, EarlierLinesAreTakenOnlyFromWhoAddedUsOnceAndOnlyWhenAdded) {
    const auto* room = ann.service.open({"bob"});
    ASSERT_TRUE(room);
    const std::string id = room->id;
    seg.runFor(2000);
    const auto forged = EncodeBacklog(id, {{1'700'000'000'000, "ann", "ann never said this"}});
    ASSERT_FALSE(forged.empty());

    // carl, not in the chat, and bob, in it but unasked.
    ASSERT_TRUE(carl.peer.node.SendSealed(kBacklogWord, "bob", forged));
    seg.runFor(2000);
    EXPECT_TRUE(bob.seen.backlogs.empty());
    EXPECT_TRUE(bob.recorded.lines.empty());

    // Brought in by ann: lines from carl (a member too by now) are not hers.
    ann.kept.push_back(chatLine(id, 1'700'000'000'000, "bob", "hello", true));
    ASSERT_TRUE(ann.service.add(id, "carl"));
    ASSERT_TRUE(bob.peer.node.SendSealed(kBacklogWord, "carl", forged));
    seg.runFor(3000);
    ASSERT_EQ(carl.seen.backlogs.size(), 1u);
    EXPECT_EQ(carl.seen.backlogs[0].first, "ann");
    EXPECT_EQ(carl.seen.backlogs[0].second.front().text, "hello");
    // ann's own, once: a second one is not taken.
    ASSERT_TRUE(ann.peer.node.SendSealed(kBacklogWord, "carl", forged));
    seg.runFor(2000);
    EXPECT_EQ(carl.seen.backlogs.size(), 1u);
    EXPECT_EQ(carl.recorded.lines.size(), 1u);
}

TEST_F(SharedChats, ALineCarriesOneIdToEveryMemberAndItsChatOnlyWhereTheSenderIsAMember) {
    const auto* room = ann.service.open({"bob", "carl"});
    ASSERT_TRUE(room);
    const std::string id = room->id;
    seg.runFor(2000);
    const auto lineId = ann.peer.node.NewLineId();
    for (const char* to : {"bob", "carl"})
        ann.peer.node.SendPrivate(std::string(to) + " " + std::string(wire::ChatMark) + "hello team", RoomChatKey(id),
                                  lineId);
    seg.runFor(2000);
    for (auto* m : {&bob, &carl}) {
        ASSERT_EQ(m->recorded.lines.size(), 1u);
        EXPECT_EQ(m->recorded.lines[0].lineId, lineId);
        EXPECT_EQ(m->recorded.lines[0].chat, RoomChatKey(id));
    }
    ASSERT_EQ(ann.recorded.lines.size(), 2u);
    EXPECT_EQ(ann.recorded.lines[0].lineId, lineId);

    // dave, in no chat, says his line is one of it: carl keeps it as dave's own.
    Member dave(seg, "dave");
    seg.runFor(3000);
    dave.peer.node.SendPrivate("carl " + std::string(wire::ChatMark) + "in your chat?", RoomChatKey(id));
    seg.runFor(2000);
    ASSERT_EQ(carl.recorded.lines.size(), 2u);
    EXPECT_NE(carl.recorded.lines[1].lineId, 0u);
    EXPECT_EQ(carl.recorded.lines[1].chat, "");
}
