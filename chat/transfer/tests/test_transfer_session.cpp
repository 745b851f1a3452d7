// Two ends of one transfer, joined in memory: what arrives, what resumes,
// and what a hostile sender or a damaged connection cannot do.
#include "TransferSession.h"
#include "TestFiles.h"
#include "TransferTestSupport.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;
using namespace lanyx::transfer;
using lanyx::test::readBytes;
using lanyx::test::TempDir;
using lanyx::test::writeBytes;
using namespace lanyx::test;

namespace {

// Stands in for the real cipher: a running key and a check byte, enough
// that a changed, dropped or reordered frame does not open.
class TestCipher : public FrameCipher {
public:
    std::string seal(std::string_view plain) override {
        std::string out(plain);
        unsigned char sum = static_cast<unsigned char>(sealed_++);
        for (auto& c : out) {
            sum = static_cast<unsigned char>(sum * 31 + static_cast<unsigned char>(c));
            c = static_cast<char>(c ^ 0x5A);
        }
        out += static_cast<char>(sum);
        return out;
    }
    std::optional<std::string> open(std::string_view sealed) override {
        if (sealed.empty()) return std::nullopt;
        std::string out(sealed.substr(0, sealed.size() - 1));
        unsigned char sum = static_cast<unsigned char>(opened_++);
        for (auto& c : out) {
            c = static_cast<char>(c ^ 0x5A);
            sum = static_cast<unsigned char>(sum * 31 + static_cast<unsigned char>(c));
        }
        if (static_cast<char>(sum) != sealed.back()) return std::nullopt;
        return out;
    }
    std::size_t overhead() const override { return 1; }

private:
    unsigned sealed_ = 0, opened_ = 0;
};

// Runs both ends until nothing moves, or until `budget` bytes went from
// sender to receiver (a connection cut halfway).
void pump(SenderSession& s, ReceiverSession& r, std::string first, std::size_t budget = SIZE_MAX,
          std::function<void(std::string&)> wire = {}) {
    s.received(first);
    std::size_t moved = 0;
    for (int rounds = 0; rounds < 100000; ++rounds) {
        auto back = r.takeOutput();
        if (!back.empty()) s.received(back);
        auto out = s.nextOutput(1 << 20);
        if (out.empty() && back.empty()) return;
        if (moved + out.size() > budget) out.resize(budget - moved);
        moved += out.size();
        if (wire) wire(out);
        r.received(out);
        if (moved == budget) return;
    }
    FAIL() << "the transfer never settled";
}

struct Fixture {
    TempDir src, dst;
    Fixture() {
        fs::create_directories(src / "Fotos" / "2026");
        fs::create_directories(src / "Fotos" / "empty");
        writeBytes(src / "Fotos" / "a.jpg", pattern(3 * kChunk + 17, 1));
        writeBytes(src / "Fotos" / "2026" / "zero.txt", "");
        writeBytes(src / "notes.txt", "hello");
    }
};

}  // namespace

TEST(TransferSession, AFolderTreeAndAFileArriveByteForByteThroughTheCipher) {
    Fixture f;
    fs::create_symlink("/etc/passwd", f.src / "Fotos" / "link");
    auto sel = GatherLocal({f.src / "Fotos", f.src / "notes.txt"});
    EXPECT_EQ(sel.files, 3u);
    ASSERT_EQ(sel.skipped.size(), 1u);
    EXPECT_NE(sel.skipped[0].find("a link"), std::string::npos);
    auto offer = offerOf(sel);
    EXPECT_TRUE(ParseOffer(FormatOffer(offer))) << "what we gather is what a peer accepts";

    TestCipher sendSide, receiveSide;
    SenderSession s(offer, sel, testDigests(), &sendSide);
    ReceiverSession r(offer, f.dst.path(), testDigests());
    pump(s, r, r.connect(&receiveSide));
    ASSERT_EQ(r.state(), SessionState::Finished) << r.error();
    EXPECT_EQ(s.state(), SessionState::Finished) << s.error();
    EXPECT_EQ(r.bytesReceived(), sel.bytes);
    EXPECT_EQ(listing(f.dst.path()), (std::vector<std::string>{"Fotos", "Fotos/2026", "Fotos/2026/zero.txt",
                                                               "Fotos/a.jpg", "Fotos/empty", "notes.txt"}));
    EXPECT_EQ(readBytes(f.dst / "Fotos" / "a.jpg"), readBytes(f.src / "Fotos" / "a.jpg"));
    EXPECT_EQ(readBytes(f.dst / "notes.txt"), "hello");

    // The same again: nothing is overwritten, the new copy is numbered.
    SenderSession s2(offer, sel, testDigests());
    ReceiverSession r2(offer, f.dst.path(), testDigests());
    pump(s2, r2, r2.connect());
    ASSERT_EQ(r2.state(), SessionState::Finished) << r2.error();
    EXPECT_TRUE(fs::exists(f.dst / "Fotos (1)" / "a.jpg"));
    EXPECT_EQ(readBytes(f.dst / "notes (1).txt"), "hello");
}

TEST(TransferSession, ADroppedConnectionResumesWhereItStopped) {
    Fixture f;
    auto sel = GatherLocal({f.src / "Fotos", f.src / "notes.txt"});
    auto offer = offerOf(sel);
    ReceiverSession r(offer, f.dst.path(), testDigests());
    {
        SenderSession s(offer, sel, testDigests());
        pump(s, r, r.connect(), kChunk + 5000);  // cut inside a.jpg's second chunk
        r.dropped();
    }
    const auto before = r.bytesReceived();
    EXPECT_GT(before, 0u);
    EXPECT_TRUE(fs::exists(f.dst / "Fotos" / ".a.jpg.lanyx-part"));
    SenderSession again(offer, sel, testDigests());
    pump(again, r, r.connect());
    ASSERT_EQ(r.state(), SessionState::Finished) << r.error();
    EXPECT_EQ(readBytes(f.dst / "Fotos" / "a.jpg"), readBytes(f.src / "Fotos" / "a.jpg"));
    EXPECT_LE(again.bytesSent(), sel.bytes - before + kChunk) << "resumed, not sent again from the start";
    EXPECT_FALSE(fs::exists(f.dst / "Fotos" / ".a.jpg.lanyx-part"));

    // Cancel after a drop removes the partial file and the folders only it
    // needed; the file that was complete stays.
    TempDir other;
    ReceiverSession c(offer, other.path(), testDigests());
    SenderSession s3(offer, sel, testDigests());
    pump(s3, c, c.connect(), kChunk);
    c.dropped();
    c.cancel();
    EXPECT_EQ(listing(other.path()), (std::vector<std::string>{"Fotos", "Fotos/2026", "Fotos/2026/zero.txt"}));
}

TEST(TransferSession, AHostileSenderIsRefusedAndWritesNothingOutsideTheFolder) {
    TempDir dst;
    auto offerWith = [](std::uint64_t files, std::uint64_t bytes) {
        Offer o;
        o.id = NewTransferId();
        o.port = 1;
        o.files = files;
        o.bytes = bytes;
        o.names = {"x"};
        return o;
    };
    auto run = [&](const Offer& offer, const std::vector<std::pair<FrameType, std::string>>& frames) {
        ReceiverSession r(offer, dst.path(), testDigests());
        r.connect();
        FrameCodec codec;
        for (const auto& [type, payload] : frames) r.received(codec.encode(type, payload));
        return std::make_pair(r.state(), r.error());
    };
    const std::string zero(32, '\0');
    auto [s1, e1] = run(offerWith(1, 5), {{FrameType::List, "F 5 ../escape\n"}, {FrameType::ListEnd, ""}});
    EXPECT_EQ(s1, SessionState::Failed);
    EXPECT_NE(e1.find("leave the folder"), std::string::npos) << e1;
    auto [s2, e2] = run(offerWith(1, 5), {{FrameType::List, "F 500 x\n"}, {FrameType::ListEnd, ""}});
    EXPECT_NE(e2.find("sizes that differ"), std::string::npos) << e2;
    // More data than the list said.
    auto [s3, e3] = run(offerWith(1, 2),
                        {{FrameType::List, "F 2 x\n"}, {FrameType::ListEnd, ""}, {FrameType::Data, "abc"}});
    EXPECT_NE(e3.find("more than the file"), std::string::npos) << e3;
    // A stream that ends early.
    auto [s4, e4] = run(offerWith(1, 2), {{FrameType::List, "F 2 x\n"},
                                          {FrameType::ListEnd, ""},
                                          {FrameType::Data, "a"},
                                          {FrameType::FileEnd, zero}});
    EXPECT_NE(e4.find("ended early"), std::string::npos) << e4;
    auto [s5, e5] = run(offerWith(1, 2),
                        {{FrameType::List, "F 2 x\n"}, {FrameType::ListEnd, ""}, {FrameType::Done, ""}});
    EXPECT_NE(e5.find("before every file"), std::string::npos) << e5;
    // Data before any list.
    auto [s6, e6] = run(offerWith(1, 2), {{FrameType::Data, "ab"}});
    EXPECT_EQ(s6, SessionState::Failed);
    EXPECT_TRUE(fs::is_empty(dst.path())) << "refused transfers leave nothing";
    EXPECT_FALSE(fs::exists(dst.path().parent_path() / "escape"));

    // A frame that claims to be huge ends the connection before memory goes.
    ReceiverSession r(offerWith(1, 2), dst.path(), testDigests());
    r.connect();
    r.received(std::string("\x7f\xff\xff\xff\x02", 5) + std::string(1000, 'x'));
    EXPECT_NE(r.error().find("broken"), std::string::npos);
}

TEST(TransferSession, ATamperedConnectionNeverProducesADamagedFile) {
    Fixture f;
    auto sel = GatherLocal({f.src / "notes.txt", f.src / "Fotos"});
    auto offer = offerOf(sel);
    TestCipher a, b;
    SenderSession s(offer, sel, testDigests(), &a);
    ReceiverSession r(offer, f.dst.path(), testDigests());
    bool flipped = false;
    pump(s, r, r.connect(&b), SIZE_MAX, [&](std::string& bytes) {
        if (!flipped && bytes.size() > 100000) {
            bytes[bytes.size() / 2] ^= 1;
            flipped = true;
        }
    });
    ASSERT_TRUE(flipped);
    EXPECT_NE(r.error().find("tampered"), std::string::npos) << r.error();
    EXPECT_FALSE(fs::exists(f.dst / "Fotos" / "a.jpg"));

    // A file that changes while it is sent is reported, not sent damaged.
    TempDir dst2;
    SenderSession s2(offer, sel, testDigests());
    ReceiverSession r2(offer, dst2.path(), testDigests());
    writeBytes(f.src / "Fotos" / "a.jpg", "shorter now");
    pump(s2, r2, r2.connect());
    EXPECT_EQ(s2.state(), SessionState::Failed);
    EXPECT_NE(r2.error().find("changed while"), std::string::npos) << r2.error();

#ifndef _WIN32
    // A file swapped for a pipe or a link after it was chosen is not sent,
    // and the sender does not wait on the pipe for good.
    for (bool pipe : {true, false}) {
        Fixture g;
        auto chosen = GatherLocal({g.src / "notes.txt"});
        fs::remove(g.src / "notes.txt");
        if (pipe) {
            ASSERT_EQ(::mkfifo((g.src / "notes.txt").c_str(), 0600), 0);
        } else {
            fs::create_symlink(g.src / "Fotos" / "a.jpg", g.src / "notes.txt");
        }
        auto swappedOffer = offerOf(chosen);
        SenderSession s3(swappedOffer, chosen, testDigests());
        ReceiverSession r3(swappedOffer, g.dst.path(), testDigests());
        pump(s3, r3, r3.connect());
        EXPECT_EQ(s3.state(), SessionState::Failed);
        EXPECT_NE(r3.error().find("notes.txt cannot be read"), std::string::npos) << r3.error();
        EXPECT_FALSE(fs::exists(g.dst / "notes.txt"));
    }
#endif
}

#include "TransferCrypto.h"

namespace {
// Runs the handshake between two ends; returns their ciphers, or nothing.
std::pair<std::unique_ptr<FrameCipher>, std::unique_ptr<FrameCipher>> shake(ConnectionHandshake& r,
                                                                            ConnectionHandshake& s) {
    std::string toSender = r.start(), toReceiver, proof, none;
    if (s.consume(toSender, toReceiver) != ConnectionHandshake::Step::NeedMore) return {};
    if (r.consume(toReceiver, proof) != ConnectionHandshake::Step::Done) return {};
    if (s.consume(proof, none) != ConnectionHandshake::Step::Done) return {};
    return {r.cipher(), s.cipher()};
}
}  // namespace

TEST(TransferSecurity, OnlyThePinnedKeysGetAConnectionAndFramesOpenOnceInOrder) {
    Keys ann, bob, eve;
    const auto id = NewTransferId();
    {
        ConnectionHandshake r(ConnectionHandshake::Role::Receiver, id, bob.secret, ann.pub);
        ConnectionHandshake s(ConnectionHandshake::Role::Sender, id, ann.secret, bob.pub);
        auto [rc, sc] = shake(r, s);
        ASSERT_TRUE(rc && sc);
        FrameCodec out(sc.get()), in(rc.get());
        auto first = out.encode(FrameType::Data, "first");
        in.feed(first + out.encode(FrameType::Data, "second"));
        FrameType t;
        std::string p;
        ASSERT_TRUE(in.next(t, p));
        EXPECT_EQ(p, "first");
        ASSERT_TRUE(in.next(t, p));
        EXPECT_EQ(p, "second");
        // A frame sent again (a replay) does not open.
        auto third = out.encode(FrameType::Data, "third");
        in.feed(third);
        ASSERT_TRUE(in.next(t, p));
        in.feed(third);
        EXPECT_FALSE(in.next(t, p));
        EXPECT_TRUE(in.failed());
        // No plaintext on the wire.
        EXPECT_EQ(out.encode(FrameType::Data, "secret words").find("secret"), std::string::npos);
    }
    {
        // Eve answers in ann's place: bob's receiver refuses her.
        ConnectionHandshake r(ConnectionHandshake::Role::Receiver, id, bob.secret, ann.pub);
        ConnectionHandshake s(ConnectionHandshake::Role::Sender, id, eve.secret, bob.pub);
        EXPECT_FALSE(shake(r, s).first);
        EXPECT_NE(r.error().find("not the one known"), std::string::npos);
    }
    {
        // Eve asks for ann's transfer under bob's name: ann's sender refuses.
        ConnectionHandshake r(ConnectionHandshake::Role::Receiver, id, eve.secret, ann.pub);
        ConnectionHandshake s(ConnectionHandshake::Role::Sender, id, ann.secret, bob.pub);
        EXPECT_FALSE(shake(r, s).first);
        // A hello for one transfer does not open another.
        ConnectionHandshake r2(ConnectionHandshake::Role::Receiver, id, bob.secret, ann.pub);
        ConnectionHandshake s2(ConnectionHandshake::Role::Sender, NewTransferId(), ann.secret, bob.pub);
        EXPECT_FALSE(shake(r2, s2).first);
    }
    // The digest is BLAKE2b-256: the empty input's known value.
    auto d = Blake2bDigests()();
    auto v = d->final();
    EXPECT_EQ(v[0], 0x0e);
    EXPECT_EQ(v[1], 0x57);
    EXPECT_EQ(v[31], 0xa8);
}
