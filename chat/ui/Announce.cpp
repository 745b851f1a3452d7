#include "Announce.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace lanyx::ui {

namespace {

constexpr const char* kRoleProperty = "lanyxAccessibleRole";

// A button that is one choice of several: a page's button (selected while
// its page shows) or a radio button (checked); pressed to choose it.
class ChoiceAccessible : public QAccessibleWidget {
public:
    ChoiceAccessible(QAbstractButton* button, QAccessible::Role role) : QAccessibleWidget(button, role) {
        addControllingSignal(QStringLiteral("toggled(bool)"));
    }
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(object()); }
    QString text(QAccessible::Text t) const override {
        QString s = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && s.isEmpty()) s = button()->text().remove(QLatin1Char('&'));
        return s;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (role() == QAccessible::PageTab) {
            s.selectable = true;
            s.selected = button()->isChecked();
        } else {
            s.checkable = true;
            s.checked = button()->isChecked();
        }
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction()) button()->click();
    }
};

QAccessibleInterface* ownAccessible(const QString& key, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (key == QLatin1String("lanyx::ui::frmPop")) return new QAccessibleWidget(widget, QAccessible::AlertMessage);
    const QVariant role = object->property(kRoleProperty);
    if (!role.isValid()) return nullptr;
    const auto r = static_cast<QAccessible::Role>(role.toInt());
    if (r == QAccessible::PageTab || r == QAccessible::RadioButton)
        if (auto* button = qobject_cast<QAbstractButton*>(object)) return new ChoiceAccessible(button, r);
    if (r == QAccessible::PageTabList) return new QAccessibleWidget(widget, QAccessible::PageTabList);
    return nullptr;
}

void useOwnRoles() {
    static const bool installed = [] {
        QAccessible::installFactory(ownAccessible);
        return true;
    }();
    (void)installed;
}

}  // namespace

void UsePopupRole() {
    useOwnRoles();
}

void ReadAsPageTabs(QWidget* row) {
    useOwnRoles();
    row->setProperty(kRoleProperty, static_cast<int>(QAccessible::PageTabList));
    for (auto* button : row->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly))
        button->setProperty(kRoleProperty, static_cast<int>(QAccessible::PageTab));
}

void ReadAsRadioButtons(const QList<QAbstractButton*>& buttons) {
    useOwnRoles();
    for (auto* button : buttons) button->setProperty(kRoleProperty, static_cast<int>(QAccessible::RadioButton));
}

Announcements& Announcements::instance() {
    static Announcements told;
    return told;
}

void AnnounceAlert(QWidget* widget) {
    if (!widget) return;
    QAccessibleEvent event(widget, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
    Q_EMIT Announcements::instance().alerted(widget);
}

}  // namespace lanyx::ui
