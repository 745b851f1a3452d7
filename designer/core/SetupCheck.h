#pragma once
// What `tavishfennic --check` prints: where this copy looks for its class
// registry, widget server, templates, help and work folder, and whether it
// finds them. Binding the server loads the plug-in, as the program does.

#include <QString>
#include <QStringList>

struct SetupReport {
    bool ok = false;    // the widget server binds: the program can be used
    QStringList lines;  // "Label: value", in the order shown
};

SetupReport CheckSetup(const QString& programFolder, const QString& documentsFolder);
