#pragma once
// The shell's folder chooser: a tree of folders titled "Current Selection"
// with a status line naming the selected folder (cut to 35 characters).

#include <QDialog>

class QFileSystemModel;
class QLabel;
class QTreeView;

class CFolderDialog : public QDialog {
    Q_OBJECT
public:
    explicit CFolderDialog(QWidget* owner, const QString& initialFolder = QString());
    // The chosen folder after OK.
    QString FolderPath() const { return m_path; }
    QString StatusText() const;
    void SelectFolder(const QString& path);
    void accept() override;

private:
    void OnSelectionChanged();
    QFileSystemModel* m_model;
    QTreeView* m_tree;
    QLabel* m_status;
    QString m_path;
};
