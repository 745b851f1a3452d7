#pragma once
// The shell's folder chooser: a tree of folders titled "Current Selection"
// with a status line naming the selected folder (cut to 35 characters), a
// field to type a path into and a button to make a new folder.

#include <QDialog>

class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

class CFolderDialog : public QDialog {
    Q_OBJECT
public:
    // Starts at initialFolder, selected; without one at the user's home, with
    // nothing chosen yet, so OK alone copies nowhere.
    explicit CFolderDialog(QWidget* owner, const QString& initialFolder = QString());
    // The chosen folder after OK.
    QString FolderPath() const { return m_path; }
    QString StatusText() const;
    void SelectFolder(const QString& path);
    // Makes a folder of that name inside the chosen one and selects it.
    bool MakeFolder(const QString& name);
    QLineEdit* PathEdit() const { return m_edit; }
    QPushButton* OkButton() const { return m_ok; }
    void accept() override;

private:
    void OnSelectionChanged();
    void OnNewFolder();
    void UpdateOk();
    QString ChosenPath() const;
    QFileSystemModel* m_model;
    QTreeView* m_tree;
    QLabel* m_status;
    QLineEdit* m_edit;
    QPushButton* m_ok;
    QString m_path;
    bool m_selecting = false;
};
