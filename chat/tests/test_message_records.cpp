// What the history is told of the messages that come and go.
#include "MessageRecords.h"
#include "Wire.h"

#include <gtest/gtest.h>

#include <vector>

using namespace lanyx;

namespace {

struct KeptRecords : MessageObserver {
    void message(const Message& m) override { messages.push_back(m); }
    std::vector<Message> messages;
};

class Records : public ::testing::Test {
protected:
    Records() { observers.add(&kept); }
    std::string me = "ann";
    bool open = true;
    bool signing = true;
    KeptRecords kept;
    MessageObservers observers;
    MessageRecords records{observers,
                           {[this]() -> const std::string& { return me; }, [this] { return open; },
                            [this] { return signing; }}};
};

}  // namespace

TEST_F(Records, OnlyAlertsAndChatLinesThatLeftAreKeptAsSent) {
    struct Case {
        const char* name;
        bool open;
        const char* recipient;  // nullptr: to everybody
        std::string text;
        std::size_t kept;
        MessageKind kind;
    };
    const std::string chat(wire::ChatMark), alert(wire::AlertMark);
    const Case cases[] = {
        {"chat to all", true, nullptr, chat + "hello", 1, MessageKind::Chat},
        {"alert to all", true, nullptr, alert + "hello", 1, MessageKind::Alert},
        {"join notice", true, nullptr, "", 0, {}},
        {"network closed", false, nullptr, chat + "hello", 0, {}},
        {"private chat", true, "bob", chat + "hi", 1, MessageKind::PrivateChat},
        {"private alert", true, "bob", alert + "hi", 1, MessageKind::PrivateAlert},
        {"to the own name", true, "ANN", chat + "hi", 0, {}},
        {"to nobody", true, "", chat + "hi", 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        kept.messages.clear();
        open = c.open;
        DeliveryReport report;
        report.id = 7;
        if (c.recipient) records.sentPrivate(c.recipient, c.text, report, 9, {});
        else records.sentToAll(c.text);
        ASSERT_EQ(kept.messages.size(), c.kept);
        if (c.kept == 0) continue;
        EXPECT_EQ(kept.messages[0].kind, c.kind);
        EXPECT_TRUE(kept.messages[0].outgoing);
        if (c.recipient) {
            EXPECT_EQ(kept.messages[0].lineId, 9u);
        }
    }
}

TEST_F(Records, WhatCameFromTheOwnNameIsNotKeptAsReceived) {
    Message m;
    m.peer = "ANN";
    records.received(m);
    m.peer = "bob";
    records.received(m);
    ASSERT_EQ(kept.messages.size(), 1u);
    EXPECT_EQ(kept.messages[0].peer, "bob");
}
