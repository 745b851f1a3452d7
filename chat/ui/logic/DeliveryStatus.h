#pragma once
// What became of the last private message a window sent, per recipient:
// encrypted (a lock) or in the clear, then delivered or not confirmed.
// No widgets: the compose and chat windows show text().
#include "SecureLink.h"

#include <string>
#include <string_view>
#include <vector>

namespace lanyx::ui {

class DeliveryStatus {
public:
    // A new message went out: the reports SendPrivate returned, one per
    // recipient. The own name (a chat window's own copy) is left out.
    void start(const std::vector<DeliveryReport>& sent, std::string_view ownName);
    // A later report; false when it is not about this message.
    bool update(const DeliveryReport& report);
    bool empty() const { return rows_.empty(); }
    // Nothing is waiting for a confirmation any more.
    bool settled() const;
    // Recipients nothing went to because their key changed: the user looks first.
    std::vector<std::string> keyChanged() const;
    // Nothing went to anybody.
    bool allWithheld() const;
    // One line per recipient, "bob: 🔒 encrypted, delivered".
    std::string text() const;
    static std::string rowText(const DeliveryReport& report);

private:
    std::vector<DeliveryReport> rows_;
};

} // namespace lanyx::ui
