#include "Mentions.h"

namespace lanyx::ui {

namespace {

bool nameChar(QChar c) {
    // What user names hold besides letters and digits.
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('-') || c == QLatin1Char('.');
}

}  // namespace

bool Mentions(const QString& line, const QString& name) {
    if (name.isEmpty()) return false;
    const QString mention = QLatin1Char('@') + name;
    for (int at = line.indexOf(mention, 0, Qt::CaseInsensitive); at >= 0;
         at = line.indexOf(mention, at + 1, Qt::CaseInsensitive)) {
        const bool startsWord = at == 0 || !nameChar(line.at(at - 1));
        const int end = at + static_cast<int>(mention.size());
        // A full stop after the name ends the sentence, not the name.
        const bool endsName = end >= line.size() || !nameChar(line.at(end)) ||
                              (line.at(end) == QLatin1Char('.') &&
                               (end + 1 >= line.size() || !nameChar(line.at(end + 1))));
        if (startsWord && endsName) return true;
    }
    return false;
}

int MentionStart(const QString& text, int cursor) {
    if (cursor < 1 || cursor > text.size()) return -1;
    int at = cursor;
    while (at > 0 && nameChar(text.at(at - 1))) --at;
    if (at == 0 || text.at(at - 1) != QLatin1Char('@')) return -1;
    const int start = at - 1;
    if (start > 0 && nameChar(text.at(start - 1))) return -1;  // an address, not a mention
    return start;
}

QStringList MentionChoices(const QStringList& names, const QString& typed) {
    QStringList out;
    for (const auto& n : names)
        if (n.startsWith(typed, Qt::CaseInsensitive) && !out.contains(n, Qt::CaseInsensitive)) out << n;
    return out;
}

}  // namespace lanyx::ui
