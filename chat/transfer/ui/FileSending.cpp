#include "FileSending.h"

#include "FileTransfers.h"
#include "FolderMemory.h"
#include "TransferView.h"

#include <QDir>

#include <QAction>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace lanyx::ui {

namespace {
CanSendFn canSend(FileTransfers& files) {
    return [&files](const QString& name, QString* why) { return files.canSendTo(name, why); };
}
}  // namespace

QString SendPathsTo(FileTransfers& files, const QStringList& names, const QStringList& paths, bool* failed) {
    if (failed) *failed = false;
    const auto check = CheckTargets(names, canSend(files));
    if (check.ok.isEmpty()) {
        if (failed) *failed = true;
        return check.why;
    }
    QStringList sent, errors;
    for (const auto& name : check.ok) {
        QString error;
        if (files.send(name, paths, &error).isEmpty()) errors << SendFileActions::tr("%1: %2").arg(name, error);
        else sent << name;
    }
    QStringList parts;
    if (!sent.isEmpty()) {
        const QString what = paths.size() == 1 ? QFileInfo(paths.front()).fileName()
                                               : SendFileActions::tr("%1 items").arg(paths.size());
        parts << SendFileActions::tr("Offered %1 to %2.").arg(what, sent.join(QStringLiteral(", ")));
    }
    if (!errors.isEmpty()) {
        if (failed) *failed = true;
        parts << SendFileActions::tr("Not offered to %1").arg(errors.join(QStringLiteral("; ")));
    }
    if (!check.why.isEmpty() && !sent.isEmpty()) parts << check.why;
    return parts.join(QLatin1Char(' '));
}

QFileDialog* NewFileDialog(QWidget* parent, const QString& start, bool folder) {
    auto* d = new QFileDialog(parent, folder ? SendFileActions::tr("Send Folder") : SendFileActions::tr("Send Files"),
                              start);
    d->setFileMode(folder ? QFileDialog::Directory : QFileDialog::ExistingFiles);
    if (folder) d->setOption(QFileDialog::ShowDirsOnly);
    return d;
}

SendFileActions::SendFileActions(QWidget* window, TargetsFn targets)
    : QObject(window), window_(window), targets_(std::move(targets)) {
    sendFile_ = new QAction(tr("Send &File..."), this);
    sendFile_->setObjectName("mnuSendFile");
    sendFolder_ = new QAction(tr("Send F&older..."), this);
    sendFolder_->setObjectName("mnuSendFolder");
    // The desktop's own file dialog where it has one, else the toolkit's.
    chooseFiles = [](QWidget* parent, const QString& start) {
        QPointer<QFileDialog> d = NewFileDialog(parent, start, false);
        const bool chosen = d->exec() == QDialog::Accepted && d;
        const QStringList files = chosen ? d->selectedFiles() : QStringList();
        if (d) d->deleteLater();
        return files;
    };
    chooseFolder = [](QWidget* parent, const QString& start) {
        QPointer<QFileDialog> d = NewFileDialog(parent, start, true);
        const bool chosen = d->exec() == QDialog::Accepted && d;
        const QString folder = chosen ? d->selectedFiles().value(0) : QString();
        if (d) d->deleteLater();
        return folder;
    };
    connect(sendFile_, &QAction::triggered, this, [this] {
        if (chooseFiles) start(chooseFiles(window_, startFolder()));
    });
    connect(sendFolder_, &QAction::triggered, this, [this] {
        if (!chooseFolder) return;
        const QString dir = chooseFolder(window_, startFolder());
        if (!dir.isEmpty()) start({dir});
    });
}

void SendFileActions::addTo(QMenu* menu) {
    menu->setToolTipsVisible(true);
    menu->addAction(sendFile_);
    menu->addAction(sendFolder_);
    connect(menu, &QMenu::aboutToShow, this, &SendFileActions::refresh, Qt::UniqueConnection);
}

void SendFileActions::refresh() {
    // Worded when the menu opens: in the language chosen by then.
    sendFile_->setText(tr("Send &File..."));
    sendFolder_->setText(tr("Send F&older..."));
    QString why;
    bool any = false;
    if (!files_) {
        why = tr("File transfers are not available.");
    } else {
        const auto check = CheckTargets(targets_ ? targets_() : QStringList(), canSend(*files_));
        any = !check.ok.isEmpty();
        why = check.why;
    }
    for (QAction* a : {sendFile_, sendFolder_}) {
        a->setEnabled(any);
        // Where some can and some cannot, the tooltip names those left out.
        a->setToolTip(why.isEmpty() ? a->text().remove(QLatin1Char('&')) : why);
    }
}

QString SendFileActions::startFolder() const {
    return memory_ && !memory_->sendFolder.isEmpty() ? memory_->sendFolder : QDir::homePath();
}

void SendFileActions::start(const QStringList& paths) {
    if (paths.isEmpty()) return;
    // The next dialog starts where these came from.
    if (memory_) memory_->set(&FolderMemory::sendFolder, QFileInfo(paths.front()).absolutePath());
    if (!files_) return;
    bool failed = false;
    const QString outcome = SendPathsTo(*files_, targets_ ? targets_() : QStringList(), paths, &failed);
    if (report) report(outcome);
    if (failed) QMessageBox::warning(window_, tr("Send Files"), outcome);
}

FileDropFilter::FileDropFilter(QObject* parent, TargetsAt targetsAt)
    : QObject(parent), targetsAt_(std::move(targetsAt)) {
}

void FileDropFilter::watch(QWidget* widget) {
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
}

QStringList FileDropFilter::allowedAt(QObject* watched, const QPoint& pos, QString* why) const {
    if (!files_) {
        *why = tr("File transfers are not available.");
        return {};
    }
    QString where;
    const QStringList targets = targetsAt_ ? targetsAt_(watched, pos, &where) : QStringList();
    if (targets.isEmpty()) {
        *why = where.isEmpty() ? tr("Drop files onto a user.") : where;
        return {};
    }
    const auto check = CheckTargets(targets, [this](const QString& n, QString* w) { return files_->canSendTo(n, w); });
    *why = check.why;
    return check.ok;
}

bool FileDropFilter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDragMoveEvent*>(event);
        if (!e->mimeData()->hasUrls()) return false;
        if (DroppedPaths(e->mimeData()).isEmpty()) {
            e->ignore();
            if (explain) explain(tr("Only files and folders on this computer can be sent."));
            return true;
        }
        QString why;
        const auto ok = allowedAt(watched, e->position().toPoint(), &why);
        // Enter is taken so that moves follow (the pointer may reach a user
        // who can take files); each move says whether a drop there works.
        if (event->type() == QEvent::DragEnter) {
            e->setDropAction(Qt::CopyAction);
            e->accept();
        } else if (ok.isEmpty()) {
            e->ignore();
        } else {
            e->setDropAction(Qt::CopyAction);
            e->accept();
        }
        if (explain)
            explain(ok.isEmpty() ? why : tr("Drop to offer the files to %1.").arg(ok.join(QStringLiteral(", "))));
        return true;
    }
    case QEvent::DragLeave:
        if (explain) explain({});
        return false;
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        if (!e->mimeData()->hasUrls()) return false;
        const auto paths = DroppedPaths(e->mimeData());
        QString why;
        const auto ok = paths.isEmpty() ? QStringList() : allowedAt(watched, e->position().toPoint(), &why);
        if (ok.isEmpty()) {
            e->ignore();
            if (explain) explain(paths.isEmpty() ? tr("Only files and folders on this computer can be sent.") : why);
            return true;
        }
        e->setDropAction(Qt::CopyAction);
        e->accept();
        bool failed = false;
        const QString outcome = SendPathsTo(*files_, ok, paths, &failed);
        if (explain) explain(outcome);
        if (failed) {
            // Not modal, and not inside the drop: the desktop's drag ends first.
            auto* w = qobject_cast<QWidget*>(watched);
            QPointer<QWidget> window = w ? w->window() : nullptr;
            QTimer::singleShot(0, this, [window, outcome] {
                auto* box = new QMessageBox(QMessageBox::Warning, tr("Send Files"), outcome, QMessageBox::Ok, window);
                box->setObjectName("boxSendFailed");
                box->setAttribute(Qt::WA_DeleteOnClose);
                box->setModal(false);
                box->show();
            });
        }
        return true;
    }
    default: return false;
    }
}

}  // namespace lanyx::ui
