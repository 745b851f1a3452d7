// Decisions the windows make through UserChoices: a language switch that
// fails at any point leaves the language that was chosen before.
#include "TestSupport.h"
#include "UserChoices.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

using namespace lanyx;
using namespace lanyx::test;

TEST(UserChoices, ALanguageSwitchKeepsTheNewLanguageOnlyWhenEverythingAfterItWorked) {
    struct Case {
        bool windowsFail;
        bool kept;
    };
    for (const Case c : {Case{false, true}, Case{true, false}}) {
        MemorySegment seg;
        Peer ann(seg, "ann");
        UserChoices choices(ann.node);
        const std::string before = ann.node.settings().Language;
        ASSERT_NE(before, "Deutsch");
        const std::function<void()> windows = [&] {
            if (c.windowsFail) throw std::runtime_error("windows");
        };
        if (c.windowsFail) EXPECT_ANY_THROW(choices.switchLanguage("Deutsch", windows));
        else choices.switchLanguage("Deutsch", windows);
        EXPECT_EQ(ann.node.settings().Language, c.kept ? "Deutsch" : before) << c.windowsFail;
    }
}
