#include "ui/FolderDialog.h"

#include "core/Publishing.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

CFolderDialog::CFolderDialog(QWidget* owner, const QString& initialFolder) : QDialog(owner) {
    setWindowTitle(tr("Current Selection"));
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QDir::rootPath());
    m_tree = new QTreeView(this);
    m_tree->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column) m_tree->hideColumn(column);
    m_tree->header()->hide();
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("path"));
    auto* pathLabel = new QLabel(tr("F&older:"), this);
    pathLabel->setBuddy(m_edit);
    auto* newFolder = new QPushButton(tr("&Make New Folder"), this);
    newFolder->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    buttons->addButton(newFolder, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFolderDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFolderDialog::reject);
    connect(newFolder, &QPushButton::clicked, this, &CFolderDialog::OnNewFolder);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(pathLabel);
    pathRow->addWidget(m_edit, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_tree, 1);
    layout->addLayout(pathRow);
    layout->addWidget(buttons);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &CFolderDialog::OnSelectionChanged);
    connect(m_edit, &QLineEdit::textChanged, this, [this]() {
        if (!m_selecting) m_status->setText(FolderStatusText(QDir::toNativeSeparators(m_edit->text())));
        UpdateOk();
    });
    resize(340, 420);
    if (initialFolder.isEmpty()) {
        const QModelIndex home = m_model->index(QDir::homePath());
        m_tree->expand(home);
        m_tree->scrollTo(home);
    }
    SelectFolder(initialFolder);
    UpdateOk();
}

void CFolderDialog::SelectFolder(const QString& path) {
    if (path.isEmpty()) {
        m_status->setText(QString());
        return;
    }
    const QModelIndex index = m_model->index(path);
    m_selecting = true;
    if (index.isValid()) {
        m_tree->setCurrentIndex(index);
        m_tree->scrollTo(index);
    }
    m_edit->setText(QDir::toNativeSeparators(path));
    m_selecting = false;
    m_status->setText(FolderStatusText(QDir::toNativeSeparators(path)));
}

QString CFolderDialog::StatusText() const {
    return m_status->text();
}

void CFolderDialog::OnSelectionChanged() {
    const QString path = m_model->filePath(m_tree->currentIndex());
    m_selecting = true;
    m_edit->setText(QDir::toNativeSeparators(path));
    m_selecting = false;
    m_status->setText(FolderStatusText(QDir::toNativeSeparators(path)));
}

QString CFolderDialog::ChosenPath() const {
    const QString typed = QDir::fromNativeSeparators(m_edit->text().trimmed());
    if (typed.isEmpty()) return {};
    return QDir::cleanPath(QDir::isRelativePath(typed) ? QDir::home().filePath(typed) : typed);
}

void CFolderDialog::UpdateOk() {
    m_ok->setEnabled(QFileInfo(ChosenPath()).isDir());
}

bool CFolderDialog::MakeFolder(const QString& name) {
    const QString parent = ChosenPath();
    const QString clean = name.trimmed();
    if (parent.isEmpty() || clean.isEmpty() || clean.contains(u'/') || clean == QStringLiteral("..") ||
        clean == QStringLiteral("."))
        return false;
    QDir dir(parent);
    if (!dir.exists() || !dir.mkpath(clean)) return false;
    SelectFolder(dir.filePath(clean));
    return true;
}

void CFolderDialog::OnNewFolder() {
    bool ok = false;
    const QString name = QInputDialog::getText(this, tr("Make New Folder"), tr("&Name:"), QLineEdit::Normal,
                                               tr("New Folder"), &ok);
    if (ok) MakeFolder(name);
}

void CFolderDialog::accept() {
    // Only a folder of the file system is a choice.
    const QString path = ChosenPath();
    if (path.isEmpty() || !QFileInfo(path).isDir()) return;
    m_path = path;
    QDialog::accept();
}
