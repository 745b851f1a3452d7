#pragma once
// Where the user last was in the file dialogs of transfers and exports:
// the folder offers were saved in, the folder files were last sent from,
// the folder the last export went to. Empty: not known yet. The program
// keeps it across runs (`changed` tells it to save).
#include <QString>

#include <functional>

namespace lanyx::ui {

struct FolderMemory {
    QString offerFolder;
    QString sendFolder;
    QString exportFolder;
    std::function<void()> changed;
    void set(QString FolderMemory::*which, const QString& folder) {
        if (folder.isEmpty() || this->*which == folder) return;
        this->*which = folder;
        if (changed) changed();
    }
};

}  // namespace lanyx::ui
