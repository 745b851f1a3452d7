#include "CoolMenu.h"

#include "MenuCaption.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionMenuItem>
#include <QWidget>

namespace lanyx::ui {

namespace {
constexpr int kIcon = 16;
constexpr int kGutter = kIcon + 10;
const char* kHelpProperty = "lanyxMenuHelp";
}  // namespace

void ApplyMenuCaption(QAction* action, const QString& caption, bool safeMode) {
    const auto c = ParseMenuCaption(caption.toStdString());
    if (c.separator) {
        action->setSeparator(true);
        action->setText(safeMode ? QString() : QString::fromStdString(c.text));
        action->setProperty(kHelpProperty, QString());
        return;
    }
    action->setText(QString::fromStdString(c.text));
    action->setProperty(kHelpProperty, safeMode ? QString() : QString::fromStdString(c.help));
    if (c.mark != MenuCaption::Mark::None) action->setCheckable(true);
}

QString MenuHelp(const QAction* action) {
    return action ? action->property(kHelpProperty).toString() : QString();
}

CoolMenuStyle::CoolMenuStyle() : QProxyStyle(QStringLiteral("Fusion")) {
}

int CoolMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    if (metric == PM_SmallIconSize && qobject_cast<const QMenu*>(widget)) return kIcon;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize CoolMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                      const QWidget* widget) const {
    const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type != CT_MenuItem || !mi) return QProxyStyle::sizeFromContents(type, option, size, widget);
    if (mi->menuItemType == QStyleOptionMenuItem::Separator) {
        if (mi->text.isEmpty()) return {size.width(), 7};
        QFont f = mi->font;
        f.setPointSizeF(qMax(6.0, f.pointSizeF() * 0.8));
        f.setBold(true);
        const QFontMetrics fm(f);
        return {fm.horizontalAdvance(mi->text) + kGutter + 16, fm.height() + 6};
    }
    const QFontMetrics fm(mi->font);
    QString left = mi->text, right;
    const auto tab = left.indexOf(QLatin1Char('\t'));
    if (tab >= 0) {
        right = left.mid(tab + 1);
        left = left.left(tab);
    }
    int w = kGutter + 6 + fm.horizontalAdvance(QString(left).remove(QLatin1Char('&'))) + 24;
    if (!right.isEmpty()) w += fm.horizontalAdvance(right) + 24;
    return {qMax(w, size.width()), qMax(kIcon + 6, fm.height() + 8)};
}

void CoolMenuStyle::drawCheckBox(QPainter* p, const QRect& r, bool complex) {
    p->save();
    const QRect box = r.adjusted(1, 1, -2, -2);
    p->fillRect(box, Qt::white);
    if (complex) {
        // Sunken: shadow above and left, light below and right.
        p->setPen(QColor(128, 128, 128));
        p->drawLine(box.topLeft(), box.topRight());
        p->drawLine(box.topLeft(), box.bottomLeft());
        p->setPen(QColor(64, 64, 64));
        p->drawLine(box.topLeft() + QPoint(1, 1), box.topRight() + QPoint(-1, 1));
        p->drawLine(box.topLeft() + QPoint(1, 1), box.bottomLeft() + QPoint(1, -1));
        p->setPen(QColor(255, 255, 255));
        p->drawLine(box.bottomLeft(), box.bottomRight());
        p->drawLine(box.topRight(), box.bottomRight());
        p->setPen(QColor(212, 208, 200));
        p->drawLine(box.bottomLeft() + QPoint(1, -1), box.bottomRight() + QPoint(-1, -1));
        p->drawLine(box.topRight() + QPoint(-1, 1), box.bottomRight() + QPoint(-1, -1));
    } else {
        p->setPen(Qt::black);
        p->drawRect(box);
    }
    p->setRenderHint(QPainter::Antialiasing);
    QPen pen(Qt::black, qMax(1.5, box.width() / 7.0));
    p->setPen(pen);
    const QRectF in = QRectF(box).adjusted(3, 3, -3, -3);
    QPainterPath tick;
    tick.moveTo(in.left(), in.center().y());
    tick.lineTo(in.left() + in.width() * 0.4, in.bottom());
    tick.lineTo(in.right(), in.top());
    p->drawPath(tick);
    p->restore();
}

void CoolMenuStyle::drawRadio(QPainter* p, const QRect& r, bool complex) {
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    const QRectF c = QRectF(r).adjusted(1.5, 1.5, -2.5, -2.5);
    p->setBrush(Qt::white);
    if (complex) {
        p->setPen(QPen(QColor(128, 128, 128), 1.5));
        p->drawEllipse(c);
        p->setPen(QPen(QColor(255, 255, 255), 1.0));
        p->drawArc(c, -45 * 16, -180 * 16 + 0);
        p->setPen(QPen(QColor(64, 64, 64), 1.0));
        p->drawArc(c.adjusted(1, 1, -1, -1), 45 * 16, 180 * 16);
    } else {
        p->setPen(Qt::black);
        p->drawEllipse(c);
    }
    p->setPen(Qt::NoPen);
    p->setBrush(Qt::black);
    const double d = c.width() * 0.42;
    p->drawEllipse(QRectF(c.center().x() - d / 2, c.center().y() - d / 2, d, d));
    p->restore();
}

void CoolMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* p,
                                const QWidget* widget) const {
    const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element != CE_MenuItem || !mi) {
        QProxyStyle::drawControl(element, option, p, widget);
        return;
    }
    const QPalette& pal = mi->palette;
    const QRect r = mi->rect;
    p->save();
    p->fillRect(r, pal.color(QPalette::Window));

    if (mi->menuItemType == QStyleOptionMenuItem::Separator) {
        const int y = r.center().y();
        if (mi->text.isEmpty()) {
            p->setPen(pal.color(QPalette::Mid));
            p->drawLine(r.left() + 2, y, r.right() - 2, y);
            p->setPen(pal.color(QPalette::Light));
            p->drawLine(r.left() + 2, y + 1, r.right() - 2, y + 1);
        } else {
            // A titled separator: a shaded band with its title in a small font.
            QFont f = mi->font;
            f.setPointSizeF(qMax(6.0, f.pointSizeF() * 0.8));
            f.setBold(true);
            p->fillRect(r.adjusted(1, 1, -1, -1), pal.color(QPalette::Midlight));
            p->setFont(f);
            p->setPen(pal.color(QPalette::Dark));
            p->drawText(r.adjusted(6, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, mi->text);
        }
        p->restore();
        return;
    }

    const bool enabled = mi->state & State_Enabled;
    const bool selected = enabled && (mi->state & State_Selected);
    const QColor select = SelectColor.isValid() ? SelectColor : pal.color(QPalette::Highlight);
    if (selected) p->fillRect(FullSelect ? r : r.adjusted(kGutter, 0, 0, 0), select);

    const QRect iconRect(r.left() + 4, r.top() + (r.height() - kIcon) / 2, kIcon, kIcon);
    if (mi->checkType != QStyleOptionMenuItem::NotCheckable && mi->checked) {
        if (mi->checkType == QStyleOptionMenuItem::Exclusive) drawRadio(p, iconRect, ComplexChecks);
        else drawCheckBox(p, iconRect, ComplexChecks);
    } else if (!mi->icon.isNull()) {
        mi->icon.paint(p, iconRect, Qt::AlignCenter, enabled ? QIcon::Normal : QIcon::Disabled);
    }

    QString left = mi->text, right;
    const auto tab = left.indexOf(QLatin1Char('\t'));
    if (tab >= 0) {
        right = left.mid(tab + 1);
        left = left.left(tab);
    }
    const QRect textRect = r.adjusted(kGutter + 6, 0, -22, 0);
    const int flags = Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
    p->setFont(mi->font);
    auto drawTexts = [&](const QRect& tr, const QColor& c) {
        p->setPen(c);
        p->drawText(tr, flags | Qt::AlignLeft, left);
        if (!right.isEmpty()) p->drawText(tr, flags | Qt::AlignRight, right);
    };
    if (!enabled && ColorEmbossed) {
        drawTexts(textRect.translated(1, 1), pal.color(QPalette::Light));
        drawTexts(textRect, pal.color(QPalette::Mid));
    } else {
        const QColor fore = ForeColor.isValid() ? ForeColor : pal.color(QPalette::WindowText);
        drawTexts(textRect,
                  selected ? pal.color(QPalette::HighlightedText) : (enabled ? fore : pal.color(QPalette::Mid)));
    }
    if (mi->menuItemType == QStyleOptionMenuItem::SubMenu) {
        QStyleOption arrow = *mi;
        arrow.rect = QRect(r.right() - 16, r.top() + (r.height() - 9) / 2, 9, 9);
        arrow.palette.setColor(QPalette::ButtonText,
                               selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::WindowText));
        proxy()->drawPrimitive(PE_IndicatorArrowRight, &arrow, p, widget);
    }
    p->restore();
}

CoolMenu::CoolMenu(QWidget* window, const QList<QMenu*>& menus, Images images, HelpFn help)
    : QObject(window), window_(window), images_(std::move(images)), help_(std::move(help)), style_(new CoolMenuStyle) {
    style_->setParent(this);
    for (auto* m : menus) installOn(m);
    refreshIcons();
}

CoolMenu::~CoolMenu() = default;

void CoolMenu::installOn(QMenu* menu) {
    if (!menu) return;
    menus_.append(menu);
    menu->setStyle(style_);
    connect(menu, &QMenu::hovered, this, [this](QAction* a) {
        if (help_ && !a->isSeparator()) help_(a->text(), MenuHelp(a));
    });
    connect(menu, &QMenu::aboutToHide, this, [this] {
        if (help_) help_(QString(), QString());
    });
    for (auto* a : menu->actions())
        if (a->menu()) installOn(a->menu());
}

void CoolMenu::applyIcons(QMenu* menu) {
    for (auto* a : menu->actions()) {
        if (a->isSeparator()) continue;
        QIcon icon;
        for (const auto& [tag, image] : images_)
            if (!tag.isEmpty() && tag == a->text()) {
                icon = image;
                break;
            }
        a->setIcon(icon);
        if (a->menu()) applyIcons(a->menu());
    }
}

void CoolMenu::setImages(Images images) {
    images_ = std::move(images);
    refreshIcons();
}

void CoolMenu::refreshIcons() {
    for (const auto& m : menus_)
        if (m) applyIcons(m);
}

void CoolMenu::uninstall() {
    for (const auto& m : menus_) {
        if (!m) continue;
        m->setStyle(nullptr);
        disconnect(m, nullptr, this, nullptr);
    }
    menus_.clear();
}

}  // namespace lanyx::ui
