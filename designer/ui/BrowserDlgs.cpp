#include "ui/BrowserDlgs.h"

#include "ui/FennicMessage.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

CAddBrowserDlg::CAddBrowserDlg(QWidget* parent) : CHelpDialog(kTemplateId, parent) {
    setWindowTitle(tr("Add Browser"));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("1016"));
    m_name->setMaxLength(255);
    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("1039"));
    m_path->setMaxLength(255);
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("1010"));
    browse->setFixedWidth(32);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(browse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    auto* form = new QFormLayout(this);
    form->addRow(tr("&Name:"), m_name);
    // A row holding a layout gets no buddy from the form, and without one
    // the label would show its ampersand.
    auto* pathLabel = new QLabel(tr("&File Path:"), this);
    pathLabel->setBuddy(m_path);
    form->addRow(pathLabel, pathRow);
    form->addRow(buttons);
    connect(browse, &QPushButton::clicked, this, &CAddBrowserDlg::OnBrowse);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_name, &QLineEdit::textChanged, this, &CAddBrowserDlg::UpdateOk);
    connect(m_path, &QLineEdit::textChanged, this, &CAddBrowserDlg::UpdateOk);
    resize(420, sizeHint().height());
    UpdateOk();
}

QString CAddBrowserDlg::Name() const {
    return m_name->text();
}

QString CAddBrowserDlg::Path() const {
    return m_path->text();
}

void CAddBrowserDlg::UpdateOk() {
    m_ok->setEnabled(!m_name->text().isEmpty() && !m_path->text().isEmpty());
}

void CAddBrowserDlg::OnBrowse() {
#ifdef Q_OS_WIN
    const QString filter = tr("Executable Files(*.exe) (*.exe)");
#else
    const QString filter = tr("Executable Files (*)");
#endif
    const QString path = QFileDialog::getOpenFileName(this, tr("Open"), QString(), filter);
    if (!path.isEmpty()) m_path->setText(QDir::toNativeSeparators(path));
}

CExternalBrowsersDlg::CExternalBrowsersDlg(QWidget* parent) : CHelpDialog(kTemplateId, parent) {
    setWindowTitle(tr("External Browsers"));
    auto* knownGroup = new QGroupBox(tr("Well-known Browsers"), this);
    m_known = new QListWidget(knownGroup);
    m_known->setObjectName(QStringLiteral("1053"));
    m_known->addItems(m_browsers.WellKnownNames());
    auto* knownIcon = new QLabel(knownGroup);
    knownIcon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32));
    auto* knownLayout = new QHBoxLayout(knownGroup);
    knownLayout->addWidget(knownIcon, 0, Qt::AlignTop);
    knownLayout->addWidget(m_known, 1);

    auto* customGroup = new QGroupBox(tr("Customized Browsers:"), this);
    m_custom = new QListWidget(customGroup);
    m_custom->setObjectName(QStringLiteral("1026"));
    m_custom->addItems(m_browsers.CustomizedNames());
    auto* customIcon = new QLabel(customGroup);
    customIcon->setPixmap(style()->standardIcon(QStyle::SP_DesktopIcon).pixmap(32));
    auto* add = new QPushButton(tr("&Add"), customGroup);
    add->setObjectName(QStringLiteral("1027"));
    m_delete = new QPushButton(tr("&Delete"), customGroup);
    m_delete->setObjectName(QStringLiteral("1019"));
    m_delete->setEnabled(false);
    auto* customButtons = new QVBoxLayout;
    customButtons->addWidget(add);
    customButtons->addWidget(m_delete);
    customButtons->addStretch();
    auto* customLayout = new QHBoxLayout(customGroup);
    customLayout->addWidget(customIcon, 0, Qt::AlignTop);
    customLayout->addWidget(m_custom, 1);
    customLayout->addLayout(customButtons);

    auto* close = new QPushButton(tr("Close"), this);
    auto* help = new QPushButton(tr("&Help"), this);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);
    bottom->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(knownGroup, 1);
    layout->addWidget(customGroup, 1);
    layout->addLayout(bottom);

    connect(add, &QPushButton::clicked, this, &CExternalBrowsersDlg::OnAdd);
    connect(m_delete, &QPushButton::clicked, this, &CExternalBrowsersDlg::OnDelete);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &CHelpDialog::OnHelp);
    connect(m_custom, &QListWidget::itemSelectionChanged, this,
            [this]() { m_delete->setEnabled(!m_custom->selectedItems().isEmpty()); });
    resize(420, 420);
}

void CExternalBrowsersDlg::OnAdd() {
    CAddBrowserDlg dialog(this);
    if (dialog.exec() == QDialog::Accepted) AddBrowser(dialog.Name(), dialog.Path());
}

bool CExternalBrowsersDlg::AddBrowser(const QString& name, const QString& path) {
    if (!m_browsers.Add(name, path, [this](const QString& text) { FennicMessageBox(this, text, MessageIcon::None); }))
        return false;
    m_custom->addItem(name);
    return true;
}

void CExternalBrowsersDlg::OnDelete() {
    const QList<QListWidgetItem*> selected = m_custom->selectedItems();
    if (selected.isEmpty()) return;
    QListWidgetItem* item = selected.first();
    if (m_browsers.Delete(item->text())) delete item;
}

namespace {
std::function<bool(const LaunchCommand&)>& Starter() {
    static std::function<bool(const LaunchCommand&)> starter;
    return starter;
}
}  // namespace

void SetBrowserStarter(std::function<bool(const LaunchCommand&)> starter) {
    Starter() = std::move(starter);
}

bool LaunchBrowser(const QString& program, const QString& previewFile) {
    const LaunchCommand command = BrowserLaunchCommand(program, previewFile);
    if (Starter()) return Starter()(command);
    return QProcess::startDetached(command.program, command.arguments);
}
