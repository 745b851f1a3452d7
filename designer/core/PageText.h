#pragma once
// An author's HTML page as text to edit and as the bytes it is made of. The
// encoding is found as a browser finds it (byte-order mark, then a meta
// charset, then whether the bytes are valid UTF-8); what the editor shows
// has bare line feeds. Writing back keeps every byte the edit did not touch,
// so the page's own bytes and line ends survive; new text gets the line end
// of the page around it and, where the encoding lacks a character, a
// numeric character reference.

#include <QByteArray>
#include <QString>
#include <vector>

enum class PageEncoding {
    Utf8,
    Utf16LE,
    Utf16BE,
    Windows1252,
    // Declared in an encoding we do not write (or UTF-8 that is not valid):
    // the bytes are kept, and anything new is written in ASCII.
    AsciiOnly,
};

class CPageText {
public:
    static CPageText FromBytes(const QByteArray& bytes);

    PageEncoding Encoding() const { return m_encoding; }
    // The page with line feeds for line ends.
    const QString& Text() const { return m_text; }
    // The page after the edit that turned Text() into edited.
    QByteArray Bytes(const QString& edited) const;

private:
    QByteArray Encode(const QString& text) const;
    QString LineEndNear(qsizetype index) const;

    QByteArray m_bytes;
    PageEncoding m_encoding = PageEncoding::Utf8;
    QString m_text;
    // m_byteAt[i]: where character i of m_text starts in m_bytes (one more
    // entry for the end); m_lineEnds[i]: the original line end of the line
    // feed at i, or empty.
    std::vector<qsizetype> m_byteAt;
    std::vector<QString> m_lineEnds;
};

// Where two texts differ: the length of their common start and of their
// common end after it, never splitting a surrogate pair. before's part in
// between is what the edit replaced.
struct TextChange {
    qsizetype prefix = 0;
    qsizetype suffix = 0;
};
TextChange ChangeBetween(const QString& before, const QString& after);

// The page encoding named by a charset label, as browsers read the label
// ("iso-8859-1" is Windows-1252); AsciiOnly for labels we do not write.
PageEncoding EncodingForLabel(const QString& label);
// The charset a meta element in the first 1024 bytes declares; empty: none.
QString DeclaredCharset(const QByteArray& bytes);
// text in encoding; characters the encoding lacks become "&#xHHHH;".
QByteArray EncodeWithReferences(const QString& text, PageEncoding encoding);

// Where code goes into a page (positions in the page's text):
// the style for the head: before </head>, else before <body>, else after
// the doctype and <html> start tags, else at the start.
qsizetype HeadInsertPosition(const QString& page);
// The element at the caret, unless the caret is inside a tag, a comment, a
// raw-text element (script, style, title, textarea) or the head: then just
// after it (after the body's start tag for the head).
qsizetype ElementInsertPosition(const QString& page, qsizetype caret);

// The address in the page's first <base href="...">, as written (entities
// for & and quotes read); empty: the page has none.
QString BaseHref(const QString& page);
// Whether the file is a piece of a page rather than a page: no doctype and
// no html, head, body, title or meta element (a template partial, an
// include). It has no head to take the style.
bool IsPageFragment(const QString& page);
