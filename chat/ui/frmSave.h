#pragma once
// The export file dialog: a place list, a folder list, the files of the
// chosen type, a name box and a type box. An existing file is never chosen.
#include "ChatNode.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace lanyx::ui {

class frmSave : public QDialog {
    Q_OBJECT
public:
    explicit frmSave(ChatNode& node, QWidget* parent = nullptr);

    Q_INVOKABLE void SetLan();
    void rFileList();
    void SetLocation(const QString& path);
    void txtFileType_Click();
    void setTypes(const std::string& fileTypes);
    void setFolder(const QString& folder);
    void cmdSave_Click();
    // Starts in the folder kept there, and keeps the folder of the file chosen.
    void remember(QString* lastFolder);
    QString result() const { return result_; }
    QString folder() const { return folder_; }
    QString pattern() const { return pattern_; }

    QComboBox* Drive1() const { return drive_; }
    QListWidget* Dir1() const { return dirs_; }
    QListWidget* List1() const { return files_; }
    QLineEdit* txtFileName() const { return name_; }
    QComboBox* txtFileType() const { return type_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void driveChanged();

    ChatNode& node_;
    QLabel* lbl_[3];
    QComboBox* drive_;
    QLabel* path_;
    QListWidget* dirs_;
    QListWidget* files_;
    QLineEdit* name_;
    QComboBox* type_;
    QPushButton* save_;
    QPushButton* close_;
    QString folder_;
    QString pattern_ = QStringLiteral("*.txt");
    QString result_;
    QString* lastFolder_ = nullptr;
};

// Runs the dialog; the chosen file, or "" when it was closed.
// `lastFolder` (where given) is where it starts, and takes the folder chosen.
QString ChooseExportFile(ChatNode& node, const std::string& fileTypes, QWidget* parent = nullptr,
                         QString* lastFolder = nullptr);

}  // namespace lanyx::ui
