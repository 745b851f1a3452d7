// Pictures between two copies: announced sealed on a simulated segment,
// the file over the transfers on loopback TCP. The recipient takes it
// without being asked and keeps it byte for byte; a file that is not what
// was announced, or was not announced at all, is not kept.
#include "FilePeers.h"
#include "PictureTransfers.h"
#include "TestPictures.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::pictures;
using namespace lanyx::test;

namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What the node tells the history.
struct Reported : MessageObserver {
    void message(const Message& m) override { kinds.push_back(m.kind); }
    std::vector<MessageKind> kinds;
};

struct User {
    User(MemorySegment& seg, const std::string& name) : peer(seg, name) {
        peer.node.addMessageObserver(&reported);
        peer.transport.source = peer.transport.address = IpAddress::v4(0x7f000001);
        files = std::make_unique<FileTransfers>(peer.node);
        service = std::make_unique<PictureService>(peer.node);
        pictures = std::make_unique<PictureTransfers>(peer.node, *service, *files);
        pictures->keep = [this](const Message& m) { kept.push_back(m); };
        QObject::connect(pictures.get(), &PictureTransfers::pictureArrived,
                         [this](const PictureNote& n) { arrived.push_back(n); });
        QObject::connect(pictures.get(), &PictureTransfers::pictureRefused,
                         [this](const QString&, Refusal why) { refused.push_back(why); });
        QObject::connect(pictures.get(), &PictureTransfers::pictureDelivered,
                         [this](std::uint64_t, const QString&, bool ok) { delivered.push_back(ok); });
        QObject::connect(files.get(), &FileTransfers::offerArrived, [this] { ++offersAsked; });
    }
    ~User() {
        peer.node.removeMessageObserver(&reported);
        pictures.reset();
        service.reset();
        files.reset();
    }
    Peer peer;
    Reported reported;
    std::unique_ptr<FileTransfers> files;
    std::unique_ptr<PictureService> service;
    std::unique_ptr<PictureTransfers> pictures;
    std::vector<Message> kept;
    std::vector<PictureNote> arrived;
    std::vector<Refusal> refused;
    std::vector<bool> delivered;
    int offersAsked = 0;
};

// Qt's application object before any transfers.
struct WithApp {
    WithApp() { coreApp(); }
};

class PictureFiles : public ::testing::Test, WithApp {
protected:
    PictureFiles() : ann(seg, "ann"), bob(seg, "bob") {
        ann.peer.joinAs("ann");
        seg.runFor(50);
        bob.peer.joinAs("bob");
        seg.runFor(2000);
    }
    template <typename Done> bool runUntil(Done done, int ms = 20000) { return runQtUntil(done, ms, &seg); }
    MemorySegment seg;
    User ann, bob;
};

}  // namespace

TEST_F(PictureFiles, APictureArrivesWithoutAskingAndIsKeptByteForByte) {
    ASSERT_EQ(ann.pictures->reach("bob"), Reach::Yes);
    const QByteArray picture = png(120, 80);
    Refusal why = Refusal::None;
    const auto line = ann.pictures->send({"bob"}, {}, picture, &why);
    ASSERT_NE(line, 0u) << static_cast<int>(why);
    ASSERT_TRUE(runUntil([&] { return !bob.arrived.empty() && !ann.delivered.empty(); }));
    const auto& note = bob.arrived.front();
    EXPECT_EQ(note.line, line);
    EXPECT_EQ(note.sender, "ann");
    EXPECT_EQ(contents(note.path), picture);
    EXPECT_TRUE(note.path.startsWith(bob.pictures->folder()));
    EXPECT_EQ(bob.offersAsked, 0);
    EXPECT_EQ(ann.delivered, std::vector<bool>{true});
    // Both histories keep it, with where it is.
    ASSERT_EQ(bob.kept.size(), 1u);
    EXPECT_EQ(bob.kept[0].kind, MessageKind::Picture);
    EXPECT_EQ(bob.kept[0].text, note.path.toStdString());
    EXPECT_EQ(bob.kept[0].lineId, line);
    ASSERT_EQ(ann.kept.size(), 1u);
    EXPECT_TRUE(ann.kept[0].outgoing);
    EXPECT_EQ(contents(QString::fromStdString(ann.kept[0].text)), picture);
    // The transfers carried it: neither side keeps them as file transfers.
    for (User* u : {&ann, &bob}) {
        ASSERT_EQ(u->files->items().size(), 1u);
        EXPECT_TRUE(u->files->items()[0].carried);
        EXPECT_TRUE(u->reported.kinds.empty());
    }
    // Nothing is left of the transfer's own folder.
    EXPECT_TRUE(QDir(bob.pictures->folder() + "/.arriving").isEmpty());
}

TEST_F(PictureFiles, AFileThatIsNotWhatWasAnnouncedIsNotKept) {
    // ann's copy announces one picture and offers another under its name.
    const QByteArray told = png(40, 40);
    QByteArray sent = told;
    sent[sent.size() - 5] = static_cast<char>(sent[sent.size() - 5] ^ 0x55);
    Announcement a{0x5151,
                   {},
                   static_cast<std::uint64_t>(told.size()),
                   HashText(std::string_view(told.constData(), static_cast<std::size_t>(told.size()))),
                   Type::Png};
    ann.service->announce("bob", a);
    seg.runFor(500);
    ASSERT_EQ(bob.service->waiting(), 1u);
    const QString file = QDir(ann.pictures->folder()).filePath(QString::fromStdString(FileNameOf(a.line, a.type)));
    QDir().mkpath(ann.pictures->folder());
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(sent);
    out.close();
    ASSERT_FALSE(ann.files->send("bob", {file}, nullptr).isEmpty());
    ASSERT_TRUE(runUntil([&] { return !bob.refused.empty(); }));
    EXPECT_EQ(bob.refused, std::vector<Refusal>{Refusal::Damaged});
    EXPECT_TRUE(bob.arrived.empty());
    EXPECT_TRUE(bob.kept.empty());
    EXPECT_EQ(bob.offersAsked, 0);
    EXPECT_TRUE(QDir(bob.pictures->folder() + "/.arriving").isEmpty());
}

TEST_F(PictureFiles, AnOfferNoAnnouncementNamedIsLeftToTheUser) {
    const QString file = QDir(ann.pictures->folder()).filePath("00000000000000aa.png");
    QDir().mkpath(ann.pictures->folder());
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(png(10, 10));
    out.close();
    const auto id = ann.files->send("bob", {file}, nullptr);
    ASSERT_TRUE(runUntil([&] { return bob.offersAsked == 1; }));
    EXPECT_EQ(bob.files->item(id)->state, TransferItem::State::Offered);
    EXPECT_FALSE(bob.files->item(id)->carried);
    EXPECT_TRUE(bob.arrived.empty());
}

TEST_F(PictureFiles, WhatIsNoPictureOrTooLargeIsNotSent) {
    struct Case {
        QByteArray bytes;
        Refusal why;
    } cases[] = {
        {QByteArray("plain words"), Refusal::NotAPicture},
        {QByteArray(static_cast<qsizetype>(kMaxBytes) + 1, 'x'), Refusal::TooLarge},
    };
    for (const auto& c : cases) {
        Refusal why = Refusal::None;
        EXPECT_EQ(ann.pictures->send({"bob"}, {}, c.bytes, &why), 0u);
        EXPECT_EQ(why, c.why);
    }
    EXPECT_TRUE(ann.kept.empty());
}
