// The changes of shared chats as they travel, and the rules every member
// applies to them.
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
    // arrives first, every member ends with the same list (the author's
    // name decides: carl's).
    const auto start = message(1, {"ann", "bob", "carl"});
    const auto byCarl = message(2, {"ann", "bob", "carl", "dave"}, Change::Added, "dave");
    const auto byBob = message(2, {"ann", "bob"}, Change::Removed, "carl");
    auto first = book(), second = book();
    first.receive("ann", "bob", start);
    second.receive("ann", "bob", start);
    first.receive("ann", "carl", byCarl);
    EXPECT_EQ(first.receive("ann", "bob", byBob).kind, Outcome::Kind::Ignored);
    second.receive("ann", "bob", byBob);
    EXPECT_EQ(second.receive("ann", "carl", byCarl).kind, Outcome::Kind::Changed);
    EXPECT_EQ(first.find(kId)->members, second.find(kId)->members);
    EXPECT_EQ(first.find(kId)->members, (std::vector<std::string>{"ann", "bob", "carl", "dave"}));
    // A change played back later is older than what is known.
    EXPECT_EQ(first.receive("ann", "bob", start).kind, Outcome::Kind::Ignored);
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
