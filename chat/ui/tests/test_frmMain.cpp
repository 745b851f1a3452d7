// The main window over a node on an in-memory segment, offscreen.
#include "CoolMenu.h"
#include "TestSupport.h"
#include "UiTestApp.h"
#include "TrayIcon.h"
#include "Twips.h"
#include "UserListModel.h"
#include "frmMain.h"
#include "ReadableDelegate.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QTreeView>
#include <gtest/gtest.h>

#include <set>

using namespace lanyx;
using namespace lanyx::test;
using lanyx::ui::frmMain;

namespace {

using lanyx::test::app;

class MainWindow : public ::testing::Test {
protected:
    explicit MainWindow(bool safe = false) : ann(seg, "ann") {
        app();
        ann.node.readSettings();
        ann.node.state().MyName = "ann";
        ann.node.state().SafeMode = safe;
        ann.node.users().setGroups({"team|bob|carl|zed|", "nobody|zed|"});
        // The window comes first, as at start-up: it empties the list when it loads.
        w = std::make_unique<frmMain>(ann.node);
        ann.node.OpenNetwork();
        hear("bob|C/255");
        hear("bob|S/0");
        hear("carl|C/0");
        ann.transport.sent.clear();
    }
    void hear(const std::string& text) {
        seg.post(text);
        seg.deliverAll();
    }
    // The list's row that shows `text`.
    int rowOf(const std::string& text) {
        for (int r = 0; r < w->model()->rowCount(); ++r)
            if (w->model()->index(r, 0).data().toString().toStdString() == text) return r;
        return -1;
    }
    void select(std::initializer_list<const char*> rows) {
        auto* sel = w->lvUsers()->selectionModel();
        sel->clearSelection();
        for (const char* r : rows)
            sel->select(w->model()->index(rowOf(r), 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    MemorySegment seg;
    Peer ann;
    std::unique_ptr<frmMain> w;
};

class SafeMainWindow : public MainWindow {
protected:
    SafeMainWindow() : MainWindow(true) {}
};

}  // namespace

TEST_F(MainWindow, ListShowsAllUsersInTheirColoursAndGroups) {
    auto* m = w->model();
    ASSERT_EQ(m->rowCount(), 6);  // (All), ann, bob, carl, (team), (nobody)
    EXPECT_EQ(m->index(0, 0).data().toString(), "(All)");
    EXPECT_EQ(m->index(rowOf("bob"), 0).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    EXPECT_EQ(m->index(rowOf("bob"), 1).data().toString(), "Available");
    EXPECT_EQ(m->index(rowOf("(team)"), 0).data(Qt::UserRole).toInt(), lanyx::IconGroup);
    // A newcomer and a leaver move the list one row at a time.
    QSignalSpy inserted(m, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(m, &QAbstractItemModel::rowsRemoved);
    hear("dave|C/0");
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(m->index(rowOf("dave"), 0).data().toString(), "dave");
    hear("bob|L/");
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(m->rowCount(), 6);
    EXPECT_EQ(ann.rec.caption, " 3 users online (-0)");  // what the program hands the status line
    w->UpdateStat();
    EXPECT_EQ(w->lblStat()->text(), " 3 users online (-0)");
}

TEST_F(MainWindow, ToolbarFollowsTheSelection) {
    w->show();
    EXPECT_FALSE(w->tbAlert()->isEnabled());
    EXPECT_FALSE(w->tbChat()->isEnabled());
    EXPECT_FALSE(w->tbBlock()->isEnabled());
    for (const char* row : {"(All)", "(team)", "bob"}) {
        select({row});
        EXPECT_TRUE(w->tbAlert()->isEnabled()) << row;
        EXPECT_TRUE(w->tbBlock()->isEnabled()) << row;
    }
    select({});
    EXPECT_FALSE(w->tbChat()->isEnabled());
}

TEST_F(MainWindow, BlockTwiceBlocksAndUnblocks) {
    select({"bob"});
    const auto bob = w->model()->index(rowOf("bob"), 0);
    EXPECT_EQ(bob.data(Qt::UserRole).toInt(), 2);
    w->tbBlock()->trigger();
    EXPECT_EQ(bob.data(Qt::UserRole).toInt(), 3);
    EXPECT_EQ(w->lblStat()->text(), " 3 users online (-1)");
    w->tbBlock()->trigger();
    EXPECT_EQ(bob.data(Qt::UserRole).toInt(), 2);
    EXPECT_EQ(w->lblStat()->text(), " 3 users online (-0)");
    // Only "(All)" and groups selected: nothing is blocked.
    select({"(All)", "(team)"});
    w->tbBlock()->trigger();
    EXPECT_TRUE(ann.node.users().blocked().empty());
}

TEST_F(MainWindow, RecipientsFromTheSelection) {
    std::string composed, chatted;
    w->OpenComposeWindow = [&](const std::string& l) { composed = l; };
    w->OpenChatWindow = [&](const std::string& l) { chatted = l; };
    select({"bob", "(All)"});
    w->tbAlert()->trigger();
    EXPECT_EQ(composed, "(All)|bob|");
    select({"(team)", "ann"});
    w->tbChat()->trigger();
    EXPECT_EQ(chatted, "ann|bob|carl|");  // rows in list order; the group's absent member left out
    select({"(nobody)"});
    w->tbAlert()->trigger();
    EXPECT_EQ(composed, "");
    w->action("mnuSndAll")->trigger();
    EXPECT_EQ(composed, "(All)|");

    // The toolbar's marked letters work from the keyboard.
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    select({"bob"});
    QTest::keyClick(w.get(), Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(chatted, "bob|");
    composed.clear();
    QTest::keyClick(w.get(), Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(composed, "bob|");
}

TEST_F(MainWindow, StatusMenuAnnouncesAndChecksOneItem) {
    w->mnuStat(2)->trigger();
    EXPECT_EQ(ann.transport.sent.back(), "ann|S/2");
    EXPECT_EQ(ann.node.state().Status, 2);
    EXPECT_TRUE(w->mnuStat(2)->isChecked());
    EXPECT_FALSE(w->mnuStat(0)->isChecked());
    EXPECT_EQ(w->mnuStat(1)->text(), "Alerts Only");
    EXPECT_EQ(ui::MenuHelp(w->mnuStat(1)), "Accept alerts but no chat messages");
}

TEST_F(MainWindow, ResizeStopsAtTheMinimumAndMovesToEachCorner) {
    w->show();
    w->resize(20, 20);
    EXPECT_GE(w->width(), ui::ToPixels(2500, w->screen()));
    EXPECT_GE(w->height(), ui::ToPixels(2000, w->screen()));
    const QRect area = w->screen()->availableGeometry();
    for (int corner = 0; corner < 4; ++corner) {
        w->MoveToCorner(corner);
        const QRect f = w->frameGeometry();
        EXPECT_EQ(f.left() == area.left(), corner == 0 || corner == 2) << corner;
        EXPECT_EQ(f.top() == area.top(), corner < 2) << corner;
        if (corner == 3) {
            EXPECT_EQ(f.right(), area.right());
            EXPECT_EQ(f.bottom(), area.bottom());
        }
    }
}

TEST_F(MainWindow, MenuHelpShowsInTheStatusLineAndGoesBack) {
    const QString caption = w->lblStat()->text();
    w->HelpObj_MenuHelp("Status Bar", "Show/hide this bar");
    EXPECT_EQ(w->lblStat()->text(), "Show/hide this bar");
    w->HelpObj_MenuHelp("", "");
    EXPECT_EQ(w->lblStat()->text(), caption);

    // Through a real menu: highlighting an item raises its help.
    w->show();
    QMenu* view = w->mnuWindow();
    view->popup(w->mapToGlobal(QPoint(0, 0)));
    view->setActiveAction(w->mnuStatBar());
    EXPECT_EQ(w->lblStat()->text(), "Show/hide this bar");
    view->hide();
    EXPECT_EQ(w->lblStat()->text(), caption);
}

TEST_F(MainWindow, StatusBarToggleAndShowHideItems) {
    w->show();
    w->tmrMnu_Timer();
    EXPECT_FALSE(w->mnuShowMe()->isVisible());
    EXPECT_TRUE(w->mnuHide()->isVisible());
    w->mnuStatBar()->trigger();
    EXPECT_FALSE(w->lblStat()->isVisible());
    w->mnuStatBar()->trigger();
    EXPECT_TRUE(w->lblStat()->isVisible());
    w->TI()->markActive(true);  // hiding needs a way back
    w->mnuHide()->trigger();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(w->mnuShowMe()->isVisible());
}

// Faults found by use: no tray to come back from, a link without its version.
TEST_F(MainWindow, HideWithoutATrayMinimisesInsteadOfStranding) {
    ASSERT_FALSE(w->hidesToTray());
    w->show();
    w->mnuHide()->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->isMinimized(); }));
    EXPECT_TRUE(w->isVisible());
}

TEST_F(MainWindow, UpdateLinkCarriesTheVersionSetAfterTheWindowWasBuilt) {
    // At start-up the window exists before the version text does.
    ann.node.state().VersionText = MakeVersionText(2, 1, 43);
    w->SetLan();
    const QString update = w->action("mnuWp2")->data().toString();
    EXPECT_TRUE(update.endsWith("version=2.1.43")) << update.toStdString();
    EXPECT_TRUE(ui::MenuHelp(w->action("mnuWp2")).endsWith("2.1.43"));
}

TEST_F(MainWindow, MinimisingHidesBehindTheTrayIcon) {
    w->TI()->markActive(true);
    w->show();
    w->showMinimized();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->isVisible(); }));
    // Double-clicking the tray icon brings it back, normal.
    QSignalSpy dbl(w->TI(), &ui::TrayIcon::MouseDblClk);
    w->TI()->handleMessage(ui::TrayIcon::LeftButtonDoubleClick);
    EXPECT_EQ(dbl.count(), 1);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isMinimized());
}

TEST_F(MainWindow, MenusAreDrawnWithIconsMatchedByCaption) {
    EXPECT_FALSE(w->action("mnuAbout")->icon().isNull());
    EXPECT_FALSE(w->action("mnuWp0")->icon().isNull());
    EXPECT_TRUE(w->mnuStatBar()->icon().isNull());  // no image has its caption
    EXPECT_EQ(w->action("mnuPopSep0")->text(), "Lanyx Alerter");
    EXPECT_TRUE(w->action("mnuPopSep0")->isSeparator());
    EXPECT_NE(qobject_cast<ui::CoolMenuStyle*>(w->mnuPop()->style()), nullptr);
    EXPECT_EQ(ui::MenuHelp(w->action("mnuWp0")), w->action("mnuWp0")->data().toString());
}

TEST_F(SafeMainWindow, SafeModeKeepsPlainMenusWithCutCaptions) {
    EXPECT_EQ(w->action("mnuChatAll")->text(), "Start &Live Chat With All");
    EXPECT_EQ(ui::MenuHelp(w->action("mnuChatAll")), "");
    EXPECT_FALSE(w->action("mnuPopSep0")->isVisible());
    EXPECT_TRUE(w->action("mnuPopSep1")->isVisible());
    EXPECT_TRUE(w->action("mnuPopSep1")->text().isEmpty());
    EXPECT_FALSE(w->action("mnuWebSep1")->isVisible());
    EXPECT_EQ(qobject_cast<ui::CoolMenuStyle*>(w->mnuPop()->style()), nullptr);
    EXPECT_EQ(w->mnuStat(0)->text(), "Available");
    EXPECT_TRUE(w->action("mnuWp0")->text().endsWith(w->action("mnuWp0")->data().toString()));
}

TEST_F(MainWindow, ALeaverInTheMiddleKeepsTheSelectionOnTheSameUsers) {
    hear("dave|C/0");
    hear("eve|C/0");
    select({"carl", "eve"});  // eve is the roster's last row: she moves into bob's place there
    QSignalSpy removed(w->model(), &QAbstractItemModel::rowsRemoved);
    hear("bob|L/");
    EXPECT_EQ(removed.count(), 1);
    std::set<std::string> selected;
    for (const auto& i : w->lvUsers()->selectionModel()->selectedRows())
        selected.insert(i.data().toString().toStdString());
    EXPECT_EQ(selected, (std::set<std::string>{"carl", "eve"}));
    // Every row shows what the roster holds there.
    auto* m = w->model();
    for (int r = 0; r < m->rowCount(); ++r)
        EXPECT_EQ(m->index(r, 0).data().toString().toStdString(), ann.node.users().rowText(w->model()->rosterRow(r)));
}

TEST_F(MainWindow, RefreshAsksTheSegmentUnderTheProbeNameAtMostEveryFewSeconds) {
    auto* refresh = w->findChild<QAction*>("mnuRefresh");
    ASSERT_NE(refresh, nullptr);
    EXPECT_EQ(refresh->shortcut(), QKeySequence(Qt::Key_F5));
    refresh->trigger();
    refresh->trigger();
    EXPECT_EQ(ann.transport.sent, (std::vector<std::string>{"_ann|S/0"}));
}

TEST_F(MainWindow, MinimumWidthFitsTheToolbarInTheChosenLanguage) {
    for (const char* language : {"English", "Deutsch"}) {
        ann.node.settings().Language = language;
        ann.node.ReloadLanguage();
        w->SetLan();
        w->show();
        w->resize(1, 300);
        const auto allShown = [&] {
            for (QAction* a : w->TB()->actions()) {
                const QWidget* b = w->TB()->widgetForAction(a);
                if (!b || !b->isVisible() || b->geometry().right() > w->TB()->width()) return false;
            }
            return true;
        };
        EXPECT_TRUE(QTest::qWaitFor(allShown)) << language;
        for (QAction* a : w->TB()->actions()) {
            QWidget* b = w->TB()->widgetForAction(a);
            ASSERT_NE(b, nullptr);
            EXPECT_TRUE(b->isVisible()) << language << ": " << a->text().toStdString() << " in the overflow";
            EXPECT_LE(b->geometry().right(), w->TB()->width()) << language;
        }
    }
}

TEST_F(MainWindow, AColourInvisibleOnTheListIsDrawnReadableButStoredAsSent) {
    hear("dan|C/-1");  // white on the white list
    const int row = rowOf("dan");
    ASSERT_GE(row, 0);
    const QModelIndex index = w->model()->index(row, 0);
    QPalette pal = w->lvUsers()->palette();
    pal.setColor(QPalette::Base, Qt::white);
    QStyleOptionViewItem option;
    option.initFrom(w->lvUsers());
    option.palette = pal;
    auto* delegate = static_cast<ui::ReadableDelegate*>(w->lvUsers()->itemDelegate());
    delegate->initStyleOption(&option, index);
    EXPECT_GE(ui::ContrastRatio(option.palette.color(QPalette::Text), Qt::white), ui::kReadableContrast);
    EXPECT_EQ(w->model()->data(index, Qt::ForegroundRole).value<QColor>(), QColor(255, 255, 255));
    EXPECT_EQ(ann.node.users().GetColorForUName("dan"), 0xFFFFFFFFu);
}

TEST(TrayUnread, TheMarkShowsUntilClearedAndSurvivesANewIcon) {
    lanyx::test::app();
    ui::TrayIcon tray;
    const QIcon base(QStringLiteral(":/lanyx/lanyx.svg"));
    tray.setIcon(base);
    const QImage plain = tray.shownIcon().pixmap(32, 32).toImage();
    tray.setUnread(true);
    const QImage marked = tray.shownIcon().pixmap(32, 32).toImage();
    EXPECT_NE(plain, marked);
    // The mark sits in the top right corner; the rest is the program's icon.
    EXPECT_EQ(marked.pixelColor(31 - 6, 6).red(), 0xE0);
    EXPECT_EQ(plain.pixelColor(2, 30), marked.pixelColor(2, 30));
    tray.setIcon(base);  // e.g. the language switch sets the icon again
    EXPECT_EQ(tray.shownIcon().pixmap(32, 32).toImage(), marked);
    tray.setUnread(false);
    EXPECT_EQ(tray.shownIcon().pixmap(32, 32).toImage(), plain);
}

// At the default size in German a status column of long words must not cut
// the group names (and "(All)") short: those rows have no status to show.
TEST_F(MainWindow, GroupNamesAreNotCutAtTheDefaultSizeInGerman) {
    ann.node.users().setGroups({"Entwicklung|bob|", "Buchhaltung|carl|"});
    ann.node.settings().Language = "Deutsch";
    ann.node.ReloadLanguage();
    hear("bob|S/1");
    hear("carl|S/2");
    w->SetLan();
    w->ApplyGeometry();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    const QFontMetrics fm(w->lvUsers()->font());
    int checked = 0;
    for (int r = 0; r < w->model()->rowCount(); ++r) {
        const QModelIndex index = w->model()->index(r, 0);
        const int icon = index.data(Qt::UserRole).toInt();
        if (icon != 1 && icon != 4) continue;  // "(All)" and the groups
        ++checked;
        const QString text = index.data().toString();
        const int needed = fm.horizontalAdvance(text) + w->lvUsers()->iconSize().width() + 12;
        EXPECT_GE(w->lvUsers()->visualRect(index).width(), needed) << text.toStdString() << " is cut";
    }
    EXPECT_EQ(checked, 3);
}
