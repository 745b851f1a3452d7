#pragma once
// What became of the last private message a window sent, per recipient:
// encrypted or in the clear, then delivered or not confirmed. No widgets:
// the compose and chat windows show rows() in words and icons.
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
    // Recipients it waits for here (not on the network when sent).
    std::vector<std::string> queued() const;
    // Nothing went to anybody.
    bool allWithheld() const;
    // One per recipient, in the order sent.
    const std::vector<DeliveryReport>& rows() const { return rows_; }
    // A recipient did not confirm, or nothing went to a recipient.
    bool warns() const;

private:
    std::vector<DeliveryReport> rows_;
};

}  // namespace lanyx::ui
