#include "button/editor/ButtonEditor.h"

#include "server/WidgetServer.h"

#include <algorithm>
#include <cmath>

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFontComboBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const char* const kButtonTypes[3] = {"button", "submit", "reset"};

// Commands the shell handles for its hosted editor.
constexpr int kCmdSupportFiles = 32780;
constexpr int kCmdRename = 32785;
constexpr int kCmdToggleDark = 32789;
constexpr int kCmdSamplePage = 32805;

const char* const kStateNames[3] = {"Normal", "Hover", "Pressed"};

// A form long enough to scroll must not change a value under the pointer as
// the wheel passes over it: an unfocused box hands the wheel on to the scroll
// area, and a click or Tab (not the wheel) gives it focus.
class WheelOnlyWhenFocused : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Wheel) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && !widget->hasFocus()) {
                event->ignore();  // so the parents, the scroll area among them, get it
                return true;
            }
        }
        return false;
    }
};
}  // namespace

CButtonPreview::CButtonPreview(QWidget* parent) : QWidget(parent) {
    setMinimumSize(240, 120);
}

void CButtonPreview::SetStyle(const ButtonStyle& style) {
    m_style = style;
    // Room for the button in each of the four columns and two rows, with
    // less margin than the preferred size leaves.
    const QSize button = ButtonOutput::EffectiveSize(m_style);
    setMinimumSize(QSize(4 * (button.width() + 12), 2 * (button.height() + 48)).expandedTo(QSize(240, 120)));
    updateGeometry();
    update();
}

void CButtonPreview::SetDark(bool dark) {
    m_dark = dark;
    update();
}

QSize CButtonPreview::sizeHint() const {
    const QSize button = ButtonOutput::EffectiveSize(m_style);
    return {4 * (button.width() + 32), 2 * (button.height() + 56)};
}

void CButtonPreview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QSize button = ButtonOutput::EffectiveSize(m_style);
    const int column = width() / 4;
    const int rowHeight = height() / 2;
    const char* const names[4] = {"Normal", "Hover", "Focus", "Pressed"};
    const ButtonState looks[4] = {ButtonState::Normal, ButtonState::Hover, ButtonState::Normal, ButtonState::Pressed};
    const auto tones = ButtonColors::FocusTones(m_style);
    for (int row = 0; row < 2; ++row) {
        // The page the option puts first is on top.
        const bool dark = (row == 0) == m_dark;
        const QRect band(0, row * rowHeight, width(), rowHeight);
        p.fillRect(band, dark ? ButtonChecks::kDarkPage : ButtonChecks::kLightPage);
        p.setPen(dark ? QColor(0xe0, 0xe0, 0xe0) : QColor(0x22, 0x22, 0x22));
        p.drawText(band.adjusted(6, 4, 0, 0), Qt::AlignLeft | Qt::AlignTop, dark ? tr("Dark page") : tr("Light page"));
        for (int i = 0; i < 4; ++i) {
            const QRect cell(i * column, band.top() + 16, column, rowHeight - 16);
            p.drawText(cell.adjusted(0, 4, 0, 0), Qt::AlignHCenter | Qt::AlignTop, tr(names[i]));
            QSvgRenderer renderer(ButtonOutput::StaticSvg(m_style, looks[i]).toUtf8());
            // Drawn at the size the page will show, never scaled to fit: the
            // author judges the real button (the preview grows to hold it).
            const QSizeF size = button;
            const qreal room = std::max<qreal>(cell.height() - 24, size.height());
            const QRectF target(cell.center().x() - size.width() / 2, cell.top() + 22 + (room - size.height()) / 2,
                                size.width(), size.height());
            if (i == 2) {
                // The ring as the page draws it: the outer tone outside
                // the inner one, swapped on a dark page.
                const QColor outer = dark ? tones[1] : tones[0];
                const QColor inner = dark ? tones[0] : tones[1];
                p.setRenderHint(QPainter::Antialiasing);
                p.setPen(QPen(outer, 2));
                p.setBrush(Qt::NoBrush);
                p.drawRoundedRect(target.adjusted(-3, -3, 3, 3), 6, 6);
                p.setPen(QPen(inner, 2));
                p.drawRoundedRect(target.adjusted(-1, -1, 1, 1), 5, 5);
                p.setPen(dark ? QColor(0xe0, 0xe0, 0xe0) : QColor(0x22, 0x22, 0x22));
            }
            renderer.render(&p, target);
        }
    }
}

CColorButton::CColorButton(QWidget* parent) : QToolButton(parent) {
    setMinimumWidth(48);
    connect(this, &QToolButton::clicked, this, [this]() {
        const QColor c = QColorDialog::getColor(m_color, this);
        if (c.isValid() && c != m_color) {
            SetColor(c);
            Q_EMIT ColorChosen(c);
        }
    });
}

QColor CColorButton::FocusColor() const {
    // Black or white, whichever stands out from the button: the style's
    // highlight can be as light as the button's own frame.
    return ButtonColors::Partner(palette().color(QPalette::Button));
}

void CColorButton::paintEvent(QPaintEvent* event) {
    QToolButton::paintEvent(event);
    if (!hasFocus()) return;
    // The style's own focus frame is a thin light line a swatch of any
    // colour can hide; this ring passes the test the editor puts buttons
    // to: 3:1 against what is around it, as wide as two lines round it.
    QPainter p(this);
    QPen pen(FocusColor(), 3);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
}

void CColorButton::SetColor(const QColor& color) {
    m_color = color;
    QPixmap swatch(32, 14);
    swatch.fill(color);
    setIcon(QIcon(swatch));
    setIconSize(swatch.size());
    setToolTip(color.name());
}

CButtonEditor::CButtonEditor(QWidget* parent, const ButtonStyle& style, bool dark) : QWidget(parent), m_style(style) {
    auto* outer = new QHBoxLayout(this);
    auto* scroll = new QScrollArea(this);
    m_formScroll = scroll;
    scroll->setWidgetResizable(true);
    scroll->setMinimumWidth(360);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* form = new QWidget(scroll);
    m_panel = form;
    auto* formLayout = new QVBoxLayout(form);

    // Mnemonics stay clear of Alt+F, T, P and H, which open the shell's menus.
    auto* labelBox = new QGroupBox(tr("Label"), form);
    auto* labelForm = new QFormLayout(labelBox);
    m_label = new QLineEdit(labelBox);
    m_font = new QFontComboBox(labelBox);
    m_fontSize = new QSpinBox(labelBox);
    m_fontSize->setRange(6, 200);
    m_fontSize->setSuffix(tr(" px"));
    m_bold = new QCheckBox(tr("Bold"), labelBox);
    m_italic = new QCheckBox(tr("Italic"), labelBox);
    auto* styleRow = new QHBoxLayout;
    styleRow->addWidget(m_bold);
    styleRow->addWidget(m_italic);
    labelForm->addRow(tr("Te&xt:"), m_label);
    m_labelWarning = new QLabel(labelBox);
    m_labelWarning->setObjectName(QStringLiteral("labelWarning"));
    m_labelWarning->setWordWrap(true);
    m_labelWarning->setTextFormat(Qt::PlainText);
    m_labelWarning->hide();
    labelForm->addRow(QString(), m_labelWarning);
    labelForm->addRow(tr("Fo&nt:"), m_font);
    labelForm->addRow(tr("Font si&ze:"), m_fontSize);
    labelForm->addRow(QString(), styleRow);
    formLayout->addWidget(labelBox);

    auto* shapeBox = new QGroupBox(tr("Shape"), form);
    auto* shapeForm = new QFormLayout(shapeBox);
    m_shape = new QComboBox(shapeBox);
    m_shape->addItems({tr("Rounded rectangle"), tr("Pill"), tr("Ellipse")});
    m_radius = new QSpinBox(shapeBox);
    m_radius->setRange(0, 500);
    m_fill = new QComboBox(shapeBox);
    m_fill->addItems({tr("Solid colour"), tr("Two-colour gradient")});
    m_border = new QSpinBox(shapeBox);
    m_border->setRange(0, 50);
    m_borderColor = new CColorButton(shapeBox);
    m_width = new QSpinBox(shapeBox);
    m_width->setRange(8, 2000);
    m_height = new QSpinBox(shapeBox);
    m_height->setRange(8, 2000);
    m_padding = new QSpinBox(shapeBox);
    m_padding->setRange(0, 500);
    auto* borderRow = new QHBoxLayout;
    borderRow->addWidget(m_border);
    borderRow->addWidget(m_borderColor);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(m_width);
    sizeRow->addWidget(new QLabel(QStringLiteral("\u00d7"), shapeBox));
    sizeRow->addWidget(m_height);
    shapeForm->addRow(tr("Shap&e:"), m_shape);
    shapeForm->addRow(tr("Corner &radius:"), m_radius);
    shapeForm->addRow(tr("F&ill:"), m_fill);
    // Rows holding layouts need their buddies set by hand.
    auto* borderLabel = new QLabel(tr("&Border:"), shapeBox);
    borderLabel->setBuddy(m_border);
    auto* sizeLabel = new QLabel(tr("Minimum &width \u00d7 height:"), shapeBox);
    sizeLabel->setBuddy(m_width);
    shapeForm->addRow(borderLabel, borderRow);
    shapeForm->addRow(sizeLabel, sizeRow);
    shapeForm->addRow(tr("Pa&dding (sides):"), m_padding);
    m_maxWidth = new QSpinBox(shapeBox);
    m_maxWidth->setRange(48, 2000);
    m_maxWidth->setSuffix(tr(" px"));
    m_maxWidth->setToolTip(tr("Longer labels wrap onto more lines within this width."));
    shapeForm->addRow(tr("Wrap &labels at:"), m_maxWidth);
    formLayout->addWidget(shapeBox);

    auto* colourBox = new QGroupBox(tr("Colours"), form);
    auto* grid = new QGridLayout(colourBox);
    auto* baseLabel = new QLabel(tr("From one &colour:"), colourBox);
    m_base = new CColorButton(colourBox);
    m_base->setObjectName(QStringLiteral("base"));
    m_base->setToolTip(
        tr("Choose a base colour: the normal, hover and pressed looks and readable text colours are "
           "made from it. Each can still be changed below."));
    baseLabel->setBuddy(m_base);
    grid->addWidget(baseLabel, 0, 0, 1, 2);
    grid->addWidget(m_base, 0, 2);
    grid->addWidget(new QLabel(tr("Text"), colourBox), 1, 1);
    grid->addWidget(new QLabel(tr("Fill"), colourBox), 1, 2);
    grid->addWidget(new QLabel(tr("Fill (bottom)"), colourBox), 1, 3);
    grid->addWidget(new QLabel(tr("Contrast"), colourBox), 1, 4);
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(new QLabel(tr(kStateNames[i]), colourBox), i + 2, 0);
        m_text[i] = new CColorButton(colourBox);
        m_fill1[i] = new CColorButton(colourBox);
        m_fill2[i] = new CColorButton(colourBox);
        m_contrast[i] = new QLabel(colourBox);
        m_contrast[i]->setTextFormat(Qt::PlainText);
        grid->addWidget(m_text[i], i + 2, 1);
        grid->addWidget(m_fill1[i], i + 2, 2);
        grid->addWidget(m_fill2[i], i + 2, 3);
        grid->addWidget(m_contrast[i], i + 2, 4);
    }
    auto* focusLabel = new QLabel(tr("Focu&s ring:"), colourBox);
    m_focus = new CColorButton(colourBox);
    m_focus->setToolTip(tr("The focus ring is this colour with white or black inside it, so it shows on any page."));
    focusLabel->setBuddy(m_focus);
    grid->addWidget(focusLabel, 5, 0, 1, 2);
    grid->addWidget(m_focus, 5, 2);
    formLayout->addWidget(colourBox);

    auto* linkBox = new QGroupBox(tr("Link"), form);
    auto* linkForm = new QFormLayout(linkBox);
    m_link = new QLineEdit(linkBox);
    m_link->setPlaceholderText(QStringLiteral("https://"));
    m_target = new QComboBox(linkBox);
    m_target->setEditable(true);
    m_target->addItems({QString(), QStringLiteral("_top"), QStringLiteral("_blank"), QStringLiteral("_self"),
                        QStringLiteral("_parent")});
    m_tooltip = new QLineEdit(linkBox);
    m_alt = new QLineEdit(linkBox);
    linkForm->addRow(tr("&Address:"), m_link);
    linkForm->addRow(tr("Tar&get:"), m_target);
    linkForm->addRow(tr("T&ooltip:"), m_tooltip);
    linkForm->addRow(tr("Alternati&ve text:"), m_alt);
    m_form = new QComboBox(linkBox);
    m_form->addItems({tr("SVG picture in an <object> (with a support file)"), tr("HTML link <a> with CSS"),
                      tr("HTML <button> with CSS")});
    m_form->setToolTip(tr("The HTML forms need no file beside the page: the code holds a CSS block and the element."));
    linkForm->addRow(tr("P&ublish as:"), m_form);
    // What only the <button> form uses; there, but greyed, in the others,
    // so choosing a form moves nothing.
    m_buttonType = new QComboBox(linkBox);
    m_buttonType->addItems({tr("button \u2014 for the page's script"), tr("submit \u2014 sends its form"),
                            tr("reset \u2014 clears its form")});
    m_buttonName = new QLineEdit(linkBox);
    m_buttonValue = new QLineEdit(linkBox);
    linkForm->addRow(tr("Button t&ype:"), m_buttonType);
    linkForm->addRow(tr("Na&me:"), m_buttonName);
    linkForm->addRow(tr("Value:"), m_buttonValue);
    m_formNote = new QLabel(linkBox);
    m_formNote->setObjectName(QStringLiteral("formNote"));
    m_formNote->setWordWrap(true);
    m_formNote->setTextFormat(Qt::PlainText);
    linkForm->addRow(QString(), m_formNote);
    formLayout->addWidget(linkBox);

    // Every state checked as the author works, with the nearest passing
    // colour a click away.
    auto* checkBox = new QGroupBox(tr("Checks (WCAG 2.2 AA)"), form);
    m_checks = new QWidget(checkBox);
    m_checks->setObjectName(QStringLiteral("checks"));
    auto* checkLayout = new QVBoxLayout(checkBox);
    checkLayout->addWidget(m_checks);
    // The words take the room; marks and fixes keep to their own width.
    auto* checkGrid = new QGridLayout(m_checks);
    checkGrid->setColumnStretch(1, 1);
    formLayout->addWidget(checkBox);

    formLayout->addStretch(1);
    scroll->setWidget(form);
    // Wide enough for the form: it never scrolls sideways, so a narrower
    // area would cut off the right-hand fields.
    scroll->setMinimumWidth(std::max(360, form->minimumSizeHint().width() +
                                              scroll->verticalScrollBar()->sizeHint().width() +
                                              2 * scroll->frameWidth()));
    outer->addWidget(scroll);

    auto* right = new QVBoxLayout;
    m_preview = new CButtonPreview(this);
    // A large button scrolls here rather than shrinking.
    auto* previewScroll = new QScrollArea(this);
    m_previewScroll = previewScroll;
    previewScroll->setWidgetResizable(true);
    previewScroll->setFrameShape(QFrame::NoFrame);
    previewScroll->setWidget(m_preview);
    right->addWidget(previewScroll, 1);
    auto* commands = new QHBoxLayout;
    auto* rename = new QPushButton(tr("Name && Description..."), this);
    m_dark = new QCheckBox(tr("Dark page"), this);
    auto* support = new QPushButton(tr("Support Files..."), this);
    auto* sample = new QPushButton(tr("Sample Page"), this);
    rename->setAutoDefault(false);
    support->setAutoDefault(false);
    sample->setAutoDefault(false);
    commands->addWidget(rename);
    commands->addWidget(support);
    commands->addWidget(sample);
    commands->addStretch(1);
    commands->addWidget(m_dark);
    right->addLayout(commands);
    outer->addLayout(right, 1);

    connect(rename, &QPushButton::clicked, this, [this]() { PostCommand(kCmdRename); });
    connect(support, &QPushButton::clicked, this, [this]() { PostCommand(kCmdSupportFiles); });
    connect(sample, &QPushButton::clicked, this, [this]() { PostCommand(kCmdSamplePage); });
    // The dark page is the server's option 35; the shell toggles it.
    connect(m_dark, &QCheckBox::clicked, this, [this]() {
        m_dark->setChecked(!m_dark->isChecked());
        PostCommand(kCmdToggleDark);
    });

    // Each field is named, so that a run of edits of one field is one undo step.
    const auto changedIn = [this](QObject* field) { return [this, field]() { Collect(field->objectName()); }; };
    const std::pair<QWidget*, const char*> names[] = {{m_label, "label"},
                                                      {m_link, "link"},
                                                      {m_tooltip, "tooltip"},
                                                      {m_alt, "alt"},
                                                      {m_fontSize, "size"},
                                                      {m_radius, "radius"},
                                                      {m_border, "border"},
                                                      {m_width, "width"},
                                                      {m_height, "height"},
                                                      {m_padding, "padding"},
                                                      {m_bold, "bold"},
                                                      {m_italic, "italic"},
                                                      {m_fill, "fill"},
                                                      {m_shape, "shape"},
                                                      {m_target, "target"},
                                                      {m_form, "form"},
                                                      {m_font, "font"},
                                                      {m_borderColor, "borderColor"},
                                                      {m_maxWidth, "maxWidth"},
                                                      {m_focus, "focusColor"},
                                                      {m_buttonType, "buttonType"},
                                                      {m_buttonName, "buttonName"},
                                                      {m_buttonValue, "buttonValue"}};
    for (const auto& [widget, name] : names) widget->setObjectName(QLatin1String(name));
    for (QLineEdit* e : {m_label, m_link, m_tooltip, m_alt, m_buttonName, m_buttonValue})
        connect(e, &QLineEdit::textChanged, this, changedIn(e));
    for (QSpinBox* s : {m_fontSize, m_radius, m_border, m_width, m_height, m_padding, m_maxWidth})
        connect(s, &QSpinBox::valueChanged, this, changedIn(s));
    for (QCheckBox* c : {m_bold, m_italic}) connect(c, &QCheckBox::toggled, this, changedIn(c));
    for (QComboBox* c : {m_fill, m_shape, m_form, m_buttonType})
        connect(c, &QComboBox::currentIndexChanged, this, changedIn(c));
    connect(m_target, &QComboBox::currentTextChanged, this, changedIn(m_target));
    // Only a choice in the font box changes the family: the box shows a
    // substitute when the stored family is not installed here, and that must
    // not replace what the page asks for.
    connect(m_font, &QFontComboBox::currentFontChanged, this, [this](const QFont& font) {
        if (m_filling) return;
        m_style.fontFamily = font.family();
        Collect(QStringLiteral("font"));
    });
    connect(m_borderColor, &CColorButton::ColorChosen, this, changedIn(m_borderColor));
    connect(m_focus, &CColorButton::ColorChosen, this, changedIn(m_focus));
    for (int i = 0; i < 3; ++i) {
        m_text[i]->setObjectName(QStringLiteral("text%1").arg(i));
        m_fill1[i]->setObjectName(QStringLiteral("fill%1").arg(i));
        m_fill2[i]->setObjectName(QStringLiteral("fillBottom%1").arg(i));
        for (CColorButton* b : {m_text[i], m_fill1[i], m_fill2[i]})
            connect(b, &CColorButton::ColorChosen, this, changedIn(b));
    }
    connect(m_base, &CColorButton::ColorChosen, this, [this](const QColor& c) { DeriveFrom(c); });

    // Undo and redo are the editor's, whichever field has the focus: a line
    // edit's own undo would step back through its text alone.
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);

    auto* guard = new WheelOnlyWhenFocused(this);
    QList<QWidget*> wheeled;
    for (QWidget* w : form->findChildren<QAbstractSpinBox*>()) wheeled << w;
    for (QWidget* w : form->findChildren<QComboBox*>()) wheeled << w;
    for (QWidget* w : wheeled) {
        w->setFocusPolicy(Qt::StrongFocus);
        w->installEventFilter(guard);
    }

    Fill();
    m_history.Reset(m_style);
    SetDarkPreview(dark);
}

bool CButtonEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeyCombination combo = key->keyCombination();
        const bool undo = key->matches(QKeySequence::Undo);
        const bool redo = key->matches(QKeySequence::Redo) || combo == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z);
        if (undo || redo) {
            // Taken here before the window's Edit menu sees it, so the
            // same step is never undone twice.
            event->accept();
            if (event->type() == QEvent::KeyPress) undo ? Undo() : Redo();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CButtonEditor::Undo() {
    if (!m_history.CanUndo()) return;
    m_style = m_history.Undo(m_style);
    Fill();
    Q_EMIT StyleEdited(m_style);
}

void CButtonEditor::Redo() {
    if (!m_history.CanRedo()) return;
    m_style = m_history.Redo(m_style);
    Fill();
    Q_EMIT StyleEdited(m_style);
}

void CButtonEditor::DeriveFrom(const QColor& base) {
    if (!base.isValid()) return;
    ButtonStyle s = m_style;
    s.states = ButtonColors::Derive(base);
    s.borderColor = ButtonColors::DeriveBorder(base);
    m_style = s;
    Fill();
    Commit(s, QString());
}

QString CButtonEditor::ContrastText(ButtonState state) const {
    const double ratio = ButtonColors::StateContrast(m_style, state);
    const double required = ButtonChecks::RequiredTextContrast(m_style);
    const QString text = ButtonChecks::Ratio(ratio, required);
    if (ratio < required)
        return text + QStringLiteral(" \u26a0 ") +
               tr("below %1:1").arg(required == 3.0 ? QStringLiteral("3") : QStringLiteral("4.5"));
    return text;
}

void CButtonEditor::ShowContrast() {
    ShowChecks();
    for (int i = 0; i < 3; ++i) {
        const auto state = static_cast<ButtonState>(i);
        const bool low = ButtonColors::StateContrast(m_style, state) < ButtonChecks::RequiredTextContrast(m_style);
        m_contrast[i]->setText(ContrastText(state));
        m_contrast[i]->setStyleSheet(low ? QStringLiteral("color: #b00020; font-weight: bold;") : QString());
        m_contrast[i]->setToolTip(low ? tr("Text and fill of this state are too alike for many readers "
                                           "(WCAG AA asks for 4.5:1 at least).")
                                      : tr("Text and fill contrast meets WCAG AA (4.5:1)."));
    }
}

void CButtonEditor::ShowChecks() {
    m_checkResults = ButtonChecks::Run(m_style);
    auto* grid = static_cast<QGridLayout*>(m_checks->layout());
    while (QLayoutItem* item = grid->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (int i = 0; i < m_checkResults.size(); ++i) {
        const ButtonCheck& check = m_checkResults[i];
        const bool fail = check.level == ButtonCheck::Level::Fail;
        const bool advice = check.level == ButtonCheck::Level::Advice;
        // A word as well as a colour: the state is never told by colour alone.
        auto* mark = new QLabel(fail     ? tr("\u2717 Fails")
                                : advice ? tr("\u2139 Advice")
                                         : tr("\u2713 Passes"),
                                m_checks);
        mark->setStyleSheet(fail ? QStringLiteral("color: #b00020; font-weight: bold;") : QString());
        auto* what = new QLabel(check.Text(), m_checks);
        what->setTextFormat(Qt::PlainText);
        what->setWordWrap(true);
        grid->addWidget(mark, i, 0);
        grid->addWidget(what, i, 1);
        if (fail && check.fix) {
            auto* fix = new QPushButton(check.fixText, m_checks);
            fix->setObjectName(QStringLiteral("fix%1").arg(i));
            fix->setAutoDefault(false);
            connect(fix, &QPushButton::clicked, this, [this, i]() { ApplyFix(i); });
            grid->addWidget(fix, i, 2);
        }
    }
    // Shown now rather than on the next pass of the event loop, so that the
    // form's height below counts them.
    if (m_checks->isVisible()) {
        for (QWidget* w : m_checks->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) w->show();
    }
    // The label's length, where the author types it.
    const qsizetype length = m_style.label.size();
    m_labelWarning->setVisible(length > 40);
    m_labelWarning->setText(tr("\u26a0 %1 characters: a label over 40 characters is hard to take in at a glance. "
                               "It wraps within the width set under Shape.")
                                .arg(length));
    m_formNote->setText(FormNote(m_style));
    // Room for the longest note this form can have, so that typing an
    // address or taking it away moves nothing below.
    const int width = std::max(m_formNote->width(), 200);
    int tallest = 0;
    for (const bool address : {false, true}) {
        ButtonStyle probe = m_style;
        probe.link = address ? QStringLiteral("x") : QString();
        tallest = std::max(tallest, m_formNote->fontMetrics()
                                        .boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, FormNote(probe))
                                        .height());
    }
    m_formNote->setMinimumHeight(std::max(m_formNote->minimumHeight(), tallest));
    HoldPanelHeight();
}

QString CButtonEditor::FormNote(const ButtonStyle& s) {
    const bool address = !s.link.isEmpty();
    switch (s.form) {
    case OutputForm::Link:
        return address ? tr("Published as a link: the Tab key reaches it and Enter follows it.")
                       : tr("Without an address it is published as a <button> for the page's own script.");
    case OutputForm::Button:
        return address ? tr("A <button> goes nowhere by itself: it submits its form or runs the page's script. The "
                            "address is for the link and SVG forms; choose the link form for a button that opens it.")
                       : tr("Published as a <button> of the type below: Enter and Space press it.");
    case OutputForm::Svg: break;
    }
    const QString spacing = tr(
        "The SVG form draws its label inside the picture: it grows with the visitor's text size "
        "but cannot follow their text spacing (line, letter and word spacing); the HTML forms "
        "can.");
    if (address) return spacing;
    return tr("Without an address the SVG form is only a picture: nothing can press it. Give it an address, or "
              "publish it as an HTML <button> for the page's own script.") +
           u'\n' + spacing;
}

void CButtonEditor::HoldPanelHeight() {
    if (!m_panel || !m_panel->layout()) return;
    QLayout* layout = m_panel->layout();
    layout->activate();
    // Wrapped notes are as tall as the width makes them.
    const int needed = layout->hasHeightForWidth() ? layout->totalHeightForWidth(m_panel->width())
                                                   : layout->totalSizeHint().height();
    m_panel->setMinimumHeight(std::max(m_panel->minimumHeight(), needed));
}

void CButtonEditor::ApplyFix(int index) {
    if (index < 0 || index >= m_checkResults.size() || !m_checkResults[index].fix) return;
    const ButtonStyle fixed = *m_checkResults[index].fix;
    m_style = fixed;
    Fill();
    Commit(fixed, QString());
}

void CButtonEditor::PostCommand(int command) {
    if (parentWidget()) QCoreApplication::postEvent(parentWidget(), new ShellCommandEvent(command));
}

void CButtonEditor::SetStyle(const ButtonStyle& style) {
    m_style = style;
    m_history.Rebase(style);
    Fill();
}

void CButtonEditor::ResetStyle(const ButtonStyle& style) {
    m_style = style;
    m_history.Reset(style);
    Fill();
}

void CButtonEditor::SetDarkPreview(bool dark) {
    m_dark->setChecked(dark);
    m_preview->SetDark(dark);
}

QSize CButtonEditor::sizeHint() const {
    // A scroll area hints at no more than a few dozen lines of text, which
    // cut the preview's last column off in the first window.
    const QMargins margins = layout()->contentsMargins();
    const int gap = layout()->spacing();
    const int width = m_formScroll->minimumWidth() + gap + m_preview->sizeHint().width() + margins.left() +
                      margins.right() + 2 * m_previewScroll->frameWidth();
    const int height = std::max(m_preview->sizeHint().height() + 160, 640) + margins.top() + margins.bottom();
    return {width, height};
}

void CButtonEditor::FocusFirstField() {
    m_label->setFocus();
}

void CButtonEditor::Fill() {
    m_filling = true;
    const ButtonStyle& s = m_style;
    m_label->setText(s.label);
    m_font->setCurrentFont(QFont(s.fontFamily));
    // The box picks the local stand-in for a font that is not installed; it
    // names the font the page's CSS asks for, and says what stands in.
    if (m_font->isEditable()) m_font->setEditText(s.fontFamily);
    const QString drawn = ButtonOutput::ResolvedFamily(s);
    m_font->setToolTip(QString::compare(drawn, s.fontFamily, Qt::CaseInsensitive) == 0
                           ? QString()
                           : tr("%1 is not installed here: the preview draws it in %2, as a visitor's browser "
                                "without it would (the CSS names %3).")
                                 .arg(s.fontFamily, drawn, ButtonOutput::FontStack(s.fontFamily)));
    m_fontSize->setValue(s.fontSize);
    m_bold->setChecked(s.bold);
    m_italic->setChecked(s.italic);
    m_fill->setCurrentIndex(static_cast<int>(s.fill));
    m_shape->setCurrentIndex(static_cast<int>(s.shape));
    m_radius->setValue(s.cornerRadius);
    m_radius->setEnabled(s.shape == ButtonShape::Rounded);
    m_border->setValue(s.borderWidth);
    m_borderColor->SetColor(s.borderColor);
    m_width->setValue(s.width);
    m_height->setValue(s.height);
    m_padding->setValue(s.padding);
    m_link->setText(s.link);
    m_target->setCurrentText(s.target);
    m_tooltip->setText(s.tooltip);
    m_alt->setText(s.altText);
    m_form->setCurrentIndex(static_cast<int>(s.form));
    int type = 0;
    while (type < 2 && s.buttonType != QLatin1String(kButtonTypes[type])) ++type;
    m_buttonType->setCurrentIndex(s.buttonType == QLatin1String(kButtonTypes[type]) ? type : 0);
    m_buttonName->setText(s.buttonName);
    m_buttonValue->setText(s.buttonValue);
    for (QWidget* w : {static_cast<QWidget*>(m_buttonType), static_cast<QWidget*>(m_buttonName),
                       static_cast<QWidget*>(m_buttonValue)})
        w->setEnabled(s.form == OutputForm::Button);
    m_base->SetColor(s.states[0].fill);
    for (int i = 0; i < 3; ++i) {
        m_text[i]->SetColor(s.states[i].text);
        m_fill1[i]->SetColor(s.states[i].fill);
        m_fill2[i]->SetColor(s.states[i].fill2);
        m_fill2[i]->setEnabled(s.fill == FillKind::Gradient);
    }
    m_maxWidth->setValue(s.maxWidth);
    m_focus->SetColor(s.focusColor);
    m_preview->SetStyle(s);
    ShowContrast();
    m_filling = false;
}

void CButtonEditor::Collect(const QString& field) {
    if (m_filling) return;
    ButtonStyle s = m_style;
    s.label = m_label->text();
    s.fontSize = m_fontSize->value();
    s.bold = m_bold->isChecked();
    s.italic = m_italic->isChecked();
    s.fill = static_cast<FillKind>(m_fill->currentIndex());
    s.shape = static_cast<ButtonShape>(m_shape->currentIndex());
    s.cornerRadius = m_radius->value();
    s.borderWidth = m_border->value();
    s.borderColor = m_borderColor->Color();
    s.width = m_width->value();
    s.height = m_height->value();
    s.padding = m_padding->value();
    s.link = m_link->text().trimmed();
    s.target = m_target->currentText().trimmed();
    s.tooltip = m_tooltip->text();
    s.altText = m_alt->text();
    s.form = static_cast<OutputForm>(std::max(0, m_form->currentIndex()));
    s.buttonType = QLatin1String(kButtonTypes[std::clamp(m_buttonType->currentIndex(), 0, 2)]);
    s.buttonName = m_buttonName->text();
    s.buttonValue = m_buttonValue->text();
    for (QWidget* w : {static_cast<QWidget*>(m_buttonType), static_cast<QWidget*>(m_buttonName),
                       static_cast<QWidget*>(m_buttonValue)})
        w->setEnabled(s.form == OutputForm::Button);
    s.maxWidth = m_maxWidth->value();
    s.focusColor = m_focus->Color();
    for (int i = 0; i < 3; ++i) {
        s.states[i].text = m_text[i]->Color();
        s.states[i].fill = m_fill1[i]->Color();
        s.states[i].fill2 = m_fill2[i]->Color();
        m_fill2[i]->setEnabled(s.fill == FillKind::Gradient);
    }
    m_radius->setEnabled(s.shape == ButtonShape::Rounded);
    m_base->SetColor(s.states[0].fill);
    Commit(s, field);
}

void CButtonEditor::Commit(const ButtonStyle& s, const QString& field) {
    m_style = s;
    m_preview->SetStyle(s);
    ShowContrast();
    m_history.Record(s, field);
    Q_EMIT StyleEdited(s);
}
