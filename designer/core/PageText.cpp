#include "PageText.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

namespace {

// Windows-1252's 0x80 to 0x9F. The five bytes it leaves unassigned map to
// the C1 controls of the same number, as browsers map them, so every byte
// reads as one character and writes back as the same byte.
constexpr char16_t kHigh1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QChar From1252(uchar b) {
    return b >= 0x80 && b < 0xA0 ? QChar(kHigh1252[b - 0x80]) : QChar::fromLatin1(static_cast<char>(b));
}

int To1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i) {
        if (kHigh1252[i] == c) return 0x80 + i;
    }
    return -1;
}

QByteArray Reference(char32_t c) {
    return "&#x" + QByteArray::number(static_cast<uint>(c), 16).toUpper() + ';';
}

bool ValidUtf8(const QByteArray& bytes) {
    QStringDecoder decode(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    const QString ignored = decode(bytes);
    (void)ignored;
    return !decode.hasError();
}

qsizetype Utf8Length(const QString& text, qsizetype i) {
    const char16_t u = text[i].unicode();
    if (u < 0x80) return 1;
    if (u < 0x800) return 2;
    if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) return 4;
    if (QChar::isLowSurrogate(u) && i > 0 && text[i - 1].isHighSurrogate()) return 0;
    return 3;
}

}  // namespace

QString DeclaredCharset(const QByteArray& bytes) {
    static const QRegularExpression meta(QStringLiteral(R"(<meta\b[^>]*?charset\s*=\s*["']?\s*([A-Za-z0-9_.:\-]+))"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QString head = QString::fromLatin1(bytes.left(1024));
    const QRegularExpressionMatch match = meta.match(head);
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

PageEncoding EncodingForLabel(const QString& label) {
    const QString l = label.toLower();
    if (l == QLatin1String("utf-8") || l == QLatin1String("utf8") || l == QLatin1String("unicode-1-1-utf-8"))
        return PageEncoding::Utf8;
    static const QStringList western = {QStringLiteral("windows-1252"), QStringLiteral("cp1252"),
                                        QStringLiteral("x-cp1252"),     QStringLiteral("iso-8859-1"),
                                        QStringLiteral("iso8859-1"),    QStringLiteral("iso_8859-1"),
                                        QStringLiteral("latin1"),       QStringLiteral("l1"),
                                        QStringLiteral("us-ascii"),     QStringLiteral("ascii"),
                                        QStringLiteral("iso-ir-100"),   QStringLiteral("cp819"),
                                        QStringLiteral("ibm819"),       QStringLiteral("csisolatin1")};
    if (western.contains(l)) return PageEncoding::Windows1252;
    return PageEncoding::AsciiOnly;
}

QByteArray EncodeWithReferences(const QString& text, PageEncoding encoding) {
    switch (encoding) {
    case PageEncoding::Utf8: return text.toUtf8();
    case PageEncoding::Utf16LE:
    case PageEncoding::Utf16BE: {
        QStringEncoder encode(encoding == PageEncoding::Utf16LE ? QStringConverter::Utf16LE
                                                                : QStringConverter::Utf16BE);
        return encode(text);
    }
    case PageEncoding::Windows1252:
    case PageEncoding::AsciiOnly: break;
    }
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const int byte = encoding == PageEncoding::Windows1252 ? To1252(c) : (c < 0x80 ? static_cast<int>(c) : -1);
        if (byte >= 0) out += static_cast<char>(byte);
        else out += Reference(c);
    }
    return out;
}

CPageText CPageText::FromBytes(const QByteArray& bytes) {
    CPageText page;
    page.m_bytes = bytes;
    qsizetype bom = 0;
    if (bytes.startsWith("\xef\xbb\xbf")) {
        page.m_encoding = PageEncoding::Utf8;
        bom = 3;
    } else if (bytes.startsWith("\xff\xfe")) {
        page.m_encoding = PageEncoding::Utf16LE;
        bom = 2;
    } else if (bytes.startsWith("\xfe\xff")) {
        page.m_encoding = PageEncoding::Utf16BE;
        bom = 2;
    } else {
        const QString declared = DeclaredCharset(bytes);
        // A UTF-16 declaration without a byte-order mark is one browsers
        // ignore; they go by the bytes.
        if (!declared.isEmpty() && !declared.startsWith(QLatin1String("utf-16")))
            page.m_encoding = EncodingForLabel(declared);
        else page.m_encoding = ValidUtf8(bytes) ? PageEncoding::Utf8 : PageEncoding::Windows1252;
        // Bytes that are not what they claim are kept as they are.
        if (page.m_encoding == PageEncoding::Utf8 && !ValidUtf8(bytes)) page.m_encoding = PageEncoding::AsciiOnly;
    }

    // The raw text and where each character starts.
    QString raw;
    std::vector<qsizetype> starts;
    const QByteArray body = bytes.mid(bom);
    switch (page.m_encoding) {
    case PageEncoding::Utf8: {
        QStringDecoder decode(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        raw = decode(body);
        qsizetype at = bom;
        for (qsizetype i = 0; i < raw.size(); ++i) {
            starts.push_back(at);
            at += Utf8Length(raw, i);
        }
        starts.push_back(at);
        break;
    }
    case PageEncoding::Utf16LE:
    case PageEncoding::Utf16BE: {
        const qsizetype units = body.size() / 2;
        raw.resize(units);
        for (qsizetype i = 0; i < units; ++i) {
            const uchar a = static_cast<uchar>(body[2 * i]);
            const uchar b = static_cast<uchar>(body[2 * i + 1]);
            raw[i] = QChar(page.m_encoding == PageEncoding::Utf16LE ? char16_t(a | (b << 8)) : char16_t((a << 8) | b));
            starts.push_back(bom + 2 * i);
        }
        // An odd last byte is kept, but is no character.
        starts.push_back(bom + 2 * units);
        break;
    }
    case PageEncoding::Windows1252:
    case PageEncoding::AsciiOnly:
        raw.resize(body.size());
        for (qsizetype i = 0; i < body.size(); ++i) {
            raw[i] = From1252(static_cast<uchar>(body[i]));
            starts.push_back(bom + i);
        }
        starts.push_back(bom + body.size());
        break;
    }

    // Line ends become line feeds in the text.
    page.m_text.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        page.m_byteAt.push_back(starts[i]);
        if (c == u'\r' && i + 1 < raw.size() && raw[i + 1] == u'\n') {
            page.m_text += u'\n';
            page.m_lineEnds.push_back(QStringLiteral("\r\n"));
            ++i;
        } else if (c == u'\r' || c == u'\n') {
            page.m_text += u'\n';
            page.m_lineEnds.push_back(QString(c));
        } else {
            page.m_text += c;
            page.m_lineEnds.push_back(QString());
        }
    }
    page.m_byteAt.push_back(starts.back());
    return page;
}

QString CPageText::LineEndNear(qsizetype index) const {
    for (qsizetype i = std::min<qsizetype>(index, m_text.size()) - 1; i >= 0; --i) {
        if (!m_lineEnds[i].isEmpty()) return m_lineEnds[i];
    }
    for (qsizetype i = index; i < m_text.size(); ++i) {
        if (!m_lineEnds[i].isEmpty()) return m_lineEnds[i];
    }
    return QStringLiteral("\n");
}

QByteArray CPageText::Encode(const QString& text) const {
    return EncodeWithReferences(text, m_encoding);
}

TextChange ChangeBetween(const QString& before, const QString& after) {
    const qsizetype shorter = std::min(before.size(), after.size());
    TextChange change;
    qsizetype& prefix = change.prefix;
    while (prefix < shorter && before[prefix] == after[prefix]) ++prefix;
    // Never between the halves of a surrogate pair.
    if (prefix > 0 && prefix < before.size() && before[prefix - 1].isHighSurrogate()) --prefix;
    qsizetype& suffix = change.suffix;
    while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    if (suffix > 0 && before[before.size() - suffix].isLowSurrogate()) --suffix;
    return change;
}

QByteArray CPageText::Bytes(const QString& edited) const {
    const QString& old = m_text;
    const auto [prefix, suffix] = ChangeBetween(old, edited);
    if (prefix == old.size() && suffix == 0 && edited.size() == old.size()) return m_bytes;

    QString middle = edited.mid(prefix, edited.size() - prefix - suffix);
    middle.replace(u'\n', LineEndNear(prefix));
    const qsizetype tail = m_byteAt[old.size() - suffix];
    return m_bytes.left(m_byteAt[prefix]) + Encode(middle) + m_bytes.mid(tail);
}

namespace {

// Comments and tags are skipped as a browser's tokenizer would, roughly:
// enough to find the head's end and whether a position lies inside markup.
struct Span {
    qsizetype begin;
    qsizetype end;  // one past '>'
    QString name;   // lower case; "!--" for a comment, "!" for a doctype
    bool closing;
};

QList<Span> Tags(const QString& page) {
    QList<Span> tags;
    static const QStringList rawText = {QStringLiteral("script"), QStringLiteral("style"), QStringLiteral("title"),
                                        QStringLiteral("textarea")};
    qsizetype i = 0;
    while (i < page.size()) {
        const qsizetype lt = page.indexOf(u'<', i);
        if (lt < 0 || lt + 1 >= page.size()) break;
        if (page.mid(lt, 4) == QLatin1String("<!--")) {
            const qsizetype close = page.indexOf(QLatin1String("-->"), lt + 4);
            const qsizetype end = close < 0 ? page.size() : close + 3;
            tags.append({lt, end, QStringLiteral("!--"), false});
            i = end;
            continue;
        }
        const QChar next = page[lt + 1];
        const bool closing = next == u'/';
        if (!(next.isLetter() || next == u'!' || (closing && lt + 2 < page.size() && page[lt + 2].isLetter()))) {
            i = lt + 1;
            continue;
        }
        const qsizetype gt = page.indexOf(u'>', lt);
        const qsizetype end = gt < 0 ? page.size() : gt + 1;
        qsizetype n = lt + (closing ? 2 : 1);
        qsizetype nameEnd = n;
        while (nameEnd < end && (page[nameEnd].isLetterOrNumber() || page[nameEnd] == u'!' || page[nameEnd] == u'-'))
            ++nameEnd;
        const QString name = page.mid(n, nameEnd - n).toLower();
        tags.append({lt, end, name, closing});
        i = end;
        if (!closing && rawText.contains(name)) {
            // Up to the matching end tag, nothing is markup.
            const QRegularExpression endTag(QStringLiteral("</%1\\b").arg(name),
                                            QRegularExpression::CaseInsensitiveOption);
            const QRegularExpressionMatch m = endTag.match(page, end);
            const qsizetype close = m.hasMatch() ? m.capturedStart() : page.size();
            tags.append({end, close, QStringLiteral("#raw"), false});
            i = close;
        }
    }
    return tags;
}

}  // namespace

qsizetype HeadInsertPosition(const QString& page) {
    const QList<Span> tags = Tags(page);
    for (const Span& t : tags) {
        if (t.closing && t.name == QLatin1String("head")) return t.begin;
    }
    for (const Span& t : tags) {
        if (!t.closing && t.name == QLatin1String("body")) return t.begin;
    }
    qsizetype after = 0;
    for (const Span& t : tags) {
        if (t.name == QLatin1String("!doctype") || t.name == QLatin1String("!") ||
            (!t.closing && (t.name == QLatin1String("html") || t.name == QLatin1String("head"))) ||
            t.name == QLatin1String("!--")) {
            if (page.mid(after, t.begin - after).trimmed().isEmpty()) {
                after = t.end;
                continue;
            }
        }
        break;
    }
    if (after > 0 && after < page.size() && page[after] == u'\n') ++after;
    return after;
}

qsizetype ElementInsertPosition(const QString& page, qsizetype caret) {
    caret = std::clamp<qsizetype>(caret, 0, page.size());
    const QList<Span> tags = Tags(page);
    qsizetype bodyStart = -1;
    qsizetype headEnd = -1;
    for (const Span& t : tags) {
        if (!t.closing && t.name == QLatin1String("body") && bodyStart < 0) bodyStart = t.end;
        if (t.closing && t.name == QLatin1String("head") && headEnd < 0) headEnd = t.end;
    }
    // In the head: the body's first place.
    if (bodyStart >= 0 && caret < bodyStart) return bodyStart;
    if (bodyStart < 0 && headEnd >= 0 && caret < headEnd) return headEnd;
    for (qsizetype i = 0; i < tags.size(); ++i) {
        const Span& t = tags[i];
        // Inside a raw-text element (its content, up to its end tag): after
        // that end tag.
        if (t.name == QLatin1String("#raw") && caret >= t.begin && caret <= t.end)
            return i + 1 < tags.size() ? tags[i + 1].end : page.size();
        if (caret > t.begin && caret < t.end) return t.end;
    }
    return caret;
}

QString BaseHref(const QString& page) {
    static const QRegularExpression href(QStringLiteral(R"re(\bhref\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re"),
                                         QRegularExpression::CaseInsensitiveOption);
    for (const Span& t : Tags(page)) {
        if (t.closing || t.name != QLatin1String("base")) continue;
        const QRegularExpressionMatch m = href.match(page.mid(t.begin, t.end - t.begin));
        // A <base> with only a target sets no address; the next one might.
        if (!m.hasMatch()) continue;
        QString value = m.captured(1) + m.captured(2) + m.captured(3);
        value.replace(QLatin1String("&quot;"), QLatin1String("\""))
            .replace(QLatin1String("&#39;"), QLatin1String("'"))
            .replace(QLatin1String("&amp;"), QLatin1String("&"));
        return value.trimmed();
    }
    return {};
}

bool IsPageFragment(const QString& page) {
    static const QStringList pageTags = {QStringLiteral("!doctype"), QStringLiteral("html"),  QStringLiteral("head"),
                                         QStringLiteral("body"),     QStringLiteral("title"), QStringLiteral("meta")};
    for (const Span& t : Tags(page)) {
        if (pageTags.contains(t.name)) return false;
    }
    return true;
}
