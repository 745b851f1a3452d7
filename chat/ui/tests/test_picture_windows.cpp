// Pictures in the chat windows: two desktops on a simulated segment with
// their transfers on loopback TCP. A picture pasted in ann's window shows
// inline in bob's, drawn within the window's width.
#include "ChatPictures.h"
#include "ChatWindows.h"
#include "FilePeers.h"
#include "LineView.h"
#include "ReadMarks.h"
#include "UiTestApp.h"
#include "frmChat.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSplitter>
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::ui;
using namespace lanyx::test;

namespace picture_windows {

struct PictureDesk {
    PictureDesk(MemorySegment& seg, const std::string& name)
        : peer(seg, name),
          files(init(peer)),
          service(peer.node),
          pictures(peer.node, service, files),
          verbs(peer.node),
          marks(peer.node),
          windows(peer.node, nullptr, nullptr) {
        windows.setFileTransfers(&files);
        windows.setPictures(&pictures);
        windows.setVerbs(&verbs);
        windows.setReadMarks(&marks);
        peer.joinAs(name);
    }
    ~PictureDesk() {
        windows.setReadMarks(nullptr);
        windows.setVerbs(nullptr);
        windows.setPictures(nullptr);
        windows.setFileTransfers(nullptr);
    }
    static ChatNode& init(Peer& p) {
        app();
        p.transport.source = p.transport.address = IpAddress::v4(0x7f000001);
        return p.node;
    }
    frmChat* only() {
        const auto open = windows.chatWindows();
        return open.size() == 1 ? open.front() : nullptr;
    }
    Peer peer;
    FileTransfers files;
    pictures::PictureService service;
    pictures::PictureTransfers pictures;
    verbs::LineVerbs verbs;
    readmarks::ReadMarks marks;
    ChatWindows windows;
};

// Deletes the windows the test opened (and their menus) before the
// desks they belong to go.
struct ClosesWindows {
    ~ClosesWindows() {
        QList<QPointer<QWidget>> open;
        for (QWidget* w : QApplication::topLevelWidgets()) open << w;
        for (auto& w : open) delete w.data();
    }
};

}  // namespace picture_windows

using picture_windows::PictureDesk;

TEST(PictureWindows, APicturePastedInOneWindowShowsInlineInTheOther) {
    MemorySegment seg;
    PictureDesk ann(seg, "ann"), bob(seg, "bob");
    picture_windows::ClosesWindows closes;
    seg.runFor(3000);
    frmChat* annChat = ann.windows.OpenChatWindow("bob|");
    ASSERT_TRUE(annChat && annChat->pictures());
    annChat->resize(500, 400);
    annChat->show();

    QImage shot(1600, 900, QImage::Format_RGB32);
    shot.fill(Qt::darkMagenta);
    QApplication::clipboard()->setImage(shot);
    QTest::keyClick(annChat->txtSnd(), Qt::Key_V, Qt::ControlModifier);
    // Sent from here: shown here at once, and nothing was typed.
    EXPECT_EQ(annChat->pictures()->inlined().shown(), 1);
    EXPECT_TRUE(annChat->txtSnd()->text().isEmpty());

    ASSERT_TRUE(runQtUntil([&] { return bob.only() && bob.only()->pictures()->inlined().shown() == 1; }, 20000, &seg));
    frmChat* bobChat = bob.only();
    EXPECT_TRUE(bobChat->IsUserPresent("ann"));
    const QSizeF drawn = bobChat->pictures()->inlined().lastShownSize();
    EXPECT_GT(drawn.width(), 0);
    EXPECT_LE(drawn.width(), bobChat->txtMsg()->viewport()->width());
    EXPECT_NEAR(drawn.width() / drawn.height(), 1600.0 / 900.0, 0.01);
    // The picture it shows is the one kept, and that is what ann pasted.
    ASSERT_EQ(bob.files.items().size(), 1u);
    QString kept;
    for (auto b = bobChat->txtMsg()->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) kept = it.fragment().charFormat().toolTip();
    QImage arrived;
    ASSERT_TRUE(arrived.load(kept));
    EXPECT_EQ(arrived.size(), shot.size());
    EXPECT_EQ(arrived.pixel(10, 10), shot.pixel(10, 10));
}

// LANYX_SCREENSHOTS=DIR under a virtual display (tools/screenshots.sh runs
// it): ann's chat with bob, with a reply, reactions, an edited line, a
// pasted screenshot and "Seen by".
TEST(PictureWindows, AChatWithAReplyReactionsAnEditAPictureAndSeenByWhenAsked) {
    const QString dir = qEnvironmentVariable("LANYX_SCREENSHOTS");
    if (dir.isEmpty()) GTEST_SKIP() << "set LANYX_SCREENSHOTS=DIR to save pictures of the windows";
    MemorySegment seg;
    PictureDesk ann(seg, "ann"), bob(seg, "bob");
    picture_windows::ClosesWindows closes;
    std::size_t routed[2] = {0, 0}, reported[2] = {0, 0};
    const auto run = [&](int ms) {
        for (int t = 0; t < ms; t += 50) {
            seg.runFor(50);
            int i = 0;
            for (PictureDesk* d : {&ann, &bob}) {
                auto& items = d->peer.rec.items;
                for (; routed[i] < items.size(); ++routed[i])
                    if (items[routed[i]].kind == "chat")
                        d->windows.RouteChatLine(items[routed[i]].text, items[routed[i]].sender,
                                                 d->peer.node.users().GetColorForUName(items[routed[i]].sender), {},
                                                 items[routed[i]].lineId, items[routed[i]].replyTo);
                for (auto& reports = d->peer.rec.deliveries; reported[i] < reports.size(); ++reported[i])
                    d->windows.PrivateDelivery(reports[reported[i]]);
                ++i;
            }
            QApplication::processEvents();
        }
    };
    const auto say = [&](frmChat* w, const QString& line) {
        w->txtSnd()->setText(line);
        w->Send();
        run(600);
    };
    const auto choose = [](frmChat* w, std::uint64_t id, const char* action, int reaction = -1) {
        QMenu menu;
        w->lineView()->addActions(&menu, id);
        if (reaction >= 0) menu.findChild<QMenu*>("mnuReact")->actions().at(reaction)->trigger();
        else menu.findChild<QAction*>(action)->trigger();
    };
    run(3000);
    frmChat* annChat = ann.windows.OpenChatWindow("bob|");
    annChat->resize(560, 620);
    annChat->show();
    say(annChat, QStringLiteral("Lunch at 12:30? The pier caf\u00E9 has a new menu \U0001F957"));
    ASSERT_TRUE(bob.only());
    const auto lunch = bob.peer.rec.items.back().lineId;
    choose(bob.only(), lunch, "actReply");
    say(bob.only(), QStringLiteral("Yes! Can we make it 12:45? I have a call until 12:30."));
    choose(bob.only(), lunch, nullptr, 0);
    run(600);
    choose(annChat, lunch, "actEdit");
    say(annChat, QStringLiteral("Lunch at 12:45? The pier caf\u00E9 has a new menu \U0001F957"));
    const auto reply = ann.peer.rec.items.back().lineId;
    choose(annChat, reply, nullptr, 5);
    run(600);
    // A screenshot of the menu, pasted.
    bob.only()->resize(420, 300);
    const QImage shot = bob.only()->grab().toImage();
    QApplication::clipboard()->setImage(shot);
    QTest::keyClick(annChat->txtSnd(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(runQtUntil([&] { return bob.only()->pictures()->inlined().shown() == 1; }, 20000, &seg));
    say(annChat, QStringLiteral("That is what it looks like here."));
    bob.only()->show();
    bob.only()->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(bob.only()));
    run(1500);
    annChat->activateWindow();
    run(300);
    annChat->setWindowTitle(annChat->windowTitle() + QStringLiteral(" (ann)"));
    annChat->splitter()->setSizes({70, 550});
    annChat->txtMsg()->verticalScrollBar()->setValue(annChat->txtMsg()->verticalScrollBar()->maximum());
    QApplication::processEvents();
    EXPECT_TRUE(annChat->lblSeen()->isVisibleTo(annChat));
    EXPECT_TRUE(annChat->grab().save(dir + QStringLiteral("/lanyx-chat-verbs.png")));
}
