#include "button/editor/ButtonEditor.h"
#include "button/model/ButtonStyle.h"
#include "button/editor/FennicButtonServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QCoreApplication>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QWheelEvent>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QWidget>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

QString ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool WellFormed(const QString& xml) {
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) reader.readNext();
    return !reader.hasError();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(PgtFormat, RoundTripsEverySetting) {
    ButtonStyle s;
    s.title = "Shiny";
    s.description = "two\nlines";  // descriptions live on one line
    s.progId = "PageletServer.FennicButton";
    s.label = " Say \"hi\"\t\\ ";
    s.fontFamily = "DejaVu Serif";
    s.fontSize = 22;
    s.bold = false;
    s.italic = true;
    s.fill = FillKind::Solid;
    s.shape = ButtonShape::Ellipse;
    s.cornerRadius = 3;
    s.borderWidth = 4;
    s.borderColor = QColor(1, 2, 3);
    s.width = 200;
    s.height = 50;
    s.padding = 7;
    s.link = "https://example.org/a?b=c&d=e";
    s.target = "_blank";
    s.tooltip = "tip";
    s.altText = "alt";
    s.form = OutputForm::Button;
    s.buttonType = "submit";
    s.buttonName = "choice \"a\"";
    s.buttonValue = "yes";
    s.states[1].fill2 = QColor(9, 8, 7);
    const auto back = Pgt::Read(Pgt::Write(s));
    ASSERT_TRUE(back);
    ButtonStyle expected = s;
    expected.description = "two lines";
    EXPECT_TRUE(*back == expected);
}

// Before the <button> form had a type, a work in it with an address
// published a link; it keeps publishing one.
TEST(PgtFormat, OlderButtonWorksWithAnAddressStayLinks) {
    ButtonStyle s;
    s.form = OutputForm::Button;
    s.link = "https://example.org/";
    QString text = Pgt::Write(s);
    EXPECT_TRUE(text.contains("ButtonType = button\r\n"));
    EXPECT_EQ(Pgt::Read(text)->form, OutputForm::Button);
    text.remove("ButtonType = button\r\n");
    EXPECT_EQ(Pgt::Read(text)->form, OutputForm::Link);
    s.link.clear();
    EXPECT_EQ(Pgt::Read(Pgt::Write(s).remove("ButtonType = button\r\n"))->form, OutputForm::Button);
    EXPECT_EQ(Pgt::Read(Pgt::Write(s).replace("ButtonType = button", "ButtonType = <script>"))->buttonType, "button");
}

TEST(PgtFormat, DescriptionBlockRules) {
    // Lines before the marker are ignored, markers ignore case, first '='
    // splits, values are trimmed, later keys win, keys are case-sensitive.
    const QString text =
        "junk = 1\n"
        "========== description part begin ==========\r\n"
        "Title = My Button\r\n"
        "title = ignored\n"
        "Description =  a = b  \n"
        "no equals sign\n"
        "ProgID = First\n"
        "ProgID = PageletServer.FennicButton\n"
        "========== Description Part End ==========\n"
        "Title = after the block\n";
    const auto s = Pgt::Read(text);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->title, "My Button");
    EXPECT_EQ(s->description, "a = b");
    EXPECT_EQ(s->progId, "PageletServer.FennicButton");

    // A begin line with trailing blanks is no marker.
    EXPECT_FALSE(Pgt::Read("========== Description Part Begin ========== \nTitle = x\n"));
    // Without an end marker the block runs to the end of the file.
    const auto open = Pgt::Read("========== Description Part Begin ==========\nTitle=\nProgID = P");
    ASSERT_TRUE(open);
    EXPECT_EQ(open->title, "");
    EXPECT_EQ(open->progId, "P");
}

TEST(PgtFormat, BadValuesKeepDefaultsOrAreClamped) {
    const auto s = Pgt::Read(
        "========== Description Part Begin ==========\n========== Description Part End ==========\n"
        "[Button]\nFontSize = 99999\nWidth = -5\nBorderColor = not a colour\nHeight = twelve\n");
    ASSERT_TRUE(s);
    const ButtonStyle defaults;
    EXPECT_EQ(s->fontSize, 200);
    EXPECT_EQ(s->width, 8);
    EXPECT_EQ(s->borderColor, defaults.borderColor);
    EXPECT_EQ(s->height, defaults.height);
}

TEST(ButtonOutput, SvgCarriesStatesAndEscapes) {
    ButtonStyle s;
    s.label = "Fish & <Chips>";
    s.link = "https://example.org/?a=1&b=\"2\"";
    s.altText = "Order fish";
    const QString svg = ButtonOutput::InteractiveSvg(s);
    EXPECT_TRUE(svg.contains(".fb:hover .fb-face"));
    EXPECT_TRUE(svg.contains(".fb:active .fb-face"));
    EXPECT_TRUE(svg.contains(".fb:focus-visible .fb-ring"));  // keyboard users see a ring of its own
    EXPECT_TRUE(svg.contains("Fish &amp; &lt;Chips&gt;"));
    EXPECT_TRUE(svg.contains("href=\"https://example.org/?a=1&amp;b=&quot;2&quot;\""));
    EXPECT_TRUE(svg.contains("target=\"_top\""));
    EXPECT_TRUE(svg.contains("aria-label=\"Order fish\""));
    EXPECT_FALSE(svg.contains("Fish & <"));
    // Viewers without CSS still get a valid picture of the normal state.
    EXPECT_TRUE(QSvgRenderer(svg.toUtf8()).isValid());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(QSvgRenderer(ButtonOutput::StaticSvg(s, ButtonState(i)).toUtf8()).isValid());

    // Without a link nothing in the picture could act on a key: it takes no
    // focus and is announced as a picture.
    s.link.clear();
    EXPECT_FALSE(ButtonOutput::InteractiveSvg(s).contains("tabindex"));
    EXPECT_TRUE(QSvgRenderer(ButtonOutput::InteractiveSvg(s).toUtf8()).isValid());
}

TEST(ButtonOutput, CharactersXmlForbidsAreLeftOut) {
    // U+FFFE and U+FFFF are valid UTF-8 in a .pgt file but no XML characters;
    // a fish (a surrogate pair) is one.
    const auto s = Pgt::Read(
        QString::fromUtf8("========== Description Part Begin ==========\n========== Description Part End ==========\n"
                          "[Button]\nLabel = \"Fish\xef\xbf\xbe \xf0\x9f\x90\x9f\"\nTooltip = \"Go\xef\xbf\xbf\"\n"
                          "Link = \"next.htm\"\n"));
    ASSERT_TRUE(s);
    ButtonStyle style = *s;
    // A lone surrogate can only be typed, and at either end of a pair.
    style.altText = QStringLiteral("Fish") + QChar(0xd83d) + QChar(0xdc1f) + QChar(0xdc1f) + QChar(0xd83d);
    for (const bool withAlt : {false, true}) {
        SCOPED_TRACE(withAlt);
        const ButtonStyle& b = withAlt ? style : *s;
        const QString svg = ButtonOutput::InteractiveSvg(b);
        EXPECT_TRUE(WellFormed(svg));
        EXPECT_TRUE(svg.contains(QString::fromUtf8("Fish \xf0\x9f\x90\x9f")));
        EXPECT_TRUE(svg.contains("<title>Go</title>"));
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(WellFormed(ButtonOutput::StaticSvg(b, ButtonState(i))));
        EXPECT_TRUE(WellFormed(ButtonOutput::CursorCode(b, "Fish.svg")));
    }
    EXPECT_TRUE(ButtonOutput::InteractiveSvg(style).contains(QString::fromUtf8("aria-label=\"Fish\xf0\x9f\x90\x9f\"")));
}

TEST(ButtonOutput, CursorCodeEmbedsByRelativeName) {
    ButtonStyle s;
    s.link = "next.htm";
    s.target = "_blank";
    s.label = "Next";
    s.tooltip = "Go on";
    const QString html = ButtonOutput::CursorCode(s, "My Button_PageletServer.FennicButton.svg");
    EXPECT_TRUE(html.contains("<object class=\"" + ButtonOutput::HtmlClass(s) + "\" type=\"image/svg+xml\""));
    EXPECT_TRUE(html.contains("data=\"My%20Button_PageletServer.FennicButton.svg\""));
    EXPECT_TRUE(html.contains("aria-label=\"Next\""));  // alt text falls back to the label
    EXPECT_TRUE(html.contains("title=\"Go on\""));
    EXPECT_TRUE(html.contains("<a href=\"next.htm\" target=\"_blank\">Next</a>"));
    EXPECT_FALSE(html.contains('/' + QString("tmp")));
}

// The file named one family and nothing else: a visitor without it got the
// browser's default, often a serif.
TEST(ButtonOutput, FontStackEndsInAGenericFamily) {
    EXPECT_EQ(ButtonOutput::FontStack("DejaVu Sans"), "'DejaVu Sans', sans-serif");
    EXPECT_EQ(ButtonOutput::FontStack("DejaVu Serif"), "'DejaVu Serif', serif");
    EXPECT_EQ(ButtonOutput::FontStack("Liberation Mono"), "'Liberation Mono', monospace");
    EXPECT_EQ(ButtonOutput::FontStack("Sans-Serif"), "sans-serif");
    EXPECT_EQ(ButtonOutput::FontStack(""), "sans-serif");
    EXPECT_EQ(ButtonOutput::FontStack("Evil', x; \"y"), "'Evil x y', sans-serif");
    ButtonStyle s;
    s.fontFamily = "Cantarell";
    const QString svg = ButtonOutput::InteractiveSvg(s);
    QXmlStreamReader reader(svg);
    QString family;
    while (!reader.atEnd() && family.isEmpty()) {
        if (reader.readNext() == QXmlStreamReader::StartElement)
            family = reader.attributes().value("font-family").toString();
    }
    EXPECT_EQ(family, "'Cantarell', sans-serif");
    EXPECT_TRUE(WellFormed(svg));
}

TEST(ButtonOutput, SizeGrowsForLongLabels) {
    ButtonStyle s;
    s.width = 20;
    s.padding = 10;
    s.label = "A rather long label for a button";
    const QSize size = ButtonOutput::EffectiveSize(s);
    EXPECT_GT(size.width(), 100);
    EXPECT_EQ(size.height(), s.height);
}

// Most of these are about the SVG form and its support file; new work
// starts in the link form.
class ServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ButtonStyle s = server.Style();
        s.form = OutputForm::Svg;
        server.SetStyle(s);
        server.SetModified(0);
    }
    QTemporaryDir dir;
    CFennicButtonServer server;
};

TEST_F(ServerTest, SaveWritesPgtAndSvgAndSupportFile) {
    EXPECT_EQ(server.GetSupportFileCount(), 0);  // not yet saved
    EXPECT_EQ(server.GetCodePartKind(0), "style");
    EXPECT_EQ(server.GetCodePartKind(1), "cursor");
    ButtonStyle s = server.Style();
    s.title = "Button1";
    s.label = "Hello";
    server.SetStyle(s);
    EXPECT_EQ(server.Modified(), 1);

    const QString pgt = dir.filePath("Button1_PageletServer.FennicButton.pgt");
    ASSERT_TRUE(server.Save(pgt));
    EXPECT_TRUE(ReadAll(pgt).startsWith("========== Description Part Begin ==========\r\nTitle = Button1\r\n"));
    // The file that goes onto the site has a short, web-safe name; the
    // capital B it lost is made up for by a short hash.
    const QString name = QFileInfo(CFennicButtonServer::SupportFileFor(pgt)).fileName();
    EXPECT_TRUE(name.startsWith("button1-") && name.endsWith(".svg")) << name.toStdString();
    EXPECT_TRUE(ReadAll(dir.filePath(name)).contains(">Hello</text>"));
    ASSERT_EQ(server.GetSupportFileCount(), 1);
    EXPECT_EQ(server.GetSupportFileName(0), name);
    EXPECT_EQ(QDir::fromNativeSeparators(server.GetSupportFilePath(0)), dir.path() + "/");
    EXPECT_TRUE(server.GetCodePartText(1, 1).contains("data=\"" + name + "\""));

    CFennicButtonServer other;
    ASSERT_TRUE(other.Load(pgt));
    EXPECT_EQ(other.Name(), "Button1");
    EXPECT_EQ(other.Style().label, "Hello");
    EXPECT_EQ(other.ProgID(), "PageletServer.FennicButton");
    EXPECT_EQ(other.Modified(), 0);
}

// Publishing unsaved edits with "No" to saving used to pair code of the new
// size and label with the old SVG.
TEST_F(ServerTest, CodeDescribesTheSupportFileNotUnsavedEdits) {
    ButtonStyle s = server.Style();
    s.label = "Old";
    server.SetStyle(s);
    const QString pgt = dir.filePath("b.pgt");
    ASSERT_TRUE(server.Save(pgt));
    const QString saved = server.GetCodePartText(1, 1);
    s.label = "A much longer new label than before";
    s.width = 900;
    s.height = 90;
    server.SetStyle(s);
    EXPECT_EQ(server.GetCodePartText(1, 1), saved);
    EXPECT_TRUE(ReadAll(dir.filePath("b.svg")).contains(">Old</text>"));
    ASSERT_TRUE(server.Save(pgt));
    EXPECT_NE(server.GetCodePartText(1, 1), saved);
    // The picture keeps room around the face for the focus ring.
    EXPECT_TRUE(server.GetCodePartText(1, 1).contains(
        QStringLiteral("width=\"%1\"").arg(900 + 2 * ButtonOutput::kSvgRingRoom)));
}

TEST_F(ServerTest, ACopyLeavesTheWorksFileAlone) {
    const QString pgt = dir.filePath("work.pgt");
    ASSERT_TRUE(server.Save(pgt));
    ASSERT_TRUE(server.SaveCopy(dir.filePath("Shiny_PageletServer.FennicButton.pgt")));
    // A template copy needs no picture beside it.
    EXPECT_EQ(QDir(dir.path()).entryList({"*.svg"}, QDir::Files), QStringList({"work.svg"}));
    // Publishing still names and copies the work's own support file.
    EXPECT_EQ(server.GetSupportFileName(0), "work.svg");
    EXPECT_TRUE(server.GetCodePartText(1, 1).contains("data=\"work.svg\""));
}

TEST(SupportFileNames, ShortAndWebSafe) {
    EXPECT_EQ(ButtonOutput::WebSafeName("Ocean Btn"), "ocean-btn");
    EXPECT_EQ(ButtonOutput::WebSafeName("  Crème brûlée!! #2 "), "creme-brulee-2");
    EXPECT_EQ(ButtonOutput::WebSafeName("../../etc/passwd"), "etc-passwd");
    EXPECT_EQ(ButtonOutput::WebSafeName("\u6309\u94ae"), "button");  // nothing ASCII is left
    EXPECT_EQ(ButtonOutput::WebSafeName(QString(80, u'a')).size(), 40);
    // A title that is its own short name keeps it; one that loses case,
    // spaces or accents gets a hash of itself, so titles differing only in
    // case never share a file.
    const auto name = [](const char* pgt) { return QFileInfo(CFennicButtonServer::SupportFileFor(pgt)).fileName(); };
    EXPECT_EQ(name("/w/oceanbtn_PageletServer.FennicButton.pgt"), "oceanbtn.svg");
    EXPECT_TRUE(name("/w/OceanBtn_PageletServer.FennicButton.pgt")
                    .contains(QRegularExpression("^oceanbtn-[0-9a-f]{6}\\.svg$")));
    EXPECT_NE(name("/w/OceanBtn_PageletServer.FennicButton.pgt"), name("/w/OCEANBTN_PageletServer.FennicButton.pgt"));
    EXPECT_TRUE(name("/w/My Page.pgt").startsWith("my-page-"));
}

// A work saved by an older version (no recorded support file, its picture
// under the .pgt's own name) still publishes the file it has; its next save
// writes the picture under the new name and leaves the old file alone, since
// nothing marks it as the work's.
TEST_F(ServerTest, WorksOfTheOldNamingStillPublish) {
    const QString pgt = dir.filePath("old_PageletServer.FennicButton.pgt");
    ASSERT_TRUE(server.Save(pgt));
    QString text = ReadAll(pgt);
    text.remove(QRegularExpression("SupportFile = [^\r]*\r\n"));
    WriteAll(pgt, text.toUtf8());
    const QString legacy = dir.filePath("old_PageletServer.FennicButton.svg");
    WriteAll(legacy, "<svg xmlns=\"http://www.w3.org/2000/svg\"/>");
    ASSERT_TRUE(QFile::remove(dir.filePath("old.svg")));
    CFennicButtonServer reopened;
    ASSERT_TRUE(reopened.Load(pgt));
    ASSERT_EQ(reopened.GetSupportFileCount(), 1);
    EXPECT_EQ(reopened.GetSupportFileName(0), "old_PageletServer.FennicButton.svg");
    EXPECT_TRUE(reopened.GetCodePartText(1, 1).contains("data=\"old_PageletServer.FennicButton.svg\""));
    ASSERT_TRUE(reopened.Save(pgt));
    EXPECT_EQ(reopened.GetSupportFileName(0), "old.svg");
    EXPECT_EQ(QDir(dir.path()).entryList({"*.svg"}, QDir::Files),
              QStringList({"old.svg", "old_PageletServer.FennicButton.svg"}));
}

TEST_F(ServerTest, LoadReportsTheFilesMakerAndRefusesJunk) {
    const QString foreign = dir.filePath("f.pgt");
    WriteAll(foreign, "========== Description Part Begin ==========\nTitle = X\nProgID = PAGELETSERVER.FENNICBUTTON\n");
    ASSERT_TRUE(server.Load(foreign));
    EXPECT_EQ(server.ProgID(), "PAGELETSERVER.FENNICBUTTON");

    const QString junk = dir.filePath("j.pgt");
    WriteAll(junk, "just some text\n");
    const ButtonStyle before = server.Style();
    EXPECT_FALSE(server.Load(junk));
    EXPECT_FALSE(server.Load(dir.filePath("missing.pgt")));
    const QString huge = dir.filePath("h.pgt");
    WriteAll(huge, QByteArray(Pgt::kMaxFileSize + 1, 'x'));
    EXPECT_FALSE(server.Load(huge));
    EXPECT_TRUE(server.Style() == before);  // failed loads change nothing
}

TEST_F(ServerTest, FailedSaveKeepsTheOldFile) {
    const QString pgt = dir.filePath("a.pgt");
    ASSERT_TRUE(server.Save(pgt));
    const QString good = ReadAll(pgt);
    EXPECT_FALSE(server.Save(dir.filePath("no/such/folder/a.pgt")));
    EXPECT_EQ(ReadAll(pgt), good);
    EXPECT_EQ(server.GetSupportFileName(0), "a.svg");  // still the last saved one
}

TEST_F(ServerTest, PreviewFileIsCurrent) {
    const QString first = server.GetPreviewFile();
    ASSERT_FALSE(first.isEmpty());
    ButtonStyle s = server.Style();
    s.label = "Changed";
    server.SetStyle(s);
    EXPECT_EQ(server.GetPreviewFile(), first);
    EXPECT_TRUE(ReadAll(first).contains(">Changed</text>"));
}

TEST_F(ServerTest, EditorLifeAndOptions) {
    QWidget host;
    QWidget* editor = server.CreateEditor(&host);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->parentWidget(), &host);
    EXPECT_THROW(server.CreateEditor(&host), WidgetServerError);
    server.SetDarkPreview(1);
    EXPECT_EQ(server.DarkPreview(), 1);
    EXPECT_EQ(server.Modified(), 0);  // a view option, not a change
    server.SetLinkAddress("");
    EXPECT_TRUE(server.Style().link.isEmpty());
    server.CloseEditor();
    EXPECT_TRUE(host.findChildren<QWidget*>().isEmpty());
    EXPECT_NE(server.CreateEditor(&host), nullptr);
}

// Alt+F, T, P and H open the shell's menus; an editor field taking one of
// them would swallow the menu.
TEST_F(ServerTest, EditorMnemonicsLeaveTheMenusAlone) {
    QWidget host;
    QWidget* editor = server.CreateEditor(&host);
    int mnemonics = 0;
    for (const QLabel* label : editor->findChildren<QLabel*>()) {
        const QString text = label->text();
        const qsizetype amp = text.indexOf(u'&');
        if (amp < 0 || amp + 1 >= text.size() || text[amp + 1] == u'&') continue;
        ++mnemonics;
        EXPECT_FALSE(QStringLiteral("FTPH").contains(text[amp + 1].toUpper())) << text.toStdString();
    }
    EXPECT_GE(mnemonics, 10);
}

// Scrolling the form past a box must not change its value; a focused box
// still takes the wheel as it always has.
TEST_F(ServerTest, WheelChangesOnlyTheFocusedBox) {
    QWidget host;
    QWidget* editor = server.CreateEditor(&host);
    host.resize(900, 300);
    host.show();
    auto* scroll = editor->findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    auto wheel = [](QWidget* target) {
        QWheelEvent event(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(target, &event);
    };
    const auto spins = scroll->widget()->findChildren<QSpinBox*>();
    const auto combos = scroll->widget()->findChildren<QComboBox*>();
    ASSERT_FALSE(spins.isEmpty());
    ASSERT_FALSE(combos.isEmpty());
    for (QSpinBox* spin : spins) {
        const int before = spin->value();
        wheel(spin);
        EXPECT_EQ(spin->value(), before);
        EXPECT_EQ(spin->focusPolicy(), Qt::StrongFocus);  // the wheel does not give it focus either
    }
    for (QComboBox* combo : combos) {
        const int before = combo->currentIndex();
        wheel(combo);
        EXPECT_EQ(combo->currentIndex(), before);
    }
    EXPECT_EQ(server.Modified(), 0);

    QSpinBox* spin = spins.front();
    host.activateWindow();
    spin->setFocus();
    if (spin->hasFocus()) {  // focus needs an active window, which offscreen gives
        const int before = spin->value();
        wheel(spin);
        EXPECT_NE(spin->value(), before);
    }
}

// A focused colour swatch showed only the style's thin light frame, which
// fails the focus test the editor applies to the buttons it makes.
TEST(ColorButton, FocusRingPassesTheEditorsOwnTest) {
    QWidget host;
    auto* button = new CColorButton(&host);
    auto* other = new CColorButton(&host);
    other->move(0, 40);
    for (const QColor swatch : {QColor("#ffffff"), QColor("#000000"), QColor("#3775ca")}) {
        button->SetColor(swatch);
        host.show();
        host.activateWindow();
        // Activation arrives as an event of the platform.
        for (int i = 0; i < 100 && !host.isActiveWindow(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        other->setFocus(Qt::TabFocusReason);
        const QImage before = button->grab().toImage();
        button->setFocus(Qt::TabFocusReason);
        if (!button->hasFocus()) GTEST_SKIP() << "no focus without an active window here";
        const QImage after = button->grab().toImage();
        ASSERT_EQ(before.size(), after.size());
        int changed = 0;
        for (int y = 0; y < before.height(); ++y) {
            for (int x = 0; x < before.width(); ++x) {
                if (ButtonColors::ContrastRatio(before.pixelColor(x, y), after.pixelColor(x, y)) >= 3.0) ++changed;
            }
        }
        const QSize size = button->size();
        EXPECT_GE(changed, 2 * 2 * (size.width() + size.height())) << swatch.name().toStdString();
        EXPECT_GE(ButtonColors::ContrastRatio(button->FocusColor(), button->palette().color(QPalette::Button)), 3.0);
    }
}

// The font box showed the local stand-in for a font not installed here,
// not the font the page's CSS names.
TEST_F(ServerTest, FontBoxNamesTheFontTheCssNames) {
    ButtonStyle s = server.Style();
    s.fontFamily = "Nowhere Grotesk";
    server.SetStyle(s);
    QWidget host;
    QWidget* editor = server.CreateEditor(&host);
    auto* font = editor->findChild<QComboBox*>("font");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->currentText(), "Nowhere Grotesk");
    EXPECT_TRUE(font->toolTip().contains(ButtonOutput::FontStack("Nowhere Grotesk"))) << font->toolTip().toStdString();
    EXPECT_EQ(server.Style().fontFamily, "Nowhere Grotesk");
    EXPECT_EQ(server.Modified(), 1);  // from SetStyle only: showing it changed nothing
    server.CloseEditor();
}

// Typing the first character of an address removed a check's fix button
// and a note above the next fields: the panel jumped, and a click meant for
// Tooltip landed in Target.
TEST_F(ServerTest, LinkFieldsStayWhereTheyAreWhileTypedIn) {
    for (OutputForm form : {OutputForm::Svg, OutputForm::Link, OutputForm::Button}) {
        ButtonStyle s = server.Style();
        s.link.clear();
        s.form = form;
        server.SetStyle(s);
        QWidget host;
        QWidget* editor = server.CreateEditor(&host);
        host.resize(1100, 600);
        host.show();
        auto* scroll = editor->findChild<QScrollArea*>();
        ASSERT_NE(scroll, nullptr);
        auto* link = editor->findChild<QLineEdit*>("link");
        ASSERT_NE(link, nullptr);
        QList<QWidget*> fields{link, editor->findChild<QWidget*>("target"), editor->findChild<QWidget*>("tooltip"),
                               editor->findChild<QWidget*>("alt"), editor->findChild<QWidget*>("form")};
        // Scrolled to the end of the form, where a shorter form moves most.
        QCoreApplication::sendPostedEvents();
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
        const auto where = [&]() {
            QCoreApplication::sendPostedEvents();
            QList<QPoint> at;
            for (QWidget* f : fields) at << f->mapTo(scroll->viewport(), QPoint(0, 0));
            return at;
        };
        const QList<QPoint> before = where();
        for (const QChar c : QStringLiteral("https://x.org")) {
            link->insert(QString(c));
            EXPECT_EQ(where(), before) << static_cast<int>(form) << " after " << link->text().toStdString();
        }
        link->clear();
        EXPECT_EQ(where(), before) << static_cast<int>(form) << " emptied";
        server.CloseEditor();
    }
}

// The preview used to scale a large button down to fit, so the author never
// saw the size the page shows.
TEST(ButtonPreview, ShowsTheButtonAtItsRealSize) {
    ButtonStyle s;
    s.width = 500;
    s.height = 200;
    CButtonPreview preview;
    preview.SetStyle(s);
    const QSize button = ButtonOutput::EffectiveSize(s);
    EXPECT_GE(preview.minimumWidth(), 4 * button.width());
    EXPECT_GE(preview.minimumHeight(), button.height());
}

TEST(ShippedFiles, TemplatesAreValidButtons) {
    const QDir folder(FENNIC_SOURCE_RESOURCES "/PageletServer");
    const QStringList templates = folder.entryList({"*.pgt"}, QDir::Files);
    EXPECT_GE(templates.size(), 3);
    for (const QString& name : templates) {
        const auto s = Pgt::ReadFile(folder.filePath(name));
        ASSERT_TRUE(s) << name.toStdString();
        EXPECT_EQ(s->progId, "PageletServer.FennicButton");
        EXPECT_EQ(name, s->title + "_PageletServer.FennicButton.pgt");
        EXPECT_FALSE(s->description.isEmpty());
    }
    EXPECT_TRUE(QFile::exists(folder.filePath("Sample/sample.htm")));
    EXPECT_TRUE(QSvgRenderer(folder.filePath("Sample/sample.svg")).isValid());
}

}  // namespace

namespace {

// Crude but enough for generated CSS: braces balance, never close early, and
// every declaration inside a rule ends in a semicolon.
bool CssBalanced(const QString& css) {
    int depth = 0;
    for (const QChar c : css) {
        if (c == u'{') ++depth;
        else if (c == u'}' && --depth < 0) return false;
    }
    return depth == 0;
}

ButtonStyle HtmlButton(OutputForm form) {
    ButtonStyle s;
    s.title = "Ocean Btn";
    s.form = form;
    s.width = 120;
    s.height = 36;
    s.fontSize = 14;
    s.padding = 10;
    s.cornerRadius = 6;
    return s;
}

TEST(HtmlForm, CssHasTheStatesRemSizesAndCustomProperties) {
    const ButtonStyle s = HtmlButton(OutputForm::Link);
    const QString css = ButtonOutput::HtmlCss(s);
    EXPECT_TRUE(CssBalanced(css)) << css.toStdString();
    const QString c = "." + ButtonOutput::HtmlClass(s);
    EXPECT_TRUE(c.startsWith(".fb-ocean-btn-"));
    for (const QString& rule :
         {c + " {", c + ":hover {", c + ":focus-visible {", c + ":active {",
          QString("@media (prefers-reduced-motion: reduce) {"), QString("@media (forced-colors: active) {"),
          QString("@media (prefers-color-scheme: dark) {")})
        EXPECT_TRUE(css.contains(rule)) << rule.toStdString();
    // Sizes follow the visitor's font size.
    for (const char* size : {"min-width: min(7.5rem, 100%);", "min-height: 2.25rem;", "font-size: 0.875rem;",
                             "padding: 0.25rem 0.625rem;", "border-radius: 0.375rem;", "border: 0.0625rem solid"})
        EXPECT_TRUE(css.contains(QLatin1String(size))) << size;
    EXPECT_FALSE(css.contains("px")) << "every size is in rem";
    // Colours are custom properties the states use.
    EXPECT_TRUE(css.contains("--fb-text: #ffffff;"));
    EXPECT_TRUE(css.contains("--fb-hover-fill: " + s.states[1].fill.name() + ";"));
    EXPECT_TRUE(css.contains("--fb-pressed-fill-2: " + s.states[2].fill2.name() + ";"));
    EXPECT_TRUE(css.contains("color: var(--fb-hover-text);"));
    EXPECT_TRUE(css.contains("background: linear-gradient(var(--fb-pressed-fill), var(--fb-pressed-fill-2));"));
    EXPECT_TRUE(css.contains("transition: none;"));  // what moves is still when asked

    ButtonStyle solid = s;
    solid.fill = FillKind::Solid;
    solid.shape = ButtonShape::Pill;
    solid.borderWidth = 0;
    solid.fontFamily = "Evil</style><script>";
    const QString solidCss = ButtonOutput::HtmlCss(solid);
    EXPECT_FALSE(solidCss.contains("fill-2"));
    EXPECT_TRUE(solidCss.contains("background: var(--fb-fill);"));
    EXPECT_TRUE(solidCss.contains("border: 0;"));
    EXPECT_TRUE(solidCss.contains("border-radius: 999rem;"));
    EXPECT_FALSE(solidCss.contains("<"));
    EXPECT_TRUE(CssBalanced(solidCss));
    EXPECT_EQ(ButtonOutput::Rem(0), "0");
    EXPECT_EQ(ButtonOutput::Rem(1), "0.0625rem");
}

TEST(HtmlForm, ElementsAreWellFormedAndEscaped) {
    ButtonStyle s = HtmlButton(OutputForm::Link);
    s.label = "Go <now> & \"then\"";
    s.link = "https://example.org/?a=1&b='2'";
    s.target = "_blank";
    s.tooltip = "tip";
    s.altText = "Go now";
    const QString a = ButtonOutput::HtmlElementCode(s);
    EXPECT_TRUE(WellFormed(a)) << a.toStdString();
    EXPECT_TRUE(a.startsWith("<a class=\"" + ButtonOutput::HtmlClass(s) +
                             "\" href=\"https://example.org/?a=1&amp;b=&#39;2&#39;\" "
                             "target=\"_blank\" rel=\"noopener\" title=\"tip\" aria-label=\"Go now\">"))
        << a.toStdString();
    EXPECT_TRUE(a.contains(">Go &lt;now&gt; &amp; &quot;then&quot;</a>"));

    // Without an address: a real button, well-formed and escaped too.
    s.form = OutputForm::Button;
    s.link.clear();
    const QString button = ButtonOutput::HtmlElementCode(s);
    EXPECT_TRUE(WellFormed(button)) << button.toStdString();
    EXPECT_TRUE(button.startsWith("<button type=\"button\" class=\"" + ButtonOutput::HtmlClass(s) + "\""));
}

TEST_F(ServerTest, HtmlFormPublishesWithoutSupportFiles) {
    ButtonStyle s = server.Style();
    s.title = "Plain";
    s.form = OutputForm::Button;
    server.SetStyle(s);
    const QString pgt = dir.filePath("Plain_PageletServer.FennicButton.pgt");
    ASSERT_TRUE(server.Save(pgt));
    EXPECT_EQ(server.GetSupportFileCount(), 0);
    EXPECT_TRUE(QDir(dir.path()).entryList({"*.svg"}, QDir::Files).isEmpty());
    EXPECT_TRUE(server.GetCodePartText(0, 1).startsWith("<style>\n" + ButtonOutput::HtmlSelector(s) + " {"));
    EXPECT_TRUE(server.GetCodePartText(1, 1).startsWith("<button type=\"button\" class=\"" +
                                                        ButtonOutput::HtmlClass(s) + "\""));

    // The choice is stored; a file without it opens in the SVG form.
    CFennicButtonServer reopened;
    ASSERT_TRUE(reopened.Load(pgt));
    EXPECT_EQ(reopened.Style().form, OutputForm::Button);
    const QString old = dir.filePath("old.pgt");
    QString text = ReadAll(pgt);
    text.remove("Form = button\r\n");
    WriteAll(old, text.toUtf8());
    ASSERT_TRUE(reopened.Load(old));
    EXPECT_EQ(reopened.Style().form, OutputForm::Svg);
}

TEST_F(ServerTest, PreviewIsAPageWithTextOnLightAndDark) {
    const QString page = server.GetPreviewPage();
    ASSERT_TRUE(page.endsWith(".htm"));
    const QString html = ReadAll(page);
    // One page, light or dark as the visitor's system is set.
    EXPECT_TRUE(html.contains("@media (prefers-color-scheme: dark)"));
    EXPECT_EQ(html.count("<object class=\"" + ButtonOutput::HtmlClass(server.Style()) + "\""), 1);
    const QString svg = QFileInfo(page).dir().filePath(QFileInfo(page).completeBaseName() + ".svg");
    EXPECT_TRUE(ReadAll(svg).contains("<svg"));
    ButtonStyle s = server.Style();
    s.form = OutputForm::Link;
    s.label = "Inline";
    server.SetStyle(s);
    EXPECT_EQ(server.GetPreviewPage(), page);
    const QString again = ReadAll(page);
    EXPECT_EQ(again.count(">Inline</button>"), 1);  // no address: a <button>
    EXPECT_TRUE(again.contains(":focus-visible"));
}

TEST(Contrast, KnownRatios) {
    using ButtonColors::ContrastRatio;
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(Qt::white, Qt::black), 21.0, 1e-9);  // order does not matter
    EXPECT_NEAR(ContrastRatio(QColor("#777777"), Qt::white), 4.48, 0.005);
    EXPECT_NEAR(ContrastRatio(QColor("#767676"), Qt::white), 4.54, 0.005);  // the lightest grey passing AA
    EXPECT_NEAR(ContrastRatio(QColor("#123456"), QColor("#123456")), 1.0, 1e-9);
    EXPECT_NEAR(ButtonColors::RelativeLuminance(QColor("#ff0000")), 0.2126, 1e-9);

    ButtonStyle s;
    s.fill = FillKind::Gradient;
    s.states[0] = {Qt::white, Qt::black, QColor("#777777")};
    EXPECT_NEAR(ButtonColors::StateContrast(s, ButtonState::Normal), 4.48, 0.005);  // the gradient's weaker end
    s.fill = FillKind::Solid;
    EXPECT_NEAR(ButtonColors::StateContrast(s, ButtonState::Normal), 21.0, 1e-9);
}

TEST(Contrast, DerivedLooks) {
    EXPECT_EQ(ButtonColors::Mix(Qt::black, Qt::white, 0.2), QColor("#333333"));
    const auto dark = ButtonColors::Derive(QColor("#204080"));
    EXPECT_EQ(dark[0].fill, QColor("#204080"));
    EXPECT_EQ(dark[1].fill, QColor("#4d6699"));  // 20 % towards white
    EXPECT_EQ(dark[2].fill, QColor("#183060"));  // 25 % towards black
    EXPECT_EQ(dark[0].fill2, QColor("#1a3366"));
    for (const StateLook& look : dark) EXPECT_EQ(look.text, QColor(Qt::white));
    const auto light = ButtonColors::Derive(QColor("#f0f0f0"));
    EXPECT_EQ(light[1].fill, QColor("#d8d8d8"));  // a light base gets darker on hover
    for (const StateLook& look : light) EXPECT_EQ(look.text, QColor(Qt::black));
    // Whatever the base, the derived text reads at least as well as the
    // better of black and white allows.
    for (const char* base : {"#ff0000", "#00ff00", "#808080", "#ffff00", "#000000", "#ffffff"}) {
        ButtonStyle s;
        s.states = ButtonColors::Derive(QColor(base));
        for (int i = 0; i < 3; ++i)
            EXPECT_GE(ButtonColors::StateContrast(s, static_cast<ButtonState>(i)), 3.0) << base << " " << i;
    }
}

TEST(StyleHistoryTest, StepsMergeRedoDropsAndMetaStays) {
    StyleHistory history;
    ButtonStyle s;
    history.Reset(s);
    EXPECT_FALSE(history.CanUndo());
    ButtonStyle typed = s;
    for (const char* text : {"H", "He", "Hey"}) {  // one field typed into: one step
        typed.label = text;
        history.Record(typed, "label");
    }
    ButtonStyle wider = typed;
    wider.width = 300;
    history.Record(wider, "width");
    history.Record(wider, "width");  // nothing changed: no step
    EXPECT_EQ(history.StepCount(), 3u);

    ButtonStyle current = wider;
    current.title = "Renamed";  // outside the editor
    history.Rebase(current);
    current = history.Undo(current);
    EXPECT_EQ(current.label, "Hey");
    EXPECT_EQ(current.width, s.width);
    EXPECT_EQ(current.title, "Renamed");
    current = history.Undo(current);
    EXPECT_EQ(current.label, s.label);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(history.Undo(current), current);
    current = history.Redo(current);
    EXPECT_EQ(current.label, "Hey");
    EXPECT_TRUE(history.CanRedo());

    current.label = "Hey!";  // typing after an undo starts a new step and drops the redo
    history.Record(current, "label");
    EXPECT_FALSE(history.CanRedo());
    current.label = "Hey!!";
    history.Record(current, "label");
    EXPECT_EQ(history.Undo(current).label, "Hey");

    history.Reset(s);
    for (size_t i = 0; i < StyleHistory::kMaxSteps + 20; ++i) {
        ButtonStyle step = s;
        step.width = static_cast<int>(i) + 10;
        history.Record(step, QString());
    }
    EXPECT_EQ(history.StepCount(), StyleHistory::kMaxSteps);
}

TEST_F(ServerTest, EditorUndoesAndRedoesEveryKindOfField) {
    QWidget host;
    auto* editor = static_cast<CButtonEditor*>(server.CreateEditor(&host));
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(server.EditCommand(EditCmd::Undo, true));
    auto* label = editor->findChild<QLineEdit*>("label");
    auto* width = editor->findChild<QSpinBox*>("width");
    auto* form = editor->findChild<QComboBox*>("form");
    auto* bold = editor->findChild<QCheckBox*>("bold");
    ASSERT_TRUE(label && width && form && bold);
    const ButtonStyle start = server.Style();
    label->setText("One");
    width->setValue(222);
    form->setCurrentIndex(2);
    bold->setChecked(!start.bold);
    editor->ChooseBaseColor(QColor("#204080"));
    EXPECT_EQ(server.Style().states[1].fill, QColor("#4d6699"));
    EXPECT_TRUE(server.EditCommand(EditCmd::Undo, true));

    for (int i = 0; i < 5; ++i) ASSERT_TRUE(server.EditCommand(EditCmd::Undo, false));
    EXPECT_FALSE(server.EditCommand(EditCmd::Undo, false));
    EXPECT_TRUE(server.Style() == start);
    EXPECT_EQ(label->text(), start.label);  // the fields show it too

    // Ctrl+Shift+Z in a line edit is the editor's redo, not the line edit's.
    label->setFocus();
    QKeyEvent redo(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCoreApplication::sendEvent(label, &redo);
    EXPECT_EQ(server.Style().label, "One");
    EXPECT_EQ(label->text(), "One");
    QKeyEvent undo(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier);
    QCoreApplication::sendEvent(width, &undo);
    EXPECT_EQ(server.Style().label, start.label);
    server.CloseEditor();
}

TEST_F(ServerTest, EditorShowsContrastAndWarnsBelowAA) {
    QWidget host;
    auto* editor = static_cast<CButtonEditor*>(server.CreateEditor(&host));
    ButtonStyle s = server.Style();
    s.fill = FillKind::Solid;
    s.states[0] = {Qt::black, Qt::white, Qt::white};
    s.states[1] = {QColor("#777777"), Qt::white, Qt::white};
    s.states[2] = {QColor("#767676"), Qt::white, Qt::white};
    editor->SetStyle(s);
    EXPECT_EQ(editor->ContrastText(ButtonState::Normal), "21.00:1");
    EXPECT_EQ(editor->ContrastText(ButtonState::Hover), QString::fromUtf8("4.48:1 \u26a0 below 4.5:1"));
    EXPECT_EQ(editor->ContrastText(ButtonState::Pressed), "4.54:1");
    server.CloseEditor();
}

}  // namespace
