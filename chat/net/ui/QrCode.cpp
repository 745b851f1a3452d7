#include "QrCode.h"

#include <QPainter>

#if LANYX_HAVE_QRENCODE
#include <qrencode.h>
#endif

namespace lanyx::ui {

bool QrAvailable() {
#if LANYX_HAVE_QRENCODE
    return true;
#else
    return false;
#endif
}

QImage QrImage(const QString& text, int moduleSize) {
#if LANYX_HAVE_QRENCODE
    const QByteArray utf8 = text.toUtf8();
    QRcode* code = QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (!code) return {};
    constexpr int kQuiet = 4;  // modules of white around, as readers expect
    const int side = (code->width + 2 * kQuiet) * moduleSize;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1)
                p.fillRect((x + kQuiet) * moduleSize, (y + kQuiet) * moduleSize, moduleSize, moduleSize, Qt::black);
    p.end();
    QRcode_free(code);
    return image;
#else
    (void)text;
    (void)moduleSize;
    return {};
#endif
}

}  // namespace lanyx::ui
