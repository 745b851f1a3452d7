// The desktop program's first start on a data folder, offscreen: the main
// window shows with a welcome; the next start on that folder has none.
#include "LanyxApp.h"
#include "TestSupport.h"
#include "UiTestApp.h"
#include "frmMain.h"

#include <QAbstractButton>
#include <QTest>
#include <gtest/gtest.h>

#include <random>

using namespace lanyx;
using namespace lanyx::ui;

namespace {

// A name no other copy on this computer has: the probe must find it free.
std::string freshName() {
    std::random_device random;
    return "w" + std::to_string(random() % 100000000u);
}

}  // namespace

TEST(FirstStart, ShowsTheMainWindowWithAWelcomeOnlyOnTheFirstStartOnAFolder) {
    test::app();
    test::TempDir dir;
    // Shutdown applies the autostart setting: not to the user's own session.
    struct Config {
        QByteArray before = qgetenv("XDG_CONFIG_HOME");
        bool was = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        ~Config() {
            if (was) qputenv("XDG_CONFIG_HOME", before);
            else qunsetenv("XDG_CONFIG_HOME");
        }
    } config;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((dir.path() / "config").string()));
    DesktopOptions options;
    options.dir = (dir.path() / "data").string();
    options.name = freshName();
    options.probeMs = 100;
    // Only this computer hears it.
    options.broadcast = "127.0.0.1";

    {
        LanyxApp first(options);
        ASSERT_TRUE(first.start());
        frmMain* main = first.mainWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return main->isVisible(); }));
        ASSERT_TRUE(main->welcome());
        EXPECT_TRUE(QTest::qWaitFor([&] { return main->welcome()->isVisible(); }));
        EXPECT_TRUE(main->welcomeText().contains(QString::fromStdString(*options.name)));
        // It closes with its button.
        auto* close = main->welcome()->findChild<QAbstractButton*>("btnWelcomeClose");
        ASSERT_TRUE(close);
        close->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !main->welcome(); }));
        first.Shutdown();
    }
    LanyxApp again(options);
    ASSERT_TRUE(again.start());
    QApplication::processEvents();
    EXPECT_FALSE(again.mainWindow()->welcome());
    again.Shutdown();
}
