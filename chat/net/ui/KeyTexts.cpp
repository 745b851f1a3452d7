#include "KeyTexts.h"

#include <QCoreApplication>

namespace lanyx::ui {

// The texts keep the contexts they were translated under when the roster
// and the message box said them themselves.
QString KeyStateText(KeyState state) {
    switch (state) {
    case KeyState::Checked: return QCoreApplication::translate("lanyx::ui::UserListModel", "checked by you");
    case KeyState::New: return QCoreApplication::translate("lanyx::ui::UserListModel", "new key, not checked");
    case KeyState::Unconfirmed:
        return QCoreApplication::translate("lanyx::ui::UserListModel", "key known, not heard with it since listed");
    case KeyState::Changed:
        return QCoreApplication::translate("lanyx::ui::UserListModel",
                                           "key changed: nothing private is sent until you check it");
    case KeyState::Conflict:
        return QCoreApplication::translate("lanyx::ui::UserListModel",
                                           "a copy without keys uses this name too: check the key");
    default:
        return QCoreApplication::translate("lanyx::ui::UserListModel",
                                           "no keys: what this user sends and gets is not protected");
    }
}

QString KeyWarningText(const QString& name) {
    return QCoreApplication::translate(
               "lanyx::ui::frmBox",
               "The key of %1 has changed. Either %1's program was reinstalled or its data folder lost, or "
               "somebody else is using the name %1. Until you decide, nothing private is sent to %1, and what the "
               "new key signs is marked \"not verified\" (leave notices, status and colour from it are ignored). "
               "Compare the safety number in %1's information with %1 in person or by phone: accept the new key "
               "only when both of you see the same number.")
        .arg(name);
}

}  // namespace lanyx::ui
