#include "FakeServer.h"
#include "core/StringTable.h"
#include "core/WidgetDocument.h"
#include "core/TemplateLibrary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QByteArray kBegin = "========== Description Part Begin ==========";
const QByteArray kEnd = "========== Description Part End ==========";
const QString kProg = QStringLiteral("PageletServer.FennicButton");

void Write(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

TEST(TemplateBlock, MarkersKeysAndLineEnds) {
    // Lower-case markers count; a later key wins; CR LF and LF both end lines.
    auto block = ParseTemplateDescription("junk\r\n" + kBegin.toLower() +
                                          "\r\nTitle = My Button \r\n"
                                          "no equals sign\nDescription=first\nDescription = a = b\n"
                                          "progid = ignored\nProgID=pageletserver.fennicbutton\n" +
                                          kEnd.toLower() + "\nTitle = after the end\n");
    EXPECT_TRUE(block.found);
    EXPECT_EQ(block.title, "My Button");
    EXPECT_EQ(block.description, "a = b");
    EXPECT_EQ(block.progId, "pageletserver.fennicbutton");
    EXPECT_TRUE(IsValidTemplate(block, kProg));  // ProgID ignoring case

    // No End marker: read to the end of the file, last line without a break.
    block = ParseTemplateDescription(kBegin + "\nTitle = Open\nProgID = " + kProg.toUtf8());
    EXPECT_EQ(block.title, "Open");
    EXPECT_TRUE(IsValidTemplate(block, kProg));

    // A Begin line with trailing blanks is no marker.
    block = ParseTemplateDescription(kBegin + "  \nTitle = X\nProgID = " + kProg.toUtf8() + "\n");
    EXPECT_FALSE(block.found);

    // An empty title or another server's ProgID is not listed.
    block = ParseTemplateDescription(kBegin + "\nTitle=\nProgID = " + kProg.toUtf8() + "\n");
    EXPECT_TRUE(block.title.isEmpty());
    EXPECT_FALSE(IsValidTemplate(block, kProg));
    block = ParseTemplateDescription(kBegin + "\nTitle = T\nProgID = PageletServer.Other\n");
    EXPECT_FALSE(IsValidTemplate(block, kProg));
}

TEST(TemplateLibrary, EnumeratesValidTemplatesOnly) {
    QTemporaryDir dir;
    const QByteArray tail = "\nProgID = " + kProg.toUtf8() + "\n" + kEnd + "\n[Button]\n";
    Write(dir.filePath("A_" + kProg + ".pgt"), kBegin + "\nTitle = Alpha\nDescription = first" + tail);
    Write(dir.filePath("b.pgt"), kBegin + "\nTitle = Beta" + tail);
    Write(dir.filePath("c.pgt"), kBegin + "\nTitle =" + tail);
    Write(dir.filePath("d.pgt"), "Title = no block" + tail);
    Write(dir.filePath("e.txt"), kBegin + "\nTitle = Not a pgt" + tail);
    ASSERT_TRUE(QDir(dir.path()).mkdir("f.pgt"));

    CTemplateList list;
    list.titles << "stale";
    EnumerateTemplates(dir.path(), kProg, list);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.titles, QStringList({"Alpha", "Beta"}));
    EXPECT_EQ(list.descriptions, QStringList({"first", ""}));
    EXPECT_EQ(list.paths.first(), QDir(dir.path()).filePath("A_" + kProg + ".pgt"));

    list.RemoveAt(0);
    EXPECT_EQ(list.titles, QStringList({"Beta"}));
    EXPECT_EQ(list.paths.size(), 1);

    EXPECT_EQ(TemplateFilePath("/srv/x", "Gradient", kProg), "/srv/x/Gradient_PageletServer.FennicButton.pgt");
}

// Folders of an installed copy: the server's folder read-only, the user's
// own beside it. Each holds a file of every kind that matters to listing.
class TemplateFoldersTest : public ::testing::Test {
protected:
    QTemporaryDir shipped;
    QTemporaryDir user;
    TemplateFolders installed;

    static QByteArray Template(const QString& title, const QString& progId = kProg) {
        return kBegin + "\nTitle = " + title.toUtf8() + "\nDescription = of " + title.toUtf8() +
               "\nProgID = " + progId.toUtf8() + "\n" + kEnd + "\n[Button]\n";
    }
    QString Shipped(const QString& name) const { return shipped.filePath(name + "_" + kProg + ".pgt"); }
    QString User(const QString& name) const { return user.filePath(name + "_" + kProg + ".pgt"); }

    void SetUp() override {
        Write(Shipped("Alpha"), Template("Alpha"));
        Write(Shipped("Beta"), Template("Beta"));
        Write(Shipped("gamma"), Template("gamma"));
        Write(User("Beta"), Template("My Beta"));                        // hides the shipped Beta
        Write(User("gamma"), Template("Other", "PageletServer.Other"));  // not listed, hides nothing
        Write(User("Delta"), Template("Delta"));
        installed = {shipped.path(), user.path(), false};
    }
};

TEST_F(TemplateFoldersTest, InstalledListingMergesAndTheUsersCopyWins) {
    CTemplateList list;
    EnumerateTemplates(installed, kProg, list);
    EXPECT_EQ(list.titles, QStringList({"Alpha", "My Beta", "Delta", "gamma"}));
    EXPECT_EQ(list.descriptions, QStringList({"of Alpha", "of My Beta", "of Delta", "of gamma"}));
    EXPECT_EQ(list.paths, QStringList({Shipped("Alpha"), User("Beta"), User("Delta"), Shipped("gamma")}));
    EXPECT_EQ(list.readOnly, QList<bool>({true, false, false, true}));
    list.RemoveAt(0);
    EXPECT_FALSE(list.IsReadOnly(0));
    EXPECT_TRUE(list.IsReadOnly(2));
    EXPECT_FALSE(list.IsReadOnly(3));  // past the end

    // The user's folder need not exist before the first save.
    TemplateFolders fresh{shipped.path(), user.filePath("not yet"), false};
    EnumerateTemplates(fresh, kProg, list);
    EXPECT_EQ(list.titles, QStringList({"Alpha", "Beta", "gamma"}));

    // A writable server folder is all there is, whatever else is named.
    const TemplateFolders portable{shipped.path(), user.path(), true};
    EnumerateTemplates(portable, kProg, list);
    EXPECT_EQ(list.titles, QStringList({"Alpha", "Beta", "gamma"}));
    EXPECT_EQ(list.readOnly, QList<bool>({false, false, false}));
}

TEST_F(TemplateFoldersTest, DeletingTheUsersCopyShowsTheShippedOneAgain) {
    EXPECT_EQ(ShadowedTemplatePath(installed, User("Beta"), kProg), Shipped("Beta"));
    EXPECT_TRUE(ShadowedTemplatePath(installed, User("Delta"), kProg).isEmpty());
    EXPECT_TRUE(ShadowedTemplatePath(installed, Shipped("Alpha"), kProg).isEmpty());
    Write(Shipped("Delta"), Template("Delta", "PageletServer.Other"));
    EXPECT_TRUE(ShadowedTemplatePath(installed, User("Delta"), kProg).isEmpty());  // not a template of ours
    const TemplateFolders portable{shipped.path(), QString(), true};
    EXPECT_TRUE(ShadowedTemplatePath(portable, User("Beta"), kProg).isEmpty());
}

TEST_F(TemplateFoldersTest, FoldersFollowTheWritableCheck) {
    QTemporaryDir data;
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    const auto answer = [](bool writable) { return [writable](const QString&) { return writable; }; };

    TemplateFolders folders = MakeTemplateFolders(shipped.path(), answer(true));
    EXPECT_TRUE(folders.shippedWritable);
    EXPECT_TRUE(folders.user.isEmpty());
    EXPECT_EQ(folders.SaveFolder(), shipped.path());

    folders = MakeTemplateFolders(shipped.path(), answer(false));
    EXPECT_FALSE(folders.shippedWritable);
    EXPECT_EQ(folders.user, data.path() + "/Meridex/Tavish Fennic/Templates");
    EXPECT_EQ(folders.SaveFolder(), folders.user);
    EXPECT_EQ(TemplateSavePath(folders, "Alpha", kProg), folders.user + "/Alpha_" + kProg + ".pgt");

    // An embedded server without a folder keeps to the one folder.
    EXPECT_TRUE(MakeTemplateFolders(QString(), answer(false)).shippedWritable);

    // The file system's own answer.
    EXPECT_TRUE(MakeTemplateFolders(shipped.path()).shippedWritable);
    EXPECT_FALSE(IsFolderWritable(shipped.filePath("missing")));
    EXPECT_FALSE(IsFolderWritable(Shipped("Alpha")));  // a file
    QFile::setPermissions(shipped.path(), QFile::ReadOwner | QFile::ExeOwner);
    if (!QFile(shipped.filePath("probe")).open(QIODevice::WriteOnly)) {  // not as root
        EXPECT_FALSE(IsFolderWritable(shipped.path()));
    }
    QFile::setPermissions(shipped.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    if (oldData.isNull()) qunsetenv("XDG_DATA_HOME");
    else qputenv("XDG_DATA_HOME", oldData);
}

TEST(TemplateLibrary, ListStyleOtherThanOneOrThreeReadsAsReport) {
    QTemporaryDir dir;
    QSettings settings(dir.filePath("profile.ini"), QSettings::IniFormat);
    EXPECT_EQ(ReadTemplateDialogSettings(settings, TemplateSection::NewWidget).listStyle, kReportStyle);
    EXPECT_TRUE(ReadTemplateDialogSettings(settings, TemplateSection::NewWidget).preview);
    for (int stored : {0, 2, 4, -1}) {
        settings.setValue("Templates/List Style", stored);
        EXPECT_EQ(ReadTemplateDialogSettings(settings, TemplateSection::Templates).listStyle, kReportStyle) << stored;
    }
    WriteTemplateDialogSettings(settings, TemplateSection::Templates, {kListStyle, false}, true);
    WriteTemplateDialogSettings(settings, TemplateSection::SaveAsTemplates, {kListStyle, false}, false);
    EXPECT_EQ(ReadTemplateDialogSettings(settings, TemplateSection::Templates).listStyle, kListStyle);
    EXPECT_FALSE(ReadTemplateDialogSettings(settings, TemplateSection::Templates).preview);
    EXPECT_FALSE(settings.contains("Save As Templates/Preview"));
}

struct QuietHost : IDocumentHost {
    QList<int> messages;
    Answer AskSaveChanges() override { return Answer::No; }
    void ShowMessage(int id, const QStringList&, MessageIcon) override { messages << id; }
    QString AskFileName(bool, const QString&) override { return {}; }
    bool ShowEditor() override { return true; }
};

TEST(TemplateLibrary, SaveAsTemplateLeavesTheWorkAsItWas) {
    auto state = std::make_shared<FakeServerState>();
    QuietHost host;
    CWidgetDocument doc(host, [state]() {
        auto binding = std::make_unique<CPagelet>();
        binding->Attach(std::make_unique<FakeServer>(state), kWidgetServerProgID);
        return binding;
    });
    ASSERT_TRUE(doc.Start());
    IWidgetServer* server = doc.Current()->Server();
    server->SetName("Mine");
    server->SetDescription("my own");
    server->SetModified(1);

    EXPECT_TRUE(doc.SaveAsTemplate("Shiny", "for all", "/srv/Shiny_x.pgt"));
    EXPECT_EQ(state->saved, QStringList({"/srv/Shiny_x.pgt"}));
    EXPECT_EQ(host.messages, QList<int>({Ids::TemplateSaved}));
    EXPECT_EQ(server->Name(), "Mine");
    EXPECT_EQ(server->Description(), "my own");
    EXPECT_EQ(server->Modified(), 1);
    EXPECT_TRUE(doc.CurrentPath().isEmpty());

    state->saveSucceeds = false;
    EXPECT_FALSE(doc.SaveAsTemplate("Shiny", "", "/srv/Shiny_x.pgt"));
    EXPECT_EQ(host.messages.last(), Ids::TemplateSaveFailed);
    EXPECT_EQ(server->Name(), "Mine");
}

}  // namespace
