#include "Error.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

using namespace lanyx;

TEST(Result, HoldsTheValueOrTheErrorWithItsNumberAndText) {
    Result<std::string> good = std::string("text");
    ASSERT_TRUE(good);
    EXPECT_EQ(*good, "text");
    EXPECT_EQ(good->size(), 4u);

    Result<std::string> bad = Error{err::Overflow, "Overflow"};
    ASSERT_FALSE(bad.ok());
    EXPECT_EQ(bad.error().number, err::Overflow);
    EXPECT_EQ(bad.error().text, "Overflow");

    // A value that moves only is moved out, not copied.
    Result<std::unique_ptr<int>> owned = std::make_unique<int>(7);
    const auto taken = std::move(owned).value();
    EXPECT_EQ(*taken, 7);
}

TEST(Result, ReadingTheValueOfAFailureThrowsItAtTheEdge) {
    const Result<int> bad = Error{err::KeyNotUnique, "Key is not unique in collection"};
    try {
        (void)bad.value();
        FAIL() << "the value of a failure was read";
    } catch (const LanyxError& e) {
        EXPECT_EQ(e.number(), err::KeyNotUnique);
        EXPECT_STREQ(e.what(), "Key is not unique in collection");
        EXPECT_EQ(e.error().text, "Key is not unique in collection");
    }

    const Result<void> done;
    EXPECT_TRUE(done);
    EXPECT_NO_THROW(done.value());
    const Result<void> refused = Error{err::InvalidArgument, "Invalid procedure call or argument"};
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.error().number, err::InvalidArgument);
    EXPECT_THROW(refused.value(), LanyxError);
}

TEST(Reason, GivesTheNumberAndWordsAndKeepsTheDetailsForATranslation) {
    const auto e = failure(Reason::NotEnoughSpace, {"/home/ann", "100", "7"});
    EXPECT_EQ(e.reason, Reason::NotEnoughSpace);
    EXPECT_EQ(e.number, numberOf(Reason::NotEnoughSpace));
    EXPECT_EQ(e.text, fillWords(wordsFor(Reason::NotEnoughSpace), {"/home/ann", "100", "7"}));
    EXPECT_EQ(e.details, (std::vector<std::string>{"/home/ann", "100", "7"}));
    EXPECT_EQ(describe(e), std::to_string(e.number) + ": " + e.text);
    // Thrown at an edge, the reason goes with it.
    try {
        throw LanyxError(failure(Reason::NameListed));
    } catch (const LanyxError& thrown) {
        EXPECT_EQ(thrown.reason(), Reason::NameListed);
        EXPECT_EQ(thrown.number(), err::KeyNotUnique);
    }
}

TEST(Reason, FillsItsWordsInOnePassWithTheDetailsInTheirPlaces) {
    const struct {
        const char* words;
        std::vector<std::string> details;
        const char* filled;
    } cases[] = {
        {"%2 then %1", {"a", "b"}, "b then a"},
        {"%1 and %2", {"a"}, "a and "},        // a missing detail is nothing
        {"%1", {"50%2 off"}, "50%2 off"},      // a detail is not filled again
        {"100% of %1%", {"x"}, "100% of x%"},  // a lone % stays
        {"%0 %a", {"x"}, "%0 %a"},
    };
    for (const auto& c : cases) EXPECT_EQ(fillWords(c.words, c.details), c.filled) << c.words;
}

TEST(Reason, EveryReasonHasWordsAndAKeyOfItsOwn) {
    std::set<std::string_view> keys;
    for (auto r = 0; r <= static_cast<int>(Reason::LineTextEmpty); ++r) {
        const auto reason = static_cast<Reason>(r);
        EXPECT_FALSE(wordsFor(reason).empty()) << r;
        EXPECT_TRUE(keys.insert(keyOf(reason)).second) << keyOf(reason);
    }
}
