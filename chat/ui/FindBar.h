#pragma once
// Finding words in a conversation's window (Ctrl+F): every match marked,
// the newest one first (a chat is read from its end), Enter or the up
// button to the one before, Shift+Enter or the down button to the one
// after; Escape closes the bar and gives the keyboard back.
#include <QList>
#include <QTextCursor>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTextEdit;
class QToolButton;

namespace lanyx::ui {

class FindBar : public QWidget {
    Q_OBJECT
public:
    FindBar(QTextEdit* text, QWidget* parent);
    // Shows the bar with the keyboard in its field, what it held selected.
    void open();
    void close();
    // The matches of what the field holds, and which is current (1 is the
    // oldest; 0: none).
    int matches() const { return static_cast<int>(found_.size()); }
    int current() const { return current_ + 1; }
    QLineEdit* field() const { return field_; }
    void older();
    void newer();
    void SetLan();

Q_SIGNALS:
    // The bar closed: whoever had the keyboard before takes it back.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void search();
    void show(int index);
    void tell();

    QTextEdit* text_;
    QLineEdit* field_;
    QToolButton* up_;
    QToolButton* down_;
    QToolButton* close_;
    QLabel* count_;
    QList<QTextCursor> found_;
    int current_ = -1;
};

}  // namespace lanyx::ui
