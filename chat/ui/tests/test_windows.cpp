// The tray icon's events, the splash pulse and the about window.
#include "TestSupport.h"
#include "UiTestApp.h"
#include "TrayIcon.h"
#include "InstanceDoor.h"
#include "frmAbout.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::ui;

namespace {
using lanyx::test::app;
}  // namespace

TEST(TrayIcon, MessagesRaiseTheirEventsInOrder) {
    app();
    TrayIcon ti;
    std::vector<std::string> events;
    QObject::connect(&ti, &TrayIcon::MouseDown, [&](int b) { events.push_back("down" + std::to_string(b)); });
    QObject::connect(&ti, &TrayIcon::MouseUp, [&](int b) { events.push_back("up" + std::to_string(b)); });
    QObject::connect(&ti, &TrayIcon::MouseDblClk, [&](int b) { events.push_back("dbl" + std::to_string(b)); });
    QObject::connect(&ti, &TrayIcon::ShowParent, [&] { events.push_back("parent"); });
    QObject::connect(&ti, &TrayIcon::ShowPopUpMenu, [&] {
        events.push_back("menu");
        ti.handleMessage(TrayIcon::LeftButtonDown);  // a click while the menu is open raises nothing
    });
    ti.handleMessage(TrayIcon::LeftButtonDoubleClick);  // not active yet: nothing
    EXPECT_TRUE(events.empty());
    ti.markActive(true);
    for (int m : std::initializer_list<int>{TrayIcon::LeftButtonDown, TrayIcon::LeftButtonDoubleClick,
                                            TrayIcon::RightButtonDown, TrayIcon::RightButtonUp,
                                            TrayIcon::RightButtonDoubleClick, TrayIcon::MiddleButtonDoubleClick, 600})
        ti.handleMessage(m);
    EXPECT_EQ(events, (std::vector<std::string>{"down1", "dbl1", "parent", "down2", "up2", "menu", "dbl2", "dbl4"}));
}

TEST(TrayIcon, TooltipKeepsToSixtyThreeCharacters) {
    app();
    TrayIcon ti;
    ti.setToolTipText(QString(80, QLatin1Char('x')));
    EXPECT_EQ(ti.ToolTipText().size(), 63);
}

TEST(Splash, DotPulsesFromRedToGreenAndBack) {
    EXPECT_EQ(frmSplash::nextCounter(0), 5);
    EXPECT_EQ(frmSplash::nextCounter(200), 0);  // past 200 starts again
    EXPECT_EQ(frmSplash::nextCounter(195), 200);
    EXPECT_EQ(frmSplash::dotColour(0), QColor(255, 0, 0));  // 256 clipped
    EXPECT_EQ(frmSplash::dotColour(100), QColor(0, 255, 0));
    EXPECT_EQ(frmSplash::dotColour(50), QColor(128, 128, 0));
    EXPECT_EQ(frmSplash::dotColour(150), frmSplash::dotColour(50));  // the way back
}

class AboutWindow : public ::testing::Test {
protected:
    AboutWindow() : ann(seg, "ann") {
        app();
        ann.node.readSettings();
        ann.node.state().VersionText = MakeVersionText(2, 1, 43);
        main = std::make_unique<frmMain>(ann.node);
    }
    test::MemorySegment seg;
    test::Peer ann;
    std::unique_ptr<frmMain> main;
};

TEST_F(AboutWindow, ShowsVersionAndSwitchesTexts) {
    auto* about = new frmAbout(ann.node, main.get());
    EXPECT_EQ(about->lblVer()->text(), "2.1.43");
    const QString notice = about->txtL()->toPlainText();
    about->licenceButton()->trigger();
    EXPECT_EQ(about->txtL()->toPlainText(), frmAbout::LicenceText());
    about->copyRightButton()->trigger();
    EXPECT_EQ(about->txtL()->toPlainText(), notice);
    EXPECT_EQ(about->copyRightButton()->text(), "CopyRight (C)");
    EXPECT_EQ(about->closeButton()->text(), "&Close");
    EXPECT_EQ(about->windowTitle(), "About Lanyx");
    about->close();
}

// The notice says what this copy does with what is sent, not more and not less.
TEST_F(AboutWindow, TheNoticeClaimsEncryptionOnlyForACopyWithKeys) {
    auto* about = new frmAbout(ann.node, main.get());
    const QString notice = about->txtL()->toPlainText();
    if (ann.node.secure()) {
        EXPECT_TRUE(notice.contains("private messages are encrypted")) << notice.toStdString();
        EXPECT_FALSE(notice.contains("This copy has no keys")) << notice.toStdString();
    } else {
        EXPECT_TRUE(notice.contains("This copy has no keys")) << notice.toStdString();
    }
    about->close();

    // A copy whose keys could not be made.
    test::Peer bob(seg, "bob");
    ASSERT_EQ(bob.node.secure(), nullptr);
    frmMain bobMain(bob.node);
    auto* plain = new frmAbout(bob.node, &bobMain);
    EXPECT_TRUE(plain->txtL()->toPlainText().contains("messages travel as plain text"));
    EXPECT_FALSE(plain->txtL()->toPlainText().contains("encrypted"));
    plain->close();
}

TEST_F(AboutWindow, BuiltInCaptionsStayWhenTheLanguageFailed) {
    ann.node.language().text(31999);  // a missing code sets the error flag
    ASSERT_TRUE(ann.node.language().errorFlag());
    auto* about = new frmAbout(ann.node, main.get());
    EXPECT_EQ(about->licenceButton()->text(), "Licence");
    EXPECT_EQ(about->lblWeb()->text(), "");
    about->close();
}

TEST_F(AboutWindow, ClosesWhenAnotherWindowOfTheProgramIsActivated) {
    QPointer<frmAbout> about = new frmAbout(ann.node, main.get());
    about->show();
    QApplication::setActiveWindow(about);
    main->show();
    QApplication::setActiveWindow(main.get());
    EXPECT_TRUE(QTest::qWaitFor([&] { return about.isNull() || !about->isVisible(); }));
}

TEST(InstanceDoor, ASecondStartReachesTheCopyOnTheSameFolderOnly) {
    app();
    test::TempDir dir, other;
    const QString folder = QString::fromStdString(dir.path().string());
    ui::InstanceDoor door;
    ASSERT_TRUE(door.open(folder));
    QSignalSpy knocked(&door, &ui::InstanceDoor::knocked);
    EXPECT_TRUE(ui::InstanceDoor::knock(folder));
    EXPECT_TRUE(knocked.wait(2000));
    EXPECT_FALSE(ui::InstanceDoor::knock(QString::fromStdString(other.path().string()), 200));
    EXPECT_NE(ui::InstanceDoor::NameFor(folder), ui::InstanceDoor::NameFor(folder + "/sub"));
    // A copy that crashed left its socket behind: the next copy still opens.
    ui::InstanceDoor again;
    EXPECT_TRUE(again.open(folder));
}
