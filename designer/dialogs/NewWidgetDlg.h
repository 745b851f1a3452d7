#pragma once
// The New dialog (choose a template or a blank widget and name it). Its
// dialog is not there yet: RunNewWidgetDialog answers "cancelled" and
// NewWidgetDialogAvailable() keeps the command greyed until it is.

#include <QString>
#include <optional>

class QWidget;

struct NewWidgetChoice {
    QString name;
    QString description;
    QString templatePath;  // empty: a blank widget
};

bool NewWidgetDialogAvailable();
std::optional<NewWidgetChoice> RunNewWidgetDialog(QWidget* parent);
