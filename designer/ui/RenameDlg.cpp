#include "ui/RenameDlg.h"

#include "core/NameRule.h"
#include "ui/FennicMessage.h"
#include "core/StringTable.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

CRenameDlg::CRenameDlg(const QString& name, const QString& description, QWidget* parent)
    : CHelpDialog(kTemplateId, parent), m_name(name), m_description(description) {
    setWindowTitle(tr("Rename"));
    auto* form = new QFormLayout(this);
    m_nameEdit = new QLineEdit(name, this);
    m_nameEdit->setMaxLength(255);
    m_descriptionEdit = new QLineEdit(description, this);
    m_descriptionEdit->setMaxLength(255);
    form->addRow(tr("&Name:"), m_nameEdit);
    form->addRow(tr("&Description:"), m_descriptionEdit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CRenameDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRenameDlg::reject);
    resize(360, sizeHint().height());
}

void CRenameDlg::accept() {
    const QString name = m_nameEdit->text();
    if (!IsValidWidgetName(name)) {
        FennicMessage(this, Ids::InvalidName, {}, MessageIcon::Exclamation);
        m_nameEdit->setFocus();
        m_nameEdit->selectAll();
        return;
    }
    m_name = name;
    m_description = m_descriptionEdit->text();
    CHelpDialog::accept();
}
