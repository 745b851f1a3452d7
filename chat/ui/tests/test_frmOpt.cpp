// The Options window over nodes on an in-memory segment, offscreen.
#include "History.h"
#include "TestSupport.h"
#include "UiTestApp.h"
#include "frmMain.h"
#include "frmOpt.h"
#include "NetworkPage.h"
#include "Networks.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <algorithm>
#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::test;
using lanyx::ui::frmMain;
using lanyx::ui::frmOpt;
using lanyx::ui::OptionsEnv;

namespace {

using lanyx::test::app;

// What the window asked of the user and of the program.
struct Seen {
    std::vector<QString> boxes;
    std::vector<QString> questions;
    bool answer = true;
    int beeps = 0;
    int languageSwitches = 0;
    std::vector<QString> played;
};

void watch(frmOpt& w, Seen& seen) {
    w.MsgBox = [&seen](const QString& t, int) { seen.boxes.push_back(t); };
    w.AskYesNo = [&seen](const QString& title, const QString& t) {
        seen.questions.push_back(title + ": " + t);
        return seen.answer;
    };
    w.Beep = [&seen] { ++seen.beeps; };
}

// Every open window takes the new texts, as the program does it.
void setLanAll() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->metaObject()->indexOfMethod("SetLan()") >= 0) QMetaObject::invokeMethod(w, "SetLan");
}

std::string lang(ChatNode& node, int code) {
    return node.LangText(code);
}

class Options : public ::testing::Test {
protected:
    Options() : ann(seg, "ann"), bob(seg, "bob") {
        app();
        for (Peer* p : {&ann, &bob}) {
            p->node.readSettings();
            p->node.state().MyName = p == &ann ? "ann" : "bob";
        }
        ann.node.users().setGroups({"team|bob|carl|", "crew|bob|"});
        ann.node.users().setBlocked({"Zed"});
        ann.node.OpenNetwork();
        bob.node.OpenNetwork();
        seg.deliverAll();
        ann.transport.sent.clear();
        writeBytes(wavDir / "ding.wav", "RIFF");
        writeBytes(wavDir / "BELL.WAV", "RIFF");
        writeBytes(wavDir / "notes.txt", "x");
    }
    std::unique_ptr<frmOpt> open(bool startUp = false) {
        OptionsEnv env;
        env.soundFolders = {QString::fromStdString(wavDir.path().string())};
        env.playSound = [this](const QString& s) { seen.played.push_back(s); };
        env.languageChanged = [this] {
            ++seen.languageSwitches;
            setLanAll();
        };
        env.waiting = &ann.waiting;
        auto w = std::make_unique<frmOpt>(ann.node, env, startUp);
        watch(*w, seen);
        return w;
    }
    SettingsData saved() {
        SettingsData d;
        ReadSettings(ann.node.settingsFile(), d, "x", [](std::string&) {});
        return d;
    }
    // A leave under the old name first, then only the new name: its colour
    // and its join notice.
    ::testing::AssertionResult leftAndJoined(const std::string& from, const std::string& to, std::uint32_t colour) {
        const auto& sent = ann.transport.sent;
        if (sent.empty() || sent[0] != from + "|L/") return ::testing::AssertionFailure() << "no leave first";
        for (std::size_t i = 1; i < sent.size(); ++i)
            if (sent[i].rfind(to + "|", 0) != 0) return ::testing::AssertionFailure() << sent[i];
        const auto has = [&](const std::string& d) { return std::count(sent.begin(), sent.end(), d) > 0; };
        if (!has(to + "|C/" + std::to_string(colour))) return ::testing::AssertionFailure() << "no colour";
        if (!has(to + "|M/" + to + " " + lang(ann.node, 10201))) return ::testing::AssertionFailure() << "no join";
        return ::testing::AssertionSuccess();
    }
    bool bobLists(const std::string& name) { return bob.node.users().findExact(name).has_value(); }

    MemorySegment seg;
    Peer ann;
    Peer bob;
    TempDir wavDir;
    Seen seen;
};

}  // namespace

TEST_F(Options, NameChecksRefuseTakenAndBadNamesAndApplyNothing) {
    auto w = open();
    const auto refusal = [&](const std::string& name) {
        const auto r = w->NameProblem(name);
        return r ? Reason::Unknown : r.error().reason;
    };
    // The own name, shown once in the list, may be kept.
    EXPECT_EQ(refusal("ann"), Reason::Unknown);
    EXPECT_EQ(refusal("Ann2"), Reason::Unknown);
    EXPECT_EQ(refusal("bob"), Reason::NameTaken);
    EXPECT_EQ(refusal("BOB"), Reason::NameTaken);
    EXPECT_EQ(refusal("team"), Reason::Unknown);  // a group's row is "(team)"
    // Every character counts, not just the last one.
    for (const char* bad : {"an n", "a|b", "_ann", "ann_x", "b\xC3\xA4r", "", "x y1"})
        EXPECT_EQ(refusal(bad), Reason::NameNotAllowed) << bad;

    // While typing, the field says what a name may hold; on Accept the box
    // says it again, or names the name that is taken.
    for (const char* typed : {"bob", "an n9", "a|b"}) {
        seen.boxes.clear();
        w->txtName()->setText(typed);
        const bool taken = std::string(typed) == "bob";
        EXPECT_EQ(w->nameHint()->isHidden(), taken) << typed;
        EXPECT_EQ(w->nameMark()->isVisible(), !taken) << typed;
        EXPECT_EQ(w->txtName()->accessibleDescription().isEmpty(), taken) << typed;
        w->acceptButton()->click();
        ASSERT_EQ(seen.boxes.size(), 1u) << typed;
        EXPECT_EQ(seen.boxes[0].toStdString(),
                  taken ? NameTakenText(lang(ann.node, 2204), "bob") : lang(ann.node, 2205))
            << typed;
    }
    w->txtName()->setText("ann");
    EXPECT_TRUE(w->nameHint()->isHidden());
    EXPECT_FALSE(w->nameMark()->isVisible());
    EXPECT_TRUE(ann.transport.sent.empty());
    EXPECT_EQ(ann.node.state().MyName, "ann");

    // Blanks around a name are trimmed; an empty box is its own message.
    seen.boxes.clear();
    w->txtName()->setText("   ");
    w->acceptButton()->click();
    ASSERT_EQ(seen.boxes.size(), 1u);
    EXPECT_EQ(seen.boxes[0].toStdString(), lang(ann.node, 2206));
    EXPECT_TRUE(ann.transport.sent.empty());
}

TEST_F(Options, LeavingAnEmptyNameBoxBringsItBack) {
    auto w = open();
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->txtName()->setFocus();
    w->txtName()->setText("  ");
    w->tabButton(2)->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !seen.boxes.empty() && w->txtName()->hasFocus(); }));
    ASSERT_EQ(seen.boxes.size(), 1u);
    EXPECT_EQ(seen.boxes[0].toStdString(), lang(ann.node, 2206));
    EXPECT_EQ(w->picOpt()->currentIndex(), 0);
    EXPECT_TRUE(w->txtName()->hasFocus());
    EXPECT_TRUE(w->txtName()->text().isEmpty());  // trimmed
}

TEST_F(Options, AcceptUnchangedKeepsEverythingButStillLeavesAndRejoins) {
    ann.node.settings().Colour = 128;
    ann.node.settings().PopupPosition = 2;
    ann.node.settings().AlertSound = "ding.wav";
    ann.node.settings().Autostart = 1;
    auto w = open();
    w->acceptButton()->click();
    seg.deliverAll();
    EXPECT_TRUE(seen.boxes.empty());
    EXPECT_TRUE(seen.questions.empty());
    EXPECT_TRUE(leftAndJoined("ann", "ann", 128));
    EXPECT_TRUE(bobLists("ann"));

    const auto d = saved();
    EXPECT_EQ(d.user.UserName, "ann");
    EXPECT_EQ(d.user.Colour, 128u);
    EXPECT_EQ(d.user.PopupPosition, 2);
    EXPECT_EQ(d.user.AlertSound, "ding.wav");
    EXPECT_EQ(d.user.Autostart, 1);
    EXPECT_EQ(d.user.Language, "English");
    EXPECT_EQ(d.blocked, (std::vector<std::string>{"Zed"}));
    EXPECT_EQ(d.groups, (std::vector<std::string>{"team|bob|carl|", "crew|bob|"}));
}

TEST_F(Options, AcceptAppliesEverythingUnderTheNewName) {
    auto w = open();
    w->txtName()->setText("  annie ");
    w->SetCol(0x0000FF);  // light red
    w->posButton(1)->click();
    w->lvSnd()->setCurrentRow(0);  // silent
    w->chkStartUp()->setChecked(true);
    w->txtBlock()->setText(" mALLory ");
    QTest::keyClick(w->txtBlock(), Qt::Key_Return);  // Enter adds
    w->acceptButton()->click();
    seg.deliverAll();

    // Peers see the old name leave and the new one join in the new colour.
    EXPECT_TRUE(leftAndJoined("ann", "annie", 255));
    EXPECT_FALSE(bobLists("ann"));
    EXPECT_TRUE(bobLists("annie"));
    EXPECT_EQ(bob.node.users().rowColour(*bob.node.users().findExact("annie") + 1), 255u);
    EXPECT_EQ(ann.node.state().MyName, "annie");
    EXPECT_EQ(ann.node.users().blocked(), (std::vector<std::string>{"Zed", "Mallory"}));

    const auto d = saved();
    EXPECT_EQ(d.user.UserName, "annie");
    EXPECT_EQ(d.user.Colour, 255u);
    EXPECT_EQ(d.user.PopupPosition, 1);
    EXPECT_EQ(d.user.AlertSound, "(S)");
    EXPECT_EQ(d.user.Autostart, 1);
    EXPECT_EQ(d.blocked, (std::vector<std::string>{"Zed", "Mallory"}));
}

TEST_F(Options, CloseDiscardsEverything) {
    ann.node.saveSettings();
    const auto before = readBytes(ann.node.settingsFile());
    auto w = open();
    w->txtName()->setText("other");
    w->SetCol(0xFFFFFF);
    w->chkStartUp()->setChecked(true);
    w->txtBlock()->setText("eve");
    w->blockAdd()->click();
    w->closeButton()->click();
    EXPECT_TRUE(ann.transport.sent.empty());
    EXPECT_EQ(ann.node.state().MyName, "ann");
    EXPECT_EQ(ann.node.settings().Colour, 0u);
    EXPECT_EQ(ann.node.settings().Autostart, 0);
    EXPECT_EQ(ann.node.users().blocked(), (std::vector<std::string>{"Zed"}));
    EXPECT_EQ(readBytes(ann.node.settingsFile()), before);
}

TEST(OptionsRules, GroupsFromTheTree) {
    using Tree = std::vector<std::pair<std::string, std::vector<std::string>>>;
    // A member in two groups stays in both; a group without members goes;
    // the tree's order is kept.
    EXPECT_EQ(frmOpt::BuildGroups(Tree{{"b", {"x", "y"}}, {"empty", {}}, {"a", {"x"}}}),
              (std::vector<std::string>{"b|x|y|", "a|x|"}));
    EXPECT_TRUE(frmOpt::BuildGroups(Tree{{"only", {}}}).empty());
    EXPECT_EQ(frmOpt::BlockName(" mIxED cAse "), "Mixed case");
    EXPECT_EQ(frmOpt::BlockName("e"), "E");
    EXPECT_EQ(frmOpt::SoundKey("chime"), "chime.wav");
    EXPECT_EQ(frmOpt::SoundKey("BELL.WAV"), "BELL.WAV");  // found again as it is
}

TEST_F(Options, GroupsTreeEditing) {
    ann.node.users().setGroups({});
    auto w = open();
    auto* tv = w->tvGroups();
    auto* root = tv->topLevelItem(0);
    EXPECT_EQ(root->text(0).toStdString(), lang(ann.node, 2201));

    // Enter with no group yet makes one; with a group it adds a member to it.
    w->txtGroups()->setText(" devs ");
    QTest::keyClick(w->txtGroups(), Qt::Key_Return);
    ASSERT_EQ(root->childCount(), 1);
    EXPECT_EQ(root->child(0)->text(0), "devs");
    EXPECT_EQ(w->txtGroups()->text(), "devs");  // kept, trimmed, for the next entry
    w->txtGroups()->setText("bob");
    QTest::keyClick(w->txtGroups(), Qt::Key_Return);
    ASSERT_EQ(root->child(0)->childCount(), 1);
    // A member selected: the next one goes to its group.
    w->txtGroups()->setText("carl");
    w->AddMember();
    EXPECT_EQ(root->child(0)->childCount(), 2);

    // Duplicates, no target, the root and list separators only beep.
    const int children = root->child(0)->childCount();
    w->AddMember();  // carl again
    w->txtGroups()->setText("devs");
    w->NewGroup();
    w->txtGroups()->setText("a|b");
    w->NewGroup();
    tv->setCurrentItem(root);
    w->txtGroups()->setText("dave");
    w->AddMember();
    w->RemoveNode();
    EXPECT_EQ(seen.beeps, 5);
    EXPECT_EQ(root->childCount(), 1);
    EXPECT_EQ(root->child(0)->childCount(), children);

    // A second, empty group is dropped on Accept; removing a member works.
    w->txtGroups()->setText("lonely");
    w->NewGroup();
    tv->setCurrentItem(root->child(0)->child(1));
    w->RemoveNode();
    EXPECT_EQ(tv->currentItem(), root);
    w->acceptButton()->click();
    EXPECT_EQ(ann.node.users().groups(), (std::vector<std::string>{"devs|bob|"}));
    EXPECT_EQ(saved().groups, (std::vector<std::string>{"devs|bob|"}));
}

TEST_F(Options, BlockListAddAndRemove) {
    ann.node.users().setBlocked({});
    auto w = open();
    auto* lv = w->lvBlock();
    EXPECT_FALSE(w->blockRemove()->isEnabled());
    w->blockAdd()->click();  // empty box: nothing
    EXPECT_EQ(lv->count(), 0);
    for (const char* n : {" aNNa ", "BEN", "cy"}) {
        w->txtBlock()->setText(n);
        w->blockAdd()->click();
    }
    ASSERT_EQ(lv->count(), 3);
    EXPECT_EQ(lv->item(0)->text(), "Anna");
    EXPECT_EQ(lv->item(1)->text(), "Ben");
    EXPECT_EQ(lv->currentRow(), 2);
    EXPECT_TRUE(w->txtBlock()->text().isEmpty());
    EXPECT_TRUE(w->blockRemove()->isEnabled());

    lv->setCurrentRow(1);
    w->blockRemove()->click();
    EXPECT_EQ(w->txtBlock()->text(), "Ben");
    EXPECT_EQ(lv->currentItem()->text(), "Cy");  // the one now at that place
    w->blockRemove()->click();                   // the last: the new last is selected
    EXPECT_EQ(lv->currentItem()->text(), "Anna");
    w->blockRemove()->click();
    EXPECT_FALSE(w->blockRemove()->isEnabled());

    // Duplicates are dropped when applied.
    for (const char* n : {"dup", "DUP"}) {
        w->txtBlock()->setText(n);
        w->blockAdd()->click();
    }
    w->acceptButton()->click();
    EXPECT_EQ(ann.node.users().blocked(), (std::vector<std::string>{"Dup"}));
}

TEST_F(Options, ColoursCornersAndSounds) {
    auto w = open();
    auto* lv = w->lvCol();
    ASSERT_EQ(lv->count(), 15);
    EXPECT_EQ(lv->item(0)->text(), "Black");
    for (int i = 0; i < lv->count(); ++i) EXPECT_NE(lv->item(i)->text(), "Light Yellow");
    w->SetCol(0x00FFFF);  // light yellow: not offered, nothing selected
    EXPECT_TRUE(lv->selectedItems().isEmpty());
    w->SetCol(0x0000FF);
    EXPECT_EQ(lv->currentItem()->text(), "Light Red");
    EXPECT_EQ(w->lblPrevew()->palette().color(w->lblPrevew()->foregroundRole()), QColor(255, 0, 0));
    w->txtName()->setText("preview");
    EXPECT_EQ(w->lblPrevew()->text(), "preview");

    w->SetPos(3);
    EXPECT_TRUE(w->posButton(3)->isChecked());
    EXPECT_EQ(w->tbPosTag(), "3");
    w->posButton(2)->click();
    EXPECT_EQ(w->tbPosTag(), "2");
    EXPECT_FALSE(w->posButton(3)->isChecked());
    w->SetPos(0);
    for (int k = 1; k <= 4; ++k) EXPECT_FALSE(w->posButton(k)->isChecked());

    auto* snd = w->lvSnd();
    ASSERT_EQ(snd->count(), 4);  // (S), (B), BELL.WAV, ding.wav; no notes.txt
    EXPECT_EQ(snd->item(0)->text().toStdString(), lang(ann.node, 2202));
    EXPECT_EQ(snd->item(1)->text().toStdString(), lang(ann.node, 2203));
    EXPECT_EQ(snd->currentRow(), 1);  // the default "(B)"
    snd->setCurrentRow(3);
    w->TestSound();
    snd->setCurrentRow(2);
    w->TestSound();
    EXPECT_EQ(seen.played, (std::vector<QString>{"ding.wav", "BELL.WAV"}));
}

TEST_F(Options, LanguageSwitchReachesOpenWindows) {
    frmMain main(ann.node);
    main.show();
    auto w = open();
    EXPECT_EQ(w->LanguageQuestion(2), QString::fromStdString(lang(ann.node, 10302) + "\n\n" + lang(ann.node, 10300)));

    // No: stored, but no window changes now.
    seen.answer = false;
    w->CMBlang()->setCurrentIndex(2);
    w->acceptButton()->click();
    ASSERT_EQ(seen.questions.size(), 1u);
    EXPECT_TRUE(seen.questions[0].startsWith("Deutsch: "));
    EXPECT_EQ(seen.languageSwitches, 0);
    EXPECT_EQ(saved().user.Language, "Deutsch");
    EXPECT_EQ(main.tbAlert()->text(), "&Alert");

    // Yes: the texts reload and every open window shows them at once.
    ann.node.settings().Language = "English";
    seen.answer = true;
    auto again = open();
    again->show();
    again->CMBlang()->setCurrentIndex(2);
    again->acceptButton()->click();
    EXPECT_EQ(seen.languageSwitches, 1);
    EXPECT_EQ(ann.node.settings().Language, "Deutsch");
    EXPECT_EQ(main.tbAlert()->text().toStdString(), lang(ann.node, 1002));
    EXPECT_NE(main.tbAlert()->text(), "&Alert");

    // From German, the question stands alone.
    auto third = open();
    EXPECT_EQ(third->windowTitle(), "Optionen - Lanyx");
    EXPECT_EQ(third->LanguageQuestion(1).toStdString(), lang(ann.node, 10301));
}

TEST_F(Options, StartUpModeCloseReturnsNothing) {
    ann.node.settings().Autostart = 0;
    auto w = open(true);
    w->chkStartUp()->setChecked(true);
    QTimer::singleShot(0, w.get(), [&] { w->closeButton()->click(); });
    EXPECT_FALSE(w->RunStartUp().has_value());
    EXPECT_EQ(ann.node.settings().Autostart, 0);
    EXPECT_TRUE(ann.transport.sent.empty());
    // Escape is Close too.
    auto again = open(true);
    QTimer::singleShot(0, again.get(), [&] { QTest::keyClick(again.get(), Qt::Key_Escape); });
    EXPECT_FALSE(again->RunStartUp().has_value());
}

namespace {

// A start-up whose name dialog is the Options window in start-up mode;
// `type` fills it in while it runs.
struct DialogUi : Recorder {
    std::function<void(frmOpt&)> type;
    ChatNode* node = nullptr;
    std::vector<std::optional<std::string>> answers;
    std::optional<std::string> askNewName(const std::string&) override {
        ++nameDialogs;
        frmOpt w(*node, OptionsEnv{}, true);
        w.MsgBox = [this](const QString& t, int) { boxes.push_back(t.toStdString()); };
        QTimer::singleShot(0, &w, [&] { type(w); });
        answers.push_back(w.RunStartUp());
        return answers.back();
    }
};

struct StartingCopy {
    StartingCopy(MemorySegment& seg, const std::string& userName)
        : transport(seg), node(config(userName), transport, ui, ui, seg), startUp(node, ui, seg) {
        seg.attach(&transport);
        ui.node = &node;
    }
    NodeConfig config(const std::string& userName) {
        NodeConfig c;
        c.dataDir = dir.path();
        c.langFile = shippedLangFile();
        c.logonName = "carl";
        c.nameForRun = userName;
        return c;
    }
    TempDir dir;
    MemoryTransport transport;
    DialogUi ui;
    ChatNode node;
    StartUp startUp;
};

}  // namespace

TEST_F(Options, StartUpClashBetweenTwoCopies) {
    StartingCopy second(seg, "ann");
    second.ui.type = [](frmOpt& w) {
        // The taken name is offered; kept as it is, it is refused.
        EXPECT_EQ(w.txtName()->text(), "ann");
        w.acceptButton()->click();
        w.txtName()->setText("annex");
        w.chkStartUp()->setChecked(true);
        w.acceptButton()->click();
    };
    ASSERT_EQ(second.startUp.run({}), StartUpResult::Running);
    seg.deliverAll();
    ASSERT_EQ(second.ui.nameDialogs, 1);
    EXPECT_EQ(second.ui.answers[0], std::optional<std::string>("annex"));
    // 8202 first, then the refusal of the taken name.
    ASSERT_EQ(second.ui.boxes.size(), 2u);
    EXPECT_EQ(second.ui.boxes[0], NameTakenText(lang(ann.node, 8202), "ann"));
    EXPECT_EQ(second.ui.boxes[1], NameTakenText(lang(ann.node, 2204), "ann"));
    EXPECT_EQ(second.node.state().MyName, "annex");
    EXPECT_TRUE(ann.node.users().findExact("annex").has_value());
    EXPECT_TRUE(ann.node.users().findExact("ann").has_value());  // the first copy is untouched
    EXPECT_EQ(second.node.settings().Autostart, 1);

    // Closing the dialog instead ends the start-up.
    StartingCopy third(seg, "bob");
    third.ui.type = [](frmOpt& w) { w.closeButton()->click(); };
    EXPECT_EQ(third.startUp.run({}), StartUpResult::NameRefused);
    seg.deliverAll();
    EXPECT_TRUE(ann.node.users().findExact("bob").has_value());  // bob was never disturbed
}

// The Network page: a line that cannot be read back keeps the window open
// and saves nothing; a name that does not resolve is shown as such and may
// be kept (the VPN that knows it may be down); the list is saved beside
// User.ini and handed to the socket.
TEST_F(Options, NetworkPageRefusesWhatCannotBeReadBackAndShowsNamesThatDoNotResolve) {
    const auto file = ann.node.config().dataDir / net::kDestinationsFile;
    net::writeDestinations(file, {"10.2.255.255"});
    std::vector<std::vector<std::string>> handed;
    OptionsEnv env;
    env.destinationsFile = file;
    env.destinationsChanged = [&](const std::vector<std::string>& e) { handed.push_back(e); };
    frmOpt w(ann.node, env, false);
    watch(w, seen);
    auto* page = w.networkPage();
    ASSERT_NE(page, nullptr);
    std::vector<QString> asked;
    page->setResolver([&](const QString& name, std::function<void(QStringList)> done) {
        asked.push_back(name);
        done(name == "branch" ? QStringList{"10.3.0.7"} : QStringList{});
    });
    EXPECT_EQ(page->editor()->toPlainText(), "10.2.255.255");

    page->editor()->setPlainText("10.2.255.255\nbad host\n10.2.3.300");
    w.acceptButton()->click();
    ASSERT_EQ(seen.boxes.size(), 1u);
    EXPECT_NE(seen.boxes[0].indexOf("bad host"), -1) << seen.boxes[0].toStdString();
    EXPECT_NE(seen.boxes[0].indexOf("10.2.3.300"), -1);
    EXPECT_EQ(w.picOpt()->currentIndex(), 4);
    EXPECT_TRUE(ann.transport.sent.empty());  // nothing applied
    EXPECT_EQ(net::readDestinations(file).entries, std::vector<std::string>{"10.2.255.255"});
    EXPECT_TRUE(handed.empty());

    page->editor()->setPlainText("10.2.255.255\nbranch\nnowhere\nBRANCH");
    page->checkNow();
    const QString check = page->checkLabel()->text();
    EXPECT_NE(check.indexOf("branch: 10.3.0.7"), -1) << check.toStdString();
    EXPECT_NE(check.indexOf("nowhere: does not resolve"), -1) << check.toStdString();
    EXPECT_EQ(asked, (std::vector<QString>{"branch", "nowhere"}));  // addresses need no look-up, repeats none
    seen.boxes.clear();
    w.acceptButton()->click();
    EXPECT_TRUE(seen.boxes.empty());
    const std::vector<std::string> expected{"10.2.255.255", "branch", "nowhere"};
    EXPECT_EQ(net::readDestinations(file).entries, expected);
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed[0], expected);
}

// Desktop notifications and the chat sound live in Desktop.ini: Accept
// saves them only when they changed, and User.ini stays as it was.
TEST_F(Options, DesktopSettingsAreShownAndSavedApartFromUserIni) {
    ui::DesktopPrefs prefs;
    prefs.chatSound = "gone.wav";  // a file no longer there keeps its name
    int saves = 0;
    OptionsEnv env;
    env.soundFolders = {QString::fromStdString(wavDir.path().string())};
    env.prefs = &prefs;
    env.prefsChanged = [&] { ++saves; };
    frmOpt w(ann.node, env, false);
    watch(w, seen);
    w.InputSets();
    EXPECT_FALSE(w.chkNotify()->isChecked());
    EXPECT_EQ(w.chkNotify()->text(), "&Desktop notifications for alerts");
    EXPECT_EQ(w.cmbChatSnd()->currentData().toString(), "gone.wav");
    w.WriteSets();
    EXPECT_EQ(saves, 0);  // nothing changed
    const auto before = readBytes(ann.node.settingsFile());

    w.chkNotify()->setChecked(true);
    w.cmbChatSnd()->setCurrentIndex(w.cmbChatSnd()->findData("ding.wav"));
    w.WriteSets();
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(prefs.notifications);
    EXPECT_EQ(prefs.chatSound, "ding.wav");
    EXPECT_EQ(readBytes(ann.node.settingsFile()), before);
}

TEST_F(Options, HowLongTheHistoryKeepsMessagesAsksBeforeItDeletes) {
    // Without a history the setting is not offered.
    auto plain = open();
    plain->InputSets();
    EXPECT_TRUE(plain->spnKeepDays()->isHidden());

    TempDir kept;
    history::History history(kept.path());
    OptionsEnv env;
    env.history = &history;
    frmOpt w(ann.node, env, false);
    watch(w, seen);
    w.InputSets();
    EXPECT_FALSE(w.spnKeepDays()->isHidden());
    EXPECT_EQ(w.spnKeepDays()->value(), 0);
    EXPECT_EQ(w.spnKeepDays()->text(), "ever");
    EXPECT_FALSE(w.spnKeepDays()->accessibleName().isEmpty());

    // Shorter deletes at once: asked, and "No" keeps it as it was.
    seen.answer = false;
    w.spnKeepDays()->setValue(30);
    w.WriteSets();
    ASSERT_EQ(seen.questions.size(), 1u);
    EXPECT_TRUE(seen.questions[0].contains("30 day")) << seen.questions[0].toStdString();
    EXPECT_EQ(history.retentionDays(), 0);
    EXPECT_EQ(w.spnKeepDays()->value(), 0);
    seen.answer = true;
    w.spnKeepDays()->setValue(30);
    w.WriteSets();
    EXPECT_EQ(history.retentionDays(), 30);
    // Longer deletes nothing: not asked.
    w.spnKeepDays()->setValue(0);
    w.WriteSets();
    EXPECT_EQ(seen.questions.size(), 2u);
    EXPECT_EQ(history.retentionDays(), 0);
}

TEST_F(Options, HowLongAMessageWaitsForItsRecipientIsKeptWithTheWaitingMessages) {
    if (!ann.node.secure()) GTEST_SKIP() << "this build has no keys: nothing waits, and the setting is not offered";
    auto w = open();
    w->InputSets();
    EXPECT_FALSE(w->spnWaitDays()->isHidden());
    EXPECT_EQ(w->spnWaitDays()->value(), 7);
    EXPECT_FALSE(w->spnWaitDays()->accessibleName().isEmpty());
    w->spnWaitDays()->setValue(3);
    w->WriteSets();
    EXPECT_EQ(ann.waiting.waitDays(), 3);
    // In the waiting messages' own file, which every copy on the folder
    // reads (the command line's too); never in User.ini.
    EXPECT_NE(readBytes(ann.folder() / Outbox::kFileName).find("expiry\t259200000"), std::string::npos);
    EXPECT_EQ(readBytes(ann.node.settingsFile()).find("259200000"), std::string::npos);
}
