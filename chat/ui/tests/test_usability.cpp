// What a user meets on the way: states drawn with real icons and named in
// words, deliveries that failed kept in sight, chat members handled in
// the open, the user's menu in the main window (also from the keyboard), a
// roster in order, and dialogs that remember where the user was.
#include "ChatWindows.h"
#include "TestSupport.h"
#include "UiTestApp.h"
#include "frmChat.h"
#include "frmCom.h"
#include "frmMain.h"
#include "frmSave.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::ui;

namespace {

using lanyx::test::app;

class Habits : public ::testing::Test {
protected:
    Habits() : ann(seg, "ann") {
        app();
        ann.joinAs("ann");
        hear("bob|C/255");
        hear("carl|C/0");
        windows = std::make_unique<ChatWindows>(ann.node, nullptr, nullptr);
    }
    ~Habits() override {
        QList<QPointer<QWidget>> open;
        for (QWidget* w : QApplication::topLevelWidgets()) open << w;
        for (auto& w : open) delete w.data();
    }
    void hear(const std::string& text) {
        seg.post(text);
        seg.deliverAll();
    }
    // What reached ann, handed on as the desktop program does.
    void route() {
        for (; lines_ < ann.rec.items.size(); ++lines_)
            if (ann.rec.items[lines_].kind == "chat")
                windows->RouteChatLine(ann.rec.items[lines_].text, ann.rec.items[lines_].sender, 0);
        for (; reports_ < ann.rec.deliveries.size(); ++reports_) windows->PrivateDelivery(ann.rec.deliveries[reports_]);
    }
    static bool hasEmoji(const QString& s) {
        for (const char32_t c : s.toUcs4())
            if (c >= 0x1F000) return true;
        return false;
    }

    test::MemorySegment seg;
    test::Peer ann;
    std::unique_ptr<ChatWindows> windows;
    std::size_t lines_ = 0, reports_ = 0;
};

QStringList menuTexts(QMenu* menu) {
    QStringList t;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) t << a->objectName();
    return t;
}

}  // namespace

TEST_F(Habits, StatesAreDrawnWithIconsAndNamedInWordsNeverWithEmoji) {
    test::Peer dave(seg, "dave");
    dave.joinAs("dave");
    seg.runFor(2000);
    frmChat* chat = windows->OpenChatWindow("dave|bob|");
    chat->txtSnd()->setText("the code is 4711");
    chat->Send();
    seg.runFor(100);
    route();
    ASSERT_EQ(chat->transcript().lines().size(), 1u);
    const QTextDocument* doc = chat->txtMsg()->document();
    EXPECT_FALSE(hasEmoji(doc->toPlainText())) << doc->toPlainText().toStdString();
    // The mark holds a lock for dave and an open lock for bob, each an
    // image that says what it means.
    QStringList images;
    for (auto it = doc->firstBlock().begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().isImageFormat()) images << it.fragment().charFormat().toImageFormat().toolTip();
    EXPECT_EQ(images, (QStringList{"encrypted", "in the clear"}));
    EXPECT_FALSE(hasEmoji(chat->lblDelivery()->text()));

    QPointer<frmCom> com = windows->OpenComposeWindow("dave|bob|");
    com->setLingerMs(0);
    com->txtMsg()->setPlainText("hello");
    com->sendButton()->trigger();
    auto* rows = com->findChild<QTreeWidget*>("lstDelivery");
    ASSERT_NE(rows, nullptr);
    ASSERT_EQ(rows->topLevelItemCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(rows->topLevelItem(i)->icon(0).isNull());
        EXPECT_FALSE(hasEmoji(rows->topLevelItem(i)->text(0)));
    }
    EXPECT_TRUE(rows->topLevelItem(0)->text(0).contains("encrypted"));
    EXPECT_TRUE(rows->topLevelItem(1)->text(0).contains("in the clear"));
}

TEST_F(Habits, AnAlertNotDeliveredStaysInSightUntilTheUserClosesIt) {
    test::Peer dave(seg, "dave");
    dave.joinAs("dave");
    seg.runFor(2000);
    dave.transport.close();  // gone without a word: nothing will confirm
    QPointer<frmCom> com = windows->OpenComposeWindow("dave|");
    com->setLingerMs(0);
    com->txtMsg()->setPlainText("are you there?");
    com->sendButton()->trigger();
    seg.runFor(20000);
    route();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    ASSERT_TRUE(com);
    auto* rows = com->findChild<QTreeWidget*>("lstDelivery");
    ASSERT_NE(rows, nullptr);
    ASSERT_EQ(rows->topLevelItemCount(), 1);
    EXPECT_TRUE(rows->topLevelItem(0)->text(0).contains("not confirmed"));
    // In the warning colour, with the warning icon.
    EXPECT_EQ(rows->topLevelItem(0)->foreground(0).color().red() > 150, true);
    EXPECT_FALSE(rows->topLevelItem(0)->icon(0).isNull());
    QTest::qWait(50);
    EXPECT_TRUE(com);
}

TEST_F(Habits, RecipientsWhoWillNotSeeAMessageAreNamedBeforeSending) {
    hear("bob|S/2");   // Do Not Disturb: neither alerts nor chat
    hear("carl|S/1");  // alerts only: no chat
    frmCom* com = windows->OpenComposeWindow("bob|carl|");
    auto* note = com->findChild<QLabel*>("lblRecipientNote");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisibleTo(com));
    EXPECT_TRUE(note->text().contains("bob"));
    EXPECT_TRUE(note->text().contains("Do Not Disturb"));
    EXPECT_FALSE(note->text().contains("carl"));  // alerts still reach carl

    frmChat* chat = windows->OpenChatWindow("bob|carl|");
    auto* chatNote = chat->findChild<QLabel*>("lblRecipientNote");
    ASSERT_NE(chatNote, nullptr);
    EXPECT_TRUE(chatNote->isVisibleTo(chat));
    EXPECT_TRUE(chatNote->text().contains("bob"));
    EXPECT_TRUE(chatNote->text().contains("carl"));
}

TEST_F(Habits, AddUserOffersOnlyThoseNotInTheChatAndRemovalIsShown) {
    hear("dora|C/0");
    frmChat* chat = windows->OpenChatWindow("bob|");
    Q_EMIT chat->mnuAdd()->aboutToShow();
    QStringList offered;
    for (QAction* a : chat->mnuAdd()->actions())
        if (!a->isSeparator() && a->isVisible()) offered << a->text();
    EXPECT_FALSE(offered.contains("ann"));
    EXPECT_FALSE(offered.contains("bob"));
    EXPECT_TRUE(offered.contains("carl"));
    EXPECT_TRUE(offered.contains("dora"));
    EXPECT_TRUE(offered.contains("(All)"));

    for (int i = 0; i < chat->lvUsers()->topLevelItemCount(); ++i)
        if (chat->lvUsers()->topLevelItem(i)->text(0) == "bob")
            chat->lvUsers()->setCurrentItem(chat->lvUsers()->topLevelItem(i));
    chat->RemoveSelectedUser();
    EXPECT_FALSE(chat->IsUserPresent("bob"));
    EXPECT_TRUE(chat->txtMsg()->toPlainText().contains("bob")) << chat->txtMsg()->toPlainText().toStdString();
    // A note, not a line of the conversation.
    EXPECT_TRUE(chat->transcript().lines().empty());
}

TEST_F(Habits, TheRosterIsInAlphabeticalOrder) {
    frmMain main(ann.node);  // empties the list to "(All)" as it starts
    for (const char* peer : {"zed|C/0", "bob|C/0", "Amy|C/0", "dora|C/0", "carl|C/0", "ann|C/0"}) hear(peer);
    ann.node.users().setGroups({"team|bob|"});
    QStringList shown;
    for (int r = 0; r < main.lvUsers()->model()->rowCount(); ++r)
        shown << main.lvUsers()->model()->index(r, 0).data().toString();
    EXPECT_EQ(shown, (QStringList{"(All)", "Amy", "ann", "bob", "carl", "dora", "zed", "(team)"}));
    // What a row acts on follows what it shows.
    for (int r = 0; r < shown.size(); ++r)
        if (shown[r] == "dora")
            main.lvUsers()->selectionModel()->select(main.lvUsers()->model()->index(r, 0),
                                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(main.SelectedRecipients(), "dora|");
}

TEST_F(Habits, AUsersMenuHasAlertChatBlockAndOpensFromTheKeyboard) {
    frmMain main(ann.node);
    hear("bob|C/255");
    main.show();
    QApplication::setActiveWindow(&main);
    std::string composed;
    main.OpenComposeWindow = [&](const std::string& list) { composed = list; };
    QTreeView* list = main.lvUsers();
    int bobRow = -1;
    for (int r = 0; r < list->model()->rowCount(); ++r)
        if (list->model()->index(r, 0).data().toString() == "bob") bobRow = r;
    ASSERT_GE(bobRow, 0);
    list->setFocus();
    list->setCurrentIndex(list->model()->index(bobRow, 0));
    for (const auto& key : {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        QStringList items;
        QTimer::singleShot(0, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                items = menuTexts(menu);
                menu->close();
            }
        });
        QTest::keySequence(list, key);
        QApplication::processEvents();
        for (const char* name : {"mnuUserAlert", "mnuUserChat", "mnuUserBlock", "mnuUserInfo", "mnuSendFile"})
            EXPECT_TRUE(items.contains(name))
                << key.toString().toStdString() << ": " << name << " in " << items.join(",").toStdString();
    }
    // The menu acts on the row it was opened for.
    QMenu* menu = main.UserMenu(bobRow);
    ASSERT_NE(menu, nullptr);
    for (QAction* a : menu->actions())
        if (a->objectName() == "mnuUserAlert") a->trigger();
    EXPECT_EQ(composed, "bob|");
    // The own row offers no Block.
    int ownRows = 0;
    for (int r = 0; r < list->model()->rowCount(); ++r) {
        if (list->model()->index(r, 0).data().toString() != "ann") continue;
        ++ownRows;
        QStringList own;
        for (QAction* a : main.UserMenu(r)->actions()) own << a->objectName();
        EXPECT_FALSE(own.contains("mnuUserBlock")) << own.join(",").toStdString();
        EXPECT_TRUE(own.contains("mnuUserChat"));
    }
    EXPECT_EQ(ownRows, 1);
}

TEST_F(Habits, TheExportDialogStartsWhereTheLastExportWent) {
    test::TempDir dir;
    QString remembered;
    {
        frmSave first(ann.node);
        first.remember(&remembered);
        first.setTypes("Text Files (*.txt)|");
        first.setFolder(QString::fromStdString(dir.path().string()));
        first.txtFileName()->setText("talk");
        first.cmdSave_Click();
        EXPECT_EQ(QDir(first.folder()), QDir(QString::fromStdString(dir.path().string())));
    }
    frmSave second(ann.node);
    second.remember(&remembered);
    EXPECT_EQ(QDir(second.folder()), QDir(QString::fromStdString(dir.path().string())));
}
