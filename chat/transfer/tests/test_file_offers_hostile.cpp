// Offers from a copy that holds the keys the receiver pinned but does not
// play fair: the files come from a scripted sender on loopback TCP that
// speaks the transfer protocol frame by frame.
#include "CliTransfers.h"
#include "FilePeers.h"
#include "TransferCrypto.h"
#include "TransferTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

#include <cstring>
#include <list>
#include <sstream>

namespace fs = std::filesystem;
using namespace lanyx;
using namespace lanyx::test;
using namespace lanyx::transfer;
using State = TransferItem::State;

namespace {

// What the scripted sender does after the receiver's Want: frames to send,
// then whether to close the connection.
using WantScript = std::function<void(FrameCodec& codec, std::string& out)>;

class ScriptedSender {
public:
    ScriptedSender(std::string id, SigningKey own, VerifyKey receiver, std::string list, WantScript onWant)
        : id_(std::move(id)), own_(own), receiver_(receiver), list_(std::move(list)), onWant_(std::move(onWant)) {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (auto* s = server_.nextPendingConnection()) {
                conns_.emplace_back();
                conns_.back().socket = s;
                auto* c = &conns_.back();
                QObject::connect(s, &QTcpSocket::readyRead, [this, c] { read(*c); });
            }
        });
    }
    quint16 port() const { return server_.serverPort(); }
    bool closeAfterWant = false;
    int connections() const { return static_cast<int>(conns_.size()); }
    std::vector<std::string> wants, receiverErrors, handshakeErrors;

private:
    struct Conn {
        QTcpSocket* socket = nullptr;
        std::string in;
        bool greeted = false;
        std::unique_ptr<ConnectionHandshake> handshake;
        std::unique_ptr<FrameCipher> cipher;
        std::unique_ptr<FrameCodec> codec;
    };
    void read(Conn& c) {
        const auto bytes = c.socket->readAll();
        c.in.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        if (!c.greeted) {
            const auto nl = c.in.find('\n');
            if (nl == std::string::npos) return;
            if (c.in.substr(0, nl) != "LANYX-XFER 3 " + id_) return (void)c.socket->abort();
            c.in.erase(0, nl + 1);
            c.greeted = true;
            c.handshake = std::make_unique<ConnectionHandshake>(ConnectionHandshake::Role::Sender, id_, own_,
                                                                receiver_);
        }
        std::string out;
        if (c.handshake) {
            std::string reply;
            const auto step = c.handshake->consume(c.in, reply);
            if (!reply.empty()) c.socket->write(reply.data(), static_cast<qint64>(reply.size()));
            if (step == ConnectionHandshake::Step::NeedMore) return;
            if (step == ConnectionHandshake::Step::Failed) {
                handshakeErrors.push_back(c.handshake->error());
                return (void)c.socket->abort();
            }
            c.cipher = c.handshake->cipher();
            c.handshake.reset();
            c.codec = std::make_unique<FrameCodec>(c.cipher.get());
        }
        c.codec->feed(c.in);
        c.in.clear();
        FrameType type;
        std::string payload;
        bool close = false;
        while (c.codec->next(type, payload)) {
            if (type == FrameType::Hello) {
                out += c.codec->encode(FrameType::List, list_);
                out += c.codec->encode(FrameType::ListEnd, {});
            } else if (type == FrameType::Want) {
                wants.push_back(payload);
                onWant_(*c.codec, out);
                close = closeAfterWant;
            } else if (type == FrameType::Error) {
                receiverErrors.push_back(payload);
            }
        }
        c.socket->write(out.data(), static_cast<qint64>(out.size()));
        if (close) c.socket->disconnectFromHost();
    }

    std::string id_;
    SigningKey own_;
    VerifyKey receiver_;
    std::string list_;
    WantScript onWant_;
    QTcpServer server_;
    std::list<Conn> conns_;
};

// The check a sound sender gives the first file: keyed by the connection
// where both agreed on that, else the digest.
std::string checkOf(FrameCodec& codec, const std::string& bytes) {
    auto d = codec.cipher() ? codec.cipher()->fileCheck(0) : nullptr;
    if (!d) d = Blake2bDigests()();
    d->update(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    const auto v = d->final();
    return std::string(reinterpret_cast<const char*>(v.data()), v.size());
}

// Sends one file's frames: `data` as Data, then the digest of `digestOf`.
WantScript fileFrames(std::string data, std::string digestOf, bool done = true) {
    return [=](FrameCodec& codec, std::string& out) {
        if (!data.empty()) out += codec.encode(FrameType::Data, data);
        out += codec.encode(FrameType::FileEnd, checkOf(codec, digestOf));
        if (done) out += codec.encode(FrameType::Done, {});
    };
}

class HostileOffers : public ::testing::Test {
protected:
    HostileOffers() : ann(seg, "ann"), bob(seg, "bob") {
        coreApp();
        joinWithFiles(seg, ann, bob, annFiles, bobFiles);  // ann announces files too
        QObject::connect(bobFiles.get(), &FileTransfers::offerArrived, [this](const QString& id) { offered = id; });
        inbox = outer.path() / "inbox";
        fs::create_directories(inbox);
        writeBytes(outer / "sentinel", "x");
    }
    template <typename Done> bool runUntil(Done done, int ms = 20000) { return runQtUntil(done, ms, &seg); }
    SigningKey annKey() {
        SigningKey k{};
        const auto& s = ann.node.secure()->identity().signSecret;
        std::memcpy(k.data(), s.data(), k.size());
        return k;
    }
    VerifyKey bobPublic() {
        VerifyKey k{};
        const auto& s = bob.node.secure()->identity().signPublic;
        std::memcpy(k.data(), s.data(), k.size());
        return k;
    }
    // ann offers (files, bytes, names) on the scripted sender's port; bob accepts.
    QString offerAndAccept(ScriptedSender& sender, const Offer& offer) {
        Offer o = offer;
        o.port = sender.port();
        offered.clear();
        const auto report = ann.node.SendSealed(kFilesWord, "bob", "offer " + FormatOffer(o));
        EXPECT_TRUE(report);
        EXPECT_TRUE(runUntil([&] { return !offered.isEmpty(); }));
        if (offered.isEmpty()) return {};
        bobFiles->accept(offered, QString::fromStdString(inbox.string()));
        return offered;
    }
    Offer offerOf(std::uint64_t files, std::uint64_t bytes, std::vector<std::string> names) {
        Offer o;
        o.id = NewTransferId();
        o.files = files;
        o.bytes = bytes;
        o.tops = names.size();
        o.names = std::move(names);
        o.addresses = {IpAddress::v4(0x7f000001)};  // where ann's copy is heard from
        o.port = 1999;                              // set to the scripted sender's where one answers
        return o;
    }
    bool ended(const QString& id) {
        const auto* i = bobFiles->item(id);
        return !i || i->ended();
    }
    std::string message(const QString& id) {
        const auto* i = bobFiles->item(id);
        return i ? i->message.toStdString() : std::string("(gone)");
    }
    // Nothing was written in the folder or beside it.
    void expectNothingWritten() {
        EXPECT_TRUE(fs::is_empty(inbox)) << listing(inbox).front();
        EXPECT_EQ(listing(outer.path()), (std::vector<std::string>{"inbox", "sentinel"}));
    }

    MemorySegment seg;
    Peer ann, bob;
    std::unique_ptr<FileTransfers> annFiles, bobFiles;
    QString offered;
    TempDir outer;
    fs::path inbox;
};

}  // namespace

TEST_F(HostileOffers, ListsThatLeaveTheFolderAreRefusedBeforeAnythingIsWritten) {
    struct Case {
        std::string list;
        std::string why;
    };
    const std::string absolute = "F 4 " + (outer.path() / "evil.txt").generic_string() + "\n";
    for (const auto& c : std::vector<Case>{
             {"F 4 ../evil.txt\n", "a name that would leave the folder (line 1)"},
             {"D a\nF 4 a/../../evil.txt\n", "a name that would leave the folder (line 2)"},
             {absolute, "a name that would leave the folder (line 1)"},
             {"F 4 C:evil.txt\n", "a name that would leave the folder (line 1)"},
             {"F 4 a\\..\\..\\evil.txt\n", "a name that would leave the folder (line 1)"},
             {"F 4 CON\n", "a name that would leave the folder (line 1)"},
             {"F 4 evil.txt\nF 0 evil.txt\n", "the same name twice (line 2)"},
             {"F 4 a/evil.txt\n", "a file outside its folder (line 1)"},
         }) {
        SCOPED_TRACE(c.list);
        const auto offer = offerOf(1, 4, {"evil.txt"});
        ScriptedSender sender(offer.id, annKey(), bobPublic(), c.list, fileFrames("evil", "evil"));
        const auto id = offerAndAccept(sender, offer);
        ASSERT_FALSE(id.isEmpty());
        ASSERT_TRUE(runUntil([&] { return ended(id); })) << message(id);
        EXPECT_EQ(bobFiles->item(id)->state, State::Failed);
        EXPECT_EQ(message(id), "refused: the sender's list has " + c.why);
        // Never asked for a byte. (The receiver's Error frame with the
        // reason may be lost: the failed connection is closed at once.)
        EXPECT_TRUE(sender.wants.empty());
        for (const auto& e : sender.receiverErrors) EXPECT_EQ(e, "refused: the sender's list has " + c.why);
        expectNothingWritten();
    }
}

TEST_F(HostileOffers, ASizeLieIsRefusedWhereverItIsTold) {
    struct Case {
        const char* what;
        std::uint64_t offerBytes;
        std::string list;
        WantScript frames;
        std::string message;
    };
    const std::string eight(8, 'e');
    for (auto& c : std::vector<Case>{
             // A small offer passes the free-space check; the list then names a huge file.
             {"list larger than the offer", 4, "F 1099511627776 evil.bin\n", fileFrames("", ""),
              "refused: the sender's list has sizes that differ from the offer (line 1)"},
             {"more data than the file's size", 4, "F 4 evil.bin\n", fileFrames(eight, eight),
              "the sender sent more than the file's size"},
             {"the file ends early", 8, "F 8 evil.bin\n", fileFrames("evil", "evil"),
              "the file ended early: 4 of 8 bytes"},
             {"a digest that does not match", 4, "F 4 evil.bin\n", fileFrames("evil", "good"),
              "the file arrived damaged (its check does not match)"},
             {"done before the file", 4, "F 4 evil.bin\n",
              [](FrameCodec&codec, std::string&out) { out += codec.encode(FrameType::Done, {}); },
              "the transfer ended before every file arrived"},
         }) {
        SCOPED_TRACE(c.what);
        const auto offer = offerOf(1, c.offerBytes, {"evil.bin"});
        ScriptedSender sender(offer.id, annKey(), bobPublic(), c.list, c.frames);
        const auto id = offerAndAccept(sender, offer);
        ASSERT_FALSE(id.isEmpty());
        ASSERT_TRUE(runUntil([&] { return ended(id); })) << message(id);
        EXPECT_EQ(bobFiles->item(id)->state, State::Failed);
        EXPECT_EQ(message(id), c.message);
        for (const auto& e : sender.receiverErrors) EXPECT_EQ(e, c.message);
        expectNothingWritten();
    }
}

TEST_F(HostileOffers, AStreamCutMidFileKeepsOnlyAHiddenPartialAndASenderErrorLeavesNothing) {
    // Half the file, then the connection closes: the receiver tries again
    // (a dropped cable looks the same); the partial file is hidden until it
    // is whole and checked.
    const auto offer = offerOf(1, 8, {"cut.bin"});
    ScriptedSender sender(offer.id, annKey(), bobPublic(), "F 8 cut.bin\n",
                          [](FrameCodec& codec, std::string& out) { out += codec.encode(FrameType::Data, "half"); });
    sender.closeAfterWant = true;
    const auto id = offerAndAccept(sender, offer);
    ASSERT_FALSE(id.isEmpty());
    // The second connection's request may come a moment after the connection.
    ASSERT_TRUE(runUntil([&] { return sender.connections() >= 2 && sender.wants.size() >= 2; }, 10000)) << message(id);
    EXPECT_EQ(bobFiles->item(id)->state == State::Interrupted || bobFiles->item(id)->state == State::Running, true);
    EXPECT_FALSE(fs::exists(inbox / "cut.bin"));
    // The second connection asks from where the first stopped.
    ASSERT_GE(sender.wants.size(), 2u);
    EXPECT_EQ(sender.wants[0], "0 0");
    EXPECT_EQ(sender.wants[1], "0 4");
    for (const auto& name : listing(inbox)) EXPECT_EQ(name.front(), '.') << name;

    // The sender gives up with an error halfway: what arrived goes.
    const auto offer2 = offerOf(1, 8, {"given-up.bin"});
    ScriptedSender quitter(offer2.id, annKey(), bobPublic(), "F 8 given-up.bin\n",
                           [](FrameCodec& codec, std::string& out) {
                               out += codec.encode(FrameType::Data, "half");
                               out += codec.encode(FrameType::Error, "the disk went away");
                           });
    bobFiles->cancel(id);
    ASSERT_TRUE(runUntil([&] { return fs::is_empty(inbox); }, 3000)) << listing(inbox).front();
    const auto id2 = offerAndAccept(quitter, offer2);
    ASSERT_FALSE(id2.isEmpty());
    ASSERT_TRUE(runUntil([&] { return ended(id2); })) << message(id2);
    EXPECT_EQ(bobFiles->item(id2)->state, State::Failed);
    EXPECT_EQ(message(id2), "the sender says: the disk went away");
    expectNothingWritten();
}

TEST_F(HostileOffers, ASenderWithoutThePinnedKeyNeverGetsPastTheHandshake) {
    SigningKey wrong{};
    VerifyKey wrongPublic{};
    MakeSigningKey(wrong, wrongPublic);
    const auto offer = offerOf(1, 4, {"a.txt"});
    ScriptedSender sender(offer.id, wrong, bobPublic(), "F 4 a.txt\n", fileFrames("evil", "evil"));
    const auto id = offerAndAccept(sender, offer);
    ASSERT_FALSE(id.isEmpty());
    ASSERT_TRUE(runUntil([&] { return bobFiles->item(id)->message.contains("key"); }, 10000)) << message(id);
    EXPECT_NE(message(id).find("the other side's key is not the one known for it"), std::string::npos) << message(id);
    // Refused for good: connecting again would meet the same impostor.
    EXPECT_EQ(bobFiles->item(id)->state, State::Failed);
    EXPECT_TRUE(sender.wants.empty());
    expectNothingWritten();
}

TEST_F(HostileOffers, ControlCharactersInOfferedNamesNeverReachTheTerminalRaw) {
    std::ostringstream printed;
    cli::TransferReporter reporter(*bobFiles, printed, false);
    reporter.answerOffers(cli::TransferReporter::Answer::Decline);
    // An escape sequence and a line break: the offer itself is refused.
    const auto before = bobFiles->items().size();
    ASSERT_TRUE(
        ann.node.SendSealed(kFilesWord, "bob", "offer " + FormatOffer(offerOf(1, 9, {"\x1b[2Jwipe\nfake\tline"}))));
    seg.runFor(1000);
    EXPECT_EQ(bobFiles->items().size(), before);
    EXPECT_NE(bob.log().find(" ann refused: " + failure(Reason::OfferUnparsable).text), std::string::npos) << bob.log();
    // A C1 control (CSI) is valid text, so it is shown, escaped.
    offered.clear();
    ASSERT_TRUE(ann.node.SendSealed(kFilesWord, "bob",
                                    "offer " + FormatOffer(offerOf(2, 9,
                                                                   {"\xc2\x9b"
                                                                    "31mred",
                                                                    "b"}))));
    ASSERT_TRUE(runUntil([&] { return !offered.isEmpty() && ended(offered); })) << bob.log();
    const auto text = printed.str();
    EXPECT_NE(text.find("file-offer\tann\t2 files, 9 bytes: \\x9B31mred, b\n"), std::string::npos) << text;
    EXPECT_NE(text.find("transfer-declined\tann\t\\x9B31mred, b\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("\xc2\x9b"), std::string::npos) << text;
    EXPECT_EQ(text.find("file-offer\tann\t1 file"), std::string::npos) << text;
    expectNothingWritten();
}

// lanyx-cli's lines for an honest transfer: on a terminal one status line
// redrawn in place and cleared before each event line; in a file only
// whole event lines.
TEST_F(HostileOffers, TheCliShowsProgressInPlaceOnATerminalAndAsLinesOtherwise) {
    TempDir src;
    writeBytes(src / "big.bin", pattern(6u << 20, 9));
    std::ostringstream onTerminal, inFile;
    cli::TransferReporter bobSide(*bobFiles, onTerminal, true);
    bobSide.answerOffers(cli::TransferReporter::Answer::Accept, QString::fromStdString(inbox.string()));
    cli::TransferReporter::AcceptRules fromAnn;
    fromAnn.from = {"ann"};
    bobSide.acceptRules(fromAnn);
    cli::TransferReporter annSide(*annFiles, inFile, false);
    QString error;
    const auto id = annFiles->send("bob", {QString::fromStdString((src / "big.bin").string())}, &error);
    ASSERT_FALSE(id.isEmpty()) << error.toStdString();
    ASSERT_TRUE(runUntil([&] {
        const auto* a = annFiles->item(id);
        const auto* b = bobFiles->item(id);
        return a && b && a->ended() && b->ended();
    })) << onTerminal.str()
        << inFile.str();
    bobSide.endStatusLine();
    EXPECT_EQ(readBytes(inbox / "big.bin"), pattern(6u << 20, 9));

    const auto term = onTerminal.str();
    EXPECT_NE(term.find("\rfrom ann big.bin: "), std::string::npos) << term;
    // Every event line starts a fresh line; the status line is blanked first.
    std::vector<std::string> events;
    std::istringstream lines(term);
    for (std::string l; std::getline(lines, l);) {
        const auto cr = l.rfind('\r');
        events.push_back(cr == std::string::npos ? l : l.substr(cr + 1));
    }
    ASSERT_GE(events.size(), 3u) << term;
    EXPECT_EQ(events[0], "file-offer\tann\t1 file, 6291456 bytes: big.bin");
    EXPECT_EQ(events[1].rfind("transfer-started\tann\tbig.bin into ", 0), 0u) << events[1];
    // The outcome last, and no status line left standing after it.
    const std::string received = "file-received\tann\t" + (inbox / "big.bin").string() + "\n";
    const auto at = term.find(received);
    ASSERT_NE(at, std::string::npos) << term;
    EXPECT_EQ(term.find_first_not_of(" \r", at + received.size()), std::string::npos) << term.substr(at);
    EXPECT_EQ(term.find("transfer-progress"), std::string::npos);

    const auto file = inFile.str();
    EXPECT_EQ(file.find('\r'), std::string::npos) << file;
    EXPECT_EQ(file.rfind("transfer-started\tbob\tbig.bin\n", 0), 0u) << file;
    EXPECT_NE(file.find("transfer-progress\tbob\tbig.bin: 6291456 of 6291456 bytes (100 %)"), std::string::npos)
        << file;
    EXPECT_EQ(file.substr(file.size() - std::string("file-sent\tbob\tbig.bin\n").size()), "file-sent\tbob\tbig.bin\n")
        << file;
}
