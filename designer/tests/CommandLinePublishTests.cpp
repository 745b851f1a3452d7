// Publishing in a build gated on the editor's checks: a failing check names
// its state, page, figure and what is needed, and nothing is written; a
// server without checks cannot pass the gate by saying nothing.

#include "FakeServer.h"
#include "core/CommandLinePublish.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray kPage =
    "<!DOCTYPE html>\n<html><head><title>t</title></head>\n<body><p>Go <!-- button --></p></body></html>\n";

class GateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        work = dir.filePath("Gate_PageletServer.FennicButton.pgt");
        WriteBytes(work, "work");
        page = dir.filePath("page.html");
        WriteBytes(page, kPage);
        state->files.insert(work, kWidgetServerProgID);
        state->codeParts = {{"style", "<style>.gate {}</style>\n"},
                            {"cursor", "<a class=\"gate\" href=\"x\">Go</a>\n"}};
        request.work = work;
        request.outDir = dir.filePath("out");
        request.pages = {page};
        request.check = true;
    }
    PublishResult Publish() {
        return PublishFromCommandLine(request, [this]() {
            auto binding = std::make_unique<CPagelet>();
            binding->Attach(std::make_unique<FakeServer>(state), kWidgetServerProgID);
            return binding;
        });
    }
    void ExpectNothingWritten() {
        EXPECT_FALSE(QFileInfo::exists(request.outDir));
        EXPECT_EQ(ReadBytes(page), kPage);
    }

    QTemporaryDir dir;
    QString work;
    QString page;
    std::shared_ptr<FakeServerState> state = std::make_shared<FakeServerState>();
    PublishRequest request;
};

TEST_F(GateTest, EachFailingCheckIsNamedAndNothingIsWritten) {
    using R = WidgetCheck::Result;
    state->checks = QList<WidgetCheck>{
        {"normal", "", "text on fill", "7.10:1", "4.50:1", R::Pass},
        {"hover", "", "text on fill", "2.84:1", "4.50:1", R::Fail},
        {"focus", "dark", "ring on a dark page", "1.78:1", "3.00:1", R::Fail},
        {"", "", "target size", "80 \u00d7 32 px", "24 \u00d7 24 px", R::Advice},
    };
    const PublishResult result = Publish();
    EXPECT_FALSE(result.ok);
    const QString error = result.error;
    EXPECT_TRUE(error.contains("fails 2 of the editor's 4 checks")) << error.toStdString();
    EXPECT_TRUE(error.contains("hover, any page, text on fill: 2.84:1 (needs 4.50:1)")) << error.toStdString();
    EXPECT_TRUE(error.contains("focus, dark page, ring on a dark page: 1.78:1 (needs 3.00:1)")) << error.toStdString();
    EXPECT_FALSE(error.contains("normal")) << error.toStdString();
    EXPECT_FALSE(error.contains("target size")) << error.toStdString();
    EXPECT_TRUE(result.written.isEmpty());
    ExpectNothingWritten();
}

TEST_F(GateTest, AServerWithoutChecksDoesNotPass) {
    const PublishResult result = Publish();
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("no checks")) << result.error.toStdString();
    ExpectNothingWritten();
    // An empty list is no better than none.
    state->checks = QList<WidgetCheck>{};
    EXPECT_FALSE(Publish().ok);
    ExpectNothingWritten();
}

TEST_F(GateTest, PassingChecksPublishAndSaySo) {
    state->checks = QList<WidgetCheck>{{"normal", "", "text on fill", "7.10:1", "4.50:1", WidgetCheck::Result::Pass},
                                       {"", "", "target size", "80 \u00d7 32 px", "24 \u00d7 24 px",
                                        WidgetCheck::Result::Advice}};
    const PublishResult result = Publish();
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.checked, "all 2 checks pass (1 with advice: see the editor)");
    EXPECT_TRUE(QFileInfo::exists(QDir(request.outDir).filePath("Gate.fennic.html")));
    EXPECT_TRUE(ReadBytes(page).contains("<a class=\"gate\""));
    // Without the gate, checks are not asked for at all.
    request.check = false;
    state->checks.reset();
    WriteBytes(page, kPage);
    const PublishResult plain = Publish();
    EXPECT_TRUE(plain.ok) << plain.error.toStdString();
    EXPECT_TRUE(plain.checked.isEmpty());
}

// A picture that could not go beside the page was passed over in silence:
// the page named a file that was not there, and the build went on.
TEST_F(GateTest, APictureThatCannotGoBesideThePageFailsAndLeavesThePage) {
    request.check = false;
    const QString source = dir.filePath("server");
    ASSERT_TRUE(QDir().mkpath(source));
    // The picture the server names is not there to copy.
    state->supportFiles = {{"pic.svg", source + "/", ""}};
    const QString site = dir.filePath("site");
    ASSERT_TRUE(QDir().mkpath(site));
    const QString sitePage = site + "/index.html";
    WriteBytes(sitePage, kPage);
    request.pages = {sitePage};
    const PublishResult result = Publish();
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains(source + "/pic.svg")) << result.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(request.outDir));
    EXPECT_EQ(ReadBytes(sitePage), kPage);
}

// Beside a page, a file of the author's named like the picture was replaced
// and not even listed; --out replaced a page named like the work before the
// pages were read. Now nothing of the author's is replaced, every --into
// page is read and checked first, and every file written is listed.
class SiteTest : public GateTest {
protected:
    void SetUp() override {
        GateTest::SetUp();
        request.check = false;
        source = dir.filePath("server");
        ASSERT_TRUE(QDir().mkpath(source));
        WriteBytes(source + "/pic.svg", "<?xml version=\"1.0\"?>\n<!-- " + OwnerMark(work).toUtf8() + " -->\n<svg/>");
        state->supportFiles = {{"pic.svg", source + "/", ""}};
        state->codeParts = {{"style", "<style>\n.gate { color: red; }\n</style>\n"},
                            {"cursor", "<object data=\"pic.svg\">Go</object>\n"}};
        site = dir.filePath("site");
        ASSERT_TRUE(QDir().mkpath(site));
        page = site + "/index.html";
        WriteBytes(page, kPage);
        request.pages = {page};
    }
    QString source;
    QString site;
};

TEST_F(SiteTest, AFileOfTheAuthorsBesideThePageIsKeptAndTheCodeNamesTheCopy) {
    WriteBytes(site + "/pic.svg", "<svg>the author's</svg>");
    const PublishResult result = Publish();
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(ReadBytes(site + "/pic.svg"), "<svg>the author's</svg>");
    EXPECT_TRUE(ReadBytes(page).contains("data=\"pic-2.svg\"")) << ReadBytes(page).toStdString();
    const QString out = QFileInfo(request.outDir).absoluteFilePath();
    EXPECT_EQ(result.written, QStringList({out + "/Gate.head.html", out + "/Gate.body.html", out + "/Gate.fennic.html",
                                           out + "/pic.svg", site + "/pic-2.svg", page}));
    EXPECT_EQ(result.notes.size(), 1);
    // Published again, the copy is ours: replaced, not numbered on.
    WriteBytes(page, kPage);
    const PublishResult again = Publish();
    ASSERT_TRUE(again.ok) << again.error.toStdString();
    EXPECT_TRUE(again.written.contains(site + "/pic-2.svg"));
    EXPECT_FALSE(QFileInfo::exists(site + "/pic-3.svg"));
    for (const QString& snippet : {out + "/Gate.head.html", out + "/Gate.fennic.html"})
        EXPECT_EQ(OwnerMarkOf(snippet), OwnerMark(work)) << snippet.toStdString();
}

TEST_F(SiteTest, OutRefusesFilesNotOursUnlessForcedAndPagesAreCheckedFirst) {
    ASSERT_TRUE(QDir().mkpath(request.outDir));
    WriteBytes(request.outDir + "/Gate.head.html", "<p>mine</p>");
    PublishResult result = Publish();
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("Gate.head.html")) << result.error.toStdString();
    EXPECT_TRUE(result.written.isEmpty());
    EXPECT_EQ(QDir(request.outDir).entryList(QDir::Files), QStringList({"Gate.head.html"}));
    EXPECT_EQ(ReadBytes(page), kPage);

    // A second page without the marker: the first is not touched either.
    request.force = true;
    const QString other = site + "/other.html";
    WriteBytes(other, "<p>no marker</p>");
    request.pages = {page, other};
    result = Publish();
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.written.isEmpty());
    EXPECT_EQ(ReadBytes(page), kPage);
    EXPECT_EQ(ReadBytes(request.outDir + "/Gate.head.html"), "<p>mine</p>");
    EXPECT_FALSE(QFileInfo::exists(site + "/pic.svg"));

    // The same page twice takes two markers, in one write.
    WriteBytes(page, QByteArray(kPage).replace("<!-- button -->", "<!-- button --> <!-- button -->"));
    request.pages = {page, page};
    result = Publish();
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(ReadBytes(page).count("<object"), 2);
    EXPECT_EQ(result.written.count(page), 1);
    EXPECT_TRUE(ReadBytes(request.outDir + "/Gate.head.html").contains(".gate"));
}

TEST_F(SiteTest, StyleSheetLiesBesideThePageAndTheHeadLinksIt) {
    request.style = StyleForm::File;
    const PublishResult result = Publish();
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    const QStringList sheets = QDir(site).entryList({"gate-*.css"}, QDir::Files);
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_TRUE(ReadBytes(site + "/" + sheets[0]).contains(".gate { color: red; }"));
    EXPECT_EQ(OwnerMarkOf(site + "/" + sheets[0]), OwnerMark(work));
    const QByteArray html = ReadBytes(page);
    EXPECT_TRUE(html.contains("<link rel=\"stylesheet\" href=\"" + sheets[0].toUtf8() + "\">\n</head>"))
        << html.toStdString();
    EXPECT_FALSE(html.contains("<style>"));
    EXPECT_TRUE(QFileInfo::exists(request.outDir + "/" + sheets[0]));
    EXPECT_TRUE(result.written.contains(site + "/" + sheets[0]));
}

TEST_F(SiteTest, FilesAreNamedUnderThePagesBaseOrTheAuthorIsTold) {
    ASSERT_TRUE(QDir().mkpath(site + "/assets"));
    WriteBytes(page, QByteArray(kPage).replace("<title>", "<base href=\"assets/\"><title>"));
    PublishResult result = Publish();
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(ReadBytes(page).contains("data=\"../pic.svg\"")) << ReadBytes(page).toStdString();
    EXPECT_TRUE(result.notes.isEmpty());

    WriteBytes(page, QByteArray(kPage).replace("<title>", "<base href=\"/static/\"><title>"));
    result = Publish();
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(ReadBytes(page).contains("data=\"pic.svg\""));
    ASSERT_EQ(result.notes.size(), 1);
    EXPECT_TRUE(result.notes[0].contains("/static/"));
}

// The program itself, as a build runs it. Before, --check after --publish
// ran the setup check instead and published nothing, with exit status 0.
struct ProgramRun {
    int status;
    QString out;
    QString err;
};
ProgramRun Program(const QStringList& args) {
    QProcess p;
    p.start(FENNIC_PROGRAM, args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

const QString kTemplates = QStringLiteral(FENNIC_SOURCE_RESOURCES "/PageletServer/");

TEST(PublishCheck, AShippedTemplatePassesAndIsPublished) {
    QTemporaryDir dir;
    const QString page = dir.filePath("page.html");
    WriteBytes(page, kPage);
    const ProgramRun run = Program({"--publish", kTemplates + "Ocean_PageletServer.FennicButton.pgt", "--form", "link",
                                    "--out", dir.filePath("out"), "--into", page, "--check"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QRegularExpression("checks: all \\d+ checks pass"))) << run.out.toStdString();
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("out/Ocean.fennic.html")));
    EXPECT_NE(ReadBytes(page), kPage);
}

TEST(PublishCheck, AFailingWorkNamesEveryFailureAndWritesNothing) {
    QTemporaryDir dir;
    QByteArray text = ReadBytes(kTemplates + "Ocean_PageletServer.FennicButton.pgt");
    ASSERT_FALSE(text.isEmpty());
    // A pale hover text, and the SVG form without an address.
    const qsizetype hover = text.indexOf("[Hover]");
    ASSERT_GE(hover, 0);
    const qsizetype textAt = text.indexOf("Text = ", hover);
    text.replace(textAt, QByteArray("Text = #ffffff").size(), "Text = #8fb3e8");
    text.replace("Link = \"https://www.example.com/\"", "Link = \"\"");
    const QString work = dir.filePath("Pale_PageletServer.FennicButton.pgt");
    WriteBytes(work, text);
    const QString page = dir.filePath("page.html");
    WriteBytes(page, kPage);

    const ProgramRun run = Program(
        {"--publish", work, "--form", "svg", "--out", dir.filePath("out"), "--into", page, "--check"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("fails 2 of")) << run.err.toStdString();
    EXPECT_TRUE(
        run.err.contains(QRegularExpression(R"(hover, any page, text on fill: [0-3]\.\d\d:1 \(needs 4\.50:1\))")))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("every state, any page, keyboard: ")) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("out")));
    EXPECT_EQ(ReadBytes(page), kPage);
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    // The same work published without the gate goes through.
    EXPECT_EQ(Program({"--publish", work, "--form", "svg", "--out", dir.filePath("out")}).status, 0);
}

}  // namespace
