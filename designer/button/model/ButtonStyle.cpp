#include "button/model/ButtonStyle.h"

#include <QFile>
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
    if (value.size() < 2 || !value.startsWith(u'"') || !value.endsWith(u'"'))
        return value;
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

QString ColorText(const QColor& c) { return c.name(QColor::HexRgb); }

void ReadColor(const QString& value, QColor& into) {
    const QColor c = QColor::fromString(value);
    if (c.isValid())
        into = c;
}

void ReadInt(const QString& value, int& into, int lo, int hi) {
    bool ok = false;
    const int v = value.toInt(&ok);
    if (ok)
        into = std::clamp(v, lo, hi);
}

QString Num(double v) {
    return QString::number(std::round(v * 100.0) / 100.0, 'g', 10);
}

QSizeF LabelSize(const ButtonStyle& s) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QFont font(s.fontFamily);
        font.setPixelSize(s.fontSize);
        font.setBold(s.bold);
        font.setItalic(s.italic);
        const QFontMetricsF fm(font);
        return {fm.horizontalAdvance(s.label), fm.height()};
    }
    // Without a GUI there are no font metrics; an average glyph is close.
    return {0.6 * s.fontSize * s.label.size(), 1.2 * s.fontSize};
}

QString FillOf(const ButtonStyle& s, int state) {
    if (s.fill == FillKind::Gradient)
        return QStringLiteral("url(#fb-fill-%1)").arg(QLatin1String(kStateClasses[state]));
    return ColorText(s.states[state].fill);
}

QString FontAttributes(const ButtonStyle& s) {
    return QStringLiteral("font-family=\"%1\" font-size=\"%2\" font-weight=\"%3\" font-style=\"%4\"")
        .arg(ButtonOutput::XmlEscape(ButtonOutput::FontStack(s.fontFamily)), QString::number(s.fontSize),
             s.bold ? QStringLiteral("bold") : QStringLiteral("normal"),
             s.italic ? QStringLiteral("italic") : QStringLiteral("normal"));
}

QString Gradients(const ButtonStyle& s, int only = -1) {
    if (s.fill != FillKind::Gradient)
        return {};
    QString out;
    for (int i = 0; i < 3; ++i) {
        if (only >= 0 && i != only)
            continue;
        out += QStringLiteral(
                   "<linearGradient id=\"fb-fill-%1\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
                   "<stop offset=\"0\" stop-color=\"%2\"/><stop offset=\"1\" stop-color=\"%3\"/></linearGradient>\n")
                   .arg(QLatin1String(kStateClasses[i]), ColorText(s.states[i].fill), ColorText(s.states[i].fill2));
    }
    return QStringLiteral("<defs>\n") + out + QStringLiteral("</defs>\n");
}

// The face shape; inset by half the border so the stroke stays inside.
QString Face(const ButtonStyle& s, const QSize& size, const QString& extra) {
    const double b = s.borderWidth;
    const double w = size.width() - b;
    const double h = size.height() - b;
    const QString stroke = b > 0 ? QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\"")
                                       .arg(ColorText(s.borderColor), QString::number(s.borderWidth))
                                 : QString();
    if (s.shape == ButtonShape::Ellipse) {
        return QStringLiteral("<ellipse class=\"fb-face\" cx=\"%1\" cy=\"%2\" rx=\"%3\" ry=\"%4\"%5%6/>\n")
            .arg(Num(size.width() / 2.0), Num(size.height() / 2.0), Num(w / 2), Num(h / 2), stroke, extra);
    }
    const double r = s.shape == ButtonShape::Pill ? h / 2 : std::min<double>(s.cornerRadius, std::min(w, h) / 2);
    return QStringLiteral(
               "<rect class=\"fb-face\" x=\"%1\" y=\"%1\" width=\"%2\" height=\"%3\" rx=\"%4\" ry=\"%4\"%5%6/>\n")
        .arg(Num(b / 2), Num(w), Num(h), Num(r), stroke, extra);
}

QString Label(const ButtonStyle& s, const QSize& size, const QColor& color) {
    // Baseline a little below the middle: viewers differ in support for
    // dominant-baseline, so it is placed by hand.
    const double baseline = size.height() / 2.0 + s.fontSize * 0.35;
    return QStringLiteral("<text class=\"fb-label\" x=\"%1\" y=\"%2\" text-anchor=\"middle\" %3 fill=\"%4\">%5</text>\n")
        .arg(Num(size.width() / 2.0), Num(baseline), FontAttributes(s), ColorText(color),
             ButtonOutput::XmlEscape(s.label));
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
    if (s.savedTime.isValid())
        lines << QStringLiteral("SavedTime = %1").arg(s.savedTime.toString(Qt::ISODate));
    lines << kEndMarker;
    lines << QStringLiteral("[Button]");
    lines << QStringLiteral("Label = %1").arg(Quoted(s.label));
    lines << QStringLiteral("FontFamily = %1").arg(Quoted(s.fontFamily));
    lines << QStringLiteral("FontSize = %1").arg(s.fontSize);
    lines << QStringLiteral("Bold = %1").arg(s.bold ? 1 : 0);
    lines << QStringLiteral("Italic = %1").arg(s.italic ? 1 : 0);
    lines << QStringLiteral("Fill = %1").arg(s.fill == FillKind::Gradient ? "gradient" : "solid");
    lines << QStringLiteral("Shape = %1")
                 .arg(s.shape == ButtonShape::Pill      ? "pill"
                      : s.shape == ButtonShape::Ellipse ? "ellipse"
                                                        : "rounded");
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
                 .arg(s.form == OutputForm::Link     ? "link"
                      : s.form == OutputForm::Button ? "button"
                                                     : "svg");
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
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    qsizetype i = 0;
    while (i < lines.size() && lines[i].compare(kBeginMarker, Qt::CaseInsensitive) != 0)
        ++i;
    if (i == lines.size())
        return std::nullopt;

    ButtonStyle s;
    s.title.clear();
    // Description block: whole-line markers, first '=' splits, trimmed,
    // case-sensitive keys, later lines win.
    for (++i; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.compare(kEndMarker, Qt::CaseInsensitive) == 0) {
            ++i;
            break;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("Title"))
            s.title = value;
        else if (key == QLatin1String("Description"))
            s.description = value;
        else if (key == QLatin1String("ProgID"))
            s.progId = value;
        else if (key == QLatin1String("SavedTime"))
            s.savedTime = QDateTime::fromString(value, Qt::ISODate);
    }

    QString section;
    for (; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (section == QLatin1String("Button")) {
            if (key == QLatin1String("Label")) s.label = Unquoted(value);
            else if (key == QLatin1String("FontFamily")) s.fontFamily = Unquoted(value);
            else if (key == QLatin1String("FontSize")) ReadInt(value, s.fontSize, 6, 200);
            else if (key == QLatin1String("Bold")) s.bold = value == QLatin1String("1");
            else if (key == QLatin1String("Italic")) s.italic = value == QLatin1String("1");
            else if (key == QLatin1String("Fill")) s.fill = value == QLatin1String("solid") ? FillKind::Solid : FillKind::Gradient;
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
            continue;
        }
        for (int st = 0; st < 3; ++st) {
            if (section != QLatin1String(kStateSections[st]))
                continue;
            if (key == QLatin1String("Text")) ReadColor(value, s.states[st].text);
            else if (key == QLatin1String("Fill")) ReadColor(value, s.states[st].fill);
            else if (key == QLatin1String("Fill2")) ReadColor(value, s.states[st].fill2);
        }
    }
    return s;
}

bool WriteFile(const ButtonStyle& style, const QString& path) {
    // All or nothing: a failed save must not leave a half-written file where
    // the last good one was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(Write(style).toUtf8());
    return file.commit();
}

std::optional<ButtonStyle> ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return std::nullopt;
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
            if ((c.unicode() >= 0x20 || c == u'\t' || c == u'\n') && !c.isSurrogate() && c.unicode() < 0xfffe)
                out += c;
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
            if (hyphen && !out.isEmpty())
                out += u'-';
            hyphen = false;
            out += c.toLower();
        } else if (c.category() != QChar::Mark_NonSpacing) {
            hyphen = true;
        }
        if (out.size() >= 40)
            break;
    }
    while (out.endsWith(u'-'))
        out.chop(1);
    return out.isEmpty() ? QStringLiteral("button") : out;
}

QSize EffectiveSize(const ButtonStyle& s) {
    const QSizeF label = LabelSize(s);
    // Padding is the room at either side of the label; buttons keep their
    // height unless the label itself does not fit.
    const int border = 2 * s.borderWidth;
    return {std::max(s.width, static_cast<int>(std::ceil(label.width())) + 2 * s.padding + border),
            std::max(s.height, static_cast<int>(std::ceil(label.height())) + border)};
}

QString AccessibleName(const ButtonStyle& s) {
    return s.altText.isEmpty() ? s.label : s.altText;
}

QString InteractiveSvg(const ButtonStyle& s) {
    const QSize size = EffectiveSize(s);
    QString svg = SvgHead(size);
    svg += QStringLiteral("<title>%1</title>\n").arg(XmlEscape(AccessibleName(s)));
    svg += Gradients(s);
    const StateLook& hover = s.Look(ButtonState::Hover);
    const StateLook& pressed = s.Look(ButtonState::Pressed);
    svg += QStringLiteral(
               "<style>\n"
               ".fb { cursor: pointer; outline: none; }\n"
               ".fb:hover .fb-face, .fb:focus .fb-face { fill: %1; }\n"
               ".fb:hover .fb-label, .fb:focus .fb-label { fill: %2; }\n"
               ".fb:active .fb-face { fill: %3; }\n"
               ".fb:active .fb-label { fill: %4; }\n"
               ".fb:active .fb-content { transform: translate(1px, 1px); }\n"
               ".fb:focus-visible .fb-focus { visibility: visible; }\n"
               "</style>\n")
               .arg(FillOf(s, 1), ColorText(hover.text), FillOf(s, 2), ColorText(pressed.text));
    QString anchor = QStringLiteral("<a class=\"fb\"");
    if (!s.link.isEmpty()) {
        anchor += QStringLiteral(" href=\"%1\"").arg(XmlEscape(s.link));
        // A button inside an embedded SVG must navigate the page, not itself.
        anchor += QStringLiteral(" target=\"%1\"").arg(XmlEscape(s.target.isEmpty() ? QStringLiteral("_top") : s.target));
    } else {
        anchor += QStringLiteral(" tabindex=\"0\" role=\"button\"");
    }
    anchor += QStringLiteral(" aria-label=\"%1\">\n").arg(XmlEscape(AccessibleName(s)));
    svg += anchor;
    if (!s.tooltip.isEmpty())
        svg += QStringLiteral("<title>%1</title>\n").arg(XmlEscape(s.tooltip));
    svg += QStringLiteral("<g class=\"fb-content\">\n");
    svg += Face(s, size, QStringLiteral(" fill=\"%1\"").arg(FillOf(s, 0)));
    svg += Label(s, size, s.Look(ButtonState::Normal).text);
    svg += QStringLiteral("</g>\n");
    svg += QStringLiteral(
               "<rect class=\"fb-focus\" visibility=\"hidden\" x=\"1\" y=\"1\" width=\"%1\" height=\"%2\" "
               "fill=\"none\" stroke=\"%3\" stroke-width=\"1\" stroke-dasharray=\"2 2\"/>\n")
               .arg(size.width() - 2)
               .arg(size.height() - 2)
               .arg(ColorText(hover.text));
    svg += QStringLiteral("</a>\n</svg>\n");
    return svg;
}

QString StaticSvg(const ButtonStyle& s, ButtonState state) {
    const QSize size = EffectiveSize(s);
    const int i = static_cast<int>(state);
    QString svg = SvgHead(size);
    svg += Gradients(s, i);
    const bool shifted = state == ButtonState::Pressed;
    svg += shifted ? QStringLiteral("<g transform=\"translate(1,1)\">\n") : QStringLiteral("<g>\n");
    svg += Face(s, size, QStringLiteral(" fill=\"%1\"").arg(FillOf(s, i)));
    svg += Label(s, size, s.states[i].text);
    svg += QStringLiteral("</g>\n</svg>\n");
    return svg;
}

QString FontStack(const QString& family) {
    static const QStringList generic = {QStringLiteral("serif"), QStringLiteral("sans-serif"),
                                        QStringLiteral("monospace"), QStringLiteral("cursive"),
                                        QStringLiteral("fantasy"), QStringLiteral("system-ui")};
    // Quotes and separators inside a name would end the name or the list.
    QString name = family;
    name.remove(u'\'').remove(u'"').remove(u',').remove(u';').remove(u'\\');
    // Nor may it end the style element or block it sits in.
    name.remove(u'<').remove(u'>').remove(u'{').remove(u'}');
    name = name.trimmed();
    if (name.isEmpty())
        return QStringLiteral("sans-serif");
    if (generic.contains(name.toLower()))
        return name.toLower();
    const QString lower = name.toLower();
    QString fallback = QStringLiteral("sans-serif");
    if (lower.contains(QLatin1String("mono")) || lower.contains(QLatin1String("courier")) ||
        lower.contains(QLatin1String("consol")))
        fallback = QStringLiteral("monospace");
    else if (!lower.contains(QLatin1String("sans")) &&
             (lower.contains(QLatin1String("serif")) || lower.contains(QLatin1String("times")) ||
              lower.contains(QLatin1String("georgia")) || lower.contains(QLatin1String("garamond"))))
        fallback = QStringLiteral("serif");
    return QStringLiteral("'%1', %2").arg(name, fallback);
}

QString StyleCode(const ButtonStyle&) {
    return QStringLiteral(
        "<style type=\"text/css\">\n"
        "object.fennic-button { border: 0; margin: 0; vertical-align: middle; display: inline-block; }\n"
        "</style>\n");
}

QString CursorCode(const ButtonStyle& s, const QString& svgFileName) {
    const QSize size = EffectiveSize(s);
    const QString data = QString::fromLatin1(QUrl::toPercentEncoding(svgFileName, "/._-~"));
    // The button lives in an <object> so that its own CSS states work; the
    // link inside is what gets focus and is announced. The <a> inside the
    // object is the fallback where SVG is not shown.
    QString html = QStringLiteral("<object class=\"fennic-button\" type=\"image/svg+xml\" data=\"%1\" width=\"%2\" height=\"%3\"")
                       .arg(XmlEscape(data))
                       .arg(size.width())
                       .arg(size.height());
    html += QStringLiteral(" aria-label=\"%1\"").arg(XmlEscape(AccessibleName(s)));
    if (!s.tooltip.isEmpty())
        html += QStringLiteral(" title=\"%1\"").arg(XmlEscape(s.tooltip));
    html += QStringLiteral(">");
    if (!s.link.isEmpty()) {
        html += QStringLiteral("<a href=\"%1\"").arg(XmlEscape(s.link));
        if (!s.target.isEmpty())
            html += QStringLiteral(" target=\"%1\"").arg(XmlEscape(s.target));
        html += QStringLiteral(">%1</a>").arg(XmlEscape(AccessibleName(s)));
    } else {
        html += XmlEscape(AccessibleName(s));
    }
    html += QStringLiteral("</object>\n");
    return html;
}

QString Rem(double pixels) {
    if (pixels == 0)
        return QStringLiteral("0");
    return QString::number(std::round(pixels / 16.0 * 10000.0) / 10000.0, 'g', 8) + QStringLiteral("rem");
}

QString HtmlClass(const ButtonStyle& s) {
    return QStringLiteral("fb-") + WebSafeName(s.title);
}

namespace {

QString Background(const ButtonStyle& s, const QString& state) {
    if (s.fill == FillKind::Gradient)
        return QStringLiteral("linear-gradient(var(--fb-%1fill), var(--fb-%1fill-2))").arg(state);
    return QStringLiteral("var(--fb-%1fill)").arg(state);
}

// A string for a JavaScript literal in single quotes, inside an attribute.
QString ScriptString(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c == u'\\' || c == u'\'') {
            out += u'\\';
            out += c;
        } else if (c.unicode() < 0x20 || c == u'<' || c == u'>' || c == u'&' || c == u'"' || c.unicode() == 0x2028 ||
                 c.unicode() == 0x2029)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
        else
            out += c;
    }
    return out;
}

}  // namespace

QString HtmlCss(const ButtonStyle& s) {
    const QString c = QStringLiteral(".") + HtmlClass(s);
    QString radius;
    switch (s.shape) {
    case ButtonShape::Rounded: radius = Rem(s.cornerRadius); break;
    case ButtonShape::Pill: radius = QStringLiteral("999rem"); break;
    case ButtonShape::Ellipse: radius = QStringLiteral("50%"); break;
    }
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
    // The ring sits on the page, outside the button: the normal fill is the
    // colour the author chose to stand out there.
    css += QStringLiteral("  --fb-focus: %1;\n").arg(ColorText(s.states[0].fill));
    css += QStringLiteral(
               "  display: inline-flex;\n"
               "  align-items: center;\n"
               "  justify-content: center;\n"
               "  box-sizing: border-box;\n"
               "  min-width: %1;\n"
               "  min-height: %2;\n"
               "  margin: 0;\n"
               "  padding: 0 %3;\n")
               .arg(Rem(s.width), Rem(s.height), Rem(s.padding));
    css += s.borderWidth > 0 ? QStringLiteral("  border: %1 solid var(--fb-border);\n").arg(Rem(s.borderWidth))
                             : QStringLiteral("  border: 0;\n");
    css += QStringLiteral(
               "  border-radius: %1;\n"
               "  font-family: %2;\n"
               "  font-size: %3;\n"
               "  font-weight: %4;\n"
               "  font-style: %5;\n"
               "  line-height: 1.2;\n"
               "  white-space: nowrap;\n"
               "  text-decoration: none;\n"
               "  color: var(--fb-text);\n"
               "  background: %6;\n"
               "  cursor: pointer;\n"
               "  -webkit-appearance: none;\n"
               "  appearance: none;\n"
               "  transition: color 0.15s, background-color 0.15s, transform 0.05s;\n"
               "}\n")
               .arg(radius, FontStack(s.fontFamily), Rem(s.fontSize), s.bold ? QStringLiteral("bold") : QStringLiteral("normal"),
                    s.italic ? QStringLiteral("italic") : QStringLiteral("normal"), Background(s, QString()));
    css += QStringLiteral("%1:hover {\n  color: var(--fb-hover-text);\n  background: %2;\n}\n")
               .arg(c, Background(s, QStringLiteral("hover-")));
    css += QStringLiteral(
               "%1:focus-visible {\n  outline: 0.125rem solid var(--fb-focus);\n  outline-offset: 0.125rem;\n}\n")
               .arg(c);
    css += QStringLiteral(
               "%1:active {\n  color: var(--fb-pressed-text);\n  background: %2;\n  transform: translateY(0.0625rem);\n}\n")
               .arg(c, Background(s, QStringLiteral("pressed-")));
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
    QString attributes = QStringLiteral(" class=\"%1\"").arg(HtmlClass(s));
    const bool link = s.form != OutputForm::Button;
    QString html;
    if (link) {
        if (!s.link.isEmpty()) {
            attributes += QStringLiteral(" href=\"%1\"").arg(XmlEscape(s.link));
            if (!s.target.isEmpty())
                attributes += QStringLiteral(" target=\"%1\"").arg(XmlEscape(s.target));
        } else {
            // A link to nowhere is a button for the page's own script.
            attributes += QStringLiteral(" role=\"button\" tabindex=\"0\"");
        }
    } else {
        attributes.prepend(QStringLiteral(" type=\"button\""));
        if (!s.link.isEmpty()) {
            const QString go = s.target.isEmpty() || s.target == QLatin1String("_self")
                                   ? QStringLiteral("window.location.href='%1'").arg(ScriptString(s.link))
                                   : QStringLiteral("window.open('%1', '%2')").arg(ScriptString(s.link), ScriptString(s.target));
            attributes += QStringLiteral(" onclick=\"%1\"").arg(XmlEscape(go));
        }
    }
    if (!s.tooltip.isEmpty())
        attributes += QStringLiteral(" title=\"%1\"").arg(XmlEscape(s.tooltip));
    if (!s.altText.isEmpty() && s.altText != s.label)
        attributes += QStringLiteral(" aria-label=\"%1\"").arg(XmlEscape(s.altText));
    const QString tag = link ? QStringLiteral("a") : QStringLiteral("button");
    return QStringLiteral("<%1%2>%3</%1>\n").arg(tag, attributes, XmlEscape(s.label));
}

QString PreviewPage(const ButtonStyle& s, const QString& svgFileName) {
    const bool svg = s.form == OutputForm::Svg;
    const QString button = svg ? CursorCode(s, svgFileName).trimmed() : HtmlElementCode(s).trimmed();
    QString page = QStringLiteral(
                       "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<title>%1</title>\n"
                       "<style>\n"
                       "body { margin: 0; font: 1rem/1.6 system-ui, sans-serif; }\n"
                       ".fp-sheet { padding: 1.5rem 2rem; }\n"
                       ".fp-light { background: #ffffff; color: #222222; }\n"
                       ".fp-dark { background: #1e1e1e; color: #e0e0e0; }\n"
                       ".fp-sheet h2 { margin: 0 0 0.5rem; font-size: 1.1rem; }\n"
                       "</style>\n")
                       .arg(XmlEscape(s.title.isEmpty() ? QStringLiteral("Button preview") : s.title));
    page += svg ? StyleCode(s) : HtmlStyleCode(s);
    page += QStringLiteral("</head>\n<body>\n");
    const char* const sheets[2][2] = {{"fp-light", "On a light page"}, {"fp-dark", "On a dark page"}};
    for (const auto& sheet : sheets) {
        page += QStringLiteral(
                    "<section class=\"fp-sheet %1\">\n<h2>%2</h2>\n"
                    "<p>Text runs up to the button, %3 and on after it, so you see how it sits on the line. "
                    "Point at it, press it, or reach it with the Tab key.</p>\n"
                    "<p>A second paragraph follows, the way a page goes on below a button.</p>\n</section>\n")
                    .arg(QLatin1String(sheet[0]), QLatin1String(sheet[1]), button);
    }
    page += QStringLiteral("</body>\n</html>\n");
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
    if (s.fill == FillKind::Gradient)
        ratio = std::min(ratio, ContrastRatio(look.text, look.fill2));
    return ratio;
}

QColor Mix(const QColor& a, const QColor& b, double amount) {
    const auto mix = [amount](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * amount)); };
    const QColor ra = a.toRgb();
    const QColor rb = b.toRgb();
    return QColor(mix(ra.red(), rb.red()), mix(ra.green(), rb.green()), mix(ra.blue(), rb.blue()));
}

std::array<StateLook, 3> Derive(const QColor& base) {
    const QColor white(Qt::white);
    const QColor black(Qt::black);
    const bool light = RelativeLuminance(base) > 0.5;
    const QColor hover = light ? Mix(base, black, 0.1) : Mix(base, white, 0.2);
    const QColor pressed = Mix(base, black, 0.25);
    const auto look = [&](const QColor& fill) {
        const QColor fill2 = Mix(fill, black, 0.2);
        // Judged against the darker end too, which the gradient reaches.
        const double onWhite = std::min(ContrastRatio(white, fill), ContrastRatio(white, fill2));
        const double onBlack = std::min(ContrastRatio(black, fill), ContrastRatio(black, fill2));
        return StateLook{onWhite >= onBlack ? white : black, fill, fill2};
    };
    return {look(base), look(hover), look(pressed)};
}

}  // namespace ButtonColors
