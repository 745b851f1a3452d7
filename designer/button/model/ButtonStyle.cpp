#include "button/model/ButtonStyle.h"

#include <QFile>
#include <QCryptographicHash>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStringList>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace {

const char* const kStateSections[3] = {"Normal", "Hover", "Pressed"};
const char* const kStateClasses[3] = {"normal", "hover", "pressed"};

QString Quoted(const QString& text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'"': out += QStringLiteral("\\\""); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        default: out += c;
        }
    }
    return out + u'"';
}

QString Unquoted(const QString& value) {
    if (value.size() < 2 || !value.startsWith(u'"') || !value.endsWith(u'"')) return value;
    QString out;
    const qsizetype end = value.size() - 1;
    for (qsizetype i = 1; i < end; ++i) {
        QChar c = value[i];
        if (c == u'\\' && i + 1 < end) {
            const QChar e = value[++i];
            c = e == u'n' ? QChar(u'\n') : e == u'r' ? QChar(u'\r') : e == u't' ? QChar(u'\t') : e;
        }
        out += c;
    }
    return out;
}

// Description values live on one line.
QString OneLine(const QString& text) {
    QString out = text;
    out.replace(u'\r', u' ').replace(u'\n', u' ');
    return out.trimmed();
}

QString ColorText(const QColor& c) {
    return c.name(QColor::HexRgb);
}

void ReadColor(const QString& value, QColor& into) {
    const QColor c = QColor::fromString(value);
    if (c.isValid()) into = c;
}

void ReadInt(const QString& value, int& into, int lo, int hi) {
    bool ok = false;
    const int v = value.toInt(&ok);
    if (ok) into = std::clamp(v, lo, hi);
}

QString Num(double v) {
    return QString::number(std::round(v * 100.0) / 100.0, 'g', 10);
}

bool HaveFonts() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

// The generic family a visitor without the font gets.
QString GenericFallback(const QString& name) {
    const QString lower = name.toLower();
    if (lower.contains(QLatin1String("mono")) || lower.contains(QLatin1String("courier")) ||
        lower.contains(QLatin1String("consol")))
        return QStringLiteral("monospace");
    if (!lower.contains(QLatin1String("sans")) &&
        (lower.contains(QLatin1String("serif")) || lower.contains(QLatin1String("times")) ||
         lower.contains(QLatin1String("georgia")) || lower.contains(QLatin1String("garamond"))))
        return QStringLiteral("serif");
    return QStringLiteral("sans-serif");
}

// The label's font as a browser picks it: the family, else its generic one.
QFont LabelFont(const ButtonStyle& s) {
    QFont font(s.fontFamily);
    const QString generic = GenericFallback(s.fontFamily);
    font.setStyleHint(generic == QLatin1String("serif")       ? QFont::Serif
                      : generic == QLatin1String("monospace") ? QFont::Monospace
                                                              : QFont::SansSerif);
    if (!QFontDatabase::hasFamily(s.fontFamily)) {
        const QString fallback = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
        // Qt has no generic families of its own; fontconfig's answer to the
        // hint is what stands in for the missing family.
        font.setFamilies({s.fontFamily, generic == QLatin1String("serif")       ? QStringLiteral("serif")
                                        : generic == QLatin1String("monospace") ? QStringLiteral("monospace")
                                                                                : fallback});
    }
    font.setPixelSize(s.fontSize);
    font.setBold(s.bold);
    font.setItalic(s.italic);
    return font;
}

double TextWidth(const ButtonStyle& s, const QString& text) {
    if (HaveFonts()) return QFontMetricsF(LabelFont(s)).horizontalAdvance(text);
    // Without a GUI there are no font metrics; an average glyph is close.
    return 0.6 * s.fontSize * text.size();
}

double LineHeight(const ButtonStyle& s) {
    return HaveFonts() ? QFontMetricsF(LabelFont(s)).height() : 1.2 * s.fontSize;
}

// The room the label may take on one line.
double LineRoom(const ButtonStyle& s) {
    return std::max(1.0 * s.fontSize, 1.0 * std::max(s.maxWidth, s.width) - 2 * s.padding - 2 * s.borderWidth);
}

QString FillOf(const ButtonStyle& s, int state) {
    if (s.fill == FillKind::Gradient)
        return QStringLiteral("url(#fb-fill-%1)").arg(QLatin1String(kStateClasses[state]));
    return ColorText(s.states[state].fill);
}

// family: the CSS font list a browser reads, or one name for a renderer
// that reads no list.
QString FontAttributes(const ButtonStyle& s, const QString& family) {
    return QStringLiteral("font-family=\"%1\" font-size=\"%2\" font-weight=\"%3\" font-style=\"%4\"")
        .arg(ButtonOutput::XmlEscape(family), QString::number(s.fontSize),
             s.bold ? QStringLiteral("bold") : QStringLiteral("normal"),
             s.italic ? QStringLiteral("italic") : QStringLiteral("normal"));
}

QString Gradients(const ButtonStyle& s, int only = -1) {
    if (s.fill != FillKind::Gradient) return {};
    QString out;
    for (int i = 0; i < 3; ++i) {
        if (only >= 0 && i != only) continue;
        out += QStringLiteral(
                   "<linearGradient id=\"fb-fill-%1\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
                   "<stop offset=\"0\" stop-color=\"%2\"/><stop offset=\"1\" stop-color=\"%3\"/></linearGradient>\n")
                   .arg(QLatin1String(kStateClasses[i]), ColorText(s.states[i].fill), ColorText(s.states[i].fill2));
    }
    return QStringLiteral("<defs>\n") + out + QStringLiteral("</defs>\n");
}

double FaceRadius(const ButtonStyle& s, const QSize& size) {
    const double w = size.width() - s.borderWidth;
    const double h = size.height() - s.borderWidth;
    return s.shape == ButtonShape::Pill ? h / 2 : std::min<double>(s.cornerRadius, std::min(w, h) / 2);
}

// The face shape; inset by half the border so the stroke stays inside, and
// moved by offset (the room left for the focus ring).
QString Face(const ButtonStyle& s, const QSize& size, const QString& extra, double offset = 0) {
    const double b = s.borderWidth;
    const double w = size.width() - b;
    const double h = size.height() - b;
    const QString stroke = b > 0 ? QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\"")
                                       .arg(ColorText(s.borderColor), QString::number(s.borderWidth))
                                 : QString();
    if (s.shape == ButtonShape::Ellipse) {
        return QStringLiteral("<ellipse class=\"fb-face\" cx=\"%1\" cy=\"%2\" rx=\"%3\" ry=\"%4\"%5%6/>\n")
            .arg(Num(offset + size.width() / 2.0), Num(offset + size.height() / 2.0), Num(w / 2), Num(h / 2), stroke,
                 extra);
    }
    return QStringLiteral(
               "<rect class=\"fb-face\" x=\"%1\" y=\"%1\" width=\"%2\" height=\"%3\" rx=\"%4\" ry=\"%4\"%5%6/>\n")
        .arg(Num(offset + b / 2), Num(w), Num(h), Num(FaceRadius(s, size)), stroke, extra);
}

QString Label(const ButtonStyle& s, const QSize& size, const QColor& color, double offset, const QString& family) {
    // Baselines placed by hand: viewers differ in support for
    // dominant-baseline. One line sits a little below the middle.
    const QStringList lines = ButtonOutput::LabelLines(s);
    const double lineHeight = 1.2 * s.fontSize;
    const double cx = offset + size.width() / 2.0;
    const double first = offset + size.height() / 2.0 - (lines.size() - 1) * lineHeight / 2 + s.fontSize * 0.35;
    QString text = QStringLiteral("<text class=\"fb-label\" x=\"%1\" y=\"%2\" text-anchor=\"middle\" %3 fill=\"%4\">")
                       .arg(Num(cx), Num(first), FontAttributes(s, family), ColorText(color));
    if (lines.size() == 1) {
        text += ButtonOutput::XmlEscape(lines.first());
    } else {
        for (qsizetype i = 0; i < lines.size(); ++i)
            text += QStringLiteral("<tspan x=\"%1\" y=\"%2\">%3</tspan>")
                        .arg(Num(cx), Num(first + i * lineHeight), ButtonOutput::XmlEscape(lines[i]));
    }
    return text + QStringLiteral("</text>\n");
}

QString SvgHead(const QSize& size) {
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"%1\" height=\"%2\" "
               "viewBox=\"0 0 %1 %2\">\n")
        .arg(size.width())
        .arg(size.height());
}

}  // namespace

namespace Pgt {

QString Write(const ButtonStyle& s) {
    QStringList lines;
    lines << kBeginMarker;
    lines << QStringLiteral("Title = %1").arg(OneLine(s.title));
    lines << QStringLiteral("Description = %1").arg(OneLine(s.description));
    lines << QStringLiteral("ProgID = %1").arg(OneLine(s.progId));
    if (s.savedTime.isValid()) lines << QStringLiteral("SavedTime = %1").arg(s.savedTime.toString(Qt::ISODate));
    lines << kEndMarker;
    lines << QStringLiteral("[Button]");
    lines << QStringLiteral("Label = %1").arg(Quoted(s.label));
    lines << QStringLiteral("FontFamily = %1").arg(Quoted(s.fontFamily));
    lines << QStringLiteral("FontSize = %1").arg(s.fontSize);
    lines << QStringLiteral("Bold = %1").arg(s.bold ? 1 : 0);
    lines << QStringLiteral("Italic = %1").arg(s.italic ? 1 : 0);
    lines << QStringLiteral("Fill = %1").arg(QLatin1String(s.fill == FillKind::Gradient ? "gradient" : "solid"));
    lines << QStringLiteral("Shape = %1")
                 .arg(QLatin1String(s.shape == ButtonShape::Pill      ? "pill"
                                    : s.shape == ButtonShape::Ellipse ? "ellipse"
                                                                      : "rounded"));
    lines << QStringLiteral("CornerRadius = %1").arg(s.cornerRadius);
    lines << QStringLiteral("BorderWidth = %1").arg(s.borderWidth);
    lines << QStringLiteral("BorderColor = %1").arg(ColorText(s.borderColor));
    lines << QStringLiteral("Width = %1").arg(s.width);
    lines << QStringLiteral("Height = %1").arg(s.height);
    lines << QStringLiteral("Padding = %1").arg(s.padding);
    lines << QStringLiteral("Link = %1").arg(Quoted(s.link));
    lines << QStringLiteral("Target = %1").arg(Quoted(s.target));
    lines << QStringLiteral("Tooltip = %1").arg(Quoted(s.tooltip));
    lines << QStringLiteral("AltText = %1").arg(Quoted(s.altText));
    lines << QStringLiteral("Form = %1")
                 .arg(QLatin1String(s.form == OutputForm::Link     ? "link"
                                    : s.form == OutputForm::Button ? "button"
                                                                   : "svg"));
    lines << QStringLiteral("ButtonType = %1").arg(s.buttonType);
    if (!s.buttonName.isEmpty()) lines << QStringLiteral("ButtonName = %1").arg(Quoted(s.buttonName));
    if (!s.buttonValue.isEmpty()) lines << QStringLiteral("ButtonValue = %1").arg(Quoted(s.buttonValue));
    lines << QStringLiteral("FocusColor = %1").arg(ColorText(s.focusColor));
    lines << QStringLiteral("MaxWidth = %1").arg(s.maxWidth);
    if (!s.supportFile.isEmpty()) lines << QStringLiteral("SupportFile = %1").arg(Quoted(s.supportFile));
    for (int i = 0; i < 3; ++i) {
        lines << QStringLiteral("[%1]").arg(QLatin1String(kStateSections[i]));
        lines << QStringLiteral("Text = %1").arg(ColorText(s.states[i].text));
        lines << QStringLiteral("Fill = %1").arg(ColorText(s.states[i].fill));
        lines << QStringLiteral("Fill2 = %1").arg(ColorText(s.states[i].fill2));
    }
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

std::optional<ButtonStyle> Read(const QString& text) {
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
    }
    qsizetype i = 0;
    while (i < lines.size() && lines[i].compare(kBeginMarker, Qt::CaseInsensitive) != 0) ++i;
    if (i == lines.size()) return std::nullopt;

    ButtonStyle s;
    s.title.clear();
    // Files from before the HTML forms have no Form key: they are SVG.
    s.form = OutputForm::Svg;
    // Description block: whole-line markers, first '=' splits, trimmed,
    // case-sensitive keys, later lines win.
    for (++i; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.compare(kEndMarker, Qt::CaseInsensitive) == 0) {
            ++i;
            break;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("Title")) s.title = value;
        else if (key == QLatin1String("Description")) s.description = value;
        else if (key == QLatin1String("ProgID")) s.progId = value;
        else if (key == QLatin1String("SavedTime")) s.savedTime = QDateTime::fromString(value, Qt::ISODate);
    }

    QString section;
    bool typed = false;
    for (; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (section == QLatin1String("Button")) {
            if (key == QLatin1String("Label")) s.label = Unquoted(value);
            else if (key == QLatin1String("FontFamily")) s.fontFamily = Unquoted(value);
            else if (key == QLatin1String("FontSize")) ReadInt(value, s.fontSize, 6, 200);
            else if (key == QLatin1String("Bold")) s.bold = value == QLatin1String("1");
            else if (key == QLatin1String("Italic")) s.italic = value == QLatin1String("1");
            else if (key == QLatin1String("Fill"))
                s.fill = value == QLatin1String("solid") ? FillKind::Solid : FillKind::Gradient;
            else if (key == QLatin1String("Shape"))
                s.shape = value == QLatin1String("pill")      ? ButtonShape::Pill
                          : value == QLatin1String("ellipse") ? ButtonShape::Ellipse
                                                              : ButtonShape::Rounded;
            else if (key == QLatin1String("CornerRadius")) ReadInt(value, s.cornerRadius, 0, 500);
            else if (key == QLatin1String("BorderWidth")) ReadInt(value, s.borderWidth, 0, 50);
            else if (key == QLatin1String("BorderColor")) ReadColor(value, s.borderColor);
            else if (key == QLatin1String("Width")) ReadInt(value, s.width, 8, 2000);
            else if (key == QLatin1String("Height")) ReadInt(value, s.height, 8, 2000);
            else if (key == QLatin1String("Padding")) ReadInt(value, s.padding, 0, 500);
            else if (key == QLatin1String("Link")) s.link = Unquoted(value);
            else if (key == QLatin1String("Target")) s.target = Unquoted(value);
            else if (key == QLatin1String("Tooltip")) s.tooltip = Unquoted(value);
            else if (key == QLatin1String("AltText")) s.altText = Unquoted(value);
            else if (key == QLatin1String("Form"))
                s.form = value == QLatin1String("link")     ? OutputForm::Link
                         : value == QLatin1String("button") ? OutputForm::Button
                                                            : OutputForm::Svg;
            else if (key == QLatin1String("ButtonType")) {
                typed = true;
                if (value == QLatin1String("submit") || value == QLatin1String("reset")) s.buttonType = value;
            } else if (key == QLatin1String("ButtonName")) s.buttonName = Unquoted(value);
            else if (key == QLatin1String("ButtonValue")) s.buttonValue = Unquoted(value);
            else if (key == QLatin1String("FocusColor")) ReadColor(value, s.focusColor);
            else if (key == QLatin1String("MaxWidth")) ReadInt(value, s.maxWidth, 48, 2000);
            else if (key == QLatin1String("SupportFile")) {
                // A bare file name beside the work, nothing else.
                const QString name = Unquoted(value);
                if (!name.contains(u'/') && !name.contains(u'\\') && !name.startsWith(u'.')) s.supportFile = name;
            }
            continue;
        }
        for (int st = 0; st < 3; ++st) {
            if (section != QLatin1String(kStateSections[st])) continue;
            if (key == QLatin1String("Text")) ReadColor(value, s.states[st].text);
            else if (key == QLatin1String("Fill")) ReadColor(value, s.states[st].fill);
            else if (key == QLatin1String("Fill2")) ReadColor(value, s.states[st].fill2);
        }
    }
    // Before the <button> form had a type of its own it published a link
    // whenever there was an address: such a work keeps giving its pages
    // the link they have.
    if (!typed && s.form == OutputForm::Button && !s.link.isEmpty()) s.form = OutputForm::Link;
    return s;
}

bool WriteFile(const ButtonStyle& style, const QString& path) {
    // All or nothing: a failed save must not leave a half-written file where
    // the last good one was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(Write(style).toUtf8());
    return file.commit();
}

std::optional<ButtonStyle> ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize) return std::nullopt;
    return Read(QString::fromUtf8(file.read(kMaxFileSize)));
}

}  // namespace Pgt

namespace ButtonOutput {

QString XmlEscape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
            continue;
        }
        switch (c.unicode()) {
        case u'&': out += QStringLiteral("&amp;"); break;
        case u'<': out += QStringLiteral("&lt;"); break;
        case u'>': out += QStringLiteral("&gt;"); break;
        case u'"': out += QStringLiteral("&quot;"); break;
        case u'\'': out += QStringLiteral("&#39;"); break;
        default:
            // Control characters, U+FFFE, U+FFFF and unpaired surrogates are
            // not allowed in XML 1.0 at all: one would leave the whole picture
            // unreadable. U+FFFE and U+FFFF are valid UTF-8, so a .pgt file
            // may hold them.
            if ((c.unicode() >= 0x20 || c == u'\t' || c == u'\n') && !c.isSurrogate() && c.unicode() < 0xfffe) out += c;
        }
    }
    return out;
}

QString WebSafeName(const QString& text) {
    // Decomposed, an accented letter is its base letter and marks to drop.
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString out;
    bool hyphen = false;
    for (const QChar c : decomposed) {
        const char16_t u = c.unicode();
        if ((u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z')) {
            if (hyphen && !out.isEmpty()) out += u'-';
            hyphen = false;
            out += c.toLower();
        } else if (c.category() != QChar::Mark_NonSpacing) {
            hyphen = true;
        }
        if (out.size() >= 40) break;
    }
    while (out.endsWith(u'-')) out.chop(1);
    return out.isEmpty() ? QStringLiteral("button") : out;
}

QStringList LabelLines(const ButtonStyle& s) {
    const double room = LineRoom(s);
    QStringList lines;
    QString line;
    const auto fits = [&](const QString& text) { return TextWidth(s, text) <= room; };
    const QStringList words = s.label.split(u' ', Qt::SkipEmptyParts);
    for (QString word : words) {
        const QString joined = line.isEmpty() ? word : line + u' ' + word;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        if (!line.isEmpty()) lines << line;
        line.clear();
        // A word longer than a line breaks where it must.
        while (!fits(word) && word.size() > 1) {
            qsizetype cut = word.size() - 1;
            while (cut > 1 && !fits(word.left(cut))) --cut;
            lines << word.left(cut);
            word = word.mid(cut);
        }
        line = word;
    }
    if (!line.isEmpty() || lines.isEmpty()) lines << line;
    return lines;
}

QString ResolvedFamily(const ButtonStyle& s) {
    if (!HaveFonts()) return s.fontFamily;
    return QFontInfo(LabelFont(s)).family();
}

QSize EffectiveSize(const ButtonStyle& s) {
    // Padding is the room at either side of the label; buttons keep their
    // height unless the label itself does not fit, and grow downwards when
    // it wraps.
    const QStringList lines = LabelLines(s);
    double widest = 0;
    for (const QString& line : lines) widest = std::max(widest, TextWidth(s, line));
    const int border = 2 * s.borderWidth;
    const int limit = std::max(s.maxWidth, s.width);
    const int width = std::min(limit, static_cast<int>(std::ceil(widest)) + 2 * s.padding + border);
    const double textHeight = lines.size() == 1 ? LineHeight(s) : lines.size() * 1.2 * s.fontSize + 8;
    return {std::max(s.width, width), std::max(s.height, static_cast<int>(std::ceil(textHeight)) + border)};
}

QString AccessibleName(const ButtonStyle& s) {
    return s.altText.isEmpty() ? s.label : s.altText;
}

QString InteractiveSvg(const ButtonStyle& s) {
    const QSize face = EffectiveSize(s);
    constexpr int m = kSvgRingRoom;
    const QSize size(face.width() + 2 * m, face.height() + 2 * m);
    // Without an address nothing inside an embedded picture can act: no
    // script runs there and the page's script cannot reach it by ordinary
    // means. It is then a picture, and says so, rather than a control that
    // takes the focus and ignores every key.
    const bool operable = !s.link.isEmpty();
    QString svg = SvgHead(size);
    if (!operable)
        svg.insert(svg.lastIndexOf(u'>'),
                   QStringLiteral(" role=\"img\" aria-label=\"%1\"").arg(XmlEscape(AccessibleName(s))));
    svg += QStringLiteral("<title>%1</title>\n").arg(XmlEscape(AccessibleName(s)));
    if (s.fill == FillKind::Gradient) {
        svg += Gradients(s);
    }
    const StateLook& hover = s.Look(ButtonState::Hover);
    const StateLook& pressed = s.Look(ButtonState::Pressed);
    const auto tones = ButtonColors::FocusTones(s);
    // The focus ring is two rings of two tones, outside the face, in room the
    // picture keeps for it: an <object> clips anything outside the picture.
    svg += QStringLiteral("<style>\n:root { color-scheme: light dark; }\n");
    if (operable) {
        svg += QStringLiteral(
                   ".fb { cursor: pointer; outline: none; }\n"
                   ".fb:hover .fb-face { fill: %1; }\n"
                   ".fb:hover .fb-label { fill: %2; }\n"
                   ".fb:active .fb-face { fill: %3; }\n"
                   ".fb:active .fb-label { fill: %4; }\n"
                   ".fb:active .fb-content { transform: translate(0, 1px); }\n"
                   ".fb:focus-visible .fb-ring { visibility: visible; }\n"
                   "@media (prefers-color-scheme: dark) {\n"
                   "  .fb-ring-outer { stroke: %6; }\n"
                   "  .fb-ring-inner { stroke: %5; }\n"
                   "}\n")
                   .arg(FillOf(s, 1), ColorText(hover.text), FillOf(s, 2), ColorText(pressed.text), ColorText(tones[0]),
                        ColorText(tones[1]));
    }
    svg += QStringLiteral(
        "@media (forced-colors: active) {\n"
        "  .fb-face, .fb:hover .fb-face, .fb:active .fb-face { fill: Canvas; stroke: ButtonText; stroke-width: 2px; }\n"
        "  .fb-label, .fb:hover .fb-label, .fb:active .fb-label { fill: ButtonText; }\n"
        "  .fb-ring { stroke: Highlight; }\n"
        "}\n");
    if (operable) {
        svg += QStringLiteral(
            "@media (prefers-reduced-motion: reduce) {\n"
            "  .fb:active .fb-content { transform: none; }\n"
            "}\n");
    }
    svg += QStringLiteral("</style>\n");
    if (operable) {
        // A button inside an embedded SVG must navigate the page, not itself.
        svg += QStringLiteral("<a class=\"fb\" href=\"%1\" target=\"%2\" aria-label=\"%3\">\n")
                   .arg(XmlEscape(s.link), XmlEscape(s.target.isEmpty() ? QStringLiteral("_top") : s.target),
                        XmlEscape(AccessibleName(s)));
        if (!s.tooltip.isEmpty()) svg += QStringLiteral("<title>%1</title>\n").arg(XmlEscape(s.tooltip));
    }
    svg += QStringLiteral("<g class=\"fb-content\">\n");
    svg += Face(s, face, QStringLiteral(" fill=\"%1\"").arg(FillOf(s, 0)), m);
    svg += Label(s, face, s.Look(ButtonState::Normal).text, m, ButtonOutput::FontStack(s.fontFamily));
    svg += QStringLiteral("</g>\n");
    if (!operable) return svg + QStringLiteral("</svg>\n");
    // Outer ring (3 px) in the author's colour, inner ring (2 px) in its
    // partner. Hidden and unfilled by their own attributes: where a policy
    // refuses the picture's style the rings stay away (the browser's own
    // focus outline shows instead) rather than cover the face in black.
    const QString hidden = QStringLiteral(" fill=\"none\" visibility=\"hidden\"");
    for (int ring = 0; ring < 2; ++ring) {
        const double inset = ring == 0 ? 1.5 : 4;
        const QString width = ring == 0 ? QStringLiteral("3") : QStringLiteral("2");
        const QString cls = ring == 0 ? QStringLiteral("fb-ring fb-ring-outer")
                                      : QStringLiteral("fb-ring fb-ring-inner");
        const QColor colour = tones[ring];
        if (s.shape == ButtonShape::Ellipse) {
            svg += QStringLiteral(
                       "<ellipse class=\"%1\" cx=\"%2\" cy=\"%3\" rx=\"%4\" ry=\"%5\" stroke=\"%6\" "
                       "stroke-width=\"%7\"%8/>\n")
                       .arg(cls, Num(size.width() / 2.0), Num(size.height() / 2.0), Num(size.width() / 2.0 - inset),
                            Num(size.height() / 2.0 - inset), ColorText(colour), width, hidden);
        } else {
            const double r = FaceRadius(s, face) + (m - inset);
            svg += QStringLiteral(
                       "<rect class=\"%1\" x=\"%2\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" ry=\"%5\" "
                       "stroke=\"%6\" stroke-width=\"%7\"%8/>\n")
                       .arg(cls, Num(inset), Num(size.width() - 2 * inset), Num(size.height() - 2 * inset), Num(r),
                            ColorText(colour), width, hidden);
        }
    }
    svg += QStringLiteral("</a>\n</svg>\n");
    return svg;
}

QString StaticSvg(const ButtonStyle& s, ButtonState state) {
    const QSize size = EffectiveSize(s);
    const int i = static_cast<int>(state);
    QString svg = SvgHead(size);
    svg += Gradients(s, i);
    const bool shifted = state == ButtonState::Pressed;
    svg += shifted ? QStringLiteral("<g transform=\"translate(0,1)\">\n") : QStringLiteral("<g>\n");
    svg += Face(s, size, QStringLiteral(" fill=\"%1\"").arg(FillOf(s, i)));
    // The renderer here reads one family name, not a list: it gets the one
    // the page will show, so the preview draws the published type.
    svg += Label(s, size, s.states[i].text, 0, ResolvedFamily(s));
    svg += QStringLiteral("</g>\n</svg>\n");
    return svg;
}

QString FontStack(const QString& family) {
    static const QStringList generic = {QStringLiteral("serif"),     QStringLiteral("sans-serif"),
                                        QStringLiteral("monospace"), QStringLiteral("cursive"),
                                        QStringLiteral("fantasy"),   QStringLiteral("system-ui")};
    // Quotes and separators inside a name would end the name or the list.
    QString name = family;
    name.remove(u'\'').remove(u'"').remove(u',').remove(u';').remove(u'\\');
    // Nor may it end the style element or block it sits in.
    name.remove(u'<').remove(u'>').remove(u'{').remove(u'}');
    name = name.trimmed();
    if (name.isEmpty()) return QStringLiteral("sans-serif");
    if (generic.contains(name.toLower())) return name.toLower();
    return QStringLiteral("'%1', %2").arg(name, GenericFallback(name));
}

QString StyleCode(const ButtonStyle& s) {
    // Sized in rem, so the picture grows with the visitor's text size; the
    // colour scheme matches the picture's own, so a dark page shows no light
    // box around it.
    const QSize face = EffectiveSize(s);
    const int m = kSvgRingRoom;
    // Never wider than its container: the picture scales down whole on a
    // narrow screen rather than make the page scroll sideways.
    return QStringLiteral(
               "<style>\n"
               "object%1 { display: inline-block; vertical-align: middle; border: 0; margin: 0; "
               "width: %2; max-width: 100%; height: auto; aspect-ratio: %4 / %5; color-scheme: light dark; }\n"
               "</style>\n")
        .arg(HtmlSelector(s), Rem(face.width() + 2 * m))
        .arg(face.width() + 2 * m)
        .arg(face.height() + 2 * m);
}

QString CursorCode(const ButtonStyle& s, const QString& svgFileName) {
    const QSize face = EffectiveSize(s);
    const QSize size(face.width() + 2 * kSvgRingRoom, face.height() + 2 * kSvgRingRoom);
    const QString data = QString::fromLatin1(QUrl::toPercentEncoding(svgFileName, "/._-~"));
    // The button lives in an <object> so that its own CSS states work; the
    // link inside is what gets focus and is announced. The <a> inside the
    // object is the fallback where SVG is not shown.
    QString html = QStringLiteral("<object class=\"%1\" type=\"image/svg+xml\" data=\"%2\" width=\"%3\" height=\"%4\"")
                       .arg(HtmlClass(s), XmlEscape(data))
                       .arg(size.width())
                       .arg(size.height());
    // Without an address the picture has nothing to press (see
    // InteractiveSvg): it is announced as the picture it is, and the
    // <object>, which browsers let take the focus by itself, takes none.
    if (s.link.isEmpty()) html += QStringLiteral(" role=\"img\" tabindex=\"-1\"");
    html += QStringLiteral(" aria-label=\"%1\"").arg(XmlEscape(AccessibleName(s)));
    if (!s.tooltip.isEmpty()) html += QStringLiteral(" title=\"%1\"").arg(XmlEscape(s.tooltip));
    html += QStringLiteral(">");
    if (!s.link.isEmpty()) {
        html += QStringLiteral("<a href=\"%1\"").arg(XmlEscape(s.link));
        if (!s.target.isEmpty()) html += QStringLiteral(" target=\"%1\"").arg(XmlEscape(s.target));
        html += QStringLiteral(">%1</a>").arg(XmlEscape(AccessibleName(s)));
    } else {
        html += XmlEscape(AccessibleName(s));
    }
    html += QStringLiteral("</object>\n");
    return html;
}

QString Rem(double pixels) {
    if (pixels == 0) return QStringLiteral("0");
    return QString::number(std::round(pixels / 16.0 * 10000.0) / 10000.0, 'g', 8) + QStringLiteral("rem");
}

QString LookHash(const ButtonStyle& s) {
    // Everything the page's CSS depends on, and nothing it does not: two
    // buttons of one look share their style, two looks never do.
    ButtonStyle look = s;
    look.title.clear();
    look.description.clear();
    look.progId.clear();
    look.savedTime = QDateTime();
    look.link.clear();
    look.target.clear();
    look.tooltip.clear();
    look.altText.clear();
    look.supportFile.clear();
    look.buttonType.clear();
    look.buttonName.clear();
    look.buttonValue.clear();
    // The label changes the SVG form's size only.
    if (look.form != OutputForm::Svg) look.label.clear();
    const QByteArray digest = QCryptographicHash::hash(Pgt::Write(look).toUtf8(), QCryptographicHash::Sha1);
    return QString::fromLatin1(digest.toHex().left(6));
}

QString HtmlClass(const ButtonStyle& s) {
    QString name = WebSafeName(s.title).left(24);
    while (name.endsWith(u'-')) name.chop(1);
    return QStringLiteral("fb-%1-%2").arg(name, LookHash(s));
}

namespace {

QString Background(const ButtonStyle& s, const QString& state) {
    if (s.fill == FillKind::Gradient)
        return QStringLiteral("linear-gradient(var(--fb-%1fill), var(--fb-%1fill-2))").arg(state);
    return QStringLiteral("var(--fb-%1fill)").arg(state);
}

// A font name in CSS as ASCII: the style element then reads the same in a
// page of any encoding.
QString CssAscii(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (c < 0x80) out += QChar(static_cast<char16_t>(c));
        else out += QStringLiteral("\\%1 ").arg(static_cast<uint>(c), 0, 16);
    }
    return out;
}

}  // namespace

QString HtmlSelector(const ButtonStyle& s) {
    // Three times the class: heavier than the rules themes give links and
    // buttons (a:link, .content a, .content a:hover, .post button), so a
    // site's CSS neither recolours nor underlines the button, without an
    // !important the author could not undo.
    const QString one = QStringLiteral(".") + HtmlClass(s);
    return one + one + one;
}

QString HtmlCss(const ButtonStyle& s) {
    const QString c = HtmlSelector(s);
    QString radius;
    switch (s.shape) {
    case ButtonShape::Rounded: radius = Rem(s.cornerRadius); break;
    case ButtonShape::Pill: radius = QStringLiteral("999rem"); break;
    case ButtonShape::Ellipse: radius = QStringLiteral("50%"); break;
    }
    const auto tones = ButtonColors::FocusTones(s);
    QString css;
    css += c + QStringLiteral(" {\n");
    const char* const prefixes[3] = {"", "hover-", "pressed-"};
    for (int i = 0; i < 3; ++i) {
        const QString p = QLatin1String(prefixes[i]);
        css += QStringLiteral("  --fb-%1text: %2;\n").arg(p, ColorText(s.states[i].text));
        css += QStringLiteral("  --fb-%1fill: %2;\n").arg(p, ColorText(s.states[i].fill));
        if (s.fill == FillKind::Gradient)
            css += QStringLiteral("  --fb-%1fill-2: %2;\n").arg(p, ColorText(s.states[i].fill2));
    }
    css += QStringLiteral("  --fb-border: %1;\n").arg(ColorText(s.borderColor));
    // Two tones, one ring inside the other: whatever the page's colour, one
    // of them stands out from it.
    css += QStringLiteral("  --fb-focus: %1;\n").arg(ColorText(tones[0]));
    css += QStringLiteral("  --fb-focus-inner: %1;\n").arg(ColorText(tones[1]));
    css += QStringLiteral(
               "  display: inline-flex;\n"
               "  align-items: center;\n"
               "  justify-content: center;\n"
               "  box-sizing: border-box;\n"
               "  min-width: min(%1, 100%);\n"
               "  min-height: %2;\n"
               "  max-width: min(%3, 100%);\n"
               "  margin: 0;\n"
               "  padding: 0.25rem %4;\n"
               "  vertical-align: middle;\n")
               .arg(Rem(s.width), Rem(s.height), Rem(std::max(s.maxWidth, s.width)), Rem(s.padding));
    css += s.borderWidth > 0 ? QStringLiteral("  border: %1 solid var(--fb-border);\n").arg(Rem(s.borderWidth))
                             : QStringLiteral("  border: 0;\n");
    css += QStringLiteral(
               "  border-radius: %1;\n"
               "  font-family: %2;\n"
               "  font-size: %3;\n"
               "  font-weight: %4;\n"
               "  font-style: %5;\n"
               "  line-height: 1.2;\n"
               "  text-align: center;\n"
               "  white-space: normal;\n"
               "  overflow-wrap: anywhere;\n"
               "  text-decoration: none;\n"
               "  text-transform: none;\n"
               "  text-shadow: none;\n"
               "  box-shadow: none;\n"
               "  color: var(--fb-text);\n"
               "  background: %6;\n"
               "  cursor: pointer;\n"
               "  -webkit-appearance: none;\n"
               "  appearance: none;\n"
               "  transition: color 0.15s, background-color 0.15s, transform 0.05s;\n"
               "}\n")
               .arg(radius, CssAscii(FontStack(s.fontFamily)), Rem(s.fontSize),
                    s.bold ? QStringLiteral("bold") : QStringLiteral("normal"),
                    s.italic ? QStringLiteral("italic") : QStringLiteral("normal"), Background(s, QString()));
    // Each state sets its decoration too: themes underline links on hover
    // and focus.
    css += QStringLiteral(
               "%1:hover {\n  color: var(--fb-hover-text);\n  background: %2;\n  text-decoration: none;\n}\n")
               .arg(c, Background(s, QStringLiteral("hover-")));
    css += QStringLiteral(
               "%1:focus-visible {\n  outline: 0.1875rem solid var(--fb-focus);\n  outline-offset: 0.125rem;\n"
               "  box-shadow: 0 0 0 0.125rem var(--fb-focus-inner);\n  text-decoration: none;\n}\n")
               .arg(c);
    css += QStringLiteral(
               "%1:active {\n  color: var(--fb-pressed-text);\n  background: %2;\n  text-decoration: none;\n"
               "  transform: translateY(0.0625rem);\n}\n")
               .arg(c, Background(s, QStringLiteral("pressed-")));
    // On a dark page the light tone goes outside, next to the page.
    css +=
        QStringLiteral(
            "@media (prefers-color-scheme: dark) {\n"
            "  %1:focus-visible { outline-color: var(--fb-focus-inner); box-shadow: 0 0 0 0.125rem var(--fb-focus); }\n"
            "}\n")
            .arg(c);
    // Forced colours drop backgrounds and shadows: the system's colours
    // draw a border that shows the button and an outline for the focus.
    css += QStringLiteral(
               "@media (forced-colors: active) {\n"
               "  %1 { border: 0.125rem solid ButtonText; color: ButtonText; background: ButtonFace; }\n"
               "  %1:focus-visible { outline: 0.1875rem solid Highlight; outline-offset: 0.125rem; }\n"
               "}\n")
               .arg(c);
    css += QStringLiteral(
               "@media (prefers-reduced-motion: reduce) {\n"
               "  %1 { transition: none; }\n"
               "  %1:active { transform: none; }\n"
               "}\n")
               .arg(c);
    return css;
}

QString HtmlStyleCode(const ButtonStyle& s) {
    return QStringLiteral("<style>\n") + HtmlCss(s) + QStringLiteral("</style>\n");
}

QString HtmlElementCode(const ButtonStyle& s) {
    // The link form is a link: links need no script (which a strict
    // Content-Security-Policy would block) and are what assistive software
    // expects of navigation; without an address it has nowhere to go and is
    // a <button> for the page's own script. The <button> form is always a
    // real <button>, of its type, pressed by Enter and Space without any
    // script: it submits or resets its form, or runs the page's script.
    QString attributes = QStringLiteral(" class=\"%1\"").arg(HtmlClass(s));
    const bool link = s.form != OutputForm::Button && !s.link.isEmpty();
    if (link) {
        attributes += QStringLiteral(" href=\"%1\"").arg(XmlEscape(s.link));
        if (!s.target.isEmpty()) {
            attributes += QStringLiteral(" target=\"%1\"").arg(XmlEscape(s.target));
            // A page opened in another window gets no hold on this one.
            attributes += QStringLiteral(" rel=\"noopener\"");
        }
    } else {
        const bool own = s.form == OutputForm::Button;
        const QString type = own && (s.buttonType == QLatin1String("submit") || s.buttonType == QLatin1String("reset"))
                                 ? s.buttonType
                                 : QStringLiteral("button");
        QString prefix = QStringLiteral(" type=\"%1\"").arg(type);
        if (own && !s.buttonName.isEmpty()) prefix += QStringLiteral(" name=\"%1\"").arg(XmlEscape(s.buttonName));
        if (own && !s.buttonValue.isEmpty()) prefix += QStringLiteral(" value=\"%1\"").arg(XmlEscape(s.buttonValue));
        attributes.prepend(prefix);
    }
    if (!s.tooltip.isEmpty()) attributes += QStringLiteral(" title=\"%1\"").arg(XmlEscape(s.tooltip));
    if (!s.altText.isEmpty() && s.altText != s.label)
        attributes += QStringLiteral(" aria-label=\"%1\"").arg(XmlEscape(s.altText));
    const QString tag = link ? QStringLiteral("a") : QStringLiteral("button");
    return QStringLiteral("<%1%2>%3</%1>\n").arg(tag, attributes, XmlEscape(s.label));
}

QString PreviewPage(const ButtonStyle& s, const QString& svgFileName) {
    const bool svg = s.form == OutputForm::Svg;
    const QString button = svg ? CursorCode(s, svgFileName).trimmed() : HtmlElementCode(s).trimmed();
    // A page as visitors have them: light, or dark when their system asks for
    // it, by the same media query a real page uses.
    QString page =
        QStringLiteral(
            "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<title>%1</title>\n"
            "<style>\n"
            ":root { color-scheme: light dark; }\n"
            "body { margin: 0; font: 1rem/1.6 system-ui, sans-serif; background: #ffffff; color: #222222; }\n"
            "@media (prefers-color-scheme: dark) { body { background: #121212; color: #e0e0e0; } }\n"
            ".fp-sheet { padding: 1.5rem 2rem; max-width: 40rem; }\n"
            ".fp-sheet h1 { margin: 0 0 0.5rem; font-size: 1.1rem; }\n"
            "</style>\n")
            .arg(XmlEscape(s.title.isEmpty() ? QStringLiteral("Button preview") : s.title));
    page += svg ? StyleCode(s) : HtmlStyleCode(s);
    page += QStringLiteral(
                "</head>\n<body>\n<main class=\"fp-sheet\">\n<h1>Button preview</h1>\n"
                "<p>Text runs up to the button, %1 and on after it, so you see how it sits on the line. "
                "Point at it, press it, or reach it with the Tab key.</p>\n"
                "<p>The page is light or dark as your system is set: switch your desktop's dark style to see "
                "the other.</p>\n</main>\n</body>\n</html>\n")
                .arg(button);
    return page;
}

}  // namespace ButtonOutput

namespace ButtonColors {

double RelativeLuminance(const QColor& color) {
    const auto channel = [](int v) {
        const double c = v / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = color.toRgb();
    return 0.2126 * channel(rgb.red()) + 0.7152 * channel(rgb.green()) + 0.0722 * channel(rgb.blue());
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double StateContrast(const ButtonStyle& s, ButtonState state) {
    const StateLook& look = s.Look(state);
    double ratio = ContrastRatio(look.text, look.fill);
    if (s.fill == FillKind::Gradient) ratio = std::min(ratio, ContrastRatio(look.text, look.fill2));
    return ratio;
}

QColor Mix(const QColor& a, const QColor& b, double amount) {
    const auto mix = [amount](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * amount)); };
    const QColor ra = a.toRgb();
    const QColor rb = b.toRgb();
    return QColor(mix(ra.red(), rb.red()), mix(ra.green(), rb.green()), mix(ra.blue(), rb.blue()));
}

QColor Partner(const QColor& colour) {
    const QColor white(Qt::white);
    const QColor black(Qt::black);
    return ContrastRatio(colour, white) >= ContrastRatio(colour, black) ? white : black;
}

namespace {
// colour mixed towards target in steps until it has ratio against other;
// the amount needed (2 when it never gets there).
double StepsTowards(const QColor& colour, const QColor& target, const QColor& other, double ratio, QColor* result) {
    for (int step = 0; step <= 100; ++step) {
        const QColor c = Mix(colour, target, step / 100.0);
        if (ContrastRatio(c, other) >= ratio) {
            *result = c;
            return step / 100.0;
        }
    }
    return 2;
}
}  // namespace

QColor NearestPassing(const QColor& colour, const QColor& other, double ratio) {
    if (ContrastRatio(colour, other) >= ratio) return colour.toRgb();
    QColor darker, lighter;
    const double toBlack = StepsTowards(colour, Qt::black, other, ratio, &darker);
    const double toWhite = StepsTowards(colour, Qt::white, other, ratio, &lighter);
    if (toBlack > 1 && toWhite > 1) return Partner(other);
    return toBlack <= toWhite ? darker : lighter;
}

std::array<QColor, 2> FocusTones(const ButtonStyle& s) {
    return {s.focusColor.toRgb(), Partner(s.focusColor)};
}

QColor DeriveBorder(const QColor& base) {
    return Mix(base, Qt::black, 0.35);
}

std::array<StateLook, 3> Derive(const QColor& base) {
    const QColor white(Qt::white);
    const QColor black(Qt::black);
    const bool light = RelativeLuminance(base) > 0.5;
    const QColor hover = light ? Mix(base, black, 0.1) : Mix(base, white, 0.2);
    const QColor pressed = Mix(base, black, 0.25);
    const auto look = [&](QColor fill) {
        QColor fill2 = Mix(fill, black, 0.2);
        // Judged against the darker end too, which the gradient reaches.
        const auto worst = [&](const QColor& text) {
            return std::min(ContrastRatio(text, fill), ContrastRatio(text, fill2));
        };
        const QColor text = worst(white) >= worst(black) ? white : black;
        // Too close to its text: the fill moves away from it, both ends
        // together, until the label reads at AA.
        const QColor away = text == white ? black : white;
        for (int step = 1; step <= 100 && worst(text) < kMinimumContrast; ++step) {
            fill = Mix(fill, away, 0.02);
            fill2 = Mix(fill, black, text == white ? 0.2 : 0.0);
        }
        return StateLook{text, fill, fill2};
    };
    return {look(base), look(hover), look(pressed)};
}

}  // namespace ButtonColors
