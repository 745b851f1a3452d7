#include "FakeServer.h"
#include "core/StringTable.h"
#include "core/WidgetDocument.h"

#include <gtest/gtest.h>

namespace {

struct Host : IDocumentHost {
    Answer answer = Answer::No;
    int asked = 0;
    QString fileAnswer;
    QString proposed;
    QList<int> messages;
    QStringList lastArgs;
    bool showResult = true;
    int shown = 0;

    Answer AskSaveChanges() override {
        ++asked;
        return answer;
    }
    void ShowMessage(int id, const QStringList& args, MessageIcon) override {
        messages << id;
        lastArgs = args;
    }
    QString AskFileName(bool, const QString& name) override {
        proposed = name;
        return fileAnswer;
    }
    bool ShowEditor() override {
        ++shown;
        return showResult;
    }
};

class DocumentTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeServerState> state = std::make_shared<FakeServerState>();
    bool bindFails = false;
    Host host;
    CWidgetDocument doc{host, [this]() -> std::unique_ptr<CPagelet> {
                            auto binding = std::make_unique<CPagelet>();
                            if (!bindFails) binding->Attach(std::make_unique<FakeServer>(state), kWidgetServerProgID);
                            return binding;
                        }};

    FakeServer* Server() { return static_cast<FakeServer*>(doc.Current()->Server()); }
};

TEST_F(DocumentTest, TitleCountsNewWorksButNotOpenedOnes) {
    ASSERT_TRUE(doc.Start());
    EXPECT_EQ(doc.Title(), "Tavish Fennic - [Untitled 1]");
    EXPECT_EQ(Server()->Name(), "Normal");  // every binding starts named Normal
    Server()->SetModified(1);
    EXPECT_EQ(doc.Title(), "Tavish Fennic - [Untitled 1 *]");

    host.answer = IDocumentHost::Answer::No;
    ASSERT_TRUE(doc.NewBlank());
    EXPECT_EQ(doc.Title(), "Tavish Fennic - [Untitled 2]");

    state->files.insert("/w/a.pgt", "PageletServer.FennicButton");
    ASSERT_TRUE(doc.Open("/w/a.pgt"));
    EXPECT_EQ(doc.Title(), "Tavish Fennic - [/w/a.pgt]");
    EXPECT_EQ(doc.UntitledCounter(), 2);

    ASSERT_TRUE(doc.NewFromTemplate("Shiny", "desc", "/w/a.pgt"));
    EXPECT_EQ(doc.Title(), "Tavish Fennic - [Shiny (Untitled 3)]");
    EXPECT_EQ(Server()->Name(), "Shiny");
    EXPECT_EQ(Server()->Description(), "desc");
    EXPECT_TRUE(Server()->Link().isEmpty());  // member 5 emptied
}

// The title said "Untitled 2" although the work had just been given a name.
TEST_F(DocumentTest, TitleShowsTheNameGivenUntilSaved) {
    ASSERT_TRUE(doc.Start());
    state->files["/t/Ocean.pgt"] = kWidgetServerProgID;
    ASSERT_TRUE(doc.NewFromTemplate("SignupCTA", "", "/t/Ocean.pgt"));
    EXPECT_EQ(doc.Title(), "Tavish Fennic - [SignupCTA (Untitled 2)]");
    ASSERT_TRUE(doc.NewBlank());
    EXPECT_EQ(doc.Title(), "Tavish Fennic - [Untitled 3]");
}

TEST_F(DocumentTest, CloseCurrentWorkAnswers) {
    ASSERT_TRUE(doc.Start());
    // Unmodified: nothing is asked.
    EXPECT_TRUE(doc.CloseCurrentWork());
    EXPECT_EQ(host.asked, 0);
    EXPECT_EQ(doc.Current(), nullptr);

    ASSERT_TRUE(doc.NewBlank());
    Server()->SetModified(1);
    host.answer = IDocumentHost::Answer::Cancel;
    EXPECT_FALSE(doc.CloseCurrentWork());
    ASSERT_NE(doc.Current(), nullptr);
    EXPECT_EQ(state->closedEditors, 1);  // only the first work's editor

    // Yes on an untitled work asks for a name; cancelling it keeps the work.
    host.answer = IDocumentHost::Answer::Yes;
    host.fileAnswer.clear();
    EXPECT_FALSE(doc.CloseCurrentWork());
    EXPECT_NE(doc.Current(), nullptr);
    EXPECT_TRUE(host.messages.isEmpty());

    // Yes with a failing save: the work stays, 62007 names the path.
    host.fileAnswer = "/w/b.pgt";
    state->saveSucceeds = false;
    EXPECT_FALSE(doc.CloseCurrentWork());
    EXPECT_NE(doc.Current(), nullptr);
    EXPECT_EQ(host.messages, QList<int>{Ids::SaveFailed});
    EXPECT_EQ(doc.CurrentPath(), "");
    EXPECT_EQ(Server()->Modified(), 1);

    state->saveSucceeds = true;
    EXPECT_TRUE(doc.CloseCurrentWork());
    EXPECT_EQ(state->saved, QStringList{"/w/b.pgt"});
}

TEST_F(DocumentTest, ProposedFileNames) {
    ASSERT_TRUE(doc.Start());
    ASSERT_TRUE(doc.NewBlank());
    ASSERT_TRUE(doc.NewBlank());
    Server()->SetName("");
    EXPECT_EQ(doc.ProposedFileName(), "Fennic3_PageletServer.FennicButton.pgt");
    Server()->SetName("Button1");
    EXPECT_EQ(doc.ProposedFileName(), "Button1_PageletServer.FennicButton.pgt");
    // A name read from a file cannot lead the dialog elsewhere.
    Server()->SetName("../x/y");
    EXPECT_EQ(doc.ProposedFileName(), ".._x_y_PageletServer.FennicButton.pgt");

    host.fileAnswer = "/w/c.pgt";
    Server()->SetName("Button1");
    EXPECT_TRUE(doc.SaveCurrentWork(false));
    EXPECT_EQ(host.proposed, "Button1_PageletServer.FennicButton.pgt");
    EXPECT_EQ(doc.CurrentPath(), "/w/c.pgt");
    // Saved work: Save does not ask again, Save As does.
    host.proposed.clear();
    EXPECT_TRUE(doc.SaveCurrentWork(false));
    EXPECT_TRUE(host.proposed.isEmpty());
    host.fileAnswer.clear();
    EXPECT_FALSE(doc.SaveCurrentWork(true));
    EXPECT_FALSE(host.proposed.isEmpty());
    EXPECT_EQ(doc.CurrentPath(), "/w/c.pgt");
}

TEST_F(DocumentTest, RefusesFilesOfAnotherComponent) {
    ASSERT_TRUE(doc.Start());
    Server()->SetName("Mine");
    Server()->SetModified(1);
    CPagelet* before = doc.Current();
    state->files.insert("/w/other.pgt", "PageletServer.OtherButton");
    state->files.insert("/w/case.pgt", "pageletserver.fennicbutton");

    for (const QString path : {"/w/other.pgt", "/w/case.pgt", "/w/missing.pgt"}) {
        host.messages.clear();
        EXPECT_FALSE(doc.Open(path)) << path.toStdString();
        EXPECT_EQ(host.messages, QList<int>{Ids::NotAValidConfigFile});
        EXPECT_EQ(host.lastArgs, QStringList{"Tavish Fennic"});
    }
    EXPECT_FALSE(doc.NewFromTemplate("X", "", "/w/case.pgt"));
    // The old work is untouched and nobody was asked to save it.
    EXPECT_EQ(doc.Current(), before);
    EXPECT_EQ(Server()->Name(), "Mine");
    EXPECT_EQ(Server()->Modified(), 1);
    EXPECT_EQ(host.asked, 0);
    EXPECT_EQ(state->closedEditors, 0);
    EXPECT_EQ(doc.UntitledCounter(), 1);
}

TEST_F(DocumentTest, FailedBindingLeavesOldWork) {
    ASSERT_TRUE(doc.Start());
    CPagelet* before = doc.Current();
    bindFails = true;
    EXPECT_FALSE(doc.NewBlank());
    EXPECT_EQ(host.messages, QList<int>{Ids::FailedToCreateObject});
    EXPECT_EQ(host.lastArgs, QStringList{"PageletServer.FennicButton"});
    EXPECT_EQ(doc.Current(), before);
    EXPECT_EQ(doc.Title(), "Tavish Fennic - [Untitled 1]");
}

TEST_F(DocumentTest, CancelledReplacementKeepsWork) {
    ASSERT_TRUE(doc.Start());
    Server()->SetModified(1);
    CPagelet* before = doc.Current();
    host.answer = IDocumentHost::Answer::Cancel;
    state->files.insert("/w/a.pgt", "PageletServer.FennicButton");
    EXPECT_FALSE(doc.Open("/w/a.pgt"));
    EXPECT_FALSE(doc.NewBlank());
    EXPECT_EQ(doc.Current(), before);
    EXPECT_EQ(doc.UntitledCounter(), 1);
    EXPECT_EQ(doc.CurrentPath(), "");
}

TEST_F(DocumentTest, StartFailsWithoutServer) {
    bindFails = true;
    EXPECT_FALSE(doc.Start());
    EXPECT_EQ(doc.UntitledCounter(), 0);
}

TEST_F(DocumentTest, RenameMarksModifiedAndToggleFlipsOption) {
    ASSERT_TRUE(doc.Start());
    doc.Rename("Big", "A big one");
    EXPECT_EQ(Server()->Name(), "Big");
    EXPECT_EQ(Server()->Modified(), 1);
    doc.ToggleOption();
    EXPECT_EQ(Server()->DarkPreview(), 1);
    doc.ToggleOption();
    EXPECT_EQ(Server()->DarkPreview(), 0);
}

TEST(MessageFormat, FormatsAndCuts) {
    EXPECT_EQ(FormatMessage(Ids::SaveFailed, {"/a/b.pgt"}), "An error occurred while saving to /a/b.pgt.");
    EXPECT_EQ(FormatMessageText("%d%% of %s", {"5", "x"}), "5% of x");
    EXPECT_EQ(FormatMessageText("%s and %s", {"one"}), "one and ");
    const QString longPath(600, u'p');
    const QString text = FormatMessage(Ids::SaveFailed, {longPath});
    EXPECT_EQ(text.size(), kMessageBufferChars);
    EXPECT_TRUE(text.startsWith("An error occurred while saving to ppp"));
    EXPECT_EQ(LoadStringResource(Ids::AppTitle), "Fennic");
}

}  // namespace
