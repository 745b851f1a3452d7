#pragma once
// What the desktop program shows of a transfer, decided without widgets:
// the texts of a row in the Transfers window, which of its buttons are
// there, the note a chat window gets when one ends, which users a send can
// go to, and the local paths of a drop.
#include "FileTransfers.h"

#include <QString>
#include <QStringList>

#include <functional>

class QMimeData;

namespace lanyx::ui {

struct TransferRow {
    QString names;    // "a.txt, b.txt and 3 more"
    QString peer;     // "To bob" / "From ann"
    QString state;    // "Receiving", "Failed: ..."
    QString amounts;  // "1.2 MB of 3.4 MB" while under way, else "2 files, 3.4 MB"
    QString speed;    // "1.2 MB/s, 3 min left" while running, else ""
    int percent = 0;  // 0..100
    bool bar = true;  // no bar before any byte went, nor where none ever will
    bool accept = false, decline = false, cancel = false, retry = false, openFolder = false;
};

TransferRow RowFor(const TransferItem& item);

// The first `shown` names, then "and N more" for the rest: the names the
// offer did not carry are counted from its number of files.
QString NamesText(const QStringList& names, quint64 files, int shown = 3);
// "850 KB/s"; "" for no speed yet.
QString SpeedText(double bytesPerSecond);
// "45 s left", "3 min left", "1 h 5 min left"; "" when unknown.
QString TimeLeftText(qint64 seconds);
// The line for a chat window and the tray when a transfer ended.
QString EndedNote(const TransferItem& item);
// The folder Open Folder shows: finished incoming transfers only.
QString FolderToOpen(const TransferItem& item);

// Which of `names` files can go to, and why the others cannot.
struct SendCheck {
    QStringList ok;
    QString why;  // set when some or all cannot take files
};
using CanSendFn = std::function<bool(const QString& name, QString* why)>;
SendCheck CheckTargets(const QStringList& names, const CanSendFn& can);

// The local files and folders of a drag; empty when it carries anything
// else (a web address, a file of a remote share the program cannot read).
QStringList DroppedPaths(const QMimeData* data);

}  // namespace lanyx::ui
