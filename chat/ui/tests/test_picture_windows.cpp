// Pictures in the chat windows: two desktops on a simulated segment with
// their transfers on loopback TCP. A picture pasted in ann's window shows
// inline in bob's, drawn within the window's width.
#include "ChatPictures.h"
#include "ChatWindows.h"
#include "FilePeers.h"
#include "UiTestApp.h"
#include "frmChat.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QLineEdit>
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
          windows(peer.node, nullptr, nullptr) {
        windows.setFileTransfers(&files);
        windows.setPictures(&pictures);
        peer.joinAs(name);
    }
    ~PictureDesk() {
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
