#pragma once
// The Fennic button: its look in three states, its link, and the files made
// from it (.pgt configuration, self-contained .svg, embedding HTML).

#include <QColor>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

enum class ButtonState { Normal = 0, Hover = 1, Pressed = 2 };
enum class FillKind { Solid = 0, Gradient = 1 };
enum class ButtonShape { Rounded = 0, Pill = 1, Ellipse = 2 };
// What the page gets: the SVG in an <object> (with its support file), or a
// plain HTML element styled by CSS and needing no file.
enum class OutputForm { Svg = 0, Link = 1, Button = 2 };

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
    // New work is a plain HTML link; files without a Form key are SVG.
    OutputForm form = OutputForm::Link;
    // The <button> form's type ("button" for the page's script, "submit",
    // "reset") and the name and value it sends with its form.
    QString buttonType = QStringLiteral("button");
    QString buttonName;
    QString buttonValue;
    // The focus ring: this colour and its partner (white or black, whichever
    // differs more), one ring inside the other, so one of them shows on any
    // page.
    QColor focusColor = QColor(0x0b, 0x3d, 0x91);
    // Labels wrap within this width (pixels at the default text size).
    int maxWidth = 320;
    // The support file the work last wrote, by name (SVG form).
    QString supportFile;

    std::array<StateLook, 3> states = {
        StateLook{QColor(Qt::white), QColor(0x2a, 0x6b, 0xc5), QColor(0x1d, 0x4e, 0x89)},
        StateLook{QColor(Qt::white), QColor(0x1f, 0x5f, 0xb8), QColor(0x17, 0x45, 0x7d)},
        StateLook{QColor(0xe8, 0xf0, 0xff), QColor(0x1d, 0x4e, 0x89), QColor(0x23, 0x5c, 0xa6)},
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
// is also given as plain attributes, so viewers without CSS show it. Without
// an address it is a picture (role img) that takes no focus: nothing in it
// could act on a key.
QString InteractiveSvg(const ButtonStyle& style);
// A picture of one state without any CSS, for the editor's preview.
QString StaticSvg(const ButtonStyle& style, ButtonState state);
// The code parts of a page that embeds the button.
QString StyleCode(const ButtonStyle& style);
QString CursorCode(const ButtonStyle& style, const QString& svgFileName);
QString XmlEscape(const QString& text);
// The label's lines as the page sets them: wrapped at spaces (or anywhere in
// a word too long for a line) within the maximum width.
QStringList LabelLines(const ButtonStyle& style);
// The family the label is drawn in here: the chosen one where installed,
// else what its generic family gives (a serif for "Georgia").
QString ResolvedFamily(const ButtonStyle& style);
// Room around the face of the SVG for the focus ring, in pixels.
constexpr int kSvgRingRoom = 5;
// A short name safe in any web address and file system: ASCII letters
// (lower case), digits and single hyphens, accents dropped, at most 40
// characters; "button" when nothing is left.
QString WebSafeName(const QString& text);
// The family as a CSS font stack ending in a generic family, so a visitor
// without the font still gets the same kind of type: "'DejaVu Sans',
// sans-serif". A generic family alone stays as it is.
QString FontStack(const QString& family);

// The HTML form: the button as a plain <a> or <button> element and the CSS
// block that styles it (custom properties for the colours, sizes in rem,
// :hover, :focus-visible and :active, still when reduced motion is asked
// for). The class is "fb-", the web-safe title and LookHash, so buttons of
// different looks never restyle each other on one page.
QString HtmlClass(const ButtonStyle& style);
// The selector the CSS styles it by: the class, weighted against the link and
// button rules of a site's own style.
QString HtmlSelector(const ButtonStyle& style);
// Six hex digits that change with anything that changes the button's look.
QString LookHash(const ButtonStyle& style);
QString HtmlCss(const ButtonStyle& style);        // the bare CSS
QString HtmlStyleCode(const ButtonStyle& style);  // HtmlCss in a <style> element
QString HtmlElementCode(const ButtonStyle& style);
// "0.875rem" for 14 pixels at the browser's default 16.
QString Rem(double pixels);
// A small page showing the button among text on a light and a dark
// background; svgFileName names the picture beside it in the SVG form.
QString PreviewPage(const ButtonStyle& style, const QString& svgFileName);
}  // namespace ButtonOutput

namespace ButtonColors {
// WCAG 2 relative luminance (0 black to 1 white) and contrast ratio (1 to 21).
double RelativeLuminance(const QColor& color);
double ContrastRatio(const QColor& a, const QColor& b);
// The lower ratio of a state's text against its fill and, for a gradient,
// its bottom colour.
double StateContrast(const ButtonStyle& style, ButtonState state);
constexpr double kMinimumContrast = 4.5;  // WCAG AA for normal text
// a moved towards b by amount (0 to 1), per sRGB channel.
QColor Mix(const QColor& a, const QColor& b, double amount);
constexpr double kMinimumNonText = 3.0;  // focus rings, borders that matter
// The three looks made from one base colour: normal is the base, hover a
// step lighter (darker for a light base), pressed a step darker; gradients
// end a step darker; each text is white or black, whichever reads better,
// and a fill too close to its text is moved away from it until it reads at
// 4.5:1.
std::array<StateLook, 3> Derive(const QColor& base);
// The border that goes with a base colour: a step darker.
QColor DeriveBorder(const QColor& base);
// White or black, whichever differs more from colour.
QColor Partner(const QColor& colour);
// The colour nearest to colour (mixed towards black or white, whichever
// needs less) with at least ratio against other; colour itself when it
// already has it.
QColor NearestPassing(const QColor& colour, const QColor& other, double ratio);
// The two tones of the focus ring: the author's colour and its partner.
std::array<QColor, 2> FocusTones(const ButtonStyle& style);
}  // namespace ButtonColors
