#include "Twips.h"

#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QUrl>
#include <QWidget>
#include <cmath>

namespace lanyx::ui {

namespace {
const QScreen* orPrimary(const QScreen* s) {
    return s ? s : QGuiApplication::primaryScreen();
}
}  // namespace

double TwipsPerPixel(const QScreen* screen) {
    screen = orPrimary(screen);
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int ToPixels(std::int32_t twips, const QScreen* screen) {
    return static_cast<int>(std::lround(twips / TwipsPerPixel(screen)));
}

std::int32_t ToTwips(int pixels, const QScreen* screen) {
    return static_cast<std::int32_t>(std::lround(pixels * TwipsPerPixel(screen)));
}

QRect ToPixels(const Geometry& g, const QScreen* screen) {
    return {ToPixels(g.left, screen), ToPixels(g.top, screen), ToPixels(g.width, screen), ToPixels(g.height, screen)};
}

Geometry ToTwips(const QRect& r, const QScreen* screen) {
    return {ToTwips(r.left(), screen), ToTwips(r.top(), screen), ToTwips(r.width(), screen),
            ToTwips(r.height(), screen)};
}

std::int32_t WorkAreaExtent(int which, const QWidget* window) {
    const QScreen* screen = orPrimary(window ? window->screen() : nullptr);
    if (!screen) return 0;
    QRect area = screen->availableGeometry();
    if (area.isEmpty()) area = screen->geometry();
    const int px = which == -1 ? area.bottom() + 1 : area.right() + 1;
    return ToTwips(px, screen);
}

QPoint CornerPosition(int corner, const QRect& area, const QSize& size) {
    const int right = area.left() + area.width() - size.width();
    const int bottom = area.top() + area.height() - size.height();
    switch (corner) {
    case 1: return {right, area.top()};
    case 2: return {area.left(), bottom};
    case 3: return {right, bottom};
    default: return area.topLeft();
    }
}

void SetTopMost(QWidget* window, int flag) {
    if (!window || (flag != -1 && flag != 0)) return;
    const bool wasVisible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, flag == -1);
    if (wasVisible) window->show();  // changing flags hides a window
}

void OpenLink(const QString& target) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = QDesktopServices::openUrl(QUrl::fromUserInput(target));
    QGuiApplication::restoreOverrideCursor();
    if (!ok)
        QMessageBox::warning(nullptr, QString(),
                             QStringLiteral("Error Opening Link to ") + target + QStringLiteral("\n\n0"));
}

}  // namespace lanyx::ui
