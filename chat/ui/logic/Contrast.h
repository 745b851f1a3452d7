#pragma once
// A user's colour is whatever the peer announced: one that would vanish on
// the list's background (white on white for -1) is drawn darker or lighter
// until it reads, keeping its hue. The stored colour is never changed.
#include <QColor>

namespace lanyx::ui {

// The contrast ratio of two colours, 1 (same) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);
// The least that a text colour needs to read on a background.
constexpr double kReadableContrast = 3.0;
QColor ReadableOn(const QColor& text, const QColor& background);

}  // namespace lanyx::ui
