#include "core/NameRule.h"

bool IsValidWidgetName(const QString& name) {
    if (name.isEmpty()) return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool ok = (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9');
        if (!ok) return false;
    }
    return true;
}

QString WidgetNameProblem(const QString& name) {
    if (IsValidWidgetName(name)) return {};
    const QString rule = QStringLiteral("Use only letters A\u2013Z, a\u2013z and digits 0\u20139");
    if (name.isEmpty()) return rule + QStringLiteral(", at least one.");
    QString found;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool ok = (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9');
        if (ok) continue;
        found = c == u' ' ? QStringLiteral("a space") : QStringLiteral("\u201c%1\u201d").arg(c);
        break;
    }
    return rule + QStringLiteral("; this name has %1. SignupCTA or Signup2 would do.").arg(found);
}

QString NumberedFileName(const QString& name, int n) {
    if (n <= 1) return name;
    // A leading dot starts no extension (".htaccess").
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0) return QStringLiteral("%1-%2").arg(name).arg(n);
    return QStringLiteral("%1-%2%3").arg(name.left(dot)).arg(n).arg(name.mid(dot));
}

QString WebFileStem(const QString& text) {
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
    return out.isEmpty() ? QStringLiteral("button") : out;
}
