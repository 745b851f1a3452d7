#pragma once
#include <QString>

// Widget and template names become parts of file names and of the generated
// code: only ASCII letters and digits, at least one.
bool IsValidWidgetName(const QString& name);

// What is wrong with a name, said as the user types it (empty: the name is
// fine): what is allowed, and what in this name is not.
QString WidgetNameProblem(const QString& name);
