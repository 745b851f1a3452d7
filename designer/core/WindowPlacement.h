#pragma once
// Window placement kept in the profile section "Windows\<name>".

#include <QRect>
#include <QSettings>
#include <QString>

constexpr int kShowNormal = 1;
constexpr int kShowMaximized = 3;

struct WindowPlacementData {
    int showCmd = kShowNormal;
    QRect normal;  // the restored (not maximised) frame rectangle
};

struct PlacementDecision {
    bool move = false;  // whether to move (and maybe resize) to rect
    QRect rect;
    bool maximize = false;
};

// rect moved (and, when sizable, shrunk) so that all of it lies on screen.
QRect FitToScreen(const QRect& rect, const QRect& screen, bool sizable);
QString PlacementSection(const QString& name);
void SavePlacement(QSettings& settings, const QString& name, const WindowPlacementData& placement);
// What restoring means for a window now at current, on a screen of screen:
// the stored rectangle is used only when at least 20 x 20 pixels of it lie on
// the screen, and then fitted onto it; a window without a sizing border keeps
// its size.
PlacementDecision RestorePlacement(QSettings& settings, const QString& name, const QRect& current, const QRect& screen,
                                   bool sizable, bool hasMaximizeBox);
