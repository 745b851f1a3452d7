#include "FakeServer.h"
#include "core/StringTable.h"
#include "core/WidgetDocument.h"
#include "core/NameRule.h"
#include "core/PageText.h"
#include "core/Publishing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct PublishHost : IDocumentHost {
    QList<int> asked;
    Answer answer = Answer::Yes;
    QString fileAnswer;
    int fileDialogs = 0;
    Answer AskSaveChanges() override { return Answer::No; }
    Answer AskQuestion(int id, bool) override {
        asked << id;
        return answer;
    }
    void ShowMessage(int, const QStringList&, MessageIcon) override {}
    QString AskFileName(bool, const QString&) override {
        ++fileDialogs;
        return fileAnswer;
    }
    bool ShowEditor() override { return true; }
};

class PublishTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeServerState> state = std::make_shared<FakeServerState>();
    PublishHost host;
    CWidgetDocument doc{host, [this]() {
                            auto binding = std::make_unique<CPagelet>();
                            binding->Attach(std::make_unique<FakeServer>(state), kWidgetServerProgID);
                            return binding;
                        }};
    IWidgetServer* Server() { return doc.Current()->Server(); }
};

TEST_F(PublishTest, UntitledOrUnpublishedWorkMustBeSavedFirst) {
    ASSERT_TRUE(doc.Start());
    state->supportFiles = {{"a.svg", "/w/", ""}};  // even with files: untitled
    host.answer = IDocumentHost::Answer::Cancel;
    EXPECT_FALSE(doc.PreparePublish());
    EXPECT_EQ(host.asked, QList<int>({Ids::PublishUnsaved}));
    EXPECT_TRUE(state->saved.isEmpty());

    host.answer = IDocumentHost::Answer::Yes;  // OK, then the file dialog is cancelled
    EXPECT_FALSE(doc.PreparePublish());
    EXPECT_EQ(host.fileDialogs, 1);

    host.fileAnswer = "/w/b.pgt";
    EXPECT_TRUE(doc.PreparePublish());
    EXPECT_EQ(state->saved, QStringList({"/w/b.pgt"}));

    // Saved, but nothing published yet: asked again, saved without a dialog.
    state->supportFiles.clear();
    host.asked.clear();
    EXPECT_TRUE(doc.PreparePublish());
    EXPECT_EQ(host.asked, QList<int>({Ids::PublishUnsaved}));
    EXPECT_EQ(host.fileDialogs, 2);
    EXPECT_EQ(state->saved.size(), 2);
}

TEST_F(PublishTest, ModifiedWorkIsOfferedASave) {
    state->files.insert("/w/b.pgt", kWidgetServerProgID);
    ASSERT_TRUE(doc.Start());
    ASSERT_TRUE(doc.Open("/w/b.pgt"));
    state->supportFiles = {{"b.svg", "/w/", ""}};
    EXPECT_TRUE(doc.PreparePublish());  // unmodified: no question
    EXPECT_TRUE(host.asked.isEmpty());

    Server()->SetModified(1);
    host.answer = IDocumentHost::Answer::No;  // publishes the last saved files
    EXPECT_TRUE(doc.PreparePublish());
    EXPECT_EQ(host.asked, QList<int>({Ids::PublishModified}));
    EXPECT_TRUE(state->saved.isEmpty());
    host.answer = IDocumentHost::Answer::Cancel;
    EXPECT_FALSE(doc.PreparePublish());
    host.answer = IDocumentHost::Answer::Yes;
    state->saveSucceeds = false;
    EXPECT_FALSE(doc.PreparePublish());
    state->saveSucceeds = true;
    EXPECT_TRUE(doc.PreparePublish());
    EXPECT_EQ(state->saved, QStringList({"/w/b.pgt"}));
}

// Every publish of an HTML-form work asked "You must save current work...",
// even right after saving: such a work has no support file, and needs none.
TEST_F(PublishTest, ASavedUnchangedWorkThatNeedsNoFilesIsNotAskedAbout) {
    state->files.insert("/w/b.pgt", kWidgetServerProgID);
    ASSERT_TRUE(doc.Start());
    ASSERT_TRUE(doc.Open("/w/b.pgt"));
    state->needsSupportFiles = false;
    EXPECT_TRUE(doc.PreparePublish());
    EXPECT_TRUE(host.asked.isEmpty());
    EXPECT_TRUE(state->saved.isEmpty());
    // Changed, it is saved first, as before.
    Server()->SetModified(1);
    EXPECT_TRUE(doc.PreparePublish());
    EXPECT_EQ(host.asked, QList<int>({Ids::PublishUnsaved}));
    // A work whose picture is missing still must be saved to make it.
    Server()->SetModified(0);
    state->needsSupportFiles = true;
    host.asked.clear();
    EXPECT_TRUE(doc.PreparePublish());
    EXPECT_EQ(host.asked, QList<int>({Ids::PublishUnsaved}));
}

// The element alone used to reach the page without its style, so the button
// sat above the text line.
TEST_F(PublishTest, CodeIsStylesThenTheLastCursorPartThenScripts) {
    ASSERT_TRUE(doc.Start());
    EXPECT_TRUE(RequiredHtmlCode(*Server()).isEmpty());
    state->codeParts = {{"style", "<style/>"}, {"cursor", "<one/>"}, {"script", "<s/>"}, {"cursor", "<two/>"}};
    EXPECT_EQ(RequiredHtmlCode(*Server()), "<style/>\n<two/>\n<s/>");
    state->codeParts = {{"cursor", "<only/>"}};
    EXPECT_EQ(RequiredHtmlCode(*Server()), "<only/>");  // as it always was
    state->codeParts = {{"style", "<style/>"}, {"script", "<s/>"}};
    EXPECT_TRUE(RequiredHtmlCode(*Server()).isEmpty());
    state->codeParts = {{"style", "<style/>"}, {"Cursor", "<case/>"}};
    EXPECT_TRUE(RequiredHtmlCode(*Server()).isEmpty());
}

TEST_F(PublishTest, SupportFilesAreListedOnce) {
    ASSERT_TRUE(doc.Start());
    state->supportFiles = {{"a.svg", "/w/", "web/"},
                           {"A.SVG", "/W/", "WEB/"},  // the same file, other case
                           {"a.svg", "/x/", "web/"},  // same name, another folder
                           {"b.svg", "/w/", ""}};
    const QList<SupportFile> rows = SupportFileRows(*Server());
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].Source(), "/w/a.svg");
    EXPECT_EQ(rows[1].path, "/x/");
    EXPECT_EQ(rows[2].name, "b.svg");
}

TEST(Publishing, CopyReplacesAndReportsSystemErrors) {
    QTemporaryDir dir;
    const QString source = dir.filePath("a.svg");
    const QString target = dir.filePath("out.svg");
    QFile f(source);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("new");
    f.close();
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old and longer");
    old.close();

    QString error;
    ASSERT_TRUE(CopyReplacing(source, target, &error));
    QFile check(target);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), "new");
    EXPECT_TRUE(CopyReplacing(source, source, &error));  // onto itself: kept
    EXPECT_TRUE(QFile::exists(source));

    EXPECT_FALSE(CopyReplacing(dir.filePath("missing.svg"), target, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(CopyReplacing(source, dir.filePath("no/such/folder/x.svg"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(SystemErrorText(QString(), 5), "error code is 5");
}

TEST(Publishing, FolderStatusIsCutAfter35Characters) {
    const QString exact(35, u'a');
    EXPECT_EQ(FolderStatusText(exact), exact);
    EXPECT_EQ(FolderStatusText(exact + "b"), exact + "...");
    EXPECT_EQ(FolderStatusText(""), "");
}

void Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Beside a page, a file of the author's that had the picture's name was
// replaced without a word. A file is ours when it holds what would be
// written or carries this work's mark; else the next free name is taken.
TEST(Ownership, OnlyOurOwnFilesAreReplaced) {
    QTemporaryDir dir;
    const QString owner = OwnerMark("/w/logo_PageletServer.FennicButton.pgt");
    EXPECT_EQ(owner, "TavishFennic work: logo_PageletServer.FennicButton.pgt");
    EXPECT_EQ(OwnerMark("/w/a--b*/c.pgt"), "TavishFennic work: c.pgt");  // the folder is not the name
    EXPECT_EQ(OwnerMark("a--b*.pgt"), QString("TavishFennic work: a-\u2010b*.pgt"));
    const QByteArray ours = "<?xml version=\"1.0\"?>\n<!-- " + owner.toUtf8() + " -->\n<svg/>";
    const struct {
        const char* name;
        QByteArray existing;  // empty: none
        bool mayReplace;
    } cases[] = {
        {"free.svg", {}, true},
        {"same.svg", "new bytes", true},
        {"marked.svg", ours, true},
        {"sheet.css", "/* " + owner.toUtf8() + " */\n.a{}", true},
        {"other.svg", "<!-- TavishFennic work: other_PageletServer.FennicButton.pgt -->", false},
        {"authors.svg", "<svg>the author's</svg>", false},
        {"late.svg", QByteArray(5000, ' ') + "<!-- " + owner.toUtf8() + " -->", false},  // past the first 4 KiB
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(c.name);
        if (!c.existing.isEmpty()) Put(path, c.existing);
        EXPECT_EQ(MayReplace(path, owner, "new bytes"), c.mayReplace) << c.name;
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.svg"));
    EXPECT_FALSE(MayReplace(dir.filePath("folder.svg"), owner, "x"));

    // The next free name, or one of ours further on.
    EXPECT_EQ(ChooseTarget(dir.path(), "authors.svg", owner, "x"), dir.filePath("authors-2.svg"));
    Put(dir.filePath("authors-2.svg"), "also the author's");
    Put(dir.filePath("authors-3.svg"), ours);
    EXPECT_EQ(ChooseTarget(dir.path(), "authors.svg", owner, "x"), dir.filePath("authors-3.svg"));
    EXPECT_EQ(ChooseTarget(dir.path(), "marked.svg", owner, "x"), dir.filePath("marked.svg"));

    QString error;
    EXPECT_FALSE(WriteOurs(dir.filePath("authors.svg"), "x", owner, &error));
    EXPECT_FALSE(error.isEmpty());
    QFile kept(dir.filePath("authors.svg"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "<svg>the author's</svg>");
    EXPECT_TRUE(WriteOurs(dir.filePath("free.svg"), ours, owner, &error));
    EXPECT_EQ(OwnerMarkOf(dir.filePath("free.svg")), owner);
}

TEST(Ownership, NumberedNamesKeepTheExtension) {
    const struct {
        const char* name;
        int n;
        const char* expected;
    } cases[] = {{"logo.svg", 1, "logo.svg"},
                 {"logo.svg", 2, "logo-2.svg"},
                 {"a.b.css", 3, "a.b-3.css"},
                 {"README", 2, "README-2"},
                 {".htaccess", 2, ".htaccess-2"}};
    for (const auto& c : cases) EXPECT_EQ(NumberedFileName(c.name, c.n), c.expected) << c.name;
    EXPECT_EQ(WebFileStem("Ocean Btn \u00e9t\u00e9"), "ocean-btn-ete");
    EXPECT_EQ(WebFileStem("***"), "button");
}

// A page with <base href> looked for the picture under the base (404).
TEST(PagePlacement, FilesAreNamedAsThePageFindsThemUnderItsBase) {
    const struct {
        const char* base;
        const char* expected;  // empty: the base leaves the file system
    } cases[] = {{"", "pic.svg"},
                 {"assets/", "../pic.svg"},
                 {"assets/index.html", "../pic.svg"},
                 {"./", "pic.svg"},
                 {"page.html?x#y", "pic.svg"},
                 {"../", "blog/pic.svg"},
                 {"a%20b/", "../pic.svg"},
                 {"/", ""},
                 {"//cdn.example.com/", ""},
                 {"https://example.com/blog/", ""}};
    for (const auto& c : cases) EXPECT_EQ(ReferenceBeside("/site/blog", c.base, "pic.svg"), c.expected) << c.base;

    EXPECT_EQ(BaseHref("<head><base target=\"_top\"><base href='assets/'></head>"), "assets/");
    EXPECT_EQ(BaseHref("<head><BASE HREF=\"a&amp;b/\"></head>"), "a&b/");
    EXPECT_EQ(BaseHref("<p>&lt;base href=\"x/\"&gt;</p>"), "");
    EXPECT_EQ(BaseHref("<!-- <base href=\"x/\"> --><p/>"), "");

    const QString code = "<object data=\"my%20pic.svg\"><a href=\"my pic.svg.html\">x</a></object>";
    EXPECT_EQ(NameInCode(code, "my pic.svg", "../my pic-2.svg"),
              "<object data=\"../my%20pic-2.svg\"><a href=\"my pic.svg.html\">x</a></object>");
    EXPECT_EQ(NameInCode("<link href=\"a.css\">", "a.css", "a.css"), "<link href=\"a.css\">");

    const struct {
        const char* text;
        bool fragment;
    } pages[] = {{"{% extends \"base.html\" %}{% block c %}<p>x</p>{% endblock %}", true},
                 {"<p>x</p>", true},
                 {"<!DOCTYPE html><p>x</p>", false},
                 {"<title>t</title><p>x</p>", false},
                 {"<html><p>x</p></html>", false},
                 {"<p>no <!-- <head> --> head</p>", true}};
    for (const auto& p : pages) EXPECT_EQ(IsPageFragment(p.text), p.fragment) << p.text;
}

TEST(PagePlacement, StyleSheetIsSplitFromTheHead) {
    QString rest;
    EXPECT_EQ(StyleSheetText("<style>\n.a { }\n</style>\n<meta name=\"x\">\n<STYLE media=\"print\">.b{}</STYLE>",
                             &rest),
              ".a { }\n.b{}\n");
    EXPECT_EQ(rest, "<meta name=\"x\">\n");
    EXPECT_EQ(StyleSheetText("<link rel=\"stylesheet\" href=\"x.css\">", &rest), "");
}

}  // namespace
