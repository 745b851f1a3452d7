#pragma once
// Edits a widget's name and description; OK refuses an invalid name.

#include "ui/HelpDialog.h"

class QLineEdit;

class CRenameDlg : public CHelpDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 131;
    CRenameDlg(const QString& name, const QString& description, QWidget* parent = nullptr);
    QString Name() const { return m_name; }
    QString Description() const { return m_description; }
    void accept() override;

private:
    QLineEdit* m_nameEdit;
    QLineEdit* m_descriptionEdit;
    QString m_name;
    QString m_description;
};
