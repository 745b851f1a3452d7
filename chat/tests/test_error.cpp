#include "Error.h"

#include <gtest/gtest.h>

#include <memory>
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
