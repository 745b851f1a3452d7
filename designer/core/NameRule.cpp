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
