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
#include <QComboBox>
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
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
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

// The style choice of View Code, for the rest of the run.
StyleForm& LastStyleForm() {
    static StyleForm form = StyleForm::Inline;
    return form;
}

bool HasSheet(const QList<SupportFile>& files) {
    return std::any_of(files.cbegin(), files.cend(),
                       [](const SupportFile& f) { return f.name.endsWith(QLatin1String(".css")); });
}

// What the copy box says it copies.
QString CopyBoxText(const QList<SupportFile>& files) {
    const bool sheet = HasSheet(files);
    const bool others = std::any_of(files.cbegin(), files.cend(),
                                    [](const SupportFile& f) { return !f.name.endsWith(QLatin1String(".css")); });
    if (sheet && others) return QObject::tr("Copy widget file (*.svg) and style sheet (*.css) to the same directory");
    if (sheet) return QObject::tr("Copy style sheet (*.css) to the same directory");
    return QObject::tr("Copy widget file (*.svg) to the same directory");
}

}  // namespace

// ---------------------------------------------------------------- View Code

CViewCodeDlg::CViewCodeDlg(CPagelet& binding, const QString& code, QWidget* parent, const QString& workFile)
    : CHelpDialog(kTemplateId, parent), m_binding(binding), m_workFile(workFile) {
    setWindowTitle(tr("View Code"));
    if (binding.IsBound()) m_files = {PageCodeParts(*binding.Server()), SupportFileRows(*binding.Server())};
    auto* important = new QGroupBox(tr("Important"), this);
    // Only a button with support files needs them beside the page.
    const bool files = binding.IsBound() && binding->GetSupportFileCount() > 0;
    auto* notice = new QLabel(files
                                  ? tr("After you copy and paste the code below into the HTML page, you must also copy "
                                       "the generaged widget file (*.svg) to the same folder as that HTML file.")
                                  : tr("Put the <style> part into the page's head, once per page, and the element "
                                       "where the button goes. This button needs no other file."),
                              important);
    notice->setObjectName(QStringLiteral("notice"));
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
    // A strict Content-Security-Policy refuses inline style: the style then
    // goes into a style sheet that lies beside the page.
    auto* styleLabel = new QLabel(tr("&Style:"), codeGroup);
    m_style = new QComboBox(codeGroup);
    m_style->setObjectName(QStringLiteral("style"));
    m_style->addItem(tr("In the page (a <style> element in its head)"));
    m_style->addItem(tr("In a style sheet beside the page (*.css), for a strict Content-Security-Policy"));
    m_style->setEnabled(binding.IsBound() && !workFile.isEmpty() && !m_files.code.head.isEmpty());
    styleLabel->setBuddy(m_style);
    auto* styleRow = new QHBoxLayout;
    styleRow->addWidget(styleLabel);
    styleRow->addWidget(m_style, 1);
    auto* codeLayout = new QVBoxLayout(codeGroup);
    codeLayout->addLayout(styleRow);
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
    if (m_style->isEnabled() && LastStyleForm() == StyleForm::File) SetStyleForm(StyleForm::File);
    connect(m_style, &QComboBox::currentIndexChanged, this,
            [this](int index) { SetStyleForm(index == 1 ? StyleForm::File : StyleForm::Inline); });
}

void CViewCodeDlg::SetStyleForm(StyleForm form) {
    if (!m_binding.IsBound() || m_workFile.isEmpty()) return;
    PublishFiles files;
    QString error;
    if (!PreparePublishFiles(*m_binding.Server(), form, m_workFile, &files, &error)) {
        FennicMessageBox(this, error, MessageIcon::Exclamation);
        const QSignalBlocker quiet(m_style);
        m_style->setCurrentIndex(0);
        return;
    }
    m_files = files;
    LastStyleForm() = form;
    {
        const QSignalBlocker quiet(m_style);
        m_style->setCurrentIndex(form == StyleForm::File ? 1 : 0);
    }
    m_edit->setPlainText(JoinedCode(m_files.code));
    const bool sheet = HasSheet(m_files.files);
    const bool any = !m_files.files.isEmpty();
    if (auto* notice = findChild<QLabel*>(QStringLiteral("notice"))) {
        QString text = m_binding->GetSupportFileCount() > 0
                           ? tr("After you copy and paste the code below into the HTML page, you must also copy "
                                "the generaged widget file (*.svg) to the same folder as that HTML file.")
                           : tr("Put the <style> part into the page's head, once per page, and the element "
                                "where the button goes. This button needs no other file.");
        if (sheet)
            text = m_binding->GetSupportFileCount() > 0
                       ? text + tr(" The style sheet (*.css) goes into that folder too.")
                       : tr("Put the <link> part into the page's head, once per page, and the element where the "
                            "button goes; the style sheet (*.css) goes into the same folder as that HTML file.");
        notice->setText(text);
    }
    m_link->setVisible(any);
}

void CViewCodeDlg::OnCopyToClipboard() {
    // The whole code goes to the clipboard; the user's selection in the box
    // stays as it was.
    QApplication::clipboard()->setText(m_edit->toPlainText());
}

void CViewCodeDlg::OnInsertToFile() {
    CInsertCodeDlg dialog(m_binding, m_edit->toPlainText(), this, m_workFile);
    if (m_binding.IsBound()) dialog.SetFiles(m_files);
    dialog.exec();
}

void CViewCodeDlg::OnSupportFiles() {
    CSupportFilesDlg dialog(m_binding, this, m_workFile, m_binding.IsBound() ? &m_files.files : nullptr);
    dialog.exec();
}

// ---------------------------------------------------------------- Insert Code to File

CInsertCodeDlg::CInsertCodeDlg(CPagelet& binding, const QString& code, QWidget* parent, const QString& workFile)
    : CHelpDialog(kTemplateId, parent), m_binding(binding), m_workFile(workFile) {
    // The parts, so the style can go into the head; a bare code text (no
    // server) goes in whole at the caret.
    if (binding.IsBound()) m_files = {PageCodeParts(*binding.Server()), SupportFileRows(*binding.Server())};
    if (m_files.code.element.isEmpty()) m_files.code = {QString(), code};
    m_code = m_files.code;
    setWindowTitle(tr("Insert Code to File"));
    m_edit = new QPlainTextEdit(this);
    m_edit->setObjectName(QStringLiteral("1030"));
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_copy = new QCheckBox(this);
    m_copy->setObjectName(QStringLiteral("1034"));
    m_notes = new QLabel(this);
    m_notes->setObjectName(QStringLiteral("notes"));
    m_notes->setTextFormat(Qt::PlainText);
    m_notes->setWordWrap(true);
    m_notes->hide();
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    ShowCopyBox();
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
    layout->addWidget(m_notes);
    layout->addWidget(m_status);
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

void CInsertCodeDlg::SetFiles(const PublishFiles& files) {
    m_files = files;
    m_code = files.code;
    ShowCopyBox();
}

void CInsertCodeDlg::ShowCopyBox() {
    // Nothing to copy in the forms that need no file.
    m_copy->setText(CopyBoxText(m_files.files));
    m_copy->setChecked(!m_files.files.isEmpty());
    m_copy->setVisible(!m_files.files.isEmpty());
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
    // The files' places beside this page are chosen now, so the code that
    // goes in names them as they will be: a file of the author's is never
    // replaced, and a <base href> is followed.
    QString error;
    if (!PlaceBesidePage(m_files, QFileInfo(path).absoluteFilePath(), m_page.Text(), &m_placed, &error)) {
        m_file.close();
        FennicMessageBox(this, error, MessageIcon::Exclamation);
        return false;
    }
    m_code = m_placed.code;
    m_notes->setText(m_placed.notes.join(u'\n'));
    m_notes->setVisible(!m_placed.notes.isEmpty());
    m_status->clear();
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
    m_written = {QFileInfo(m_file.fileName()).absoluteFilePath()};
    if (m_copy->isChecked()) {
        for (const PlacedFile& file : std::as_const(m_placed.copies)) {
            QString error;
            if (CopyPlaced(file, &error)) m_written << file.target;
            else FennicMessageBox(this, error, MessageIcon::None);
        }
    }
    QStringList names;
    for (const QString& written : std::as_const(m_written)) names << QDir::toNativeSeparators(written);
    m_status->setText(tr("Written: %1").arg(names.join(QStringLiteral(", "))));
    SetModified(false);
    return true;
}

void CInsertCodeDlg::OnSaveAndClose() {
    if (OnSave()) accept();
}

// ---------------------------------------------------------------- Support Files

CSupportFilesDlg::CSupportFilesDlg(CPagelet& binding, QWidget* parent, const QString& workFile,
                                   const QList<SupportFile>* rows)
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
    if (rows) m_rows = *rows;
    else if (binding.IsBound()) m_rows = SupportFileRows(*binding.Server());
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
    m_written.clear();
    QStringList renamed;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        if (!m_list->topLevelItem(i)->isSelected()) continue;
        const SupportFile& file = m_rows[i];
        QFile source(file.Source());
        const QByteArray content = source.open(QIODevice::ReadOnly) ? source.readAll() : QByteArray();
        const QString owner = OwnerMarkIn(content);
        const PlacedFile placed{file.Source(), ChooseTarget(folder, file.name, owner, content), owner};
        QString error;
        if (placed.target.isEmpty())
            error = tr("no free name for %1 in %2").arg(file.name, QDir::toNativeSeparators(folder));
        if (!error.isEmpty() || !CopyPlaced(placed, &error)) {
            FennicMessageBox(this, FormatMessage(Ids::CopySupportFailed) + error, MessageIcon::Exclamation);
            return false;
        }
        m_written << placed.target;
        const QString landed = QFileInfo(placed.target).fileName();
        if (landed != file.name)
            renamed << tr("%1 there is not this work's, so it is left alone: the copy is %2. The page's code must "
                          "name %2.")
                           .arg(file.name, landed);
    }
    RememberPageFolder(folder);
    QString text = FormatMessage(Ids::SupportCopied, {QDir::toNativeSeparators(folder)});
    if (!renamed.isEmpty()) text += QStringLiteral("\n\n") + renamed.join(u'\n');
    FennicMessageBox(this, text, MessageIcon::None);
    return true;
}
