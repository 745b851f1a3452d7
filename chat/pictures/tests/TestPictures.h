#pragma once
// Pictures the tests send: a PNG of one colour.
#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace lanyx::test {

inline QByteArray png(int w, int h, Qt::GlobalColor colour = Qt::darkCyan) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}  // namespace lanyx::test
