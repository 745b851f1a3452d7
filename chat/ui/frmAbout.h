#pragma once
// The about window: version, logo, the web links, and either the copyright
// notice or the licence terms. It closes as soon as another window of the
// program becomes active.
#include "ChatNode.h"

#include <QWidget>

class QAction;
class QLabel;
class QPlainTextEdit;
class QToolBar;

namespace lanyx::ui {

class frmMain;

class frmAbout : public QWidget {
    Q_OBJECT
public:
    frmAbout(ChatNode& node, frmMain* main);

    Q_INVOKABLE void SetLan();
    // "c" shows the copyright notice, "l" the licence terms.
    void TB_ButtonClick(const QString& key);
    void lblWeb_Click();

    // `withKeys`: this copy signs what it sends and encrypts private
    // messages (a copy without the cryptographic library cannot).
    static QString CopyRightText(bool withKeys);
    static QString LicenceText();

    QLabel* lblVer() const { return lblVer_; }
    QLabel* lblWeb() const { return lblWeb_; }
    QPlainTextEdit* txtL() const { return txtL_; }
    QAction* copyRightButton() const { return tbC_; }
    QAction* licenceButton() const { return tbL_; }
    QAction* closeButton() const { return tbClose_; }

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ChatNode& node_;
    frmMain* main_;
    QLabel* logo_;
    QLabel* lblVer_;
    QLabel* label1_;
    QLabel* lblWeb_;
    QPlainTextEdit* txtL_;
    QAction* tbC_;
    QAction* tbL_;
    QAction* tbClose_;
    QString shownText_;
};

}  // namespace lanyx::ui
