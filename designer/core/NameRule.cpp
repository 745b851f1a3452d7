#include "core/NameRule.h"

bool IsValidWidgetName(const QString& name) {
    if (name.isEmpty())
        return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool ok = (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9');
        if (!ok)
            return false;
    }
    return true;
}
