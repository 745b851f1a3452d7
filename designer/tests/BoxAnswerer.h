#pragma once
// Answers the message boxes a step shows, and records their texts.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

class BoxAnswerer {
public:
    explicit BoxAnswerer(QMessageBox::StandardButton answer) : m_answer(answer) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this]() {
            // A box already answered stays the active modal widget until its
            // loop ends; a busy machine may tick again before that.
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box && box->isVisible()) {
                texts << box->text();
                titles << box->windowTitle();
                if (QAbstractButton* b = box->button(m_answer)) b->click();
                else box->reject();
            }
        });
        m_timer.start();
    }
    QStringList texts;
    QStringList titles;

private:
    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
};
