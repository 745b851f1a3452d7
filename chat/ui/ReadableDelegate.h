#pragma once
// Draws each row's own colour, made readable on the view's background.
#include "logic/Contrast.h"

#include <QStyledItemDelegate>

namespace lanyx::ui {

class ReadableDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    // Public for the tests, which check the colour a row is drawn in.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QColor base = option->palette.color(QPalette::Base);
        option->palette.setColor(QPalette::Text, ReadableOn(option->palette.color(QPalette::Text), base));
    }
};

}  // namespace lanyx::ui
