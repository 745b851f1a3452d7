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
class QComboBox;
class QLabel;
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
    QComboBox* StyleBox() const { return m_style; }
    void OnCopyToClipboard();
    void OnInsertToFile();
    void OnSupportFiles();
    // The style inline or in a style sheet (written beside the work), and
    // the code and files that go with it.
    void SetStyleForm(StyleForm form);
    const PublishFiles& Files() const { return m_files; }

private:
    CPagelet& m_binding;
    QString m_workFile;
    PublishFiles m_files;
    QPlainTextEdit* m_edit;
    CHyperlinkStatic* m_link;
    QComboBox* m_style = nullptr;
};

class CInsertCodeDlg : public CHelpDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 132;
    // With an empty path the dialog asks for the HTML file once shown.
    CInsertCodeDlg(CPagelet& binding, const QString& code, QWidget* parent = nullptr,
                   const QString& workFile = QString());
    ~CInsertCodeDlg() override;
    // What the page gets, as View Code has it (its style choice); the
    // dialog otherwise takes the server's code with the style inline.
    void SetFiles(const PublishFiles& files);

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
    // Where the files go beside the open page, and what the author is told.
    const PagePlacement& Placement() const { return m_placed; }
    QLabel* Notes() const { return m_notes; }
    // Every file the last Save wrote: the page, then each copy.
    const QStringList& Written() const { return m_written; }
    int exec() override;

private:
    void SetModified(bool modified);
    void ShowCopyBox();
    CPagelet& m_binding;
    PublishFiles m_files;
    PagePlacement m_placed;
    PageCode m_code;
    QStringList m_written;
    QString m_workFile;
    QFile m_file;
    CPageText m_page;  // the page as opened: its bytes and encoding
    QString m_caption;
    bool m_modified = false;
    QPlainTextEdit* m_edit;
    QCheckBox* m_copy;
    QLabel* m_notes;
    QLabel* m_status;
    QPushButton* m_save;
    QPushButton* m_saveClose;
};

class CSupportFilesDlg : public CHelpDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 141;
    // rows: the files to list (View Code's, with a style sheet); the
    // server's support files when not given.
    CSupportFilesDlg(CPagelet& binding, QWidget* parent = nullptr, const QString& workFile = QString(),
                     const QList<SupportFile>* rows = nullptr);
    QTreeWidget* List() const { return m_list; }
    QPushButton* CopyButton() const { return m_copyTo; }
    void OnCopyTo();
    // Where Copy to... starts choosing.
    QString CopyToStart() const;
    // Copies the selected files in list order; stops at the first failure
    // (62012), reports success with 62013. A file in the folder that is not
    // an earlier output of the work keeps its name: the copy takes the next
    // free one, and the report names it.
    bool CopySelectedTo(const QString& folder);
    const QStringList& Written() const { return m_written; }

private:
    QStringList m_written;
    CPagelet& m_binding;
    QTreeWidget* m_list;
    QPushButton* m_copyTo;
    QList<SupportFile> m_rows;
    QString m_workFile;
};
