#include "FakeServer.h"
#include "core/StringTable.h"
#include "core/WidgetDocument.h"
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

}  // namespace
