#include "ui/ShellApp.h"
#include "core/WindowPlacement.h"
#include "core/HelpTopics.h"
#include "core/NameRule.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class PlacementTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QSettings settings{dir.filePath("profile.ini"), QSettings::IniFormat};
    const QRect screen{0, 0, 1280, 1024};
    const QRect current{100, 100, 400, 300};

    void Store(int show, int l, int t, int r, int b) {
        SavePlacement(settings, "Main", {show, QRect(QPoint(l, t), QSize(r - l, b - t))});
    }
};

TEST_F(PlacementTest, RoundTripsInWindowsMainSection) {
    Store(1, 10, 20, 510, 420);
    EXPECT_EQ(settings.value("Windows/Main/Right").toInt(), 510);
    EXPECT_EQ(settings.value("Windows/Main/Bottom").toInt(), 420);
    const auto d = RestorePlacement(settings, "Main", current, screen, true, true);
    EXPECT_TRUE(d.move);
    EXPECT_EQ(d.rect, QRect(10, 20, 500, 400));
    EXPECT_FALSE(d.maximize);
}

TEST_F(PlacementTest, IgnoresRectanglesOffScreen) {
    // 19 pixels visible to the right: ignored; 20: used.
    Store(1, 1261, 100, 1700, 400);
    EXPECT_FALSE(RestorePlacement(settings, "Main", current, screen, true, true).move);
    Store(1, 1260, 100, 1700, 400);
    EXPECT_TRUE(RestorePlacement(settings, "Main", current, screen, true, true).move);
    // Above the screen, only 19 rows visible.
    Store(1, 100, -281, 500, 19);
    EXPECT_FALSE(RestorePlacement(settings, "Main", current, screen, true, true).move);
    Store(1, -5000, -5000, -4000, -4000);
    EXPECT_FALSE(RestorePlacement(settings, "Main", current, screen, true, true).move);
}

// A window saved at 2x on a large screen would otherwise reopen hanging off
// a smaller one, its title bar out of reach.
TEST_F(PlacementTest, RestoredWindowsFitOnTheScreen) {
    Store(1, 1260, 100, 1700, 400);
    auto d = RestorePlacement(settings, "Main", current, screen, true, true);
    EXPECT_TRUE(screen.contains(d.rect)) << d.rect.x() << "," << d.rect.y();
    EXPECT_EQ(d.rect.size(), QSize(440, 300));
    Store(1, -100, -100, 5000, 5000);  // larger than the screen: shrunk to it
    d = RestorePlacement(settings, "Main", current, screen, true, true);
    EXPECT_EQ(d.rect, screen);
    d = RestorePlacement(settings, "Main", current, screen, false, true);  // fixed size: only moved
    EXPECT_EQ(d.rect, QRect(screen.topLeft(), current.size()));
}

TEST_F(PlacementTest, DefaultsAndMaximize) {
    // Nothing stored: the current rectangle, not maximised.
    auto d = RestorePlacement(settings, "Main", current, screen, true, true);
    EXPECT_EQ(d.rect, current);
    EXPECT_FALSE(d.maximize);
    Store(3, 10, 10, 300, 300);
    EXPECT_TRUE(RestorePlacement(settings, "Main", current, screen, true, true).maximize);
    EXPECT_FALSE(RestorePlacement(settings, "Main", current, screen, true, false).maximize);
    // Without a sizing border only the position is taken.
    d = RestorePlacement(settings, "Main", current, screen, false, true);
    EXPECT_EQ(d.rect, QRect(10, 10, 400, 300));
}

TEST(HelpTopics, Table) {
    EXPECT_EQ(HelpTopicFor(0), "index.htm");
    EXPECT_EQ(HelpTopicFor(130), "interface/menu/file.htm#new");
    EXPECT_EQ(HelpTopicFor(143), "interface/menu/file.htm#saveastemplate");
    for (int key : {148, 132, 141}) EXPECT_EQ(HelpTopicFor(key), "interface/menu/file.htm#publish");
    EXPECT_EQ(HelpTopicFor(144), "interface/menu/templates.htm");
    EXPECT_EQ(HelpTopicFor(131), "interface/menu/templates.htm#rename");
    EXPECT_EQ(HelpTopicFor(134), "interface/menu/preview.htm");
    EXPECT_EQ(HelpTopicFor(32801), "index.htm");
    EXPECT_EQ(HelpTopicFor(32802), "tutorial/000Tutorial.htm");
    EXPECT_EQ(HelpTopicFor(32803), "tavish/index.htm");
    EXPECT_EQ(HelpTopicFor(32790), "support/faq.htm");
    // The main window (102) and unknown keys fall back to the index.
    EXPECT_EQ(HelpTopicFor(102), "index.htm");
    EXPECT_EQ(HelpTopicFor(-7), "index.htm");
}

TEST(HelpTopics, EveryTopicHasItsPage) {
    const QString prefix = HelpLocationPrefix(FENNIC_SOURCE_RESOURCES);
    for (int key : {0, 130, 143, 148, 132, 141, 144, 131, 134, 32801, 32802, 32803, 32790}) {
        const QUrl url = HelpTopicUrl(prefix, HelpTopicFor(key));
        EXPECT_TRUE(url.isValid() && url.isLocalFile()) << key;
    }
    const QUrl anchored = HelpTopicUrl(prefix, HelpTopicFor(130));
    EXPECT_EQ(anchored.fragment(), "new");
    EXPECT_TRUE(HelpTopicUrl(prefix, "nothere.htm").isEmpty());
    EXPECT_TRUE(HelpTopicUrl(prefix, "../../etc/passwd").isEmpty());
    EXPECT_TRUE(HelpTopicUrl(QString(), "index.htm").isEmpty());
    EXPECT_TRUE(HelpTopicUrl(prefix, QString()).isEmpty());
}

TEST(NameRule, AlphanumericOnly) {
    EXPECT_TRUE(IsValidWidgetName("Button1"));
    for (const char* bad : {"", "My Button", "my_button", "my-button", "caf\xc3\xa9"})
        EXPECT_FALSE(IsValidWidgetName(QString::fromUtf8(bad))) << bad;
}

TEST(WorkingFolder, FallsBackToDocumentsThenStays) {
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    const QString home = dir.filePath("home");
    QDir().mkpath(home);
    EXPECT_EQ(CShellApp::EnterWorkingFolder(home, dir.filePath("docs")), home + "/My Widget");
    EXPECT_EQ(QDir::currentPath(), home + "/My Widget");

    // A file where the folder should be cannot become a folder.
    const QString blockedHome = dir.filePath("blocked");
    QDir().mkpath(blockedHome);
    QFile block(blockedHome + "/My Widget");
    ASSERT_TRUE(block.open(QIODevice::WriteOnly));
    block.close();
    EXPECT_EQ(CShellApp::EnterWorkingFolder(blockedHome, dir.filePath("docs")), dir.filePath("docs") + "/My Widget");

    QDir::setCurrent(before);
    EXPECT_TRUE(CShellApp::EnterWorkingFolder(blockedHome, QString()).isEmpty());
    EXPECT_EQ(QDir::currentPath(), before);
}

}  // namespace
