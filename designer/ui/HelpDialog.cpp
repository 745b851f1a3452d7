#include "ui/HelpDialog.h"

#include "core/HelpTopics.h"
#include "ui/FennicMessage.h"
#include "core/StringTable.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {
QString& HelpFolderOverride() {
    static QString folder;
    return folder;
}
}  // namespace

void SetHelpFolder(const QString& folder) {
    HelpFolderOverride() = folder;
}

bool ShowHelpTopic(QWidget* parent, const QString& topic) {
    // The location is worked out once per run, like the program's own path.
    static const QString programPrefix = HelpLocationPrefix(QCoreApplication::applicationDirPath());
    const QString prefix = HelpFolderOverride().isEmpty() ? programPrefix : HelpFolderOverride();
    if (prefix.isEmpty() || topic.isEmpty()) return false;
    const QUrl url = HelpTopicUrl(prefix, topic);
    if (!url.isValid() || url.isEmpty() || !ShellOpen(url)) {
        FennicMessageBox(parent, HelpLaunchFailedText(), MessageIcon::Information);
        return false;
    }
    return true;
}

CHelpDialog::CHelpDialog(int templateId, QWidget* parent) : QDialog(parent), m_templateId(templateId) {
}

void CHelpDialog::OnHelp() {
    ShowHelpTopic(this, HelpTopicFor(m_templateId));
}

void CHelpDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        OnHelp();
        return;
    }
    QDialog::keyPressEvent(event);
}
