#pragma once
// The Fennic button: its look in three states, its link, and the files made
// from it (.pgt configuration, self-contained .svg, embedding HTML).

#include <QColor>
#include <QDateTime>
#include <QString>
#include <array>
#include <optional>

enum class ButtonState { Normal = 0, Hover = 1, Pressed = 2 };
enum class FillKind { Solid = 0, Gradient = 1 };
enum class ButtonShape { Rounded = 0, Pill = 1, Ellipse = 2 };

struct StateLook {
    QColor text;
    QColor fill;
    QColor fill2;  // bottom colour of a gradient
    bool operator==(const StateLook&) const = default;
};

struct ButtonStyle {
    // Description block.
    QString title = QStringLiteral("Normal");
    QString description;
    QString progId;
    QDateTime savedTime;

    QString label = QStringLiteral("Click me");
    QString fontFamily = QStringLiteral("Arial");
    int fontSize = 14;  // pixels
    bool bold = true;
    bool italic = false;

    FillKind fill = FillKind::Gradient;
    ButtonShape shape = ButtonShape::Rounded;
    int cornerRadius = 6;
    int borderWidth = 1;
    QColor borderColor = QColor(0x1d, 0x4e, 0x89);
    int width = 120;
    int height = 36;
    int padding = 10;  // room at either side of the label

    QString link;  // empty: the button links nowhere
    QString target;
    QString tooltip;
    QString altText;

    std::array<StateLook, 3> states = {
        StateLook{QColor(Qt::white), QColor(0x3a, 0x7b, 0xd5), QColor(0x1d, 0x4e, 0x89)},
        StateLook{QColor(Qt::white), QColor(0x5a, 0x9b, 0xf0), QColor(0x2a, 0x64, 0xad)},
        StateLook{QColor(0xe8, 0xf0, 0xff), QColor(0x1d, 0x4e, 0x89), QColor(0x3a, 0x7b, 0xd5)},
    };

    bool operator==(const ButtonStyle&) const = default;

    const StateLook& Look(ButtonState s) const { return states[static_cast<int>(s)]; }
    StateLook& Look(ButtonState s) { return states[static_cast<int>(s)]; }
};

namespace Pgt {
inline const QString kBeginMarker = QStringLiteral("========== Description Part Begin ==========");
inline const QString kEndMarker = QStringLiteral("========== Description Part End ==========");
// Files larger than this are not button configurations; refusing them keeps
// a stray multi-megabyte file from being read whole.
constexpr qint64 kMaxFileSize = 1 << 20;

QString Write(const ButtonStyle& style);
// Nothing when the text has no description block.
std::optional<ButtonStyle> Read(const QString& text);
bool WriteFile(const ButtonStyle& style, const QString& path);
std::optional<ButtonStyle> ReadFile(const QString& path);
}  // namespace Pgt

namespace ButtonOutput {
// The button's outer size: the configured size, grown to hold the label and
// its padding.
QSize EffectiveSize(const ButtonStyle& style);
// Self-contained SVG that shows hover and pressed states by itself in a
// browser (CSS :hover, :focus and :active inside the SVG). The normal state
// is also given as plain attributes, so viewers without CSS show it.
QString InteractiveSvg(const ButtonStyle& style);
// A picture of one state without any CSS, for the editor's preview.
QString StaticSvg(const ButtonStyle& style, ButtonState state);
// The code parts of a page that embeds the button.
QString StyleCode(const ButtonStyle& style);
QString CursorCode(const ButtonStyle& style, const QString& svgFileName);
QString XmlEscape(const QString& text);
// The family as a CSS font stack ending in a generic family, so a visitor
// without the font still gets the same kind of type: "'DejaVu Sans',
// sans-serif". A generic family alone stays as it is.
QString FontStack(const QString& family);
}  // namespace ButtonOutput
