#include "BoxAnswerer.h"
#include "FakeServer.h"
#include "controls/HyperlinkStatic.h"
#include "core/StringTable.h"
#include "core/Publishing.h"
#include "ui/FolderDialog.h"
#include "ui/PublishDlgs.h"
#include "server/Pagelet.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <gtest/gtest.h>
#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

class PublishDlgTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeServerState> state = std::make_shared<FakeServerState>();
    CPagelet binding;
    QTemporaryDir dir;

    void SetUp() override { binding.Attach(std::make_unique<FakeServer>(state), kWidgetServerProgID); }

    QString WriteFile(const QString& name, const QByteArray& content) {
        const QString path = dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return path;
    }
    QByteArray ReadFile(const QString& path) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }
};

TEST_F(PublishDlgTest, CopyToClipboardKeepsTheSelection) {
    CViewCodeDlg dlg(binding, "<object>code</object>");
    QTextCursor cursor = dlg.CodeEdit()->textCursor();
    cursor.setPosition(1);
    cursor.setPosition(4, QTextCursor::KeepAnchor);
    dlg.CodeEdit()->setTextCursor(cursor);
    dlg.OnCopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), "<object>code</object>");
    EXPECT_EQ(dlg.CodeEdit()->textCursor().selectedText(), "obj");
}

TEST_F(PublishDlgTest, InsertAtCaretOrOverSelectionWithUndo) {
    const QString page = WriteFile("page.htm", "<body>\r\nHERE\r\n</body>");
    CInsertCodeDlg dlg(binding, "<b>code</b>");
    ASSERT_TRUE(dlg.OpenFile(page));
    const QString caption = dlg.windowTitle();
    EXPECT_FALSE(dlg.IsModified());
    EXPECT_FALSE(dlg.SaveButton()->isEnabled());
    EXPECT_FALSE(dlg.SaveCloseButton()->isEnabled());

    QTextCursor cursor = dlg.Editor()->textCursor();
    const int at = dlg.Editor()->toPlainText().indexOf("HERE");
    cursor.setPosition(at);
    cursor.setPosition(at + 4, QTextCursor::KeepAnchor);
    dlg.Editor()->setTextCursor(cursor);
    dlg.OnInsert();
    EXPECT_TRUE(dlg.Editor()->toPlainText().contains("<body>\n<b>code</b>\n</body>"));
    EXPECT_FALSE(dlg.Editor()->toPlainText().contains("HERE"));
    EXPECT_EQ(dlg.windowTitle(), caption + " *");
    EXPECT_TRUE(dlg.SaveButton()->isEnabled());

    dlg.Editor()->undo();
    EXPECT_TRUE(dlg.Editor()->toPlainText().contains("HERE"));
    EXPECT_FALSE(dlg.Editor()->toPlainText().contains("code"));

    cursor = dlg.Editor()->textCursor();
    cursor.setPosition(0);
    dlg.Editor()->setTextCursor(cursor);
    dlg.OnInsert();  // nothing selected: at the caret, or where the body starts when the caret is before it
    EXPECT_TRUE(dlg.Editor()->toPlainText().startsWith("<body><b>code</b>\n"));

    ASSERT_TRUE(dlg.OnSave());
    EXPECT_FALSE(dlg.IsModified());
    EXPECT_EQ(dlg.windowTitle(), caption);
    EXPECT_EQ(ReadFile(page), "<body><b>code</b>\r\nHERE\r\n</body>");  // line ends kept
}

TEST_F(PublishDlgTest, CaptionAndSaveFollowTheTextExactly) {
    const QString page = WriteFile("page.htm", "<body></body>");
    CInsertCodeDlg dlg(binding, "<b>code</b>");
    ASSERT_TRUE(dlg.OpenFile(page));
    const QString bare = QStringLiteral("Insert Code to File");
    EXPECT_EQ(dlg.windowTitle(), bare);  // loading the page is no change
    EXPECT_FALSE(dlg.SaveButton()->isEnabled());

    dlg.OnInsert();
    dlg.OnInsert();
    EXPECT_EQ(dlg.windowTitle(), bare + " *");  // one mark however many edits
    EXPECT_TRUE(dlg.IsModified());
    dlg.Editor()->undo();
    dlg.Editor()->undo();
    EXPECT_EQ(dlg.windowTitle(), bare);  // back to what is on disk
    EXPECT_FALSE(dlg.IsModified());
    EXPECT_FALSE(dlg.SaveButton()->isEnabled());

    dlg.OnInsert();
    ASSERT_TRUE(dlg.OnSave());
    EXPECT_EQ(dlg.windowTitle(), bare);
    EXPECT_FALSE(dlg.SaveButton()->isEnabled());
    dlg.Editor()->undo();  // undoing past the save changes the text again
    EXPECT_EQ(dlg.windowTitle(), bare + " *");
    EXPECT_TRUE(dlg.SaveButton()->isEnabled());

    ASSERT_TRUE(dlg.OpenFile(page));  // a second page starts clean as well
    EXPECT_EQ(dlg.windowTitle(), bare);
}

TEST_F(PublishDlgTest, SaveWritesTheWholeFileAndCopiesSupportFiles) {
    const QString page = WriteFile("page.html", "a much longer page than the result");
    QTemporaryDir source;
    QFile svg(source.filePath("w.svg"));
    ASSERT_TRUE(svg.open(QIODevice::WriteOnly));
    svg.write("<svg/>");
    svg.close();
    state->supportFiles = {{"w.svg", source.path() + "/", ""}, {"gone.svg", source.path() + "/", ""}};

    CInsertCodeDlg dlg(binding, "x");
    ASSERT_TRUE(dlg.OpenFile(page));
    dlg.Editor()->setPlainText("short");
    BoxAnswerer answerer(QMessageBox::Ok);
    ASSERT_TRUE(dlg.OnSave());
    EXPECT_EQ(ReadFile(page), "short");  // cut to the new length
    EXPECT_EQ(ReadFile(dir.filePath("w.svg")), "<svg/>");
    EXPECT_EQ(answerer.texts.size(), 1);  // the missing file, and on it went
}

TEST_F(PublishDlgTest, PageIsLockedAgainstASecondEditor) {
    const QString page = WriteFile("page.htm", "<p/>");
    CInsertCodeDlg first(binding, "x");
    ASSERT_TRUE(first.OpenFile(page));
#ifdef Q_OS_UNIX
    CInsertCodeDlg second(binding, "x");
    BoxAnswerer answerer(QMessageBox::Ok);
    EXPECT_FALSE(second.OpenFile(page));
    EXPECT_EQ(answerer.texts.size(), 1);
#endif
    BoxAnswerer quiet(QMessageBox::Ok);
    CInsertCodeDlg missing(binding, "x");
    EXPECT_FALSE(missing.OpenFile(dir.filePath("nope.htm")));
}

#ifdef Q_OS_LINUX
TEST_F(PublishDlgTest, SaveAndCloseStaysOpenWhenWritingFails) {
    const QString page = WriteFile("page.htm", "<p/>");
    CInsertCodeDlg dlg(binding, QString(4096, u'x'));
    ASSERT_TRUE(dlg.OpenFile(page));
    dlg.CopyBox()->setChecked(false);
    dlg.OnInsert();
    // Files may not grow past 100 bytes for a moment: the write fails.
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &small);
    BoxAnswerer answerer(QMessageBox::Ok);
    dlg.setResult(QDialog::Rejected);
    dlg.OnSaveAndClose();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(answerer.texts.size(), 1);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(dlg.IsModified());
    dlg.OnSaveAndClose();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}
#endif

TEST_F(PublishDlgTest, SupportFilesListedOnceSelectedAndCopied) {
    QTemporaryDir source;
    for (const char* name : {"a.svg", "b.svg"}) {
        QFile f(source.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(name);
    }
    const QString folder = source.path() + "/";
    state->supportFiles = {{"a.svg", folder, ""}, {"a.svg", folder, ""}, {"b.svg", folder, ""}};
    CSupportFilesDlg dlg(binding);
    ASSERT_EQ(dlg.List()->topLevelItemCount(), 2);
    EXPECT_EQ(dlg.List()->selectedItems().size(), 2);
    EXPECT_TRUE(dlg.CopyButton()->isEnabled());
    dlg.List()->topLevelItem(0)->setSelected(false);
    {
        BoxAnswerer answerer(QMessageBox::Ok);
        ASSERT_TRUE(dlg.CopySelectedTo(dir.path()));
        EXPECT_EQ(answerer.texts,
                  QStringList({FormatMessage(Ids::SupportCopied, {QDir::toNativeSeparators(dir.path())})}));
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("a.svg")));
    EXPECT_EQ(ReadFile(dir.filePath("b.svg")), "b.svg");
    dlg.List()->clearSelection();
    EXPECT_FALSE(dlg.CopyButton()->isEnabled());

    dlg.List()->topLevelItem(0)->setSelected(true);
    BoxAnswerer answerer(QMessageBox::Ok);
    EXPECT_FALSE(dlg.CopySelectedTo(dir.filePath("missing/folder")));
    ASSERT_EQ(answerer.texts.size(), 1);
    EXPECT_TRUE(answerer.texts.first().startsWith("An error occurred while copying support files:\n"));
}

// Insert to File with "Copy widget file" ticked (the default) and Copy
// to... replaced the author's own file of the picture's name.
TEST_F(PublishDlgTest, AFileOfTheAuthorsInThePagesFolderIsKept) {
    QTemporaryDir work;
    const QString pgt = work.filePath("logo_PageletServer.FennicButton.pgt");
    QFile svg(work.filePath("logo.svg"));
    ASSERT_TRUE(svg.open(QIODevice::WriteOnly));
    svg.write("<!-- " + OwnerMark(pgt).toUtf8() + " -->\n<svg/>");
    svg.close();
    state->supportFiles = {{"logo.svg", work.path() + "/", ""}};
    state->codeParts = {{"cursor", "<object data=\"logo.svg\">Logo</object>\n"}};
    WriteFile("logo.svg", "<svg>the author's</svg>");
    const QString page = WriteFile("index.html", "<!DOCTYPE html><html><head></head><body><p>x</p></body></html>");

    CInsertCodeDlg insert(binding, "x", nullptr, pgt);
    ASSERT_TRUE(insert.OpenFile(page));
    EXPECT_FALSE(insert.Notes()->isHidden());
    ASSERT_EQ(insert.Placement().copies.size(), 1);
    EXPECT_EQ(insert.Placement().copies[0].target, dir.filePath("logo-2.svg"));
    insert.OnInsert();
    ASSERT_TRUE(insert.OnSave());
    EXPECT_EQ(ReadFile(dir.filePath("logo.svg")), "<svg>the author's</svg>");
    EXPECT_TRUE(ReadFile(page).contains("data=\"logo-2.svg\""));
    EXPECT_EQ(insert.Written(), QStringList({page, dir.filePath("logo-2.svg")}));

    CSupportFilesDlg support(binding, nullptr, pgt);
    QTemporaryDir folder;
    QFile foreign(folder.filePath("logo.svg"));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("mine");
    foreign.close();
    BoxAnswerer answerer(QMessageBox::Ok);
    ASSERT_TRUE(support.CopySelectedTo(folder.path()));
    EXPECT_EQ(support.Written(), QStringList({folder.filePath("logo-2.svg")}));
    EXPECT_EQ(ReadFile(folder.filePath("logo.svg")), "mine");
    ASSERT_EQ(answerer.texts.size(), 1);
    EXPECT_TRUE(
        answerer.texts[0].startsWith(FormatMessage(Ids::SupportCopied, {QDir::toNativeSeparators(folder.path())})));
    // A second copy finds its own file and replaces it.
    ASSERT_TRUE(support.CopySelectedTo(folder.path()));
    EXPECT_EQ(support.Written(), QStringList({folder.filePath("logo-2.svg")}));
}

// A strict Content-Security-Policy refuses inline style: View Code offers a
// style sheet beside the work, which Insert copies beside the page.
TEST_F(PublishDlgTest, StyleSheetChoiceLinksASheetThatGoesBesideThePage) {
    QTemporaryDir work;
    const QString pgt = work.filePath("Go_PageletServer.FennicButton.pgt");
    state->codeParts = {{"style", "<style>\n.go { color: red; }\n</style>\n"}, {"cursor", "<a class=\"go\">Go</a>\n"}};
    CViewCodeDlg view(binding, RequiredHtmlCode(*binding.Server()), nullptr, pgt);
    ASSERT_TRUE(view.StyleBox()->isEnabled());
    view.StyleBox()->setCurrentIndex(1);
    ASSERT_EQ(view.Files().files.size(), 1);
    const QString sheet = view.Files().files[0].name;
    EXPECT_TRUE(sheet.startsWith("go-") && sheet.endsWith(".css")) << sheet.toStdString();
    EXPECT_TRUE(QFile::exists(work.filePath(sheet)));
    EXPECT_TRUE(view.CodeEdit()->toPlainText().startsWith("<link rel=\"stylesheet\" href=\"" + sheet + "\">"));
    EXPECT_TRUE(view.Link()->isVisibleTo(&view));

    CInsertCodeDlg insert(binding, "x", nullptr, pgt);
    insert.SetFiles(view.Files());
    EXPECT_TRUE(insert.CopyBox()->isChecked());
    const QString page = WriteFile("page.html", "<html><head><title>t</title></head><body></body></html>");
    ASSERT_TRUE(insert.OpenFile(page));
    insert.OnInsert();
    ASSERT_TRUE(insert.OnSave());
    EXPECT_TRUE(ReadFile(page).contains("<link rel=\"stylesheet\""));
    EXPECT_EQ(ReadFile(dir.filePath(sheet)), ReadFile(work.filePath(sheet)));
    view.StyleBox()->setCurrentIndex(0);
    EXPECT_TRUE(view.Files().files.isEmpty());
    EXPECT_TRUE(view.CodeEdit()->toPlainText().startsWith("<style>"));
}

// Copy to... used to start at "/" with "/" selected.
TEST_F(PublishDlgTest, FolderChoosersStartAtThePagesFolder) {
    QTemporaryDir work;
    const QString pgt = work.filePath("Ocean.pgt");
    EXPECT_EQ(QDir(FolderDialogStart("", "")), QDir::home());
    EXPECT_EQ(QDir(FolderDialogStart("", pgt)), QDir(work.path()));
    EXPECT_EQ(QDir(FolderDialogStart(dir.path(), pgt)), QDir(dir.path()));
    EXPECT_EQ(QDir(FolderDialogStart(dir.filePath("gone"), pgt)), QDir(work.path()));
    EXPECT_EQ(QDir(FolderDialogStart("", work.filePath("gone/Ocean.pgt"))), QDir::home());

    // The page the code went into is remembered for the next chooser.
    ASSERT_TRUE(QDir(dir.path()).mkpath("site"));
    const QString page = WriteFile("site/index.html", "<p>text</p>\n");
    {
        CInsertCodeDlg insert(binding, "x", nullptr, pgt);
        ASSERT_TRUE(insert.OpenFile(page));
    }
    CSupportFilesDlg support(binding, nullptr, pgt);
    EXPECT_EQ(QDir(support.CopyToStart()), QDir(dir.filePath("site")));

    // The chooser itself opens there, the folder chosen and shown.
    QString shown;
    bool okEnabled = false;
    QString current;
    QTimer::singleShot(0, [&]() {
        auto* chooser = qobject_cast<CFolderDialog*>(QApplication::activeModalWidget());
        if (!chooser) return;  // caught below: nothing was shown
        shown = QDir::fromNativeSeparators(chooser->PathEdit()->text());
        okEnabled = chooser->OkButton()->isEnabled();
        if (auto* tree = chooser->findChild<QTreeView*>())
            current = static_cast<const QFileSystemModel*>(tree->model())->filePath(tree->currentIndex());
        chooser->reject();
    });
    support.OnCopyTo();
    EXPECT_EQ(QDir(shown), QDir(dir.filePath("site")));
    EXPECT_EQ(QDir(current), QDir(dir.filePath("site")));
    EXPECT_TRUE(okEnabled);

    // Copying somewhere else makes that the page's folder.
    state->supportFiles = {};
    QTemporaryDir other;
    {
        BoxAnswerer answerer(QMessageBox::Ok);
        ASSERT_TRUE(support.CopySelectedTo(other.path()));
    }
    EXPECT_EQ(QDir(LastPageFolder()), QDir(other.path()));
    EXPECT_EQ(QDir(CSupportFilesDlg(binding, nullptr, pgt).CopyToStart()), QDir(other.path()));
}

TEST(FolderDialog, StatusShowsTheSelectedFolderCut) {
    QTemporaryDir base;
    const QString deep = base.path() + "/" + QString(40, u'd');
    ASSERT_TRUE(QDir().mkpath(deep));
    CFolderDialog dlg(nullptr);
    EXPECT_EQ(dlg.windowTitle(), "Current Selection");
    EXPECT_TRUE(dlg.StatusText().isEmpty());
    dlg.SelectFolder(deep);
    EXPECT_EQ(dlg.StatusText(), QDir::toNativeSeparators(deep).left(35) + "...");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(QDir(dlg.FolderPath()), QDir(deep));
}

// OK alone used to copy into "/": with no folder chosen there is nothing to accept.
TEST(FolderDialog, NothingChosenTypedPathsAndNewFolders) {
    QTemporaryDir base;
    CFolderDialog dlg(nullptr);
    EXPECT_FALSE(dlg.OkButton()->isEnabled());
    dlg.accept();
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(dlg.FolderPath().isEmpty());

    dlg.PathEdit()->setText(base.filePath("not-there"));
    EXPECT_FALSE(dlg.OkButton()->isEnabled());
    dlg.PathEdit()->setText(base.path());
    EXPECT_TRUE(dlg.OkButton()->isEnabled());
    EXPECT_FALSE(dlg.MakeFolder("../escape"));
    ASSERT_TRUE(dlg.MakeFolder("site"));
    EXPECT_TRUE(QFileInfo(base.filePath("site")).isDir());
    EXPECT_EQ(QDir(QDir::fromNativeSeparators(dlg.PathEdit()->text())), QDir(base.filePath("site")));
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(QDir(dlg.FolderPath()), QDir(base.filePath("site")));

    CFolderDialog started(nullptr, base.path());  // a known folder is chosen from the start
    EXPECT_TRUE(started.OkButton()->isEnabled());
}

}  // namespace
