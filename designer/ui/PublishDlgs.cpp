#include "ui/PublishDlgs.h"

#include "ui/FolderDialog.h"
#include "ui/FennicMessage.h"
#include "core/CommandLinePublish.h"
#include "core/StringTable.h"
#include "controls/HyperlinkStatic.h"
#include "server/Pagelet.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cerrno>
#ifdef Q_OS_UNIX
#include <sys/file.h>
#endif

namespace {

QPushButton* Button(QWidget* parent, const QString& text, int id) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::number(id));
    return button;
}

QString FileErrorText(const QString& path, const QString& reason) {
    return QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path), reason);
}

}  // namespace

// ---------------------------------------------------------------- View Code

CViewCodeDlg::CViewCodeDlg(CPagelet& binding, const QString& code, QWidget* parent, const QString& workFile)
    : CHelpDialog(kTemplateId, parent), m_binding(binding), m_workFile(workFile) {
    setWindowTitle(tr("View Code"));
    auto* important = new QGroupBox(tr("Important"), this);
    // Only a button with support files needs them beside the page.
    const bool files = binding.IsBound() && binding->GetSupportFileCount() > 0;
    auto* notice = new QLabel(files
                                  ? tr("After you copy and paste the code below into the HTML page, you must also copy "
                                       "the generaged widget file (*.svg) to the same folder as that HTML file.")
                                  : tr("Put the <style> part into the page's head, once per page, and the element "
                                       "where the button goes. This button needs no other file."),
                              important);
    notice->setTextFormat(Qt::PlainText);
    notice->setWordWrap(true);
    m_link = new CHyperlinkStatic(tr("Click here to see the generated widget file"), important);
    m_link->setObjectName(QStringLiteral("1035"));
    m_link->SetLinkStyle(CHyperlinkStatic::kBold);
    m_link->SetLinkCursor(QCursor(Qt::PointingHandCursor));
    auto* importantLayout = new QVBoxLayout(important);
    importantLayout->addWidget(notice);
    importantLayout->addWidget(m_link, 0, Qt::AlignLeft);
    m_link->setVisible(files);

    auto* codeGroup = new QGroupBox(tr("Required HTML code:"), this);
    m_edit = new QPlainTextEdit(code, codeGroup);
    m_edit->setObjectName(QStringLiteral("1025"));
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* codeLayout = new QVBoxLayout(codeGroup);
    codeLayout->addWidget(m_edit);

    auto* copy = Button(this, tr("&Copy to Clipboard"), 1026);
    auto* insert = Button(this, tr("&Insert to File..."), 1023);
    auto* close = new QPushButton(tr("Close"), this);
    auto* help = new QPushButton(tr("&Help"), this);
    connect(copy, &QPushButton::clicked, this, &CViewCodeDlg::OnCopyToClipboard);
    connect(insert, &QPushButton::clicked, this, &CViewCodeDlg::OnInsertToFile);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &CHelpDialog::OnHelp);
    connect(m_link, &CHyperlinkStatic::Clicked, this, &CViewCodeDlg::OnSupportFiles);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addWidget(insert);
    buttons->addStretch();
    buttons->addWidget(close);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(important);
    layout->addWidget(codeGroup, 1);
    layout->addLayout(buttons);
    resize(560, 400);
}

void CViewCodeDlg::OnCopyToClipboard() {
    // The whole code goes to the clipboard; the user's selection in the box
    // stays as it was.
    QApplication::clipboard()->setText(m_edit->toPlainText());
}

void CViewCodeDlg::OnInsertToFile() {
    CInsertCodeDlg dialog(m_binding, m_edit->toPlainText(), this, m_workFile);
    dialog.exec();
}

void CViewCodeDlg::OnSupportFiles() {
    CSupportFilesDlg dialog(m_binding, this, m_workFile);
    dialog.exec();
}

// ---------------------------------------------------------------- Insert Code to File

CInsertCodeDlg::CInsertCodeDlg(CPagelet& binding, const QString& code, QWidget* parent, const QString& workFile)
    : CHelpDialog(kTemplateId, parent), m_binding(binding), m_workFile(workFile) {
    // The parts, so the style can go into the head; a bare code text (no
    // server) goes in whole at the caret.
    if (binding.IsBound()) m_code = PageCodeParts(*binding.Server());
    if (m_code.element.isEmpty()) m_code = {QString(), code};
    setWindowTitle(tr("Insert Code to File"));
    m_edit = new QPlainTextEdit(this);
    m_edit->setObjectName(QStringLiteral("1030"));
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_copy = new QCheckBox(tr("Copy widget file (*.svg) to the same directory"), this);
    m_copy->setObjectName(QStringLiteral("1034"));
    m_copy->setChecked(true);
    // Nothing to copy in the forms that need no file.
    if (!binding.IsBound() || binding->GetSupportFileCount() == 0) {
        m_copy->setChecked(false);
        m_copy->hide();
    }
    auto* insert = Button(this, tr("&Insert"), 1023);
    m_save = Button(this, tr("&Save"), 1002);
    m_saveClose = Button(this, tr("Save && Close"), 1032);
    auto* close = Button(this, tr("&Close"), 2);
    auto* help = new QPushButton(tr("&Help"), this);
    connect(insert, &QPushButton::clicked, this, &CInsertCodeDlg::OnInsert);
    connect(m_save, &QPushButton::clicked, this, &CInsertCodeDlg::OnSave);
    connect(m_saveClose, &QPushButton::clicked, this, &CInsertCodeDlg::OnSaveAndClose);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &CHelpDialog::OnHelp);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(insert);
    buttons->addWidget(m_save);
    buttons->addWidget(m_saveClose);
    buttons->addWidget(close);
    buttons->addWidget(help);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(m_edit, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(m_copy);
    resize(640, 440);
    m_caption = windowTitle();
    SetModified(false);
    // The document's own flag knows when Undo has brought the text back to
    // what is on disk; a bare textChanged would also fire for loading it.
    connect(m_edit->document(), &QTextDocument::modificationChanged, this, &CInsertCodeDlg::SetModified);
}

CInsertCodeDlg::~CInsertCodeDlg() {
#ifdef Q_OS_UNIX
    if (m_file.isOpen()) ::flock(m_file.handle(), LOCK_UN);
#endif
}

int CInsertCodeDlg::exec() {
    if (!m_file.isOpen()) {
        show();
        const QString path = QFileDialog::getOpenFileName(this, tr("Open"),
                                                          FolderDialogStart(LastPageFolder(), m_workFile),
                                                          tr("HTML Files (*.htm *.html);;All Files (*)"));
        if (path.isEmpty() || !OpenFile(path)) {
            hide();
            return QDialog::Rejected;
        }
    }
    return CHelpDialog::exec();
}

bool CInsertCodeDlg::OpenFile(const QString& path) {
    if (m_file.isOpen()) m_file.close();
    m_file.setFileName(path);
    errno = 0;
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered)) {
        const int code = errno;
        FennicMessageBox(this, PageOpenErrorText(path, m_file.error(), code), MessageIcon::Exclamation);
        return false;
    }
#ifdef Q_OS_UNIX
    // Kept locked for as long as the dialog edits it: a second writer would
    // have its changes overwritten by our Save.
    if (::flock(m_file.handle(), LOCK_EX | LOCK_NB) != 0) {
        m_file.close();
        FennicMessageBox(this, PageOpenErrorText(path, QFileDevice::OpenError, EBUSY), MessageIcon::Exclamation);
        return false;
    }
#endif
    // Read as a browser reads it; written back byte for byte where the
    // author's edit and the inserted code did not touch it.
    m_page = CPageText::FromBytes(m_file.readAll());
    m_edit->setPlainText(m_page.Text());
    SetModified(false);
    RememberPageFolder(QFileInfo(path).absolutePath());
    return true;
}

void CInsertCodeDlg::SetModified(bool modified) {
    m_modified = modified;
    m_edit->document()->setModified(modified);
    setWindowTitle(modified ? m_caption + QStringLiteral(" *") : m_caption);
    m_save->setEnabled(modified);
    m_saveClose->setEnabled(modified);
}

void CInsertCodeDlg::OnInsert() {
    // One edit step of the editor: Undo takes the element and the style out
    // again together. The page changes as a command-line publish changes
    // it; only the part that differs is replaced, so the view stays put.
    QTextCursor cursor = m_edit->textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const QString before = m_edit->toPlainText();
    qsizetype caret = cursor.position();
    const QString after = InsertIntoPage(before, &caret, m_code);
    const auto [prefix, suffix] = ChangeBetween(before, after);
    cursor.setPosition(static_cast<int>(prefix));
    cursor.setPosition(static_cast<int>(before.size() - suffix), QTextCursor::KeepAnchor);
    cursor.insertText(after.mid(prefix, after.size() - prefix - suffix));
    cursor.setPosition(static_cast<int>(caret));
    cursor.endEditBlock();
    m_edit->setTextCursor(cursor);
}

bool CInsertCodeDlg::OnSave() {
    if (!m_file.isOpen()) return false;
    const QByteArray bytes = m_page.Bytes(m_edit->toPlainText());
    if (!m_file.seek(0) || m_file.write(bytes) != bytes.size() || !m_file.flush() || !m_file.resize(bytes.size())) {
        FennicMessageBox(this, FileErrorText(m_file.fileName(), m_file.errorString()), MessageIcon::Exclamation);
        m_file.unsetError();
        return false;
    }
    // What is on disk now is the page the next save starts from.
    m_page = CPageText::FromBytes(bytes);
    if (m_copy->isChecked() && m_binding.IsBound()) {
        const QString target = QFileInfo(m_file.fileName()).absolutePath();
        for (const SupportFile& file : SupportFileRows(*m_binding.Server())) {
            QString error;
            if (!CopyReplacing(file.Source(), QDir(target).filePath(file.name), &error))
                FennicMessageBox(this, error, MessageIcon::None);
        }
    }
    SetModified(false);
    return true;
}

void CInsertCodeDlg::OnSaveAndClose() {
    if (OnSave()) accept();
}

// ---------------------------------------------------------------- Support Files

CSupportFilesDlg::CSupportFilesDlg(CPagelet& binding, QWidget* parent, const QString& workFile)
    : CHelpDialog(kTemplateId, parent), m_binding(binding), m_workFile(workFile) {
    setWindowTitle(tr("Support Files"));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("1011"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setHeaderLabels(LoadStringResource(Ids::SupportColumns).split(u'\n'));
    m_list->setColumnWidth(0, 150);
    m_list->setColumnWidth(1, 160);
    m_list->setColumnWidth(2, 100);
    m_copyTo = Button(this, tr("Copy to..."), 1037);
    auto* close = new QPushButton(tr("Close"), this);
    auto* help = new QPushButton(tr("&Help"), this);
    connect(m_copyTo, &QPushButton::clicked, this, &CSupportFilesDlg::OnCopyTo);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &CHelpDialog::OnHelp);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this,
            [this]() { m_copyTo->setEnabled(!m_list->selectedItems().isEmpty()); });

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_copyTo);
    buttons->addWidget(close);
    buttons->addWidget(help);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(560, 260);

    m_copyTo->setEnabled(false);
    if (binding.IsBound()) m_rows = SupportFileRows(*binding.Server());
    for (const SupportFile& file : std::as_const(m_rows)) {
        auto* item = new QTreeWidgetItem(m_list, {file.name, file.path, file.webPath});
        item->setSelected(true);
    }
}

void CSupportFilesDlg::OnCopyTo() {
    CFolderDialog dialog(this, CopyToStart());
    if (dialog.exec() == QDialog::Accepted) CopySelectedTo(dialog.FolderPath());
}

QString CSupportFilesDlg::CopyToStart() const {
    return FolderDialogStart(LastPageFolder(), m_workFile);
}

bool CSupportFilesDlg::CopySelectedTo(const QString& folder) {
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        if (!m_list->topLevelItem(i)->isSelected()) continue;
        const SupportFile& file = m_rows[i];
        QString error;
        if (!CopyReplacing(file.Source(), QDir(folder).filePath(file.name), &error)) {
            FennicMessageBox(this, FormatMessage(Ids::CopySupportFailed) + error, MessageIcon::Exclamation);
            return false;
        }
    }
    RememberPageFolder(folder);
    FennicMessage(this, Ids::SupportCopied, {QDir::toNativeSeparators(folder)}, MessageIcon::None);
    return true;
}
