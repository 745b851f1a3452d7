#include "BoxAnswerer.h"
#include "FakeServer.h"
#include "core/StringTable.h"
#include "button/editor/FennicButtonServer.h"
#include "controls/WidgetPreview.h"
#include "ui/TemplateDlgs.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The dialogs against the real button server, its templates copied into a
// folder of the test's own.
class TemplateDlgTest : public ::testing::Test {
protected:
    QTemporaryDir profile;
    QTemporaryDir folder;
    bool bindFails = false;

    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, profile.path());
        QCoreApplication::setOrganizationName("Meridex");
        QCoreApplication::setApplicationName("Tavish Fennic");
        const QDir source(QStringLiteral(FENNIC_SOURCE_RESOURCES) + "/PageletServer");
        for (const char* name : {"Bubble", "Mint", "Sunset"}) {
            const QString file = QLatin1String(name) + QStringLiteral("_PageletServer.FennicButton.pgt");
            ASSERT_TRUE(QFile::copy(source.filePath(file), folder.filePath(file)));
        }
    }

    BindingFactory Factory() {
        return [this]() {
            auto binding = std::make_unique<CPagelet>();
            if (!bindFails)
                binding->Attach(std::make_unique<CFennicButtonServer>(), kWidgetServerProgID, folder.path());
            return binding;
        };
    }
};

TEST_F(TemplateDlgTest, NewDialogNameRuleAndChoice) {
    CNewWidgetDlg dlg(Factory());
    ASSERT_EQ(dlg.ItemCount(), 3);
    EXPECT_EQ(dlg.ItemText(0, 0), "Bubble");
    EXPECT_EQ(dlg.ItemText(0, 1), "Round badge");
    EXPECT_EQ(dlg.NameEdit()->text(), "Normal");

    for (const char* bad : {"", "Two words", "under_score", "hy-phen", "Caf\xc3\xa9"}) {
        dlg.NameEdit()->setText(QString::fromUtf8(bad));
        BoxAnswerer answerer(QMessageBox::Ok);
        dlg.OnCreate();
        EXPECT_EQ(dlg.result(), QDialog::Rejected) << bad;
        ASSERT_EQ(answerer.texts.size(), 1) << bad;
        EXPECT_EQ(answerer.texts.first(), FormatMessage(Ids::InvalidName));
    }

    dlg.NameEdit()->setText("Button7");
    dlg.SelectIndex(-1);
    {
        BoxAnswerer answerer(QMessageBox::Ok);
        dlg.OnCreate();
        EXPECT_EQ(answerer.texts, QStringList({FormatMessage(Ids::SelectTemplate)}));
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
    }
    dlg.SelectIndex(2);
    dlg.DescriptionEdit()->setText("hello");
    dlg.OnCreate();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Name(), "Button7");
    EXPECT_EQ(dlg.Description(), "hello");
    EXPECT_EQ(dlg.TemplatePath(), QDir(folder.path()).filePath("Sunset_PageletServer.FennicButton.pgt"));

    CNewWidgetDlg blank(Factory());
    blank.BlankBox()->setChecked(true);
    blank.OnCreate();
    EXPECT_EQ(blank.result(), QDialog::Accepted);
    EXPECT_TRUE(blank.TemplatePath().isEmpty());
}

TEST_F(TemplateDlgTest, PreviewShowsTheSelectedTemplateOrABlankArea) {
    CNewWidgetDlg dlg(Factory());
    dlg.resize(600, 400);
    dlg.show();
    CWidgetPreview* preview = dlg.Preview();
    EXPECT_FALSE(preview->HasPicture());  // nothing selected
    dlg.SelectIndex(0);
    EXPECT_TRUE(preview->HasPicture());
    EXPECT_TRUE(preview->Movie().endsWith(".svg"));

    QWidget* list = dlg.CurrentView()->parentWidget();
    EXPECT_LT(list->geometry().right(), preview->geometry().left());
    dlg.PressPreview();  // off: the list covers the preview, which is disabled
    EXPECT_FALSE(preview->isEnabled());
    EXPECT_FALSE(preview->HasPicture());
    EXPECT_EQ(list->geometry().right(), preview->geometry().right());
    const QColor window = dlg.palette().color(QPalette::Base);
    EXPECT_EQ(preview->BackgroundColor().rgb(), window.rgb());
}

TEST_F(TemplateDlgTest, ListStyleAndPreviewAreRememberedPerDialog) {
    {
        CTemplatesDlg dlg(Factory());
        EXPECT_EQ(dlg.ListStyle(), kReportStyle);
        dlg.PressListStyle(kListStyle);
        dlg.PressListStyle(kListStyle);  // the one in force stays in force
        EXPECT_EQ(dlg.ListStyle(), kListStyle);
        dlg.PressPreview();
    }
    {
        CTemplatesDlg dlg(Factory());
        EXPECT_EQ(dlg.ListStyle(), kListStyle);
        EXPECT_FALSE(dlg.PreviewOn());
        EXPECT_FALSE(dlg.Preview()->isEnabled());
    }
    CNewWidgetDlg other(Factory());
    EXPECT_EQ(other.ListStyle(), kReportStyle);
    EXPECT_TRUE(other.PreviewOn());
    QSettings settings;
    EXPECT_EQ(settings.value("Templates/List Style").toInt(), kListStyle);
}

TEST_F(TemplateDlgTest, SaveAsTemplateAsksBeforeReplacing) {
    CSaveAsTemplateDlg dlg(Factory(), "Mine", "my own");
    EXPECT_EQ(dlg.NameEdit()->text(), "Mine");
    dlg.SelectIndex(1);  // selecting copies the columns into the fields
    EXPECT_EQ(dlg.NameEdit()->text(), "Mint");
    {
        BoxAnswerer answerer(QMessageBox::No);
        dlg.OnSave();
        EXPECT_EQ(answerer.texts, QStringList({FormatMessage(Ids::TemplateExists, {"Mint"})}));
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
    }
    {
        BoxAnswerer answerer(QMessageBox::Yes);
        dlg.OnSave();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
    EXPECT_EQ(dlg.TemplatePath(), QDir(folder.path()).filePath("Mint_PageletServer.FennicButton.pgt"));

    CSaveAsTemplateDlg fresh(Factory(), "Brand New", "");
    BoxAnswerer answerer(QMessageBox::Ok);
    fresh.OnSave();
    EXPECT_EQ(answerer.texts, QStringList({FormatMessage(Ids::InvalidName)}));
    fresh.NameEdit()->setText("BrandNew");
    fresh.OnSave();
    EXPECT_EQ(fresh.result(), QDialog::Accepted);
    EXPECT_EQ(answerer.texts.size(), 1);  // no replace question for a new name
}

TEST_F(TemplateDlgTest, RenameRewritesTheTemplateInPlace) {
    CTemplatesDlg dlg(Factory());
    EXPECT_FALSE(dlg.RenameButton()->isEnabled());
    dlg.SelectIndex(1);
    EXPECT_TRUE(dlg.RenameButton()->isEnabled());
    const QString path = dlg.Templates().paths[1];
    ASSERT_TRUE(dlg.RenameSelected("Peppermint", "cool and fresh"));
    EXPECT_EQ(dlg.ItemText(1, 0), "Peppermint");
    EXPECT_EQ(dlg.ItemText(1, 1), "cool and fresh");
    EXPECT_TRUE(QFile::exists(path));  // the file keeps its name
    CTemplateList again;
    EnumerateTemplates(folder.path(), kWidgetServerProgID, again);
    EXPECT_TRUE(again.titles.contains("Peppermint"));

    QFile::setPermissions(path, QFile::ReadOwner);
    if (!QFile(path).open(QIODevice::WriteOnly | QIODevice::Append)) {  // not as root
        BoxAnswerer answerer(QMessageBox::Ok);
        EXPECT_FALSE(dlg.RenameSelected("Other", ""));
        ASSERT_EQ(answerer.texts.size(), 1);
        EXPECT_TRUE(answerer.texts.first().startsWith("Failed to rename this template."));
        EXPECT_EQ(dlg.ItemText(1, 0), "Peppermint");
    }
}

TEST_F(TemplateDlgTest, DeleteSelectsTheNextOrTheNewLastItem) {
    CTemplatesDlg dlg(Factory());
    ASSERT_EQ(dlg.ItemCount(), 3);
    dlg.SelectIndex(2);
    {
        BoxAnswerer answerer(QMessageBox::No);
        dlg.OnDelete();
        EXPECT_EQ(answerer.texts, QStringList({FormatMessage(Ids::ConfirmDeleteTemplate, {"Sunset"})}));
        EXPECT_EQ(dlg.ItemCount(), 3);
    }
    BoxAnswerer answerer(QMessageBox::Yes);
    dlg.OnDelete();  // the last item: the new last one is selected
    EXPECT_EQ(dlg.ItemCount(), 2);
    EXPECT_EQ(dlg.SelectedIndex(), 1);
    EXPECT_FALSE(QFile::exists(QDir(folder.path()).filePath("Sunset_PageletServer.FennicButton.pgt")));
    dlg.SelectIndex(0);
    dlg.OnDelete();  // the same index again
    EXPECT_EQ(dlg.SelectedIndex(), 0);
    EXPECT_EQ(dlg.ItemText(0, 0), "Mint");
    dlg.OnDelete();  // the only item: nothing is left selected
    EXPECT_EQ(dlg.ItemCount(), 0);
    EXPECT_EQ(dlg.SelectedIndex(), -1);
    EXPECT_FALSE(dlg.DeleteButton()->isEnabled());
    EXPECT_EQ(dlg.Templates().Count(), 0);
}

// Renaming used to write an .svg beside the template, and Delete left the
// picture of older versions behind.
TEST_F(TemplateDlgTest, TemplatesLeaveNoStrayFiles) {
    const QDir dir(folder.path());
    const auto svgs = [&dir]() { return dir.entryList({"*.svg"}, QDir::Files); };
    CTemplatesDlg dlg(Factory());
    dlg.SelectIndex(1);
    ASSERT_TRUE(dlg.RenameSelected("Peppermint", "cool"));
    EXPECT_TRUE(svgs().isEmpty());

    QFile legacy(dir.filePath("Mint_PageletServer.FennicButton.svg"));
    ASSERT_TRUE(legacy.open(QIODevice::WriteOnly));
    legacy.close();
    QFile unrelated(dir.filePath("bubble-picture.svg"));
    ASSERT_TRUE(unrelated.open(QIODevice::WriteOnly));
    unrelated.close();
    BoxAnswerer answerer(QMessageBox::Yes);
    dlg.SelectIndex(1);
    dlg.OnDelete();
    EXPECT_EQ(svgs(), QStringList({"bubble-picture.svg"}));
}

TEST_F(TemplateDlgTest, FailedBindingLeavesAnEmptyUsableList) {
    bindFails = true;
    BoxAnswerer answerer(QMessageBox::Ok);
    CTemplatesDlg dlg(Factory());
    EXPECT_EQ(answerer.texts, QStringList({FormatMessage(Ids::FailedToCreateObject, {kWidgetServerProgID})}));
    EXPECT_EQ(dlg.ItemCount(), 0);
}

// An installed copy: the same templates, but the server's folder counts as
// read-only and the user's templates go below a data folder of the test's.
class InstalledTemplateDlgTest : public TemplateDlgTest {
protected:
    QTemporaryDir data;
    QByteArray oldData;
    QString user;
    const FolderWritableCheck readOnly = [](const QString&) { return false; };

    void SetUp() override {
        TemplateDlgTest::SetUp();
        oldData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        user = data.path() + "/Meridex/Tavish Fennic/Templates";
    }
    void TearDown() override {
        if (oldData.isNull()) qunsetenv("XDG_DATA_HOME");
        else qputenv("XDG_DATA_HOME", oldData);
    }
    QString UserFile(const QString& name) const {
        return QDir(user).filePath(name + "_PageletServer.FennicButton.pgt");
    }
    QString ShippedFile(const QString& name) const {
        return QDir(folder.path()).filePath(name + "_PageletServer.FennicButton.pgt");
    }
    // A user's template made from a shipped one under another title.
    void AddUserTemplate(const QString& from, const QString& name, const QString& title) {
        QFile source(ShippedFile(from));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        QByteArray text = source.readAll();
        text.replace("Title = " + from.toUtf8(), "Title = " + title.toUtf8());
        ASSERT_TRUE(QDir().mkpath(user));
        QFile target(UserFile(name));
        ASSERT_TRUE(target.open(QIODevice::WriteOnly));
        target.write(text);
    }
    static QByteArray Contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(InstalledTemplateDlgTest, SaveAsTemplateWritesTheUsersCopy) {
    CSaveAsTemplateDlg dlg(Factory(), "Mine", "", nullptr, readOnly);
    EXPECT_EQ(dlg.Folders().user, user);
    EXPECT_EQ(dlg.ItemCount(), 3);
    {
        BoxAnswerer answerer(QMessageBox::Ok);
        dlg.OnSave();  // a new name: no question, the folder appears
        EXPECT_TRUE(answerer.texts.isEmpty());
    }
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.TemplatePath(), UserFile("Mine"));
    EXPECT_TRUE(QFileInfo(user).isDir());

    // A shipped name is asked about, and replacing it writes the user's copy.
    CSaveAsTemplateDlg over(Factory(), "Mine", "", nullptr, readOnly);
    over.SelectIndex(1);
    ASSERT_EQ(over.NameEdit()->text(), "Mint");
    {
        BoxAnswerer answerer(QMessageBox::No);
        over.OnSave();
        EXPECT_EQ(answerer.texts, QStringList({FormatMessage(Ids::TemplateExists, {"Mint"})}));
        EXPECT_EQ(over.result(), QDialog::Rejected);
    }
    {
        BoxAnswerer answerer(QMessageBox::Yes);
        over.OnSave();
        EXPECT_EQ(over.result(), QDialog::Accepted);
    }
    EXPECT_EQ(over.TemplatePath(), UserFile("Mint"));

    // So is a name only the user has.
    AddUserTemplate("Bubble", "Own", "Own");
    CSaveAsTemplateDlg own(Factory(), "Own", "", nullptr, readOnly);
    BoxAnswerer answerer(QMessageBox::No);
    own.OnSave();
    EXPECT_EQ(answerer.texts, QStringList({FormatMessage(Ids::TemplateExists, {"Own"})}));
}

TEST_F(InstalledTemplateDlgTest, ShippedTemplatesAreNeitherRenamedNorDeleted) {
    AddUserTemplate("Sunset", "Zest", "Zest");
    CTemplatesDlg dlg(Factory(), nullptr, readOnly);
    ASSERT_EQ(dlg.ItemCount(), 4);
    EXPECT_EQ(dlg.ItemText(3, 0), "Zest");
    dlg.SelectIndex(1);
    EXPECT_TRUE(dlg.RenameButton()->isEnabled());  // still reachable, and says why not
    const QByteArray before = Contents(ShippedFile("Mint"));
    const QString refused = FormatMessage(Ids::ShippedTemplate, {"Mint"});
    {
        BoxAnswerer answerer(QMessageBox::Yes);
        dlg.OnRename();  // refused before the Rename dialog opens
        EXPECT_FALSE(dlg.RenameSelected("Peppermint", ""));
        dlg.OnDelete();  // refused without the delete question
        EXPECT_EQ(answerer.texts, QStringList({refused, refused, refused}));
    }
    EXPECT_EQ(dlg.ItemText(1, 0), "Mint");
    EXPECT_EQ(Contents(ShippedFile("Mint")), before);
    EXPECT_EQ(dlg.ItemCount(), 4);

    // The user's own are renamed in place and deleted as ever.
    dlg.SelectIndex(3);
    ASSERT_TRUE(dlg.RenameSelected("Zesty", "lemon"));
    EXPECT_EQ(dlg.ItemText(3, 0), "Zesty");
    EXPECT_TRUE(Contents(UserFile("Zest")).contains("Zesty"));
    BoxAnswerer answerer(QMessageBox::Yes);
    dlg.OnDelete();
    EXPECT_EQ(dlg.ItemCount(), 3);
    EXPECT_FALSE(QFile::exists(UserFile("Zest")));
}

TEST_F(InstalledTemplateDlgTest, DeletingTheUsersCopyBringsBackTheShippedOne) {
    AddUserTemplate("Mint", "Mint", "My Mint");
    {
        CNewWidgetDlg choose(Factory(), nullptr, readOnly);
        ASSERT_EQ(choose.ItemCount(), 3);  // listed once
        EXPECT_EQ(choose.ItemText(1, 0), "My Mint");
        choose.SelectIndex(1);
        choose.OnCreate();
        EXPECT_EQ(choose.TemplatePath(), UserFile("Mint"));
    }
    CTemplatesDlg dlg(Factory(), nullptr, readOnly);
    dlg.SelectIndex(1);
    BoxAnswerer answerer(QMessageBox::Yes);
    dlg.OnDelete();
    EXPECT_FALSE(QFile::exists(UserFile("Mint")));
    ASSERT_EQ(dlg.ItemCount(), 3);
    EXPECT_EQ(dlg.SelectedIndex(), 1);
    EXPECT_EQ(dlg.ItemText(1, 0), "Mint");
    EXPECT_EQ(dlg.Templates().paths[1], ShippedFile("Mint"));
    EXPECT_TRUE(dlg.Preview()->HasPicture() || !dlg.PreviewOn());
    dlg.OnDelete();  // now the shipped one: refused
    EXPECT_EQ(answerer.texts.last(), FormatMessage(Ids::ShippedTemplate, {"Mint"}));
    EXPECT_TRUE(QFile::exists(ShippedFile("Mint")));
}

}  // namespace
