#pragma once
// Publishing dialogs: the page code of the current work, its insertion into
// an HTML file, and the support files the page needs beside it.

#include "ui/HelpDialog.h"
#include "core/PageText.h"
#include "core/Publishing.h"

#include <QFile>
#include <QStringDecoder>
#include <memory>

class CPagelet;
class CHyperlinkStatic;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

class CViewCodeDlg : public CHelpDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 148;
    // workFile: the .pgt of the work, where the folder choosers start when
    // no page is known yet.
    CViewCodeDlg(CPagelet& binding, const QString& code, QWidget* parent = nullptr,
                 const QString& workFile = QString());
    QPlainTextEdit* CodeEdit() const { return m_edit; }
    CHyperlinkStatic* Link() const { return m_link; }
    void OnCopyToClipboard();
    void OnInsertToFile();
    void OnSupportFiles();

private:
    CPagelet& m_binding;
    QString m_workFile;
    QPlainTextEdit* m_edit;
    CHyperlinkStatic* m_link;
};

class CInsertCodeDlg : public CHelpDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 132;
    // With an empty path the dialog asks for the HTML file once shown.
    CInsertCodeDlg(CPagelet& binding, const QString& code, QWidget* parent = nullptr,
                   const QString& workFile = QString());
    ~CInsertCodeDlg() override;

    // Opens, locks against other writers and shows the HTML file; false: the
    // error was shown and the dialog should close.
    bool OpenFile(const QString& path);
    void OnInsert();
    bool OnSave();
    void OnSaveAndClose();
    bool IsModified() const { return m_modified; }
    QPlainTextEdit* Editor() const { return m_edit; }
    QCheckBox* CopyBox() const { return m_copy; }
    QPushButton* SaveButton() const { return m_save; }
    QPushButton* SaveCloseButton() const { return m_saveClose; }
    int exec() override;

private:
    void SetModified(bool modified);
    CPagelet& m_binding;
    PageCode m_code;
    QString m_workFile;
    QFile m_file;
    CPageText m_page;  // the page as opened: its bytes and encoding
    QString m_caption;
    bool m_modified = false;
    QPlainTextEdit* m_edit;
    QCheckBox* m_copy;
    QPushButton* m_save;
    QPushButton* m_saveClose;
};

class CSupportFilesDlg : public CHelpDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 141;
    CSupportFilesDlg(CPagelet& binding, QWidget* parent = nullptr, const QString& workFile = QString());
    QTreeWidget* List() const { return m_list; }
    QPushButton* CopyButton() const { return m_copyTo; }
    void OnCopyTo();
    // Where Copy to... starts choosing.
    QString CopyToStart() const;
    // Copies the selected files in list order; stops at the first failure
    // (62012), reports success with 62013.
    bool CopySelectedTo(const QString& folder);

private:
    CPagelet& m_binding;
    QTreeWidget* m_list;
    QPushButton* m_copyTo;
    QList<SupportFile> m_rows;
    QString m_workFile;
};
