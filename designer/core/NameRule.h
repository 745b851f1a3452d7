#pragma once
#include <QString>

// Widget and template names become parts of file names and of the generated
// code: only ASCII letters and digits, at least one.
bool IsValidWidgetName(const QString& name);
