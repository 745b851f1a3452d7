#include "logic/Cascade.h"

#include <algorithm>

namespace lanyx::ui {

namespace {
// The top-left corner that keeps a window of this size inside the area (or
// at its top-left when the window is larger than the area).
QPoint inside(QPoint p, QSize size, const QRect& area) {
    const int x = std::max(area.left(), std::min(p.x(), area.left() + area.width() - size.width()));
    const int y = std::max(area.top(), std::min(p.y(), area.top() + area.height() - size.height()));
    return {x, y};
}
}  // namespace

QPoint CascadePlace(QPoint start, QSize size, const QRect& area, const QList<QPoint>& taken, int step) {
    step = std::max(step, 1);
    QPoint p = inside(start, size, area);
    // Every round through the area starts one step further right, so that a
    // thousand windows still do not land on one another until they must.
    const int most = std::max(1, static_cast<int>(taken.size()) + 1);
    for (int tries = 0, round = 0; tries < most && taken.contains(p); ++tries) {
        QPoint next = p + QPoint(step, step);
        if (next.x() + size.width() > area.left() + area.width() ||
            next.y() + size.height() > area.top() + area.height()) {
            ++round;
            next = QPoint(area.left() + round * step, area.top());
            if (next.x() + size.width() > area.left() + area.width()) {
                round = 0;
                next = area.topLeft();
            }
        }
        p = inside(next, size, area);
    }
    return p;
}

QPoint NearOwner(QSize size, const QRect& owner, const QRect& area) {
    const QPoint centred(owner.x() + (owner.width() - size.width()) / 2,
                         owner.y() + (owner.height() - size.height()) / 2);
    return inside(centred, size, area);
}

}  // namespace lanyx::ui
