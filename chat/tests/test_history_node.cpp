// What the node hands to the history: every message shown or sent, once,
// with how it travelled and what became of it; nothing of presence, echoes
// of our own lines, or what the user's status or block list kept out.
#include "SecureLink.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::test;

namespace {

struct Kept : HistoryRecorder {
    std::vector<HistoryEntry> entries;
    // How many messages the windows had been given when each entry came.
    const Recorder* shown = nullptr;
    std::vector<std::size_t> shownBefore;
    std::vector<std::tuple<std::uint64_t, std::string, HistoryDelivery>> reports;
    void record(HistoryEntry e) override {
        if (shown) shownBefore.push_back(shown->items.size());
        entries.push_back(std::move(e));
    }
    void delivery(std::uint64_t id, const std::string& to, HistoryDelivery d) override {
        reports.emplace_back(id, to, d);
    }
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        for (const auto& e : entries)
            out.push_back(std::string(e.outgoing ? "out " : "in ") + std::string(HistoryKindName(e.kind)) + " " +
                          e.peer + ": " + e.text);
        return out;
    }
};

class NodeHistory : public ::testing::Test {
protected:
    NodeHistory() : ann(seg, "ann"), bob(seg, "bob") {
        ann.node.addMessageObserver(&annKept);
        annKept.shown = &ann.rec;
        bob.node.addMessageObserver(&bobKept);
        ann.joinAs("ann");
        bob.joinAs("bob");
        seg.runFor(2000);
    }
    void forge(const std::string& utf8) {
        seg.post(cp1252::fromUtf8(utf8));
        seg.runFor(SecureLink::kHoldMs + 100);
    }
    MemorySegment seg;
    Peer ann, bob;
    Kept annKept, bobKept;
};

}  // namespace

TEST_F(NodeHistory, MessagesToAndFromEverybodyAreKeptOnceOnEachSide) {
    bob.node.SendToAll(A + "fire drill");
    bob.node.SendToAll(C + "hello all");
    seg.runFor(1000);
    // The own chat line comes back to bob and is shown there: kept once.
    EXPECT_EQ(bobKept.lines(), (std::vector<std::string>{"out alert (All): fire drill", "out chat (All): hello all"}));
    EXPECT_EQ(annKept.lines(), (std::vector<std::string>{"in alert bob: fire drill", "in chat bob: hello all"}));
    // Kept once the windows had it: a chat window it opens shows the
    // earlier lines from the history without this one.
    EXPECT_EQ(annKept.shownBefore, (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(annKept.entries[0].trust, HistoryTrust::Signed);
    EXPECT_EQ(bobKept.entries[0].trust, HistoryTrust::Signed);
    EXPECT_EQ(bobKept.entries[0].delivery, HistoryDelivery::None);
    // Presence, join notices and replies are no messages.
    bob.node.SendPresence();
    bob.node.SendToAll("");
    seg.runFor(1000);
    EXPECT_EQ(annKept.entries.size(), 2u);
}

TEST_F(NodeHistory, PrivateMessagesCarryTheirSealAndDeliveryToTheEnd) {
    const auto report = bob.node.SendPrivate("ann " + A + "the code is 4711");
    seg.runFor(5000);
    ASSERT_EQ(bobKept.entries.size(), 1u);
    const auto& sent = bobKept.entries[0];
    EXPECT_TRUE(sent.outgoing);
    EXPECT_EQ(sent.kind, HistoryKind::PrivateAlert);
    EXPECT_EQ(sent.peer, "ann");
    EXPECT_EQ(sent.text, "the code is 4711");
    EXPECT_EQ(sent.trust, HistoryTrust::Encrypted);
    EXPECT_EQ(sent.delivery, HistoryDelivery::Waiting);
    EXPECT_EQ(sent.messageId, report.id);
    // The receipt changes the row, by the message's id.
    ASSERT_FALSE(bobKept.reports.empty());
    EXPECT_EQ(bobKept.reports.back(), std::make_tuple(report.id, std::string("ann"), HistoryDelivery::Delivered));
    ASSERT_EQ(annKept.entries.size(), 1u);
    EXPECT_EQ(annKept.lines()[0], "in private-alert bob: the code is 4711");
    EXPECT_EQ(annKept.entries[0].trust, HistoryTrust::Encrypted);

    // To a copy without keys, in the clear, and said so.
    forge("zed|C/0");
    bob.node.SendPrivate("zed " + C + "plain for zed");
    ASSERT_EQ(bobKept.entries.size(), 2u);
    EXPECT_EQ(bobKept.entries[1].trust, HistoryTrust::Plain);
    EXPECT_EQ(bobKept.entries[1].delivery, HistoryDelivery::Sent);
    EXPECT_EQ(bobKept.entries[1].kind, HistoryKind::PrivateChat);
    // From one: kept as it came.
    forge("zed|P/" + A + "plain from zed|ann");
    ASSERT_EQ(annKept.entries.size(), 2u);
    EXPECT_EQ(annKept.lines()[1], "in private-alert zed: plain from zed");
    EXPECT_EQ(annKept.entries[1].trust, HistoryTrust::Plain);
    // Under a name with a known key but without its signature: marked so.
    forge("bob|M/" + A + "forged");
    ASSERT_EQ(annKept.entries.size(), 3u);
    EXPECT_EQ(annKept.entries[2].trust, HistoryTrust::NotVerified);
}

TEST_F(NodeHistory, AChatLineToSeveralIsKeptPerMemberWithTheirTagAndNotForTheOwnCopy) {
    forge("carl|C/0");
    bob.node.SendPrivate("bob " + C + "hi both", "ann|carl|");
    bob.node.SendPrivate("ann " + C + "hi both", "ann|carl|");
    bob.node.SendPrivate("carl " + C + "hi both", "ann|carl|");
    seg.runFor(5000);
    EXPECT_EQ(bobKept.lines(),
              (std::vector<std::string>{"out private-chat ann: hi both", "out private-chat carl: hi both"}));
    for (const auto& e : bobKept.entries) EXPECT_EQ(e.chat, "ann|carl|");
    EXPECT_EQ(annKept.lines(), (std::vector<std::string>{"in private-chat bob: hi both"}));
}

TEST_F(NodeHistory, WhatTheUserKeptOutIsNotKept) {
    ann.node.SetStatus(2);
    bob.node.SendToAll(A + "while away");
    bob.node.SendPrivate("ann " + C + "chat while away");
    seg.runFor(5000);
    EXPECT_TRUE(annKept.entries.empty());
    ann.node.SetStatus(1);  // alerts only
    bob.node.SendToAll(C + "a chat line");
    bob.node.SendToAll(A + "an alert");
    seg.runFor(1000);
    EXPECT_EQ(annKept.lines(), (std::vector<std::string>{"in alert bob: an alert"}));
    ann.node.SetStatus(0);
    ann.node.ToggleBlocked({"bob"});
    bob.node.SendToAll(A + "blocked");
    forge("bob|B/blocked box");
    seg.runFor(1000);
    EXPECT_EQ(annKept.entries.size(), 1u);
    // Nothing is kept while no history is plugged in.
    ann.node.removeMessageObserver(&annKept);
    ann.node.ToggleBlocked({"bob"});
    bob.node.SendToAll(A + "unkept");
    seg.runFor(1000);
    EXPECT_EQ(annKept.entries.size(), 1u);
}

TEST_F(NodeHistory, BoxMessagesAreKeptAlsoWhenTooManyAreOpenToShow) {
    ann.rec.boxesStayOpen = true;
    forge("zed|B/first box");
    forge("zed|B/second box while the first is open");
    EXPECT_EQ(ann.rec.items.size(), 1u);  // shown: one
    EXPECT_EQ(annKept.lines(),
              (std::vector<std::string>{"in box zed: first box", "in box zed: second box while the first is open"}));
}

TEST_F(NodeHistory, EveryObserverHearsEachMessageOnceAsTheWindowsGotIt) {
    Kept second;
    ann.node.addMessageObserver(&second);
    ann.node.addMessageObserver(&second);  // registered once
    forge("bob|M/" + A + "unsigned");
    ASSERT_EQ(second.entries.size(), 1u);
    EXPECT_EQ(second.lines(), annKept.lines());
    // The doubt travels with the value; its text stays as said.
    EXPECT_EQ(second.entries[0].trust, MessageTrust::NotVerified);
    EXPECT_EQ(second.entries[0].text, "unsigned");
    EXPECT_EQ(ann.rec.items.back().text, MarkedText(second.entries[0]));
    ann.node.removeMessageObserver(&second);
    bob.node.SendToAll(A + "again");
    seg.runFor(1000);
    EXPECT_EQ(second.entries.size(), 1u);
    EXPECT_EQ(annKept.entries.size(), 2u);
}

TEST_F(NodeHistory, NothingIsKeptOfWhatNeverLeft) {
    bob.node.CloseNetwork();
    bob.node.SendToAll(A + "nobody hears");
    bob.node.SendPrivate("ann " + A + "nor this");
    EXPECT_TRUE(bobKept.entries.empty());
}
