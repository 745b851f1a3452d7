// Compose, popup, chat and save windows over a node on an in-memory segment.
#include "ChatWindows.h"
#include "Announce.h"
#include "EmojiPicker.h"
#include "TestSupport.h"
#include "UiTestApp.h"
#include "Twips.h"
#include "frmChat.h"
#include "FindBar.h"
#include "frmCom.h"
#include "frmPop.h"
#include "frmSave.h"
#include "PopupSummary.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QSplitter>
#include <QClipboard>
#include <QHelpEvent>
#include <QMimeData>
#include <QAccessible>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolTip>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::ui;

namespace {

using lanyx::test::app;

class Windows : public ::testing::Test {
protected:
    Windows() : ann(seg, "ann") {
        app();
        ann.joinAs("ann");
        hear("bob|C/255");
        hear("carl|C/0");
        ann.transport.sent.clear();
        windows = std::make_unique<ChatWindows>(
            ann.node, [this](const QString& s) { sounds << s; }, [this](const std::string&) { return exportTo; });
        windows->setWaiting(&ann.waiting);
    }
    ~Windows() override {
        // Windows may own other top-level widgets (their menus): delete each once.
        QList<QPointer<QWidget>> open;
        for (QWidget* w : QApplication::topLevelWidgets()) open << w;
        for (auto& w : open) delete w.data();
    }
    void hear(const std::string& text) {
        seg.post(text);
        seg.deliverAll();
    }
    test::MemorySegment seg;
    test::Peer ann;
    std::unique_ptr<ChatWindows> windows;
    QStringList sounds;
    QString exportTo;
};

// A window that closes itself once the current events are through.
template <typename W> void closeSoon(QPointer<W>& w) {
    for (int i = 0; i < 10 && w; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

QStringList rows(QTreeWidget* list) {
    QStringList r;
    for (int i = 0; i < list->topLevelItemCount(); ++i) r << list->topLevelItem(i)->text(0);
    return r;
}

// What a compose window says of its alert, per recipient, as one text.
QString delivery(frmCom* w) {
    return rows(w->lstDelivery()).join(QLatin1Char('\n'));
}

}  // namespace

TEST_F(Windows, ComposeKeepsAllAloneAndSendsOrStaysOpen) {
    EXPECT_EQ(windows->OpenComposeWindow(""), nullptr);  // an empty list opens nothing
    QPointer<frmCom> w = windows->OpenComposeWindow("(All)|bob|");
    ASSERT_TRUE(w);
    EXPECT_EQ(rows(w->lvUsers()), QStringList{"(All)"});
    EXPECT_EQ(w->windowTitle(), "Send Message - Lanyx");

    QPointer<frmCom> named = windows->OpenComposeWindow("bob|BOB|carl|");
    EXPECT_EQ(rows(named->lvUsers()), (QStringList{"bob", "carl"}));
    named->txtMsg()->setPlainText("   ");
    named->sendButton()->trigger();
    EXPECT_TRUE(named);  // a blank message: nothing sent, still open
    EXPECT_TRUE(ann.transport.sent.empty());
    named->txtMsg()->setPlainText("disk full");
    named->setLingerMs(0);
    named->sendButton()->trigger();
    // Private copies: the window says how each went before it closes.
    ASSERT_TRUE(named);
    EXPECT_EQ(delivery(named),
              "bob: in the clear, sent; this recipient's program does not confirm\n"
              "carl: in the clear, sent; this recipient's program does not confirm");
    named->sendButton()->trigger();  // sent once only
    closeSoon(named);
    EXPECT_FALSE(named);
    EXPECT_EQ(ann.transport.sent.size(), 2u);

    w->txtMsg()->setPlainText("lunch");
    w->sendButton()->trigger();  // to everybody: closes at once
    QApplication::processEvents();
    EXPECT_FALSE(w);
}

TEST_F(Windows, PrivateMessagesShowALockOrTheClearPerRecipientAndThenDelivery) {
    test::Peer dave(seg, "dave");
    dave.joinAs("dave");
    seg.runFor(2000);  // keys announced and pinned both ways
    std::size_t routed = 0;
    const auto route = [&](std::uint32_t ms) {
        seg.runFor(ms);
        for (; routed < ann.rec.deliveries.size(); ++routed) windows->PrivateDelivery(ann.rec.deliveries[routed]);
    };
    const QString clear = "bob: in the clear, sent; this recipient's program does not confirm";

    frmChat* chat = windows->OpenChatWindow("dave|bob|");
    QPointer<frmCom> com = windows->OpenComposeWindow("dave|bob|");
    com->setLingerMs(0);
    com->txtMsg()->setPlainText("the safe code is 4711");
    com->sendButton()->trigger();
    ASSERT_TRUE(com);
    EXPECT_EQ(delivery(com), "dave: encrypted, waiting for confirmation\n" + clear);
    EXPECT_FALSE(com->sendButton()->isEnabled());
    EXPECT_TRUE(com->txtMsg()->isReadOnly());
    QApplication::processEvents();
    EXPECT_TRUE(com);  // still waiting for dave
    route(100);
    ASSERT_TRUE(com);
    EXPECT_EQ(delivery(com), "dave: encrypted, delivered\n" + clear);
    EXPECT_TRUE(chat->lblDelivery()->isHidden());  // not the chat window's message
    closeSoon(com);
    EXPECT_FALSE(com);

    // The chat window: the own copy is not listed; a member who went away
    // stays not confirmed after the repeats.
    chat->txtSnd()->setText("hi");
    chat->Send();
    EXPECT_FALSE(chat->lblDelivery()->isHidden());
    EXPECT_EQ(chat->lblDelivery()->text(), "dave: encrypted, waiting for confirmation\n" + clear);
    route(100);
    EXPECT_EQ(chat->lblDelivery()->text(), "dave: encrypted, delivered\n" + clear);
    dave.transport.close();
    chat->txtSnd()->setText("still there?");
    chat->Send();
    route(20000);
    EXPECT_EQ(chat->lblDelivery()->text(), "dave: encrypted, not confirmed\n" + clear);
}

// What a screen reader is told of its own accord: a popup is an alert and
// says so when it shows and when it takes another alert; a line in a chat
// window the user is not in raises an alert on that window; the status
// line is read by its text.

TEST_F(Windows, AlertsAndLinesInChatsNotInFrontAreAnnounced) {
    std::vector<QWidget*> told;
    const auto listening = QObject::connect(&Announcements::instance(), &Announcements::alerted,
                                            [&](QWidget* w) { told.push_back(w); });
    const auto alerts = [&](QWidget* on) { return std::count(told.begin(), told.end(), on); };
    QPointer<frmPop> pop = windows->ShowAlert("Server down", "bob", false);
    ASSERT_TRUE(pop);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(pop)->role(), QAccessible::AlertMessage);
    EXPECT_EQ(alerts(pop), 1);
    windows->ShowAlert("and the mail", "bob", false);
    EXPECT_EQ(alerts(pop), 2);

    frmChat* chat = windows->OpenChatWindow("bob|");
    ASSERT_FALSE(chat->isActiveWindow());
    windows->RouteChatLine("are you there?", "bob", 0);
    EXPECT_EQ(alerts(chat), 1);
    windows->RouteChatLine("my own line", "ann", 0);  // the own lines need no attention
    EXPECT_EQ(alerts(chat), 1);
    QObject::disconnect(listening);

    QAccessibleInterface* status = QAccessible::queryAccessibleInterface(chat->lblStat());
    EXPECT_EQ(status->text(QAccessible::Name), chat->lblStat()->text());
    EXPECT_FALSE(status->text(QAccessible::Description).isEmpty());
}

TEST_F(Windows, PopupSlidesInFlashesAndPlaysTheSound) {
    ann.node.settings().PopupPosition = 4;
    ann.node.settings().AlertHeight = 0;
    ann.node.settings().AlertSound = "(B)";
    QPointer<frmPop> pop = windows->ShowAlert("Server down", "bob", false);
    EXPECT_EQ(pop->windowTitle(), "bob");
    EXPECT_EQ(pop->message(), "Server down");
    EXPECT_EQ(pop->lblFrom()->text(), "bob");
    EXPECT_EQ(pop->lblFrom()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(sounds, QStringList{"(B)"});
    const QRect screen = pop->screen()->availableGeometry();
    EXPECT_GE(pop->y(), screen.bottom() - 1);  // starts below the screen
    EXPECT_GE(ToTwips(pop->width(), pop->screen()), 1999);
    int guard = 0;
    while (pop->sliding() && ++guard < 10000) pop->aniTimer_Timer();
    // The whole window, with the frame the platform puts around it, rests
    // at the bottom of the work area, at its right edge.
    const QRect frame = pop->frameGeometry();
    EXPECT_LE(frame.bottom(), screen.bottom());
    EXPECT_GT(frame.bottom(), screen.bottom() - 5);
    EXPECT_EQ(frame.right(), screen.right());
    while (pop->flashing()) pop->Timer_Timer();
    EXPECT_EQ(pop->flashToggles(), 6);

    ann.node.settings().PopupPosition = 0;
    QPointer<frmPop> still = windows->ShowAlert("x", "carl", false);
    EXPECT_FALSE(still->sliding());
}

TEST_F(Windows, PopupMenuRepliesBlocksAndContinuesAsChat) {
    QPointer<frmPop> pop = windows->ShowAlert("hello", "bob", true);
    pop->action("mnuBlock")->trigger();
    EXPECT_TRUE(ann.node.users().IsBlocked("bob"));
    EXPECT_TRUE(pop);  // blocking leaves it open
    pop->action("mnuLive")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(pop);
    ASSERT_EQ(windows->chatWindows().size(), 1);
    frmChat* chat = windows->chatWindows().front();
    EXPECT_EQ(rows(chat->lvUsers()), (QStringList{"ann", "bob"}));
    ASSERT_EQ(chat->transcript().lines().size(), 1u);
    EXPECT_EQ(chat->transcript().lines()[0].text, "hello");

    QPointer<frmPop> other = windows->ShowAlert("hi", "carl", false);
    other->action("mnuReplyAll")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(other);
    bool composeToAll = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* c = qobject_cast<frmCom*>(w)) composeToAll = composeToAll || c->IsUserPresent("(All)");
    EXPECT_TRUE(composeToAll);
}

TEST_F(Windows, PopupExportWritesOneQuotedRecord) {
    test::TempDir dir;
    exportTo = QString::fromStdString((dir / "alert.txt").string());
    QPointer<frmPop> pop = windows->ShowAlert("disk full", "bob", false);
    pop->ExportToTextFile();
    EXPECT_EQ(test::readBytes(dir / "alert.txt"), "\"\r\ndisk full\"\r\n");
}

TEST_F(Windows, ChatLinesGoToEveryWindowThatHoldsTheSender) {
    frmChat* first = windows->OpenChatWindow("BOB|");
    frmChat* second = windows->OpenChatWindow("bob|carl|");
    windows->RouteChatLine("hi", "bob", 255);
    EXPECT_EQ(first->transcript().lines().size(), 1u);  // member in another letter case
    EXPECT_EQ(second->transcript().lines().size(), 1u);
    EXPECT_EQ(windows->chatWindows().size(), 2);

    windows->RouteChatLine("psst", "dave", 0);  // nobody's member: a new window
    ASSERT_EQ(windows->chatWindows().size(), 3);
    frmChat* third = windows->chatWindows().back();
    EXPECT_EQ(rows(third->lvUsers()), (QStringList{"ann", "dave"}));
    EXPECT_EQ(third->transcript().PlainText(), "dave:\tpsst\r\n");
    EXPECT_NE(ann.log().find("New chat window opened"), std::string::npos);
    EXPECT_NE(ann.log().find("dave Added to chat window"), std::string::npos);

    // A peer that leaves leaves every window.
    windows->RemoveUserFromChats("carl");
    EXPECT_EQ(rows(second->lvUsers()), (QStringList{"ann", "bob"}));
    EXPECT_NE(ann.log().find("carl Removed from chat window"), std::string::npos);
}

// The emoji button beside the chat's line and in the compose window's bar:
// reached with Tab, and the emoji picked goes where the cursor is.
TEST_F(Windows, AnEmojiPickedGoesWhereTheCursorIs) {
    frmChat* chat = windows->OpenChatWindow("bob|");
    QPointer<frmCom> com = windows->OpenComposeWindow("bob|");
    ASSERT_TRUE(chat && com);
    for (QWidget* w : {static_cast<QWidget*>(chat), static_cast<QWidget*>(com.data())}) {
        auto* button = w->findChild<EmojiButton*>("tbEmoji");
        ASSERT_TRUE(button);
        EXPECT_TRUE(button->focusPolicy() & Qt::TabFocus);
        EXPECT_FALSE(button->accessibleName().isEmpty());
        ASSERT_GT(button->grid()->count(), 20);
        if (w == chat) {
            chat->txtSnd()->setText("see you ");
            chat->txtSnd()->setCursorPosition(4);
        } else {
            com->txtMsg()->setPlainText("lunch");
            com->txtMsg()->moveCursor(QTextCursor::End);
        }
        Q_EMIT button->grid()->itemClicked(button->grid()->item(12));
    }
    const QString thumb = EmojiButton::offered().at(12);
    EXPECT_EQ(chat->txtSnd()->text(), "see " + thumb + "you ");
    EXPECT_EQ(com->txtMsg()->toPlainText(), "lunch" + thumb);
}

TEST_F(Windows, CtrlFFindsTheNewestMatchFirstAndEscapeGivesTheKeyboardBack) {
    frmChat* chat = windows->OpenChatWindow("bob|");
    chat->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(chat));
    for (const char* line : {"lunch at noon?", "the report is late", "Lunch is on me", "see you at lunch"})
        chat->AddMsg(line, "bob", 0);
    const auto blockOf = [&] { return chat->txtMsg()->document()->findBlock(chat->txtMsg()->textCursor().position()); };
    QTest::keyClick(chat, Qt::Key_F, Qt::ControlModifier);
    FindBar* bar = chat->findBar();
    ASSERT_TRUE(bar->isVisible());
    ASSERT_TRUE(bar->field()->hasFocus());
    QTest::keyClicks(bar->field(), "lunch");
    EXPECT_EQ(bar->matches(), 3);  // letter case aside
    EXPECT_EQ(bar->current(), 3);
    EXPECT_TRUE(blockOf().text().contains("see you at lunch"));
    QTest::keyClick(bar->field(), Qt::Key_Return);  // the one before
    EXPECT_EQ(bar->current(), 2);
    EXPECT_TRUE(blockOf().text().contains("Lunch is on me"));
    QTest::keyClick(bar->field(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(bar->current(), 3);
    // A line that comes while it is open is searched too.
    chat->AddMsg("lunch tomorrow too", "bob", 0);
    EXPECT_EQ(bar->matches(), 4);
    bar->field()->setText("dinner");
    EXPECT_EQ(bar->matches(), 0);
    EXPECT_EQ(bar->current(), 0);
    QTest::keyClick(bar->field(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return chat->txtSnd()->hasFocus(); }));
}

TEST_F(Windows, AnAtCompletesAMembersNameAndALineThatNamesTheUserStandsOut) {
    frmChat* chat = windows->OpenChatWindow("bob|carl|");
    chat->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(chat));
    chat->txtSnd()->setFocus();
    QTest::keyClicks(chat->txtSnd(), "lunch @");
    QListWidget* offered = chat->mentionList();
    ASSERT_TRUE(offered->isVisibleTo(chat));
    EXPECT_EQ(offered->count(), 2);  // bob and carl
    QTest::keyClicks(chat->txtSnd(), "c");
    ASSERT_EQ(offered->count(), 1);
    QTest::keyClick(chat->txtSnd(), Qt::Key_Return);  // takes the name, sends nothing
    EXPECT_EQ(chat->txtSnd()->text(), "lunch @carl ");
    EXPECT_FALSE(offered->isVisibleTo(chat));

    chat->AddMsg("@ann are you in?", "bob", 0);
    chat->AddMsg("carl is in", "bob", 0);
    const QTextBlock last = chat->txtMsg()->document()->lastBlock();
    const QTextBlock named = last.previous();
    const auto weight = [](const QTextBlock& b) { return b.begin().fragment().charFormat().fontWeight(); };
    EXPECT_EQ(weight(named), QFont::Bold);
    EXPECT_NE(weight(last), QFont::Bold);
}

TEST_F(Windows, ChatWithEverybodyShowsEveryLineAndSendsOnce) {
    frmChat* all = windows->OpenChatWindow("(All)|");
    EXPECT_EQ(rows(all->lvUsers()), (QStringList{"ann", "(All)"}));
    EXPECT_EQ(all->lblStat()->text(), " 2 members in this chat");
    all->txtSnd()->setText("hello all");
    all->Send();
    EXPECT_EQ(ann.transport.sent, std::vector<std::string>{"ann|M/\xDEhello all"});
    EXPECT_TRUE(all->txtSnd()->text().isEmpty());
    windows->RouteChatLine("x", "zed", 0);
    EXPECT_EQ(windows->chatWindows().size(), 1);
    EXPECT_EQ(all->transcript().lines().size(), 1u);
}

TEST_F(Windows, ChatWindowMenusMembersAndLimits) {
    frmChat* w = windows->OpenChatWindow("bob|");
    w->show();
    Q_EMIT w->mnuAdd()->aboutToShow();
    // Add User offers "(All)" and the users not in the chat yet, no groups.
    QStringList offered;
    for (QAction* a : w->mnuAdd()->actions())
        if (!a->isSeparator()) offered << a->text();
    EXPECT_EQ(offered, (QStringList{"(All)", "carl"}));
    w->mnuAdd()->actions().last()->trigger();
    EXPECT_TRUE(w->IsUserPresent("carl"));
    // Remove User never removes the own name.
    w->lvUsers()->setCurrentItem(w->lvUsers()->topLevelItem(0));
    w->RemoveSelectedUser();
    EXPECT_TRUE(w->IsUserPresent("ann"));
    w->lvUsers()->setCurrentItem(w->lvUsers()->topLevelItem(1));
    w->RemoveSelectedUser();
    EXPECT_FALSE(w->IsUserPresent("bob"));
    // Add Time puts the time before the name.
    w->action("mnuTime")->setChecked(true);
    w->AddMsg("late", "carl", 0);
    EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d carl$")
                    .match(QString::fromStdString(w->transcript().lines().back().prefix))
                    .hasMatch());
    // The export keeps who was removed, before the line that came after it,
    // and the time of each whether the window shows it or not.
    ASSERT_EQ(w->transcript().notes().size(), 1u);
    EXPECT_EQ(w->transcript().notes()[0].before, 0u);
    EXPECT_FALSE(w->transcript().notes()[0].time.empty());
    EXPECT_EQ(w->transcript().lines().back().sender, "carl");
    // Sizes: at least 2000 × 3000 twips; the splitter keeps 400 twips above it.
    w->resize(10, 10);
    EXPECT_GE(ToTwips(w->width(), w->screen()), 1990);
    EXPECT_GE(ToTwips(w->height(), w->screen()), 2990);
    w->splitter()->setSizes({0, 100000});
    EXPECT_GE(ToTwips(w->lvUsers()->height(), w->screen()), 390);
    // The help text of a highlighted item, then back.
    w->HelpObj_MenuHelp("", "Clear the chat dialog");
    EXPECT_EQ(w->lblStat()->text(), "Clear the chat dialog");
    w->HelpObj_MenuHelp("", "");
    EXPECT_EQ(w->lblStat()->text(), w->statusTag());
    // Every window saves the shared rectangle.
    w->move(50, 60);
    EXPECT_EQ(ann.node.settings().Chat.left, ToTwips(50, w->screen()));
}

TEST_F(Windows, SaveDialogSwitchesTypesAndNeverChoosesAnExistingFile) {
    test::TempDir dir;
    test::writeBytes(dir / "old.txt", "x");
    frmSave dialog(ann.node);
    dialog.setFolder(QString::fromStdString(dir.path().string()));
    dialog.setTypes("Text Files (*.txt)|Rich Text Files (*.rtf)|");
    EXPECT_EQ(dialog.txtFileName()->text(), "old.txt");  // the first .txt of the folder
    dialog.cmdSave_Click();
    EXPECT_TRUE(dialog.result().isEmpty());  // an existing file is only selected

    dialog.txtFileName()->setText("chat.txt");
    dialog.txtFileType()->setCurrentIndex(1);
    dialog.txtFileType_Click();
    EXPECT_EQ(dialog.txtFileName()->text(), "chat.rtf");
    EXPECT_EQ(dialog.pattern(), "*.rtf");

    dialog.txtFileName()->setText("notes");
    dialog.cmdSave_Click();
    EXPECT_EQ(dialog.result(), QString::fromStdString((dir / "notes.rtf").string()));
}

// Faults found by use: renaming oneself, the popup's menu, giant alerts.
TEST_F(Windows, OpenChatsFollowARenameOfTheOwnName) {
    frmChat* w = windows->OpenChatWindow("bob|");
    ASSERT_TRUE(w->IsUserPresent("ann"));
    windows->RenameOwnInChats("ann", "anna");
    EXPECT_TRUE(w->IsUserPresent("anna"));
    EXPECT_FALSE(w->IsUserPresent("ann"));
    EXPECT_EQ(w->members().names(), (std::vector<std::string>{"anna", "bob"}));  // the own name stays first
    ann.node.state().MyName = "anna";                                            // what the rejoin did
    // A member already under the new name is not listed twice.
    frmChat* v = windows->OpenChatWindow("zoe|");
    v->AddUser("ZOE2");
    windows->RenameOwnInChats("anna", "zoe2");
    EXPECT_EQ(v->members().names(), (std::vector<std::string>{"zoe2", "zoe"}));
    EXPECT_TRUE(w->AddMsg("hello", "zoe2", 0));
}

TEST_F(Windows, PopupMenuOpensFromAWideTargetAndFromARightClickAnywhere) {
    frmPop* pop = windows->ShowAlert("hello", "bob", false);
    EXPECT_GE(pop->lblDrop()->width(), 20);
    EXPECT_GE(pop->lblDrop()->height(), 20);
    for (QWidget* target : {static_cast<QWidget*>(pop->txtAlerts()->viewport()), static_cast<QWidget*>(pop)}) {
        pop->mnuPop()->hide();
        QContextMenuEvent ev(QContextMenuEvent::Mouse, QPoint(5, 5), target->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(target, &ev);
        EXPECT_TRUE(pop->mnuPop()->isVisible()) << target->objectName().toStdString();
    }
    pop->mnuPop()->hide();
}

TEST_F(Windows, GiantAlertsStayInsideTheWorkAreaAndExportWhole) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const std::string word(60000, 'x');
    std::string lines;
    for (int i = 0; i < 5000; ++i) lines += "line\n";
    for (const std::string& text : {word, lines}) {
        frmPop* pop = windows->ShowAlert(text, "bob", false);
        for (int i = 0; i < 2000 && pop->sliding(); ++i) pop->aniTimer_Timer();
        EXPECT_LE(pop->frameGeometry().width(), area.width());
        EXPECT_LE(pop->frameGeometry().height(), area.height());
        EXPECT_TRUE(area.contains(pop->frameGeometry())) << pop->frameGeometry().x() << "," << pop->frameGeometry().y();
        EXPECT_EQ(pop->message().size(), static_cast<qsizetype>(text.size()));
        exportTo = QDir::temp().filePath("lanyx-giant.txt");
        QFile::remove(exportTo);
        pop->ExportToTextFile();
        EXPECT_GE(QFileInfo(exportTo).size(), static_cast<qint64>(text.size()));
        pop->close();
    }
}

TEST_F(Windows, NewChatWindowsCascadeInsideTheWorkArea) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QList<QPoint> seen;
    for (int i = 0; i < 40; ++i) {
        frmChat* w = windows->OpenChatWindow("bob|");
        EXPECT_TRUE(area.contains(QRect(w->pos(), w->size()))) << i;
        if (i < 8) {
            EXPECT_FALSE(seen.contains(w->pos())) << i;  // never exactly on an older one
            seen.append(w->pos());
        }
    }
}

// A hostile or unlucky segment: windows stay bounded.
TEST_F(Windows, AlertFloodsJoinOnePopupPerSenderUnderATotalCap) {
    for (int i = 0; i < 10000; ++i) windows->ShowAlert("alert " + std::to_string(i), "bob", false);
    ASSERT_EQ(windows->popups().size(), 1);
    frmPop* bob = windows->popups().front();
    EXPECT_EQ(bob->alertCount(), 10000);
    EXPECT_EQ(bob->message(), "alert 9999");
    EXPECT_EQ(bob->windowTitle(), "bob (10000)");
    EXPECT_EQ(windows->ShowAlert("again", "BOB", false), bob);  // names without regard to case

    for (int i = 0; i < 20; ++i) windows->ShowAlert("hi", "peer" + std::to_string(i), false);
    EXPECT_EQ(windows->popups().size(), ChatWindows::kMaxPopups);
    // The first newcomer past the cap took the oldest place (bob's, whose
    // alerts wait in the summary); the rest of the burst waits there too.
    EXPECT_EQ(windows->alertsNotShown(), 20 - ChatWindows::kMaxPopups);
    ASSERT_NE(windows->summary(), nullptr);
    EXPECT_TRUE(windows->summary()->senders().contains("bob"));
    // Closing one makes room again: bob comes back with all he sent.
    windows->popups().front()->close();
    frmPop* back = windows->ShowAlert("back", "bob", false);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->alertCount(), 10002);
    EXPECT_EQ(windows->popups().size(), ChatWindows::kMaxPopups);
}

TEST_F(Windows, ChatFloodsOpenBoundedWindowsAndOnlyOncePerUnknownSender) {
    for (int i = 0; i < 200; ++i) windows->RouteChatLine("spam", "stranger" + std::to_string(i), 0);
    EXPECT_EQ(windows->chatWindows().size(), ChatWindows::kMaxNetworkChats);
    EXPECT_EQ(windows->chatLinesNotShown(), 200 - ChatWindows::kMaxNetworkChats);
    // Closing the window of an unknown sender does not invite another one.
    frmChat* first = windows->chatWindows().front();
    ASSERT_TRUE(first->IsUserPresent("stranger0"));
    delete first;
    windows->RouteChatLine("again", "stranger0", 0);
    EXPECT_EQ(windows->chatWindows().size(), ChatWindows::kMaxNetworkChats - 1);
    // A listed user still gets a window once there is room.
    windows->RouteChatLine("hello", "bob", 255);
    EXPECT_EQ(windows->chatWindows().size(), ChatWindows::kMaxNetworkChats);
    EXPECT_TRUE(windows->chatWindows().back()->IsUserPresent("bob"));
    // Windows the user opens are not counted against the network's share.
    EXPECT_NE(windows->OpenChatWindow("carl|"), nullptr);
}

TEST_F(Windows, AddUserMenuIsBuiltWhenItOpens) {
    frmChat* w = windows->OpenChatWindow("bob|");
    hear("dora|C/0");
    windows->refreshNow();
    auto names = [&] {
        QStringList n;
        for (QAction* a : w->mnuAdd()->actions()) n << a->text();
        return n;
    };
    EXPECT_FALSE(names().contains("dora"));  // nothing kept up to date per window
    Q_EMIT w->mnuAdd()->aboutToShow();
    EXPECT_TRUE(names().contains("dora"));
}

// A line for a window in the background asks for attention: the window is
// marked unread (the tray shows it) until it is activated, and the chosen
// chat sound plays, once for a burst of lines.
TEST_F(Windows, LineInABackgroundWindowIsUnreadUntilActivated) {
    QString chatSound = "(B)";
    windows->setChatSound([&] { return chatSound; });
    QList<bool> changes;
    QObject::connect(windows.get(), &ChatWindows::unreadChanged, [&](bool u) { changes << u; });
    frmChat* bobChat = windows->OpenChatWindow("bob|");
    frmChat* carlChat = windows->OpenChatWindow("carl|");
    // The user works in another window.
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    QTRY_VERIFY(elsewhere.isActiveWindow());
    QApplication::processEvents();
    ASSERT_FALSE(bobChat->isActiveWindow());
    ASSERT_FALSE(carlChat->isActiveWindow());

    windows->RouteChatLine("ann here", "ANN", 0);  // the own line, back from the segment
    EXPECT_FALSE(windows->hasUnread());
    EXPECT_TRUE(sounds.isEmpty());

    windows->RouteChatLine("hi", "bob", 255);
    windows->RouteChatLine("there?", "bob", 255);
    windows->RouteChatLine("me too", "carl", 0);
    EXPECT_EQ(windows->unreadWindows(), (QList<frmChat*>{bobChat, carlChat}));
    EXPECT_EQ(changes, QList<bool>{true});  // one change for the whole burst
    EXPECT_EQ(sounds, QStringList{"(B)"});  // one sound, not three

    bobChat->activateWindow();
    QTRY_VERIFY(bobChat->isActiveWindow());
    EXPECT_EQ(windows->unreadWindows(), QList<frmChat*>{carlChat});
    EXPECT_EQ(changes, QList<bool>{true});
    // The active window's lines are seen as they come.
    windows->RouteChatLine("still here", "bob", 255);
    EXPECT_EQ(windows->unreadWindows(), QList<frmChat*>{carlChat});
    // Closing the last unread window clears the state too.
    carlChat->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(windows->hasUnread());
    EXPECT_EQ(changes, (QList<bool>{true, false}));
}

TEST_F(Windows, SilentChatSoundPlaysNothingAndANewWindowFromTheSegmentIsUnread) {
    windows->setChatSound([] { return QStringLiteral("(S)"); });
    windows->RouteChatLine("psst", "dave", 0);  // no window holds dave: one opens
    ASSERT_EQ(windows->chatWindows().size(), 1);
    EXPECT_EQ(windows->unreadWindows(), windows->chatWindows());
    EXPECT_TRUE(sounds.isEmpty());
}

namespace {
// Routes what reached ann to the desktop windows the way the desktop sink
// does, chat lines and delivery reports each when the test says.
struct Router {
    test::Peer& peer;
    ChatWindows& windows;
    std::size_t lines = 0;
    std::size_t reports = 0;
    void routeLines() {
        for (; lines < peer.rec.items.size(); ++lines)
            if (peer.rec.items[lines].kind == "chat")
                windows.RouteChatLine(peer.rec.items[lines].text, peer.rec.items[lines].sender, 0);
    }
    // The reports that came since the last call, not yet routed.
    std::vector<DeliveryReport> take() {
        std::vector<DeliveryReport> out(peer.rec.deliveries.begin() + static_cast<std::ptrdiff_t>(reports),
                                        peer.rec.deliveries.end());
        reports = peer.rec.deliveries.size();
        return out;
    }
    // The lines, then every report since, as the program hands them on.
    void routeAll() {
        routeLines();
        for (const auto& r : take()) windows.PrivateDelivery(r);
    }
};

// The icons of a mark, as markShown() words them.
const QString kLock = "[encrypted]";
const QString kOpen = "[in the clear]";
const QString kWarning = "[warning]";
// An icon in the document's text.
const QString kImage = QString(QChar(QChar::ObjectReplacementCharacter));

// The id of the encrypted report to `to`, the n-th such in `reports`.
std::uint64_t idTo(const std::vector<DeliveryReport>& reports, const std::string& to, int n = 0) {
    for (const auto& r : reports)
        if (r.encrypted && r.recipient == to && r.state == Delivery::Waiting && n-- == 0) return r.id;
    return 0;
}
}  // namespace

TEST_F(Windows, EveryOwnPrivateLineKeepsItsMarkPerRecipientAndItUpdatesInPlace) {
    test::Peer dave(seg, "dave");
    dave.joinAs("dave");
    seg.runFor(2000);  // keys announced and pinned both ways
    Router route{ann, *windows};
    route.take();
    frmChat* chat = windows->OpenChatWindow("dave|bob|");
    chat->txtSnd()->setText("first");
    chat->Send();
    chat->txtSnd()->setText("second");
    chat->Send();
    seg.runFor(100);
    const auto sent = route.take();
    const std::uint64_t first = idTo(sent, "dave", 0), second = idTo(sent, "dave", 1);
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    EXPECT_TRUE(chat->transcript().lines().empty());  // the own copies are not back yet

    // The receipt for the second line comes before the line is shown.
    windows->PrivateDelivery({second, "dave", true, Delivery::Delivered});
    route.routeLines();
    ASSERT_EQ(chat->transcript().lines().size(), 2u);
    EXPECT_EQ(chat->transcript().lines()[1].text, "second");
    EXPECT_EQ(chat->markShown(0), "dave " + kLock + " waiting, bob " + kOpen + " sent");
    EXPECT_EQ(chat->markShown(1), "dave " + kLock + " delivered, bob " + kOpen + " sent");

    // The first line's receipt, many lines later; another window's report
    // and a repeated one change nothing.
    for (int i = 0; i < 200; ++i) windows->RouteChatLine("chatter " + std::to_string(i), "bob", 255);
    windows->PrivateDelivery({first, "dave", true, Delivery::Delivered});
    windows->PrivateDelivery({first + second + 1000, "dave", true, Delivery::NotConfirmed});
    windows->PrivateDelivery({first, "dave", true, Delivery::Delivered});
    EXPECT_EQ(chat->markShown(0), "dave " + kLock + " delivered, bob " + kOpen + " sent");
    EXPECT_EQ(chat->markToolTip(0),
              "dave: encrypted, delivered\n"
              "bob: in the clear, sent; this recipient's program does not confirm");
    EXPECT_EQ(chat->markShown(1), "dave " + kLock + " delivered, bob " + kOpen + " sent");
    EXPECT_TRUE(chat->markShown(2).isEmpty());  // bob's lines carry none
    EXPECT_EQ(chat->lineMarks().lines(), 2u);
    // The text of every line is as it was: the marks sit after it.
    const QTextBlock firstBlock = chat->txtMsg()->document()->firstBlock();
    EXPECT_TRUE(firstBlock.text().startsWith("ann:\tfirst  dave " + kImage)) << firstBlock.text().toStdString();
    EXPECT_EQ(chat->txtMsg()->document()->findBlockByNumber(2).text(), "bob:\tchatter 0");

    // A member who went away: the line says so once the repeats are through,
    // the summary below too.
    dave.transport.close();
    chat->txtSnd()->setText("still there?");
    chat->Send();
    seg.runFor(20000);
    route.routeAll();
    ASSERT_EQ(chat->transcript().lines().size(), 203u);
    EXPECT_EQ(chat->markShown(202), "dave " + kWarning + " not confirmed, bob " + kOpen + " sent");
    EXPECT_EQ(chat->lblDelivery()->text(),
              "dave: encrypted, not confirmed\n"
              "bob: in the clear, sent; this recipient's program does not confirm");
    EXPECT_EQ(chat->markShown(0), "dave " + kLock + " delivered, bob " + kOpen + " sent");

    // Clear: the marks go with the lines.
    chat->action("mnuCLS")->trigger();
    EXPECT_EQ(chat->lineMarks().lines(), 0u);
}

TEST_F(Windows, OneRecipientShowsTheStateAloneAndTheTooltipComesFromTheMark) {
    test::Peer dave(seg, "dave");
    dave.joinAs("dave");
    seg.runFor(2000);
    Router route{ann, *windows};
    frmChat* chat = windows->OpenChatWindow("dave|");
    chat->txtSnd()->setText("hi");
    chat->Send();
    seg.runFor(100);
    route.routeAll();
    ASSERT_EQ(chat->transcript().lines().size(), 1u);
    EXPECT_EQ(chat->markShown(0), kLock + " delivered");

    // Hovering over the mark shows the full state.
    QTextCursor at(chat->txtMsg()->document()->firstBlock());
    at.movePosition(QTextCursor::EndOfBlock);
    at.movePosition(QTextCursor::Left, QTextCursor::MoveAnchor, 3);
    const QPoint pos = chat->txtMsg()->cursorRect(at).center();
    QHelpEvent help(QEvent::ToolTip, pos, chat->txtMsg()->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(chat->txtMsg()->viewport(), &help);
    EXPECT_EQ(QToolTip::text(), "dave: encrypted, delivered");
    QToolTip::hideText();
}

TEST_F(Windows, DeliveryMarksStayOutOfCopiesExportsAndTheTranscript) {
    test::Peer dave(seg, "dave");
    dave.joinAs("dave");
    seg.runFor(2000);
    Router route{ann, *windows};
    // Both windows show the own lines; only the one that sent them marks them.
    frmChat* marked = windows->OpenChatWindow("dave|bob|");
    frmChat* plain = windows->OpenChatWindow("dave|bob|");
    windows->RouteChatLine("code?", "bob", 255);
    for (const char* line : {"the safe code is 4711", "caf\xC3\xA9 at {noon}\\"}) {
        marked->txtSnd()->setText(QString::fromUtf8(line));
        marked->Send();
    }
    seg.runFor(100);
    route.routeAll();
    windows->RouteChatLine("thanks", "bob", 255);
    ASSERT_EQ(marked->transcript().lines().size(), 4u);
    ASSERT_EQ(marked->lineMarks().lines(), 2u);
    EXPECT_EQ(plain->lineMarks().lines(), 0u);
    EXPECT_TRUE(marked->txtMsg()->toPlainText().contains(kImage));  // shown in the view
    EXPECT_FALSE(plain->txtMsg()->toPlainText().contains(kImage));

    const std::string text =
        "bob:\tcode?\r\nann:\tthe safe code is 4711\r\nann:\tcaf\xC3\xA9 at {noon}\\\r\n"
        "bob:\tthanks\r\n";
    EXPECT_EQ(marked->transcript().PlainText(), text);
    EXPECT_EQ(marked->transcript().Rtf(), plain->transcript().Rtf());

    // The files, byte for byte: text in Windows-1252, and RTF.
    test::TempDir dir;
    for (const char* ext : {"txt", "rtf"}) {
        exportTo = QString::fromStdString((dir / (std::string("marked.") + ext)).string());
        marked->ExportToTextFile();
        exportTo = QString::fromStdString((dir / (std::string("plain.") + ext)).string());
        plain->ExportToTextFile();
        EXPECT_EQ(test::readBytes(dir / (std::string("marked.") + ext)),
                  test::readBytes(dir / (std::string("plain.") + ext)))
            << ext;
    }
    // The export: the participants, the date and the times, in one quoted record.
    const ExportHeading heading = marked->exportHeading();
    EXPECT_EQ(heading.participants, (std::vector<std::string>{"ann", "dave", "bob"}));
    const std::string exported = ExportText(marked->transcript(), heading);
    EXPECT_EQ(test::readBytes(dir / "marked.txt"), "\"" + cp1252::fromUtf8(exported) + "\"\r\n");
    marked->ExportToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), exported);

    // Copying out of the view: everything, and a piece that ends inside a mark.
    const auto copied = [](frmChat* w, int from, int to) {
        QTextCursor c(w->txtMsg()->document());
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        w->txtMsg()->setTextCursor(c);
        w->txtMsg()->copy();
        return QApplication::clipboard()->text();
    };
    marked->txtMsg()->selectAll();
    marked->txtMsg()->copy();
    const QString all = QApplication::clipboard()->text();
    plain->txtMsg()->selectAll();
    plain->txtMsg()->copy();
    EXPECT_EQ(all, QApplication::clipboard()->text());
    EXPECT_EQ(all, "bob:\tcode?\nann:\tthe safe code is 4711\nann:\tcaf\u00E9 at {noon}\\\nbob:\tthanks");
    const QTextBlock second = marked->txtMsg()->document()->findBlockByNumber(1);
    EXPECT_EQ(copied(marked, second.position() + 5, second.position() + second.length() - 3), "the safe code is 4711");
    EXPECT_TRUE(QApplication::clipboard()->mimeData()->hasHtml());
    EXPECT_FALSE(QApplication::clipboard()->mimeData()->html().contains("lanyx-state"));
}

TEST_F(Windows, AnAlertToAKnownUserWhoIsAwayWaitsQueuedAndCanBeTakenBack) {
    test::Peer dave(seg, "dave");
    dave.joinAs("dave");
    seg.runFor(2000);  // keys announced and pinned both ways
    dave.node.CloseNetwork();
    seg.runFor(100);
    ASSERT_FALSE(ann.node.users().findNoCase("dave"));
    std::size_t routed = ann.rec.deliveries.size();
    const auto route = [&] {
        for (; routed < ann.rec.deliveries.size(); ++routed) windows->PrivateDelivery(ann.rec.deliveries[routed]);
    };
    ann.transport.allSent.clear();
    ann.transport.sent.clear();
    QPointer<frmCom> com = windows->OpenComposeWindow("dave|zed|");
    com->setLingerMs(0);
    com->txtMsg()->setPlainText("the safe code is 4711");
    com->sendButton()->trigger();
    route();
    ASSERT_TRUE(com);
    // dave's waits; zed has no keys: sent plain as ever, and the window says
    // it will not reach anybody now.
    EXPECT_EQ(delivery(com),
              "dave: queued, encrypted: dave is not on the network; it goes when dave is seen again\n"
              "zed: in the clear, sent; zed is not on the network now and will not get it");
    ASSERT_EQ(ann.transport.sent.size(), 1u);
    EXPECT_NE(ann.transport.sent[0].find("|P/"), std::string::npos);
    for (const auto& d : ann.transport.allSent) EXPECT_EQ(d.find("|E/"), std::string::npos) << d;
    // Not a failure: no warning colour, and the window stays in sight.
    closeSoon(com);
    ASSERT_TRUE(com);
    EXPECT_TRUE(com->lblDelivery()->isVisibleTo(com));
    EXPECT_TRUE(com->lblDelivery()->text().contains("waits")) << com->lblDelivery()->text().toStdString();
    EXPECT_NE(com->lstDelivery()->topLevelItem(0)->foreground(0).color(), QColor(0xC0, 0x20, 0x00));
    const auto id = com->lstDelivery()->topLevelItem(0)->data(0, Qt::UserRole).toULongLong();
    ASSERT_NE(id, 0u);
    EXPECT_EQ(com->lstDelivery()->topLevelItem(1)->data(0, Qt::UserRole).toULongLong(), 0u);
    EXPECT_TRUE(com->TakeBack(id));
    route();
    EXPECT_TRUE(delivery(com).startsWith("dave: not sent: you took it back while it waited"))
        << delivery(com).toStdString();
    EXPECT_TRUE(ann.waiting.messages().empty());
}
