// The message boxes on the desktop: one per sender, a few in all.
#include "OpenBoxes.h"

#include <gtest/gtest.h>

#include <string>

using lanyx::OpenBoxes;
using Refusal = OpenBoxes::Refusal;

TEST(OpenBoxes, OneBoxPerSenderInAnyCaseUntilItIsClosed) {
    OpenBoxes boxes;
    struct Step {
        const char* open;
        const char* close;
        Refusal expected;
    };
    const Step steps[] = {
        {"ann", nullptr, Refusal::None},
        {"ANN", nullptr, Refusal::SenderHasOne},
        {"bob", nullptr, Refusal::None},
        {"Ann", "aNN", Refusal::None},  // closed first, then opened again
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.open);
        if (s.close) boxes.closed(s.close);
        EXPECT_EQ(boxes.open(s.open), s.expected);
        EXPECT_TRUE(boxes.isOpen(s.open));
    }
    EXPECT_FALSE(boxes.isOpen("carl"));
}

TEST(OpenBoxes, BeyondTheMostAtOnceANewSenderWaitsForOneToClose) {
    OpenBoxes boxes;
    for (std::size_t i = 0; i < OpenBoxes::kMax; ++i) ASSERT_EQ(boxes.open("u" + std::to_string(i)), Refusal::None);
    EXPECT_EQ(boxes.open("late"), Refusal::TooMany);
    EXPECT_FALSE(boxes.isOpen("late"));
    boxes.closed("u0");
    EXPECT_EQ(boxes.open("late"), Refusal::None);
}
