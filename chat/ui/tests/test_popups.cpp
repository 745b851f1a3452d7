// Alert popups under many alerts and many senders: every text stays
// readable, a new sender takes the place of the oldest popup, the users
// that matter are always shown, and what is not shown is listed once.
// Boxes of any size fit the screen.
#include "BoxMessage.h"
#include "ChatWindows.h"
#include "PopupSummary.h"
#include "ReceiveQueue.h"
#include "TestSupport.h"
#include "UdpTransport.h"
#include "UiTestApp.h"
#include "frmChat.h"
#include "frmPop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTest>
#include <QTextLayout>
#include <QDateTime>
#include <QTime>
#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::ui;

namespace {

using lanyx::test::app;

class Popups : public ::testing::Test {
protected:
    Popups() : ann(seg, "ann") {
        app();
        ann.joinAs("ann");
        hear("bob|C/255");
        hear("carl|C/0");
        windows = std::make_unique<ChatWindows>(ann.node, nullptr, [this](const std::string&) { return exportTo; });
    }
    ~Popups() override {
        QList<QPointer<QWidget>> open;
        for (QWidget* w : QApplication::topLevelWidgets()) open << w;
        for (auto& w : open) delete w.data();
    }
    void hear(const std::string& text) {
        seg.post(text);
        seg.deliverAll();
    }
    QStringList shownSenders() const {
        QStringList s;
        for (frmPop* p : windows->popups()) s << p->sender();
        return s;
    }
    static QTextEdit* alertsOf(frmPop* pop) { return pop ? pop->findChild<QTextEdit*>("txtAlerts") : nullptr; }

    test::MemorySegment seg;
    test::Peer ann;
    std::unique_ptr<ChatWindows> windows;
    QString exportTo;
};

QString nowMinutes() {
    return QTime::currentTime().toString(QStringLiteral("HH:mm"));
}

}  // namespace

TEST_F(Popups, ASecondAlertFromOneSenderKeepsTheFirstNewestFirstEachWithItsTime) {
    const QString before = nowMinutes();
    frmPop* pop = windows->ShowAlert("first", "bob", false);
    const std::string longer = "the second alert is a good deal longer than the first one ever was";
    EXPECT_EQ(windows->ShowAlert(longer, "bob", true), pop);
    EXPECT_EQ(windows->ShowAlert("third", "BOB", false), pop);
    const QString after = nowMinutes();
    QApplication::processEvents();

    QTextEdit* list = alertsOf(pop);
    ASSERT_NE(list, nullptr);
    const QString all = list->toPlainText();
    const qsizetype third = all.indexOf("third"), second = all.indexOf(QString::fromStdString(longer)),
                    first = all.indexOf("first");
    ASSERT_GE(third, 0);
    ASSERT_GE(second, 0);
    ASSERT_GE(first, 0);
    EXPECT_LT(third, second);
    EXPECT_LT(second, first);
    // When each came and how: one private, two to everybody.
    EXPECT_EQ(all.count(before) + (after == before ? 0 : all.count(after)), 3) << all.toStdString();
    EXPECT_EQ(all.count("Private"), 1);
    EXPECT_EQ(all.count("To everyone"), 2);
    EXPECT_EQ(pop->alertCount(), 3);
    EXPECT_EQ(pop->message(), "third");

    // The popup grew with the longer text: it reads on one line.
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
    for (QTextBlock b = list->document()->begin(); b.isValid(); b = b.next()) {
        if (b.text().contains(QString::fromStdString(longer))) {
            EXPECT_EQ(b.layout()->lineCount(), 1);
        }
    }

    // Export and the chat keep every text, in the order they came.
    test::TempDir dir;
    exportTo = QString::fromStdString((dir / "alerts.txt").string());
    pop->ExportToTextFile();
    EXPECT_EQ(test::readBytes(dir / "alerts.txt"), "\"\r\nfirst\"\r\n\"\r\n" + longer + "\"\r\n\"\r\nthird\"\r\n");
    QPointer<frmPop> gone = pop;
    pop->action("mnuLive")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(gone);
    ASSERT_EQ(windows->chatWindows().size(), 1);
    const auto& lines = windows->chatWindows().front()->transcript().lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "first");
    EXPECT_EQ(lines[2].text, "third");
}

TEST_F(Popups, AFloodFromOneSenderIsKeptUpToABoundThatIsToldNotHidden) {
    frmPop* pop = nullptr;
    for (int i = 0; i < 10000; ++i) pop = windows->ShowAlert("alert " + std::to_string(i), "bob", false);
    ASSERT_EQ(windows->popups().size(), 1);
    EXPECT_EQ(pop->alertCount(), 10000);
    EXPECT_EQ(pop->windowTitle(), "bob (10000)");
    QApplication::processEvents();  // the list shows a burst in one go
    QTextEdit* list = alertsOf(pop);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->toPlainText().contains("alert 0\n") || list->toPlainText().endsWith("alert 0"));

    // Huge alerts: the oldest go past the bound, and the popup and the log say so.
    const std::string big(60000, 'x');
    for (int i = 0; i < 100; ++i) {
        windows->ShowAlert(big, "carl", false);
        if (i % 10 == 0) QApplication::processEvents();
    }
    QApplication::processEvents();
    frmPop* carl = windows->popups().back();
    ASSERT_EQ(carl->sender(), "carl");
    EXPECT_LT(carl->keptBytes(), frmPop::kMaxKeptBytes + 60001);
    EXPECT_GT(carl->droppedCount(), 0);
    EXPECT_TRUE(carl->lblDropped()->isVisibleTo(carl));
    EXPECT_TRUE(carl->lblDropped()->text().contains(QString::number(carl->droppedCount())));
    EXPECT_NE(ann.log().find("not kept"), std::string::npos);
}

// Eight spoofed senders fill every place; a real user still gets through.
// On the segment's clock: the flood comes at once, however busy the machine.
TEST_F(Popups, ANewSenderTakesTheOldestPlaceAndUsersThatMatterAlwaysShow) {
    windows->setClock([this] { return static_cast<qint64>(seg.ticks()); });
    test::Peer dave(seg, "dave");
    dave.joinAs("dave");
    seg.runFor(2000);  // listed, and its key verified
    for (int i = 0; i < ChatWindows::kMaxPopups; ++i)
        windows->ShowAlert("spam " + std::to_string(i), "spoof" + std::to_string(i), false);
    ASSERT_EQ(windows->popups().size(), ChatWindows::kMaxPopups);
    frmPop* real = windows->ShowAlert("the server room is on fire", "dave", true);
    ASSERT_NE(real, nullptr);
    EXPECT_TRUE(shownSenders().contains("dave"));
    EXPECT_FALSE(shownSenders().contains("spoof0"));  // the oldest made room
    EXPECT_EQ(windows->popups().size(), ChatWindows::kMaxPopups);

    // What went is listed in one summary popup, and can be opened again.
    PopupSummary* summary = windows->summary();
    ASSERT_NE(summary, nullptr);
    ASSERT_TRUE(summary->isVisible());
    ASSERT_EQ(summary->senders(), QStringList{"spoof0"});
    frmPop* again = summary->Open(0);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->sender(), "spoof0");
    EXPECT_TRUE(alertsOf(again)->toPlainText().contains("spam 0"));
    EXPECT_TRUE(shownSenders().contains("dave"));

    // Members of a group and of an open chat are never pushed out by strangers.
    ann.node.users().setGroups({"team|carl|"});
    windows->OpenChatWindow("bob|");
    windows->ShowAlert("from carl", "carl", false);
    windows->ShowAlert("from bob", "bob", false);
    for (int i = 100; i < 400; ++i) windows->ShowAlert("flood", "spoof" + std::to_string(i), false);
    const QStringList shown = shownSenders();
    for (const char* who : {"dave", "carl", "bob"}) EXPECT_TRUE(shown.contains(who)) << who;
    EXPECT_LE(windows->popups().size(), ChatWindows::kMaxPopups);
    // One summary, however many were not shown; it counts them all.
    int summaries = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) summaries += qobject_cast<PopupSummary*>(w) && w->isVisible();
    EXPECT_EQ(summaries, 1);
    EXPECT_GE(windows->alertsNotShown(), 300 - ChatWindows::kMaxPopups);
    EXPECT_LE(summary->senders().size(), PopupSummary::kMaxSenders);
}

// Many more senders than one block of the summary's storage holds: a
// repeat from the middle and from the front moves that sender first, and
// past the bound the oldest go, counted.
TEST_F(Popups, TheSummaryKeepsItsOrderPastManySendersRepeatsAndOverflow) {
    PopupSummary summary([](const QString&, std::deque<PopAlert>) { return nullptr; });
    auto keep = [&](const QString& who) { summary.Keep(who, {PopAlert{QDateTime::currentDateTime(), false, who}}); };
    QStringList newestFirst;
    for (int i = 0; i < 30; ++i) {
        keep(QStringLiteral("s%1").arg(i));
        newestFirst.prepend(QStringLiteral("s%1").arg(i));
    }
    for (const QString& again : {QStringLiteral("s15"), QStringLiteral("S0"), QStringLiteral("s29")}) {
        keep(again);
        newestFirst.removeIf([&](const QString& s) { return s.compare(again, Qt::CaseInsensitive) == 0; });
        newestFirst.prepend(again.toLower());
    }
    EXPECT_EQ(summary.senders(), newestFirst);
    EXPECT_TRUE(summary.Holds("s7"));
    EXPECT_EQ(summary.Take("S15").size(), 2u);
    EXPECT_FALSE(summary.Holds("s15"));
    newestFirst.removeAll("s15");
    EXPECT_EQ(summary.senders(), newestFirst);

    for (int i = 30; i < 30 + PopupSummary::kMaxSenders; ++i) keep(QStringLiteral("s%1").arg(i));
    const QStringList now = summary.senders();
    ASSERT_EQ(now.size(), PopupSummary::kMaxSenders);
    EXPECT_EQ(now.front(), QStringLiteral("s%1").arg(29 + PopupSummary::kMaxSenders));
    EXPECT_EQ(now.back(), "s30");
    // Everything older went: 29 senders, s0 and s29 with two alerts each.
    EXPECT_EQ(summary.forgotten(), 31);
    EXPECT_TRUE(summary.Take("s0").empty());
}

// Two senders' popups at one corner stack along the edge; a closed one
// leaves its place to the next.
TEST_F(Popups, PopupsOfTwoSendersRestSideBySideAndAClosedOneFreesItsPlace) {
    auto rest = [](frmPop* pop) {
        for (int i = 0; i < 10000 && pop->sliding(); ++i) pop->aniTimer_Timer();
        return pop->frameGeometry();
    };
    for (const int corner : {2, 4}) {
        ann.node.settings().PopupPosition = corner;
        QPointer<frmPop> bob = windows->ShowAlert("first", "bob", false);
        frmPop* carl = windows->ShowAlert("second", "carl", false);
        ASSERT_TRUE(bob && carl);
        const QRect atBob = rest(bob), atCarl = rest(carl);
        EXPECT_FALSE(atBob.intersects(atCarl)) << corner;
        EXPECT_EQ(atBob.right(), atCarl.right());
        // Away from the corner: below the first at the top, above it at the bottom.
        EXPECT_EQ(corner == 2, atCarl.top() > atBob.top()) << corner;
        // A popup that grows with a later alert does not cover the next one either.
        const QRect before = bob->frameGeometry();
        bob->JoinAlert("one\ntwo");
        ASSERT_TRUE(QTest::qWaitFor([&] { return bob->frameGeometry().height() > before.height(); }));
        // (Where the screen holds both: else it stays where it is.)
        const QRect area = bob->screen()->availableGeometry();
        const int carlReaches = corner == 2 ? atCarl.bottom() - area.top() : area.bottom() - atCarl.top();
        if (carlReaches + bob->frameGeometry().height() + 8 < area.height()) {
            EXPECT_FALSE(bob->frameGeometry().intersects(carl->frameGeometry())) << corner;
        }

        bob->close();
        QApplication::processEvents();
        const QRect atDave = rest(windows->ShowAlert("third", "dave", false));
        EXPECT_EQ(corner == 2 ? atDave.top() : atDave.bottom(), corner == 2 ? atBob.top() : atBob.bottom()) << corner;
        EXPECT_FALSE(atDave.intersects(atCarl));
        for (frmPop* p : windows->popups()) p->close();
        QApplication::processEvents();
    }
}

TEST_F(Popups, APopupSaysWhenItCameAndWhetherItWasPrivate) {
    frmPop* pop = windows->ShowAlert("lunch?", "bob", true);
    const QString text = alertsOf(pop) ? alertsOf(pop)->toPlainText() : QString();
    EXPECT_TRUE(text.contains("Private")) << text.toStdString();
    EXPECT_TRUE(text.contains(nowMinutes()));
    // Frameless where the desktop can place it, with its own close button.
    EXPECT_TRUE(pop->windowFlags() & Qt::FramelessWindowHint);
    auto* close = pop->findChild<QAbstractButton*>("cmdClose");
    ASSERT_NE(close, nullptr);
    QPointer<frmPop> p = pop;
    close->click();
    QApplication::processEvents();
    EXPECT_TRUE(!p || !p->isVisible());
}

namespace {

// The node's side of the socket's queue, drained as the transport drains
// it: one batch per turn of the event loop.
class QueuedTransport : public DatagramTransport {
public:
    void open() override { open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void send(std::string_view) override {}
    void turn() {
        beginBatch();
        Arrival a;
        bool heardBefore = false;
        for (std::size_t n = 0; n < UdpTransport::kBatch && queue.take(a, &heardBefore); ++n)
            deliver(a.bytes, a.from, heardBefore);
        endBatch();
    }
    void arrive(const std::string& bytes) { batch.push_back(Arrival{bytes, {}, {}, 0}); }
    void push() { queue.push(batch); }
    ReceiveQueue queue{UdpTransport::kMaxQueuedBytes};
    std::vector<Arrival> batch;

private:
    bool open_ = false;
};

// What the node shows goes to the windows, as the desktop's sink does.
struct ToWindows : test::Recorder {
    void show(const Message& m) override {
        if (!m.isAlert()) return test::Recorder::show(m);
        if (windows) windows->ShowAlert(MarkedText(m), m.peer, m.isPrivate());
    }
    ChatWindows* windows = nullptr;
};

}  // namespace

// 20,000 alerts from 5,000 made-up names wait when a colleague's alert
// comes: it is shown at the next turn, and what the storm leaves to work
// through is bounded.
TEST(AlertStorm, AColleaguesAlertAfterAStormIsShownAtOnceAndTheBacklogIsBounded) {
    app();
    test::MemorySegment seg;  // its clock only: nothing moves it during the storm
    test::TempDir dir;
    QueuedTransport wire;
    ToWindows sink;
    NodeConfig c;
    c.dataDir = dir.path();
    c.langFile = test::shippedLangFile();
    c.logonName = "ann";
    c.nameForRun = "ann";
    ChatNode ann(c, wire, sink, sink, seg);
    ann.readSettings();
    ann.state().MyName = "ann";
    ann.OpenNetwork();
    ChatWindows windows(ann, nullptr, nullptr);
    windows.setClock([&seg] { return static_cast<qint64>(seg.ticks()); });
    sink.windows = &windows;
    for (const char* d : {"dave|M/", "dave|C/255", "dave|S/0"}) wire.arrive(d);
    wire.push();
    wire.turn();
    ASSERT_TRUE(ann.users().findNoCase("dave"));

    constexpr int kStorm = 20000;
    for (int i = 0; i < kStorm; ++i)
        wire.arrive("spoof" + std::to_string(i % 5000) +
                    "|M/\xDF"
                    "buy now");
    wire.arrive(
        "dave|M/\xDF"
        "the server room is on fire");
    wire.push();
    int turns = 0;
    auto shown = [&] {
        for (frmPop* p : windows.popups())
            if (p->sender() == "dave") return true;
        return false;
    };
    while (!shown() && turns < 1000) {
        wire.turn();
        QApplication::processEvents();
        ++turns;
    }
    EXPECT_EQ(turns, 1);
    EXPECT_EQ(wire.queue.alertsNotKept(), kStorm - ReceiveQueue::kStrangerAlertBacklog);

    while (!wire.queue.empty() && turns < 1000) {
        wire.turn();
        QApplication::processEvents();
        ++turns;
    }
    EXPECT_LE(turns, static_cast<int>(ReceiveQueue::kStrangerAlertBacklog / UdpTransport::kBatch) + 2);
    EXPECT_TRUE(shown());
    EXPECT_LE(windows.popups().size(), ChatWindows::kMaxPopups);
    ASSERT_NE(windows.summary(), nullptr);
    EXPECT_LE(windows.summary()->senders().size(), PopupSummary::kMaxSenders);
    QList<QPointer<QWidget>> open;
    for (QWidget* w : QApplication::topLevelWidgets()) open << w;
    for (auto& w : open) delete w.data();
}

TEST(BoxMessages, AHugeBoxFitsTheWorkAreaWithItsButtonOnScreen) {
    app();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QString lines;
    for (int i = 0; i < 5000; ++i) lines += QStringLiteral("line %1\n").arg(i);
    QString words;
    while (words.size() < 60000) words += QStringLiteral("word ");
    for (const QString& text : {QString(60000, QLatin1Char('x')), lines, words}) {
        QPointer<QWidget> box = ShowBoxMessage(text, QStringLiteral("bob"));
        ASSERT_TRUE(box);
        QApplication::processEvents();
        EXPECT_TRUE(area.contains(box->frameGeometry()))
            << box->frameGeometry().width() << "x" << box->frameGeometry().height();
        auto* ok = box->findChild<QPushButton*>();
        ASSERT_NE(ok, nullptr);
        EXPECT_TRUE(ok->isVisible());
        EXPECT_TRUE(area.contains(QRect(ok->mapToGlobal(QPoint(0, 0)), ok->size())));
        delete box.data();
    }
}
