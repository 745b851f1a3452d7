#include "FolderDialog.h"

#include "Publishing.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QTreeView>
#include <QVBoxLayout>

CFolderDialog::CFolderDialog(QWidget* owner, const QString& initialFolder) : QDialog(owner) {
    setWindowTitle(tr("Current Selection"));
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QDir::rootPath());
    m_tree = new QTreeView(this);
    m_tree->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->header()->hide();
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFolderDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFolderDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_tree, 1);
    layout->addWidget(buttons);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CFolderDialog::OnSelectionChanged);
    resize(340, 420);
    SelectFolder(initialFolder);
}

void CFolderDialog::SelectFolder(const QString& path) {
    if (path.isEmpty()) {
        m_status->setText(QString());
        return;
    }
    const QModelIndex index = m_model->index(path);
    if (index.isValid()) {
        m_tree->setCurrentIndex(index);
        m_tree->scrollTo(index);
    }
    m_status->setText(FolderStatusText(QDir::toNativeSeparators(path)));
}

QString CFolderDialog::StatusText() const {
    return m_status->text();
}

void CFolderDialog::OnSelectionChanged() {
    const QString path = m_model->filePath(m_tree->currentIndex());
    m_status->setText(FolderStatusText(QDir::toNativeSeparators(path)));
}

void CFolderDialog::accept() {
    // Only a folder of the file system is a choice.
    const QString path = m_model->filePath(m_tree->currentIndex());
    if (path.isEmpty() || !QFileInfo(path).isDir()) {
        QDialog::reject();
        return;
    }
    m_path = path;
    QDialog::accept();
}
