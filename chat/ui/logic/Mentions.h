#pragma once
// "@name" in a chat line: a word of its own that names a member. A line
// that mentions the user is marked, and raises a notification when its
// window is not in front.
#include <QString>
#include <QStringList>

namespace lanyx::ui {

// Whether `line` holds "@name" (letter case aside), not as the start of a
// longer name ("@bobby" does not mention bob) nor inside a word (an e-mail
// address does not mention anybody).
bool Mentions(const QString& line, const QString& name);

// The "@" word being typed: where it starts in `text` (its "@"), the
// cursor at `cursor` right after it; -1 when the cursor is not in one.
int MentionStart(const QString& text, int cursor);

// The names that complete `typed` (what follows the "@"), in their order,
// letter case aside; none for an empty list.
QStringList MentionChoices(const QStringList& names, const QString& typed);

}  // namespace lanyx::ui
