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

}  // namespace lanyx::ui
