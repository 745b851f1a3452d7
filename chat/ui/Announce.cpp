#include "Announce.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace lanyx::ui {

namespace {

QAccessibleInterface* popupAccessible(const QString& key, QObject* object) {
    if (key == QLatin1String("lanyx::ui::frmPop") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::AlertMessage);
    return nullptr;
}

}  // namespace

void UsePopupRole() {
    static const bool installed = [] {
        QAccessible::installFactory(popupAccessible);
        return true;
    }();
    (void)installed;
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
