#pragma once
// A QR code of a short text, drawn from the module matrix the QR library
// makes: black modules on white with the quiet zone around them.
#include <QImage>
#include <QString>

namespace lanyx::ui {

// Null where this build has no QR library or the text does not fit.
QImage QrImage(const QString& text, int moduleSize);
// Whether QR codes can be made at all.
bool QrAvailable();

}  // namespace lanyx::ui
