#pragma once
// Boxes that tell one thing and go: a message box from another user (titled
// with the sender) and the warning that a user's key changed. Not modal,
// and never larger than the work area however long the text: the text
// scrolls inside, the button stays on screen.
#include <QDialog>
#include <QString>

#include <functional>
#include <string>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace lanyx::ui {

class frmBox : public QDialog {
    Q_OBJECT
public:
    frmBox(const QString& title, const QString& text, const QIcon& icon = {}, QWidget* parent = nullptr);
    QPlainTextEdit* txtText() const { return text_; }
    // Texts the program wrote itself follow a switch of the language.
    void setTextFn(std::function<QString()> text) { textFn_ = std::move(text); }
    QPushButton* okButton() const { return ok_; }
    // Sizes the box to its text, within the work area, and centres it there.
    void fitToText();

protected:
    void changeEvent(QEvent* event) override;

private:
    std::function<QString()> textFn_;
    QLabel* icon_ = nullptr;
    QPlainTextEdit* text_;
    QPushButton* ok_;
};

// Shows the box and returns it; it deletes itself when closed.
QWidget* ShowBoxMessage(const QString& text, const QString& sender);
// The warning that a user's key changed; `showUser` (where given) opens the
// user's information, where the new key is accepted.
QWidget* ShowKeyWarning(const std::string& name, std::function<void()> showUser = {});
// That the user `from` took the name `to`, one the user has in a group or
// the history; `showUser` (where given) opens the user's information.
QWidget* ShowRenameNotice(const std::string& from, const std::string& to, std::function<void()> showUser = {});
QString RenameNoticeText(const QString& from, const QString& to);
// That the list of blocked names (else the groups) holds all it keeps, `cap`,
// and `leftOut` more were not taken.
QWidget* ShowListFull(bool blockedList, std::size_t leftOut, std::size_t cap);
QString ListFullText(bool blockedList, std::size_t leftOut, std::size_t cap);

}  // namespace lanyx::ui
