// Reactions, edits and deletions between copies of ours on a simulated
// segment: they reach the line's people, and nobody changes a line of
// somebody else's or reacts to a line he was not told.
#include "LineHeader.h"
#include "LineVerbs.h"
#include "TestSupport.h"
#include "Wire.h"

#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::verbs;
using namespace lanyx::test;

namespace {

struct User : VerbObserver, MessageObserver {
    User(MemorySegment& seg, const std::string& name) : peer(seg, name), verbs(peer.node) {
        verbs.addObserver(this);
        peer.node.addMessageObserver(this);
        peer.joinAs(name);
    }
    ~User() override { peer.node.removeMessageObserver(this); }
    void reacted(const LineRef& l, const std::string& who, const std::string& emoji, bool added) override {
        seen.push_back((added ? "+" : "-") + emoji + " " + who + " " + lineheader::IdText(l.id));
    }
    void edited(const LineRef& l) override { seen.push_back("edited " + l.text); }
    void deleted(const LineRef& l) override { seen.push_back("deleted " + lineheader::IdText(l.id)); }
    void message(const Message& m) override {
        if (!m.outgoing) last = m;
    }
    void say(const std::string& to, const std::string& text, std::uint64_t id = 0, std::uint64_t replyTo = 0) {
        peer.node.SendPrivate(to + " " + std::string(wire::ChatMark) + text, {}, id, replyTo);
    }
    Peer peer;
    LineVerbs verbs;
    std::vector<std::string> seen;
    Message last;
};

class Verbs : public ::testing::Test {
protected:
    Verbs() : ann(seg, "ann"), bob(seg, "bob"), carl(seg, "carl") { seg.runFor(3000); }
    std::uint64_t annSaysToBob(const std::string& text) {
        const auto id = ann.peer.node.NewLineId();
        ann.say("bob", text, id);
        seg.runFor(500);
        return id;
    }
    MemorySegment seg;
    User ann, bob, carl;
};

}  // namespace

TEST_F(Verbs, AReactionAnEditAndADeletionReachTheLinesPeople) {
    const auto id = annSaysToBob("lunch at noon?");
    ASSERT_EQ(bob.last.lineId, id);
    const std::string thumbs = "\xF0\x9F\x91\x8D";

    ASSERT_TRUE(bob.verbs.react(id, thumbs));
    seg.runFor(500);
    EXPECT_EQ(ann.verbs.reactions(id), (std::map<std::string, std::vector<std::string>>{{thumbs, {"bob"}}}));
    // The same again takes it back.
    ASSERT_TRUE(bob.verbs.react(id, thumbs, !bob.verbs.reactedWith(id, thumbs)));
    seg.runFor(500);
    EXPECT_TRUE(ann.verbs.reactions(id).empty());
    EXPECT_EQ(ann.seen.size(), 2u);

    bob.seen.clear();
    ASSERT_TRUE(ann.verbs.edit(id, "lunch at one?"));
    seg.runFor(500);
    ASSERT_NE(bob.verbs.line(id), nullptr);
    EXPECT_EQ(bob.verbs.line(id)->text, "lunch at one?");

    ASSERT_TRUE(ann.verbs.remove(id));
    seg.runFor(500);
    EXPECT_TRUE(bob.verbs.line(id)->deleted);
    EXPECT_TRUE(bob.verbs.line(id)->text.empty());
    EXPECT_EQ(bob.seen, (std::vector<std::string>{"edited lunch at one?", "deleted " + lineheader::IdText(id)}));
    // Nothing more happens to a line taken back.
    EXPECT_EQ(ann.verbs.edit(id, "again").error().reason, Reason::LineDeleted);
}

TEST_F(Verbs, NobodyChangesAnotherUsersLineOrReactsToALineHeWasNotTold) {
    const auto id = annSaysToBob("the build is green");
    // bob's copy does not let him change ann's line.
    EXPECT_EQ(bob.verbs.edit(id, "the build is red").error().reason, Reason::LineNotYours);
    EXPECT_EQ(bob.verbs.remove(id).error().reason, Reason::LineNotYours);
    EXPECT_EQ(carl.verbs.react(id, "\xF0\x9F\x98\x82").error().reason, Reason::LineUnknown);

    // carl, with a key of his own, sends bob an edit and a deletion of
    // ann's line and a reaction to it, sealed and signed as his.
    for (const auto& r : {Request{Verb::Edit, id, "the build is red"}, Request{Verb::Delete, id, {}},
                          Request{Verb::React, id, "\xF0\x9F\x98\x82"}}) {
        carl.peer.node.SendSealed(kWord, "bob", Encode(r));
        seg.runFor(500);
        EXPECT_EQ(bob.verbs.lastRefusal(), Reason::LineNotYours);
    }
    EXPECT_EQ(bob.verbs.line(id)->text, "the build is green");
    EXPECT_TRUE(bob.verbs.reactions(id).empty());
    EXPECT_TRUE(bob.seen.empty());
}

TEST_F(Verbs, ALineCanBeChangedForADayOnly) {
    const auto id = annSaysToBob("see you at 3");
    for (User* u : {&ann, &bob, &carl}) u->peer.clockOffsetMicros += (LineVerbs::kChangeWithinMs + 1000) * 1000;
    EXPECT_EQ(ann.verbs.edit(id, "see you at 4").error().reason, Reason::LineTooOld);
    // A copy that lets its user do it anyway is not followed.
    ann.peer.node.SendSealed(kWord, "bob", Encode({Verb::Edit, id, "see you at 4"}));
    seg.runFor(500);
    EXPECT_EQ(bob.verbs.lastRefusal(), Reason::LineTooOld);
    EXPECT_EQ(bob.verbs.line(id)->text, "see you at 3");
}

TEST_F(Verbs, AReplyNamesTheLineItAnswersAndQuotesItsStartForOthers) {
    const auto id = annSaysToBob("Kaffee um drei? \xC2\xBB oder vier");
    const auto text = ReplyText(bob.last.text, "Ja, gern");
    bob.say("ann", text, 0, id);
    seg.runFor(500);
    EXPECT_EQ(ann.last.replyTo, id);
    EXPECT_EQ(ann.last.text.substr(0, 2), "\xC2\xAB");
    EXPECT_EQ(WithoutQuote(ann.last.text), "Ja, gern");
}

TEST(VerbMessages, WhatDoesNotReadIsRefused) {
    const auto id = lineheader::IdText(0x1234);
    struct Case {
        std::string body;
        bool reads;
    } cases[] = {
        {"1\nreact\n" + id + "\n\xF0\x9F\x91\x8D", true},
        {"1\nunreact\n" + id + "\n\xE2\x9D\xA4\xEF\xB8\x8F", true},
        {"1\nedit\n" + id + "\nnew words", true},
        {"1\ndelete\n" + id, true},
        {"2\nreact\n" + id + "\n\xF0\x9F\x91\x8D", false},  // a later format
        {"1\nreact\n" + id + "\nok", false},                // letters are no reaction
        {"1\nreact\n" + id + "\n" + std::string(40, '\xF0'), false},
        {"1\nreact\n" + id + "\n\xF0\x9F", false},  // cut in a character
        {"1\nedit\n" + id + "\n   ", false},        // nothing said
        {"1\nedit\n" + id + "\n" + std::string(kMaxTextBytes + 1, 'x'), false},
        {"1\ndelete\n" + id + "\nmore", false},
        {"1\nshout\n" + id, false},
        {"1\nreact\n0000000000000000\n\xF0\x9F\x91\x8D", false},  // no line is 0
        {"1\nreact\n00000000000012\n\xF0\x9F\x91\x8D", false},
    };
    for (const auto& c : cases) {
        const auto r = Decode(c.body);
        EXPECT_EQ(r.has_value(), c.reads) << c.body;
        if (r) {
            EXPECT_EQ(Encode(*r), c.body);
        }
    }
}
