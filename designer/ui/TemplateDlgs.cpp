#include "ui/TemplateDlgs.h"

#include "core/NameRule.h"
#include "ui/RenameDlg.h"
#include "ui/FennicMessage.h"
#include "core/StringTable.h"
#include "controls/DesignerBitmaps.h"
#include "controls/FlatBitmapButton.h"
#include "controls/WidgetPreview.h"

#include <QApplication>
#include <QBitmap>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QIcon TemplateIcon() {
    QPixmap pix = DesignerBitmap(BitmapId::TemplateItem);
    pix.setMask(pix.createMaskFromColor(QColor(255, 0, 255), Qt::MaskInColor));
    return QIcon(pix);
}

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

CFlatBitmapButton* ToolButton(QWidget* parent, int id, const QString& caption, int bitmap) {
    auto* button = new CFlatBitmapButton(parent, id);
    button->setObjectName(QString::number(id));
    button->setText(caption);
    button->setToolTip(caption);
    button->SetBitmap(DesignerBitmap(bitmap));
    button->setCheckable(true);
    button->setFixedSize(button->sizeHint());
    return button;
}

// Says what a name may hold while it is typed, and keeps the button that
// would take it greyed until it is fine.
QLabel* NameHint(QWidget* parent, QLineEdit* edit, QPushButton* take) {
    auto* hint = new QLabel(parent);
    hint->setObjectName(QStringLiteral("nameHint"));
    hint->setWordWrap(true);
    hint->setTextFormat(Qt::PlainText);
    const auto update = [hint, edit, take]() {
        const QString problem = WidgetNameProblem(edit->text());
        hint->setText(problem);
        hint->setVisible(!problem.isEmpty());
        take->setEnabled(problem.isEmpty());
    };
    QObject::connect(edit, &QLineEdit::textChanged, hint, update);
    update();
    return hint;
}

}  // namespace

CTemplateListArea::CTemplateListArea(QWidget* list, CWidgetPreview* preview, QWidget* parent)
    : QWidget(parent), m_list(list), m_preview(preview) {
    list->setParent(this);
    if (preview) preview->setParent(this);
}

void CTemplateListArea::SetPreviewOn(bool on) {
    m_previewOn = on;
    Arrange();
}

void CTemplateListArea::resizeEvent(QResizeEvent*) {
    Arrange();
}

void CTemplateListArea::Arrange() {
    const QRect all = rect();
    if (!m_preview) {
        m_list->setGeometry(all);
        return;
    }
    // The preview keeps its place to the right; with the preview off the
    // list simply grows over it.
    const int previewWidth = std::max(120, all.width() * 2 / 5);
    const int previewLeft = all.right() + 1 - previewWidth;
    m_preview->setGeometry(previewLeft, all.top(), previewWidth, all.height());
    if (m_previewOn) {
        m_list->setGeometry(all.left(), all.top(), previewLeft - 3 - all.left(), all.height());
    } else {
        m_list->setGeometry(all);
        m_list->raise();
    }
    m_preview->setEnabled(m_previewOn);
}

CTemplateListDlg::CTemplateListDlg(int templateId, const QString& section, bool withPreview, BindingFactory factory,
                                   QWidget* parent, FolderWritableCheck writable)
    : CHelpDialog(templateId, parent),
      m_section(section),
      m_withPreview(withPreview),
      m_factory(std::move(factory)),
      m_writable(std::move(writable)) {
    QSettings settings;
    const TemplateDialogSettings stored = ReadTemplateDialogSettings(settings, section);
    m_style = stored.listStyle;
    m_previewOn = withPreview && stored.preview;

    m_model = new QStandardItemModel(0, 2, this);
    const QStringList headings = LoadStringResource(Ids::TemplateColumns).split(u'\n');
    m_model->setHorizontalHeaderLabels(headings);

    m_views = new QStackedWidget;
    m_views->setObjectName(QString::number(TemplateCtl::List));
    m_report = new QTreeView(m_views);
    m_report->setModel(m_model);
    m_report->setRootIsDecorated(false);
    m_report->setUniformRowHeights(true);
    m_report->setColumnWidth(0, 150);
    m_report->setColumnWidth(1, 200);
    m_report->setSelectionMode(QAbstractItemView::SingleSelection);
    m_report->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list = new QListView(m_views);
    m_list->setModel(m_model);
    m_list->setSelectionModel(m_report->selectionModel());
    m_list->setViewMode(QListView::ListMode);
    m_list->setFlow(QListView::TopToBottom);
    m_list->setWrapping(true);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_views->addWidget(m_report);
    m_views->addWidget(m_list);
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_report), static_cast<QAbstractItemView*>(m_list)})
        connect(view, &QAbstractItemView::doubleClicked, this, [this]() { OnItemActivated(); });
    connect(m_report->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this]() { OnSelectionChanged(); });

    if (withPreview) {
        m_preview = new CWidgetPreview;
        m_preview->setObjectName(QStringLiteral("Preview"));
    }
    m_area = new CTemplateListArea(m_views, m_preview, this);

    m_toolRow = new QHBoxLayout;
    m_toolRow->setSpacing(2);
    m_listButton = ToolButton(this, TemplateCtl::ListButton, tr("List"), BitmapId::ListView);
    m_reportButton = ToolButton(this, TemplateCtl::ReportButton, tr("Report"), BitmapId::ReportView);
    connect(m_listButton, &CFlatBitmapButton::Command, this, [this]() { PressListStyle(kListStyle); });
    connect(m_reportButton, &CFlatBitmapButton::Command, this, [this]() { PressListStyle(kReportStyle); });
    m_toolRow->addWidget(m_listButton);
    m_toolRow->addWidget(m_reportButton);
    if (withPreview) {
        m_previewButton = ToolButton(this, TemplateCtl::PreviewButton, tr("Preview"), BitmapId::Preview);
        m_previewButton->setChecked(m_previewOn);
        connect(m_previewButton, &CFlatBitmapButton::Command, this, [this]() { PressPreview(); });
        m_toolRow->addSpacing(8);
        m_toolRow->addWidget(m_previewButton);
        m_area->SetPreviewOn(m_previewOn);
    }
    m_toolRow->addStretch();
    ApplyStyle();
}

bool CTemplateListDlg::CanWrite(const QString& folder) const {
    // The check given to the dialog speaks for the server's folder.
    if (folder == m_folders.shipped && m_writable) return m_writable(folder);
    return IsFolderWritable(folder);
}

CTemplateListDlg::~CTemplateListDlg() {
    QSettings settings;
    WriteTemplateDialogSettings(settings, m_section, {m_style, m_previewOn}, m_withPreview);
}

void CTemplateListDlg::ApplyStyle() {
    m_views->setCurrentWidget(m_style == kListStyle ? static_cast<QWidget*>(m_list) : m_report);
    m_listButton->setChecked(m_style == kListStyle);
    m_reportButton->setChecked(m_style == kReportStyle);
}

void CTemplateListDlg::PressListStyle(int style) {
    // The pair acts as radio buttons: pressing the one in force keeps it.
    m_style = style == kListStyle ? kListStyle : kReportStyle;
    ApplyStyle();
}

void CTemplateListDlg::PressPreview() {
    if (!m_previewButton) return;
    m_previewOn = !m_previewOn;
    m_previewButton->setChecked(m_previewOn);
    m_area->SetPreviewOn(m_previewOn);
    UpdatePreview();
}

QAbstractItemView* CTemplateListDlg::CurrentView() const {
    return m_style == kListStyle ? static_cast<QAbstractItemView*>(m_list) : m_report;
}

bool CTemplateListDlg::FillList() {
    std::unique_ptr<CPagelet> binding = m_factory ? m_factory() : nullptr;
    if (!binding || !binding->IsBound()) {
        FennicMessage(this, Ids::FailedToCreateObject, {kWidgetServerProgID}, MessageIcon::Error);
        return false;
    }
    m_binding = std::move(binding);
    m_folders = MakeTemplateFolders(m_binding->ServerFolder(), m_writable);
    EnumerateTemplates(m_folders, m_binding->ProgID(), m_templates);
    const QIcon icon = TemplateIcon();
    for (int i = 0; i < m_templates.Count(); ++i) {
        auto* title = new QStandardItem(icon, m_templates.titles[i]);
        auto* description = new QStandardItem(m_templates.descriptions[i]);
        m_model->appendRow({title, description});
    }
    return true;
}

int CTemplateListDlg::SelectedIndex() const {
    const QModelIndexList rows = m_report->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CTemplateListDlg::SelectIndex(int index) {
    QItemSelectionModel* selection = m_report->selectionModel();
    if (index < 0 || index >= m_model->rowCount()) {
        selection->clearSelection();
        return;
    }
    const QModelIndex at = m_model->index(index, 0);
    selection->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int CTemplateListDlg::ItemCount() const {
    return m_model->rowCount();
}

QString CTemplateListDlg::ItemText(int row, int column) const {
    return m_model->index(row, column).data().toString();
}

void CTemplateListDlg::RemoveItem(int index) {
    // The view moves its selection while the row goes; the preview must not
    // look up a template meanwhile, when the two lists disagree.
    const QSignalBlocker quiet(m_report->selectionModel());
    m_model->removeRow(index);
    m_templates.RemoveAt(index);
}

void CTemplateListDlg::SetItemTexts(int index, const QString& title, const QString& description) {
    m_model->setData(m_model->index(index, 0), title);
    m_model->setData(m_model->index(index, 1), description);
    m_templates.titles[index] = title;
    m_templates.descriptions[index] = description;
}

void CTemplateListDlg::UpdatePreview() {
    if (!m_preview) return;
    QString file;
    const int index = SelectedIndex();
    if (m_previewOn && index >= 0 && index < m_templates.paths.size() && m_binding &&
        (*m_binding)->Load(m_templates.paths[index]))
        file = (*m_binding)->GetPreviewFile();
    if (!file.isEmpty()) {
        m_preview->SetBackgroundColor(QString());
        m_preview->SetMovie(file);
        m_preview->Play();
    } else {
        const QColor window = palette().color(QPalette::Base);
        m_preview->StopPlay();
        m_preview->Stop();
        m_preview->SetBackgroundColor(QString::asprintf("#%02x%02x%02x", window.red(), window.green(), window.blue()));
        m_preview->SetMovie(QString());
        m_preview->Play();
    }
}

void CTemplateListDlg::LayOutWithFields(QFormLayout* fields, const QList<QPushButton*>& buttons, QSize size) {
    auto* column = new QVBoxLayout;
    for (QPushButton* button : buttons) column->addWidget(button);
    column->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(fields, 1);
    bottom->addLayout(column);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_toolRow);
    layout->addWidget(m_area, 1);
    layout->addLayout(bottom);
    resize(size);
}

// ---------------------------------------------------------------- New

CNewWidgetDlg::CNewWidgetDlg(BindingFactory factory, QWidget* parent, FolderWritableCheck writable)
    : CTemplateListDlg(kTemplateId, TemplateSection::NewWidget, true, std::move(factory), parent, std::move(writable)) {
    setWindowTitle(tr("New"));
    WaitCursor wait;
    m_nameEdit = new QLineEdit(QStringLiteral("Normal"), this);
    m_nameEdit->setObjectName(QStringLiteral("1012"));
    m_nameEdit->setMaxLength(255);
    m_descriptionEdit = new QLineEdit(this);
    m_descriptionEdit->setObjectName(QStringLiteral("1013"));
    m_descriptionEdit->setMaxLength(255);
    m_blank = new QCheckBox(tr("Create blank Widget"), this);
    m_blank->setObjectName(QStringLiteral("1030"));

    auto* create = new QPushButton(tr("&Create"), this);
    create->setObjectName(QStringLiteral("1000"));
    create->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    auto* help = new QPushButton(tr("&Help"), this);
    connect(create, &QPushButton::clicked, this, &CNewWidgetDlg::OnCreate);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &CHelpDialog::OnHelp);

    auto* fields = new QFormLayout;
    fields->addRow(tr("&Name:"), m_nameEdit);
    fields->addRow(QString(), NameHint(this, m_nameEdit, create));
    fields->addRow(tr("&Description:"), m_descriptionEdit);
    fields->addRow(QString(), m_blank);
    LayOutWithFields(fields, {create, cancel, help}, QSize(620, 420));

    if (FillList()) {
        m_nameEdit->setFocus();
        UpdatePreview();
    }
}

void CNewWidgetDlg::OnSelectionChanged() {
    UpdatePreview();
}

void CNewWidgetDlg::OnCreate() {
    const QString name = m_nameEdit->text();
    if (!IsValidWidgetName(name)) {
        FennicMessage(this, Ids::InvalidName, {}, MessageIcon::Exclamation);
        m_nameEdit->setFocus();
        return;
    }
    const int index = SelectedIndex();
    if (!m_blank->isChecked() && index < 0) {
        FennicMessage(this, Ids::SelectTemplate, {}, MessageIcon::Information);
        return;
    }
    m_name = name;
    m_description = m_descriptionEdit->text();
    m_templatePath = m_blank->isChecked() ? QString() : m_templates.paths[index];
    accept();
}

// ---------------------------------------------------------------- Save As Template

CSaveAsTemplateDlg::CSaveAsTemplateDlg(BindingFactory factory, const QString& name, const QString& description,
                                       QWidget* parent, FolderWritableCheck writable)
    : CTemplateListDlg(kTemplateId, TemplateSection::SaveAsTemplates, false, std::move(factory), parent,
                       std::move(writable)) {
    setWindowTitle(tr("Save As Template"));
    m_nameEdit = new QLineEdit(name.left(127), this);
    m_nameEdit->setObjectName(QStringLiteral("1016"));
    m_nameEdit->setMaxLength(127);
    m_descriptionEdit = new QLineEdit(description.left(255), this);
    m_descriptionEdit->setObjectName(QStringLiteral("1017"));
    m_descriptionEdit->setMaxLength(255);

    auto* save = new QPushButton(tr("&Save"), this);
    save->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    auto* help = new QPushButton(tr("&Help"), this);
    connect(save, &QPushButton::clicked, this, &CSaveAsTemplateDlg::OnSave);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &CHelpDialog::OnHelp);

    auto* fields = new QFormLayout;
    fields->addRow(tr("&Name:"), m_nameEdit);
    fields->addRow(QString(), NameHint(this, m_nameEdit, save));
    fields->addRow(tr("&Desc:"), m_descriptionEdit);
    LayOutWithFields(fields, {save, cancel, help}, QSize(480, 380));
    FillList();
}

void CSaveAsTemplateDlg::OnSelectionChanged() {
    const int index = SelectedIndex();
    if (index < 0) return;
    m_nameEdit->setText(ItemText(index, 0));
    m_descriptionEdit->setText(ItemText(index, 1));
}

void CSaveAsTemplateDlg::OnSave() {
    const QString name = m_nameEdit->text();
    if (!IsValidWidgetName(name)) {
        FennicMessage(this, Ids::InvalidName, {}, MessageIcon::Exclamation);
        m_nameEdit->setFocus();
        return;
    }
    if (!Binding()) return;  // no server, no folder to save into
    const QString path = TemplateSavePath(m_folders, name, Binding()->ProgID());
    if (TemplateNameTaken(m_folders, name, Binding()->ProgID()) &&
        FennicMessage(this, Ids::TemplateExists, {name}, MessageIcon::Question, QMessageBox::Yes | QMessageBox::No) !=
            QMessageBox::Yes) {
        m_nameEdit->setFocus();
        return;
    }
    // The user's folder appears with the first template saved into it. When
    // no folder can take the template, the dialog says so and stays open with
    // what was typed.
    if (!m_folders.shippedWritable) QDir().mkpath(m_folders.user);
    const QString folder = m_folders.SaveFolder();
    if (folder.isEmpty() || !CanWrite(folder)) {
        FennicMessageBox(this,
                         tr("Templates cannot be written here: %1 cannot be written%2. Your name and description "
                            "are kept; ask for write access, or save the widget as a work file instead.")
                             .arg(QDir::toNativeSeparators(m_folders.shipped),
                                  m_folders.user.isEmpty()
                                      ? QString()
                                      : tr(", nor can %1").arg(QDir::toNativeSeparators(m_folders.user))),
                         MessageIcon::Exclamation);
        m_nameEdit->setFocus();
        return;
    }
    m_name = name;
    m_description = m_descriptionEdit->text();
    m_templatePath = path;
    accept();
}

// ---------------------------------------------------------------- Templates

CTemplatesDlg::CTemplatesDlg(BindingFactory factory, QWidget* parent, FolderWritableCheck writable)
    : CTemplateListDlg(kTemplateId, TemplateSection::Templates, true, std::move(factory), parent, std::move(writable)) {
    setWindowTitle(tr("Templates"));
    WaitCursor wait;
    m_rename = new QPushButton(tr("Re&name"), this);
    m_rename->setObjectName(QStringLiteral("1018"));
    m_delete = new QPushButton(tr("&Delete"), this);
    m_delete->setObjectName(QStringLiteral("1019"));
    auto* close = new QPushButton(tr("Close"), this);
    auto* help = new QPushButton(tr("&Help"), this);
    m_rename->setEnabled(false);
    m_delete->setEnabled(false);
    connect(m_rename, &QPushButton::clicked, this, &CTemplatesDlg::OnRename);
    connect(m_delete, &QPushButton::clicked, this, &CTemplatesDlg::OnDelete);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &CHelpDialog::OnHelp);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_rename);
    buttons->addWidget(m_delete);
    buttons->addSpacing(12);
    buttons->addWidget(close);
    buttons->addWidget(help);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addLayout(m_toolRow);
    left->addWidget(m_area, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    resize(620, 360);
    if (FillList()) UpdatePreview();
}

void CTemplatesDlg::OnSelectionChanged() {
    const bool selected = SelectedIndex() >= 0;
    m_rename->setEnabled(selected);
    m_delete->setEnabled(selected);
    UpdatePreview();
}

bool CTemplatesDlg::RefuseReadOnly(int index) {
    if (!m_templates.IsReadOnly(index)) return false;
    FennicMessage(this, Ids::ShippedTemplate, {m_templates.titles[index]}, MessageIcon::Information);
    return true;
}

void CTemplatesDlg::OnRename() {
    const int index = SelectedIndex();
    if (index < 0 || !Binding() || RefuseReadOnly(index)) return;
    // Offer the selected template's own name even while the preview is off
    // and another template was the last one loaded.
    (*Binding())->Load(m_templates.paths[index]);
    CRenameDlg dialog((*Binding())->Name(), (*Binding())->Description(), this);
    if (dialog.exec() == QDialog::Accepted) RenameSelected(dialog.Name(), dialog.Description());
}

bool CTemplatesDlg::RenameSelected(const QString& name, const QString& description) {
    const int index = SelectedIndex();
    if (index < 0 || !Binding() || RefuseReadOnly(index)) return false;
    const QString path = m_templates.paths[index];
    bool saved = (*Binding())->Load(path);
    if (saved) {
        (*Binding())->SetName(name);
        (*Binding())->SetDescription(description);
        // A copy: a template needs no support files beside it.
        saved = (*Binding())->SaveCopy(path);
    }
    if (!saved) {
        FennicMessage(this, Ids::TemplateRenameFailed, {QDir::toNativeSeparators(path)}, MessageIcon::Error);
        return false;
    }
    SetItemTexts(index, name, description);
    return true;
}

QStringList CTemplatesDlg::TemplateSupportFiles(const QString& path) {
    // What the server says belongs to the template and lies in its folder
    // (older versions wrote the button's picture beside each template).
    QStringList files;
    // Older versions wrote the picture under the template's own name.
    const QString legacy = QFileInfo(path).dir().filePath(QFileInfo(path).completeBaseName() + QStringLiteral(".svg"));
    if (QFileInfo(legacy).isFile()) files << legacy;
    if (!Binding() || !(*Binding())->Load(path)) return files;
    const QString folder = QFileInfo(path).absolutePath();
    IWidgetServer& server = *Binding()->Server();
    for (short i = 0; i < server.GetSupportFileCount(); ++i) {
        const QString name = server.GetSupportFileName(i);
        const QString file = QDir(QDir::fromNativeSeparators(server.GetSupportFilePath(i))).filePath(name);
        if (!name.isEmpty() && QFileInfo(file).absolutePath() == folder && QFileInfo(file).isFile() &&
            !files.contains(file))
            files << file;
    }
    return files;
}

void CTemplatesDlg::OnDelete() {
    const int index = SelectedIndex();
    if (index < 0 || RefuseReadOnly(index)) return;
    if (FennicMessage(this, Ids::ConfirmDeleteTemplate, {m_templates.titles[index]}, MessageIcon::Question,
                      QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    const QString path = m_templates.paths[index];
    const QStringList belonging = TemplateSupportFiles(path);
    if (!QFile::remove(path)) {
        FennicMessage(this, Ids::TemplateDeleteFailed, {QDir::toNativeSeparators(path)}, MessageIcon::Error);
        return;
    }
    for (const QString& file : belonging) QFile::remove(file);
    const QString shipped = Binding() ? ShadowedTemplatePath(m_folders, path, Binding()->ProgID()) : QString();
    if (!shipped.isEmpty()) {
        const TemplateDescription block = ReadTemplateDescription(shipped);
        SetItemTexts(index, block.title, block.description);
        m_templates.paths[index] = shipped;
        m_templates.readOnly[index] = true;
        OnSelectionChanged();
        return;
    }
    RemoveItem(index);
    SelectIndex(std::min(index, ItemCount() - 1));
    OnSelectionChanged();
}
