// Where a message shows the "not verified" mark: only on what others sent,
// whether the doubt is told live or read back from the history.
#include "Message.h"

#include <gtest/gtest.h>

#include <string>

using namespace lanyx;

TEST(Message, TheMarkIsOnReceivedMessagesInDoubtOnly) {
    struct Case {
        bool outgoing;
        bool notVerified;
        MessageTrust trust;
        bool marked;
    };
    const Case cases[] = {
        {false, false, MessageTrust::Plain, false},
        {false, false, MessageTrust::Signed, false},
        {false, false, MessageTrust::NotVerified, true},  // as the history keeps it
        {false, true, MessageTrust::NotVerified, true},
        {false, true, MessageTrust::Encrypted, true},  // sealed, under a name whose signature failed
        {false, false, MessageTrust::Encrypted, false},
        {true, false, MessageTrust::NotVerified, false},  // ours: never
        {true, true, MessageTrust::Plain, false},
    };
    for (const auto& c : cases) {
        Message m;
        m.outgoing = c.outgoing;
        m.notVerified = c.notVerified;
        m.trust = c.trust;
        m.text = "hi";
        EXPECT_EQ(m.showsNotVerified(), c.marked) << c.outgoing << c.notVerified << static_cast<int>(c.trust);
        EXPECT_EQ(MarkedText(m), c.marked ? std::string(kNotVerifiedMark) + "hi" : "hi");
        EXPECT_EQ(MarkedText(m, "<?> "), c.marked ? "<?> hi" : "hi");
    }
}
