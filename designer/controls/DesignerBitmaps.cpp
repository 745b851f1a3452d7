#include "controls/DesignerBitmaps.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kCell = 20;
const QColor kMagenta(255, 0, 255);

using Glyph = void (*)(QPainter&, const QColor&);

void Page(QPainter& p, const QColor& c) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({{4, 2}, {12, 2}, {16, 6}, {16, 18}, {4, 18}}));
    p.setBrush(c);
    p.drawEllipse(QPoint(13, 14), 4, 4);
}

void Folder(QPainter& p, const QColor& c) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(c);
    p.drawPolygon(QPolygon({{2, 5}, {8, 5}, {10, 7}, {18, 7}, {18, 16}, {2, 16}}));
}

void Disk(QPainter& p, const QColor& c) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(c);
    p.drawRect(3, 3, 14, 14);
    p.setBrush(Qt::white);
    p.drawRect(6, 3, 8, 5);
    p.drawRect(5, 11, 10, 6);
}

void Code(QPainter& p, const QColor& c) {
    p.setPen(QPen(c, 2));
    p.drawPolyline(QPolygon({{7, 5}, {3, 10}, {7, 15}}));
    p.drawPolyline(QPolygon({{13, 5}, {17, 10}, {13, 15}}));
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(11, 4, 9, 16);
}

void Files(QPainter& p, const QColor& c) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(6, 2, 11, 13);
    p.setBrush(c);
    p.drawRect(3, 5, 11, 13);
}

void List(QPainter& p, const QColor& c) {
    p.setPen(Qt::NoPen);
    for (int col = 0; col < 2; ++col) {
        for (int row = 0; row < 3; ++row) {
            p.setBrush(c);
            p.drawRect(3 + col * 8, 4 + row * 5, 3, 3);
            p.setBrush(Qt::black);
            p.drawRect(7 + col * 8, 5 + row * 5, 3, 1);
        }
    }
}

void Report(QPainter& p, const QColor& c) {
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 4; ++row) {
        p.setBrush(c);
        p.drawRect(3, 3 + row * 4, 3, 3);
        p.setBrush(Qt::black);
        p.drawRect(8, 4 + row * 4, 9, 1);
    }
}

void Item(QPainter& p, const QColor& c) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(c);
    p.drawRoundedRect(2, 5, 15, 9, 3, 3);
}

void Eye(QPainter& p, const QColor& c) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawEllipse(2, 6, 16, 9);
    p.setBrush(c);
    p.drawEllipse(QPoint(10, 10), 3, 3);
}

QPixmap TwoImages(Glyph glyph, const QColor& normal, const QColor& hot) {
    QPixmap pix(2 * kCell, kCell);
    pix.fill(kMagenta);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing, false);
    glyph(p, normal);
    p.translate(kCell, 0);
    glyph(p, hot);
    return pix;
}

}  // namespace

QPixmap DesignerBitmap(int id) {
    const QColor blue(0x3a, 0x7b, 0xd5);
    const QColor hotBlue(0x00, 0x66, 0xff);
    switch (id) {
    case BitmapId::NewWidget: return TwoImages(Page, QColor(0xf0, 0xb0, 0x30), QColor(0xff, 0x90, 0x00));
    case BitmapId::OpenWidget: return TwoImages(Folder, QColor(0xe8, 0xc8, 0x60), QColor(0xff, 0xd0, 0x30));
    case BitmapId::SaveWidget: return TwoImages(Disk, blue, hotBlue);
    case BitmapId::GenerateCode: return TwoImages(Code, QColor(0x20, 0x90, 0x40), QColor(0x00, 0xb0, 0x30));
    case BitmapId::SupportFiles: return TwoImages(Files, blue, hotBlue);
    case BitmapId::ListView: return TwoImages(List, blue, hotBlue);
    case BitmapId::ReportView: return TwoImages(Report, blue, hotBlue);
    case BitmapId::Preview: return TwoImages(Eye, blue, hotBlue);
    case BitmapId::TemplateItem: {
        QPixmap pix(16, 16);
        pix.fill(kMagenta);
        QPainter p(&pix);
        p.scale(0.8, 0.8);
        Item(p, blue);
        return pix;
    }
    case BitmapId::EncoderLogo: {
        QPixmap pix(48, 48);
        pix.fill(QColor(0x30, 0x30, 0x30));
        QPainter p(&pix);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0xff, 0xc0, 0x20), 3));
        for (int i = 0; i < 5; ++i) p.drawLine(8 + i * 8, 24 - (i % 2 ? 12 : 6), 8 + i * 8, 24 + (i % 2 ? 12 : 6));
        return pix;
    }
    default: return {};
    }
}

QPixmap FennicIconPixmap(int size) {
    QPixmap pix(size, size);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    // A fennec's head: big ears over a rounded button.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe0, 0x9a, 0x4a));
    p.drawPolygon(QPolygon({{4, 2}, {13, 12}, {6, 16}}));
    p.drawPolygon(QPolygon({{28, 2}, {19, 12}, {26, 16}}));
    QLinearGradient g(0, 10, 0, 30);
    g.setColorAt(0, QColor(0x5a, 0x9b, 0xf0));
    g.setColorAt(1, QColor(0x1d, 0x4e, 0x89));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(3, 12, 26, 17), 7, 7);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(11, 20), 2.2, 2.2);
    p.drawEllipse(QPointF(21, 20), 2.2, 2.2);
    return pix;
}

QPixmap CreditsPicture(const QString& name) {
    if (name.compare(QStringLiteral("Fennic"), Qt::CaseInsensitive) == 0) return FennicIconPixmap(48);
    return {};
}
