#pragma once
// The editor the button server places in the shell's window: the button's
// settings on the left, a live picture of its three states on the right.

#include "button/model/ButtonStyle.h"
#include "button/model/Checks.h"
#include "button/model/StyleHistory.h"

#include <QToolButton>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QSpinBox;

// The button in each state (normal, hover, focus, pressed) on a light page
// and on a dark one, at the size the page shows it.
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
    // The focus ring's colour: black or white, against the button around it.
    QColor FocusColor() const;
Q_SIGNALS:
    void ColorChosen(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
};

class CButtonEditor : public QWidget {
    Q_OBJECT
public:
    CButtonEditor(QWidget* parent, const ButtonStyle& style, bool dark);
    // The work changed outside the editor; the undo steps stay.
    void SetStyle(const ButtonStyle& style);
    // Another work: the undo steps start afresh.
    void ResetStyle(const ButtonStyle& style);
    void SetDarkPreview(bool dark);
    void FocusFirstField();
    // Room for the form and the whole preview beside it.
    QSize sizeHint() const override;

    bool CanUndo() const { return m_history.CanUndo(); }
    bool CanRedo() const { return m_history.CanRedo(); }
    void Undo();
    void Redo();
    // The contrast shown for a state: "4.83:1", with a warning below 4.5:1.
    QString ContrastText(ButtonState state) const;
    // The checks as shown; ApplyFix uses the nearest passing colour of one.
    const QList<ButtonCheck>& Checks() const { return m_checkResults; }
    void ApplyFix(int index);
    // What choosing a base colour does: the three looks are derived from it.
    void ChooseBaseColor(const QColor& base) { DeriveFrom(base); }

Q_SIGNALS:
    void StyleEdited(const ButtonStyle& style);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Fill();
    void Collect(const QString& field);
    void Commit(const ButtonStyle& style, const QString& field);
    void ShowContrast();
    void ShowChecks();
    // The form's height never shrinks while the author works: fields below a
    // check or a note that goes away stay where they were.
    void HoldPanelHeight();
    // What the form gives the page, said under Publish as.
    static QString FormNote(const ButtonStyle& style);
    void PostCommand(int command);
    void DeriveFrom(const QColor& base);

    ButtonStyle m_style;
    QList<ButtonCheck> m_checkResults;
    StyleHistory m_history;
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
    QComboBox* m_form = nullptr;
    QComboBox* m_buttonType = nullptr;
    QLineEdit* m_buttonName = nullptr;
    QLineEdit* m_buttonValue = nullptr;
    QWidget* m_panel = nullptr;  // the scrolled form
    QScrollArea* m_formScroll = nullptr;
    QScrollArea* m_previewScroll = nullptr;
    CColorButton* m_base = nullptr;
    QLabel* m_contrast[3] = {};
    QLabel* m_labelWarning = nullptr;
    QSpinBox* m_maxWidth = nullptr;
    CColorButton* m_focus = nullptr;
    QWidget* m_checks = nullptr;
    QLabel* m_formNote = nullptr;
    CColorButton* m_text[3] = {};
    CColorButton* m_fill1[3] = {};
    CColorButton* m_fill2[3] = {};
};
