#include "PictureService.h"

#include "Text.h"

#include <algorithm>

namespace lanyx::pictures {

namespace {
constexpr std::int64_t kMinuteMs = 60 * 1000;
}

PictureService::PictureService(ChatNode& node) : node_(node) {
    node_.registerCapability(*this);
}

PictureService::~PictureService() {
    node_.unregisterCapability(*this);
}

std::optional<DeliveryReport> PictureService::announce(const std::string& to, const Announcement& announcement) {
    return node_.SendSealed(kWord, to, Encode(announcement));
}

void PictureService::expire() {
    const auto now = node_.WallMs();
    std::erase_if(expected_, [now](const Expected& e) { return e.untilMs < now; });
}

const Expected* PictureService::expected(const std::string& sender, const std::string& fileName, std::uint64_t size) {
    expire();
    const auto it = std::find_if(expected_.begin(), expected_.end(), [&](const Expected& e) {
        return equalsNoCase(e.sender, sender) && FileNameOf(e.announcement.line, e.announcement.type) == fileName &&
               e.announcement.size == size;
    });
    return it == expected_.end() ? nullptr : &*it;
}

std::optional<Expected> PictureService::take(const std::string& sender, const std::string& fileName) {
    const auto it = std::find_if(expected_.begin(), expected_.end(), [&](const Expected& e) {
        return equalsNoCase(e.sender, sender) && FileNameOf(e.announcement.line, e.announcement.type) == fileName;
    });
    if (it == expected_.end()) return std::nullopt;
    Expected e = std::move(*it);
    expected_.erase(it);
    return e;
}

bool PictureService::isMember(const std::string& chat, const std::string& name) const {
    if (chat.empty()) return true;  // a private conversation: the sender is its member
    if (!members_) return false;
    const auto members = members_(chat.substr(1));
    const bool sender = std::any_of(members.begin(), members.end(),
                                    [&](const auto& m) { return equalsNoCase(m, name); });
    const bool us = std::any_of(members.begin(), members.end(),
                                [&](const auto& m) { return equalsNoCase(m, node_.state().MyName); });
    return sender && us;
}

bool PictureService::withinPace(const std::string& sender, std::uint64_t bytes) {
    const auto now = node_.WallMs();
    // Senders with nothing this minute are forgotten.
    for (auto it = recent_.begin(); it != recent_.end();) {
        auto& times = it->second;
        while (!times.empty() && now - times.front().first >= kMinuteMs) times.pop_front();
        it = times.empty() ? recent_.erase(it) : std::next(it);
    }
    auto& times = recent_[toLower(sender)];
    std::uint64_t sum = bytes;
    for (const auto& t : times) sum += t.second;
    if (times.size() >= kPerMinute || sum > kBytesPerMinute) {
        if (times.empty()) recent_.erase(toLower(sender));
        return false;
    }
    times.emplace_back(now, bytes);
    return true;
}

bool PictureService::message(const std::string& sender, const std::string& body, IpAddress) {
    const auto refuse = [this](Refusal why) {
        lastRefusal_ = why;
        return true;  // taken: the same again would be refused again
    };
    lastRefusal_ = Refusal::None;
    const auto a = Decode(body);
    if (!a) return refuse(Refusal::Unreadable);
    if (a->size > kMaxBytes) return refuse(Refusal::TooLarge);
    if (!isMember(a->chat, sender)) return refuse(Refusal::NotMember);
    if (!withinPace(sender, a->size)) return refuse(Refusal::TooFast);
    expire();
    // A repeat of one still waited for changes nothing.
    if (std::any_of(expected_.begin(), expected_.end(), [&](const Expected& e) {
            return equalsNoCase(e.sender, sender) && e.announcement.line == a->line;
        }))
        return true;
    if (expected_.size() >= kMaxExpected) expected_.pop_front();
    expected_.push_back({sender, *a, node_.WallMs() + kWaitMs});
    return true;
}

void PictureService::delivery(const DeliveryReport& report) {
    if (announced) announced(report);
}

void PictureService::renamed(const std::string& from, const std::string& to) {
    for (auto& e : expected_)
        if (equalsNoCase(e.sender, from)) e.sender = to;
}

}  // namespace lanyx::pictures
