#include "controls/ControlColors.h"
#include "controls/CreditsStatic.h"
#include "controls/DesignerBitmaps.h"
#include "controls/FlatBitmapButton.h"
#include "controls/HyperlinkStatic.h"
#include "dialogs/AboutDlg.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(FlatButtonColours, ScaledPerChannelAndCapped) {
    const QColor face(200, 100, 240);
    EXPECT_EQ(FlatCheckedFace(face), QColor(216, 108, 255));  // 240 x 1.08 capped
    EXPECT_EQ(FlatLightEdge(face), QColor(250, 125, 255));
    EXPECT_EQ(FlatDarkEdge(face), QColor(128, 64, 153));  // x 0.8, then x 0.8
    EXPECT_EQ(FlatCheckedFace(QColor(0, 0, 0)), QColor(0, 0, 0));
    EXPECT_EQ(FlatLightEdge(QColor(255, 255, 255)), QColor(255, 255, 255));
}

TEST(FlatButton, StatesAndClick) {
    CFlatBitmapButton button(nullptr, 1014);
    button.SetBitmap(DesignerBitmap(BitmapId::ListView));
    button.setCheckable(true);
    button.resize(button.sizeHint());
    QSignalSpy commands(&button, &CFlatBitmapButton::Command);
    button.click();
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.first().first().toInt(), 1014);
    EXPECT_TRUE(button.isChecked());

    // A checked button that is not hot shows the lightened face.
    QPalette pal = button.palette();
    pal.setColor(QPalette::Button, QColor(100, 100, 100));
    button.setPalette(pal);
    const QImage checked = button.grab().toImage();
    EXPECT_EQ(checked.pixelColor(2, checked.height() / 2 + 6), QColor(108, 108, 108));
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&button, &enter);
    EXPECT_TRUE(button.IsHot());
    const QImage hot = button.grab().toImage();
    EXPECT_EQ(hot.pixelColor(2, hot.height() / 2 + 6), QColor(100, 100, 100));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_FALSE(button.IsHot());
}

TEST(Hyperlink, HoverTurnsRedAndUnderlined) {
    CHyperlinkStatic link("www.example.org");
    link.SetLinkStyle(CHyperlinkStatic::kBold);
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_FALSE(link.font().underline());
    EXPECT_TRUE(link.font().bold());
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&link, &enter);
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(link.font().underline());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&link, &leave);
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_FALSE(link.font().underline());
}

TEST(Credits, LineStyles) {
    using S = CreditsLine::Style;
    EXPECT_EQ(CreditsLine::Parse("Title\t").style, S::Title);
    EXPECT_EQ(CreditsLine::Parse("Title\t").text, "Title");
    EXPECT_EQ(CreditsLine::Parse("Second\n").style, S::SecondTitle);
    EXPECT_EQ(CreditsLine::Parse("Heading\r").style, S::Heading);
    EXPECT_EQ(CreditsLine::Parse("Fennic^").style, S::Picture);
    EXPECT_EQ(CreditsLine::Parse("Fennic^").text, "Fennic");
    EXPECT_EQ(CreditsLine::Parse("Body").style, S::Body);
    EXPECT_EQ(CreditsLine::Parse("Body").text, "Body");
    EXPECT_EQ(CreditsLine::Parse("").style, S::Body);
    EXPECT_EQ(CreditsLine::FontPixels(S::Title), 21);
    EXPECT_EQ(CreditsLine::FontPixels(S::SecondTitle), 19);
    EXPECT_EQ(CreditsLine::FontPixels(S::Heading), 17);
    EXPECT_EQ(CreditsLine::FontPixels(S::Body), 15);
    EXPECT_EQ(CreditsLine::ColorSlot(S::Title), 1);
    EXPECT_EQ(CreditsLine::ColorSlot(S::Body), 4);

    CCreditsStatic credits;
    credits.SetPictureProvider(CreditsPicture);
    // A line of only a tab is a blank title line 21 pixels high.
    EXPECT_EQ(credits.LineHeight(CreditsLine::Parse("\t")), 21);
    EXPECT_EQ(credits.LineHeight(CreditsLine::Parse("")), 15);
    EXPECT_EQ(credits.LineHeight(CreditsLine::Parse("Fennic^")), 48);
}

TEST(Credits, GradientBands) {
    const QColor base(200, 100, 0);
    EXPECT_EQ(CreditsBandColor(1, base, 0), base);
    EXPECT_EQ(CreditsBandColor(1, base, 255), QColor(0, 0, 0));
    EXPECT_EQ(CreditsBandColor(1, base, 128), QColor(200 - 128 * 200 / 255, 100 - 128 * 100 / 255, 0));
    EXPECT_EQ(CreditsBandColor(2, base, 0), base);
    EXPECT_EQ(CreditsBandColor(2, base, 255), QColor(255, 255, 255));
    EXPECT_EQ(CreditsBandColor(2, base, 51), QColor(200 + 51 * 55 / 255, 100 + 51 * 155 / 255, 51));
    EXPECT_EQ(CreditsBandColor(3, base, 0), QColor(0, 0, 0));
    EXPECT_EQ(CreditsBandColor(3, base, 255), base);
    EXPECT_EQ(CreditsBandColor(4, base, 0), QColor(255, 255, 255));
    EXPECT_EQ(CreditsBandColor(4, base, 255), QColor(55, 155, 255));
    EXPECT_EQ(CreditsBandColor(0, base, 77), base);

    CCreditsStatic credits;
    credits.resize(512, 50);
    credits.SetColor(0, base);
    credits.SetGradient(2);
    EXPECT_EQ(credits.BackgroundAt(0), base);
    EXPECT_EQ(credits.BackgroundAt(511), QColor(255, 255, 255));
    EXPECT_EQ(credits.BackgroundAt(2), CreditsBandColor(2, base, 1));
    credits.SetGradient(0);
    EXPECT_EQ(credits.BackgroundAt(300), base);
}

TEST(Credits, ScrollsLinesAndRestartsWithoutPause) {
    CCreditsStatic credits;
    credits.resize(300, 100);
    credits.StartScrolling();
    EXPECT_FALSE(credits.IsScrolling());  // nothing to scroll

    credits.SetCredits("A\t|B|a much wider body line than the others", u'|');
    credits.StartScrolling();
    EXPECT_TRUE(credits.IsScrolling());
    EXPECT_EQ(credits.CurrentInterval(), 40);  // speed slot 1 by default
    credits.Tick();
    EXPECT_EQ(credits.CurrentLineIndex(), 0);
    EXPECT_EQ(credits.CurrentLineHeight(), 21);
    const int titleBand = credits.BandWidth();
    for (int i = 0; i < 21; ++i)
        credits.Tick();
    EXPECT_EQ(credits.CurrentLineIndex(), 1);
    EXPECT_EQ(credits.BandWidth(), titleBand);  // "B" is narrower
    for (int i = 0; i < 15; ++i)
        credits.Tick();
    EXPECT_EQ(credits.CurrentLineIndex(), 2);
    EXPECT_GT(credits.BandWidth(), titleBand);  // the wider line widens the band
    for (int i = 0; i < 15; ++i)
        credits.Tick();
    EXPECT_EQ(credits.CurrentLineIndex(), 0);  // the first line follows the last at once
}

TEST(AboutBoxes, CreditsAndLicence) {
    const QStringList lines = AboutCreditsText().split(u'|');
    EXPECT_TRUE(lines[0].isEmpty());
    EXPECT_TRUE(lines[1].endsWith(u'\t'));
    EXPECT_TRUE(lines.contains("Programmer\r"));
    EXPECT_EQ(lines.mid(lines.size() - 8), QStringList(8, QString()));

    CAboutDlg about;
    EXPECT_TRUE(about.Credits()->IsScrolling());
    EXPECT_EQ(about.Credits()->CurrentInterval(), 20);
    EXPECT_EQ(about.Credits()->Color(1), QColor(0, 0, 192));
    EXPECT_EQ(about.Credits()->Color(2), QColor(255, 255, 0));  // left at its default

    QTemporaryDir dir;
    EXPECT_TRUE(LoadLicenceText(dir.path()).startsWith("Failed to open License file: \r\n"));
    QFile empty(dir.filePath("LPGL.txt"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_EQ(LoadLicenceText(dir.path()), "");
    CLameAboutDlg lame(dir.path());
    EXPECT_EQ(lame.LicenceText(), "");
}

}  // namespace
