#pragma once
#include <QString>

// Widget and template names become parts of file names and of the generated
// code: only ASCII letters and digits, at least one.
bool IsValidWidgetName(const QString& name);

// What is wrong with a name, said as the user types it (empty: the name is
// fine): what is allowed, and what in this name is not.
QString WidgetNameProblem(const QString& name);

// The name a file takes when name is taken in a folder by a file that is
// not ours: the n-th choice ("logo.svg", 2 gives "logo-2.svg"; 1 gives name
// itself). The extension stays last, so the file keeps its type.
QString NumberedFileName(const QString& name, int n);

// A name for a web address made of a work's name: ASCII letters in lower
// case, digits and single hyphens, accents dropped; "button" when nothing is
// left.
QString WebFileStem(const QString& text);
