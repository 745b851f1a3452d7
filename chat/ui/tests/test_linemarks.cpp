// Per-line delivery marks of the chat window, without a display.
#include "logic/LineMarks.h"

#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::ui;

namespace {
// The pieces of a mark as words: [lock] and [open] where the window draws
// the lock and the open lock.
std::string shown(const LineMark& mark) {
    std::string out;
    for (const MarkPart& p : LineMarks::parts(mark)) {
        if (!out.empty()) out += ", ";
        if (!p.name.empty()) out += p.name + " ";
        out += p.group == MarkGroup::Clear ? "[open] " : p.group == MarkGroup::NotConfirmed ? "[warning] " : "[lock] ";
        if (p.count) out += std::to_string(p.count) + " ";
        switch (p.group) {
        case MarkGroup::Delivered: out += "delivered"; break;
        case MarkGroup::NotConfirmed: out += "not confirmed"; break;
        case MarkGroup::Clear: out += "sent"; break;
        case MarkGroup::Queued: out += "queued"; break;
        default: out += "waiting"; break;
        }
    }
    return out;
}

DeliveryReport enc(std::uint64_t id, const std::string& to, Delivery state = Delivery::Waiting) {
    return {id, to, true, state};
}
DeliveryReport clear(const std::string& to) {
    return {0, to, false, Delivery::NoReceipts};
}
}  // namespace

TEST(LineMarks, ReportsFindTheirLineInAnyOrderAlsoBeforeItIsShown) {
    LineMarks m;
    m.sent("one", {enc(11, "bob"), clear("ann")}, "ann");  // the own copy is left out
    m.sent("two", {enc(12, "bob")}, "ann");
    m.sent("three", {enc(13, "bob")}, "ann");
    EXPECT_EQ(m.pending(), 3u);

    // The receipt for "two" comes before its own copy is back: it waits with it.
    EXPECT_FALSE(m.update(enc(12, "bob", Delivery::Delivered)));
    EXPECT_FALSE(m.shown(0, "bob's line"));  // somebody else's line takes no mark
    EXPECT_TRUE(m.shown(1, "one"));
    EXPECT_TRUE(m.shown(2, "two"));
    EXPECT_TRUE(m.shown(3, "three"));
    EXPECT_EQ(m.pending(), 0u);
    ASSERT_NE(m.mark(2), nullptr);
    EXPECT_EQ(m.mark(2)->rows.size(), 1u);
    EXPECT_EQ(m.mark(2)->rows[0].state, Delivery::Delivered);
    EXPECT_EQ(m.mark(0), nullptr);

    // Later reports, newest line first, after many more lines.
    for (std::size_t line = 4; line < 500; ++line) m.shown(line, "chatter");
    EXPECT_EQ(m.update(enc(13, "bob", Delivery::NotConfirmed)), std::optional<std::size_t>(3));
    EXPECT_EQ(m.update(enc(11, "BOB", Delivery::Delivered)), std::optional<std::size_t>(1));  // names without case
    EXPECT_EQ(m.mark(1)->rows[0].state, Delivery::Delivered);
    EXPECT_EQ(m.mark(3)->rows[0].state, Delivery::NotConfirmed);
    EXPECT_EQ(m.lines(), 3u);

    // The same report again, one for another window's message, one in the
    // clear, a step back to waiting, a recipient the message did not have.
    EXPECT_FALSE(m.update(enc(11, "bob", Delivery::Delivered)));
    EXPECT_FALSE(m.update(enc(99, "bob", Delivery::Delivered)));
    EXPECT_FALSE(m.update(clear("bob")));
    EXPECT_FALSE(m.update(enc(11, "bob", Delivery::Waiting)));
    EXPECT_FALSE(m.update(enc(11, "carl", Delivery::NotConfirmed)));
    EXPECT_EQ(m.mark(1)->rows[0].state, Delivery::Delivered);
}

TEST(LineMarks, OneLineToTwoRecipientsKeepsEachState) {
    LineMarks m;
    m.sent("lunch?", {enc(5, "bob"), enc(6, "carl"), clear("dave")}, "ann");
    ASSERT_TRUE(m.shown(0, "lunch?"));
    EXPECT_EQ(shown(*m.mark(0)), "bob [lock] waiting, carl [lock] waiting, dave [open] sent");
    EXPECT_EQ(m.update(enc(6, "carl", Delivery::Delivered)), std::optional<std::size_t>(0));
    EXPECT_EQ(m.update(enc(5, "bob", Delivery::NotConfirmed)), std::optional<std::size_t>(0));
    EXPECT_EQ(shown(*m.mark(0)), "bob [warning] not confirmed, carl [lock] delivered, dave [open] sent");
    EXPECT_TRUE(LineMarks::warns(*m.mark(0)));
}

TEST(LineMarks, ShortTextsForOneAndCountsForMany) {
    LineMark one{{clear("bob")}};
    EXPECT_EQ(shown(one), "[open] sent");
    EXPECT_FALSE(LineMarks::warns(one));
    one.rows[0] = enc(1, "bob", Delivery::Delivered);
    EXPECT_EQ(shown(one), "[lock] delivered");

    LineMark many;
    for (int i = 0; i < 3; ++i) many.rows.push_back(enc(10 + i, "d" + std::to_string(i), Delivery::Delivered));
    many.rows.push_back(enc(20, "w"));
    many.rows.push_back(clear("c1"));
    many.rows.push_back(clear("c2"));
    EXPECT_EQ(shown(many), "[lock] 3 delivered, [lock] 1 waiting, [open] 2 sent");
}

TEST(LineMarks, OwnCopiesMatchThroughTheWireAndInOrder) {
    EXPECT_TRUE(LineMarks::sameLine("  hi  ", "hi"));
    EXPECT_TRUE(LineMarks::sameLine("caf\xC3\xA9", "caf\xC3\xA9"));
    EXPECT_TRUE(LineMarks::sameLine("snow \xE2\x98\x83", "snow ?"));  // not in the code page
    EXPECT_TRUE(LineMarks::sameLine("hi", "(not verified) hi"));
    EXPECT_FALSE(LineMarks::sameLine("hi", "hi there"));
    EXPECT_FALSE(LineMarks::sameLine("(not verified) hi", "hi"));

    // Two lines with the same words: the first copy back is the first sent.
    LineMarks m;
    m.sent("ok", {enc(1, "bob")}, "ann");
    m.sent("ok", {enc(2, "bob")}, "ann");
    ASSERT_TRUE(m.shown(0, "ok"));
    ASSERT_TRUE(m.shown(1, "ok"));
    EXPECT_EQ(m.update(enc(1, "bob", Delivery::Delivered)), std::optional<std::size_t>(0));
    EXPECT_EQ(m.update(enc(2, "bob", Delivery::Delivered)), std::optional<std::size_t>(1));
    EXPECT_FALSE(m.shown(2, "ok"));  // a third copy (another window's line) takes none
}

TEST(LineMarks, MemoryStaysWithTheLinesKept) {
    LineMarks m;
    m.sent("only me", {{0, "ann", false, Delivery::NoReceipts}}, "ANN");  // to the own copy alone: nothing kept
    m.sent("public", {}, "ann");
    EXPECT_EQ(m.pending(), 0u);

    // Own copies that never come back (away, lost) do not pile up.
    for (std::uint64_t i = 0; i < 3 * LineMarks::kMaxPending; ++i) m.sent("lost", {enc(100 + i, "bob")}, "ann");
    EXPECT_EQ(m.pending(), LineMarks::kMaxPending);
    EXPECT_FALSE(m.update(enc(100, "bob", Delivery::Delivered)));  // given up: ignored

    // A cleared transcript drops its marks and their numbers; what is not
    // shown yet keeps its mark for the line it becomes.
    m.sent("kept", {enc(7, "bob")}, "ann");
    ASSERT_TRUE(m.shown(0, "lost"));
    const auto id = m.mark(0)->rows[0].id;
    m.clear();
    EXPECT_EQ(m.lines(), 0u);
    EXPECT_FALSE(m.update(enc(id, "bob", Delivery::Delivered)));
    EXPECT_EQ(m.update(enc(7, "bob", Delivery::Delivered)), std::nullopt);  // still pending
    ASSERT_TRUE(m.shown(0, "kept"));
    EXPECT_EQ(m.mark(0)->rows[0].state, Delivery::Delivered);

    // A line number given again replaces its mark and forgets the old number.
    m.sent("again", {enc(8, "bob")}, "ann");
    ASSERT_TRUE(m.shown(0, "again"));
    EXPECT_FALSE(m.update(enc(7, "bob", Delivery::NotConfirmed)));
    EXPECT_EQ(m.update(enc(8, "bob", Delivery::NotConfirmed)), std::optional<std::size_t>(0));
    EXPECT_EQ(m.lines(), 1u);
}

TEST(LineMarks, ALineForMembersAwayIsQueuedThenWaitingThenDeliveredAndTakenBackIsNotSent) {
    LineMarks m;
    m.sent("later", {enc(21, "bob", Delivery::Queued), enc(22, "cid", Delivery::Queued), enc(23, "dan")}, "ann");
    ASSERT_TRUE(m.shown(0, "later"));
    EXPECT_EQ(shown(*m.mark(0)), "bob [lock] queued, cid [lock] queued, dan [lock] waiting");
    EXPECT_FALSE(LineMarks::warns(*m.mark(0)));
    // bob came back: what waited goes, and is confirmed; cid's is taken back.
    EXPECT_EQ(m.update(enc(21, "bob", Delivery::Waiting)), std::optional<std::size_t>(0));
    EXPECT_EQ(m.update(enc(21, "bob", Delivery::Delivered)), std::optional<std::size_t>(0));
    EXPECT_EQ(m.update({22, "cid", true, Delivery::Withheld, Withheld::Cancelled}), std::optional<std::size_t>(0));
    EXPECT_EQ(m.mark(0)->rows[1].withheld, Withheld::Cancelled);
    EXPECT_TRUE(LineMarks::warns(*m.mark(0)));
    // A row that left waiting never goes back to it.
    EXPECT_FALSE(m.update(enc(21, "bob", Delivery::Waiting)));
    EXPECT_EQ(m.mark(0)->rows[0].state, Delivery::Delivered);
}
