// The History window and the history in chat windows, offscreen, over a
// node on an in-memory segment and a real history file.
#include "ChatWindows.h"
#include "ConversationsPane.h"
#include "History.h"
#include "TestSupport.h"
#include "UiLanguage.h"
#include "UiTestApp.h"
#include "UserListModel.h"
#include "frmChat.h"
#include "frmHistory.h"
#include "frmMain.h"
#include "HistoryView.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::ui;
using lanyx::history::History;
using lanyx::history::Scope;

namespace {

using lanyx::test::app;

HistoryEntry line(const std::string& peer, const std::string& text, bool out = false,
                  HistoryKind kind = HistoryKind::PrivateChat) {
    HistoryEntry e;
    e.peer = peer;
    e.text = text;
    e.outgoing = out;
    e.kind = kind;
    // From a checked colleague: lines of senders without a verified key
    // are kept only so many a second.
    e.trust = HistoryTrust::Signed;
    return e;
}

class HistoryWindows : public ::testing::Test {
protected:
    HistoryWindows() : ann(seg, "ann") {
        app();
        ann.joinAs("ann");
        seg.post("bob|C/255");
        seg.deliverAll();
        history = std::make_unique<History>(ann.dir.path());
        windows = std::make_unique<ChatWindows>(
            ann.node, [](const QString&) {}, [this](const std::string&) { return exportTo; });
        windows->setHistory(history.get(), [this](const std::string& list) { opened.push_back(list); });
    }
    ~HistoryWindows() override {
        QList<QPointer<QWidget>> open;
        for (QWidget* w : QApplication::topLevelWidgets()) open << w;
        for (auto& w : open) delete w.data();
        ann.node.removeMessageObserver(history.get());
    }
    frmHistory* window() {
        auto* w = new frmHistory(*history, *windows);
        w->Confirm = [this](const QString& q) {
            questions << q;
            return answer;
        };
        settle(w);
        return w;
    }
    // Until the reads ran and their answers reached the window.
    static void settle(frmHistory* w) {
        for (int i = 0; i < 5; ++i) {
            w->waitForReads();
            QApplication::processEvents();
        }
    }
    // Until what was typed has been searched (after the typing pause) and
    // the window shows these lines.
    static bool shows(frmHistory* w, const QStringList& lines) {
        return QTest::qWaitFor(
            [&] {
                settle(w);
                return texts(w->lvLines(), 2) == lines;
            },
            5000);
    }
    static QStringList texts(QTreeWidget* list, int column) {
        QStringList out;
        for (int i = 0; i < list->topLevelItemCount(); ++i) out << list->topLevelItem(i)->text(column);
        return out;
    }
    void fill() {
        history->record(line("bob", "lunch on friday?"));
        history->record(line("bob", "yes, lunch at noon", true));
        history->record(line("bob", "see you"));
        history->record(line("carl", "the fire drill is at three"));
        history->record(line("carl", "lunch is cancelled", true));
        history->record(line("dora", "all hands at four", false, HistoryKind::Chat));
        ASSERT_TRUE(history->flush());
    }

    test::MemorySegment seg;
    test::Peer ann;
    std::unique_ptr<History> history;
    std::unique_ptr<ChatWindows> windows;
    QString exportTo;
    std::vector<std::string> opened;
    QStringList questions;
    bool answer = true;
};

}  // namespace

TEST_F(HistoryWindows, SearchingAsYouTypeFindsTheLinesAndShowsThoseAroundThem) {
    fill();
    auto* w = window();
    EXPECT_EQ(w->lvLines()->topLevelItemCount(), 6);          // everything, oldest first
    EXPECT_EQ(w->lvConversations()->topLevelItemCount(), 4);  // all, bob, carl, everybody

    QTest::keyClicks(w->txtSearch(), "lunc");  // the word being typed matches its beginning
    const QStringList lunch{"lunch is cancelled", "yes, lunch at noon", "lunch on friday?"};
    EXPECT_TRUE(shows(w, lunch));
    EXPECT_TRUE(w->searching());
    EXPECT_EQ(texts(w->lvLines(), 2), lunch);  // newest first
    EXPECT_TRUE(w->lblStat()->text().startsWith("3 found")) << w->lblStat()->text().toStdString();

    QTest::keyClicks(w->txtSearch(), "h -noon");
    const QStringList notAtNoon{"lunch is cancelled", "lunch on friday?"};
    EXPECT_TRUE(shows(w, notAtNoon));
    EXPECT_EQ(texts(w->lvLines(), 2), notAtNoon);

    // A result with the lines around it in its conversation, the words marked.
    w->lvLines()->setCurrentItem(w->lvLines()->topLevelItem(1));
    settle(w);
    const QString around = w->txtAround()->toPlainText();
    EXPECT_TRUE(around.contains("lunch on friday?"));
    EXPECT_TRUE(around.contains("yes, lunch at noon"));
    EXPECT_TRUE(around.contains("see you"));
    EXPECT_FALSE(around.contains("cancelled"));  // carl's, another conversation
    EXPECT_TRUE(w->txtAround()->toHtml().contains("background-color:#fff176"));
    EXPECT_TRUE(w->btnJump()->isEnabled());

    // Nothing found says so; emptying the box brings the conversation back.
    w->txtSearch()->setText("zebra");
    w->Search("zebra");
    settle(w);
    EXPECT_EQ(w->lvLines()->topLevelItemCount(), 0);
    EXPECT_EQ(w->lblStat()->text(), "Nothing found.");
    w->txtSearch()->clear();
    settle(w);
    EXPECT_FALSE(w->searching());
    EXPECT_EQ(w->lvLines()->topLevelItemCount(), 6);
}

TEST_F(HistoryWindows, ASearchStaysInTheChosenConversationAndJumpsToItsLine) {
    fill();
    for (int i = 0; i < 30; ++i) history->record(line("bob", "filler " + std::to_string(i)));
    ASSERT_TRUE(history->flush());
    auto* w = window();
    w->ShowConversation("carl|");
    settle(w);
    EXPECT_EQ(w->scope(), Scope::person("carl"));
    EXPECT_EQ(texts(w->lvLines(), 2), (QStringList{"the fire drill is at three", "lunch is cancelled"}));
    w->txtSearch()->setText("lunch");
    w->Search("lunch");
    settle(w);
    EXPECT_EQ(texts(w->lvLines(), 2), (QStringList{"lunch is cancelled"}));

    // All messages, then the jump from a result to its place in bob's.
    w->ShowScope(Scope::all());
    settle(w);
    ASSERT_EQ(w->lvLines()->topLevelItemCount(), 3);
    w->lvLines()->setCurrentItem(w->lvLines()->topLevelItem(2));  // "lunch on friday?"
    settle(w);
    QTest::mouseClick(w->btnJump(), Qt::LeftButton);
    settle(w);
    EXPECT_EQ(w->scope(), Scope::person("bob"));
    EXPECT_TRUE(w->txtSearch()->text().isEmpty());
    EXPECT_FALSE(w->searching());
    EXPECT_EQ(w->lvLines()->topLevelItemCount(), 33);
    ASSERT_TRUE(w->lvLines()->currentItem());
    EXPECT_EQ(w->lvLines()->currentItem()->text(2), "lunch on friday?");
    EXPECT_EQ(w->lvConversations()->currentItem()->text(0), "bob");
}

TEST_F(HistoryWindows, TheSelectionIsExportedThroughTheExportInTheOrderItWasSaid) {
    fill();
    auto* w = window();
    w->ShowConversation("bob|");
    settle(w);
    ASSERT_EQ(w->lvLines()->topLevelItemCount(), 3);
    w->lvLines()->topLevelItem(2)->setSelected(true);
    w->lvLines()->topLevelItem(0)->setSelected(true);
    test::TempDir out;
    exportTo = QString::fromStdString((out / "chat.txt").string());
    QTest::mouseClick(w->btnExport(), Qt::LeftButton);
    const auto text = test::readBytes(out / "chat.txt");
    // One quoted record, CR LF, as a chat window's export.
    ASSERT_GE(text.size(), 4u);
    EXPECT_EQ(text.front(), '"');
    EXPECT_EQ(text.substr(text.size() - 3), "\"\r\n");
    const auto first = text.find("bob:\tlunch on friday?");
    const auto last = text.find("bob:\tsee you");
    EXPECT_NE(first, std::string::npos) << text;
    EXPECT_NE(last, std::string::npos) << text;
    EXPECT_LT(first, last);
    EXPECT_EQ(text.find("noon"), std::string::npos);  // not selected
    EXPECT_TRUE(w->lblStat()->text().startsWith("2 message"));

    exportTo = QString::fromStdString((out / "all.rtf").string());
    w->lvLines()->clearSelection();
    w->ExportSelection();  // nothing selected: all shown
    const auto rtf = test::readBytes(out / "all.rtf");
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(rtf.find("yes, lunch at noon"), std::string::npos);
    // Closed without a name: nothing is written.
    exportTo.clear();
    w->ExportSelection();
}

TEST_F(HistoryWindows, DeletingAConversationOrEverythingAsksFirstAndLeavesNothing) {
    fill();
    auto* w = window();
    w->ShowScope(Scope::all());
    settle(w);
    EXPECT_FALSE(w->btnDelete()->isEnabled());  // no conversation chosen
    w->ShowConversation("bob|");
    settle(w);
    answer = false;
    QTest::mouseClick(w->btnDelete(), Qt::LeftButton);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains("\"bob\""));
    ASSERT_TRUE(history->flush());
    settle(w);
    EXPECT_EQ(w->lvLines()->topLevelItemCount(), 3);  // "No" keeps it

    answer = true;
    QTest::mouseClick(w->btnDelete(), Qt::LeftButton);
    ASSERT_TRUE(history->flush());
    settle(w);
    EXPECT_EQ(w->scope(), Scope::all());
    EXPECT_EQ(w->lvLines()->topLevelItemCount(), 3);
    EXPECT_FALSE(texts(w->lvConversations(), 0).contains("bob"));
    w->Search("friday");
    settle(w);
    EXPECT_EQ(w->lvLines()->topLevelItemCount(), 0);

    w->txtSearch()->clear();
    QTest::mouseClick(w->btnDeleteAll(), Qt::LeftButton);
    EXPECT_EQ(questions.size(), 3);
    ASSERT_TRUE(history->flush());
    settle(w);
    EXPECT_EQ(w->lvLines()->topLevelItemCount(), 0);
    EXPECT_EQ(w->lvConversations()->topLevelItemCount(), 1);  // only "All messages"
}

TEST_F(HistoryWindows, AReopenedChatShowsTheLastLinesWithThosePeopleOnceAndNotInItsExport) {
    for (int i = 0; i < 25; ++i) history->record(line("bob", "old line " + std::to_string(i)));
    history->record(line("carl", "not for bob's window"));
    history->record(line("bob", "an alert, not a chat line", false, HistoryKind::PrivateAlert));
    // A line arriving opens a window: the earlier lines above it, the new
    // one once, below them. The node keeps a line once the windows took it.
    windows->RouteChatLine("the new line", "bob", 255);
    history->record(line("bob", "the new line"));
    ASSERT_EQ(windows->chatWindows().size(), 1);
    auto* chat = windows->chatWindows().front();
    const QString shown = chat->txtMsg()->toPlainText();
    EXPECT_FALSE(shown.contains("old line 4\n"));  // only the last ChatWindows::kEarlierLines
    EXPECT_TRUE(shown.contains("old line 5"));
    EXPECT_TRUE(shown.contains("old line 24"));
    EXPECT_FALSE(shown.contains("carl"));
    EXPECT_FALSE(shown.contains("an alert"));
    EXPECT_EQ(shown.count("the new line"), 1);
    EXPECT_LT(shown.indexOf("old line 24"), shown.indexOf("the new line"));
    ASSERT_EQ(chat->transcript().lines().size(), 1u);  // the export holds this window's lines alone
    EXPECT_EQ(chat->transcript().lines()[0].text, "the new line");
    // Closed and opened again by the user: the line just received is there too.
    chat->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* again = windows->OpenChatWindow("bob|");
    EXPECT_TRUE(again->txtMsg()->toPlainText().contains("the new line"));
    EXPECT_TRUE(again->transcript().lines().empty());
}

TEST_F(HistoryWindows, ChatsOfSeveralAreTheirOwnConversation) {
    ann.node.addMessageObserver(history.get());
    seg.post("carl|C/0");
    seg.deliverAll();
    auto* group = windows->OpenChatWindow("bob|carl|");
    group->txtSnd()->setText("to both of you");
    group->Send();
    seg.runFor(6000);
    ASSERT_TRUE(history->flush());
    history::Filter f;
    f.scope = Scope::group("bob|carl|");
    auto rows = history->openReader()->rows(f);
    EXPECT_EQ(rows.size(), 1u);  // one message, not one per member
    f.scope = Scope::person("bob");
    EXPECT_TRUE(history->openReader()->rows(f).empty());  // never a private line
    // A new window of the same members shows it once.
    auto* again = windows->OpenChatWindow("carl|bob|");
    EXPECT_EQ(again->txtMsg()->toPlainText().count("to both of you"), 1);
    // The chat window's Users menu opens the History window on this chat.
    group->mnuUsers()->popup(QPoint(0, 0));
    QAction* entry = nullptr;
    for (auto* a : group->mnuUsers()->actions())
        if (a->objectName() == "mnuHistory") entry = a;
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->text(), "History of this chat");
    group->mnuUsers()->hide();
    entry->trigger();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(ScopeOfList(opened[0], "ann"), Scope::group("bob|carl|"));
}

TEST_F(HistoryWindows, ALineShownInAChatOfSeveralBelongsToThatChat) {
    seg.post("carl|C/0");
    seg.deliverAll();
    windows->OpenChatWindow("bob|");
    windows->RouteChatLine("to bob alone", "bob", 255);
    EXPECT_EQ(windows->takeChatTag(), "");  // a chat with one other: that person's
    windows->OpenChatWindow("bob|carl|");
    windows->RouteChatLine("to the group", "bob", 255);
    EXPECT_EQ(windows->takeChatTag(), "bob|carl|");
    EXPECT_EQ(windows->takeChatTag(), "");  // taken once
    windows->OpenChatWindow("(All)|");
    windows->RouteChatLine("from dora", "dora", 0);  // shown in the chat with everybody only
    EXPECT_EQ(windows->takeChatTag(), "");
}

TEST_F(HistoryWindows, TheMainWindowOpensTheHistoryFromItsMenuAndAUsersMenu) {
    frmMain main(ann.node);
    std::vector<std::string> asked;
    main.OpenHistory = [&](const std::string& list) { asked.push_back(list); };
    QAction* menu = main.action("mnuHistory");
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
    menu->trigger();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "");
}

TEST_F(HistoryWindows, PictureOfTheWindowWhenAsked) {
    const QString dir = qEnvironmentVariable("LANYX_SCREENSHOTS");
    if (dir.isEmpty()) GTEST_SKIP() << "set LANYX_SCREENSHOTS=DIR to save a picture of the window";
    const std::int64_t now = QDateTime::currentMSecsSinceEpoch();
    const auto at = [&](std::int64_t minutesAgo, HistoryEntry e) {
        e.timeMs = now - minutesAgo * 60'000;
        return e;
    };
    auto sent = [](HistoryEntry e, HistoryDelivery d) {
        e.trust = HistoryTrust::Encrypted;
        e.delivery = d;
        return e;
    };
    history->record(
        at(3 * 24 * 60, line("dora", "Fire drill on Thursday at 3, please leave the building by the east stairs", false,
                             HistoryKind::Alert)));
    history->record(at(2 * 24 * 60 + 30, line("bob", "Are we still on for lunch on Friday?")));
    history->record(
        at(2 * 24 * 60 + 28, sent(line("bob", "Yes, lunch at the pier at noon", true), HistoryDelivery::Delivered)));
    history->record(at(2 * 24 * 60 + 27, line("bob", "Great, I'll book a table for four")));
    history->record(at(26 * 60, line("Carl", "Can you send me the quarterly report?")));
    auto file = at(26 * 60 - 2, line("Carl", "quarterly report (final).pdf", true, HistoryKind::FileSent));
    file.files = 1;
    file.bytes = 3145728;
    history->record(file);
    history->record(at(25 * 60, line("Carl", "Got it, thanks! Lunch is on me next week")));
    history->record(
        at(90, sent(line("bob", "Running ten minutes late for lunch, sorry", true), HistoryDelivery::Delivered)));
    history->record(at(85, line("bob", "No problem, we ordered already")));
    history->record(
        at(20, sent(line("(All)", "Cake in the kitchen!", true, HistoryKind::Chat), HistoryDelivery::None)));
    history->record(at(5, sent(line("mallory", "lunch tomorrow?", true, HistoryKind::PrivateAlert),
                               HistoryDelivery::NotConfirmed)));
    ASSERT_TRUE(history->flush());
    auto* w = window();
    w->resize(900, 520);
    w->show();
    w->txtSearch()->setText("lunch");
    w->Search("lunch");
    settle(w);
    w->lvLines()->setCurrentItem(w->lvLines()->topLevelItem(3));
    settle(w);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    w->grab().save(dir + "/lanyx-history.png");
}

TEST_F(HistoryWindows, TheConversationListReopensASharedChatAfterARestartAndListsUsersAway) {
    rooms::RoomService rooms(ann.node);
    windows->setRooms(&rooms);
    rooms::Room kept;
    kept.id = "0123456789abcdef0123456789abcdef";
    kept.serial = 1;
    kept.author = "ann";
    kept.members = {"ann", "bob", "carl"};
    ASSERT_TRUE(rooms.book().restore(kept));
    const auto key = history::RoomKey(kept.id);
    history->record(line("carl", "private to ann"));
    auto said = line("bob", "in the shared chat");
    said.chat = key;
    history->record(said);
    ASSERT_TRUE(history->flush());
    // The program starts again: its history is read anew.
    windows->setHistory(nullptr, {});
    history = std::make_unique<History>(ann.dir.path());
    windows->setHistory(history.get(), [](const std::string&) {});

    ConversationsPane pane(
        {[this] { return history.get(); }, [] { return std::vector<std::string>{"zoe"}; },
         [this] { return windows->unreadLines(); },
         [this](const ConversationItem& item) { windows->OpenConversation(item.key, item.list, item.roomId); },
         [](const std::string& name) -> std::int64_t { return name == "zoe" ? 1'700'000'000'000 : 0; }});
    QSignalSpy refreshed(&pane, &ConversationsPane::refreshed);
    pane.refresh();
    ASSERT_TRUE(refreshed.wait(5000));
    ASSERT_EQ(pane.items().size(), 3u);
    EXPECT_EQ(pane.items()[0].key, key);  // the newest first
    EXPECT_EQ(pane.items()[1].key, "carl");
    EXPECT_TRUE(pane.items()[2].away);  // zoe: written to, it waits
    // Since when she is away.
    const auto seen = QString::fromStdString(WhenText(1'700'000'000'000, QDateTime::currentMSecsSinceEpoch()));
    EXPECT_TRUE(pane.list()->topLevelItem(2)->text(2).contains(seen));

    Q_EMIT pane.list()->itemActivated(pane.list()->topLevelItem(0), 0);
    ASSERT_EQ(windows->chatWindows().size(), 1);
    frmChat* chat = windows->chatWindows().front();
    EXPECT_EQ(chat->roomId(), kept.id);
    EXPECT_TRUE(chat->txtMsg()->toPlainText().contains("in the shared chat"));
    // A line in it while the window is in the background counts as unread.
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    ASSERT_FALSE(chat->isActiveWindow());
    windows->RouteChatLine("one more", "carl", 0);
    pane.refresh();
    ASSERT_TRUE(refreshed.wait(5000));
    EXPECT_EQ(pane.items()[0].unread, 1);
    Q_EMIT pane.list()->itemActivated(pane.list()->topLevelItem(0), 0);
    EXPECT_EQ(windows->chatWindows().size(), 1);  // the same window, to the front
}

TEST_F(HistoryWindows, PicturesOfTheConversationsAndAReopenedSharedChatWhenAsked) {
    const QString dir = qEnvironmentVariable("LANYX_SCREENSHOTS");
    if (dir.isEmpty()) GTEST_SKIP() << "set LANYX_SCREENSHOTS=DIR to save pictures of the windows";
    test::Peer bob(seg, "bob"), carl(seg, "carl");
    bob.joinAs("bob");
    carl.joinAs("carl");
    seg.runFor(3000);
    rooms::RoomService rooms(ann.node);
    windows->setRooms(&rooms);
    rooms::Room team;
    team.id = "0123456789abcdef0123456789abcdef";
    team.serial = 1;
    team.author = "ann";
    team.members = {"ann", "bob", "carl"};
    ASSERT_TRUE(rooms.book().restore(team));
    const std::int64_t now = QDateTime::currentMSecsSinceEpoch();
    const auto at = [&](std::int64_t minutesAgo, HistoryEntry e, const std::string& chat = {}) {
        e.timeMs = now - minutesAgo * 60'000;
        e.chat = chat;
        return e;
    };
    const auto key = history::RoomKey(team.id);
    history->record(at(26 * 60, line("dora", "The printer on the second floor works again")));
    history->record(at(25 * 60, line("dora", "Thanks, I'll print the posters", true)));
    history->record(at(95, line("bob", "Lunch at noon?")));
    history->record(at(94, line("bob", "Yes, at the pier", true)));
    history->record(at(12, line("bob", "Kaffee \xE2\x98\x95 f\xC3\xBCr alle? \xF0\x9F\x8E\x89"), key));
    history->record(at(11, line("bob", "Gern! \xF0\x9F\x91\x8D", true), key));
    history->record(at(10, line("carl", "Ich bringe Kuchen \xF0\x9F\x8D\xB0 mit"), key));
    ASSERT_TRUE(history->flush());
    // After a restart: the history read anew, no chat window open.
    windows->setHistory(nullptr, {});
    history = std::make_unique<History>(ann.dir.path());
    windows->setHistory(history.get(), [](const std::string&) {});

    frmMain main(ann.node);
    auto* pane = new ConversationsPane(
        {[this] { return history.get(); }, [] { return std::vector<std::string>{"dora"}; },
         [this] { return windows->unreadLines(); },
         [this](const ConversationItem& item) { windows->OpenConversation(item.key, item.list, item.roomId); },
         [now](const std::string& name) -> std::int64_t { return name == "dora" ? now - 3 * 3600'000 : 0; }});
    main.setConversations(pane);
    main.tabs()->setCurrentWidget(pane);
    QSignalSpy refreshed(pane, &ConversationsPane::refreshed);
    pane->refresh();
    ASSERT_TRUE(refreshed.wait(5000));
    main.resize(420, 420);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    seg.runFor(3000);  // the window asked who is there
    main.setStatusCaption(QString::fromStdString(ann.node.StatusCaption()));
    main.grab().save(dir + "/lanyx-conversations.png");

    Q_EMIT pane->list()->itemActivated(pane->list()->topLevelItem(0), 0);
    ASSERT_EQ(windows->chatWindows().size(), 1);
    frmChat* chat = windows->chatWindows().front();
    windows->RouteChatLine("Bis gleich \xF0\x9F\x98\x8A", "bob", ann.node.users().GetColorForUName("bob"));
    chat->resize(560, 400);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(chat));
    QApplication::processEvents();
    chat->grab().save(dir + "/lanyx-shared-chat-reopened.png");
}

// What the History's rows say besides the message, and "(All)" as the
// windows show it: in German words of their own.
TEST(HistoryWords, RowLabelsAndEverybodyAreInTheChosenLanguage) {
    app();
    HistoryEntry transfer = line("bob", "a.txt", false, HistoryKind::FileSent);
    transfer.files = 2;
    transfer.bytes = 10;
    const auto words = [&] {
        std::vector<QString> w;
        for (int d = static_cast<int>(HistoryDelivery::Sent); d <= static_cast<int>(HistoryDelivery::Cancelled); ++d)
            w.push_back(frmHistory::DeliveryText(static_cast<HistoryDelivery>(d)));
        for (int k = 0; k < kHistoryKinds; ++k)
            if (const auto kind = static_cast<HistoryKind>(k); !IsChatKind(kind) && kind != HistoryKind::NotKept)
                w.push_back(frmHistory::KindText(kind));
        w.push_back(frmHistory::TransferText(transfer));
        // A day of the last week, by its name.
        const auto now = QDateTime::currentMSecsSinceEpoch();
        w.push_back(QString::fromStdString(WhenText(now - 2 * 24 * 3600 * 1000LL, now)));
        w.push_back(UserListModel::shownName(std::string(UserList::kAllRow)));
        return w;
    };
    const auto english = words();
    EXPECT_EQ(english.back(), QString::fromLatin1(UserList::kAllRow.data(), UserList::kAllRow.size()));
    UiLanguage language;
    ASSERT_TRUE(language.Apply("Deutsch"));
    const auto german = words();
    language.Apply("English");
    ASSERT_EQ(german.size(), english.size());
    for (std::size_t i = 0; i < english.size(); ++i) {
        EXPECT_FALSE(english[i].isEmpty()) << i;
        EXPECT_NE(german[i], english[i]) << i;
    }
}
