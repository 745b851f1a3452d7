#pragma once
// A button beside a message box that offers the emoji people use most, in
// a grid one can walk with the arrow keys; Enter or a click puts the one
// chosen into the box where its cursor is.
#include <QStringList>
#include <QToolButton>

class QListWidget;

namespace lanyx::ui {

class EmojiButton : public QToolButton {
    Q_OBJECT
public:
    explicit EmojiButton(QWidget* parent = nullptr);
    // The emoji offered, in the order shown.
    static QStringList offered();
    // The grid of the open picker (for tests).
    QListWidget* grid() const { return grid_; }

Q_SIGNALS:
    void picked(const QString& emoji);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    QListWidget* grid_ = nullptr;
};

}  // namespace lanyx::ui
