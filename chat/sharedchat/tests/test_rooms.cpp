// The changes of shared chats as they travel, and the rules every member
// applies to them.
#include "Backlog.h"
#include "RoomBook.h"

#include <gtest/gtest.h>

using namespace lanyx::rooms;

namespace {

const std::string kId = "0123456789abcdef0123456789abcdef";

RoomMessage message(std::uint64_t serial, std::vector<std::string> members, Change c = Change::State,
                    std::string who = {}) {
    return RoomMessage{kId, serial, c, std::move(who), std::move(members)};
}

RoomBook book() {
    return RoomBook([] { return kId; });
}

}  // namespace

TEST(RoomMessages, WhatIsSentReadsBackAndAnythingElseIsRefused) {
    const auto m = message(7, {"ann", "Bob Smith", "carl"}, Change::Added, "carl");
    const auto back = Parse(Encode(m));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->id, kId);
    EXPECT_EQ(back->serial, 7u);
    EXPECT_EQ(back->change, Change::Added);
    EXPECT_EQ(back->who, "carl");
    EXPECT_EQ(back->members, m.members);

    for (const std::string& bad : std::vector<std::string>{
             "",
             "2\n" + kId + "\n1\nstate\n\nann",                       // another format
             "1\n" + kId.substr(1) + "\n1\nstate\n\nann",             // short id
             "1\n0123456789ABCDEF0123456789ABCDEF\n1\nstate\n\nann",  // capitals
             "1\n" + kId + "\n0\nstate\n\nann",                       // no change has serial 0
             "1\n" + kId + "\n01\nstate\n\nann",
             "1\n" + kId + "\n99999999999999999999\nstate\n\nann",  // past 64 bits
             "1\n" + kId + "\n1\nmoved\n\nann",
             "1\n" + kId + "\n1\nstate\nann\nann",    // state names nobody
             "1\n" + kId + "\n1\nadded\n\nann",       // added names somebody
             "1\n" + kId + "\n1\nstate\n",            // nobody in it
             "1\n" + kId + "\n1\nstate\n\nann\nANN",  // twice, letter case aside
             "1\n" + kId + "\n1\nstate\n\nann\n(All)",
             "1\n" + kId + "\n1\nstate\n\nann\nbob|carl",
             "1\n" + kId + "\n1\nstate\n\nann\nbo\tb",
             "1\n" + kId + "\n1\nstate\n\nann\n" + std::string(kMaxNameBytes + 1, 'x'),
         })
        EXPECT_FALSE(Parse(bad)) << bad;

    std::vector<std::string> many;
    for (std::size_t i = 0; i <= kMaxMembers; ++i) many.push_back("user" + std::to_string(i));
    EXPECT_FALSE(Parse(Encode(message(1, many))));
    many.pop_back();
    EXPECT_TRUE(Parse(Encode(message(1, many))));
}

TEST(RoomMessages, EarlierLinesKeepTheNewestThatFitAndAnythingElseIsRefused) {
    std::vector<BacklogLine> lines;
    for (int i = 0; i < 60; ++i) lines.push_back({1'700'000'000'000 + i, "ann", "line\n" + std::to_string(i)});
    lines.push_back({1'700'000'000'100, "bob", std::string(kMaxBacklogLineBytes + 1, 'x')});  // too long: left out
    const auto back = ParseBacklog(EncodeBacklog(kId, lines));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->id, kId);
    ASSERT_EQ(back->lines.size(), kMaxBacklogLines);
    EXPECT_EQ(back->lines.front().text, "line 10");  // the line end is a space now
    EXPECT_EQ(back->lines.back().timeMs, 1'700'000'000'059);
    // Long lines: as many of the newest as one message holds.
    const std::vector<BacklogLine> big(20, {1'700'000'000'000, "ann", std::string(kMaxBacklogLineBytes, 'y')});
    const auto fitted = ParseBacklog(EncodeBacklog(kId, big));
    ASSERT_TRUE(fitted);
    EXPECT_EQ(fitted->lines.size(), kMaxBacklogBytes / (kMaxBacklogLineBytes + 20));
    EXPECT_TRUE(EncodeBacklog(kId, {}).empty());

    const std::string head = "1\n" + kId + "\n";
    for (const std::string& bad : std::vector<std::string>{
             "",
             head,                                  // no line
             "2\n" + kId + "\n1|ann|hi",            // another format
             "1\n" + kId.substr(1) + "\n1|ann|hi",  // not an id
             head + "0|ann|hi",                     // no time
             head + "01|ann|hi",
             head + "-5|ann|hi",
             head + "99999999999999999999|ann|hi",  // past 64 bits
             head + "1|(All)|hi",                   // nobody's name
             head + "1||hi",
             head + "1|ann",       // no text
             head + "1|ann|a\tb",  // a control character
             head + "1|ann|" + std::string(kMaxBacklogLineBytes + 1, 'x'),
         })
        EXPECT_FALSE(ParseBacklog(bad)) << bad;
    std::string tooMany = head + "1|ann|0";
    for (std::size_t i = 1; i <= kMaxBacklogLines; ++i) tooMany += "\n1|ann|" + std::to_string(i);
    EXPECT_FALSE(ParseBacklog(tooMany));
}

TEST(RoomRules, OnlyAMemberBringsUsInAndOnlyIntoAChatWeAreIn) {
    auto b = book();
    EXPECT_EQ(b.receive("bob", "mallory", message(1, {"ann", "bob"})).kind, Outcome::Kind::Ignored);
    EXPECT_EQ(b.receive("bob", "ann", message(1, {"ann", "carl"})).kind, Outcome::Kind::Ignored);
    EXPECT_EQ(b.size(), 0u);
    const auto o = b.receive("bob", "Ann", message(1, {"ann", "BOB", "carl"}));
    ASSERT_EQ(o.kind, Outcome::Kind::Joined);
    EXPECT_EQ(o.added, (std::vector<std::string>{"ann", "carl"}));
    // Once in, a stranger to the chat changes nothing.
    EXPECT_EQ(b.receive("bob", "mallory", message(9, {"ann", "bob", "carl", "mallory"})).kind, Outcome::Kind::Ignored);
    EXPECT_EQ(b.find(kId)->members.size(), 3u);
}

TEST(RoomRules, ChangesMadeAtOnceEndTheSameOnEveryMember) {
    // carl adds dave while bob removes carl, both at serial 2: whichever
    // arrives first, every member ends with the same list (the removal of
    // carl wins over carl's change, although carl's name would win).
    const auto start = message(1, {"ann", "bob", "carl"});
    const auto byCarl = message(2, {"ann", "bob", "carl", "dave"}, Change::Added, "dave");
    const auto byBob = message(2, {"ann", "bob"}, Change::Removed, "carl");
    auto first = book(), second = book();
    first.receive("ann", "bob", start);
    second.receive("ann", "bob", start);
    first.receive("ann", "carl", byCarl);
    EXPECT_EQ(first.receive("ann", "bob", byBob).kind, Outcome::Kind::Changed);
    second.receive("ann", "bob", byBob);
    EXPECT_EQ(second.receive("ann", "carl", byCarl).kind, Outcome::Kind::Ignored);
    EXPECT_EQ(first.find(kId)->members, second.find(kId)->members);
    EXPECT_EQ(first.find(kId)->members, (std::vector<std::string>{"ann", "bob"}));
    // Two changes by members nobody removed: the author's name decides.
    const auto annAdds = message(3, {"ann", "bob", "erin"}, Change::Added, "erin");
    const auto bobAdds = message(3, {"ann", "bob", "fred"}, Change::Added, "fred");
    first.receive("ann", "ann", annAdds);
    EXPECT_EQ(first.receive("ann", "bob", bobAdds).kind, Outcome::Kind::Changed);
    second.receive("ann", "bob", bobAdds);
    EXPECT_EQ(second.receive("ann", "ann", annAdds).kind, Outcome::Kind::Ignored);
    EXPECT_EQ(first.find(kId)->members, second.find(kId)->members);
    // A change played back later is older than what is known.
    EXPECT_EQ(first.receive("ann", "bob", start).kind, Outcome::Kind::Ignored);
}

TEST(RoomRules, AMemberJustRemovedCannotUndoItWithAChangeOfTheSameSerial) {
    // alice takes mallory out at serial 5; mallory, still holding serial 4,
    // answers at serial 5 too. Whichever a member hears first, mallory
    // stays out; only his taking out of alice at that moment holds too
    // (both then are out, the same on every member).
    const auto start = message(4, {"alice", "bob", "carl", "mallory"});
    const auto removal = message(5, {"alice", "bob", "carl"}, Change::Removed, "mallory");
    struct Case {
        const char* what;
        RoomMessage byMallory;
        std::vector<std::string> end;
    } cases[] = {
        {"takes himself in again", message(5, {"alice", "bob", "carl", "mallory"}), {"alice", "bob", "carl"}},
        {"adds a friend",
         message(5, {"alice", "bob", "carl", "mallory", "zed"}, Change::Added, "zed"),
         {"alice", "bob", "carl"}},
        {"takes out carl", message(5, {"alice", "bob", "mallory"}, Change::Removed, "carl"), {"alice", "bob", "carl"}},
        {"takes out alice", message(5, {"bob", "carl", "mallory"}, Change::Removed, "alice"), {"bob", "carl"}},
        {"takes out alice, names in another case",
         message(5, {"bob", "carl", "Mallory"}, Change::Removed, "ALICE"),
         {"bob", "carl"}},
    };
    for (const auto& c : cases) {
        auto first = book(), second = book();
        first.receive("bob", "alice", start);
        second.receive("bob", "alice", start);
        first.receive("bob", "alice", removal);
        first.receive("bob", "mallory", c.byMallory);
        second.receive("bob", "mallory", c.byMallory);
        second.receive("bob", "alice", removal);
        EXPECT_EQ(first.find(kId)->members, c.end) << c.what;
        EXPECT_EQ(second.find(kId)->members, c.end) << c.what;
        // Nor later: he is no member any more.
        auto later = c.byMallory;
        later.serial = 6;
        EXPECT_EQ(first.receive("bob", "mallory", later).kind, Outcome::Kind::Ignored) << c.what;
    }
}

TEST(RoomRules, AddingRemovingAndBeingRemoved) {
    auto b = book();
    const auto& r = b.open("ann", {"bob", "BOB", "(All)", "carl"});
    EXPECT_EQ(r.members, (std::vector<std::string>{"ann", "bob", "carl"}));
    EXPECT_FALSE(b.add(kId, "ann", "Carl"));    // there already
    EXPECT_FALSE(b.remove(kId, "ann", "ann"));  // the own name stays
    const auto added = b.add(kId, "ann", "dave");
    ASSERT_TRUE(added);
    EXPECT_EQ(added->serial, 2u);
    EXPECT_EQ(added->members.back(), "dave");
    const auto removed = b.remove(kId, "ann", "bob");
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->members, (std::vector<std::string>{"ann", "carl", "dave"}));

    auto other = book();
    other.receive("dave", "ann", *added);
    const auto out = other.receive("dave", "carl", message(9, {"ann", "carl"}, Change::Removed, "dave"));
    EXPECT_EQ(out.kind, Outcome::Kind::Dropped);
    EXPECT_EQ(other.size(), 0u);
}

TEST(RoomRules, InvitationsNeverPushOutChatsTheUserTookPartIn) {
    int n = 0;
    const auto idOf = [](int i) {
        char id[33];
        std::snprintf(id, sizeof id, "%032x", i);
        return std::string(id);
    };
    RoomBook b([&] { return idOf(++n); });
    const std::string mine = b.open("ann", {"bob"}).id;
    const std::string written = idOf(100000);
    ASSERT_EQ(b.receive("ann", "bob", RoomMessage{written, 1, Change::State, {}, {"ann", "bob"}}).kind,
              Outcome::Kind::Joined);
    b.touch(written);  // ann wrote in it
    const std::string early = idOf(100001);
    b.receive("ann", "carl", RoomMessage{early, 1, Change::State, {}, {"ann", "carl"}});
    // A flood of chats from made-up members: chats nobody answered make
    // room, the one unused the longest first.
    for (int i = 0; i < 300; ++i)
        b.receive("ann", "x" + std::to_string(i),
                  RoomMessage{idOf(200000 + i), 1, Change::State, {}, {"ann", "x" + std::to_string(i)}});
    EXPECT_EQ(b.size(), RoomBook::kMaxRooms);
    EXPECT_TRUE(b.find(mine));
    EXPECT_TRUE(b.find(written));
    EXPECT_FALSE(b.find(early));
    EXPECT_TRUE(b.find(idOf(200000 + 299)));
    // Kept so across a restart; a file of an earlier build has every chat
    // taken part in.
    RoomBook back([&] { return idOf(++n); });
    EXPECT_EQ(LoadRooms(SaveRooms(b), back), 0u);
    EXPECT_TRUE(back.find(written)->takenPart);
    EXPECT_FALSE(back.find(idOf(200000 + 299))->takenPart);
    // When every chat kept is one the user took part in, an invitation is
    // refused; the user's own new chat still makes room.
    for (int i = 0; i < 300; ++i) back.touch(idOf(200000 + i));
    EXPECT_EQ(back.receive("ann", "y", RoomMessage{idOf(300000), 1, Change::State, {}, {"ann", "y"}}).kind,
              Outcome::Kind::Ignored);
    const std::string opened = back.open("ann", {"dave"}).id;
    EXPECT_TRUE(back.find(opened));
    EXPECT_TRUE(back.find(written));
}

TEST(RoomRules, AFloodOfChatsKeepsTheOnesInUse) {
    int n = 0;
    RoomBook b([&] {
        char id[33];
        std::snprintf(id, sizeof id, "%032x", ++n);
        return std::string(id);
    });
    const std::string kept = b.open("ann", {"bob"}).id;
    for (std::size_t i = 0; i < RoomBook::kMaxRooms - 1; ++i) b.open("ann", {"x"});
    b.touch(kept);
    b.open("ann", {"y"});
    EXPECT_EQ(b.size(), RoomBook::kMaxRooms);
    EXPECT_TRUE(b.find(kept));
    EXPECT_EQ(b.latestWith("BOB")->id, kept);
}

TEST(RoomFile, ChatsReadBackInTheirOrderAndDamagedLinesAreLeftOut) {
    int n = 0;
    auto ids = [&] {
        char id[33];
        std::snprintf(id, sizeof id, "%032x", ++n);
        return std::string(id);
    };
    RoomBook b(ids);
    const std::string older = b.open("ann", {"bob", "Carl Jr"}).id;
    const std::string newer = b.open("ann", {"dave"}).id;
    ASSERT_TRUE(b.add(older, "ann", "erin"));  // used last now
    RoomBook back(ids);
    EXPECT_EQ(LoadRooms(SaveRooms(b), back), 0u);
    ASSERT_TRUE(back.find(older));
    EXPECT_EQ(back.find(older)->members, (std::vector<std::string>{"ann", "bob", "Carl Jr", "erin"}));
    EXPECT_EQ(back.find(older)->serial, 2u);
    EXPECT_EQ(back.latestWith("ann")->id, older);
    ASSERT_TRUE(back.find(newer));

    RoomBook damaged(ids);
    const std::string text = "Lanyx shared chats 1\r\n" + std::string(32, 'g') + "\t1\tann\tann\n" +  // no id
                             std::string(32, 'a') + "\tx\tann\tann\n" +                               // no serial
                             std::string(32, 'b') + "\t1\tann\n" +                                    // nobody in it
                             std::string(32, 'c') + "\t3\tann\tann\tANN\n" +                          // twice
                             std::string(32, 'd') + "\t3\tann\tann\tbob\n";
    EXPECT_EQ(LoadRooms(text, damaged), 4u);
    EXPECT_EQ(damaged.size(), 1u);
    EXPECT_EQ(LoadRooms("something else\n" + std::string(32, 'e') + "\t1\tann\tann\n", damaged), 1u);
    EXPECT_EQ(damaged.size(), 1u);
}
