#pragma once
// The template dialogs: New (a widget from a template or blank), Save As
// Template and Templates (rename, delete). Each binds a widget server of its
// own to find the template folders and to load templates for the preview.
// The check for a writable server folder is the file system's unless a
// caller passes its own.

#include "ui/HelpDialog.h"
#include "core/TemplateLibrary.h"
#include "core/WidgetDocument.h"

#include <QList>
#include <QPointer>
#include <QSize>
#include <memory>

class QAbstractItemView;
class QCheckBox;
class QFormLayout;
class QHBoxLayout;
class QLineEdit;
class QListView;
class QPushButton;
class QStackedWidget;
class QStandardItemModel;
class QTreeView;
class CFlatBitmapButton;
class CWidgetPreview;

namespace TemplateCtl {
constexpr int List = 1011;
constexpr int ListButton = 1014;
constexpr int ReportButton = 1015;
constexpr int PreviewButton = 1003;
constexpr int PreviewControl = 1020;
}  // namespace TemplateCtl

// The list (list or report view) with the preview to its right; the list
// covers the preview while the preview is off.
class CTemplateListArea : public QWidget {
    Q_OBJECT
public:
    CTemplateListArea(QWidget* list, CWidgetPreview* preview, QWidget* parent);
    void SetPreviewOn(bool on);
    QSize sizeHint() const override { return {560, 240}; }

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    void Arrange();
    QWidget* m_list;
    CWidgetPreview* m_preview;
    bool m_previewOn = true;
};

class CTemplateListDlg : public CHelpDialog {
    Q_OBJECT
public:
    ~CTemplateListDlg() override;

    int ListStyle() const { return m_style; }
    bool PreviewOn() const { return m_previewOn; }
    // As pressing the List, Report and Preview buttons.
    void PressListStyle(int style);
    void PressPreview();

    int SelectedIndex() const;
    void SelectIndex(int index);
    int ItemCount() const;
    QString ItemText(int row, int column) const;
    const CTemplateList& Templates() const { return m_templates; }
    CWidgetPreview* Preview() const { return m_preview; }
    QAbstractItemView* CurrentView() const;
    CPagelet* Binding() const { return m_binding.get(); }
    const TemplateFolders& Folders() const { return m_folders; }

protected:
    CTemplateListDlg(int templateId, const QString& section, bool withPreview, BindingFactory factory, QWidget* parent,
                     FolderWritableCheck writable);
    // Binds the dialog's server and fills the list; false when binding failed
    // (62000 shown, the list stays empty).
    bool FillList();
    void UpdatePreview();
    void RemoveItem(int index);
    // Whether templates can be written into folder.
    bool CanWrite(const QString& folder) const;
    void SetItemTexts(int index, const QString& title, const QString& description);
    // The list with its tool row above the name fields and a column of buttons.
    void LayOutWithFields(QFormLayout* fields, const QList<QPushButton*>& buttons, QSize size);
    virtual void OnSelectionChanged() {}
    virtual void OnItemActivated() {}

    QHBoxLayout* m_toolRow;
    CTemplateListArea* m_area;
    CTemplateList m_templates;
    TemplateFolders m_folders;

private:
    void ApplyStyle();
    QString m_section;
    bool m_withPreview;
    BindingFactory m_factory;
    FolderWritableCheck m_writable;
    std::unique_ptr<CPagelet> m_binding;
    int m_style = kReportStyle;
    bool m_previewOn = true;
    QStandardItemModel* m_model;
    QStackedWidget* m_views;
    QTreeView* m_report;
    QListView* m_list;
    CFlatBitmapButton* m_listButton;
    CFlatBitmapButton* m_reportButton;
    CFlatBitmapButton* m_previewButton = nullptr;
    CWidgetPreview* m_preview = nullptr;
};

class CNewWidgetDlg : public CTemplateListDlg {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 130;
    CNewWidgetDlg(BindingFactory factory, QWidget* parent = nullptr, FolderWritableCheck writable = {});

    QString Name() const { return m_name; }
    QString Description() const { return m_description; }
    QString TemplatePath() const { return m_templatePath; }
    QLineEdit* NameEdit() const { return m_nameEdit; }
    QLineEdit* DescriptionEdit() const { return m_descriptionEdit; }
    QCheckBox* BlankBox() const { return m_blank; }
    void OnCreate();

protected:
    void OnSelectionChanged() override;
    void OnItemActivated() override { OnCreate(); }

private:
    QLineEdit* m_nameEdit;
    QLineEdit* m_descriptionEdit;
    QCheckBox* m_blank;
    QString m_name;
    QString m_description;
    QString m_templatePath;
};

class CSaveAsTemplateDlg : public CTemplateListDlg {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 143;
    CSaveAsTemplateDlg(BindingFactory factory, const QString& name, const QString& description,
                       QWidget* parent = nullptr, FolderWritableCheck writable = {});

    QString Name() const { return m_name; }
    QString Description() const { return m_description; }
    QString TemplatePath() const { return m_templatePath; }
    QLineEdit* NameEdit() const { return m_nameEdit; }
    QLineEdit* DescriptionEdit() const { return m_descriptionEdit; }
    void OnSave();

protected:
    void OnSelectionChanged() override;
    void OnItemActivated() override { OnSave(); }

private:
    QLineEdit* m_nameEdit;
    QLineEdit* m_descriptionEdit;
    QString m_name;
    QString m_description;
    QString m_templatePath;
};

class CTemplatesDlg : public CTemplateListDlg {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 144;
    explicit CTemplatesDlg(BindingFactory factory, QWidget* parent = nullptr, FolderWritableCheck writable = {});

    QPushButton* RenameButton() const { return m_rename; }
    QPushButton* DeleteButton() const { return m_delete; }
    // A template that comes with an installed program is neither renamed nor
    // deleted; both say so instead.
    void OnRename();
    // What OK of the Rename dialog does: rewrites the selected template.
    bool RenameSelected(const QString& name, const QString& description);
    // Deleting the user's copy of a shipped template shows the shipped one
    // again in its place.
    void OnDelete();

protected:
    void OnSelectionChanged() override;

private:
    // Support files of the template at path that lie beside it.
    QStringList TemplateSupportFiles(const QString& path);
    bool RefuseReadOnly(int index);

    QPushButton* m_rename;
    QPushButton* m_delete;
};
