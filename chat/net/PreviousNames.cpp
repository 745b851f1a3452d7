#include "PreviousNames.h"

#include "DurableFile.h"
#include "Text.h"

#include <algorithm>
#include <charconv>
#include <fstream>

namespace lanyx {

namespace {
constexpr std::string_view kHeader = "Lanyx previous names 1";
}

bool PreviousNames::noteRename(const std::string& from, const std::string& to, std::int64_t nowMs) {
    if (!IsValidUserName(from) || equalsNoCase(from, to)) return false;
    std::erase_if(list_, [&](const PreviousName& p) {
        return equalsNoCase(p.name, from) || equalsNoCase(p.name, to) || p.untilMs <= nowMs;
    });
    list_.insert(list_.begin(), {from, nowMs + kKeepMs});
    if (list_.size() > kMax) list_.resize(kMax);
    return true;
}

std::vector<std::string> PreviousNames::names(std::int64_t nowMs) const {
    std::vector<std::string> out;
    for (const auto& p : list_)
        if (p.untilMs > nowMs) out.push_back(p.name);
    return out;
}

std::string PreviousNames::toText() const {
    std::string out(kHeader);
    out += '\n';
    for (const auto& p : list_) out += p.name + "\t" + std::to_string(p.untilMs) + "\n";
    return out;
}

PreviousNames PreviousNames::fromText(std::string_view text) {
    PreviousNames out;
    if (text.substr(0, kHeader.size()) != kHeader) return out;
    text.remove_prefix(kHeader.size());
    while (!text.empty() && out.list_.size() < kMax) {
        const auto nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const auto tab = line.find('\t');
        if (tab == std::string_view::npos) continue;
        const std::string name(line.substr(0, tab));
        const auto number = line.substr(tab + 1);
        std::int64_t until = 0;
        const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), until);
        if (ec != std::errc{} || end != number.data() + number.size() || until <= 0 || !IsValidUserName(name) ||
            std::any_of(out.list_.begin(), out.list_.end(),
                        [&](const PreviousName& p) { return equalsNoCase(p.name, name); }))
            continue;
        out.list_.push_back({name, until});
    }
    return out;
}

PreviousNames PreviousNames::load(const std::filesystem::path& dataDir) {
    std::ifstream in(dataDir / kFileName, std::ios::binary);
    if (!in) return {};
    std::string text(4096, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return fromText(text);
}

bool PreviousNames::save(const std::filesystem::path& dataDir, std::string& error) const {
    return platform::replaceFile(dataDir / kFileName, toText(), error);
}

}  // namespace lanyx
