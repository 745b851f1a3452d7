#include "SaveRules.h"

#include "Text.h"

namespace lanyx::ui {

std::string TypeExtension(const std::string& typeItem) {
    if (typeItem.size() < 5) return {};
    return typeItem.substr(typeItem.size() - 5, 4);
}

std::string NameAfterTypeChange(const std::string& name, const std::string& oldPattern, const std::string& newExt) {
    auto last4 = [](const std::string& s) { return s.size() >= 4 ? toLower(s.substr(s.size() - 4)) : toLower(s); };
    if (name.size() >= 4 && oldPattern.size() >= 4 && last4(name) == last4(oldPattern))
        return name.substr(0, name.size() - 4) + newExt;
    return name + newExt;
}

SaveDecision DecideSave(const std::string& name, const std::string& ext, const std::filesystem::path& folder,
                        const std::function<bool(const std::filesystem::path&)>& exists) {
    if (name.empty()) return {};
    if (startsWith(name, "*.")) return {SaveDecision::ShowPattern, name};
    const std::filesystem::path candidate = folder / name;
    if (exists(candidate)) return {SaveDecision::Locate, candidate.string()};
    std::string chosen = name;
    if (chosen.size() < ext.size() || chosen.compare(chosen.size() - ext.size(), ext.size(), ext) != 0) chosen += ext;
    // The extension may make it the name of a file that is there: that one
    // is not overwritten either.
    if (exists(folder / chosen)) return {SaveDecision::Locate, (folder / chosen).string()};
    return {SaveDecision::Accept, (folder / chosen).string()};
}

}  // namespace lanyx::ui
