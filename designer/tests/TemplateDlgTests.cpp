#include "BoxAnswerer.h"
#include "FakeServer.h"
#include "app/StringTable.h"
#include "buttonserver/FennicButtonServer.h"
#include "controls/WidgetPreview.h"
#include "dialogs/TemplateDlgs.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QDir>
#include <QFile>
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

TEST_F(TemplateDlgTest, FailedBindingLeavesAnEmptyUsableList) {
    bindFails = true;
    BoxAnswerer answerer(QMessageBox::Ok);
    CTemplatesDlg dlg(Factory());
    EXPECT_EQ(answerer.texts, QStringList({FormatMessage(Ids::FailedToCreateObject, {kWidgetServerProgID})}));
    EXPECT_EQ(dlg.ItemCount(), 0);
}

}  // namespace
