#pragma once
// How a key's state reads, wherever it shows: the roster's tooltip, the
// user information and the warning that a key changed.
#include "UserList.h"

#include <QString>

namespace lanyx::ui {

QString KeyStateText(KeyState state);
// Why nothing private goes to `name` until the user decides on its new key.
QString KeyWarningText(const QString& name);

}  // namespace lanyx::ui
