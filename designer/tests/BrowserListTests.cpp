#include "BoxAnswerer.h"
#include "ui/BrowserDlgs.h"
#include "core/BrowserList.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const auto LM = RegistryRoot::LocalMachine;
const QString kNav = "SOFTWARE\\Netscape\\Netscape Navigator";

class BrowserListTest : public ::testing::Test {
protected:
    QTemporaryDir profile;
    QTemporaryDir apps;
    CRegistryStore registry;
    QStringList messages;

    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, profile.path());
        QCoreApplication::setOrganizationName("Meridex");
        QCoreApplication::setApplicationName("Tavish Fennic");
    }
    std::function<void(const QString&)> Show() {
        return [this](const QString& text) { messages << text; };
    }
    void Desktop(const QString& file, const QString& body) {
        QFile f(QDir(apps.path()).filePath(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(body.toUtf8());
    }
};

TEST_F(BrowserListTest, DetectsTheWellKnownBrowsersInOrder) {
    CBrowserList none(registry, {apps.path()});
    EXPECT_EQ(none.Count(), 0);
    EXPECT_TRUE(none.ProgramAt(0).isEmpty());

    registry.Set(LM, "SOFTWARE\\Microsoft\\windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE", "",
                 "C:\\ie\\iexplore.exe");
    registry.Set(LM, kNav, "CurrentVersion", "4.7 (en)");
    registry.Set(LM, kNav + "\\4.7 (en)\\Main", "Install Directory", "C:\\N47");
    registry.Set(LM, kNav + "\\4.5 (en)\\Main", "Install Directory", "C:\\N45");
    registry.Set(LM, kNav + "\\4.03 (en)\\Main", "Install Directory", "C:\\N403");
    registry.Set(LM, "SOFTWARE\\Microsoft\\windows\\CurrentVersion\\App Paths\\Opera.EXE", "", "C:\\opera.exe");
    // Navigator 3 is listed only when its program is there.
    registry.Set(RegistryRoot::CurrentUser, kNav + "\\Main", "Install Directory", "C:\\N3");
    registry.Set(RegistryRoot::CurrentUser, kNav + "\\Main", "Mozilla", "Mozilla/3.0");
    Desktop("firefox.desktop",
            "[Desktop Entry]\nType=Application\nName=Firefox\nExec=/usr/bin/firefox %u\n"
            "Categories=Network;WebBrowser;\n");
    Desktop("editor.desktop", "[Desktop Entry]\nType=Application\nName=Editor\nExec=ed\nCategories=Utility;\n");
    Desktop("hidden.desktop",
            "[Desktop Entry]\nType=Application\nName=Hidden\nExec=h\nCategories=WebBrowser;\nNoDisplay=true\n");

    CBrowserList list(registry, {apps.path()});
    EXPECT_EQ(list.WellKnownNames(),
              QStringList({"Internet Explorer", "Netscape Communicator 4.7", "Netscape Communicator 4.5",
                           "Netscape Communicator 4.03", "Opera", "Firefox"}));
    EXPECT_EQ(list.CurrentNetscapeVersion(), "4.7");
    EXPECT_EQ(list.ProgramAt(1), "C:\\N47\\Program\\Netscape.exe");
    EXPECT_EQ(list.ProgramAt(5), "/usr/bin/firefox");
    EXPECT_EQ(ShortNetscapeVersion("4.7"), "");
    EXPECT_EQ(ShortNetscapeVersion("4.08 (de)"), "4.08");
}

TEST_F(BrowserListTest, CustomizedSlotsAreReused) {
    CBrowserList list(registry, {apps.path()});
    EXPECT_FALSE(list.Add("", "/bin/x", Show()));
    EXPECT_EQ(messages, QStringList({"You must input a name for this browser!"}));
    ASSERT_TRUE(list.Add("One", "/bin/one", Show()));
    ASSERT_TRUE(list.Add("Two", "/bin/two", Show()));
    ASSERT_TRUE(list.Add("Three", "/bin/three", Show()));
    EXPECT_FALSE(list.Add("Two", "/bin/again", Show()));
    EXPECT_EQ(messages.last(), "Please give a new name to this browser!");
    EXPECT_TRUE(list.Add("two", "/bin/lower", Show()));  // case differs: accepted
    EXPECT_EQ(list.CustomizedNames(), QStringList({"One", "Two", "Three", "two"}));

    ASSERT_TRUE(list.Delete("Two"));
    EXPECT_FALSE(list.Delete("Nobody"));
    QSettings settings;
    EXPECT_EQ(settings.value("Specify Browser/BrowserNum").toString(), "4");
    EXPECT_TRUE(settings.value("Specify Browser/Name2").toString().isEmpty());
    ASSERT_TRUE(list.Add("Four", "/bin/four", Show()));
    EXPECT_EQ(settings.value("Specify Browser/Name2").toString(), "Four");
    EXPECT_EQ(settings.value("Specify Browser/BrowserNum").toString(), "4");
    EXPECT_EQ(list.CustomizedNames(), QStringList({"One", "Four", "Three", "two"}));
    EXPECT_EQ(list.ProgramAt(1), "/bin/four");

    settings.setValue("Specify Browser/BrowserNum", "junk");  // not a number: no slots
    CBrowserList reread(registry, {apps.path()});
    EXPECT_TRUE(reread.CustomizedNames().isEmpty());
}

TEST_F(BrowserListTest, LaunchPassesThePreviewFileAsOneArgument) {
    const LaunchCommand command = BrowserLaunchCommand("/usr/bin/firefox", "/tmp/a b/preview 1.svg");
    EXPECT_EQ(command.program, "/usr/bin/firefox");
    EXPECT_EQ(command.arguments, QStringList({"/tmp/a b/preview 1.svg"}));
    QList<LaunchCommand> started;
    SetBrowserStarter([&](const LaunchCommand& c) {
        started << c;
        return true;
    });
    EXPECT_TRUE(LaunchBrowser("opera", "/p.svg"));
    SetBrowserStarter(nullptr);
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started.first().arguments, QStringList({"/p.svg"}));
}

// A label shows its ampersand as text unless it has a buddy to jump to.
TEST_F(BrowserListTest, AddBrowserLabelsAreMnemonicsNotText) {
    CAddBrowserDlg add;
    int labels = 0;
    for (const QLabel* label : add.findChildren<QLabel*>()) {
        if (!label->text().contains(u'&')) continue;
        ++labels;
        EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
    }
    EXPECT_EQ(labels, 2);
}

TEST_F(BrowserListTest, AddBrowserDialogNeedsNameAndPath) {
    CAddBrowserDlg add;
    EXPECT_FALSE(add.OkButton()->isEnabled());
    add.NameEdit()->setText("Mine");
    EXPECT_FALSE(add.OkButton()->isEnabled());
    add.PathEdit()->setText("/bin/mine");
    EXPECT_TRUE(add.OkButton()->isEnabled());

    CExternalBrowsersDlg dlg;
    EXPECT_FALSE(dlg.DeleteButton()->isEnabled());
    ASSERT_TRUE(dlg.AddBrowser("Mine", "/bin/mine"));
    BoxAnswerer answerer(QMessageBox::Ok);
    EXPECT_FALSE(dlg.AddBrowser("Mine", "/bin/other"));
    EXPECT_EQ(answerer.texts, QStringList({"Please give a new name to this browser!"}));
    ASSERT_EQ(dlg.CustomizedList()->count(), 1);
    dlg.CustomizedList()->item(0)->setSelected(true);
    EXPECT_TRUE(dlg.DeleteButton()->isEnabled());
    dlg.OnDelete();
    EXPECT_EQ(dlg.CustomizedList()->count(), 0);
}

}  // namespace
