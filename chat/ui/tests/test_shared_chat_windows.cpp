// Shared chats as their members see them: three desktops on a simulated
// segment, each with its chat windows, and a copy without keys beside them.
#include "ChatWindows.h"
#include "HistoryStore.h"
#include "LineView.h"
#include "TestSupport.h"
#include "UiTestApp.h"
#include "frmChat.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QSplitter>
#include <QPointer>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QAbstractButton>
#include <QTextEdit>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::ui;
using namespace lanyx::test;

namespace {

// One user's copy with its windows. What the node hands its sink goes on
// to the windows, as the desktop program's sink does.
struct Desk {
    Desk(MemorySegment& seg, const std::string& name)
        : peer(seg, name),
          rooms(peer.node),
          typing(peer.node),
          marks(peer.node),
          verbs(peer.node),
          windows(peer.node, nullptr, nullptr) {
        windows.setRooms(&rooms);
        verbs.setMembers([this](const std::string& id) {
            const auto* room = rooms.book().find(id);
            return room ? room->members : std::vector<std::string>{};
        });
        windows.setVerbs(&verbs);
        windows.setTyping(&typing);
        windows.setReadMarks(&marks);
        windows.setRejoinGraceMs(300);
        peer.rec.whenRemovedFromChats = [this](const std::string& n) { windows.RemoveUserFromChats(n); };
        peer.rec.whenRenamed = [this](const std::string& from, const std::string& to) {
            windows.RenameInChats(from, to);
        };
        peer.joinAs(name);
    }
    void pump() {
        auto& items = peer.rec.items;
        for (; routed < items.size(); ++routed)
            if (items[routed].kind == "chat")
                windows.RouteChatLine(items[routed].text, items[routed].sender,
                                      peer.node.users().GetColorForUName(items[routed].sender),
                                      IsRoomChatKey(items[routed].chat) ? items[routed].chat.substr(1) : std::string(),
                                      items[routed].lineId, items[routed].replyTo);
        auto& reports = peer.rec.deliveries;
        for (; reported < reports.size(); ++reported) windows.PrivateDelivery(reports[reported]);

        if (refreshes != peer.rec.chatRefreshes) {
            refreshes = peer.rec.chatRefreshes;
            windows.RefreshChatUserLists();
        }
    }
    frmChat* only() {
        const auto open = windows.chatWindows();
        return open.size() == 1 ? open.front() : nullptr;
    }
    ~Desk() {
        windows.setVerbs(nullptr);
        windows.setReadMarks(nullptr);
        windows.setTyping(nullptr);
    }
    Peer peer;
    rooms::RoomService rooms;
    typing::TypingService typing;
    readmarks::ReadMarks marks;
    verbs::LineVerbs verbs;
    ChatWindows windows;
    std::size_t routed = 0, reported = 0;
    int refreshes = 0;
};

QStringList membersOf(frmChat* w) {
    QStringList names;
    for (int i = 0; i < w->lvUsers()->topLevelItemCount(); ++i) names << w->lvUsers()->topLevelItem(i)->text(0);
    names.sort(Qt::CaseInsensitive);
    return names;
}

class SharedChatWindows : public ::testing::Test {
protected:
    SharedChatWindows() : ann(seg, "ann"), bob(seg, "bob"), carl(seg, "carl") {
        app();
        run(3000);
    }
    ~SharedChatWindows() override {
        QList<QPointer<QWidget>> open;
        for (QWidget* w : QApplication::topLevelWidgets()) open << w;
        for (auto& w : open) delete w.data();
    }
    void run(int ms) {
        for (int t = 0; t < ms; t += 50) {
            seg.runFor(50);
            for (auto* d : desks) d->pump();
            QApplication::processEvents();
        }
    }
    // The grace after a leave runs on the clock, not the segment's time.
    void wait(int realMs) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < realMs) {
            run(50);
            QThread::msleep(10);
        }
    }
    void say(frmChat* w, const QString& line) {
        w->txtSnd()->setText(line);
        w->Send();
    }
    MemorySegment seg;
    Desk ann, bob, carl;
    std::vector<Desk*> desks{&ann, &bob, &carl};
};

}  // namespace

TEST_F(SharedChatWindows, ARepliesReachEveryMemberAndAnAddedMemberIsSeenByAll) {
    frmChat* annChat = ann.windows.OpenChatWindow("bob|carl|");
    ASSERT_FALSE(annChat->roomId().empty());
    run(1000);
    const QStringList three{"ann", "bob", "carl"};
    ASSERT_TRUE(bob.only());
    ASSERT_TRUE(carl.only());
    EXPECT_EQ(membersOf(bob.only()), three);
    EXPECT_EQ(membersOf(carl.only()), three);
    EXPECT_TRUE(bob.only()->txtMsg()->toPlainText().contains("ann shares this chat with you and carl."));

    // bob's reply reaches carl, in the same window.
    say(bob.only(), QStringLiteral("hello all"));
    run(1000);
    EXPECT_TRUE(carl.only()->txtMsg()->toPlainText().contains("bob:\thello all"));
    EXPECT_TRUE(annChat->txtMsg()->toPlainText().contains("bob:\thello all"));
    // Its lines are one conversation in the history, by the chat's id.
    const auto key = history::RoomKey(annChat->roomId());
    EXPECT_EQ(carl.windows.takeChatTag(), key);

    // carl adds dave: every window shows dave, dave's too.
    Desk dave(seg, "dave");
    desks.push_back(&dave);
    run(3000);
    carl.only()->UserAddsMember("dave");
    run(1000);
    const QStringList four{"ann", "bob", "carl", "dave"};
    for (Desk* d : {&ann, &bob, &carl, &dave}) {
        ASSERT_TRUE(d->only()) << d->peer.node.state().MyName;
        EXPECT_EQ(membersOf(d->only()), four) << d->peer.node.state().MyName;
    }
    EXPECT_TRUE(bob.only()->txtMsg()->toPlainText().contains("carl added dave"));
    EXPECT_EQ(annChat->chatKey(), key);  // whoever joins
    EXPECT_EQ(dave.only()->chatKey(), key);

    // ann removes carl: carl's window is a list of its own from then on.
    annChat->lvUsers()->setCurrentItem(annChat->lvUsers()->findItems("carl", Qt::MatchExactly).front());
    annChat->RemoveSelectedUser();
    run(1000);
    EXPECT_EQ(membersOf(bob.only()), (QStringList{"ann", "bob", "dave"}));
    EXPECT_TRUE(carl.only()->roomId().empty());
    EXPECT_TRUE(carl.only()->txtMsg()->toPlainText().contains("ann removed you from this chat"));
    desks.pop_back();
}

TEST_F(SharedChatWindows, AnOptionsRejoinKeepsTheMemberAndOneWhoLeftIsAwayUntilBack) {
    ann.windows.OpenChatWindow("bob|carl|");
    run(1000);
    frmChat* bobChat = bob.only();
    ASSERT_TRUE(bobChat);

    // What the Options dialog does: leave and join again at once.
    ann.peer.node.CloseNetwork();
    ann.peer.node.OpenNetwork();
    wait(600);
    EXPECT_EQ(membersOf(bobChat), (QStringList{"ann", "bob", "carl"}));
    EXPECT_FALSE(bobChat->IsAway("ann"));
    EXPECT_FALSE(bobChat->txtMsg()->toPlainText().contains("left the network"));

    // Gone for longer: kept, marked away; a line for her waits.
    ann.peer.node.CloseNetwork();
    wait(600);
    EXPECT_EQ(membersOf(bobChat), (QStringList{"ann", "bob", "carl"}));
    EXPECT_TRUE(bobChat->IsAway("ann"));
    EXPECT_TRUE(bobChat->txtMsg()->toPlainText().contains("ann left the network"));
    say(bobChat, QStringLiteral("for later"));
    run(200);
    EXPECT_TRUE(
        std::any_of(bob.peer.rec.deliveries.begin(), bob.peer.rec.deliveries.end(),
                    [](const DeliveryReport& r) { return r.recipient == "ann" && r.state == Delivery::Queued; }));

    ann.peer.node.OpenNetwork();
    run(2000);
    EXPECT_FALSE(bobChat->IsAway("ann"));
    EXPECT_TRUE(bobChat->txtMsg()->toPlainText().contains("ann is back"));
    // What waited for her arrived.
    EXPECT_TRUE(std::any_of(ann.peer.rec.items.begin(), ann.peer.rec.items.end(),
                            [](const Recorder::Item& i) { return i.text.find("for later") != std::string::npos; }));
}

TEST_F(SharedChatWindows, ARenameKeepsEveryWindowAndItsMembersAndSaysSo) {
    frmChat* annChat = ann.windows.OpenChatWindow("bob|carl|");
    run(1000);
    ASSERT_TRUE(bob.only() && carl.only());
    frmChat* bobChat = bob.only();

    // What the Options dialog does with a new name.
    ann.windows.RenameOwnInChats("ann", "anna");
    ann.peer.node.rejoinUnder("anna");
    wait(600);
    const QStringList three{"anna", "bob", "carl"};
    for (Desk* d : {&ann, &bob, &carl}) {
        ASSERT_TRUE(d->only()) << d->peer.node.state().MyName;
        EXPECT_EQ(membersOf(d->only()), three) << d->peer.node.state().MyName;
    }
    EXPECT_EQ(bob.only(), bobChat);
    EXPECT_TRUE(bobChat->txtMsg()->toPlainText().contains("ann is now anna."));
    EXPECT_FALSE(bobChat->txtMsg()->toPlainText().contains("left the network"));
    EXPECT_FALSE(bobChat->IsAway("anna"));

    // The conversation goes on in the same windows, both ways.
    say(bobChat, QStringLiteral("welcome back"));
    run(1000);
    EXPECT_TRUE(annChat->txtMsg()->toPlainText().contains("bob:\twelcome back"));
    EXPECT_TRUE(carl.only()->txtMsg()->toPlainText().contains("bob:\twelcome back"));
    say(annChat, QStringLiteral("thanks"));
    run(1000);
    EXPECT_EQ(bob.windows.chatWindows().size(), 1);
    EXPECT_TRUE(bobChat->txtMsg()->toPlainText().contains("anna:\tthanks"));
}

TEST_F(SharedChatWindows, ACopyWithoutKeysInTheChatGetsEveryLineAndIsMarked) {
    seg.post("zed|C/0");
    run(500);
    frmChat* annChat = ann.windows.OpenChatWindow("bob|zed|");
    run(1000);
    ASSERT_FALSE(annChat->roomId().empty());
    EXPECT_EQ(membersOf(bob.only()), (QStringList{"ann", "bob", "zed"}));
    auto* zedRow = bob.only()->lvUsers()->findItems("zed", Qt::MatchExactly).front();
    EXPECT_TRUE(zedRow->font(0).italic());
    EXPECT_TRUE(zedRow->toolTip(0).contains("does not share this chat"));
    EXPECT_FALSE(bob.only()->lvUsers()->findItems("ann", Qt::MatchExactly).front()->font(0).italic());

    bob.peer.transport.sent.clear();
    say(bob.only(), QStringLiteral("to everybody"));
    run(500);
    // The copy without keys gets the line as any copy sends it to one.
    EXPECT_TRUE(anyHas(bob.peer.transport.sent, "to everybody|zed"))
        << ::testing::PrintToString(bob.peer.transport.sent);
}

// LANYX_SCREENSHOTS=DIR under a virtual display (tools/screenshots.sh runs
// it): one shared chat as its three members see it, side by side.
TEST_F(SharedChatWindows, OneChatOnThreeScreensWhenAsked) {
    const QString dir = qEnvironmentVariable("LANYX_SCREENSHOTS");
    if (dir.isEmpty()) GTEST_SKIP() << "set LANYX_SCREENSHOTS=DIR to save pictures of the windows";
    seg.post("rex|C/0");
    run(500);
    frmChat* annChat = ann.windows.OpenChatWindow("bob|carl|");
    run(1000);
    say(annChat, QStringLiteral("Lunch at 12:30?"));
    run(500);
    say(bob.only(), QStringLiteral("Yes, the usual place."));
    run(500);
    carl.only()->UserAddsMember("rex");
    run(500);
    say(carl.only(), QStringLiteral("Fine by me. I asked rex too."));
    run(1000);
    QList<QPixmap> shots;
    for (Desk* d : desks) {
        frmChat* w = d->only();
        ASSERT_TRUE(w);
        w->resize(420, 400);
        w->splitter()->setSizes({110, 290});
        w->setWindowTitle(w->windowTitle() +
                          QStringLiteral(" (%1)").arg(QString::fromStdString(d->peer.node.state().MyName)));
        w->show();
        QApplication::processEvents();
        shots << w->grab();
    }
    QPixmap all(shots[0].width() * 3 + 40, shots[0].height() + 20);
    all.setDevicePixelRatio(shots[0].devicePixelRatio());
    all.fill(Qt::white);
    QPainter p(&all);
    int x = 10;
    for (const QPixmap& s : shots) {
        p.drawPixmap(x, 10, s);
        x += s.width() / static_cast<int>(s.devicePixelRatio()) + 10;
    }
    p.end();
    EXPECT_TRUE(all.save(dir + "/lanyx-shared-chat.png"));
}

TEST_F(SharedChatWindows, WhileAMemberTypesTheOthersSeeItUntilHisLineComes) {
    frmChat* annChat = ann.windows.OpenChatWindow("bob|carl|");
    run(1000);
    ASSERT_TRUE(bob.only() && carl.only());
    QTest::keyClicks(annChat->txtSnd(), "lunch?");
    run(500);
    for (Desk* d : {&bob, &carl}) {
        EXPECT_TRUE(d->only()->lblTyping()->isVisibleTo(d->only())) << d->peer.node.state().MyName;
        EXPECT_TRUE(d->only()->lblTyping()->accessibleName().contains("ann"));
    }
    EXPECT_FALSE(annChat->lblTyping()->isVisibleTo(annChat));
    annChat->Send();
    run(1000);
    for (Desk* d : {&bob, &carl}) EXPECT_FALSE(d->only()->lblTyping()->isVisibleTo(d->only()));
}

TEST_F(SharedChatWindows, TheLastLineSaysWhoSawItOnceTheirWindowWasInFront) {
    frmChat* annChat = ann.windows.OpenChatWindow("bob|carl|");
    run(1000);
    ASSERT_TRUE(bob.only() && carl.only());
    // carl's window is in front, bob's behind another.
    carl.only()->show();
    carl.only()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(carl.only()));
    say(annChat, QStringLiteral("lunch?"));
    run(1000);
    EXPECT_TRUE(annChat->lblSeen()->isVisibleTo(annChat));
    EXPECT_TRUE(annChat->lblSeen()->accessibleName().contains("carl"));
    EXPECT_FALSE(annChat->lblSeen()->accessibleName().contains("bob"));
    // bob comes to his window: now he saw it too.
    bob.only()->show();
    bob.only()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(bob.only()));
    run(1000);
    EXPECT_TRUE(annChat->lblSeen()->accessibleName().contains("bob"));
    // A new line: nobody saw it yet.
    say(annChat, QStringLiteral("at noon"));
    EXPECT_FALSE(annChat->lblSeen()->isVisibleTo(annChat));
}

namespace {
// The line's menu in a window, as a right click on it shows it.
void choose(frmChat* w, std::uint64_t id, const char* action, int reaction = -1) {
    QMenu menu;
    w->lineView()->addActions(&menu, id);
    if (reaction >= 0) {
        auto* react = menu.findChild<QMenu*>("mnuReact");
        ASSERT_NE(react, nullptr);
        react->actions().at(reaction)->trigger();
        return;
    }
    auto* a = menu.findChild<QAction*>(action);
    ASSERT_NE(a, nullptr) << action;
    ASSERT_TRUE(a->isEnabled()) << action;
    a->trigger();
}
}  // namespace

TEST_F(SharedChatWindows, ALineIsAnsweredReactedToEditedAndTakenBackInEveryMembersWindow) {
    frmChat* annChat = ann.windows.OpenChatWindow("bob|carl|");
    run(1000);
    say(annChat, QStringLiteral("lunch at noon?"));
    run(1000);
    ASSERT_TRUE(bob.only() && carl.only());
    const auto id = bob.peer.rec.items.back().lineId;
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(annChat->lineView()->holds(id));

    // bob answers it: everybody sees the start of ann's line above his.
    choose(bob.only(), id, "actReply");
    EXPECT_TRUE(bob.only()->composeBar()->isVisibleTo(bob.only()));
    say(bob.only(), QStringLiteral("yes, at the pier"));
    run(1000);
    EXPECT_FALSE(bob.only()->composeBar()->isVisibleTo(bob.only()));
    for (frmChat* w : {annChat, carl.only()}) {
        const QString shown = w->txtMsg()->toPlainText();
        EXPECT_TRUE(shown.contains(QStringLiteral("\u21B3 ann: \u00ABlunch at noon?\u00BB"))) << shown.toStdString();
        EXPECT_TRUE(shown.contains(QStringLiteral("bob:\tyes, at the pier"))) << shown.toStdString();
    }

    // carl reacts; ann and bob see who did.
    choose(carl.only(), id, nullptr, 0);
    run(1000);
    for (frmChat* w : {annChat, bob.only()})
        EXPECT_EQ(w->lineView()->reactionsShown(id), QStringLiteral("\U0001F44D carl"));

    // Others cannot edit ann's line; she can.
    QMenu bobs;
    bob.only()->lineView()->addActions(&bobs, id);
    EXPECT_EQ(bobs.findChild<QAction*>("actEdit"), nullptr);
    choose(annChat, id, "actEdit");
    EXPECT_EQ(annChat->txtSnd()->text(), QStringLiteral("lunch at noon?"));
    say(annChat, QStringLiteral("lunch at one?"));
    run(1000);
    for (frmChat* w : {annChat, bob.only(), carl.only()})
        EXPECT_EQ(w->lineView()->wordsOf(id), QStringLiteral("lunch at one?"));
    // The export has the new words too.
    EXPECT_NE(bob.only()->transcript().PlainText().find("lunch at one?"), std::string::npos);

    // Taken back, after she said yes to it; the reactions go with it.
    choose(annChat, id, "actDelete");
    auto* box = qobject_cast<QMessageBox*>(annChat->lineView()->deleteQuestion());
    ASSERT_NE(box, nullptr);
    box->button(QMessageBox::Yes)->click();
    run(1000);
    for (frmChat* w : {annChat, bob.only(), carl.only()}) {
        EXPECT_TRUE(w->lineView()->showsDeleted(id));
        EXPECT_TRUE(w->lineView()->reactionsShown(id).isEmpty());
        EXPECT_EQ(w->transcript().PlainText().find("lunch at one?"), std::string::npos);
    }
}
