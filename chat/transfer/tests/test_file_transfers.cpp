// Offers and transfers between two nodes: the offers as encrypted file
// messages on a simulated segment, the files over TCP on loopback.
#include "CliTransferAids.h"
#include "CliTransfers.h"
#include "FilePeers.h"
#include "TransferTestSupport.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace lanyx;
using namespace lanyx::test;
using State = TransferItem::State;

namespace {

class Files : public ::testing::Test {
protected:
    Files() : ann(seg, "ann"), bob(seg, "bob") {
        coreApp();
        // bob's connections are cut as cutAfter says.
        TransferSetup bobSetup;
        bobSetup.clients = cli::CuttingClients([this] { return cutAfter; });
        joinWithFiles(seg, ann, bob, annFiles, bobFiles, std::move(bobSetup));
        QObject::connect(bobFiles.get(), &FileTransfers::offerArrived, [this] { ++offers; });
    }
    // Simulated time for the datagrams, the real event loop for TCP.
    template <typename Done> bool runUntil(Done done, int ms = 20000) { return runQtUntil(done, ms, &seg); }
    State stateAt(FileTransfers& f, const QString& id) {
        const auto* i = f.item(id);
        return i ? i->state : State::Failed;
    }

    MemorySegment seg;
    Peer ann, bob;
    std::unique_ptr<FileTransfers> annFiles, bobFiles;
    int offers = 0;  // offers bob was shown
    // The first connection of each of bob's incoming transfers is cut once
    // this many bytes arrived (0: never).
    quint64 cutAfter = 0;
    TempDir src, dst;
};

}  // namespace

TEST_F(Files, AFileAndAFolderTreeArriveByteForByteAfterTheRecipientAccepts) {
    writeBytes(src / "report.pdf", pattern(3u << 20, 1));
    fs::create_directories(src / "photos" / "2026");
    writeBytes(src / "photos" / "2026" / "a.jpg", pattern(70000, 2));
    writeBytes(src / "photos" / "b.jpg", "");
    QString why;
    ASSERT_TRUE(annFiles->canSendTo("bob", &why)) << why.toStdString();
    QString error;
    const auto id = annFiles->send("bob",
                                   {QString::fromStdString((src / "report.pdf").string()),
                                    QString::fromStdString((src / "photos").string())},
                                   &error);
    ASSERT_FALSE(id.isEmpty()) << error.toStdString();
    ASSERT_TRUE(runUntil([&] { return offers == 1; }));
    const auto* offered = bobFiles->item(id);
    ASSERT_TRUE(offered);
    EXPECT_EQ(offered->peer, "ann");
    EXPECT_EQ(offered->files, 3u);
    EXPECT_EQ(offered->bytes, (3u << 20) + 70000u);
    EXPECT_EQ(offered->names, (QStringList{"report.pdf", "photos"}));
    // Nothing is written before the answer.
    EXPECT_TRUE(fs::is_empty(dst.path()));
    EXPECT_EQ(stateAt(*annFiles, id), State::Offering);

    bobFiles->accept(id, QString::fromStdString(dst.path().string()));
    ASSERT_TRUE(runUntil([&] {
        return stateAt(*bobFiles, id) == State::Finished && stateAt(*annFiles, id) == State::Finished;
    })) << TransferStateText(*bobFiles->item(id)).toStdString()
        << " / " << TransferStateText(*annFiles->item(id)).toStdString();
    EXPECT_EQ(readBytes(dst / "report.pdf"), pattern(3u << 20, 1));
    EXPECT_EQ(readBytes(dst / "photos" / "2026" / "a.jpg"), pattern(70000, 2));
    EXPECT_TRUE(fs::exists(dst / "photos" / "b.jpg"));
    EXPECT_EQ(bobFiles->item(id)->made.size(), 2);
    EXPECT_EQ(bobFiles->item(id)->done, bobFiles->item(id)->bytes);
}

TEST_F(Files, DeclineLeavesNothingAndTellsTheSender) {
    writeBytes(src / "a.txt", "hello");
    QString error;
    const auto id = annFiles->send("bob", {QString::fromStdString((src / "a.txt").string())}, &error);
    ASSERT_TRUE(runUntil([&] { return offers == 1; }));
    bobFiles->decline(id);
    ASSERT_TRUE(runUntil([&] { return stateAt(*annFiles, id) == State::Declined; }));
    EXPECT_TRUE(fs::is_empty(dst.path()));
    EXPECT_EQ(stateAt(*bobFiles, id), State::Declined);
}

TEST_F(Files, ACutConnectionResumesAndTheSenderCanCancelMidway) {
    writeBytes(src / "big.bin", pattern(8u << 20, 5));
    cutAfter = 2u << 20;
    QString error;
    const auto id = annFiles->send("bob", {QString::fromStdString((src / "big.bin").string())}, &error);
    ASSERT_TRUE(runUntil([&] { return offers == 1; }));
    bobFiles->accept(id, QString::fromStdString(dst.path().string()));
    ASSERT_TRUE(runUntil([&] { return stateAt(*bobFiles, id) == State::Finished; }))
        << TransferStateText(*bobFiles->item(id)).toStdString();
    EXPECT_EQ(readBytes(dst / "big.bin"), pattern(8u << 20, 5));

    // A second one, cancelled by the sender once it runs: nothing stays.
    TempDir dst2;
    cutAfter = 0;
    const auto id2 = annFiles->send("bob", {QString::fromStdString((src / "big.bin").string())}, &error);
    ASSERT_TRUE(runUntil([&] { return offers == 2; }));
    bobFiles->accept(id2, QString::fromStdString(dst2.path().string()));
    ASSERT_TRUE(runUntil([&] { return bobFiles->item(id2)->done > 0; }));
    annFiles->cancel(id2);
    ASSERT_TRUE(runUntil([&] { return stateAt(*bobFiles, id2) == State::Cancelled; }));
    EXPECT_EQ(stateAt(*annFiles, id2), State::Cancelled);
    EXPECT_TRUE(fs::is_empty(dst2.path())) << listing(dst2.path()).size();
}

// The test build's cut (CliTransferAids.h): once per transfer, whose
// sender sees its connection go, and the transfer goes on.
TEST_F(Files, TheCuttingClientsCutEachTransferOnceAndItGoesOn) {
    writeBytes(src / "big.bin", pattern(6u << 20, 6));
    cutAfter = 1u << 20;
    int interruptions = 0;
    State last = State::Offering;
    QObject::connect(annFiles.get(), &FileTransfers::itemChanged, [&](const QString& id) {
        const auto now = stateAt(*annFiles, id);
        if (now == State::Interrupted && last != State::Interrupted) ++interruptions;
        last = now;
    });
    QString error;
    const auto id = annFiles->send("bob", {QString::fromStdString((src / "big.bin").string())}, &error);
    ASSERT_TRUE(runUntil([&] { return offers == 1; }));
    bobFiles->accept(id, QString::fromStdString(dst.path().string()));
    ASSERT_TRUE(runUntil(
        [&] { return stateAt(*bobFiles, id) == State::Finished && stateAt(*annFiles, id) == State::Finished; }));
    EXPECT_EQ(interruptions, 1);
    EXPECT_EQ(readBytes(dst / "big.bin"), pattern(6u << 20, 6));
}

TEST_F(Files, OnlyCopiesThatAnnouncedTheCapabilityAreOffered) {
    seg.post("zed|C/0");  // a copy without keys
    seg.runFor(1000);
    QString why;
    EXPECT_FALSE(annFiles->canSendTo("zed", &why));
    EXPECT_EQ(annFiles->reach("zed"), Reach::NotThere);
    QString error;
    writeBytes(src / "a.txt", "x");
    EXPECT_TRUE(annFiles->send("zed", {QString::fromStdString((src / "a.txt").string())}, &error).isEmpty());
    EXPECT_EQ(error, why);
    EXPECT_TRUE(annFiles->send("bob", {QString::fromStdString((src / "missing").string())}, &error).isEmpty());
    EXPECT_TRUE(error.contains("does not exist"));
    // A file message in the clear, or under a name without a verified key, is no offer.
    const auto before = bobFiles->items().size();
    seg.post("zed|P/lanyx-files offer v1;id=0123456789abcdef0123456789abcdef;port=1;files=1;bytes=1;names=a|bob");
    seg.runFor(1000);
    EXPECT_EQ(bobFiles->items().size(), before);
}

// An offer sealed right after the keys were heard outruns the sender's
// answer to the challenge the receiver sent to where it was heard from.
TEST(FilesBeforeTheAnswer, AnOfferWaitsForTheChallengeItsSenderAnswersLateAndIsRefusedWithoutIt) {
    coreApp();
    for (const bool answered : {true, false}) {
        SCOPED_TRACE(answered ? "answered late" : "never answered");
        MemorySegment seg;
        Peer ann(seg, "ann"), bob(seg, "bob");
        seg.holdBack = [](std::string_view bytes) { return bytes.find("|A/") != std::string_view::npos; };
        std::unique_ptr<FileTransfers> annFiles, bobFiles;
        joinWithFiles(seg, ann, bob, annFiles, bobFiles);
        ASSERT_TRUE(bob.node.VerifiedSources("ann").empty());
        TempDir src;
        writeBytes(src / "a.txt", "hello");
        QString error;
        const auto id = annFiles->send("bob", {QString::fromStdString((src / "a.txt").string())}, &error);
        ASSERT_FALSE(id.isEmpty()) << error.toStdString();
        seg.runFor(500);
        EXPECT_EQ(bobFiles->item(id), nullptr);  // neither shown nor refused yet
        if (answered) seg.releaseHeld();
        seg.runFor(SecureLink::kChallengeMs + 200);
        ASSERT_NE(bobFiles->item(id), nullptr);
        EXPECT_EQ(bobFiles->item(id)->state, answered ? State::Offered : State::Failed);
        if (!answered) {
            EXPECT_EQ(bobFiles->item(id)->why, transfer::StopReason::Refused);
            EXPECT_TRUE(runQtUntil([&] { return annFiles->item(id)->state == State::Failed; }, 5000, &seg));
        }
    }
}

TEST(CliAcceptRules, OnlyNamedOrCheckedSendersAndWithinTheQuota) {
    using Rules = cli::TransferReporter::AcceptRules;
    TransferItem offer;
    offer.peer = QStringLiteral("Mallory");
    offer.bytes = 600;
    Rules checkedOnly;
    checkedOnly.checked = [](const QString& name) { return name == QStringLiteral("Ann"); };
    EXPECT_TRUE(cli::AcceptRefusal(checkedOnly, offer, 0).contains(QStringLiteral("was not checked")));
    offer.peer = QStringLiteral("Ann");
    EXPECT_TRUE(cli::AcceptRefusal(checkedOnly, offer, 0).isEmpty());
    // Named senders, in any case; a checked key alone is then not enough.
    Rules named;
    named.from = {"mallory"};
    EXPECT_TRUE(cli::AcceptRefusal(named, offer, 0).contains(QStringLiteral("not among --accept-from")));
    offer.peer = QStringLiteral("MALLORY");
    EXPECT_TRUE(cli::AcceptRefusal(named, offer, 0).isEmpty());
    // The quota counts what was accepted before, without overflow.
    named.quota = 1000;
    EXPECT_TRUE(cli::AcceptRefusal(named, offer, 400).isEmpty());
    EXPECT_TRUE(cli::AcceptRefusal(named, offer, 401).contains(QStringLiteral("--accept-quota")));
    offer.bytes = ~quint64(0);
    EXPECT_FALSE(cli::AcceptRefusal(named, offer, 0).isEmpty());
}
