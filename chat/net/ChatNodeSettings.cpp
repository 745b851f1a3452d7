// ChatNode's settings, language and names: what start-up and the Options
// read and write through the profile, and the user's own name.
#include "ChatNode.h"

namespace lanyx {

void ChatNode::loadStatusNames() {
    for (int i = 0; i < 3; ++i) statusNames_[i] = LangText(8203 + i);
}

void ChatNode::ReloadLanguage() {
    lang_.load(config_.langFile, profile_.data().user.Language);
    loadStatusNames();
    users_.renameStatuses(statusNames_);
    views_.setWords(LangText(1201));
    views_.updateCaption();
}

Result<void> ChatNode::NameProblem(const std::string& name) const {
    if (users_.IsNameTaken(name, state_.MyName)) return failure(Reason::NameTaken);
    if (!lanyx::NameAllowed(name)) return failure(Reason::NameNotAllowed);
    return {};
}

void ChatNode::readSettings() {
    const auto read = profile_.read(lang_, log_);
    // The start-up notice told it already.
    views_.fullToldAtStart(read.blockedLeftOut > 0, read.groupsLeftOut > 0);
    settingsNotice_ = read.notice;
    firstStart_ = read.firstStart;
    users_.setBlocked(profile_.data().blocked);
    users_.setGroups(profile_.data().groups);
    loadStatusNames();
    views_.setWords(LangText(1201));
    views_.updateCaption();
    EnableKeys();
}

void ChatNode::rejoinUnder(const std::string& name) {
    // A rename by the user (not a name chosen while probing): other copies
    // learn it from our announcements and carry our conversations over, and
    // our own shared chats name us by the new name.
    const std::string before = state_.MyName;
    const bool renamed = !state_.ProbeMode && !before.empty() && before.front() != '_' && before != name;
    if (renamed && secure_ && previousNames_.noteRename(before, name, wallMs())) {
        std::string error;
        if (!previousNames_.save(config_.dataDir, error))
            log_.WriteLog(std::string("The names before a rename could not be kept: ") + error);
        secure_->setPreviousNames(previousNames_.names(wallMs()));
    }
    CloseNetwork();
    users_.ClearlvUsers();
    state_.MyName = name;
    if (renamed) capabilities_.renamed(before, name);
    profile_.nameChosen(name);
    if (secure_) secure_->setUserName(name);
    OpenNetwork();
    saveSettings();
}

void ChatNode::saveSettings() {
    profile_.save(users_.blocked(), users_.groups(), state_);
}

}  // namespace lanyx
