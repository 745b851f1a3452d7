#pragma once
// Geometry is stored in twips (1/1440 inch) and shown in pixels: the screen's
// logical resolution converts, so a stored size means the same on any screen.
#include "Settings.h"

#include <QRect>

class QScreen;
class QWidget;

namespace lanyx::ui {

double TwipsPerPixel(const QScreen* screen);
int ToPixels(std::int32_t twips, const QScreen* screen);
std::int32_t ToTwips(int pixels, const QScreen* screen);
QRect ToPixels(const Geometry& g, const QScreen* screen);
Geometry ToTwips(const QRect& r, const QScreen* screen);

// The right (which = 0, or anything but -1) or bottom (which = -1) edge of
// the desktop work area of the window's screen, in twips.
std::int32_t WorkAreaExtent(int which, const QWidget* window);

// Top-left position of a window of `size` moved into corner 0..3 (top left,
// top right, bottom left, bottom right) of `area`.
QPoint CornerPosition(int corner, const QRect& area, const QSize& size);

// On top of other windows (flag -1), or not (0); other values do nothing.
void SetTopMost(QWidget* window, int flag);

// Opens a web or mail address with the desktop's handler; a failure shows
// "Error Opening Link to ..." as a message box.
void OpenLink(const QString& target);

}  // namespace lanyx::ui
