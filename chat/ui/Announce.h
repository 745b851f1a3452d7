#pragma once
// What a screen reader is told of its own accord: a popup is an alert
// (its role, and an alert event when it shows or takes one more), and a
// line that arrives in a chat window the user is not in raises an alert
// event on that window, which readers announce as they do a notification.
#include <QList>
#include <QObject>

class QAbstractButton;
class QWidget;

namespace lanyx::ui {

// Every alert told, for whoever else listens (a log, a test).
class Announcements : public QObject {
    Q_OBJECT
public:
    static Announcements& instance();
Q_SIGNALS:
    void alerted(QWidget* widget);
};

// Makes the accessible object of every popup window an alert (once).
void UsePopupRole();
// Buttons that choose a page (one checked at a time) read as the page tabs
// they are, in `row`'s page tab list: not as check boxes. For buttons
// already in `row`.
void ReadAsPageTabs(QWidget* row);
// Checkable buttons of which one is chosen (a corner, say) read as radio
// buttons.
void ReadAsRadioButtons(const QList<QAbstractButton*>& buttons);
// Tells assistive technology that `widget` needs attention now.
void AnnounceAlert(QWidget* widget);

}  // namespace lanyx::ui
