#include "core/WindowPlacement.h"

namespace {
constexpr int kDefaultShowCmd = 5;
constexpr int kMinVisible = 20;
}  // namespace

QRect FitToScreen(const QRect& rect, const QRect& screen, bool sizable) {
    if (!screen.isValid()) return rect;
    QRect fitted = rect;
    if (sizable) fitted.setSize(rect.size().boundedTo(screen.size()));
    if (fitted.right() > screen.right()) fitted.moveRight(screen.right());
    if (fitted.bottom() > screen.bottom()) fitted.moveBottom(screen.bottom());
    if (fitted.left() < screen.left()) fitted.moveLeft(screen.left());
    if (fitted.top() < screen.top()) fitted.moveTop(screen.top());
    return fitted;
}

QString PlacementSection(const QString& name) {
    // QSettings separates groups with '/', which is "\" in the registry.
    return QStringLiteral("Windows/%1").arg(name);
}

void SavePlacement(QSettings& settings, const QString& name, const WindowPlacementData& placement) {
    settings.beginGroup(PlacementSection(name));
    // Edges as the system writes them: right and bottom are exclusive.
    settings.setValue(QStringLiteral("showCmd"), placement.showCmd);
    settings.setValue(QStringLiteral("Left"), placement.normal.left());
    settings.setValue(QStringLiteral("Top"), placement.normal.top());
    settings.setValue(QStringLiteral("Right"), placement.normal.left() + placement.normal.width());
    settings.setValue(QStringLiteral("Bottom"), placement.normal.top() + placement.normal.height());
    settings.endGroup();
}

PlacementDecision RestorePlacement(QSettings& settings, const QString& name, const QRect& current, const QRect& screen,
                                   bool sizable, bool hasMaximizeBox) {
    settings.beginGroup(PlacementSection(name));
    auto read = [&](const char* key, int fallback) {
        bool ok = false;
        const int v = settings.value(QLatin1String(key)).toInt(&ok);
        return ok ? v : fallback;
    };
    const int showCmd = read("showCmd", kDefaultShowCmd);
    const int left = read("Left", current.left());
    const int top = read("Top", current.top());
    const int right = read("Right", current.left() + current.width());
    const int bottom = read("Bottom", current.top() + current.height());
    settings.endGroup();

    PlacementDecision decision;
    const QRect stored(QPoint(left, top), QSize(right - left, bottom - top));
    const QRect visible = stored.intersected(screen);
    if (stored.isValid() && visible.width() >= kMinVisible && visible.height() >= kMinVisible) {
        decision.move = true;
        decision.rect = sizable ? stored : QRect(stored.topLeft(), current.size());
        // Stored at another scale or on a larger screen the window may hang
        // over an edge: bring all of it (title bar too) onto this screen.
        decision.rect = FitToScreen(decision.rect, screen, sizable);
    }
    decision.maximize = showCmd == kShowMaximized && hasMaximizeBox;
    return decision;
}
