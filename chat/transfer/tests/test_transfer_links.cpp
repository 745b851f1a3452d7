// Transfers over real TCP on this computer's loopback: both ends in one
// process, driven by the event loop as in the programs.
#include "FilePeers.h"
#include "TransferLinks.h"
#include "TestFiles.h"
#include "TransferTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace lanyx;
using namespace lanyx::transfer;
using lanyx::test::readBytes;
using lanyx::test::TempDir;
using lanyx::test::writeBytes;
using namespace lanyx::test;

TEST(TransferLinks, TwoTransfersAtOnceArriveWhileTheEventLoopKeepsTurning) {
    coreApp();
    TempDir src, dst;
    writeBytes(src / "big.bin", pattern(24u << 20, 3));
    fs::create_directories(src / "tree" / "sub");
    for (int i = 0; i < 200; ++i) writeBytes(src / "tree" / "sub" / ("f" + std::to_string(i)), pattern(i * 37, i));

    TransferServer server(testDigests());
    QString error;
    ASSERT_TRUE(server.listen(0, &error)) << error.toStdString();
    auto selBig = GatherLocal({src / "big.bin"});
    auto selTree = GatherLocal({src / "tree"});
    auto offerBig = offerOf(selBig, server.port());
    auto offerTree = offerOf(selTree, server.port());
    server.add(offerBig, selBig);
    server.add(offerTree, selTree);

    TransferClient big(offerBig, QHostAddress::LocalHost, dst.path(), testDigests());
    TransferClient tree(offerTree, QHostAddress::LocalHost, dst.path(), testDigests());
    int results = 0;
    bool allOk = true;
    for (auto* c : {&big, &tree})
        QObject::connect(c, &TransferClient::finished, [&](bool ok, const QString& message) {
            ++results;
            allOk = allOk && ok;
            if (!ok) ADD_FAILURE() << message.toStdString();
        });
    // A timer stands for the chat: it must keep firing during the transfers.
    int ticks = 0;
    QTimer chat;
    QObject::connect(&chat, &QTimer::timeout, [&] { ++ticks; });
    chat.start(5);
    big.start();
    tree.start();
    ASSERT_TRUE(runQtUntil([&] { return results == 2; }));
    EXPECT_TRUE(allOk);
    EXPECT_GT(ticks, 0);
    EXPECT_EQ(readBytes(dst / "big.bin"), readBytes(src / "big.bin"));
    EXPECT_EQ(readBytes(dst / "tree" / "sub" / "f199"), readBytes(src / "tree" / "sub" / "f199"));
}

TEST(TransferLinks, ACutConnectionResumesAndAnUnknownTransferIsTurnedAway) {
    coreApp();
    TempDir src, dst;
    writeBytes(src / "big.bin", pattern(16u << 20, 9));
    TransferServer server(testDigests());
    ASSERT_TRUE(server.listen(0, nullptr));
    auto sel = GatherLocal({src / "big.bin"});
    auto offer = offerOf(sel, server.port());
    server.add(offer, sel);

    TransferClient client(offer, QHostAddress::LocalHost, dst.path(), testDigests());
    bool done = false, ok = false;
    QString message;
    QObject::connect(&client, &TransferClient::finished, [&](bool o, const QString& m) {
        done = true;
        ok = o;
        message = m;
    });
    // Cut the connection from the sender's side once some data arrived.
    QObject::connect(&client, &TransferClient::progress, [&](quint64 got, quint64) {
        if (got > (4u << 20) && got < (8u << 20)) server.remove(QString::fromStdString(offer.id));
    });
    client.start();
    ASSERT_TRUE(runQtUntil([&] { return done; }));
    EXPECT_FALSE(ok);
    ASSERT_TRUE(client.resumable()) << message.toStdString();
    const auto before = client.session().bytesReceived();
    EXPECT_TRUE(fs::exists(dst / ".big.bin.lanyx-part"));

    // Offered again (the sender still has it): the retry goes on from there.
    QObject::disconnect(&client, &TransferClient::progress, nullptr, nullptr);
    server.add(offer, sel);
    done = false;
    client.start();
    ASSERT_TRUE(runQtUntil([&] { return done; }));
    EXPECT_TRUE(ok) << message.toStdString();
    EXPECT_EQ(readBytes(dst / "big.bin"), readBytes(src / "big.bin"));
    EXPECT_GE(before, 4u << 20);

    // A transfer the sender does not offer: the connection is closed, nothing
    // is written.
    TempDir dst2;
    auto unknown = offer;
    unknown.id = NewTransferId();
    TransferClient stranger(unknown, QHostAddress::LocalHost, dst2.path(), testDigests());
    done = false;
    QObject::connect(&stranger, &TransferClient::finished, [&](bool o, const QString&) {
        done = true;
        ok = o;
    });
    stranger.start();
    ASSERT_TRUE(runQtUntil([&] { return done; }));
    EXPECT_FALSE(ok);
    EXPECT_TRUE(fs::is_empty(dst2.path()));
}

TEST(TransferLinks, GreetingsOfOtherBuildsAreRefusedWithALineEitherWay) {
    coreApp();
    TempDir src, dst;
    writeBytes(src / "a.txt", "hello");
    TransferServer server(testDigests());
    ASSERT_TRUE(server.listen(0, nullptr));
    auto sel = GatherLocal({src / "a.txt"});
    auto offer = offerOf(sel, server.port());
    server.add(offer, sel);
    int refusals = 0;
    QObject::connect(&server, &TransferServer::refused, [&](const QString&) { ++refusals; });
    // Receivers of earlier builds (the second confirmed no identity keys).
    for (const char* old : {"LANYX-XFER 1 ", "LANYX-XFER 2 "}) {
        QTcpSocket socket;
        QByteArray reply;
        QObject::connect(&socket, &QTcpSocket::readyRead, [&] { reply += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, server.port());
        socket.write(QByteArray(old) + QByteArray::fromStdString(offer.id) + "\n");
        ASSERT_TRUE(runQtUntil([&] { return reply.endsWith('\n'); })) << old;
        EXPECT_TRUE(reply.startsWith("refused: ")) << reply.toStdString();
    }
    EXPECT_EQ(refusals, 2);
    // A sender of a later build refusing ours: the receiver takes it as a
    // refusal (connecting again would not help), and writes nothing.
    QTcpServer later;
    ASSERT_TRUE(later.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&later, &QTcpServer::newConnection, [&] {
        auto* s = later.nextPendingConnection();
        QObject::connect(s, &QTcpSocket::readyRead, [s] {
            if (!s->readAll().contains('\n')) return;
            s->write("refused: this sender needs a newer version of Lanyx\n");
            s->disconnectFromHost();
        });
    });
    auto elsewhere = offer;
    elsewhere.port = later.serverPort();
    SigningKey own{};
    VerifyKey peer{};
    MakeSigningKey(own, peer);
    TransferClient client(elsewhere, QHostAddress::LocalHost, dst.path(), testDigests(), [&](const Offer& o) {
        return std::make_unique<ConnectionHandshake>(ConnectionHandshake::Role::Receiver, o.id, own, peer);
    });
    bool done = false, ok = true;
    QObject::connect(&client, &TransferClient::finished, [&](bool o, const QString&) {
        done = true;
        ok = o;
    });
    client.start();
    ASSERT_TRUE(runQtUntil([&] { return done; }));
    EXPECT_FALSE(ok);
    EXPECT_TRUE(client.refused());
    EXPECT_TRUE(fs::is_empty(dst.path()));
}

TEST(TransferLinks, BothSidesProveTheirPinnedKeysAndAStrangerGetsNothing) {
    coreApp();
    TempDir src, dst, dst2;
    writeBytes(src / "plan.txt", pattern(3u << 20, 5));
    SigningKey annSecret, bobSecret, eveSecret;
    VerifyKey annPub, bobPub, evePub;
    MakeSigningKey(annSecret, annPub);
    MakeSigningKey(bobSecret, bobPub);
    MakeSigningKey(eveSecret, evePub);

    TransferServer server(Blake2bDigests());  // ann's copy, offering to bob
    ASSERT_TRUE(server.listen(0, nullptr));
    auto sel = GatherLocal({src / "plan.txt"});
    auto offer = offerOf(sel, server.port());
    QString serverMessage, refusal;
    int serverOk = 0, serverEnds = 0;
    QObject::connect(&server, &TransferServer::finished, [&](const QString&, bool ok, const QString& m) {
        serverMessage = m;
        serverOk += ok;
        ++serverEnds;
    });
    // A connection that did not complete its handshake only goes to the log.
    QObject::connect(&server, &TransferServer::refused, [&](const QString& m) { refusal = m; });
    server.add(offer, sel, [&](const Offer& o) {
        return std::make_unique<ConnectionHandshake>(ConnectionHandshake::Role::Sender, o.id, annSecret, bobPub);
    });

    auto receive = [&](const SigningKey& own, const fs::path& folder, std::uint8_t ciphers = LocalCiphers()) {
        TransferClient client(offer, QHostAddress::LocalHost, folder, Blake2bDigests(), [&](const Offer& o) {
            auto h = std::make_unique<ConnectionHandshake>(ConnectionHandshake::Role::Receiver, o.id, own, annPub);
            h->setCiphers(ciphers);
            return h;
        });
        bool done = false, ok = false;
        QString message;
        QObject::connect(&client, &TransferClient::finished, [&](bool o, const QString& m) {
            done = true;
            ok = o;
            message = m;
        });
        // The loop ends right where finished() is reported, and the client
        // goes at once, with nothing more done for its socket.
        QEventLoop loop;
        QObject::connect(&client, &TransferClient::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        client.start();
        loop.exec();
        EXPECT_TRUE(done);
        return std::make_pair(ok, message.toStdString());
    };
    // Eve knows the transfer's id and names bob's key, but signs with her own.
    SigningKey eveAsBob = eveSecret;
    std::copy(bobPub.begin(), bobPub.end(), eveAsBob.begin() + 32);
    auto [eveOk, eveMessage] = receive(eveAsBob, dst2.path());
    EXPECT_FALSE(eveOk);
    EXPECT_TRUE(fs::is_empty(dst2.path()));
    EXPECT_TRUE(runQtUntil([&] { return !refusal.isEmpty(); }));
    EXPECT_NE(refusal.toStdString().find("not the one known"), std::string::npos) << refusal.toStdString();

    // Bob's copy knows no cipher ann's does: both say so, nothing is written.
    refusal.clear();
    auto [oddOk, oddMessage] = receive(bobSecret, dst.path(), 0x80);
    EXPECT_FALSE(oddOk);
    EXPECT_NE(oddMessage.find("no cipher in common"), std::string::npos) << oddMessage;
    EXPECT_TRUE(fs::is_empty(dst.path()));
    EXPECT_TRUE(runQtUntil([&] { return !refusal.isEmpty(); }));
    EXPECT_NE(refusal.toStdString().find("no cipher in common"), std::string::npos);
    EXPECT_EQ(serverEnds, 0);

    // With the stream cipher only, and then with what both can: the files
    // arrive, and the sender hears of it although each client is freed as
    // soon as it reports.
    auto [bobOk, bobMessage] = receive(bobSecret, dst.path(), kCipherXChaCha20Stream);
    EXPECT_TRUE(bobOk) << bobMessage;
    EXPECT_EQ(readBytes(dst / "plan.txt"), readBytes(src / "plan.txt"));
    EXPECT_TRUE(runQtUntil([&] { return serverOk == 1; })) << serverMessage.toStdString();
    auto [againOk, againMessage] = receive(bobSecret, dst2.path());
    EXPECT_TRUE(againOk) << againMessage;
    EXPECT_EQ(readBytes(dst2 / "plan.txt"), readBytes(src / "plan.txt"));
    EXPECT_TRUE(runQtUntil([&] { return serverOk == 2; })) << serverMessage.toStdString();
}
