#pragma once
// One QApplication for a whole test program, made on first use.
#include <QApplication>

namespace lanyx::test {

inline QApplication* app() {
    static int argc = 1;
    static char arg0[] = "lanyx_ui_tests";
    static char* argv[] = {arg0, nullptr};
    static QApplication* a = QApplication::instance() ? static_cast<QApplication*>(QApplication::instance())
                                                      : new QApplication(argc, argv);
    return a;
}

}  // namespace lanyx::test

#include <ostream>
#include <QString>
#include <QStringList>

// Failures show texts as text.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '{' << l.join(QStringLiteral("\", \"")).prepend('"').append('"').toStdString() << '}';
}
