#include "frmSave.h"

#include "LangText.h"
#include "Text.h"
#include "logic/SaveRules.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

namespace lanyx::ui {

frmSave::frmSave(ChatNode& node, QWidget* parent) : QDialog(parent), node_(node) {
    setObjectName("frmSave");
    setWindowTitle(QStringLiteral("Save File"));
    lbl_[0] = new QLabel(QStringLiteral("Look in:"), this);
    lbl_[1] = new QLabel(QStringLiteral("File Name:"), this);
    lbl_[2] = new QLabel(QStringLiteral("File Type:"), this);
    drive_ = new QComboBox(this);
    drive_->setObjectName("Drive1");
    // The places a user can reach: the file-system roots and the home folder.
    for (const QFileInfo& root : QDir::drives()) drive_->addItem(root.absoluteFilePath());
    const QString home = QDir::homePath();
    if (drive_->findText(home) < 0) drive_->addItem(home);
    path_ = new QLabel(this);
    path_->setTextFormat(Qt::PlainText);
    dirs_ = new QListWidget(this);
    dirs_->setObjectName("Dir1");
    files_ = new QListWidget(this);
    files_->setObjectName("List1");
    name_ = new QLineEdit(this);
    name_->setObjectName("txtFileName");
    type_ = new QComboBox(this);
    type_->setObjectName("txtFileType");
    type_->addItems({QStringLiteral("Text Files (*.txt)"), QStringLiteral("Rich Text Files (*.rtf)")});
    save_ = new QPushButton(QStringLiteral("&Save"), this);
    close_ = new QPushButton(QStringLiteral("&Close"), this);
    save_->setDefault(true);
    lbl_[0]->setBuddy(drive_);
    lbl_[1]->setBuddy(name_);
    lbl_[2]->setBuddy(type_);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lbl_[0], 0, 0);
    grid->addWidget(drive_, 0, 1, 1, 2);
    grid->addWidget(path_, 1, 0, 1, 3);
    auto* lists = new QHBoxLayout;
    lists->addWidget(files_);
    lists->addWidget(dirs_);
    grid->addLayout(lists, 2, 0, 1, 3);
    grid->addWidget(lbl_[1], 3, 0);
    grid->addWidget(name_, 3, 1);
    grid->addWidget(save_, 3, 2);
    grid->addWidget(lbl_[2], 4, 0);
    grid->addWidget(type_, 4, 1);
    grid->addWidget(close_, 4, 2);
    resize(440, 300);

    connect(save_, &QPushButton::clicked, this, &frmSave::cmdSave_Click);
    connect(close_, &QPushButton::clicked, this, [this] {
        result_.clear();
        reject();
    });
    connect(type_, &QComboBox::activated, this, &frmSave::txtFileType_Click);
    connect(files_, &QListWidget::currentTextChanged, this, [this](const QString& t) {
        if (!t.isEmpty()) name_->setText(t);
    });
    connect(dirs_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { setFolder(QDir(folder_).absoluteFilePath(item->text())); });
    connect(drive_, &QComboBox::activated, this, &frmSave::driveChanged);
    connect(name_, &QLineEdit::editingFinished, this, [this] { name_->setText(name_->text().trimmed()); });

    SetLan();
    setFolder(QDir::currentPath());
}

void frmSave::SetLan() {
    auto text = [&](int code, const char* builtIn) { return LangTextOr(node_, code, QString::fromLatin1(builtIn)); };
    setWindowTitle(text(6001, "Save File"));
    lbl_[0]->setText(text(6002, "Look in:"));
    lbl_[1]->setText(text(6003, "File Name:"));
    lbl_[2]->setText(text(6004, "File Type:"));
    save_->setText(text(6005, "&Save"));
    close_->setText(text(6006, "&Close"));
    files_->setAccessibleName(tr("Files"));
    dirs_->setAccessibleName(tr("Folders"));
    path_->setAccessibleName(tr("Folder"));
    auto plain = [](const QString& t) {
        return QString(t).remove(QLatin1Char('&')).remove(QLatin1Char(':')).trimmed();
    };
    drive_->setAccessibleName(plain(lbl_[0]->text()));
    name_->setAccessibleName(plain(lbl_[1]->text()));
    type_->setAccessibleName(plain(lbl_[2]->text()));
    for (int i = 0; i < dirs_->count(); ++i)
        if (dirs_->item(i)->text() == QLatin1String("..")) {
            dirs_->item(i)->setData(Qt::AccessibleTextRole, tr("Parent folder"));
            dirs_->item(i)->setToolTip(tr("Parent folder"));
        }
}

void frmSave::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) SetLan();
}

void frmSave::remember(QString* lastFolder) {
    lastFolder_ = lastFolder;
    if (lastFolder_ && !lastFolder_->isEmpty()) setFolder(*lastFolder_);
}

void frmSave::setFolder(const QString& folder) {
    QDir dir(folder);
    if (!dir.exists() || !dir.isReadable()) return;  // the lists stay as they are
    folder_ = dir.canonicalPath();
    path_->setText(folder_);
    dirs_->clear();
    if (!dir.isRoot()) {
        dirs_->addItem(QStringLiteral(".."));
        dirs_->item(0)->setData(Qt::AccessibleTextRole, tr("Parent folder"));
        dirs_->item(0)->setToolTip(tr("Parent folder"));
    }
    dirs_->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    rFileList();
}

void frmSave::driveChanged() {
    const QString place = drive_->currentText();
    const QString before = folder_;
    for (;;) {
        QDir dir(place);
        if (dir.exists() && dir.isReadable()) {
            setFolder(place);
            return;
        }
        const auto answer = QMessageBox::warning(this, windowTitle(),
                                                 QStringLiteral("%1 %2\r\n%3")
                                                     .arg(QString::fromStdString(node_.LangText(6201)), place,
                                                          tr("68: Device unavailable")),
                                                 QMessageBox::Retry | QMessageBox::Cancel);
        if (answer != QMessageBox::Retry) {
            setFolder(before);
            return;
        }
    }
}

void frmSave::rFileList() {
    files_->clear();
    const QStringList names = QDir(folder_).entryList({pattern_}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    files_->addItems(names);
    if (!names.isEmpty()) files_->setCurrentRow(0);  // its name goes into the name box
}

void frmSave::setTypes(const std::string& fileTypes) {
    type_->clear();
    const auto n = CountItems(fileTypes);
    for (std::int32_t i = 1; i <= n; ++i) type_->addItem(QString::fromStdString(GetItem(fileTypes, i)));
    type_->setCurrentIndex(0);
    txtFileType_Click();
}

void frmSave::txtFileType_Click() {
    const std::string ext = TypeExtension(type_->currentText().toStdString());
    name_->setText(
        QString::fromStdString(NameAfterTypeChange(name_->text().toStdString(), pattern_.toStdString(), ext)));
    pattern_ = QStringLiteral("*") + QString::fromStdString(ext);
    rFileList();
}

void frmSave::SetLocation(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) {
        setFolder(path);
        return;
    }
    setFolder(info.absolutePath());
    name_->setText(info.fileName());
    const auto found = files_->findItems(info.fileName(), Qt::MatchExactly);
    if (!found.isEmpty()) files_->setCurrentItem(found.first());
}

void frmSave::cmdSave_Click() {
    const std::string ext = TypeExtension(type_->currentText().toStdString());
    const auto d = DecideSave(name_->text().toStdString(), ext, folder_.toStdString(),
                              [](const std::filesystem::path& p) {
                                  return QFileInfo::exists(QString::fromStdString(p.string()));
                              });
    switch (d.kind) {
    case SaveDecision::Nothing: return;
    case SaveDecision::ShowPattern:
        pattern_ = QString::fromStdString(d.value);
        rFileList();
        return;
    case SaveDecision::Locate: SetLocation(QString::fromStdString(d.value)); return;
    case SaveDecision::Accept:
        result_ = QString::fromStdString(d.value);
        pattern_ = QStringLiteral("*.txt");
        if (lastFolder_) *lastFolder_ = folder_;
        accept();
        return;
    }
}

QString ChooseExportFile(ChatNode& node, const std::string& fileTypes, QWidget* parent, QString* lastFolder) {
    frmSave dialog(node, parent);
    dialog.remember(lastFolder);
    dialog.setTypes(fileTypes);
    dialog.exec();
    return dialog.result();
}

}  // namespace lanyx::ui
