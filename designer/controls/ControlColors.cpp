#include "controls/ControlColors.h"

#include <algorithm>

namespace {

int Scaled(int channel, double factor) {
    return std::min(255, static_cast<int>(channel * factor));
}

QColor PerChannel(const QColor& c, double factor) {
    return QColor(Scaled(c.red(), factor), Scaled(c.green(), factor), Scaled(c.blue(), factor));
}

int Band(int mode, int c, int k) {
    switch (mode) {
    case 1: return c - k * c / 255;
    case 2: return c + k * (255 - c) / 255;
    case 3: return k * c / 255;
    case 4: return 255 - k * c / 255;
    default: return c;
    }
}

}  // namespace

QColor FlatCheckedFace(const QColor& face) {
    return PerChannel(face, 1.08);
}
QColor FlatLightEdge(const QColor& face) {
    return PerChannel(face, 1.25);
}
QColor FlatDarkEdge(const QColor& face) {
    return PerChannel(PerChannel(face, 0.8), 0.8);
}

QColor CreditsBandColor(int mode, const QColor& base, int band) {
    const int k = std::clamp(band, 0, 255);
    return QColor(Band(mode, base.red(), k), Band(mode, base.green(), k), Band(mode, base.blue(), k));
}
