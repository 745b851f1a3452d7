#include "logic/Contrast.h"

#include <algorithm>
#include <cmath>

namespace lanyx::ui {

namespace {
double channel(int c) {
    const double v = c / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}
double luminance(const QColor& c) {
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}
QColor mix(const QColor& from, const QColor& to, double t) {
    auto m = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
    return QColor(m(from.red(), to.red()), m(from.green(), to.green()), m(from.blue(), to.blue()));
}
}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor& text, const QColor& background) {
    if (ContrastRatio(text, background) >= kReadableContrast) return text;
    // Away from the background: towards black on a light one, white on a dark one.
    const QColor black(0, 0, 0), white(255, 255, 255);
    const QColor far = ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
    for (int step = 1; step <= 20; ++step) {
        const QColor c = mix(text, far, step / 20.0);
        if (ContrastRatio(c, background) >= kReadableContrast) return c;
    }
    return far;
}

}  // namespace lanyx::ui
