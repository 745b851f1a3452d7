#include "buttonserver/ButtonEditor.h"
#include "buttonserver/ButtonStyle.h"
#include "buttonserver/FennicButtonServer.h"

#include <QDir>
#include <QFile>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QScrollArea>
#include <QSpinBox>
#include <QWheelEvent>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QWidget>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

QString ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool WellFormed(const QString& xml) {
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        reader.readNext();
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
    s.states[1].fill2 = QColor(9, 8, 7);
    const auto back = Pgt::Read(Pgt::Write(s));
    ASSERT_TRUE(back);
    ButtonStyle expected = s;
    expected.description = "two lines";
    EXPECT_TRUE(*back == expected);
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
    EXPECT_TRUE(svg.contains(".fb:focus .fb-face"));  // keyboard users see the hover look
    EXPECT_TRUE(svg.contains("Fish &amp; &lt;Chips&gt;"));
    EXPECT_TRUE(svg.contains("href=\"https://example.org/?a=1&amp;b=&quot;2&quot;\""));
    EXPECT_TRUE(svg.contains("target=\"_top\""));
    EXPECT_TRUE(svg.contains("aria-label=\"Order fish\""));
    EXPECT_FALSE(svg.contains("Fish & <"));
    // Viewers without CSS still get a valid picture of the normal state.
    EXPECT_TRUE(QSvgRenderer(svg.toUtf8()).isValid());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(QSvgRenderer(ButtonOutput::StaticSvg(s, ButtonState(i)).toUtf8()).isValid());

    // Without a link the button is still reachable by keyboard.
    s.link.clear();
    EXPECT_TRUE(ButtonOutput::InteractiveSvg(s).contains("tabindex=\"0\""));
}

TEST(ButtonOutput, CharactersXmlForbidsAreLeftOut) {
    // U+FFFE and U+FFFF are valid UTF-8 in a .pgt file but no XML characters;
    // a fish (a surrogate pair) is one.
    const auto s = Pgt::Read(QString::fromUtf8(
        "========== Description Part Begin ==========\n========== Description Part End ==========\n"
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
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(WellFormed(ButtonOutput::StaticSvg(b, ButtonState(i))));
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
    EXPECT_TRUE(html.contains("<object class=\"fennic-button\" type=\"image/svg+xml\""));
    EXPECT_TRUE(html.contains("data=\"My%20Button_PageletServer.FennicButton.svg\""));
    EXPECT_TRUE(html.contains("aria-label=\"Next\""));  // alt text falls back to the label
    EXPECT_TRUE(html.contains("title=\"Go on\""));
    EXPECT_TRUE(html.contains("<a href=\"next.htm\" target=\"_blank\">Next</a>"));
    EXPECT_FALSE(html.contains('/'+QString("tmp")));
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

class ServerTest : public ::testing::Test {
protected:
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
    const QString svg = dir.filePath("Button1_PageletServer.FennicButton.svg");
    EXPECT_TRUE(ReadAll(svg).contains(">Hello</text>"));
    ASSERT_EQ(server.GetSupportFileCount(), 1);
    EXPECT_EQ(server.GetSupportFileName(0), "Button1_PageletServer.FennicButton.svg");
    EXPECT_EQ(QDir::fromNativeSeparators(server.GetSupportFilePath(0)), dir.path() + "/");
    EXPECT_TRUE(server.GetCodePartText(1, 1).contains("data=\"Button1_PageletServer.FennicButton.svg\""));

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
    EXPECT_TRUE(server.GetCodePartText(1, 1).contains("width=\"900\""));
}

TEST_F(ServerTest, ACopyLeavesTheWorksFileAlone) {
    const QString pgt = dir.filePath("work.pgt");
    ASSERT_TRUE(server.Save(pgt));
    ASSERT_TRUE(server.SaveCopy(dir.filePath("Shiny_PageletServer.FennicButton.pgt")));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("Shiny_PageletServer.FennicButton.svg")));
    // Publishing still names and copies the work's own support file.
    EXPECT_EQ(server.GetSupportFileName(0), "work.svg");
    EXPECT_TRUE(server.GetCodePartText(1, 1).contains("data=\"work.svg\""));
}

TEST_F(ServerTest, LoadReportsTheFilesMakerAndRefusesJunk) {
    const QString foreign = dir.filePath("f.pgt");
    WriteAll(foreign,
             "========== Description Part Begin ==========\nTitle = X\nProgID = PAGELETSERVER.FENNICBUTTON\n");
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
        if (amp < 0 || amp + 1 >= text.size() || text[amp + 1] == u'&')
            continue;
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
        QWheelEvent event(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
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

// The preview used to scale a large button down to fit, so the author never
// saw the size the page shows.
TEST(ButtonPreview, ShowsTheButtonAtItsRealSize) {
    ButtonStyle s;
    s.width = 500;
    s.height = 200;
    CButtonPreview preview;
    preview.SetStyle(s);
    const QSize button = ButtonOutput::EffectiveSize(s);
    EXPECT_GE(preview.minimumWidth(), 3 * button.width());
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
