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
            r.withheld = report.withheld;
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
    return std::none_of(rows_.begin(), rows_.end(),
                        [](const DeliveryReport& r) { return r.state == Delivery::Waiting; });
}

std::vector<std::string> DeliveryStatus::queued() const {
    std::vector<std::string> names;
    for (const auto& r : rows_)
        if (r.state == Delivery::Queued) names.push_back(r.recipient);
    return names;
}

bool DeliveryStatus::warns() const {
    return std::any_of(rows_.begin(), rows_.end(), [](const DeliveryReport& r) {
        return (r.encrypted && r.state == Delivery::NotConfirmed) || r.state == Delivery::Withheld;
    });
}

}  // namespace lanyx::ui
