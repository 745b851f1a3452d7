#include "EmojiPicker.h"

#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QWidgetAction>

namespace {

// Enter on the current emoji picks it, as a click does (activation is left
// alone: some styles activate on a single click too).
class Grid : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
            Q_EMIT itemClicked(currentItem());
            return;
        }
        QListWidget::keyPressEvent(event);
    }
};

}  // namespace

namespace lanyx::ui {

QStringList EmojiButton::offered() {
    return QString::fromUtf8(
               "😀 😂 😊 😉 😍 😎 🤔 😅 😢 😮 😴 🙄 👍 👎 👏 🙏 👋 💪 ✅ ❌ "
               "❤️ 🎉 🔥 ⭐ ☕ 🍕 🎂 🍺 📎 📅 ⏰ 📞 💡 ⚠️ 🚀 ✔️")
        .split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

EmojiButton::EmojiButton(QWidget* parent) : QToolButton(parent) {
    setObjectName("tbEmoji");
    setText(QString::fromUtf8("😀"));
    setFocusPolicy(Qt::StrongFocus);
    setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(this);
    grid_ = new Grid(menu);
    grid_->setObjectName("lvEmoji");
    grid_->setViewMode(QListView::IconMode);
    grid_->setFlow(QListView::LeftToRight);
    grid_->setWrapping(true);
    grid_->setResizeMode(QListView::Adjust);
    grid_->setMovement(QListView::Static);
    grid_->setUniformItemSizes(true);
    QFont big = grid_->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    grid_->setFont(big);
    const int cell = QFontMetrics(big).height() * 2;
    grid_->setGridSize(QSize(cell, cell));
    for (const QString& e : offered()) {
        auto* item = new QListWidgetItem(e, grid_);
        item->setTextAlignment(Qt::AlignCenter);
    }
    // Six to a row, as many rows as they take.
    const int rows = (int(offered().size()) + 5) / 6;
    grid_->setFixedSize(cell * 6 + 2 * grid_->frameWidth() + 4, cell * rows + 2 * grid_->frameWidth() + 4);
    auto* holder = new QWidgetAction(menu);
    holder->setDefaultWidget(grid_);
    menu->addAction(holder);
    connect(menu, &QMenu::aboutToShow, grid_, [this] {
        grid_->setCurrentRow(0);
        grid_->setFocus();
    });
    connect(grid_, &QListWidget::itemClicked, this, [this, menu](QListWidgetItem* item) {
        menu->close();
        Q_EMIT picked(item->text());
    });
    setMenu(menu);
    retranslate();
}

void EmojiButton::changeEvent(QEvent* event) {
    QToolButton::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) retranslate();
}

void EmojiButton::retranslate() {
    setToolTip(tr("Insert an emoji"));
    setAccessibleName(tr("Insert an emoji"));
    grid_->setAccessibleName(tr("Emoji"));
}

}  // namespace lanyx::ui
