#include "Cp1252.h"
#include "TestSupport.h"
#include "Wire.h"

#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::test;

namespace {

// One running copy named ann on a segment of its own; datagrams from other
// names are injected as if they came off the wire.
class Dispatch : public ::testing::Test {
protected:
    Dispatch() : ann(seg, "ann") {
        ann.joinAs("ann");
        seg.deliverAll();
        ann.transport.sent.clear();
    }
    void hear(const std::string& utf8) {
        seg.post(cp1252::fromUtf8(utf8));
        seg.deliverAll();
    }
    UserList& users() { return ann.node.users(); }
    std::size_t sent() const { return ann.transport.sent.size(); }

    MemorySegment seg;
    Peer ann;
};

}  // namespace

TEST_F(Dispatch, OwnFirstAnnouncementListsItselfAndIsAnsweredOnce) {
    MemorySegment s;
    Peer p(s, "ann");
    p.joinAs("ann");
    s.deliverAll();
    // Colour, status, join notice; then one presence reply whose echoes find the row.
    EXPECT_EQ(p.transport.sent, (std::vector<std::string>{"ann|C/0", "ann|S/0", "ann|M/ann has joined the network",
                                                          "ann|M/", "ann|C/0", "ann|S/0"}));
    EXPECT_EQ(p.node.users().userCount(), 1u);
    EXPECT_TRUE(p.rec.items.empty());  // the own join notice never pops up
}

TEST_F(Dispatch, ProbingSenderIsAnsweredButNeverListed) {
    hear("_bob|C/0");
    EXPECT_EQ(ann.transport.sent, (std::vector<std::string>{"ann|M/", "ann|C/0", "ann|S/0"}));
    EXPECT_FALSE(users().findExact("_bob"));
}

TEST_F(Dispatch, ColourAndStatusAnnouncements) {
    hear("bob|C/255");
    hear("bob|s/1");  // commands are compared without case
    const auto& bob = users().user(*users().findExact("bob"));
    EXPECT_EQ(bob.colour, 255u);
    EXPECT_EQ(bob.statusText, "Alerts Only");
    hear("bob|S/7");
    EXPECT_EQ(users().user(*users().findExact("bob")).statusText, "");
    EXPECT_NE(ann.log().find("Unknow Data Receved (bob: 7)"), std::string::npos);
    hear("bob|C/99999999999");  // does not fit a colour: logged, dropped
    EXPECT_EQ(users().user(*users().findExact("bob")).colour, 255u);
}

TEST_F(Dispatch, PrivateMessagesReachOnlyTheirRecipient) {
    hear("bob|P/" + A + "hi|ANN");
    hear("bob|P/" + A + "for carl|carl");
    hear("bob|P/|ann");              // empty text
    hear("bob|P/" + A + "a|b|ann");  // only the last "|" separates
    ASSERT_EQ(ann.rec.items.size(), 2u);
    EXPECT_EQ(ann.rec.items[0].text, "hi");
    EXPECT_TRUE(ann.rec.items[0].isPrivate);
    EXPECT_EQ(ann.rec.items[1].text, "a|b");
}

TEST_F(Dispatch, StatusFiltersChatsAndAlerts) {
    hear("bob|M/" + C + "line 1");
    ann.node.SetStatus(1);
    hear("bob|M/" + C + "line 2");
    hear("bob|M/" + A + "alert 1");
    ann.node.SetStatus(2);
    hear("bob|M/" + A + "alert 2");
    hear("bob|P/" + C + "private line|ann");
    ASSERT_EQ(ann.rec.items.size(), 2u);
    EXPECT_EQ(ann.rec.items[0].kind, "chat");
    EXPECT_EQ(ann.rec.items[0].text, "line 1");
    EXPECT_EQ(ann.rec.items[1].kind, "alert");
    EXPECT_EQ(ann.rec.items[1].text, "alert 1");
}

TEST_F(Dispatch, OwnAlertsStayHomeButOwnChatLinesReachOwnWindows) {
    ann.node.SendToAll(A + "to all");
    ann.node.SendToAll(C + "my line");
    seg.deliverAll();
    ASSERT_EQ(ann.rec.items.size(), 1u);
    EXPECT_EQ(ann.rec.items[0].kind, "chat");
    EXPECT_EQ(ann.rec.items[0].sender, "ann");
}

TEST_F(Dispatch, BlockedSendersAreSilenced) {
    users().AddBlocked("Bob");
    hear("bob|M/" + A + "x");
    hear("bob|P/" + A + "x|ann");
    hear("bob|B/box");
    EXPECT_TRUE(ann.rec.items.empty());
    hear("carl|B/hello");
    ASSERT_EQ(ann.rec.items.size(), 1u);
    EXPECT_EQ(ann.rec.items[0].kind, "box");
    EXPECT_EQ(users().user(*users().findExact("bob")).icon, IconBlocked);
}

TEST_F(Dispatch, LeaveFromAStrangerAddsThenRemoves) {
    hear("dave|L/");
    EXPECT_FALSE(users().findExact("dave"));
    EXPECT_EQ(sent(), 3u);  // the presence reply still went out
    EXPECT_EQ(ann.rec.removedFromChats, std::vector<std::string>{"dave"});
}

TEST_F(Dispatch, MalformedDatagramsAreLoggedNeverShown) {
    hear("no bar at all");
    hear("bob|C");
    hear("ANN|C/0");                        // clashes with the listed ann
    hear("carl|C/4294967296");              // a colour past 32 bits
    seg.runFor(SecureLink::kHoldMs + 100);  // under the own name: waits for a signature first
    const auto log = ann.log();
    for (const auto reason : {Reason::NotADatagram, Reason::NameListed, Reason::NumberOutOfRange})
        EXPECT_NE(log.find(": " + describe(failure(reason))), std::string::npos) << keyOf(reason);
    // Listed all the same, with the colour it had.
    ASSERT_TRUE(users().findExact("carl"));
    EXPECT_EQ(users().user(*users().findExact("carl")).colour, 0u);
    EXPECT_TRUE(ann.rec.boxes.empty());
    EXPECT_FALSE(users().findExact("ANN"));
    EXPECT_FALSE(users().findExact("bob"));
}

TEST_F(Dispatch, JoinNoticesOfPeersGoToTheLog) {
    hear("bob|M/bob has joined the network");
    EXPECT_TRUE(ann.rec.items.empty());
    EXPECT_NE(ann.log().find("Unknow Data Receved (bob: bob has joined the network)"), std::string::npos);
}

TEST_F(Dispatch, WhatGoesOnTheWire) {
    ann.node.SetStatus(2);
    ann.node.SendPrivate("bob " + A + "hi");
    ann.node.SendDatagram("");
    ann.node.SendToAll("");
    ann.node.SendPrivate("nobody");
    ann.node.SendToAll(A +
                       "\xE2\x82\xAC"
                       "5 \xE2\x98\x83");  // euro fits the code page, the snowman does not
    // ... and, from a copy with keys, the text in full before it.
    std::vector<std::string> wire{"ann|S/2", "ann|P/\xDFhi|bob", "ann|M/", "ann|P/|",
                                  "ann|M/\xDF\x80"
                                  "5 ?"};
    if (ann.node.secure() && ann.node.secure()->active()) wire.insert(wire.end() - 1, "ann|U/TS/Dn+KCrDUg4piD");
    EXPECT_EQ(ann.transport.sent, wire);
}

TEST_F(Dispatch, ChatListsAreRefreshedOnlyWhenSomethingShownChanged) {
    hear("bob|C/255");
    const int after = ann.rec.chatRefreshes;
    for (int i = 0; i < 50; ++i) hear("bob|C/255");
    EXPECT_EQ(ann.rec.chatRefreshes, after);
    hear("bob|C/0");
    EXPECT_EQ(ann.rec.chatRefreshes, after + 1);
    EXPECT_EQ(ann.rec.caption, " 2 users online (-0)");
}

TEST_F(Dispatch, NameRules) {
    hear("bob|C/0");
    const auto refusal = [&](const std::string& name) {
        const auto r = ann.node.NameProblem(name);
        return r ? Reason::Unknown : r.error().reason;
    };
    EXPECT_EQ(refusal("BOB"), Reason::NameTaken);
    EXPECT_EQ(refusal("ann"), Reason::Unknown);  // the own name is not taken by the own row
    EXPECT_EQ(refusal("an n"), Reason::NameNotAllowed);
    EXPECT_EQ(refusal("a|b"), Reason::NameNotAllowed);
    EXPECT_EQ(refusal("_ann"), Reason::NameNotAllowed);
    EXPECT_EQ(refusal(""), Reason::NameNotAllowed);
    EXPECT_EQ(refusal("Carl2"), Reason::Unknown);
}
