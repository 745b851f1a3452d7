#pragma once
// Base of the shell's dialogs (not the about boxes): F1 and the Help command
// show the help topic of the dialog's template id.

#include <QDialog>

// Shows a topic of the help pages; tells the user when they cannot be opened.
bool ShowHelpTopic(QWidget* parent, const QString& topic);
// Where the help pages are looked for; empty: "FennicHelp" beside the program.
void SetHelpFolder(const QString& folder);

class CHelpDialog : public QDialog {
    Q_OBJECT
public:
    explicit CHelpDialog(int templateId, QWidget* parent = nullptr);
    int TemplateId() const { return m_templateId; }
    // F1 and command 57670.
    virtual void OnHelp();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_templateId;
};
