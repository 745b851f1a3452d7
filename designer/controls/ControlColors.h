#pragma once
// Colour arithmetic of the custom controls, kept apart so it can be checked
// without drawing anything.

#include <QColor>

// Face of a checked flat button that is not hot: each channel x 1.08.
QColor FlatCheckedFace(const QColor& face);
// Light edge: each channel x 1.25; dark edge: x 0.8 x 0.8.
QColor FlatLightEdge(const QColor& face);
QColor FlatDarkEdge(const QColor& face);

// Colour of band k (0..255) of a credits background in gradient mode 1..4
// (1 to black, 2 to white, 3 from black, 4 the complement of 3); mode 0 and
// unknown modes give the base colour.
QColor CreditsBandColor(int mode, const QColor& base, int band);
