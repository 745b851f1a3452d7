#pragma once
// Starting a transfer from the windows: Send File... and Send Folder... in a
// user menu, and files dropped onto a window. Both check first whether the
// users can take files; an entry that cannot is disabled and says why.
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QAction;
class QFileDialog;
class QMenu;
class QWidget;

namespace lanyx {
class FileTransfers;
}

namespace lanyx::ui {
struct FolderMemory;
}

namespace lanyx::ui {

// The toolkit's file dialog for choosing what to send (files, or one folder),
// starting in `start`.
QFileDialog* NewFileDialog(QWidget* parent, const QString& start, bool folder);

// Offers `paths` to each of `names` that can take files. What happened, in
// a sentence for a status line; `failed` tells whether any offer failed.
QString SendPathsTo(FileTransfers& files, const QStringList& names, const QStringList& paths, bool* failed = nullptr);

// The two entries of a user menu. `targets` names the users they are for
// at the time the menu opens; the entries are enabled where files can go
// to at least one of them, else disabled with the reason as tooltip.
class SendFileActions : public QObject {
    Q_OBJECT
public:
    using TargetsFn = std::function<QStringList()>;
    SendFileActions(QWidget* window, TargetsFn targets);
    void setFiles(FileTransfers* files) { files_ = files; }
    FileTransfers* files() const { return files_; }
    // The file dialogs start where files were last sent from.
    void setMemory(FolderMemory* memory) { memory_ = memory; }
    // Adds both entries to `menu` (and shows its tooltips).
    void addTo(QMenu* menu);
    // Enables, disables and explains both entries for the current targets.
    void refresh();
    QAction* sendFile() const { return sendFile_; }
    QAction* sendFolder() const { return sendFolder_; }
    // The file dialogs; tests replace them.
    std::function<QStringList(QWidget*, const QString& start)> chooseFiles;
    std::function<QString(QWidget*, const QString& start)> chooseFolder;
    // Where the outcome goes (a status line); a failure also shows a message box.
    std::function<void(const QString&)> report;

    // Where the file dialogs start.
    QString startFolder() const;

private:
    void start(const QStringList& paths);

    QWidget* window_;
    TargetsFn targets_;
    FileTransfers* files_ = nullptr;
    FolderMemory* memory_ = nullptr;
    QAction* sendFile_;
    QAction* sendFolder_;
};

// Files dragged onto watched widgets: a drag of local files is taken where
// `check` allows it (else refused, so the cursor shows it, and explained);
// other drags (text) go on to the widget as before.
class FileDropFilter : public QObject {
    Q_OBJECT
public:
    // The users a drop at `pos` in `watched` goes to; an empty list with
    // `why` where none can take files.
    using TargetsAt = std::function<QStringList(QObject* watched, const QPoint& pos, QString* why)>;
    FileDropFilter(QObject* parent, TargetsAt targetsAt);
    void watch(QWidget* widget);
    void setFiles(FileTransfers* files) { files_ = files; }
    // The status line: a reason while a drag is refused, the outcome of a
    // drop, and "" when the drag leaves (the usual text comes back).
    std::function<void(const QString&)> explain;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStringList allowedAt(QObject* watched, const QPoint& pos, QString* why) const;

    TargetsAt targetsAt_;
    FileTransfers* files_ = nullptr;
};

}  // namespace lanyx::ui
