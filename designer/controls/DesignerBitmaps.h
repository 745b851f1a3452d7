#pragma once
// The shell's bitmaps, drawn at run time. Tool bitmaps hold two images side
// by side (normal, hot) on magenta, which the flat buttons make transparent.

#include <QPixmap>

namespace BitmapId {
constexpr int NewWidget = 130;
constexpr int OpenWidget = 137;
constexpr int SaveWidget = 134;
constexpr int ListView = 140;
constexpr int ReportView = 141;
constexpr int TemplateItem = 142;
constexpr int Preview = 145;
constexpr int GenerateCode = 147;
constexpr int SupportFiles = 152;
constexpr int EncoderLogo = 106;
}  // namespace BitmapId

QPixmap DesignerBitmap(int id);
// Pictures the credits can name ("Fennic").
QPixmap CreditsPicture(const QString& name);
// The program icon.
QPixmap FennicIconPixmap(int size);
