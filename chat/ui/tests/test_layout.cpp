// Sizes: windows start at sizes that fit what they show on the screen at
// hand, the places the user gave them win, and names keep their letters
// beside long status words. Run at 1x and, with QT_SCALE_FACTOR=2, at 2x.
#include "ChatWindows.h"
#include "TestSupport.h"
#include "Twips.h"
#include "UiLanguage.h"
#include "UiTestApp.h"
#include "UserListModel.h"
#include "frmChat.h"
#include "frmMain.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <QTreeView>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::ui;

namespace {

using lanyx::test::app;

class Sizes : public ::testing::Test {
protected:
    Sizes() : ann(seg, "ann") {
        app();
        ann.joinAs("ann");
        area = QGuiApplication::primaryScreen()->availableGeometry();
    }
    ~Sizes() override {
        QList<QPointer<QWidget>> open;
        for (QWidget* w : QApplication::topLevelWidgets()) open << w;
        for (auto& w : open) delete w.data();
        language.Apply("English");
    }
    void hear(const std::string& text) {
        seg.post(text);
        seg.deliverAll();
    }
    void german() {
        ann.node.settings().Language = "Deutsch";
        ann.node.ReloadLanguage();
        language.Apply("Deutsch");
    }
    int rowOf(frmMain& main, const QString& name) {
        auto* m = main.lvUsers()->model();
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->index(r, 0).data().toString() == name) return r;
        return -1;
    }

    test::MemorySegment seg;
    test::Peer ann;
    UiLanguage language;
    QRect area;
};

}  // namespace

TEST_F(Sizes, NamesKeepTheirLettersBesideTheLongestStatusWord) {
    german();
    frmMain main(ann.node);  // empties the list to "(All)" as it starts
    for (const char* peer : {"bob|C/255", "carl|C/0", "anneliese|C/0"}) hear(peer);
    hear("carl|S/2");  // Do Not Disturb, in German the longest status word
    hear("bob|S/1");
    main.ShowMe();
    // As narrow as the user can make it.
    main.resize(main.minimumSize());
    QApplication::processEvents();
    const QFontMetrics fm(main.lvUsers()->font());
    for (const QString name : {"bob", "carl", "anneliese"}) {
        const int row = rowOf(main, name);
        ASSERT_GE(row, 0) << name.toStdString();
        const QRect cell = main.lvUsers()->visualRect(main.lvUsers()->model()->index(row, 0));
        EXPECT_GE(cell.width(), fm.horizontalAdvance(name) + main.lvUsers()->iconSize().width() + 12)
            << name.toStdString();
        const QRect status = main.lvUsers()->visualRect(main.lvUsers()->model()->index(row, 1));
        const QString word = main.lvUsers()->model()->index(row, 1).data().toString();
        EXPECT_GE(status.width(), fm.horizontalAdvance(word)) << word.toStdString();
    }
}

TEST_F(Sizes, FirstStartGivesTheMainWindowRoomForItsContentOnTheScreen) {
    german();
    frmMain main(ann.node);
    main.ShowMe();
    QApplication::processEvents();
    EXPECT_TRUE(area.contains(main.frameGeometry()));
    EXPECT_NE(main.frameGeometry().topLeft(), area.topLeft());  // not pushed into the corner
    const QFontMetrics fm(main.lvUsers()->font());
    // A name of the longest kind beside the longest status word, and a dozen rows.
    const int name = fm.horizontalAdvance(QString(15, QLatin1Char('m')));
    const int status = fm.horizontalAdvance(QString::fromStdString(ann.node.StatusName(2)));
    EXPECT_GE(main.lvUsers()->viewport()->width(), name + status + 2 * main.lvUsers()->iconSize().width());
    EXPECT_GE(main.lvUsers()->viewport()->height(), 12 * fm.height());
    EXPECT_GE(main.width(), main.menuBar()->sizeHint().width());
}

TEST_F(Sizes, FirstChatWindowShowsItsTitleAndLongLines) {
    // As start-up leaves it: centred, at the classic small size.
    const auto [sw, sh] = std::pair{ToTwips(QGuiApplication::primaryScreen()->geometry().width(), nullptr),
                                    ToTwips(QGuiApplication::primaryScreen()->geometry().height(), nullptr)};
    ann.node.settings().Chat = CenteredChatGeometry(sw, sh);
    german();
    ChatWindows windows(ann.node, nullptr, nullptr);
    frmChat* chat = windows.OpenChatWindow("bob|");
    QApplication::processEvents();
    EXPECT_TRUE(area.contains(chat->frameGeometry()));
    const QFontMetrics title(QApplication::font());
    EXPECT_GE(chat->width(), title.horizontalAdvance(chat->windowTitle()) + 120);
    const QFontMetrics fm(chat->txtMsg()->font());
    EXPECT_GE(chat->txtMsg()->viewport()->width(), 60 * fm.averageCharWidth());
    EXPECT_GE(chat->txtMsg()->viewport()->height(), 10 * fm.height());
}

TEST_F(Sizes, TheMemberListGrowsWithItsMembersUpToABoundThenScrolls) {
    ChatWindows windows(ann.node, nullptr, nullptr);
    frmChat* chat = windows.OpenChatWindow("bob|");
    chat->resize(chat->width(), area.height());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(chat));
    QTreeWidget* list = chat->lvUsers();
    int named = 0;
    auto heightWith = [&](int members) {
        while (list->topLevelItemCount() < members) chat->AddUser("member" + std::to_string(++named));
        QApplication::processEvents();
        return list->height();
    };
    const int two = heightWith(2), seven = heightWith(7);
    EXPECT_LT(two, seven);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !list->verticalScrollBar()->isVisible(); }));
    const int eight = heightWith(8), twenty = heightWith(20);
    EXPECT_EQ(twenty, eight);
    EXPECT_GE(list->viewport()->height(), 8 * list->sizeHintForRow(0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->verticalScrollBar()->isVisible(); }));
}

TEST_F(Sizes, ThePlacesTheUserGaveWinOverTheFittedSizes) {
    Geometry placed{1500, 1200, 6000, 7000};
    ann.node.keepMainGeometry(placed);
    frmMain main(ann.node);
    main.ShowMe();
    QApplication::processEvents();
    EXPECT_EQ(QRect(main.pos(), main.size()), ToPixels(placed, main.screen()));

    Geometry chatPlace{3000, 900, 5000, 5200};
    ann.node.settings().Chat = chatPlace;
    ChatWindows windows(ann.node, nullptr, nullptr);
    frmChat* chat = windows.OpenChatWindow("bob|");
    EXPECT_EQ(chat->size(), ToPixels(chatPlace, chat->screen()).size());
}
