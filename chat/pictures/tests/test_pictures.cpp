// Announcements of pictures between copies of ours on a simulated segment:
// a member's is taken and waits for its file; one from somebody outside the
// chat it names, one too large and one too many this minute are refused.
#include "PictureService.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::pictures;
using namespace lanyx::test;

namespace {

const std::string kRoom = "0123456789abcdef0123456789abcdef";

struct User {
    User(MemorySegment& seg, const std::string& name) : peer(seg, name), pictures(peer.node) {
        pictures.setMembers([](const std::string& id) {
            return id == kRoom ? std::vector<std::string>{"ann", "bob"} : std::vector<std::string>{};
        });
        peer.joinAs(name);
    }
    Peer peer;
    PictureService pictures;
};

Announcement picture(std::uint64_t line, std::string chat = {}, std::uint64_t size = 1000) {
    return {line, std::move(chat), size, std::string(64, 'a'), Type::Png};
}

class Pictures : public ::testing::Test {
protected:
    Pictures() : ann(seg, "ann"), bob(seg, "bob"), carl(seg, "carl") { seg.runFor(3000); }
    Refusal announce(User& from, const Announcement& a) {
        EXPECT_EQ(from.peer.node.CanTake("bob", kWord), Reach::Yes);
        from.pictures.announce("bob", a);
        seg.runFor(500);
        return bob.pictures.lastRefusal();
    }
    MemorySegment seg;
    User ann, bob, carl;
};

}  // namespace

TEST_F(Pictures, AMembersPictureIsTakenAndWaitsForItsFile) {
    struct Case {
        std::uint64_t line;
        std::string chat;
    } cases[] = {{0x11, {}}, {0x12, "#" + kRoom}};
    for (const auto& c : cases) {
        const auto a = picture(c.line, c.chat);
        ASSERT_EQ(announce(ann, a), Refusal::None);
        const auto name = FileNameOf(c.line, Type::Png);
        const auto* e = bob.pictures.expected("ann", name, a.size);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->announcement, a);
        // Another size, or another sender, is not what was announced.
        EXPECT_EQ(bob.pictures.expected("ann", name, a.size + 1), nullptr);
        EXPECT_EQ(bob.pictures.expected("carl", name, a.size), nullptr);
        EXPECT_TRUE(bob.pictures.take("ann", name));
        EXPECT_EQ(bob.pictures.expected("ann", name, a.size), nullptr);
    }
}

TEST_F(Pictures, ANonMembersOrAnOversizedPictureIsRefused) {
    struct Case {
        Announcement a;
        Refusal why;
    } cases[] = {
        {picture(0x21, "#" + kRoom), Refusal::NotMember},                          // carl is not in the chat
        {picture(0x22, "#fedcba9876543210fedcba9876543210"), Refusal::NotMember},  // a chat bob is not in
        {picture(0x23, {}, kMaxBytes + 1), Refusal::TooLarge},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(announce(carl, c.a), c.why);
        EXPECT_EQ(bob.pictures.expected("carl", FileNameOf(c.a.line, Type::Png), c.a.size), nullptr);
    }
    EXPECT_EQ(bob.pictures.waiting(), 0u);
}

TEST_F(Pictures, ASenderSendsSoManyPicturesAMinute) {
    for (std::size_t i = 0; i < PictureService::kPerMinute; ++i)
        ASSERT_EQ(announce(ann, picture(0x100 + i)), Refusal::None);
    EXPECT_EQ(announce(ann, picture(0x200)), Refusal::TooFast);
    // Others are not held up by him.
    EXPECT_EQ(announce(carl, picture(0x300)), Refusal::None);
    // A minute later he sends again.
    for (User* u : {&ann, &bob, &carl}) u->peer.clockOffsetMicros += 61'000'000;
    EXPECT_EQ(announce(ann, picture(0x201)), Refusal::None);
}

TEST_F(Pictures, AnAnnouncedPictureIsWaitedForAWhileOnly) {
    ASSERT_EQ(announce(ann, picture(0x31)), Refusal::None);
    for (User* u : {&ann, &bob, &carl}) u->peer.clockOffsetMicros += (PictureService::kWaitMs + 1000) * 1000;
    EXPECT_EQ(bob.pictures.expected("ann", FileNameOf(0x31, Type::Png), 1000), nullptr);
}

TEST(PictureMessages, WhatDoesNotReadIsRefused) {
    const std::string hash(64, 'b');
    struct Case {
        std::string body;
        bool reads;
    } cases[] = {
        {"1\n0000000000000abc\n\n2048\n" + hash + "\npng", true},
        {"1\n0000000000000abc\n#" + kRoom + "\n1\n" + hash + "\nwebp", true},
        {"1\n0000000000000abc\n\n20971520\n" + hash + "\ngif", true},  // reads; the service refuses the size
        {"2\n0000000000000abc\n\n2048\n" + hash + "\npng", false},     // a later format
        {"1\n0000000000000000\n\n2048\n" + hash + "\npng", false},     // no line is 0
        {"1\n0000000000000abc\nbob\n2048\n" + hash + "\npng", false},  // not a chat's id
        {"1\n0000000000000abc\n#0123\n2048\n" + hash + "\npng", false},
        {"1\n0000000000000abc\n\n0\n" + hash + "\npng", false},
        {"1\n0000000000000abc\n\n02048\n" + hash + "\npng", false},
        {"1\n0000000000000abc\n\n1000000000\n" + hash + "\npng", false},
        {"1\n0000000000000abc\n\n2048\n" + std::string(63, 'b') + "\npng", false},
        {"1\n0000000000000abc\n\n2048\n" + std::string(64, 'B') + "\npng", false},
        {"1\n0000000000000abc\n\n2048\n" + hash + "\nbmp", false},
        {"1\n0000000000000abc\n\n2048\n" + hash + "\npng\n", false},
        {"1\n0000000000000abc\n\n2048\n" + hash, false},
    };
    for (const auto& c : cases) {
        const auto a = Decode(c.body);
        EXPECT_EQ(a.has_value(), c.reads) << c.body;
        if (a) {
            EXPECT_EQ(Encode(*a), c.body);
        }
    }
}

TEST(PictureMessages, TheFirstBytesNameTheType) {
    struct Case {
        std::string head;
        std::optional<Type> type;
    } cases[] = {
        {std::string("\x89PNG\r\n\x1a\n", 8) + "rest", Type::Png},
        {"\xFF\xD8\xFF\xE0", Type::Jpeg},
        {"GIF89a..", Type::Gif},
        {std::string("RIFF\x10\0\0\0WEBPVP8 ", 16), Type::Webp},
        {std::string("RIFF\x10\0\0\0WAVE", 12), std::nullopt},
        {"<html>", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(TypeOfBytes(c.head), c.type) << c.head;
}
