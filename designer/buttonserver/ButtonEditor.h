#pragma once
// The editor the button server places in the shell's window: the button's
// settings on the left, a live picture of its three states on the right.

#include "ButtonStyle.h"

#include <QToolButton>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLineEdit;
class QSpinBox;


class CButtonPreview : public QWidget {
    Q_OBJECT
public:
    explicit CButtonPreview(QWidget* parent = nullptr);
    void SetStyle(const ButtonStyle& style);
    void SetDark(bool dark);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    ButtonStyle m_style;
    bool m_dark = false;
};

class CColorButton : public QToolButton {
    Q_OBJECT
public:
    explicit CColorButton(QWidget* parent = nullptr);
    QColor Color() const { return m_color; }
    void SetColor(const QColor& color);
signals:
    void ColorChosen(const QColor& color);

private:
    QColor m_color;
};

class CButtonEditor : public QWidget {
    Q_OBJECT
public:
    CButtonEditor(QWidget* parent, const ButtonStyle& style, bool dark);
    void SetStyle(const ButtonStyle& style);
    void SetDarkPreview(bool dark);
    void FocusFirstField();

signals:
    void StyleEdited(const ButtonStyle& style);

private:
    void Fill();
    void Collect();
    void PostCommand(int command);

    ButtonStyle m_style;
    bool m_filling = false;
    CButtonPreview* m_preview = nullptr;
    QCheckBox* m_dark = nullptr;
    QLineEdit* m_label = nullptr;
    QFontComboBox* m_font = nullptr;
    QSpinBox* m_fontSize = nullptr;
    QCheckBox* m_bold = nullptr;
    QCheckBox* m_italic = nullptr;
    QComboBox* m_fill = nullptr;
    QComboBox* m_shape = nullptr;
    QSpinBox* m_radius = nullptr;
    QSpinBox* m_border = nullptr;
    CColorButton* m_borderColor = nullptr;
    QSpinBox* m_width = nullptr;
    QSpinBox* m_height = nullptr;
    QSpinBox* m_padding = nullptr;
    QLineEdit* m_link = nullptr;
    QComboBox* m_target = nullptr;
    QLineEdit* m_tooltip = nullptr;
    QLineEdit* m_alt = nullptr;
    CColorButton* m_text[3] = {};
    CColorButton* m_fill1[3] = {};
    CColorButton* m_fill2[3] = {};
};
