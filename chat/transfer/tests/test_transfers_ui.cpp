// The windows of file transfers over two nodes: offers as file messages on a
// simulated segment, the files over TCP on loopback, the windows offscreen.
#include "ChatWindows.h"
#include "FileSending.h"
#include "FilePeers.h"
#include "FolderMemory.h"
#include "TransferTestSupport.h"
#include "TransferUi.h"
#include "UiTestApp.h"
#include "UserListModel.h"
#include "frmChat.h"
#include "frmCom.h"
#include "frmMain.h"
#include "frmOffer.h"
#include "frmTransfers.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QDir>
#include <QTextEdit>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrl>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace lanyx;
using namespace lanyx::test;
using namespace lanyx::ui;
using State = TransferItem::State;

namespace {

QString q(const fs::path& p) {
    return QString::fromStdString(p.string());
}

class TransferWindows : public ::testing::Test {
protected:
    TransferWindows() : ann(seg, "ann"), bob(seg, "bob") {
        app();
        joinWithFiles(seg, ann, bob, annFiles, bobFiles);
        seg.post("zed|C/0");  // a copy without keys: no files for it
        seg.runFor(1000);
    }
    ~TransferWindows() override {
        QList<QPointer<QWidget>> open;
        for (QWidget* w : QApplication::topLevelWidgets()) open << w;
        for (auto& w : open) delete w.data();
    }
    template <typename Done> bool runUntil(Done done, int ms = 20000) { return runQtUntil(done, ms, &seg); }
    State stateAt(FileTransfers& f, const QString& id) {
        const auto* i = f.item(id);
        return i ? i->state : State::Failed;
    }
    QString offer(const QStringList& paths) {
        QString error;
        const auto id = annFiles->send("bob", paths, &error);
        EXPECT_FALSE(id.isEmpty()) << error.toStdString();
        EXPECT_TRUE(runUntil([&] { return bobFiles->item(id) != nullptr; }));
        return id;
    }
    static bool shown(QWidget* w) { return w->isVisibleTo(w->window()); }

    MemorySegment seg;
    Peer ann, bob;
    std::unique_ptr<FileTransfers> annFiles, bobFiles;
    TempDir src, dst;
};

}  // namespace

// ---- the Transfers window -------------------------------------------------------

TEST_F(TransferWindows, RowsFollowATransferFromOfferToOpenFolderOnBothSides) {
    frmTransfers annWin(*annFiles), bobWin(*bobFiles);
    QStringList opened;
    bobWin.openFolder = [&](const QString& f) {
        opened << f;
        return true;
    };
    EXPECT_TRUE(shown(bobWin.lblEmpty()));
    EXPECT_FALSE(bobWin.btnClear()->isEnabled());

    writeBytes(src / "report.pdf", pattern(2u << 20, 3));
    const auto id = offer({q(src / "report.pdf")});
    auto* out = annWin.row(id);
    auto* in = bobWin.row(id);
    ASSERT_TRUE(out && in);
    EXPECT_FALSE(shown(bobWin.lblEmpty()));
    EXPECT_EQ(out->lblPeer->text(), "To bob");
    EXPECT_EQ(in->lblPeer->text(), "From ann");
    EXPECT_EQ(in->lblNames->text(), "report.pdf");
    // Waiting for an answer: the sender may withdraw, the recipient answers.
    EXPECT_TRUE(shown(out->btnCancel));
    EXPECT_FALSE(shown(out->btnAccept));
    EXPECT_TRUE(shown(in->btnAccept) && shown(in->btnDecline));
    EXPECT_FALSE(shown(in->btnCancel) || shown(in->btnOpen) || shown(in->btnRetry));

    // Accept on the row asks where to, through the offer window.
    QString asked;
    QObject::connect(&bobWin, &frmTransfers::acceptRequested, [&](const QString& i) { asked = i; });
    in->btnAccept->click();
    EXPECT_EQ(asked, id);
    EXPECT_EQ(stateAt(*bobFiles, id), State::Offered);

    bool sawRunning = false;
    QObject::connect(bobFiles.get(), &FileTransfers::itemChanged, [&](const QString& i) {
        if (i == id && stateAt(*bobFiles, id) == State::Running)
            sawRunning = sawRunning || (shown(in->btnCancel) && !shown(in->btnAccept) && !shown(in->btnOpen));
    });
    bobFiles->accept(id, q(dst.path()));
    ASSERT_TRUE(runUntil(
        [&] { return stateAt(*bobFiles, id) == State::Finished && stateAt(*annFiles, id) == State::Finished; }));
    EXPECT_TRUE(sawRunning);
    EXPECT_EQ(in->bar->value(), 100);
    EXPECT_EQ(out->bar->value(), 100);
    EXPECT_EQ(in->lblState->text(), "Received");
    EXPECT_TRUE(shown(in->btnOpen));
    EXPECT_FALSE(shown(in->btnCancel));
    // The sender has no folder to open, and nothing to cancel.
    EXPECT_FALSE(shown(out->btnOpen) || shown(out->btnCancel));
    in->btnOpen->click();
    EXPECT_EQ(opened, QStringList{QDir::cleanPath(q(dst.path()))});

    EXPECT_TRUE(bobWin.btnClear()->isEnabled());
    bobWin.btnClear()->click();
    EXPECT_EQ(bobWin.rowCount(), 0);
    EXPECT_TRUE(shown(bobWin.lblEmpty()));
    EXPECT_EQ(annWin.rowCount(), 1);  // the other side's list is its own
}

TEST_F(TransferWindows, ACutConnectionShowsRetryAndCancelLeavesNothingToPress) {
    frmTransfers bobWin(*bobFiles);
    writeBytes(src / "big.bin", pattern(32u << 20, 5));
    const auto id = offer({q(src / "big.bin")});
    auto* in = bobWin.row(id);
    ASSERT_TRUE(in);
    bool cut = false, barFollows = true;
    QObject::connect(bobFiles.get(), &FileTransfers::itemChanged, [&](const QString& i) {
        const auto* item = bobFiles->item(i);
        if (i != id || !item) return;
        if (item->state == State::Running && item->bytes > 0)
            barFollows = barFollows && in->bar->value() == static_cast<int>(item->done * 100 / item->bytes);
        // The sender's program goes away midway, as a closed laptop would.
        if (item->done > 0 && !cut) {
            cut = true;
            QTimer::singleShot(0, [this] { annFiles.reset(); });
        }
    });
    bobFiles->accept(id, q(dst.path()));
    ASSERT_TRUE(runUntil([&] { return stateAt(*bobFiles, id) == State::Interrupted; }))
        << TransferStateText(*bobFiles->item(id)).toStdString();
    EXPECT_TRUE(barFollows);
    EXPECT_TRUE(shown(in->btnRetry));
    EXPECT_TRUE(shown(in->btnCancel));
    EXPECT_FALSE(shown(in->btnOpen));
    EXPECT_EQ(in->lblSpeed->text(), "");
    EXPECT_TRUE(in->lblState->text().startsWith("Interrupted")) << in->lblState->text().toStdString();
    EXPECT_LT(in->bar->value(), 100);

    // Retry connects again at once (here in vain: nobody listens any more).
    in->btnRetry->click();
    EXPECT_EQ(stateAt(*bobFiles, id), State::Running);
    EXPECT_FALSE(shown(in->btnRetry));
    ASSERT_TRUE(runUntil([&] { return stateAt(*bobFiles, id) == State::Interrupted; }));

    // Cancel: no button applies any more, and the partial file goes.
    in->btnCancel->click();
    EXPECT_EQ(stateAt(*bobFiles, id), State::Cancelled);
    for (auto* b : {in->btnAccept, in->btnDecline, in->btnCancel, in->btnRetry, in->btnOpen})
        EXPECT_FALSE(shown(b)) << b->objectName().toStdString();
    EXPECT_TRUE(bobWin.btnClear()->isEnabled());
    QCoreApplication::processEvents();
    EXPECT_TRUE(fs::is_empty(dst.path())) << listing(dst.path()).size();
}

// ---- the offer window -----------------------------------------------------------

TEST_F(TransferWindows, OfferWindowAcceptsIntoTheChosenFolderAndRefusesOneThatWillNotDo) {
    TransferUi ui(*bobFiles);
    writeBytes(src / "a.txt", "alpha");
    writeBytes(src / "b.txt", "beta");
    const auto id = offer({q(src / "a.txt"), q(src / "b.txt")});
    // The offer opened its window by itself.
    frmOffer* w = ui.offerWindow(id);
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->lblFrom()->text(), "ann");
    EXPECT_EQ(w->lblNames()->text(), "a.txt, b.txt");
    EXPECT_EQ(w->lblSize()->text(), "2 files, 9 bytes");
    EXPECT_EQ(w->txtFolder()->text(), FileTransfers::defaultFolder());
    EXPECT_TRUE(w->btnAccept()->isDefault());

    // Not a folder: the offer keeps waiting and the window says why.
    writeBytes(dst / "plain.txt", "x");
    w->txtFolder()->setText(q(dst / "plain.txt"));
    w->btnAccept()->click();
    EXPECT_EQ(stateAt(*bobFiles, id), State::Offered);
    EXPECT_TRUE(w->lblProblem()->isVisibleTo(w));
    EXPECT_TRUE(w->lblProblem()->text().contains("plain.txt")) << w->lblProblem()->text().toStdString();
    EXPECT_TRUE(w->isVisible());
    // Under a file no folder can be made: nothing is left behind either.
    w->txtFolder()->setText(q(dst / "plain.txt" / "sub"));
    w->btnAccept()->click();
    EXPECT_EQ(stateAt(*bobFiles, id), State::Offered);
    w->txtFolder()->setText("   ");
    w->btnAccept()->click();
    EXPECT_EQ(stateAt(*bobFiles, id), State::Offered);
    EXPECT_EQ(listing(dst.path()), std::vector<std::string>{"plain.txt"});
    fs::remove(dst / "plain.txt");

    // Browse... puts the chosen folder in; Enter accepts.
    TempDir chosen;
    w->chooseFolder = [&](QWidget*, const QString&) { return q(chosen.path()); };
    w->btnBrowse()->click();
    EXPECT_EQ(QDir::fromNativeSeparators(w->txtFolder()->text()), q(chosen.path()));
    QPointer<frmOffer> alive(w);
    QTest::keyClick(w->txtFolder(), Qt::Key_Return);
    ASSERT_TRUE(runUntil([&] { return stateAt(*bobFiles, id) == State::Finished; }));
    EXPECT_EQ(readBytes(chosen / "a.txt"), "alpha");
    EXPECT_EQ(readBytes(chosen / "b.txt"), "beta");
    EXPECT_TRUE(fs::is_empty(dst.path()));
    EXPECT_TRUE(!alive || !alive->isVisible());
}

TEST_F(TransferWindows, AFolderNotThereYetIsMadeOnAccept) {
    TransferUi ui(*bobFiles);
    writeBytes(src / "a.txt", "alpha");
    const auto id = offer({q(src / "a.txt")});
    frmOffer* w = ui.offerWindow(id);
    ASSERT_TRUE(w);
    w->txtFolder()->setText(q(dst / "Downloads" / "from ann"));
    w->btnAccept()->click();
    ASSERT_TRUE(runUntil([&] { return stateAt(*bobFiles, id) == State::Finished; }));
    EXPECT_EQ(readBytes(dst / "Downloads" / "from ann" / "a.txt"), "alpha");
}

TEST_F(TransferWindows, ClosingTheOfferAnswersNothingAndDeclineWritesNothing) {
    TransferUi ui(*bobFiles);
    writeBytes(src / "a.txt", "alpha");
    const auto id = offer({q(src / "a.txt")});
    QPointer<frmOffer> w = ui.offerWindow(id);
    ASSERT_TRUE(w);
    QTest::keyClick(w, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(!w || !w->isVisible());
    seg.runFor(500);
    EXPECT_EQ(stateAt(*bobFiles, id), State::Offered);
    EXPECT_EQ(stateAt(*annFiles, id), State::Offering);

    // The Transfers window's Accept brings it back.
    frmTransfers* list = ui.ShowTransfers();
    ASSERT_TRUE(list->row(id));
    list->row(id)->btnAccept->click();
    QPointer<frmOffer> again = ui.offerWindow(id);
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->isVisible());
    again->txtFolder()->setText(q(dst.path()));
    again->btnDecline()->click();
    EXPECT_EQ(stateAt(*bobFiles, id), State::Declined);
    ASSERT_TRUE(runUntil([&] { return stateAt(*annFiles, id) == State::Declined; }));
    EXPECT_TRUE(fs::is_empty(dst.path()));
    EXPECT_FALSE(list->row(id)->btnAccept->isVisibleTo(list));
    // An answered offer has no window to show any more.
    EXPECT_EQ(ui.ShowOffer(id), nullptr);
}

TEST_F(TransferWindows, AFloodOfOffersOpensABoundedNumberOfWindowsThatDoNotTakeTheKeyboard) {
    TransferUi ui(*bobFiles);
    QStringList tray;
    ui.trayMessage = [&](const QString& title, const QString& text, bool) { tray << title + ": " + text; };
    writeBytes(src / "a.txt", "alpha");
    // A few offers wait per sender: the flood comes from three.
    Peer carl(seg, "carl"), dave(seg, "dave");
    std::vector<std::unique_ptr<FileTransfers>> more;
    for (auto* p : {&carl, &dave}) {
        p->transport.source = p->transport.address = IpAddress::v4(0x7f000001);
        more.push_back(std::make_unique<FileTransfers>(p->node));
        p->joinAs(p == &carl ? "carl" : "dave");
        seg.runFor(2000);
    }
    const auto offerFrom = [&](FileTransfers& from) {
        QString error;
        const auto id = from.send("bob", {q(src / "a.txt")}, &error);
        EXPECT_FALSE(id.isEmpty()) << error.toStdString();
        EXPECT_TRUE(runUntil([&] { return bobFiles->item(id) != nullptr; }));
        return id;
    };
    QStringList ids;
    for (int i = 0; i < TransferUi::kMaxOfferWindows + 2; ++i)
        ids << offerFrom(i < 4 ? *annFiles : i < 8 ? *more[0] : *more[1]);
    EXPECT_EQ(ui.openOfferWindows(), TransferUi::kMaxOfferWindows);
    ASSERT_TRUE(ui.offerWindow(ids.front()));
    EXPECT_TRUE(ui.offerWindow(ids.front())->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_FALSE(ui.offerWindow(ids.back()));
    EXPECT_EQ(tray.size(), 2);
    EXPECT_EQ(tray.value(0), "Files offered: dave offers a.txt; answer in the Transfers window.");
    // Every one waits all the same, and opens from the list when asked.
    for (const auto& id : ids) EXPECT_EQ(stateAt(*bobFiles, id), State::Offered);
    frmOffer* late = ui.ShowOffer(ids.back());
    ASSERT_TRUE(late);
    EXPECT_TRUE(late->isVisible());
    EXPECT_FALSE(late->testAttribute(Qt::WA_ShowWithoutActivating));
}

TEST_F(TransferWindows, AnOfferWithdrawnWhileItsWindowIsOpenClosesIt) {
    TransferUi ui(*bobFiles);
    writeBytes(src / "a.txt", "alpha");
    const auto id = offer({q(src / "a.txt")});
    QPointer<frmOffer> w = ui.offerWindow(id);
    ASSERT_TRUE(w && w->isVisible());
    annFiles->cancel(id);
    ASSERT_TRUE(runUntil([&] { return stateAt(*bobFiles, id) == State::Cancelled; }));
    EXPECT_TRUE(!w || !w->isVisible());
}

// ---- starting a transfer: drops and menus ---------------------------------------

namespace {
QMimeData* filesData(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const auto& p : paths) urls << (p.contains("://") ? QUrl(p) : QUrl::fromLocalFile(p));
    data->setUrls(urls);
    return data;
}
// A drag over `target` at `pos`: whether a move there is taken, and then
// whether the drop is.
std::pair<bool, bool> dragAndDrop(QWidget* target, QPoint pos, const QStringList& paths) {
    std::unique_ptr<QMimeData> data(filesData(paths));
    QDragEnterEvent enter(pos, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(pos, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(pos), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return {move.isAccepted(), drop.isAccepted()};
}
}  // namespace

TEST_F(TransferWindows, DropOntoAUserRowOffersToThatUserAndIsRefusedWhereFilesCannotGo) {
    frmMain w(ann.node);
    w.setFiles(annFiles.get());
    w.show();
    // The window empties the list when it loads: everybody announces again.
    ann.node.RequestRoster();
    seg.runFor(3000);
    seg.post("zed|C/0");
    seg.runFor(1000);
    auto rowOf = [&](const std::string& text) {
        for (std::size_t r = 0; r < ann.node.users().rowCount(); ++r)
            if (ann.node.users().rowText(r) == text) return static_cast<int>(r);
        return -1;
    };
    ASSERT_GE(rowOf("bob"), 0);
    ASSERT_GE(rowOf("zed"), 0);
    auto at = [&](int row) { return w.lvUsers()->visualRect(w.model()->index(row, 0)).center(); };
    writeBytes(src / "a.txt", "alpha");
    QWidget* viewport = w.lvUsers()->viewport();

    // A user whose copy announced no keys: refused, and the status line says why.
    auto [moveZed, dropZed] = dragAndDrop(viewport, at(rowOf("zed")), {q(src / "a.txt")});
    EXPECT_FALSE(moveZed);
    EXPECT_FALSE(dropZed);
    EXPECT_EQ(w.lblStat()->text(), "This user's program cannot receive files.");
    EXPECT_TRUE(annFiles->items().empty());

    // "(All)" is no user to send to.
    auto [moveAll, dropAll] = dragAndDrop(viewport, at(rowOf("(All)")), {q(src / "a.txt")});
    EXPECT_FALSE(moveAll || dropAll);
    // Nor is a web address a file of this computer.
    auto [moveWeb, dropWeb] = dragAndDrop(viewport, at(rowOf("bob")), {q(src / "a.txt"), "https://example.org/a"});
    EXPECT_FALSE(moveWeb || dropWeb);
    EXPECT_TRUE(annFiles->items().empty());

    auto [moveBob, dropBob] = dragAndDrop(viewport, at(rowOf("bob")), {q(src / "a.txt")});
    EXPECT_TRUE(moveBob);
    EXPECT_TRUE(dropBob);
    ASSERT_EQ(annFiles->items().size(), 1u);
    EXPECT_EQ(annFiles->items().front().peer, "bob");
    EXPECT_EQ(annFiles->items().front().names, QStringList{"a.txt"});
    EXPECT_EQ(w.lblStat()->text(), "Offered a.txt to bob.");
    EXPECT_TRUE(runUntil([&] { return bobFiles->item(annFiles->items().front().id) != nullptr; }));

    // A file that went away between the drag and the drop: the error shows.
    dragAndDrop(viewport, at(rowOf("bob")), {q(src / "gone.txt")});
    EXPECT_TRUE(w.lblStat()->text().contains("does not exist")) << w.lblStat()->text().toStdString();
    EXPECT_EQ(annFiles->items().size(), 1u);
    QCoreApplication::processEvents();
    auto* box = w.findChild<QMessageBox*>("boxSendFailed");
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->text().contains("gone.txt does not exist")) << box->text().toStdString();
    EXPECT_FALSE(box->isModal());

    // The user menu: enabled for bob, disabled with the reason for zed, absent for "(All)".
    for (const auto& [name, enabled] : {std::pair<std::string, bool>{"bob", true}, {"zed", false}}) {
        QMenu menu;
        w.PrepareUserMenu(menu, rowOf(name));
        EXPECT_TRUE(menu.toolTipsVisible());
        EXPECT_TRUE(menu.actions().contains(w.sendFiles()->sendFile())) << name;
        EXPECT_TRUE(menu.actions().contains(w.sendFiles()->sendFolder())) << name;
        EXPECT_EQ(w.sendFiles()->sendFile()->isEnabled(), enabled) << name;
        EXPECT_EQ(w.sendFiles()->sendFolder()->isEnabled(), enabled) << name;
        if (!enabled) {
            EXPECT_EQ(w.sendFiles()->sendFile()->toolTip(), "This user's program cannot receive files.");
        }
    }
    QMenu all;
    w.PrepareUserMenu(all, rowOf("(All)"));
    EXPECT_FALSE(all.actions().contains(w.sendFiles()->sendFile()));
}

TEST_F(TransferWindows, ChatWindowTakesDropsForItsMembersAndNotesTheEndOutsideItsTranscript) {
    ChatWindows windows(
        ann.node, [](const QString&) {}, [](const std::string&) { return QString(); });
    windows.setFileTransfers(annFiles.get());
    TransferUi annUi(*annFiles);
    annUi.chatNote = [&](const QString& peer, TransferUi::NoteFn note) {
        windows.NoteToChatsWith(peer, std::move(note));
    };
    QStringList tray;
    annUi.trayMessage = [&](const QString& title, const QString& text, bool) { tray << title + ": " + text; };
    frmChat* zedChat = windows.OpenChatWindow("zed|");
    frmChat* bobChat = windows.OpenChatWindow("bob|");
    writeBytes(src / "a.txt", "alpha");

    // Nobody in zed's chat can take files: refused, the menu entries say why.
    auto [moveZed, dropZed] = dragAndDrop(zedChat->txtMsg()->viewport(), {10, 10}, {q(src / "a.txt")});
    EXPECT_FALSE(moveZed || dropZed);
    zedChat->sendFiles()->refresh();
    EXPECT_FALSE(zedChat->sendFiles()->sendFile()->isEnabled());
    EXPECT_EQ(zedChat->sendFiles()->sendFile()->toolTip(), "This user's program cannot receive files.");
    EXPECT_TRUE(annFiles->items().empty());

    bobChat->sendFiles()->refresh();
    EXPECT_TRUE(bobChat->sendFiles()->sendFolder()->isEnabled());
    EXPECT_TRUE(bobChat->mnuUsers()->actions().contains(bobChat->sendFiles()->sendFile()));
    EXPECT_TRUE(bobChat->mnuUsers()->toolTipsVisible());
    // Text dragged into the input line stays text.
    {
        QMimeData text;
        text.setText("hello");
        QDragMoveEvent move(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(bobChat->txtSnd(), &move);
        EXPECT_TRUE(annFiles->items().empty());
    }
    auto [moveBob, dropBob] = dragAndDrop(bobChat->txtMsg()->viewport(), {10, 10}, {q(src / "a.txt")});
    EXPECT_TRUE(moveBob && dropBob);
    ASSERT_EQ(annFiles->items().size(), 1u);
    const auto id = annFiles->items().front().id;
    EXPECT_EQ(annFiles->items().front().peer, "bob");

    ASSERT_TRUE(runUntil([&] { return bobFiles->item(id) != nullptr; }));
    const auto before = bobChat->transcript().PlainText();
    bobFiles->accept(id, q(dst.path()));
    ASSERT_TRUE(runUntil([&] { return stateAt(*annFiles, id) == State::Finished; }));
    EXPECT_TRUE(bobChat->txtMsg()->toPlainText().contains("Sent a.txt (1 file, 5 bytes) to bob."))
        << bobChat->txtMsg()->toPlainText().toStdString();
    EXPECT_FALSE(zedChat->txtMsg()->toPlainText().contains("a.txt"));
    EXPECT_EQ(bobChat->transcript().PlainText(), before);
    EXPECT_EQ(tray, QStringList{"Transfer finished: Sent a.txt (1 file, 5 bytes) to bob."});
}

TEST_F(TransferWindows, ComposeWindowOffersFilesToThoseOfItsRecipientsWhoCanTakeThem) {
    ChatWindows windows(
        ann.node, [](const QString&) {}, [](const std::string&) { return QString(); });
    windows.setFileTransfers(annFiles.get());
    frmCom* both = windows.OpenComposeWindow("bob|zed|");
    ASSERT_TRUE(both);
    EXPECT_EQ(both->FileTargets(), (QStringList{"bob", "zed"}));
    both->sendFiles()->refresh();
    // bob can: the entries work, and the tooltip names who is left out.
    EXPECT_TRUE(both->sendFiles()->sendFile()->isEnabled());
    EXPECT_EQ(both->sendFiles()->sendFile()->toolTip(), "zed: This user's program cannot receive files.");
    writeBytes(src / "a.txt", "alpha");
    both->sendFiles()->chooseFiles = [&](QWidget*, const QString&) { return QStringList{q(src / "a.txt")}; };
    both->sendFiles()->sendFile()->trigger();
    ASSERT_EQ(annFiles->items().size(), 1u);
    EXPECT_EQ(annFiles->items().front().peer, "bob");
    EXPECT_TRUE(both->lblDelivery()->text().startsWith("Offered a.txt to bob."))
        << both->lblDelivery()->text().toStdString();

    frmCom* zedOnly = windows.OpenComposeWindow("zed|");
    zedOnly->sendFiles()->refresh();
    EXPECT_FALSE(zedOnly->sendFiles()->sendFile()->isEnabled());
    EXPECT_FALSE(zedOnly->sendFiles()->sendFolder()->isEnabled());
    EXPECT_EQ(zedOnly->sendFiles()->sendFolder()->toolTip(), "This user's program cannot receive files.");
    // An alert to everybody names no user to send files to.
    frmCom* all = windows.OpenComposeWindow("(All)|");
    EXPECT_TRUE(all->FileTargets().isEmpty());
    all->sendFiles()->refresh();
    EXPECT_FALSE(all->sendFiles()->sendFile()->isEnabled());
    EXPECT_FALSE(all->sendFiles()->sendFile()->toolTip().isEmpty());
}

// ---- pictures -------------------------------------------------------------------

// With LANYX_SCREENSHOTS=DIR (under Xvfb, say) the Transfers window with rows
// in several states and an offer window are saved there to be looked at.
TEST_F(TransferWindows, PicturesOfTheWindowsWhenAsked) {
    const QString dir = qEnvironmentVariable("LANYX_SCREENSHOTS");
    if (dir.isEmpty()) GTEST_SKIP() << "set LANYX_SCREENSHOTS=DIR to save pictures of the windows";
    TransferUi ui(*bobFiles);
    fs::create_directories(src / "Holiday photos 2026");
    for (int i = 0; i < 40; ++i)
        writeBytes(src / "Holiday photos 2026" / ("IMG_" + std::to_string(1000 + i) + ".jpg"), pattern(50000, i));
    writeBytes(src / "quarterly report (final).pdf", pattern(3u << 20, 1));
    QStringList many;
    for (int i = 0; i < 20; ++i) {
        const auto name = "notes-" + std::to_string(i) + ".txt";
        writeBytes(src / name, "note");
        many << q(src / name);
    }
    const auto done = offer({q(src / "quarterly report (final).pdf")});
    ui.offerWindow(done)->close();
    bobFiles->accept(done, q(dst.path()));
    ASSERT_TRUE(runUntil([&] { return stateAt(*bobFiles, done) == State::Finished; }));
    const auto declined = offer({q(src / "notes-0.txt")});
    ui.offerWindow(declined)->close();
    bobFiles->decline(declined);
    const auto waiting = offer(many);
    ui.offerWindow(waiting)->close();
    const auto folder = offer({q(src / "Holiday photos 2026")});
    frmTransfers* list = ui.ShowTransfers();
    frmOffer* w = ui.ShowOffer(folder);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list) && QTest::qWaitForWindowExposed(w));
    list->grab().save(dir + "/lanyx-transfers.png");
    w->grab().save(dir + "/lanyx-offer.png");
    ui.ShowOffer(waiting)->grab().save(dir + "/lanyx-offer-many.png");
}

// ---- where the user was ------------------------------------------------------------

TEST_F(TransferWindows, TheNextOfferStartsInTheFolderTheLastOneWentTo) {
    TransferUi ui(*bobFiles);
    FolderMemory memory;
    ui.setMemory(&memory);
    writeBytes(src / "a.txt", "alpha");
    const auto first = offer({q(src / "a.txt")});
    frmOffer* w = ui.offerWindow(first);
    ASSERT_TRUE(w);
    w->txtFolder()->setText(q(dst / "from ann"));
    w->btnAccept()->click();
    ASSERT_TRUE(runUntil([&] { return stateAt(*bobFiles, first) == State::Finished; }));
    const auto second = offer({q(src / "a.txt")});
    ASSERT_TRUE(ui.offerWindow(second));
    EXPECT_EQ(QDir::fromNativeSeparators(ui.offerWindow(second)->txtFolder()->text()), q(dst / "from ann"));
    EXPECT_EQ(memory.offerFolder, q(dst / "from ann"));
}

TEST_F(TransferWindows, SendFileStartsInTheFolderFilesLastCameFrom) {
    FolderMemory memory;
    QWidget window;
    SendFileActions actions(&window, [] { return QStringList{"bob"}; });
    actions.setFiles(annFiles.get());
    actions.setMemory(&memory);
    fs::create_directories(src / "reports");
    writeBytes(src / "reports" / "q1.pdf", "q1");
    QStringList starts;
    actions.chooseFiles = [&](QWidget*, const QString& start) {
        starts << start;
        return QStringList{q(src / "reports" / "q1.pdf")};
    };
    actions.refresh();
    actions.sendFile()->trigger();
    actions.sendFile()->trigger();
    ASSERT_EQ(starts.size(), 2);
    EXPECT_EQ(QDir(starts[1]), QDir(q(src / "reports")));
}

TEST_F(TransferWindows, OpenFolderThatNothingCanShowSaysWhereTheFilesAre) {
    frmTransfers bobWin(*bobFiles);
    bobWin.openFolder = [](const QString&) { return false; };
    writeBytes(src / "a.txt", "alpha");
    const auto id = offer({q(src / "a.txt")});
    bobFiles->accept(id, q(dst.path()));
    ASSERT_TRUE(runUntil([&] { return stateAt(*bobFiles, id) == State::Finished; }));
    bobWin.row(id)->btnOpen->click();
    QMessageBox* told = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "boxOpenFolder" && w->isVisible()) told = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(told, nullptr);
    EXPECT_TRUE(told->text().contains(QDir::toNativeSeparators(QDir::cleanPath(q(dst.path())))))
        << told->text().toStdString();
}
