#pragma once
// Message boxes of the shell: always titled with the application title
// (string 57344), texts from the string table formatted as messages are.

#include "core/WidgetDocument.h"

#include <QMessageBox>
#include <QUrl>
#include <functional>

QMessageBox::StandardButton FennicMessageBox(QWidget* parent, const QString& text, MessageIcon icon,
                                             QMessageBox::StandardButtons buttons = QMessageBox::Ok);
QMessageBox::StandardButton FennicMessage(QWidget* parent, int id, const QStringList& args, MessageIcon icon,
                                          QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// Asks the desktop to open a page, a file or a mail address. Failures are
// not reported, as callers decided. Tests replace the opener.
bool ShellOpen(const QUrl& url);
void SetShellOpener(std::function<bool(const QUrl&)> opener);
// A local path, an http(s) address or a mailto: address as a URL.
QUrl ShellTargetUrl(const QString& target);
