#include "Error.h"
#include "Text.h"
#include "UserList.h"

#include <gtest/gtest.h>

using namespace lanyx;

namespace {

struct Counter : UserListObserver {
    int blockedChanges = 0, changed = 0;
    void blockedChanged() override { ++blockedChanges; }
    void userChanged(std::size_t) override { ++changed; }
};

const std::string kWords = "user|users|online|";

}  // namespace

TEST(UserList, RowsAreAllThenUsersThenGroups) {
    UserList l;
    l.setGroups({"team|ann|bob|"});
    l.addUser("ann");
    l.addUser("Bob");
    ASSERT_EQ(l.rowCount(), 4u);
    EXPECT_EQ(l.rowText(0), "(All)");
    EXPECT_EQ(l.rowIcon(0), IconAll);
    EXPECT_EQ(l.rowText(2), "Bob");
    EXPECT_EQ(l.rowText(3), "(team)");
    EXPECT_EQ(l.rowIcon(3), IconGroup);
    // Emptying keeps "(All)" and the groups.
    l.ClearlvUsers();
    EXPECT_EQ(l.rowCount(), 2u);
    EXPECT_EQ(l.StatusCaption(kWords), " 0 users online (-0)");
}

TEST(UserList, LookupsSurviveRemovalInTheMiddle) {
    UserList l;
    for (auto n : {"a", "b", "c", "d"}) l.addUser(n);
    // Observers see the rows as they were, then the last row in the gap.
    struct Watch : UserListObserver {
        UserList* l = nullptr;
        std::string before;
        void userAboutToBeRemoved(std::size_t i) override { before = l->user(i).text + l->user(3).text; }
    } w;
    w.l = &l;
    l.addObserver(&w);
    l.removeUser(*l.findExact("b"));
    EXPECT_EQ(w.before, "bd");
    EXPECT_EQ(*l.findExact("c"), 2u);
    EXPECT_EQ(*l.findNoCase("D"), 1u);
    EXPECT_EQ(l.user(1).text, "d");
    EXPECT_FALSE(l.findExact("b"));
    l.removeUser(2);  // the last row itself
    EXPECT_EQ(l.userCount(), 2u);
    EXPECT_FALSE(l.findExact("c"));
    EXPECT_EQ(*l.findExact("d"), 1u);
    l.removeObserver(&w);
    EXPECT_FALSE(l.findExact("C"));  // exact means exact
    // Names that differ only in case cannot both be listed: refused, and
    // thrown by the form for names known to be new.
    const auto listed = l.userCount();
    const auto refused = l.tryAddUser("A");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().number, err::KeyNotUnique);
    EXPECT_EQ(l.userCount(), listed);
    try {
        l.addUser("A");
        FAIL() << "a name listed in another case was added";
    } catch (const LanyxError& e) {
        EXPECT_EQ(e.number(), err::KeyNotUnique);
    }
}

TEST(UserList, GroupMembersMatchWithoutCaseAndComeBackAsListed) {
    UserList l;
    l.addUser("Ann");
    l.addUser("bob");
    l.setGroups({"Sales|ann|zed|ann|BOB|", "sales|bob|"});
    EXPECT_EQ(l.GetActiveGroupList("(Sales)"), "Ann|Ann|bob|");  // absent zed adds nothing, twice is twice
    EXPECT_EQ(l.GetActiveGroupList("(sales)"), "bob|");          // the group name keeps its case
    EXPECT_EQ(l.GetActiveGroupList("(nobody)"), "");
    EXPECT_EQ(l.GetActiveGroupList("Sales"), "Ann|Ann|bob|");
}

TEST(UserList, BlockTwiceMarksAndUnmarks) {
    UserList l;
    Counter c;
    l.addObserver(&c);
    l.addUser("bob");
    l.addUser("ann");
    l.setGroups({"g|x|"});
    EXPECT_EQ(l.StatusCaption(kWords), " 2 users online (-0)");
    l.AddBlocked("BOB");
    EXPECT_EQ(l.user(0).icon, IconBlocked);
    EXPECT_TRUE(l.IsBlocked("bob"));
    EXPECT_EQ(l.StatusCaption(kWords), " 2 users online (-1)");
    l.AddBlocked("bob");  // already there, any case
    EXPECT_EQ(l.blocked().size(), 1u);
    l.RemoveBlock("Bob");
    EXPECT_EQ(l.user(0).icon, IconUser);
    EXPECT_EQ(l.StatusCaption(kWords), " 2 users online (-0)");
    l.removeUser(1);
    EXPECT_EQ(l.StatusCaption(kWords), " 1 user online (-0)");

    // Removing from an empty list does nothing at all.
    const int before = c.blockedChanges;
    l.RemoveBlock("nobody");
    EXPECT_EQ(c.blockedChanges, before);
    // A newcomer who is blocked is marked from the start.
    l.AddBlocked("eve");
    l.addUser("Eve");
    EXPECT_EQ(l.user(*l.findExact("Eve")).icon, IconBlocked);
}

TEST(UserList, NameTakenAndColours) {
    UserList l;
    l.addUser("ann");
    l.addUser("bob");
    l.setColour(1, 255);
    EXPECT_TRUE(l.IsNameTaken("BOB", "ann"));
    EXPECT_FALSE(l.IsNameTaken("ann", "ann"));  // only the own row
    EXPECT_FALSE(l.IsNameTaken("carl", "ann"));
    EXPECT_EQ(l.GetColorForUName("Bob"), 255u);
    EXPECT_EQ(l.GetColorForUName("carl"), 0u);
    EXPECT_EQ(l.GetColorForUName("(All)"), 0u);
}

TEST(UserList, NameIndexFollowsEveryRowThroughGrowthAndRemovals) {
    UserList l;
    std::vector<std::string> names;
    for (int i = 0; i < 3000; ++i) {
        names.push_back((i % 2 ? "User" : "user.") + std::to_string(i));
        l.addUser(names.back());
    }
    // Remove from the front, the middle and the end, in a scattered order.
    for (int k = 0; k < 1500; ++k) {
        const auto i = (k * 7919) % names.size();
        l.removeUser(*l.findExact(names[i]));
        // The last row takes the removed one's place.
        names[i] = names.back();
        names.pop_back();
    }
    ASSERT_EQ(l.userCount(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        ASSERT_EQ(l.findExact(names[i]), i) << names[i];
        ASSERT_EQ(l.findNoCase(toLower(names[i])), i) << names[i];
        ASSERT_EQ(l.user(i).text, names[i]);
    }
    EXPECT_FALSE(l.findExact("user.0"));
    l.addUser("user.0");  // a removed name can come back
    EXPECT_EQ(*l.findExact("user.0"), names.size());
    l.ClearlvUsers();
    EXPECT_FALSE(l.findNoCase("user.0"));
    l.addUser("USER.0");
    EXPECT_EQ(*l.findNoCase("user.0"), 0u);
}

TEST(UserList, ToggleBlockedFlipsEachNameOnceInOnePass) {
    UserList l;
    Counter c;
    l.addObserver(&c);
    for (auto n : {"ann", "bob", "carl"}) l.addUser(n);
    l.AddBlocked("Bob");
    const int before = c.blockedChanges;
    // Bob is unblocked (also when named twice, in any case), ann and carl blocked.
    l.ToggleBlocked({"ann", "bob", "BOB", "carl", ""});
    EXPECT_EQ(c.blockedChanges, before + 1);
    EXPECT_EQ(l.blocked(), (std::vector<std::string>{"ann", "carl"}));
    EXPECT_FALSE(l.IsBlocked("bob"));
    EXPECT_EQ(l.user(*l.findExact("ann")).icon, IconBlocked);
    EXPECT_EQ(l.user(*l.findExact("bob")).icon, IconUser);
    l.removeObserver(&c);
}
