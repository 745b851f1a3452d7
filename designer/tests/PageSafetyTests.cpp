// Putting a button into an author's page must leave the page whole: its
// encoding, its own bytes and line ends, valid HTML however often it is done,
// and nothing of the author's overwritten.

#include "BoxAnswerer.h"
#include "FakeServer.h"
#include "controls/HyperlinkStatic.h"
#include "core/StringTable.h"
#include "server/Pagelet.h"
#include "ui/PublishDlgs.h"
#include "ui/TemplateDlgs.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class PageSafetyTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeServerState> state = std::make_shared<FakeServerState>();
    CPagelet binding;
    QTemporaryDir dir;

    void SetUp() override {
        binding.Attach(std::make_unique<FakeServer>(state), kWidgetServerProgID);
        Code("<style>.fb-go-1a2b3c { color: red; }</style>\n", "<a class=\"fb-go-1a2b3c\" href=\"#\">Go</a>\n");
    }
    void Code(const QString& style, const QString& element) {
        state->codeParts = {{"style", style}, {"cursor", element}};
    }
    QString Write(const QByteArray& bytes, const QString& name = "page.htm") {
        const QString path = dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }
    QByteArray Read(const QString& path) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }
    // Opens the page, puts the caret before the first `before` and inserts.
    void InsertBefore(CInsertCodeDlg& dlg, const QString& before) {
        QTextCursor caret = dlg.Editor()->textCursor();
        const int at = dlg.Editor()->toPlainText().indexOf(before);
        ASSERT_GE(at, 0) << before.toStdString();
        caret.setPosition(at);
        dlg.Editor()->setTextCursor(caret);
        dlg.OnInsert();
    }
};

QByteArray Utf16(const QString& text, bool bigEndian) {
    QStringEncoder encode(bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE,
                          QStringConverter::Flag::WriteBom);
    return encode(text);
}

// A UTF-16 page read as single bytes was written back with everything after
// the button turned to garbage.
TEST_F(PageSafetyTest, Utf16PagesStayUtf16) {
    for (const bool bigEndian : {false, true}) {
        const QString text =
            "<!DOCTYPE html>\r\n<html><head><title>Grüße</title></head>\r\n<body>\r\n<p>Ünïcode ✓ 𝄞</p>\r\n"
            "</body></html>\r\n";
        const QString page = Write(Utf16(text, bigEndian));
        Code(QString(), "<a class=\"fb-c\" href=\"#\">Café →</a>\n");
        CInsertCodeDlg dlg(binding, RequiredHtmlCode(*binding.Server()));
        ASSERT_TRUE(dlg.OpenFile(page));
        EXPECT_TRUE(dlg.Editor()->toPlainText().contains("Ünïcode ✓ 𝄞"));
        InsertBefore(dlg, "</body>");
        ASSERT_TRUE(dlg.OnSave());
        const QByteArray bytes = Read(page);
        ASSERT_GE(bytes.size(), 2);
        EXPECT_EQ(bytes.left(2), bigEndian ? QByteArray("\xfe\xff") : QByteArray("\xff\xfe"));
        QStringDecoder decode(bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE);
        const QString back = decode(bytes);
        EXPECT_FALSE(decode.hasError());
        QString expected = text;
        expected.insert(expected.indexOf("</body>"), "<a class=\"fb-c\" href=\"#\">Café →</a>\r\n");
        EXPECT_EQ(back, expected);  // the decoder drops the byte-order mark
    }
}

// "Café – “Join”" became "Café ? ?Join?" on a Windows-1252 page; what the
// encoding lacks becomes a character reference, and the page's own bytes
// (an unassigned 0x81 among them) and mixed line ends stay as they were.
TEST_F(PageSafetyTest, Windows1252PagesKeepEveryCharacter) {
    const QByteArray before =
        "<!DOCTYPE html>\r\n<html><head><meta charset=\"windows-1252\"><title>Men\xfc</title></head>\n"
        "<body>\r<p>Odd byte \x81 and \x93quotes\x94</p>\r\n";
    const QByteArray after = "</body></html>\n";
    const QString page = Write(before + after);
    Code(QString(), "<a class=\"fb-c\" href=\"#\">Café – “Join” → 𝄞</a>\n");
    CInsertCodeDlg dlg(binding, RequiredHtmlCode(*binding.Server()));
    ASSERT_TRUE(dlg.OpenFile(page));
    EXPECT_TRUE(dlg.Editor()->toPlainText().contains("“quotes”"));
    InsertBefore(dlg, "</body>");
    ASSERT_TRUE(dlg.OnSave());
    // The page's dominant line end is CR LF.
    EXPECT_EQ(Read(page).toStdString(),
              (before + "<a class=\"fb-c\" href=\"#\">Caf\xe9 \x96 \x93Join\x94 &#x2192; &#x1D11E;</a>\r\n" + after)
                  .toStdString());
}

// A UTF-8 page without a declaration, and one with a byte-order mark, stay
// UTF-8; an ISO-8859-1 declaration is read as browsers read it.
TEST_F(PageSafetyTest, EncodingIsDetected) {
    Code(QString(), "<b>€</b>");
    struct Case {
        QByteArray page;
        QByteArray euro;
    } cases[] = {
        {"<p>na\xc3\xafve</p>\n", "\xe2\x82\xac"},
        {"\xef\xbb\xbf<p>plain</p>\n", "\xe2\x82\xac"},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">\n<p>x</p>\n", "\x80"},
        {"<meta charset=\"shift_jis\">\n<p>\x82\xa0</p>\n", "&#x20AC;"},
    };
    for (const Case& c : cases) {
        const QString page = Write(c.page);
        CInsertCodeDlg dlg(binding, RequiredHtmlCode(*binding.Server()));
        ASSERT_TRUE(dlg.OpenFile(page));
        InsertBefore(dlg, "</p>");
        ASSERT_TRUE(dlg.OnSave());
        const QByteArray bytes = Read(page);
        EXPECT_TRUE(bytes.contains("<b>" + c.euro + "</b>")) << bytes.toStdString();
        EXPECT_EQ(bytes.size(), c.page.size() + 7 + c.euro.size()) << bytes.toStdString();
    }
}

// The CSS block went where the caret was, inside a <p>, and a second insert
// repeated it. The style goes into the head once; each element at its caret.
TEST_F(PageSafetyTest, StyleGoesIntoTheHeadOnce) {
    const QString page = Write(
        "<!DOCTYPE html>\n<html>\n<head>\n<title>T</title>\n</head>\n<body>\n"
        "<p>First FIRST here.</p>\n<p>Second SECOND here.</p>\n</body>\n</html>\n");
    CInsertCodeDlg dlg(binding, RequiredHtmlCode(*binding.Server()));
    ASSERT_TRUE(dlg.OpenFile(page));
    InsertBefore(dlg, "FIRST");
    InsertBefore(dlg, "SECOND");
    ASSERT_TRUE(dlg.OnSave());
    const QString text = QString::fromUtf8(Read(page));
    EXPECT_EQ(text.count("<style>"), 1) << text.toStdString();
    EXPECT_LT(text.indexOf("<style>"), text.indexOf("</head>"));
    EXPECT_EQ(text.count("<a class=\"fb-go-1a2b3c\""), 2);
    EXPECT_TRUE(text.contains("<p>First <a class=\"fb-go-1a2b3c\" href=\"#\">Go</a>FIRST"));
    EXPECT_TRUE(text.contains("<p>Second <a class=\"fb-go-1a2b3c\" href=\"#\">Go</a>SECOND"));
    // One Undo takes the whole insertion back, style included.
    dlg.Editor()->undo();
    dlg.Editor()->undo();
    EXPECT_FALSE(dlg.Editor()->toPlainText().contains("fb-go"));
}

// Where the caret cannot hold an element (inside a tag, in the head) the
// element goes to the nearest place that can; a piece of a page without a
// head (a partial) gets the style just before the element, and a note.
TEST_F(PageSafetyTest, ElementNeverLandsInsideATagOrTheHead) {
    const QString page = Write("<html><head><title>T</title></head><body class=\"main\"><p>x</p></body></html>");
    CInsertCodeDlg dlg(binding, RequiredHtmlCode(*binding.Server()));
    ASSERT_TRUE(dlg.OpenFile(page));
    InsertBefore(dlg, "\"main\"");   // inside <body ...>
    InsertBefore(dlg, "T</title>");  // in the head
    ASSERT_TRUE(dlg.OnSave());
    const QString text = QString::fromUtf8(Read(page));
    EXPECT_TRUE(text.contains("<body class=\"main\"><a class=\"fb-go-1a2b3c\" href=\"#\">Go</a>"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("<title>T</title>"));
    EXPECT_EQ(text.count("<style>"), 1);

    const QString bare = Write("<p>Only a fragment HERE</p>\n", "fragment.htm");
    CInsertCodeDlg second(binding, RequiredHtmlCode(*binding.Server()));
    ASSERT_TRUE(second.OpenFile(bare));
    InsertBefore(second, "HERE");
    ASSERT_TRUE(second.OnSave());
    const QString fragment = QString::fromUtf8(Read(bare));
    EXPECT_TRUE(fragment.startsWith("<p>Only a fragment <style>")) << fragment.toStdString();
    EXPECT_LT(fragment.indexOf("</style>"), fragment.indexOf("<a class")) << fragment.toStdString();
    EXPECT_EQ(second.Placement().notes.size(), 1);
}

// In the HTML forms there is no file to copy: View Code must not ask for one,
// its link has nothing to show and Insert offers no copy.
TEST_F(PageSafetyTest, FormsWithoutSupportFilesDoNotMentionThem) {
    state->supportFiles.clear();
    CViewCodeDlg view(binding, RequiredHtmlCode(*binding.Server()));
    const QList<QLabel*> labels = view.findChildren<QLabel*>();
    for (QLabel* label : labels) EXPECT_FALSE(label->text().contains(".svg")) << label->text().toStdString();
    EXPECT_TRUE(view.Link()->isHidden());
    CInsertCodeDlg insert(binding, RequiredHtmlCode(*binding.Server()));
    EXPECT_TRUE(insert.CopyBox()->isHidden());

    state->supportFiles = {{"go.svg", dir.path() + "/", ""}};
    CViewCodeDlg withFile(binding, RequiredHtmlCode(*binding.Server()));
    EXPECT_FALSE(withFile.Link()->isHidden());
    CInsertCodeDlg insertWithFile(binding, RequiredHtmlCode(*binding.Server()));
    EXPECT_FALSE(insertWithFile.CopyBox()->isHidden());
}

// A page the user may not change used to say only "Permission denied".
TEST(PageErrors, SayWhatHappenedAndWhatToDo) {
    const QString denied = PageOpenErrorText("/site/index.html", QFileDevice::OpenError, EACCES);
    EXPECT_TRUE(denied.contains("/site/index.html"));
    EXPECT_TRUE(denied.contains("read-only")) << denied.toStdString();
    const QString gone = PageOpenErrorText("/site/gone.html", QFileDevice::OpenError, ENOENT);
    EXPECT_TRUE(gone.contains("no longer there")) << gone.toStdString();
}

// Both template folders read-only: the name and description typed into Save
// As Template were lost with the dialog. It now says so and stays open.
TEST_F(PageSafetyTest, SaveAsTemplateKeepsWhatWasTypedWhenNothingCanBeWritten) {
    QTemporaryDir profile;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, profile.path());
    // A file where the user's data folder would be: no folder can be made
    // there, not even by root.
    QFile blocker(dir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_DATA_HOME", dir.filePath("blocker/data").toUtf8());
    BindingFactory factory = [this]() {
        auto b = std::make_unique<CPagelet>();
        b->Attach(std::make_unique<FakeServer>(state), kWidgetServerProgID, dir.filePath("server"));
        return b;
    };
    CSaveAsTemplateDlg dlg(factory, "Old", "", nullptr, [](const QString&) { return false; });
    dlg.NameEdit()->setText("Fresh");
    dlg.DescriptionEdit()->setText("Typed with care");
    BoxAnswerer answerer(QMessageBox::Ok);
    dlg.OnSave();
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    ASSERT_EQ(answerer.texts.size(), 1);
    EXPECT_TRUE(answerer.texts[0].contains("cannot be written")) << answerer.texts[0].toStdString();
    EXPECT_EQ(dlg.NameEdit()->text(), "Fresh");
    EXPECT_EQ(dlg.DescriptionEdit()->text(), "Typed with care");
    qunsetenv("XDG_DATA_HOME");
}

// "Signup CTA" was refused only after Create, with a vague message: the
// dialog now says what is allowed while the name is typed.
TEST_F(PageSafetyTest, NameRuleIsShownWhileTyping) {
    QTemporaryDir profile;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, profile.path());
    BindingFactory factory = [this]() {
        auto b = std::make_unique<CPagelet>();
        b->Attach(std::make_unique<FakeServer>(state), kWidgetServerProgID, dir.path());
        return b;
    };
    CNewWidgetDlg dlg(factory);
    auto* create = dlg.findChild<QPushButton*>("1000");
    auto* hint = dlg.findChild<QLabel*>("nameHint");
    ASSERT_NE(create, nullptr);
    ASSERT_NE(hint, nullptr);
    dlg.NameEdit()->setText("Signup CTA");
    EXPECT_FALSE(create->isEnabled());
    EXPECT_TRUE(hint->text().contains("space")) << hint->text().toStdString();
    EXPECT_TRUE(hint->text().contains("letters")) << hint->text().toStdString();
    dlg.NameEdit()->setText("SignupCTA");
    EXPECT_TRUE(create->isEnabled());
}

}  // namespace
