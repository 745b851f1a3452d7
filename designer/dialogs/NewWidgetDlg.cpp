#include "NewWidgetDlg.h"

bool NewWidgetDialogAvailable() {
    return false;
}

std::optional<NewWidgetChoice> RunNewWidgetDialog(QWidget*) {
    return std::nullopt;
}
