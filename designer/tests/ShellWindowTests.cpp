#include "BoxAnswerer.h"
#include "FakeServer.h"
#include "ui/FennicMessage.h"
#include "core/StringTable.h"
#include "ui/WidgetUIDlg.h"
#include "button/editor/FennicButtonServer.h"
#include "ui/BrowserDlgs.h"
#include "ui/PublishDlgs.h"
#include "core/CommandLinePublish.h"
#include "ui/TemplateDlgs.h"
#include "ui/RenameDlg.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QFile>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QMenu>
#include <QLineEdit>
#include <QComboBox>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class ShellWindowTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeServerState> state = std::make_shared<FakeServerState>();
    QList<FakeServer*> servers;
    QTemporaryDir profile;

    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, profile.path());
        QCoreApplication::setOrganizationName("Meridex");
        QCoreApplication::setApplicationName("Tavish Fennic");
    }

    BindingFactory Factory() {
        return [this]() {
            auto binding = std::make_unique<CPagelet>();
            auto server = std::make_unique<FakeServer>(state);
            servers << server.get();
            binding->Attach(std::move(server), kWidgetServerProgID);
            return binding;
        };
    }
};

TEST_F(ShellWindowTest, StartsUntitledWithEditorOverClientArea) {
    CWidgetUIDlg dlg(Factory());
    ASSERT_TRUE(dlg.Initialize());
    EXPECT_EQ(dlg.windowTitle(), "Tavish Fennic - [Untitled 1]");
    ASSERT_NE(dlg.EditorWindow(), nullptr);
    EXPECT_EQ(servers.first()->lastActivate, 1);
    QApplication::processEvents();
    EXPECT_EQ(dlg.EditorWindow()->width(), dlg.width());

    servers.first()->SetModified(1);
    dlg.OnIdle();
    EXPECT_EQ(dlg.windowTitle(), "Tavish Fennic - [Untitled 1 *]");
}

TEST_F(ShellWindowTest, EnterAndEscNeverClose) {
    CWidgetUIDlg dlg(Factory());
    ASSERT_TRUE(dlg.Initialize());
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&dlg, &press);
        EXPECT_TRUE(dlg.isVisible());
    }
    EXPECT_EQ(servers.first()->lastActivate, 0);  // Enter told the editor
}

TEST_F(ShellWindowTest, EditorCommandsReachTheShell) {
    CWidgetUIDlg dlg(Factory());
    ASSERT_TRUE(dlg.Initialize());
    QApplication::postEvent(&dlg, new ShellCommandEvent(Cmd::ToggleOption));
    QApplication::processEvents();
    EXPECT_EQ(servers.first()->DarkPreview(), 1);

    QList<QUrl> opened;
    SetShellOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    dlg.OnCommand(Cmd::SamplePage);  // no sample page for this server: nothing
    EXPECT_TRUE(opened.isEmpty());
    dlg.OnCommand(Cmd::Ordering);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().scheme(), "https");
    SetShellOpener(nullptr);

    // Save follows the binding without a menu having been opened, or its
    // accelerator would not work.
    EXPECT_TRUE(dlg.Action(Cmd::Publish)->isEnabled());
    EXPECT_TRUE(dlg.Action(Cmd::Save)->isEnabled());
    EXPECT_TRUE(dlg.Action(Cmd::Save)->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_S));
}

// Preview in Browser failed without a word when the browser did not start.
TEST_F(ShellWindowTest, PreviewSaysWhenTheBrowserDoesNotStart) {
    state->previewFile = "/tmp/preview-1.htm";
    CWidgetUIDlg dlg(Factory());
    ASSERT_TRUE(dlg.Initialize());
    SetShellOpener([](const QUrl&) { return false; });
    {
        BoxAnswerer answerer(QMessageBox::Ok);
        dlg.OnCommand(Cmd::PreviewDefault);
        ASSERT_EQ(answerer.texts.size(), 1);
        EXPECT_TRUE(answerer.texts[0].contains("could not be started")) << answerer.texts[0].toStdString();
        EXPECT_TRUE(answerer.texts[0].contains("/tmp/preview-1.htm"));
    }
    SetShellOpener([](const QUrl&) { return true; });
    {
        BoxAnswerer answerer(QMessageBox::Ok);
        dlg.OnCommand(Cmd::PreviewDefault);
        EXPECT_TRUE(answerer.texts.isEmpty());
    }
    SetShellOpener(nullptr);
}

TEST_F(ShellWindowTest, CancelKeepsTheWindowAndItsWork) {
    CWidgetUIDlg dlg(Factory());
    ASSERT_TRUE(dlg.Initialize());
    servers.first()->SetModified(1);
    {
        BoxAnswerer answerer(QMessageBox::Cancel);
        EXPECT_FALSE(dlg.close());
        ASSERT_EQ(answerer.texts, QStringList{"Save changes to current work?"});
        EXPECT_EQ(answerer.titles, QStringList{"Fennic"});
    }
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_NE(dlg.EditorWindow(), nullptr);
    {
        BoxAnswerer answerer(QMessageBox::No);
        EXPECT_TRUE(dlg.close());
    }
    // The placement was kept for the next start.
    QSettings settings;
    EXPECT_TRUE(settings.contains("Windows/Main/showCmd"));
    EXPECT_TRUE(settings.contains("Windows/Main/Right"));
}

TEST_F(ShellWindowTest, EditorErrorsAreAutomationErrors) {
    state->editorThrows = true;
    CWidgetUIDlg dlg(Factory());
    BoxAnswerer answerer(QMessageBox::Ok);
    EXPECT_FALSE(dlg.Initialize());
    EXPECT_EQ(answerer.texts, QStringList{"Automation error: no editor today"});
}

TEST_F(ShellWindowTest, DroppedFileIsOpened) {
    CWidgetUIDlg dlg(Factory());
    ASSERT_TRUE(dlg.Initialize());
    state->files.insert("/w/dropped.pgt", kWidgetServerProgID);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/w/dropped.pgt"), QUrl::fromLocalFile("/w/ignored.pgt")});
    // Drops go to the widget that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dlg, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dlg, &drop);
    QApplication::processEvents();
    EXPECT_EQ(dlg.Document().CurrentPath(), "/w/dropped.pgt");
    EXPECT_EQ(dlg.windowTitle(), "Tavish Fennic - [/w/dropped.pgt]");
}

TEST_F(ShellWindowTest, HelpOpensTopicsOrSaysWhyNot) {
    QList<QUrl> opened;
    SetShellOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    SetHelpFolder(FENNIC_SOURCE_RESOURCES "/FennicHelp");
    CWidgetUIDlg dlg(Factory());
    ASSERT_TRUE(dlg.Initialize());
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(&dlg, &f1);  // the main window has no topic of its own
    dlg.OnCommand(Cmd::Tutorial);
    CHelpDialog rename(131);
    rename.OnHelp();
    ASSERT_EQ(opened.size(), 3);
    EXPECT_TRUE(opened[0].path().endsWith("/FennicHelp/index.htm"));
    EXPECT_TRUE(opened[1].path().endsWith("/FennicHelp/tutorial/000Tutorial.htm"));
    EXPECT_TRUE(opened[2].path().endsWith("/interface/menu/templates.htm"));
    EXPECT_EQ(opened[2].fragment(), "rename");

    SetHelpFolder(QDir::tempPath() + "/no-help-here");
    BoxAnswerer answerer(QMessageBox::Ok);
    EXPECT_FALSE(ShowHelpTopic(&dlg, "index.htm"));
    EXPECT_EQ(answerer.texts, QStringList{"Failed to launch help file. Please check if it is installed correctly."});
    SetHelpFolder(QString());
    SetShellOpener(nullptr);
}

TEST_F(ShellWindowTest, RenameRefusesInvalidNames) {
    CRenameDlg dialog("Button1", "old", nullptr);
    auto* name = dialog.findChildren<QLineEdit*>().value(0);
    ASSERT_NE(name, nullptr);
    for (const char* bad : {"", "Two words", "under_score", "hy-phen"}) {
        name->setText(bad);
        BoxAnswerer answerer(QMessageBox::Ok);
        dialog.setResult(QDialog::Rejected);
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Rejected) << bad;
        ASSERT_EQ(answerer.texts.size(), 1) << bad;
        EXPECT_TRUE(answerer.texts.first().startsWith("You haven't input a name"));
    }
    name->setText("Button2");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Name(), "Button2");
    EXPECT_EQ(dialog.Description(), "old");
}

TEST_F(ShellWindowTest, PlacementIsRestoredOnlyWhenOnScreen) {
    {
        QSettings settings;
        settings.setValue("Windows/Main/showCmd", 1);
        settings.setValue("Windows/Main/Left", 50);
        settings.setValue("Windows/Main/Top", 60);
        settings.setValue("Windows/Main/Right", 650);
        settings.setValue("Windows/Main/Bottom", 460);
    }
    {
        CWidgetUIDlg dlg(Factory());
        ASSERT_TRUE(dlg.Initialize());
        EXPECT_EQ(dlg.pos(), QPoint(50, 60));
        EXPECT_EQ(dlg.size(), QSize(600, 400));
        dlg.move(70, 80);
        BoxAnswerer answerer(QMessageBox::No);
        dlg.close();
    }
    QSettings settings;
    EXPECT_EQ(settings.value("Windows/Main/Left").toInt(), 70);
    EXPECT_EQ(settings.value("Windows/Main/Right").toInt(), 670);
    settings.setValue("Windows/Main/Left", -3000);
    settings.setValue("Windows/Main/Right", -2400);
    settings.sync();
    CWidgetUIDlg dlg(Factory());
    ASSERT_TRUE(dlg.Initialize());
    EXPECT_EQ(dlg.size(), dlg.DefaultSize(QGuiApplication::primaryScreen()->availableGeometry()));
    EXPECT_GE(dlg.pos().x(), 0);
}

// Errors raised inside the plug-in reach the shell as the shell's type.
TEST_F(ShellWindowTest, PluginErrorsCrossTheBoundary) {
    CClassRegistry registry;
    ASSERT_TRUE(registry.LoadFile(FENNIC_CLASS_REGISTRY_FILE));
    CPagelet binding;
    ASSERT_TRUE(binding.Bind(kWidgetServerProgID, registry));
    QWidget host;
    ASSERT_NE(binding->CreateEditor(&host), nullptr);
    try {
        binding->CreateEditor(&host);
        ADD_FAILURE() << "a second editor was made";
    } catch (const WidgetServerError& error) {
        EXPECT_FALSE(error.Message().isEmpty());
    }
    binding->CloseEditor();
}

// The real server through the registry the build wrote: open, edit, save.
TEST_F(ShellWindowTest, RealServerOpenEditSave) {
    qputenv("FENNIC_CLASS_REGISTRY", FENNIC_CLASS_REGISTRY_FILE);
    QTemporaryDir work;
    const QString pgt = work.filePath("Ocean.pgt");
    ASSERT_TRUE(QFile::copy(FENNIC_SOURCE_RESOURCES "/PageletServer/Ocean_PageletServer.FennicButton.pgt", pgt));
    QFile::setPermissions(pgt, QFile::ReadOwner | QFile::WriteOwner);

    CWidgetUIDlg dlg(RegistryBindingFactory(QString()));
    ASSERT_TRUE(dlg.Initialize());
    ASSERT_TRUE(dlg.Document().Open(pgt));
    auto* label = dlg.EditorWindow()->findChild<QLineEdit*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Learn more");
    label->setText("Read on");
    dlg.OnIdle();
    EXPECT_EQ(dlg.windowTitle(), "Tavish Fennic - [" + pgt + " *]");
    ASSERT_TRUE(dlg.Document().SaveCurrentWork(false));
    dlg.OnIdle();
    EXPECT_EQ(dlg.windowTitle(), "Tavish Fennic - [" + pgt + "]");
    // The template is in the link form: the .pgt holds it all.
    QFile saved(pgt);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("Label = \"Read on\""));
    EXPECT_TRUE(QDir(work.path()).entryList({"*.svg"}, QDir::Files).isEmpty());

    const QByteArray shots = qgetenv("FENNIC_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        dlg.resize(1180, 760);
        dlg.grab().save(QDir(QString::fromLocal8Bit(shots)).filePath("main-window.png"));
    }
    qunsetenv("FENNIC_CLASS_REGISTRY");
    BoxAnswerer answerer(QMessageBox::No);
    dlg.close();
}

// The first window was 933 x 560, the Pressed preview cut off; a work named
// on the command line was not opened.
TEST_F(ShellWindowTest, FirstWindowShowsTheWholePreviewAndTheWorkAsked) {
    qputenv("FENNIC_CLASS_REGISTRY", FENNIC_CLASS_REGISTRY_FILE);
    QTemporaryDir work;
    const QString pgt = work.filePath("Ocean_PageletServer.FennicButton.pgt");
    ASSERT_TRUE(QFile::copy(FENNIC_SOURCE_RESOURCES "/PageletServer/Ocean_PageletServer.FennicButton.pgt", pgt));
    CWidgetUIDlg dlg(RegistryBindingFactory(QString()));
    ASSERT_TRUE(dlg.Initialize());
    ASSERT_TRUE(dlg.OpenWork(pgt));
    EXPECT_EQ(dlg.Document().CurrentPath(), pgt);
    const QSize size = dlg.DefaultSize(QRect(0, 0, 1280, 800));
    EXPECT_LE(size.width(), 1280);
    EXPECT_LE(size.height(), 800);
    dlg.resize(size);
    QCoreApplication::sendPostedEvents();
    // The plug-in's classes are its own: the preview is found by name.
    QScrollArea* area = nullptr;
    for (QScrollArea* a : dlg.EditorWindow()->findChildren<QScrollArea*>()) {
        if (a->widget() && QLatin1String(a->widget()->metaObject()->className()) == "CButtonPreview") area = a;
    }
    ASSERT_NE(area, nullptr);
    EXPECT_GE(area->viewport()->width(), area->widget()->sizeHint().width());
    EXPECT_GE(area->viewport()->height(), area->widget()->minimumHeight());
    qunsetenv("FENNIC_CLASS_REGISTRY");
    BoxAnswerer answerer(QMessageBox::No);
    dlg.close();
}

TEST_F(ShellWindowTest, BrowserItemsFollowTheEditedList) {
    CWidgetUIDlg dlg(Factory());
    ASSERT_TRUE(dlg.Initialize());
    const auto items = [&dlg]() {
        dlg.UpdateBrowserItems();
        QStringList names;
        for (QAction* action : dlg.BrowserMenu()->actions()) {
            if (action->data().toInt() >= Cmd::FirstBrowser) names << action->text();
        }
        return names;
    };
    // Edit Browser List, closed at once by a "user".
    const auto editList = [&dlg]() {
        QTimer::singleShot(50, []() {
            if (auto* edit = qobject_cast<CExternalBrowsersDlg*>(QApplication::activeModalWidget())) edit->reject();
        });
        dlg.OnCommand(Cmd::EditBrowsers);
    };
    const QStringList before = items();  // the desktop's own browsers, if any
    {
        CExternalBrowsersDlg edit;
        ASSERT_TRUE(edit.AddBrowser("Mine", "/bin/true"));
    }
    editList();
    EXPECT_EQ(items(), before + QStringList({"Mine"}));
    EXPECT_EQ(items(), before + QStringList({"Mine"}));  // no duplicates on reopening

    // The work has no preview file: the browser is not started.
    QList<LaunchCommand> started;
    SetBrowserStarter([&](const LaunchCommand& c) {
        started << c;
        return true;
    });
    dlg.OnCommand(Cmd::FirstBrowser + static_cast<int>(before.size()));
    SetBrowserStarter(nullptr);
    EXPECT_TRUE(started.isEmpty());

    {
        CExternalBrowsersDlg edit;
        ASSERT_EQ(edit.CustomizedList()->count(), 1);
        edit.CustomizedList()->item(0)->setSelected(true);
        edit.OnDelete();
    }
    editList();
    EXPECT_EQ(items(), before);
}

// What a new user does: a button from a template, saved, its code put into a
// page (beside its SVG in the SVG form). The page is the one publishing from
// the command line makes, which tools/browser-checks.sh opens in Chromium.
void PublishFromTemplate(OutputForm form) {
    qputenv("FENNIC_CLASS_REGISTRY", FENNIC_CLASS_REGISTRY_FILE);
    QTemporaryDir work;
    CWidgetUIDlg dlg(RegistryBindingFactory(QString()));
    ASSERT_TRUE(dlg.Initialize());
    {
        CNewWidgetDlg choose(dlg.Document().Factory(), &dlg);
        int ocean = -1;
        for (int i = 0; i < choose.ItemCount(); ++i) {
            if (choose.ItemText(i, 0) == "Ocean") ocean = i;
        }
        ASSERT_GE(ocean, 0);
        choose.SelectIndex(ocean);
        choose.NameEdit()->setText("MyButton");
        choose.OnCreate();
        ASSERT_EQ(choose.result(), QDialog::Accepted);
        ASSERT_TRUE(dlg.Document().NewFromTemplate(choose.Name(), choose.Description(), choose.TemplatePath()));
    }
    auto* formBox = dlg.EditorWindow()->findChild<QComboBox*>("form");
    ASSERT_NE(formBox, nullptr);
    formBox->setCurrentIndex(static_cast<int>(form));
    const QString pgt = work.filePath("MyButton_PageletServer.FennicButton.pgt");
    QTimer::singleShot(100, [&]() {
        if (auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            files->selectFile(pgt);
            QMetaObject::invokeMethod(files, "accept");
        }
    });
    ASSERT_TRUE(dlg.Document().SaveCurrentWork(false));
    {
        // Saved and unchanged: no question in any form. The HTML forms need
        // no support file, and the server says so.
        BoxAnswerer answerer(QMessageBox::Ok);
        ASSERT_TRUE(dlg.Document().PreparePublish());
        EXPECT_EQ(answerer.texts.size(), 0);
    }
    CPagelet& binding = *dlg.Document().Current();
    const QString code = RequiredHtmlCode(*binding.Server());
    // The SVG has a short name made from the saved file's, wherever the dialog put it.
    const QString svgName = QFileInfo(CFennicButtonServer::SupportFileFor(dlg.Document().CurrentPath())).fileName();
    EXPECT_TRUE(svgName.startsWith("mybutton-")) << svgName.toStdString();
    if (form == OutputForm::Svg) {
        EXPECT_TRUE(code.contains(svgName)) << code.toStdString();
    } else {
        EXPECT_TRUE(code.contains(QRegularExpression("\\.fb-mybutton-[0-9a-f]{6}:focus-visible")))
            << code.toStdString();
        EXPECT_EQ(binding->GetSupportFileCount(), 0);
    }

    QTemporaryDir site;
    const QString page = site.filePath("index.html");
    QFile blank(page);
    ASSERT_TRUE(blank.open(QIODevice::WriteOnly));
    const QByteArray original =
        "<!DOCTYPE html>\n<html><head><title>Site</title></head><body>\n"
        "<p>Read the story, then </p>\n</body></html>\n";
    blank.write(original);
    blank.close();
    const qsizetype at = QString::fromUtf8(original).indexOf("</p>");
    {
        CInsertCodeDlg insert(binding, code, &dlg);
        ASSERT_TRUE(insert.OpenFile(page));
        QTextCursor caret = insert.Editor()->textCursor();
        caret.setPosition(static_cast<int>(at));
        insert.Editor()->setTextCursor(caret);
        insert.OnInsert();
        ASSERT_TRUE(insert.OnSave());
    }
    EXPECT_EQ(QFile::exists(site.filePath(svgName)), form == OutputForm::Svg);
    qunsetenv("FENNIC_CLASS_REGISTRY");
    QFile saved(page);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QString result = QString::fromUtf8(saved.readAll());
    qsizetype caret = at;
    EXPECT_EQ(result, InsertIntoPage(QString::fromUtf8(original), &caret, PageCodeParts(*binding.Server())));
    // The element right after the text it follows, the style in the head. A
    // button from a template has no address yet: a <button> for the page's
    // script, or in the SVG form a picture.
    const QString tag = form == OutputForm::Svg ? QStringLiteral("<object class=\"fb-mybutton-")
                                                : QStringLiteral("<button type=\"button\" class=\"fb-mybutton-");
    EXPECT_TRUE(result.contains("then " + tag)) << result.toStdString();
    EXPECT_LT(result.indexOf("<style>"), result.indexOf("</head>")) << result.toStdString();
    BoxAnswerer answerer(QMessageBox::No);
    dlg.close();
}

TEST_F(ShellWindowTest, TemplateToPublishedPage) {
    PublishFromTemplate(OutputForm::Svg);
}

TEST_F(ShellWindowTest, TemplateToPublishedHtmlPage) {
    PublishFromTemplate(OutputForm::Link);
}

// Undo and Redo of the Edit menu reach the editor and follow what it can do.
TEST_F(ShellWindowTest, EditMenuUndoesTheEditor) {
    qputenv("FENNIC_CLASS_REGISTRY", FENNIC_CLASS_REGISTRY_FILE);
    CWidgetUIDlg dlg(RegistryBindingFactory(QString()));
    ASSERT_TRUE(dlg.Initialize());
    qunsetenv("FENNIC_CLASS_REGISTRY");
    QAction* undo = dlg.Action(EditCmd::Undo);
    QAction* redo = dlg.Action(EditCmd::Redo);
    ASSERT_TRUE(undo && redo);
    EXPECT_EQ(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(redo->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    dlg.OnIdle();
    EXPECT_FALSE(undo->isEnabled());
    auto* label = dlg.EditorWindow()->findChild<QLineEdit*>("label");
    ASSERT_NE(label, nullptr);
    const QString before = label->text();
    label->setText("Changed");
    dlg.OnIdle();
    EXPECT_TRUE(undo->isEnabled());
    undo->trigger();
    EXPECT_EQ(label->text(), before);
    dlg.OnIdle();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());
    redo->trigger();
    EXPECT_EQ(label->text(), "Changed");
    BoxAnswerer answerer(QMessageBox::No);
    dlg.close();
}

}  // namespace
