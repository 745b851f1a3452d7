#pragma once
// The Network page of the Options window: the extra destinations every
// datagram also goes to (other subnets), one a line, each checked as it is
// typed: what cannot stand in the list is named, a name that does not
// resolve is shown as such, and the interfaces sent through are listed.
#include "Networks.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QTimer;

namespace lanyx::ui {

class NetworkPage : public QWidget {
    Q_OBJECT
public:
    // Looks a name up and calls back with its IPv4 addresses (none: it
    // does not resolve). Tests plug in their own.
    using Resolver = std::function<void(const QString& name, std::function<void(QStringList addresses)> done)>;
    explicit NetworkPage(QWidget* parent = nullptr);

    void setEntries(const std::vector<std::string>& entries);
    // The entries that can stand in the list, in order, without repeats.
    std::vector<std::string> entries() const;
    // The lines that cannot be saved, each with the reason.
    QStringList problems() const;
    void setResolver(Resolver r) { resolver_ = std::move(r); }
    // Checks the lines now rather than after the typing pause.
    void checkNow();

    QPlainTextEdit* editor() const { return txt_; }
    QLabel* checkLabel() const { return check_; }
    QLabel* interfacesLabel() const { return interfaces_; }

    Q_INVOKABLE void SetLan();

protected:
    void changeEvent(QEvent* event) override;

private:
    void showCheck();
    QLabel* intro_ = nullptr;
    std::vector<net::LocalNetwork> networks_;
    QPlainTextEdit* txt_ = nullptr;
    QLabel* check_ = nullptr;
    QLabel* interfaces_ = nullptr;
    QTimer* pause_ = nullptr;
    Resolver resolver_;
    // Names looked up: their addresses, empty when they do not resolve;
    // missing while the answer is awaited.
    std::map<QString, QStringList> answers_;
    std::map<QString, bool> asked_;
};

}  // namespace lanyx::ui
