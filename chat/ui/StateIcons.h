#pragma once
// The icons of the states the windows show, the same everywhere, each with
// its words for tooltips and screen readers: a lock where a message went
// encrypted (and a key is verified), an open lock where it went in the
// clear (or a key is not verified), the warning of a key that changed or a
// message not confirmed, a blocked user, unread lines, and the three
// presence states.
#include "SecureLink.h"

#include <QCoreApplication>
#include <QIcon>
#include <QString>

namespace lanyx::ui {

enum class State { Encrypted, InTheClear, Warning, Blocked, Unread, Available, AlertsOnly, DoNotDisturb };

QIcon StateIcon(State state);
// One icon per picture (":/lanyx/..."), shared by every window that shows
// it: an icon made anew for each popup or row renders and caches its
// pictures anew, and a storm of alerts would fill the cache with copies.
QIcon SharedIcon(const QString& resource);
QString StateText(State state);
// The presence states by status number (0 to 2).
State StatusState(int status);

// What became of a private message to one recipient, in words:
// "bob: encrypted, delivered", "bob: in the clear, sent; ...".
QString DeliveryRowText(const DeliveryReport& report);
// The icon of that: a lock, an open lock, or the warning when not confirmed.
State DeliveryState(const DeliveryReport& report);
// The short word at the end of a line: "waiting", "delivered", "not
// confirmed", "sent"; with a count for many ("3 delivered").
QString DeliveryWord(const DeliveryReport& report);

}  // namespace lanyx::ui
