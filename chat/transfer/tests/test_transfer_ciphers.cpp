// The real frame ciphers and their choice in the handshake: both ciphers
// open only what was sealed for this connection and direction, in order; a
// changed choice does not pass the signatures; a whole transfer, cut and
// resumed, arrives through either; the digest worker hashes like the
// digest on its own.
#include "TransferCrypto.h"
#include "TestFiles.h"
#include "TransferTestSupport.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace lanyx::transfer;
using namespace lanyx::test;

namespace {

struct Pair {
    Keys ann, bob;  // ann sends, bob receives
    std::string id = NewTransferId();
    ConnectionHandshake r{ConnectionHandshake::Role::Receiver, id, bob.secret, ann.pub};
    ConnectionHandshake s{ConnectionHandshake::Role::Sender, id, ann.secret, bob.pub};
    std::unique_ptr<FrameCipher> rc, sc;

    // Runs the handshake; `wire` may change the first message of each
    // direction.
    bool shake(const std::function<void(std::string&, bool toSender)>& wire = {}) {
        std::string toSender = r.start(), toReceiver, proof, none;
        if (wire) wire(toSender, true);
        const auto answered = s.consume(toSender, toReceiver);
        if (wire) wire(toReceiver, false);
        if (answered == ConnectionHandshake::Step::Failed) {
            if (!toReceiver.empty()) r.consume(toReceiver, none);
            return false;
        }
        if (r.consume(toReceiver, proof) != ConnectionHandshake::Step::Done) return false;
        if (s.consume(proof, none) != ConnectionHandshake::Step::Done) return false;
        rc = r.cipher();
        sc = s.cipher();
        return rc && sc;
    }
};

bool haveAes() {
    return (LocalCiphers() & kCipherAes256Gcm) != 0;
}

class EachCipher : public ::testing::TestWithParam<std::uint8_t> {
protected:
    void SetUp() override {
        if (GetParam() == kCipherAes256Gcm && !haveAes()) GTEST_SKIP() << "this processor has no AES instructions";
    }
};

TEST_P(EachCipher, FramesOpenOnlyInOrderOnTheirOwnConnectionAndDirection) {
    Pair p;
    p.r.setCiphers(GetParam());
    ASSERT_TRUE(p.shake()) << p.r.error() << p.s.error();
    EXPECT_EQ(p.r.chosen(), GetParam());
    EXPECT_EQ(p.s.chosen(), GetParam());

    FrameCodec out(p.sc.get()), in(p.rc.get());
    // Empty, short and the largest payload, fed a byte at a time.
    const std::string big = pattern(kMaxFramePayload, 3);
    std::string wire = out.encode(FrameType::Done, {});
    wire += out.encode(FrameType::Data, "abc");
    wire += out.encode(FrameType::Data, big);
    EXPECT_EQ(wire.find(big.substr(0, 64)), std::string::npos) << "plaintext on the wire";
    std::vector<std::string> got;
    FrameType t;
    std::string_view payload;
    for (char c : wire) {
        in.feed(std::string_view(&c, 1));
        while (in.next(t, payload)) got.emplace_back(payload);
    }
    ASSERT_FALSE(in.failed());
    EXPECT_EQ(got, (std::vector<std::string>{"", "abc", big}));

    // Swapped frames do not open.
    {
        FrameCodec in2(p.rc.get());
        auto a = out.encode(FrameType::Data, "one");
        auto b = out.encode(FrameType::Data, "two");
        in2.feed(b + a);
        EXPECT_FALSE(in2.next(t, payload));
        EXPECT_TRUE(in2.failed());
    }
    // A frame bounced back to its sender does not open there (each
    // direction has its key).
    {
        Pair q;
        q.r.setCiphers(GetParam());
        ASSERT_TRUE(q.shake());
        FrameCodec fromSender(q.sc.get()), atSender(q.sc.get());
        atSender.feed(fromSender.encode(FrameType::Data, "mirror"));
        EXPECT_FALSE(atSender.next(t, payload));
        // Nor on another connection between the same two.
        Pair other;
        other.r.setCiphers(GetParam());
        ASSERT_TRUE(other.shake());
        FrameCodec elsewhere(other.rc.get());
        elsewhere.feed(FrameCodec(q.sc.get()).encode(FrameType::Data, "x"));
        EXPECT_FALSE(elsewhere.next(t, payload));
    }
}

TEST_P(EachCipher, AnyChangedByteEndsTheConnection) {
    // Every byte of a frame (length, body, tag), flipped in turn.
    for (std::size_t at = 0;; ++at) {
        Pair p;
        p.r.setCiphers(GetParam());
        ASSERT_TRUE(p.shake());
        FrameCodec out(p.sc.get()), in(p.rc.get());
        auto first = out.encode(FrameType::Data, "first frame");
        if (at >= first.size()) break;
        first[at] = static_cast<char>(first[at] ^ 0x01);
        in.feed(first + out.encode(FrameType::Data, "second"));
        FrameType t;
        std::string p1;
        // A longer length waits for more, and then fails on what follows.
        bool opened = in.next(t, p1);
        EXPECT_FALSE(opened && p1 == "first frame") << "byte " << at;
        if (opened) {
            EXPECT_FALSE(in.next(t, p1) && p1 == "second") << "byte " << at;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Ciphers, EachCipher, ::testing::Values(kCipherAes256Gcm, kCipherXChaCha20Stream),
                         [](const auto& each) { return each.param == kCipherAes256Gcm ? "Aes256Gcm" : "XChaCha20"; });

TEST_P(EachCipher, AFileArrivesCutAndResumedOverNewConnections) {
    TempDir src, dst;
    writeBytes(src / "big.bin", pattern(5 * kChunk + 321, 9));
    writeBytes(src / "small.txt", "tiny");
    auto sel = GatherLocal({src / "big.bin", src / "small.txt"});
    auto offer = offerOf(sel);
    ReceiverSession r(offer, dst.path(), Blake2bDigests());
    const auto digests = Blake2bDigests();
    // Three connections: cut after 2 chunks, cut after a damaged frame,
    // then to the end; each with its own handshake.
    for (int round = 0; round < 3 && r.state() == SessionState::Running; ++round) {
        Pair p;
        p.r.setCiphers(GetParam());
        ASSERT_TRUE(p.shake());
        SenderSession s(offer, sel, digests, p.sc.get());
        s.received(r.connect(p.rc.get()));
        std::size_t moved = 0;
        bool damaged = false;
        for (int i = 0; i < 10000; ++i) {
            auto back = r.takeOutput();
            if (!back.empty()) s.received(back);
            auto out = s.nextOutput(1 << 20);
            if (out.empty() && back.empty()) break;
            if (round == 0 && moved + out.size() > 2 * kChunk) out.resize(2 * kChunk - moved);
            if (round == 1 && !damaged && out.size() > kChunk) {
                out[out.size() / 2] ^= 0x20;
                damaged = true;
            }
            moved += out.size();
            r.received(out);
            if (round == 0 && moved >= 2 * kChunk) break;
            if (!r.error().empty()) break;
        }
        if (round < 2) {
            EXPECT_EQ(r.state(), SessionState::Running);
            EXPECT_FALSE(fs::exists(dst / "big.bin")) << "round " << round;
            r.dropped();
        }
    }
    ASSERT_EQ(r.state(), SessionState::Finished) << r.error();
    EXPECT_EQ(readBytes(dst / "big.bin"), readBytes(src / "big.bin"));
    EXPECT_EQ(readBytes(dst / "small.txt"), "tiny");
}

TEST(CipherChoice, TheSenderPicksWhatBothCanAndAChangedChoiceFails) {
    EXPECT_EQ(ChooseCipher(kCipherAes256Gcm | kCipherXChaCha20Stream, kCipherAes256Gcm | kCipherXChaCha20Stream),
              kCipherAes256Gcm);
    EXPECT_EQ(ChooseCipher(kCipherAes256Gcm | kCipherXChaCha20Stream, kCipherXChaCha20Stream), kCipherXChaCha20Stream);
    EXPECT_EQ(ChooseCipher(kCipherXChaCha20Stream | 0x80, kCipherAes256Gcm | kCipherXChaCha20Stream),
              kCipherXChaCha20Stream);
    EXPECT_EQ(ChooseCipher(kCipherAes256Gcm, kCipherXChaCha20Stream), 0);
    EXPECT_NE(LocalCiphers() & kCipherXChaCha20Stream, 0);
    {
        // The sender without AES: both use the stream cipher.
        Pair p;
        p.s.setCiphers(kCipherXChaCha20Stream);
        ASSERT_TRUE(p.shake());
        EXPECT_EQ(p.r.chosen(), kCipherXChaCha20Stream);
        FrameCodec out(p.sc.get()), in(p.rc.get());
        in.feed(out.encode(FrameType::Data, "agreed"));
        std::string payload;
        FrameType t;
        ASSERT_TRUE(in.next(t, payload));
        EXPECT_EQ(payload, "agreed");
    }
    {
        // A receiver that offers only ciphers the sender does not know:
        // both fail, and the receiver learns why.
        Pair p;
        p.r.setCiphers(0x80);
        EXPECT_FALSE(p.shake());
        EXPECT_NE(p.s.error().find("no cipher in common"), std::string::npos) << p.s.error();
        EXPECT_NE(p.r.error().find("no cipher in common"), std::string::npos) << p.r.error();
        EXPECT_FALSE(p.r.cipher());
        EXPECT_FALSE(p.s.cipher());
    }
    {
        // Someone on the way strips AES from the offer to force the other
        // cipher: the receiver's check of the sender's signature fails.
        Pair p;
        EXPECT_FALSE(p.shake([](std::string& bytes, bool toSender) {
            if (toSender) bytes[32] = static_cast<char>(kCipherXChaCha20Stream);
        }));
        EXPECT_NE(p.r.error().find("not the one known"), std::string::npos) << p.r.error();
    }
    {
        // ... or changes the sender's choice on the way back.
        Pair p;
        EXPECT_FALSE(p.shake([](std::string& bytes, bool toSender) {
            if (!toSender) bytes[32] = static_cast<char>(bytes[32] ^ (kCipherAes256Gcm | kCipherXChaCha20Stream));
        }));
        EXPECT_FALSE(p.r.error().empty());
    }
    {
        // The sender keeps to the offer even when it could do more.
        Pair p;
        p.r.setCiphers(kCipherXChaCha20Stream);
        p.s.setCiphers(kCipherAes256Gcm | kCipherXChaCha20Stream);
        ASSERT_TRUE(p.shake());
        EXPECT_EQ(p.s.chosen(), kCipherXChaCha20Stream);
    }
}

// Moves one transfer over the connection of `p` until nothing more comes,
// cutting the stream after `cutAfter` bytes when that is set.
void runOver(Pair& p, SenderSession& s, ReceiverSession& r, std::size_t cutAfter = 0) {
    s.received(r.connect(p.rc.get()));
    std::size_t moved = 0;
    for (int i = 0; i < 10000 && r.state() == SessionState::Running && r.error().empty(); ++i) {
        auto back = r.takeOutput();
        if (!back.empty()) s.received(back);
        auto out = s.nextOutput(1 << 20);
        if (out.empty() && back.empty()) break;
        if (cutAfter && moved + out.size() > cutAfter) out.resize(cutAfter - moved);
        moved += out.size();
        r.received(out);
        if (cutAfter && moved >= cutAfter) break;
    }
    auto last = r.takeOutput();
    if (!last.empty()) s.received(last);
}

Digest::Value tagOf(Digest& d, const std::string& bytes) {
    d.update(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return d.final();
}

TEST(KeyedFileChecks, BothSidesAgreeOnAKeyPerFileAndConnection) {
    const std::string bytes = pattern(3 * kChunk + 7, 5);
    Pair p;
    ASSERT_TRUE(p.shake());
    ASSERT_TRUE(p.r.keyedChecks());
    ASSERT_TRUE(p.s.keyedChecks());
    auto atReceiver = p.rc->fileCheck(0), atSender = p.sc->fileCheck(0);
    ASSERT_TRUE(atReceiver && atSender);
    const auto tag = tagOf(*atSender, bytes);
    EXPECT_EQ(tagOf(*atReceiver, bytes), tag);
    // Another file, another connection, another byte: another tag.
    EXPECT_NE(tagOf(*p.sc->fileCheck(1), bytes), tag);
    Pair q;
    ASSERT_TRUE(q.shake());
    EXPECT_NE(tagOf(*q.sc->fileCheck(0), bytes), tag);
    auto changed = bytes;
    changed[kChunk] ^= 1;
    EXPECT_NE(tagOf(*p.rc->fileCheck(0), changed), tag);

    // A side that does not know them (an earlier build) leaves both on the
    // digests, and a transfer still arrives whole.
    for (bool receiverKnows : {false, true}) {
        Pair old;
        (receiverKnows ? old.s : old.r).setKeyedChecks(false);
        ASSERT_TRUE(old.shake());
        EXPECT_FALSE(old.r.keyedChecks());
        EXPECT_FALSE(old.s.keyedChecks());
        EXPECT_FALSE(old.rc->fileCheck(0));
        EXPECT_FALSE(old.sc->fileCheck(0));
        TempDir src, dst;
        writeBytes(src / "a.bin", bytes);
        auto sel = GatherLocal({src / "a.bin"});
        auto offer = offerOf(sel);
        ReceiverSession r(offer, dst.path(), Blake2bDigests(false));
        SenderSession s(offer, sel, Blake2bDigests(false), old.sc.get());
        runOver(old, s, r);
        ASSERT_EQ(r.state(), SessionState::Finished) << r.error();
        EXPECT_EQ(readBytes(dst / "a.bin"), bytes);
    }
    // Taking the bit out of the offer on the way does not pass the
    // receiver's check of the sender's signature.
    Pair stripped;
    EXPECT_FALSE(stripped.shake([](std::string& wire, bool toSender) {
        if (toSender) wire[32] = static_cast<char>(wire[32] & ~kKeyedFileChecks);
    }));
}

TEST(KeyedFileChecks, APartialFileChangedBetweenConnectionsIsCaughtAtTheEnd) {
    // What was kept of an interrupted file is read back under the new
    // connection's key: a change on disk meanwhile fails the file, and
    // nothing damaged gets its final name.
    TempDir src, dst;
    const std::string bytes = pattern(6 * kChunk, 8);
    writeBytes(src / "big.bin", bytes);
    auto sel = GatherLocal({src / "big.bin"});
    auto offer = offerOf(sel);
    ReceiverSession r(offer, dst.path(), Blake2bDigests(false));
    {
        Pair p;
        ASSERT_TRUE(p.shake());
        SenderSession sealed(offer, sel, Blake2bDigests(false), p.sc.get());
        runOver(p, sealed, r, 3 * kChunk);
        r.dropped();
    }
    ASSERT_EQ(r.state(), SessionState::Running);
    const auto partial = PartialName(dst / "big.bin");
    auto kept = readBytes(partial);
    ASSERT_GT(kept.size(), kChunk);
    kept[kChunk / 2] ^= 0x10;
    writeBytes(partial, kept);
    Pair p;
    ASSERT_TRUE(p.shake());
    SenderSession s(offer, sel, Blake2bDigests(false), p.sc.get());
    runOver(p, s, r);
    EXPECT_EQ(r.state(), SessionState::Failed);
    EXPECT_NE(r.error().find("damaged"), std::string::npos) << r.error();
    EXPECT_FALSE(fs::exists(dst / "big.bin"));
    EXPECT_FALSE(fs::exists(partial));
}

TEST(DigestWorker, HashesLikeTheDigestOnItsOwnWhateverThePieces) {
    const std::string data = pattern(3 * kDigestHandOver + 12345, 4);
    auto once = Blake2bDigests(false)();
    once->update(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    const auto expected = once->final();

    auto factory = Blake2bDigests();
    // Two digests at once, each fed big and small pieces mixed, so that a
    // small piece has to wait behind a big one.
    auto a = factory(), b = factory();
    const std::size_t cuts[] = {1, kDigestHandOver * 2, 7, kDigestHandOver, 100};
    std::size_t at = 0;
    for (int i = 0; at < data.size(); ++i) {
        const auto n = std::min(cuts[i % 5], data.size() - at);
        a->update(reinterpret_cast<const unsigned char*>(data.data() + at), n);
        b->update(reinterpret_cast<const unsigned char*>(data.data() + at), n);
        at += n;
    }
    EXPECT_EQ(a->final(), expected);
    EXPECT_EQ(b->final(), expected);
    // One left with work queued is freed safely.
    auto c = factory();
    c->update(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    c.reset();
    factory = nullptr;
}

}  // namespace
