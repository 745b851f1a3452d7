#include "CliVerbs.h"

#include "LineHeader.h"
#include "Text.h"
#include "Wire.h"

#include <algorithm>
#include <ostream>

namespace lanyx::cli {

namespace {

std::string reOf(const verbs::LineRef& line) {
    return "re=" + lineheader::IdText(line.id);
}

}  // namespace

void VerbEvents::reacted(const verbs::LineRef& line, const std::string& who, const std::string& emoji, bool added) {
    if (equalsNoCase(who, node_.state().MyName)) return;
    printer_.event(added ? "reaction" : "reaction-removed", who, emoji, {reOf(line)});
}

void VerbEvents::edited(const verbs::LineRef& line) {
    if (line.own) return;
    printer_.event("edited", line.author, line.text, {reOf(line)});
}

void VerbEvents::deleted(const verbs::LineRef& line) {
    if (line.own) return;
    printer_.event("deleted", line.author, reOf(line));
}

bool IsVerbCommand(const CliOptions& o) {
    return o.command == "reply" || o.command == "react" || o.command == "edit" || o.command == "delete";
}

int RunVerb(ChatNode& node, verbs::LineVerbs& verbs, EventPrinter& printer, const CliOptions& o,
            const std::function<void(const std::function<bool()>&)>& waitFor, std::ostream& err) {
    const auto* line = verbs.line(o.lineId);
    if (!line) {
        err << "lanyx-cli: no line " << lineheader::IdText(o.lineId)
            << " in this data folder's conversations (listen shows a line's id after id=)" << std::endl;
        return 5;
    }
    const auto people = verbs.peopleOf(*line);
    const auto reached = [&] {
        return std::all_of(people.begin(), people.end(),
                           [&](const std::string& p) { return node.CanTake(p, verbs::kWord) == Reach::Yes; });
    };
    waitFor(reached);
    if (o.command == "reply") {
        // A chat line like any other, to the line's conversation.
        const std::string text = verbs::ReplyText(line->text, o.text);
        const std::string chatKey = IsRoomChatKey(line->chat) || line->chat.find('|') != std::string::npos
                                        ? line->chat
                                        : std::string();
        const auto id = node.NewLineId();
        printer.sending(id);
        int status = people.empty() ? 5 : 0;
        for (const auto& name : people) {
            const auto report = node.SendPrivate(name + " " + std::string(wire::ChatMark) + text, chatKey, id,
                                                 o.lineId);
            if (report.state == Delivery::Withheld) status = kWithheld;
        }
        printer.sending(0);
        if (people.empty()) err << "lanyx-cli: nobody else takes part in that line's conversation" << std::endl;
        return status;
    }
    Result<void> done;
    if (o.command == "react") done = verbs.react(o.lineId, o.text, !verbs.reactedWith(o.lineId, o.text));
    else if (o.command == "edit") done = verbs.edit(o.lineId, o.text);
    else done = verbs.remove(o.lineId);
    if (!done) {
        err << "lanyx-cli: " << o.command << " " << lineheader::IdText(o.lineId) << ": " << done.error().text
            << std::endl;
        return 5;
    }
    if (!reached()) {
        for (const auto& p : people)
            if (node.CanTake(p, verbs::kWord) != Reach::Yes)
                err << "lanyx-cli: " << p << " was not told: " << p
                    << "'s copy was not heard with its keys, or does not take reactions and edits" << std::endl;
        return 5;
    }
    return 0;
}

}  // namespace lanyx::cli
