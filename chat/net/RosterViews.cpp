#include "RosterViews.h"

#include <utility>

namespace lanyx {

RosterViews::RosterViews(UserList& users, MessageSink& sink, Hooks hooks)
    : users_(users), sink_(sink), hooks_(std::move(hooks)) {
    users_.addObserver(this);
}

RosterViews::~RosterViews() {
    users_.removeObserver(this);
}

void RosterViews::setWords(std::string words) {
    words_ = std::move(words);
}

void RosterViews::updateCaption() {
    auto text = caption();
    if (text == caption_) return;
    caption_ = std::move(text);
    sink_.StatusCaptionChanged(caption_);
}

void RosterViews::request(bool caption, bool chats) {
    captionDirty_ = captionDirty_ || caption;
    chatsDirty_ = chatsDirty_ || chats;
    if (!hooks_.busy()) flush();
}

void RosterViews::flush() {
    users_.endBatch();
    const bool caption = captionDirty_;
    const bool chats = chatsDirty_;
    captionDirty_ = chatsDirty_ = false;
    if (caption) updateCaption();
    if (chats) sink_.RefreshChatUserLists();
}

void RosterViews::rowsReset() {
    // An emptied roster: what was heard of everybody is to be heard again.
    if (users_.userCount() == 0) hooks_.emptied();
    request(true, true);
}

void RosterViews::listFull(bool blockedList, std::size_t leftOut) {
    const std::size_t cap = blockedList ? kMaxBlockedNames : kMaxGroups;
    hooks_.log("List full", std::string(blockedList ? "Blocked list" : "Groups") + " full (" + std::to_string(cap) +
                                "): " + std::to_string(leftOut) + " left out");
    if (std::exchange(blockedList ? blockedFullTold_ : groupsFullTold_, true)) return;
    sink_.ListFull(blockedList, leftOut, cap);
}

}  // namespace lanyx
