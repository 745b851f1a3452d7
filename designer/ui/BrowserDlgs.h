#pragma once
// Editing the browser list: the well-known browsers for reference, the
// customized ones to add and delete.

#include "core/BrowserList.h"
#include "ui/HelpDialog.h"

class QLineEdit;
class QListWidget;
class QPushButton;

class CAddBrowserDlg : public CHelpDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 146;
    explicit CAddBrowserDlg(QWidget* parent = nullptr);
    QString Name() const;
    QString Path() const;
    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* PathEdit() const { return m_path; }
    QPushButton* OkButton() const { return m_ok; }

private:
    void OnBrowse();
    void UpdateOk();
    QLineEdit* m_name;
    QLineEdit* m_path;
    QPushButton* m_ok;
};

class CExternalBrowsersDlg : public CHelpDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 134;
    explicit CExternalBrowsersDlg(QWidget* parent = nullptr);
    QListWidget* WellKnownList() const { return m_known; }
    QListWidget* CustomizedList() const { return m_custom; }
    QPushButton* DeleteButton() const { return m_delete; }
    // What OK of the Add Browser dialog does.
    bool AddBrowser(const QString& name, const QString& path);
    void OnDelete();

private:
    void OnAdd();
    CBrowserList m_browsers;
    QListWidget* m_known;
    QListWidget* m_custom;
    QPushButton* m_delete;
};

// Starts program with the preview file; false when it could not be started.
// Tests replace the starter.
bool LaunchBrowser(const QString& program, const QString& previewFile);
void SetBrowserStarter(std::function<bool(const LaunchCommand&)> starter);
