#include "MenuCaption.h"

#include <gtest/gtest.h>

using lanyx::ui::MenuCaption;
using lanyx::ui::ParseMenuCaption;

TEST(MenuCaption, FlagHelpAndCaption) {
    auto c = ParseMenuCaption("#|Show/hide this bar|Status Bar");
    EXPECT_EQ(c.mark, MenuCaption::Mark::CheckBox);
    EXPECT_EQ(c.help, "Show/hide this bar");
    EXPECT_EQ(c.text, "Status Bar");
    EXPECT_FALSE(c.separator);

    c = ParseMenuCaption("*|Accept alerts|Available");
    EXPECT_EQ(c.mark, MenuCaption::Mark::Radio);
    EXPECT_EQ(c.text, "Available");

    c = ParseMenuCaption("||Show &Main Window");
    EXPECT_EQ(c.mark, MenuCaption::Mark::None);
    EXPECT_EQ(c.help, "");
    EXPECT_EQ(c.text, "Show &Main Window");
}

TEST(MenuCaption, SeparatorsAndPlainCaptions) {
    auto c = ParseMenuCaption("-Window");
    EXPECT_TRUE(c.separator);
    EXPECT_EQ(c.text, "Window");
    c = ParseMenuCaption("-");
    EXPECT_TRUE(c.separator);
    EXPECT_EQ(c.text, "");
    c = ParseMenuCaption("&View");
    EXPECT_FALSE(c.separator);
    EXPECT_EQ(c.text, "&View");
    EXPECT_EQ(c.help, "");
    // The caption may hold further bars (a web link's address as help).
    c = ParseMenuCaption("|https://x/|&Home\thttps://x/");
    EXPECT_EQ(c.help, "https://x/");
    EXPECT_EQ(c.text, "&Home\thttps://x/");
    EXPECT_EQ(ParseMenuCaption("|only").text, "only");
}
