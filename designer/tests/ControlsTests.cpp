#include "controls/ControlColors.h"
#include "controls/CreditsStatic.h"
#include "controls/DesignerBitmaps.h"
#include "controls/FlatBitmapButton.h"
#include "controls/HyperlinkStatic.h"
#include "ui/AboutDlg.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtMath>
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
    for (int i = 0; i < 21; ++i) credits.Tick();
    EXPECT_EQ(credits.CurrentLineIndex(), 1);
    EXPECT_EQ(credits.BandWidth(), titleBand);  // "B" is narrower
    for (int i = 0; i < 15; ++i) credits.Tick();
    EXPECT_EQ(credits.CurrentLineIndex(), 2);
    EXPECT_GT(credits.BandWidth(), titleBand);  // the wider line widens the band
    for (int i = 0; i < 15; ++i) credits.Tick();
    EXPECT_EQ(credits.CurrentLineIndex(), 0);  // the first line follows the last at once
}

// The credits used to be drawn at 1x and scaled up, blurred, on a 2x screen.
TEST(Credits, DrawnAtTheScreensDensity) {
    const QString text = "Title\t|some body text|Heading\r";
    auto drawn = [&](qreal ratio, int ticks) {
        CCreditsStatic credits;
        credits.resize(200, 60);
        credits.SetDevicePixelRatio(ratio);
        credits.SetCredits(text, u'|');
        credits.StartScrolling();
        for (int i = 0; i < ticks; ++i) credits.Tick();
        return credits.Image();
    };
    const QImage one = drawn(1, 30);
    const QImage two = drawn(2, 30);
    EXPECT_EQ(one.size(), QSize(200, 60));
    EXPECT_EQ(two.size(), QSize(400, 120));
    EXPECT_EQ(two.devicePixelRatio(), 2.0);
    EXPECT_EQ(two.deviceIndependentSize(), QSizeF(200, 60));
    // Scrolled as far in layout pixels, but with detail of its own rather
    // than each pixel of the 1x picture doubled.
    const QImage doubled = one.scaled(one.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    EXPECT_NE(two.convertToFormat(QImage::Format_RGB32).copy(), doubled.convertToFormat(QImage::Format_RGB32));
    const QImage twoDown = two.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int close = 0;
    for (int y = 0; y < one.height(); ++y)
        for (int x = 0; x < one.width(); ++x)
            close += std::abs(qGray(one.pixel(x, y)) - qGray(twoDown.pixel(x, y))) < 64;
    EXPECT_GT(close, one.width() * one.height() * 9 / 10);  // the same lines at the same places

    // A still picture (not scrolling) and a change of density on the way.
    CCreditsStatic still;
    still.resize(120, 40);
    still.SetDevicePixelRatio(1.5);
    still.SetCredits(text, u'|');
    still.grab();
    EXPECT_EQ(still.Image().size(), QSize(180, 60));
    EXPECT_EQ(still.Image().devicePixelRatio(), 1.5);
    still.StartScrolling();
    for (int i = 0; i < 50; ++i) still.Tick();
    EXPECT_EQ(still.Image().size(), QSize(180, 60));
    still.SetDevicePixelRatio(2);
    still.Tick();
    EXPECT_EQ(still.Image().size(), QSize(240, 80));

    // By default the screen's own density (2 under QT_SCALE_FACTOR=2).
    CCreditsStatic screen;
    screen.resize(50, 20);
    screen.SetCredits(text, u'|');
    screen.grab();
    EXPECT_EQ(screen.Image().devicePixelRatio(), screen.devicePixelRatioF());
    EXPECT_EQ(screen.Image().width(), qCeil(50 * screen.devicePixelRatioF()));
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
