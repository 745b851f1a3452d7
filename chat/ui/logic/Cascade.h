#pragma once
// Where a new window goes when its start place is already taken by another
// window of the same kind: one step down and right, back to the work area's
// corner when a step would leave it.
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace lanyx::ui {

QPoint CascadePlace(QPoint start, QSize size, const QRect& area, const QList<QPoint>& taken, int step);

// Where a window opened from another one goes the first time: centred on
// its owner, moved into the owner's work area where that would leave it
// (its top left corner inside when it is larger than the area).
QPoint NearOwner(QSize size, const QRect& owner, const QRect& area);

}  // namespace lanyx::ui
