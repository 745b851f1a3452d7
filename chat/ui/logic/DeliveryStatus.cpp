#include "DeliveryStatus.h"

#include "Text.h"

#include <algorithm>

namespace lanyx::ui {

void DeliveryStatus::start(const std::vector<DeliveryReport>& sent, std::string_view ownName) {
    rows_.clear();
    for (const auto& r : sent)
        if (!r.recipient.empty() && !equalsNoCase(r.recipient, ownName)) rows_.push_back(r);
}

bool DeliveryStatus::update(const DeliveryReport& report) {
    // Reports in the clear carry no number: they are final when sent.
    if (report.id == 0) return false;
    bool mine = false;
    for (auto& r : rows_) {
        if (r.id == report.id && equalsNoCase(r.recipient, report.recipient)) {
            r.state = report.state;
            mine = true;
        }
    }
    return mine;
}

std::vector<std::string> DeliveryStatus::keyChanged() const {
    std::vector<std::string> names;
    for (const auto& r : rows_)
        if (r.state == Delivery::Withheld && r.withheld == Withheld::KeyChanged) names.push_back(r.recipient);
    return names;
}

bool DeliveryStatus::allWithheld() const {
    return !rows_.empty() && std::all_of(rows_.begin(), rows_.end(),
                                         [](const DeliveryReport& r) { return r.state == Delivery::Withheld; });
}

bool DeliveryStatus::settled() const {
    return std::none_of(rows_.begin(), rows_.end(), [](const DeliveryReport& r) { return r.state == Delivery::Waiting; });
}

std::string DeliveryStatus::rowText(const DeliveryReport& r) {
    std::string text = r.recipient + ": ";
    if (r.state == Delivery::Withheld) {
        switch (r.withheld) {
        case Withheld::KeyChanged:
            return text + "not sent: " + r.recipient + "'s key changed. Compare the safety number in " + r.recipient +
                   "'s information before anything goes to " + r.recipient + " again";
        case Withheld::CannotOpen: return text + "not sent: " + r.recipient + "'s program takes no sealed messages";
        case Withheld::Empty: return text + "not sent: nothing to send";
        default: return text + "not sent: not on the network";
        }
    }
    if (r.state == Delivery::Local) return text + "shown here only";
    if (!r.encrypted) return text + "in the clear, sent; this recipient's program does not confirm";
    text += "\xF0\x9F\x94\x92 encrypted, ";  // a lock
    switch (r.state) {
    case Delivery::Delivered: return text + "delivered";
    case Delivery::NotConfirmed: return text + "not confirmed";
    default: return text + "waiting for confirmation";
    }
}

std::string DeliveryStatus::text() const {
    std::string out;
    for (const auto& r : rows_) {
        if (!out.empty()) out += '\n';
        out += rowText(r);
    }
    return out;
}

} // namespace lanyx::ui
