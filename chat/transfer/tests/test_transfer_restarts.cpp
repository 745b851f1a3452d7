// Transfers across a restart of either side, and what each side is told
// when the other stops: two copies on a simulated segment, the files over
// TCP on loopback, a copy "killed" by dropping it without a word.
#include "FilePeers.h"
#include "TransferLinks.h"
#include "TransferCrypto.h"
#include "TransferTestSupport.h"
#include "Unfinished.h"

#include <QTcpSocket>
#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace fs = std::filesystem;
using namespace lanyx;
using namespace lanyx::test;
using namespace lanyx::transfer;
using State = TransferItem::State;

namespace {

constexpr std::size_t kFile = 8u << 20;

class Restarts : public ::testing::Test {
protected:
    Restarts() : ann(seg, "ann") {
        coreApp();
        ann.transport.source = ann.transport.address = IpAddress::v4(0x7f000001);
        annFiles = std::make_unique<FileTransfers>(ann.node);
        ann.joinAs("ann");
        seg.runFor(50);
        startBob();
        writeBytes(src / "big.bin", pattern(kFile, 4));
    }
    // bob's copy on his data folder, as at a start.
    void startBob(std::int64_t clockAheadMs = 0) {
        bob = std::make_unique<Peer>(seg, "bob", Peer::Folder{bobHome.path()});
        bob->clockOffsetMicros = clockAheadMs * 1000;
        bob->transport.source = bob->transport.address = IpAddress::v4(0x7f000001);
        bobFiles = std::make_unique<FileTransfers>(bob->node);
        QObject::connect(bobFiles.get(), &FileTransfers::offerArrived, [this] { ++offers; });
        QObject::connect(bobFiles.get(), &FileTransfers::itemChanged, [this](const QString& id) {
            const auto* i = bobFiles->item(id);
            if (!i || i->state != State::Running) return;
            if (i->done > 0 && firstDone < 0) firstDone = static_cast<std::int64_t>(i->done);
            // Each read of a new connection is seen, not only the item's
            // changes (a few a second).
            for (auto* client : bobFiles->findChildren<TransferClient*>()) {
                if (!watched.insert(client).second) continue;
                QObject::connect(client, &TransferClient::progress, [this](quint64 received, quint64) {
                    if (holdPastHalf && received > kFile / 2) holding = true;
                    readInSteps();
                });
            }
            readInSteps();
        });
        bob->joinAs("bob");
        seg.runFor(2000);
    }
    // Gone without closing anything, as a killed process: its files and the
    // store of unfinished transfers stay as they were.
    void killBob() {
        holdPastHalf = holding = false;
        watched.clear();
        bobFiles.reset();
        bob.reset();
        firstDone = -1;
    }
    template <typename Done> bool runUntil(Done done, int ms = 30000) { return runQtUntil(done, ms, &seg); }
    State stateOf(FileTransfers& f, const QString& id) {
        const auto* i = f.item(id);
        return i ? i->state : State::Failed;
    }
    // bob's copy reads in small steps, and not at all while `holding`: it
    // stops past the half however fast this machine moves the file.
    void readInSteps() {
        for (auto* socket : bobFiles->findChildren<QTcpSocket*>()) socket->setReadBufferSize(holding ? 1 : 256 << 10);
    }
    void readOn() {
        holdPastHalf = holding = false;
        readInSteps();
    }
    // ann offers big.bin, bob accepts and stops once more than half arrived.
    QString sendAndStopHalfway() {
        holdPastHalf = true;
        QString error;
        const auto id = annFiles->send("bob", {QString::fromStdString((src / "big.bin").string())}, &error);
        EXPECT_FALSE(id.isEmpty()) << error.toStdString();
        EXPECT_TRUE(runUntil([&] { return offers == 1; }));
        bobFiles->accept(id, QString::fromStdString(dst.path().string()));
        EXPECT_TRUE(runUntil([&] {
            const auto* i = bobFiles->item(id);
            return holding && i && i->done > kFile / 2;
        }));
        partial = fs::file_size(dst / ".big.bin.lanyx-part");
        return id;
    }
    // The one incoming transfer bob's copy shows.
    const TransferItem* bobsItem() { return bobFiles->items().empty() ? nullptr : &bobFiles->items().back(); }

    TempDir bobHome, src, dst;
    MemorySegment seg;
    Peer ann;
    std::unique_ptr<Peer> bob;
    std::unique_ptr<FileTransfers> annFiles, bobFiles;
    int offers = 0;
    bool holdPastHalf = false, holding = false;
    std::set<QObject*> watched;
    std::int64_t firstDone = -1;  // the first bytes bob's copy had of a transfer
    std::uint64_t partial = 0;    // the part file's length when bob stopped
};

}  // namespace

TEST_F(Restarts, AReceiverStartedAgainGoesOnFromItsPartFile) {
    const auto id = sendAndStopHalfway();
    killBob();
    ASSERT_TRUE(fs::exists(bobHome / std::string(kUnfinishedFile)));
    ASSERT_TRUE(runUntil([&] { return stateOf(*annFiles, id) == State::Interrupted; }));

    startBob();
    // Shown as interrupted; it goes on by itself once ann is heard.
    ASSERT_TRUE(runUntil([&] { return bobFiles->item(id) != nullptr; }));
    ASSERT_TRUE(runUntil([&] {
        return stateOf(*bobFiles, id) == State::Finished && stateOf(*annFiles, id) == State::Finished;
    })) << TransferStateText(*bobFiles->item(id)).toStdString();
    EXPECT_EQ(readBytes(dst / "big.bin"), pattern(kFile, 4));
    EXPECT_EQ(listing(dst.path()), std::vector<std::string>{"big.bin"});
    // From where it stopped, not from the start.
    EXPECT_GE(firstDone, static_cast<std::int64_t>(partial));
    EXPECT_EQ(offers, 1);
    // Nothing is left for the next start.
    const auto kept = ParseUnfinished(readBytes(bobHome / std::string(kUnfinishedFile)));
    ASSERT_TRUE(kept);
    EXPECT_TRUE(kept->transfers.empty());
}

TEST_F(Restarts, ASenderStartedAgainOffersTheSameFilesAndTheReceiverGoesOnWithoutAskingOrRenaming) {
    const auto first = sendAndStopHalfway();
    annFiles.reset();  // ann's copy killed: its connection goes
    readOn();
    ASSERT_TRUE(runUntil([&] { return stateOf(*bobFiles, first) == State::Interrupted; }))
        << (bobFiles->item(first) ? TransferStateText(*bobFiles->item(first)).toStdString() : "no such transfer");
    annFiles = std::make_unique<FileTransfers>(ann.node);
    firstDone = -1;
    QString error;
    const auto again = annFiles->send("bob", {QString::fromStdString((src / "big.bin").string())}, &error);
    ASSERT_FALSE(again.isEmpty()) << error.toStdString();
    ASSERT_TRUE(runUntil(
        [&] { return stateOf(*bobFiles, again) == State::Finished && stateOf(*annFiles, again) == State::Finished; }));
    EXPECT_EQ(offers, 1);  // not asked again
    EXPECT_FALSE(bobFiles->item(first));
    EXPECT_EQ(listing(dst.path()), std::vector<std::string>{"big.bin"});
    EXPECT_EQ(readBytes(dst / "big.bin"), pattern(kFile, 4));
    EXPECT_GE(firstDone, static_cast<std::int64_t>(partial));

    // A file changed since is not the same offer: asked, and a new name.
    writeBytes(src / "big.bin", pattern(1000, 5));
    const auto changed = annFiles->send("bob", {QString::fromStdString((src / "big.bin").string())}, &error);
    ASSERT_TRUE(runUntil([&] { return offers == 2; }));
    EXPECT_EQ(stateOf(*bobFiles, changed), State::Offered);
}

TEST_F(Restarts, TheSameFilesOfferedAgainWhileTheyMoveAreASecondTransfer) {
    // Large enough to be moving still when the second offer comes, sparse
    // so that it takes no room here.
    const auto file = src / "film.bin";
    writeBytes(file, "");
    std::error_code ec;
    fs::resize_file(file, std::min<std::uintmax_t>(fs::space(dst.path()).available / 4, 4ull << 30), ec);
    if (ec) GTEST_SKIP() << "no sparse file here: " << ec.message();
    QString error;
    const auto first = annFiles->send("bob", {QString::fromStdString(file.string())}, &error);
    ASSERT_TRUE(runUntil([&] { return offers == 1; }));
    bobFiles->accept(first, QString::fromStdString(dst.path().string()));
    ASSERT_TRUE(runUntil([&] { return bobFiles->item(first)->done > 0; }));
    const auto second = annFiles->send("bob", {QString::fromStdString(file.string())}, &error);
    ASSERT_TRUE(runUntil([&] { return offers == 2; }));
    EXPECT_EQ(stateOf(*bobFiles, first), State::Running);
    EXPECT_EQ(stateOf(*bobFiles, second), State::Offered);
    bobFiles->cancel(first);
    bobFiles->decline(second);
    ASSERT_TRUE(runUntil([&] { return fs::is_empty(dst.path()); }));
}

TEST_F(Restarts, PartFilesThatDidNotGoOnForAWeekAreRemovedAtTheNextStart) {
    sendAndStopHalfway();
    annFiles.reset();
    killBob();
    startBob(FileTransfers::kPartKeepMs + 60000);
    ASSERT_TRUE(runUntil([&] { return fs::is_empty(dst.path()); }, 5000)) << listing(dst.path()).front();
    EXPECT_TRUE(bobFiles->items().empty());
    EXPECT_NE(bob->log().find("removed: it did not go on for 7 days"), std::string::npos) << bob->log();
}

TEST_F(Restarts, TheSenderIsToldWhyTheReceiverStopped) {
    struct Case {
        const char* what;
        StopReason why;
        State annState;
    };
    for (const auto& c : {Case{"bob's disk is full", StopReason::DiskFull, State::Failed},
                          Case{"bob cancels", StopReason::Cancelled, State::Cancelled}}) {
        SCOPED_TRACE(c.what);
        const auto file = src / (std::string(StopReasonCode(c.why)) + ".bin");
        if (c.why == StopReason::DiskFull) {
            // Larger than bob's disk has free; a sparse file takes no room.
            writeBytes(file, "");
            std::error_code ec;
            fs::resize_file(file, fs::space(dst.path()).available + (1ull << 30), ec);
            if (ec) GTEST_SKIP() << "no sparse file here: " << ec.message();
        } else {
            writeBytes(file, pattern(kFile, 6));
        }
        QString error;
        const auto id = annFiles->send("bob", {QString::fromStdString(file.string())}, &error);
        const auto before = offers;
        ASSERT_TRUE(runUntil([&] { return offers > before; }));
        bobFiles->accept(id, QString::fromStdString(dst.path().string()));
        if (c.why == StopReason::Cancelled) {
            ASSERT_TRUE(runUntil([&] { return bobFiles->item(id)->done > 0; }));
            bobFiles->cancel(id);
        }
        ASSERT_TRUE(runUntil([&] { return annFiles->item(id)->ended(); }))
            << TransferStateText(*annFiles->item(id)).toStdString();
        EXPECT_EQ(annFiles->item(id)->state, c.annState);
        EXPECT_EQ(annFiles->item(id)->why, c.why);
        EXPECT_EQ(bobFiles->item(id)->why, c.why);
        EXPECT_TRUE(fs::is_empty(dst.path()));
    }
}

// A receiver that takes the list, asks for the file and then reads nothing
// more, as one whose computer went away.
TEST_F(Restarts, ASenderWhoseReceiverWentAwayGivesUpInBoundedTimeWithTheReason) {
    annFiles.reset();
    annFiles = std::make_unique<FileTransfers>(ann.node, TransferSetup{.waits = {.stallMs = 300, .resumeKeepMs = 600}});
    writeBytes(src / "huge.bin", pattern(64u << 20, 7));
    QString error;
    const auto id = annFiles->send("bob", {QString::fromStdString((src / "huge.bin").string())}, &error);
    ASSERT_FALSE(id.isEmpty()) << error.toStdString();

    SigningKey bobKey{};
    VerifyKey annKey{};
    std::memcpy(bobKey.data(), bob->node.secure()->identity().signSecret.data(), bobKey.size());
    std::memcpy(annKey.data(), ann.node.secure()->identity().signPublic.data(), annKey.size());
    ConnectionHandshake handshake(ConnectionHandshake::Role::Receiver, id.toStdString(), bobKey, annKey);
    std::unique_ptr<FrameCipher> cipher;
    std::unique_ptr<FrameCodec> codec;
    std::string in;
    bool asked = false;
    QTcpSocket socket;
    socket.setReadBufferSize(64 * 1024);
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] {
        if (asked) return;  // reads nothing more
        const auto bytes = socket.readAll();
        in.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        if (!codec) {
            std::string reply;
            if (handshake.consume(in, reply) != ConnectionHandshake::Step::Done) return;
            socket.write(reply.data(), static_cast<qint64>(reply.size()));
            cipher = handshake.cipher();
            codec = std::make_unique<FrameCodec>(cipher.get());
            const auto hello = codec->encode(FrameType::Hello, id.toStdString());
            socket.write(hello.data(), static_cast<qint64>(hello.size()));
        }
        codec->feed(in);
        in.clear();
        FrameType type;
        std::string payload;
        while (codec->next(type, payload))
            if (type == FrameType::ListEnd) {
                const auto want = codec->encode(FrameType::Want, "0 0");
                socket.write(want.data(), static_cast<qint64>(want.size()));
                asked = true;
            }
    });
    socket.connectToHost(QHostAddress::LocalHost, annFiles->listeningPort());
    ASSERT_TRUE(socket.waitForConnected(5000));
    const auto first = handshake.start();
    socket.write("LANYX-XFER 3 " + id.toUtf8() + "\n");
    socket.write(first.data(), static_cast<qint64>(first.size()));

    ASSERT_TRUE(runUntil([&] { return stateOf(*annFiles, id) == State::Interrupted; }))
        << TransferStateText(*annFiles->item(id)).toStdString();
    ASSERT_TRUE(runUntil([&] { return annFiles->item(id)->ended(); }));
    EXPECT_EQ(annFiles->item(id)->state, State::Failed);
    EXPECT_EQ(annFiles->item(id)->why, StopReason::Failed);
    EXPECT_TRUE(asked);
}
